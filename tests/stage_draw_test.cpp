// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Drawing a stage frame: scenery layers, tiles, the gauges, the blinking MAX label, the banner.
#include "render/stage_draw.h"
#include "stage_fixture.h"

namespace {

class StageDrawing : public StageFrame {
  protected:
    void SetUp() override {
        StageFrame::SetUp();
        SetTransparentColor(128, 0, 128);
        SelectFontFace("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", -1);
        std::fill(std::begin(StageMap), std::end(StageMap), 0);
        PlayerState = {};
        FreeItem = {};
        StageBanner = {};
        // Scenery: an opaque far layer, a slow layer with a band at the top, a near layer with a
        // band below it; both are transparent elsewhere.
        SceneryFar = Picture(640, 480, [](int, int) { return 0xFF101010u; });
        ScenerySlow = Picture(640, 480, [](int x, int y) {
            return y < 10 ? 0xFF200000u | static_cast<uint32_t>(x) : 0x00800080u;
        });
        SceneryNear = Picture(1500, 480, [](int x, int y) {
            return y >= 10 && y < 20 ? 0xFF004000u | static_cast<uint32_t>(x % 256) : 0x00800080u;
        });
        SceneryArena = Picture(640, 480, [](int, int) { return 0xFF303030u; });
        // Tiles: each of the five values and the trap in its own colour; stage 2 a second row.
        PngMap = Picture(420, 120, [](int x, int y) {
            return 0xFF000000u | static_cast<uint32_t>((x / 60) << 16 | (y / 60) << 8 | 0x80);
        });
    }
};

TEST_F(StageDrawing, LayersScrollAtTheirOwnSpeedsAndWrap) {
    FarLayerX = 100.5; // drawn truncated
    NearLayerX = 201;
    DrawStageFrame();
    EXPECT_EQ(Pixel(0, 5), 0x200000u | 100) << "the slow layer, 100 px along";
    EXPECT_EQ(Pixel(600, 5), 0x200000u | ((600 + 100) % 640));
    EXPECT_EQ(Pixel(0, 15), 0x004000u | 201) << "the near layer, 201 px along";
    EXPECT_EQ(Pixel(300, 100), 0x101010u) << "the far layer shows through";

    NearLayerX = 1500;
    FarLayerX = -640;
    DrawBackground();
    EXPECT_EQ(std::tuple(NearLayerX, FarLayerX), std::tuple(0.0, 640.0));

    StageId = 11;
    DrawBackground();
    EXPECT_EQ(Pixel(300, 5), 0x303030u) << "the arena backdrop covers the layers";
}

TEST_F(StageDrawing, TilesAreDrawnWhereTheMapHasThem) {
    SetCells({{7, 3, 2}, {6, 4, -3}, {6, 5, -1}});
    ScrollX = 30;
    DrawStageFrame();
    EXPECT_EQ(Pixel(3 * 60 - 30, 7 * 60), 0x020080u) << "value 2 from column 2 of row 0";
    EXPECT_EQ(Pixel(4 * 60 - 30 + 59, 6 * 60 + 59), 0x060080u) << "the fixed trap";
    EXPECT_EQ(Pixel(5 * 60 - 30 + 5, 6 * 60 + 5), 0x101010u) << "a heart cell draws no tile";
    StageId = 2;
    DrawStageFrame();
    EXPECT_EQ(Pixel(3 * 60 - 30, 7 * 60), 0x020180u) << "stage 2 has its own tile row";
}

TEST_F(StageDrawing, GaugesFillTheirOutlinesAndTheMaxLabelBlinksSixteenFramesInThirty) {
    PlayerState.ItemLife = 200;
    PlayerState.GreenGauge = 50.7;
    DrawStageFrame();
    EXPECT_EQ(Pixel(9, 37), 0xFFFFFFu) << "outline";
    EXPECT_EQ(Pixel(10, 37), 0x101010u) << "an empty gauge shows no red";
    EXPECT_EQ(Pixel(208, 57), 0x0000FFu) << "a full gauge reaches the outline";
    EXPECT_EQ(Pixel(209, 57), 0xFFFFFFu);
    EXPECT_EQ(Pixel(58, 77), 0x00FF00u);
    EXPECT_EQ(Pixel(59, 77), 0x101010u) << "50.7 fills 49 pixels, as 50 would";

    auto labelShown = [] {
        for (int y = 68; y < 86; ++y) {
            for (int x = 30; x < 90; ++x) {
                const uint32_t p = Pixel(x, y);
                if ((p >> 16) < 40 && ((p >> 8) & 0xFF) > 60 && ((p >> 8) & 0xFF) < 140) {
                    return true;
                }
            }
        }
        return false;
    };
    PlayerState.GreenGauge = 99.9;
    DrawStageFrame();
    EXPECT_FALSE(labelShown());
    PlayerState.GreenGauge = 100.0;
    MaxLabelCounter = 0;
    int shown = 0;
    for (int frame = 0; frame < 60; ++frame) {
        DrawStageFrame();
        shown += labelShown() ? 1 : 0;
    }
    EXPECT_EQ(shown, 32);
}

TEST_F(StageDrawing, TheBannerSlidesRightAndFadesOutIn85Frames) {
    PngIndication = Picture(350, 600, [](int, int y) {
        return 0xFF000000u | static_cast<uint32_t>(y / 60 * 20) << 16;
    });
    StageId = 31;
    StageBanner = {1, 200, 255, 0};
    int frames = 0;
    for (; StageBanner.active == 1 && frames < 200; ++frames) {
        DrawStageFrame();
    }
    EXPECT_EQ(std::tuple(frames, StageBanner.x, StageBanner.rowY), std::tuple(85, 285, 420));
    StageBanner = {1, 200, 255, 0};
    DrawStageFrame();
    // Row 7 (StageId 31) at alpha 252 over the far layer.
    EXPECT_EQ(Pixel(300, 120) >> 16, (140u * 252 + 16 * 3 + 127) / 255);
}

} // namespace
