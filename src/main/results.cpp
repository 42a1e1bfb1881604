// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/results.h"

#include "data/texts.h"
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/save.h"
#include "render/stage_draw.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

int32_t ShownScore = 0;
int32_t ShownTime = 0;
int32_t ShownBonusCount = 0;

int32_t RollY = 480;

namespace {

void ComputeTotalScore() {
    TotalScore = Score + TimeLeft * 10 + (ClearBonusCount + 1) * 5000;
}

} // namespace

// Every frame: the tally of the cleared stage; button 1 moves on to the next stage's field.
void ResultUpdate() {
    ShownScore = Score;
    ShownTime = TimeLeft;
    ShownBonusCount = ClearBonusCount;
    ComputeTotalScore();
    if (ButtonHold[HoldButton1] != 1) {
        return;
    }
    PlaySoundHandle(WavSelect, PlayOnce, FromStart);
    Continues = 2;
    ClearBonusCount = 2;
    ScrollLocked = 0;
    if (StageId == ArenaOf(1)) {
        StageId = 2;
        LoadStageScenery(2);
    } else if (StageId == ArenaOf(2)) {
        StageId = 3;
        LoadStageScenery(3);
    } else if (StageId == ArenaOf(3)) {
        StageId = 4;
        LoadStageScenery(4);
    }
    ClearStageTables();
    TotalHearts += StageHearts;
    LoadStageMap();
    PlaceStageObjects();
    // No story between stages: StagePhase stays 0 and the action starts at once.
    GameMode = ModeStage;
    MusicSelect = 4;
    StartMusic();
    Score = TotalScore;
}

// Every frame: the result picture with the values copied by this frame's update.
void ResultDraw() {
    SetTextSize(24);
    DrawImageAt(0, 0, PngClear, 0);
    SetTextStyle(2);
    DrawFormattedTextAt(180, 180, 0, TextResultScore, ShownScore);
    DrawFormattedTextAt(180, 230, 0, TextResultTime, ShownTime * 10);
    DrawFormattedTextAt(180, 280, 0, TextResultClear, (ShownBonusCount + 1) * 5000);
    DrawFormattedTextAt(200, 350, 0, TextResultTotal, TotalScore);
    SetTextSize(14);
    DrawTextAt(10, 460, TextResultKeys, 0, 0);
}

// Every frame after a death: enemies, traps and the ghost go on behind the question; button 1
// continues (or, with none left, returns to the title), button 2 gives up.
void ContinueFrame() {
    UpdateEnemies();
    UpdateTraps();
    DrawStageFrame();
    UpdateGhost();
    StopSoundHandle(BgmStage);
    StopSoundHandle(BgmBoss);
    if (Continues <= 0) {
        DrawImageAt(0, 0, PngOver, 0);
    } else {
        const uint32_t colour = MakeColor(200, 100, 100);
        const uint32_t edge = MakeColor(255, 150, 150);
        SetTextSize(32);
        if (TimeLeft <= 0) {
            DrawTextAt(240, 130, TextContinueTimeUp, colour, edge);
        }
        DrawTextAt(200, 180, TextContinueAgain, colour, edge);
        DrawTextAt(140, 230, TextContinueYes, colour, edge);
        DrawTextAt(140, 280, TextContinueNo, colour, edge);
        SetTextSize(18);
    }
    const bool continued = ButtonHold[HoldButton1] == 1;
    if (continued) {
        PlaySoundHandle(WavSelect, PlayOnce, FromStart);
        if (Continues <= 0) {
            ResetRun();
        } else {
            Continues -= 1;
            GameMode = ModeStage;
            if (ClearBonusCount > 0) {
                ClearBonusCount -= 1;
            }
            MusicSelect = ScrollLocked != 0 ? 5 : 4;
            if (StageId == StageExField || StageId == StageExArena) {
                MusicSelect = 7; // the EX stage plays in silence
            }
            StartMusic();
            // The same StageId from its start; in a boss area the boss comes back too.
            PlaceStageObjects();
            if (ScrollLocked == 1) {
                PlaceBosses();
            }
        }
    }
    // AMENDED: button 1 and 2 in one frame: button 1 has already answered. Taking button 2 as well
    // would put the living heroine behind the game over picture (or start the next game without
    // continues), so it is ignored.
    if (!continued && ButtonHold[HoldButton2] == 1) {
        PlaySoundHandle(WavCheck, PlayOnce, FromStart);
        if (Continues <= 0) {
            ResetRun();
        } else {
            Continues = 0; // the next frame shows the game over picture
        }
    }
}

// Every frame: the ending picture rises 2 pixels (12 with button 4 held) until it stands at
// its end; then button 1 saves the run and starts afresh at the title.
void EndingRollUpdate() {
    if (RollY > RollEndY) {
        if (MusicSelect != 6) {
            StopSoundHandle(BgmAdv3);
            MusicSelect = 6;
            StartMusic();
        }
        RollY -= 2;
        if (ButtonHold[HoldButton4] >= 1) {
            RollY -= 10;
        }
    } else if (ButtonHold[HoldButton1] == 1) {
        TotalHearts += StageHearts;
        WriteSaveData();
        PlaySoundHandle(WavSelect, PlayOnce, FromStart);
        ResetStory();
        TotalScore = 0;
        Score = 0;
        TotalHearts = 0;
        StageHearts = 0;
        Continues = 2;
        ClearBonusCount = 2;
        GameMode = ModeTitle;
        ReloadAllImages();
        StopSoundHandle(BgmEnding);
        RollY = 480;
        MusicSelect = 0;
        StageId = 1;
        ScrollLocked = 0;
        StartMusic();
    }
    ComputeTotalScore();
}

// Every frame: black, the ending picture at RollY, and the two scores once it stands still.
void EndingRollDraw() {
    SetBlendMode(BlendNone, 0);
    DrawRectangle(0, 0, 640, 480, MakeColor(0, 0, 0), 1);
    DrawImageAt(0, RollY, PngEnding, 0);
    SetTextSize(20);
    SetTextStyle(2);
    if (RollY <= RollEndY) {
        // The high score is the one saved before this run: the new one is stored on button 1.
        DrawFormattedTextAt(240, 10, 0xFFFFFF, "  SCORE = %06d", TotalScore);
        DrawFormattedTextAt(240, 50, 0xFF6464, "HISCORE = %06d", SaveData.highScore);
    }
}
