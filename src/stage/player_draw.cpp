// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "stage/attack.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <algorithm>

namespace {

struct Cell {
    int x;
    int y;
};

// Counter / divisor as a step of a 4-frame animation, never past its last frame.
int Step(int counter, int divisor, int last = 3) {
    return std::clamp(counter / divisor, 0, last);
}

// The cell of the possessed item (or the prologue's walking heroine) for this frame: a running
// special wins over an attack; the airborne row only while neither runs; else walking.
Cell CellOf(const PlayerStateRecord& p) {
    const int w = p.width;
    const int h = p.height;
    static constexpr int BearWalk[8] = {0, 1, 2, 1, 0, 3, 4, 3};
    const bool special = p.specialTimer > 0;
    const bool attack = p.attackTimer > 0;
    const bool air = p.airborne != 0;
    switch (p.kind) {
    case Bear:
        if (special) {
            return {Step(p.specialTimer, 5) * w, 2 * h};
        }
        if (attack) {
            return {Step(p.attackTimer, 5) * w, h};
        }
        if (air) {
            return {p.airCounter < 10 ? 0 : w, 3 * h};
        }
        return {BearWalk[Step(p.walkCounter, 10, 7)] * w, 0};
    case Ball:
        if (special) {
            return {Step(p.specialTimer, 5) * w, h};
        }
        if (attack) {
            return {Step(p.attackTimer, 5) * w, 0};
        }
        if (air) {
            return {0, 0};
        }
        return {Step(p.walkCounter, 5) * w, 0};
    case Hopping: {
        if (air) {
            static constexpr int Takeoff[4] = {3, 2, 1, 0};
            return {Takeoff[Step(p.airCounter, 5)] * w, 0};
        }
        return {Step(p.walkCounter, 10) * w, 0};
    }
    case Book: {
        if (attack) {
            static constexpr int Swing[4] = {1, 2, 3, 3};
            return {Swing[Step(p.attackTimer, 5)] * w, 0};
        }
        if (air) {
            return {Step(p.airCounter, 10) * w, h};
        }
        return {Step(p.walkCounter, 10) * w, 0};
    }
    case Gun: {
        static constexpr int Recoil[4] = {0, 1, 0, 0};
        if (special) {
            return {Recoil[Step(p.specialTimer, 5)] * w, h};
        }
        if (attack) {
            return {Recoil[Step(p.attackTimer, 5)] * w, h};
        }
        if (air) {
            return {Step(p.airCounter, 5, 2) * w, 0};
        }
        return {0, 0};
    }
    default: // the heroine walking in the prologue
        return {BearWalk[Step(p.walkCounter, 10, 7)] * w, 0};
    }
}

int SheetOf(int kind) {
    switch (kind) {
    case Bear:
        return PngItemBear;
    case Ball:
        return PngItemBall;
    case Hopping:
        return PngItemHopping;
    case Book:
        return PngItemBook;
    case Gun:
        return PngItemGun;
    default:
        return PngPlayer;
    }
}

// The ball and the book are drawn facing right in their sheets.
int MirrorOf(const PlayerStateRecord& p) {
    if (p.kind == Ball || p.kind == Book) {
        return p.facing == -1 ? 1 : 0;
    }
    return p.facing == 1 ? 1 : 0;
}

int HighlightOffset(int kind) {
    switch (kind) {
    case Bear:
        return 600;
    case Ball:
    case Hopping:
    case Book:
        return 240;
    case Gun:
        return 180;
    default:
        return 0;
    }
}

void DrawGhostCell(const PlayerStateRecord& p) {
    DrawImageRegion(static_cast<int>(p.screenX), static_cast<int>(p.posY), 0, 180, 180, 180,
                    PngPlayer, 1, p.facing == 1 ? 1 : 0);
}

void DrawBody(PlayerStateRecord& p) {
    if (p.PlayerLife <= 0) {
        // The spirit fades out over the frames of death.
        p.ghostAlpha -= 3;
        SetBlendMode(BlendAlpha, p.ghostAlpha);
        DrawGhostCell(p);
        SetBlendMode(BlendNone, 0);
        return;
    }
    if (TimeLeft <= 0) {
        return;
    }
    if (p.kind == Ghost) {
        SetBlendMode(BlendAlpha, p.ghostAlpha);
        DrawGhostCell(p);
        SetBlendMode(BlendNone, 0);
        return;
    }
    const Cell cell = CellOf(p);
    const int mirror = MirrorOf(p);
    const int sheet = SheetOf(p.kind);
    const int highlight = p.PossessFlash >= 1 ? HighlightOffset(p.kind) : 0;
    DrawImageRegion(static_cast<int>(p.screenX), static_cast<int>(p.posY), cell.x + highlight,
                    cell.y, p.width, p.height, sheet, 1, mirror);
    if (p.specialActive == 1 && (p.kind == Bear || p.kind == Ball)) {
        SetBlendMode(BlendAlpha, p.ghostAlpha);
        for (const AfterimageRecord& image : PlayerAfterimage) {
            if (image.active != 0) {
                DrawImageRegion(static_cast<int>(image.screenX), static_cast<int>(image.y), cell.x,
                                cell.y, p.width, p.height, sheet, 1, mirror);
            }
        }
    }
}

} // namespace

void DrawPlayer() {
    PlayerStateRecord& p = PlayerState;
    if (p.hurt != 0) {
        SetBlendMode(BlendAlpha, p.ghostAlpha); // a hurt item shows through
    } else {
        SetBlendMode(BlendNone, 0);
    }
    DrawBody(p);
    SetBlendMode(BlendNone, 0);
    for (const ShotRecord& shot : PlayerShot) {
        if (shot.active != 0) {
            DrawImageRegion(static_cast<int>(shot.screenX), static_cast<int>(shot.y),
                            shot.shotKind == 2 ? 10 : 0, 0, shot.height, shot.height, PngShots, 1,
                            0);
        }
    }
}
