// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/extras.h"

#include "data/texts.h"
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/save.h"
#include "stage/map.h"
#include "story/scenes.h"
#include "story/script.h"

int32_t ExtrasColumn = 1;
int32_t ExtrasRow = 1;
int32_t PictureShown = 0;

namespace {

struct GalleryCellRecord {
    int32_t left,
        top; // the white frame runs to left + 160, top + 120; its label sits at its corner
    int32_t* picture;
    const GameText* label;
    const GameText* condition; // shown while locked, at y conditionY
    int32_t conditionY;
    const GameText* condition2; // a second line 15 pixels lower, or none
};

// In table order: upper row left to right, then the lower row. Cell i unlocks with picture[i].
const GalleryCellRecord GalleryCell[6] = {
    {100, 50, &PngCg01, &TextCgEnding, &TextCgClearGame, 80, nullptr},
    {280, 50, &PngCg02, &TextCgExtra1, &TextCgClearGame, 80, nullptr},
    {460, 50, &PngCg03, &TextCgExtra2, &TextCgScoreLine1, 80, &TextCgScoreLine2},
    {100, 180, &PngCg04, &TextCgExtra3, &TextCgHeartsLine1, 210, &TextCgHeartsLine2},
    {280, 180, &PngCg05, &TextCgExtra4, &TextCgClearEx, 210, nullptr},
    {460, 180, &PngCg06, &TextCgExtra5, &TextCgAllOthers, 210, nullptr},
};
constexpr int FrameWidth = 160;
constexpr int FrameHeight = 120;

// The gallery cell under the selection, or -1 on the EX line.
int SelectedCell() {
    if (ExtrasRow < 1 || ExtrasRow > 2 || ExtrasColumn < 1 || ExtrasColumn > 3) {
        return -1;
    }
    return (ExtrasRow - 1) * 3 + (ExtrasColumn - 1);
}

bool CellUnlocked(int cell) {
    return SaveData.picture[cell] == 1;
}

// One step of a cursor through 1..last, wrapping at both ends.
void Step(int32_t& value, int delta, int last) {
    value += delta;
    if (value < 1) {
        value = last;
    } else if (value > last) {
        value = 1;
    }
    PlaySoundHandle(WavCheck, PlayOnce, FromStart);
}

// The EX stage starts with its own story over black scenery and no music.
void StartExStage() {
    PlaySoundHandle(WavSelect, PlayOnce, FromStart);
    ScriptPosition.block = 3;
    ScriptPosition.offset = 0;
    StoryStep = 200;
    StageId = StageExField;
    LoadStageScenery(5);
    LoadStageMap();
    PlaceStageObjects();
    StopSoundHandle(BgmTitle);
    GameMode = ModeStage;
}

} // namespace

// Reads the keys once per frame; while a picture is open only buttons 1 and 2 act.
void ExtrasUpdate() {
    if (PictureShown == 0) {
        if (ButtonHold[HoldUp] == 1) {
            Step(ExtrasRow, -1, 3);
        }
        if (ButtonHold[HoldDown] == 1) {
            Step(ExtrasRow, +1, 3);
        }
        // The EX line is one item: the column waits there for the way back up.
        if (ExtrasRow != 3) {
            if (ButtonHold[HoldLeft] == 1) {
                Step(ExtrasColumn, -1, 3);
            }
            if (ButtonHold[HoldRight] == 1) {
                Step(ExtrasColumn, +1, 3);
            }
        }
    }
    if (ButtonHold[HoldButton1] == 1) {
        const int cell = SelectedCell();
        if (ExtrasRow == 3) {
            if (SaveData.exStage == 1) {
                StartExStage();
            } else {
                PlaySoundHandle(WavError, PlayOnce, FromStart);
            }
        } else if (cell >= 0 && CellUnlocked(cell)) {
            PlaySoundHandle(WavSelect, PlayOnce, FromStart);
            PictureShown = PictureShown == 0 ? 1 : 0;
        } else {
            PlaySoundHandle(WavError, PlayOnce, FromStart);
        }
    }
    if (ButtonHold[HoldButton2] == 1) {
        PlaySoundHandle(WavCheck, PlayOnce, FromStart);
        if (PictureShown == 1) {
            PictureShown = 0;
        } else {
            ExtrasColumn = 1;
            ExtrasRow = 1;
            GameMode = ModeTitle;
        }
    }
}

// Draws the open picture alone, or the whole gallery screen, each frame.
void ExtrasDraw() {
    const int selected = SelectedCell();
    if (PictureShown == 1) {
        if (selected >= 0 && CellUnlocked(selected)) {
            DrawImageAt(0, 0, *GalleryCell[selected].picture, 0);
        }
        return;
    }
    const uint32_t white = MakeColor(255, 255, 255);
    const uint32_t red = MakeColor(255, 0, 0);
    const uint32_t blue = MakeColor(0, 0, 255);
    DrawImageAt(0, 0, PngExtra, 0);
    SetTextSize(20);
    SetTextStyle(2);
    DrawTextAt(10, 50, TextExtrasCg, white, 0);

    // The frames, the selected one blue; each thumbnail leaves a 1-pixel rim of its frame.
    for (const GalleryCellRecord& cell : GalleryCell) {
        DrawRectangle(cell.left, cell.top, cell.left + FrameWidth, cell.top + FrameHeight, white,
                      1);
    }
    if (selected >= 0) {
        const GalleryCellRecord& cell = GalleryCell[selected];
        DrawRectangle(cell.left, cell.top, cell.left + FrameWidth, cell.top + FrameHeight, blue, 1);
    }
    for (int i = 0; i < 6; ++i) {
        const GalleryCellRecord& cell = GalleryCell[i];
        if (CellUnlocked(i)) {
            DrawImageStretched(cell.left + 1, cell.top + 1, cell.left + FrameWidth - 1,
                               cell.top + FrameHeight - 1, *cell.picture, 1);
        }
    }
    SetTextSize(12);
    for (int i = 0; i < 6; ++i) {
        const GalleryCellRecord& cell = GalleryCell[i];
        DrawTextAt(cell.left, cell.top, *cell.label, red, 0);
        // Only 1 unlocks and only 0 reads as locked: a damaged field shows neither.
        if (SaveData.picture[i] == 0) {
            // AMENDED: the white condition text is edged in dark grey; on the white fill of a
            // locked cell it was invisible until the cursor came.
            const uint32_t edge = MakeColor(40, 40, 40);
            SetTextStyle(3);
            DrawTextAt(cell.left, cell.conditionY, *cell.condition, white, edge);
            if (cell.condition2 != nullptr) {
                DrawTextAt(cell.left, cell.conditionY + 15, *cell.condition2, white, edge);
            }
            SetTextStyle(2);
        }
    }

    SetTextSize(20);
    DrawTextAt(10, 330, TextExtrasExLabel, white, 0);
    SetTextSize(26);
    DrawTextAt(150, 330, TextExtrasExPlay, ExtrasRow == 3 ? blue : white, 0);
    if (SaveData.exStage != 1) {
        DrawTextAt(150, 330, TextExtrasExStrike, red, 0);
    }
    SetTextSize(12);
    if (SaveData.exStage != 1) {
        DrawTextAt(10, 360, TextExtrasExCondition, red, 0);
    }

    SetTextSize(20);
    DrawTextAt(10, 400, TextExtrasHighScore, white, 0);
    SetTextSize(26);
    DrawFormattedTextAt(150, 400, 0xFFFFFF, "%d", SaveData.highScore);
    SetTextSize(12);
    DrawTextAt(350, 460, TextExtrasKeys, white, 0);
}
