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
    int Picture(int w, int h, const std::vector<uint32_t>& argb, const char* name = "p.png") {
        EXPECT_TRUE(test::WritePng(dir_.file(name), w, h, argb));
        return LoadImageFile(name, 0);
    }
    void Fill(uint32_t color) {
        SetBlendMode(0, 255);
        DrawRectangle(0, 0, 640, 480, color, 1);
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Drawing, BlendModesMixSourceAndScreen) {
    const int red = Picture(1, 1, {0xFFC86432}); // 200, 100, 50
    Fill(0x204060);                              // 32, 64, 96

    SetBlendMode(0, 10); // the parameter means nothing without blending
    DrawImageAt(0, 0, red, 0);
    EXPECT_EQ(Pixel(0, 0), 0xC86432u);

    SetBlendMode(1, 128);
    DrawImageAt(1, 0, red, 0);
    // 200 * 128/255 + 32 * 127/255 = 116.4; 100 -> 82.1; 50 -> 72.9
    EXPECT_EQ(Pixel(1, 0), 0x745249u);

    SetBlendMode(2, 255);
    DrawImageAt(2, 0, red, 0);
    EXPECT_EQ(Pixel(2, 0), 0xE8A492u); // 232, 164, 146
    DrawImageAt(2, 0, red, 0);
    EXPECT_EQ(Pixel(2, 0), 0xFFFFC4u); // saturates at 255

    SetBlendMode(3, 255);
    DrawImageAt(3, 0, red, 0);
    // source x (1 - screen): 200 * 223/255 = 174.9, 100 * 191/255 = 74.9, 50 * 159/255 = 31.2
    EXPECT_EQ(Pixel(3, 0), 0xAF4B1Fu);
}

TEST_F(Drawing, InvertBlendTurnsWhiteIntoTheNegativeAndBlackIntoBlack) {
    const int orb = Picture(2, 1, {0xFFFFFFFF, 0xFF000000});
    Fill(0x4080C0);
    SetBlendMode(3, 255);
    DrawImageAt(0, 0, orb, 1);
    EXPECT_EQ(Pixel(0, 0), 0xBF7F3Fu);
    EXPECT_EQ(Pixel(1, 0), 0x000000u);
}

TEST_F(Drawing, BlendParameterIsClampedToTheByteRange) {
    const int white = Picture(1, 1, {0xFFFFFFFF});
    Fill(0x000000);
    SetBlendMode(1, 300);
    DrawImageAt(0, 0, white, 0);
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);
    SetBlendMode(1, -5);
    DrawImageAt(1, 0, white, 0);
    EXPECT_EQ(Pixel(1, 0), 0x000000u);
}

TEST_F(Drawing, TransparentColourAndAlphaApplyOnlyWithTheFlag) {
    const int sprite = Picture(3, 1, {Magenta, 0x80FF0000, 0xFF00FF00});
    Fill(0x0000FF);
    DrawImageAt(0, 0, sprite, 1);
    EXPECT_EQ(Pixel(0, 0), 0x0000FFu) << "the transparent colour is skipped";
    EXPECT_EQ(Pixel(1, 0), 0x80007Fu) << "half alpha blends half of the screen";
    EXPECT_EQ(Pixel(2, 0), 0x00FF00u);

    DrawImageAt(0, 1, sprite, 0);
    EXPECT_EQ(Pixel(0, 1), 0x800080u) << "without the flag every pixel is drawn";
    EXPECT_EQ(Pixel(1, 1), 0xFF0000u);
}

TEST_F(Drawing, AlphaCombinesWithTheBlendParameter) {
    const int half = Picture(1, 1, {0x80FFFFFF});
    Fill(0x000000);
    SetBlendMode(1, 128);
    DrawImageAt(0, 0, half, 1);
    EXPECT_EQ(Pixel(0, 0), 0x404040u); // a quarter of white
}

TEST_F(Drawing, MirroredRegionsRunRightToLeftAndClipAtTheEdges) {
    // A strip of four frames of 2 pixels; take frame 1 (columns 2 and 3).
    const int sheet = Picture(8, 1,
                              {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005,
                               0xFF000006, 0xFF000007, 0xFF000008});
    DrawImageRegion(10, 0, 2, 0, 2, 1, sheet, 1, 0);
    EXPECT_EQ(Pixel(10, 0), 3u);
    EXPECT_EQ(Pixel(11, 0), 4u);
    DrawImageRegion(10, 1, 2, 0, 2, 1, sheet, 1, 1);
    EXPECT_EQ(Pixel(10, 1), 4u);
    EXPECT_EQ(Pixel(11, 1), 3u);

    // Half off the left edge: the visible half is the mirrored frame's right half.
    DrawImageRegion(-2, 2, 0, 0, 4, 1, sheet, 0, 1);
    EXPECT_EQ(Pixel(0, 2), 2u);
    EXPECT_EQ(Pixel(1, 2), 1u);
    // And off the right edge.
    DrawImageRegion(638, 3, 0, 0, 4, 1, sheet, 0, 1);
    EXPECT_EQ(Pixel(638, 3), 4u);
    EXPECT_EQ(Pixel(639, 3), 3u);
}

TEST_F(Drawing, RegionsReachingPastThePictureDrawOnlyWhatExists) {
    const int sheet = Picture(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    Fill(0x111111);
    DrawImageRegion(100, 100, 1, 1, 5, 5, sheet, 0, 0);
    EXPECT_EQ(Pixel(100, 100), 4u);
    EXPECT_EQ(Pixel(101, 100), 0x111111u);
    EXPECT_EQ(Pixel(100, 101), 0x111111u);
    DrawImageRegion(100, 110, -1, 0, 2, 1, sheet, 0, 0);
    EXPECT_EQ(Pixel(100, 110), 0x111111u);
    EXPECT_EQ(Pixel(101, 110), 1u);
}

TEST_F(Drawing, PicturesClipAtEveryEdgeOfTheScreen) {
    std::vector<uint32_t> big(100 * 100);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            big[y * 100 + x] = 0xFF000000u | static_cast<uint32_t>(y << 8 | x);
        }
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
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(12, 11), 0xFFFFFFu);
    EXPECT_EQ(Pixel(13, 11), 0u);
    EXPECT_EQ(Pixel(12, 12), 0u);

    DrawRectangle(20, 20, 25, 24, 0x00FF00, 0);
    EXPECT_EQ(Pixel(20, 20), 0x00FF00u);
    EXPECT_EQ(Pixel(24, 23), 0x00FF00u);
    EXPECT_EQ(Pixel(22, 21), 0u) << "an outline leaves the inside alone";
    EXPECT_EQ(Pixel(25, 23), 0u);
    EXPECT_EQ(Pixel(24, 24), 0u);

    SetBlendMode(1, 128);
    DrawRectangle(-10, -10, 700, 500, 0xFFFFFF, 1); // the whole screen, half white
    EXPECT_EQ(Pixel(300, 300), 0x808080u);
}

TEST_F(Drawing, StretchedPicturesFillTheirRectangleExactly) {
    const int quad = Picture(2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    Fill(0x111111);
    DrawImageStretched(100, 100, 104, 104, quad, 0);
    EXPECT_EQ(Pixel(100, 100), 1u);
    EXPECT_EQ(Pixel(101, 101), 1u);
    EXPECT_EQ(Pixel(102, 100), 2u);
    EXPECT_EQ(Pixel(103, 103), 4u);
    EXPECT_EQ(Pixel(104, 103), 0x111111u);
    EXPECT_EQ(Pixel(103, 104), 0x111111u);
    // Shrinking samples the middle of each covered area.
    std::vector<uint32_t> stripes(8);
    for (int i = 0; i < 8; ++i) {
        stripes[i] = 0xFF000000u | static_cast<uint32_t>(i);
    }
    const int strip = Picture(8, 1, stripes, "s.png");
    DrawImageStretched(0, 0, 2, 1, strip, 0);
    EXPECT_EQ(Pixel(0, 0), 2u);
    EXPECT_EQ(Pixel(1, 0), 6u);
}

TEST_F(Drawing, InvalidHandlesDrawNothing) {
    Fill(0x123456);
    EXPECT_EQ(DrawImageAt(0, 0, -1, 0), -1);
    EXPECT_EQ(DrawImageRegion(0, 0, 0, 0, 10, 10, -1, 1, 1), -1);
    EXPECT_EQ(DrawImageStretched(0, 0, 10, 10, 12345, 0), -1);
    const int picture = Picture(1, 1, {0xFFFFFFFF});
    ReleaseAllImages(0);
    EXPECT_EQ(DrawImageAt(0, 0, picture, 0), -1) << "a released handle is stale";
    EXPECT_EQ(Pixel(0, 0), 0x123456u);
}

TEST_F(Drawing, BadPictureFilesGiveMinusOneAndALogLine) {
    const int good = Picture(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF), "good.png");
    ASSERT_GE(good, 0);
    const std::string bytes = test::ReadFile(dir_.file("good.png"));
    {
        std::ofstream(dir_.file("truncated.png"), std::ios::binary) << bytes.substr(0, 40);
        std::string corrupt = bytes;
        corrupt[bytes.size() / 2] ^= 0x55;
        std::ofstream(dir_.file("corrupt.png"), std::ios::binary) << corrupt;
        std::ofstream(dir_.file("text.png")) << "not a picture";
    }
    ASSERT_TRUE(
        test::WritePng(dir_.file("huge.png"), 16385, 1, std::vector<uint32_t>(16385, 0xFF000000)));
    for (const char* name :
         {"missing.png", "truncated.png", "corrupt.png", "text.png", "huge.png"}) {
        EXPECT_EQ(LoadImageFile(name, 0), -1) << name;
    }
    EXPECT_GE(LoadImageFile("good.png", 0), 0) << "a failure leaves the engine usable";
    const std::string log = test::ReadFile(dir_.file("Log.txt"));
    EXPECT_NE(log.find("huge.png"), std::string::npos);
    EXPECT_NE(log.find("truncated.png"), std::string::npos);
}

// A picture released on its own goes stale; the others, and pictures loaded after it, stay whole.
TEST_F(Drawing, AReleasedPictureGoesStaleAndLeavesTheOthersWhole) {
    const int red = Picture(300, 200, std::vector<uint32_t>(300 * 200, 0xFFFF0000), "red.png");
    const int green = Picture(300, 200, std::vector<uint32_t>(300 * 200, 0xFF00FF00), "green.png");
    ASSERT_EQ(ReleaseImage(red), 0);
    EXPECT_EQ(ReleaseImage(red), -1) << "already released";
    EXPECT_EQ(ReleaseImage(-1), -1);
    const int blue = Picture(300, 200, std::vector<uint32_t>(300 * 200, 0xFF0000FF), "blue.png");
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
    EXPECT_EQ(DrawImageAt(0, 0, green, 0), -1);
}

TEST_F(Drawing, BackslashesInPathsAreSeparators) {
    std::filesystem::create_directory(dir_.path() / "png");
    ASSERT_TRUE(test::WritePng(dir_.file("png/title.png"), 1, 1, {0xFF00FF00}));
    const int title = LoadImageFile("png\\title.png", 0);
    ASSERT_GE(title, 0);
    DrawImageAt(5, 5, title, 0);
    EXPECT_EQ(Pixel(5, 5), 0x00FF00u);
}

} // namespace
