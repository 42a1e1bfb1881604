// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Any bytes as "settings.ini": read without a crash, into values the game can use, and written
// back as a file that reads the same.
#include "main/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::snprintf(SettingsPath, sizeof SettingsPath, "settings.ini");
    std::FILE* file = std::fopen(SettingsPath, "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    ReadSettings();
    const SettingsRecord& s = Settings;
    if (s.screen < 0 || s.screen > 2 || s.smooth < 0 || s.smooth > 1 || s.musicVolume < 0 ||
        s.musicVolume > 100 || s.effectsVolume < 0 || s.effectsVolume > 100 || s.language < 0 ||
        s.language > 2 || s.escapePauses < 0 || s.escapePauses > 1) {
        std::abort();
    }
    for (int a = 0; a < ActionCount; ++a) {
        if (KeyName(s.key[a]) == nullptr) {
            std::abort();
        }
        for (int b = a + 1; b < ActionCount; ++b) {
            if (s.key[a] == s.key[b] || (s.padButton[a] != 0 && s.padButton[a] == s.padButton[b])) {
                std::abort();
            }
        }
    }
    const SettingsRecord read = Settings;
    if (!WriteSettings()) {
        std::abort();
    }
    ReadSettings();
    if (std::memcmp(&read, &Settings, sizeof read) != 0) {
        std::abort();
    }
    return 0;
}
