// The top-level mode machine: which handler pair runs this frame, the small start-up modes, and
// the reset to a fresh game.
#pragma once

#include <cstdint>

enum GameModeValue {
    ModeTitle = 0,
    ModeStage = 1,
    ModeContinue = 2,
    ModeStageResult = 3,
    ModeExtras = 4,
    ModeLoadingScreen = 5,
    ModeLoadAssets = 6,
    ModeStory = 7,
    ModeLogo = 8,
    ModeEndingRoll = 11,
    ModeTutorial = 12,
};

extern int32_t GameMode;
// 1..4 the fields of stages 1 to 4, 5 the EX field, 6 the tutorial; field x 10 + 1 its boss area.
extern int32_t StageId;
// 1 while a story phase runs over the stage picture, 0 in the action phase.
extern int32_t StagePhase;
// The background music StartMusic plays (7: silence).
extern int32_t MusicSelect;
// 1 once the tutorial's explanation for the possessed item has been shown.
extern int32_t TutorialShown;

// Runs the update and then the draw handler of GameMode; a value without handlers runs nothing,
// so the last picture stays on screen.
void RunModeHandlers();

// ModeLogo: the logo fades in and out over 170 frames.
void LogoFrame();
// ModeLoadingScreen: one frame that shows the loading picture and reads the save file.
void LoadingScreenFrame();
// ModeLoadAssets: one frame that loads every sound and picture and starts the title music.
void LoadAssetsFrame();
// ModeTutorial: the stage update plus the tutorial's three explanation triggers.
void TutorialUpdate();

// Back to a fresh game at the title: scores, story, fades and tables reset, pictures reloaded,
// title music.
void ResetRun();
