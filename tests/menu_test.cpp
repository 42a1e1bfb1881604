// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The frame loop, the start-up modes and the menus, driven through the frame step with the
// headless keyboard: hold counters, the mode table, the asset catalogue, the music starter,
// ResetRun, the title menu, the extras gallery, the stage result, the continue question and the
// ending roll.
#include "data/levels.h"
#include "data/texts.h"
#include "enemy/enemies.h"
#include "enemy/pickups.h"
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
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"
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

// The engine running headless in a scratch folder, with empty png/ and snd/ folders.
class Modes : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory("png");
        std::filesystem::create_directory("snd");
        HeadlessSetFrameLimit(-1);
        HeadlessReleaseAllKeys();
        InitGameGlobals();
        ASSERT_EQ(EngineInit(), 0);
        SetTransparentColor(128, 0, 128);
    }
    void TearDown() override {
        HeadlessReleaseAllKeys();
        EngineShutdown();
    }
    // A one-colour picture in png/.
    void Picture(const std::string& name, uint32_t rgb, int size = 4) {
        ASSERT_TRUE(test::WritePng("png/" + name + ".png", size, size,
                                   std::vector<uint32_t>(size * size, 0xFF000000u | rgb)));
    }
    uint32_t ColourOf(int handle) {
        SetBlendMode(0, 255);
        DrawRectangle(0, 0, 4, 4, 0x123456, 1);
        DrawImageAt(0, 0, handle, 0);
        return GetBackBuffer()[0];
    }
    // Every sound of the catalogue as a short tone (the mixer knows a WAV by its contents).
    void AllSounds() {
        test::WriteCatalogueSounds(dir_.path());
        LoadAllSounds();
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
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

// A fresh run at the title with the sounds the menus play (the others stay missing, harmlessly).
class Menus : public Modes {
  protected:
    void SetUp() override {
        Modes::SetUp();
        for (const char* name :
             {"wav_check.wav", "wav_select.wav", "wav_error.wav", "BGM_adv1.mp3", "BGM_adv3.mp3",
              "BGM_title.mp3", "BGM_ending.mp3", "BGM_stage.mp3", "BGM_boss.mp3"}) {
            ASSERT_TRUE(test::WriteWav(std::string("snd/") + name, 0.05, 440.0));
        }
        SelectFontFace(TextFontFace, -1); // as the title does every frame
        LoadAllSounds();
        ReloadAllImages();
        ResetRun(); // whatever an earlier test left
        SaveData = SaveDataRecord{};
        PlayerState = PlayerStateRecord{};
        TitleCursor = ExtrasColumn = ExtrasRow = 1, PictureShown = 0, RollY = 480, TimeLeft = 180;
        Started();
    }
};

// ---- Frame loop and modes ---------------------------------------------------------------------

TEST_F(Modes, HoldCountersCountFramesHeldAndResetOnRelease) {
    EXPECT_EQ((Ints{StageId, StagePhase}), (Ints{1, 1})) << "start-up leaves a fresh run";
    GameMode = 9; // no handlers: only the input and the flip run
    // Each key of the ten buttons, in the counters' order, counts on its own counter only; the
    // seventh button (Q) has a bit but no counter.
    const int keys[] = {0xC8, 0xD0, 0xCB, 0xCD, 0x2C, 0x2D, 0x2E, 0x1E, 0x1F, 0x20, 0x10};
    for (int k = 0; k < 11; ++k) {
        HeadlessReleaseAllKeys();
        HeadlessSetKey(keys[k], true);
        FrameStep();
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(ButtonHold[i], i == k ? 1 : 0) << "key " << k << " counter " << i;
        }
    }
    EXPECT_EQ(PadState, 0x0400);
    HeadlessReleaseAllKeys();
    HeadlessSetKey(0x2C, true); // Z: button 1
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 1) << "a press is a counter of 1";
    HeadlessSetKey(0xC8, true); // up joins in
    FrameStep();
    FrameStep();
    EXPECT_EQ((Ints{ButtonHold[HoldButton1], ButtonHold[HoldUp], PadState}), (Ints{3, 2, 0x18}));
    HeadlessSetKey(0x2C, false);
    FrameStep();
    EXPECT_EQ((Ints{ButtonHold[HoldButton1], ButtonHold[HoldUp]}), (Ints{0, 3}));
    HeadlessSetKey(0x2C, true);
    FrameStep();
    EXPECT_EQ(ButtonHold[HoldButton1], 1) << "a second confirmation needs a release first";
}

TEST_F(Modes, ValuesWithoutAModePresentEveryFrameAndLeaveThePictureAsItIs) {
    for (int mode : {9, 10, 13, 99, -1}) {
        DrawRectangle(0, 0, 640, 480, 0x445566, 1);
        GameMode = mode;
        const int before = HeadlessFramesPresented();
        FrameStep();
        FrameStep();
        EXPECT_EQ(HeadlessFramesPresented() - before, 2) << mode;
        EXPECT_EQ(GameMode, mode);
        EXPECT_EQ(GetBackBuffer()[320 * 640 + 200], 0x445566u) << mode;
    }
}

TEST_F(Modes, TheLogoFadesOver170FramesThenLoadingTakesAFrameAndStartsTheTitleMusic) {
    Picture("logo", 0xFFFFFF);
    Picture("load", 0x00FF00);
    AllSounds();
    Started();
    GameMode = ModeLogo;
    std::vector<uint32_t> levels;
    while (GameMode == ModeLogo && levels.size() < 1000) {
        FrameStep();
        levels.push_back(GetBackBuffer()[220 * 640 + 220] & 0xFF);
    }
    ASSERT_EQ(levels.size(), 170u);
    EXPECT_EQ((std::vector<uint32_t>{levels[0], levels[1], levels[84], levels[85], levels[169]}),
              (std::vector<uint32_t>{0, 3, 252, 255, 3}));
    EXPECT_EQ(GameMode, ModeLoadingScreen);
    EXPECT_EQ((Ints{ScreenFade.alpha, ScreenFade.kind}), (Ints{0, 0})) << "ready for the story";
    FrameStep();
    EXPECT_EQ(GameMode, ModeLoadAssets);
    EXPECT_EQ(GetBackBuffer()[0], 0x00FF00u);
    FrameStep();
    EXPECT_EQ((Ints{GameMode, MusicSelect}), (Ints{ModeTitle, 0}));
    EXPECT_EQ(GetBackBuffer()[0], 0x00FF00u) << "the loading picture stayed while loading";
    EXPECT_EQ(Started(), Names{"BGM_title.mp3"});
    EXPECT_EQ(IsSoundBufferPlaying(BgmTitle, 0), 1);
}

TEST_F(Modes, EverythingIsLoadedInCatalogueOrderAndMissingFilesAreHarmless) {
    // Nothing exists: every load fails, in order, and the game runs on.
    LoadAllSounds();
    ReloadAllImages();
    Names sounds, images;
    for (const std::string& line : test::ReadLines("Log.txt")) {
        const size_t at = line.find("cannot read "); // then "snd/name (why)" or "png/..."
        // (the window icon is not part of the catalogue)
        if (at != std::string::npos && line.find("icon.png") == std::string::npos) {
            const std::string path = line.substr(at + 12, line.find(' ', at + 12) - at - 12);
            (path[0] == 's' ? sounds : images).push_back(path.substr(4));
        }
    }
    // (the pictures' names are checked with the real files by the English game's tests)
    EXPECT_EQ(sounds, test::CatalogueSounds);
    EXPECT_EQ(images.size(), 43u);
    EXPECT_EQ(images.front(), "map.png");
    EXPECT_EQ(PngMap, -1);
    EXPECT_EQ(WavCheck, -1);
    for (int mode : {ModeTitle, ModeStage, ModeTutorial}) {
        GameMode = mode;
        FrameStep();
        EXPECT_EQ(GameMode, mode);
    }
}

TEST_F(Modes, MusicStarterPlaysTheChosenTrackAndSetsEveryVolume) {
    AllSounds();
    const Names tracks = {"BGM_title.mp3", "BGM_adv1.mp3", "BGM_adv2.mp3",  "BGM_adv3.mp3",
                          "BGM_stage.mp3", "BGM_boss.mp3", "BGM_ending.mp3"};
    const int all[] = {BgmTitle, BgmAdv1, BgmAdv2, BgmAdv3, BgmStage, BgmBoss, BgmEnding};
    for (int select = 0; select < 7; ++select) {
        Started();
        MusicSelect = select;
        StartMusic();
        EXPECT_EQ(Started(), Names{tracks[select]}) << select;
        for (int track : all) {
            // The stage and boss music about -10 dB even under other music.
            EXPECT_EQ(GetSoundMixerVolume(track), track == BgmStage || track == BgmBoss ? 40 : 114);
        }
    }
    MusicSelect = 0;
    StartMusic();
    EXPECT_EQ(IsSoundBufferPlaying(BgmTitle, 1), 1) << "the title now sounds twice";
    MusicSelect = 7;
    StartMusic();
    EXPECT_EQ(Started(), Names{"BGM_title.mp3"}) << "stopping starts nothing";
    for (int track : all) { // in none of its three buffers
        EXPECT_EQ(IsSoundBufferPlaying(track, 0) + IsSoundBufferPlaying(track, 1) +
                      IsSoundBufferPlaying(track, 2),
                  0);
    }
}

TEST_F(Modes, SceneryComesBackAsItWasAfterADisplayChange) {
    // stageXY in the colour 0xXY0000.
    for (const char* layer : {"10", "11", "12", "1b", "30", "31", "32", "3b", "41", "4b"}) {
        Picture(std::string("stage") + layer, std::stoi(layer, nullptr, 16) << 16);
    }
    Picture("black", 0x000001);
    ReloadAllImages();
    using Colours = std::vector<uint32_t>;
    const auto layers = [&] {
        return Colours{ColourOf(SceneryFar), ColourOf(SceneryNear), ColourOf(ScenerySlow),
                       ColourOf(SceneryArena)};
    };
    const int stage1Near = SceneryNear;
    LoadStageScenery(3);
    const int stage3Near = SceneryNear;
    LoadStageScenery(4);
    StageId = 4;
    EXPECT_EQ(ReleaseImage(stage1Near), -1) << "a replaced layer's picture is freed";
    EXPECT_EQ(ReleaseImage(stage3Near), -1);
    const Colours stage4 = {0x300000, 0x410000, 0x320000, 0x4B0000}; // stage 3's far and slow
    EXPECT_EQ(layers(), stage4);
    ChangeWindowMode(0); // what F1 does: the engine drops every picture, the game reloads
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    EXPECT_EQ(layers(), stage4);
    LoadStageScenery(5);
    ReloadAllImages(); // a reset brings back stage 1, and a later F1 keeps it
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    EXPECT_EQ(layers(), (Colours{0x100000, 0x110000, 0x120000, 0x1B0000}));
}

TEST_F(Modes, ResetRunReturnsToAFreshGameAtTheTitle) {
    AllSounds();
    Score = 1234, TotalScore = 5678, StageHearts = 3, TotalHearts = 9;
    Continues = 0, ClearBonusCount = 0, StageId = 31, ScrollLocked = 1, StagePhase = 0;
    ScriptPosition = {1, 5, 12};
    StoryStep = 44, StorySide = 1;
    ScreenFade = {1, 2, 200, 1};
    GameMode = ModeContinue, MusicSelect = 5;
    EnemySlot[42].active = HeartSlot[9].active = TrapSlot[99].active = 1;
    Started();
    ResetRun();
    EXPECT_EQ((Ints{Score, TotalScore, StageHearts, TotalHearts, Continues, ClearBonusCount}),
              (Ints{0, 0, 0, 0, 2, 2}));
    EXPECT_EQ((Ints{StageId, ScrollLocked, StagePhase, StoryStep, StorySide}),
              (Ints{1, 0, 1, 0, -1}));
    EXPECT_EQ((Ints{ScriptPosition.block, ScriptPosition.line, ScriptPosition.offset,
                    ScreenFade.active, ScreenFade.alpha, ScreenFade.kind}),
              (Ints{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ((Ints{GameMode, MusicSelect}), (Ints{ModeTitle, 0}));
    EXPECT_EQ(Started(), Names{"BGM_title.mp3"});
    EXPECT_EQ((Ints{EnemySlot[42].active, HeartSlot[9].active, TrapSlot[99].active}),
              (Ints{0, 0, 0}));
}

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
    SaveData.picture[0] = 1, SaveData.picture[4] = 7; // a damaged field is not an unlock
    GameMode = ModeTitle, TitleCursor = 3;
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
        EXPECT_EQ((Ints{PictureShown, GameMode}), (Ints{0, ModeExtras}));
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

TEST_F(Menus, TheTallyBecomesTheNextStagesScoreAndEachContinueCostsAClearBonusDownTo5000) {
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

    // Each continue costs a clear bonus, down to the last 5000.
    Continues = 7; // as after F7
    for (int used = 1; used <= 3; ++used) {
        GameMode = ModeContinue;
        Press({KeyZ});
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
    GameMode = ModeContinue;
    Press({KeyZ, KeyX});
    EXPECT_EQ(GameMode, ModeStage) << "the heroine plays on";
    EXPECT_EQ(Continues, 1) << "not thrown to the game over picture";
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_stage.mp3"}));
    EXPECT_EQ((Ints{PlayerState.dead, TimeLeft}), (Ints{0, 180})) << "the stage starts again";
    for (int frame = 0; frame < 120; ++frame) {
        Idle();
    }
    EXPECT_EQ((Ints{GameMode, Continues}), (Ints{ModeStage, 1}));

    // With none left the game over picture shows, and either answer returns to the title; the
    // next game keeps its continues.
    Picture("over", 0x0A0B0C, 8);
    ReloadAllImages();
    for (const auto& keys : {std::initializer_list<int>{KeyZ}, {KeyZ, KeyX}}) {
        Continues = 0;
        GameMode = ModeContinue;
        Idle();
        EXPECT_EQ(GetBackBuffer()[4 * 640 + 4], 0x0A0B0Cu) << "the game over picture";
        Started();
        Press(keys);
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
        ScrollLocked = c.locked, StagePhase = 0, Continues = 2, GameMode = ModeContinue;
        std::for_each(std::begin(EnemySlot), std::end(EnemySlot), [](auto& e) { e.active = 0; });
        Press({KeyZ});
        EXPECT_EQ((Ints{GameMode, StageId, MusicSelect}), (Ints{ModeStage, c.stage, c.music}));
        EXPECT_EQ(Started(), c.started) << c.stage;
        EXPECT_TRUE(c.locked == 0 || EnemySlot[0].active == 1) << "the boss is back in " << c.stage;
    }
    EXPECT_EQ(EnemySlot[3].kind, BossFinal) << "all four in the EX arena";
}

TEST_F(Menus, TimeUpIsToldOnlyWhenTheClockRanOut) {
    // The reddish pixels of a rectangle: the question's colour.
    const auto count = [&](std::vector<uint32_t> r) {
        return std::count_if(r.begin(), r.end(), [](uint32_t c) {
            return ((c >> 16) & 0xFF) > 150 && ((c >> 16) & 0xFF) - ((c >> 8) & 0xFF) > 40;
        });
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
            if (frames == 1) { // the story's music stops, the ending's is chosen
                EXPECT_EQ((Ints{IsSoundBufferPlaying(BgmAdv3, 0), MusicSelect}), (Ints{0, 6}));
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
    GameMode = ModeEndingRoll, RollY = RollEndY;
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
    // Pictures 3 and 4 for more than 50000 and 14 hearts with the last stage's, and the EX stage.
    EXPECT_EQ(
        (Ints{SaveData.highScore, SaveData.picture[2], SaveData.picture[3], SaveData.exStage}),
        (Ints{51000, 1, 1, 1}));
    EXPECT_EQ(Started(), (Names{"wav_select.wav", "BGM_title.mp3"}));
    EXPECT_EQ(IsSoundBufferPlaying(BgmEnding, 0), 0);
    EXPECT_EQ((Ints{GameMode, RollY, StageId, TotalHearts}), (Ints{ModeTitle, 480, 1, 0}))
        << "ready for the next ending and the next game";
    EXPECT_EQ(StagePhase, 1) << "the next game opens with its story";
}

} // namespace
