#include "enemy/pickups.h"

HeartSlotRecord HeartSlot[HeartSlotCount] = {};
TrapSlotRecord TrapSlot[TrapSlotCount] = {};
