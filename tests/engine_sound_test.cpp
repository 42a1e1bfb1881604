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
        tone_ = LoadSoundFile("tone.wav", 3, -1);
        ASSERT_GE(tone_, 0);
    }
    void TearDown() override {
        EngineShutdown();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
    int tone_ = -1;
};

TEST_F(Sounds, FourPlaysRestartTheFirstOfThreeBuffersAndAreReportedByName) {
    const char* names[8];
    TakeStartedSounds(names, 8);
    for (int frame = 0; frame < 4; ++frame) {
        EXPECT_EQ(PlaySoundHandle(tone_, frame == 3 ? 3 : 1, 1), 0);
    }
    const int starts[] = {2, 1, 1};
    for (int buffer = 0; buffer < 3; ++buffer) {
        EXPECT_EQ(GetSoundBufferStarts(tone_, buffer), starts[buffer]) << buffer;
        EXPECT_EQ(IsSoundBufferPlaying(tone_, buffer), 1) << "at most three copies, all sounding";
    }
    ASSERT_EQ(TakeStartedSounds(names, 8), 4);
    EXPECT_STREQ(names[0], "tone.wav");
    EXPECT_STREQ(names[3], "tone.wav");
    EXPECT_EQ(TakeStartedSounds(names, 8), 0);
    StopSoundHandle(tone_);
    for (int buffer = 0; buffer < 3; ++buffer) {
        EXPECT_EQ(IsSoundBufferPlaying(tone_, buffer), 0);
    }
}

TEST_F(Sounds, DecodedSamplesAreKeptAtTheMixerRate) {
    ASSERT_TRUE(test::WriteWav(dir_.file("low.wav"), 1.0, 220.0, 22050));
    const short* samples = nullptr;
    int frames = 0;
    ASSERT_EQ(GetSoundPcm(LoadSoundFile("low.wav", 3, -1), &samples, &frames), 0);
    EXPECT_NEAR(frames, 44100, 64) << "one second at 22.05 kHz becomes one second at 44.1 kHz";
}

TEST_F(Sounds, VolumeFollowsTheCentibelScale) {
    // The game's volume (0..255, clamped), its centibels and the mixer's volume (of 128).
    const struct {
        int volume, centibels, mixer;
    } cases[] = {{300, 0, 128}, {255, 0, 128},  {204, -97, 114}, {25, -1009, 40 /* -10 dB */},
                 {1, -2407, 8}, {0, -10000, 0}, {-4, -10000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_EQ(VolumeToCentibels(c.volume), c.centibels);
        EXPECT_EQ(CentibelsToMixerVolume(c.centibels), c.mixer);
        EXPECT_EQ(SetSoundVolume(c.volume, tone_), 0);
        EXPECT_EQ(GetSoundMixerVolume(tone_), c.mixer);
    }
}

TEST_F(Sounds, MissingAndBrokenFilesGiveMinusOneAndPlayNothing) {
    std::ofstream(dir_.file("broken.wav"), std::ios::binary) << "RIFF\x10\0\0\0WAVEjunk";
    EXPECT_EQ(LoadSoundFile("missing.wav", 3, -1), -1);
    EXPECT_EQ(LoadSoundFile("broken.wav", 3, -1), -1);
    EXPECT_EQ(PlaySoundHandle(-1, 1, 1), -1);
    EXPECT_EQ(StopSoundHandle(-1), -1);
    EXPECT_EQ(SetSoundVolume(100, -1), -1);
    ReleaseAllSounds(0);
    EXPECT_EQ(PlaySoundHandle(tone_, 1, 1), -1) << "a released handle is stale";
}

// Music is decoded in the background while the game loads on: whatever the order of use, a piece
// is whole when it is first played, and releasing everything mid-decoding loses nothing.
TEST_F(Sounds, CompressedMusicIsWholeWhenFirstPlayedInWhateverOrder) {
    const std::filesystem::path music =
        std::filesystem::path(TOVARINE_DATA_DIR) / "snd/BGM_title.mp3";
    if (!std::filesystem::exists(music)) {
        GTEST_SKIP() << "this build has no music";
    }
    const char* const names[] = {"a.mp3", "b.mp3", "c.mp3"};
    for (const char* name : names) {
        std::filesystem::copy_file(music, dir_.file(name));
    }
    for (const char* name : names) { // queued together, released while they decode
        ASSERT_GE(LoadSoundFile(name, 3, -1), 0);
    }
    ReleaseAllSounds(0);

    int handles[3];
    for (int i = 0; i < 3; ++i) {
        handles[i] = LoadSoundFile(names[i], 3, -1);
    }
    EXPECT_EQ(PlaySoundHandle(handles[2], 3, 1), 0) << "the last one queued, wanted first";
    EXPECT_EQ(IsSoundBufferPlaying(handles[2], 0), 1);
    const short* first = nullptr;
    int firstFrames = 0;
    ASSERT_EQ(GetSoundPcm(handles[2], &first, &firstFrames), 0);
    EXPECT_GT(firstFrames, 30 * 44100);
    for (const int handle : {handles[0], handles[1]}) {
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

} // namespace
