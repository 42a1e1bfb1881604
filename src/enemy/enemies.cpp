#include "enemy/enemies.h"

EnemySlotRecord EnemySlot[EnemySlotCount] = {};
