// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The start-up question in the game's own window, for desktops that can show no box of their own.
#pragma once

// Asks "start in full screen?" with the three answers of the box, by keys or pad, until one is
// chosen. Returns AnswerYes, AnswerNo or AnswerCancel (engine.h); closing the window is Cancel.
int AskInGameWindow();
