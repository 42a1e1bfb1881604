#include "stage/player.h"

PlayerStateRecord PlayerState = {};
FreeItemRecord FreeItem = {};
