// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The program entry and the frame loop. The pad state and hold counters live in game/pad.h.
#pragma once

#include <cstdint>

// 1 full screen, 2 windowed.
extern int32_t DisplayMode;

// The whole program: question, set-up, frame loop, exit. Returns the exit code: 0, or 1 when the
// game could not start (no display, no renderer).
int GameMain();
// Resets the globals the first frame relies on.
void InitGameGlobals();
// One frame: read the pad, count the holds, run the mode's update and draw, present.
void FrameStep();
// After every frame's drawing: the notice that progress could not be saved, for a few seconds.
void DrawSaveNotice();
// F1 (or F11, Alt+Enter): switch between window and full screen, then bring the pictures back.
void ToggleDisplayMode();
// Window to full screen or back, now (also from the pause menu).
void SwitchDisplayMode();
