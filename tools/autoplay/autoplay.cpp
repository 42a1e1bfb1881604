// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// tovarine-autoplay: plays the game in-process over the headless platform, deciding each frame's
// keys from what a player sees (the heroine, the free item, the enemies, the traps and the map),
// and writes the keys it pressed as a script for tovarine-headless.
//
//   --scenario full|tutorial|gameover|ex   what to play (default full)
//   --keys FILE      write the pressed keys ("FRAME KEY..." lines) to FILE
//   --save FILE      copy FILE to ./save.dat before starting (the EX stage needs an unlock)
//   --seed S         as tovarine-headless --seed (default 1)
//   --max-frames N   give up after N frames (default 120000)
//   --loop           play the scenario again each time it is back at the title, until
//                    --max-frames: a long run of the whole game, for leaks and drift
//   --sample N       every N frames print the process's resident memory and open files
//   --verbose        tell each jump, possession, hit and death
//
// The game runs in the current directory, as the headless runner does.
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "main/loop.h"
#include "main/save.h"
#include "model.h"
#include "plan.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// ---- Keys ------------------------------------------------------------------------------------

struct KeyInfo {
    const char* name; // as tovarine-headless reads it
    int scanCode;
};

constexpr KeyInfo Keys[KeyCount] = {
    {"up", 0xC8}, {"down", 0xD0}, {"left", 0xCB}, {"right", 0xCD}, {"z", 0x2C},
    {"x", 0x2D},  {"c", 0x2E},    {"a", 0x1E},    {"f5", 0x3F},    {"f6", 0x40},
    {"1", 0x02},  {"2", 0x03},    {"3", 0x04},    {"4", 0x05},     {"5", 0x06},
};

struct KeyChange {
    int frame;
    KeySet keys;
};

std::vector<KeyChange> Recorded;
KeySet Applied = 0;

void ApplyKeys(int frame, KeySet keys) {
    if (keys == Applied && !Recorded.empty()) {
        return;
    }
    HeadlessReleaseAllKeys();
    for (int k = 0; k < KeyCount; ++k) {
        if ((keys & Bit(static_cast<KeyId>(k))) != 0) {
            HeadlessSetKey(Keys[k].scanCode, true);
        }
    }
    Applied = keys;
    Recorded.push_back({frame, keys});
}

// ---- Options and the run ---------------------------------------------------------------------

Scenario TheScenario = Scenario::Full;
int MaxFrames = 120000;
long Seed = 1;
int LastFrame = 0;
bool Finished = false;
int SampleEvery = 0;

// Resident memory in kB, from /proc/self/status; -1 where it cannot be read.
long ResidentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    long kb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kb = std::atol(line + 6);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

int OpenFiles() {
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

void Sample(int frame) {
    std::printf("sample frame %d rss %ld kB open files %d\n", frame, ResidentKb(), OpenFiles());
    std::fflush(stdout);
}

void Hook(int frame) {
    LastFrame = frame;
    if (SampleEvery > 0 && frame % SampleEvery == 0) {
        Sample(frame);
    }
    if (Finished) {
        return;
    }
    const Decision decision = DecideFrame(frame);
    if (decision.finished || frame + 1 >= MaxFrames) {
        Finished = true;
        HeadlessSetFrameLimit(frame + 1);
        return;
    }
    ApplyKeys(frame + 1, decision.keys);
}

bool WriteKeys(const char* path, int frames) {
    std::FILE* out = std::fopen(path, "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "# recorded by tovarine-autoplay --scenario %s --seed %ld\n",
                 ScenarioName(TheScenario), Seed);
    std::fprintf(out, "# replay: tovarine-headless --input FILE --frames %d --seed %ld\n", frames,
                 Seed);
    for (const KeyChange& change : Recorded) {
        std::fprintf(out, "%d", change.frame);
        for (int k = 0; k < KeyCount; ++k) {
            if ((change.keys & Bit(static_cast<KeyId>(k))) != 0) {
                std::fprintf(out, " %s", Keys[k].name);
            }
        }
        std::fputc('\n', out);
    }
    return std::fclose(out) == 0;
}

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "tovarine-autoplay: %s\n"
                 "usage: tovarine-autoplay [--scenario full|tutorial|gameover|ex] [--keys FILE]\n"
                 "       [--save FILE] [--seed S] [--max-frames N] [--loop] [--sample N]\n"
                 "       [--verbose]\n",
                 problem);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const char* keysPath = nullptr;
    const char* savePath = nullptr;
    bool loop = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--verbose") {
            Verbose = true;
            continue;
        }
        if (option == "--loop") {
            loop = true;
            continue;
        }
        if (i + 1 >= argc) {
            return Usage(("missing value after " + option).c_str());
        }
        const std::string value = argv[++i];
        if (option == "--scenario") {
            if (!ParseScenario(value.c_str(), &TheScenario)) {
                return Usage("--scenario takes full, tutorial, gameover or ex");
            }
        } else if (option == "--keys") {
            keysPath = argv[i];
        } else if (option == "--save") {
            savePath = argv[i];
        } else if (option == "--seed") {
            Seed = std::atol(value.c_str());
        } else if (option == "--max-frames") {
            MaxFrames = std::atoi(value.c_str());
        } else if (option == "--sample") {
            SampleEvery = std::atoi(value.c_str());
        } else {
            return Usage(("unknown option " + option).c_str());
        }
    }
    if (savePath != nullptr) {
        std::error_code error;
        std::filesystem::copy_file(savePath, "save.dat",
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "tovarine-autoplay: cannot copy %s: %s\n", savePath,
                         error.message().c_str());
            return 2;
        }
    }
    StartScenario(TheScenario, loop);
    HeadlessSetFrameLimit(MaxFrames);
    HeadlessSetSeed(static_cast<uint32_t>(Seed));
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameHook(Hook);
    GameMain();
    const int frames = LastFrame + 1;
    if (SampleEvery > 0) {
        Sample(frames);
    }
    PrintReport(frames);
    if (keysPath != nullptr && !WriteKeys(keysPath, frames)) {
        std::fprintf(stderr, "tovarine-autoplay: cannot write %s\n", keysPath);
        return 2;
    }
    return ScenarioSucceeded() ? 0 : 1;
}
