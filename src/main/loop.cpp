// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/loop.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/command_line.h"
#include "main/modes.h"
#include "main/pause.h"
#include "main/save.h"
#include "main/settings.h"
#include "main/start_question.h"
#include "stage/stage.h"
#include "story/scenes.h"

#include <cstdlib>

int32_t DisplayMode = 2;

namespace {

// F1, and what players of other games press for the same: F11 and Alt+Enter.
bool DisplayKeyDown() {
    const bool alt = IsKeyDown(KeyLeftAlt) == 1 || IsKeyDown(KeyRightAlt) == 1;
    const bool enter = IsKeyDown(KeyReturn) == 1 || IsKeyDown(KeyPadEnter) == 1;
    return IsKeyDown(KeyF1) == 1 || IsKeyDown(KeyF11) == 1 || (alt && enter);
}

// The answer the game starts with: from the command line, or from the desktop's box (-1 when
// there is none; the question is then asked in the window).
int FirstAnswer() {
    // The command line beats the settings file.
    const int screen = StartDisplay == StartFullScreen ? ScreenFullscreen
                       : StartDisplay == StartWindowed ? ScreenWindow
                                                       : Settings.screen;
    if (screen == ScreenFullscreen) {
        return AnswerYes;
    }
    if (screen == ScreenWindow) {
        return AnswerNo;
    }
    return AskYesNoCancel(TextFullScreenQuestion, TextCaption);
}
} // namespace

void InitGameGlobals() {
    StageId = 1;
    ScrollLocked = 0;
    ResetStory();
    ResetButtons();
}

int GameMain() {
    SetWindowCaption(TextCaption);
    // A second copy gives way before it asks anything or touches the running copy's Log.txt.
    if (LockSingleInstance() == -1) {
        return 0;
    }
    ReadSettings();
    int answer = FirstAnswer();
    if (answer == AnswerCancel) {
        return 0;
    }
    const bool askInWindow = answer != AnswerYes && answer != AnswerNo;
    DisplayMode = answer == AnswerYes ? 1 : 2;
    InitGameGlobals();
    if (DisplayMode == 2) {
        ChangeWindowMode(1);
    }
    SetScreenMode(640, 480, 32, 60);
    SetWindowResizable(1);
    SetWindowIconId(101);
    if (EngineInit() == -1) {
        // The engine said why, on stderr and in Log.txt.
        return 1;
    }
    SetDrawTarget(-2);
    SetTransparentColor(128, 0, 128);
    LogSettingsProblems();
    ApplySettings();
    PauseOpen = false;
    PauseQuit = false;
    if (askInWindow) {
        answer = AskInGameWindow();
        if (answer == AnswerCancel) {
            EngineShutdown();
            return 0;
        }
        if (answer == AnswerYes) {
            DisplayMode = 1;
            ChangeWindowMode(0);
        }
    }
    std::srand(static_cast<unsigned>(GetCalendarTime()));
    GameMode = ModeLogo;

    while (ProcessMessage() == 0) {
        // Escape ends the program from any mode, without asking and without saving (unless the
        // player made it open the pause menu).
        if (IsKeyDown(KeyEscape) != 0 && Settings.escapePauses == 0 && !PauseTakesEscape()) {
            break;
        }
        ToggleDisplayMode();
        // While the pause menu is open the game's frame does not run at all.
        if (PauseFrame() || PauseQuit) {
            if (PauseQuit) {
                break;
            }
            continue;
        }
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
    DrawSaveNotice();
    FlipScreen();
}

// A band across the bottom of the screen while the notice lasts, over whatever the mode drew.
void DrawSaveNotice() {
    if (SaveNoticeFrames <= 0) {
        return;
    }
    --SaveNoticeFrames;
    DrawRectangle(0, 440, 640, 472, MakeColor(96, 0, 0), 1);
    SelectFontFace(TextFontFace, -1);
    SetTextSize(18);
    SetTextStyle(0);
    DrawTextAt(320 - GetTextWidth(TextSaveFailed) / 2, 447, TextSaveFailed,
               MakeColor(255, 255, 255), 0);
}

void ToggleDisplayMode() {
    // Level-triggered: holding the key toggles again after the wait below.
    if (!DisplayKeyDown()) {
        return;
    }
    SwitchDisplayMode();
}

void SwitchDisplayMode() {
    DisplayMode = DisplayMode >= 2 ? 1 : DisplayMode + 1;
    WaitMilliseconds(200);
    ChangeWindowMode(DisplayMode == 1 ? 0 : 1);
    // The engine drops its pictures on a display change.
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    SetDrawTarget(-2);
    SelectFontFace(TextFontFace, -1);
}
