// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Our generated sounds: every file of the catalogue is there under its exact name, long enough,
// mastered with room for the mix, free of clicks and offsets, and the music loops are long, wide
// and restart without a seam.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#ifdef SOUNDS_TEST_ENGINE
#include "engine/engine.h"
#include "engine/headless.h"
#endif

namespace {

struct Expected {
    const char* name;
    double minSeconds, maxSeconds;
};

// Menu ticks must be short, the action sounds brief, the story's sounds may take a moment.
const Expected kEffects[] = {
    {"wav_check.wav", 0.02, 0.15}, {"wav_hit.wav", 0.05, 0.6},     {"wav_select.wav", 0.05, 0.6},
    {"wav_get.wav", 0.05, 0.6},    {"wav_chakuti.wav", 0.03, 0.3}, {"wav_atc1.wav", 0.05, 0.6},
    {"wav_atc2.wav", 0.05, 0.8},   {"wav_gun1.wav", 0.05, 0.6},    {"wav_gun2.wav", 0.1, 1.5},
    {"wav_book1.wav", 0.05, 0.6},  {"wav_book2.wav", 0.1, 1.5},    {"wav_dog.wav", 0.1, 1.0},
    {"wav_kara.wav", 0.2, 1.5},    {"wav_death.wav", 0.2, 2.0},    {"wav_spider.wav", 0.05, 0.6},
    {"wav_hari.wav", 0.05, 0.6},   {"wav_heart.wav", 0.2, 1.5},    {"wav_119in.wav", 1.5, 6.0},
    {"wav_119out.wav", 1.5, 6.0},  {"wav_shock.wav", 0.3, 2.5},    {"wav_brake.wav", 0.5, 3.0},
    {"wav_error.wav", 0.1, 0.6},
};

// At least 90 s, so that a stage of several minutes does not hear the same half minute again and
// again; at most 120 s, as every piece is held decoded in memory (about 10 MB a minute).
const char* const kMusic[] = {"BGM_adv1.mp3",   "BGM_adv2.mp3",  "BGM_adv3.mp3", "BGM_title.mp3",
                              "BGM_ending.mp3", "BGM_stage.mp3", "BGM_boss.mp3"};
constexpr double kMusicMinSeconds = 90, kMusicMaxSeconds = 120;

const std::string kDir = SOUND_DIR "/";

// Our own reader, strict about what the game's effects must be: 16-bit PCM.
struct Wav {
    int channels = 0, rate = 0;
    std::vector<int16_t> samples; // interleaved
    std::string error;
    double Seconds() const {
        return channels ? static_cast<double>(samples.size()) / channels / rate : 0.0;
    }
};

Wav ReadWav(const std::string& name) {
    const std::string s = test::ReadFile(kDir + name);
    auto le = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            v = v << 8 | static_cast<unsigned char>(s[at + i]);
        }
        return v;
    };
    auto fail = [](const std::string& why) {
        Wav wav;
        wav.error = why;
        return wav;
    };
    if (s.size() < 12 || s.compare(0, 4, "RIFF") || s.compare(8, 4, "WAVE")) {
        return fail("not a RIFF WAVE file");
    }
    Wav wav;
    for (size_t at = 12, size = 0; at + 8 <= s.size(); at += 8 + size + (size & 1)) {
        const std::string id = s.substr(at, 4);
        size = le(at + 4, 4);
        if (at + 8 + size > s.size()) {
            return fail("chunk '" + id + "' runs past the end");
        }
        if (id == "fmt " && size >= 16) {
            if (le(at + 8, 2) != 1 || le(at + 22, 2) != 16) {
                return fail("not 16-bit integer PCM");
            }
            wav.channels = static_cast<int>(le(at + 10, 2));
            wav.rate = static_cast<int>(le(at + 12, 4));
        } else if (id == "data" && wav.channels > 0) {
            for (size_t i = 0; i + 1 < size; i += 2) {
                wav.samples.push_back(static_cast<int16_t>(le(at + 8 + i, 2)));
            }
            return wav;
        }
    }
    return fail("no fmt and data chunks");
}

struct Level {
    double peakDb, rmsDb; // of full scale
    double dc;            // mean, as a fraction of full scale
};

template <typename Sample>
Level Measure(const Sample* samples, size_t count) {
    double peak = 0.0, sum = 0.0, mean = 0.0;
    for (size_t i = 0; i < count; ++i) {
        double v = samples[i] / 32768.0;
        peak = std::max(peak, std::fabs(v));
        sum += v * v;
        mean += v;
    }
    auto db = [](double v) { return v > 0.0 ? 20.0 * std::log10(v) : -200.0; };
    size_t n = std::max<size_t>(count, 1);
    return {db(peak), db(std::sqrt(sum / n)), mean / n};
}

double RmsDb(const std::vector<double>& v) {
    return Measure(v.data(), v.size()).rmsDb;
}

TEST(Effects, AreShortAudiblePcmThatStartsAndEndsQuietly) {
    for (const Expected& e : kEffects) {
        Wav wav = ReadWav(e.name);
        ASSERT_TRUE(wav.error.empty()) << e.name << ": " << wav.error;
        EXPECT_TRUE(wav.rate == 44100 || wav.rate == 22050) << e.name;
        EXPECT_TRUE(wav.channels == 1 || wav.channels == 2) << e.name;
        EXPECT_GE(wav.Seconds(), e.minSeconds) << e.name;
        EXPECT_LE(wav.Seconds(), e.maxSeconds) << e.name;
        Level level = Measure(wav.samples.data(), wav.samples.size());
        // Three effects and the music together must fit in what the mixer can take.
        EXPECT_NEAR(level.peakDb, -6.0, 0.5) << e.name;
        EXPECT_LT(std::fabs(level.dc), 0.002) << e.name << " is off centre";
        EXPECT_GE(level.rmsDb, -30.0) << e.name << " is mostly silence";
        // A sound that starts or stops mid-wave clicks.
        EXPECT_LT(std::abs(wav.samples.front()), 300) << e.name;
        EXPECT_LT(std::abs(wav.samples.back()), 300) << e.name;
    }
}

// Mono mix of frames [from, to) seconds.
std::vector<double> Span(const Wav& wav, double from, double to) {
    std::vector<double> out;
    size_t a = static_cast<size_t>(from * wav.rate), b = static_cast<size_t>(to * wav.rate);
    for (size_t f = a; f < b && (f + 1) * wav.channels <= wav.samples.size(); ++f) {
        double sum = 0.0;
        for (int c = 0; c < wav.channels; ++c) {
            sum += wav.samples[f * wav.channels + c];
        }
        out.push_back(sum / wav.channels);
    }
    return out;
}

// The strongest period between 1/1200 and 1/500 s, as a frequency: enough for the siren's tones.
double PitchHz(const std::vector<double>& v, int rate) {
    double best = -1.0;
    int bestLag = 1;
    for (int lag = rate / 1200; lag <= rate / 500; ++lag) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (size_t i = 0; i + lag < v.size(); ++i) {
            xy += v[i] * v[i + lag];
            xx += v[i] * v[i];
            yy += v[i + lag] * v[i + lag];
        }
        if (double c = xy / std::sqrt(xx * yy + 1e-9); c > best) {
            best = c;
            bestLag = lag;
        }
    }
    return static_cast<double>(rate) / bestLag;
}

// Separate bursts of sound: 10 ms windows rising above half the loudest, after a drop below a
// tenth of it.
int Bursts(const std::string& name) {
    const Wav wav = ReadWav(name);
    std::vector<double> level;
    for (double t = 0.0; t + 0.01 <= wav.Seconds(); t += 0.01) {
        level.push_back(RmsDb(Span(wav, t, t + 0.01)));
    }
    const double top = *std::max_element(level.begin(), level.end());
    int bursts = 0;
    bool quiet = true;
    for (double l : level) {
        bursts += quiet && l > top - 6.0;
        quiet = l < top - 20.0 || (quiet && l <= top - 6.0);
    }
    return bursts;
}

TEST(Effects, StorySoundsDoWhatTheirScenesNeed) {
    Wav in = ReadWav("wav_119in.wav"), out = ReadWav("wav_119out.wav");
    ASSERT_TRUE(in.error.empty() && out.error.empty());
    // The ambulance comes closer, then passes: louder, then quieter with its pitch dropping.
    EXPECT_GT(RmsDb(Span(in, in.Seconds() - 1.0, in.Seconds() - 0.2)),
              RmsDb(Span(in, 0.0, 0.8)) + 10.0);
    EXPECT_LT(RmsDb(Span(out, out.Seconds() - 1.0, out.Seconds() - 0.2)),
              RmsDb(Span(out, 0.0, 0.8)) - 10.0);
    // The same one of its two tones, before and after passing: lower by about a semitone.
    double before = PitchHz(Span(out, 0.02, 0.22), out.rate);
    double after = PitchHz(Span(out, 2.62, 2.82), out.rate);
    EXPECT_LT(after, before * 0.96) << "no drop of pitch as it passes";
    EXPECT_GT(after, before * 0.8);

    EXPECT_EQ(Bursts("wav_heart.wav"), 2) << "lub-dub";
    EXPECT_EQ(Bursts("wav_kara.wav"), 2) << "the crow calls twice";
    EXPECT_EQ(Bursts("wav_error.wav"), 2) << "a double buzz";
    EXPECT_EQ(Bursts("wav_check.wav"), 1);
}

// A two-pole filter, low- or high-pass, over the mono mix; the level of what passes, in dB.
double FilteredRmsDb(const Wav& wav, double cutoff, bool low) {
    const double w = 2.0 * M_PI * cutoff / wav.rate, c = std::cos(w);
    const double alpha = std::sin(w) / std::sqrt(2.0), a0 = 1.0 + alpha;
    const double b0 = (low ? (1.0 - c) : (1.0 + c)) / 2.0 / a0, b1 = (low ? 2.0 : -2.0) * b0;
    const double a1 = -2.0 * c / a0, a2 = (1.0 - alpha) / a0;
    std::vector<double> x = Span(wav, 0.0, wav.Seconds()), y(x.size());
    for (size_t n = 2; n < x.size(); ++n) {
        y[n] = b0 * x[n] + b1 * x[n - 1] + b0 * x[n - 2] - a1 * y[n - 1] - a2 * y[n - 2];
    }
    return RmsDb(y);
}

TEST(Effects, AttackSwingsHaveABodyUnderTheSwish) {
    for (const char* name : {"wav_atc1.wav", "wav_atc2.wav"}) {
        Wav wav = ReadWav(name);
        ASSERT_TRUE(wav.error.empty()) << name;
        double all = RmsDb(Span(wav, 0.0, wav.Seconds()));
        // A noise burst has next to nothing down there; a thump carries most of the energy.
        EXPECT_GT(FilteredRmsDb(wav, 300.0, true), all - 6.0) << name << ": no thump";
        EXPECT_GT(FilteredRmsDb(wav, 1000.0, false), all - 12.0) << name << ": no swish";
    }
}

TEST(Music, FilesAreMp3WithTheInfoFrameThatMakesThemGapless) {
    for (const char* name : kMusic) {
        std::string s = test::ReadFile(kDir + name);
        ASSERT_GT(s.size(), 4096u) << name;
        EXPECT_EQ(static_cast<unsigned char>(s[0]), 0xff) << name << ": no frame at the start";
        EXPECT_EQ(static_cast<unsigned char>(s[1]) & 0xe0, 0xe0) << name;
        // The decoder drops the encoder's delay and padding only when this frame is there.
        std::string head = s.substr(0, 200);
        EXPECT_TRUE(head.find("Info") != std::string::npos ||
                    head.find("Xing") != std::string::npos)
            << name;
        EXPECT_NE(head.find("LAME"), std::string::npos) << name << ": no delay and padding";
    }
}

#ifdef SOUNDGEN
// The generator is run again in a scratch folder, writing there: same bytes, and bad input is
// refused with the place named.
class Generator : public ::testing::Test {
  protected:
    int Run(const std::string& args) {
        return test::Run(std::string("\"") + SOUNDGEN + "\" " + args + " 2>errors.txt",
                         dir_.path());
    }
    std::string Errors() {
        return test::ReadFile(dir_.file("errors.txt"));
    }
    test::ScratchDir dir_;
};

TEST_F(Generator, WritesTheSameEffectsOnEveryRun) {
    ASSERT_EQ(Run("effects \"" SOUND_ASSETS "/effects.txt\" ."), 0) << Errors();
    for (const Expected& e : kEffects) {
        EXPECT_EQ(test::ReadFile(dir_.file(e.name)), test::ReadFile(kDir + e.name)) << e.name;
    }
}

TEST_F(Generator, RefusesMalformedEffectsAndScores) {
    const std::string music = "music " SOUND_FONT " . ";
    const std::string head =
        "name t\ntempo 120\nbars 2\ninstrument p program=0\nchords | C | G |\n";
    const struct {
        std::string file, text, args, error;
    } cases[] = {
        {"a.txt", "sound wav_x\nvoice wave=sine freq=440\n", "effects a.txt .", "amp"},
        {"b.txt", "sound wav_x\nvoice wave=sine amp=0:1,0.1:0 frq=440\n", "effects b.txt .",
         "b.txt:2"},
        // A bar one step short would shift the rest of the tune.
        {"c.txt", head + "melody p grid=8 : | c5 - - - e5 - - - | g5 - - - d5 - - |\n",
         music + "c.txt", "bar 2 has 7 steps"},
        {"d.txt",
         "name t\ntempo 120\nbars 3\ninstrument p program=0\nchords | C | G |\ncomp p : 0 1 2 1\n",
         music + "d.txt", "chords cover 2 bars"},
        // A section copied to a later bar must still fit in the loop.
        {"e.txt", head + "melody p grid=8 : | c5 - - - e5 - - - |\ndouble p from=p bars=1 to=3\n",
         music + "e.txt", "past the last bar"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(dir_.file(c.file)) << c.text;
        EXPECT_NE(Run(c.args), 0);
        EXPECT_NE(Errors().find(c.error), std::string::npos) << Errors();
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "t.mp3")) << "nothing is written";
}
#endif

#ifdef SOUNDS_TEST_ENGINE
// Played round, the music must go on from its last frame to its first as smoothly as it moves
// anywhere near there: the bend of the wave (its second difference) across the seam may not be
// much sharper than the sharpest bend within 32 frames on either side. A cut shows as a kink.
void ExpectSeamless(const std::string& name, const int16_t* s, int frames) {
    const int near = 32;
    for (int ch = 0; ch < 2; ++ch) {
        // Frame f of the loop played round; negative counts back from the end.
        auto at = [&](int f) { return static_cast<int>(s[2 * ((f + frames) % frames) + ch]); };
        auto bend = [&](int f) { return std::abs(at(f + 1) - 2 * at(f) + at(f - 1)); };
        int local = 0;
        for (int f = 2; f < near; ++f) {
            local = std::max({local, bend(f), bend(-f)});
        }
        int seam = std::max(bend(-1), bend(0));
        EXPECT_LE(seam, 2 * local + 100) << name << " channel " << ch << ": the loop clicks";
    }
}

// Decoded by the engine exactly as the game loads them at start (it writes its log in the
// working folder).
TEST(EngineDecoding, MusicLoopsAreLongLoudAndSeamless) {
    test::ScratchDir dir;
    test::InFolder inFolder(dir.path());
    ASSERT_EQ(EngineInit(), 0);
    auto msSince = [start = std::chrono::steady_clock::now()] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    std::vector<int> handles;
    for (const char* name : kMusic) {
        handles.push_back(LoadSoundFile((kDir + name).c_str(), 3, -1));
    }
    for (const Expected& e : kEffects) {
        EXPECT_GE(LoadSoundFile((kDir + e.name).c_str(), 3, -1), 0) << e.name;
    }
    const double loadMs = msSince();
#ifndef TOVARINE_SANITIZED // instrumented builds are slower by design
    // A guard against decoding the music in the loading frame (that takes four seconds and more),
    // with room for a machine busy with other work; the benchmark measures the real time.
    EXPECT_LT(loadMs, 2000.0) << "the game loads every sound in one frame";
#endif
    // The music goes on decoding in the background; the title's piece is wanted a frame later.
    std::vector<const short*> pcm(handles.size());
    std::vector<int> frames(handles.size());
    for (size_t i = 0; i < handles.size(); ++i) {
        ASSERT_GE(handles[i], 0) << kMusic[i];
        ASSERT_EQ(GetSoundPcm(handles[i], &pcm[i], &frames[i]), 0) << kMusic[i];
    }
    std::printf("[          ] all sounds loaded in %.0f ms, the music decoded after %.0f ms\n",
                loadMs, msSince());

    for (size_t i = 0; i < handles.size(); ++i) {
        const std::string name = kMusic[i];
        EXPECT_GE(frames[i] / 44100.0, kMusicMinSeconds) << name;
        EXPECT_LE(frames[i] / 44100.0, kMusicMaxSeconds) << name;
        Level level = Measure(pcm[i], 2 * static_cast<size_t>(frames[i]));
        // Stage and boss music plays about 10 dB down: it has to be mixed that much hotter.
        bool quietTrack = name == "BGM_stage.mp3" || name == "BGM_boss.mp3";
        EXPECT_GE(level.rmsDb, quietTrack ? -14.0 : -24.0) << name;
        EXPECT_GE(level.peakDb, quietTrack ? -3.0 : -10.0) << name;
        EXPECT_LT(std::fabs(level.dc), 0.002) << name << " is off centre";
        // Stereo: the difference of the sides carries a fair share of the energy of their sum
        // (a mono track has none; two unrelated sides have as much as the sum).
        double mid = 0.0, side = 0.0;
        for (int f = 0; f < frames[i]; ++f) {
            double l = pcm[i][2 * f], r = pcm[i][2 * f + 1];
            mid += (l + r) * (l + r);
            side += (l - r) * (l - r);
        }
        double widthDb = 10.0 * std::log10(side / mid);
        EXPECT_GT(widthDb, -12.0) << name << " is nearly mono";
        EXPECT_LT(widthDb, 0.0) << name << ": its sides work against each other";
        ExpectSeamless(name, pcm[i], frames[i]);
    }
    EngineShutdown();
}
#endif

} // namespace
