// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/attack.h"

#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "stage/collide.h"
#include "stage/map.h"
#include "stage/player.h"

#include <algorithm>
#include <cstdlib>

ShotRecord PlayerShot[PlayerShotCount] = {};
int32_t HitPending = 0;

namespace {

void RaiseGreenGauge(double amount) {
    PlayerState.GreenGauge = std::min(PlayerState.GreenGauge + amount, 100.0);
}

// The first free shot slot, filled; nullptr when all ten fly.
ShotRecord* FireShot(double x, int size, int kind, double speed) {
    for (ShotRecord& shot : PlayerShot) {
        if (shot.active == 0) {
            const PlayerStateRecord& p = PlayerState;
            // AMENDED: every shot flies its full range (a reused slot kept a few steps of the last
            // one).
            shot = ShotRecord{};
            shot.x = x;
            shot.y = p.posY + p.BodyBox.top;
            shot.width = shot.height = size;
            shot.dir = p.facing;
            shot.shotKind = kind;
            shot.speed = speed;
            shot.active = 1;
            return &shot;
        }
    }
    return nullptr;
}

void StartAttack() {
    PlayerStateRecord& p = PlayerState;
    p.attackTimer = 1;
    RaiseGreenGauge(2);
    switch (p.kind) {
    case Book:
        PlaySoundHandle(WavBook1, PlayOnce, FromStart);
        p.ItemLife = std::max(p.ItemLife - 5, 0);
        p.velY = -4.0;
        p.airborne = 1;
        break;
    case Gun: {
        PlaySoundHandle(WavGun1, PlayOnce, FromStart);
        const double x = p.facing == -1 ? p.posX + p.BodyBox.left : p.posX + p.BodyBox.right - 10;
        if (FireShot(x, 10, 1, 8.0) != nullptr) {
            p.ItemLife = std::max(p.ItemLife - 2, 0);
        }
        break;
    }
    default:
        PlaySoundHandle(WavAtc1, PlayOnce, FromStart);
        break;
    }
}

void StartSpecial() {
    PlayerStateRecord& p = PlayerState;
    switch (p.kind) {
    case Ball:
        PlaySoundHandle(WavAtc2, PlayOnce, FromStart);
        p.velY = -4.0;
        p.specialTimer = 1;
        p.specialActive = 1;
        p.airborne = 1;
        break;
    case Book:
        PlaySoundHandle(WavBook2, PlayOnce, FromStart);
        p.ItemLife = std::min(p.ItemLife + 50, 200);
        p.PlayerLife = std::min(p.PlayerLife + 50, 200);
        StartSparkles(40);
        break;
    case Gun: {
        PlaySoundHandle(WavGun2, PlayOnce, FromStart);
        p.specialTimer = 1;
        const double x = p.facing == -1 ? p.posX + p.BodyBox.left : p.posX + p.BodyBox.right - 20;
        FireShot(x, 15, 2, 14.0);
        break;
    }
    default:
        PlaySoundHandle(WavAtc2, PlayOnce, FromStart);
        p.specialTimer = 1;
        p.specialActive = 1;
        break;
    }
    p.GreenGauge = 0;
    p.PossessFlash = 1;
}

void Hit(int damage, double knockDir, int sound) {
    PlayerState.knockDir = knockDir;
    PlayerState.pendingDamage = damage;
    HitPending = 1;
    PlaySoundHandle(sound, PlayOnce, FromStart);
    ApplyDamage();
}

// Touch, attack and shots of one enemy against the item's body.
void DamageFromEnemy(const EnemySlotRecord& e) {
    const PlayerStateRecord& p = PlayerState;
    const double bl = p.posX + p.BodyBox.left;
    const double bt = p.posY + p.BodyBox.top;
    const double br = p.posX + p.BodyBox.right;
    const double bb = p.posY + p.BodyBox.bottom;
    const double away = -e.dir;
    const bool attacking = e.attackTimer > 0 || e.specialTimer > 0;
    const bool immune = (p.kind == Ball && (p.attackTimer > 0 || p.specialTimer > 0)) ||
                        (p.kind == Book && p.attackTimer > 0);
    if (!attacking && !immune &&
        BoxesOverlap(bl, bt, br, bb, e.x + e.bodyLeft, e.y + e.bodyTop, e.x + e.bodyRight,
                     e.y + e.bodyBottom)) {
        const bool harmful = (e.kind != BossPhantom || (e.anim >= 10 && e.anim <= 70)) &&
                             (e.kind != BossFinal || (e.anim >= 10 && e.anim <= 140));
        if (harmful) {
            Hit(e.touchDamage, away, e.kind == Chaser ? WavSpikes : WavHit);
        } else {
            PlayerState.knockDir = away;
        }
    }
    if (attacking && BoxesOverlap(bl, bt, br, bb, e.x + e.atkLeft, e.y + e.atkTop, e.x + e.atkRight,
                                  e.y + e.atkBottom)) {
        const bool harmful = (e.kind != BossPhantom || (e.anim >= 10 && e.anim <= 70)) &&
                             (e.kind != BossFinal || (e.attackTimer >= 15 && e.attackTimer <= 25));
        if (harmful) {
            Hit(e.attackDamage, away, WavHit);
        }
    }
    for (ShotRecord& shot : EnemyShot) {
        if (shot.active != 0 && BoxesOverlap(bl, bt, br, bb, shot.x, shot.y, shot.x + shot.width,
                                             shot.y + shot.height)) {
            shot.active = 0;
            shot.age = 0;
            Hit(shot.shotKind == 2 ? e.attackDamage : 10, -shot.dir, WavHit);
        }
    }
}

} // namespace

void UpdateAttackAndSpecial() {
    PlayerStateRecord& p = PlayerState;
    if (p.attackTimer == 0) {
        if (ButtonHold[HoldButton1] == 1 && p.specialTimer == 0) {
            StartAttack();
        }
    } else {
        p.stepsPerFrame = p.kind == Ball ? 16.0 : p.kind == Book ? 8.0 : 4.0;
        ++p.attackTimer;
        if (p.attackTimer >= 20) {
            p.attackTimer = 0;
            p.stepsPerFrame = 4.0;
        }
    }
    if (p.specialTimer != 0) {
        p.stepsPerFrame = p.kind == Ball ? 24.0 : p.kind == Gun ? 4.0 : 8.0;
        ++p.specialTimer;
        if (p.specialTimer >= 20) {
            p.specialTimer = 0;
            p.stepsPerFrame = 4.0;
            p.specialActive = 0;
        }
    } else if (p.GreenGauge == 100.0 && ButtonHold[HoldButton2] == 1 && p.attackTimer == 0) {
        StartSpecial();
    }
}

void MovePlayerShots() {
    for (ShotRecord& shot : PlayerShot) {
        if (shot.active == 0) {
            continue;
        }
        for (double step = 0.0; step < shot.speed && shot.active != 0; step += 1.0) {
            const double edge = shot.dir == 1 ? shot.x + shot.width : shot.x;
            if (!IsSolid(edge, shot.y) && !IsSolid(edge, shot.y + shot.height)) {
                shot.x += shot.dir == 1 ? 1.0 : -1.0;
            } else {
                shot.active = 0;
                shot.age = 0;
                break;
            }
            ++shot.age;
            if (shot.age > 1000) {
                shot.active = 0;
                shot.age = 0;
            }
        }
    }
}

void DamagePlayer() {
    PlayerStateRecord& p = PlayerState;
    if (p.dead == 0 && p.hurt == 0 && p.kind > Ghost && p.PossessFlash == 0) {
        for (const EnemySlotRecord& enemy : EnemySlot) {
            if (enemy.active != 0 && enemy.hit == 0) {
                DamageFromEnemy(enemy);
            }
        }
        const double foot = p.posY + p.height;
        if (TileAt(p.posX + p.BodyBox.left + 10, foot) == 5 ||
            TileAt(p.posX + p.BodyBox.right - 10, foot) == 5) {
            Hit(10, p.facing, WavSpikes);
        }
        for (const TrapSlotRecord& trap : TrapSlot) {
            if (trap.active != 0 &&
                BoxesOverlap(p.posX + p.BodyBox.left, p.posY + p.BodyBox.top,
                             p.posX + p.BodyBox.right, p.posY + p.BodyBox.bottom, trap.x + 10,
                             trap.y + 10, trap.x + 50, trap.y + 50)) {
                Hit(10, p.facing, WavSpikes);
            }
        }
        if (p.ItemLife < 1) {
            ThrowItemOff();
        }
    }
    UpdateChaserCrowding();
}

void ApplyDamage() {
    PlayerStateRecord& p = PlayerState;
    if (HitPending != 1) {
        return;
    }
    p.ItemLife = std::max(p.ItemLife - p.pendingDamage, 0);
    RaiseGreenGauge(2);
    p.hurt = 1;
    p.velY = -5.0;
    p.airborne = 1;
    HitPending = 0;
}

void StartSparkles(int frameX) {
    if (SparkleRing >= SparkleCount) {
        return;
    }
    for (int i = SparkleRing; i < SparkleCount; ++i) {
        SparkleRecord& sparkle = Sparkle[i];
        if (sparkle.active != 0) {
            continue;
        }
        sparkle = SparkleRecord{1, -100.0, -100.0, -100.0, 0, std::rand() % 60, 255, frameX};
        ++SparkleRing;
        if (SparkleRing == 30) {
            SparkleRing = 0;
            return;
        }
        if (SparkleRing == 10 || SparkleRing == 20) {
            return;
        }
    }
}
