// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The fast blitter against a plain per-pixel model of the blend rules, over random pictures,
// screens, positions and row lengths (so every remainder after groups of eight and of four is
// covered).
#include "engine/engine.h"
#include "engine/headless.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Key = 0x800080;

uint32_t Round255(uint32_t x) {
    return (2 * x + 255) / 510;
}

// One screen pixel after drawing source pixel s over d; mode and parameter as SetBlendMode.
uint32_t Model(uint32_t d, uint32_t s, int mode, uint32_t parameter, bool transparent) {
    const uint32_t coverage = transparent ? s >> 24 : 255;
    if (transparent && ((s & 0xFFFFFF) == Key || coverage == 0)) {
        return d;
    }
    const uint32_t f =
        mode == 0 ? coverage : (coverage == 255 ? parameter : Round255(parameter * coverage));
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        const uint32_t a = mode == 3 ? Round255(sc * (255 - dc)) : sc;
        const uint32_t c = mode == 2 ? std::min<uint32_t>(255, dc + Round255(sc * f))
                                     : Round255(a * f + dc * (255 - f));
        out |= c << shift;
    }
    return out;
}

TEST(FastBlits, EveryModeMatchesThePerPixelRules) {
    test::ScratchDir dir;
    test::InFolder inFolder(dir.path());
    ASSERT_EQ(EngineInit(), 0);
    SetTransparentColor(128, 0, 128);
    std::mt19937 random(13);
    // Alpha from the set that takes each path: none, full, and in between.
    const uint32_t alphas[] = {0, 255, 255, 255, 1, 128, 254};
    for (int round = 0; round < 40; ++round) {
        const int w = 1 + static_cast<int>(random() % 41);
        const int h = 1 + static_cast<int>(random() % 9);
        std::vector<uint32_t> picture(static_cast<size_t>(w) * h);
        for (uint32_t& p : picture) {
            p = (alphas[random() % 7] << 24) | (random() & 0xFFFFFF);
            if (random() % 5 == 0) {
                p = 0xFF000000u | Key;
            }
        }
        const std::string name = "p" + std::to_string(round) + ".png";
        ASSERT_TRUE(test::WritePng(dir.file(name), w, h, picture));
        const int handle = LoadImageFile(name.c_str(), 0);
        ASSERT_GE(handle, 0);

        // Every mode, with and without the transparent colour, mirrored or not.
        for (int variant = 0; variant < 16; ++variant) {
            const int mode = variant / 4, transparent = variant / 2 % 2, mirror = variant % 2;
            // A random screen, the picture partly off its left or right edge at times.
            SetBlendMode(0, 255);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < 8; ++x) {
                    DrawRectangle(x * 80, y, x * 80 + 80, y + 1, random() & 0xFFFFFF, 1);
                }
            }
            const std::vector<uint32_t> before(GetBackBuffer(), GetBackBuffer() + 640 * h);
            const int x0 = static_cast<int>(random() % 3 == 0 ? random() % 20 : 0) - 10 +
                           (random() % 2 ? 0 : 640 - w + 10);
            const uint32_t parameter = random() % 256;
            SetBlendMode(mode, static_cast<int>(parameter));
            DrawImageRegion(x0, 0, 0, 0, w, h, handle, transparent, mirror);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < 640; ++x) {
                    const int sx = mirror ? w - 1 - (x - x0) : x - x0;
                    uint32_t expected = before[y * 640 + x];
                    if (x >= x0 && x < x0 + w) {
                        expected =
                            Model(expected, picture[y * w + sx], mode, parameter, transparent != 0);
                    }
                    ASSERT_EQ(GetBackBuffer()[y * 640 + x], expected)
                        << "mode " << mode << " transparent " << transparent << " mirror " << mirror
                        << " width " << w << " at " << x << "," << y;
                }
            }
        }
    }
    EngineShutdown();
}

} // namespace
