// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The heroine: possession and leaving, movement and jumps, attacks, specials, shots, damage,
// death, and how she is drawn.
#include "game/assets.h"
#include "game/run.h"
#include "stage_fixture.h"

#include <string>
#include <vector>

namespace {

class Player : public StageFrame {
  protected:
    void SetUp() override {
        StageFrame::SetUp();
        test::WriteCatalogueSounds(dir_.path());
        LoadAllSounds();
    }
    // A bear standing on the ground at x 600.
    void StandingBear() {
        PlayerState.hurt = PlayerState.hurtTimer = PlayerState.airborne = 0;
        PlayerState.velY = 0;
        Possess(Bear, 120, {40, 0, 80, 120});
        PlayerState.posX = 600;
        PlayerState.posY = 420 - 120;
        PlayerState.screenX = 600;
        ApplyItemGeometry();
    }
    void Press(int scanCode, int frames = 1) {
        HeadlessSetKey(scanCode, true);
        Frame(frames);
        HeadlessSetKey(scanCode, false);
    }
    std::string LastSound() {
        const std::vector<std::string> sounds = Sounds();
        return sounds.empty() ? "" : sounds.back();
    }
    static constexpr int KeyZ = 0x2C, KeyX = 0x2D, KeyC = 0x2E, KeyUp = 0xC8, KeyLeft = 0xCB,
                         KeyRight = 0xCD;
};

TEST_F(Player, TheGhostPossessesAFallingItemAndLeavesItAgainAfterTenFrames) {
    FreeItem = {};
    FreeItem.kind = Gun;
    FreeItem.x = 200;
    FreeItem.y = -120;
    FreeItem.velY = 1;
    FreeItem.inStage = FreeItem.falling = FreeItem.possessable = 1;
    FreeItem.width = FreeItem.height = 60;
    FreeItem.box = {0, 25, 60, 45};
    PlayerState.posY = -100;
    Frame(3);
    Press(KeyC);
    EXPECT_EQ(PlayerState.kind, Gun) << "caught in the air";
    EXPECT_EQ(PlayerState.ItemLife, 50);
    EXPECT_EQ(FreeItem.inStage, 0);
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
    EXPECT_EQ(PlayerState.kind, Ghost);
    EXPECT_EQ(PlayerState.ItemLife, 0);
    EXPECT_EQ(FreeItem.possessable, 0);
    EXPECT_EQ(FreeItem.velY, -7) << "thrown off: it jumps up, then falls through the floor";
    Frame(200);
    EXPECT_EQ(FreeItem.y, 960) << "it stops below the stage, ready to be called again";
}

TEST_F(Player, PossessingAddsToTheItemGaugeUpTo200) {
    FreeItem = {};
    FreeItem.kind = Bear;
    FreeItem.x = 180;
    FreeItem.y = 300;
    FreeItem.inStage = FreeItem.possessable = 1;
    FreeItem.box = {40, 0, 80, 120};
    PlayerState.ItemLife = 150; // F6 as a ghost
    PlayerState.posY = 250;
    Press(KeyC);
    EXPECT_EQ(PlayerState.kind, Bear);
    EXPECT_EQ(PlayerState.ItemLife, 200);
    EXPECT_EQ(LastSound(), "wav_get.wav");
}

TEST_F(Player, JumpsRiseByTheirFixedHeights) {
    for (const auto& [kind, width, height, body, rise] :
         {std::tuple{Bear, 120, 120, Box{40, 0, 80, 120}, 126.5},
          std::tuple{Hopping, 60, 120, Box{25, 0, 35, 120}, 264.0}}) {
        Possess(kind, width, body);
        PlayerState.height = height;
        PlayerState.posX = 600;
        PlayerState.posY = 420 - height;
        PlayerState.airborne = 0;
        ApplyItemGeometry();
        HeadlessSetKey(KeyUp, true);
        Frame();
        HeadlessSetKey(KeyUp, false);
        double top = PlayerState.posY;
        for (int i = 0; i < 120 && PlayerState.airborne != 0; ++i) {
            Frame();
            top = std::min(top, PlayerState.posY);
        }
        EXPECT_EQ(420 - height - top, rise) << kind;
        EXPECT_EQ(PlayerState.airborne, 0) << "landed again";
        EXPECT_EQ(PlayerState.posY, 420 - height);
        EXPECT_EQ(LastSound(), "wav_chakuti.wav");
    }
}

TEST_F(Player, TheBookFlapsOncePerPressAtFiveLifeAFlap) {
    Possess(Book, 60, {10, 10, 50, 50});
    PlayerState.posX = 600;
    PlayerState.posY = 420 - 60;
    ApplyItemGeometry();
    HeadlessSetKey(KeyUp, true);
    Frame(10);
    EXPECT_EQ(PlayerState.ItemLife, 195) << "holding up flaps once";
    HeadlessSetKey(KeyUp, false);
    Frame();
    Press(KeyUp);
    EXPECT_EQ(PlayerState.ItemLife, 190) << "and again in mid-air";
    EXPECT_EQ(PlayerState.velY, -10.5);
}

TEST_F(Player, WalkingOffALedgeFallsIntoTheHole) {
    StandingBear();
    SetCell(7, 11, 0); // a hole in front
    SetCell(7, 12, 0);
    HeadlessSetKey(KeyRight, true);
    Frame(20);
    HeadlessSetKey(KeyRight, false);
    EXPECT_EQ(PlayerState.airborne, 1);
    Frame(120);
    EXPECT_GE(PlayerState.posY, 960) << "fell into the hole";
    EXPECT_EQ(PlayerState.dead, 1);
}

TEST_F(Player, AKnockedBackItemIsPushedTwentyFramesThenStandsThenAnswers) {
    StandingBear();
    PlayerState.hurt = 1;
    PlayerState.hurtTimer = 0;
    PlayerState.knockDir = -1; // pushed right
    HeadlessSetKey(KeyLeft, true);
    std::vector<double> moved;
    for (int frame = 0; frame < 23; ++frame) {
        const double before = PlayerState.posX;
        Frame();
        moved.push_back(PlayerState.posX - before);
    }
    HeadlessSetKey(KeyLeft, false);
    for (int frame = 0; frame < 20; ++frame) {
        EXPECT_EQ(moved[frame], 4) << frame;
    }
    EXPECT_EQ(moved[20], 0) << "the 21st frame stands still";
    EXPECT_EQ(moved[21], -4) << "the pad answers from the 22nd";
    EXPECT_EQ(PlayerState.facing, -1);
}

TEST_F(Player, TheBallsDashCoversTwoHundredNinetyTwoPixels) {
    Possess(Ball, 60, {5, 0, 55, 60});
    PlayerState.posX = 100;
    PlayerState.posY = 420 - 60;
    PlayerState.screenX = 100;
    ApplyItemGeometry();
    const double start = PlayerState.posX;
    Press(KeyZ);
    EXPECT_EQ(PlayerState.attackTimer, 1);
    Frame(19);
    EXPECT_EQ(PlayerState.attackTimer, 0);
    EXPECT_EQ(PlayerState.posX - start, 292) << "4 px, then 16 px on each of 18 frames";
    EXPECT_EQ(PlayerState.stepsPerFrame, 4);
}

TEST_F(Player, SpecialsNeedAFullGaugeAndNoRunningAttack) {
    StandingBear();
    PlayerState.GreenGauge = 99;
    Press(KeyZ);
    EXPECT_EQ(PlayerState.GreenGauge, 100) << "an attack start fills the last point";
    Press(KeyX);
    EXPECT_EQ(PlayerState.specialTimer, 0) << "not during an attack";
    Frame(20);
    Sounds();
    Press(KeyX);
    EXPECT_EQ(PlayerState.specialTimer, 1);
    EXPECT_EQ(PlayerState.specialActive, 1);
    EXPECT_EQ(PlayerState.GreenGauge, 0);
    EXPECT_EQ(PlayerState.PossessFlash, 2) << "started and counted on in the same frame";
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_atc2.wav"});
    Press(KeyZ);
    EXPECT_EQ(PlayerState.attackTimer, 0) << "no attack during a special";
}

TEST_F(Player, TheGunFiresWhileASlotIsFreeAndShotsEndOnWalls) {
    Possess(Gun, 60, {5, 25, 55, 45});
    PlayerState.posX = 600;
    PlayerState.posY = 420 - 60;
    ApplyItemGeometry();
    for (int i = 0; i < 10; ++i) {
        PlayerShot[i].active = 1;
        PlayerShot[i].x = -5000; // far away, flying left until their range ends
        PlayerShot[i].dir = -1;
    }
    Press(KeyZ);
    EXPECT_EQ(PlayerState.ItemLife, 200) << "no free slot: nothing fired, nothing paid";
    Frame(20);
    for (ShotRecord& shot : PlayerShot) {
        shot = {};
    }
    SetCell(6, 14, 4); // a wall 240 px to the right of the muzzle
    Press(KeyZ);
    EXPECT_EQ(PlayerState.ItemLife, 198);
    ASSERT_EQ(PlayerShot[0].active, 1);
    EXPECT_EQ(PlayerShot[0].x, 645 + 8) << "fired at the body's right edge, one frame flown";
    EXPECT_EQ(PlayerState.posY, 420 - 45) << "the gun rests on the bottom of its body";
    EXPECT_EQ(PlayerShot[0].y, 400) << "level with the top of the body";
    int frames = 1;
    while (PlayerShot[0].active != 0 && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(PlayerShot[0].x + 10, 14 * 60) << "stopped at the wall";
}

TEST_F(Player, EnemiesTrapsAndFloorsHurtTheItemOnlyWhenItCanBeHurt) {
    StandingBear();
    auto rat = [](int slot, double x) {
        EnemySlotRecord& e = EnemySlot[slot];
        e = {};
        e.active = 1;
        e.kind = Rat;
        e.x = x;
        e.y = 360;
        e.dir = -1;
        e.bodyLeft = 10;
        e.bodyTop = 10;
        e.bodyRight = 110;
        e.bodyBottom = 60;
        e.touchDamage = 20;
    };
    rat(0, 560);
    rat(1, 590);
    Frame();
    EXPECT_EQ(PlayerState.ItemLife, 160) << "two enemies touched in one frame both hurt";
    EXPECT_EQ(PlayerState.hurt, 1);
    EXPECT_EQ(PlayerState.knockDir, 1);
    Frame(10);
    EXPECT_EQ(PlayerState.ItemLife, 160) << "safe while hurt";

    // The phantom touched at anim 5 does no harm but still pushes.
    StandingBear();
    EnemySlot[1].active = 0;
    EnemySlot[0].kind = BossPhantom;
    EnemySlot[0].anim = 5;
    EnemySlot[0].dir = 1;
    EnemySlot[0].x = PlayerState.posX - 40;
    EnemySlot[0].y = 360;
    DamagePlayer();
    EXPECT_EQ(PlayerState.ItemLife, 200);
    EXPECT_EQ(PlayerState.knockDir, -1);
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
    EXPECT_EQ(PlayerState.kind, Ghost);
    EXPECT_EQ(FreeItem.possessable, 0);
}

TEST_F(Player, ADeathThrowsTheItemOffAndLeadsToTheContinueScreenAfter61Frames) {
    StandingBear();
    PlayerState.GreenGauge = 60;
    TimeLeft = 0;
    GameMode = ModeStage;
    int frames = 0;
    while (GameMode == ModeStage && frames < 200) {
        Frame();
        ++frames;
        if (frames == 2) {
            EXPECT_EQ(PlayerState.kind, Ghost);
            EXPECT_EQ(PlayerState.GreenGauge, 0);
            EXPECT_EQ(FreeItem.possessable, 0);
        }
    }
    EXPECT_EQ(frames, 62) << "the death frame, then 61 frames";
    EXPECT_EQ(GameMode, ModeContinue);
}

TEST_F(Player, TheGhostStaysOnTheScreen) {
    HeadlessSetKey(KeyLeft, true);
    HeadlessSetKey(KeyUp, true);
    Frame(200);
    EXPECT_GE(PlayerState.posX, -64);
    EXPECT_GE(PlayerState.posY, -64);
    HeadlessReleaseAllKeys();
    HeadlessSetKey(KeyRight, true);
    HeadlessSetKey(0xD0, true);
    Frame(400);
    HeadlessReleaseAllKeys();
    EXPECT_LE(PlayerState.posX, 524);
    EXPECT_LE(PlayerState.posY, 364);
    EXPECT_EQ(ScrollX, 0) << "the ghost never moves the camera";
}

TEST_F(Player, TheItemIsDrawnFromItsAnimationCell) {
    // A bear sheet whose every 120 x 120 cell has its own colour: cell column in red, row in
    // green, highlighted copy in blue.
    std::vector<uint32_t> sheet(1200 * 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 1200; ++x) {
            sheet[y * 1200 + x] =
                0xFF000000u | static_cast<uint32_t>((x % 600) / 120 << 16 | y / 120 << 8 | x / 600);
        }
    }
    ASSERT_TRUE(test::WritePng(dir_.file("kuma.png"), 1200, 480, sheet));
    PngItemBear = LoadImageFile("kuma.png", 0);
    StandingBear();
    PlayerState.screenX = 100;
    PlayerState.attackTimer = 15;
    PlayerState.PossessFlash = 3;
    DrawPlayer();
    EXPECT_EQ(GetBackBuffer()[(300 + 60) * 640 + 160], 0x030101u) << "row h, column 3w, lit";
    PlayerState.PossessFlash = 0;
    PlayerState.attackTimer = 0;
    PlayerState.walkCounter = 55; // step 5 of the walk: column 3
    DrawPlayer();
    EXPECT_EQ(GetBackBuffer()[(300 + 60) * 640 + 160], 0x030000u);

    // A hurt item shows through at the ghost's alpha.
    SetBlendMode(0, 0);
    DrawRectangle(0, 0, 640, 480, 0x000000, 1);
    PlayerState.hurt = 1;
    PlayerState.walkCounter = 0;
    DrawPlayer();
    EXPECT_EQ(GetBackBuffer()[(300 + 60) * 640 + 160], 0u) << "column 0, row 0 is black";
    PlayerState.walkCounter = 25; // column 2: red 2 at alpha 180
    DrawPlayer();
    EXPECT_EQ(GetBackBuffer()[(300 + 60) * 640 + 160] >> 16, 1u);
}

} // namespace
