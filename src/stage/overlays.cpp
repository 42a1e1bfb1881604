// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/overlays.h"

#include "game/run.h"

StageBannerRecord StageBanner = {};
FogRecord Fog = {};

void ShowStageBanner() {
    StageBanner.active = 1;
    StageBanner.x = 200;
    StageBanner.alpha = 255;
}

void ShowFirstFog() {
    Fog.shown1 = 1;
    Fog.driftX = 0;
    Fog.alpha1 = 100;
}

void AdvanceStageBanner() {
    ++StageBanner.x;
    StageBanner.alpha -= 3;
    if (StageBanner.alpha <= 0) {
        StageBanner.active = 0; // still drawn this frame
    }
    switch (StageId) {
    case 1:
    case 2:
    case 3:
    case 4:
    case StageExField:
        StageBanner.rowY = 60 * (StageId - 1);
        break;
    case ArenaOf(1):
    case ArenaOf(2):
    case ArenaOf(3):
    case ArenaOf(4):
    case StageExArena:
        StageBanner.rowY = 300 + 60 * (StageId / 10 - 1);
        break;
    default:
        break; // the tutorial keeps the previous row
    }
}

void DriftFirstFog() {
    Fog.driftX += 5;
    if (Fog.driftX >= 640) {
        Fog.driftX = 0;
    }
}
