// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// A plain stage for the tests of the stage frame and the player: ground all along row 7, the
// heroine at her start, the engine running headless in a scratch folder.
#pragma once

#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/loop.h"
#include "stage/attack.h"
#include "stage/items.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

inline void SetCell(int row, int column, int32_t value) {
    StageMap[row * MapColumns + column] = value;
}

class StageFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
        InitGameGlobals();
        ASSERT_EQ(EngineInit(), 0);
        // A plain stage: ground all along row 7.
        StageId = 1;
        StagePhase = 0;
        std::fill(std::begin(StageMap), std::end(StageMap), 0);
        for (int column = 0; column < MapColumns; ++column) {
            SetCell(7, column, 2);
        }
        PlayerState = {};
        PlayerState.posX = 180;
        PlayerState.posY = 180;
        PlayerState.PlayerLife = 200;
        FreeItem = {};
        FreeItem.kind = 1;
        FreeItem.y = 300;
        FreeItem.inStage = 1;
        TimeLeft = 180;
        FrameTick = 0;
        ScrollX = NearLayerX = FarLayerX = 0;
        ScrollLocked = ArenaTransition = FunctionKeyLatch = 0;
        TransitionX = 640;
        Continues = 2;
        for (EnemySlotRecord& enemy : EnemySlot) {
            enemy = {};
        }
        for (TrapSlotRecord& trap : TrapSlot) {
            trap = {};
        }
        for (ShotRecord& shot : PlayerShot) {
            shot = {};
        }
        PlayerState.ghostAlpha = 180;
        PlayerState.stepsPerFrame = 4;
        PlayerState.facing = 1;
        ApplyItemGeometry();
    }
    void TearDown() override {
        EngineShutdown();
        HeadlessReleaseAllKeys();
    }
    // One frame as the main loop runs it, input first.
    void Frame(int count = 1) {
        for (int i = 0; i < count; ++i) {
            ReadButtons();
            UpdateStageFrame();
        }
    }
    // Possessing an item of this size and body box.
    void Possess(int kind, int width, Box body) {
        PlayerState.kind = kind;
        PlayerState.ItemLife = 200;
        PlayerState.width = width;
        PlayerState.BodyBox = body;
    }
    // The sounds started since the last call, by file name.
    static std::vector<std::string> Sounds() {
        const char* names[64];
        const int count = TakeStartedSounds(names, 64);
        return std::vector<std::string>(names, names + count);
    }
    static int ActiveShots() {
        return static_cast<int>(std::count_if(std::begin(EnemyShot), std::end(EnemyShot),
                                              [](const ShotRecord& s) { return s.active == 1; }));
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};
