// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The player's settings file, the command line over it, the controls it remaps and the volumes
// it hands to the mixer.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/pad.h"
#include "main/command_line.h"
#include "main/loop.h"
#include "main/settings.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::snprintf(SettingsPath, sizeof SettingsPath, "%s", dir_.file("settings.ini").c_str());
        ResetSettings();
    }
    void TearDown() override {
        SettingsPath[0] = '\0';
        ResetSettings();
        StartDisplay = StartAsk;
    }
    void Write(const std::string& text) {
        std::ofstream(SettingsPath, std::ios::binary) << text;
    }
    // The problems ReadSettings noted, as Log.txt gets them.
    std::string Logged() {
        HeadlessSetFrameLimit(-1);
        EXPECT_EQ(EngineInit(), 0);
        LogSettingsProblems();
        EngineShutdown();
        return test::ReadFile("Log.txt");
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(SettingsFile, WhatIsWrittenIsReadBackAndExplainsItself) {
    Settings.screen = ScreenFullscreen;
    Settings.smooth = 1;
    Settings.musicVolume = 30;
    Settings.effectsVolume = 70;
    Settings.language = LanguageSettingEn;
    Settings.escapePauses = 1;
    AssignKey(ActionAttack, 0x24);  // j
    AssignKey(ActionUp, 0x2C);      // z: attack's old key goes to... up's old key, swapped
    AssignPadButton(ActionCall, 1); // attack takes call's button 4
    const SettingsRecord written = Settings;
    ASSERT_TRUE(WriteSettings());
    ResetSettings();
    ReadSettings();
    EXPECT_EQ(std::memcmp(&Settings, &written, sizeof Settings), 0);
    const std::string text = test::ReadFile(SettingsPath);
    for (const char* line : {"# The screen at start", "key_attack = j", "pad_attack = 4"}) {
        EXPECT_NE(text.find(line), std::string::npos) << text;
    }
    EXPECT_EQ(Logged().find("settings:"), std::string::npos) << "nothing to complain about";
}

TEST_F(SettingsFile, AFileInAFolderThatIsNotThereYetIsMadeWithItsFolders) {
    std::snprintf(SettingsPath, sizeof SettingsPath, "%s", dir_.file("a/b/settings.ini").c_str());
    ASSERT_TRUE(WriteSettings());
    EXPECT_TRUE(fs::is_regular_file(SettingsPath));
    // A planted link where the file goes is replaced, never written through.
    std::ofstream("precious") << "mine";
    fs::remove(SettingsPath);
    fs::create_symlink(dir_.file("precious"), SettingsPath);
    ASSERT_TRUE(WriteSettings());
    EXPECT_EQ(test::ReadFile("precious"), "mine");
    EXPECT_FALSE(fs::is_symlink(SettingsPath));
}

TEST_F(SettingsFile, EveryBadLineKeepsItsDefaultAndIsLoggedOnce) {
    Write("screen = sideways\n"
          "music_volume = 150\n"
          "effects_volume = -1\n"
          "scaling=smooth   # no spaces needed\n"
          "volume = 3\n"
          "this is no setting\n"
          "key_attack = escape\n"
          "pad_up = 3\n"
          "key_special = k\n"
          "\x01\x02\xff garbage\n");
    ReadSettings();
    EXPECT_EQ(Settings.screen, ScreenAsk);
    EXPECT_EQ(Settings.musicVolume, 100);
    EXPECT_EQ(Settings.effectsVolume, 100);
    EXPECT_EQ(Settings.smooth, 1) << "the good lines around the bad ones count";
    EXPECT_EQ(Settings.key[ActionAttack], 0x2C) << "Escape keeps its own meaning";
    EXPECT_EQ(Settings.key[ActionSpecial], 0x25);
    const std::string log = Logged();
    for (const char* line : {"line 1:", "line 2:", "line 3:", "line 5:", "line 6:", "line 7:",
                             "line 8:", "line 10:"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
    EXPECT_EQ(log.find("line 4:"), std::string::npos) << log;
}

TEST_F(SettingsFile, TwoActionsOnOneKeyPutTheControlsBackToTheDefaults) {
    Write("key_attack = x\nmusic_volume = 40\n");
    ReadSettings();
    EXPECT_EQ(Settings.key[ActionAttack], 0x2C);
    EXPECT_EQ(Settings.key[ActionSpecial], 0x2D);
    EXPECT_EQ(Settings.musicVolume, 40);
    EXPECT_NE(Logged().find("share a key or button"), std::string::npos);
}

TEST_F(SettingsFile, MissingDamagedOrHostileFilesGiveTheDefaultsAtOnce) {
    ReadSettings();
    EXPECT_EQ(Settings.screen, ScreenAsk) << "no file: the defaults, quietly";
    EXPECT_EQ(Logged().find("settings:"), std::string::npos);
    // A folder, a pipe, a device that never ends, a file too long to be settings.
    for (int kind = 0; kind < 4; ++kind) {
        fs::remove_all(SettingsPath);
        if (kind == 0) {
            fs::create_directory(SettingsPath);
        } else if (kind == 1) {
            ASSERT_EQ(mkfifo(SettingsPath, 0600), 0);
        } else if (kind == 2) {
            fs::create_symlink("/dev/zero", SettingsPath);
        } else {
            Write("music_volume = 5\n" + std::string(70000, '#'));
        }
        Settings.musicVolume = 1;
        ReadSettings();
        EXPECT_EQ(Settings.musicVolume, 100) << kind;
        EXPECT_NE(Logged().find("the defaults are used"), std::string::npos) << kind;
    }
}

TEST_F(SettingsFile, TheCommandLineBeatsTheFile) {
    Write("screen = fullscreen\n");
    HeadlessSetAnswer(AnswerNo); // the box would say window, but it is not asked
    HeadlessSetFrameLimit(3);
    EXPECT_EQ(GameMain(), 0);
    EXPECT_EQ(DisplayMode, 1) << "the file's full screen, without the question";
    const char* args[] = {"tovarine", "--window"};
    ASSERT_EQ(ReadCommandLine(2, args, stdout, stderr), -1);
    EXPECT_EQ(GameMain(), 0);
    EXPECT_EQ(DisplayMode, 2) << "--window beats the file";
    HeadlessSetFrameLimit(-1);
}

// ---- The controls and volumes in the engine ---------------------------------------------------

class Controls : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessReleaseAllKeys();
        ASSERT_EQ(EngineInit(), 0);
        ResetSettings();
    }
    void TearDown() override {
        ResetSettings();
        ApplySettings();
        HeadlessReleaseAllKeys();
        EngineShutdown();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Controls, ChosenKeysAndPadButtonsDriveTheirActions) {
    AssignKey(ActionAttack, 0x24); // j
    AssignKey(ActionUp, 0x11);     // w
    AssignPadButton(ActionAttack, 3);
    ApplySettings();
    // J attacks, Z no longer does, W moves up and so does the numeric pad still.
    const int keys[][2] = {{0x24, PadButton1}, {0x2C, 0}, {0x11, PadUp}, {0x48, PadUp}};
    for (const auto& [key, bits] : keys) {
        HeadlessSetKey(key, true);
        EXPECT_EQ(ReadPadState(0x1001) & 0xFF, bits) << key;
        HeadlessSetKey(key, false);
    }
    HeadlessSetPadBits(0x10u << 2); // pad button 3
    EXPECT_EQ(ReadPadState(0x0001) & 0xFF, PadButton1);
    HeadlessSetPadBits(0x10u << 0); // pad button 1 took button 3's old bit
    EXPECT_EQ(ReadPadState(0x0001) & 0xFF, PadButton3);
}

TEST_F(Controls, AssigningATakenKeyOrButtonSwapsThem) {
    AssignKey(ActionAttack, 0x2D); // X, special's key
    EXPECT_EQ(Settings.key[ActionAttack], 0x2D);
    EXPECT_EQ(Settings.key[ActionSpecial], 0x2C);
    AssignPadButton(ActionPause, 1);
    EXPECT_EQ(Settings.padButton[ActionPause], 1);
    EXPECT_EQ(Settings.padButton[ActionAttack], 8);
    AssignPadButton(ActionUp, 5);
    EXPECT_EQ(Settings.padButton[ActionUp], 0) << "directions stay on the stick and d-pad";
}

TEST_F(Controls, TheVolumesReachTheMixer) {
    ASSERT_TRUE(test::WriteWav("effect.wav", 0.1, 440));
    fs::copy_file("effect.wav", "music.mp3"); // music by its name; the mixer reads it as a WAV
    const int effect = LoadSoundFile("effect.wav", 1, 0);
    const int music = LoadSoundFile("music.mp3", 1, 0);
    ASSERT_GE(effect, 0);
    ASSERT_GE(music, 0);
    const int fullEffect = GetSoundMixerVolume(effect);
    const int fullMusic = GetSoundMixerVolume(music);
    ASSERT_GT(fullEffect, 0);
    Settings.musicVolume = 50;
    Settings.effectsVolume = 0;
    ApplySettings();
    EXPECT_EQ(GetSoundMixerVolume(music), fullMusic / 2);
    EXPECT_EQ(GetSoundMixerVolume(effect), 0);
    SetSoundVolume(255, music); // the game's own volume still counts underneath
    EXPECT_EQ(GetSoundMixerVolume(music), fullMusic / 2);
}

} // namespace
