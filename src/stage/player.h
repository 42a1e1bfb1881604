// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The heroine: the ghost, the item she possesses, and the item lying or falling in the stage.
#pragma once

#include <cstdint>

enum ItemKindValue {
    Walker = -1, // the walking heroine of the prologue scene
    Ghost = 0,
    Bear = 1,
    Ball = 2,
    Hopping = 3,
    Book = 4,
    Gun = 5,
};

struct Box {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct PlayerStateRecord {
    double posX, posY;    // world position of the sprite's top-left
    double screenX;       // posX - ScrollX, refreshed once per frame
    double velY;          // pixels per frame, negative = up
    double stepsPerFrame; // horizontal 1-pixel steps per frame
    int32_t facing;       // +1 right, -1 left
    double knockDir;      // while hurt: -1 pushes the item right, +1 left
    int32_t airborne;
    int32_t airCounter;
    int32_t hurtTimer;
    int32_t hurt;
    int32_t deathTimer;
    int32_t dead;
    int32_t walkCounter;
    int32_t PlayerLife; // red gauge 0..200
    int32_t ItemLife;   // blue gauge 0..200 (can fall below 0)
    double GreenGauge;  // special gauge 0..100
    int32_t movedThisFrame;
    int32_t kind; // ItemKindValue
    int32_t pendingDamage;
    int32_t PossessFlash;
    int32_t specialActive;
    int32_t trailCounter;
    int32_t ghostAlpha;
    int32_t width, height;
    Box BodyBox;
    Box AttackBox;
    int32_t attackTimer, specialTimer;
    int32_t attackDamage, specialDamage;
};

struct FreeItemRecord {
    double x;
    double screenX;
    double y;
    double velY;
    int32_t inStage; // 1 lying, falling or thrown off; 0 possessed
    int32_t falling;
    int32_t cycleCounter;
    int32_t kind; // 1..5; while the item is gone, the next kind to come
    int32_t facing;
    int32_t possessable; // 0: thrown off, falls through everything
    int32_t width, height;
    Box box;
};

extern PlayerStateRecord PlayerState;
extern FreeItemRecord FreeItem;

// Where the after-images of a special were sampled.
struct AfterimageRecord {
    int32_t active;
    double x, y;
    double screenX;
};
extern AfterimageRecord PlayerAfterimage[4];

// The possessed item, the death sequence, the player's shots and the ghost, each frame.
void UpdatePlayer();
// The ghost's movement and the free item; also run behind the continue prompt.
void UpdateGhost();
// The heroine, the possessed item and its after-images, and the player's shots.
void DrawPlayer();
// The item leaves the heroine: it jumps up and falls out of the stage; she is a ghost again.
void ThrowItemOff();
