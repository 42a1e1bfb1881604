// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Pads pulled out and plugged in while the real SDL engine runs: a button held as its pad goes must
// not stay held, the next pad plugged in drives the game, and nothing is left open. The pads are
// SDL's virtual ones, through the engine's test hooks; windows and sound use SDL's dummy drivers.
#include "engine/engine.h"
#include "engine/virtual_pad.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>

namespace {

constexpr int Button1 = 0x10;
constexpr int Button2 = 0x20;
constexpr int Left = 0x02;
constexpr int Down = 0x01;
constexpr int Up = 0x08;
constexpr int ControllerDpadUp = 11; // the virtual controller's buttons are in SDL's standard order
constexpr int PadAndKeys = 0x1001;

long OpenFiles() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

class PadHotplug : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // The dummy driver never gives the window the keyboard focus, and without it SDL drops
        // pad presses (releases still come through).
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        // The instance lock and Log.txt go to the scratch folder, away from any running game.
        setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        Start();
        if (VirtualPadDevices() != 0) {
            GTEST_SKIP() << "a real pad is plugged in; these tests need to be the only pads";
        }
    }
    void TearDown() override {
        EngineShutdown();
        std::filesystem::current_path(oldDir_);
    }
    void Start() {
        ChangeWindowMode(1);
        SetWindowCaption("TovarinePadTest");
        ASSERT_EQ(EngineInit(), 0) << test::ReadFile("Log.txt");
    }
    // One frame as the game's loop sees it: events first, then the pad read once.
    int Frame() {
        EXPECT_EQ(ProcessMessage(), 0);
        return ReadPadState(PadAndKeys);
    }

    test::ScratchDir dir_;
    std::filesystem::path oldDir_;
};

// Over several pulls and plugs, of both kinds of pad: the pad drives the game, a button held as it
// goes is released at once (even when the pad is read before the events of its pull), and the
// next pad plugged in takes over.
TEST_F(PadHotplug, ButtonHeldAsThePadGoesIsReleasedAndTheNextPadDrives) {
    EXPECT_EQ(Frame(), 0);
    for (int round = 0; round < 6; ++round) {
        const bool controller = round % 2 == 0;
        SCOPED_TRACE(controller ? "controller" : "joystick");
        const int pad = VirtualPadPlug(controller, 12);
        ASSERT_GE(pad, 0);
        EXPECT_EQ(Frame(), 0);
        ASSERT_EQ(VirtualPadSetButton(pad, 0, true), 0);
        EXPECT_EQ(Frame(), Button1);
        ASSERT_EQ(VirtualPadSetButton(pad, 1, true), 0);
        ASSERT_EQ(VirtualPadSetAxis(pad, 0, -32768), 0);
        EXPECT_EQ(Frame(), Button1 | Button2 | Left);
        ASSERT_EQ(VirtualPadSetButton(pad, 1, false), 0);
        EXPECT_EQ(Frame(), Button1 | Left);
        if (controller) {
            // Read through the controller layout, not as raw button 12.
            ASSERT_EQ(VirtualPadSetButton(pad, ControllerDpadUp, true), 0);
            EXPECT_EQ(Frame(), Button1 | Left | Up);
        }
        // Pulled while button 1 and the stick are held.
        ASSERT_EQ(VirtualPadUnplug(pad), 0);
        EXPECT_EQ(ReadPadState(PadAndKeys), 0) << "read before the events of the pull";
        EXPECT_EQ(Frame(), 0);
        EXPECT_EQ(Frame(), 0);
    }
    EXPECT_EQ(VirtualPadDevices(), 0);
}

// Two pads: the first drives; when it goes, the other becomes pad 1 with its own state; a pad
// plugged and pulled between two frames leaves nothing behind.
TEST_F(PadHotplug, SecondPadTakesOverWhenTheFirstGoes) {
    const int first = VirtualPadPlug(true, 0);
    const int second = VirtualPadPlug(false, 8);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    Frame();
    VirtualPadSetButton(first, 0, true);
    VirtualPadSetAxis(second, 1, 32767);
    EXPECT_EQ(Frame(), Button1);
    VirtualPadUnplug(first);
    EXPECT_EQ(Frame(), Down);
    VirtualPadSetButton(second, 1, true);
    EXPECT_EQ(Frame(), Down | Button2);
    const int brief = VirtualPadPlug(true, 0);
    ASSERT_EQ(VirtualPadUnplug(brief), 0);
    EXPECT_EQ(Frame(), Down | Button2);
    VirtualPadUnplug(second);
    EXPECT_EQ(Frame(), 0);
    const int third = VirtualPadPlug(true, 0);
    Frame();
    VirtualPadSetButton(third, 1, true);
    EXPECT_EQ(Frame(), Button2);
    VirtualPadUnplug(third);
    EXPECT_EQ(Frame(), 0);
}

// A pad still plugged in, with a button held, at shutdown: the next start sees no pad and no
// button, and starting and stopping the engine around plugged pads leaves no file open.
TEST_F(PadHotplug, ShutdownWithAPadPluggedLeavesNothingBehind) {
    long files = -1;
    for (int cycle = 0; cycle < 4; ++cycle) {
        const int pad = VirtualPadPlug(cycle % 2 == 0, 6);
        ASSERT_GE(pad, 0);
        Frame();
        VirtualPadSetButton(pad, 0, true);
        EXPECT_EQ(Frame(), Button1);
        EngineShutdown();
        EXPECT_EQ(ReadPadState(PadAndKeys), 0);
        EXPECT_EQ(VirtualPadPlug(true, 0), -1) << "no pads while the engine is down";
        if (cycle == 1) {
            files = OpenFiles();
        } else if (cycle > 1) {
            EXPECT_EQ(OpenFiles(), files);
        }
        Start();
        EXPECT_EQ(Frame(), 0);
        EXPECT_EQ(VirtualPadDevices(), 0);
    }
}

} // namespace
