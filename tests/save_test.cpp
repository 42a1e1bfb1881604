// "save.dat": what a finished game unlocks, the file's exact layout, and saves that go wrong.
#include "game/run.h"
#include "main/save.h"
#include "support.h"

#include <gtest/gtest.h>

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

TEST_F(Save, AFailedSaveKeepsTheOldFileAndUnlocksNothing) {
    Finish(70000, 0, 41);
    const std::string before = test::ReadFile("save.dat");
    // The new file cannot be created (here: a folder stands in its way).
    std::filesystem::create_directory("save.dat.new");
    Finish(90000, 20, 51);
    EXPECT_EQ(test::ReadFile("save.dat"), before);
    EXPECT_EQ(SaveData.exStage, 0);
    EXPECT_EQ(SaveData.highScore, 70000);
}

TEST_F(Save, ASaveCutOffBeforeItsRenameLeavesTheOldFileToBeRead) {
    Finish(70000, 0, 41);
    // What a crash between writing and renaming leaves behind: a half-written new file.
    std::ofstream("save.dat.new", std::ios::binary) << "\x01\x00";
    SaveData = {};
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 70000);
    EXPECT_EQ(SaveData.picture[0], 1);
    Finish(80000, 0, 41); // and the next save replaces the leftover
    EXPECT_EQ(test::ReadFile("save.dat"), Bytes({1, 1, 1, 1, 0, 0, 0, 0, 80000}));
    EXPECT_FALSE(std::filesystem::exists("save.dat.new"));
}

} // namespace
