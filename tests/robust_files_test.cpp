// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Bad pictures and sounds, a damaged or unwritable "save.dat", a save killed half-way, and a few
// thousand frames of random keys with nothing to load: the game keeps going and loses nothing.
#include "engine/engine.h"
#include "engine/headless.h"
#include "game/run.h"
#include "main/loop.h"
#include "main/save.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string BigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return BigEndian(static_cast<uint32_t>(data.size())) + body + BigEndian(Crc32(body));
}

// A PNG signature and a correct header chunk claiming width x height; with data, a first (tiny)
// data chunk and the end follow: enough for a decoder to learn the size and decide on its memory
// before any pixel.
std::string PngClaiming(uint32_t width, uint32_t height, bool data = true) {
    const std::string header =
        "\x89PNG\r\n\x1a\n"s +
        PngChunk("IHDR", BigEndian(width) + BigEndian(height) + "\x08\x06\x00\x00\x00"s);
    return data ? header + PngChunk("IDAT", "\x78\x9c\x03\x00\x00\x00\x00\x01"s) +
                      PngChunk("IEND", "")
                : header;
}

// Open file descriptors of this process; font files only when fonts is true, else all others.
int OpenFileCount(bool fonts = false) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = fs::read_symlink(entry.path(), error).string();
        const bool font =
            target.ends_with(".ttf") || target.ends_with(".otf") || target.ends_with(".ttc");
        count += font == fonts ? 1 : 0;
    }
    return count;
}

class BadFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), 0);
        SetTransparentColor(128, 0, 128);
    }
    void TearDown() override {
        EngineShutdown();
    }
    // The damaged variants of one good file: empty, cut short at several points, garbage, the
    // good bytes followed by garbage, and a folder in the file's place.
    std::vector<std::string> Variants(const std::string& good, const std::string& ext) {
        std::vector<std::pair<std::string, std::string>> files = {
            {"empty", ""},
            {"garbage", RandomBytes(4096, 7)},
            {"tail", good + RandomBytes(512, 8)},
            {"lastbyte", good.substr(0, good.size() - 1)}};
        for (size_t cut : {size_t{1}, size_t{8}, size_t{20}, size_t{45}, good.size() / 2}) {
            files.push_back({"cut" + std::to_string(cut), good.substr(0, cut)});
        }
        for (int flip = 0; flip < 8; ++flip) {
            std::string bytes = good;
            bytes[(flip * 7919) % bytes.size()] ^= static_cast<char>(0x5A);
            files.push_back({"flip" + std::to_string(flip), bytes});
        }
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files) {
            WriteBytes(dir_.file(name + ext), bytes);
            names.push_back(name + ext);
        }
        fs::create_directory(dir_.file("folder" + ext));
        names.push_back("folder" + ext);
        return names;
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(BadFiles, DamagedPicturesFailToLoadOrLoadWholeAndNeverBreakDrawing) {
    ASSERT_TRUE(test::WritePng(dir_.file("good.png"), 64, 48, std::vector<uint32_t>(64 * 48, ~0u)));
    std::vector<std::string> names = Variants(test::ReadFile(dir_.file("good.png")), ".png");
    WriteBytes(dir_.file("huge.png"), PngClaiming(100000, 100000, false));
    WriteBytes(dir_.file("wide.png"), PngClaiming(0x7FFFFFFF, 1, false));
    names.insert(names.end(), {"huge.png", "wide.png", "missing.png", "png\\missing.png"});
    const int fds = OpenFileCount();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const int handle = LoadImageFile(name.c_str(), 0);
        // Only the whole picture with a tail or a flipped byte may still decode.
        if (!name.starts_with("tail") && !name.starts_with("lastbyte") &&
            !name.starts_with("flip")) {
            EXPECT_EQ(handle, -1);
        }
        DrawImageAt(0, 0, handle, 1);
        DrawImageRegion(5, 5, 0, 0, 32, 32, handle, 1, 1);
        DrawImageStretched(0, 0, 640, 480, handle, 0);
        EXPECT_EQ(FlipScreen(), 0);
    }
    EXPECT_EQ(OpenFileCount(), fds) << "every file opened was closed again";
    EXPECT_NE(test::ReadFile("Log.txt").find("huge.png"), std::string::npos)
        << "each failure leaves a line in the log";
}

// Files a hostile tester puts among the data: pipes that never deliver, devices that never end,
// huge sparse files and pictures that claim gigabytes. Each is refused at once, with a log line.
TEST_F(BadFiles, HostileFilesAreRefusedAtOnceWithoutMemoryOrWaiting) {
    alarm(60); // a read that blocks ends the test here instead of hanging the suite
    ASSERT_EQ(mkfifo("pipe.png", 0600), 0);
    ASSERT_EQ(mkfifo("pipe.wav", 0600), 0);
    fs::create_symlink("/dev/zero", "zero.wav");
    fs::create_symlink("/dev/zero", "zero.png");
    // 8 GiB that take no room on the disk, behind a proper header.
    WriteBytes("huge.wav", "RIFF\xff\xff\xff\x7fWAVEfmt "s);
    fs::resize_file("huge.wav", 8ull << 30);
    WriteBytes("bomb.png", PngClaiming(16384, 16384));
    WriteBytes("wide.png", PngClaiming(4097, 1));
    WriteBytes("many.png", PngClaiming(4096, 1025)); // within the sides, not the pixels
    for (const char* picture : {"pipe.png", "zero.png", "bomb.png", "wide.png", "many.png"}) {
        EXPECT_EQ(LoadImageFile(picture, 0), -1) << picture;
    }
    for (const char* sound : {"pipe.wav", "zero.wav", "huge.wav"}) {
        EXPECT_EQ(LoadSoundFile(sound, 1, 0), -1) << sound;
    }
    alarm(0);
    const std::string log = test::ReadFile("Log.txt");
    for (const char* line : {"pipe.png (not a regular file)", "zero.wav (not a regular file)",
                             "huge.wav (8589934592 bytes, more than",
                             "bomb.png is 16384 x 16384 pixels, more than a picture may have",
                             "many.png is 4096 x 1025"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
    // The largest pictures of the game still load.
    std::vector<uint32_t> tall(640 * 3360, 0xFF336699u);
    ASSERT_TRUE(test::WritePng("tall.png", 640, 3360, tall));
    EXPECT_GE(LoadImageFile("tall.png", 0), 0);
}

TEST_F(BadFiles, DamagedSoundsFailToLoadOrPlayAndNeverStopTheGame) {
    ASSERT_TRUE(test::WriteWav(dir_.file("good.wav"), 0.1, 440));
    std::vector<std::string> names = Variants(test::ReadFile(dir_.file("good.wav")), ".wav");
    // MP3 names with the same damaged contents: the mixer goes by the bytes, not the name.
    for (const std::string& name : std::vector<std::string>(names)) {
        const std::string mp3 = name.substr(0, name.size() - 4) + ".mp3";
        if (!name.starts_with("folder")) {
            fs::copy_file(dir_.file(name), dir_.file(mp3));
            names.push_back(mp3);
        }
    }
    WriteBytes(dir_.file("frames.mp3"), "\xFF\xFB\x90\x64"s + RandomBytes(2000, 9));
    WriteBytes(dir_.file("id3.mp3"), "ID3\x04\x00\x00\x7F\x7F\x7F\x7F"s + RandomBytes(64, 10));
    names.insert(names.end(), {"frames.mp3", "id3.mp3", "missing.wav", "snd\\missing.mp3"});
    const int fds = OpenFileCount();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const int handle = LoadSoundFile(name.c_str(), 3, -1);
        if (name.starts_with("empty") || name.starts_with("folder") ||
            name.find("missing") != std::string::npos) {
            EXPECT_EQ(handle, -1);
        }
        SetSoundVolume(204, handle);
        PlaySoundHandle(handle, 3, 1);
        PlaySoundHandle(handle, 1, 1);
        StopSoundHandle(handle);
        EXPECT_EQ(FlipScreen(), 0);
    }
    EXPECT_EQ(OpenFileCount(), fds);
}

class SaveFile : public ::testing::Test {
  protected:
    void SetUp() override {
        SaveData = {};
    }
    void TearDown() override {
        fs::permissions(dir_.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    static void Finish(int score, int hearts) {
        TotalScore = score;
        TotalHearts = hearts;
        StageId = 41;
        WriteSaveData();
    }
    test::ScratchDir dir_;
    test::InFolder inFolder_{dir_.path()};
};

TEST_F(SaveFile, AnyContentsLoadAsTheirFirst36BytesAndOnlyOneUnlocks) {
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 0) << "no file: everything stays locked";
    for (size_t size : {size_t{0}, size_t{20}, size_t{36}, size_t{1000}}) {
        SCOPED_TRACE(size);
        const std::string bytes = RandomBytes(size, static_cast<uint32_t>(size));
        WriteBytes("save.dat", bytes);
        SaveData = {};
        ReadSaveData();
        std::string loaded(36, '\0');
        std::memcpy(loaded.data(), &SaveData, 36); // both little-endian here
        const size_t kept = std::min<size_t>(size, 36);
        EXPECT_EQ(loaded.substr(0, kept), bytes.substr(0, kept));
        EXPECT_EQ(loaded.substr(kept), std::string(36 - kept, '\0'));
        // A save over random contents still writes a clean 36-byte file.
        Finish(60000, 0);
        EXPECT_EQ(test::ReadFile("save.dat").size(), 36u);
        EXPECT_EQ(SaveData.picture[0], 1);
        EXPECT_EQ(SaveData.picture[2], 1);
    }
}

// A pipe in the save's place is not waited for; a folder is neither read nor replaced.
TEST_F(SaveFile, APipeIsNotWaitedForAndAFolderIsNeitherReadNorReplacedAndUnlocksNothing) {
    ASSERT_EQ(mkfifo("save.dat", 0600), 0);
    alarm(60); // a read that blocks ends the test here instead of hanging the suite
    ReadSaveData();
    alarm(0);
    EXPECT_EQ(SaveData.highScore, 0);
    fs::remove("save.dat");
    fs::create_directory("save.dat");
    ReadSaveData();
    EXPECT_EQ(SaveData.highScore, 0);
    Finish(90000, 20);
    EXPECT_TRUE(fs::is_directory("save.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1) << "no half-written file left";
    EXPECT_EQ(SaveData.highScore, 0) << "no save, so no unlock in memory either";
    EXPECT_EQ(SaveData.exStage, 0);
    EXPECT_EQ(SaveData.picture[0], 0);
}

TEST_F(SaveFile, AReadOnlyFolderKeepsTheOldSaveAndAReadOnlyFileIsStillReplaced) {
    Finish(70000, 0);
    const std::string before = test::ReadFile("save.dat");
    fs::permissions("save.dat", fs::perms::owner_read);
    Finish(80000, 0);
    EXPECT_EQ(SaveData.highScore, 80000) << "the folder decides, as for any replaced file";
    const std::string second = test::ReadFile("save.dat");
    EXPECT_NE(second, before);

    fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (access(".", W_OK) == 0) {
        GTEST_SKIP() << "running as a user who may write anywhere";
    }
    Finish(95000, 20);
    EXPECT_EQ(test::ReadFile("save.dat"), second);
    EXPECT_EQ(SaveData.highScore, 80000);
    EXPECT_EQ(SaveData.exStage, 0);
}

TEST_F(SaveFile, AProcessKilledWhileSavingLeavesTheOldOrTheNewFile) {
    std::mt19937 random(12);
    int killedMidway = 0;
    for (int round = 0; round < 40; ++round) {
        Finish(1000, 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves in a loop, each one with a higher score than the last.
            for (int32_t score = 1001;; ++score) {
                Finish(score, 0);
            }
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string bytes = test::ReadFile("save.dat");
        ASSERT_EQ(bytes.size(), 36u) << "round " << round;
        SaveData = {};
        ReadSaveData();
        EXPECT_EQ(SaveData.saved, 1);
        EXPECT_EQ(SaveData.picture[0], 1);
        EXPECT_GE(SaveData.highScore, 1000);
        killedMidway += SaveData.highScore > 1000 ? 1 : 0;
    }
    EXPECT_GT(killedMidway, 0) << "some kills came after saves had been made";
}

// Without any font the game skips its text and says so once, not every frame; without an audio
// device it plays silently, and its sounds still load.
TEST(Devices, WithoutFontsOrAnAudioDeviceTheGamePlaysOnSilentAndWithoutText) {
    test::ScratchDir dir;
    fs::create_directories(dir.file("no-fonts"));
    WriteBytes(dir.file("fonts.conf"), "<?xml version=\"1.0\"?>\n<fontconfig><dir>" +
                                           dir.file("no-fonts") + "</dir><cachedir>" +
                                           dir.file("no-fonts") + "</cachedir></fontconfig>\n");
    test::WriteCatalogueSounds(dir.path());
    WriteBytes(dir.file("keys"), "0\n200 z\n210\n400 z\n410\n700 z\n710\n");
    EXPECT_EQ(test::Run("FONTCONFIG_FILE=" + dir.file("fonts.conf") +
                            " SDL_AUDIODRIVER=nowhere " TOVARINE_HEADLESS
                            " --frames 1500 --input keys",
                        dir.path()),
              0);
    const std::vector<std::string> lines = test::ReadLines(dir.file("Log.txt"));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("no font") != std::string::npos;
                            }),
              1);
    const std::string log = test::ReadFile(dir.file("Log.txt"));
    EXPECT_NE(log.find("Sound: no audio driver"), std::string::npos) << log;
    EXPECT_EQ(log.find("LoadSoundFile"), std::string::npos) << "the sounds still load: " << log;
}

// Where the game cannot show itself it fails at once (status 1; 124 from timeout would mean it
// ran on, unseen) with one line on stderr and the reason in the log: with no display at all, and
// with an X server that takes the connection and never says a word, where it gives up after a few
// seconds instead of hanging before its question for ever.
TEST(Devices, WithoutAWorkingDisplayTheGameFailsAtOnceAndSaysWhy) {
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string display = ":" + std::to_string(700 + getpid() % 200);
    const std::string name = "/tmp/.X11-unix/X" + display.substr(1);
    std::memcpy(address.sun_path + 1, name.data(), name.size()); // abstract: no file left behind
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(server, 8), 0); // connections wait in the backlog, never answered
    test::ScratchDir dir;
    fs::create_directory(dir.file("run"));
    fs::permissions(dir.file("run"), fs::perms::owner_all); // a runtime folder of its own
    const struct {
        std::string env, err, log;
        std::vector<std::string> hows;
    } cases[] = {
        {"-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER",
         "tovarine: cannot start: no display",
         "EngineInit failed: no display",
         {"", " --window", " --fullscreen"}},
        {"-u WAYLAND_DISPLAY DISPLAY=" + display,
         "cannot start: the display " + display + " does not answer",
         "",
         {"", " --window"}},
    };
    for (const auto& c : cases) {
        for (const std::string& how : c.hows) {
            SCOPED_TRACE(c.env + how);
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(test::Run("env " + c.env + " XDG_RUNTIME_DIR=$PWD/run timeout -k 5 60 " +
                                    TOVARINE_GAME + how + " 2>stderr.txt",
                                dir.path()),
                      1);
            EXPECT_LE(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
            const std::string err = test::ReadFile(dir.file("stderr.txt"));
            EXPECT_NE(err.find(c.err), std::string::npos) << err;
            EXPECT_EQ(err.find("cannot start"), err.rfind("cannot start")) << "one line: " << err;
            EXPECT_NE(test::ReadFile(dir.file("Log.txt")).find(c.log), std::string::npos);
        }
    }
    close(server);
}

// The second-instance lock goes only where no one else can plant a file or a link for it.
TEST(Devices, TheInstanceLockIsNeverPlacedWhereOthersCanWrite) {
    test::ScratchDir dir;
    const std::string uid = std::to_string(getuid());
    for (const char* folder : {"tmp", "elsewhere", "shared"}) {
        fs::create_directories(dir.file(folder));
    }
    fs::permissions(dir.file("shared"), fs::perms::all);
    auto start = [&](const std::string& runtime) {
        return test::Run("env -u DISPLAY -u WAYLAND_DISPLAY " + runtime + " TMPDIR=" +
                             dir.file("tmp") + " " TOVARINE_GAME " --window 2>stderr.txt",
                         dir.path());
    };
    // A link planted as the game's folder in the shared temporary folder is not followed.
    fs::create_directory_symlink(dir.file("elsewhere"), dir.file("tmp/tovarine-" + uid));
    EXPECT_EQ(start("-u XDG_RUNTIME_DIR"), 1);
    EXPECT_TRUE(fs::is_empty(dir.file("elsewhere")));
    EXPECT_NE(test::ReadFile(dir.file("stderr.txt")).find("not checked"), std::string::npos);
    // A runtime folder that others may write is passed over for a private one of our own.
    fs::remove(dir.file("tmp/tovarine-" + uid));
    EXPECT_EQ(start("XDG_RUNTIME_DIR=" + dir.file("shared")), 1);
    EXPECT_TRUE(fs::is_empty(dir.file("shared")));
    const fs::path own = dir.file("tmp/tovarine-" + uid);
    ASSERT_TRUE(fs::is_directory(fs::symlink_status(own)));
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::is_empty(own)) << "the lock file is there";
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// Random keys from the title on (which only ever starts a game), with no pictures, no sounds and
// no save: the game plays on without crashing, and neither files nor memory pile up after the
// first minute. ROBUST_FRAMES and ROBUST_DATA (a folder with png/ and snd/) make it a long run.
TEST(LongRun, RandomKeysForAFewThousandFrames) {
    test::ScratchDir dir;
    test::InFolder in(dir.path());
    if (const char* data = std::getenv("ROBUST_DATA")) {
        fs::create_directory_symlink(fs::path(data) / "png", "png");
        fs::create_directory_symlink(fs::path(data) / "snd", "snd");
    }
    const char* framesText = std::getenv("ROBUST_FRAMES");
    static const int frames = framesText != nullptr ? std::atoi(framesText) : 7200;
    static std::mt19937 random(2024);
    static std::vector<int> fds;
    static std::vector<long> memory;
    static int fontFiles = 0;
    static int stagesStarted = 0;
    static int lastMode = -1;
    static constexpr int Keys[] = {0xC8, 0xD0, 0xCB, 0xCD, 0x2C, 0x2D,
                                   0x2E, 0x1E, 0x1F, 0x20, 0x39};
    HeadlessSetFrameLimit(frames);
    HeadlessSetSeed(5);
    HeadlessSetAnswer(AnswerNo);
    HeadlessSetFrameHook([](int frame) {
        if (frame % 6 == 0) {
            HeadlessReleaseAllKeys();
            if (GameMode == ModeTitle || GameMode == ModeExtras) {
                HeadlessSetKey(0x2C, frame % 12 == 0); // start a game, never the exit
            } else {
                for (int key : Keys) {
                    HeadlessSetKey(key, random() % 4 == 0);
                }
            }
        }
        stagesStarted += GameMode == ModeStage && lastMode != ModeStage ? 1 : 0;
        lastMode = GameMode;
        if (frame % 3600 == 3599) {
            fds.push_back(OpenFileCount());
            memory.push_back(ResidentKilobytes());
            fontFiles = std::max(fontFiles, OpenFileCount(true));
        }
    });
    EXPECT_EQ(GameMain(), 0);
    HeadlessSetFrameHook(nullptr);
    EXPECT_EQ(HeadlessFramesPresented(), frames);
    EXPECT_GT(stagesStarted, 0);
    ASSERT_GE(fds.size(), 2u);
    EXPECT_EQ(*std::max_element(fds.begin(), fds.end()), fds.front()) << "no file left open";
    // Each text size opens the font twice (plain and outlined) and keeps it: 7 sizes at most.
    EXPECT_LE(fontFiles, 14);
    const long growth = *std::max_element(memory.begin(), memory.end()) - memory.front();
    std::printf("%d frames, %d stages started; after the first minute: %ld kB resident, %d files "
                "open; growth since then %ld kB\n",
                frames, stagesStarted, memory.front(), fds.front(), growth);
#ifndef TOVARINE_SANITIZED // the address checker holds freed memory back for a while on purpose
    EXPECT_LT(growth, 4096);
#endif
}

} // namespace
