// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Starting the game: the command line, the start-up question asked in the game's own window where
// the desktop has no box for it, the keys that switch the display, and the picture's place in a
// window of any shape.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/run.h"
#include "main/command_line.h"
#include "main/loop.h"
#include "support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- Command line ---------------------------------------------------------------------------

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome ReadArgs(std::vector<const char*> args) {
    args.insert(args.begin(), "tovarine");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = ReadCommandLine(static_cast<int>(args.size()), args.data(), out, err);
    auto text = [](std::FILE* file) {
        std::string all(static_cast<size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        all.resize(std::fread(all.data(), 1, all.size(), file));
        std::fclose(file);
        return all;
    };
    return Outcome{code, text(out), text(err)};
}

TEST(CommandLine, HelpAndVersionPrintAndEndTheProgramWell) {
    for (const char* help : {"-h", "--help"}) {
        const Outcome o = ReadArgs({help});
        EXPECT_EQ(o.code, 0) << help;
        EXPECT_EQ(o.out, UsageText) << help;
        EXPECT_TRUE(o.err.empty()) << help;
    }
    const Outcome version = ReadArgs({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tovarine [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
}

TEST(CommandLine, DisplayOptionsChooseHowTheGameStartsTheLastOneCounting) {
    const std::map<std::vector<const char*>, int> cases = {
        {{}, StartAsk},
        {{"-f"}, StartFullScreen},
        {{"--fullscreen"}, StartFullScreen},
        {{"-w"}, StartWindowed},
        {{"--window"}, StartWindowed},
        {{"-f", "-w"}, StartWindowed},
        {{"--window", "--fullscreen"}, StartFullScreen},
    };
    for (const auto& [args, expected] : cases) {
        StartDisplay = StartAsk;
        EXPECT_EQ(ReadArgs(args).code, -1);
        EXPECT_EQ(StartDisplay, expected) << args.size() << " arguments";
    }
    StartDisplay = StartAsk;
}

TEST(CommandLine, MistakesGiveTheUsageOnStderrAndExitCodeTwo) {
    for (const char* wrong : {"--bogus", "-x", "-fw", "--help=1", "save.dat", ""}) {
        const Outcome o = ReadArgs({"-w", wrong});
        EXPECT_EQ(o.code, 2) << wrong;
        EXPECT_TRUE(o.out.empty()) << wrong;
        EXPECT_NE(o.err.find(UsageText), std::string::npos) << wrong;
        EXPECT_NE(o.err.find(std::string("'") + wrong + "'"), std::string::npos) << o.err;
    }
    EXPECT_EQ(ReadArgs({"--bogus", "--help"}).code, 2) << "a mistake is never passed over";
}

// The manual page and --help describe the same options.
TEST(CommandLine, TheManualPageNamesEveryOptionOfTheHelp) {
    // In roff a dash in an option is written "\-".
    const std::string manual = std::regex_replace(
        test::ReadFile(TOVARINE_SOURCE_DIR "/packaging/tovarine.6"), std::regex(R"(\\-)"), "-");
    ASSERT_NE(manual.find(".TH TOVARINE 6"), std::string::npos) << "packaging/tovarine.6";
    const std::regex option(R"((^|[^-\w])(--?[a-z][a-z-]*))");
    auto optionsOf = [&](const std::string& text) {
        std::set<std::string> found;
        for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i) {
            found.insert((*i)[2]);
        }
        return found;
    };
    std::set<std::string> help = optionsOf(UsageText);
    EXPECT_EQ(help, (std::set<std::string>{"-f", "--fullscreen", "-w", "--window", "--settings",
                                           "--lang", "-h", "--help", "--version"}));
    const std::set<std::string> documented = optionsOf(manual);
    for (const std::string& name : help) {
        EXPECT_TRUE(documented.count(name)) << name << " is missing from tovarine(6)";
    }
}

// ---- The question in the game's window --------------------------------------------------------

// Keys pressed by frame, {frame, key}, each let go two frames later; a negative key is let go.
using Presses = std::vector<std::pair<int, int>>;
Presses Script;

void PlayScript(int frame) {
    for (const auto& [at, key] : Script) {
        if (at == frame + 1 || (key > 0 && at + 2 == frame + 1)) {
            HeadlessSetKey(std::abs(key), key > 0 && at == frame + 1);
        }
    }
}

constexpr int KeyEscape = 0x01;
constexpr int KeyReturn = 0x1C;
constexpr int KeyZ = 0x2C;
constexpr int KeyRight = 0xCD;
constexpr int KeyLeft = 0xCB;

class QuestionInWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        HeadlessReleaseAllKeys();
        HeadlessSetAnswer(-1); // the desktop has no box of its own
        HeadlessSetFrameLimit(40);
        HeadlessSetFrameHook(PlayScript);
        StartDisplay = StartAsk;
        GameMode = 9;
    }
    void TearDown() override {
        HeadlessSetFrameHook(nullptr);
        HeadlessReleaseAllKeys();
        HeadlessSetAnswer(AnswerNo);
        HeadlessSetFrameLimit(-1);
        Script.clear();
    }
    int Run(Presses keys) {
        Script = std::move(keys);
        return GameMain();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

// Return or Z take the answer under the cursor: "Yes" at first (full screen); Right moves it to
// "No" (a window) and Left from "Yes" wraps round to "Cancel", which, like Escape, starts nothing:
// no frame of the game runs and the engine is shut down. A key held from before the question is
// no answer.
TEST_F(QuestionInWindow, TheAnswerStartsTheGameInFullScreenOrInAWindowOrNotAtAll) {
    constexpr int Nothing = 0;
    const struct {
        bool returnHeld;
        Presses keys;
        int display;
    } cases[] = {
        {false, {{3, KeyReturn}}, 1},
        {false, {{2, KeyRight}, {6, KeyZ}}, 2},
        {true, {{10, -KeyReturn}, {12, KeyRight}, {16, KeyReturn}}, 2},
        {false, {{2, KeyLeft}, {6, KeyReturn}}, Nothing},
        {false, {{2, KeyEscape}}, Nothing},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        HeadlessReleaseAllKeys();
        HeadlessSetKey(KeyReturn, cases[i].returnHeld);
        GameMode = 9;
        EXPECT_EQ(Run(cases[i].keys), 0);
        if (cases[i].display == Nothing) {
            EXPECT_EQ(GameMode, 9) << "no frame of the game ran";
            EXPECT_LT(HeadlessFramesPresented(), 10);
            EXPECT_NE(ProcessMessage(), 0) << "the engine was shut down";
        } else {
            EXPECT_EQ(DisplayMode, cases[i].display);
            EXPECT_EQ(HeadlessIsFullscreen(), cases[i].display == 1);
            EXPECT_EQ(GameMode, ModeLogo) << "the game went on to its logo";
        }
    }
}

TEST_F(QuestionInWindow, TheCommandLineSkipsItAndSoDoesTheDesktopsBox) {
    StartDisplay = StartFullScreen;
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(DisplayMode, 1);
    EXPECT_EQ(HeadlessFramesPresented(), 40) << "no frame was spent on a question";
    StartDisplay = StartWindowed;
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(DisplayMode, 2);
    StartDisplay = StartAsk;
    HeadlessSetAnswer(AnswerYes);
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(DisplayMode, 1);
    EXPECT_EQ(HeadlessFramesPresented(), 40);
}

// ---- The display keys ----------------------------------------------------------------------

TEST_F(QuestionInWindow, F11AndAltEnterSwitchTheDisplayAsF1Does) {
    const std::vector<std::vector<int>> chords = {{0x3B}, {0x57}, {0x38, 0x1C}, {0xB8, 0x9C}};
    for (const std::vector<int>& chord : chords) {
        StartDisplay = StartWindowed;
        HeadlessSetFrameLimit(3);
        for (int key : chord) {
            HeadlessSetKey(key, true); // held: switches before every frame
        }
        EXPECT_EQ(Run({}), 0);
        HeadlessReleaseAllKeys();
        EXPECT_EQ(DisplayMode, 1) << "window, full screen, window, full screen: " << chord[0];
        EXPECT_TRUE(HeadlessIsFullscreen()) << chord[0];
    }
    StartDisplay = StartWindowed;
    HeadlessSetKey(0x1C, true); // Enter alone is no display key
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(DisplayMode, 2);
}

// ---- The picture in windows and screens of any shape -----------------------------------------

TEST(PictureRect, KeepsFourToThreeCentredInAnyOutput) {
    const struct {
        int w, h;
        std::array<int, 4> expected;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},     {1000, 480, {180, 0, 640, 480}},
        {640, 960, {0, 240, 640, 480}},   {1920, 1080, {240, 0, 1440, 1080}},
        {1280, 1024, {0, 32, 1280, 960}}, {1, 1, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        std::array<int, 4> rect;
        PictureRectIn(c.w, c.h, rect.data());
        EXPECT_EQ(rect, c.expected) << c.w << " x " << c.h;
    }
    for (int w = 1; w < 2000; w += 37) {
        for (int h = 1; h < 1500; h += 41) {
            int r[4];
            PictureRectIn(w, h, r);
            ASSERT_TRUE(r[0] >= 0 && r[1] >= 0 && r[2] >= 1 && r[3] >= 1 && r[0] + r[2] <= w &&
                        r[1] + r[3] <= h)
                << w << " x " << h;
            ASSERT_TRUE(r[2] == w || r[3] == h) << "as large as fits: " << w << " x " << h;
            if (r[2] >= 8 && r[3] >= 6) {
                ASSERT_NEAR(r[2] * 3.0 / (r[3] * 4.0), 1.0, 0.02) << w << " x " << h;
            }
        }
    }
}

} // namespace
