// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/language_setup.h"

#include "data/texts.h"
#include "engine/engine.h"
#include "game/language.h"

void UseLanguage(int language) {
    CurrentLanguage = language >= 0 && language < LanguageCount ? language : LanguageJapanese;
    SelectTextLanguage(CurrentLanguage);
    SetAnswerLabels(TextAnswerYes, TextAnswerNo, TextAnswerCancel);
}
