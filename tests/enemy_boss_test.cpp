// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The four bosses: their placement, a few hundred frames of each, the EX arena's two pairs, and
// how each arena ends.
#include "stage_fixture.h"

#include <algorithm>
#include <tuple>

namespace {

class Bosses : public StageWithSounds {
  protected:
    void SetUp() override {
        StageWithSounds::SetUp();
        // The arena: the floor of row 7 and the four boss markers.
        SetCells({{2, 13, -99}, {2, 14, -99}, {3, 13, -99}, {3, 14, -99}});
        ScrollLocked = 1;
        GameMode = ModeStage;
    }
    EnemySlotRecord& Enter(int arena) {
        StageId = arena;
        PlaceBosses();
        RefreshEnemyKindParams();
        return EnemySlot[0];
    }
    static void Kill(EnemySlotRecord& e) {
        e.hp = 0;
        e.hit = 1;
    }
    static bool Played(const char* sound) {
        const std::vector<std::string> sounds = Sounds();
        return std::find(sounds.begin(), sounds.end(), sound) != sounds.end();
    }
};

TEST_F(Bosses, EachArenaPlacesItsBossAtTheLastMarkerAndTheExArenaAllFour) {
    const int hp[4] = {100, 150, 200, 260};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EnemySlot[0] = {};
        EnemySlot[0].hitTimer = 45; // a continue in the middle of a stun
        EnemySlot[1] = {};
        const EnemySlotRecord& boss = Enter(11 + 10 * i);
        EXPECT_EQ(std::tuple(boss.kind, boss.hp, boss.x, boss.y, boss.dir),
                  std::tuple(BossDog + i, hp[i], 840.0, 180.0, -1));
        EXPECT_EQ(boss.hitTimer, 0) << "a new boss's stun lasts its full length";
        EXPECT_EQ(boss.airborne, i == 0 ? 1 : 0) << "only the dog drops to the floor";
        EXPECT_EQ(EnemySlot[1].active, 0) << "one boss, not four";
    }
    EXPECT_EQ(std::tuple(Fog.shown1, Fog.shown2, Fog.alpha2), std::tuple(1, 1, 150));

    Enter(51);
    for (int slot = 0; slot < 4; ++slot) {
        const EnemySlotRecord& boss = EnemySlot[slot];
        EXPECT_EQ(std::tuple(boss.kind, boss.hp, boss.x, boss.y),
                  std::tuple(BossDog + slot, hp[slot], slot % 2 == 0 ? 780.0 : 840.0,
                             slot < 2 ? 120.0 : 180.0));
    }
}

TEST_F(Bosses, TheDogDropsRunsFromEdgeToEdgeLeapsWhenItsGaugeIsFullAndStandsWhenStunned) {
    EnemySlotRecord& dog = Enter(11);
    Step(30);
    EXPECT_EQ(dog.airborne, 0);
    EXPECT_EQ(dog.y, 250) << "dropped onto the floor";
    EXPECT_EQ(dog.x, 840 - 150) << "5 pixels a frame, falling or not";
    Step(142);
    EXPECT_EQ(dog.x, -20) << "its body's left edge at x 0";
    EXPECT_EQ(dog.dir, -1);
    Step();
    EXPECT_EQ(std::tuple(dog.dir, dog.x), std::tuple(1, -16.0));

    int leapFrame = 0, landFrame = 0;
    double highest = 1000;
    for (int frame = 174; frame <= 420; ++frame) {
        Step();
        if (Played("wav_dog.wav")) {
            leapFrame = frame;
            EXPECT_EQ(dog.afterimages, 1);
        }
        if (leapFrame > 0 && landFrame == 0) {
            highest = std::min(highest, dog.y);
            landFrame = dog.attackTimer == 0 ? frame : 0;
        }
    }
    EXPECT_EQ(leapFrame, 334) << "0.3 a frame fills the gauge";
    EXPECT_EQ(landFrame - leapFrame, 42) << "some 40 frames in the air, landing found a frame late";
    EXPECT_EQ(highest, 250 - 105);
    EXPECT_EQ(std::tuple(dog.afterimages, dog.y), std::tuple(0, 250.0));

    // A stunned boss stands for thirty frames and recovers after sixty.
    dog.hit = 1;
    dog.hp = 50;
    const double x = dog.x;
    Step(31);
    EXPECT_EQ(dog.x, x);
    Step();
    EXPECT_NE(dog.x, x) << "moving again 31 frames into the stun";
    Step(28);
    EXPECT_EQ(dog.hit, 1);
    Step();
    EXPECT_EQ(dog.hit, 0);
}

TEST_F(Bosses, TheDiverSweepsAtRandomHeightsAndDivesOnlyOnScreen) {
    EnemySlotRecord& diver = Enter(21);
    Step(206);
    EXPECT_EQ(std::tuple(diver.x, diver.y), std::tuple(840.0 - 6 * 206, 180.0));
    Step();
    EXPECT_EQ(diver.dir, 1) << "turned 400 pixels off the left edge";
    EXPECT_EQ(diver.x, -399);
    EXPECT_TRUE(diver.y >= 40 && diver.y <= 180) << diver.y;
    for (int frame = 0; frame < 250; ++frame) {
        Step();
        EXPECT_TRUE(diver.x >= -400 && diver.x <= 960) << diver.x;
    }
    EXPECT_EQ(diver.dir, -1) << "and again 320 pixels off the right edge";

    // A full gauge waits until the diver is on screen.
    diver.x = 700;
    diver.y = 180;
    diver.dir = -1;
    diver.attackGauge = 100;
    PlayerState.posX = 500;
    Sounds();
    Step(10);
    EXPECT_EQ(std::tuple(diver.attackTimer, diver.attackGauge), std::tuple(0, 100.0));
    Step();
    EXPECT_EQ(std::tuple(diver.attackTimer, diver.x), std::tuple(1, 634.0));
    EXPECT_EQ(diver.knockDir, 500) << "it dives towards where the player stood";
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_kara.wav"});
    int frames = 0;
    for (; diver.attackTimer > 0 && frames < 200; ++frames) {
        Step();
    }
    EXPECT_LT(frames, 60);
    EXPECT_EQ(diver.y, 300) << "landed on the floor";
    EXPECT_LE(std::abs(diver.x - 500), 8) << "homed on the stored x";
    EXPECT_EQ(diver.afterimages, 0);
    Step(17);
    EXPECT_EQ(diver.y, 200) << "climbed back";
}

TEST_F(Bosses, ThePhantomDriftsFadesAndTeleportsEveryEightyFrames) {
    EnemySlotRecord& phantom = Enter(31);
    for (int frame = 1; frame <= 79; ++frame) {
        Step();
        EXPECT_EQ(phantom.x, 840 - 3 * frame);
    }
    EXPECT_EQ(phantom.alpha, 0) << "faded out over its last ten frames";
    Step();
    EXPECT_EQ(std::tuple(phantom.anim, phantom.alpha), std::tuple(0, 18));
    EXPECT_TRUE(phantom.x >= -60 && phantom.x <= 580 && phantom.y >= -60 && phantom.y <= 420)
        << "reappeared somewhere on screen";
    Step(10);
    EXPECT_EQ(phantom.alpha, 180);

    phantom.x = 400;
    phantom.y = 100;
    phantom.anim = 20;
    phantom.dir = -1;
    PlayerState.posX = 100;
    PlayerState.posY = 300;
    Step();
    EXPECT_EQ(std::tuple(phantom.x, phantom.y), std::tuple(397.0, 103.0))
        << "towards the player on both axes";

    phantom.attackGauge = 99.9;
    Sounds();
    Step();
    EXPECT_EQ(std::tuple(phantom.attackTimer, phantom.afterimages), std::tuple(1, 1));
    EXPECT_TRUE(Sounds().empty()) << "the phantom attacks silently";
    phantom.anim = 78;
    phantom.x = 900;
    Step(2);
    EXPECT_EQ(phantom.anim, 0);
    EXPECT_LE(phantom.x, 580) << "teleported while attacking";
    Step(177);
    EXPECT_EQ(phantom.attackTimer, 180);
    Step();
    EXPECT_EQ(std::tuple(phantom.attackTimer, phantom.afterimages), std::tuple(0, 0));
}

TEST_F(Bosses, TheFinalBossDashesFromBehindThePlayerOnceACycleAndItsSpecialFiresTwoAimedShots) {
    EnemySlotRecord& reaper = Enter(41);
    Step(119);
    EXPECT_EQ(reaper.attackTimer, 0);
    EXPECT_EQ(reaper.alpha, 0) << "faded out at the end of its cycle";
    EXPECT_TRUE(Sounds().empty());
    Step();
    EXPECT_EQ(reaper.attackTimer, 1);
    EXPECT_EQ(reaper.dir, 1) << "facing the way the player faces";
    EXPECT_EQ(reaper.x, 180 + 40 - 400) << "behind the player";
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_atc1.wav"});
    Step(3);
    EXPECT_EQ(reaper.afterimages, 0);
    Step();
    EXPECT_EQ(reaper.afterimages, 1);
    Step(21);
    EXPECT_EQ(std::tuple(reaper.attackTimer, reaper.afterimages), std::tuple(0, 0));
    EXPECT_EQ(reaper.x, -80) << "a dash of 100 pixels";

    // The special: the boss reappears above the player and fires straight down, twice.
    reaper.anim = 50;
    reaper.attackGauge = 99.95;
    PlayerState.posX = 300;
    PlayerState.posY = -10;
    Step();
    EXPECT_EQ(std::tuple(reaper.specialTimer, reaper.x, reaper.y), std::tuple(1, 300.0, -10.0));
    Step(28);
    EXPECT_EQ(ActiveShots(), 0);
    Step();
    ASSERT_EQ(ActiveShots(), 1) << "the first shot at special frame 30";
    const ShotRecord& first = EnemyShot[0];
    EXPECT_EQ(std::tuple(first.shotKind, first.width, first.x, first.vx),
              std::tuple(2, 120, 290.0, 0.0));
    EXPECT_EQ(first.y, 60 + 4) << "straight down at 4 pixels a frame";
    Step(89);
    EXPECT_EQ(std::tuple(ActiveShots(), first.y), std::tuple(1, 64.0 + 4 * 89));
    Step();
    EXPECT_EQ(ActiveShots(), 2) << "the second at special frame 120";
    Step(79);
    EXPECT_EQ(reaper.specialTimer, 199);
    Step();
    EXPECT_EQ(std::tuple(reaper.specialTimer, reaper.x, reaper.y, reaper.anim, reaper.attackGauge),
              std::tuple(0, 600.0, 180.0, 0, 0.0));
    std::vector<std::string> sounds = Sounds();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "wav_death.wav"), 2);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "wav_atc1.wav"), 0)
        << "no attack during the special";

    // Aimed at the player from the boss's corner.
    EnemyShot[0] = EnemyShot[1] = {};
    reaper.specialRequest = 1;
    reaper.anim = 50;
    PlayerState.posX = 300 + 300;
    PlayerState.posY = -10 + 400;
    Step(30);
    EXPECT_DOUBLE_EQ(EnemyShot[0].vx, 1.2);
    EXPECT_DOUBLE_EQ(EnemyShot[0].vy, 1.6);
    EXPECT_DOUBLE_EQ(EnemyShot[0].distance, 500);
}

TEST_F(Bosses, TheExArenaHoldsTheSecondPairUntilTheFirstHasFallen) {
    Enter(51);
    Step(100);
    for (int slot = 2; slot <= 3; ++slot) {
        const EnemySlotRecord& held = EnemySlot[slot];
        EXPECT_EQ(std::tuple(held.x, held.anim, held.attackGauge), std::tuple(1000.0, 0, 0.0));
    }
    EXPECT_NE(EnemySlot[0].x, 780) << "the dog runs meanwhile";
    Kill(EnemySlot[0]);
    Step(70);
    EXPECT_EQ(EnemySlot[0].active, 0);
    EXPECT_EQ(EnemySlot[2].x, 1000) << "still held while the diver lives";
    Kill(EnemySlot[1]);
    Step(61);
    EXPECT_EQ(EnemySlot[1].active, 0);
    Step(10);
    EXPECT_LT(EnemySlot[2].x, 1000) << "the phantom comes";
    EXPECT_EQ(std::tuple(EnemySlot[3].anim, StagePhase), std::tuple(11, 0));
    Kill(EnemySlot[2]);
    Kill(EnemySlot[3]);
    Step(60);
    EXPECT_EQ(StagePhase, 0);
    Step();
    EXPECT_EQ(StagePhase, 1) << "all four fallen: the finale";
    EXPECT_EQ(std::tuple(Fog.shown1, Fog.shown2), std::tuple(0, 0));
}

TEST_F(Bosses, TheFirstThreeArenasEndAtTheRightEdgeTheFourthInTheFinale) {
    EnemySlotRecord& dog = Enter(11);
    Kill(dog);
    Step(61);
    EXPECT_EQ(dog.active, 0);
    EXPECT_EQ(GameMode, ModeStage) << "the player is still on the left";
    PlayerState.screenX = 610 - 140 - 1; // the ghost's body ends 140 pixels in
    Step();
    EXPECT_EQ(GameMode, ModeStage);
    // A dead heroine used to clear the arena behind the continue prompt.
    PlayerState.screenX = 610 - 140;
    PlayerState.dead = 1;
    Step();
    EXPECT_EQ(GameMode, ModeStage) << "not while dead, behind the continue prompt";
    PlayerState.dead = 0;
    Step();
    EXPECT_EQ(GameMode, ModeStageResult);

    GameMode = ModeStage;
    Kill(Enter(21));
    Step(60);
    EXPECT_EQ(GameMode, ModeStage);
    Step();
    EXPECT_EQ(GameMode, ModeStageResult) << "standing at the edge when the fade ends";

    GameMode = ModeStage;
    Kill(Enter(41));
    EXPECT_EQ(Fog.alpha1, 100);
    Step(10);
    EXPECT_EQ(std::tuple(Fog.alpha1, Fog.alpha2), std::tuple(80, 120));
    Step(50);
    EXPECT_EQ(StagePhase, 0);
    Step();
    EXPECT_EQ(std::tuple(StagePhase, Fog.shown1), std::tuple(1, 0));
    EXPECT_EQ(GameMode, ModeStage) << "no result screen after the last stage";
}

} // namespace
