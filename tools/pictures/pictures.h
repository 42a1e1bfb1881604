// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Every picture of the game, by the file it is written to.
#pragma once

#include "paint.h"

#include <string>
#include <vector>

namespace pics {

using DrawFn = void (*)(Pic&, const Assets&);

struct Entry {
    const char* name; // file name under png/
    int w, h;
    bool opaque; // drawn without the colour key: every pixel must be solid
    DrawFn draw;
};

const std::vector<Entry>& catalogue();

// characters.cpp
void draw_player(Pic&, const Assets&);
void draw_bear(Pic&, const Assets&);
void draw_ball(Pic&, const Assets&);
void draw_hopping(Pic&, const Assets&);
void draw_book(Pic&, const Assets&);
void draw_gun(Pic&, const Assets&);
void draw_hearts(Pic&, const Assets&);
void draw_item_frames(Pic&, const Assets&);
void draw_sparkles(Pic&, const Assets&);
void draw_shots(Pic&, const Assets&);

// enemies.cpp
void draw_rat(Pic&, const Assets&);
void draw_bat(Pic&, const Assets&);
void draw_spider(Pic&, const Assets&);
void draw_dog(Pic&, const Assets&);
void draw_diver(Pic&, const Assets&);
void draw_phantom(Pic&, const Assets&);
void draw_reaper(Pic&, const Assets&);

// scenery.cpp
void draw_tiles(Pic&, const Assets&);
void draw_stage10(Pic&, const Assets&);
void draw_stage11(Pic&, const Assets&);
void draw_stage12(Pic&, const Assets&);
void draw_stage1b(Pic&, const Assets&);
void draw_stage20(Pic&, const Assets&);
void draw_stage21(Pic&, const Assets&);
void draw_stage22(Pic&, const Assets&);
void draw_stage2b(Pic&, const Assets&);
void draw_stage30(Pic&, const Assets&);
void draw_stage31(Pic&, const Assets&);
void draw_stage32(Pic&, const Assets&);
void draw_stage3b(Pic&, const Assets&);
void draw_stage41(Pic&, const Assets&);
void draw_stage4b(Pic&, const Assets&);
void draw_fog1(Pic&, const Assets&);
void draw_fog2(Pic&, const Assets&);
void draw_wipe(Pic&, const Assets&);

// Sky helpers shared by the scenery and the illustrations (scenery.cpp).
void sky(cairo_t* cr, double w, double h, Rgb top, Rgb mid, Rgb low, double mid_at);
void stars(cairo_t* cr, Rng& rng, double w, double h, int n, double alpha);

// screens.cpp
void draw_logo(Pic&, const Assets&);
void draw_icon(Pic&, const Assets&);
void draw_load(Pic&, const Assets&);
void draw_title(Pic&, const Assets&);
void draw_over(Pic&, const Assets&);
void draw_clear(Pic&, const Assets&);
void draw_extra(Pic&, const Assets&);
void draw_black(Pic&, const Assets&);
void draw_red(Pic&, const Assets&);
void draw_weeks(Pic&, const Assets&);
void draw_cg01(Pic&, const Assets&);
void draw_cg02(Pic&, const Assets&);
void draw_cg03(Pic&, const Assets&);
void draw_cg04(Pic&, const Assets&);
void draw_cg05(Pic&, const Assets&);
void draw_cg06(Pic&, const Assets&);
void draw_ending(Pic&, const Assets&);
void draw_car(Pic&, const Assets&);
void draw_banners(Pic&, const Assets&);
void draw_cursor(Pic&, const Assets&);
void draw_arrow(Pic&, const Assets&);

// Shared figures, drawn facing left with the origin at the feet centre (characters.cpp), so
// the story pictures can reuse them at any scale.
struct GirlPose {
    double stride = 0; // -1 .. 1: which leg is forward and how far
    double arm = 0;    // arm swing, -1 .. 1
    bool ghost = false;
    bool eyes_closed = false;
};
void figure_girl(cairo_t* cr, const Assets& a, const GirlPose& pose);
void figure_bear(cairo_t* cr, const Assets& a, double stride, double punch, bool sitting);
void figure_ball(cairo_t* cr, const Assets& a, double angle);
void figure_pogo(cairo_t* cr, const Assets& a, double squash);
void figure_book(cairo_t* cr, const Assets& a, double open, bool flying);
void figure_gun(cairo_t* cr, const Assets& a, double tilt, bool firing);
void figure_heart(cairo_t* cr, Rgb c, double cx, double cy, double size);
void figure_reaper(cairo_t* cr, const Assets& a, double swing, double arms_up);
void figure_dog(cairo_t* cr, const Assets& a, double phase, int mode);
void figure_crow(cairo_t* cr, const Assets& a, double flap, bool diving);

} // namespace pics
