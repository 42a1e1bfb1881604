// The program entry, the frame loop and the per-button hold counters.
#pragma once

#include <cstdint>

// Pad bits read at the start of the frame (keyboard and pad 1 merged).
extern int32_t PadState;
// The bit each hold counter follows: UP, DOWN, LEFT, RIGHT, buttons 1 to 6.
extern int32_t ButtonMask[10];
// 0 while up, 1 on the first frame down, then 2, 3, ... while held. A press is a counter of 1.
extern int32_t ButtonHold[10];
// 1 full screen, 2 windowed.
extern int32_t DisplayMode;

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
