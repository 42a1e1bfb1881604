// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The pause menu: P, the pad's Start or Back (and Escape, if the settings say so) stop the game's
// frame steps and the sounds, dim the picture and offer resume, volumes, screen, scaling,
// controls, back to the title and quit. Nothing of the game changes while it is open.
#pragma once

#include <cstdint>

extern bool PauseOpen;
// Set when the player chose to quit from the menu; the loop ends.
extern bool PauseQuit;

// True while the controls page waits for a key: Escape then cancels the wait, it does not quit.
bool PauseTakesEscape();
// Once per loop pass, before the game's frame: opens the menu on its key, runs it while open.
// True when the menu had this frame (it has presented it); false: the game's frame runs.
bool PauseFrame();
