// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// What the tests, the headless runner and the benchmarks may see of the engine beyond engine.h.
// The game itself never includes this.
#pragma once

#include <cstdint>

// ---- The headless platform (platform_headless.cpp) ------------------------------------------

// Frames to run before ProcessMessage reports a quit; -1 runs for ever.
void HeadlessSetFrameLimit(int frames);
// Starts the virtual millisecond counter and the calendar clock at this value (the run's seed).
void HeadlessSetSeed(uint32_t seed);
// AnswerYes, AnswerNo or AnswerCancel; anything else: no box of the desktop's own can be shown.
void HeadlessSetAnswer(int answer);
void HeadlessSetKey(int set1Code, bool down);
void HeadlessReleaseAllKeys();
void HeadlessSetPadBits(uint32_t bits);
// Called by FlipScreen after each presented frame, with the frame's number counted from 0.
void HeadlessSetFrameHook(void (*hook)(int frame));
int HeadlessFramesPresented();
bool HeadlessIsFullscreen();

// ---- Back buffer and sounds ----------------------------------------------------------------

const uint32_t* GetBackBuffer(); // 640 x 480, 0x00RRGGBB
int SaveBackBufferPng(const char* path);
// Interleaved stereo 16-bit samples at 44100 Hz as decoded at load; 0, or -1 without data.
int GetSoundPcm(int handle, const short** samples, int* frames);
int GetSoundBufferStarts(int handle, int buffer);
int IsSoundBufferPlaying(int handle, int buffer);
int GetSoundMixerVolume(int handle); // 0..128
// File names of the sounds started since the last call (at most max).
int TakeStartedSounds(const char** names, int max);
// While on, the engine keeps the texts it draws (as given: Shift-JIS bytes), 32 KB at most.
void RecordDrawnTexts(bool on);
// The texts drawn since the last call, each ended by '\n' and the whole ended by '\0'; returns
// their length, or -1 when they do not fit in size or more were drawn than could be kept.
int TakeDrawnTexts(char* out, int size);

// Where the picture goes in an output (window or screen) of this size: x, y, width, height.
void PictureRectIn(int outW, int outH, int rect[4]);

int VolumeToCentibels(int volume);
int CentibelsToMixerVolume(int centibels);
