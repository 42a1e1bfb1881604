// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// What the player hears over the whole recorded game (tests/runs/full.keys), with the real sounds
// and the real mixer: the game runs in this process and, after every frame, the mixer is asked
// for that frame's 1/60 s of output, exactly as the audio device would ask for it.
//
// This test stands in for the audio device: it answers the mixer's request to open one by
// keeping the mixer's callback, and calls it itself. It also watches every channel the mixer adds
// into its 16-bit sum, so it sees how loud the sum would be if nothing saturated.
#include "engine/engine.h"
#include "engine/headless.h"
#include "main/loop.h"
#include "runner/key_script.h"
#include "support.h"

#include <SDL_audio.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr SDL_AudioDeviceID StandInDevice = 0x7e57;
constexpr int FramesPerStep = 44100 / 60;

SDL_AudioSpec DeviceFormat{};
bool Opened = false;
std::vector<Uint8> Stream;
std::vector<int32_t> Sum; // what the mixer adds up, before it saturates

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int capture, const SDL_AudioSpec* want,
                                      SDL_AudioSpec* got, int changes) {
    if (capture != 0 || want == nullptr || want->callback == nullptr) {
        return Real<decltype(&SDL_OpenAudioDevice)>("SDL_OpenAudioDevice")(device, capture, want,
                                                                           got, changes);
    }
    DeviceFormat = *want;
    DeviceFormat.silence = 0;
    DeviceFormat.size = static_cast<Uint32>(DeviceFormat.samples) * DeviceFormat.channels *
                        SDL_AUDIO_BITSIZE(DeviceFormat.format) / 8;
    if (got != nullptr) {
        *got = DeviceFormat;
    }
    Opened = true;
    return StandInDevice;
}

#define STAND_IN(name)                                                                             \
    void name(SDL_AudioDeviceID id) {                                                              \
        if (id != StandInDevice) {                                                                 \
            Real<decltype(&name)>(#name)(id);                                                      \
        }                                                                                          \
    }
STAND_IN(SDL_LockAudioDevice)
STAND_IN(SDL_UnlockAudioDevice)
STAND_IN(SDL_CloseAudioDevice)
#undef STAND_IN

void SDL_PauseAudioDevice(SDL_AudioDeviceID id, int pause) {
    if (id != StandInDevice) {
        Real<decltype(&SDL_PauseAudioDevice)>("SDL_PauseAudioDevice")(id, pause);
    }
}

void SDL_MixAudioFormat(Uint8* dst, const Uint8* src, SDL_AudioFormat format, Uint32 len,
                        int volume) {
    if (format == AUDIO_S16SYS && !Stream.empty() && dst >= Stream.data() &&
        dst + len <= Stream.data() + Stream.size()) {
        // The same scaling as the mixer's own: sample x volume / 128, truncated.
        const size_t first = static_cast<size_t>(dst - Stream.data()) / 2;
        const int16_t* in = reinterpret_cast<const int16_t*>(src);
        for (Uint32 i = 0; i < len / 2; ++i) {
            Sum[first + i] += in[i] * volume / SDL_MIX_MAXVOLUME;
        }
    }
    Real<decltype(&SDL_MixAudioFormat)>("SDL_MixAudioFormat")(dst, src, format, len, volume);
}

} // extern "C"

namespace {

KeyScript Keys;

struct Figures {
    int32_t sumPeak = 0, outPeak = 0;
    int sumPeakFrame = 0, outPeakFrame = 0;
    long clipped = 0;   // output samples at full scale
    long saturated = 0; // samples where the mixer's own sum went past 16 bits
    double sum = 0.0, squares = 0.0;
    long samples = 0;
    int framesHeard = 0;
    int framesLoud = 0; // frames that come within 2 dB of full scale (where a limiter works)
};
Figures Seen;

double Db(double level) {
    return level > 0.0 ? 20.0 * std::log10(level / 32768.0) : -200.0;
}

// Asks the mixer for the next 1/60 s and adds what came out to the figures.
void Listen(Figures& seen, int frame) {
    const size_t count = static_cast<size_t>(FramesPerStep) * DeviceFormat.channels;
    Stream.assign(count * 2, 0);
    Sum.assign(count, 0);
    DeviceFormat.callback(DeviceFormat.userdata, Stream.data(), static_cast<int>(Stream.size()));
    const int16_t* out = reinterpret_cast<const int16_t*>(Stream.data());
    int32_t loudest = 0;
    for (size_t i = 0; i < count; ++i) {
        const int32_t o = std::abs(static_cast<int32_t>(out[i])), s = std::abs(Sum[i]);
        if (o > seen.outPeak) {
            seen.outPeak = o;
            seen.outPeakFrame = frame;
        }
        if (s > seen.sumPeak) {
            seen.sumPeak = s;
            seen.sumPeakFrame = frame;
        }
        seen.clipped += o >= 32767;
        seen.saturated += s > 32767;
        loudest = std::max(loudest, o);
        seen.sum += out[i];
        seen.squares += static_cast<double>(out[i]) * out[i];
    }
    seen.samples += static_cast<long>(count);
    seen.framesHeard += loudest > 100;
    seen.framesLoud += loudest > 26028;
}

// After each frame of the game: its sound, then the script's keys for the next one.
void AfterFrame(int frame) {
    if (frame >= 0 && Opened && DeviceFormat.callback != nullptr) {
        Listen(Seen, frame);
    }
    ApplyKeyScript(Keys, frame + 1);
}

// One sound on its own comes out as it went in; three copies of it started together, far past
// full scale when added, are held under the ceiling, and the mixer's own sum has room for them.
TEST(Mix, ASoundAloneIsUntouchedAndOverlapsAreHeldUnderFullScale) {
    test::ScratchDir dir;
    test::InFolder inFolder(dir.path());
    ASSERT_TRUE(test::WriteWav(dir.file("tone.wav"), 1.0, 441.0)); // peaks at 12000
    ASSERT_EQ(EngineInit(), 0);
    ASSERT_TRUE(Opened);
    const int tone = LoadSoundFile("tone.wav", 3, -1);
    ASSERT_GE(tone, 0);

    auto halfASecond = [] {
        Figures seen;
        for (int frame = 0; frame < 30; ++frame) {
            Listen(seen, frame);
        }
        return seen;
    };
    PlaySoundHandle(tone, 1, 1);
    const Figures alone = halfASecond();
    EXPECT_NEAR(alone.outPeak, 12000, 12000 * 0.005) << "unity gain below the ceiling";

    for (int copy = 0; copy < 3; ++copy) {
        PlaySoundHandle(tone, 1, 1);
    }
    const Figures three = halfASecond();
    EXPECT_EQ(three.saturated, 0);
    EXPECT_EQ(three.clipped, 0);
    EXPECT_LE(Db(three.outPeak), -0.99);
    EXPECT_GT(Db(three.outPeak), -1.5) << "pressed down to the ceiling, not far below";
    EngineShutdown();
}

TEST(Mix, TheWholeRecordedGameNeverClipsAndHasNoOffset) {
#ifdef TOVARINE_SANITIZED
    // The figures do not depend on the instrumentation, which would only make the game slower;
    // the limiter itself runs under it in the test above, and the game in the recorded runs.
    GTEST_SKIP() << "measured in the build for players";
#endif
    ASSERT_TRUE(ReadKeyScript(TOVARINE_RUNS_DIR "/full.keys", Keys));
    const int frames = Keys.replayFrames;
    ASSERT_GT(frames, 0);
    const std::filesystem::path data = TOVARINE_DATA_DIR;
    if (!std::filesystem::exists(data / "snd")) {
        GTEST_SKIP() << "this build has no sounds";
    }
    test::ScratchDir dir;
    for (const char* folder : {"png", "snd"}) {
        if (std::filesystem::exists(data / folder)) {
            std::filesystem::create_directory_symlink(data / folder, dir.path() / folder);
        }
    }
    {
        test::InFolder inFolder(dir.path());
        HeadlessSetFrameLimit(frames);
        HeadlessSetSeed(1);
        HeadlessSetAnswer(AnswerNo);
        HeadlessSetFrameHook(AfterFrame);
        AfterFrame(-1);
        EXPECT_EQ(GameMain(), 0);
        HeadlessSetFrameHook(nullptr);
    }
    ASSERT_TRUE(Opened) << "the mixer never opened an audio device";
    ASSERT_GT(Seen.samples, 0);

    const double dc = Seen.sum / Seen.samples / 32768.0;
    const double rms = std::sqrt(Seen.squares / Seen.samples);
    std::printf("[          ] %d frames, %d with sound, %d within 2 dB of full scale; mixer sum "
                "peak %.2f dBFS, output peak %.2f dBFS, rms %.1f dBFS, DC %.5f\n",
                frames, Seen.framesHeard, Seen.framesLoud, Db(Seen.sumPeak), Db(Seen.outPeak),
                Db(rms), dc);

    // Music plays through most of the game, and the effects are loud enough to be heard over it.
    EXPECT_GT(Seen.framesHeard, frames / 2);
    EXPECT_GT(Db(rms), -35.0);
    EXPECT_GT(Db(Seen.outPeak), -4.0) << "the loudest moments should come near the ceiling";
    // Nothing saturates: not the mixer's sum, not the output.
    EXPECT_EQ(Seen.saturated, 0) << "worst at frame " << Seen.sumPeakFrame;
    EXPECT_EQ(Seen.clipped, 0) << "worst at frame " << Seen.outPeakFrame;
    EXPECT_LT(Db(Seen.outPeak), -0.8);
    EXPECT_LT(std::fabs(dc), 0.002) << "an offset in the mix";
}

} // namespace
