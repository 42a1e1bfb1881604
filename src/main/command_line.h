// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The game's command line: how it is to start, or an exit code for --help and the like.
#pragma once

#include <cstdio>

enum StartDisplayChoice { StartAsk, StartFullScreen, StartWindowed };
// How GameMain starts: with the full-screen question, or straight into one of the two.
extern int StartDisplay;
// True when --settings named the settings file (SettingsPath); otherwise the player's own is used.
extern bool SettingsGiven;
// The language asked for with --lang ("ja" or "en"), or nullptr: then the setting, or the locale.
extern const char* LanguageOption;

// The usage text of --help; the manual page tovarine(6) says the same.
extern const char UsageText[];

// Reads the options into StartDisplay and LanguageOption. Returns -1 to go on and start the game,
// or the exit code: 0 after --help or --version (printed on out), 2 after a mistake (the usage on
// err).
int ReadCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err);
