// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Drawing a stage frame: scenery layers, tiles, pickups, enemies, the player, effects, the HUD,
// the story overlay, the stage banner and the wipe. The banner and fog records live in
// stage/overlays.h.
#pragma once

#include <cstdint>

extern int32_t MaxLabelCounter; // blink of the green gauge's "MAX"
extern int32_t ArrowCounter;    // blink of the boss-cleared arrow

// The whole stage frame, in its fixed order.
void DrawStageFrame();
// The far, slow and near scenery layers and the arena backdrop, then the layer offsets' wrap.
void DrawBackground();
