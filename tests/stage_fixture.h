// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// A plain stage for the tests of the stage frame, the player and the enemies: ground all along
// row 7, the heroine at her start, the engine running headless in a scratch folder.
#pragma once

#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/loop.h"
#include "stage/attack.h"
#include "stage/items.h"
#include "stage/map.h"
#include "stage/overlays.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

inline void SetCell(int row, int column, int32_t value) {
    StageMap[row * MapColumns + column] = value;
}
// Sets each {row, column, value}.
inline void SetCells(std::initializer_list<std::array<int32_t, 3>> cells) {
    for (const auto& [row, column, value] : cells) {
        SetCell(row, column, value);
    }
}

// Empties a table of plain records.
template <typename Table>
void Clear(Table& table) {
    std::memset(&table, 0, sizeof table);
}

class StageFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
        InitGameGlobals();
        ASSERT_EQ(EngineInit(), 0);
        StageId = 1;
        StagePhase = 0;
        std::fill(std::begin(StageMap), std::end(StageMap), 0);
        for (int column = 0; column < MapColumns; ++column) {
            SetCell(7, column, 2);
        }
        PlayerState = {};
        PlayerState.posX = PlayerState.posY = 180;
        PlayerState.stepsPerFrame = 4;
        PlayerState.facing = 1;
        PlayerState.PlayerLife = 200;
        PlayerState.ghostAlpha = 180;
        FreeItem = {};
        FreeItem.kind = FreeItem.inStage = 1;
        FreeItem.y = 300;
        TimeLeft = 180;
        FrameTick = 0;
        ScrollX = NearLayerX = FarLayerX = 0;
        ScrollLocked = ArenaTransition = FunctionKeyLatch = 0;
        TransitionX = 640;
        Continues = 2;
        Clear(EnemySlot);
        Clear(TrapSlot);
        Clear(PlayerShot);
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
    // Runs frames until done() holds (at most limit of them) and gives how many it ran.
    template <typename Done>
    int FramesUntil(Done done, int limit = 5000) {
        int frames = 0;
        for (; !done() && frames < limit; ++frames) {
            Frame();
        }
        return frames;
    }
    // Holds a key down for some frames, then lets it go.
    void Press(int scanCode, int frames = 1) {
        HeadlessSetKey(scanCode, true);
        Frame(frames);
        HeadlessSetKey(scanCode, false);
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
    // A picture of colour(x, y), written to the scratch folder and loaded.
    template <typename Colour>
    int Picture(int width, int height, Colour colour) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
            }
        }
        const std::string name = "picture" + std::to_string(pictures_++) + ".png";
        EXPECT_TRUE(test::WritePng(dir_.file(name), width, height, pixels));
        return LoadImageFile(name.c_str(), 0);
    }
    static uint32_t Pixel(int x, int y) {
        return GetBackBuffer()[y * 640 + x] & 0xFFFFFF;
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
    int pictures_ = 0;
};

// The plain stage with the catalogue's sounds loaded and the enemies' tables and the score empty.
class StageWithSounds : public StageFrame {
  protected:
    void SetUp() override {
        StageFrame::SetUp();
        test::WriteCatalogueSounds(dir_.path());
        LoadAllSounds();
        Clear(EnemyShot);
        Clear(HeartSlot);
        Clear(Sparkle);
        Clear(EnemyAfterimage);
        SparkleRing = Score = StageHearts = 0;
        Sounds();
    }
    // A fresh enemy of this kind in a slot, with its kind's sizes and boxes.
    EnemySlotRecord& Put(int slot, int kind, double x, double y, int dir = -1) {
        EnemySlotRecord& e = EnemySlot[slot];
        e = {};
        e.active = 1;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.dir = dir;
        e.alpha = 180;
        e.hp = 100;
        RefreshEnemyKindParams();
        return e;
    }
    // The heroine possessing an item of this kind at (x, y), facing right, not attacking.
    void Become(int kind, double x, double y) {
        PlayerState.kind = kind;
        PlayerState.posX = x;
        PlayerState.posY = y;
        PlayerState.facing = 1;
        PlayerState.ItemLife = 100;
        PlayerState.GreenGauge = 0;
        PlayerState.attackTimer = PlayerState.specialTimer = 0;
        PlayerState.hurt = PlayerState.airborne = 0;
        ApplyItemGeometry();
    }
    // One enemy frame as the stage runs it: the update, then the boxes for the new facing.
    void Step(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            UpdateEnemies();
            RefreshEnemyKindParams();
        }
    }
};
