// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The four bosses: how each moves, fades, decides and runs its attacks, the final boss's special,
// the EX arena's two pairs, and what a boss's death does to the arena.
#include "enemy/bosses.h"

#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "stage/collide.h"
#include "stage/overlays.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <algorithm>
#include <cmath>

namespace {

// The end of an attack: back to idle, the cooldown counted from zero.
void EndAttack(EnemySlotRecord& e) {
    e.afterimages = 0;
    e.attackTimer = 0;
    e.attackRequest = 0;
    e.cooldown = 0;
}

bool FrontIsOpen(const EnemySlotRecord& e, int offset) {
    return !IsSolid(e.x + offset, e.y + e.bodyTop + 1) &&
           !IsSolid(e.x + offset, e.y + e.bodyBottom - 1);
}

// The dog runs across the screen, its body kept between x 0 and 640; a wall stops it.
void StepDog(EnemySlotRecord& e) {
    if (e.dir == 1) {
        if (FrontIsOpen(e, e.bodyRight)) {
            if (e.x < 640 - e.bodyRight) {
                e.x += 1;
            } else {
                e.dir = -1;
            }
        }
    } else if (FrontIsOpen(e, e.bodyLeft)) {
        if (e.x > -e.bodyLeft) {
            e.x -= 1;
        } else {
            e.dir = 1;
        }
    }
}

// The diver sweeps from off screen to off screen, each pass at a new height, and climbs back to
// height 200 after being pushed lower.
void StepDiver(EnemySlotRecord& e) {
    if (e.attackTimer == 0) {
        if (e.dir == 1) {
            if (FrontIsOpen(e, e.bodyRight)) {
                if (e.x < 640 + 2 * e.bodyRight) {
                    e.x += 1;
                } else {
                    e.dir = -1;
                    e.y = RandomInt(140) + 40;
                }
            }
        } else if (FrontIsOpen(e, e.bodyLeft)) {
            if (e.x > -10 * e.bodyLeft) {
                e.x -= 1;
            } else {
                e.dir = 1;
                e.y = RandomInt(140) + 40;
            }
        }
    }
    if (e.y > 200) {
        e.y -= 1;
    }
    if (e.y > 500) {
        e.airborne = 0;
        e.y = 200;
    }
}

// The phantom drifts towards the player on both axes, through walls.
void StepPhantom(EnemySlotRecord& e) {
    const PlayerStateRecord& p = PlayerState;
    e.x += e.dir == 1 ? 1 : -1;
    e.dir = p.posX + p.BodyBox.left <= e.x + e.bodyLeft ? -1 : 1;
    if (p.posY + p.height / 2 <= e.y + e.height / 2) {
        e.y -= 1;
    } else {
        e.y += 1;
    }
}

// The final boss hovers at height 180.
void StepFinal(EnemySlotRecord& e) {
    if (e.y > 180) {
        e.y -= 1;
    }
    if (e.y > 500) {
        e.y = 180;
        e.airborne = 0;
    }
}

void FadeIn(EnemySlotRecord& e) {
    e.alpha = std::min(e.alpha + 18, 180);
}

void FadeOut(EnemySlotRecord& e) {
    e.alpha = std::max(e.alpha - 18, 0);
}

// A large shot from the final boss towards where the player stands, if a shot record is free.
void FireAimedShot(const EnemySlotRecord& e) {
    for (ShotRecord& shot : EnemyShot) {
        if (shot.active != 0) {
            continue;
        }
        shot = ShotRecord{};
        shot.active = 1;
        shot.shotKind = 2;
        shot.speed = 2.0;
        shot.width = 120;
        shot.height = 120;
        shot.x = e.x + e.atkLeft - 30;
        shot.y = e.y + e.bodyTop + 60;
        shot.screenX = shot.x - ScrollX;
        // Aimed from the boss's corner, not from the shot.
        const double dx = PlayerState.posX - e.x;
        const double dy = PlayerState.posY - e.y;
        shot.distance = std::sqrt(dx * dx + dy * dy);
        if (shot.distance == 0) {
            shot.vx = 0.0;
            shot.vy = 2.0;
        } else {
            shot.vx = dx / shot.distance * 2;
            shot.vy = dy / shot.distance * 2;
        }
        PlaySoundHandle(WavDeath, PlayOnce, FromStart);
        return;
    }
}

// The stage 4 boss's death, or the EX arena's fourth: the finale's story takes over the stage.
void StartFinale() {
    StopSoundHandle(BgmBoss);
    StagePhase = 1;
    Fog.shown1 = 0;
    Fog.shown2 = 0;
}

} // namespace

void MoveBossOneStep(EnemySlotRecord& e) {
    switch (e.kind) {
    case BossDog:
        StepDog(e);
        break;
    case BossDiver:
        StepDiver(e);
        break;
    case BossPhantom:
        StepPhantom(e);
        break;
    case BossFinal:
        StepFinal(e);
        break;
    default:
        break;
    }
}

void MoveBossAfterSteps(EnemySlotRecord& e) {
    // The last frame of the phantom's cycle, faded out: it reappears somewhere else.
    if (e.kind == BossPhantom && e.anim == 79) {
        e.x = RandomInt(640) - 60;
        e.y = RandomInt(480) - 60;
    }
}

void FadeBoss(EnemySlotRecord& e) {
    if (e.dying != 0) {
        return;
    }
    if (e.kind == BossPhantom) {
        if (e.anim <= 10) {
            FadeIn(e);
        } else if (e.anim >= 70) {
            FadeOut(e);
        }
    } else if (e.kind == BossFinal) {
        const int32_t phase = e.specialTimer == 0 ? e.anim : e.specialTimer;
        const int32_t fadeOutFrom = e.specialTimer == 0 ? 110 : 190;
        if (phase <= 10) {
            FadeIn(e);
        } else if (phase >= fadeOutFrom) {
            FadeOut(e);
        }
    }
}

void DecideBossAttack(EnemySlotRecord& e) {
    switch (e.kind) {
    case BossDog:
        e.attackGauge += 0.3;
        if (e.attackGauge >= 100) {
            e.attackGauge = 0;
            e.attackRequest = 1;
        }
        break;
    case BossDiver:
        e.attackGauge = std::min(e.attackGauge + 0.2, 100.0);
        // A full gauge waits until the diver is on screen.
        if (e.attackGauge >= 100 && e.x > 0 && e.x < 640) {
            e.attackGauge = 0;
            e.attackRequest = 1;
            e.knockDir = PlayerState.posX; // the x it dives towards
            e.dir = e.x <= PlayerState.posX ? 1 : -1;
        }
        break;
    case BossPhantom:
        if (e.attackTimer == 0) {
            e.attackGauge += 0.2;
            if (e.attackGauge >= 100) {
                e.attackRequest = 1;
                e.attackGauge = 0;
            }
        }
        break;
    case BossFinal:
        if (e.attackTimer == 0 && e.specialTimer == 0) {
            if (e.anim == 0) {
                // Once a cycle it appears behind the player, facing the same way, and dashes.
                const PlayerStateRecord& p = PlayerState;
                e.attackRequest = 1;
                e.dir = p.facing;
                e.x = p.facing == 1 ? p.posX + p.BodyBox.left - 400 : p.posX + p.BodyBox.right;
            }
            e.attackGauge += 0.1;
            if (e.attackGauge >= 100) {
                e.specialRequest = 1;
                e.attackGauge = 0;
            }
        }
        break;
    default:
        break;
    }
}

void StartBossAttack(EnemySlotRecord& e) {
    switch (e.kind) {
    case BossDog:
        PlaySoundHandle(WavDog, PlayOnce, FromStart);
        e.airborne = 1;
        e.vy = -10.0; // a leap while it keeps running
        break;
    case BossDiver:
        PlaySoundHandle(WavCrow, PlayOnce, FromStart);
        e.vy = 0.0;
        e.airborne = 1; // it drops towards the floor
        break;
    case BossFinal:
        PlaySoundHandle(WavAtc1, PlayOnce, FromStart);
        break;
    default:
        break;
    }
}

void ProgressBossAttack(EnemySlotRecord& e) {
    switch (e.kind) {
    case BossDog:
        if (e.airborne == 0) {
            EndAttack(e);
        }
        break;
    case BossDiver:
        // It homes on the stored x while falling; the dive ends on landing.
        e.x += e.x <= e.knockDir ? 8 : -8;
        if (e.airborne == 0) {
            EndAttack(e);
        }
        break;
    case BossPhantom:
        if (e.attackTimer > 180) {
            EndAttack(e);
        }
        break;
    case BossFinal:
        e.x += e.dir == 1 ? 4 : -4;
        if (e.attackTimer == 5) {
            e.afterimages = 1;
        }
        if (e.attackTimer > 25) {
            EndAttack(e);
        }
        break;
    default:
        break;
    }
}

void UpdateFinalSpecial(EnemySlotRecord& e) {
    if (e.kind != BossFinal) {
        return;
    }
    if (e.specialTimer == 0) {
        if (e.specialRequest == 1 && e.attackTimer == 0) {
            // It vanishes and comes back above the middle of the arena.
            e.alpha = 0;
            e.dir = -1;
            e.x = 300.0;
            e.y = -10.0;
            e.specialTimer = 1;
            e.flash = 1;
            e.attackGauge = 0.0;
        }
        return;
    }
    ++e.specialTimer;
    if (e.specialTimer == 30 || e.specialTimer == 120) {
        FireAimedShot(e);
    }
    if (e.specialTimer > 199) {
        e.anim = 0;
        e.x = 600.0;
        e.y = 180.0;
        e.specialTimer = 0;
        e.specialRequest = 0;
    }
}

void HoldSecondPair() {
    if (StageId != StageExArena || (EnemySlot[0].active == 0 && EnemySlot[1].active == 0)) {
        return;
    }
    for (int slot = 2; slot <= 3; ++slot) {
        EnemySlot[slot].attackGauge = 0;
        EnemySlot[slot].anim = 0;
        EnemySlot[slot].x = 1000.0;
    }
}

void ApplyBossDeathRules(const EnemySlotRecord& e) {
    if (e.kind == BossFinal && StageId == ArenaOf(4)) {
        Fog.alpha1 = std::max(Fog.alpha1 - 2, 0);
        Fog.alpha2 = std::max(Fog.alpha2 - 3, 0);
    }
    // A heroine who has died (the clock ran out after the boss fell) clears nothing: the
    // enemies keep moving behind the continue prompt, and a continue places the boss again.
    if (e.active != 0 || PlayerState.dead != 0) {
        return;
    }
    if (StageId == ArenaOf(4) && e.kind == BossFinal) {
        StartFinale();
    } else if (StageId == StageExArena) {
        bool allFree = true;
        for (int slot = 0; slot < 4; ++slot) {
            allFree = allFree && EnemySlot[slot].active == 0;
        }
        if (allFree) {
            StartFinale();
        }
    } else if ((StageId == ArenaOf(1) && e.kind == BossDog) ||
               (StageId == ArenaOf(2) && e.kind == BossDiver) ||
               (StageId == ArenaOf(3) && e.kind == BossPhantom)) {
        // The way out: the stage ends once the player reaches the right edge of the screen.
        const PlayerStateRecord& p = PlayerState;
        if (p.screenX >= 610 - p.BodyBox.right) {
            StopSoundHandle(BgmBoss);
            GameMode = ModeStageResult;
        }
    }
}
