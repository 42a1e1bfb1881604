// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The heroine: possession and leaving, movement and jumps, attacks, specials, shots, damage,
// death, and how she is drawn.
#include "stage_fixture.h"

#include <tuple>

namespace {

class Player : public StageWithSounds {
  protected:
    // An item of this kind with a full gauge, standing unhurt on the ground at x.
    void Stand(int kind, double x = 600) {
        PlayerState.kind = kind;
        PlayerState.ItemLife = 200;
        ApplyItemGeometry();
        PlayerState.posX = PlayerState.screenX = x;
        PlayerState.posY = 420 - PlayerState.height;
        PlayerState.hurt = PlayerState.hurtTimer = PlayerState.airborne = 0;
        PlayerState.velY = 0;
    }
    std::string LastSound() {
        const std::vector<std::string> sounds = Sounds();
        return sounds.empty() ? "" : sounds.back();
    }
    static constexpr int KeyZ = 0x2C, KeyX = 0x2D, KeyC = 0x2E, KeyUp = 0xC8, KeyLeft = 0xCB,
                         KeyRight = 0xCD, KeyDown = 0xD0;
};

TEST_F(Player, TheGhostPossessesAFallingItemAndLeavesItAgainAfterTenFrames) {
    FreeItem = {200, 0, -120, 1, 1, 1, 0, Gun, 0, 1, 60, 60, {0, 25, 60, 45}};
    PlayerState.posY = -100;
    Frame(3);
    Press(KeyC);
    EXPECT_EQ(PlayerState.kind, Gun) << "caught in the air";
    EXPECT_EQ(std::tuple(PlayerState.ItemLife, FreeItem.inStage), std::tuple(50, 0));
    EXPECT_EQ(PlayerState.velY, -11) << "the new body hops up";
    EXPECT_EQ(PlayerState.width, 60) << "the gun's geometry from this frame's end";
    Frame(8);
    EXPECT_EQ(PlayerState.PossessFlash, 9);
    Press(KeyC);
    EXPECT_EQ(PlayerState.kind, Gun) << "a press on the 9th frame after the possession is ignored";
    EXPECT_EQ(PlayerState.PossessFlash, 10);
    Frame();
    EXPECT_EQ(PlayerState.PossessFlash, 0);
    Press(KeyC);
    EXPECT_EQ(std::tuple(PlayerState.kind, PlayerState.ItemLife), std::tuple(int{Ghost}, 0));
    EXPECT_EQ(FreeItem.possessable, 0);
    EXPECT_EQ(FreeItem.velY, -7) << "thrown off: it jumps up, then falls through the floor";
    Frame(200);
    EXPECT_EQ(std::tuple(FreeItem.y, FreeItem.velY), std::tuple(960.0, 0.0))
        << "it stops below the stage, ready to be called again, and gathers no speed there";

    // Possessing adds to the item gauge, up to 200.
    FreeItem = {180, 0, 300, 0, 1, 0, 0, Bear, 0, 1, 0, 0, {40, 0, 80, 120}};
    PlayerState.ItemLife = 150; // F6 as a ghost
    PlayerState.posY = 250;
    Sounds();
    Press(KeyC);
    EXPECT_EQ(std::tuple(PlayerState.kind, PlayerState.ItemLife), std::tuple(int{Bear}, 200));
    EXPECT_EQ(LastSound(), "wav_get.wav");
}

TEST_F(Player, JumpsRiseByTheirFixedHeightsAndTheBookFlapsOncePerPress) {
    for (const auto& [kind, rise] : {std::tuple{Bear, 126.5}, std::tuple{Hopping, 264.0}}) {
        SCOPED_TRACE(kind);
        Stand(kind);
        const double ground = PlayerState.posY;
        Press(KeyUp);
        double top = PlayerState.posY;
        for (int i = 0; i < 120 && PlayerState.airborne != 0; ++i) {
            Frame();
            top = std::min(top, PlayerState.posY);
        }
        EXPECT_EQ(ground - top, rise);
        EXPECT_EQ(std::tuple(PlayerState.airborne, PlayerState.posY), std::tuple(0, ground))
            << "landed again";
        EXPECT_EQ(LastSound(), "wav_chakuti.wav");
    }

    // The book flaps at five life a flap.
    Stand(Book);
    Press(KeyUp, 10);
    EXPECT_EQ(PlayerState.ItemLife, 195) << "holding up flaps once";
    Frame();
    Press(KeyUp);
    EXPECT_EQ(PlayerState.ItemLife, 190) << "and again in mid-air";
    EXPECT_EQ(PlayerState.velY, -10.5);
}

TEST_F(Player, WalkingOffALedgeFallsIntoTheHole) {
    Stand(Bear);
    SetCells({{7, 11, 0}, {7, 12, 0}}); // a hole in front
    Press(KeyRight, 20);
    EXPECT_EQ(PlayerState.airborne, 1);
    Frame(120);
    EXPECT_GE(PlayerState.posY, 960) << "fell into the hole";
    EXPECT_EQ(PlayerState.dead, 1);
}

TEST_F(Player, AKnockedBackItemIsPushedTwentyFramesThenStandsThenAnswers) {
    Stand(Bear);
    PlayerState.hurt = 1;
    PlayerState.knockDir = -1; // pushed right
    HeadlessSetKey(KeyLeft, true);
    for (int frame = 0; frame < 22; ++frame) {
        const double before = PlayerState.posX;
        Frame();
        EXPECT_EQ(PlayerState.posX - before, frame < 20    ? 4
                                             : frame == 20 ? 0
                                                           : -4)
            << frame << ": 20 frames pushed, one standing, then the pad answers";
    }
    EXPECT_EQ(PlayerState.facing, -1);
}

TEST_F(Player, TheBallsDashCoversTwoHundredNinetyTwoPixels) {
    Stand(Ball, 100);
    Press(KeyZ);
    EXPECT_EQ(PlayerState.attackTimer, 1);
    Frame(19);
    EXPECT_EQ(PlayerState.attackTimer, 0);
    EXPECT_EQ(PlayerState.posX - 100, 292) << "4 px, then 16 px on each of 18 frames";
    EXPECT_EQ(PlayerState.stepsPerFrame, 4);
}

TEST_F(Player, SpecialsNeedAFullGaugeAndNoRunningAttack) {
    Stand(Bear);
    PlayerState.GreenGauge = 99;
    Press(KeyZ);
    EXPECT_EQ(PlayerState.GreenGauge, 100) << "an attack start fills the last point";
    Press(KeyX);
    EXPECT_EQ(PlayerState.specialTimer, 0) << "not during an attack";
    Frame(20);
    Sounds();
    Press(KeyX);
    EXPECT_EQ(
        std::tuple(PlayerState.specialTimer, PlayerState.specialActive, PlayerState.GreenGauge),
        std::tuple(1, 1, 0.0));
    EXPECT_EQ(PlayerState.PossessFlash, 2) << "started and counted on in the same frame";
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_atc2.wav"});
    Press(KeyZ);
    EXPECT_EQ(PlayerState.attackTimer, 0) << "no attack during a special";
}

TEST_F(Player, TheGunFiresWhileASlotIsFreeAndShotsEndOnWalls) {
    Stand(Gun);
    for (ShotRecord& shot : PlayerShot) {
        shot.active = 1;
        shot.x = -5000; // far away, flying left until their range ends
        shot.dir = -1;
    }
    Press(KeyZ);
    EXPECT_EQ(PlayerState.ItemLife, 200) << "no free slot: nothing fired, nothing paid";
    Frame(20);
    Clear(PlayerShot);
    SetCell(6, 14, 4); // a wall 240 px to the right of the muzzle
    Press(KeyZ);
    EXPECT_EQ(PlayerState.ItemLife, 198);
    ASSERT_EQ(PlayerShot[0].active, 1);
    EXPECT_EQ(PlayerShot[0].x, 645 + 8) << "fired at the body's right edge, one frame flown";
    EXPECT_EQ(PlayerState.posY, 420 - 45) << "the gun rests on the bottom of its body";
    EXPECT_EQ(PlayerShot[0].y, 400) << "level with the top of the body";
    FramesUntil([] { return PlayerShot[0].active == 0; }, 100);
    EXPECT_EQ(PlayerShot[0].x + 10, 14 * 60) << "stopped at the wall";
}

TEST_F(Player, EnemiesTrapsAndFloorsHurtTheItemOnlyWhenItCanBeHurt) {
    Stand(Bear);
    Put(0, Rat, 560, 360);
    Put(1, Rat, 590, 360);
    Frame();
    EXPECT_EQ(PlayerState.ItemLife, 180) << "two enemies touched in one frame both hurt";
    EXPECT_EQ(std::tuple(PlayerState.hurt, PlayerState.knockDir), std::tuple(1, 1.0));
    Frame(10);
    EXPECT_EQ(PlayerState.ItemLife, 180) << "safe while hurt";

    // The phantom touched at anim 5 does no harm but still pushes.
    Stand(Bear);
    EnemySlot[1].active = 0;
    EnemySlot[0].kind = BossPhantom;
    EnemySlot[0].anim = 5;
    EnemySlot[0].dir = 1;
    EnemySlot[0].x = PlayerState.posX - 40;
    EnemySlot[0].y = 360;
    DamagePlayer();
    EXPECT_EQ(std::tuple(PlayerState.ItemLife, PlayerState.knockDir), std::tuple(200, -1.0));
    EnemySlot[0].active = 0;

    // A trap hurts only inside its 40 x 40 core; damaging floor under the feet hurts too.
    TrapSlot[0] = {1, PlayerState.posX + 70, PlayerState.posY, 0, -1, 1};
    DamagePlayer();
    EXPECT_EQ(PlayerState.ItemLife, 200);
    TrapSlot[0].x -= 1;
    DamagePlayer();
    EXPECT_EQ(PlayerState.ItemLife, 190);
    TrapSlot[0].active = 0;
    PlayerState.hurt = 0;
    SetCell(7, static_cast<int>((PlayerState.posX + 50) / 60), 5);
    DamagePlayer();
    EXPECT_EQ(PlayerState.ItemLife, 180);

    // An item whose life runs out is lost.
    PlayerState.hurt = 0;
    PlayerState.ItemLife = 5;
    DamagePlayer();
    EXPECT_EQ(std::tuple(PlayerState.kind, FreeItem.possessable), std::tuple(int{Ghost}, 0));
}

TEST_F(Player, ADeathThrowsTheItemOffAndLeadsToTheContinueScreenAfter61Frames) {
    Stand(Bear);
    PlayerState.GreenGauge = 60;
    TimeLeft = 0;
    GameMode = ModeStage;
    Frame(2);
    EXPECT_EQ(std::tuple(PlayerState.kind, PlayerState.GreenGauge, FreeItem.possessable),
              std::tuple(int{Ghost}, 0.0, 0));
    EXPECT_EQ(2 + FramesUntil([] { return GameMode != ModeStage; }, 200), 62)
        << "the death frame, then 61 frames";
    EXPECT_EQ(GameMode, ModeContinue);
}

TEST_F(Player, TheGhostStaysOnTheScreen) {
    HeadlessSetKey(KeyLeft, true);
    Press(KeyUp, 200);
    HeadlessReleaseAllKeys();
    EXPECT_GE(PlayerState.posX, -64);
    EXPECT_GE(PlayerState.posY, -64);
    HeadlessSetKey(KeyRight, true);
    Press(KeyDown, 400);
    HeadlessReleaseAllKeys();
    EXPECT_LE(PlayerState.posX, 524);
    EXPECT_LE(PlayerState.posY, 364);
    EXPECT_EQ(ScrollX, 0) << "the ghost never moves the camera";
}

TEST_F(Player, TheItemIsDrawnFromItsAnimationCell) {
    // A bear sheet whose every 120 x 120 cell has its own colour: cell column in red, row in
    // green, highlighted copy in blue.
    PngItemBear = Picture(1200, 480, [](int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>((x % 600) / 120 << 16 | y / 120 << 8 | x / 600);
    });
    Stand(Bear, 100);
    PlayerState.attackTimer = 15;
    PlayerState.PossessFlash = 3;
    DrawPlayer();
    EXPECT_EQ(Pixel(160, 360), 0x030101u) << "row h, column 3w, lit";
    PlayerState.PossessFlash = 0;
    PlayerState.attackTimer = 0;
    PlayerState.walkCounter = 55; // step 5 of the walk: column 3
    DrawPlayer();
    EXPECT_EQ(Pixel(160, 360), 0x030000u);

    // A hurt item shows through at the ghost's alpha.
    SetBlendMode(0, 0);
    DrawRectangle(0, 0, 640, 480, 0x000000, 1);
    PlayerState.hurt = 1;
    PlayerState.walkCounter = 0;
    DrawPlayer();
    EXPECT_EQ(Pixel(160, 360), 0u) << "column 0, row 0 is black";
    PlayerState.walkCounter = 25; // column 2: red 2 at alpha 180
    DrawPlayer();
    EXPECT_EQ(Pixel(160, 360) >> 16, 1u);
}

} // namespace
