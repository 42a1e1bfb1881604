// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Drawing helpers shared by every picture of the generator: colours, a seeded random source,
// soft shaded shapes on cairo, sheet effects and the PNG writer.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pics {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb hex(uint32_t rgb);
Rgb mix(Rgb a, Rgb b, double t);
// f > 0 moves towards white, f < 0 towards black.
Rgb shade(Rgb c, double f);

// Named colours and texts read from assets/pictures, so the look can be tuned without code.
// Another language's texts (texts.LANG.txt) are read over the Japanese ones.
struct Assets {
    std::map<std::string, Rgb> colours;
    std::map<std::string, std::string> texts;
    std::map<std::string, std::string> japanese; // the texts before another language's
    Rgb colour(const std::string& name) const;
    const std::string& text(const std::string& key) const;
    // Whether a text asked for since the last call reads otherwise than in Japanese.
    bool take_changed_words() const;

  private:
    mutable bool changed_ = false;
};
bool load_assets(const std::string& dir, const std::string& language, Assets& out,
                 std::string& error);

// Small deterministic generator: every picture seeds its own, so pictures never depend on
// each other's drawing order.
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed) : state(seed) {}
    uint64_t next();
    double uni();                     // [0, 1)
    double range(double a, double b); // [a, b)
    int pick(int n);                  // 0 .. n-1
};

// One picture being drawn: an ARGB cairo surface plus its context.
class Pic {
  public:
    Pic(int width, int height);
    ~Pic();
    Pic(const Pic&) = delete;
    Pic& operator=(const Pic&) = delete;
    int w, h;
    cairo_surface_t* surface;
    cairo_t* cr;
};

void set(cairo_t* cr, Rgb c, double alpha = 1.0);
// Fills the current path with a top-left lit gradient of c and strokes a darker outline.
// The path is consumed.
void soft_fill(cairo_t* cr, Rgb c, double outline = 2.0, double alpha = 1.0);
// Same light, no outline.
void soft_fill_plain(cairo_t* cr, Rgb c, double alpha = 1.0);
void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// A limb: a capsule from (x1, y1) to (x2, y2) of the given width.
void capsule(cairo_t* cr, double x1, double y1, double x2, double y2, double width);
void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int points, double rot);
// A radial glow: colour c at the centre fading to nothing at radius r.
void glow(cairo_t* cr, double cx, double cy, double r, Rgb c, double alpha);
void vertical_gradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom);

// Text in the game's Mincho face, filled with an outline of the given width behind it. An empty
// text draws nothing (a line another language leaves out).
void text(cairo_t* cr, const std::string& utf8, double x, double y, double size, Rgb fill, Rgb edge,
          double edge_width, bool bold = false);
double text_width(cairo_t* cr, const std::string& utf8, double size, bool bold = false);

// Where each word landed: its ink with the edge, in the pixels of the surface it was drawn on.
struct Word {
    std::string utf8;
    double x0, y0, x1, y1;
    int surface_w, surface_h;
};
// While a list is given, text() adds every word it draws to it; nullptr stops the recording.
void record_words(std::vector<Word>* words);

// Sheet effects: copy the block (0, 0, w, h) to (dx, 0) as the highlighted look of an item
// (brighter, with a warm rim kept inside each cw x ch cell) or as a boss's flash (washed
// towards white).
void highlight_copy(Pic& p, int w, int h, int dx, int cw, int ch);
void flash_copy(Pic& p, int w, int h, int dx);
// Multiplies the alpha of a rectangle, for translucent ghosts and fading corpses.
void fade_region(Pic& p, int x, int y, int w, int h, double factor);

// Writes 8-bit RGBA. Fully transparent pixels get the colour 128, 0, 128 so that the engine's
// colour key agrees with the alpha channel; opaque pictures are flattened onto black.
bool write_png(Pic& p, const std::string& path, bool opaque, std::string& error);

} // namespace pics
