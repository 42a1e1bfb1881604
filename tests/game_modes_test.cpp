// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The frame loop and the start-up modes: hold counters, the mode table, Escape and F1, the asset
// catalogue, the music starter and ResetRun.
#include "enemy/enemies.h"
#include "enemy/pickups.h"
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/assets.h"
#include "game/pad.h"
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

using Names = std::vector<std::string>;
using Ints = std::vector<int>;

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
        HeadlessReleaseAllKeys();
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
    Names Started() {
        const char* names[32];
        const int count = TakeStartedSounds(names, 32);
        return Names(names, names + count);
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Modes, HoldCountersCountFramesHeldAndResetOnRelease) {
    EXPECT_EQ(StageId, 1) << "start-up leaves a fresh run";
    EXPECT_EQ(StagePhase, 1);
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

TEST_F(Modes, TheLogoFadesInAndOutOverExactly170Frames) {
    Picture("logo", 0xFFFFFF);
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
    EXPECT_EQ(Started(), Names{"BGM_title.mp3"});
    EXPECT_EQ(IsSoundBufferPlaying(BgmTitle, 0), 1);
}

TEST_F(Modes, EverythingIsLoadedInCatalogueOrderAndMissingFilesAreHarmless) {
    // Nothing exists: every load fails, in order, and the game runs on.
    LoadAllSounds();
    ReloadAllImages();
    Names sounds, images;
    for (const std::string& line : test::ReadLines("Log.txt")) {
        for (const char* kind : {"snd/", "png/"}) {
            const size_t at = line.find(kind);
            // (the window icon is not part of the catalogue)
            if (at != std::string::npos && line.find("Load") != std::string::npos &&
                line.find("icon.png") == std::string::npos) {
                std::string name = line.substr(at + 4);
                (kind[0] == 's' ? sounds : images)
                    .push_back(name.substr(0, name.find_first_of(" (")));
            }
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
    for (int track : all) {
        for (int buffer = 0; buffer < 3; ++buffer) {
            EXPECT_EQ(IsSoundBufferPlaying(track, buffer), 0);
        }
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
    EXPECT_EQ((Ints{ScriptPosition.block, ScriptPosition.line, ScriptPosition.offset}),
              (Ints{0, 0, 0}));
    EXPECT_EQ((Ints{ScreenFade.active, ScreenFade.alpha, ScreenFade.kind}), (Ints{0, 0, 0}));
    EXPECT_EQ((Ints{GameMode, MusicSelect}), (Ints{ModeTitle, 0}));
    EXPECT_EQ(Started(), Names{"BGM_title.mp3"});
    EXPECT_EQ((Ints{EnemySlot[42].active, HeartSlot[9].active, TrapSlot[99].active}),
              (Ints{0, 0, 0}));
}

TEST(GameMain, AModeWithoutHandlersKeepsLoopingUntilEscape) {
    test::ScratchDir dir;
    test::InFolder inFolder(dir.path());
    HeadlessReleaseAllKeys();
    HeadlessSetFrameLimit(-1);
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameHook([](int frame) {
        if (frame == 0) {
            GameMode = 9;
        }
        if (frame == 49) {
            HeadlessSetKey(0x01, true); // Escape after the fiftieth frame
        }
    });
    EXPECT_EQ(GameMain(), 0);
    HeadlessSetFrameHook(nullptr);
    HeadlessReleaseAllKeys();
    EXPECT_EQ(HeadlessFramesPresented(), 50);
    EXPECT_EQ(GameMode, 9);
    EXPECT_EQ(DisplayMode, 2);
    EXPECT_FALSE(HeadlessIsFullscreen());
    EXPECT_NE(ProcessMessage(), 0) << "the exit sequence shut the engine down";
}

} // namespace
