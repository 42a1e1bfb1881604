// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The top-level mode machine: which handler pair runs this frame, and the small start-up modes.
// GameMode and its values live in game/run.h.
#pragma once

#include <cstdint>

// 1 once the tutorial's explanation for the possessed item has been shown.
extern int32_t TutorialShown;

// Runs the update and then the draw handler of GameMode; a value without handlers runs nothing,
// so the last picture stays on screen.
void RunModeHandlers();

// ModeLogo: the logo fades in and out over 170 frames.
void LogoFrame();
// ModeLoadingScreen: one frame that shows the loading picture and reads the save file.
void LoadingScreenFrame();
// ModeLoadAssets: one frame that loads every sound and picture and starts the title music.
void LoadAssetsFrame();
// ModeTutorial: the stage update plus the tutorial's three explanation triggers.
void TutorialUpdate();
