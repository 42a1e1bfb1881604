// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The title menu, the extras gallery, the stage result, the continue question and the ending roll,
// driven through the frame step with the headless keyboard.
#include "data/levels.h"
#include "data/texts.h"
#include "enemy/enemies.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/extras.h"
#include "main/loop.h"
#include "main/results.h"
#include "main/save.h"
#include "main/title.h"
#include "stage/map.h"
#include "stage/player.h"
#include "stage/stage.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr int KeyUp = 0xC8, KeyDown = 0xD0, KeyLeft = 0xCB, KeyRight = 0xCD;
constexpr int KeyZ = 0x2C, KeyX = 0x2D, KeyA = 0x1E;

using Names = std::vector<std::string>;
using Ints = std::vector<int>;
const Names Tick = {"wav_check.wav"};

// The sounds these screens play; the others stay missing, which is harmless.
const Names SoundFiles = {"wav_check.wav",  "wav_select.wav", "wav_error.wav",
                          "BGM_adv1.mp3",   "BGM_adv3.mp3",   "BGM_title.mp3",
                          "BGM_ending.mp3", "BGM_stage.mp3",  "BGM_boss.mp3"};

class Menus : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory("png");
        std::filesystem::create_directory("snd");
        for (const std::string& name : SoundFiles) {
            ASSERT_TRUE(test::WriteWav("snd/" + name, 0.05, 440.0));
        }
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
        InitGameGlobals();
        ASSERT_EQ(EngineInit(), 0);
        SetTransparentColor(128, 0, 128);
        SelectFontFace(TextFontFace, -1); // as the title does every frame
        LoadAllSounds();
        ReloadAllImages();
        ResetRun(); // a fresh run at the title, whatever an earlier test left
        SaveData = SaveDataRecord{};
        TitleCursor = ExtrasColumn = ExtrasRow = 1;
        PictureShown = 0, RollY = 480, TimeLeft = 180;
        PlayerState = PlayerStateRecord{};
        Started();
    }
    void TearDown() override {
        HeadlessReleaseAllKeys();
        EngineShutdown();
    }
    // One frame with exactly these keys freshly pressed (as if a frame without keys came first).
    void Press(std::initializer_list<int> keys) {
        HeadlessReleaseAllKeys();
        std::fill(std::begin(ButtonHold), std::end(ButtonHold), 0);
        for (int key : keys) {
            HeadlessSetKey(key, true);
        }
        FrameStep();
    }
    void Idle() {
        HeadlessReleaseAllKeys();
        FrameStep();
    }
    Names Started() {
        const char* names[64];
        const int count = TakeStartedSounds(names, 64);
        return Names(names, names + count);
    }
    std::vector<uint32_t> Region(int x1, int y1, int x2, int y2) {
        std::vector<uint32_t> pixels;
        for (int y = y1; y < y2; ++y) {
            pixels.insert(pixels.end(), GetBackBuffer() + y * 640 + x1,
                          GetBackBuffer() + y * 640 + x2);
        }
        return pixels;
    }
    // Goes from the continue question as the player answers with these keys.
    void Answer(std::initializer_list<int> keys) {
        GameMode = ModeContinue;
        Press(keys);
    }

    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

// ---- Title and extras -------------------------------------------------------------------------

TEST_F(Menus, TheTitleAndGalleryCursorsWrapWithATickPerMove) {
    GameMode = ModeTitle;
    Press({KeyUp});
    FrameStep();
    FrameStep();
    EXPECT_EQ(TitleCursor, 4) << "up from the first item reaches the last; holding does not repeat";
    EXPECT_EQ(Started(), Tick);
    for (int item : {1, 2, 3}) { // down from the last item reaches the first
        Press({KeyDown});
        EXPECT_EQ(TitleCursor, item);
        EXPECT_EQ(Started(), Tick);
    }
    EXPECT_EQ(GameMode, ModeTitle);

    GameMode = ModeExtras;
    const struct {
        int key, column, row; // row 3 is the EX line, where left and right do nothing
    } moves[] = {{KeyLeft, 3, 1}, {KeyRight, 1, 1}, {KeyRight, 2, 1},
                 {KeyUp, 2, 3},   {KeyLeft, 2, 3},  {KeyRight, 2, 3},
                 {KeyDown, 2, 1}, {KeyUp, 2, 3},    {KeyUp, 2, 2}};
    for (const auto& move : moves) {
        const Ints before = {ExtrasColumn, ExtrasRow};
        Press({move.key});
        EXPECT_EQ((Ints{ExtrasColumn, ExtrasRow}), (Ints{move.column, move.row}));
        EXPECT_EQ(Started(), (before == Ints{move.column, move.row} ? Names{} : Tick));
    }
}

TEST_F(Menus, AConfirmNeedsANewPressAndLockedPicturesRefuseWithTheErrorSound) {
    SaveData.picture[0] = 1;
    SaveData.picture[4] = 7; // a damaged field is not an unlock
    GameMode = ModeTitle;
    TitleCursor = 3;
    Press({KeyZ});
    EXPECT_EQ(GameMode, ModeExtras);
    FrameStep();
    FrameStep();
    EXPECT_EQ(PictureShown, 0) << "the press that opened the extras does not open a picture";
    EXPECT_EQ(Started(), Names{"wav_select.wav"});
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 1);
    FrameStep();
    EXPECT_EQ(PictureShown, 1) << "the press that opened it cannot close it";
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 0);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "wav_select.wav"}));

    for (const auto& [column, row] : {std::pair{2, 1}, {2, 2}, {2, 3}}) { // row 3: the EX line
        ExtrasColumn = column, ExtrasRow = row;
        Press({KeyZ});
        EXPECT_EQ(PictureShown, 0);
        EXPECT_EQ(GameMode, ModeExtras);
        EXPECT_EQ(Started(), Names{"wav_error.wav"}) << row;
    }
}

TEST_F(Menus, TheHighScoreHasNoLeadingZeros) {
    GameMode = ModeExtras;
    // The right end of the number printed at x 150, y 400.
    const auto numberWidth = [&](int highScore) {
        SaveData.highScore = highScore;
        ClearScreen();
        Idle();
        const std::vector<uint32_t> band = Region(150, 400, 640, 432);
        int right = 0;
        for (size_t i = 0; i < band.size(); ++i) {
            if ((band[i] & 0xFFFFFF) == 0xFFFFFF) {
                right = std::max(right, static_cast<int>(i % 490) + 1);
            }
        }
        return right;
    };
    const int zero = numberWidth(0);
    EXPECT_GT(zero, 0);
    EXPECT_LT(zero, 20) << "0 is one digit";
    EXPECT_GT(numberWidth(123456), 5 * zero) << "123456 is six";
}

// ---- Stage result and continue -----------------------------------------------------------------

TEST_F(Menus, TheResultTallyBecomesTheNextStagesScore) {
    GameMode = ModeStageResult;
    StageId = 11, StagePhase = 0, ScrollLocked = 1;
    Score = 3000, TimeLeft = 120, Continues = 0, ClearBonusCount = 2;
    StageHearts = 3, TotalHearts = 2;
    EnemySlot[99].active = 1; // beyond any map's enemies: only the clean-up frees it
    Idle();
    EXPECT_EQ((Ints{TotalScore, ShownScore, ShownTime}), (Ints{19200, 3000, 120}));
    EXPECT_EQ(GameMode, ModeStageResult);
    Press({KeyZ});
    EXPECT_EQ((Ints{GameMode, StageId, Score}), (Ints{ModeStage, 2, 19200}));
    EXPECT_EQ(StagePhase, 0) << "no story between stages";
    EXPECT_EQ((Ints{Continues, ClearBonusCount, TotalHearts}), (Ints{2, 2, 5}));
    EXPECT_EQ((Ints{ScrollLocked, EnemySlot[99].active, MusicSelect}), (Ints{0, 0, 4}));
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_stage.mp3"}));
    EXPECT_TRUE(std::equal(std::begin(StageMap), std::end(StageMap), StageMapSource[1]));
}

TEST_F(Menus, EachContinueCostsAClearBonusDownToTheLast5000) {
    Continues = 7; // as after F7
    for (int used = 1; used <= 3; ++used) {
        Answer({KeyZ});
        EXPECT_EQ(GameMode, ModeStage);
        EXPECT_EQ((Ints{Continues, ClearBonusCount}), (Ints{7 - used, std::max(0, 2 - used)}));
    }
    Score = 1000, TimeLeft = 0, GameMode = ModeStageResult;
    Idle();
    EXPECT_EQ(TotalScore, 1000 + 5000);
}

TEST_F(Menus, ButtonsOneAndTwoTogetherTakeTheContinueOnly) {
    StageId = 1;
    LoadStageMap();
    StagePhase = 0, TimeLeft = 0, PlayerState.dead = 1, PlayerState.deathTimer = 61;
    Answer({KeyZ, KeyX});
    EXPECT_EQ(GameMode, ModeStage) << "the heroine plays on";
    EXPECT_EQ(Continues, 1) << "not thrown to the game over picture";
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_stage.mp3"}));
    EXPECT_EQ(PlayerState.dead, 0) << "the stage starts again";
    EXPECT_EQ(TimeLeft, 180);
    for (int frame = 0; frame < 120; ++frame) {
        Idle();
    }
    EXPECT_EQ(GameMode, ModeStage);
    EXPECT_EQ(Continues, 1);

    // With none left the game over picture shows, and either answer returns to the title; the
    // next game keeps its continues.
    ASSERT_TRUE(test::WritePng("png/over.png", 8, 8, std::vector<uint32_t>(64, 0xFF0A0B0Cu)));
    ReloadAllImages();
    for (const auto& keys : {std::initializer_list<int>{KeyZ}, {KeyZ, KeyX}}) {
        Continues = 0;
        GameMode = ModeContinue;
        Idle();
        EXPECT_EQ(GetBackBuffer()[4 * 640 + 4], 0x0A0B0Cu) << "the game over picture";
        Started();
        Answer(keys);
        EXPECT_EQ((Ints{GameMode, Continues, ClearBonusCount}), (Ints{ModeTitle, 2, 2}));
        EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_title.mp3"}));
    }
}

TEST_F(Menus, AContinueRestartsWithTheMusicOfItsPlace) {
    const struct {
        int stage, locked, music;
        Names started;
    } cases[] = {{21, 1, 5, {"wav_select.wav", "BGM_boss.mp3"}},
                 {5, 0, 7, {"wav_select.wav"}}, // the EX stage plays in silence
                 {51, 1, 7, {"wav_select.wav"}}};
    for (const auto& c : cases) {
        StageId = c.stage;
        LoadStageMap();
        ScrollLocked = c.locked, StagePhase = 0, Continues = 2;
        std::for_each(std::begin(EnemySlot), std::end(EnemySlot), [](auto& e) { e.active = 0; });
        Answer({KeyZ});
        EXPECT_EQ((Ints{GameMode, StageId, MusicSelect}), (Ints{ModeStage, c.stage, c.music}));
        EXPECT_EQ(Started(), c.started) << c.stage;
        EXPECT_TRUE(c.locked == 0 || EnemySlot[0].active == 1) << "the boss is back in " << c.stage;
    }
    EXPECT_EQ(EnemySlot[3].kind, BossFinal) << "all four in the EX arena";
}

TEST_F(Menus, TimeUpIsToldOnlyWhenTheClockRanOut) {
    const auto reddish = [](uint32_t c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF;
        return r > 150 && r - g > 40;
    };
    const auto count = [&](std::vector<uint32_t> r) {
        return std::count_if(r.begin(), r.end(), reddish);
    };
    GameMode = ModeContinue;
    for (int time : {0, -1, 1, 60}) {
        TimeLeft = time;
        ClearScreen();
        Idle();
        const long line = count(Region(230, 125, 480, 170));
        EXPECT_TRUE(time <= 0 ? line > 100 : line == 0) << time << ": " << line;
        EXPECT_GT(count(Region(190, 175, 480, 220)), 100) << "the question itself";
    }
}

// ---- Ending roll ------------------------------------------------------------------------------

TEST_F(Menus, TheRollTakes1680FramesOr280WithButtonFourAndIgnoresButtonOneMeanwhile) {
    MusicSelect = 3;
    PlaySoundHandle(BgmAdv3, 3, 1);
    Started();
    for (const bool fast : {false, true}) {
        GameMode = ModeEndingRoll;
        RollY = 480;
        int frames = 0;
        while (RollY > RollEndY && frames < 5000) {
            if (fast && frames > 0) {
                FrameStep(); // button four held
            } else if (fast || frames == 100) {
                Press({fast ? KeyA : KeyZ});
            } else {
                Idle();
            }
            ++frames;
            if (frames == 1) {
                EXPECT_EQ(IsSoundBufferPlaying(BgmAdv3, 0), 0);
                EXPECT_EQ(MusicSelect, 6);
            }
            EXPECT_EQ(GameMode, ModeEndingRoll);
        }
        EXPECT_EQ(frames, fast ? 280 : 1680);
        EXPECT_EQ(RollY, -2880);
        if (!fast) {
            EXPECT_EQ(Started(), Names{"BGM_ending.mp3"}) << "the ending music starts once";
            Idle();
            EXPECT_EQ(RollY, -2880) << "the picture stands still";
        }
    }
}
TEST_F(Menus, TheEndOfTheRollShowsTheOldHighScoreThenSavesAndStartsAfresh) {
    SaveData.highScore = 500;
    Score = 40000, TimeLeft = 100, ClearBonusCount = 1, StageHearts = 4, TotalHearts = 10;
    StageId = 41, MusicSelect = 6;
    GameMode = ModeEndingRoll;
    RollY = RollEndY;
    Idle();
    EXPECT_EQ(TotalScore, 51000);
    const std::vector<uint32_t> shownScore = Region(200, 10, 640, 40);
    const std::vector<uint32_t> shownHigh = Region(200, 50, 640, 80);
    // The same lines as the roll would print them for given values.
    const auto line = [&](int y, uint32_t colour, const char* format, int value) {
        DrawRectangle(0, 0, 640, 480, 0, 1);
        SetTextSize(20);
        SetTextStyle(2);
        DrawFormattedTextAt(240, y, colour, format, value);
        return Region(200, y, 640, y + 30);
    };
    EXPECT_EQ(shownScore, line(10, 0xFFFFFF, "  SCORE = %06d", 51000));
    EXPECT_EQ(shownHigh, line(50, 0xFF6464, "HISCORE = %06d", 500)) << "the stored high score";
    EXPECT_NE(shownHigh, line(50, 0xFF6464, "HISCORE = %06d", 51000));
    EXPECT_EQ(SaveData.highScore, 500) << "nothing is stored before button 1";

    // A button 1 held down since the picture was moving is no answer.
    RollY = RollEndY + 2;
    Press({KeyZ});
    FrameStep();
    EXPECT_EQ(GameMode, ModeEndingRoll);
    EXPECT_FALSE(std::filesystem::exists("save.dat"));

    Started();
    Press({KeyZ});
    EXPECT_EQ(std::filesystem::file_size("save.dat"), 36u);
    EXPECT_EQ(SaveData.highScore, 51000);
    EXPECT_EQ(SaveData.picture[2], 1) << "more than 50000";
    EXPECT_EQ(SaveData.picture[3], 1) << "14 hearts with the last stage's";
    EXPECT_EQ(SaveData.exStage, 1);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_title.mp3"}));
    EXPECT_EQ(IsSoundBufferPlaying(BgmEnding, 0), 0);
    EXPECT_EQ((Ints{GameMode, RollY, StageId, TotalHearts}), (Ints{ModeTitle, 480, 1, 0}))
        << "ready for the next ending and the next game";
    EXPECT_EQ(StagePhase, 1) << "the next game opens with its story";
}

} // namespace
