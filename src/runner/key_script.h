// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Key scripts: the headless runner's input, the recorded games of tests/runs, the benchmarks.
// "FRAME KEY..." lines in frame order; each line's keys are held from its frame until the next
// line. '#' starts a comment; a comment "--frames N" gives the length of a recorded game.
#pragma once

#include <cstddef>
#include <vector>

struct KeyScriptLine {
    int frame;
    std::vector<int> keys; // PC scan codes
};

struct KeyScript {
    std::vector<KeyScriptLine> lines;
    size_t next = 0;      // the first line not yet applied
    int replayFrames = 0; // the "--frames N" of a recorded game, 0 if none
};

// Reads a script; false, with a message naming the file and line on stderr, if it cannot be read
// or a line is malformed (a frame number out of order, a key without a name we know).
bool ReadKeyScript(const char* path, KeyScript& script);

// Holds the keys of the last line at or before this frame, when that line changed.
void ApplyKeyScript(KeyScript& script, int frame);
