// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Save data: the picture unlocks, the EX stage unlock and the high score, kept in "save.dat" as
// nine little-endian 32-bit integers (36 bytes).
#pragma once

#include <cstdint>

struct SaveDataRecord {
    int32_t saved;      // 1 once any save has been written
    int32_t picture[6]; // gallery pictures cg01..cg06 unlocked (1)
    int32_t exStage;    // the EX stage can be started from the extras
    int32_t highScore;
};

extern SaveDataRecord SaveData;
// Frames left of the notice that the last save failed (0: none shown).
extern int32_t SaveNoticeFrames;

// Reads "save.dat" once, on the loading screen. A missing file leaves everything locked; a short
// file fills only the bytes it has.
void ReadSaveData();
// At the end of a finished game: unlocks what TotalScore, TotalHearts and StageId earned, raises
// the high score, and writes the file. A failed write keeps the old file and the old unlocks, says
// why in Log.txt and starts the notice.
void WriteSaveData();
