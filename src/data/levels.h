// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The seven level tables built into the game: stages 1 to 5, the tutorial area and the boss arena.
#pragma once

#include <cstdint>

extern const int32_t StageMapSource[7][8 * 208];
