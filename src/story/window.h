// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The message window: reading the script, the five text rows, the wait cursor, the screen fades.
#pragma once

#include <cstdint>

struct ScreenFadeRecord {
    int32_t active;
    int32_t kind;  // 0 out and switch screens, 1 in, 2 out, next line and in
    int32_t alpha; // 0..255
    int32_t phase; // kind 2: 0 darkening, 1 brightening
};

constexpr int WindowRowCount = 5;
constexpr int RowCharacters = 28; // double-byte characters per row

extern ScreenFadeRecord ScreenFade;
// 1 while the story screen is shown, -1 while the stage screen is, 0 after the ending code.
extern int32_t StorySide;
// Five rows of up to 28 Shift-JIS characters; the last byte of each stays 0.
extern char WindowRows[WindowRowCount][2 * RowCharacters + 1];
extern int32_t WriteRow, WriteColumn;
// 1 while reading stands on a page's end and the cursor blinks.
extern int32_t WaitingAtB;
// Below 0 while lines already read are read again after a step back.
extern int32_t ReplayCount;
// 0 while the player has hidden the window.
extern int32_t WindowVisible;
extern int32_t CursorBlink, CursorFrame;

// Reads this frame's elements of the script into the window (only while StagePhase is 1).
void MessageTextStep();
// The story backdrop, the window with its rows and cursor, and the fade (only while StagePhase is
// 1); the fade advances here.
void DrawMessageWindow();
// The text continues on the next row, scrolling the window when it is full.
void NewRow();
