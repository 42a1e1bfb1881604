// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The title menu: start, tutorial, extras and exit.
#pragma once

#include <cstdint>

// The item under the cursor, 1..4; kept when the player comes back to the title.
extern int32_t TitleCursor;

// ModeTitle: moves the cursor and acts on the chosen item.
void TitleUpdate();
// ModeTitle: the title picture and the four items, the chosen one lit.
void TitleDraw();
