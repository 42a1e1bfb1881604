// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// What the engine's drawing costs per frame: full-screen pictures, sprite frames, blends, text.
#include "engine/engine.h"
#include "engine/headless.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::filesystem::path Scratch;

// Writes a picture with a pattern and, where asked, transparent corners, then loads it.
int MakePicture(const char* name, int w, int h, bool keyed, bool softAlpha) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p =
                0xFF000000u | static_cast<uint32_t>((x * 7) << 16 | (y * 5) << 8 | (x ^ y));
            const bool corner = (x % 60) < 15 && (y % 60) < 15;
            if (keyed && corner) {
                p = 0x00800080u;
            } else if (softAlpha && (x + y) % 3 == 0) {
                p = (p & 0xFFFFFF) | 0x80000000u;
            }
            pixels[static_cast<size_t>(y) * w + x] = p;
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(w);
    png.height = static_cast<png_uint_32>(h);
    png.format = PNG_FORMAT_BGRA;
    const std::string path = (Scratch / name).string();
    png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr);
    png_image_free(&png);
    return LoadImageFile(path.c_str(), 0);
}

struct Pictures {
    int screen; // an opaque 640 x 480 backdrop
    int sheet;  // a 600 x 120 sheet of 60 x 60 frames with keyed corners
    int soft;   // the same with soft (alpha) edges
};

Pictures& Setup() {
    static Pictures pictures = [] {
        Scratch = std::filesystem::temp_directory_path() / "tovarine-bench";
        std::filesystem::create_directories(Scratch);
        std::filesystem::current_path(Scratch);
        HeadlessSetFrameLimit(-1);
        EngineInit();
        SetTransparentColor(128, 0, 128);
        return Pictures{MakePicture("screen.png", 640, 480, false, false),
                        MakePicture("sheet.png", 600, 120, true, false),
                        MakePicture("soft.png", 600, 120, true, true)};
    }();
    return pictures;
}

// The memory-bandwidth floor the blits are measured against.
void FullScreenMemcpy(benchmark::State& state) {
    static uint32_t from[640 * 480];
    static uint32_t to[640 * 480];
    for (auto _ : state) {
        benchmark::DoNotOptimize(from);
        std::memcpy(to, from, sizeof to);
        benchmark::DoNotOptimize(to);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(FullScreenMemcpy);

void FullScreenOpaque(benchmark::State& state) {
    const Pictures& p = Setup();
    SetBlendMode(0, 255);
    for (auto _ : state) {
        DrawImageAt(0, 0, p.screen, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(FullScreenOpaque);

void FullScreenBlend(benchmark::State& state) {
    const Pictures& p = Setup();
    SetBlendMode(static_cast<int>(state.range(0)), 128);
    for (auto _ : state) {
        DrawImageAt(0, 0, p.screen, 1);
        benchmark::ClobberMemory();
    }
    SetBlendMode(0, 255);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(FullScreenBlend)->Arg(1)->Arg(2)->Arg(3);

// A busy stage frame: a hundred 60 x 60 sprite frames, half of them mirrored.
void HundredSprites(benchmark::State& state) {
    const Pictures& p = Setup();
    const int picture = state.range(0) == 0 ? p.sheet : p.soft;
    SetBlendMode(0, 255);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            DrawImageRegion((i * 37) % 600, (i * 53) % 440, (i % 10) * 60, (i % 2) * 60, 60, 60,
                            picture, 1, i & 1);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(HundredSprites)->Arg(0)->Arg(1)->ArgNames({"softEdges"});

void StretchedThumbnails(benchmark::State& state) {
    const Pictures& p = Setup();
    for (auto _ : state) {
        for (int i = 0; i < 6; ++i) {
            DrawImageStretched(40 + i * 95, 100, 40 + i * 95 + 80, 160, p.screen, 0);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(StretchedThumbnails);

// The HUD's texts, unchanged from frame to frame, come from the cache.
void CachedHudText(benchmark::State& state) {
    Setup();
    SelectFontFace("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", -1);
    SetTextSize(20);
    SetTextStyle(3);
    for (auto _ : state) {
        DrawFormattedTextAt(10, 10, 0xFFFFFF, "%06d", 123450);
        DrawFormattedTextAt(300, 10, 0xFFFFFF, "%d", 179);
        DrawTextAt(10, 440, "\x82\x73\x82\x68\x82\x6c\x82\x64", 0xFFFFFF, 0); // ＴＩＭＥ
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CachedHudText);

void FillAndFlip(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        DrawRectangle(0, 0, 640, 480, 0x203040, 1);
        FlipScreen();
    }
}
BENCHMARK(FillAndFlip);

} // namespace

BENCHMARK_MAIN();
