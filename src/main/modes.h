// The top-level mode machine: which handler pair runs this frame.
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

// Runs the update and then the draw handler of GameMode; a value without handlers runs nothing,
// so the last picture stays on screen.
void RunModeHandlers();
