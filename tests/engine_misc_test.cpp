// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The engine's life cycle, Log.txt, random numbers, input and text.
#include "engine/engine.h"
#include "engine/headless.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

class Engine : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
    }
    void TearDown() override {
        EngineShutdown();
        HeadlessSetSeed(1);
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Engine, LogIsRecreatedAtEachStartWithTimedIndentedLines) {
    std::ofstream(dir_.file("Log.txt")) << "left over from an earlier run\n";
    ASSERT_EQ(EngineInit(), 0);
    LoadImageFile("png\\nothing.png", 0);
    EngineShutdown();
    const std::string log = test::ReadFile(dir_.file("Log.txt"));
    EXPECT_EQ(log.find("left over"), std::string::npos);
    EXPECT_NE(log.find("二重起動はされていませんでした"), std::string::npos);
    const std::regex line(R"(\d+:\t*[^\t\r\n][^\r\n]*\r)");
    int count = 0;
    for (const std::string& text : test::ReadLines(dir_.file("Log.txt"))) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
        ++count;
    }
    EXPECT_GT(count, 5);
    EXPECT_NE(log.find("\n0:\t"), std::string::npos) << "steps are indented under their stage";
}

TEST_F(Engine, TwentyFourBitDisplaysAreRefusedAndShutdownIsFinalAndSafeTwice) {
    SetScreenMode(640, 480, 24, 60);
    EXPECT_EQ(EngineInit(), -1);
    EXPECT_NE(test::ReadFile(dir_.file("Log.txt")).find("24-bit"), std::string::npos);
    SetScreenMode(640, 480, 32, 60);
    ASSERT_EQ(EngineInit(), 0);
    EXPECT_EQ(ProcessMessage(), 0);
    EXPECT_EQ(EngineShutdown(), 0);
    EXPECT_EQ(EngineShutdown(), 0);
    EXPECT_NE(ProcessMessage(), 0);
    EXPECT_EQ(FlipScreen(), -1);
    EXPECT_EQ(ClearScreen(), -1);
    EXPECT_EQ(DrawRectangle(0, 0, 10, 10, 0, 1), -1);
    EXPECT_EQ(LoadImageFile("x.png", 0), -1);
    // And it can start again.
    ASSERT_EQ(EngineInit(), 0);
    EXPECT_EQ(ProcessMessage(), 0);
}

TEST_F(Engine, WaitReturnsEarlyWhenTheGameIsToEnd) {
    ASSERT_EQ(EngineInit(), 0);
    const int start = GetMillisecondCount();
    WaitMilliseconds(200);
    EXPECT_GE(GetMillisecondCount() - start, 200);
    HeadlessSetFrameLimit(0);
    const int before = GetMillisecondCount();
    WaitMilliseconds(200);
    EXPECT_LT(GetMillisecondCount() - before, 2);
}

TEST_F(Engine, RandomIntIsTheMersenneTwisterScaledByAProduct) {
    HeadlessSetSeed(5489); // the generator is seeded from the millisecond count at start
    ASSERT_EQ(EngineInit(), 0);
    // The generator's published first outputs for seed 5489: 3499211612, 581869302, 3890346734.
    EXPECT_EQ(RandomInt(639), static_cast<int>((3499211612ull * 640) >> 32));
    EXPECT_EQ(RandomInt(479), static_cast<int>((581869302ull * 480) >> 32));
    EXPECT_EQ(RandomInt(140), static_cast<int>((3890346734ull * 141) >> 32));
    bool sawMax = false, sawZero = false;
    for (int i = 0; i < 20000; ++i) {
        const int value = RandomInt(640);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 640);
        sawMax |= value == 640;
        sawZero |= value == 0;
        ASSERT_EQ(RandomInt(0), 0);
    }
    EXPECT_TRUE(sawMax) << "the maximum itself can come up";
    EXPECT_TRUE(sawZero);
}

TEST_F(Engine, KeysAndPadFoldIntoOneBitSet) {
    ASSERT_EQ(EngineInit(), 0);
    EXPECT_EQ(ReadPadState(0x1001), 0);
    HeadlessSetKey(0x2C, true); // Z
    HeadlessSetKey(0xCB, true); // cursor left
    HeadlessSetKey(0x48, true); // numeric pad 8
    EXPECT_EQ(ReadPadState(0x1001), 0x0010 | 0x0002 | 0x0008);
    HeadlessSetPadBits(0x0020 | 0x0001);
    EXPECT_EQ(ReadPadState(0x1001), 0x0010 | 0x0002 | 0x0008 | 0x0020 | 0x0001);
    EXPECT_EQ(ReadPadState(0x1000), 0x0010 | 0x0002 | 0x0008) << "keyboard only";
    EXPECT_EQ(IsKeyDown(0x2C), 1);
    EXPECT_EQ(IsKeyDown(0x2D), 0);
    EXPECT_EQ(IsKeyDown(999), 0);
    HeadlessReleaseAllKeys();
    HeadlessSetKey(0x01, true);
    EXPECT_EQ(ReadPadState(0x1001), 0x1000) << "Escape is button 9";
}

// Strings are made from cached glyphs into a fixed pool that is emptied when it fills: a string
// drawn again after thousands of others, and a character the font lacks, come out the same.
TEST_F(Engine, TextIsShiftJisWithAnOptionalEdgeAndStaysTheSameWhenItsCachesFill) {
    ASSERT_EQ(EngineInit(), 0);
    ASSERT_EQ(SelectFontFace("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", -1), 0); // ＭＳ 明朝
    SetBlendMode(0, 255);
    SetTextSize(24);
    const uint32_t* screen = GetBackBuffer();
    // Draws あい in white with a red edge; counts the white and the red pixels around it.
    const auto draw = [screen](int style, int& white, int& red) {
        ClearScreen();
        SetTextStyle(style);
        DrawTextAt(100, 100, "\x82\xa0\x82\xa2", 0xFFFFFF, 0xFF0000);
        white = red = 0;
        for (int y = 95; y < 135; ++y) {
            for (int x = 95; x < 160; ++x) {
                const uint32_t r = screen[y * 640 + x] >> 16, g = (screen[y * 640 + x] >> 8) & 0xFF;
                white += r > 200 && g > 200;
                red += r > 150 && g < 60;
            }
        }
    };
    int white, red;
    draw(2, white, red);
    EXPECT_GT(white, 20);
    EXPECT_EQ(red, 0) << "style 2 has no edge";
    EXPECT_EQ(screen[99 * 640 + 99], 0u) << "the text starts at its top-left corner";
    draw(3, white, red);
    EXPECT_GT(red, 20) << "style 3 draws the edge colour around the glyphs";
    EXPECT_GT(white, 5);
    // Formatting is bounded: a result far longer than the buffer is cut, not overrun.
    const std::string longText(3000, 'A');
    EXPECT_EQ(DrawFormattedTextAt(0, 0, 0xFFFFFF, "%s%07d", longText.c_str(), 42), 0);

    SetTextSize(40);
    const char* line =
        "TIME = 123 \x82\xa0\x81\x40\xef\xfc"; // あ, a wide space, a code without a glyph
    auto drawn = [&] {
        ClearScreen();
        DrawTextAt(20, 200, line, 0xFFFFFF, 0x3366FF);
        return std::vector<uint32_t>(screen + 180 * 640, screen + 280 * 640);
    };
    const std::vector<uint32_t> first = drawn();
    EXPECT_GT(std::count(first.begin(), first.end(), 0xFFFFFFu), 100);
    char text[64];
    for (int i = 0; i < 3000; ++i) {
        std::snprintf(text, sizeof text, "SCORE = %07d \x82\xa0", i * 7919);
        SetTextSize(20 + i % 40);
        DrawTextAt(0, 0, text, 0xFFFFFF, 0);
    }
    SetTextSize(40);
    EXPECT_EQ(drawn(), first);
}

} // namespace
