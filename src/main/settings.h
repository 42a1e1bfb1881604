// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The player's settings: "settings.ini" in $XDG_CONFIG_HOME/tovarine (or a file named on the
// command line), read at start and written when the pause menu changes something.
#pragma once

#include <cstdint>

enum ScreenSetting { ScreenAsk, ScreenWindow, ScreenFullscreen };
enum LanguageSetting { LanguageSettingAuto, LanguageSettingJa, LanguageSettingEn };
// What the player can put on other keys and pad buttons.
enum Action {
    ActionUp,
    ActionDown,
    ActionLeft,
    ActionRight,
    ActionAttack,
    ActionSpecial,
    ActionPossess,
    ActionCall,
    ActionPause,
    ActionCount
};

struct SettingsRecord {
    int32_t screen;
    int32_t smooth;        // 0 sharp, 1 smooth
    int32_t musicVolume;   // 0..100
    int32_t effectsVolume; // 0..100
    int32_t language;
    int32_t escapePauses;           // 0: Escape quits at once, 1: it opens the pause menu
    int32_t key[ActionCount];       // PC set-1 scan codes
    int32_t padButton[ActionCount]; // 1..24; 0 for the directions (stick and d-pad)
};

extern SettingsRecord Settings;
// The file the settings come from and go to; empty: none (the headless runner without one).
extern char SettingsPath[512];

void ResetSettings();
// The file of $XDG_CONFIG_HOME (absolute), else ~/.config; false when there is no home to use.
bool FindSettingsPath();
// Reads SettingsPath over the defaults. A missing file means defaults; every line that cannot be
// used (damaged, unknown, out of range) keeps its default and is noted once for Log.txt.
void ReadSettings();
// Writes the log lines noted while reading (the log opens later than the settings are read).
void LogSettingsProblems();
// Writes SettingsPath at once and whole (a new file renamed over the old); false on failure.
bool WriteSettings();
// Hands the volumes, scaling, keys and pad buttons to the engine.
void ApplySettings();
// The language setting as the file writes it: "auto", "ja" or "en".
const char* LanguageSettingName(int setting);

// The name of a key in the file and on screen, or nullptr for a key the player cannot choose.
const char* KeyName(int scanCode);
// The keys the player may choose, one by one for the controls screen; -1 past the last.
int ChoosableKey(int index);
// Gives an action a key or a pad button; the action that had it before takes the old one.
void AssignKey(int action, int scanCode);
void AssignPadButton(int action, int button);
// The pad bit an action drives (0 for pause, which the pause menu reads itself).
int32_t ActionPadBit(int action);
