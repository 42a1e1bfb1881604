// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Small helpers shared by the tests: scratch folders, test pictures and sounds, processes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

// A fresh folder under the system's temp directory, removed when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const {
        return path_;
    }
    std::string file(const std::string& name) const {
        return (path_ / name).string();
    }

  private:
    std::filesystem::path path_;
};

// Makes a folder the working directory for the object's lifetime; declared after the folder's
// ScratchDir in a fixture, the test runs in it and the folder is left before it goes.
class InFolder {
  public:
    explicit InFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::filesystem::path previous_;
};

// Writes a PNG of 0xAARRGGBB pixels.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);
// Writes a 16-bit stereo WAV of a sine tone.
bool WriteWav(const std::string& path, double seconds, double frequency, int rate = 44100);
// Every sound file of the game's catalogue under dir/snd, as short tones (the mixer recognises a
// WAV by its contents, whatever the name).
void WriteCatalogueSounds(const std::filesystem::path& dir);
// The sound files of the catalogue in their load order.
extern const std::vector<std::string> CatalogueSounds;
std::string ReadFile(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);
// Runs a shell command in a folder; returns its exit status (-1 if it did not exit normally).
int Run(const std::string& command, const std::filesystem::path& dir);

} // namespace test
