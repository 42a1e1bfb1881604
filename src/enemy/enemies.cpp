#include "enemy/enemies.h"

EnemySlotRecord EnemySlot[EnemySlotCount] = {};

// The enemies arrive with the enemy issue; until then a stage is empty.
void PlaceStageObjects() {}

void PlaceBosses() {}

void UpdateEnemies() {}

void RefreshEnemyKindParams() {}

void DrawEnemies() {}

ShotRecord EnemyShot[EnemyShotCount] = {};

void UpdateChaserCrowding() {}
