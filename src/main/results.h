// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The result, continue and ending-roll screens. The score counters live in game/run.h.
#pragma once

#include <cstdint>

// What the result screen shows: Score, TimeLeft and ClearBonusCount as of this frame's update.
extern int32_t ShownScore;
extern int32_t ShownTime;
extern int32_t ShownBonusCount;

// Screen y of the top of the ending picture: 480 down to -2880.
extern int32_t RollY;
constexpr int32_t RollEndY = -2880;

// ModeStageResult: tallies the stage; button 1 starts the next stage with the total as its score.
void ResultUpdate();
// ModeStageResult: the result picture and the four lines of the tally.
void ResultDraw();
// ModeContinue: keeps the stage moving behind the question (or the game over picture) and takes
// the answer.
void ContinueFrame();
// ModeEndingRoll: scrolls the ending picture, then on button 1 saves and returns to the title.
void EndingRollUpdate();
// ModeEndingRoll: the ending picture and, once it stands still, the score and high score.
void EndingRollDraw();
