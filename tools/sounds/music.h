// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Renders a score with the General MIDI sound font into one seamless loop and encodes it as MP3.
#pragma once

#include "score.h"

#include <cstdint>
#include <string>
#include <vector>

namespace snd {

// One pass of the loop as interleaved stereo 16-bit samples at kRate, mastered to the score's
// levels. The pass is cut from the middle of a longer render, so its start already carries the
// reverb and the notes that ring over from its own end, and it fades in from the pass after it,
// so played round it has no seam.
std::vector<int16_t> RenderLoop(const Score& score, const std::string& soundFont);

// Writes a constant-bit-rate MP3 with an info frame that tells the decoder how many samples of
// encoder delay and padding to drop, so the decoded loop is exactly as long as the input.
void WriteMp3(const std::vector<int16_t>& stereo, const std::string& path);

} // namespace snd
