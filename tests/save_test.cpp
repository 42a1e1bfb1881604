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

namespace fs = std::filesystem;

class Save : public ::testing::Test {
  protected:
    void SetUp() override {
        SaveData = {};
    }
    void Finish(int score, int hearts, int stage = 41) {
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

// The file after each game, field by field: the first finished game unlocks the first two
// pictures, the third needs more than 50000, the EX stage with fourteen hearts completes the set in
// one save, and neither the high score nor any picture ever goes back.
TEST_F(Save, EachFinishedGameUnlocksByScoreHeartsAndStageAndNothingIsLockedAgain) {
    const struct {
        int score, hearts, stage;
        std::string file;
    } games[] = {
        {50000, 13, 41, Bytes({1, 1, 1, 0, 0, 0, 0, 0, 50000})},
        {50001, 0, 41, Bytes({1, 1, 1, 1, 0, 0, 0, 0, 50001})},
        {20000, 0, 41, Bytes({1, 1, 1, 1, 0, 0, 0, 0, 50001})},
        {1000, 14, 51, Bytes({1, 1, 1, 1, 1, 1, 1, 1, 50001})},
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.score);
        Finish(game.score, game.hearts, game.stage);
        EXPECT_EQ(test::ReadFile("save.dat"), game.file);
    }
}

TEST_F(Save, PlantedLinksAreNeverFollowed) {
    Finish(70000, 0);
    // Someone who may write into the game's folder plants links to another file of the player's
    // under the names a save might use.
    std::ofstream("precious.txt") << "the player's own file";
    for (const char* name : {"save.dat.new", "save.dat.tmp", "save.dat~"}) {
        fs::create_symlink("precious.txt", name);
    }
    Finish(80000, 0);
    EXPECT_EQ(test::ReadFile("precious.txt"), "the player's own file");
    EXPECT_TRUE(fs::is_symlink("save.dat.new")) << "left as it was";
    EXPECT_FALSE(fs::is_symlink("save.dat"));
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 0, 0, 0, 0, 80000}));
    // A link planted as save.dat itself is replaced, not written through.
    fs::remove("save.dat");
    fs::create_symlink("precious.txt", "save.dat");
    Finish(90000, 0);
    EXPECT_EQ(test::ReadFile("precious.txt"), "the player's own file");
    EXPECT_FALSE(fs::is_symlink("save.dat"));
    EXPECT_EQ(fs::file_size("save.dat"), 36u);
}

TEST_F(Save, ASaveCutOffBeforeItsRenameLeavesTheOldFileToBeRead) {
    Finish(70000, 0);
    // What a crash between writing and renaming leaves behind: a half-written new file.
    std::ofstream("save.dat.new", std::ios::binary) << "\x01\x00";
    SaveData = {};
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 70000);
    EXPECT_EQ(SaveData.picture[0], 1);
    Finish(80000, 0); // and the next save does not trip over the leftover
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 0, 0, 0, 0, 80000}));
}

// A save that fails for want of space keeps the old file and the old unlocks, and says so in
// Log.txt and on the screen.
class SaveOnAFullDisk : public Save {
  protected:
    void SetUp() override {
        Save::SetUp();
        fs::create_directory("disk");
        mounted_ = std::system("mount -t tmpfs -o size=64k tmpfs disk 2>/dev/null") == 0;
        if (!mounted_) {
            GTEST_SKIP() << "a small file system cannot be mounted here";
        }
        fs::current_path("disk");
        HeadlessSetFrameLimit(-1);
        ASSERT_EQ(EngineInit(), 0);
    }
    void TearDown() override {
        if (mounted_) {
            EngineShutdown();
            fs::current_path(dir_.path());
            EXPECT_EQ(std::system("umount disk"), 0);
        }
        SaveNoticeFrames = 0;
    }
    bool mounted_ = false;
};

TEST_F(SaveOnAFullDisk, KeepsTheOldFileAndTellsThePlayer) {
    Finish(70000, 0);
    const std::string before = test::ReadFile("save.dat");
    ASSERT_EQ(before.size(), 36u);
    EXPECT_EQ(SaveNoticeFrames, 0);
    // Fill the disk to the last block.
    std::ofstream("filler", std::ios::binary) << std::string(64 * 4096, 'x');
    Finish(90000, 20, 51);
    EXPECT_EQ(test::ReadFile("save.dat"), before);
    EXPECT_EQ(SaveData.highScore, 70000);
    EXPECT_EQ(SaveData.exStage, 0) << "nothing shown as unlocked that was not kept";
    EXPECT_GT(SaveNoticeFrames, 0);
    const std::string log = test::ReadFile("Log.txt");
    EXPECT_NE(log.find("save.dat could not be saved"), std::string::npos) << log;
    for (const auto& entry : fs::directory_iterator(".")) {
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
