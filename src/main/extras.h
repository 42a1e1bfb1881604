// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The extras screen: the gallery of six unlockable pictures, the EX stage line and the high score.
#pragma once

#include <cstdint>

extern int32_t ExtrasColumn; // gallery column 1..3
extern int32_t ExtrasRow;    // 1 upper row, 2 lower row, 3 the EX stage line
extern int32_t PictureShown; // 1 while the chosen picture fills the screen

// ModeExtras: moves the selection, opens and closes pictures, starts the EX stage, goes back.
void ExtrasUpdate();
// ModeExtras: the gallery with its thumbnails and conditions, or the open picture.
void ExtrasDraw();
