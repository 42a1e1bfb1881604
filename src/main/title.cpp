#include "main/title.h"

#include "data/texts.h"
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "main/assets.h"
#include "main/loop.h"
#include "main/modes.h"
#include "stage/map.h"
#include "story/scenes.h"
#include "story/script.h"

int32_t TitleCursor = 1;

namespace {

constexpr int ItemCount = 4;
const char* const ItemTexts[ItemCount] = {TextTitleStart, TextTitleTutorial, TextTitleExtras,
                                          TextTitleExit};

} // namespace

// Reads the cursor keys and button 1 once per frame; every action needs a fresh press.
void TitleUpdate() {
    SetDrawTarget(-2);
    SelectFontFace(TextFontFace, -1);
    SetTextSize(24);
    if (ButtonHold[HoldUp] == 1) {
        TitleCursor -= 1;
        if (TitleCursor < 1) {
            TitleCursor = ItemCount;
        }
        PlaySoundHandle(WavCheck, 1, 1);
    }
    if (ButtonHold[HoldDown] == 1) {
        TitleCursor += 1;
        if (TitleCursor > ItemCount) {
            TitleCursor = 1;
        }
        PlaySoundHandle(WavCheck, 1, 1);
    }
    if (ButtonHold[HoldButton1] != 1) {
        return;
    }
    switch (TitleCursor) {
    case 1: // a new game: StageId, StagePhase and the story are at their start values
        PlaySoundHandle(WavSelect, 1, 1);
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
        PlaySoundHandle(WavSelect, 1, 1);
        StageId = 6;
        LoadStageMap();
        PlaceStageObjects();
        StopSoundHandle(BgmTitle);
        GameMode = ModeTutorial;
        break;
    case 3:
        PlaySoundHandle(WavSelect, 1, 1);
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
    SetBlendMode(0, 255);
    DrawImageAt(0, 0, PngTitle, 0);
    SetTextStyle(3);
    const uint32_t dark = MakeColor(50, 50, 50);
    for (int item = 1; item <= ItemCount; ++item) {
        if (item != TitleCursor) {
            DrawTextAt(480, 200 + 50 * item, ItemTexts[item - 1], dark, dark);
        }
    }
    if (TitleCursor >= 1 && TitleCursor <= ItemCount) {
        DrawTextAt(480, 200 + 50 * TitleCursor, ItemTexts[TitleCursor - 1],
                   MakeColor(255, 255, 255), MakeColor(150, 150, 150));
    }
}
