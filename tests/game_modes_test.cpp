// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The start-up modes, the mode table, the asset catalogue, the music starter and ResetRun.
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"
#include "game/run.h"
#include "main/loop.h"
#include "stage/stage.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> ImageOrder = {
    "map",     "player",  "Item_kuma", "Item_Ball", "Item_Hopping", "Item_gun", "Item_Book",
    "title",   "over",    "clear",     "Item",      "ritem",        "enemy1",   "enemy2",
    "enemy3",  "enemyB1", "enemyB2",   "enemyB3",   "enemyB4",      "stage10",  "stage11",
    "stage12", "stage1b", "change",    "cg01",      "cg02",         "cg03",     "cg04",
    "cg05",    "cg06",    "tama",      "yaji",      "light",        "car",      "black",
    "red",     "ending",  "extra",     "weeks",     "fog1",         "fog2",     "indication",
    "button"};

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
        EngineShutdown();
    }
    // A one-colour picture in png/.
    void Picture(const std::string& name, uint32_t rgb) {
        ASSERT_TRUE(test::WritePng("png/" + name + ".png", 4, 4,
                                   std::vector<uint32_t>(16, 0xFF000000u | rgb)));
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
    std::vector<std::string> Started() {
        const char* names[32];
        const int count = TakeStartedSounds(names, 32);
        return std::vector<std::string>(names, names + count);
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Modes, TheLogoFadesInAndOutOverExactly170Frames) {
    Picture("logo", 0xFFFFFF);
    GameMode = ModeLogo;
    std::vector<uint32_t> levels;
    while (GameMode == ModeLogo && levels.size() < 1000) {
        FrameStep();
        levels.push_back(GetBackBuffer()[220 * 640 + 220] & 0xFF);
    }
    ASSERT_EQ(levels.size(), 170u);
    EXPECT_EQ(levels[0], 0u);
    EXPECT_EQ(levels[1], 3u);
    EXPECT_EQ(levels[84], 252u);
    EXPECT_EQ(levels[85], 255u);
    EXPECT_EQ(levels[169], 3u);
    EXPECT_EQ(GameMode, ModeLoadingScreen);
    EXPECT_EQ(ScreenFade.alpha, 0) << "ready for the story's fades";
    EXPECT_EQ(ScreenFade.kind, 0);
}

TEST_F(Modes, LoadingAndAssetFramesLastOneFrameEachAndStartTheTitleMusic) {
    Picture("load", 0x00FF00);
    AllSounds();
    Started();
    GameMode = ModeLoadingScreen;
    FrameStep();
    EXPECT_EQ(GameMode, ModeLoadAssets);
    EXPECT_EQ(GetBackBuffer()[0], 0x00FF00u);
    FrameStep();
    EXPECT_EQ(GameMode, ModeTitle);
    EXPECT_EQ(MusicSelect, 0);
    EXPECT_EQ(GetBackBuffer()[0], 0x00FF00u) << "the loading picture stayed while loading";
    EXPECT_EQ(Started(), std::vector<std::string>{"BGM_title.mp3"});
    EXPECT_EQ(IsSoundBufferPlaying(BgmTitle, 0), 1);
}

TEST_F(Modes, EverythingIsLoadedInCatalogueOrderAndMissingFilesAreHarmless) {
    // Nothing exists: every load fails, in order, and the game runs on.
    LoadAllSounds();
    ReloadAllImages();
    std::vector<std::string> sounds;
    std::vector<std::string> images;
    for (const std::string& line : test::ReadLines("Log.txt")) {
        for (const char* kind : {"snd/", "png/"}) {
            const size_t at = line.find(kind);
            // (the window icon is not part of the catalogue)
            if (at != std::string::npos && line.find("Load") != std::string::npos &&
                line.find("icon.png") == std::string::npos) {
                std::string name = line.substr(at + 4);
                name = name.substr(0, name.find_first_of(" ("));
                (kind[0] == 's' ? sounds : images).push_back(name);
            }
        }
    }
    EXPECT_EQ(sounds, test::CatalogueSounds);
    std::vector<std::string> expected;
    for (const std::string& name : ImageOrder) {
        expected.push_back(name + ".png");
    }
    EXPECT_EQ(images, expected);
    EXPECT_EQ(PngMap, -1);
    EXPECT_EQ(WavCheck, -1);
    for (int mode : {ModeTitle, ModeStage, ModeTutorial}) {
        GameMode = mode;
        FrameStep();
        EXPECT_EQ(GameMode, mode);
    }
}

TEST_F(Modes, ValuesWithoutAModeLeaveThePictureAsItIs) {
    for (int mode : {9, 10, 13, 99, -1}) {
        DrawRectangle(0, 0, 640, 480, 0x445566, 1);
        GameMode = mode;
        FrameStep();
        FrameStep();
        EXPECT_EQ(GameMode, mode);
        EXPECT_EQ(GetBackBuffer()[320 * 640 + 200], 0x445566u) << mode;
    }
}

TEST_F(Modes, MusicStarterPlaysTheChosenTrackAndSetsEveryVolume) {
    AllSounds();
    const std::vector<std::string> tracks = {"BGM_title.mp3", "BGM_adv1.mp3",  "BGM_adv2.mp3",
                                             "BGM_adv3.mp3",  "BGM_stage.mp3", "BGM_boss.mp3",
                                             "BGM_ending.mp3"};
    for (int select = 0; select < 7; ++select) {
        Started();
        MusicSelect = select;
        StartMusic();
        EXPECT_EQ(Started(), std::vector<std::string>{tracks[select]}) << select;
        EXPECT_EQ(GetSoundMixerVolume(BgmStage), 40) << "about -10 dB even under other music";
        EXPECT_EQ(GetSoundMixerVolume(BgmBoss), 40);
        for (int track : {BgmTitle, BgmAdv1, BgmAdv2, BgmAdv3, BgmEnding}) {
            EXPECT_EQ(GetSoundMixerVolume(track), 114);
        }
    }
    MusicSelect = 0;
    StartMusic();
    EXPECT_EQ(IsSoundBufferPlaying(BgmTitle, 1), 1) << "the title now sounds twice";
    MusicSelect = 7;
    StartMusic();
    EXPECT_EQ(Started(), std::vector<std::string>{"BGM_title.mp3"}) << "stopping starts nothing";
    for (int track : {BgmTitle, BgmAdv1, BgmAdv2, BgmAdv3, BgmStage, BgmBoss, BgmEnding}) {
        for (int buffer = 0; buffer < 3; ++buffer) {
            EXPECT_EQ(IsSoundBufferPlaying(track, buffer), 0);
        }
    }
}

TEST_F(Modes, SceneryComesBackAsItWasAfterADisplayChange) {
    for (const auto& [name, colour] : {std::pair<std::string, uint32_t>{"stage10", 0x100000},
                                       {"stage11", 0x110000},
                                       {"stage12", 0x120000},
                                       {"stage1b", 0x1B0000},
                                       {"stage30", 0x300000},
                                       {"stage31", 0x310000},
                                       {"stage32", 0x320000},
                                       {"stage3b", 0x3B0000},
                                       {"stage41", 0x410000},
                                       {"stage4b", 0x4B0000},
                                       {"black", 0x000001}}) {
        Picture(name, colour);
    }
    ReloadAllImages();
    const int stage1Near = SceneryNear;
    LoadStageScenery(3);
    const int stage3Near = SceneryNear;
    LoadStageScenery(4);
    StageId = 4;
    EXPECT_EQ(ReleaseImage(stage1Near), -1) << "a replaced layer's picture is freed";
    EXPECT_EQ(ReleaseImage(stage3Near), -1);
    EXPECT_EQ(ColourOf(SceneryFar), 0x300000u) << "stage 4 keeps stage 3's far layer";
    EXPECT_EQ(ColourOf(SceneryNear), 0x410000u);

    ChangeWindowMode(0); // what F1 does: the engine drops every picture, the game reloads
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    EXPECT_EQ(ColourOf(SceneryFar), 0x300000u);
    EXPECT_EQ(ColourOf(SceneryNear), 0x410000u);
    EXPECT_EQ(ColourOf(ScenerySlow), 0x320000u);
    EXPECT_EQ(ColourOf(SceneryArena), 0x4B0000u);

    LoadStageScenery(5);
    ReloadAllImages(); // a reset brings back stage 1, and a later F1 keeps it
    ReloadAllImages();
    ReloadSceneryAfterDisplayChange();
    EXPECT_EQ(ColourOf(SceneryFar), 0x100000u);
    EXPECT_EQ(ColourOf(SceneryArena), 0x1B0000u);
}

TEST_F(Modes, ResetRunReturnsToAFreshGameAtTheTitle) {
    AllSounds();
    Score = 1234;
    TotalScore = 5678;
    StageHearts = 3;
    TotalHearts = 9;
    Continues = 0;
    ClearBonusCount = 0;
    StageId = 31;
    ScrollLocked = 1;
    StagePhase = 0;
    ScriptPosition = {1, 5, 12};
    StoryStep = 44;
    StorySide = 1;
    ScreenFade = {1, 2, 200, 1};
    GameMode = ModeContinue;
    MusicSelect = 5;
    EnemySlot[42].active = 1;
    HeartSlot[9].active = 1;
    TrapSlot[99].active = 1;
    Started();
    ResetRun();
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(TotalScore, 0);
    EXPECT_EQ(StageHearts, 0);
    EXPECT_EQ(TotalHearts, 0);
    EXPECT_EQ(Continues, 2);
    EXPECT_EQ(ClearBonusCount, 2);
    EXPECT_EQ(StageId, 1);
    EXPECT_EQ(ScrollLocked, 0);
    EXPECT_EQ(StagePhase, 1);
    EXPECT_EQ(ScriptPosition.block + ScriptPosition.line + ScriptPosition.offset, 0);
    EXPECT_EQ(StoryStep, 0);
    EXPECT_EQ(StorySide, -1);
    EXPECT_EQ(ScreenFade.active + ScreenFade.alpha + ScreenFade.kind, 0);
    EXPECT_EQ(GameMode, ModeTitle);
    EXPECT_EQ(MusicSelect, 0);
    EXPECT_EQ(Started(), std::vector<std::string>{"BGM_title.mp3"});
    EXPECT_EQ(EnemySlot[42].active + HeartSlot[9].active + TrapSlot[99].active, 0);
}

} // namespace
