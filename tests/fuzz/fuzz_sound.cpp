// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Any bytes as a sound file, named as a WAV or as an MP3 by the first byte: the loader refuses
// them or decodes a sound that plays.
#include "engine/engine.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = EngineInit() == 0;
    if (!started || size == 0) {
        return 0;
    }
    const char* name = data[0] & 1 ? "fuzz.mp3" : "fuzz.wav";
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    const int handle = LoadSoundFile(name, 3, -1);
    if (handle >= 0) {
        SetSoundVolume(25, handle);
        PlaySoundHandle(handle, 3, 1);
        StopSoundHandle(handle);
    }
    ReleaseAllSounds(0);
    return 0;
}
