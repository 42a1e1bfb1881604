// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Hearts the heroine takes and the traps that shuttle across the stage.
#include "enemy/pickups.h"

#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "stage/attack.h"
#include "stage/collide.h"
#include "stage/map.h"
#include "stage/player.h"

#include <algorithm>

HeartSlotRecord HeartSlot[HeartSlotCount] = {};
TrapSlotRecord TrapSlot[TrapSlotCount] = {};
SparkleRecord Sparkle[SparkleCount] = {};
int32_t SparkleRing = 0;

namespace {

constexpr int32_t FixedTrapCell = -3;
constexpr int32_t TurnMarkerCell = -5;

// A moving trap turns where both its edge probes are solid or both are turn markers.
bool Blocks(double x, double top, double bottom) {
    const int upper = TileAt(x, top);
    const int lower = TileAt(x, bottom);
    return (upper >= 1 && lower >= 1) || (upper == TurnMarkerCell && lower == TurnMarkerCell);
}

bool MeetsFixedTrap(double x, double top, double bottom) {
    return TileAt(x, top) == FixedTrapCell || TileAt(x, bottom) == FixedTrapCell;
}

// One pixel of a moving trap; it turns once its own edge has entered an obstacle.
void StepTrap(TrapSlotRecord& trap) {
    const double top = trap.y + 1;
    const double bottom = trap.y + 59;
    if (trap.dir < 1) {
        if (MeetsFixedTrap(trap.x + 1, top, bottom) || trap.x <= 0) {
            trap.dir = 1;
        } else {
            trap.x -= 1;
        }
        if (Blocks(trap.x + 1, top, bottom)) {
            trap.dir = 1;
        }
    } else {
        if (MeetsFixedTrap(trap.x + 59, top, bottom) || trap.x >= 12480) {
            trap.dir = -1;
        } else {
            trap.x += 1;
        }
        if (Blocks(trap.x + 59, top, bottom)) {
            trap.dir = -1;
        }
    }
}

} // namespace

// Every frame (also behind the continue prompt): the moving traps, two pixels each.
void UpdateTraps() {
    for (TrapSlotRecord& trap : TrapSlot) {
        if (trap.active != 1 || trap.kind != 2 || trap.speed <= 0) {
            continue;
        }
        for (int step = 0; step < trap.speed; ++step) {
            StepTrap(trap);
        }
    }
}

// Every frame: each heart the heroine's body touches restores a gauge and starts sparkles.
void CollectHearts() {
    PlayerStateRecord& p = PlayerState;
    for (HeartSlotRecord& heart : HeartSlot) {
        if (heart.active != 1) {
            continue;
        }
        const bool touching =
            BoxesOverlap(p.posX + p.BodyBox.left, p.posY + p.BodyBox.top, p.posX + p.BodyBox.right,
                         p.posY + p.BodyBox.bottom, heart.x, heart.y, heart.x + 60, heart.y + 60);
        if (!touching) {
            continue;
        }
        if (heart.kind == 1) {
            p.PlayerLife += 50;
        } else {
            p.ItemLife += 50;
        }
        p.PlayerLife = std::min(p.PlayerLife, 200);
        p.ItemLife = std::min(p.ItemLife, 200);
        if (p.kind > Ghost) {
            p.PossessFlash = 1;
        }
        StartSparkles(heart.kind == 1 ? 0 : 20);
        Score += 500;
        StageHearts += 1;
        p.hurt = 0;
        heart.active = 0;
        PlaySoundHandle(WavGet, PlayOnce, FromStart);
    }
}
