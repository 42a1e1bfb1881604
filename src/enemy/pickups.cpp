#include "enemy/pickups.h"

HeartSlotRecord HeartSlot[HeartSlotCount] = {};
TrapSlotRecord TrapSlot[TrapSlotCount] = {};
SparkleRecord Sparkle[SparkleCount] = {};
int32_t SparkleRing = 0;

// Traps, hearts and hits arrive with the enemy issue.
void UpdateTraps() {}

void CollectHearts() {}

void HitEnemies() {}
