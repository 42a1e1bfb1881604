// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Drawing the enemies, the bosses' afterimages and the enemies' shots.
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"

namespace {

// A cell of a sprite sheet, in columns and rows of the kind's cell size.
struct Cell {
    int32_t column;
    int32_t row;
};

// Screen positions are whole pixels, truncated toward zero.
int Px(double value) {
    return static_cast<int>(value);
}

int32_t SheetOf(int32_t kind) {
    switch (kind) {
    case Rat:
        return PngEnemy1;
    case Spider:
        return PngEnemy3;
    case Chaser:
        return PngEnemy2;
    case BossDog:
        return PngEnemyB1;
    case BossDiver:
        return PngEnemyB2;
    case BossPhantom:
        return PngEnemyB3;
    case BossFinal:
        return PngEnemyB4;
    default:
        return -1; // no picture
    }
}

// The falling-apart pair of cells of a dying enemy: the first half second, then the second.
int32_t DyingColumn(const EnemySlotRecord& e) {
    return e.deathTimer < 30 ? 2 : 3;
}

Cell SmallEnemyCell(const EnemySlotRecord& e) {
    if (e.dying != 0) {
        return {DyingColumn(e), 1};
    }
    switch (e.kind) {
    case Rat:
        return {e.anim / 5, 0};
    case Chaser:
        return {e.anim / 3, 0};
    default:
        return {0, 0}; // the spider has one picture, attacking or not
    }
}

Cell BossCell(const EnemySlotRecord& e) {
    const bool attacking = e.attackTimer > 0;
    switch (e.kind) {
    case BossDog:
        if (e.dying != 0) {
            return {DyingColumn(e), 1};
        }
        if (attacking) {
            return {e.attackTimer < 5 ? 0 : 1, 1};
        }
        return {e.anim / 5, 0};
    case BossDiver:
        if (e.dying != 0) {
            return {DyingColumn(e), 2};
        }
        return {e.anim / 5, attacking ? 1 : 0};
    case BossPhantom:
        return {attacking && e.dying == 0 ? 1 : 0, 0};
    case BossFinal:
        if (e.dying != 0) {
            return {DyingColumn(e), 1};
        }
        if (attacking) {
            return {e.attackTimer >= 25 ? 0 : e.attackTimer / 5, 0};
        }
        if (e.specialTimer > 0) {
            return {e.specialTimer < 25 ? 4 : e.specialTimer < 30 ? 0 : 1, 1};
        }
        return {4, 1};
    default:
        return {0, 0};
    }
}

// The bright copy of a boss's cells, shown for ten frames when an attack starts.
int32_t FlashOffset(const EnemySlotRecord& e) {
    if (e.flash < 1) {
        return 0;
    }
    switch (e.kind) {
    case BossDog:
    case BossDiver:
        return 1000;
    case BossFinal:
        return 2000;
    default:
        return 0;
    }
}

void DrawEnemy(int slot) {
    const EnemySlotRecord& e = EnemySlot[slot];
    const bool boss = e.kind > 10;
    const Cell cell = boss ? BossCell(e) : SmallEnemyCell(e);
    const int32_t sheet = SheetOf(e.kind);
    const int mirror = e.dir == 1 ? 1 : 0; // the sheets face left
    const int srcX = cell.column * e.width;
    const int srcY = cell.row * e.height;
    // The phantom and the final boss are always see-through, faintest while stunned.
    const bool ghostly = e.kind == BossPhantom || e.kind == BossFinal;
    if (ghostly) {
        SetBlendMode(BlendAlpha, e.hit == 1 ? 60 : e.alpha);
    } else if (e.hit == 1) {
        SetBlendMode(BlendAlpha, e.alpha);
    } else {
        SetBlendMode(BlendNone, 0);
    }
    DrawImageRegion(Px(e.screenX), Px(e.y), srcX + FlashOffset(e), srcY, e.width, e.height, sheet,
                    1, mirror);
    SetBlendMode(BlendNone, 0);
    if (e.afterimages != 1) {
        return;
    }
    SetBlendMode(BlendAlpha, ghostly ? 60 : 180);
    for (const AfterimageRecord& image : EnemyAfterimage[slot]) {
        if (image.active == 1) {
            DrawImageRegion(Px(image.screenX), Px(image.y), srcX, srcY, e.width, e.height, sheet, 1,
                            mirror);
        }
    }
    SetBlendMode(BlendNone, 0);
}

} // namespace

// Every frame: each living enemy in its cell and blend, then the shots over them.
void DrawEnemies() {
    for (int slot = 0; slot < EnemySlotCount; ++slot) {
        if (EnemySlot[slot].active == 1) {
            DrawEnemy(slot);
        }
    }
    for (const ShotRecord& shot : EnemyShot) {
        if (shot.active != 1) {
            continue;
        }
        if (shot.shotKind == 1) {
            SetBlendMode(BlendNone, 0);
            DrawImageRegion(Px(shot.screenX), Px(shot.y), 25, 0, shot.width, shot.height, PngShots,
                            1, 0);
        } else if (shot.shotKind == 2) {
            // The large shot is mixed with the screen's inverse, so it shows on any backdrop.
            SetBlendMode(BlendInvert, 255);
            DrawImageRegion(Px(shot.screenX), Px(shot.y), 40, 0, shot.width, shot.height, PngShots,
                            1, 0);
        }
        SetBlendMode(BlendNone, 0);
    }
}
