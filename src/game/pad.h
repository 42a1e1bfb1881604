// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The pad as the game sees it: the bits read once per frame and ten hold counters.
#pragma once

#include <cstdint>

// The bits of ReadPadState (keyboard and pad 1 merged).
constexpr int32_t PadDown = 0x0001;
constexpr int32_t PadLeft = 0x0002;
constexpr int32_t PadRight = 0x0004;
constexpr int32_t PadUp = 0x0008;
constexpr int32_t PadButton1 = 0x0010;
constexpr int32_t PadButton2 = 0x0020;
constexpr int32_t PadButton3 = 0x0040;
constexpr int32_t PadButton4 = 0x0080;
constexpr int32_t PadButton5 = 0x0100;
constexpr int32_t PadButton6 = 0x0200;

// Pad bits read at the start of the frame.
extern int32_t PadState;
// The bit each hold counter follows: UP, DOWN, LEFT, RIGHT, buttons 1 to 6.
extern int32_t ButtonMask[10];
// 0 while up, 1 on the first frame down, then 2, 3, ... while held. A press is a counter of 1.
extern int32_t ButtonHold[10];

enum ButtonIndex {
    HoldUp,
    HoldDown,
    HoldLeft,
    HoldRight,
    HoldButton1,
    HoldButton2,
    HoldButton3,
    HoldButton4,
    HoldButton5,
    HoldButton6,
};

// Sets the ten masks and lets go of every button.
void ResetButtons();
// Once per frame: reads the pad into PadState and counts each button's hold.
void ReadButtons();
