#include "main/loop.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "main/assets.h"
#include "main/modes.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

#include <cstdlib>

int32_t PadState = 0;
int32_t ButtonMask[10] = {};
int32_t ButtonHold[10] = {};
int32_t DisplayMode = 2;

namespace {
constexpr int KeyEscape = 0x01;
constexpr int KeyF1 = 0x3B;
} // namespace

void InitGameGlobals() {
    StageId = 1;
    ScrollLocked = 0;
    ScreenFade = ScreenFadeRecord{};
    StagePhase = 1;
    ScriptPosition = ScriptPositionRecord{};
    StoryStep = 0;
    StorySide = -1;
    static constexpr int32_t Masks[10] = {0x0008, 0x0001, 0x0002, 0x0004, 0x0010,
                                          0x0020, 0x0040, 0x0080, 0x0100, 0x0200};
    for (int i = 0; i < 10; ++i) {
        ButtonMask[i] = Masks[i];
        ButtonHold[i] = 0;
    }
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
    PadState = ReadPadState(0x1001);
    for (int i = 0; i < 10; ++i) {
        ButtonHold[i] = (PadState & ButtonMask[i]) != 0 ? ButtonHold[i] + 1 : 0;
    }
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
