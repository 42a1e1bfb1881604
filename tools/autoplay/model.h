// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The autoplayer's own model of the possessed item moving over the stage map: the same steps and
// probes as the game, run on private copies, so the player can look ahead without touching the
// game's state. Enemies are not modelled; fixed and moving traps and damaging floor are.
#pragma once

#include "stage/player.h"

#include <vector>

struct ModelBody {
    double x = 0.0, y = 0.0; // top-left, world pixels
    double velY = 0.0;
    bool airborne = false;
    int kind = 0;
    int height = 0;
    Box box{};
};

// Where the camera lets the item go: the arena (and the locked end of a field) keeps it on screen.
struct ModelLimits {
    bool locked = false;
    double scrollX = 0.0;
};

// One frame of the item: horizontal pixel steps toward dir (-1, 0, +1), then the jump, rise, fall
// or ledge test. Up is the held bit.
void ModelStep(ModelBody& body, int dir, bool up, const ModelLimits& limits);

// Where every moving trap will be in each of the next frames, predicted from the copies.
class TrapForecast {
  public:
    // Reads the trap table as it is now and runs its shuttle rule ahead for frames frames.
    void Build(int frames);
    // True when the item's body touches a trap (fixed or moving) frame t frames from now, or stands
    // on damaging floor.
    bool Hurts(const ModelBody& body, int t) const;

  private:
    struct Spot {
        double x, y;
    };
    std::vector<Spot> fixed_;
    std::vector<std::vector<Spot>> moving_; // [frame][trap]
};

// The body is below the bottom of the map with nothing left to land on.
bool ModelLost(const ModelBody& body);
