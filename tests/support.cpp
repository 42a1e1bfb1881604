// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "support.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace test {

ScratchDir::ScratchDir() {
    static std::mt19937 names{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() /
            ("tovarine-test-" + std::to_string(names()) + "-" + std::to_string(names()));
    std::filesystem::create_directories(path_);
    // Private, as a runtime folder is: the game keeps its instance lock only in such a folder.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, argb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

bool WriteWav(const std::string& path, double seconds, double frequency, int rate) {
    const uint32_t frames = static_cast<uint32_t>(seconds * rate);
    std::vector<int16_t> samples(frames * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * frequency * i / rate));
        samples[2 * i] = samples[2 * i + 1] = v;
    }
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = frames * 4;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return static_cast<bool>(out);
}

const std::vector<std::string> CatalogueSounds = {
    "wav_check.wav", "wav_hit.wav",    "wav_select.wav", "wav_get.wav",    "wav_chakuti.wav",
    "wav_atc1.wav",  "wav_atc2.wav",   "wav_gun1.wav",   "wav_gun2.wav",   "wav_book1.wav",
    "wav_book2.wav", "wav_dog.wav",    "wav_kara.wav",   "wav_death.wav",  "wav_spider.wav",
    "wav_hari.wav",  "wav_heart.wav",  "wav_119in.wav",  "wav_119out.wav", "wav_shock.wav",
    "wav_brake.wav", "wav_error.wav",  "BGM_adv1.mp3",   "BGM_adv2.mp3",   "BGM_adv3.mp3",
    "BGM_title.mp3", "BGM_ending.mp3", "BGM_stage.mp3",  "BGM_boss.mp3"};

void WriteCatalogueSounds(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "snd");
    for (const std::string& name : CatalogueSounds) {
        WriteWav((dir / "snd" / name).string(), 0.5, 330.0);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

int Run(const std::string& command, const std::filesystem::path& dir) {
    const std::string full = "cd '" + dir.string() + "' && " + command;
    const int status = std::system(full.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace test
