// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Sounds: the play buffers taken in turn, volume in centibels, and sounds that cannot be loaded.
#include "engine/engine.h"
#include "engine/headless.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class Sounds : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), 0);
        ASSERT_TRUE(test::WriteWav(dir_.file("tone.wav"), 2.0, 440.0));
    }
    void TearDown() override {
        EngineShutdown();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(Sounds, FourPlaysRestartTheFirstOfThreeBuffers) {
    const int tone = LoadSoundFile("tone.wav", 3, -1);
    ASSERT_GE(tone, 0);
    for (int frame = 0; frame < 4; ++frame) {
        EXPECT_EQ(PlaySoundHandle(tone, 1, 1), 0);
    }
    EXPECT_EQ(GetSoundBufferStarts(tone, 0), 2);
    EXPECT_EQ(GetSoundBufferStarts(tone, 1), 1);
    EXPECT_EQ(GetSoundBufferStarts(tone, 2), 1);
    for (int buffer = 0; buffer < 3; ++buffer) {
        EXPECT_EQ(IsSoundBufferPlaying(tone, buffer), 1) << "at most three copies, all sounding";
    }
    StopSoundHandle(tone);
    for (int buffer = 0; buffer < 3; ++buffer) {
        EXPECT_EQ(IsSoundBufferPlaying(tone, buffer), 0);
    }
}

TEST_F(Sounds, DecodedSamplesAreKeptAtTheMixerRate) {
    ASSERT_TRUE(test::WriteWav(dir_.file("low.wav"), 1.0, 220.0, 22050));
    const int low = LoadSoundFile("low.wav", 3, -1);
    ASSERT_GE(low, 0);
    const short* samples = nullptr;
    int frames = 0;
    ASSERT_EQ(GetSoundPcm(low, &samples, &frames), 0);
    EXPECT_NEAR(frames, 44100, 64) << "one second at 22.05 kHz becomes one second at 44.1 kHz";
}

TEST_F(Sounds, VolumeFollowsTheCentibelScale) {
    EXPECT_EQ(VolumeToCentibels(255), 0);
    EXPECT_EQ(VolumeToCentibels(300), 0);
    EXPECT_EQ(VolumeToCentibels(204), -97);
    EXPECT_EQ(VolumeToCentibels(25), -1009);
    EXPECT_EQ(VolumeToCentibels(1), -2407);
    EXPECT_EQ(VolumeToCentibels(0), -10000);
    EXPECT_EQ(VolumeToCentibels(-4), -10000);
    EXPECT_EQ(CentibelsToMixerVolume(0), 128);
    EXPECT_EQ(CentibelsToMixerVolume(-10000), 0);

    const int tone = LoadSoundFile("tone.wav", 3, -1);
    SetSoundVolume(255, tone);
    EXPECT_EQ(GetSoundMixerVolume(tone), 128);
    SetSoundVolume(25, tone);
    EXPECT_EQ(GetSoundMixerVolume(tone), 40); // about -10 dB
    SetSoundVolume(204, tone);
    EXPECT_EQ(GetSoundMixerVolume(tone), 114);
    SetSoundVolume(0, tone);
    EXPECT_EQ(GetSoundMixerVolume(tone), 0);
}

TEST_F(Sounds, MissingAndBrokenFilesGiveMinusOneAndPlayNothing) {
    std::ofstream(dir_.file("broken.wav"), std::ios::binary) << "RIFF\x10\0\0\0WAVEjunk";
    EXPECT_EQ(LoadSoundFile("missing.wav", 3, -1), -1);
    EXPECT_EQ(LoadSoundFile("broken.wav", 3, -1), -1);
    EXPECT_EQ(PlaySoundHandle(-1, 1, 1), -1);
    EXPECT_EQ(StopSoundHandle(-1), -1);
    EXPECT_EQ(SetSoundVolume(100, -1), -1);
    const int tone = LoadSoundFile("tone.wav", 3, -1);
    ReleaseAllSounds(0);
    EXPECT_EQ(PlaySoundHandle(tone, 1, 1), -1) << "a released handle is stale";
}

// Music is decoded in the background while the game loads on: whatever the order of use, a piece
// is whole when it is first played, and releasing everything mid-decoding loses nothing.
TEST_F(Sounds, CompressedMusicIsWholeWhenFirstPlayedInWhateverOrder) {
    const std::filesystem::path music =
        std::filesystem::path(TOVARINE_DATA_DIR) / "snd/BGM_title.mp3";
    if (!std::filesystem::exists(music)) {
        GTEST_SKIP() << "this build has no music";
    }
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
        std::filesystem::copy_file(music, dir_.file(name));
    }
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
        ASSERT_GE(LoadSoundFile(name, 3, -1), 0);
    }
    ReleaseAllSounds(0);

    const int a = LoadSoundFile("a.mp3", 3, -1);
    const int b = LoadSoundFile("b.mp3", 3, -1);
    const int c = LoadSoundFile("c.mp3", 3, -1);
    EXPECT_EQ(PlaySoundHandle(c, 3, 1), 0) << "the last one queued, wanted first";
    EXPECT_EQ(IsSoundBufferPlaying(c, 0), 1);
    const short* first = nullptr;
    int firstFrames = 0;
    ASSERT_EQ(GetSoundPcm(c, &first, &firstFrames), 0);
    EXPECT_GT(firstFrames, 30 * 44100);
    for (const int handle : {a, b}) {
        const short* samples = nullptr;
        int frames = 0;
        ASSERT_EQ(GetSoundPcm(handle, &samples, &frames), 0);
        ASSERT_EQ(frames, firstFrames);
        EXPECT_EQ(std::memcmp(samples, first, static_cast<size_t>(frames) * 4), 0);
    }

    std::ofstream(dir_.file("tag.mp3"), std::ios::binary) << "ID3" << std::string(200, 'x');
    const int tag = LoadSoundFile("tag.mp3", 3, -1);
    EXPECT_EQ(PlaySoundHandle(tag, 3, 1), tag >= 0 ? 0 : -1);
    EXPECT_EQ(IsSoundBufferPlaying(tag, 0), 0) << "a tag with no music in it plays nothing";
}

TEST_F(Sounds, StartedSoundsAreReportedByFileName) {
    const int tone = LoadSoundFile("tone.wav", 3, -1);
    const char* names[8];
    TakeStartedSounds(names, 8);
    PlaySoundHandle(tone, 1, 1);
    PlaySoundHandle(tone, 3, 1);
    ASSERT_EQ(TakeStartedSounds(names, 8), 2);
    EXPECT_STREQ(names[0], "tone.wav");
    EXPECT_EQ(TakeStartedSounds(names, 8), 0);
}

} // namespace
