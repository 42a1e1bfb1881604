// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// tovarine-headless: the game's own code and main loop with no window, no audio device and no
// waiting between frames. Scripted keys in, a per-frame JSON trace and chosen frames as PNG out.
//
//   --frames N          run N frames, then the exit sequence (default 600)
//   --input FILE        key script: "FRAME KEY..." lines, keys held from that frame on
//   --trace FILE        one JSON object per frame (JSON Lines)
//   --shot F[,F...]     save the back buffer after frame F as shot-F.png
//   --shots-dir DIR     where the shots go (default: the current directory)
//   --seed S            seeds both random generators (default 1)
//   --settings FILE     the player's settings (none are read without it)
//   --answer yes|no|cancel|window   the answer of the desktop's box to the start-up question
//                       (default no); window: there is no such box, the game asks in its window
//   --lang ja|en        the language to play in (default ja, whatever the locale, so recorded
//                       runs and traces stay exact)
//   --texts FILE        every text drawn, as "FRAME<tab>TEXT" lines (the game's Shift-JIS bytes)
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/language.h"
#include "main/language_setup.h"
#include "main/loop.h"
#include "main/settings.h"
#include "runner/key_script.h"
#include "runner/trace.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

KeyScript Keys;
// Set by SIGTERM or SIGINT: the run ends after the frame, through the game's exit sequence.
volatile std::sig_atomic_t StopSignal = 0;

void Stop(int signal) {
    StopSignal = signal;
}
std::vector<int> Shots;
std::string ShotsDir = ".";
std::FILE* TraceFile = nullptr;
std::FILE* TextsFile = nullptr;
char DrawnTexts[32768];

void WriteDrawnTexts(int frame) {
    const int length = TakeDrawnTexts(DrawnTexts, sizeof DrawnTexts);
    if (length < 0) {
        std::fprintf(TextsFile, "%d\t(more texts than could be kept)\n", frame);
        return;
    }
    const char* line = DrawnTexts;
    while (*line != '\0') {
        const char* end = std::strchr(line, '\n');
        std::fprintf(TextsFile, "%d\t%.*s\n", frame, static_cast<int>(end - line), line);
        line = end + 1;
    }
}

void AfterFrame(int frame) {
    if (TraceFile != nullptr) {
        WriteTraceLine(TraceFile, frame);
    }
    if (TextsFile != nullptr) {
        WriteDrawnTexts(frame);
    }
    if (StopSignal != 0) {
        HeadlessSetFrameLimit(frame + 1);
    }
    if (std::find(Shots.begin(), Shots.end(), frame) != Shots.end()) {
        const std::string path = ShotsDir + "/shot-" + std::to_string(frame) + ".png";
        if (SaveBackBufferPng(path.c_str()) != 0) {
            std::fprintf(stderr, "tovarine-headless: cannot write %s\n", path.c_str());
        }
    }
    ApplyKeyScript(Keys, frame + 1);
}

bool ParseNumber(const char* text, long min, long* out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    // The values end up in ints: larger ones would wrap around (a frame limit of -1 runs for ever).
    if (errno != 0 || end == text || *end != '\0' || value < min || value > INT_MAX) {
        return false;
    }
    *out = value;
    return true;
}

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "tovarine-headless: %s\n"
                 "usage: tovarine-headless [--frames N] [--input FILE] [--trace FILE]\n"
                 "       [--shot F[,F...]] [--shots-dir DIR] [--seed S] [--settings FILE]\n"
                 "       [--answer yes|no|cancel|window] [--lang ja|en] [--texts FILE]\n",
                 problem);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long frames = 600;
    long seed = 1;
    int answer = AnswerNo;
    int language = LanguageJapanese;
    const char* tracePath = nullptr;
    const char* textsPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            return Usage(("missing value after " + option).c_str());
        }
        ++i;
        if (option == "--frames") {
            if (!ParseNumber(value, 0, &frames)) {
                return Usage("--frames takes a count");
            }
        } else if (option == "--seed") {
            if (!ParseNumber(value, 0, &seed)) {
                return Usage("--seed takes a number");
            }
        } else if (option == "--input") {
            if (!ReadKeyScript(value, Keys)) {
                return 2;
            }
        } else if (option == "--trace") {
            tracePath = value;
        } else if (option == "--texts") {
            textsPath = value;
        } else if (option == "--shots-dir") {
            ShotsDir = value;
        } else if (option == "--shot") {
            std::stringstream list(value);
            std::string item;
            while (std::getline(list, item, ',')) {
                long frame = 0;
                if (!ParseNumber(item.c_str(), 0, &frame)) {
                    return Usage("--shot takes frame numbers separated by commas");
                }
                Shots.push_back(static_cast<int>(frame));
            }
        } else if (option == "--settings") {
            // Only a file named here: recorded runs must not depend on a player's settings.
            if (std::strlen(value) >= sizeof SettingsPath) {
                return Usage("--settings takes a shorter path");
            }
            std::snprintf(SettingsPath, sizeof SettingsPath, "%s", value);
        } else if (option == "--answer") {
            const std::string a = value;
            if (a == "yes") {
                answer = AnswerYes;
            } else if (a == "no") {
                answer = AnswerNo;
            } else if (a == "cancel") {
                answer = AnswerCancel;
            } else if (a == "window") {
                answer = -1;
            } else {
                return Usage("--answer takes yes, no, cancel or window");
            }
        } else if (option == "--lang") {
            language = std::string(value) == "auto" ? -1 : ResolveLanguage(value);
            if (language < 0) {
                return Usage("--lang takes ja or en");
            }
        } else {
            return Usage(("unknown option " + option).c_str());
        }
    }
    if (tracePath != nullptr) {
        TraceFile = std::fopen(tracePath, "w");
        if (TraceFile == nullptr) {
            std::fprintf(stderr, "tovarine-headless: cannot write %s\n", tracePath);
            return 2;
        }
    }
    if (textsPath != nullptr) {
        TextsFile = std::fopen(textsPath, "w");
        if (TextsFile == nullptr) {
            std::fprintf(stderr, "tovarine-headless: cannot write %s\n", textsPath);
            return 2;
        }
        RecordDrawnTexts(true);
    }
    HeadlessSetFrameLimit(static_cast<int>(frames));
    HeadlessSetSeed(static_cast<uint32_t>(seed));
    HeadlessSetAnswer(answer);
    UseLanguage(language);
    HeadlessSetFrameHook(AfterFrame);
    // Ours before the sound library's, which would take them and tell no one here.
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    ApplyKeyScript(Keys, 0);
    int code = GameMain();
    if (StopSignal != 0) {
        std::fprintf(stderr, "tovarine-headless: stopped by signal %d\n",
                     static_cast<int>(StopSignal));
    }
    if (TraceFile != nullptr) {
        // A trace that did not reach the disk whole is a failed run, not a short one.
        const bool failed = std::ferror(TraceFile) != 0;
        if ((std::fclose(TraceFile) != 0 || failed) && code == 0) {
            std::fprintf(stderr, "tovarine-headless: cannot write %s\n", tracePath);
            code = 1;
        }
    }
    if (TextsFile != nullptr && (std::fclose(TextsFile) != 0) && code == 0) {
        std::fprintf(stderr, "tovarine-headless: cannot write %s\n", textsPath);
        code = 1;
    }
    return code;
}
