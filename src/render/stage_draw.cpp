// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "render/stage_draw.h"

#include "data/levels.h"
#include "data/texts.h"
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "stage/map.h"
#include "stage/overlays.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/window.h"

#include <cstdlib>

int32_t MaxLabelCounter = 0;
int32_t ArrowCounter = 0;

namespace {

constexpr int ArenaTable = 6;

// Screen positions are whole pixels, truncated toward zero.
int Px(double value) {
    return static_cast<int>(value);
}

void DrawTiles() {
    if (ScrollLocked == 0) {
        const int rowY = StageId == 2 ? 60 : 0;
        // The whole map every frame: the engine clips what lies off screen.
        for (int row = 0; row < MapRows; ++row) {
            for (int column = 0; column < MapColumns; ++column) {
                const int32_t value = StageMap[row * MapColumns + column];
                const int x = Px(TileSize * column - ScrollX);
                if (value >= 1 && value <= 5) {
                    DrawImageRegion(x, TileSize * row, TileSize * value, rowY, TileSize, TileSize,
                                    PngMap, 1, 0);
                } else if (value == -3) {
                    DrawImageRegion(x, TileSize * row, 360, 0, TileSize, TileSize, PngMap, 1, 0);
                }
            }
        }
        return;
    }
    // From the start of the wipe on, the arena's floor.
    const int rowY = StageId == ArenaOf(2) ? 60 : 0;
    for (int row = 0; row < MapRows; ++row) {
        for (int column = 0; column < 16; ++column) {
            if (StageMapSource[ArenaTable][row * MapColumns + column] == 2) {
                DrawImageRegion(Px(TileSize * column - ScrollX), TileSize * row, 120, rowY,
                                TileSize, TileSize, PngMap, 1, 0);
            }
        }
    }
}

void DrawHearts() {
    for (HeartSlotRecord& heart : HeartSlot) {
        if (heart.active == 0) {
            continue;
        }
        const int row = heart.kind == 1 ? 0 : 60;
        ++heart.glintCounter;
        if (heart.glintCounter > 30) {
            heart.glintCounter = 0;
        }
        heart.glintFrame = heart.glintCounter >= 26 && heart.glintCounter <= 30 ? 1 : 0;
        DrawImageRegion(Px(heart.x - ScrollX), Px(heart.y), 60 * heart.glintFrame, row, 60, 60,
                        PngItem, 1, 0);
    }
}

void DrawItemFrame() {
    if (FreeItem.kind >= 1 && FreeItem.kind <= 5) {
        DrawImageRegion(295, 30, 50 * (FreeItem.kind - 1), 0, 50, 50, PngRitem, 0, 0);
    }
}

void DrawFreeItem() {
    if (FreeItem.inStage != 1) {
        return;
    }
    int mirror = 0;
    if (FreeItem.possessable == 1) {
        SetBlendMode(BlendNone, 0);
    } else {
        SetBlendMode(BlendAlpha, 128); // thrown off: half seen, falling away
        mirror = FreeItem.facing == 1 ? 1 : 0;
    }
    const int x = Px(FreeItem.screenX);
    const int y = Px(FreeItem.y);
    const int w = FreeItem.width;
    const int h = FreeItem.height;
    switch (FreeItem.kind) {
    case Bear:
        DrawImageRegion(x, y, 4 * w, 3 * h, w, h, PngItemBear, 1, mirror);
        break;
    case Ball:
        DrawImageRegion(x, y, 0, 0, w, h, PngItemBall, 1, mirror);
        break;
    case Hopping:
        DrawImageRegion(x, y, 0, 0, w, h, PngItemHopping, 1, mirror);
        break;
    case Book:
        DrawImageRegion(x, y, 0, 0, w, h, PngItemBook, 1, mirror);
        break;
    case Gun:
        DrawImageRegion(x, y, 0, 0, w, h, PngItemGun, 1, mirror);
        break;
    default:
        break;
    }
}

void DrawMovingTraps() {
    for (const TrapSlotRecord& trap : TrapSlot) {
        if (trap.active != 0 && trap.kind == 2) {
            DrawImageRegion(Px(trap.x - ScrollX), Px(trap.y), 360, 60, 60, 60, PngMap, 1, 0);
        }
    }
}

// After the boss of stage 1, 2 or 3: a blinking arrow points the way out of the arena.
void DrawClearedArrow() {
    for (const EnemySlotRecord& enemy : EnemySlot) {
        if (enemy.kind < 11 || enemy.dying != 1 || StageId == ArenaOf(4) ||
            StageId == StageExArena || ScrollLocked != 1) {
            continue;
        }
        ++ArrowCounter;
        if (ArrowCounter >= 100) {
            ArrowCounter = 0;
        }
        SetBlendMode(BlendAlpha, 128);
        if (ArrowCounter <= 50) {
            DrawImageAt(500, 210, PngArrow, 1);
        }
        SetBlendMode(BlendNone, 0);
    }
}

void DrawSparkles() {
    for (SparkleRecord& sparkle : Sparkle) {
        if (sparkle.active == 0) {
            continue;
        }
        sparkle.alpha -= 2;
        if (sparkle.alpha < 0) {
            sparkle.active = 0; // still drawn this frame
        }
        sparkle.y -= 2.0;
        ++sparkle.counter;
        if (sparkle.counter == 60) {
            const Box& box = PlayerState.BodyBox;
            const int width = box.right - box.left;
            const int height = box.bottom - box.top;
            sparkle.x = PlayerState.posX + box.left + (width > 0 ? std::rand() % width : 0);
            sparkle.y = PlayerState.posY + box.top + (height > 0 ? std::rand() % height : 0);
            sparkle.visible = 1;
        }
        SetBlendMode(BlendAdd, sparkle.alpha);
        if (sparkle.visible != 0) {
            DrawImageRegion(Px(sparkle.screenX), Px(sparkle.y), sparkle.frameX, 0, 20, 20, PngLight,
                            1, 0);
        }
    }
}

void DrawFirstFog() {
    SetBlendMode(BlendNone, 0);
    if ((StageId != StageExField && StageId != ArenaOf(4) && StageId != StageExArena) ||
        Fog.shown1 == 0) {
        return;
    }
    DriftFirstFog();
    SetBlendMode(BlendAdd, Fog.alpha1);
    DrawImageAt(Fog.driftX, 0, PngFog1, 0);
    DrawImageAt(Fog.driftX - 640, 0, PngFog1, 0);
}

void DrawGauges() {
    SetBlendMode(BlendNone, 0);
    const uint32_t white = MakeColor(255, 255, 255);
    const PlayerStateRecord& p = PlayerState;
    DrawRectangle(10, 30, p.PlayerLife + 9, 44, MakeColor(255, 0, 0), 1);
    DrawRectangle(9, 30, 210, 44, white, 0);
    DrawRectangle(10, 50, p.ItemLife + 9, 64, MakeColor(0, 0, 255), 1);
    DrawRectangle(9, 50, 210, 64, white, 0);
    DrawRectangle(10, 70, static_cast<int>(p.GreenGauge) + 9, 84, MakeColor(0, 255, 0), 1);
    DrawRectangle(9, 70, 110, 84, white, 0);
    if (p.GreenGauge == 100.0) {
        ++MaxLabelCounter;
        const bool show = MaxLabelCounter >= 30 || MaxLabelCounter <= 15;
        if (MaxLabelCounter >= 30) {
            MaxLabelCounter = 0;
        }
        if (show) {
            DrawTextAt(30, 68, TextMax, MakeColor(0, 100, 0), 0);
        }
    }
}

void DrawBossBars() {
    if (ScrollLocked != 1 || StagePhase != 0) {
        return;
    }
    const uint32_t white = MakeColor(255, 255, 255);
    for (const EnemySlotRecord& enemy : EnemySlot) {
        if (enemy.kind < 11) {
            continue;
        }
        if (StageId <= ArenaOf(4)) {
            DrawRectangle(370, 30, enemy.hp + 369, 44, MakeColor(255, 0, 0), 1);
            DrawRectangle(369, 30, 630, 44, white, 0);
            DrawRectangle(370, 70, static_cast<int>(enemy.attackGauge) + 369, 84,
                          MakeColor(0, 255, 0), 1);
            DrawRectangle(369, 70, 470, 84, white, 0);
        } else if (StageId == StageExArena) {
            // The four bosses of the EX arena, always in slot order.
            static constexpr int Rows[4][2] = {{30, 40}, {45, 55}, {60, 70}, {75, 85}};
            for (int slot = 0; slot < 4; ++slot) {
                DrawRectangle(370, Rows[slot][0], EnemySlot[slot].hp + 369, Rows[slot][1],
                              MakeColor(255, 0, 0), 1);
                DrawRectangle(369, Rows[slot][0], 630, Rows[slot][1], white, 0);
            }
        }
    }
}

void DrawHudTexts() {
    SetBlendMode(BlendNone, 0);
    SetTextSize(18);
    SetTextStyle(3);
    DrawFormattedTextAt(500, 10, 0xFFFFFF, "TIME = %d", TimeLeft);
    DrawFormattedTextAt(220, 10, 0xFFFFFF, "SCORE = %07d", Score);
    DrawFormattedTextAt(10, 10, 0xFFFFFF, "CONTINUE = %d", Continues);
}

void DrawStoryOverlay() {
    if (StagePhase != 1) {
        return;
    }
    DrawImageAt(CarX, 240, PngCar, 1);
    MessageTextStep();
    DrawMessageWindow();
}

void DrawStageBanner() {
    if (StageBanner.active == 0) {
        return;
    }
    AdvanceStageBanner();
    SetBlendMode(BlendAlpha, StageBanner.alpha);
    DrawImageRegion(StageBanner.x, 100, 0, StageBanner.rowY, 350, 60, PngIndication, 1, 0);
}

void DrawWipe() {
    SetBlendMode(BlendNone, 0);
    if (ArenaTransition == 1) {
        DrawImageAt(Px(TransitionX), 0, PngChange, 1);
    }
}

} // namespace

void DrawBackground() {
    DrawImageAt(0, 0, SceneryFar, 0);
    const int far = Px(FarLayerX);
    DrawImageAt(-far, 0, ScenerySlow, 1);
    DrawImageAt(640 - far, 0, ScenerySlow, 1);
    DrawImageAt(-640 - far, 0, ScenerySlow, 1);
    const int near = Px(NearLayerX);
    DrawImageAt(-near, 0, SceneryNear, 1);
    DrawImageAt(1500 - near, 0, SceneryNear, 1);
    DrawImageAt(-1500 - near, 0, SceneryNear, 1);
    if (StageId >= ArenaOf(1)) {
        DrawImageAt(0, 0, SceneryArena, 0);
    }
    if ((StageId == ArenaOf(4) || StageId == StageExArena) && Fog.shown2 != 0) {
        SetBlendMode(BlendAlpha, Fog.alpha2);
        DrawImageAt(0, 0, PngFog2, 0);
    }
    if (NearLayerX >= 1500.0) {
        NearLayerX = 0.0;
    } else if (NearLayerX <= -1500.0) {
        NearLayerX = 1500.0;
    }
    if (FarLayerX >= 640.0) {
        FarLayerX = 0.0;
    } else if (FarLayerX <= -640.0) {
        FarLayerX = 640.0;
    }
    SetBlendMode(BlendNone, 0);
}

void DrawStageFrame() {
    DrawBackground();
    DrawTiles();
    DrawHearts();
    DrawItemFrame();
    DrawFreeItem();
    SetBlendMode(BlendNone, 0);
    DrawEnemies();
    DrawPlayer();
    SetBlendMode(BlendNone, 0);
    DrawMovingTraps();
    DrawClearedArrow();
    DrawSparkles();
    DrawFirstFog();
    DrawGauges();
    DrawBossBars();
    DrawHudTexts();
    DrawStoryOverlay();
    DrawStageBanner();
    DrawWipe();
}
