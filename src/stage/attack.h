// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

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
// 1 while a hit waits to be applied.
extern int32_t HitPending;

// Z starts the item's attack, X its special when the green gauge is full; both run their timers.
void UpdateAttackAndSpecial();
// Every flying shot of the player, a pixel at a time, until a wall or its range ends it.
void MovePlayerShots();
// Damage from enemies, their shots, damaging floor and traps to the possessed item, and the loss
// of an item whose life runs out.
void DamagePlayer();
// Applies pendingDamage: the item hops, is knocked back and is safe for 60 frames.
void ApplyDamage();
// Starts up to ten sparkles that rise from the heroine (0 red, 20 blue, 40 the book's colour).
void StartSparkles(int frameX);
