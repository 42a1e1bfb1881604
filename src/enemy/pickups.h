// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Hearts and traps placed from the stage map.
#pragma once

#include <cstdint>

struct HeartSlotRecord {
    int32_t active;
    double x, y;  // top-left of a 60 x 60 heart
    int32_t kind; // 1 red (player life), 2 blue (item life)
    int32_t glintCounter;
    int32_t glintFrame;
};

struct TrapSlotRecord {
    int32_t active;
    double x, y; // top-left of a 60 x 60 block
    double speed;
    int32_t dir;
    int32_t kind; // 1 fixed, 2 moving
};

constexpr int HeartSlotCount = 10;
constexpr int TrapSlotCount = 100;
extern HeartSlotRecord HeartSlot[HeartSlotCount];
extern TrapSlotRecord TrapSlot[TrapSlotCount];

// The glitter that rises from the heroine after a heart (or the book's special).
struct SparkleRecord {
    int32_t active;
    double x, y;
    double screenX;
    int32_t visible;
    int32_t counter;
    int32_t alpha;
    int32_t frameX; // 0 red, 20 blue, 40 the book's
};
constexpr int SparkleCount = 30;
extern SparkleRecord Sparkle[SparkleCount];
extern int32_t SparkleRing;

// Moving traps shuttle between fixed traps, walls and turn markers.
void UpdateTraps();
// Hearts touched by the heroine restore her life or the item's.
void CollectHearts();
// The item's attacks and shots against the enemies.
void HitEnemies();
