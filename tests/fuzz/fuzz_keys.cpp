// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Any bytes as a key script of the headless runner: refused with a message, or read into lines
// in frame order whose keys are all known scan codes.
#include "runner/key_script.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen("fuzz.keys", "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    KeyScript script;
    if (ReadKeyScript("fuzz.keys", script)) {
        for (size_t i = 0; i < script.lines.size(); ++i) {
            const int frame = script.lines[i].frame;
            if (frame < 0 || (i > 0 && frame < script.lines[i - 1].frame)) {
                std::abort();
            }
        }
        for (int frame = 0; frame < 4; ++frame) {
            ApplyKeyScript(script, frame);
        }
    }
    return 0;
}
