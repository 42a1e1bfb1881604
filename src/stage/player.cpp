#include "stage/player.h"

PlayerStateRecord PlayerState = {};
FreeItemRecord FreeItem = {};
AfterimageRecord PlayerAfterimage[4] = {};

// The heroine's movement arrives with the player issue; until then she stands still.
void UpdatePlayer() {}

void UpdateGhost() {}

void DrawPlayer() {}
