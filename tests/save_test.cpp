// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// "save.dat": what a finished game unlocks, the file's exact layout, and saves that go wrong.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/run.h"
#include "main/loop.h"
#include "main/save.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class Save : public ::testing::Test {
  protected:
    void SetUp() override {
        SaveData = {};
        TotalScore = 0;
        TotalHearts = 0;
        StageId = 41;
    }
    void Finish(int score, int hearts, int stage) {
        TotalScore = score;
        TotalHearts = hearts;
        StageId = stage;
        WriteSaveData();
    }
    static std::string Bytes(std::initializer_list<int32_t> fields) {
        std::string bytes;
        for (int32_t field : fields) {
            for (int b = 0; b < 4; ++b) {
                bytes.push_back(static_cast<char>(static_cast<uint32_t>(field) >> (8 * b)));
            }
        }
        return bytes;
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Save, TheFirstFinishedGameUnlocksTheFirstTwoPictures) {
    Finish(50000, 13, 41);
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 0, 0, 0, 0, 0, 50000}));
}

TEST_F(Save, PictureThreeNeedsMoreThan50000) {
    Finish(50000, 0, 41);
    EXPECT_EQ(SaveData.picture[2], 0);
    Finish(50001, 0, 41);
    EXPECT_EQ(SaveData.picture[2], 1);
    EXPECT_EQ(SaveData.highScore, 50001);
    Finish(20000, 0, 41);
    EXPECT_EQ(SaveData.highScore, 50001) << "the high score never goes down";
    EXPECT_EQ(SaveData.picture[2], 1) << "nothing is ever locked again";
}

TEST_F(Save, TheExStageWithFourteenHeartsCompletesTheSetInOneSave) {
    Finish(60000, 3, 41); // picture 3
    Finish(1000, 14, 51); // pictures 4 and 5, the EX flag, and so picture 6
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 1, 1, 1, 1, 60000}));
}

TEST_F(Save, AShortFileFillsOnlyTheBytesItHas) {
    std::ofstream("save.dat", std::ios::binary) << Bytes({1, 1, 1, 1, 1}).substr(0, 20);
    ReadSaveData();
    EXPECT_EQ(SaveData.picture[3], 1) << "bytes 16 to 19";
    EXPECT_EQ(SaveData.picture[4], 0);
    EXPECT_EQ(SaveData.picture[5], 0);
    EXPECT_EQ(SaveData.exStage, 0);
    EXPECT_EQ(SaveData.highScore, 0);
}

TEST_F(Save, AMissingFileLeavesEverythingLockedAndALongOneIsReadToItsFirst36Bytes) {
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 0);
    std::ofstream("save.dat", std::ios::binary)
        << Bytes({1, 1, 0, 0, 0, 0, 0, 0, 0x01020304}) << "trailing bytes";
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 0x01020304);
    Finish(5, 0, 41);
    EXPECT_EQ(test::ReadFile("save.dat").size(), 36u) << "every save is exactly 36 bytes";
}

TEST_F(Save, PlantedLinksAreNeverFollowed) {
    Finish(70000, 0, 41);
    // Someone who may write into the game's folder plants links to another file of the player's
    // under the names a save might use.
    std::ofstream("precious.txt") << "the player's own file";
    for (const char* name : {"save.dat.new", "save.dat.tmp", "save.dat~"}) {
        std::filesystem::create_symlink("precious.txt", name);
    }
    Finish(80000, 0, 41);
    EXPECT_EQ(test::ReadFile("precious.txt"), "the player's own file");
    EXPECT_TRUE(std::filesystem::is_symlink("save.dat.new")) << "left as it was";
    EXPECT_FALSE(std::filesystem::is_symlink("save.dat"));
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 0, 0, 0, 0, 80000}));
    // A link planted as save.dat itself is replaced, not written through.
    std::filesystem::remove("save.dat");
    std::filesystem::create_symlink("precious.txt", "save.dat");
    Finish(90000, 0, 41);
    EXPECT_EQ(test::ReadFile("precious.txt"), "the player's own file");
    EXPECT_FALSE(std::filesystem::is_symlink("save.dat"));
    EXPECT_EQ(std::filesystem::file_size("save.dat"), 36u);
}

TEST_F(Save, ASaveCutOffBeforeItsRenameLeavesTheOldFileToBeRead) {
    Finish(70000, 0, 41);
    // What a crash between writing and renaming leaves behind: a half-written new file.
    std::ofstream("save.dat.new", std::ios::binary) << "\x01\x00";
    SaveData = {};
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 70000);
    EXPECT_EQ(SaveData.picture[0], 1);
    Finish(80000, 0, 41); // and the next save does not trip over the leftover
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 0, 0, 0, 0, 80000}));
}

// A save that fails for want of space keeps the old file and the old unlocks, and says so in
// Log.txt and on the screen.
class SaveOnAFullDisk : public Save {
  protected:
    void SetUp() override {
        Save::SetUp();
        std::filesystem::create_directory("disk");
        mounted_ = std::system("mount -t tmpfs -o size=64k tmpfs disk 2>/dev/null") == 0;
        if (!mounted_) {
            GTEST_SKIP() << "a small file system cannot be mounted here";
        }
        std::filesystem::current_path("disk");
        HeadlessSetFrameLimit(-1);
        ASSERT_EQ(EngineInit(), 0);
    }
    void TearDown() override {
        if (mounted_) {
            EngineShutdown();
            std::filesystem::current_path(dir_.path());
            EXPECT_EQ(std::system("umount disk"), 0);
        }
        SaveNoticeFrames = 0;
    }
    bool mounted_ = false;
};

TEST_F(SaveOnAFullDisk, KeepsTheOldFileAndTellsThePlayer) {
    Finish(70000, 0, 41);
    const std::string before = test::ReadFile("save.dat");
    ASSERT_EQ(before.size(), 36u);
    EXPECT_EQ(SaveNoticeFrames, 0);
    // Fill the disk to the last block.
    {
        std::ofstream filler("filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) {
        }
    }
    Finish(90000, 20, 51);
    EXPECT_EQ(test::ReadFile("save.dat"), before);
    EXPECT_EQ(SaveData.highScore, 70000);
    EXPECT_EQ(SaveData.exStage, 0) << "nothing shown as unlocked that was not kept";
    EXPECT_GT(SaveNoticeFrames, 0);
    const std::string log = test::ReadFile("Log.txt");
    EXPECT_NE(log.find("save.dat could not be saved"), std::string::npos) << log;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_EQ(entry.path().filename().string().rfind("save.dat.", 0), std::string::npos)
            << "a half-written file left behind: " << entry.path();
    }
    // The notice shows over whatever the mode drew, and goes after a few seconds.
    GameMode = 9;
    FrameStep();
    EXPECT_EQ(GetBackBuffer()[455 * 640 + 8] & 0xFFFFFF, 0x600000u);
    for (int i = 0; i < 600; ++i) {
        FrameStep();
    }
    EXPECT_EQ(SaveNoticeFrames, 0);
}

} // namespace
