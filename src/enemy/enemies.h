// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The enemy table: a hundred slots for the enemies and bosses placed from the stage map.
#pragma once

#include "stage/attack.h"
#include "stage/player.h"

#include <cstdint>

enum EnemyKindValue {
    Rat = 1,
    Spider = 2,
    Chaser = 3,
    BossDog = 11,
    BossDiver = 12,
    BossPhantom = 13,
    BossFinal = 14,
};

struct EnemySlotRecord {
    int32_t active;
    double x, y; // world position of the sprite's top-left
    double screenX;
    double vy;
    double speed; // 1-pixel steps per frame
    int32_t dir;  // +1 right, -1 left
    double knockDir;
    int32_t airborne;
    int32_t hitTimer;
    int32_t hit;
    int32_t deathTimer;
    int32_t dying;
    int32_t anim;
    int32_t hp;
    double attackGauge;
    int32_t kind; // EnemyKindValue
    int32_t flash;
    int32_t afterimages;
    int32_t trailTimer;
    int32_t alpha;
    int32_t width, height;
    int32_t bodyLeft, bodyTop, bodyRight, bodyBottom;
    int32_t atkLeft, atkTop, atkRight, atkBottom;
    int32_t attackTimer;
    int32_t specialTimer;
    int32_t touchDamage;
    int32_t attackDamage;
    int32_t cooldown;
    int32_t attackRequest;
    int32_t specialRequest;
    int32_t crowded;
};

constexpr int EnemySlotCount = 100;
extern EnemySlotRecord EnemySlot[EnemySlotCount];

// Where each enemy was a few frames ago, drawn behind a boss during its attacks.
constexpr int EnemyAfterimageCount = 4;
extern AfterimageRecord EnemyAfterimage[EnemySlotCount][EnemyAfterimageCount];

// Places every enemy, heart and trap of the stage from its map markers, and resets the stage.
void PlaceStageObjects();
// Places the boss (or, in the EX arena, the four bosses) from the arena map.
void PlaceBosses();
// Walking, falling, attacking, shooting, dying: every enemy, once per frame.
void UpdateEnemies();
// Sizes, boxes, speeds and damage of every enemy from its kind.
void RefreshEnemyKindParams();
// Every enemy, its after-images and the enemies' shots.
void DrawEnemies();

// The enemies' shots: straight ones of the spiders, large aimed ones of the final boss.
constexpr int EnemyShotCount = 10;
extern ShotRecord EnemyShot[EnemyShotCount];
// Marks every Chaser that overlaps another enemy; run at the end of DamagePlayer.
void UpdateChaserCrowding();
