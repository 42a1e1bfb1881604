// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Any bytes as "save.dat": read, then saved over, always as a clean 36-byte file.
#include "game/run.h"
#include "main/save.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What a finished game hands to the save (the rest of the game is not needed here).
int32_t TotalScore = 0;
int32_t TotalHearts = 0;
int32_t StageId = 41;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen("save.dat", "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    SaveData = {};
    ReadSaveData();
    const int32_t high = SaveData.highScore;
    TotalScore = size > 0 ? data[0] * 1000 : 0;
    TotalHearts = size > 1 ? data[1] % 20 : 0;
    WriteSaveData();
    file = std::fopen("save.dat", "rb");
    if (file == nullptr) {
        std::abort();
    }
    unsigned char bytes[40];
    const size_t length = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (length != 36 || SaveData.picture[0] != 1 || SaveData.highScore < high) {
        std::abort();
    }
    return 0;
}
