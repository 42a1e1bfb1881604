// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The game: reads its command line, asks the full-screen question unless told, then runs until
// Escape, the window closes or the title's exit item is chosen.
#include "game/language.h"
#include "main/command_line.h"
#include "main/language_setup.h"
#include "main/loop.h"
#include "main/settings.h"

#include <cstdio>

int main(int argc, char** argv) {
    const int code = ReadCommandLine(argc, argv, stdout, stderr);
    if (code >= 0) {
        return code;
    }
    if (!SettingsGiven) {
        FindSettingsPath();
    }
    // The language before anything is shown: the command line, else the setting, else the locale.
    ReadSettings();
    UseLanguage(ChooseLanguage(LanguageOption, LanguageSettingName(Settings.language)));
    return GameMain();
}
