// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The visual records the play rooms set and the stage drawing shows: the stage banner and the two
// fogs. They live here, below the drawing, so the enemies and the story can set them.
#pragma once

#include <cstdint>

// The stage-title strip that slides right and fades out when a stage starts.
struct StageBannerRecord {
    int32_t active;
    int32_t x;
    int32_t alpha;
    int32_t rowY; // source row in "indication.png"
};

// The two fog overlays of the last stages.
struct FogRecord {
    int32_t driftX; // first fog only
    int32_t shown1, alpha1;
    int32_t shown2, alpha2;
};

extern StageBannerRecord StageBanner;
extern FogRecord Fog;

// Starts the banner at its start position, fully opaque.
void ShowStageBanner();
// Shows the first fog, drifting from x 0 (the EX field and the last arenas).
void ShowFirstFog();
// Each frame the banner is drawn: it slides a pixel right, fades, and takes the row of StageId.
void AdvanceStageBanner();
// Each frame the first fog is drawn: it drifts 5 pixels, wrapping at the screen's width.
void DriftFirstFog();
