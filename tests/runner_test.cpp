// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The headless runner's interface, which tests and tools rely on, and the real game's frame loop
// as the runner drives it.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// One line per frame, the same for the same seed.
TEST_F(HeadlessRunner, WritesOneTraceLinePerFrameTheSameForTheSameSeed) {
    ASSERT_EQ(Run("--frames 30 --seed 7 --trace trace.jsonl"), 0);
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
    ASSERT_EQ(Run("--frames 30 --seed 7 --trace trace.jsonl"), 0);
    EXPECT_EQ(Trace(), lines);
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

// What it cannot understand, and inputs that would hang it or eat the machine's memory, are
// refused at once with status 2; a trace it cannot write fails the run with status 1. The reason
// goes to stderr.
TEST_F(HeadlessRunner, FailsOnWhatItCannotUnderstandSafelyReadOrWrite) {
    std::filesystem::create_directory(dir_.file("folder"));
    std::ofstream(dir_.file("big.txt")) << "0 z\n";
    std::filesystem::resize_file(dir_.file("big.txt"), 100u << 20);
    const struct {
        std::string keys, arguments;
        int status;
        std::string says;
    } cases[] = {
        {"", "--frames", 2, ""},
        {"", "--frames -3", 2, ""},
        // A limit that wraps to 1 or to -1 would run one frame or for ever.
        {"", "--frames 4294967297", 2, ""},
        {"", "--bogus 1", 2, ""},
        {"", "--answer maybe", 2, ""},
        {"", "--shot 1,x", 2, ""},
        {"", "--input missing.txt", 2, ""},
        {"", "--input folder", 2, "not a regular file"}, // a folder is no empty script
        {"", "--input /dev/zero", 2, ""},
        {"", "--input big.txt", 2, "larger than"},
        {"5 z\n3 x\n", "--input keys.txt", 2, ""}, // frames must not go backwards
        {"0 jump\n", "--input keys.txt", 2, "jump"},
        {"0 z\n99999999999 left\n", "--frames 5 --input keys.txt", 2, ""},
        {"0 z\n4294967296 left\n", "--frames 5 --input keys.txt", 2, ""},
        {"0 z" + std::string(5000, ' ') + "x\n", "--input keys.txt", 2, "longer than"},
        {"", "--frames 200 --trace /dev/full", 1, "cannot write /dev/full"},
        {"", "--frames 5", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments + ": " + c.keys.substr(0, 30));
        Keys(c.keys);
        EXPECT_EQ(Run(c.arguments), c.status);
        EXPECT_NE(test::ReadFile(dir_.file("stderr.txt")).find(c.says), std::string::npos);
    }
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

// The recorded game's key script as frames and the keys from then on (" z up", or "").
struct KeyLine {
    int frame;
    std::string keys;
};

std::vector<KeyLine> RecordedKeys() {
    std::vector<KeyLine> lines;
    for (const std::string& text : test::ReadLines(TOVARINE_SOURCE_DIR "/tests/runs/full.keys")) {
        if (!text.empty() && text[0] != '#') {
            const size_t space = text.find(' ');
            lines.push_back({std::stoi(text.substr(0, space)),
                             space == std::string::npos ? "" : text.substr(space)});
        }
    }
    return lines;
}

void WriteKeys(const std::string& path, const std::vector<KeyLine>& lines) {
    std::ofstream file(path);
    for (const KeyLine& line : lines) {
        file << line.frame << line.keys << "\n";
    }
}

std::string WithoutFrameNumber(const std::string& line) {
    const size_t comma = line.find(',');
    return comma == std::string::npos ? line : line.substr(comma);
}

// The player's own keys, from a settings file, play the recorded game exactly as the defaults do.
// A pause changes nothing: the recorded game with a pause put in anywhere gives the same frames,
// only later by the length of the pause.
TEST_F(HeadlessRunner, TheRecordedGamePlaysTheSameWithRemappedKeysOrAPauseAnywhere) {
    const std::vector<KeyLine> lines = RecordedKeys();
    WriteKeys(dir_.file("plain.txt"), lines);
    ASSERT_EQ(Run("--frames 3000 --input plain.txt --trace a.jsonl"), 0);
    const std::vector<std::string> a = test::ReadLines(dir_.file("a.jsonl"));
    ASSERT_EQ(a.size(), 3000u);
    EXPECT_NE(a.back().find("\"GameMode\":1"), std::string::npos) << "the run reached a stage";

    const std::map<std::string, std::string> keys = {
        {"z", "j"}, {"a", "k"}, {"c", "l"}, {"x", "i"}, {"up", "w"}};
    std::vector<KeyLine> remapped = lines;
    for (KeyLine& line : remapped) {
        std::istringstream in(line.keys);
        line.keys.clear();
        for (std::string word; in >> word;) {
            line.keys += " " + (keys.count(word) ? keys.at(word) : word);
        }
    }
    WriteKeys(dir_.file("remapped.txt"), remapped);
    std::ofstream(dir_.file("settings.ini")) << "key_attack = j\nkey_call = k\nkey_possess = l\n"
                                                "key_special = i\nkey_up = w\n";
    ASSERT_EQ(Run("--frames 3000 --input remapped.txt --settings settings.ini --trace b.jsonl"), 0);
    EXPECT_EQ(a, test::ReadLines(dir_.file("b.jsonl")));
    // Without --settings the runner reads none, whatever the player's own file says.
    ASSERT_EQ(Run("--frames 3000 --input remapped.txt --trace c.jsonl"), 0);
    EXPECT_NE(a, test::ReadLines(dir_.file("c.jsonl")));

    constexpr int Frames = 2400;
    constexpr int Pause = 90;
    // In the story, and in the stage with keys held; the pause is opened and closed with P, at a
    // frame with no change of keys in the three after it.
    for (int at : {600, 1500, 1763}) {
        while (std::any_of(lines.begin(), lines.end(), [at](const KeyLine& line) {
            return line.frame > at && line.frame <= at + 3;
        })) {
            ++at;
        }
        SCOPED_TRACE(at);
        std::string held;
        std::vector<KeyLine> paused;
        for (const KeyLine& line : lines) {
            if (line.frame < at) {
                paused.push_back(line);
            }
            held = line.frame <= at ? line.keys : held;
        }
        paused.insert(
            paused.end(),
            {{at, held + " p"}, {at + 2, held}, {at + Pause, held + " p"}, {at + Pause + 2, held}});
        for (const KeyLine& line : lines) {
            if (line.frame > at) {
                paused.push_back({line.frame + Pause, line.keys});
            }
        }
        WriteKeys(dir_.file("paused.txt"), paused);
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
