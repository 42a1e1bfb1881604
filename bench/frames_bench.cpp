// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// What whole frames cost (update, drawing and the present): the recorded games are played in this
// process and every frame is timed, then grouped by scene. The heaviest scenes of the game are in
// them: stage 4's field, the EX field's traps with fog, the EX arena's four bosses, story pages.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/run.h"
#include "main/loop.h"
#include "runner/key_script.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

KeyScript Keys;
Clock::time_point FrameStart;
int SceneAtStart = -1;
std::map<int, std::vector<double>> Costs; // microseconds by scene

// The stage's number for its action phase, 1000 + it for its story pages, other modes as
// 10000 + the mode.
int Scene() {
    if (GameMode == ModeStage) {
        return StagePhase == 0 ? StageId : 1000 + StageId;
    }
    return 10000 + GameMode;
}

void AfterFrame(int frame) {
    const Clock::time_point now = Clock::now();
    // Frames that change the scene load pictures and are left out.
    if (frame >= 0 && Scene() == SceneAtStart) {
        Costs[SceneAtStart].push_back(
            std::chrono::duration<double, std::micro>(now - FrameStart).count());
    }
    ApplyKeyScript(Keys, frame + 1);
    SceneAtStart = Scene();
    FrameStart = Clock::now();
}

// Plays a recorded run in a fresh folder with the real pictures and sounds.
bool PlayRun(const std::string& name) {
    const std::string runs = TOVARINE_RUNS_DIR;
    if (!ReadKeyScript((runs + "/" + name + ".keys").c_str(), Keys) || Keys.replayFrames == 0) {
        return false;
    }
    const int frames = Keys.replayFrames;
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "tovarine-frames";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    for (const char* folder : {"png", "snd"}) {
        std::filesystem::create_directory_symlink(std::filesystem::path(TOVARINE_DATA_DIR) / folder,
                                                  work / folder);
    }
    if (std::filesystem::exists(runs + "/" + name + ".save")) {
        std::filesystem::copy_file(runs + "/" + name + ".save", work / "save.dat");
    }
    std::filesystem::current_path(work);
    HeadlessSetFrameLimit(frames);
    HeadlessSetSeed(1);
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameHook(AfterFrame);
    HeadlessReleaseAllKeys();
    AfterFrame(-1);
    GameMain();
    HeadlessSetFrameHook(nullptr);
    return true;
}

const char* SceneName(int scene) {
    switch (scene) {
    case 1:
        return "stage1_field";
    case 2:
        return "stage2_field";
    case 3:
        return "stage3_field";
    case 4:
        return "stage4_field";
    case 5:
        return "ex_field";
    case 11:
        return "stage1_boss";
    case 21:
        return "stage2_boss";
    case 31:
        return "stage3_boss";
    case 41:
        return "stage4_boss";
    case 51:
        return "ex_arena";
    case 10000 + ModeTitle:
        return "title";
    case 10000 + ModeExtras:
        return "extras";
    case 10000 + ModeStory:
        return "story";
    case 10000 + ModeStageResult:
        return "stage_result";
    case 10000 + ModeEndingRoll:
        return "ending_roll";
    default:
        return scene >= 1000 && scene < 2000 ? "story_over_stage" : nullptr;
    }
}

// One pass over both recorded games; the counters are the median, the 99th percentile and the
// worst frame of each scene, in microseconds.
void RecordedFrames(benchmark::State& state) {
    for (auto _ : state) {
        Costs.clear();
        if (!PlayRun("full") || !PlayRun("ex")) {
            state.SkipWithError("recorded runs not found");
            return;
        }
    }
    std::map<std::string, std::vector<double>> byName;
    for (auto& [scene, costs] : Costs) {
        if (const char* name = SceneName(scene)) {
            byName[name].insert(byName[name].end(), costs.begin(), costs.end());
        }
    }
    for (auto& [name, costs] : byName) {
        std::sort(costs.begin(), costs.end());
        state.counters[name + "_median_us"] = costs[costs.size() / 2];
        state.counters[name + "_p99_us"] = costs[costs.size() * 99 / 100];
        state.counters[name + "_max_us"] = costs.back();
        state.counters[name + "_frames"] = static_cast<double>(costs.size());
    }
}
BENCHMARK(RecordedFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
