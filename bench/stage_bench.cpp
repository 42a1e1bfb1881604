// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// What a frame costs: the stage update and the stage drawing with the real pictures, and the
// extras gallery with all six thumbnails (the recorded games pass through it only briefly).
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"
#include "game/run.h"
#include "main/extras.h"
#include "main/loop.h"
#include "main/save.h"
#include "render/stage_draw.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// Stage 1 in its action phase, as the title's start item and the prologue leave it.
void StartStageOne() {
    std::filesystem::current_path(TOVARINE_DATA_DIR);
    HeadlessSetFrameLimit(-1);
    EngineInit();
    SetTransparentColor(128, 0, 128);
    SelectFontFace("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", -1);
    InitGameGlobals();
    ReloadAllImages();
    StageId = 1;
    LoadStageMap();
    PlaceStageObjects();
    StagePhase = 0;
    GameMode = ModeStage;
}

void DrawStage(benchmark::State& state) {
    StartStageOne();
    ScrollX = state.range(0);
    for (auto _ : state) {
        DrawStageFrame();
        benchmark::ClobberMemory();
    }
    EngineShutdown();
}
BENCHMARK(DrawStage)->Arg(0)->Arg(6000)->ArgNames({"scrollX"})->Unit(benchmark::kMicrosecond);

void UpdateStage(benchmark::State& state) {
    StartStageOne();
    for (auto _ : state) {
        UpdateStageFrame();
        PlayerState.dead = 0; // keep the frame in play
        PlayerState.PlayerLife = 200;
        TimeLeft = 180;
    }
    EngineShutdown();
}
BENCHMARK(UpdateStage)->Unit(benchmark::kMicrosecond);

// A whole gallery frame with every picture unlocked: update, drawing and the present.
void ExtrasGallery(benchmark::State& state) {
    StartStageOne();
    for (int32_t& unlocked : SaveData.picture) {
        unlocked = 1;
    }
    GameMode = ModeExtras;
    for (auto _ : state) {
        ExtrasUpdate();
        ExtrasDraw();
        FlipScreen();
    }
    EngineShutdown();
}
BENCHMARK(ExtrasGallery)->Unit(benchmark::kMicrosecond);

} // namespace
