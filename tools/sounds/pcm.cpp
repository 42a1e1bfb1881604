// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "pcm.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace snd {

void Fail(const std::string& where, const std::string& what) {
    throw AssetError{where + ": " + what};
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

std::vector<std::string> SplitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

double ParseNumber(const std::string& text, const std::string& where) {
    if (text.empty()) {
        Fail(where, "missing number");
    }
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0' || !std::isfinite(value)) {
        Fail(where, "not a number: '" + text + "'");
    }
    return value;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        // Comments run from a '#' that starts a word to the end of the line; "g#4" is a note.
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '#' &&
                (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
                line.erase(i);
                break;
            }
        }
        lines.push_back(line);
    }
    return true;
}

Curve Curve::Parse(const std::string& text, const std::string& where) {
    Curve curve;
    for (const std::string& item : SplitOn(text, ',')) {
        std::vector<std::string> pair = SplitOn(item, ':');
        if (pair.size() == 1 && text.find(',') == std::string::npos) {
            curve.points_.push_back({0.0, ParseNumber(pair[0], where)});
        } else if (pair.size() == 2) {
            double t = ParseNumber(pair[0], where);
            if (!curve.points_.empty() && t < curve.points_.back().first) {
                Fail(where, "curve times must not go backwards: '" + text + "'");
            }
            curve.points_.push_back({t, ParseNumber(pair[1], where)});
        } else {
            Fail(where, "bad curve point '" + item + "' (want time:value)");
        }
    }
    return curve;
}

double Curve::At(double t, bool geometric) const {
    if (points_.empty()) {
        return 0.0;
    }
    if (t <= points_.front().first) {
        return points_.front().second;
    }
    for (size_t i = 1; i < points_.size(); ++i) {
        const auto& [t1, v1] = points_[i];
        if (t < t1) {
            const auto& [t0, v0] = points_[i - 1];
            double f = (t - t0) / (t1 - t0);
            if (geometric && v0 > 0.0 && v1 > 0.0) {
                return v0 * std::pow(v1 / v0, f);
            }
            return v0 + (v1 - v0) * f;
        }
    }
    return points_.back().second;
}

double Curve::EndTime() const {
    return points_.empty() ? 0.0 : points_.back().first;
}

double Noise::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

static void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int channels,
              int rate) {
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // integer PCM
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (int16_t s : samples) {
        PutLe(out, static_cast<uint16_t>(s), 2);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

std::vector<int16_t> ToPcm16(const std::vector<float>& samples, double peakDb) {
    float peak = 0.0f;
    for (float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    double scale = peak > 0.0f ? std::pow(10.0, peakDb / 20.0) * 32767.0 / peak : 0.0;
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        double v = std::lround(samples[i] * scale);
        pcm[i] = static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
    return pcm;
}

} // namespace snd
