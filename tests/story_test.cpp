// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The story: the message window reading the script, its buttons, the fades, and the scenes from
// the prologue to the ending.
#include "data/script_table.h"
#include "game/assets.h"
#include "game/pad.h"
#include "game/run.h"
#include "main/modes.h"
#include "stage/overlays.h"
#include "stage_fixture.h"
#include "story/scenes.h"
#include "story/script.h"
#include "story/window.h"

#include <cstring>
#include <vector>

namespace {

class Story : public StageFrame {
  protected:
    void SetUp() override {
        StageFrame::SetUp();
        test::WriteCatalogueSounds(dir_.path());
        LoadAllSounds();
        SelectFontFace("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", -1);
        ResetStory();
        ReplayCount = 0, WaitingAtB = 0, WindowVisible = 1;
        GameMode = ModeStage, MusicSelect = 1;
        std::memset(WindowRows, 0, sizeof WindowRows);
    }
    // One whole frame of the current mode: input, update, draw; notes each new story step and mode.
    void Step(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            ReadButtons();
            RunModeHandlers();
            for (auto [seen, now] : {std::pair{&steps_, StoryStep}, {&modes_, GameMode}}) {
                if (seen->back() != now) {
                    seen->push_back(now);
                }
            }
        }
    }
    // Presses a key for one frame and lets it go for one.
    void Tap(int scanCode) {
        HeadlessSetKey(scanCode, true);
        Step();
        HeadlessSetKey(scanCode, false);
        Step();
    }
    // Taps Z at every page until the condition holds (or a limit is reached).
    template <typename Done>
    int ReadOn(Done done, int limit = 20000) {
        int frames = 0;
        while (!done() && frames < limit) {
            if (WaitingAtB == 1) {
                Tap(KeyZ);
                frames += 2;
            } else {
                Step();
                ++frames;
            }
        }
        return frames;
    }
    static constexpr int KeyZ = 0x2C, KeyX = 0x2D, KeyC = 0x2E, KeyA = 0x1E;
    using Ints = std::vector<int>;
    Ints steps_ = {0}, modes_ = {ModeStage};
};

TEST_F(Story, ThePrologueWaitsForTheCarRepeatsLinesInGreyAndHandsOverToTheFirstStage) {
    // The car takes fifteen frames, and presses meanwhile wait for it.
    ReadOn([] { return StoryStep == 1; });
    int frames = 0;
    for (; StoryStep == 1 && frames < 100; ++frames) {
        HeadlessSetKey(KeyZ, frames % 2 == 0);
        Step();
    }
    HeadlessSetKey(KeyZ, false);
    EXPECT_EQ(frames, 15);
    EXPECT_EQ(ScriptPosition.line, 15) << "the brake line's hold was released";
    Step();
    EXPECT_EQ(StorySide, 1) << "the crash covers the stage";

    // Stepping back replays a line in grey, without its actions.
    ReadOn([] { return ScriptPosition.line == 17 && WaitingAtB == 1; });
    Tap(KeyX);
    EXPECT_EQ(ReplayCount, -2);
    ReadOn([] { return WaitingAtB == 1; });
    EXPECT_EQ(ScriptPosition.line, 16);
    EXPECT_LT(ReplayCount, 0) << "grey text";
    Tap(KeyZ);
    ReadOn([] { return WaitingAtB == 1; });
    EXPECT_EQ(ReplayCount, -1);
    Tap(KeyZ);
    EXPECT_EQ(ReplayCount, 0) << "new text is white again";

    ReadOn([] { return StagePhase == 0; });
    EXPECT_EQ(steps_, (Ints{0, 1, 2, 3, 4, 5, 6, 7})) << "the E of line 16 was passed";
    // The ghost back on the stage (StorySide -1) facing right, the stage music, the banner.
    EXPECT_EQ((Ints{GameMode, StorySide, PlayerState.facing, MusicSelect, StageBanner.active}),
              (Ints{ModeStage, -1, 1, 4, 1}));
    EXPECT_EQ((Ints{ScriptPosition.block, ScriptPosition.line, ScriptPosition.offset}),
              (Ints{1, 0, 2}))
        << "the finale's first page already waits";
    for (int row = 0; row < WindowRowCount; ++row) {
        EXPECT_STREQ(WindowRows[row], "") << "the window is empty";
    }
}

TEST_F(Story, SteppingBackAndForthOverTheMusicStopLeavesTheStageMusicPlaying) {
    constexpr int MusicStopLine = 59; // "C7@...": all music stops; line 62 starts the stage's
    const auto stageMusic = [] {
        return IsSoundBufferPlaying(BgmStage, 0) == 1 || IsSoundBufferPlaying(BgmStage, 1) == 1 ||
               IsSoundBufferPlaying(BgmStage, 2) == 1;
    };
    const auto backTo = [&](int line) {
        while (ScriptPosition.line > line) {
            Tap(KeyX);
            ReadOn([] { return WaitingAtB == 1; });
        }
    };
    ReadOn([] { return ScriptPosition.line == 66 && WaitingAtB == 1; });
    ASSERT_EQ(StoryStep, 7);
    ASSERT_TRUE(stageMusic());

    backTo(MusicStopLine);
    EXPECT_FALSE(stageMusic()) << "the stop is read again, as music codes are";
    ReadOn([] { return ScriptPosition.line == 61 && WaitingAtB == 1; });
    backTo(MusicStopLine - 1);
    ReadOn([] { return StagePhase == 0; });
    EXPECT_EQ(steps_, (Ints{0, 1, 2, 3, 4, 5, 6, 7})) << "no story action repeated";
    Step();
    EXPECT_TRUE(stageMusic()) << "the stage's music plays from the first frame of the action";
    EXPECT_EQ(MusicSelect, 4);
}

TEST_F(Story, ButtonThreeHidesTheWindowAndButtonFourPassesOnePageAFrameAtMost) {
    ReadOn([] { return ScriptPosition.line == 3 && WaitingAtB == 1; });
    Tap(KeyC);
    EXPECT_EQ(WindowVisible, 0);
    Tap(KeyZ);
    Tap(KeyX);
    EXPECT_EQ(ScriptPosition.line, 3) << "no advance, no step back while hidden";
    Tap(KeyC);
    EXPECT_EQ(WindowVisible, 1);
    Tap(KeyZ);
    ReadOn([] { return WaitingAtB == 1; });
    EXPECT_EQ(ScriptPosition.line, 4);
    HeadlessSetKey(KeyA, true);
    Step(12);
    HeadlessSetKey(KeyA, false);
    EXPECT_GT(ScriptPosition.line, 5);
    EXPECT_LE(ScriptPosition.line, 4 + 12 / 4 + 1) << "each page still writes at reading speed";
}

TEST_F(Story, AFullWindowScrollsUpByOneRow) {
    for (int row = 0; row < WindowRowCount; ++row) {
        std::memset(WindowRows[row], 'a' + row, 2 * RowCharacters);
    }
    WriteRow = 4;
    NewRow();
    EXPECT_EQ(WriteRow, 4);
    EXPECT_EQ(WindowRows[0][0], 'b');
    EXPECT_EQ(WindowRows[3][0], 'e');
    EXPECT_STREQ(WindowRows[4], "");
    EXPECT_EQ(WindowRows[0][2 * RowCharacters], 0) << "every row stays terminated";
}

TEST_F(Story, FadesTakeFiftyOneFramesEachWay) {
    ScreenFade = {1, 2, 0, 0};
    const int line = ScriptPosition.line;
    StagePhase = 1;
    const auto framesWhile = [](auto fading) {
        int frames = 0;
        for (; fading() && frames < 200; ++frames) {
            DrawMessageWindow();
        }
        return frames;
    };
    EXPECT_EQ(framesWhile([] { return ScreenFade.phase == 0; }), 51);
    EXPECT_EQ(ScriptPosition.line, line + 1);
    EXPECT_EQ(StoryStep, 1);
    EXPECT_EQ(framesWhile([] { return ScreenFade.active == 1; }), 51);
}

TEST_F(Story, TheFinaleGoesFullScreenAndEndsInTheRoll) {
    ScriptPosition = {1, 0, 2};
    StoryStep = 7, StageId = 41;
    ReadOn([] { return GameMode == ModeEndingRoll; });
    EXPECT_EQ(modes_, (Ints{ModeStage, ModeStory, ModeEndingRoll}));
    EXPECT_EQ((Ints{StoryStep, MusicSelect, StorySide}), (Ints{9, 3, 0}));
}

TEST_F(Story, TheTutorialHoldsTheGhostThenHandsOverToPlay) {
    ScriptPosition = {2, 0, 0};
    StoryStep = 100, StageId = 6, GameMode = ModeTutorial, Continues = 2;
    ReadOn([] { return StagePhase == 0; });
    EXPECT_EQ((Ints{StoryStep, Continues, ScriptPosition.line}), (Ints{101, 0, 12}));
    EXPECT_EQ(PlayerState.kind, Ghost);
}

} // namespace
