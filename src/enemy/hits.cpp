// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The heroine's attacks and shots against the enemies.
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "stage/attack.h"
#include "stage/collide.h"
#include "stage/player.h"

#include <algorithm>

namespace {

// Whether the possessed item's attack box hurts this frame.
bool MeleeIsLive() {
    const PlayerStateRecord& p = PlayerState;
    switch (p.kind) {
    case Bear:
        return p.attackTimer > 5 || p.specialTimer > 5; // the blow lands from its 6th frame
    case Ball:
    case Book:
        return p.attackTimer > 0 || p.specialTimer > 0;
    case Hopping:
        return p.airborne == 1 && p.hurt == 0 && p.velY >= 0; // stomping while coming down
    default:
        return false; // the ghost cannot fight, the gun fights with its shots
    }
}

// What every hit gives the player and does to the enemy: green gauge, a knock up and away, score.
void KnockEnemy(EnemySlotRecord& e, double knockDir) {
    PlayerState.GreenGauge = std::min(PlayerState.GreenGauge + 5.0, 100.0);
    e.attackGauge += 1.0;
    e.hit = 1;
    e.vy = -5.0;
    e.airborne = 1;
    e.knockDir = knockDir;
    Score += 100;
    PlaySoundHandle(WavHit, PlayOnce, FromStart);
}

void HitWithAttackBox() {
    PlayerStateRecord& p = PlayerState;
    const double left = p.posX + p.AttackBox.left;
    const double top = p.posY + p.AttackBox.top;
    const double right = p.posX + p.AttackBox.right;
    const double bottom = p.posY + p.AttackBox.bottom;
    for (EnemySlotRecord& e : EnemySlot) {
        // An attacking enemy cannot be struck by the item, only by shots.
        if (e.active != 1 || e.dying != 0 || e.hit != 0 || e.attackTimer != 0 ||
            e.specialTimer != 0) {
            continue;
        }
        if (!BoxesOverlap(left, top, right, bottom, e.x + e.bodyLeft, e.y + e.bodyTop,
                          e.x + e.bodyRight, e.y + e.bodyBottom)) {
            continue;
        }
        p.knockDir = p.facing;
        if (p.attackTimer > 0) {
            e.hp -= p.attackDamage;
        }
        if (p.specialTimer > 0) {
            e.hp -= p.specialDamage;
        }
        if (p.kind == Hopping) {
            e.hp -= p.attackDamage;
        } else if (p.kind == Ball) {
            p.ItemLife -= 5; // the ball pays for every enemy it strikes
        }
        e.hp = std::max(e.hp, 0);
        KnockEnemy(e, -p.facing);
    }
}

void HitWithShots() {
    const PlayerStateRecord& p = PlayerState;
    for (EnemySlotRecord& e : EnemySlot) {
        for (ShotRecord& shot : PlayerShot) {
            // Once hit, the enemy is safe from the other shots of this frame: a large shot
            // passing through a row of enemies strikes each of them once.
            if (shot.active != 1 || e.active != 1 || e.hit != 0) {
                continue;
            }
            if (!BoxesOverlap(shot.x, shot.y, shot.x + shot.width, shot.y + shot.height,
                              e.x + e.bodyLeft, e.y + e.bodyTop, e.x + e.bodyRight,
                              e.y + e.bodyBottom)) {
                continue;
            }
            if (shot.shotKind == 1) {
                shot.active = 0; // a small shot ends; a large one flies on
            }
            shot.age = 0;
            e.hp -= shot.shotKind == 1 ? p.attackDamage : p.specialDamage;
            e.hp = std::max(e.hp, 0);
            KnockEnemy(e, -shot.dir);
        }
    }
}

} // namespace

// Every frame, after the player's damage: the item's attack box, then the shots, against every
// enemy that can be hit.
void HitEnemies() {
    if (MeleeIsLive()) {
        HitWithAttackBox();
    }
    HitWithShots();
}
