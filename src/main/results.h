// Score bookkeeping between stages, and the result, continue and ending-roll screens.
#pragma once

#include <cstdint>

extern int32_t Score;           // the running score of this run
extern int32_t TotalScore;      // Score + 10 x TimeLeft + 5000 x (ClearBonusCount + 1)
extern int32_t Continues;       // continues left, shown in the HUD
extern int32_t ClearBonusCount; // lowered by each continue used
extern int32_t StageHearts;     // hearts taken in the current stage
extern int32_t TotalHearts;     // hearts of the finished stages of this run
