// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The bosses' own rules, called by the enemy update at its steps for one slot at a time.
#pragma once

#include "enemy/enemies.h"

// One movement step of a boss (run speed times per frame).
void MoveBossOneStep(EnemySlotRecord& e);
// After the movement steps: the phantom's teleport at the end of its cycle.
void MoveBossAfterSteps(EnemySlotRecord& e);
// The phantom's and the final boss's fading in and out.
void FadeBoss(EnemySlotRecord& e);
// Charging the attack gauge and deciding the next attack (or the final boss's special).
void DecideBossAttack(EnemySlotRecord& e);
// The boss-specific part of an attack's first frame.
void StartBossAttack(EnemySlotRecord& e);
// One frame of a running attack (the timer has been counted on), and its end.
void ProgressBossAttack(EnemySlotRecord& e);
// The final boss's special: the vanishing, the two large aimed shots, the return.
void UpdateFinalSpecial(EnemySlotRecord& e);
// EX arena: the phantom and the final boss wait off screen while the dog or the diver lives.
void HoldSecondPair();
// A dying boss's fog fade and, once its slot is freed, what ends the arena.
void ApplyBossDeathRules(const EnemySlotRecord& e);
