// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The effects synthesiser: each effect is a few voices (oscillator or noise, pitch and volume
// curves, filters, drive) mixed, echoed and scaled to a peak level, written as mono 16-bit WAV.
#pragma once

#include "pcm.h"

#include <string>
#include <vector>

namespace snd {

enum class Wave { Sine, Square, Saw, Triangle, Noise, HeldNoise };

struct Formant {
    double freq = 1000.0;
    double q = 5.0;
    double gain = 1.0;
};

struct Voice {
    Wave wave = Wave::Sine;
    double start = 0.0;                // seconds from the start of the effect
    Curve freq{440.0};                 // Hz (geometric between points)
    Curve bend{0.0};                   // semitones added to the pitch
    Curve amp;                         // 0..1; its last point ends the voice
    Curve duty{0.5};                   // square pulse width
    Curve lowpass, highpass, bandpass; // cut-off / centre in Hz, empty = off
    double lowpassQ = 0.707, bandpassQ = 1.0;
    std::vector<Formant> formants;       // parallel band-passes replacing the signal
    double vibratoDepth = 0.0;           // semitones
    double vibratoRate = 0.0;            // Hz
    double trillRatio = 1.0;             // pitch factor of the second half of each period
    double trillPeriod = 0.0;            // seconds
    double tremoloRate = 0.0;            // Hz, volume wobble
    double tremoloDepth = 0.0;           // 0..1
    double fmRatio = 0.0, fmIndex = 0.0; // sine only: phase modulation for bells
    double ring = 0.0;                   // Hz, ring modulation for metal
    double drive = 0.0;                  // tanh saturation, 0 = clean
    double gain = 1.0;
    int repeat = 1;
    double interval = 0.0;   // between repeats
    double repeatGain = 1.0; // factor per repeat
    uint32_t seed = 1;
};

struct Effect {
    std::string name;
    double peakDb = -6.0; // leaves the mixer room for overlaps and the music
    double echoTime = 0.0, echoFeedback = 0.0;
    std::vector<Voice> voices;
};

// Reads the effects file; throws AssetError with file and line on anything malformed.
std::vector<Effect> ParseEffects(const std::vector<std::string>& lines, const std::string& file);

// Renders one effect at kRate, unscaled (the caller normalises to its peak).
std::vector<float> RenderEffect(const Effect& effect);

} // namespace snd
