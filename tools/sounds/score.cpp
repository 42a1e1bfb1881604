// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "score.h"

#include "pcm.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

namespace snd {

namespace {

struct Chord {
    double bar = 0.0;       // start, in bars from the loop start (0-based)
    int root = 0;           // pitch class
    int bass = -1;          // pitch class of a slash bass, or -1
    std::vector<int> tones; // semitones above the root
};

// One line of the score body, kept until all chords are known.
struct Line {
    std::string kind, target, where;
    std::map<std::string, std::string> options;
    std::vector<std::string> words; // after the ':'
};

const std::map<std::string, std::vector<int>> kQualities = {
    {"", {0, 4, 7}},          {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
    {"m7", {0, 3, 7, 10}},    {"maj7", {0, 4, 7, 11}},  {"sus2", {0, 2, 7}},
    {"sus4", {0, 5, 7}},      {"dim", {0, 3, 6}},       {"dim7", {0, 3, 6, 9}},
    {"aug", {0, 4, 8}},       {"add9", {0, 4, 7, 14}},  {"madd9", {0, 3, 7, 14}},
    {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},     {"5", {0, 7}},
    {"7sus4", {0, 5, 7, 10}}, {"9", {0, 4, 7, 10, 14}}, {"m9", {0, 3, 7, 10, 14}},
};

const std::map<std::string, int> kDrums = {
    {"kick", 36},   {"stick", 37},   {"snare", 38}, {"clap", 39},   {"hat", 42},
    {"pedal", 44},  {"openhat", 46}, {"crash", 49}, {"ride", 51},   {"tomlow", 45},
    {"tommid", 47}, {"tomhigh", 50}, {"tamb", 54},  {"cabasa", 69}, {"shaker", 70},
    {"bell", 53},   {"splash", 55},  {"kick2", 35}, {"snare2", 40}, {"triangle", 81},
};

// "c#", "bb", "e" → pitch class; advances pos past the name.
int ParsePitchClass(const std::string& text, size_t& pos, const std::string& where) {
    static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    if (pos >= text.size()) {
        Fail(where, "missing note name");
    }
    char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    if (letter < 'a' || letter > 'g') {
        Fail(where, "bad note name in '" + text + "'");
    }
    int pc = kLetters[letter - 'a'];
    ++pos;
    if (pos < text.size() && text[pos] == '#') {
        pc += 1;
        ++pos;
    } else if (pos < text.size() && text[pos] == 'b') {
        // A "b" after the letter is a flat: "bb4" is B flat, "b4" is B.
        pc += 11;
        ++pos;
    }
    return pc % 12;
}

// "e5", "c#4", "bb3" → MIDI key (c4 = 60).
int ParseKey(const std::string& text, const std::string& where) {
    size_t pos = 0;
    int pc = ParsePitchClass(text, pos, where);
    std::string octave = text.substr(pos);
    if (octave.empty() ||
        (!std::isdigit(static_cast<unsigned char>(octave[0])) && octave[0] != '-')) {
        Fail(where, "note '" + text + "' needs an octave");
    }
    int oct = static_cast<int>(ParseNumber(octave, where));
    int key = 12 * (oct + 1) + pc;
    if (key < 0 || key > 127) {
        Fail(where, "note '" + text + "' out of range");
    }
    return key;
}

Chord ParseChord(const std::string& text, const std::string& where) {
    Chord chord;
    size_t pos = 0;
    std::string body = text, bass;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        body = text.substr(0, slash);
        bass = text.substr(slash + 1);
    }
    chord.root = ParsePitchClass(body, pos, where);
    auto quality = kQualities.find(body.substr(pos));
    if (quality == kQualities.end()) {
        Fail(where, "unknown chord '" + text + "'");
    }
    chord.tones = quality->second;
    if (!bass.empty()) {
        size_t bpos = 0;
        chord.bass = ParsePitchClass(bass, bpos, where);
        if (bpos != bass.size()) {
            Fail(where, "bad slash bass in '" + text + "'");
        }
    }
    return chord;
}

int ParseInt(const std::string& text, const std::string& where) {
    double v = ParseNumber(text, where);
    if (v != std::floor(v)) {
        Fail(where, "want a whole number, got '" + text + "'");
    }
    return static_cast<int>(v);
}

// "all", "3", "1-8", "1-4,9,12-16" → set of 1-based bars.
std::set<int> ParseBars(const std::string& text, int bars, const std::string& where) {
    std::set<int> set;
    if (text == "all") {
        for (int b = 1; b <= bars; ++b) {
            set.insert(b);
        }
        return set;
    }
    for (const std::string& item : SplitOn(text, ',')) {
        std::vector<std::string> range = SplitOn(item, '-');
        int a = ParseInt(range[0], where);
        int b = range.size() == 2 ? ParseInt(range[1], where) : a;
        if (range.size() > 2 || a < 1 || b > bars || a > b) {
            Fail(where, "bad bar range '" + item + "'");
        }
        for (int i = a; i <= b; ++i) {
            set.insert(i);
        }
    }
    return set;
}

// Splits "| a b | c d |" into bars of words; the bar lines are required between bars.
std::vector<std::vector<std::string>> SplitBars(const std::vector<std::string>& words,
                                                const std::string& where) {
    std::vector<std::vector<std::string>> bars;
    std::vector<std::string> current;
    bool open = false;
    for (const std::string& w : words) {
        if (w == "|") {
            if (open && current.empty()) {
                Fail(where, "empty bar");
            }
            if (!current.empty()) {
                bars.push_back(current);
            }
            current.clear();
            open = true;
        } else {
            current.push_back(w);
        }
    }
    if (!current.empty()) {
        bars.push_back(current);
    }
    return bars;
}

class Builder {
  public:
    Builder(Score& score) : score_(score) {}

    void Header(const std::vector<std::string>& w, const std::string& where);
    void Body(Line line) {
        body_.push_back(std::move(line));
    }
    void Chords(const std::vector<std::string>& words, const std::string& where);
    void Finish(const std::string& file);

  private:
    const Channel& FindChannel(const std::string& name, const std::string& where) const;
    int StepsPerBar(const Line& line, int& grid) const;
    const Chord& ChordAt(double bar) const;
    double StepSeconds(int grid) const {
        return score_.BarSeconds() * 4.0 / (grid * score_.beats);
    }
    void Melody(const Line& line);
    void Comp(const Line& line);
    void Drum(const Line& line);
    void Double(const Line& line);
    void Add(const Channel& ch, int key, int velocity, double start, double end) {
        velocity = std::clamp(velocity, 1, 127);
        score_.notes.push_back({ch.channel, std::clamp(key, 0, 127), velocity, start, end});
    }

    Score& score_;
    std::vector<Chord> chords_;
    double chordBars_ = 0.0;
    std::vector<Line> body_;
    std::map<std::string, int> nextMelodyBar_;
    std::map<std::string, std::vector<Note>> melodyNotes_; // for "double"
};

void Builder::Header(const std::vector<std::string>& w, const std::string& where) {
    const std::string& key = w[0];
    if (key == "instrument" || key == "drumkit") {
        if (w.size() < 2) {
            Fail(where, key + " needs a name");
        }
        Channel ch;
        ch.name = w[1];
        for (const Channel& c : score_.channels) {
            if (c.name == ch.name) {
                Fail(where, "channel '" + ch.name + "' defined twice");
            }
        }
        if (key == "drumkit") {
            ch.channel = 9;
        } else {
            int used = 0;
            for (const Channel& c : score_.channels) {
                used += c.channel != 9;
            }
            ch.channel = used < 9 ? used : used + 1;
            if (ch.channel > 15) {
                Fail(where, "more than 15 instruments");
            }
        }
        for (size_t i = 2; i < w.size(); ++i) {
            std::vector<std::string> kv = SplitOn(w[i], '=');
            if (kv.size() != 2) {
                Fail(where, "want key=value, got '" + w[i] + "'");
            }
            int v = ParseInt(kv[1], where);
            if (v < 0 || v > 127) {
                Fail(where, kv[0] + " must be 0..127");
            }
            if (kv[0] == "program") {
                ch.program = v;
            } else if (kv[0] == "volume") {
                ch.volume = v;
            } else if (kv[0] == "pan") {
                ch.pan = v;
            } else if (kv[0] == "reverb") {
                ch.reverb = v;

            } else {
                Fail(where, "unknown channel setting '" + kv[0] + "'");
            }
        }
        score_.channels.push_back(ch);
        return;
    }
    if (key == "master" || key == "reverb") {
        for (size_t i = 1; i < w.size(); ++i) {
            std::vector<std::string> kv = SplitOn(w[i], '=');
            if (kv.size() != 2) {
                Fail(where, "want key=value, got '" + w[i] + "'");
            }
            double v = ParseNumber(kv[1], where);
            std::string k = key + "." + kv[0];
            if (k == "master.peak" && v <= 0.0 && v >= -20.0) {
                score_.peakDb = v;
            } else if (k == "master.rms" && v < 0.0 && v >= -40.0) {
                score_.rmsDb = v;
            } else if (k == "reverb.room" && v >= 0.0 && v <= 1.0) {
                score_.reverbRoom = v;
            } else if (k == "reverb.level" && v >= 0.0 && v <= 1.0) {
                score_.reverbLevel = v;
            } else if (k == "reverb.damp" && v >= 0.0 && v <= 1.0) {
                score_.reverbDamp = v;
            } else if (k == "reverb.width" && v >= 0.0 && v <= 100.0) {
                score_.reverbWidth = v;
            } else {
                Fail(where, "bad setting '" + w[i] + "'");
            }
        }
        return;
    }
    if (w.size() != 2) {
        Fail(where, "'" + key + "' takes one value");
    }
    if (key == "name") {
        score_.name = w[1];
    } else if (key == "tempo") {
        score_.tempo = ParseNumber(w[1], where);
        if (score_.tempo < 30.0 || score_.tempo > 300.0) {
            Fail(where, "tempo must be 30..300");
        }
    } else if (key == "beats") {
        score_.beats = ParseInt(w[1], where);
        if (score_.beats < 1 || score_.beats > 12) {
            Fail(where, "beats must be 1..12");
        }
    } else if (key == "bars") {
        score_.bars = ParseInt(w[1], where);
        if (score_.bars < 1 || score_.bars > 256) {
            Fail(where, "bars must be 1..256");
        }
    } else {
        Fail(where, "unknown line '" + key + "'");
    }
}

void Builder::Chords(const std::vector<std::string>& words, const std::string& where) {
    for (const auto& bar : SplitBars(words, where)) {
        for (size_t i = 0; i < bar.size(); ++i) {
            Chord chord = ParseChord(bar[i], where);
            chord.bar = chordBars_ + static_cast<double>(i) / bar.size();
            chords_.push_back(chord);
        }
        chordBars_ += 1.0;
    }
}

const Channel& Builder::FindChannel(const std::string& name, const std::string& where) const {
    for (const Channel& c : score_.channels) {
        if (c.name == name) {
            return c;
        }
    }
    Fail(where, "no instrument named '" + name + "'");
}

int Builder::StepsPerBar(const Line& line, int& grid) const {
    auto it = line.options.find("grid");
    grid = it == line.options.end() ? 8 : ParseInt(it->second, line.where);
    if (grid < 1 || grid > 64 || (grid * score_.beats) % 4 != 0) {
        Fail(line.where, "grid must give a whole number of steps per bar");
    }
    return grid * score_.beats / 4;
}

const Chord& Builder::ChordAt(double bar) const {
    const Chord* found = &chords_.front();
    for (const Chord& c : chords_) {
        if (c.bar <= bar + 1e-9) {
            found = &c;
        }
    }
    return *found;
}

int OptionInt(const Line& line, const std::string& key, int fallback) {
    auto it = line.options.find(key);
    return it == line.options.end() ? fallback : ParseInt(it->second, line.where);
}

double OptionNumber(const Line& line, const std::string& key, double fallback) {
    auto it = line.options.find(key);
    return it == line.options.end() ? fallback : ParseNumber(it->second, line.where);
}

// A small, fixed wobble of velocity so repeated notes do not sound machine-stamped.
int Humanise(int step, int key) {
    uint32_t h = static_cast<uint32_t>(step * 2654435761u) ^ static_cast<uint32_t>(key * 40503u);
    h ^= h >> 13;
    return static_cast<int>(h % 7) - 3;
}

void Builder::Melody(const Line& line) {
    const Channel& ch = FindChannel(line.target, line.where);
    int grid = 0;
    int steps = StepsPerBar(line, grid);
    double step = StepSeconds(grid);
    int bar = OptionInt(line, "from", nextMelodyBar_[line.target] + 1) - 1;
    int velocity = OptionInt(line, "velocity", 90);
    int transpose = OptionInt(line, "transpose", 0);
    double legato = OptionNumber(line, "legato", 0.92);
    auto bars = SplitBars(line.words, line.where);
    if (bar < 0 || bar + static_cast<int>(bars.size()) > score_.bars) {
        Fail(line.where, "melody runs past the last bar");
    }
    // Notes are collected first so that a hold ("-") may run on across a bar line.
    int key = -1, vel = 0;
    double start = 0.0, held = 0.0;
    auto flush = [&]() {
        if (key >= 0) {
            Add(ch, key, vel, start, start + held * step * legato);
            melodyNotes_[line.target].push_back(score_.notes.back());
        }
        key = -1;
    };
    for (size_t b = 0; b < bars.size(); ++b) {
        if (static_cast<int>(bars[b].size()) != steps) {
            Fail(line.where, "bar " + std::to_string(bar + b + 1) + " has " +
                                 std::to_string(bars[b].size()) + " steps, want " +
                                 std::to_string(steps));
        }
        for (int s = 0; s < steps; ++s) {
            std::string tok = bars[b][s];
            double t = (bar + b) * score_.BarSeconds() + s * step;
            if (tok == "-") {
                if (key < 0) {
                    Fail(line.where, "hold '-' with no note before it");
                }
                held += 1.0;
                continue;
            }
            flush();
            if (tok == ".") {
                continue;
            }
            int accent = 0;
            while (!tok.empty() && (tok.back() == '!' || tok.back() == '?')) {
                accent += tok.back() == '!' ? 18 : -22;
                tok.pop_back();
            }
            key = ParseKey(tok, line.where) + transpose;
            vel = velocity + accent + Humanise(s + 31 * static_cast<int>(b), key);
            start = t;
            held = 1.0;
        }
    }
    flush();
    nextMelodyBar_[line.target] = bar + static_cast<int>(bars.size());
}

void Builder::Comp(const Line& line) {
    const Channel& ch = FindChannel(line.target, line.where);
    int grid = 0;
    int steps = StepsPerBar(line, grid);
    double step = StepSeconds(grid);
    std::set<int> bars = ParseBars(line.options.count("bars") ? line.options.at("bars") : "all",
                                   score_.bars, line.where);
    auto lowIt = line.options.find("low");
    int low = lowIt == line.options.end() ? 48 : ParseKey(lowIt->second, line.where);
    int velocity = OptionInt(line, "velocity", 80);
    double legato = OptionNumber(line, "legato", 0.9);
    bool power = line.options.count("power") > 0;
    const std::vector<std::string>& pattern = line.words;
    if (pattern.empty()) {
        Fail(line.where, "empty pattern");
    }
    for (const std::string& tok : pattern) {
        bool index = !tok.empty() && std::all_of(tok.begin(), tok.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
        if (!index && tok != "-" && tok != "." && tok != "c") {
            Fail(line.where, "pattern steps are tone numbers, c, - or ., got '" + tok + "'");
        }
    }
    // The keys a pattern token stands for under a chord.
    auto keysFor = [&](const std::string& tok, const Chord& chord) {
        std::vector<int> tones = power ? std::vector<int>{0, 7, 12} : chord.tones;
        int root = low + ((chord.root - low) % 12 + 12) % 12;
        std::vector<int> keys;
        if (tok == "c") {
            for (int t : tones) {
                keys.push_back(root + t);
            }
            return keys;
        }
        int i = std::stoi(tok);
        int n = static_cast<int>(tones.size());
        if (i == 0 && chord.bass >= 0) {
            // A slash bass sits below the root.
            keys.push_back(root - ((chord.root - chord.bass) % 12 + 12) % 12);
        } else {
            keys.push_back(root + tones[i % n] + 12 * (i / n));
        }
        return keys;
    };
    int total = score_.bars * steps;
    std::vector<int> active;
    std::string activeTok;
    double start = 0.0, held = 0.0;
    int vel = 0;
    auto flush = [&]() {
        for (int k : active) {
            Add(ch, k, vel, start, start + held * step * legato);
        }
        active.clear();
    };
    const Chord* current = nullptr;
    for (int s = 0; s < total; ++s) {
        int bar = s / steps + 1;
        double t = s * step;
        const std::string& tok = pattern[s % pattern.size()];
        const Chord& chord = ChordAt(static_cast<double>(s) / steps);
        bool changed = current != nullptr && &chord != current;
        current = &chord;
        if (!bars.count(bar)) {
            flush();
            continue;
        }
        if (tok == "-" && !active.empty() && !changed) {
            held += 1.0;
            continue;
        }
        std::string play = tok;
        if (tok == "-") {
            // A hold over a chord change strikes the same pattern step in the new chord.
            play = active.empty() ? "." : activeTok;
        }
        flush();
        if (play == ".") {
            continue;
        }
        active = keysFor(play, chord);
        activeTok = play;
        start = t;
        held = 1.0;
        vel = velocity + (s % steps == 0 ? 8 : 0) + Humanise(s, active.front());
    }
    flush();
}

void Builder::Drum(const Line& line) {
    const Channel* kit = nullptr;
    for (const Channel& c : score_.channels) {
        if (c.channel == 9) {
            kit = &c;
        }
    }
    if (kit == nullptr) {
        Fail(line.where, "drum line without a drumkit");
    }
    int key = 0;
    auto named = kDrums.find(line.target);
    key = named != kDrums.end() ? named->second : ParseInt(line.target, line.where);
    int grid = 0;
    int steps = StepsPerBar(line, grid);
    double step = StepSeconds(grid);
    std::set<int> bars = ParseBars(line.options.count("bars") ? line.options.at("bars") : "all",
                                   score_.bars, line.where);
    int velocity = OptionInt(line, "velocity", 90);
    std::string pattern;
    for (const std::string& w : line.words) {
        for (char c : w) {
            if (c != '|') {
                pattern += c;
            }
        }
    }
    if (pattern.empty() || pattern.size() % steps != 0) {
        Fail(line.where,
             "drum pattern must fill whole bars of " + std::to_string(steps) + " steps");
    }
    // The pattern restarts at the first bar of the range, so a two-bar pattern stays in step.
    int first = *bars.begin();
    for (int bar : bars) {
        for (int s = 0; s < steps; ++s) {
            size_t i = (static_cast<size_t>(bar - first) * steps + s) % pattern.size();
            char c = pattern[i];
            int v = velocity;
            if (c == '.') {
                continue;
            } else if (c == 'X') {
                v += 20;
            } else if (c == 'o') {
                v -= 30;
            } else if (c != 'x') {
                Fail(line.where, std::string("drum steps are x X o . , got '") + c + "'");
            }
            double t = (bar - 1) * score_.BarSeconds() + s * step;
            Add(*kit, key, v + Humanise(s + bar * steps, key), t, t + 0.1);
        }
    }
}

void Builder::Double(const Line& line) {
    const Channel& to = FindChannel(line.target, line.where);
    auto from = line.options.find("from");
    if (from == line.options.end()) {
        Fail(line.where, "double needs from=INSTRUMENT");
    }
    FindChannel(from->second, line.where);
    std::set<int> bars = ParseBars(line.options.count("bars") ? line.options.at("bars") : "all",
                                   score_.bars, line.where);
    int transpose = OptionInt(line, "transpose", 0);
    int velocity = OptionInt(line, "velocity", 0);
    // to=BAR moves the copy so that the first bar of the range starts there: a section played
    // again later in the loop.
    int shift = OptionInt(line, "to", *bars.begin()) - *bars.begin();
    int last = *bars.rbegin() + shift;
    if (*bars.begin() + shift < 1 || last > score_.bars) {
        Fail(line.where, "the copy runs past the last bar");
    }
    const double offset = shift * score_.BarSeconds();
    // Copied first: the copy may go onto the instrument it comes from.
    std::vector<Note> source = melodyNotes_[from->second];
    for (const Note& n : source) {
        int bar = static_cast<int>(n.start / score_.BarSeconds() + 1e-9) + 1;
        if (bars.count(bar)) {
            Add(to, n.key + transpose, n.velocity + velocity, n.start + offset, n.end + offset);
            // A copied line can itself be doubled by a later line.
            melodyNotes_[line.target].push_back(score_.notes.back());
        }
    }
}

void Builder::Finish(const std::string& file) {
    if (score_.name.empty() || score_.bars == 0 || score_.channels.empty()) {
        Fail(file, "a score needs name, bars and at least one instrument");
    }
    if (std::fabs(chordBars_ - score_.bars) > 1e-9) {
        Fail(file, "chords cover " + std::to_string(static_cast<int>(chordBars_)) +
                       " bars, the score has " + std::to_string(score_.bars));
    }
    // Melodies first: a "double" copies notes that must already be there.
    for (const Line& line : body_) {
        if (line.kind == "melody") {
            Melody(line);
        }
    }
    for (const Line& line : body_) {
        if (line.kind == "comp") {
            Comp(line);
        } else if (line.kind == "drum") {
            Drum(line);
        } else if (line.kind == "double") {
            Double(line);
        }
    }
    std::stable_sort(score_.notes.begin(), score_.notes.end(),
                     [](const Note& a, const Note& b) { return a.start < b.start; });
}

} // namespace

Score ParseScore(const std::vector<std::string>& lines, const std::string& file) {
    Score score;
    Builder builder(score);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string where = file + ":" + std::to_string(i + 1);
        std::vector<std::string> w = SplitWords(lines[i]);
        if (w.empty()) {
            continue;
        }
        if (w[0] == "chords") {
            builder.Chords(std::vector<std::string>(w.begin() + 1, w.end()), where);
        } else if (w[0] == "melody" || w[0] == "comp" || w[0] == "drum" || w[0] == "double") {
            Line line;
            line.kind = w[0];
            line.where = where;
            if (w.size() < 2) {
                Fail(where, w[0] + " needs an instrument");
            }
            line.target = w[1];
            size_t k = 2;
            for (; k < w.size() && w[k] != ":"; ++k) {
                size_t eq = w[k].find('=');
                if (eq == std::string::npos) {
                    line.options[w[k]] = "1"; // a flag such as "power"
                } else {
                    line.options[w[k].substr(0, eq)] = w[k].substr(eq + 1);
                }
            }
            if (k == w.size() && line.kind != "double") {
                Fail(where, "missing ':' before the notes");
            }
            if (k < w.size()) {
                line.words.assign(w.begin() + k + 1, w.end());
            }
            builder.Body(std::move(line));
        } else {
            builder.Header(w, where);
        }
    }
    builder.Finish(file);
    return score;
}

} // namespace snd
