#include "main/loop.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/modes.h"
#include "stage/stage.h"
#include "story/scenes.h"

#include <cstdlib>

int32_t DisplayMode = 2;

void InitGameGlobals() {
    StageId = 1;
    ScrollLocked = 0;
    ResetStory();
    ResetButtons();
}

int GameMain() {
    const int answer = AskYesNoCancel(TextFullScreenQuestion, TextCaption);
    if (answer == AnswerCancel) {
        return 0;
    }
    DisplayMode = answer == AnswerYes ? 1 : 2;
    InitGameGlobals();
    if (DisplayMode == 2) {
        ChangeWindowMode(1);
    }
    SetWindowCaption(TextCaption);
    SetScreenMode(640, 480, 32, 60);
    SetWindowResizable(1);
    SetWindowIconId(101);
    if (EngineInit() == -1) {
        return 0;
    }
    SetDrawTarget(-2);
    SetTransparentColor(128, 0, 128);
    std::srand(static_cast<unsigned>(GetCalendarTime()));
    GameMode = ModeLogo;

    while (ProcessMessage() == 0) {
        // Escape ends the program from any mode, without asking and without saving.
        if (IsKeyDown(KeyEscape) != 0) {
            break;
        }
        ToggleDisplayMode();
        FrameStep();
    }
    ReleaseAllImages(0);
    ReleaseAllSounds(0);
    EngineShutdown();
    return 0;
}

void FrameStep() {
    ReadButtons();
    RunModeHandlers();
    FlipScreen();
}

void ToggleDisplayMode() {
    // Level-triggered: holding F1 toggles again after the wait below.
    if (IsKeyDown(KeyF1) != 1) {
        return;
    }
    DisplayMode = DisplayMode >= 2 ? 1 : DisplayMode + 1;
    WaitMilliseconds(200);
    ChangeWindowMode(DisplayMode == 1 ? 0 : 1);
    // The engine drops its pictures on a display change.
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    SetDrawTarget(-2);
    SelectFontFace(TextFontFace, -1);
}
