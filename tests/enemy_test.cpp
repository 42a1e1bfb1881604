// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The enemy table: placement from the map, the stage-start reset, the small enemies' behaviour,
// the enemies' shots, the chasers' crowding, hearts, traps, hits and the drawing.
#include "stage_fixture.h"

#include <cmath>
#include <tuple>

namespace {

class Enemies : public StageWithSounds {};

TEST_F(Enemies, TheMapPlacesEachObjectInScanOrderAndLeavesLaterSlotsAlone) {
    // The spider first in scan order; a turn marker (-5) is no object.
    SetCells(
        {{2, 12, -7}, {3, 14, -8}, {6, 10, -6}, {3, 5, -1}, {6, 3, -2}, {5, 6, -4}, {6, 11, -5}});
    EnemySlot[1].hp = 77;
    EnemySlot[3].active = 1;
    PlaceStageObjects();
    const int kinds[3] = {Spider, Chaser, Rat};
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(EnemySlot[slot].kind, kinds[slot]);
        EXPECT_EQ(EnemySlot[slot].dir, -1);
    }
    EXPECT_EQ(std::tuple(EnemySlot[0].x, EnemySlot[0].y), std::tuple(720.0, 120.0));
    EXPECT_EQ(EnemySlot[0].airborne, 1) << "a spider settles from its cell";
    EXPECT_EQ(EnemySlot[1].hp, 77) << "hit points are only a boss's";
    EXPECT_EQ(EnemySlot[3].active, 1) << "slots beyond the map's count keep their contents";
    EXPECT_EQ(std::tuple(HeartSlot[0].kind, HeartSlot[1].kind, HeartSlot[1].x),
              std::tuple(1, 2, 180.0));
    EXPECT_EQ(std::tuple(TrapSlot[0].kind, TrapSlot[1].active), std::tuple(2, 0));

    // A map with more objects than the tables hold fills each table and stops at its end.
    for (int column = 0; column < MapColumns; ++column) {
        SetCell(0, column, -1);
        SetCell(1, column, -4);
        SetCell(2, column, -6);
    }
    PlaceStageObjects();
    EXPECT_EQ(HeartSlot[HeartSlotCount - 1].x, 60 * (HeartSlotCount - 1));
    EXPECT_EQ(TrapSlot[TrapSlotCount - 1].x, 60 * (TrapSlotCount - 1));
    EXPECT_EQ(EnemySlot[EnemySlotCount - 1].x, 60 * (EnemySlotCount - 1));
}

TEST_F(Enemies, AStageStartResetsThePlayerTheClockAndTheCameraAndAContinueKeepsArenaHearts) {
    Become(Ball, 5000, 100);
    PlayerState.dead = 1;
    FreeItem.y = 960;
    ScrollX = 4000;
    TimeLeft = 3;
    StageHearts = 4;
    SparkleRing = 7;
    EnemyShot[2].active = PlayerShot[9].active = 1;
    StageId = 5;
    PlaceStageObjects();
    const PlayerStateRecord& p = PlayerState;
    EXPECT_EQ(std::tuple(p.posX, p.kind, p.PlayerLife, p.ItemLife, p.dead),
              std::tuple(180.0, int{Ghost}, 200, 0, 0));
    EXPECT_EQ(std::tuple(FreeItem.kind, FreeItem.y), std::tuple(int{Bear}, -120.0));
    EXPECT_EQ(std::tuple(ScrollX, TimeLeft, StageHearts, SparkleRing), std::tuple(0.0, 180, 0, 0));
    EXPECT_EQ(EnemyShot[2].active + PlayerShot[9].active, 0);
    EXPECT_EQ(StageBanner.active, 1);
    EXPECT_EQ(Fog.shown1, 1) << "the EX field is foggy";

    StageHearts = 4;
    ScrollLocked = 1;
    StagePhase = 1;
    StageBanner = {};
    PlaceStageObjects();
    EXPECT_EQ(StageHearts, 4) << "inside the arena";
    EXPECT_EQ(StageBanner.active, 0) << "the story brings its own banner";
}

TEST_F(Enemies, ARatTurnsAtALedgeAWallAndTheStageEnds) {
    for (int column = 10; column < 20; ++column) {
        SetCell(7, column, 0); // a hole from x 600
    }
    SetCell(6, 5, 4); // a block at x 300..359
    struct Case {
        double x;
        int dir;
        double turnedX; // after the step that turns it
        const char* what;
    };
    for (const Case& c :
         {Case{483, 1, 487, "the turning step still takes its pixel over the edge"},
          Case{300 - 115 - 2, 1, 184, "two pixels on, turned by the wall, one back"},
          Case{0, -1, 3, "turned at the stage's left edge"},
          Case{12480 - 120, 1, 12480 - 123, "at the right end, no wall ahead"}}) {
        SCOPED_TRACE(c.what);
        EnemySlotRecord& rat = Put(0, Rat, c.x, 360, c.dir);
        Step();
        EXPECT_EQ(rat.dir, -c.dir);
        EXPECT_EQ(rat.x, c.turnedX);
        Step();
        EXPECT_EQ(rat.x, c.turnedX - 4 * c.dir) << "4 pixels a frame on its way back";
    }
}

TEST_F(Enemies, ASpiderSettlesOnTheFloorAndFiresEvery92FramesWhileThePlayerIsNear) {
    SetCell(2, 10, -7);
    PlaceStageObjects();
    EnemySlotRecord& spider = EnemySlot[0];
    Step(60);
    EXPECT_EQ(spider.airborne, 0);
    EXPECT_EQ(spider.y, 420 - 50) << "its feet on the floor";
    EXPECT_EQ(spider.dir, -1) << "facing the player on its left";

    Clear(EnemyShot);
    spider.cooldown = 0;
    Sounds();
    std::vector<int> fired;
    for (int frame = 1; frame <= 300; ++frame) {
        Step();
        if (Sounds() == std::vector<std::string>{"wav_spider.wav"}) {
            fired.push_back(frame);
        }
        if (frame == 91) {
            ASSERT_EQ(ActiveShots(), 1);
            EXPECT_EQ(EnemyShot[0].dir, -1);
            EXPECT_EQ(EnemyShot[0].x, 600 - 4) << "fired from its left edge, 4 px flown";
            EXPECT_EQ(EnemyShot[0].y, 370 + 17 + 5);
        }
    }
    EXPECT_EQ(fired, (std::vector<int>{91, 183, 275}));

    // Out of range: the player more than 640 pixels away on the side it faces.
    PlayerState.posX = 1400;
    spider.cooldown = 0;
    Clear(EnemyShot);
    Step(200);
    EXPECT_EQ(ActiveShots(), 0);
    EXPECT_EQ(spider.dir, 1);
}

TEST_F(Enemies, AChaserClosesInDiagonallyOnlyWithinRange) {
    PlayerState.posX = 1000; // centre 1090
    EnemySlotRecord& edge = Put(0, Chaser, 1090 - 320, 300, 1);
    edge.crowded = 1; // horizontal movement only
    Step();
    EXPECT_EQ(edge.x, 770) << "at exactly 320 from the centre it waits";
    edge.x = 771;
    Step();
    EXPECT_EQ(edge.x, 774);

    PlayerState.posX = 700;
    PlayerState.posY = 0;
    EnemySlotRecord& chaser = Put(1, Chaser, 900, 300, -1);
    EnemySlotRecord& far = Put(2, Chaser, 1200, 300, -1);
    Step();
    EXPECT_EQ(std::tuple(chaser.x, chaser.y), std::tuple(897.0, 297.0)) << "up and left together";
    Step(9);
    EXPECT_EQ(std::tuple(far.x, far.y), std::tuple(1200.0, 300.0));
}

TEST_F(Enemies, AHitRatRisesPushedAwayFadesAndIsFreed) {
    EnemySlotRecord& rat = Put(0, Rat, 600, 360, -1);
    rat.hit = 1;
    rat.vy = -5;
    rat.airborne = 1;
    rat.knockDir = -1; // struck by a player facing right
    Step(10);
    EXPECT_EQ(rat.x, 640) << "4 pixels in each of the 10 rising frames";
    EXPECT_EQ(rat.y, 360 - 27.5);
    EXPECT_EQ(rat.dying, 1);
    Step();
    EXPECT_EQ(rat.x, 640) << "no push once it stops rising";
    Step(49);
    EXPECT_EQ(std::tuple(rat.active, rat.alpha), std::tuple(1, 0));
    Step();
    EXPECT_EQ(rat.active, 0) << "freed 61 frames after the hit";
    EXPECT_EQ(std::tuple(rat.hit, rat.dying), std::tuple(0, 1));
}

TEST_F(Enemies, AnEnemyLostInAHoleFallsOnCheaply) {
    SetCells({{7, 10, 0}, {7, 11, 0}});
    EnemySlotRecord& rat = Put(0, Rat, 600, 300, -1);
    rat.airborne = 1;
    rat.vy = 1;
    rat.active = 0; // a freed enemy keeps falling
    Step(20000);
    EXPECT_EQ(rat.airborne, 1);
    EXPECT_GT(rat.vy, 9999);
    // From y 300 the half-pixel steps of 20000 frames add up to 0.5 x (2 + 4 + ... ) exactly.
    double y = 300, vy = 1;
    for (int frame = 0; frame < 20000; ++frame) {
        y += 0.5 * std::ceil(vy / 0.5);
        vy += 0.5;
    }
    EXPECT_EQ(rat.y, y);
}

TEST_F(Enemies, StraightShotsEndOnWallsOrAfterTheirRangeAimedShotsOnlyBelowTheScreen) {
    SetCell(6, 9, 4); // a block at x 540..599
    ShotRecord& walled = EnemyShot[0];
    walled = {1, 520, 380, 0, 0, 4.0, 0, 0, 1, 15, 15, 0, 1};
    Step();
    EXPECT_EQ(walled.x, 524);
    Step();
    EXPECT_EQ(walled.active, 0) << "its front reached the block";
    EXPECT_EQ(walled.x, 525);

    ShotRecord& open = EnemyShot[1];
    open = {1, 2000, 380, 0, 0, 4.0, 0, 0, -1, 15, 15, 0, 1};
    Step(250);
    EXPECT_EQ(open.active, 1);
    Step();
    EXPECT_EQ(open.active, 0) << "about 1000 pixels of range";
    EXPECT_EQ(open.x, 2000 - 1001);

    ShotRecord& down = EnemyShot[2];
    down = {1, 500, 595, 0, 0, 2.0, 0, 2, 0, 120, 120, 0, 2};
    Step();
    EXPECT_EQ(down.active, 1);
    Step();
    EXPECT_EQ(down.active, 0);

    ShotRecord& through = EnemyShot[3];
    through = {1, 400, 330, 0, 0, 2.0, 2, -0.01, 0, 120, 120, 0, 2};
    ScrollX = 100;
    Step(1000);
    EXPECT_EQ(through.active, 1) << "walls stop nothing, and rising it never ends";
    EXPECT_DOUBLE_EQ(through.x, 4400);
    EXPECT_DOUBLE_EQ(through.screenX, 4300);
}

TEST_F(Enemies, ChasersAreCrowdedByLowerSlotsAndPushedBackForEachOverlap) {
    Put(0, Rat, 500, 300, -1);                            // body 505..590, 305..360
    EnemySlotRecord& first = Put(1, Chaser, 520, 300, 1); // overlaps the rat
    EnemySlotRecord& second = Put(2, Chaser, 575, 340, -1);
    EnemySlotRecord& alone = Put(3, Chaser, 900, 300, 1);
    alone.crowded = 1;
    UpdateChaserCrowding();
    EXPECT_EQ(first.crowded, 1);
    EXPECT_EQ(first.x, 517) << "pushed back against its way";
    EXPECT_EQ(second.x, 578) << "pushed by the rat";
    EXPECT_EQ(second.crowded, 0) << "what counts is the slot just below";
    EXPECT_EQ(std::tuple(alone.crowded, alone.x), std::tuple(0, 900.0));
}

// A freed slot used to crowd a chaser beside it: pushed back as far as it flew, it stood still.
TEST_F(Enemies, AChaserBesideAFreedSlotClosesInADyingOneStillCrowds) {
    // The player up and to the left, well within range.
    PlayerState.posX = 400;
    PlayerState.posY = 0;
    EnemySlotRecord& dead = Put(0, Chaser, 600, 300, -1);
    dead.hit = 1;
    dead.dying = 1;
    Step(61); // the killed bat fades and its slot is freed where it died
    ASSERT_EQ(dead.active, 0);
    EnemySlotRecord& chaser = Put(1, Chaser, 610, 300, -1); // its body inside the freed one's
    auto frame = [] {
        UpdateEnemies();
        RefreshEnemyKindParams();
        UpdateChaserCrowding();
    };
    for (int i = 0; i < 20; ++i) {
        frame();
    }
    EXPECT_EQ(chaser.crowded, 0);
    EXPECT_EQ(std::tuple(chaser.x, chaser.y), std::tuple(550.0, 240.0))
        << "3 px a frame, nothing pushed back";

    // While the killed enemy is still fading, its slot is live and keeps crowding.
    EnemySlotRecord& fading = Put(2, Rat, 640, 340, -1);
    fading.hit = 1;
    fading.dying = 1;
    EnemySlotRecord& near = Put(3, Chaser, 660, 340, -1);
    frame();
    ASSERT_EQ(near.crowded, 1);
    const auto held = std::tuple(near.x, near.y);
    frame();
    EXPECT_EQ(near.crowded, 1);
    EXPECT_EQ(std::tuple(near.x, near.y), held) << "three steps on, pushed three back";
}

TEST_F(Enemies, AHeartRestoresItsGaugeUpTo200AndCountsAndThreeFillTheSparkleRingOnceRound) {
    // The ghost's body: x 220..320, y 185..350.
    PlayerState.PlayerLife = 180;
    HeartSlot[0] = {1, 260, 200, 1, 0, 0};
    HeartSlot[1] = {1, 320, 200, 1, 0, 0}; // touching the body's right edge only: not taken
    CollectHearts();
    EXPECT_EQ(PlayerState.PlayerLife, 200);
    EXPECT_EQ(std::tuple(HeartSlot[0].active, HeartSlot[1].active), std::tuple(0, 1));
    EXPECT_EQ(std::tuple(Score, StageHearts), std::tuple(500, 1));
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_get.wav"});
    EXPECT_EQ(PlayerState.PossessFlash, 0) << "a ghost has no item to light up";

    HeartSlot[2] = {1, 200, 300, 2, 0, 0};
    CollectHearts();
    EXPECT_EQ(PlayerState.ItemLife, 50) << "a blue heart fills the item gauge even for a ghost";

    Become(Bear, 600, 300);
    PlayerState.hurt = 1;
    PlayerState.ItemLife = 190;
    HeartSlot[3] = {1, 600, 300, 2, 0, 0};
    CollectHearts();
    EXPECT_EQ(std::tuple(PlayerState.ItemLife, PlayerState.PossessFlash), std::tuple(200, 1));
    EXPECT_EQ(PlayerState.hurt, 0) << "a heart ends the hurt time";

    // Ten sparkles a heart, in the heart's colour: the ring is full.
    for (int i = 0; i < SparkleCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Sparkle[i].active, 1);
        EXPECT_EQ(Sparkle[i].frameX, i >= 10 ? 20 : 0);
        EXPECT_EQ(Sparkle[i].visible, 0);
        EXPECT_LT(Sparkle[i].counter, 60);
    }
    EXPECT_EQ(std::tuple(SparkleRing, StageHearts), std::tuple(0, 3));

    // With every sparkle still rising the next heart starts none but is taken all the same.
    HeartSlot[4] = {1, 600, 300, 1, 0, 0};
    CollectHearts();
    EXPECT_EQ(std::tuple(HeartSlot[4].active, SparkleRing, StageHearts), std::tuple(0, 0, 4));
}

TEST_F(Enemies, MovingTrapsTurnAtWallsFixedTrapsMarkersAndTheLeftEdge) {
    // A wall at x 180..239, a fixed trap at x 600..659, a marker at x 1200..1259.
    SetCells({{6, 3, 4}, {6, 10, -3}, {6, 20, -5}});
    struct Case {
        double x;
        int dir, kind, updates;
        double wantX;
        int wantDir;
        const char* what;
    };
    for (const Case& c : {Case{242, -1, 2, 2, 238, 1, "its edge two pixels into the wall"},
                          Case{242, -1, 2, 3, 240, 1, "and away from it"},
                          Case{539, 1, 2, 1, 541, 1, "up to the fixed trap"},
                          Case{539, 1, 2, 2, 540, -1, "turned by the fixed trap ahead"},
                          Case{1139, 1, 2, 1, 1141, -1, "turned once its edge is on the marker"},
                          Case{1, -1, 2, 1, 0, 1, "turned at the left edge"},
                          Case{3000, -1, 1, 1, 3000, -1, "a fixed trap stays"}}) {
        SCOPED_TRACE(c.what);
        TrapSlot[0] = {1, c.x, 360, 2.0, c.dir, c.kind};
        for (int i = 0; i < c.updates; ++i) {
            UpdateTraps();
        }
        EXPECT_EQ(TrapSlot[0].x, c.wantX);
        EXPECT_EQ(TrapSlot[0].dir, c.wantDir);
    }
}

TEST_F(Enemies, ABallStrikingTwoEnemiesPaysForEachAndKnocksThemAway) {
    Become(Ball, 600, 360); // attack box 596..664, 356..424
    PlayerState.attackTimer = 3;
    EnemySlotRecord& a = Put(0, Rat, 560, 360);
    EnemySlotRecord& b = Put(1, Rat, 600, 360);
    EnemySlotRecord& away = Put(2, Rat, 900, 360);
    HitEnemies();
    EXPECT_EQ(std::tuple(PlayerState.ItemLife, PlayerState.GreenGauge, Score),
              std::tuple(90, 10.0, 200));
    EXPECT_EQ(PlayerState.knockDir, 1);
    for (const EnemySlotRecord* e : {&a, &b}) {
        EXPECT_EQ(std::tuple(e->hit, e->vy, e->airborne, e->hp, e->attackGauge),
                  std::tuple(1, -5.0, 1, 80, 1.0));
        EXPECT_EQ(e->knockDir, -1) << "pushed away from the ball";
    }
    EXPECT_EQ(away.hit, 0);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"wav_hit.wav", "wav_hit.wav"}));

    HitEnemies();
    EXPECT_EQ(Score, 200) << "an enemy reeling from a hit cannot be hit again";

    // In the stage frame the hit scores at once and the enemy starts dying from the next frame.
    Become(Ball, 600, 360);
    PlayerState.attackTimer = 1;
    EnemySlotRecord& rat = Put(3, Rat, 600, 360, 1);
    Frame();
    EXPECT_EQ(std::tuple(rat.hit, rat.dying, Score), std::tuple(1, 0, 300));
    Frame();
    EXPECT_EQ(rat.dying, 1);
}

TEST_F(Enemies, EachItemStrikesOnlyWhileItsAttackIsLive) {
    EnemySlotRecord& dog = Put(0, BossDog, 560, 220); // body 580..720, 300..390
    Become(Bear, 540, 300);                           // paw 580..640, 350..370
    PlayerState.attackTimer = 5;
    HitEnemies();
    EXPECT_EQ(dog.hit, 0) << "the bear's blow lands from its 6th frame";
    PlayerState.attackTimer = 6;
    PlayerState.specialTimer = 8;
    HitEnemies();
    EXPECT_EQ(dog.hp, 100 - 10 - 80) << "attack and special damage together";

    dog = Put(0, BossDog, 560, 220);
    Become(Hopping, 600, 200); // foot 625..635, 310..340
    PlayerState.airborne = 1;
    PlayerState.velY = -2;
    HitEnemies();
    EXPECT_EQ(dog.hit, 0) << "no stomp while rising";
    PlayerState.velY = 0;
    HitEnemies();
    EXPECT_EQ(dog.hp, 90);

    dog = Put(0, BossDog, 560, 220);
    Become(Gun, 600, 320);
    PlayerState.attackTimer = 4;
    HitEnemies();
    EXPECT_EQ(dog.hit, 0) << "the gun has no blow";

    Become(Ball, 600, 320);
    PlayerState.attackTimer = 4;
    dog.attackTimer = 3;
    HitEnemies();
    EXPECT_EQ(dog.hit, 0) << "an attacking enemy cannot be struck";
    PlayerShot[0] = {1, 600, 330, 0, 0, 8.0, 0, 0, 1, 10, 10, 0, 1};
    HitEnemies();
    EXPECT_EQ(dog.hit, 1) << "but it can be shot";
    EXPECT_EQ(dog.hp, 80) << "the ball's attack damage for a small shot";
    EXPECT_EQ(std::tuple(PlayerShot[0].active, dog.knockDir), std::tuple(0, -1.0));
}

TEST_F(Enemies, ALargeShotStrikesEveryEnemyInARowOnceAndFliesOn) {
    Become(Gun, 100, 320);
    PlayerShot[0] = {1, 600, 330, 0, 0, 14.0, 0, 0, -1, 15, 15, 0, 2};
    PlayerShot[1] = {1, 610, 330, 0, 0, 8.0, 0, 0, -1, 10, 10, 0, 1};
    for (int slot = 0; slot < 3; ++slot) {
        Put(slot, Chaser, 580 + 10 * slot, 300);
    }
    HitEnemies();
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(EnemySlot[slot].hit, 1);
        EXPECT_EQ(EnemySlot[slot].hp, 20) << "the special damage, once";
        EXPECT_EQ(EnemySlot[slot].knockDir, 1) << "pushed along the shot's way";
    }
    EXPECT_EQ(PlayerShot[0].active, 1);
    EXPECT_EQ(PlayerShot[1].active, 1) << "the small shot found no enemy left to hit";
    EXPECT_EQ(std::tuple(Score, PlayerState.GreenGauge), std::tuple(300, 15.0));
}

// A sheet whose pixels name their cell (red the column, green the row) and the half of the cell
// they lie in (blue 100 left, 200 right).
uint32_t CellColour(int column, int row, int half) {
    return static_cast<uint32_t>(column * 25) << 16 | static_cast<uint32_t>(row * 60) << 8 |
           static_cast<uint32_t>(half * 100);
}

TEST_F(Enemies, AreDrawnFromTheCellOfTheirStateAndABossFlashesAndLeavesAfterimages) {
    auto sheet = [this](int width, int height, int cellWidth, int cellHeight) {
        return Picture(width, height, [=](int x, int y) {
            const int half = x % cellWidth < cellWidth / 2 ? 1 : 2;
            return 0xFF000000u | CellColour(x / cellWidth, y / cellHeight, half);
        });
    };
    auto drawn = [] {
        ClearScreen();
        DrawEnemies();
        return Pixel(110, 110);
    };
    PngEnemy1 = sheet(480, 120, 120, 60);
    EnemySlotRecord& rat = Put(0, Rat, 100, 100, -1);
    rat.screenX = 100.9;
    rat.anim = 7;
    EXPECT_EQ(drawn(), CellColour(1, 0, 1)) << "column anim / 5, facing left as drawn";
    rat.dir = 1;
    EXPECT_EQ(drawn(), CellColour(1, 0, 2)) << "mirrored when facing right";
    rat.dying = 1;
    rat.deathTimer = 40;
    EXPECT_EQ(drawn(), CellColour(3, 1, 2)) << "the second dying cell";
    rat.hit = 1;
    rat.alpha = 90;
    EXPECT_NEAR(static_cast<int>(drawn() >> 16), 75 * 90 / 255, 2) << "see-through";

    PngEnemyB1 = sheet(2000, 400, 200, 200);
    EnemySlotRecord& dog = Put(0, BossDog, 100, 100, -1);
    dog.screenX = 100;
    dog.attackTimer = 3;
    dog.flash = 2;
    dog.afterimages = 1;
    EnemyAfterimage[0][1] = {1, 400, 300, 400};
    EXPECT_EQ(drawn(), CellColour(5, 1, 1)) << "attack cell 0 of row 1, from the flash copy";
    const uint32_t image = Pixel(410, 310);
    EXPECT_EQ(image >> 16, 0u) << "the afterimage shows the plain attack cell";
    EXPECT_NEAR(static_cast<int>(image >> 8 & 0xFF), 60 * 180 / 255, 2) << "translucent";
}

} // namespace
