// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Any bytes as a picture file: the loader refuses them or loads a picture that draws.
#include "engine/engine.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = EngineInit() == 0;
    if (!started) {
        return 0;
    }
    std::FILE* file = std::fopen("fuzz.png", "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const int handle = LoadImageFile("fuzz.png", 0);
    if (handle >= 0) {
        SetBlendMode(1, 128);
        DrawImageAt(-3, 5, handle, 1);
        DrawImageRegion(10, 10, 1, 1, 40, 40, handle, 1, 1);
        DrawImageStretched(0, 0, 64, 48, handle, 0);
    }
    ReleaseAllImages(0);
    return 0;
}
