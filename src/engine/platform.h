// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The seam below the engine: two implementations chosen at link time, platform_sdl.cpp for the
// real game and platform_headless.cpp for the tests and the runner.
#pragma once

#include <cstdint>

namespace platform {

// Bytes per pixel of the desktop (4 on any ordinary display, 3 for a packed 24-bit one).
int DesktopBytesPerPixel();
// Per-user lock named after the window class; false when another copy holds it.
bool AcquireInstanceLock(const char* name);
void ReleaseInstanceLock();

int OpenWindow(const char* captionUtf8, bool fullscreen, bool resizable);
void CloseWindow();
// The window's icon, 0xAARRGGBB pixels.
void SetWindowIcon(const uint32_t* pixels, int width, int height);
int SetFullscreen(bool fullscreen);
// Smooth: the picture is scaled linearly; otherwise by whole multiples first, then linearly.
void SetSmoothScaling(bool smooth);
// Dispatches pending events; while the window has no focus, waits (without spinning) for focus or
// a quit. Returns non-zero once a quit was requested.
int Pump();
// Shows the 640 x 480 picture and holds the frame until its 1/60 s slot is due.
int Present(const uint32_t* pixels);

void RefreshInput();
// Time lost in stalls (a slow load, a pause) after which the frame schedule started again.
uint32_t StalledMilliseconds();
bool KeyDown(int set1Code);
uint32_t PadBits(); // joystick bits in the pad bit layout, 0 without a pad
void InputStart();
void InputStop();

uint32_t Milliseconds();
void Sleep(int ms);
int64_t CalendarSeconds();
// The desktop's own Yes/No/Cancel box: AnswerYes, AnswerNo or AnswerCancel (engine.h), or -1 with
// the reason in `problem` when no box could be shown. `labelsUtf8` names the Yes, No and Cancel
// buttons.
int Ask(const char* textUtf8, const char* captionUtf8, const char* const labelsUtf8[3],
        char* problem, int problemSize);
// The audio driver to ask SDL for: nullptr for the system's own, "dummy" for silence.
const char* AudioDriver();
// A line or two for the log about this machine.
void DescribeSystem();

} // namespace platform
