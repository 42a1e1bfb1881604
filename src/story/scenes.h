// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story scenes and the tutorial: what each story step does every frame, and the story
// pictures.
#pragma once

#include <cstdint>

// The story's event counter: 0.. the prologue and finale, 100.. the tutorial, 200.. the EX stage.
extern int32_t StoryStep;
// Screen x of the car of the prologue; -560 keeps it off screen.
extern int32_t CarX;
// Offsets of the shaking crash picture.
extern int32_t ShakeX, ShakeY;

// Back to the start of the prologue: the script from its first line, the story phase, no fade.
void ResetStory();
// The story's per-frame actions while StagePhase is 1, chosen by StoryStep.
void StoryActionStep();
// The picture of the story screen for this StoryStep, over the black backdrop.
void DrawStoryPicture();
// ModeStory's drawing: the window over the story screen, then the story's actions.
void DrawStoryScreen();
