#include "main/results.h"

int32_t Score = 0;
int32_t TotalScore = 0;
int32_t Continues = 2;
int32_t ClearBonusCount = 2;
int32_t StageHearts = 0;
int32_t TotalHearts = 0;
