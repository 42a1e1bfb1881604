// The program entry and the frame loop. The pad state and hold counters live in game/pad.h.
#pragma once

#include <cstdint>

// 1 full screen, 2 windowed.
extern int32_t DisplayMode;

// The whole program: question, set-up, frame loop, exit. Returns the exit code (always 0).
int GameMain();
// Resets the globals the first frame relies on.
void InitGameGlobals();
// One frame: read the pad, count the holds, run the mode's update and draw, present.
void FrameStep();
// F1: switch between window and full screen, then bring the pictures back.
void ToggleDisplayMode();
