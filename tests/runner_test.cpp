// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The headless runner's interface, which tests and tools rely on, and the real game's frame loop
// as the runner drives it.
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

const std::string Runner = TOVARINE_HEADLESS;

class HeadlessRunner : public ::testing::Test {
  protected:
    int Run(const std::string& arguments) {
        return test::Run(Runner + " " + arguments + " 2>stderr.txt", dir_.path());
    }
    void Keys(const std::string& script) {
        std::ofstream(dir_.file("keys.txt")) << script;
    }
    std::vector<std::string> Trace() {
        return test::ReadLines(dir_.file("trace.jsonl"));
    }
    test::ScratchDir dir_;
};

TEST_F(HeadlessRunner, WritesOneTraceLinePerFrame) {
    ASSERT_EQ(Run("--frames 30 --trace trace.jsonl"), 0);
    const auto lines = Trace();
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[0].rfind("{\"frame\":0,\"GameMode\":8,", 0), 0u) << lines[0];
    EXPECT_EQ(lines[29].rfind("{\"frame\":29,", 0), 0u);
    for (const char* field :
         {"\"StageId\":1", "\"ScriptPosition\":[0,0,0]", "\"StorySide\":-1",
          "\"player\":{\"kind\":", "\"freeItem\":{", "\"enemies\":[", "\"sounds\":["}) {
        EXPECT_NE(lines[0].find(field), std::string::npos) << field;
    }
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "Log.txt"));
}

TEST_F(HeadlessRunner, EscapeEndsTheRunBeforeTheFrameItIsHeldIn) {
    Keys("# quit early\n0 z\n10 escape\n");
    ASSERT_EQ(Run("--frames 100 --input keys.txt --trace trace.jsonl"), 0);
    EXPECT_EQ(Trace().size(), 10u);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "save.dat")) << "quitting never saves";
    EXPECT_NE(test::ReadFile(dir_.file("Log.txt")).find("EngineShutdown done"), std::string::npos);
}

TEST_F(HeadlessRunner, CancelInTheQuestionStartsNothing) {
    ASSERT_EQ(Run("--answer cancel --trace trace.jsonl"), 0);
    EXPECT_TRUE(Trace().empty());
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Log.txt"));
}

TEST_F(HeadlessRunner, SavesTheChosenFramesAsPictures) {
    std::filesystem::create_directory(dir_.path() / "shots");
    ASSERT_EQ(Run("--frames 8 --shot 0,7 --shots-dir shots"), 0);
    for (const char* name : {"shots/shot-0.png", "shots/shot-7.png"}) {
        const std::string png = test::ReadFile(dir_.file(name));
        ASSERT_GT(png.size(), 24u) << name;
        EXPECT_EQ(png.substr(1, 3), "PNG");
        EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xe0", 8)) << "640 x 480";
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "shots/shot-1.png"));
}

TEST_F(HeadlessRunner, RunsWithTheSameSeedAreIdentical) {
    ASSERT_EQ(Run("--frames 20 --seed 7 --trace a.jsonl"), 0);
    ASSERT_EQ(Run("--frames 20 --seed 7 --trace b.jsonl"), 0);
    EXPECT_EQ(test::ReadFile(dir_.file("a.jsonl")), test::ReadFile(dir_.file("b.jsonl")));
}

TEST_F(HeadlessRunner, RefusesWhatItCannotUnderstand) {
    EXPECT_EQ(Run("--frames"), 2);
    EXPECT_EQ(Run("--frames -3"), 2);
    EXPECT_EQ(Run("--bogus 1"), 2);
    EXPECT_EQ(Run("--answer maybe"), 2);
    EXPECT_EQ(Run("--shot 1,x"), 2);
    EXPECT_EQ(Run("--input missing.txt"), 2);
    Keys("5 z\n3 x\n");
    EXPECT_EQ(Run("--input keys.txt"), 2) << "frames must not go backwards";
    Keys("0 jump\n");
    EXPECT_EQ(Run("--input keys.txt"), 2);
    EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("jump"), std::string::npos);
}

// Inputs that would hang the runner or eat the machine's memory are refused at once.
TEST_F(HeadlessRunner, RefusesHostileKeyScriptsAtOnce) {
    std::filesystem::create_directory(dir_.file("folder"));
    EXPECT_EQ(Run("--input folder"), 2) << "a folder is no empty script";
    EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("not a regular file"),
              std::string::npos);
    EXPECT_EQ(Run("--input /dev/zero"), 2);
    std::ofstream(dir_.file("big.txt")) << "0 z\n";
    std::filesystem::resize_file(dir_.file("big.txt"), 100u << 20);
    EXPECT_EQ(Run("--input big.txt"), 2);
    EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("larger than"), std::string::npos);
    Keys("0 z" + std::string(5000, ' ') + "x\n");
    EXPECT_EQ(Run("--input keys.txt"), 2);
    EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("longer than"), std::string::npos);
}

TEST_F(HeadlessRunner, ATraceThatCannotBeWrittenFailsTheRun) {
    EXPECT_EQ(Run("--frames 200 --trace /dev/full"), 1);
    EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("cannot write /dev/full"),
              std::string::npos);
}

TEST_F(HeadlessRunner, SigtermAndSigintEndTheRunThroughTheExitSequence) {
    for (const char* signal : {"TERM", "INT"}) {
        // Without a frame limit the run would go on for ever.
        const int status = test::Run("(" + Runner +
                                         " --frames 2000000000 --trace trace.jsonl 2>stderr.txt &"
                                         " pid=$!; sleep 1; kill -" +
                                         signal + " $pid; wait $pid)",
                                     dir_.path());
        EXPECT_EQ(status, 0) << signal;
        EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find("stopped by signal"),
                  std::string::npos);
        const std::vector<std::string> trace = Trace();
        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.back().back(), '}') << "the last line is whole";
        EXPECT_NE(test::ReadFile(dir_.file("Log.txt")).find("EngineShutdown done"),
                  std::string::npos);
    }
}

// The player's own keys, from a settings file, play the recorded game exactly as the defaults do.
TEST_F(HeadlessRunner, RemappedKeysFromASettingsFilePlayTheSameGame) {
    const std::vector<std::string> recorded =
        test::ReadLines(TOVARINE_SOURCE_DIR "/tests/runs/full.keys");
    std::string plain;
    std::string remapped;
    for (const std::string& line : recorded) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        plain += line + "\n";
        std::string words;
        std::istringstream in(line);
        for (std::string word; in >> word;) {
            const std::map<std::string, std::string> keys = {
                {"z", "j"}, {"a", "k"}, {"c", "l"}, {"x", "i"}, {"up", "w"}};
            words += (words.empty() ? "" : " ") + (keys.count(word) ? keys.at(word) : word);
        }
        remapped += words + "\n";
    }
    std::ofstream(dir_.file("plain.txt")) << plain;
    std::ofstream(dir_.file("remapped.txt")) << remapped;
    std::ofstream(dir_.file("settings.ini")) << "key_attack = j\nkey_call = k\nkey_possess = l\n"
                                                "key_special = i\nkey_up = w\n";
    ASSERT_EQ(Run("--frames 3000 --input plain.txt --trace a.jsonl"), 0);
    ASSERT_EQ(Run("--frames 3000 --input remapped.txt --settings settings.ini --trace b.jsonl"), 0);
    const std::vector<std::string> a = test::ReadLines(dir_.file("a.jsonl"));
    EXPECT_EQ(a, test::ReadLines(dir_.file("b.jsonl")));
    EXPECT_NE(a.back().find("\"GameMode\":1"), std::string::npos) << "the run reached a stage";
    // Without --settings the runner reads none, whatever the player's own file says.
    ASSERT_EQ(Run("--frames 3000 --input remapped.txt --trace c.jsonl"), 0);
    EXPECT_NE(a, test::ReadLines(dir_.file("c.jsonl")));
}

// A pause changes nothing: the recorded game with a pause put in anywhere gives the same frames,
// only later by the length of the pause.
std::string WithoutFrameNumber(const std::string& line) {
    const size_t comma = line.find(',');
    return comma == std::string::npos ? line : line.substr(comma);
}

TEST_F(HeadlessRunner, APauseAnywhereLeavesTheGameExactlyAsItWas) {
    const std::vector<std::string> recorded =
        test::ReadLines(TOVARINE_SOURCE_DIR "/tests/runs/full.keys");
    struct Line {
        int frame;
        std::string keys;
    };
    std::vector<Line> lines;
    for (const std::string& text : recorded) {
        if (!text.empty() && text[0] != '#') {
            const size_t space = text.find(' ');
            lines.push_back({std::stoi(text.substr(0, space)),
                             space == std::string::npos ? "" : text.substr(space)});
        }
    }
    constexpr int Frames = 2400;
    constexpr int Pause = 90;
    std::string plain;
    for (const Line& line : lines) {
        plain += std::to_string(line.frame) + line.keys + "\n";
    }
    std::ofstream(dir_.file("plain.txt")) << plain;
    ASSERT_EQ(Run("--frames " + std::to_string(Frames) + " --input plain.txt --trace a.jsonl"), 0);
    const std::vector<std::string> a = test::ReadLines(dir_.file("a.jsonl"));
    ASSERT_EQ(a.size(), static_cast<size_t>(Frames));
    // In the story, and in the stage with keys held; the pause is opened and closed with P.
    for (int wanted : {600, 1500, 1763}) {
        int at = wanted;
        auto lineNear = [&lines](int from) {
            for (const Line& line : lines) {
                if (line.frame > from && line.frame <= from + 3) {
                    return true;
                }
            }
            return false;
        };
        while (lineNear(at)) {
            ++at;
        }
        SCOPED_TRACE(at);
        std::string held;
        for (const Line& line : lines) {
            if (line.frame <= at) {
                held = line.keys;
            }
        }
        std::string paused;
        bool inserted = false;
        for (const Line& line : lines) {
            if (line.frame >= at && !inserted) {
                paused += std::to_string(at) + held + " p\n" + std::to_string(at + 2) + held +
                          "\n" + std::to_string(at + Pause) + held + " p\n" +
                          std::to_string(at + Pause + 2) + held + "\n";
                inserted = true;
            }
            if (line.frame != at) {
                paused += std::to_string(line.frame < at ? line.frame : line.frame + Pause) +
                          line.keys + "\n";
            }
        }
        std::ofstream(dir_.file("paused.txt")) << paused;
        ASSERT_EQ(Run("--frames " + std::to_string(Frames + Pause) +
                      " --input paused.txt --trace b.jsonl"),
                  0);
        const std::vector<std::string> b = test::ReadLines(dir_.file("b.jsonl"));
        ASSERT_EQ(b.size(), static_cast<size_t>(Frames + Pause));
        for (int f = 0; f < Frames; ++f) {
            const int g = f < at ? f : f + Pause;
            ASSERT_EQ(WithoutFrameNumber(a[f]), WithoutFrameNumber(b[g])) << "frame " << f;
        }
    }
}

} // namespace
