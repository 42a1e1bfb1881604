// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The asset-load frame: every sound and picture of the catalogue, loaded from the data folder.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void LoadEverything(benchmark::State& state) {
    std::filesystem::current_path(TOVARINE_DATA_DIR);
    HeadlessSetFrameLimit(-1);
    EngineInit();
    for (auto _ : state) {
        LoadAllSounds();
        ReloadAllImages();
        state.PauseTiming();
        ReleaseAllSounds(0);
        state.ResumeTiming();
    }
    EngineShutdown();
}
BENCHMARK(LoadEverything)->Unit(benchmark::kMillisecond)->Iterations(5);

void LoadPictures(benchmark::State& state) {
    std::filesystem::current_path(TOVARINE_DATA_DIR);
    EngineInit();
    for (auto _ : state) {
        ReloadAllImages();
    }
    EngineShutdown();
}
BENCHMARK(LoadPictures)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
