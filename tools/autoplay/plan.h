// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The autoplayer's decisions: which keys to hold in the next frame, from what the screen shows.
#pragma once

#include <cstdint>

enum KeyId {
    KeyUp,
    KeyDown,
    KeyLeft,
    KeyRight,
    KeyZ,
    KeyX,
    KeyC,
    KeyA,
    KeyF5,
    KeyF6,
    KeyDigit1,
    KeyDigit2,
    KeyDigit3,
    KeyDigit4,
    KeyDigit5,
    KeyCount,
};

using KeySet = uint32_t;

constexpr KeySet Bit(KeyId key) {
    return KeySet{1} << key;
}

enum class Scenario { Full, Tutorial, GameOver, Ex };

struct Decision {
    KeySet keys = 0;
    bool finished = false; // the scenario has reached its end: stop after this frame
};

extern bool Verbose;

const char* ScenarioName(Scenario scenario);
bool ParseScenario(const char* text, Scenario* scenario);
// With loop, the scenario is played again each time it has come back to the title.
void StartScenario(Scenario scenario, bool loop);
// Called after each presented frame with the game's state at the end of that frame.
Decision DecideFrame(int frame);
// Per stage: frames to cross the field and to beat the boss, and the closest calls.
void PrintReport(int frames);
bool ScenarioSucceeded();
