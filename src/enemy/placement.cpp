// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Placing the stage's enemies, hearts and traps from its map, the stage-start reset that goes with
// it, and the bosses of an arena.
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "game/run.h"
#include "stage/attack.h"
#include "stage/map.h"
#include "stage/overlays.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <cstdlib>

namespace {

constexpr int32_t BossMarker = -99;

// The fields every freshly placed enemy or boss starts with; the rest keep what the slot held.
void ResetEnemySlot(EnemySlotRecord& e, double x, double y) {
    e.active = 1;
    e.x = x;
    e.y = y;
    e.screenX = x;
    e.hit = 0;
    e.anim = 0;
    e.airborne = 0;
    e.attackTimer = 0;
    e.specialTimer = 0;
    e.deathTimer = 0;
    e.dying = 0;
    e.dir = -1;
    e.alpha = 180;
    e.cooldown = 0;
    e.attackRequest = 0;
    e.specialRequest = 0;
    e.crowded = 0;
    // AMENDED: a slot may have held a boss killed mid-attack or a continue may have come mid-stun:
    // the stun count, the trail and the flash start afresh so the new enemy does not inherit them.
    e.hitTimer = 0;
    e.afterimages = 0;
    e.flash = 0;
}

void ClearShots() {
    for (ShotRecord& shot : EnemyShot) {
        shot.active = 0;
    }
    for (ShotRecord& shot : PlayerShot) {
        shot.active = 0;
    }
}

void ArmStageBanner() {
    if (StagePhase == 0) {
        ShowStageBanner();
    }
}

void ResetPlayerForStage() {
    PlayerStateRecord& p = PlayerState;
    p.posX = 180.0;
    p.posY = 180.0;
    p.screenX = 180.0;
    p.stepsPerFrame = 4.0;
    p.facing = 1;
    p.airborne = 0;
    p.GreenGauge = 0.0;
    p.PlayerLife = 200;
    p.ItemLife = 0;
    p.kind = Ghost;
    p.attackTimer = 0;
    p.specialTimer = 0;
    p.specialActive = 0;
    p.hurt = 0;
    p.hurtTimer = 0;
    p.dead = 0;
    p.deathTimer = 0;
    p.walkCounter = 0;
    p.trailCounter = 0;
    p.PossessFlash = 0;
    p.ghostAlpha = 180;

    FreeItem.x = 260.0;
    FreeItem.y = -120.0;
    FreeItem.velY = 1.0;
    FreeItem.inStage = 1;
    FreeItem.falling = 1;
    FreeItem.kind = Bear;
    FreeItem.possessable = 1;
    FreeItem.width = 120;
    FreeItem.height = 120;
    FreeItem.box = {40, 0, 80, 120};
}

} // namespace

// At a stage start or a continue: every object of the map in its slot, and the stage state reset.
void PlaceStageObjects() {
    int hearts = 0;
    int traps = 0;
    int enemies = 0;
    for (int row = 0; row < MapRows; ++row) {
        for (int column = 0; column < MapColumns; ++column) {
            const int32_t code = StageMap[row * MapColumns + column];
            const double x = TileSize * column;
            const double y = TileSize * row;
            // AMENDED: a map with more objects than a table holds places the first ones only.
            if ((code == -1 || code == -2) && hearts < HeartSlotCount) {
                HeartSlotRecord& heart = HeartSlot[hearts++];
                heart.active = 1;
                heart.x = x;
                heart.y = y;
                heart.glintCounter = 0;
                heart.glintFrame = 0;
                heart.kind = code == -1 ? 1 : 2;
            } else if ((code == -3 || code == -4) && traps < TrapSlotCount) {
                TrapSlotRecord& trap = TrapSlot[traps++];
                trap.active = 1;
                trap.x = x;
                trap.y = y;
                trap.speed = 2.0;
                trap.dir = -1;
                trap.kind = code == -3 ? 1 : 2;
            } else if (code >= -8 && code <= -6 && enemies < EnemySlotCount) {
                EnemySlotRecord& e = EnemySlot[enemies++];
                ResetEnemySlot(e, x, y);
                if (code == -6) {
                    e.kind = Rat;
                    e.anim = std::rand() % 20; // rats walk out of step
                } else if (code == -7) {
                    e.kind = Spider;
                    e.vy = -1.0;
                    e.airborne = 1;                // settles onto the floor below its cell
                    e.cooldown = std::rand() % 80; // spiders fire out of step
                } else {
                    e.kind = Chaser;
                }
            }
        }
    }

    ResetPlayerForStage();
    for (SparkleRecord& sparkle : Sparkle) {
        sparkle = SparkleRecord{0, 0.0, 0.0, 0.0, 0, 0, 255, sparkle.frameX};
    }
    SparkleRing = 0;
    TransitionX = 640.0;
    ArenaTransition = 0;
    ArmStageBanner();
    if (StageId == StageExField) {
        ShowFirstFog();
    }
    TimeLeft = 180;
    FrameTick = 0;
    ScrollX = 0.0;
    NearLayerX = 0.0;
    FarLayerX = 0.0;
    // Inside the arena a continue keeps the hearts the stage has counted so far.
    if (ScrollLocked != 1) {
        StageHearts = 0;
    }
    ClearShots();
}

// On entering an arena (and after a continue in one): its boss, or the EX arena's four.
void PlaceBosses() {
    int kindOfArena = 0;
    switch (StageId) {
    case ArenaOf(1):
        kindOfArena = BossDog;
        break;
    case ArenaOf(2):
        kindOfArena = BossDiver;
        break;
    case ArenaOf(3):
        kindOfArena = BossPhantom;
        break;
    case ArenaOf(4):
        kindOfArena = BossFinal;
        break;
    default:
        break;
    }
    const bool exArena = StageId == StageExArena;
    int slot = 0;
    for (int row = 0; row < MapRows; ++row) {
        for (int column = 0; column < MapColumns; ++column) {
            if (StageMap[row * MapColumns + column] != BossMarker) {
                continue;
            }
            // Only the four bosses of the EX arena exist; further markers, or markers outside an
            // arena, place nothing.
            if ((!exArena && kindOfArena == 0) || (exArena && slot >= 4)) {
                continue;
            }
            EnemySlotRecord& e = EnemySlot[slot];
            ResetEnemySlot(e, TileSize * column, TileSize * row);
            e.attackGauge = 0.0;
            e.kind = exArena ? BossDog + slot : kindOfArena;
            static constexpr int32_t StartingHp[4] = {100, 150, 200, 260};
            e.hp = StartingHp[e.kind - BossDog];
            if (e.kind == BossDog) {
                e.airborne = 1; // it drops to the floor
                e.vy = 0.0;     // AMENDED: from rest, whatever the slot's last enemy was doing
            }
            if (exArena) {
                ++slot;
            }
        }
    }
    if (StageId == ArenaOf(4) || exArena) {
        ShowFirstFog();
        Fog.shown2 = 1;
        Fog.alpha2 = 150;
    }
    ArmStageBanner();
    ClearShots();
}
