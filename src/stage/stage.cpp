// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/stage.h"

#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "stage/attack.h"
#include "stage/items.h"
#include "stage/map.h"
#include "stage/player.h"
#include "story/scenes.h"

int32_t TimeLeft = 180;
int32_t FrameTick = 0;
double ScrollX = 0.0;
double NearLayerX = 0.0;
double FarLayerX = 0.0;
int32_t ScrollLocked = 0;
int32_t ArenaTransition = 0;
double TransitionX = 640.0;
int32_t FunctionKeyLatch = 0;
int32_t ShoulderBits = 0;

namespace {

// Below this world y the heroine has fallen out of the stage, and the free item has left it.
constexpr double BelowStage = 960.0;

// On the first frame of action after the story stopped all music (code 7), the track MusicSelect
// names plays again. AMENDED: the original left it to the story's step that starts the stage's
// music, which runs once; a player who stepped back past the stop and read on heard the stop
// again, and the stage stayed silent until the boss. Read straight through, that step has already
// started the music and this does nothing.
void ResumeMusicTheStoryStopped() {
    if (StoryStoppedMusic == 1) {
        StartMusic();
    }
}

// The one-second stage clock; a ghost loses 10 life each second.
void TickStageClock() {
    ++FrameTick;
    if (FrameTick < 60) {
        return;
    }
    if (PlayerState.dead == 0) {
        --TimeLeft;
    }
    FrameTick = 0;
    if (PlayerState.kind == Ghost && PlayerState.PlayerLife > 0) {
        PlayerState.PlayerLife -= 10;
    }
}

// Time up, a fall into a hole, or an empty life gauge ends the run.
void TestForDeath() {
    if (TimeLeft <= 0 || PlayerState.posY >= BelowStage || PlayerState.PlayerLife <= 0) {
        StopMusicChannel();
        PlayerState.dead = 1;
    }
}

// While the free item is out of the stage, its kind cycles (the HUD shows it), the digit keys pick
// one, and button A drops it in from above the screen.
void CallItem() {
    if (FreeItem.y < BelowStage) {
        return;
    }
    // FreeItem.kind is the next item's kind while no item is in the stage.
    ++FreeItem.cycleCounter;
    if (FreeItem.cycleCounter >= 5) {
        FreeItem.cycleCounter = 0;
        ++FreeItem.kind;
        if (FreeItem.kind > 5) {
            FreeItem.kind = 1;
        }
    }
    for (int digit = 0; digit < 5; ++digit) {
        if (IsKeyDown(KeyDigit1 + digit) != 0) {
            FreeItem.kind = digit + 1;
        }
    }
    // AMENDED: a pad has no digit keys; its shoulder buttons step the next item back and forth.
    const int32_t shoulders = ReadPadState(PadOnly) & (PadButton5 | PadButton6);
    const int32_t pressed = shoulders & ~ShoulderBits;
    ShoulderBits = shoulders;
    if ((pressed & PadButton6) != 0) {
        FreeItem.kind = FreeItem.kind % 5 + 1;
    }
    if ((pressed & PadButton5) != 0) {
        FreeItem.kind = (FreeItem.kind + 3) % 5 + 1;
    }
    if (ButtonHold[HoldButton4] != 1) {
        return;
    }
    static constexpr struct {
        int32_t width, height;
        Box box;
    } Shapes[6] = {
        {0, 0, {0, 0, 0, 0}},        {120, 120, {40, 0, 80, 120}}, {60, 60, {0, 0, 60, 60}},
        {60, 120, {25, 0, 35, 120}}, {60, 60, {10, 10, 50, 50}},   {60, 60, {0, 25, 60, 45}},
    };
    const int kind = FreeItem.kind >= 1 && FreeItem.kind <= 5 ? FreeItem.kind : 1;
    FreeItem.possessable = 1;
    FreeItem.velY = 1.0;
    FreeItem.y = -120.0;
    FreeItem.width = Shapes[kind].width;
    FreeItem.height = Shapes[kind].height;
    FreeItem.box = Shapes[kind].box;
    const int centred = 320 - FreeItem.width / 2;
    if (centred > FreeItem.x || StageId >= ArenaOf(1)) {
        FreeItem.x = centred;
    }
    FreeItem.screenX = centred;
}

// The switch into the arena, repeated every frame of the second half of the wipe.
void EnterArena() {
    ClearStageTables();
    if (StageId >= 1 && StageId <= StageExField) {
        StageId = ArenaOf(StageId);
    }
    LoadStageMap();
    PlaceBosses();
    PlayerState.posX = 0.0;
    PlayerState.posY = 300.0;
    PlayerState.screenX = 0.0;
    ScrollX = 0.0;
    TimeLeft = 180;
    FrameTick = 0;
}

} // namespace

void ClearStageTables() {
    for (HeartSlotRecord& heart : HeartSlot) {
        heart.active = 0;
    }
    for (EnemySlotRecord& enemy : EnemySlot) {
        enemy.active = 0;
    }
    for (TrapSlotRecord& trap : TrapSlot) {
        trap.active = 0;
    }
}

void ResetRun() {
    Score = 0;
    TotalScore = 0;
    StageHearts = 0;
    TotalHearts = 0;
    Continues = 2;
    ClearBonusCount = 2;
    StageId = 1;
    ScrollLocked = 0;
    ResetStory();
    ReloadAllImages();
    GameMode = ModeTitle;
    MusicSelect = 0;
    StartMusic();
    ClearStageTables();
}

void UpdateStageFrame() {
    if (StagePhase == 0) {
        ResumeMusicTheStoryStopped();
        UpdatePlayer();
        UpdateEnemies();
        UpdateTraps();
        CollectHearts();
        DamagePlayer();
        HitEnemies();
        HandleFunctionKeys();
        ApplyItemGeometry();
        RefreshEnemyKindParams();
        TickStageClock();
        TestForDeath();
        CallItem();
    } else if (StagePhase == 1) {
        StoryActionStep();
    }
    UpdateArenaTransition();
}

void UpdateArenaTransition() {
    if (ArenaTransition != 1) {
        return;
    }
    TransitionX -= 20.0;
    if (TransitionX <= -40.0) {
        EnterArena();
        if (TransitionX == -40.0) {
            StopSoundHandle(BgmStage);
            MusicSelect = StageId == StageExArena ? 7 : 5;
            StartMusic();
        }
    }
    if (TransitionX <= -720.0) {
        ArenaTransition = 0;
    }
}

void HandleFunctionKeys() {
    if (StagePhase != 0 || StageId == StageTutorial) {
        return;
    }
    const int keys[5] = {KeyF5, KeyF6, KeyF7, KeyF8, KeyF9};
    int held = -1;
    for (int i = 0; i < 5 && held < 0; ++i) {
        if (IsKeyDown(keys[i]) != 0) {
            held = i;
        }
    }
    if (held < 0) {
        FunctionKeyLatch = 0;
        return;
    }
    if (FunctionKeyLatch != 0) {
        return;
    }
    ++FunctionKeyLatch;
    switch (keys[held]) {
    case KeyF5:
        PlayerState.PlayerLife = 200;
        PlaySoundHandle(WavGet, PlayOnce, FromStart);
        break;
    case KeyF6:
        PlayerState.ItemLife = 200;
        PlaySoundHandle(WavGet, PlayOnce, FromStart);
        break;
    case KeyF7:
        Continues = 7;
        PlaySoundHandle(WavGet, PlayOnce, FromStart);
        break;
    case KeyF8:
        if (ScrollLocked == 0) {
            PlaySoundHandle(WavCheck, PlayOnce, FromStart);
            ScrollLocked = 1;
            ArenaTransition = 1;
            if (FreeItem.inStage == 1) {
                FreeItem.falling = 1;
                FreeItem.velY = -7.0;
                FreeItem.possessable = 0;
            }
        }
        break;
    case KeyF9:
        if (ScrollLocked == 1) {
            PlaySoundHandle(WavCheck, PlayOnce, FromStart);
            for (EnemySlotRecord& enemy : EnemySlot) {
                enemy.hp = 0;
                enemy.dying = 1;
            }
        }
        break;
    default:
        break;
    }
}

void ScrollOrMove(int direction) {
    PlayerStateRecord& p = PlayerState;
    const int halfWidth = p.width / 2;
    if (direction > 0) {
        const int right = p.BodyBox.right;
        if (ScrollLocked == 1) {
            if (p.screenX < 640 - right) {
                p.posX += 1.0;
            }
        } else if (p.screenX < 320 - halfWidth) {
            p.posX += 1.0;
        } else if (ScrollX < ScrollMax) {
            p.posX += 1.0;
            ScrollX += 1.0;
            NearLayerX += 1.0;
            FarLayerX += 0.5;
        } else if (p.screenX < 610 - right) {
            p.posX += 1.0;
        } else {
            ScrollLocked = 1;
            ArenaTransition = 1;
        }
        return;
    }
    const int left = p.BodyBox.left;
    if (ScrollLocked == 1) {
        if (p.screenX > -left) {
            p.posX -= 1.0;
        }
    } else if (p.screenX > 320 + halfWidth) {
        p.posX -= 1.0;
    } else if (ScrollX > 0.0) {
        p.posX -= 1.0;
        ScrollX -= 1.0;
        NearLayerX -= 1.0;
        FarLayerX -= 0.5;
    } else if (p.screenX > -left) {
        p.posX -= 1.0;
    }
}

void RefreshScreenPositions() {
    PlayerState.screenX = PlayerState.posX - ScrollX;
    FreeItem.screenX = FreeItem.x - ScrollX;
    for (AfterimageRecord& image : PlayerAfterimage) {
        image.screenX = image.x - ScrollX;
    }
    for (SparkleRecord& sparkle : Sparkle) {
        sparkle.screenX = sparkle.x - ScrollX;
    }
    for (ShotRecord& shot : PlayerShot) {
        shot.screenX = shot.x - ScrollX;
    }
}
