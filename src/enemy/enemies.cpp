// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "enemy/enemies.h"

EnemySlotRecord EnemySlot[EnemySlotCount] = {};
AfterimageRecord EnemyAfterimage[EnemySlotCount][EnemyAfterimageCount] = {};
ShotRecord EnemyShot[EnemyShotCount] = {};

namespace {

struct BoxValues {
    int32_t left, top, right, bottom;
};

// The fixed numbers of one kind. The boxes are given facing right; facing left they are mirrored
// in the sprite cell, because every sheet draws its enemy facing left.
struct EnemyKindParams {
    int32_t kind;
    double speed;
    int32_t width, height;
    BoxValues body;
    bool hasAttackBox; // the small kinds never attack with their body
    BoxValues attack;
    int32_t touchDamage;
    int32_t attackDamage; // 0: not written (the small kinds)
};

constexpr EnemyKindParams EnemyKindTable[] = {
    {Rat, 4.0, 120, 60, {30, 5, 115, 60}, false, {}, 10, 0},
    {Spider, 0.0, 60, 60, {0, 17, 60, 50}, false, {}, 10, 0},
    {Chaser, 3.0, 60, 60, {10, 15, 50, 48}, false, {}, 10, 0},
    {BossDog, 5.0, 200, 200, {40, 80, 180, 170}, true, {40, 80, 180, 170}, 20, 50},
    {BossDiver, 6.0, 200, 200, {40, 60, 160, 120}, true, {40, 60, 160, 120}, 30, 70},
    {BossPhantom, 3.0, 180, 180, {40, 65, 115, 180}, true, {40, 60, 115, 180}, 20, 50},
    {BossFinal, 3.0, 400, 400, {60, 10, 150, 220}, true, {180, 50, 380, 350}, 30, 70},
};

} // namespace

// Every frame: sizes, boxes, speed and damage of each slot from its kind and facing.
void RefreshEnemyKindParams() {
    for (EnemySlotRecord& e : EnemySlot) {
        for (const EnemyKindParams& k : EnemyKindTable) {
            if (k.kind != e.kind) {
                continue;
            }
            // The spider's, the chaser's and the diver's boxes are centred in their cells, so
            // mirroring leaves them as they are.
            const bool mirrored = e.dir != 1;
            e.speed = k.speed;
            e.width = k.width;
            e.height = k.height;
            e.bodyLeft = mirrored ? k.width - k.body.right : k.body.left;
            e.bodyRight = mirrored ? k.width - k.body.left : k.body.right;
            e.bodyTop = k.body.top;
            e.bodyBottom = k.body.bottom;
            if (k.hasAttackBox) {
                e.atkLeft = mirrored ? k.width - k.attack.right : k.attack.left;
                e.atkRight = mirrored ? k.width - k.attack.left : k.attack.right;
                e.atkTop = k.attack.top;
                e.atkBottom = k.attack.bottom;
                e.attackDamage = k.attackDamage;
            }
            e.touchDamage = k.touchDamage;
            break;
        }
    }
}
