// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The frame loop: hold counters, modes without handlers, Escape, the start-up question.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/loop.h"
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class FrameLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
        InitGameGlobals();
        ASSERT_EQ(EngineInit(), 0);
    }
    void TearDown() override {
        EngineShutdown();
        HeadlessReleaseAllKeys();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(FrameLoop, HoldCountersCountFramesHeldAndResetOnRelease) {
    GameMode = 9;               // no handlers: only the input and the flip run
    HeadlessSetKey(0x2C, true); // Z: button 1
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 1) << "a press is a counter of 1";
    HeadlessSetKey(0xC8, true); // up joins in
    FrameStep();
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 3);
    EXPECT_EQ(ButtonHold[HoldUp], 2);
    EXPECT_EQ(PadState, 0x0018);
    HeadlessSetKey(0x2C, false);
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 0);
    EXPECT_EQ(ButtonHold[HoldUp], 3);
    HeadlessSetKey(0x2C, true);
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 1) << "a second confirmation needs a release first";
    // Button 7 and up have bits but no counters.
    HeadlessSetKey(0x10, true); // Q: button 7
    FrameStep();
    for (int i = 0; i < 10; ++i) {
        EXPECT_NE(ButtonMask[i], 0x0400);
    }
    EXPECT_NE(PadState & 0x0400, 0);
}

TEST_F(FrameLoop, EveryFrameReadsThePadOnceAndPresentsOnce) {
    GameMode = 13;
    const int before = HeadlessFramesPresented();
    for (int i = 0; i < 5; ++i) {
        FrameStep();
    }
    EXPECT_EQ(HeadlessFramesPresented() - before, 5);
}

TEST_F(FrameLoop, StartUpLeavesTheGlobalsReadyForTheFirstFrame) {
    EXPECT_EQ(StageId, 1);
    EXPECT_EQ(StagePhase, 1);
    const int32_t masks[10] = {0x0008, 0x0001, 0x0002, 0x0004, 0x0010,
                               0x0020, 0x0040, 0x0080, 0x0100, 0x0200};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ButtonMask[i], masks[i]);
        EXPECT_EQ(ButtonHold[i], 0);
    }
}

} // namespace

namespace {

int EscapeAtFrame = -1;

void PressEscapeLater(int frame) {
    if (frame == 0) {
        GameMode = 9;
    }
    if (frame + 1 == EscapeAtFrame) {
        HeadlessSetKey(0x01, true);
    }
}

TEST(GameMain, AModeWithoutHandlersKeepsLoopingUntilEscape) {
    test::ScratchDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    HeadlessReleaseAllKeys();
    HeadlessSetFrameLimit(-1);
    HeadlessSetAnswer(AnswerNo);
    EscapeAtFrame = 50;
    HeadlessSetFrameHook(PressEscapeLater);
    EXPECT_EQ(GameMain(), 0);
    HeadlessSetFrameHook(nullptr);
    HeadlessReleaseAllKeys();
    EXPECT_EQ(HeadlessFramesPresented(), 50);
    EXPECT_EQ(GameMode, 9);
    EXPECT_EQ(DisplayMode, 2);
    EXPECT_FALSE(HeadlessIsFullscreen());
    EXPECT_NE(ProcessMessage(), 0) << "the exit sequence shut the engine down";
    std::filesystem::current_path(previous);
}

TEST(GameMain, F1SwitchesBetweenFullScreenAndWindow) {
    test::ScratchDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    HeadlessReleaseAllKeys();
    HeadlessSetAnswer(AnswerYes);
    HeadlessSetFrameLimit(3);
    HeadlessSetKey(0x3B, true); // F1 held: toggles before every frame
    EXPECT_EQ(GameMain(), 0);
    HeadlessReleaseAllKeys();
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameLimit(-1);
    EXPECT_EQ(DisplayMode, 2) << "full screen, then window, full screen, window";
    EXPECT_FALSE(HeadlessIsFullscreen());
    std::filesystem::current_path(previous);
}

} // namespace
