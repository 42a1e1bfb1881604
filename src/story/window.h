// The message window: reading the script, the five text rows, the screen fades.
#pragma once

#include <cstdint>

struct ScreenFadeRecord {
    int32_t active;
    int32_t kind;  // 0 switch screens, 1 fade in, 2 fade through black to the next line
    int32_t alpha; // 0..255
    int32_t phase; // kind 2: 0 darkening, 1 brightening
};

extern ScreenFadeRecord ScreenFade;
// 1 while the story screen is shown, -1 while the stage screen is, 0 after the ending code.
extern int32_t StorySide;

// Reads this frame's elements of the script into the window (only while StagePhase is 1).
void MessageTextStep();
// The story backdrop, the window with its rows and cursor, and the fade (only while StagePhase is
// 1).
void DrawMessageWindow();
