// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/map.h"

#include "data/levels.h"
#include "game/run.h"

#include <cstring>

int32_t StageMap[MapRows * MapColumns] = {};

namespace {
constexpr int ArenaTable = 6;
} // namespace

void LoadStageMap() {
    int table = -1;
    if (StageId >= 1 && StageId <= StageTutorial) {
        table = StageId - 1;
    } else if (StageId == ArenaOf(1) || StageId == ArenaOf(2) || StageId == ArenaOf(3) ||
               StageId == ArenaOf(4) || StageId == StageExArena) {
        table = ArenaTable;
    }
    if (table >= 0) {
        std::memcpy(StageMap, StageMapSource[table], sizeof StageMap);
    }
}

int TileAt(double x, double y) {
    if (!(y >= 0.0 && y < 480.0)) {
        return 0;
    }
    // Truncation toward zero: x -30 is column 0. AMENDED: beyond either end of the map is open, so
    // shots fly on until their range runs out and nothing reads outside the table.
    if (!(x > -60.0 && x < MapColumns * TileSize)) {
        return 0;
    }
    const int column = static_cast<int>(x / TileSize);
    const int row = static_cast<int>(y / TileSize);
    const int32_t value = StageMap[row * MapColumns + column];
    if ((value >= 1 && value <= 5) || value == -3 || value == -4 || value == -5) {
        return value;
    }
    return 0;
}
