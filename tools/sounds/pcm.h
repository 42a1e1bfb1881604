// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Small shared helpers of the sound generators: text parsing, curves and WAV output.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace snd {

constexpr int kRate = 44100;

// Thrown for any malformed asset; the message names the file and line.
struct AssetError {
    std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what);

std::vector<std::string> SplitWords(const std::string& line);
std::vector<std::string> SplitOn(const std::string& text, char separator);
double ParseNumber(const std::string& text, const std::string& where);
bool ReadLines(const std::string& path, std::vector<std::string>& lines);

// A value that changes over time: "t:v,t:v,..." or one constant value. Between points it moves
// linearly, or along a geometric path for pitch-like values; outside it holds the end values.
class Curve {
  public:
    Curve() = default;
    explicit Curve(double constant) : points_{{0.0, constant}} {}
    static Curve Parse(const std::string& text, const std::string& where);
    double At(double t, bool geometric) const;
    double EndTime() const;
    bool Empty() const {
        return points_.empty();
    }

  private:
    std::vector<std::pair<double, double>> points_;
};

// Deterministic noise (xorshift32) so every build writes the same bytes.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    double Next(); // uniform in [-1, 1)

  private:
    uint32_t state_;
};

// Writes 16-bit little-endian PCM WAV (channels interleaved). Returns false on an I/O error.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate);

// Scales to the peak level (dBFS) and rounds to 16 bits.
std::vector<int16_t> ToPcm16(const std::vector<float>& samples, double peakDb);

} // namespace snd
