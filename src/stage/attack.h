// Attacks, specials, the player's shots and the damage the possessed item takes.
#pragma once

#include <cstdint>

// A shot in flight; the enemies' shots use the same record.
struct ShotRecord {
    int32_t active;
    double x, y; // world top-left
    double screenX;
    double distance; // aimed shots: distance to the player when fired
    double speed;    // 1-pixel steps per frame
    double vx, vy;   // aimed shots: the step vector
    int32_t dir;     // straight shots: +1 right, -1 left
    int32_t width, height;
    int32_t age;      // steps flown
    int32_t shotKind; // 1 small / straight, 2 large / aimed
};

constexpr int PlayerShotCount = 10;
extern ShotRecord PlayerShot[PlayerShotCount];

// Damage from enemies, their shots, damaging floor and traps to the possessed item.
void DamagePlayer();
