// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The engine: every operation the game calls, and nothing else.
//
// Handles are non-negative integers; -1 means "no handle". An operation given -1 or a stale handle
// does nothing and returns -1. Every entry point takes the engine lock, so the engine's own threads
// (the mixer) never see half-done state. Text arguments are Shift-JIS bytes.
#pragma once

#include <cstdint>

// ---- Window, frame and system ----------------------------------------------------------------

int ChangeWindowMode(int windowed);        // 1 windowed, 0 full screen
int SetWindowCaption(const char* caption); // also the name of the second-instance lock
int SetWindowIconId(int resourceId);       // recorded; our window uses the built-in icon
int SetWindowResizable(int resizable);
int SetScreenMode(int width, int height, int colorDepth, int refreshRate);
int EngineInit();              // 0, or -1 when start-up fails (see Log.txt)
int EngineShutdown();          // safe to call twice
int ProcessMessage();          // 0 keep running; -1 quit or shut down
int SetDrawTarget(int target); // -2: the back buffer
int SetTransparentColor(int r, int g, int b);
int FlipScreen();               // present and wait for the next 1/60 s
int SetScalingMode(int smooth); // 0 sharp: whole multiples, then smoothed to fit; 1 smooth
int SaveScreenCopy();           // keeps the back buffer as it is now
int RestoreScreenCopy();        // puts the kept picture back into the back buffer
int ClearScreen();
int GetMillisecondCount(); // wrapping 32-bit millisecond counter
int64_t GetCalendarTime(); // seconds since 1970, for seeding the game
int WaitMilliseconds(int ms);
int RandomInt(int max);           // uniform 0..max inclusive (MT19937)
int LogMessage(const char* text); // one line in Log.txt

// The start-up question in the desktop's own box. Text and caption are Shift-JIS. Returns -1 when
// no box can be shown here (the reason goes to Log.txt at EngineInit); nothing is guessed.
enum QuestionAnswer { AnswerYes = 6, AnswerNo = 7, AnswerCancel = 2 };
int AskYesNoCancel(const char* text, const char* caption);
// The labels of the box's three buttons, Shift-JIS; until set, the Japanese ones. May be called
// before EngineInit.
int SetAnswerLabels(const char* yes, const char* no, const char* cancel);
// The second-instance check, made before anything else: 0 when this is the only copy (the lock is
// kept until EngineShutdown), -1 when another copy runs (said on stderr; Log.txt is left alone).
// Needs the caption: the lock is named after it.
int LockSingleInstance();

// ---- Input ------------------------------------------------------------------------------------

int ReadPadState(int inputType); // 0x1001: pad 1 merged with the keyboard; 0x0001: pad 1 only
int IsKeyDown(int scanCode);     // PC set-1 scan code; 1 while held
// The player's controls. The key given takes the place of a pad bit's main key (the cursor key of
// a direction, Z X C A of buttons 1 to 4; the numeric pad keeps moving). The pad button (1..24)
// given sets the bit from now on; the button that set it before takes the chosen one's old bit.
int SetKeyOfPadBit(int padBit, int scanCode);
int SetPadButtonOfPadBit(int padBit, int button);
int ResetInputMapping(); // the keys and buttons as they were at start
int ReadPadButtons();    // pad 1's buttons as pressed, unmapped: bit n - 1 for button n

// ---- Images -----------------------------------------------------------------------------------

int LoadImageFile(const char* path, int flag); // PNG; '\' in paths is a separator
int DrawImageAt(int x, int y, int handle, int transparent);
int DrawImageStretched(int x1, int y1, int x2, int y2, int handle, int transparent);
int DrawImageRegion(int x, int y, int srcX, int srcY, int width, int height, int handle,
                    int transparent, int mirror);
int DrawRectangle(int x1, int y1, int x2, int y2, uint32_t color, int fill);
int SetBlendMode(int mode, int parameter); // 0 none, 1 alpha, 2 add, 3 source x (1 - screen)
uint32_t MakeColor(int r, int g, int b);   // 0x00RRGGBB
int ReleaseImage(int handle);              // the handle goes stale; -1 if it was not a picture
int ReleaseAllImages(int unused);

// ---- Text (the default font) ------------------------------------------------------------------

int SelectFontFace(const char* face, int charset);
int SetTextSize(int pixelSize);
int SetTextStyle(int style); // bit 0 edged, bit 1 smoothed
int DrawTextAt(int x, int y, const char* text, uint32_t color, uint32_t edgeColor);
int DrawFormattedTextAt(int x, int y, uint32_t color, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int GetTextWidth(const char* text); // pixels, in the current face, size and style

// ---- Sound ------------------------------------------------------------------------------------

int LoadSoundFile(const char* path, int buffers, int unused); // WAV or MP3, decoded at load
int PlaySoundHandle(int handle, int playMode, int fromStart); // 1 once, 3 loop
int StopSoundHandle(int handle);
int SetSoundVolume(int volume, int handle); // 0..255
int StopMusicChannel();
int ReleaseAllSounds(int unused);
// The player's volumes in percent (0..100), on top of SetSoundVolume; MP3 files are music.
int SetVolumeScale(int musicPercent, int effectsPercent);
int PauseAllSounds(int paused); // 1 holds every sound where it is, 0 lets them go on
