// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Puts the game into one language: its texts, the start-up box's buttons, and (read where they
// are used) its script and pictures. Called once, before the start-up question.
#pragma once

// Sets CurrentLanguage and everything that follows it; an unknown language means Japanese.
void UseLanguage(int language);
