// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/pause.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/loop.h"
#include "main/settings.h"
#include "stage/stage.h"

#include <cctype>
#include <cstdio>

bool PauseOpen = false;
bool PauseQuit = false;

namespace {

enum Page { PageMain, PageControls, PageCapture, PageAskTitle, PageAskQuit };
enum MainItem {
    ItemResume,
    ItemMusic,
    ItemEffects,
    ItemScreen,
    ItemScaling,
    ItemControls,
    ItemToTitle,
    ItemQuit,
    MainItemCount
};
constexpr int ControlsItemCount = ActionCount + 2; // the actions, defaults, back

constexpr int32_t PadBack = 0x0400;  // button 7
constexpr int32_t PadStart = 0x0800; // button 8
constexpr int32_t MenuBits = PadUp | PadDown | PadLeft | PadRight | PadButton1 | PadButton2;

Page CurrentPage = PageMain;
int Cursor = 0;
int ControlsCursor = 0;
int AskCursor = 1; // "No" first: leaving the game is never one careless press away
bool Changed = false;
bool Resuming = false;
int32_t HeldAtOpen = 0;
// Last pass's input, for fresh presses.
int32_t LastBits = 0;
int32_t LastPadOnly = 0;
bool LastPause = false;
bool LastEscape = false;
bool LastReturn = false;
bool CaptureArmed = false;

bool CanPause() {
    return GameMode != ModeLogo && GameMode != ModeLoadingScreen && GameMode != ModeLoadAssets;
}

// Pointers to the texts, so the language can change after they were listed.
const GameText* const ActionTexts[ActionCount] = {
    &TextActionUp,      &TextActionDown,    &TextActionLeft, &TextActionRight, &TextActionAttack,
    &TextActionSpecial, &TextActionPossess, &TextActionCall, &TextActionPause};

void Open() {
    PauseOpen = true;
    Resuming = false;
    CurrentPage = PageMain;
    Cursor = ItemResume;
    Changed = false;
    HeldAtOpen = ReadPadState(PadAndKeyboard);
    SaveScreenCopy();
    PauseAllSounds(1);
}

void Close() {
    PauseOpen = false;
    PauseAllSounds(0);
    if (Changed) {
        WriteSettings();
        Changed = false;
    }
}

void ChangeVolume(int32_t& volume, int step) {
    const int32_t before = volume;
    volume = volume + step < 0 ? 0 : volume + step > 100 ? 100 : volume + step;
    if (volume != before) {
        Changed = true;
        SetVolumeScale(Settings.musicVolume, Settings.effectsVolume);
    }
}

void MainPage(int32_t pressed, bool confirm) {
    const int step = (pressed & PadRight) != 0 ? 1 : (pressed & PadLeft) != 0 ? -1 : 0;
    if ((pressed & PadUp) != 0) {
        Cursor = (Cursor + MainItemCount - 1) % MainItemCount;
    }
    if ((pressed & PadDown) != 0) {
        Cursor = (Cursor + 1) % MainItemCount;
    }
    switch (Cursor) {
    case ItemResume:
        Resuming = confirm;
        break;
    case ItemMusic:
        ChangeVolume(Settings.musicVolume, step * 10);
        break;
    case ItemEffects:
        ChangeVolume(Settings.effectsVolume, step * 10);
        break;
    case ItemScreen:
        if (step != 0 || confirm) {
            SwitchDisplayMode();
            Settings.screen = DisplayMode == 1 ? ScreenFullscreen : ScreenWindow;
            Changed = true;
        }
        break;
    case ItemScaling:
        if (step != 0 || confirm) {
            Settings.smooth = 1 - Settings.smooth;
            SetScalingMode(Settings.smooth);
            Changed = true;
        }
        break;
    case ItemControls:
        if (confirm) {
            CurrentPage = PageControls;
            ControlsCursor = 0;
        }
        break;
    case ItemToTitle:
    case ItemQuit:
        if (confirm) {
            CurrentPage = Cursor == ItemToTitle ? PageAskTitle : PageAskQuit;
            AskCursor = 1;
        }
        break;
    default:
        break;
    }
}

void ControlsPage(int32_t pressed, bool confirm, bool back) {
    if ((pressed & PadUp) != 0) {
        ControlsCursor = (ControlsCursor + ControlsItemCount - 1) % ControlsItemCount;
    }
    if ((pressed & PadDown) != 0) {
        ControlsCursor = (ControlsCursor + 1) % ControlsItemCount;
    }
    if (back || (confirm && ControlsCursor == ActionCount + 1)) {
        CurrentPage = PageMain;
    } else if (confirm && ControlsCursor == ActionCount) {
        const SettingsRecord kept = Settings;
        ResetSettings();
        Settings.screen = kept.screen;
        Settings.smooth = kept.smooth;
        Settings.musicVolume = kept.musicVolume;
        Settings.effectsVolume = kept.effectsVolume;
        Settings.language = kept.language;
        Settings.escapePauses = kept.escapePauses;
        ApplySettings();
        Changed = true;
    } else if (confirm) {
        CurrentPage = PageCapture;
        CaptureArmed = false;
    }
}

// Waits for every key and button to be let go, then takes the first one pressed.
void CapturePage() {
    int down = -1;
    for (int i = 0; ChoosableKey(i) >= 0; ++i) {
        if (IsKeyDown(ChoosableKey(i)) != 0) {
            down = ChoosableKey(i);
        }
    }
    const int buttons = ReadPadButtons();
    const bool escape = IsKeyDown(KeyEscape) != 0;
    if (!CaptureArmed) {
        CaptureArmed = down < 0 && buttons == 0 && !escape;
        return;
    }
    if (escape) {
        CurrentPage = PageControls;
        return;
    }
    const int action = ControlsCursor;
    if (down >= 0) {
        AssignKey(action, down);
    } else if (buttons != 0 && Settings.padButton[action] != 0) {
        int button = 1;
        while ((buttons & (1 << (button - 1))) == 0) {
            ++button;
        }
        AssignPadButton(action, button);
    } else {
        return;
    }
    ApplySettings();
    Changed = true;
    CurrentPage = PageControls;
}

void AskPage(int32_t pressed, bool confirm, bool back) {
    if ((pressed & (PadLeft | PadRight | PadUp | PadDown)) != 0) {
        AskCursor = 1 - AskCursor;
    }
    if (back || (confirm && AskCursor == 1)) {
        CurrentPage = PageMain;
        return;
    }
    if (!confirm) {
        return;
    }
    if (CurrentPage == PageAskQuit) {
        PauseQuit = true;
        Close();
        return;
    }
    // Back to the title, as after a game over: the run's state goes, the title music starts.
    Close();
    StopAllMusic();
    ResetRun();
}

// ---- Drawing --------------------------------------------------------------------------------

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Grey = 0xA0A8C0;
constexpr uint32_t Chosen = 0xFFE080;

void Text(int x, int y, const char* text, bool chosen) {
    DrawTextAt(x, y, text, chosen ? Chosen : White, 0);
}

void KeyText(int x, int y, int scanCode, bool chosen) {
    char name[16] = "?";
    if (const char* known = KeyName(scanCode)) {
        std::snprintf(name, sizeof name, "%s", known);
        for (char* c = name; *c != '\0'; ++c) {
            *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        }
    }
    Text(x, y, name, chosen);
}

void DrawMain() {
    const int left = 150;
    const int valueX = 380;
    for (int i = 0; i < MainItemCount; ++i) {
        static const GameText* const Items[MainItemCount] = {
            &TextPauseResume,  &TextPauseMusic,    &TextPauseEffects, &TextPauseScreen,
            &TextPauseScaling, &TextPauseControls, &TextPauseToTitle, &TextPauseQuit};
        const int y = 120 + i * 36;
        const bool chosen = i == Cursor;
        if (chosen) {
            DrawRectangle(left - 16, y + 6, left - 8, y + 14, Chosen, 1);
        }
        Text(left, y, *Items[i], chosen);
        if (i == ItemMusic || i == ItemEffects) {
            const int value = i == ItemMusic ? Settings.musicVolume : Settings.effectsVolume;
            DrawRectangle(valueX, y + 4, valueX + 100, y + 16, Grey, 0);
            DrawRectangle(valueX, y + 4, valueX + value, y + 16, chosen ? Chosen : White, 1);
            DrawFormattedTextAt(valueX + 112, y, chosen ? Chosen : White, "%d", value);
        } else if (i == ItemScreen) {
            Text(valueX, y, DisplayMode == 1 ? TextPauseFullscreen : TextPauseWindow, chosen);
        } else if (i == ItemScaling) {
            Text(valueX, y, Settings.smooth != 0 ? TextPauseSmooth : TextPauseSharp, chosen);
        }
    }
}

void DrawControls() {
    const int left = 110;
    Text(320, 84, TextControlsKey, false);
    Text(430, 84, TextControlsPad, false);
    for (int i = 0; i < ControlsItemCount; ++i) {
        const int y = 112 + i * 27;
        const bool chosen = i == ControlsCursor;
        const bool capturing = chosen && CurrentPage == PageCapture;
        if (chosen) {
            DrawRectangle(left - 16, y + 6, left - 8, y + 14, Chosen, 1);
        }
        if (i < ActionCount) {
            Text(left, y, *ActionTexts[i], chosen);
            if (!capturing) {
                KeyText(320, y, Settings.key[i], chosen);
                if (Settings.padButton[i] != 0) {
                    DrawFormattedTextAt(430, y, chosen ? Chosen : White, TextControlsPadButton,
                                        Settings.padButton[i]);
                }
            }
        } else {
            Text(left, y, i == ActionCount ? TextControlsDefaults : TextControlsBack, chosen);
        }
    }
    if (CurrentPage == PageCapture) {
        SetTextSize(16);
        DrawTextAt(320 - GetTextWidth(TextControlsPress) / 2, 420, TextControlsPress, Chosen, 0);
    }
}

void DrawAsk() {
    const char* question = CurrentPage == PageAskTitle ? TextPauseAskTitle : TextPauseAskQuit;
    SetTextSize(18);
    DrawTextAt(320 - GetTextWidth(question) / 2, 200, question, White, 0);
    SetTextSize(20);
    Text(250, 260, TextAnswerYes, AskCursor == 0);
    Text(350, 260, TextAnswerNo, AskCursor == 1);
}

// The game's last picture, dimmed, under the menu.
void Draw() {
    RestoreScreenCopy();
    SetBlendMode(BlendAlpha, 170);
    DrawRectangle(0, 0, 640, 480, 0, 1);
    SetBlendMode(BlendNone, 0);
    DrawRectangle(60, 40, 580, 450, 0x1C2038, 1);
    DrawRectangle(60, 40, 580, 450, 0x8090C0, 0);
    SelectFontFace(TextFontFace, -1);
    SetTextStyle(2);
    SetTextSize(24);
    DrawTextAt(320 - GetTextWidth(TextPauseTitle) / 2, 52, TextPauseTitle, White, 0);
    SetTextSize(20);
    switch (CurrentPage) {
    case PageMain:
        DrawMain();
        break;
    case PageControls:
    case PageCapture:
        DrawControls();
        break;
    case PageAskTitle:
    case PageAskQuit:
        DrawAsk();
        break;
    }
}

} // namespace

bool PauseTakesEscape() {
    return PauseOpen && CurrentPage == PageCapture;
}

bool PauseFrame() {
    const bool pauseKey = IsKeyDown(Settings.key[ActionPause]) != 0;
    const bool escape = Settings.escapePauses != 0 && IsKeyDown(KeyEscape) != 0;
    const bool enter = IsKeyDown(KeyReturn) != 0 || IsKeyDown(KeyPadEnter) != 0;
    const int32_t padOnly = ReadPadState(0x0001);
    const int32_t bits = ReadPadState(PadAndKeyboard);
    const int32_t padPressed = padOnly & ~LastPadOnly;
    const bool toggle = (pauseKey && !LastPause) || (padPressed & (PadStart | PadBack)) != 0;
    const bool escapePressed = escape && !LastEscape;
    const int32_t pressed = bits & ~LastBits & MenuBits;
    const bool confirm = (pressed & PadButton1) != 0 || (enter && !LastReturn);
    const bool back = (pressed & PadButton2) != 0 || escapePressed;
    LastPause = pauseKey;
    LastEscape = escape;
    LastReturn = enter;
    LastBits = bits;
    LastPadOnly = padOnly;

    if (!PauseOpen) {
        if ((toggle || escapePressed) && CanPause()) {
            Open();
        } else {
            return false;
        }
    } else if (CurrentPage == PageCapture) {
        CapturePage();
    } else if (toggle || (back && CurrentPage == PageMain)) {
        Resuming = true;
    } else if (!Resuming) {
        switch (CurrentPage) {
        case PageMain:
            MainPage(pressed, confirm);
            break;
        case PageControls:
            ControlsPage(pressed, confirm, back);
            break;
        default:
            AskPage(pressed, confirm, back);
            break;
        }
    }
    if (!PauseOpen) {
        return PauseQuit; // left for the title (the game's frame runs) or to quit
    }
    // The game goes on once the buttons pressed for the menu are let go, so that the press that
    // chose "resume" does not also attack.
    if (Resuming && (bits & ~HeldAtOpen & 0x03FF) == 0) {
        Close();
        return false;
    }
    Draw();
    FlipScreen();
    return true;
}
