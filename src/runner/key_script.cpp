// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Key scripts, read once before a run and applied frame by frame.
#include "runner/key_script.h"

#include "engine/headless.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace {

struct KeyName {
    const char* name;
    int scanCode;
};

constexpr KeyName KeyNames[] = {
    {"up", 0xC8}, {"down", 0xD0},   {"left", 0xCB},  {"right", 0xCD},  {"z", 0x2C},
    {"x", 0x2D},  {"c", 0x2E},      {"a", 0x1E},     {"s", 0x1F},      {"d", 0x20},
    {"q", 0x10},  {"w", 0x11},      {"space", 0x39}, {"escape", 0x01}, {"f1", 0x3B},
    {"f5", 0x3F}, {"f6", 0x40},     {"f7", 0x41},    {"f8", 0x42},     {"f9", 0x43},
    {"1", 0x02},  {"2", 0x03},      {"3", 0x04},     {"4", 0x05},      {"5", 0x06},
    {"p", 0x19},  {"return", 0x1C}, {"f11", 0x57},   {"j", 0x24},      {"k", 0x25},
    {"i", 0x17},  {"l", 0x26},
};

constexpr off_t MaxKeyScriptBytes = 16 << 20;
constexpr size_t MaxKeyScriptLine = 4096;

int ScanCodeOf(const std::string& name) {
    for (const KeyName& key : KeyNames) {
        if (name == key.name) {
            return key.scanCode;
        }
    }
    return -1;
}

} // namespace

bool ReadKeyScript(const char* path, KeyScript& script) {
    script = KeyScript{};
    // A regular file of a sensible size: a folder, a pipe or /dev/zero given by mistake would
    // otherwise read as nothing, hang, or grow without end. The whole recorded game is 30 KB.
    struct stat info {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxKeyScriptBytes) {
        std::fprintf(stderr, "cannot read %s: %s\n", path,
                     errno != 0 && !S_ISREG(info.st_mode) && info.st_mode == 0
                         ? std::strerror(errno)
                     : !S_ISREG(info.st_mode) ? "not a regular file"
                                              : "larger than a key script may be (16 MiB)");
        return false;
    }
    std::ifstream input(path);
    if (!input) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(input, line)) {
        ++number;
        if (line.size() > MaxKeyScriptLine) {
            std::fprintf(stderr, "%s:%d: a line longer than %zu characters\n", path, number,
                         MaxKeyScriptLine);
            return false;
        }
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            const size_t replay = line.find("--frames ", comment);
            if (replay != std::string::npos) {
                script.replayFrames = std::atoi(line.c_str() + replay + 9);
            }
            line.resize(comment);
        }
        std::istringstream words(line);
        std::string frameText;
        if (!(words >> frameText)) {
            continue;
        }
        char* end = nullptr;
        errno = 0;
        const long frame = std::strtol(frameText.c_str(), &end, 10);
        // A frame number too large for an int would wrap around and break the order.
        if (*end != '\0' || errno != 0 || frame < 0 || frame > INT_MAX ||
            (!script.lines.empty() && frame < script.lines.back().frame)) {
            std::fprintf(stderr, "%s:%d: expected a frame number, not before the last one\n", path,
                         number);
            return false;
        }
        KeyScriptLine entry{static_cast<int>(frame), {}};
        std::string name;
        while (words >> name) {
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            const int code = ScanCodeOf(name);
            if (code < 0) {
                std::fprintf(stderr, "%s:%d: unknown key \"%s\"\n", path, number, name.c_str());
                return false;
            }
            entry.keys.push_back(code);
        }
        script.lines.push_back(entry);
    }
    return true;
}

void ApplyKeyScript(KeyScript& script, int frame) {
    bool changed = false;
    while (script.next < script.lines.size() && script.lines[script.next].frame <= frame) {
        ++script.next;
        changed = true;
    }
    if (!changed) {
        return;
    }
    HeadlessReleaseAllKeys();
    for (int code : script.lines[script.next - 1].keys) {
        HeadlessSetKey(code, true);
    }
}
