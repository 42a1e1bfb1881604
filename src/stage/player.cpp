// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/player.h"

#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "stage/attack.h"
#include "stage/collide.h"
#include "stage/map.h"
#include "stage/stage.h"

#include <algorithm>

PlayerStateRecord PlayerState = {};
FreeItemRecord FreeItem = {};
AfterimageRecord PlayerAfterimage[4] = {};

namespace {

constexpr double ThrownOffFloor = 960.0;

bool Held(int bit) {
    return (PadState & bit) != 0;
}

// Rises by |velY| in half-pixel steps; a solid head or mid-body probe ends the rise.
void RiseBy(double& y, double& velY, double x, const Box& box) {
    for (double step = 0.0; velY < step; step -= 0.5) {
        const double left = x + box.left + 1;
        const double right = x + box.right - 1;
        const double middle = y + box.bottom / 2;
        if (IsSolid(left, y + box.top) || IsSolid(right, y + box.top) || IsSolid(left, middle) ||
            IsSolid(right, middle)) {
            velY = 1.0;
            return;
        }
        y = std::max(y - 0.5, -240.0);
    }
}

// True while the item may take the step: the pad, a knock-back or a dash drives it that way.
bool StepWanted(int direction, int running, bool& knockedBack) {
    const PlayerStateRecord& p = PlayerState;
    const bool held = Held(direction > 0 ? PadRight : PadLeft);
    knockedBack = p.knockDir == -direction && p.hurt != 0 && p.hurtTimer < 20;
    const bool dash =
        running == direction && ((p.kind == Ball && p.specialTimer >= 1) ||
                                 ((p.kind == Ball || p.kind == Book) && p.attackTimer >= 1));
    return (held && p.hurt == 0) || (held && p.hurt != 0 && p.hurtTimer > 20) || knockedBack ||
           dash;
}

void MoveHorizontally() {
    PlayerStateRecord& p = PlayerState;
    p.movedThisFrame = 0;
    int running = p.facing;
    for (double count = 0.0; count < p.stepsPerFrame; count += 1.0) {
        for (int direction : {+1, -1}) {
            const double x = p.posX + (direction > 0 ? p.BodyBox.right : p.BodyBox.left);
            if (IsSolid(x, p.posY + p.BodyBox.top) || IsSolid(x, p.posY + p.BodyBox.bottom - 1)) {
                continue;
            }
            bool knockedBack = false;
            if (!StepWanted(direction, running, knockedBack)) {
                continue;
            }
            p.movedThisFrame = 1;
            // A knocked-back item keeps looking at its attacker.
            running = knockedBack ? -direction : direction;
            ScrollOrMove(direction);
        }
    }
    p.facing = running;
}

void MoveVertically() {
    PlayerStateRecord& p = PlayerState;
    const Box& box = p.BodyBox;
    const bool wasAirborne = p.airborne != 0;
    if (p.kind == Book && ButtonHold[HoldUp] == 1) {
        p.ItemLife -= 5;
        p.velY = -11.0;
        p.airborne = 1;
        RiseBy(p.posY, p.velY, p.posX, box);
        p.velY += 0.5;
    } else if (p.airborne != 0) {
        if (p.velY < 0) {
            RiseBy(p.posY, p.velY, p.posX, box);
        } else if (p.velY > 0) {
            for (double step = 0.0; step < p.velY; step += 0.5) {
                if (IsSolid(p.posX + box.left + 1, p.posY + box.bottom) ||
                    IsSolid(p.posX + box.right - 1, p.posY + box.bottom)) {
                    PlaySoundHandle(WavLanding, PlayOnce, FromStart);
                    p.airborne = 0;
                    break;
                }
                p.posY += 0.5;
            }
        }
        p.velY += 0.5;
    } else {
        if (Held(PadUp)) {
            p.velY = p.kind == Hopping ? -16.0 : -11.0;
            p.airborne = 1;
        }
        if (!IsSolid(p.posX + box.left + 1, p.posY + box.bottom) &&
            !IsSolid(p.posX + box.right - 1, p.posY + box.bottom)) {
            p.velY = 1.0; // walked off a ledge
            p.airborne = 1;
        }
    }
    // AMENDED: the airborne animation counts from each take-off (left alone, it would only ever
    // show its take-off frames in the first seconds after the program starts).
    if (!wasAirborne && p.airborne != 0) {
        p.airCounter = 0;
    }
}

void CountSteps() {
    PlayerStateRecord& p = PlayerState;
    if (p.movedThisFrame != 0 && p.airborne == 0) {
        ++p.walkCounter;
        const int cycle = p.kind == Bear ? 80 : p.kind == Ball ? 20 : p.kind == Gun ? 0 : 40;
        if (cycle > 0 && p.walkCounter >= cycle) {
            p.walkCounter = 0;
        }
        if (p.kind == Bear && (p.walkCounter == 20 || p.walkCounter == 60)) {
            PlaySoundHandle(WavLanding, PlayOnce, FromStart); // footstep
        }
    } else {
        p.walkCounter = 0;
    }
    if (p.airborne != 0) {
        ++p.airCounter;
        if (p.kind == Book && p.airCounter >= 40) {
            p.airCounter = 0;
        }
    }
}

// Samples the position into the after-images every 7 frames, keeping three of the four.
void SampleAfterimages() {
    PlayerStateRecord& p = PlayerState;
    ++p.trailCounter;
    if (p.trailCounter % 7 == 0) {
        const int index = p.trailCounter / 7 - 1;
        PlayerAfterimage[index] = {1, p.posX, p.posY, p.posX - ScrollX};
        PlayerAfterimage[(index + 3) % 4].active = 0;
    }
    if (p.trailCounter >= 28) {
        p.trailCounter = 0;
    }
}

// The possessed item's frame: movement, counters, attacks and specials, flash, hurt.
void UpdatePossessedItem() {
    PlayerStateRecord& p = PlayerState;
    MoveHorizontally();
    MoveVertically();
    CountSteps();
    if (p.kind != Hopping) {
        UpdateAttackAndSpecial();
    }
    if (p.PossessFlash >= 1) {
        ++p.PossessFlash;
        if (p.PossessFlash > 10) {
            p.PossessFlash = 0;
        }
    }
    SampleAfterimages();
    if (p.hurt != 0) {
        ++p.hurtTimer;
        if (p.hurtTimer > 60) {
            p.hurt = 0;
            p.hurtTimer = 0;
        }
    }
}

// After a death: the gauges empty, the item is thrown off, and 61 frames later the continue
// screen comes.
void UpdateDeath() {
    PlayerStateRecord& p = PlayerState;
    ++p.deathTimer;
    if (p.deathTimer > 60) {
        GameMode = ModeContinue;
    }
    if (p.deathTimer != 1) {
        return;
    }
    p.GreenGauge = 0;
    p.hurt = p.airborne = p.attackTimer = p.specialTimer = p.specialActive = p.PossessFlash = 0;
    p.PlayerLife = 0;
    p.ItemLife = 0;
    if (p.kind > Ghost) {
        ThrowItemOff();
    }
    p.kind = Ghost;
}

void MoveGhost() {
    PlayerStateRecord& p = PlayerState;
    if (Held(PadRight)) {
        p.facing = 1;
        if (p.screenX < 700 - p.width) {
            p.posX += 4;
        }
    }
    if (Held(PadLeft)) {
        p.facing = -1;
        if (p.screenX > -60) {
            p.posX -= 4;
        }
    }
    if (Held(PadDown) && p.posY < 540 - p.height) {
        p.posY += 4;
    }
    if (Held(PadUp) && p.posY > -60) {
        p.posY -= 4;
    }
}

// The item lying or falling in the stage while the heroine is a ghost.
void UpdateFreeItem() {
    FreeItemRecord& item = FreeItem;
    if (item.inStage != 1 || item.falling == 0) {
        return;
    }
    if (item.velY < 0) {
        RiseBy(item.y, item.velY, item.x, item.box);
    } else if (item.velY > 0) {
        for (double step = 0.0; step < item.velY && item.y < ThrownOffFloor; step += 0.5) {
            if (item.possessable == 1) {
                const double foot = item.y + item.box.bottom;
                if (IsSolid(item.x + item.box.left + 1, foot) ||
                    IsSolid(item.x + item.box.right - 1, foot)) {
                    PlaySoundHandle(WavLanding, PlayOnce, FromStart);
                    item.falling = 0;
                    break;
                }
                item.y += 0.5;
            } else {
                item.y += 0.5; // a thrown-off item falls through everything
            }
        }
    }
    // AMENDED: out of the stage, an item stops at its floor: left to fall, it would take ever more
    // steps per frame behind a continue screen that nobody answers.
    if (item.y >= ThrownOffFloor) {
        item.y = ThrownOffFloor;
        item.velY = 0.0;
        return;
    }
    item.velY += 0.5;
}

bool GhostTouchesItem() {
    const PlayerStateRecord& p = PlayerState;
    const FreeItemRecord& item = FreeItem;
    return BoxesOverlap(p.posX + p.BodyBox.left, p.posY + p.BodyBox.top, p.posX + p.BodyBox.right,
                        p.posY + p.BodyBox.bottom, item.x + item.box.left, item.y + item.box.top,
                        item.x + item.box.right, item.y + item.box.bottom);
}

void Possess() {
    PlayerStateRecord& p = PlayerState;
    p.posX = FreeItem.x;
    p.posY = FreeItem.y;
    p.airborne = 1;
    p.velY = -11.0;
    p.airCounter = 0;
    p.PossessFlash = 1;
    p.attackTimer = p.specialTimer = 0;
    FreeItem.inStage = 0;
    PlaySoundHandle(WavGet, PlayOnce, FromStart);
    p.kind = FreeItem.kind;
    p.ItemLife += p.kind == Bear || p.kind == Book ? 100 : 50;
    p.PlayerLife = std::min(p.PlayerLife, 200);
    p.ItemLife = std::min(p.ItemLife, 200);
}

} // namespace

void ThrowItemOff() {
    PlayerStateRecord& p = PlayerState;
    FreeItem.x = p.posX;
    FreeItem.y = p.posY;
    FreeItem.velY = -7.0;
    FreeItem.facing = p.facing;
    FreeItem.inStage = 1;
    FreeItem.falling = 1;
    FreeItem.possessable = 0;
    p.kind = Ghost;
    p.hurt = p.airborne = p.attackTimer = p.specialTimer = p.specialActive = p.PossessFlash = 0;
}

void UpdatePlayer() {
    if (PlayerState.kind > Ghost && PlayerState.dead == 0) {
        UpdatePossessedItem();
    }
    if (PlayerState.dead != 0) {
        UpdateDeath();
    }
    MovePlayerShots();
    UpdateGhost();
    RefreshScreenPositions();
}

void UpdateGhost() {
    PlayerStateRecord& p = PlayerState;
    const bool pressedC = ButtonHold[HoldButton3] == 1;
    if (p.kind == Ghost) {
        MoveGhost();
        UpdateFreeItem();
        if (p.dead == 0 && FreeItem.inStage == 1 && FreeItem.possessable == 1 && pressedC &&
            GhostTouchesItem()) {
            Possess();
        }
    }
    if (p.PossessFlash == 0 && p.dead == 0 && p.kind > Ghost && pressedC) {
        ThrowItemOff();
        p.ItemLife = 0;
    }
}
