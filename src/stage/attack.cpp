#include "stage/attack.h"

ShotRecord PlayerShot[PlayerShotCount] = {};

// Damage arrives with the player issue; until then nothing hurts.
void DamagePlayer() {}
