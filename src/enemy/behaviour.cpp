// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The enemy update: movement, gravity, attacks, hits and death of every slot, the enemies' shots,
// and the chasers' crowding.
#include "enemy/bosses.h"
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "stage/collide.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double StageWidth = 12480.0;

double PlayerCentreX() {
    return PlayerState.posX + PlayerState.width / 2;
}

// One step of a rat: on along the floor, turning at walls, ledges and the stage's ends.
void StepRat(EnemySlotRecord& e) {
    const double bottom = e.y + e.bodyBottom;
    // The branch follows dir at the start of the step: after a ledge turn the rat still takes
    // this step's pixel over the edge.
    if (e.dir == 1) {
        const double front = e.x + e.bodyRight;
        if (!IsSolid(front - 1, bottom)) {
            e.dir = -1;
        }
        if (!IsSolid(front, e.y + e.bodyTop + 1) && !IsSolid(front, bottom - 1)) {
            if (e.x < StageWidth - e.width) {
                e.x += 1;
            } else {
                e.dir = -1;
            }
        } else {
            e.dir = -1;
        }
    } else {
        const double front = e.x + e.bodyLeft;
        if (!IsSolid(front + 1, bottom)) {
            e.dir = 1;
        }
        if (!IsSolid(front, e.y + e.bodyTop + 1) && !IsSolid(front, bottom - 1)) {
            if (e.x > 0) {
                e.x -= 1;
            } else {
                e.dir = 1;
            }
        } else {
            e.dir = 1;
        }
    }
}

// One step of a chaser: closer to the player once within 320 pixels, diagonally.
void StepChaser(EnemySlotRecord& e) {
    const PlayerStateRecord& p = PlayerState;
    const double bottom = e.y + e.bodyBottom;
    const double front = e.x + (e.dir == 1 ? e.bodyRight : e.bodyLeft);
    if (!IsSolid(front, e.y + e.bodyTop + 1) && !IsSolid(front, bottom - 1)) {
        if (e.dir == 1 && e.x > PlayerCentreX() - 320) {
            e.x += 1;
        } else if (e.dir != 1 && e.x < PlayerCentreX() + 320) {
            e.x -= 1;
        }
    }
    // A crowded chaser only holds its line, so a swarm spreads out instead of stacking.
    if (e.crowded != 0) {
        return;
    }
    const double left = e.x + e.bodyLeft;
    const double right = e.x + e.bodyRight;
    e.dir = p.posX + p.BodyBox.left <= left ? -1 : 1;
    const bool inRange = (e.dir == 1 && e.x > p.posX - 320) || (e.dir == -1 && e.x < p.posX + 320);
    if (p.posY + p.height / 2 <= e.y + e.height / 2) {
        const double head = e.y + e.bodyTop;
        const double middle = e.y + e.bodyBottom / 2;
        if (!IsSolid(left + 1, head) && !IsSolid(right - 1, head) && !IsSolid(left + 1, middle) &&
            !IsSolid(right - 1, middle) && inRange) {
            e.y -= 1;
        }
    } else {
        const double foot = e.y + e.bodyBottom;
        if (!IsSolid(left + 1, foot) && !IsSolid(right - 1, foot) && inRange) {
            e.y += 1;
        }
    }
}

// A: walking, chasing, drifting; a small enemy stands still once hit, a boss moves again 31
// frames into its stun.
void MoveEnemy(EnemySlotRecord& e) {
    if (e.active != 1 || e.dying != 0 || (e.hit != 0 && !(e.kind > 10 && e.hitTimer > 30))) {
        return;
    }
    for (int step = 0; step < e.speed; ++step) {
        if (e.kind == Rat) {
            StepRat(e);
        } else if (e.kind == Chaser) {
            StepChaser(e);
        } else {
            MoveBossOneStep(e);
        }
    }
    if (e.kind == Spider) {
        e.dir = PlayerState.posX <= e.x ? -1 : 1;
    }
    MoveBossAfterSteps(e);
}

// B: rising until the head meets a tile, falling until the feet do; gravity without a limit.
void ApplyGravity(EnemySlotRecord& e) {
    if (e.airborne != 1) {
        return;
    }
    if (e.vy < 0) {
        double t = 0;
        do {
            const double head = e.y + e.bodyTop;
            const double middle = e.y + e.bodyBottom / 2;
            if (!IsSolid(e.x + e.bodyLeft + 1, head) && !IsSolid(e.x + e.bodyRight - 1, head) &&
                !IsSolid(e.x + e.bodyLeft + 1, middle) && !IsSolid(e.x + e.bodyRight - 1, middle)) {
                e.y -= 0.5;
            } else {
                e.vy = 1.0; // head bump
            }
            t -= 0.5;
        } while (e.vy < t);
        // Knocked away from the attacker while rising from a hit, walls or not.
        if (e.hit == 1 && e.hitTimer < 20) {
            for (int step = 0; step < e.speed; ++step) {
                e.x += e.knockDir <= 0 ? 1 : -1;
            }
        }
    } else if (e.vy > 0) {
        if (e.y + e.bodyBottom >= MapRows * TileSize) {
            // Below the map every point is open: the half-pixel steps add up to the same fall
            // at once, so an enemy lost in a hole costs nothing however long it has fallen.
            e.y += 0.5 * std::max(1.0, std::ceil(e.vy / 0.5));
        } else {
            double t = 0;
            do {
                const double foot = e.y + e.bodyBottom;
                if (!IsSolid(e.x + e.bodyLeft + 1, foot) && !IsSolid(e.x + e.bodyRight - 1, foot)) {
                    e.y += 0.5;
                } else {
                    e.airborne = 0; // landed; vy keeps its value
                }
                t += 0.5;
            } while (t < e.vy);
        }
    }
    e.vy += 0.5;
}

// C: the animation counter, wrapped at each kind's cycle (the spider's is never shown).
void CountAnimation(EnemySlotRecord& e) {
    ++e.anim;
    int32_t limit = -1;
    switch (e.kind) {
    case Rat:
        limit = 19;
        break;
    case Chaser:
        limit = 11;
        break;
    case BossDog:
    case BossDiver:
        limit = 24;
        break;
    case BossPhantom:
        limit = 79;
        break;
    case BossFinal:
        limit = 119;
        break;
    default:
        break;
    }
    if (limit >= 0 && e.anim > limit) {
        e.anim = 0;
    }
}

// The spider's straight shot along the floor, if a shot record is free.
void FireSpiderShot(const EnemySlotRecord& e) {
    for (ShotRecord& shot : EnemyShot) {
        if (shot.active == 0) {
            // A fresh record, so every shot flies its full range.
            shot = ShotRecord{};
            shot.active = 1;
            shot.shotKind = 1;
            shot.speed = 4.0;
            shot.width = 15;
            shot.height = 15;
            shot.dir = e.dir;
            shot.x = e.x + (e.dir == 1 ? e.bodyRight : e.bodyLeft);
            shot.y = e.y + e.bodyTop + 5;
            shot.screenX = shot.x - ScrollX;
            return;
        }
    }
}

// E: deciding to attack.
void DecideAttack(EnemySlotRecord& e) {
    if (e.active != 1 || e.hit != 0 || e.attackRequest != 0 || e.specialRequest != 0) {
        return;
    }
    ++e.cooldown;
    if (e.kind == Spider) {
        const double centre = PlayerCentreX();
        const bool inRange =
            (e.dir == 1 && e.x > centre - 640) || (e.dir == -1 && e.x < centre + 640);
        if (inRange && e.cooldown > 90) {
            FireSpiderShot(e);
            e.attackRequest = 1; // even with no free shot: the spider goes through its attack
        }
        return;
    }
    DecideBossAttack(e);
}

// F: an attack's first frame, then its progress.
void RunAttack(EnemySlotRecord& e) {
    if (e.attackTimer == 0 && e.attackRequest == 1 && e.specialTimer == 0) {
        if (e.kind == Spider) {
            PlaySoundHandle(WavSpider, PlayOnce, FromStart);
        }
        if (e.kind == BossDog || e.kind == BossDiver || e.kind == BossPhantom) {
            e.afterimages = 1;
        }
        e.attackTimer = 1;
        e.flash = 1;
        StartBossAttack(e);
    } else if (e.attackTimer > 0) {
        ++e.attackTimer;
        if (e.kind == Spider) {
            // The shot is already flying: a spider's attack is over at once.
            e.attackTimer = 0;
            e.attackRequest = 0;
            e.cooldown = 0;
        } else {
            ProgressBossAttack(e);
        }
    }
}

// H: the attack-start flash lasts ten frames.
void CountFlash(EnemySlotRecord& e) {
    if (e.flash > 0) {
        ++e.flash;
        if (e.flash > 10) {
            e.flash = 0;
        }
    }
}

// I: one afterimage at a time, showing where the enemy was up to seven frames ago.
void SampleAfterimages(int slot) {
    EnemySlotRecord& e = EnemySlot[slot];
    AfterimageRecord* images = EnemyAfterimage[slot];
    ++e.trailTimer;
    if (e.trailTimer % 7 != 0) {
        return;
    }
    const int on = e.trailTimer / 7 - 1; // 7 → 0, 14 → 1, 21 → 2, 28 → 3
    if (on < 0 || on >= EnemyAfterimageCount) {
        return;
    }
    images[on].x = e.x;
    images[on].y = e.y;
    images[on].active = 1;
    images[(on + EnemyAfterimageCount - 1) % EnemyAfterimageCount].active = 0;
    if (on == EnemyAfterimageCount - 1) {
        e.trailTimer = 0;
    }
}

// K: a small enemy dies from any hit; a boss dies with no hit points left, else is stunned.
void HandleHit(EnemySlotRecord& e) {
    if (e.hit != 1) {
        return;
    }
    if (e.kind < 10 || e.hp < 1) {
        e.dying = 1;
        return;
    }
    ++e.hitTimer;
    if (e.hitTimer > (e.kind == BossFinal ? 30 : 60)) {
        e.hitTimer = 0;
        e.hit = 0;
    }
}

// L: a dying enemy fades for 60 frames and its slot is freed. The flag stays set, so a boss's
// end rules keep being applied after that.
void HandleDeath(EnemySlotRecord& e) {
    if (e.dying != 1) {
        return;
    }
    e.alpha -= 3;
    ++e.deathTimer;
    if (e.deathTimer > 60) {
        e.active = 0;
        e.hit = 0;
    }
    if (e.kind >= 11) {
        ApplyBossDeathRules(e);
    }
}

void EndShot(ShotRecord& shot) {
    shot.active = 0;
    shot.age = 0;
}

// M: straight shots a pixel at a time until a wall or their range ends them; aimed shots through
// everything until they are below the screen.
void MoveEnemyShots() {
    for (ShotRecord& shot : EnemyShot) {
        if (shot.active != 1) {
            continue;
        }
        for (int step = 0; step < shot.speed && shot.active == 1; ++step) {
            if (shot.shotKind == 1) {
                if (shot.dir == 1) {
                    if (!IsSolid(shot.x + shot.width, shot.y) &&
                        !IsSolid(shot.x + shot.width, shot.y + shot.height)) {
                        shot.x += 1;
                    } else {
                        EndShot(shot);
                        break;
                    }
                } else if (!IsSolid(shot.x, shot.y) && !IsSolid(shot.x, shot.y + shot.height)) {
                    shot.x -= 1;
                } else {
                    EndShot(shot);
                    break;
                }
                ++shot.age;
                if (shot.age > 1000) {
                    EndShot(shot);
                }
            } else if (shot.shotKind == 2) {
                shot.x += shot.vx;
                shot.y += shot.vy;
                if (shot.y > 600) {
                    EndShot(shot);
                }
            }
        }
    }
}

// N: screen positions from the frame's camera.
void RefreshEnemyScreenPositions() {
    for (ShotRecord& shot : EnemyShot) {
        shot.screenX = shot.x - ScrollX;
    }
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        EnemySlot[slot].screenX = EnemySlot[slot].x - ScrollX;
        for (AfterimageRecord& image : EnemyAfterimage[slot]) {
            image.screenX = image.x - ScrollX;
        }
    }
}

} // namespace

// Every frame (also behind the continue prompt): every slot through its steps, then the shots.
void UpdateEnemies() {
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        EnemySlotRecord& e = EnemySlot[slot];
        MoveEnemy(e);
        ApplyGravity(e);
        CountAnimation(e);
        FadeBoss(e);
        DecideAttack(e);
        RunAttack(e);
        UpdateFinalSpecial(e);
        CountFlash(e);
        SampleAfterimages(slot);
        HoldSecondPair();
        HandleHit(e);
        HandleDeath(e);
    }
    MoveEnemyShots();
    RefreshEnemyScreenPositions();
}

// Every frame, at the end of the player's damage step: a chaser overlapping an enemy below it in
// the table is marked crowded and pushed back against its way. AMENDED: only live slots crowd. The
// original also compared freed slots, whose boxes stay where their enemies died: a chaser beside
// one was pushed back as far as it flew each frame and could be held at its height, standing still
// for as long as the player stayed away. A freed slot counts as no overlap, like one never used.
void UpdateChaserCrowding() {
    for (int i = 0; i < EnemySlotCount; ++i) {
        EnemySlotRecord& e = EnemySlot[i];
        if (e.kind != Chaser || e.active != 1) {
            continue;
        }
        for (int j = 0; j < i; ++j) {
            const EnemySlotRecord& other = EnemySlot[j];
            const bool overlap =
                other.active == 1 &&
                BoxesOverlap(e.x + e.bodyLeft, e.y + e.bodyTop, e.x + e.bodyRight,
                             e.y + e.bodyBottom, other.x + other.bodyLeft, other.y + other.bodyTop,
                             other.x + other.bodyRight, other.y + other.bodyBottom);
            if (overlap) {
                e.crowded = 1;
                e.x += e.dir == 1 ? -3 : 3;
            } else {
                e.crowded = 0;
            }
        }
    }
}
