// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// No heap allocation while the game is played: the whole recorded game (tests/runs/full.keys) runs
// in this process with every allocation counted, frame by frame. Loading a stage, a story page or
// a piece of music may allocate; a frame of play that only continues what is on screen may not.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/run.h"
#include "main/loop.h"
#include "runner/key_script.h"
#include "support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* p, size_t size);
extern "C" void __libc_free(void* p);

namespace {
std::atomic<long> Allocations{0};
// Only the game's own thread is counted: the engine's background work (music decoding after the
// loading frame, the audio thread) is not a frame of play.
thread_local bool GameThread = false;

void Count() {
    if (GameThread) {
        Allocations.fetch_add(1, std::memory_order_relaxed);
    }
}
} // namespace

// Every allocation of the process, C and C++, goes through these.
extern "C" void* malloc(size_t size) {
    Count();
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    Count();
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, size_t size) {
    Count();
    return __libc_realloc(p, size);
}
void* operator new(size_t size) {
    void* p = malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    __libc_free(p);
}
void operator delete[](void* p) noexcept {
    __libc_free(p);
}
void operator delete(void* p, size_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept {
    __libc_free(p);
}

namespace {

KeyScript Keys;
long CountAtLastFrame = 0;
int ModeAtLastFrame = -1;
struct Report {
    int frame;
    int mode;
    long count;
};
Report Reports[64];
int ReportCount = 0;
long FramesChecked = 0;

// After each frame: note what it allocated, then hold the script's keys for the next one.
void AfterFrame(int frame) {
    const long now = Allocations.load(std::memory_order_relaxed);
    // Play: a frame of the stage's action phase that began there too. Changes of mode load, and
    // story pages render their text as it is typed.
    const int mode = GameMode == ModeStage && StagePhase == 0 ? ModeStage : -1;
    if (mode == ModeStage && mode == ModeAtLastFrame && frame > 0) {
        ++FramesChecked;
        if (now != CountAtLastFrame && ReportCount < 64) {
            Reports[ReportCount++] = {frame, GameMode, now - CountAtLastFrame};
        }
    }
    ModeAtLastFrame = mode;
    ApplyKeyScript(Keys, frame + 1);
    CountAtLastFrame = Allocations.load(std::memory_order_relaxed);
}

TEST(Allocations, NoneInAFrameOfPlay) {
    ASSERT_TRUE(ReadKeyScript(TOVARINE_RUNS_DIR "/full.keys", Keys));
    const int frames = Keys.replayFrames;
    ASSERT_GT(frames, 0);

    test::ScratchDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    // The real pictures and sounds when this build has them, so drawing is covered too.
    for (const char* folder : {"png", "snd"}) {
        const std::filesystem::path from = std::filesystem::path(TOVARINE_DATA_DIR) / folder;
        if (std::filesystem::exists(from)) {
            std::filesystem::create_directory_symlink(from, dir.path() / folder);
        }
    }
    std::filesystem::current_path(dir.path());
    HeadlessSetFrameLimit(frames);
    HeadlessSetSeed(1);
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameHook(AfterFrame);
    GameThread = true;
    AfterFrame(-1);
    EXPECT_EQ(GameMain(), 0);
    HeadlessSetFrameHook(nullptr);
    GameThread = false;
    std::filesystem::current_path(previous);

    EXPECT_GT(FramesChecked, frames / 3);
    for (int i = 0; i < ReportCount; ++i) {
        ADD_FAILURE() << "frame " << Reports[i].frame << " in mode " << Reports[i].mode
                      << " allocated " << Reports[i].count << " times";
    }
}

} // namespace
