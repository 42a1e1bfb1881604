// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Drawing into the back buffer: blend modes, the transparent colour, mirroring, clipping,
// rectangles, stretching, and pictures that fail to load.
#include "engine/engine.h"
#include "engine/headless.h"
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr uint32_t Magenta = 0xFF800080;

uint32_t Pixel(int x, int y) {
    return GetBackBuffer()[y * 640 + x];
}

class Drawing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), 0);
        SetTransparentColor(128, 0, 128);
        SetBlendMode(0, 255);
        ClearScreen();
    }
    void TearDown() override {
        EngineShutdown();
    }
    // Loads a picture made of the given pixels.
    int Picture(int w, int h, const std::vector<uint32_t>& argb,
                const std::string& name = "p.png") {
        EXPECT_TRUE(test::WritePng(dir_.file(name), w, h, argb));
        return LoadImageFile(name.c_str(), 0);
    }
    struct At {
        int x, y;
        uint32_t colour;
    };
    template <size_t N>
    static void ExpectPixels(const At (&pixels)[N]) {
        for (const At& p : pixels) {
            EXPECT_EQ(Pixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
        }
    }
    void Fill(uint32_t color) {
        SetBlendMode(0, 255);
        DrawRectangle(0, 0, 640, 480, color, 1);
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

// One pixel drawn over one screen colour with a blend mode, its parameter and the flag that
// applies the transparent colour and alpha.
TEST_F(Drawing, BlendModesTransparencyAndAlphaMixSourceAndScreen) {
    struct Case {
        uint32_t source, screen;
        int mode, parameter, flag;
        uint32_t expected;
        const char* why;
    };
    const Case cases[] = {
        {0xFFC86432, 0x204060, 0, 10, 0, 0xC86432, "the parameter means nothing without blending"},
        // 200 * 128/255 + 32 * 127/255 = 116.4; 100 -> 82.1; 50 -> 72.9
        {0xFFC86432, 0x204060, 1, 128, 0, 0x745249, "alpha blend"},
        {0xFFC86432, 0x204060, 2, 255, 0, 0xE8A492, "add"},
        {0xFFC86432, 0xE8A492, 2, 255, 0, 0xFFFFC4, "adding saturates at 255"},
        // source x (1 - screen): 200 * 223/255 = 174.9, 100 * 191/255 = 74.9, 50 * 159/255 = 31.2
        {0xFFC86432, 0x204060, 3, 255, 0, 0xAF4B1F, "invert"},
        {0xFFFFFFFF, 0x4080C0, 3, 255, 1, 0xBF7F3F, "inverting with white gives the negative"},
        {0xFF000000, 0x4080C0, 3, 255, 1, 0x000000, "inverting with black gives black"},
        {0xFFFFFFFF, 0x000000, 1, 300, 0, 0xFFFFFF, "the parameter is clamped to 255"},
        {0xFFFFFFFF, 0x000000, 1, -5, 0, 0x000000, "the parameter is clamped to 0"},
        {Magenta, 0x0000FF, 0, 255, 1, 0x0000FF, "the transparent colour is skipped"},
        {0x80FF0000, 0x0000FF, 0, 255, 1, 0x80007F, "half alpha blends half of the screen"},
        {0xFF00FF00, 0x0000FF, 0, 255, 1, 0x00FF00, "full alpha covers the screen"},
        {Magenta, 0x0000FF, 0, 255, 0, 0x800080, "without the flag the colour key is drawn"},
        {0x80FF0000, 0x0000FF, 0, 255, 0, 0xFF0000, "without the flag alpha is ignored"},
        {0x80FFFFFF, 0x000000, 1, 128, 1, 0x404040, "alpha and parameter: a quarter of white"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const int picture = Picture(1, 1, {c.source}, "p" + std::to_string(n++) + ".png");
        Fill(c.screen);
        SetBlendMode(c.mode, c.parameter);
        DrawImageAt(0, 0, picture, c.flag);
        EXPECT_EQ(Pixel(0, 0), c.expected);
    }
}

TEST_F(Drawing, RegionsMirrorClipAtTheScreenAndDrawOnlyWhatThePictureHolds) {
    // A strip of four frames of 2 pixels; take frame 1 (columns 2 and 3).
    const int sheet = Picture(8, 1,
                              {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005,
                               0xFF000006, 0xFF000007, 0xFF000008});
    DrawImageRegion(10, 0, 2, 0, 2, 1, sheet, 1, 0);
    DrawImageRegion(10, 1, 2, 0, 2, 1, sheet, 1, 1);
    // Half off the left edge: the visible half is the mirrored frame's right half; and the right.
    DrawImageRegion(-2, 2, 0, 0, 4, 1, sheet, 0, 1);
    DrawImageRegion(638, 3, 0, 0, 4, 1, sheet, 0, 1);
    const At mirrored[] = {{10, 0, 3}, {11, 0, 4}, {10, 1, 4},  {11, 1, 3},
                           {0, 2, 2},  {1, 2, 1},  {638, 3, 4}, {639, 3, 3}};
    ExpectPixels(mirrored);
    // A region reaching past the picture draws only the part that exists.
    const int quad = Picture(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}, "q.png");
    const uint32_t screen = 0x111111;
    Fill(screen);
    DrawImageRegion(100, 100, 1, 1, 5, 5, quad, 0, 0);
    DrawImageRegion(100, 110, -1, 0, 2, 1, quad, 0, 0);
    const At pastThePicture[] = {
        {100, 100, 4}, {101, 100, screen}, {100, 101, screen}, {100, 110, screen}, {101, 110, 1}};
    ExpectPixels(pastThePicture);
}

TEST_F(Drawing, PicturesClipAtEveryEdgeOfTheScreen) {
    std::vector<uint32_t> big(100 * 100); // each pixel holds its row and column
    for (uint32_t i = 0; i < big.size(); ++i) {
        big[i] = 0xFF000000u | (i / 100) << 8 | i % 100;
    }
    const int picture = Picture(100, 100, big);
    DrawImageAt(-50, -60, picture, 0);
    EXPECT_EQ(Pixel(0, 0), static_cast<uint32_t>(60 << 8 | 50));
    DrawImageAt(600, 450, picture, 0);
    EXPECT_EQ(Pixel(639, 479), static_cast<uint32_t>(29 << 8 | 39));
    // Wholly outside: nothing drawn, nothing broken.
    for (const auto& [x, y] : {std::pair{-100, 0}, {640, 0}, {0, -100}, {0, 480}, {-5000, 9000}}) {
        EXPECT_EQ(DrawImageAt(x, y, picture, 0), 0);
        EXPECT_EQ(DrawImageRegion(x, y, 0, 0, 100, 100, picture, 1, 1), 0);
        EXPECT_EQ(DrawImageStretched(x, y, x + 300, y + 300, picture, 0), 0);
    }
}

TEST_F(Drawing, RectanglesExcludeTheirRightAndBottomEdges) {
    Fill(0x000000);
    DrawRectangle(10, 10, 13, 12, 0xFFFFFF, 1);
    DrawRectangle(20, 20, 25, 24, 0x00FF00, 0); // an outline leaves the inside alone
    const At edges[] = {{10, 10, 0xFFFFFF}, {12, 11, 0xFFFFFF}, {13, 11, 0},
                        {12, 12, 0},        {20, 20, 0x00FF00}, {24, 23, 0x00FF00},
                        {22, 21, 0},        {25, 23, 0},        {24, 24, 0}};
    ExpectPixels(edges);
    SetBlendMode(1, 128);
    DrawRectangle(-10, -10, 700, 500, 0xFFFFFF, 1); // the whole screen, half white
    EXPECT_EQ(Pixel(300, 300), 0x808080u);
}

TEST_F(Drawing, StretchedPicturesFillTheirRectangleExactly) {
    const int quad = Picture(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    Fill(0x111111);
    DrawImageStretched(100, 100, 104, 104, quad, 0);
    const At stretched[] = {{100, 100, 1}, {101, 101, 1},        {102, 100, 2},
                            {103, 103, 4}, {104, 103, 0x111111}, {103, 104, 0x111111}};
    ExpectPixels(stretched);
    // Shrinking samples the middle of each covered area.
    const int strip = Picture(8, 1,
                              {0xFF000000, 0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004,
                               0xFF000005, 0xFF000006, 0xFF000007},
                              "s.png");
    DrawImageStretched(0, 0, 2, 1, strip, 0);
    const At shrunk[] = {{0, 0, 2}, {1, 0, 6}};
    ExpectPixels(shrunk);
}

TEST_F(Drawing, PicturesLoadByBackslashPathsAndBadFilesGiveMinusOneAndALogLine) {
    std::filesystem::create_directory(dir_.path() / "png");
    ASSERT_TRUE(test::WritePng(dir_.file("png/good.png"), 4, 4, std::vector(16, 0xFFFFFFFFu)));
    const std::string bytes = test::ReadFile(dir_.file("png/good.png"));
    std::string corrupt = bytes;
    corrupt[bytes.size() / 2] ^= 0x55;
    std::ofstream(dir_.file("truncated.png"), std::ios::binary) << bytes.substr(0, 40);
    std::ofstream(dir_.file("corrupt.png"), std::ios::binary) << corrupt;
    std::ofstream(dir_.file("text.png")) << "not a picture";
    ASSERT_TRUE(test::WritePng(dir_.file("huge.png"), 16385, 1, std::vector(16385, 0xFF000000u)));
    for (const char* name :
         {"missing.png", "truncated.png", "corrupt.png", "text.png", "huge.png"}) {
        EXPECT_EQ(LoadImageFile(name, 0), -1) << name;
    }
    const int good = LoadImageFile("png\\good.png", 0);
    ASSERT_GE(good, 0) << "a failure leaves the engine usable; '\\' separates folders";
    DrawImageAt(5, 5, good, 0);
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFu);
    const std::string log = test::ReadFile(dir_.file("Log.txt"));
    EXPECT_NE(log.find("huge.png"), std::string::npos);
    EXPECT_NE(log.find("truncated.png"), std::string::npos);
}

// A picture released on its own goes stale; the others, and pictures loaded after it, stay whole.
// Handles that never were, or were released with all the others, draw nothing either.
TEST_F(Drawing, ReleasedAndInvalidHandlesDrawNothingAndTheOthersStayWhole) {
    const auto solid = [this](uint32_t argb, const char* name) {
        return Picture(300, 200, std::vector<uint32_t>(300 * 200, argb), name);
    };
    const int red = solid(0xFFFF0000, "red.png");
    const int green = solid(0xFF00FF00, "green.png");
    ASSERT_EQ(ReleaseImage(red), 0);
    EXPECT_EQ(ReleaseImage(red), -1) << "already released";
    EXPECT_EQ(ReleaseImage(-1), -1);
    const int blue = solid(0xFF0000FF, "blue.png");
    Fill(0x000000);
    DrawImageAt(0, 0, red, 0);
    EXPECT_EQ(Pixel(150, 100), 0u) << "a stale handle draws nothing";
    DrawImageAt(0, 0, green, 0);
    DrawImageAt(320, 0, blue, 0);
    for (int y = 0; y < 200; y += 7) {
        ASSERT_EQ(Pixel(299 - y, y), 0x00FF00u);
        ASSERT_EQ(Pixel(320 + y, y), 0x0000FFu);
    }
    ReleaseAllImages(0);
    Fill(0x123456);
    EXPECT_EQ(DrawImageAt(0, 0, green, 0), -1) << "a released handle is stale";
    EXPECT_EQ(DrawImageAt(0, 0, -1, 0), -1);
    EXPECT_EQ(DrawImageRegion(0, 0, 0, 0, 10, 10, -1, 1, 1), -1);
    EXPECT_EQ(DrawImageStretched(0, 0, 10, 10, 12345, 0), -1);
    EXPECT_EQ(Pixel(0, 0), 0x123456u);
}

} // namespace
