// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Our generated sounds: every file of the catalogue is there under its exact name, long enough,
// mastered with room for the mix, free of clicks and offsets, and the music loops are long, wide
// and restart without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef SOUNDS_TEST_ENGINE
#include "engine/engine.h"
#include "engine/headless.h"
#endif

namespace {

namespace fs = std::filesystem;

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
const Expected kMusic[] = {
    {"BGM_adv1.mp3", 90, 120},  {"BGM_adv2.mp3", 90, 120},   {"BGM_adv3.mp3", 90, 120},
    {"BGM_title.mp3", 90, 120}, {"BGM_ending.mp3", 90, 120}, {"BGM_stage.mp3", 90, 120},
    {"BGM_boss.mp3", 90, 120},
};

const fs::path kDir = SOUND_DIR;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    }
    return v;
}

// Our own reader, strict about what the game's effects must be: 16-bit PCM.
struct Wav {
    int channels = 0, rate = 0;
    std::vector<int16_t> samples; // interleaved
    std::string error;
    double Seconds() const {
        return channels ? static_cast<double>(samples.size()) / channels / rate : 0.0;
    }
};

Wav ReadWav(const fs::path& path) {
    Wav wav;
    std::string s = ReadBytes(path);
    if (s.size() < 12 || s.compare(0, 4, "RIFF") || s.compare(8, 4, "WAVE")) {
        wav.error = "not a RIFF WAVE file";
        return wav;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= s.size();) {
        std::string id = s.substr(at, 4);
        size_t size = Le(s, at + 4, 4);
        if (at + 8 + size > s.size()) {
            wav.error = "chunk '" + id + "' runs past the end";
            return wav;
        }
        if (id == "fmt " && size >= 16) {
            if (Le(s, at + 8, 2) != 1 || Le(s, at + 22, 2) != 16) {
                wav.error = "not 16-bit integer PCM";
                return wav;
            }
            wav.channels = static_cast<int>(Le(s, at + 10, 2));
            wav.rate = static_cast<int>(Le(s, at + 12, 4));
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            for (size_t i = 0; i + 1 < size; i += 2) {
                wav.samples.push_back(static_cast<int16_t>(Le(s, at + 8 + i, 2)));
            }
            return wav;
        }
        at += 8 + size + (size & 1);
    }
    wav.error = "no fmt and data chunks";
    return wav;
}

struct Level {
    double peakDb, rmsDb;
    double dc; // mean, as a fraction of full scale
};

Level Measure(const int16_t* samples, size_t count) {
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

TEST(SoundFiles, EveryFileOfTheCatalogueIsThereUnderItsExactName) {
    for (const auto& list : {std::vector<Expected>(std::begin(kEffects), std::end(kEffects)),
                             std::vector<Expected>(std::begin(kMusic), std::end(kMusic))}) {
        for (const Expected& e : list) {
            EXPECT_TRUE(fs::is_regular_file(kDir / e.name)) << e.name;
        }
    }
}

TEST(Effects, AreShortAudiblePcmThatStartsAndEndsQuietly) {
    for (const Expected& e : kEffects) {
        Wav wav = ReadWav(kDir / e.name);
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

double RmsDb(const std::vector<double>& v) {
    double sum = 0.0;
    for (double x : v) {
        sum += x * x;
    }
    return 10.0 * std::log10(sum / std::max<size_t>(v.size(), 1) + 1e-9);
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
        double c = xy / std::sqrt(xx * yy + 1e-9);
        if (c > best) {
            best = c;
            bestLag = lag;
        }
    }
    return static_cast<double>(rate) / bestLag;
}

// Separate bursts of sound: 10 ms windows rising above half the loudest, after a drop below a
// tenth of it.
int Bursts(const Wav& wav) {
    std::vector<double> level;
    for (double t = 0.0; t + 0.01 <= wav.Seconds(); t += 0.01) {
        level.push_back(RmsDb(Span(wav, t, t + 0.01)));
    }
    double top = *std::max_element(level.begin(), level.end());
    int bursts = 0;
    bool quiet = true;
    for (double l : level) {
        if (quiet && l > top - 6.0) {
            ++bursts;
            quiet = false;
        } else if (l < top - 20.0) {
            quiet = true;
        }
    }
    return bursts;
}

TEST(Effects, StorySoundsDoWhatTheirScenesNeed) {
    Wav in = ReadWav(kDir / "wav_119in.wav"), out = ReadWav(kDir / "wav_119out.wav");
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

    EXPECT_EQ(Bursts(ReadWav(kDir / "wav_heart.wav")), 2) << "lub-dub";
    EXPECT_EQ(Bursts(ReadWav(kDir / "wav_kara.wav")), 2) << "the crow calls twice";
    EXPECT_EQ(Bursts(ReadWav(kDir / "wav_error.wav")), 2) << "a double buzz";
    EXPECT_EQ(Bursts(ReadWav(kDir / "wav_check.wav")), 1);
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
        Wav wav = ReadWav(kDir / name);
        ASSERT_TRUE(wav.error.empty()) << name;
        double all = RmsDb(Span(wav, 0.0, wav.Seconds()));
        // A noise burst has next to nothing down there; a thump carries most of the energy.
        EXPECT_GT(FilteredRmsDb(wav, 300.0, true), all - 6.0) << name << ": no thump";
        EXPECT_GT(FilteredRmsDb(wav, 1000.0, false), all - 12.0) << name << ": no swish";
    }
}

TEST(Music, FilesAreMp3WithTheInfoFrameThatMakesThemGapless) {
    for (const Expected& e : kMusic) {
        std::string s = ReadBytes(kDir / e.name);
        ASSERT_GT(s.size(), 4096u) << e.name;
        EXPECT_EQ(static_cast<unsigned char>(s[0]), 0xff) << e.name << ": no frame at the start";
        EXPECT_EQ(static_cast<unsigned char>(s[1]) & 0xe0, 0xe0) << e.name;
        // The decoder drops the encoder's delay and padding only when this frame is there.
        std::string head = s.substr(0, 200);
        EXPECT_TRUE(head.find("Info") != std::string::npos ||
                    head.find("Xing") != std::string::npos)
            << e.name;
        EXPECT_NE(head.find("LAME"), std::string::npos) << e.name << ": no delay and padding";
        // 128 kbit/s: the size tells the length roughly.
        double seconds = s.size() * 8.0 / 128000.0;
        EXPECT_GE(seconds, e.minSeconds - 1) << e.name;
        EXPECT_LE(seconds, e.maxSeconds + 1) << e.name;
    }
}

#ifdef SOUNDGEN
// The generator is run again into a scratch folder: same bytes, and bad input is refused.
class Generator : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("sounds_test_" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
    }
    int Run(const std::string& args) {
        std::string command = std::string("\"") + SOUNDGEN + "\" " + args + " 2>\"" +
                              (dir_ / "errors.txt").string() + "\"";
        return std::system(command.c_str());
    }
    fs::path Write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
        return dir_ / name;
    }
    std::string Errors() {
        return ReadBytes(dir_ / "errors.txt");
    }
    fs::path dir_;
};

TEST_F(Generator, WritesTheSameEffectsOnEveryRun) {
    ASSERT_EQ(Run("effects \"" SOUND_ASSETS "/effects.txt\" \"" + dir_.string() + "\""), 0)
        << Errors();
    for (const Expected& e : kEffects) {
        EXPECT_EQ(ReadBytes(dir_ / e.name), ReadBytes(kDir / e.name)) << e.name;
    }
}

TEST_F(Generator, RefusesMalformedEffectsAndScores) {
    const std::string out = " \"" + dir_.string() + "\"";
    fs::path noEnd = Write("a.txt", "sound wav_x\nvoice wave=sine freq=440\n");
    EXPECT_NE(Run("effects \"" + noEnd.string() + "\"" + out), 0);
    EXPECT_NE(Errors().find("amp"), std::string::npos) << Errors();

    fs::path typo = Write("b.txt", "sound wav_x\nvoice wave=sine amp=0:1,0.1:0 frq=440\n");
    EXPECT_NE(Run("effects \"" + typo.string() + "\"" + out), 0);
    EXPECT_NE(Errors().find("b.txt:2"), std::string::npos) << "names file and line";

    // A bar one step short would shift the rest of the tune: refused, with the bar named.
    const std::string head = "name t\ntempo 120\nbars 2\ninstrument p program=0\n"
                             "chords | C | G |\n";
    fs::path shortBar =
        Write("c.txt", head + "melody p grid=8 : | c5 - - - e5 - - - | g5 - - - d5 - - |\n");
    EXPECT_NE(Run("music " SOUND_FONT + out + " \"" + shortBar.string() + "\""), 0);
    EXPECT_NE(Errors().find("bar 2 has 7 steps"), std::string::npos) << Errors();

    fs::path fewChords = Write("d.txt", "name t\ntempo 120\nbars 3\ninstrument p program=0\n"
                                        "chords | C | G |\ncomp p : 0 1 2 1\n");
    EXPECT_NE(Run("music " SOUND_FONT + out + " \"" + fewChords.string() + "\""), 0);
    EXPECT_FALSE(fs::exists(dir_ / "t.mp3"));

    // A section copied to a later bar must still fit in the loop.
    fs::path pastEnd = Write("e.txt", head + "melody p grid=8 : | c5 - - - e5 - - - |\n"
                                             "double p from=p bars=1 to=3\n");
    EXPECT_NE(Run("music " SOUND_FONT + out + " \"" + pastEnd.string() + "\""), 0);
    EXPECT_NE(Errors().find("past the last bar"), std::string::npos) << Errors();
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

// Decoded by the engine exactly as the game loads them at start.
class EngineDecoding : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() / "sounds_test_engine";
        fs::create_directories(dir_);
        fs::current_path(dir_); // the engine writes its log in the working folder
        ASSERT_EQ(EngineInit(), 0);
    }
    void TearDown() override {
        EngineShutdown();
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    fs::path previous_, dir_;
};

TEST_F(EngineDecoding, MusicLoopsAreLongLoudAndSeamless) {
    auto start = std::chrono::steady_clock::now();
    std::vector<int> handles;
    for (const Expected& e : kMusic) {
        handles.push_back(LoadSoundFile((kDir / e.name).c_str(), 3, -1));
    }
    for (const Expected& e : kEffects) {
        EXPECT_GE(LoadSoundFile((kDir / e.name).c_str(), 3, -1), 0) << e.name;
    }
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("all_sounds_load_ms", static_cast<int>(ms));
    std::printf("[          ] all sounds loaded in %.0f ms\n", ms);
#ifndef TOVARINE_SANITIZED // instrumented builds are slower by design
    // A guard against decoding the music in the loading frame (that takes four seconds and more),
    // with room for a machine busy with other work; the benchmark measures the real time.
    EXPECT_LT(ms, 2000.0) << "the game loads every sound in one frame";
#endif
    // The music goes on decoding in the background; the title's piece is wanted a frame later.
    for (int handle : handles) {
        const short* pcm = nullptr;
        int frames = 0;
        GetSoundPcm(handle, &pcm, &frames);
    }
    double decodedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("all_music_decoded_ms", static_cast<int>(decodedMs));
    std::printf("[          ] all music decoded after %.0f ms\n", decodedMs);

    for (size_t i = 0; i < handles.size(); ++i) {
        const Expected& e = kMusic[i];
        ASSERT_GE(handles[i], 0) << e.name;
        const short* pcm = nullptr;
        int frames = 0;
        ASSERT_EQ(GetSoundPcm(handles[i], &pcm, &frames), 0) << e.name;
        EXPECT_GE(frames / 44100.0, e.minSeconds) << e.name;
        EXPECT_LE(frames / 44100.0, e.maxSeconds) << e.name;
        Level level = Measure(pcm, 2 * static_cast<size_t>(frames));
        // Stage and boss music plays about 10 dB down: it has to be mixed that much hotter.
        bool quietTrack =
            std::string(e.name) == "BGM_stage.mp3" || std::string(e.name) == "BGM_boss.mp3";
        EXPECT_GE(level.rmsDb, quietTrack ? -14.0 : -24.0) << e.name;
        EXPECT_GE(level.peakDb, quietTrack ? -3.0 : -10.0) << e.name;
        EXPECT_LT(std::fabs(level.dc), 0.002) << e.name << " is off centre";
        // Stereo: the difference of the sides carries a fair share of the energy of their sum
        // (a mono track has none; two unrelated sides have as much as the sum).
        double mid = 0.0, side = 0.0;
        for (int f = 0; f < frames; ++f) {
            double l = pcm[2 * f], r = pcm[2 * f + 1];
            mid += (l + r) * (l + r);
            side += (l - r) * (l - r);
        }
        double widthDb = 10.0 * std::log10(side / mid);
        std::printf("[          ] %s: %.1f s, side %.1f dB under the middle\n", e.name,
                    frames / 44100.0, -widthDb);
        EXPECT_GT(widthDb, -12.0) << e.name << " is nearly mono";
        EXPECT_LT(widthDb, 0.0) << e.name << ": its sides work against each other";
        ExpectSeamless(e.name, pcm, frames);
    }
}
#endif

} // namespace
