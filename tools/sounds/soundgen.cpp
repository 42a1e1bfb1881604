// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Writes the game's sound effects (WAV) and music loops (MP3) from the sources in assets/sounds.
//
//   soundgen effects EFFECTS_FILE OUT_DIR
//   soundgen music SOUND_FONT OUT_DIR SCORE...   [--wav] also writes each loop as WAV to look at
#include "effects.h"
#include "music.h"
#include "pcm.h"
#include "score.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Load(const std::string& path) {
    std::vector<std::string> lines;
    if (!snd::ReadLines(path, lines)) {
        throw snd::AssetError{path + ": cannot read"};
    }
    return lines;
}

int Effects(const std::string& file, const std::string& outDir) {
    for (const snd::Effect& e : snd::ParseEffects(Load(file), file)) {
        std::string path = outDir + "/" + e.name + ".wav";
        std::vector<int16_t> pcm = snd::ToPcm16(snd::RenderEffect(e), e.peakDb);
        if (!snd::WriteWav(path, pcm, 1, snd::kRate)) {
            throw snd::AssetError{path + ": cannot write"};
        }
    }
    return 0;
}

int Music(const std::string& soundFont, const std::string& outDir,
          const std::vector<std::string>& files, bool keepWav) {
    // Scores are parsed up front so a typo fails fast, then rendered two at a time.
    std::vector<snd::Score> scores;
    for (const std::string& f : files) {
        scores.push_back(snd::ParseScore(Load(f), f));
    }
    std::atomic<size_t> next{0};
    std::mutex errorLock;
    std::string error;
    auto work = [&]() {
        for (size_t i = next++; i < scores.size(); i = next++) {
            try {
                std::vector<int16_t> pcm = snd::RenderLoop(scores[i], soundFont);
                snd::WriteMp3(pcm, outDir + "/" + scores[i].name + ".mp3");
                if (keepWav) {
                    snd::WriteWav(outDir + "/" + scores[i].name + ".wav", pcm, 2, snd::kRate);
                }
            } catch (const snd::AssetError& e) {
                std::lock_guard<std::mutex> hold(errorLock);
                error = e.message;
            }
        }
    };
    unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 2u);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < count; ++t) {
        threads.emplace_back(work);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    if (!error.empty()) {
        throw snd::AssetError{error};
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool keepWav = std::erase(args, "--wav") > 0;
    try {
        if (args.size() == 3 && args[0] == "effects") {
            return Effects(args[1], args[2]);
        }
        if (args.size() >= 4 && args[0] == "music") {
            return Music(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()),
                         keepWav);
        }
    } catch (const snd::AssetError& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.message.c_str());
        return 1;
    }
    std::fprintf(stderr, "usage: soundgen effects FILE OUT_DIR\n"
                         "       soundgen music SOUND_FONT OUT_DIR SCORE... [--wav]\n");
    return 2;
}
