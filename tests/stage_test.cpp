// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The stage map lookups and the stage frame: clock, deaths, the item call, the camera, the wipe
// into the arena and the function keys.
#include "data/levels.h"
#include "game/engine_names.h"
#include "stage_fixture.h"

#include <filesystem>
#include <tuple>

namespace {

bool MapIs(int source) {
    return std::equal(std::begin(StageMap), std::end(StageMap), StageMapSource[source]);
}

TEST(StageMapLookup, ReadsTheGridByTruncatedPixelPositionAndLoadsTheStagesTable) {
    std::fill(std::begin(StageMap), std::end(StageMap), 0);
    SetCells(
        {{7, 0, 2}, {0, 0, 4}, {3, 19, -1}, {4, 19, -3}, {5, 19, -5}, {6, 19, -8}, {7, 207, 3}});
    EXPECT_EQ(TileAt(10, 479.9), 2) << "row 7";
    EXPECT_EQ(TileAt(10, 480), 0) << "below the map is open";
    EXPECT_EQ(TileAt(10, -0.5), 0) << "above the map is open";
    EXPECT_EQ(TileAt(10, 0), 4);
    EXPECT_EQ(TileAt(-30, 0), 4) << "x -30 truncates to column 0";
    EXPECT_EQ(TileAt(-60, 0), 0);
    EXPECT_EQ(TileAt(19 * 60 + 5, 3 * 60 + 5), 0) << "a heart is no obstacle";
    EXPECT_EQ(TileAt(19 * 60 + 5, 4 * 60 + 5), -3);
    EXPECT_EQ(TileAt(19 * 60 + 5, 5 * 60 + 5), -5);
    EXPECT_EQ(TileAt(19 * 60 + 5, 6 * 60 + 5), 0) << "enemy markers read as air";
    EXPECT_EQ(TileAt(12479, 470), 3);
    EXPECT_EQ(TileAt(12480, 470), 0) << "past the end of the map";
    EXPECT_EQ(TileAt(1e12, 470), 0);

    StageId = 21;
    LoadStageMap();
    EXPECT_TRUE(MapIs(6));
    StageId = 3;
    LoadStageMap();
    EXPECT_TRUE(MapIs(2));
    SetCell(0, 0, 77);
    StageId = 0;
    LoadStageMap();
    EXPECT_EQ(StageMap[0], 77) << "a StageId without a table keeps the grid";
}

TEST_F(StageFrame, AGhostOnAFullGaugeLastsTwentySeconds) {
    EXPECT_EQ(FramesUntil([] { return PlayerState.dead != 0; }), 20 * 60);
    EXPECT_EQ(std::tuple(PlayerState.PlayerLife, TimeLeft), std::tuple(0, 160));
}

TEST_F(StageFrame, TheClockStopsForTheDeadButKeepsTicking) {
    Possess(Bear, 120, {40, 0, 80, 120});
    Frame(59);
    EXPECT_EQ(TimeLeft, 180);
    Frame();
    EXPECT_EQ(TimeLeft, 179);
    EXPECT_EQ(PlayerState.PlayerLife, 200) << "a possessed item does not drain the heroine";
    PlayerState.dead = 1;
    Frame(120);
    EXPECT_EQ(std::tuple(TimeLeft, FrameTick), std::tuple(179, 0));
}

TEST_F(StageFrame, TimeAFallOrAnEmptyGaugeEndTheRun) {
    Possess(Bear, 120, {40, 0, 80, 120});
    TimeLeft = 1;
    Frame(59);
    EXPECT_EQ(PlayerState.dead, 0);
    Frame();
    EXPECT_EQ(PlayerState.dead, 1) << "time up";

    PlayerState.dead = 0;
    TimeLeft = 100;
    PlayerState.posY = 959.9;
    Frame();
    EXPECT_EQ(PlayerState.dead, 0);
    PlayerState.posY = 960;
    Frame();
    EXPECT_EQ(PlayerState.dead, 1) << "fell into a hole";

    PlayerState.dead = 0;
    PlayerState.posY = 180;
    PlayerState.PlayerLife = 0;
    Frame();
    EXPECT_EQ(PlayerState.dead, 1) << "no life left";
}

TEST_F(StageFrame, TheNextItemCyclesWhileNoneIsInTheStageAndButtonADropsIt) {
    Press(0x1E); // A, held
    EXPECT_EQ(FreeItem.y, 300) << "A does nothing while the item lies in the stage";
    Frame(10);
    EXPECT_EQ(FreeItem.kind, 1) << "nothing cycles while the item lies in the stage";
    FreeItem.y = 960;
    std::vector<int> kinds;
    for (int i = 0; i < 30; ++i) {
        Frame();
        kinds.push_back(FreeItem.kind);
    }
    EXPECT_EQ(std::tuple(kinds[3], kinds[4]), std::tuple(1, 2)) << "every fifth frame";
    EXPECT_EQ(kinds[19], 5);
    EXPECT_EQ(kinds[24], 1) << "after the gun comes the bear";
    Press(KeyDigit1 + 2, 12); // 3: the pogo stick, held
    EXPECT_EQ(FreeItem.kind, 3);
    HeadlessSetKey(KeyDigit1 + 3, true); // 4 and 5 held together: the last tested wins
    Press(KeyDigit1 + 4);
    HeadlessReleaseAllKeys();
    EXPECT_EQ(FreeItem.kind, 5);

    FreeItem.x = 5000; // where it left the stage, right of the middle
    FreeItem.kind = 3;
    FreeItem.cycleCounter = 0;
    HeadlessSetKey(0x1E, true);
    Frame();
    EXPECT_EQ(std::tuple(FreeItem.y, FreeItem.velY, FreeItem.possessable),
              std::tuple(-120., 1., 1));
    EXPECT_EQ(std::tuple(FreeItem.width, FreeItem.height, FreeItem.box.left, FreeItem.box.right),
              std::tuple(60, 120, 25, 35));
    EXPECT_EQ(FreeItem.x, 5000) << "it comes back where it left";
    EXPECT_EQ(FreeItem.screenX, 290);
    Frame();
    EXPECT_EQ(FreeItem.y, -120) << "holding A drops one item only";

    // In the arena it always falls in the middle.
    HeadlessReleaseAllKeys();
    Frame();
    StageId = 21;
    FreeItem.y = 960;
    FreeItem.x = 100;
    FreeItem.kind = 1;
    Press(0x1E);
    EXPECT_EQ(FreeItem.x, 260);
}

TEST_F(StageFrame, TheCameraFollowsTheMiddleAndAtTheRightEndWipesIntoTheArenaIn34Frames) {
    std::filesystem::create_directory("snd");
    for (const char* name : {"BGM_stage.mp3", "BGM_boss.mp3"}) {
        test::WriteWav(std::string("snd/") + name, 1.0, 200.0);
    }
    LoadAllSounds();
    MusicSelect = 4;
    StartMusic();
    Sounds();
    Possess(Bear, 120, {40, 0, 80, 120});
    PlayerState.screenX = 100;
    ScrollOrMove(+1);
    EXPECT_EQ(PlayerState.posX, 181) << "left of the middle the player walks alone";
    EXPECT_EQ(ScrollX, 0);
    PlayerState.screenX = 260; // 320 - 120 / 2
    ScrollOrMove(+1);
    EXPECT_EQ(std::tuple(ScrollX, NearLayerX, FarLayerX), std::tuple(1.0, 1.0, 0.5));
    ScrollOrMove(-1);
    EXPECT_EQ(ScrollX, 0) << "in the middle band the camera follows both ways";
    ScrollOrMove(-1);
    EXPECT_EQ(std::tuple(ScrollX, PlayerState.posX), std::tuple(0.0, 180.0));
    PlayerState.screenX = -40;
    ScrollOrMove(-1);
    EXPECT_EQ(PlayerState.posX, 180) << "the screen's left edge holds the body box";

    // The right end: the wipe starts when a bear reaches screen x 530.
    ScrollX = ScrollMax;
    PlayerState.screenX = 529;
    ScrollOrMove(+1);
    EXPECT_EQ(std::tuple(ScrollX, ScrollLocked), std::tuple(double{ScrollMax}, 0));
    PlayerState.screenX = 530;
    const double x = PlayerState.posX;
    ScrollOrMove(+1);
    EXPECT_EQ(std::tuple(ScrollLocked, ArenaTransition), std::tuple(1, 1));
    EXPECT_EQ(PlayerState.posX, x) << "the step that starts the wipe does not move";
    PlayerState.screenX = 559;
    ScrollOrMove(+1);
    EXPECT_EQ(PlayerState.posX, x + 1) << "and then it may walk on to 560";
    PlayerState.screenX = 560;
    ScrollOrMove(+1);
    EXPECT_EQ(PlayerState.posX, x + 1);

    // The wipe: 34 frames to the arena, 34 more back out of black.
    EnemySlot[7].active = 1;
    PlayerState.posX = 12000;
    EXPECT_EQ(FramesUntil([] { return StageId != 1; }), 34);
    EXPECT_EQ(std::tuple(StageId, TransitionX, MusicSelect), std::tuple(11, -40.0, 5));
    EXPECT_EQ(IsSoundBufferPlaying(BgmStage, 0), 0);
    EXPECT_EQ(Sounds(), std::vector<std::string>{"BGM_boss.mp3"});
    EXPECT_EQ(EnemySlot[7].active, 0);
    EXPECT_TRUE(MapIs(6));
    PlayerState.posX = 50;
    Frame();
    EXPECT_EQ(std::tuple(PlayerState.posX, PlayerState.posY), std::tuple(0.0, 300.0))
        << "pinned at the arena's start during the wipe";
    EXPECT_TRUE(Sounds().empty()) << "the boss music starts once";
    EXPECT_EQ(1 + FramesUntil([] { return ArenaTransition != 1; }), 34);
    EXPECT_EQ(std::tuple(TimeLeft, ScrollLocked), std::tuple(180, 1));

    // The EX stage's arena is silent.
    StageId = 5;
    TransitionX = 640;
    ArenaTransition = 1;
    Frame(34);
    EXPECT_EQ(std::tuple(StageId, MusicSelect), std::tuple(51, 7));
}

TEST_F(StageFrame, FunctionKeysActOncePerPressInTheirOrder) {
    Possess(Bear, 120, {40, 0, 80, 120});
    PlayerState.PlayerLife = PlayerState.ItemLife = 50;
    HeadlessSetKey(KeyF6, true); // F5 and F6 together: only F5, once
    HeadlessSetKey(KeyF5, true);
    Frame();
    EXPECT_EQ(std::tuple(PlayerState.PlayerLife, PlayerState.ItemLife), std::tuple(200, 50));
    PlayerState.PlayerLife = 10;
    Frame(5);
    EXPECT_EQ(PlayerState.PlayerLife, 10) << "held keys act once";
    HeadlessReleaseAllKeys();
    Frame();
    Press(KeyF6);
    EXPECT_EQ(PlayerState.ItemLife, 200);
    Frame();
    Press(KeyF7);
    EXPECT_EQ(Continues, 7);
    Frame();

    EnemySlot[0].active = 1;
    EnemySlot[0].hp = 40;
    Press(KeyF9); // before the arena: nothing
    EXPECT_EQ(EnemySlot[0].dying, 0);
    Frame();
    Press(KeyF8); // to the arena, the free item thrown off
    EXPECT_EQ(std::tuple(ScrollLocked, ArenaTransition), std::tuple(1, 1));
    EXPECT_EQ(std::tuple(FreeItem.possessable, FreeItem.velY), std::tuple(0, -7.0));
    Frame();
    const double transition = TransitionX;
    Press(KeyF8);
    EXPECT_EQ(TransitionX, transition - 20) << "a second F8 starts nothing new";
    Frame();
    EnemySlot[3].active = 1;
    EnemySlot[3].hp = 120;
    Press(KeyF9);
    EXPECT_EQ(std::tuple(EnemySlot[3].hp, EnemySlot[3].dying), std::tuple(0, 1));

    StageId = 6; // no function keys in the tutorial
    PlayerState.PlayerLife = 10;
    Press(KeyF5);
    EXPECT_EQ(PlayerState.PlayerLife, 10);
}

} // namespace
