// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "story/scenes.h"

#include "enemy/enemies.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "stage/overlays.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "story/script.h"
#include "story/window.h"

#include <cstdlib>

int32_t StoryStep = 0;
int32_t CarX = -560;
int32_t ShakeX = 0;
int32_t ShakeY = 0;

namespace {

// The heroine walks in place while the town scrolls past; a footstep every 40 frames.
void WalkThroughTown() {
    NearLayerX += 1.0;
    FarLayerX += 0.5;
    PlayerStateRecord& p = PlayerState;
    ++p.walkCounter;
    if (p.walkCounter >= 80) {
        p.walkCounter = 0;
    }
    if (p.walkCounter == 20 || p.walkCounter == 60) {
        PlaySoundHandle(WavLanding, PlayOnce, FromStart);
    }
}

// The ghost at its start position (the tutorial and the EX stage).
void GhostAtStart() {
    PlayerStateRecord& p = PlayerState;
    p.kind = Ghost;
    p.posX = 180.0;
    p.posY = 180.0;
    p.width = p.height = 180;
    CarX = -560;
}

} // namespace

void ResetStory() {
    StagePhase = 1;
    ScriptPosition = ScriptPositionRecord{};
    StoryStep = 0;
    StorySide = -1;
    ScreenFade = ScreenFadeRecord{};
}

void StoryActionStep() {
    if (StagePhase != 1) {
        return;
    }
    PlayerStateRecord& p = PlayerState;
    switch (StoryStep) {
    case 0:
        p.kind = Walker;
        p.posX = 240.0;
        p.posY = 240.0;
        p.width = p.height = 180;
        WalkThroughTown();
        CarX = -560;
        break;
    case 1:
        WalkThroughTown();
        CarX += 20;
        if (CarX >= -260) {
            ++ScriptPosition.line; // releases the hold of the brake line
            ScriptPosition.offset = 0;
            StoryStep = 2;
        }
        break;
    case 2:
        StopSoundHandle(BgmAdv1);
        StorySide = 1;
        PlaceStageObjects();
        CarX = -560;
        ShakeX = std::rand() % 40 - 20;
        ShakeY = std::rand() % 40 - 20;
        break;
    case 3:
        ShakeX = ShakeY = 0;
        break;
    case 4:
        if (MusicSelect != 2) {
            MusicSelect = 2;
            StartMusic();
        }
        break;
    case 5:
        if (MusicSelect != 4) {
            StopSoundHandle(BgmAdv2);
            MusicSelect = 4;
            StartMusic();
        }
        p.facing = -1;
        break;
    case 6:
        p.facing = 1;
        break;
    case 7:
        if (StageId == 1) {
            ShowStageBanner();
        }
        break;
    case 8:
        if (MusicSelect != 3) {
            MusicSelect = 3;
            StartMusic();
        }
        break;
    case 100:
        Continues = 0;
        GhostAtStart();
        break;
    case 102:
        ResetRun();
        break;
    case 200:
        GhostAtStart();
        break;
    case 201:
        if (StageId == StageExField) {
            ShowStageBanner();
        }
        break;
    default:
        break;
    }
    p.screenX = p.posX - ScrollX;
}

void DrawStoryPicture() {
    switch (StoryStep) {
    case 2:
        DrawImageAt(ShakeX, ShakeY, PngRed, 0);
        break;
    case 3:
        DrawImageAt(0, 0, PngRed, 0);
        break;
    case 4:
        DrawImageAt(0, 0, PngBlack, 0);
        break;
    case 8:
        DrawImageAt(0, 0, PngWeeks, 0);
        break;
    case 9:
        DrawImageAt(0, 0, PngCg01, 0);
        break;
    default:
        break;
    }
}

void DrawStoryScreen() {
    DrawMessageWindow();
    StoryActionStep();
}
