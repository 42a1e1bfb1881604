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
