// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story script tables as the game links them, walked the way the game reads them, and the
// build converter's refusals of broken scripts.
#include "data/script_table.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Table = const char[10][100][200];

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
    int n = 0;
    while (n < 100 && table[block][n][0] != 0) {
        ++n;
    }
    return n;
}

TEST(ScriptTable, BothLanguagesHoldTerminatedRecordsOfCodesAndTextInPagesThatFit) {
    for (const bool english : {false, true}) {
        Table& table = english ? ScriptTableEnglish : ScriptTable;
        for (int b = 0; b < 10; ++b) {
            const int used = UsedLines(table, b);
            EXPECT_TRUE(b < 4 || used == 0) << "block " << b;
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
            }
        }
    }
}

// The scenes' sizes and places of codes are the converter's own refusals (tested below); here,
// that the table the game links is what the converter checked.
TEST(ScriptTable, TheJapaneseScenesKeepTheirLinesPagesAndCharactersInShiftJis) {
    const int want[4][3] = {{68, 67, 973}, {32, 32, 486}, {33, 32, 1141}, {9, 8, 91}};
    for (int b = 0; b < 4; ++b) {
        int pages = 0, chars = 0;
        for (int l = 0; l < UsedLines(ScriptTable, b); ++l) {
            pages += Walk(ScriptTable[b][l], false).pages;
            chars += Walk(ScriptTable[b][l], false).chars;
        }
        EXPECT_EQ(UsedLines(ScriptTable, b), want[b][0]) << "block " << b;
        EXPECT_EQ(pages, want[b][1]) << "block " << b;
        EXPECT_EQ(chars, want[b][2]) << "block " << b;
    }
    // "………。" before the prologue's fade, and the finale's last page "ＥＮＤ".
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
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].find(needle) != std::string::npos && lines_[i][0] != '#') {
                return i;
            }
        }
        ADD_FAILURE() << "no line contains " << needle;
        return 0;
    }
    // Runs the converter on `lines`; returns its exit status and its messages.
    int Run(const std::vector<std::string>& lines, std::string& output) const {
        std::ofstream file(dir_.file("script.txt"));
        for (const std::string& line : lines) {
            file << line << "\n";
        }
        file.close();
        const int status =
            test::Run(std::string(SCRIPTGEN) + " script.txt script.cpp >out.txt 2>&1", dir_.path());
        output = test::ReadFile(dir_.file("out.txt"));
        return status;
    }
    // Expects a refusal with a message that names the file line `index` (0-based) and says `what`.
    void ExpectRefused(const std::vector<std::string>& lines, size_t index,
                       const std::string& what) const {
        std::string output;
        EXPECT_EQ(Run(lines, output), 1) << output;
        const std::string where = ".txt:" + std::to_string(index + 1) + ": ";
        bool found = false;
        for (size_t at = output.find(where); at != std::string::npos;
             at = output.find(where, at + 1)) {
            found = found || output.find(what, at) < output.find('\n', at);
        }
        EXPECT_TRUE(found) << "no \"" << where << "... " << what << "\" in:\n" << output;
    }
    test::ScratchDir dir_;
    std::vector<std::string> lines_;
};

TEST_F(ScriptConverter, AcceptsTheShippedScript) {
    std::string output;
    EXPECT_EQ(Run(lines_, output), 0) << output;
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

} // namespace
