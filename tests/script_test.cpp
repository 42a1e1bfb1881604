// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The language the game is played in: the locale rule, the command line beating the setting, the
// texts that follow the choice in whole (every text, the start-up box's buttons); the story script
// tables of both languages walked the way the game reads them, and the build converter's refusals
// of broken scripts.
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
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

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

int ReadLang(std::vector<const char*> args) {
    args.insert(args.begin(), "tovarine");
    std::FILE* sink = std::tmpfile();
    LanguageOption = nullptr;
    const int code = ReadCommandLine(static_cast<int>(args.size()), args.data(), sink, sink);
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

// ---- The script tables and their converter ----------------------------------------------------

using Table = const char[10][100][200];
using Ints = std::vector<int>;

// One line as the window reads it.
struct Walked {
    int pages = 0;
    int chars = 0;
    int deepestRow = 0;   // the lowest row the writing reaches, a full row's wrap included
    bool badText = false; // a byte that is neither a code nor a character of the table's kind
};

// Japanese text is Shift-JIS, two bytes a character and 28 to a row; English is one byte with its
// top bit set and 56 to a row.
Walked Walk(const char* line, bool english) {
    Walked w;
    int row = 0, column = 0;
    for (int i = 0; line[i] != 0; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (std::strchr("C@BESFfAGQNX01234567dpPbs", c) != nullptr) {
            w.pages += c == 'B';
            row = c == 'C' ? 0 : row + (c == '@');
            column = c == 'C' || c == '@' ? 0 : column;
            continue;
        }
        const auto trail = static_cast<unsigned char>(line[i + 1]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (english ? c < 0xA0 || c > 0xFE
                    : !lead || trail < 0x40 || trail > 0xFC || trail == 0x7F) {
            w.badText = true;
            break;
        }
        i += english ? 0 : 1;
        ++w.chars;
        w.deepestRow = std::max(w.deepestRow, row);
        if (++column == (english ? 56 : 28)) {
            w.deepestRow = std::max(w.deepestRow, ++row); // a full last row would scroll
            column = 0;
        }
    }
    return w;
}

int UsedLines(Table& table, int block) {
    const auto unused = [](const char* line) { return line[0] == 0; };
    return static_cast<int>(std::find_if(table[block], table[block] + 100, unused) - table[block]);
}

// The Japanese scenes' sizes are the converter's own refusals (tested below); here, that the tables
// the game links are what the converter checked.
TEST(ScriptTable, BothLanguagesHoldWholeScenesOfCodesAndTextInPagesThatFit) {
    const int want[4][3] = {{68, 67, 973}, {32, 32, 486}, {33, 32, 1141}, {9, 8, 91}};
    for (const bool english : {false, true}) {
        Table& table = english ? ScriptTableEnglish : ScriptTable;
        for (int b = 0; b < 10; ++b) {
            const int used = UsedLines(table, b);
            int pages = 0, chars = 0;
            for (int l = 0; l < 100; ++l) {
                SCOPED_TRACE(testing::Message() << (english ? "en " : "ja ") << b << "," << l);
                const char* record = table[b][l];
                const char* end = static_cast<const char*>(std::memchr(record, 0, 200));
                ASSERT_NE(end, nullptr);
                EXPECT_TRUE(std::all_of(end, record + 200, [](char c) { return c == 0; }));
                EXPECT_EQ(record[0] != 0, l < used) << "lines are used from 0 without gaps";
                const Walked w = Walk(record, english);
                EXPECT_FALSE(w.badText) << record;
                EXPECT_LE(w.deepestRow, 4) << "the page overflows the window";
                pages += w.pages;
                chars += w.chars;
            }
            EXPECT_TRUE(b < 4 || used == 0) << "block " << b;
            if (!english && b < 4) {
                EXPECT_EQ((Ints{used, pages, chars}), Ints(want[b], want[b] + 3)) << "block " << b;
            }
        }
    }
    // Shift-JIS: "………。" before the prologue's fade, and the finale's last page "ＥＮＤ".
    EXPECT_STREQ(ScriptTable[0][29], "C@\x81\x63\x81\x63\x81\x63\x81\x42"
                                     "FSB");
    EXPECT_STREQ(ScriptTable[1][30], "C@\x82\x64\x82\x6d\x82\x63"
                                     "B");
}

// The converter, run on broken copies of the real script in a folder of the test's own.
class ScriptConverter : public ::testing::Test {
  protected:
    void SetUp() override {
        lines_ = test::ReadLines(SCRIPT_SOURCE);
        ASSERT_GT(lines_.size(), 150u);
    }
    // The index (0-based) of the first script-file line containing `needle`.
    size_t Find(const std::string& needle) const {
        const auto at = std::find_if(lines_.begin(), lines_.end(), [&](const std::string& line) {
            return line[0] != '#' && line.find(needle) != std::string::npos;
        });
        EXPECT_NE(at, lines_.end()) << "no line contains " << needle;
        return at == lines_.end() ? 0 : at - lines_.begin();
    }
    // Runs the converter on `lines`; returns its exit status and keeps its messages in output_.
    int Run(const std::vector<std::string>& lines) {
        std::ofstream file(dir_.file("script.txt"));
        for (const std::string& line : lines) {
            file << line << "\n";
        }
        file.close();
        const int status =
            test::Run(std::string(SCRIPTGEN) + " script.txt script.cpp >out.txt 2>&1", dir_.path());
        output_ = test::ReadFile(dir_.file("out.txt"));
        return status;
    }
    // Expects a refusal with a message that names the file line `index` (0-based) and says `what`.
    void ExpectRefused(const std::vector<std::string>& lines, size_t index,
                       const std::string& what) {
        EXPECT_EQ(Run(lines), 1) << output_;
        const std::string where = ".txt:" + std::to_string(index + 1) + ": ";
        bool found = false;
        for (size_t at = output_.find(where); at != std::string::npos;
             at = output_.find(where, at + 1)) {
            found = found || output_.find(what, at) < output_.find('\n', at);
        }
        EXPECT_TRUE(found) << "no \"" << where << "... " << what << "\" in:\n" << output_;
    }
    test::ScratchDir dir_;
    std::vector<std::string> lines_;
    std::string output_;
};

TEST_F(ScriptConverter, AcceptsTheShippedScript) {
    EXPECT_EQ(Run(lines_), 0) << output_;
    EXPECT_NE(
        test::ReadFile(dir_.file("script.cpp")).find("const char ScriptTable[10][100][200] = {"),
        std::string::npos);
}

TEST_F(ScriptConverter, RefusesBrokenLinesAndScenesThatLoseTheirShape) {
    const std::string date = "C@十月十四日、金曜日。B";
    const std::string crash = "C@気がつくと、私は道に倒れていた。EB";
    std::string fourRows = "C@"; // four rows of 25: 206 bytes
    for (int i = 0; i < 100; ++i) {
        fourRows += std::string(i > 0 && i % 25 == 0 ? "@" : "") + "あ";
    }
    const struct {
        std::string line, becomes, said, where; // the refusal names `where`'s line, else `line`'s
    } cases[] = {
        {date, "C@十月十四日、金曜日。OKB", "unknown code 'O'", ""},
        {date, "C@十月十四日、金曜日。ﾖB", "single-byte", ""}, // half-width katakana
        {date, "C@十月 十四日、金曜日。B", "single-byte", ""},
        {date, "C@十月十四日、金曜日。🍰B", "no Shift-JIS form", ""},
        {date, "C@十月十四日、@@@@金曜日。B", "more than four rows", ""},
        {date, "C@十月十四日、金曜日E。B", "must read C@ text B", ""}, // a story step, plain page
        {date, fourRows + "B", "at most 199", ""},
        {crash, "C@気がつくと、私は道に倒れていた。B", "must read C@[16]EB", ""}, // no story step
        {date, "C@十月十四日の、金曜日。B", "973", "[block 0"}, // one character too many
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.becomes);
        std::vector<std::string> broken = lines_;
        broken[Find(c.line)] = c.becomes;
        ExpectRefused(broken, Find(c.where.empty() ? c.line : c.where), c.said);
    }
    // A 101st line in the EX block: refused where it stands; the block is then short of its end.
    std::vector<std::string> broken = lines_;
    const size_t end = Find("今度こそ、おはよう。");
    broken.insert(broken.begin() + end, 92, "C@あ。B");
    ExpectRefused(broken, end + 93, "more than 100 lines");
    ExpectRefused(broken, Find("[block 3"), "block 3 has 100 lines");
}

// English is laid out by the converter in rows of 56 characters, broken only between words.
TEST_F(ScriptConverter, LaysEnglishInRowsOf56AndRefusesAWordLongerThanARow) {
    std::vector<std::string> english = test::ReadLines(SCRIPT_SOURCE_EN);
    const auto date = std::find(english.begin(), english.end(), "{C@}Friday, October 14th.{B}");
    ASSERT_NE(date, english.end());
    Run(lines_); // the Japanese script the English one is checked against
    for (const int letters : {56, 57}) {
        SCOPED_TRACE(letters);
        *date = "{C@}" + std::string(static_cast<size_t>(letters), 'a') + "{B}";
        std::ofstream file(dir_.file("script.en.txt"));
        for (const std::string& line : english) {
            file << line << "\n";
        }
        file.close();
        const int status =
            test::Run(std::string(SCRIPTGEN) + " --latin script.en.txt --like script.txt --table T"
                                               " en.cpp >out.txt 2>&1",
                      dir_.path());
        const std::string said = test::ReadFile(dir_.file("out.txt"));
        EXPECT_EQ(status, letters == 56 ? 0 : 1) << said;
        EXPECT_EQ(said.find("longer than a row") != std::string::npos, letters == 57) << said;
    }
}

} // namespace
