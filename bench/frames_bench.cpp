// What whole frames cost (update, drawing and the present): the recorded games are played in this
// process and every frame is timed, then grouped by scene. The heaviest scenes of the game are in
// them: stage 4's field, the EX field's traps with fog, the EX arena's four bosses, story pages.
#include "engine/engine.h"
#include "engine/headless.h"
#include "main/loop.h"
#include "main/modes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct KeyLine {
    int frame;
    std::vector<int> codes;
};

std::vector<KeyLine> Script;
size_t NextLine = 0;
Clock::time_point FrameStart;
int SceneAtStart = -1;
std::map<int, std::vector<double>> Costs; // microseconds by scene

int ScanCode(const std::string& name) {
    static const std::pair<const char*, int> names[] = {
        {"up", 0xC8}, {"down", 0xD0}, {"left", 0xCB},  {"right", 0xCD},  {"z", 0x2C},
        {"x", 0x2D},  {"c", 0x2E},    {"a", 0x1E},     {"s", 0x1F},      {"d", 0x20},
        {"q", 0x10},  {"w", 0x11},    {"space", 0x39}, {"escape", 0x01}, {"f1", 0x3B},
        {"f5", 0x3F}, {"f6", 0x40},   {"f7", 0x41},    {"f8", 0x42},     {"f9", 0x43},
        {"1", 0x02},  {"2", 0x03},    {"3", 0x04},     {"4", 0x05},      {"5", 0x06}};
    for (const auto& [text, code] : names) {
        if (name == text) {
            return code;
        }
    }
    return -1;
}

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
    bool changed = false;
    while (NextLine < Script.size() && Script[NextLine].frame <= frame + 1) {
        ++NextLine;
        changed = true;
    }
    if (changed) {
        HeadlessReleaseAllKeys();
        for (int code : Script[NextLine - 1].codes) {
            HeadlessSetKey(code, true);
        }
    }
    SceneAtStart = Scene();
    FrameStart = Clock::now();
}

// Plays a recorded run in a fresh folder with the real pictures and sounds.
bool PlayRun(const std::string& name) {
    const std::string runs = TOVARINE_RUNS_DIR;
    std::ifstream keys(runs + "/" + name + ".keys");
    int frames = 0;
    std::string line;
    Script.clear();
    NextLine = 0;
    while (std::getline(keys, line)) {
        const size_t replay = line.find("--frames ");
        if (replay != std::string::npos) {
            frames = std::atoi(line.c_str() + replay + 9);
        }
        std::istringstream words(line.substr(0, line.find('#')));
        KeyLine entry{};
        if (!(words >> entry.frame)) {
            continue;
        }
        std::string key;
        while (words >> key) {
            entry.codes.push_back(ScanCode(key));
        }
        Script.push_back(entry);
    }
    if (frames == 0) {
        return false;
    }
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
