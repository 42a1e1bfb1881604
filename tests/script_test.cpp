// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story script table as the game links it, walked the way the game reads it, and the build
// converter's refusals of broken scripts.
#include "data/script_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>

namespace {

constexpr const char* kCodes = "C@BESFfAGQNX01234567dpPbs";

bool IsCode(unsigned char c) {
    return c != 0 && std::strchr(kCodes, c) != nullptr;
}

bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSjisTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// One line as the reader sees it: codes, with each run of text written as [n].
struct Walked {
    std::string form;
    int pages = 0;
    int chars = 0;
    int deepestRow = 0;   // the lowest row a character is written to
    bool badText = false; // a byte that is neither a code nor a double-byte character
};

Walked Walk(const char* line) {
    Walked w;
    int run = 0;
    int row = 0;
    int column = 0;
    const auto endRun = [&] {
        if (run > 0) {
            w.form += "[" + std::to_string(run) + "]";
            run = 0;
        }
    };
    for (int i = 0; line[i] != 0; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (IsCode(c)) {
            endRun();
            w.form += static_cast<char>(c);
            w.pages += c == 'B';
            if (c == 'C') {
                row = column = 0;
            } else if (c == '@') {
                ++row;
                column = 0;
            }
            continue;
        }
        if (!IsSjisLead(c) || !IsSjisTrail(static_cast<unsigned char>(line[i + 1]))) {
            w.badText = true;
            break;
        }
        ++i;
        ++run;
        ++w.chars;
        w.deepestRow = std::max(w.deepestRow, row);
        if (++column == 28) {
            ++row;
            column = 0;
        }
    }
    endRun();
    return w;
}

int UsedLines(int block) {
    int n = 0;
    while (n < 100 && ScriptTable[block][n][0] != 0) {
        ++n;
    }
    return n;
}

TEST(ScriptTable, RecordsAreTerminatedAndUnusedSpaceIsZero) {
    for (int b = 0; b < 10; ++b) {
        const int used = UsedLines(b);
        for (int l = 0; l < 100; ++l) {
            const char* record = ScriptTable[b][l];
            const void* end = std::memchr(record, 0, 200);
            ASSERT_NE(end, nullptr) << "block " << b << " line " << l;
            for (const char* p = static_cast<const char*>(end); p < record + 200; ++p) {
                ASSERT_EQ(*p, 0) << "block " << b << " line " << l;
            }
            // Lines are used from 0 upwards without gaps.
            EXPECT_EQ(record[0] != 0, l < used) << "block " << b << " line " << l;
        }
        if (b >= 4) {
            EXPECT_EQ(used, 0) << "block " << b;
        }
    }
}

TEST(ScriptTable, ScenesHaveTheirLinesPagesAndCharacters) {
    const int want[4][3] = {{68, 67, 973}, {32, 32, 486}, {33, 32, 1141}, {9, 8, 91}};
    for (int b = 0; b < 4; ++b) {
        int pages = 0;
        int chars = 0;
        for (int l = 0; l < UsedLines(b); ++l) {
            const Walked w = Walk(ScriptTable[b][l]);
            EXPECT_FALSE(w.badText) << "single-byte text in block " << b << " line " << l;
            EXPECT_LE(w.deepestRow, 4) << "page overflows in block " << b << " line " << l;
            pages += w.pages;
            chars += w.chars;
        }
        EXPECT_EQ(UsedLines(b), want[b][0]) << "block " << b;
        EXPECT_EQ(pages, want[b][1]) << "block " << b;
        EXPECT_EQ(chars, want[b][2]) << "block " << b;
    }
}

TEST(ScriptTable, CodedLinesStandAtTheirPlacesAndTheRestArePlainPages) {
    const std::map<std::pair<int, int>, std::string> coded = {
        {{0, 0}, "C@f[6]B"},   {{0, 14}, "Cb@[6]ESB"},    {{0, 15}, "Cs@[19]B"},
        {{0, 16}, "C@[16]EB"}, {{0, 17}, "Cd@[21]B"},     {{0, 19}, "Cd@[9]B"},
        {{0, 21}, "Cd@[20]B"}, {{0, 23}, "Cd@[19]B"},     {{0, 25}, "Cd@[14]B"},
        {{0, 27}, "Cd@[8]B"},  {{0, 29}, "C@[4]FSB"},     {{0, 34}, "Cp@[14]B"},
        {{0, 42}, "CP@[4]B"},  {{0, 43}, "C@G[4]B"},      {{0, 59}, "C7@[4]B"},
        {{0, 62}, "C@[10]EB"}, {{0, 63}, "C@[11]EB"},     {{0, 66}, "C@[7]EB"},
        {{0, 67}, "QN"},       {{1, 0}, "C@B"},           {{1, 5}, "C@A[4]B"},
        {{1, 8}, "C@E[3]B"},   {{1, 9}, "C@[3]FSB"},      {{1, 27}, "C@[12]BC@[14]B"},
        {{1, 31}, "C@X"},      {{2, 0}, "C@f[12]@[26]B"}, {{2, 12}, "EQC@[27]B"},
        {{2, 29}, "C@QB"},     {{2, 32}, "C@[19]ES"},     {{3, 0}, "C@f[7]B"},
        {{3, 4}, "EC@[15]B"},  {{3, 5}, "C@QB"},          {{3, 8}, "C@X"},
    };
    for (int b = 0; b < 4; ++b) {
        for (int l = 0; l < UsedLines(b); ++l) {
            const std::string form = Walk(ScriptTable[b][l]).form;
            const auto fixed = coded.find({b, l});
            if (fixed != coded.end()) {
                EXPECT_EQ(form, fixed->second) << "block " << b << " line " << l;
                continue;
            }
            // C@ text B: no codes but @ between the opening C@ and the closing B.
            const std::string inner = form.size() >= 3 ? form.substr(2, form.size() - 3) : "";
            const bool plain = form.rfind("C@[", 0) == 0 && form.back() == 'B' &&
                               inner.find_first_not_of("@[]0123456789") == std::string::npos;
            EXPECT_TRUE(plain) << "block " << b << " line " << l << ": " << form;
        }
    }
}

TEST(ScriptTable, TextIsShiftJis) {
    // "………。" before the prologue's fade, and the finale's last page "ＥＮＤ".
    EXPECT_STREQ(ScriptTable[0][29], "C@\x81\x63\x81\x63\x81\x63\x81\x42"
                                     "FSB");
    EXPECT_STREQ(ScriptTable[1][30], "C@\x82\x64\x82\x6d\x82\x63"
                                     "B");
}

// The converter, run on broken copies of the real script.
class ScriptConverter : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ifstream in(SCRIPT_SOURCE);
        for (std::string line; std::getline(in, line);) {
            lines_.push_back(line);
        }
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

    // Runs the converter on `lines`; returns its exit status and fills `output` with its stderr.
    // Files are named after the test, so tests run in parallel do not share them.
    int Run(const std::vector<std::string>& lines, std::string& output) const {
        const std::string base = ::testing::TempDir() + "script_test_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::ofstream(base + ".txt") << Join(lines);
        const std::string command =
            std::string(SCRIPTGEN) + " " + base + ".txt " + base + ".cpp 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        output.clear();
        char buffer[512];
        while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        const int status = pipe != nullptr ? pclose(pipe) : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Expects a refusal with a message that names the file line `index` (0-based) and says `what`.
    void ExpectRefused(const std::vector<std::string>& lines, size_t index,
                       const std::string& what) const {
        std::string output;
        EXPECT_EQ(Run(lines, output), 1) << output;
        const std::string where = ".txt:" + std::to_string(index + 1) + ": ";
        std::istringstream messages(output);
        bool found = false;
        for (std::string m; std::getline(messages, m);) {
            found = found || (m.find(where) != std::string::npos &&
                              m.find(what, m.find(where)) != std::string::npos);
        }
        EXPECT_TRUE(found) << "no \"" << where << "... " << what << "\" in:\n" << output;
    }

    static std::string Join(const std::vector<std::string>& lines) {
        std::ostringstream out;
        for (const std::string& line : lines) {
            out << line << "\n";
        }
        return out.str();
    }

    std::vector<std::string> lines_;
};

TEST_F(ScriptConverter, AcceptsTheShippedScript) {
    std::string output;
    EXPECT_EQ(Run(lines_, output), 0) << output;
    std::ifstream generated(::testing::TempDir() + "script_test_AcceptsTheShippedScript.cpp");
    std::stringstream text;
    text << generated.rdbuf();
    EXPECT_NE(text.str().find("const char ScriptTable[10][100][200] = {"), std::string::npos);
}

TEST_F(ScriptConverter, RefusesBrokenLines) {
    std::string fourRows = "C@";
    for (int i = 0; i < 100; ++i) {
        fourRows += std::string(i > 0 && i % 25 == 0 ? "@" : "") + "あ";
    }
    const struct {
        const char* line; // replaces the script's line "C@十月十四日、金曜日。B"
        const char* said;
    } cases[] = {
        {"C@十月十四日、金曜日。OKB", "unknown code 'O'"},
        {"C@十月十四日、金曜日。ﾖB", "single-byte"}, // half-width katakana
        {"C@十月 十四日、金曜日。B", "single-byte"},
        {"C@十月十四日、金曜日。🍰B", "no Shift-JIS form"},
        {"C@十月十四日、@@@@金曜日。B", "more than four rows"},
        {"C@十月十四日、金曜日E。B", "must read C@ text B"}, // a story step on a plain page
        {nullptr, "at most 199"},                            // four rows of 25: 206 bytes
    };
    const size_t at = Find("C@十月十四日、金曜日。B");
    for (const auto& c : cases) {
        std::vector<std::string> broken = lines_;
        broken[at] = c.line != nullptr ? c.line : fourRows + "B";
        ExpectRefused(broken, at, c.said);
    }
}

TEST_F(ScriptConverter, RefusesScenesThatLoseTheirShape) {
    // The crash line without its story step.
    std::vector<std::string> broken = lines_;
    const size_t crash = Find("C@気がつくと、私は道に倒れていた。EB");
    broken[crash] = "C@気がつくと、私は道に倒れていた。B";
    ExpectRefused(broken, crash, "must read C@[16]EB");

    // One character more than the prologue may hold.
    broken = lines_;
    broken[Find("C@十月十四日、金曜日。B")] = "C@十月十四日の、金曜日。B";
    ExpectRefused(broken, Find("[block 0"), "973");

    // A 101st line in the EX block: refused where it stands; the block is then short of its end.
    broken = lines_;
    const size_t end = Find("今度こそ、おはよう。");
    broken.insert(broken.begin() + end, 92, "C@あ。B");
    ExpectRefused(broken, end + 93, "more than 100 lines");
    ExpectRefused(broken, Find("[block 3"), "block 3 has 100 lines");
}

} // namespace
