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
        TitleCursor = 1;
        ExtrasColumn = 1;
        ExtrasRow = 1;
        PictureShown = 0;
        RollY = 480;
        TimeLeft = 180;
        PlayerState = PlayerStateRecord{};
        Started();
    }
    void TearDown() override {
        HeadlessReleaseAllKeys();
        EngineShutdown();
    }

    // A one-colour picture in png/, loaded into the catalogue.
    void Picture(const std::string& name, uint32_t rgb, int width = 8, int height = 8) {
        ASSERT_TRUE(test::WritePng("png/" + name + ".png", width, height,
                                   std::vector<uint32_t>(width * height, 0xFF000000u | rgb)));
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
    // One more frame with the keys as they are.
    void Hold() {
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
    uint32_t Pixel(int x, int y) {
        return GetBackBuffer()[y * 640 + x];
    }
    // Pixels in the rectangle that pass the test.
    template <class Test>
    int Count(int x1, int y1, int x2, int y2, Test test) {
        int count = 0;
        for (int y = y1; y < y2; ++y) {
            for (int x = x1; x < x2; ++x) {
                count += test(Pixel(x, y)) ? 1 : 0;
            }
        }
        return count;
    }
    std::vector<uint32_t> Region(int x1, int y1, int x2, int y2) {
        std::vector<uint32_t> pixels;
        for (int y = y1; y < y2; ++y) {
            for (int x = x1; x < x2; ++x) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    }

    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

bool IsWhite(uint32_t c) {
    return (c & 0xFFFFFF) == 0xFFFFFF;
}

// ---- Title ------------------------------------------------------------------------------------

TEST_F(Menus, TheTitleCursorWrapsBothWaysWithATickPerPress) {
    GameMode = ModeTitle;
    Press({KeyUp});
    EXPECT_EQ(TitleCursor, 4) << "up from the first item reaches the last";
    EXPECT_EQ(Started(), Names{"wav_check.wav"});
    Hold();
    Hold();
    EXPECT_EQ(TitleCursor, 4) << "holding does not repeat";
    EXPECT_TRUE(Started().empty());
    Press({KeyDown});
    EXPECT_EQ(TitleCursor, 1) << "down from the last item reaches the first";
    Press({KeyDown});
    Press({KeyDown});
    EXPECT_EQ(TitleCursor, 3);
    EXPECT_EQ(Started(), (Names{"wav_check.wav", "wav_check.wav", "wav_check.wav"}));
    EXPECT_EQ(GameMode, ModeTitle);
}

// ---- Extras -----------------------------------------------------------------------------------

TEST_F(Menus, AConfirmNeedsANewPress) {
    SaveData.picture[0] = 1;
    GameMode = ModeTitle;
    TitleCursor = 3;
    Press({KeyZ});
    EXPECT_EQ(GameMode, ModeExtras);
    EXPECT_EQ(Started(), Names{"wav_select.wav"});
    Hold();
    Hold();
    EXPECT_EQ(PictureShown, 0) << "the press that opened the extras does not open a picture";
    EXPECT_TRUE(Started().empty());
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 1);
    Hold();
    EXPECT_EQ(PictureShown, 1) << "the press that opened it cannot close it";
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 0);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "wav_select.wav"}));
}

TEST_F(Menus, TheGallerySelectionWrapsAndTheExLineKeepsTheColumn) {
    GameMode = ModeExtras;
    Press({KeyLeft});
    EXPECT_EQ(ExtrasColumn, 3);
    Press({KeyRight});
    EXPECT_EQ(ExtrasColumn, 1);
    Press({KeyRight});
    Press({KeyUp});
    EXPECT_EQ(ExtrasRow, 3) << "up from the top row reaches the EX line";
    Started();
    Press({KeyLeft});
    Press({KeyRight});
    Press({KeyRight});
    EXPECT_EQ(ExtrasColumn, 2) << "left and right do nothing on the EX line";
    EXPECT_TRUE(Started().empty());
    Press({KeyDown});
    EXPECT_EQ(ExtrasRow, 1) << "down from the EX line reaches the top row";
    Press({KeyUp});
    Press({KeyUp});
    EXPECT_EQ(ExtrasRow, 2);
    EXPECT_EQ(ExtrasColumn, 2);
    EXPECT_EQ(Started(), (Names{"wav_check.wav", "wav_check.wav", "wav_check.wav"}));
}

TEST_F(Menus, LockedPicturesAndTheLockedExLineRefuseWithTheErrorSound) {
    SaveData.picture[0] = 1;
    SaveData.picture[4] = 7; // a damaged field is not an unlock
    GameMode = ModeExtras;
    ExtrasColumn = 2;
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 0);
    ExtrasRow = 2;
    Press({KeyZ});
    EXPECT_EQ(PictureShown, 0);
    ExtrasRow = 3;
    Press({KeyZ});
    EXPECT_EQ(GameMode, ModeExtras);
    EXPECT_EQ(Started(), (Names{"wav_error.wav", "wav_error.wav", "wav_error.wav"}));
}

TEST_F(Menus, TheHighScoreHasNoLeadingZeros) {
    GameMode = ModeExtras;
    // The right end of the number printed at x 150, y 400.
    const auto numberWidth = [&] {
        ClearScreen();
        Idle();
        int right = 0;
        for (int y = 400; y < 432; ++y) {
            for (int x = 150; x < 640; ++x) {
                if (IsWhite(Pixel(x, y))) {
                    right = std::max(right, x - 150 + 1);
                }
            }
        }
        return right;
    };
    SaveData.highScore = 0;
    const int zero = numberWidth();
    SaveData.highScore = 123456;
    const int six = numberWidth();
    EXPECT_GT(zero, 0);
    EXPECT_LT(zero, 20) << "0 is one digit";
    EXPECT_GT(six, 5 * zero) << "123456 is six";
}

// ---- Stage result -----------------------------------------------------------------------------

TEST_F(Menus, TheResultTallyBecomesTheNextStagesScore) {
    GameMode = ModeStageResult;
    StageId = 11;
    StagePhase = 0;
    ScrollLocked = 1;
    Score = 3000;
    TimeLeft = 120;
    Continues = 0;
    ClearBonusCount = 2;
    StageHearts = 3;
    TotalHearts = 2;
    EnemySlot[99].active = 1; // beyond any map's enemies: only the clean-up frees it
    Idle();
    EXPECT_EQ(TotalScore, 19200);
    EXPECT_EQ(ShownScore, 3000);
    EXPECT_EQ(ShownTime, 120);
    EXPECT_EQ(GameMode, ModeStageResult);
    Press({KeyZ});
    EXPECT_EQ(GameMode, ModeStage);
    EXPECT_EQ(StageId, 2);
    EXPECT_EQ(StagePhase, 0) << "no story between stages";
    EXPECT_EQ(Score, 19200);
    EXPECT_EQ(Continues, 2);
    EXPECT_EQ(ClearBonusCount, 2);
    EXPECT_EQ(ScrollLocked, 0);
    EXPECT_EQ(TotalHearts, 5);
    EXPECT_EQ(EnemySlot[99].active, 0);
    EXPECT_EQ(MusicSelect, 4);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_stage.mp3"}));
    EXPECT_TRUE(std::equal(std::begin(StageMap), std::end(StageMap), StageMapSource[1]));
}

// ---- Continue ---------------------------------------------------------------------------------

TEST_F(Menus, EachContinueCostsAClearBonusDownToTheLast5000) {
    Picture("over", 0x0A0B0C);
    ReloadAllImages();
    GameMode = ModeContinue;
    Continues = 7; // as after F7
    for (int used = 1; used <= 3; ++used) {
        GameMode = ModeContinue;
        Press({KeyZ});
        EXPECT_EQ(GameMode, ModeStage);
        EXPECT_EQ(Continues, 7 - used);
        EXPECT_EQ(ClearBonusCount, std::max(0, 2 - used));
    }
    Score = 1000;
    TimeLeft = 0;
    GameMode = ModeStageResult;
    Idle();
    EXPECT_EQ(TotalScore, 1000 + 5000);

    Continues = 0;
    GameMode = ModeContinue;
    Idle();
    EXPECT_EQ(Pixel(4, 4), 0x0A0B0Cu) << "no continue left: the game over picture";
    Started();
    Press({KeyZ});
    EXPECT_EQ(GameMode, ModeTitle);
    EXPECT_EQ(Continues, 2);
    EXPECT_EQ(ClearBonusCount, 2);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_title.mp3"}));
}

TEST_F(Menus, ButtonsOneAndTwoTogetherTakeTheContinueOnly) {
    StageId = 1;
    LoadStageMap();
    StagePhase = 0;
    TimeLeft = 0;
    PlayerState.dead = 1;
    PlayerState.deathTimer = 61;
    GameMode = ModeContinue;
    Press({KeyZ, KeyX});
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
    Started(); // the stage's own sounds

    // With none left both buttons return to the title, and the next game keeps its continues.
    Continues = 0;
    GameMode = ModeContinue;
    Press({KeyZ, KeyX});
    EXPECT_EQ(GameMode, ModeTitle);
    EXPECT_EQ(Continues, 2);
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_title.mp3"}));
}

TEST_F(Menus, AContinueRestartsWithTheMusicOfItsPlace) {
    struct Case {
        int stage, locked, music;
        Names started;
    };
    const Case cases[] = {{21, 1, 5, {"wav_select.wav", "BGM_boss.mp3"}},
                          {5, 0, 7, {"wav_select.wav"}}, // the EX stage plays in silence
                          {51, 1, 7, {"wav_select.wav"}}};
    for (const Case& c : cases) {
        StageId = c.stage;
        LoadStageMap();
        ScrollLocked = c.locked;
        StagePhase = 0;
        Continues = 2;
        std::for_each(std::begin(EnemySlot), std::end(EnemySlot), [](auto& e) { e.active = 0; });
        GameMode = ModeContinue;
        Press({KeyZ});
        EXPECT_EQ(GameMode, ModeStage);
        EXPECT_EQ(StageId, c.stage);
        EXPECT_EQ(MusicSelect, c.music) << c.stage;
        EXPECT_EQ(Started(), c.started) << c.stage;
        if (c.locked == 1) {
            EXPECT_EQ(EnemySlot[0].active, 1) << "the boss is back in " << c.stage;
        }
    }
    EXPECT_EQ(EnemySlot[3].kind, BossFinal) << "all four in the EX arena";
}

TEST_F(Menus, TimeUpIsToldOnlyWhenTheClockRanOut) {
    const auto reddish = [](uint32_t c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF;
        return r > 150 && r - g > 40;
    };
    GameMode = ModeContinue;
    for (int time : {0, -1, 1, 60}) {
        TimeLeft = time;
        ClearScreen();
        Idle();
        const int line = Count(230, 125, 480, 170, reddish);
        if (time <= 0) {
            EXPECT_GT(line, 100) << time;
        } else {
            EXPECT_EQ(line, 0) << time;
        }
        EXPECT_GT(Count(190, 175, 480, 220, reddish), 100) << "the question itself";
    }
}

// ---- Ending roll ------------------------------------------------------------------------------

TEST_F(Menus, TheRollTakes1680FramesAndAcceptsButtonOneOnlyAfterwards) {
    MusicSelect = 3;
    PlaySoundHandle(BgmAdv3, 3, 1);
    Started();
    GameMode = ModeEndingRoll;
    int frames = 0;
    while (RollY > RollEndY && frames < 5000) {
        if (frames == 100) {
            Press({KeyZ});
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
    EXPECT_EQ(frames, 1680);
    EXPECT_EQ(RollY, -2880);
    EXPECT_EQ(Started(), Names{"BGM_ending.mp3"}) << "the ending music starts once";
    Idle();
    EXPECT_EQ(RollY, -2880) << "the picture stands still";
}

TEST_F(Menus, HoldingButtonFourRollsIn280Frames) {
    GameMode = ModeEndingRoll;
    Press({KeyA});
    int frames = 1;
    while (RollY > RollEndY && frames < 5000) {
        Hold();
        ++frames;
    }
    EXPECT_EQ(frames, 280);
    EXPECT_EQ(RollY, -2880);
}

TEST_F(Menus, TheEndOfTheRollShowsTheOldHighScoreThenSavesAndStartsAfresh) {
    SaveData.highScore = 500;
    Score = 40000;
    TimeLeft = 100;
    ClearBonusCount = 1;
    StageHearts = 4;
    TotalHearts = 10;
    StageId = 41;
    MusicSelect = 6;
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
    EXPECT_FALSE(std::filesystem::exists("save.dat"));

    // A button 1 held down since the picture was moving is no answer.
    RollY = RollEndY + 2;
    Press({KeyZ});
    Hold();
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
    EXPECT_EQ(GameMode, ModeTitle);
    EXPECT_EQ(RollY, 480) << "ready for the next ending";
    EXPECT_EQ(StageId, 1);
    EXPECT_EQ(StagePhase, 1) << "the next game opens with its story";
    EXPECT_EQ(TotalHearts, 0);
}

} // namespace
