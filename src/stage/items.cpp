// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "stage/items.h"

#include "stage/player.h"

void ApplyItemGeometry() {
    PlayerStateRecord& p = PlayerState;
    switch (p.kind) {
    case Ghost:
        p.width = p.height = 180;
        p.BodyBox = {40, 5, 140, 170};
        p.stepsPerFrame = 4.0;
        break;
    case Bear:
        p.width = p.height = 120;
        p.BodyBox = {40, 0, 80, 120};
        // The paw reaches 20 pixels past the body on the side the bear faces.
        p.AttackBox = p.facing == 1 ? Box{40, 50, 100, 70} : Box{20, 50, 80, 70};
        p.attackDamage = 10;
        p.specialDamage = 80;
        break;
    case Ball:
        p.width = p.height = 60;
        p.BodyBox = {5, 0, 55, 60};
        p.AttackBox = {-4, -4, 64, 64};
        p.attackDamage = 20;
        p.specialDamage = 80;
        break;
    case Hopping:
        p.width = 60;
        p.height = 120;
        p.BodyBox = {25, 0, 35, 120};
        p.AttackBox = {25, 110, 35, 140}; // under its foot: the stomp
        p.attackDamage = 10;
        break;
    case Book:
        p.width = p.height = 60;
        p.BodyBox = {10, 10, 50, 50};
        p.AttackBox = {6, 6, 54, 54};
        p.attackDamage = 20;
        break;
    case Gun:
        p.width = p.height = 60;
        p.BodyBox = {5, 25, 55, 45};
        p.AttackBox = {5, 25, 55, 45};
        p.attackDamage = 30;
        p.specialDamage = 80;
        break;
    default:
        break; // the walking heroine of the prologue keeps her own
    }
}
