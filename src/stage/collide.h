// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The two tests of every collision of the player, the items and the enemies: a solid tile at a
// point, and two boxes that overlap.
#pragma once

#include "stage/map.h"

// A solid tile at this world pixel (a tile class above 0: the ground and wall tiles).
inline bool IsSolid(double x, double y) {
    return TileAt(x, y) > 0;
}

// Two boxes given as left, top, right, bottom overlap; touching edges do not.
inline bool BoxesOverlap(double l1, double t1, double r1, double b1, double l2, double t2,
                         double r2, double b2) {
    return l1 < r2 && l2 < r1 && t1 < b2 && t2 < b1;
}
