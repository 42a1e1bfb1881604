// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "game/run.h"

int32_t GameMode = ModeLogo;
int32_t StageId = 1;
int32_t StagePhase = 1;
int32_t MusicSelect = 0;

int32_t Score = 0;
int32_t TotalScore = 0;
int32_t Continues = 2;
int32_t ClearBonusCount = 2;
int32_t StageHearts = 0;
int32_t TotalHearts = 0;
