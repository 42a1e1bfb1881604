// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The stage frame: the action phase in its fixed order, the clock, the death test, the item call,
// the camera, the function keys and the wipe into the boss arena.
#pragma once

#include <cstdint>

extern int32_t TimeLeft;         // stage clock in seconds; 180 at stage start and in the arena
extern int32_t FrameTick;        // 0..59, frames towards the next second
extern double ScrollX;           // world x of the screen's left edge, 0..11840
extern double NearLayerX;        // near scenery offset: 1 px per scrolled pixel
extern double FarLayerX;         // far scenery offset: 0.5 px per scrolled pixel
extern int32_t ScrollLocked;     // 1 once the end of the field is reached, and in the arena
extern int32_t ArenaTransition;  // 1 while the wipe into the arena runs
extern double TransitionX;       // x of the wipe picture
extern int32_t FunctionKeyLatch; // 0 while no function key is held
extern int32_t ShoulderBits;     // the pad's shoulder buttons held last frame

constexpr double ScrollMax = 11840.0; // stage width 12480 minus the screen

// Frees every enemy, heart and trap slot.
void ClearStageTables();
// Back to a fresh game at the title: scores, story, fades and tables reset, pictures reloaded,
// title music.
void ResetRun();

// One frame of the stage: the action phase, or the story step while StagePhase is 1.
void UpdateStageFrame();
// The wipe into the boss arena, every frame while it runs.
void UpdateArenaTransition();
// F5..F9: refill life, refill the item, continues, jump to the arena, defeat every enemy.
void HandleFunctionKeys();
// One pixel step of the possessed item to the right (+1) or left (-1), moving the camera with it
// near the middle of the screen.
void ScrollOrMove(int direction);
// Every world object's screen x from the frame's final ScrollX.
void RefreshScreenPositions();
