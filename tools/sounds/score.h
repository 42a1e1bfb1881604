// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Music scores: our own text format (see assets/sounds/music/README.md) turned into a list of
// General MIDI notes for one pass of a loop.
#pragma once

#include <string>
#include <vector>

namespace snd {

struct Channel {
    std::string name;
    int channel = 0; // MIDI channel; 9 is the drum kit
    int program = 0;
    int volume = 100, pan = 64, reverb = 40;
};

struct Note {
    int channel = 0;
    int key = 60;
    int velocity = 90;
    double start = 0.0, end = 0.0; // seconds from the loop start; end may pass the loop end
};

struct Score {
    std::string name; // output file name without ".mp3"
    double tempo = 120.0;
    int beats = 4; // quarter notes per bar
    int bars = 0;
    double peakDb = -1.0, rmsDb = -18.0;
    double reverbRoom = 0.5, reverbLevel = 0.6, reverbDamp = 0.4, reverbWidth = 0.8;
    std::vector<Channel> channels;
    std::vector<Note> notes; // sorted by start

    double BarSeconds() const {
        return beats * 60.0 / tempo;
    }
    double LoopSeconds() const {
        return bars * BarSeconds();
    }
};

// Throws AssetError naming file and line for anything malformed, including a bar whose steps do
// not add up: a miscounted bar would shift the rest of the tune.
Score ParseScore(const std::vector<std::string>& lines, const std::string& file);

} // namespace snd
