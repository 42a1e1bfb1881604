// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "main/modes.h"

#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "game/assets.h"
#include "game/engine_names.h"
#include "game/run.h"
#include "main/extras.h"
#include "main/results.h"
#include "main/save.h"
#include "main/title.h"
#include "render/stage_draw.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

int32_t TutorialShown = 0;

namespace {

struct ModeHandlers {
    void (*update)();
    void (*draw)();
};

// Indexed by GameMode. Modes whose handlers are not written yet hold a frozen picture.
constexpr ModeHandlers ModeTable[] = {
    {TitleUpdate, TitleDraw},           // ModeTitle
    {UpdateStageFrame, DrawStageFrame}, // ModeStage
    {ContinueFrame, nullptr},           // ModeContinue
    {ResultUpdate, ResultDraw},         // ModeStageResult
    {ExtrasUpdate, ExtrasDraw},         // ModeExtras
    {LoadingScreenFrame, nullptr},      // ModeLoadingScreen
    {LoadAssetsFrame, nullptr},         // ModeLoadAssets
    {MessageTextStep, DrawStoryScreen}, // ModeStory
    {LogoFrame, nullptr},               // ModeLogo
    {nullptr, nullptr},                 // 9: no mode
    {nullptr, nullptr},                 // 10: no mode
    {EndingRollUpdate, EndingRollDraw}, // ModeEndingRoll
    {TutorialUpdate, DrawStageFrame},   // ModeTutorial
};

} // namespace

void RunModeHandlers() {
    if (GameMode < 0 || GameMode >= static_cast<int32_t>(sizeof ModeTable / sizeof ModeTable[0])) {
        return;
    }
    const ModeHandlers& mode = ModeTable[GameMode];
    if (mode.update != nullptr) {
        mode.update();
    }
    if (mode.draw != nullptr) {
        mode.draw();
    }
}

void LogoFrame() {
    if (ScreenFade.kind == 0 && ScreenFade.alpha == 0) {
        PngLogo = LoadImageFile("png\\logo.png", 0); // the mode's first frame
    }
    // Drawn with the level from before this frame's step: 0, 3, ..., 252, then 255, ..., 3.
    ClearScreen();
    SetBlendMode(BlendAlpha, ScreenFade.alpha);
    DrawImageAt(220, 220, PngLogo, 0);
    if (ScreenFade.kind == 0) {
        ScreenFade.alpha += 3;
        if (ScreenFade.alpha >= 255) {
            ScreenFade.kind = 1;
        }
    } else if (ScreenFade.kind == 1) {
        ScreenFade.alpha -= 3;
        if (ScreenFade.alpha <= 0) {
            GameMode = ModeLoadingScreen;
            ScreenFade.alpha = 0;
            ScreenFade.kind = 0;
        }
    }
}

void LoadingScreenFrame() {
    SetBlendMode(BlendNone, 255);
    PngLoad = LoadImageFile("png\\load.png", 0);
    DrawImageAt(0, 0, PngLoad, 0);
    ReadSaveData();
    GameMode = ModeLoadAssets;
}

void LoadAssetsFrame() {
    // The loading picture of the previous frame stays on screen while this frame works.
    LoadAllSounds();
    ReloadAllImages();
    MusicSelect = 0;
    StartMusic();
    GameMode = ModeTitle;
}

void TutorialUpdate() {
    UpdateStageFrame();
    if (PlayerState.kind > 0 && PlayerState.airborne == 0 && TutorialShown == 0) {
        StagePhase = 1;
        TutorialShown = 1;
    }
    if (EnemySlot[0].active == 0) {
        StagePhase = 1;
        TutorialShown = 0;
    }
    if (PlayerState.PlayerLife <= 0) {
        TutorialShown = 0;
    }
}
