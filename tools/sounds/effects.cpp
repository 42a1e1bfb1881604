// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace snd {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// One RBJ biquad; coefficients are recomputed per sample because the curves may move.
class Biquad {
  public:
    enum Kind { LowPass, HighPass, BandPass };
    double Run(double x, Kind kind, double freq, double q) {
        freq = std::clamp(freq, 10.0, 0.45 * kRate);
        double w = kTwoPi * freq / kRate;
        double c = std::cos(w);
        double alpha = std::sin(w) / (2.0 * q);
        double b0, b1, b2;
        if (kind == LowPass) {
            b0 = (1.0 - c) / 2.0;
            b1 = 1.0 - c;
            b2 = b0;
        } else if (kind == HighPass) {
            b0 = (1.0 + c) / 2.0;
            b1 = -(1.0 + c);
            b2 = b0;
        } else {
            b0 = alpha;
            b1 = 0.0;
            b2 = -alpha;
        }
        double a0 = 1.0 + alpha;
        double y = (b0 * x + b1 * x1_ + b2 * x2_ + 2.0 * c * y1_ - (1.0 - alpha) * y2_) / a0;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

  private:
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Band-limited step correction, so square and saw do not alias into a hiss.
double PolyBlep(double phase, double dt) {
    if (phase < dt) {
        double t = phase / dt;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - dt) {
        double t = (phase - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double TrillFactor(const Voice& v, double t) {
    if (v.trillPeriod <= 0.0 || v.trillRatio == 1.0) {
        return 1.0;
    }
    // The pitch steps between two tones, with a 8 ms glide so the switch does not click.
    double p = std::fmod(t, v.trillPeriod);
    double half = v.trillPeriod / 2.0;
    double s = 0.0;
    if (p >= half) {
        s = std::clamp((p - half) / 0.008, 0.0, 1.0);
    } else if (t >= half) {
        s = 1.0 - std::clamp(p / 0.008, 0.0, 1.0);
    }
    return std::pow(v.trillRatio, s);
}

std::vector<double> RenderVoice(const Voice& v) {
    double length = v.amp.EndTime();
    size_t count = static_cast<size_t>(length * kRate);
    std::vector<double> out(count);
    Noise noise(v.seed);
    Biquad low, high, band;
    std::vector<Biquad> formants(v.formants.size());
    double phase = 0.0, modPhase = 0.0, held = noise.Next();
    double driveNorm = v.drive > 0.0 ? std::tanh(v.drive) : 1.0;
    for (size_t n = 0; n < count; ++n) {
        double t = static_cast<double>(n) / kRate;
        double semis = v.bend.At(t, false);
        if (v.vibratoDepth > 0.0) {
            semis += v.vibratoDepth * std::sin(kTwoPi * v.vibratoRate * t);
        }
        double f = v.freq.At(t, true) * std::pow(2.0, semis / 12.0) * TrillFactor(v, t);
        double dt = std::min(f / kRate, 0.5);
        double x = 0.0;
        switch (v.wave) {
        case Wave::Sine:
            x = std::sin(kTwoPi * phase + v.fmIndex * std::sin(kTwoPi * modPhase));
            break;
        case Wave::Square: {
            double duty = std::clamp(v.duty.At(t, false), 0.05, 0.95);
            // A pulse narrower or wider than half spends more time on one side: its mean,
            // 2 duty - 1, would be a DC offset that eats headroom and thumps when it starts.
            x = (phase < duty ? 1.0 : -1.0) + PolyBlep(phase, dt) -
                PolyBlep(std::fmod(phase + 1.0 - duty, 1.0), dt) - (2.0 * duty - 1.0);
            break;
        }
        case Wave::Saw:
            x = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
            break;
        case Wave::Triangle:
            x = 1.0 - 4.0 * std::fabs(phase - 0.5);
            break;
        case Wave::Noise:
            x = noise.Next();
            break;
        case Wave::HeldNoise:
            x = held;
            break;
        }
        phase += dt;
        if (phase >= 1.0) {
            phase -= 1.0;
            held = noise.Next();
        }
        modPhase = std::fmod(modPhase + f * v.fmRatio / kRate, 1.0);
        if (v.ring > 0.0) {
            x *= std::sin(kTwoPi * v.ring * t);
        }
        if (v.drive > 0.0) {
            x = std::tanh(v.drive * x) / driveNorm;
        }
        if (!v.highpass.Empty()) {
            x = high.Run(x, Biquad::HighPass, v.highpass.At(t, true), 0.707);
        }
        if (!v.lowpass.Empty()) {
            x = low.Run(x, Biquad::LowPass, v.lowpass.At(t, true), v.lowpassQ);
        }
        if (!v.bandpass.Empty()) {
            x = band.Run(x, Biquad::BandPass, v.bandpass.At(t, true), v.bandpassQ);
        }
        if (!formants.empty()) {
            double sum = 0.0;
            for (size_t i = 0; i < formants.size(); ++i) {
                const Formant& fm = v.formants[i];
                sum += fm.gain * formants[i].Run(x, Biquad::BandPass, fm.freq, fm.q);
            }
            x = sum;
        }
        double tremolo = 1.0;
        if (v.tremoloDepth > 0.0) {
            tremolo -= v.tremoloDepth * (0.5 + 0.5 * std::sin(kTwoPi * v.tremoloRate * t));
        }
        out[n] = x * v.amp.At(t, false) * tremolo * v.gain;
    }
    return out;
}

Wave ParseWave(const std::string& name, const std::string& where) {
    if (name == "sine") {
        return Wave::Sine;
    }
    if (name == "square") {
        return Wave::Square;
    }
    if (name == "saw") {
        return Wave::Saw;
    }
    if (name == "triangle") {
        return Wave::Triangle;
    }
    if (name == "noise") {
        return Wave::Noise;
    }
    if (name == "heldnoise") {
        return Wave::HeldNoise;
    }
    Fail(where, "unknown wave '" + name + "'");
}

// "a:b" into two numbers.
std::pair<double, double> ParsePair(const std::string& text, const std::string& where) {
    std::vector<std::string> parts = SplitOn(text, ':');
    if (parts.size() != 2) {
        Fail(where, "want two numbers a:b, got '" + text + "'");
    }
    return {ParseNumber(parts[0], where), ParseNumber(parts[1], where)};
}

void SetVoiceKey(Voice& v, const std::string& key, const std::string& value,
                 const std::string& where) {
    if (key == "wave") {
        v.wave = ParseWave(value, where);
    } else if (key == "start") {
        v.start = ParseNumber(value, where);
    } else if (key == "freq") {
        v.freq = Curve::Parse(value, where);
    } else if (key == "bend") {
        v.bend = Curve::Parse(value, where);
    } else if (key == "amp") {
        v.amp = Curve::Parse(value, where);
    } else if (key == "duty") {
        v.duty = Curve::Parse(value, where);
    } else if (key == "lowpass") {
        v.lowpass = Curve::Parse(value, where);
    } else if (key == "highpass") {
        v.highpass = Curve::Parse(value, where);
    } else if (key == "bandpass") {
        v.bandpass = Curve::Parse(value, where);
    } else if (key == "lowq") {
        v.lowpassQ = ParseNumber(value, where);
    } else if (key == "bandq") {
        v.bandpassQ = ParseNumber(value, where);
    } else if (key == "formants") {
        for (const std::string& item : SplitOn(value, ',')) {
            std::vector<std::string> parts = SplitOn(item, '/');
            if (parts.size() != 3) {
                Fail(where, "formant wants freq/q/gain, got '" + item + "'");
            }
            v.formants.push_back({ParseNumber(parts[0], where), ParseNumber(parts[1], where),
                                  ParseNumber(parts[2], where)});
        }
    } else if (key == "vibrato") {
        std::tie(v.vibratoDepth, v.vibratoRate) = ParsePair(value, where);
    } else if (key == "trill") {
        std::tie(v.trillRatio, v.trillPeriod) = ParsePair(value, where);
    } else if (key == "tremolo") {
        std::tie(v.tremoloDepth, v.tremoloRate) = ParsePair(value, where);
    } else if (key == "fm") {
        std::tie(v.fmRatio, v.fmIndex) = ParsePair(value, where);
    } else if (key == "ring") {
        v.ring = ParseNumber(value, where);
    } else if (key == "drive") {
        v.drive = ParseNumber(value, where);
    } else if (key == "gain") {
        v.gain = ParseNumber(value, where);
    } else if (key == "repeat") {
        std::vector<std::string> parts = SplitOn(value, ':');
        if (parts.size() < 2 || parts.size() > 3) {
            Fail(where, "repeat wants count:interval[:gain]");
        }
        v.repeat = static_cast<int>(ParseNumber(parts[0], where));
        v.interval = ParseNumber(parts[1], where);
        v.repeatGain = parts.size() == 3 ? ParseNumber(parts[2], where) : 1.0;
        if (v.repeat < 1 || v.repeat > 64) {
            Fail(where, "repeat count must be 1..64");
        }
    } else if (key == "seed") {
        v.seed = static_cast<uint32_t>(ParseNumber(value, where));
    } else {
        Fail(where, "unknown voice setting '" + key + "'");
    }
}

void SetEffectKey(Effect& e, const std::string& key, const std::string& value,
                  const std::string& where) {
    if (key == "peak") {
        e.peakDb = ParseNumber(value, where);
        if (e.peakDb > 0.0 || e.peakDb < -30.0) {
            Fail(where, "peak must be -30..0 dB");
        }
    } else if (key == "echo") {
        std::tie(e.echoTime, e.echoFeedback) = ParsePair(value, where);
        if (e.echoFeedback < 0.0 || e.echoFeedback >= 0.9) {
            Fail(where, "echo feedback must be 0..0.9");
        }
    } else {
        Fail(where, "unknown sound setting '" + key + "'");
    }
}

} // namespace

std::vector<Effect> ParseEffects(const std::vector<std::string>& lines, const std::string& file) {
    std::vector<Effect> effects;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string where = file + ":" + std::to_string(i + 1);
        std::vector<std::string> words = SplitWords(lines[i]);
        if (words.empty()) {
            continue;
        }
        size_t first = 0;
        if (words[0] == "sound") {
            if (words.size() < 2 || words[1].find('=') != std::string::npos) {
                Fail(where, "sound needs a name");
            }
            for (const Effect& e : effects) {
                if (e.name == words[1]) {
                    Fail(where, "sound '" + words[1] + "' defined twice");
                }
            }
            effects.push_back({});
            effects.back().name = words[1];
            first = 2;
        } else if (words[0] == "voice") {
            if (effects.empty()) {
                Fail(where, "voice before any sound");
            }
            effects.back().voices.push_back({});
            effects.back().voices.back().seed = static_cast<uint32_t>(i + 1);
            first = 1;
        } else if (effects.empty()) {
            Fail(where, "settings before any sound");
        }
        for (size_t w = first; w < words.size(); ++w) {
            size_t eq = words[w].find('=');
            if (eq == std::string::npos || eq == 0) {
                Fail(where, "want key=value, got '" + words[w] + "'");
            }
            std::string key = words[w].substr(0, eq), value = words[w].substr(eq + 1);
            Effect& e = effects.back();
            if (e.voices.empty()) {
                SetEffectKey(e, key, value, where);
            } else {
                SetVoiceKey(e.voices.back(), key, value, where);
            }
        }
    }
    for (const Effect& e : effects) {
        if (e.voices.empty()) {
            Fail(file, "sound '" + e.name + "' has no voice");
        }
        for (const Voice& v : e.voices) {
            if (v.amp.Empty() || v.amp.EndTime() <= 0.0) {
                Fail(file, "every voice of '" + e.name + "' needs an amp curve that ends");
            }
        }
    }
    return effects;
}

std::vector<float> RenderEffect(const Effect& effect) {
    double end = 0.0;
    for (const Voice& v : effect.voices) {
        end = std::max(end, v.start + (v.repeat - 1) * v.interval + v.amp.EndTime());
    }
    if (effect.echoTime > 0.0 && effect.echoFeedback > 0.0) {
        // Let the echoes die down to -40 dB.
        end += effect.echoTime * std::ceil(std::log(0.01) / std::log(effect.echoFeedback));
    }
    std::vector<double> mix(static_cast<size_t>(end * kRate) + 1);
    for (const Voice& v : effect.voices) {
        std::vector<double> sound = RenderVoice(v);
        double gain = 1.0;
        for (int r = 0; r < v.repeat; ++r) {
            size_t offset = static_cast<size_t>(std::lround((v.start + r * v.interval) * kRate));
            for (size_t n = 0; n < sound.size() && offset + n < mix.size(); ++n) {
                mix[offset + n] += gain * sound[n];
            }
            gain *= v.repeatGain;
        }
    }
    if (effect.echoTime > 0.0) {
        size_t delay = static_cast<size_t>(effect.echoTime * kRate);
        for (size_t n = delay; n < mix.size(); ++n) {
            mix[n] += effect.echoFeedback * mix[n - delay];
        }
    }
    // What is left of DC (asymmetric drive, a low sweep's half wave) goes through a gentle
    // high-pass at 20 Hz, well under the lowest thump.
    Biquad dcBlock;
    for (double& x : mix) {
        x = dcBlock.Run(x, Biquad::HighPass, 20.0, 0.707);
    }
    // Short fades at both ends: a sound cut off mid-wave clicks.
    const size_t fadeIn = kRate / 1000, fadeOut = kRate / 200;
    for (size_t n = 0; n < mix.size(); ++n) {
        double g = 1.0;
        if (n < fadeIn) {
            g = static_cast<double>(n) / fadeIn;
        }
        if (n + fadeOut > mix.size()) {
            g *= static_cast<double>(mix.size() - n) / fadeOut;
        }
        mix[n] *= g;
    }
    return std::vector<float>(mix.begin(), mix.end());
}

} // namespace snd
