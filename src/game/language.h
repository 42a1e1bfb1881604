// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The language the player reads the game in: the texts, the story script and the pictures with
// words all follow it. Chosen once before the start-up question; Japanese is the game as it
// always was.
#pragma once

#include <cstdint>

enum Language { LanguageJapanese = 0, LanguageEnglish = 1, LanguageCount };

extern int32_t CurrentLanguage;

// The two-letter name of a language ("ja", "en"), as the command line and the settings write it.
const char* LanguageName(int language);

// The language a choice stands for: "ja" or "en", or "auto" for the player's locale. -1 for
// anything else, so the caller can say what was wrong.
int ResolveLanguage(const char* choice);

// The locale rule: the first non-empty of LC_ALL, LC_MESSAGES and LANG decides; one that starts
// with "ja" gives Japanese, anything else (also no locale at all) English. Taken as arguments, so
// the rule can be tested without touching the environment; nullptr stands for unset.
int LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

// The language the game starts in: the command line's choice beats the setting, and a missing
// setting counts as "auto". Either may be nullptr. -1 when a given choice is not a language.
int ChooseLanguage(const char* commandLine, const char* setting);
