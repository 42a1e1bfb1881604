// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The stage map: 8 rows of 208 tiles of 60 pixels, filled from the level table of the StageId.
#pragma once

#include <cstdint>

constexpr int MapRows = 8;
constexpr int MapColumns = 208;
constexpr int TileSize = 60;

// Row-major: row r, column c at r * MapColumns + c. Solid means a value above 0.
extern int32_t StageMap[MapRows * MapColumns];

// Copies the level table of StageId into StageMap (the boss arena for 11, 21, 31, 41 and 51);
// any other StageId leaves the map as it is.
void LoadStageMap();
// The tile class at a world pixel: the solid tiles 1..5 and the trap cells -3, -4, -5 read as
// themselves; hearts, enemy and boss markers and everything outside the map read as open (0).
int TileAt(double x, double y);
