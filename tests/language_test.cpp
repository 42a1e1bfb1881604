// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The language the game is played in: the locale rule, the command line beating the setting, and
// the texts that follow the choice in whole (every text, the start-up box's buttons).
#include "data/script_table.h"
#include "data/texts.h"
#include "game/language.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/command_line.h"
#include "main/language_setup.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(Language, TheLocaleRuleTakesTheFirstSetVariableAndOnlyJaMeansJapanese) {
    EXPECT_EQ(LanguageOfLocale("ja_JP.UTF-8", nullptr, nullptr), LanguageJapanese);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja"), LanguageJapanese);
    EXPECT_EQ(LanguageOfLocale(nullptr, "ja_JP.eucJP", "en_GB.UTF-8"), LanguageJapanese);
    // LC_ALL beats LC_MESSAGES beats LANG; an empty variable counts as unset.
    EXPECT_EQ(LanguageOfLocale("en_US.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"), LanguageEnglish);
    EXPECT_EQ(LanguageOfLocale("", "de_DE.UTF-8", "ja_JP.UTF-8"), LanguageEnglish);
    EXPECT_EQ(LanguageOfLocale("", "", "ja_JP.UTF-8"), LanguageJapanese);
    // Anything else is English: other languages, "C", POSIX, no locale at all, "jp" (not "ja").
    for (const char* other : {"C", "POSIX", "C.UTF-8", "fr_FR.UTF-8", "jp_JP", "J", ""}) {
        EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, other), LanguageEnglish) << other;
    }
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, nullptr), LanguageEnglish);
}

TEST(Language, TheCommandLineBeatsTheSettingWhichBeatsTheLocale) {
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(ChooseLanguage(nullptr, nullptr), LanguageJapanese) << "no setting: auto";
    EXPECT_EQ(ChooseLanguage(nullptr, "auto"), LanguageJapanese);
    EXPECT_EQ(ChooseLanguage(nullptr, "en"), LanguageEnglish);
    EXPECT_EQ(ChooseLanguage("ja", "en"), LanguageJapanese);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(ChooseLanguage(nullptr, "auto"), LanguageEnglish);
    EXPECT_EQ(ChooseLanguage("ja", "auto"), LanguageJapanese);
    EXPECT_EQ(ChooseLanguage(nullptr, "ja"), LanguageJapanese);
    unsetenv("LC_ALL");
    // What is not a language is said to be so, not quietly taken for one.
    EXPECT_EQ(ChooseLanguage("fr", "ja"), -1);
    EXPECT_EQ(ChooseLanguage(nullptr, "JA"), -1);
    EXPECT_EQ(ResolveLanguage(""), -1);
    EXPECT_EQ(ResolveLanguage(nullptr), -1);
    EXPECT_STREQ(LanguageName(LanguageEnglish), "en");
    EXPECT_STREQ(LanguageName(7), "");
}

int ReadLang(std::initializer_list<const char*> args) {
    const char* argv[8] = {"tovarine"};
    int argc = 1;
    for (const char* a : args) {
        argv[argc++] = a;
    }
    std::FILE* sink = std::tmpfile();
    LanguageOption = nullptr;
    const int code = ReadCommandLine(argc, argv, sink, sink);
    std::fclose(sink);
    return code;
}

TEST(Language, TheCommandLineNamesALanguageOrIsRefused) {
    EXPECT_EQ(ReadLang({"--lang", "en"}), -1);
    EXPECT_STREQ(LanguageOption, "en");
    EXPECT_EQ(ReadLang({"--lang=ja", "-w"}), -1);
    EXPECT_STREQ(LanguageOption, "ja");
    for (const char* wrong : {"fr", "auto", "", "EN"}) {
        EXPECT_EQ(ReadLang({"--lang", wrong}), 2) << wrong;
    }
    EXPECT_EQ(ReadLang({"--lang"}), 2) << "a missing value";
    LanguageOption = nullptr;
}

TEST(Language, EveryTextFollowsTheChosenLanguage) {
    UseLanguage(LanguageEnglish);
    EXPECT_EQ(CurrentLanguage, LanguageEnglish);
    EXPECT_STREQ(TextTitleStart, "Start");
    EXPECT_STREQ(TextAnswerCancel, "Cancel");
    char line[64];
    std::snprintf(line, sizeof line, TextResultTotal, 19200);
    EXPECT_STREQ(line, "Total     = 19200");
    UseLanguage(LanguageJapanese);
    EXPECT_STREQ(TextTitleStart, "\x8a\x4a\x8e\x6e"); // 開始
    // The two spaces that line "はい" up under "いいえ" are kept.
    EXPECT_EQ(std::string(TextContinueYes).substr(0, 3), "  \x82");
    UseLanguage(42);
    EXPECT_EQ(CurrentLanguage, LanguageJapanese) << "an unknown language is Japanese";
}

// The window writes English one byte a character, wraps at 56 and reads the same codes: the
// opening page fades in and waits with its words on the second row.
TEST(EnglishScript, TheWindowShowsTheOpeningPageInEnglishAndJapaneseStaysAsItWas) {
    for (const int language : {LanguageEnglish, LanguageJapanese}) {
        UseLanguage(language);
        ResetStory();
        ResetButtons();
        StagePhase = 1;
        for (int frame = 0; frame < 10; ++frame) {
            MessageTextStep();
        }
        EXPECT_EQ(WaitingAtB, 1);
        EXPECT_EQ(ScreenFade.active, 1) << "the f of the first line";
        EXPECT_STREQ(WindowRows[1], language == LanguageEnglish
                                        ? "An autumn evening."
                                        : "\x8f\x48\x82\xcc\x97\x5b\x95\xe9\x82\xea\x81\x42");
        EXPECT_EQ(WindowRows[0][0], 0);
    }
    UseLanguage(LanguageJapanese);
    ResetStory();
}

} // namespace
