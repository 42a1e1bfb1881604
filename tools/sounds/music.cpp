// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "music.h"

#include "pcm.h"

#include <fluidsynth.h>
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace snd {

namespace {

constexpr int64_t kPrerollSeconds = 8;

struct Event {
    int64_t sample = 0;
    bool on = false;
    int channel = 0, key = 0, velocity = 0;
};

struct SynthDeleter {
    void operator()(fluid_synth_t* s) const {
        delete_fluid_synth(s);
    }
};
struct SettingsDeleter {
    void operator()(fluid_settings_t* s) const {
        delete_fluid_settings(s);
    }
};

void RenderInto(fluid_synth_t* synth, std::vector<float>& left, std::vector<float>& right,
                int64_t& done, int64_t until) {
    while (done < until) {
        int len = static_cast<int>(std::min<int64_t>(until - done, 4096));
        fluid_synth_write_float(synth, len, left.data(), static_cast<int>(done), 1, right.data(),
                                static_cast<int>(done), 1);
        done += len;
    }
}

// Some of the font's samples sit off centre; a 15 Hz high-pass (two poles) takes the offset out
// before it can eat the mixer's headroom. It runs over the whole render, so it is continuous
// across the cut points.
void RemoveDc(std::vector<float>& samples) {
    const double w = 2.0 * std::numbers::pi * 15.0 / kRate;
    const double c = std::cos(w), alpha = std::sin(w) / (2.0 * 0.7071);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 + c) / 2.0 / a0, b1 = -(1.0 + c) / a0, a1 = -2.0 * c / a0,
                 a2 = (1.0 - alpha) / a0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (float& s : samples) {
        const double x = s;
        const double y = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        s = static_cast<float>(y);
    }
}

// Gain so the loop reaches its loudness target, then a look-ahead limiter holding the peaks
// under the ceiling. Runs over the whole render so the state is continuous at the cut points.
void Master(const Score& score, std::vector<float>& left, std::vector<float>& right,
            int64_t loopStart, int64_t loopEnd) {
    RemoveDc(left);
    RemoveDc(right);
    double sum = 0.0;
    for (int64_t n = loopStart; n < loopEnd; ++n) {
        sum += static_cast<double>(left[n]) * left[n] + static_cast<double>(right[n]) * right[n];
    }
    double rms = std::sqrt(sum / (2.0 * static_cast<double>(loopEnd - loopStart)));
    if (rms <= 0.0) {
        Fail(score.name, "the score renders silent");
    }
    double gain = std::pow(10.0, score.rmsDb / 20.0) / rms;
    double ceiling = std::pow(10.0, score.peakDb / 20.0);
    size_t count = left.size();
    std::vector<double> need(count);
    for (size_t n = 0; n < count; ++n) {
        double peak = gain * std::max(std::fabs(left[n]), std::fabs(right[n]));
        need[n] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // The gain starts to fall 3 ms before a peak (minimum over a centred window, then a box
    // average of half that width), and recovers over about 80 ms.
    const int64_t w = kRate * 3 / 1000;
    std::vector<double> low(count, 1.0);
    for (int64_t n = 0; n < static_cast<int64_t>(count); ++n) {
        if (need[n] < 1.0) {
            for (int64_t k = std::max<int64_t>(0, n - w); k <= std::min<int64_t>(count - 1, n + w);
                 ++k) {
                low[k] = std::min(low[k], need[n]);
            }
        }
    }
    const int64_t half = w / 2;
    std::vector<double> prefix(count + 1, 0.0);
    for (size_t n = 0; n < count; ++n) {
        prefix[n + 1] = prefix[n] + low[n];
    }
    std::vector<double> smooth(count);
    for (int64_t n = 0; n < static_cast<int64_t>(count); ++n) {
        int64_t a = std::max<int64_t>(0, n - half);
        int64_t b = std::min<int64_t>(count, n + half + 1);
        smooth[n] = std::min(low[n], (prefix[b] - prefix[a]) / static_cast<double>(b - a));
    }
    const double release = 1.0 - std::exp(-1.0 / (0.08 * kRate));
    double env = 1.0;
    for (size_t n = 0; n < count; ++n) {
        env = smooth[n] < env ? smooth[n] : env + (smooth[n] - env) * release;
        double g = gain * env;
        left[n] = static_cast<float>(std::clamp(left[n] * g, -ceiling, ceiling));
        right[n] = static_cast<float>(std::clamp(right[n] * g, -ceiling, ceiling));
    }
}

} // namespace

std::vector<int16_t> RenderLoop(const Score& score, const std::string& soundFont) {
    // The synthesiser applies events at the start of its 64-sample blocks; with a loop length
    // that is a whole number of blocks every pass hears its notes at the same offsets, and the
    // seam matches. The loop is then at most 32 samples off the tempo's length.
    const int64_t loop = 64 * static_cast<int64_t>(std::llround(score.LoopSeconds() * kRate / 64));
    // The pass is preceded by the last seconds of the pass before it, so its start hears what
    // rings over from its own end: the notes held across the cut, the releases and the reverb,
    // which have all died away well within those seconds. A quarter of a second of the pass after
    // it lets the limiter look ahead past the cut. (Rendering the whole pass before it gave the
    // same loop at twice the cost.)
    const int64_t preroll = std::min<int64_t>(loop, 64 * (kPrerollSeconds * kRate / 64));
    const int64_t total = preroll + loop + kRate / 4;
    std::vector<Event> events;
    for (int cycle = -1; cycle <= 1; ++cycle) {
        const int64_t shift = preroll + cycle * loop;
        for (const Note& n : score.notes) {
            int64_t on = static_cast<int64_t>(std::llround(n.start * kRate)) + shift;
            int64_t off =
                std::max(on + 1, static_cast<int64_t>(std::llround(n.end * kRate)) + shift);
            if (off > 0 && on < total) {
                events.push_back({std::max<int64_t>(on, 0), true, n.channel, n.key, n.velocity});
                events.push_back({off, false, n.channel, n.key, 0});
            }
        }
    }
    // Offs before ons at the same instant, so a repeated key is not cut by its own release.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.sample != b.sample ? a.sample < b.sample : (!a.on && b.on);
    });

    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings(new_fluid_settings());
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRate);
    fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
    fluid_settings_setint(settings.get(), "synth.polyphony", 256);
    fluid_settings_setint(settings.get(), "synth.cpu-cores", 1);
    // No chorus: the synthesiser's puts its two sides out of phase, which sounds wide on
    // headphones but hollow on one speaker. Width comes from panning and the stereo samples.
    fluid_settings_setint(settings.get(), "synth.chorus.active", 0);
    fluid_settings_setint(settings.get(), "synth.reverb.active", 1);
    fluid_settings_setnum(settings.get(), "synth.reverb.room-size", score.reverbRoom);
    fluid_settings_setnum(settings.get(), "synth.reverb.damp", score.reverbDamp);
    fluid_settings_setnum(settings.get(), "synth.reverb.width", score.reverbWidth);
    fluid_settings_setnum(settings.get(), "synth.reverb.level", score.reverbLevel);
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth(new_fluid_synth(settings.get()));
    if (!synth || fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        Fail(score.name, "cannot load the sound font " + soundFont);
    }
    for (const Channel& ch : score.channels) {
        if (ch.channel != 9) {
            fluid_synth_program_change(synth.get(), ch.channel, ch.program);
        }
        fluid_synth_cc(synth.get(), ch.channel, 7, ch.volume);
        fluid_synth_cc(synth.get(), ch.channel, 10, ch.pan);
        fluid_synth_cc(synth.get(), ch.channel, 91, ch.reverb);
        fluid_synth_cc(synth.get(), ch.channel, 93, 0);
    }
    std::vector<float> left(total), right(total);
    int64_t done = 0;
    for (const Event& e : events) {
        if (e.sample >= total) {
            break;
        }
        RenderInto(synth.get(), left, right, done, e.sample);
        if (e.on) {
            fluid_synth_noteon(synth.get(), e.channel, e.key, e.velocity);
        } else {
            fluid_synth_noteoff(synth.get(), e.channel, e.key);
        }
    }
    RenderInto(synth.get(), left, right, done, total);
    Master(score, left, right, preroll, preroll + loop);

    // The reverb's delay lines are modulated, so the pass does not start exactly as the pass
    // after it: over the first 100 ms it fades in from the start of the pass after it, which is
    // what follows its own last sample.
    const int64_t fade = kRate / 10;
    std::vector<int16_t> out(2 * loop);
    for (int64_t n = 0; n < loop; ++n) {
        float w = n < fade ? static_cast<float>(n) / fade : 1.0f;
        const int64_t next = std::min(preroll + loop + n, total - 1);
        float l = w * left[preroll + n] + (1.0f - w) * left[next];
        float r = w * right[preroll + n] + (1.0f - w) * right[next];
        out[2 * n] = static_cast<int16_t>(std::lround(l * 32767.0f));
        out[2 * n + 1] = static_cast<int16_t>(std::lround(r * 32767.0f));
    }
    return out;
}

namespace {

// CRC-16 with the reflected polynomial 0x8005, as the info frame carries it.
uint16_t Crc16(const unsigned char* data, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xa001) : crc >> 1;
        }
    }
    return crc;
}

// The encoder was fed some of the loop's end before its start and some of its start after its
// end; the info frame is told to drop those too, so the decoder gives back exactly the loop.
void ExtendDelayAndPadding(unsigned char* frame, size_t size, int before, int after,
                           const std::string& path) {
    std::string text(reinterpret_cast<const char*>(frame), size);
    size_t info = text.find("Info");
    if (info == std::string::npos || info + 156 > size || text.compare(info + 120, 4, "LAME")) {
        Fail(path, "unexpected MP3 info frame");
    }
    size_t crcAt = info + 154;
    if (Crc16(frame, crcAt) != ((frame[crcAt] << 8) | frame[crcAt + 1])) {
        Fail(path, "MP3 info frame checksum not understood");
    }
    unsigned char* d = frame + info + 141; // 12 bits of delay, then 12 bits of padding
    int delay = (d[0] << 4) | (d[1] >> 4);
    int padding = ((d[1] & 0x0f) << 8) | d[2];
    delay += before;
    padding += after;
    if (delay > 0xfff || padding > 0xfff) {
        Fail(path, "MP3 delay or padding too long for the info frame");
    }
    d[0] = static_cast<unsigned char>(delay >> 4);
    d[1] = static_cast<unsigned char>(((delay & 0x0f) << 4) | (padding >> 8));
    d[2] = static_cast<unsigned char>(padding & 0xff);
    // The frame's own checksum covers everything before it.
    uint16_t crc = Crc16(frame, crcAt);
    frame[crcAt] = static_cast<unsigned char>(crc >> 8);
    frame[crcAt + 1] = static_cast<unsigned char>(crc & 0xff);
}

} // namespace

void WriteMp3(const std::vector<int16_t>& stereo, const std::string& path) {
    // An encoder starting from silence and ending into silence would smear the loop's two ends;
    // with the music around them it codes them as it codes the middle, and the seam holds.
    const int frames = static_cast<int>(stereo.size() / 2);
    const int wrap = std::min(2048, frames);
    std::vector<int16_t> input(stereo.end() - 2 * wrap, stereo.end());
    input.insert(input.end(), stereo.begin(), stereo.end());
    input.insert(input.end(), stereo.begin(), stereo.begin() + 2 * wrap);
    const int inputFrames = static_cast<int>(input.size() / 2);

    lame_global_flags* lame = lame_init();
    if (lame == nullptr) {
        Fail(path, "cannot start the MP3 encoder");
    }
    lame_set_in_samplerate(lame, kRate);
    lame_set_out_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 1); // the info frame with delay and padding
    id3tag_init(lame);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        Fail(path, "bad MP3 encoder settings");
    }
    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * inputFrames + 7200 + 65536));
    int size = lame_encode_buffer_interleaved(lame, input.data(), inputFrames, mp3.data(),
                                              static_cast<int>(mp3.size()));
    int tail =
        size < 0 ? -1
                 : lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    if (size < 0 || tail < 0) {
        lame_close(lame);
        Fail(path, "the MP3 encoder failed");
    }
    size += tail;
    // The encoder left room for the info frame at the start; fill it in now that it knows the
    // totals.
    unsigned char tag[2880];
    size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    lame_close(lame);
    if (tagSize == 0 || tagSize > static_cast<size_t>(size)) {
        Fail(path, "the MP3 encoder gave no info frame");
    }
    ExtendDelayAndPadding(tag, tagSize, wrap, wrap, path);
    std::copy(tag, tag + tagSize, mp3.begin());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        Fail(path, "cannot write");
    }
    bool ok = std::fwrite(mp3.data(), 1, size, file) == static_cast<size_t>(size);
    if (std::fclose(file) != 0 || !ok) {
        Fail(path, "cannot write");
    }
}

} // namespace snd
