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
#include <cstdlib>
#include <filesystem>

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* p, size_t size);

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

// Every allocation of the process goes through these: C++'s operator new calls malloc too.
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

namespace {

KeyScript Keys;
long CountAtLastFrame = 0;
bool PlayAtLastFrame = false;
long FramesChecked = 0, FramesAllocating = 0;
int FirstAllocatingFrame = -1;

// After each frame: note what it allocated, then hold the script's keys for the next one.
void AfterFrame(int frame) {
    // Play: a frame of the stage's action phase that began there too. Changes of mode load, and
    // story pages render their text as it is typed.
    const bool play = GameMode == ModeStage && StagePhase == 0;
    if (play && PlayAtLastFrame && frame > 0) {
        ++FramesChecked;
        if (Allocations.load(std::memory_order_relaxed) != CountAtLastFrame &&
            FramesAllocating++ == 0) {
            FirstAllocatingFrame = frame;
        }
    }
    PlayAtLastFrame = play;
    ApplyKeyScript(Keys, frame + 1);
    CountAtLastFrame = Allocations.load(std::memory_order_relaxed);
}

TEST(Allocations, NoneInAFrameOfPlay) {
    ASSERT_TRUE(ReadKeyScript(TOVARINE_RUNS_DIR "/full.keys", Keys));
    const int frames = Keys.replayFrames;
    ASSERT_GT(frames, 0);

    test::ScratchDir dir;
    // The real pictures and sounds when this build has them, so drawing is covered too.
    for (const char* folder : {"png", "snd"}) {
        const std::filesystem::path from = std::filesystem::path(TOVARINE_DATA_DIR) / folder;
        if (std::filesystem::exists(from)) {
            std::filesystem::create_directory_symlink(from, dir.path() / folder);
        }
    }
    {
        test::InFolder inFolder(dir.path());
        HeadlessSetFrameLimit(frames);
        HeadlessSetSeed(1);
        HeadlessSetAnswer(AnswerNo);
        HeadlessSetFrameHook(AfterFrame);
        GameThread = true;
        AfterFrame(-1);
        EXPECT_EQ(GameMain(), 0);
        GameThread = false;
        HeadlessSetFrameHook(nullptr);
    }
    EXPECT_GT(FramesChecked, frames / 3);
    EXPECT_EQ(FramesAllocating, 0) << "the first at frame " << FirstAllocatingFrame;
}

} // namespace
