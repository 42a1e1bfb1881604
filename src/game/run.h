// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The run's shared state: the mode, the stage and its phase, the music, and the score and
// continue counters. Every room above reads and writes these; this floor includes only the engine.
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

constexpr int32_t StageExField = 5;
constexpr int32_t StageTutorial = 6;
// The boss arena that follows a field.
constexpr int32_t ArenaOf(int32_t field) {
    return field * 10 + 1;
}
constexpr int32_t StageExArena = ArenaOf(StageExField);

extern int32_t Score;           // the running score of this run
extern int32_t TotalScore;      // Score + 10 x TimeLeft + 5000 x (ClearBonusCount + 1)
extern int32_t Continues;       // continues left, shown in the HUD
extern int32_t ClearBonusCount; // lowered by each continue used
extern int32_t StageHearts;     // hearts taken in the current stage
extern int32_t TotalHearts;     // hearts of the finished stages of this run
