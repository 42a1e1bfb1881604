// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/title.h"

#include "data/texts.h"
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "stage/map.h"
#include "story/scenes.h"
#include "story/script.h"

int32_t TitleCursor = 1;

namespace {

constexpr int ItemCount = 4;
const GameText* const ItemTexts[ItemCount] = {&TextTitleStart, &TextTitleTutorial, &TextTitleExtras,
                                              &TextTitleExit};

} // namespace

// Reads the cursor keys and button 1 once per frame; every action needs a fresh press.
void TitleUpdate() {
    SetDrawTarget(BackBuffer);
    SelectFontFace(TextFontFace, -1);
    SetTextSize(24);
    if (ButtonHold[HoldUp] == 1) {
        TitleCursor -= 1;
        if (TitleCursor < 1) {
            TitleCursor = ItemCount;
        }
        PlaySoundHandle(WavCheck, PlayOnce, FromStart);
    }
    if (ButtonHold[HoldDown] == 1) {
        TitleCursor += 1;
        if (TitleCursor > ItemCount) {
            TitleCursor = 1;
        }
        PlaySoundHandle(WavCheck, PlayOnce, FromStart);
    }
    if (ButtonHold[HoldButton1] != 1) {
        return;
    }
    switch (TitleCursor) {
    case 1: // a new game: StageId, StagePhase and the story are at their start values
        PlaySoundHandle(WavSelect, PlayOnce, FromStart);
        LoadStageMap();
        PlaceStageObjects();
        StopSoundHandle(BgmTitle);
        MusicSelect = 1;
        StartMusic();
        GameMode = ModeStage;
        break;
    case 2: // the tutorial plays without music
        ScriptPosition.block = 2;
        ScriptPosition.offset = 0;
        StoryStep = 100;
        PlaySoundHandle(WavSelect, PlayOnce, FromStart);
        StageId = StageTutorial;
        LoadStageMap();
        PlaceStageObjects();
        StopSoundHandle(BgmTitle);
        GameMode = ModeTutorial;
        break;
    case 3:
        PlaySoundHandle(WavSelect, PlayOnce, FromStart);
        GameMode = ModeExtras;
        break;
    case 4: // the frame loop ends once the engine is down
        EngineShutdown();
        break;
    default:
        break;
    }
}

// Draws the whole title screen each frame: unchosen items dark, then the chosen one lit.
void TitleDraw() {
    SetBlendMode(BlendNone, 255);
    DrawImageAt(0, 0, PngTitle, 0);
    SetTextStyle(3);
    const uint32_t dark = MakeColor(50, 50, 50);
    for (int item = 1; item <= ItemCount; ++item) {
        if (item != TitleCursor) {
            DrawTextAt(480, 200 + 50 * item, *ItemTexts[item - 1], dark, dark);
        }
    }
    if (TitleCursor >= 1 && TitleCursor <= ItemCount) {
        DrawTextAt(480, 200 + 50 * TitleCursor, *ItemTexts[TitleCursor - 1],
                   MakeColor(255, 255, 255), MakeColor(150, 150, 150));
    }
}
