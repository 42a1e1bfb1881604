// Hearts, moving traps, and the heroine's attacks and shots against the enemies.
#include "main/assets.h"
#include "stage_fixture.h"

#include <string>
#include <vector>

namespace {

class Pickups : public StageFrame {
  protected:
    void SetUp() override {
        StageFrame::SetUp();
        test::WriteCatalogueSounds(dir_.path());
        LoadAllSounds();
        for (HeartSlotRecord& heart : HeartSlot) {
            heart = {};
        }
        for (SparkleRecord& sparkle : Sparkle) {
            sparkle = {};
        }
        SparkleRing = 0;
        Score = 0;
        StageHearts = 0;
        Sounds();
    }
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
    // The heroine possessing an item of this kind at (x, y), facing right.
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
    HeartSlotRecord& Heart(int slot, int kind, double x, double y) {
        HeartSlot[slot] = {1, x, y, kind, 0, 0};
        return HeartSlot[slot];
    }
    std::vector<std::string> Sounds() {
        const char* names[64];
        const int count = TakeStartedSounds(names, 64);
        return std::vector<std::string>(names, names + count);
    }
};

// ---- Hearts --------------------------------------------------------------------------------

TEST_F(Pickups, AHeartRestoresItsGaugeUpTo200AndCounts) {
    // The ghost's body: x 220..320, y 185..350.
    PlayerState.PlayerLife = 180;
    Heart(0, 1, 260, 200);
    Heart(1, 1, 320, 200); // touching the body's right edge only: not taken
    CollectHearts();
    EXPECT_EQ(PlayerState.PlayerLife, 200);
    EXPECT_EQ(HeartSlot[0].active, 0);
    EXPECT_EQ(HeartSlot[1].active, 1);
    EXPECT_EQ(Score, 500);
    EXPECT_EQ(StageHearts, 1);
    EXPECT_EQ(Sounds(), std::vector<std::string>{"wav_get.wav"});
    EXPECT_EQ(PlayerState.PossessFlash, 0) << "a ghost has no item to light up";

    Heart(2, 2, 200, 300);
    CollectHearts();
    EXPECT_EQ(PlayerState.ItemLife, 50) << "a blue heart fills the item gauge even for a ghost";

    Become(Bear, 600, 300);
    PlayerState.hurt = 1;
    PlayerState.ItemLife = 190;
    Heart(3, 2, 600, 300);
    CollectHearts();
    EXPECT_EQ(PlayerState.ItemLife, 200);
    EXPECT_EQ(PlayerState.PossessFlash, 1);
    EXPECT_EQ(PlayerState.hurt, 0) << "a heart ends the hurt time";
}

TEST_F(Pickups, ThreeHeartsFillTheSparkleRingOnceRound) {
    Heart(0, 1, 260, 200);
    Heart(1, 2, 260, 200);
    Heart(2, 1, 260, 200);
    CollectHearts();
    for (int i = 0; i < SparkleCount; ++i) {
        EXPECT_EQ(Sparkle[i].active, 1) << i;
        EXPECT_EQ(Sparkle[i].frameX, i >= 10 && i < 20 ? 20 : 0) << i;
        EXPECT_EQ(Sparkle[i].visible, 0);
        EXPECT_LT(Sparkle[i].counter, 60);
    }
    EXPECT_EQ(SparkleRing, 0);
    EXPECT_EQ(StageHearts, 3);

    // With every sparkle still rising the next heart starts none but is taken all the same.
    Heart(3, 1, 260, 200);
    CollectHearts();
    EXPECT_EQ(HeartSlot[3].active, 0);
    EXPECT_EQ(SparkleRing, 0);
}

// ---- Traps ---------------------------------------------------------------------------------

TEST_F(Pickups, MovingTrapsTurnAtWallsFixedTrapsMarkersAndTheLeftEdge) {
    SetCell(6, 3, 4); // a wall at x 180..239
    TrapSlot[0] = {1, 242, 360, 2.0, -1, 2};
    UpdateTraps();
    UpdateTraps();
    EXPECT_EQ(TrapSlot[0].x, 238) << "its edge two pixels into the wall";
    EXPECT_EQ(TrapSlot[0].dir, 1);
    UpdateTraps();
    EXPECT_EQ(TrapSlot[0].x, 240);

    SetCell(6, 10, -3); // a fixed trap at x 600..659
    TrapSlot[1] = {1, 539, 360, 2.0, 1, 2};
    UpdateTraps();
    EXPECT_EQ(TrapSlot[1].x, 541);
    UpdateTraps();
    EXPECT_EQ(TrapSlot[1].dir, -1) << "turned by the fixed trap ahead";
    EXPECT_EQ(TrapSlot[1].x, 540);

    SetCell(6, 20, -5); // a marker at x 1200..1259
    TrapSlot[2] = {1, 1139, 360, 2.0, 1, 2};
    UpdateTraps();
    EXPECT_EQ(TrapSlot[2].dir, -1) << "turned once its edge is on the marker";
    EXPECT_EQ(TrapSlot[2].x, 1141);

    TrapSlot[3] = {1, 1, 360, 2.0, -1, 2};
    UpdateTraps();
    EXPECT_EQ(TrapSlot[3].x, 0);
    EXPECT_EQ(TrapSlot[3].dir, 1);

    TrapSlot[4] = {1, 3000, 360, 2.0, -1, 1};
    UpdateTraps();
    EXPECT_EQ(TrapSlot[4].x, 3000) << "a fixed trap stays";
}

// ---- Hits ----------------------------------------------------------------------------------

TEST_F(Pickups, ABallStrikingTwoEnemiesPaysForEachAndKnocksThemAway) {
    Become(Ball, 600, 360); // attack box 596..664, 356..424
    PlayerState.attackTimer = 3;
    EnemySlotRecord& a = Put(0, Rat, 560, 360);
    EnemySlotRecord& b = Put(1, Rat, 600, 360);
    EnemySlotRecord& away = Put(2, Rat, 900, 360);
    HitEnemies();
    EXPECT_EQ(PlayerState.ItemLife, 90);
    EXPECT_EQ(PlayerState.GreenGauge, 10);
    EXPECT_EQ(Score, 200);
    EXPECT_EQ(PlayerState.knockDir, 1);
    for (const EnemySlotRecord* e : {&a, &b}) {
        EXPECT_EQ(e->hit, 1);
        EXPECT_EQ(e->vy, -5);
        EXPECT_EQ(e->airborne, 1);
        EXPECT_EQ(e->knockDir, -1) << "pushed away from the ball";
        EXPECT_EQ(e->hp, 80);
        EXPECT_EQ(e->attackGauge, 1);
    }
    EXPECT_EQ(away.hit, 0);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"wav_hit.wav", "wav_hit.wav"}));

    HitEnemies();
    EXPECT_EQ(Score, 200) << "an enemy reeling from a hit cannot be hit again";
}

TEST_F(Pickups, EachItemStrikesOnlyWhileItsAttackIsLive) {
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
    EXPECT_EQ(PlayerShot[0].active, 0);
    EXPECT_EQ(dog.knockDir, -1);
}

TEST_F(Pickups, ALargeShotStrikesEveryEnemyInARowOnceAndFliesOn) {
    Become(Gun, 100, 320);
    PlayerShot[0] = {1, 600, 330, 0, 0, 14.0, 0, 0, -1, 15, 15, 0, 2};
    PlayerShot[1] = {1, 610, 330, 0, 0, 8.0, 0, 0, -1, 10, 10, 0, 1};
    EnemySlotRecord& a = Put(0, Chaser, 580, 300);
    EnemySlotRecord& b = Put(1, Chaser, 590, 300);
    EnemySlotRecord& c = Put(2, Chaser, 600, 300);
    HitEnemies();
    for (const EnemySlotRecord* e : {&a, &b, &c}) {
        EXPECT_EQ(e->hit, 1);
        EXPECT_EQ(e->hp, 20) << "the special damage, once";
        EXPECT_EQ(e->knockDir, 1) << "pushed along the shot's way";
    }
    EXPECT_EQ(PlayerShot[0].active, 1);
    EXPECT_EQ(PlayerShot[1].active, 1) << "the small shot found no enemy left to hit";
    EXPECT_EQ(Score, 300);
    EXPECT_EQ(PlayerState.GreenGauge, 15);
}

TEST_F(Pickups, AHitInTheStageFrameScoresAndTheEnemyDiesFromTheNextFrame) {
    Become(Ball, 600, 360);
    PlayerState.attackTimer = 1;
    EnemySlotRecord& rat = Put(0, Rat, 600, 360, 1);
    Frame();
    EXPECT_EQ(rat.hit, 1);
    EXPECT_EQ(Score, 100);
    EXPECT_EQ(rat.dying, 0);
    Frame();
    EXPECT_EQ(rat.dying, 1);
}

} // namespace
