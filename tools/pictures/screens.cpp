// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Full-screen pictures (logo, loading, title, results, game over, extras), the story
// pictures and gallery illustrations, the ending roll, and the small interface pieces.
#include "pictures.h"

#include <algorithm>
#include <cmath>

namespace pics {

static double rad(double deg) {
    return deg * M_PI / 180.0;
}

// Paints another picture of the catalogue, scaled, as a backdrop of an illustration.
static void paint_picture(cairo_t* cr, DrawFn fn, int w, int h, const Assets& a, double x, double y,
                          double scale, double alpha = 1.0) {
    Pic tmp(w, h);
    fn(tmp, a);
    cairo_surface_flush(tmp.surface);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, tmp.surface, 0, 0);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

static void ghost_at(cairo_t* cr, const Assets& a, double x, double y, double scale, double alpha) {
    glow(cr, x, y - 80 * scale, 90 * scale, a.colour("ghost_glow"), 0.35 * alpha);
    cairo_push_group(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    GirlPose g;
    g.ghost = true;
    figure_girl(cr, a, g);
    cairo_pattern_t* body = cairo_pop_group(cr);
    cairo_set_source(cr, body);
    cairo_paint_with_alpha(cr, 0.85 * alpha);
    cairo_pattern_destroy(body);
}

static void girl_at(cairo_t* cr, const Assets& a, double x, double y, double scale,
                    const GirlPose& pose, bool facing_right = false) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, facing_right ? -scale : scale, scale);
    figure_girl(cr, a, pose);
    cairo_restore(cr);
}

static void centred(cairo_t* cr, const std::string& s, double cx, double y, double size, Rgb fill,
                    Rgb edge, double edge_w, bool bold = false) {
    text(cr, s, cx - text_width(cr, s, size, bold) / 2, y, size, fill, edge, edge_w, bold);
}

static void vignette(cairo_t* cr, double w, double h, double strength) {
    cairo_pattern_t* g = cairo_pattern_create_radial(w / 2, h / 2, h * 0.35, w / 2, h / 2, w * 0.7);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, strength);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// ---------------------------------------------------------------- start-up screens

void draw_logo(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    set(cr, hex(0));
    cairo_paint(cr);
    glow(cr, 100, 20, 70, a.colour("ghost_glow"), 0.25);
    centred(cr, a.text("logo"), 100, 32.5, 30, a.colour("ghost"), hex(0x2a4a6a), 3, true);
}

void draw_load(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x0a0c1c), hex(0x1a1a34));
    Rng rng(70);
    for (int i = 0; i < 60; ++i) {
        set(cr, hex(0xffffff), rng.range(0.1, 0.5));
        cairo_arc(cr, rng.range(0, 640), rng.range(0, 480), rng.range(0.5, 1.4), 0, 2 * M_PI);
        cairo_fill(cr);
    }
    ghost_at(cr, a, 540, 440, 0.6, 0.8);
    text(cr, a.text("loading"), 300, 450, 22, hex(0xdff4ff), hex(0x203050), 3, true);
}

void draw_title(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // dusk over the town, the hospital on the hill where she lies, and her spirit above it
    paint_picture(cr, draw_stage10, 640, 480, a, 0, 0, 1.0);
    Rng rng(71);
    Rgb far = mix(a.colour("dusk_top"), a.colour("dusk_mid"), 0.35);
    for (int i = 0; i < 14; ++i) {
        double w = rng.range(30, 60), h = rng.range(40, 120);
        set(cr, far);
        cairo_rectangle(cr, i * 48 - 10, 480 - h - 40, w, h + 40);
        cairo_fill(cr);
    }
    rounded_rect(cr, 150, 300, 200, 190, 4);
    soft_fill(cr, shade(far, -0.25), 0);
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 3; ++k) {
            set(cr, a.colour("window_lit"), (i + k) % 3 ? 0.25 : 0.8);
            cairo_rectangle(cr, 162 + i * 23, 318 + k * 30, 12, 14);
            cairo_fill(cr);
        }
    }
    ghost_at(cr, a, 330, 440, 1.35, 1.0);
    // The menu's panel: the game writes the chosen item white with a grey edge and the others
    // dark grey. Deep enough that the white one stands out most, light enough that the dark
    // ones still read.
    cairo_pattern_t* g = cairo_pattern_create_linear(420, 0, 500, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.30, 0.24, 0.46, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.30, 0.24, 0.46, 0.6);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 420, 0, 220, 480);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    rounded_rect(cr, 458, 236, 168, 198, 12);
    set(cr, hex(0x54457f), 0.92);
    cairo_fill_preserve(cr);
    set(cr, hex(0xd8ccff), 0.35);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    text(cr, a.text("title"), 24, 92, 64, hex(0xffffff), hex(0x3b2c6e), 6, true);
    text(cr, a.text("title_latin"), 30, 124, 22, hex(0xffe0c0), hex(0x3b2c6e), 3);
    text(cr, a.text("subtitle"), 28, 158, 18, hex(0xffffff), hex(0x3b2c6e), 3);
}

void draw_over(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x1a0408), hex(0x000000));
    // her spirit, drifting away into the dark
    ghost_at(cr, a, 320, 500, 1.2, 0.45);
    vignette(cr, 640, 480, 0.9);
    centred(cr, a.text("over"), 320, 200, 64, hex(0xe03040), hex(0x200004), 5, true);
    centred(cr, a.text("over_sub"), 320, 260, 22, hex(0xd0b0b8), hex(0x200004), 3);
}

void draw_clear(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    sky(cr, 640, 480, a.colour("park_top"), mix(a.colour("park_top"), a.colour("park_low"), 0.6),
        a.colour("park_low"), 0.6);
    Rng rng(72);
    for (int i = 0; i < 40; ++i) {
        star(cr, rng.range(0, 640), rng.range(0, 480), rng.range(4, 10), 2, 4, 0);
        set(cr, hex(0xffffff), rng.range(0.3, 0.7));
        cairo_fill(cr);
    }
    centred(cr, a.text("clear"), 320, 120, 56, hex(0xfff4c0), hex(0x6a4a20), 5, true);
    // the light card the tally is written on
    rounded_rect(cr, 160, 160, 420, 240, 18);
    set(cr, hex(0x000000), 0.15);
    cairo_fill(cr);
    rounded_rect(cr, 154, 152, 420, 240, 18);
    set(cr, hex(0xfffaf0));
    cairo_fill_preserve(cr);
    set(cr, hex(0xe8c15a));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    // the five friends along the bottom; the bear sits clear of the prompt the game writes
    // at the bottom left
    cairo_save(cr);
    cairo_translate(cr, 76, 440);
    cairo_scale(cr, 0.8, 0.8);
    figure_bear(cr, a, 0, 0, true);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 600, 440);
    figure_ball(cr, a, 0.3);
    cairo_restore(cr);
    figure_heart(cr, a.colour("heart_red"), 120, 60, 40);
    figure_heart(cr, a.colour("heart_blue"), 530, 60, 40);
}

void draw_extra(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x1c1236), hex(0x0a0818));
    Rng rng(73);
    for (int i = 0; i < 30; ++i) {
        double cx = rng.range(0, 640), cy = rng.range(0, 480), r = rng.range(40, 120);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, rng.range(0, 6.28), rng.range(0, 6.28) + 3);
        set(cr, hex(0x8a7aff), rng.range(0.04, 0.12));
        cairo_set_line_width(cr, rng.range(2, 6));
        cairo_stroke(cr);
    }
    ghost_at(cr, a, 560, 480, 0.8, 0.35);
    text(cr, a.text("extra"), 540, 40, 26, hex(0xb8a8e8), hex(0x1c1236), 2);
    // A sand-coloured band under the EX line: the game writes it white, or pure blue while it
    // is chosen, and blue does not read on the night behind it.
    cairo_pattern_t* band = cairo_pattern_create_linear(138, 0, 496, 0);
    cairo_pattern_add_color_stop_rgba(band, 0, 0.67, 0.57, 0.46, 0);
    cairo_pattern_add_color_stop_rgba(band, 0.05, 0.67, 0.57, 0.46, 1);
    cairo_pattern_add_color_stop_rgba(band, 0.95, 0.67, 0.57, 0.46, 1);
    cairo_pattern_add_color_stop_rgba(band, 1, 0.67, 0.57, 0.46, 0);
    cairo_set_source(cr, band);
    rounded_rect(cr, 138, 326, 358, 35, 6);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
}

// ---------------------------------------------------------------- story pictures

void draw_black(Pic& p, const Assets&) {
    set(p.cr, hex(0));
    cairo_paint(p.cr);
}

void draw_red(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // the moment of the crash: a white flash tearing into red
    set(cr, hex(0x5a0008));
    cairo_paint(cr);
    glow(cr, 320, 240, 420, hex(0xe01020), 1.0);
    Rng rng(74);
    for (int i = 0; i < 36; ++i) {
        double t = rng.range(0, 2 * M_PI), len = rng.range(200, 480), w = rng.range(0.02, 0.07);
        cairo_move_to(cr, 320, 240);
        cairo_line_to(cr, 320 + std::cos(t - w) * len, 240 + std::sin(t - w) * len);
        cairo_line_to(cr, 320 + std::cos(t + w) * len, 240 + std::sin(t + w) * len);
        cairo_close_path(cr);
        set(cr, hex(0xffd0c0), rng.range(0.1, 0.35));
        cairo_fill(cr);
    }
    for (int i = 0; i < 24; ++i) {
        double x = rng.range(0, 640), y = rng.range(0, 480), s = rng.range(6, 22);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + s, y + s * 0.3);
        cairo_line_to(cr, x + s * 0.4, y + s);
        cairo_close_path(cr);
        set(cr, hex(0xffe8e0), rng.range(0.3, 0.7));
        cairo_fill(cr);
    }
    glow(cr, 320, 240, 140, hex(0xffffff), 0.9);
    vignette(cr, 640, 480, 0.8);
}

static void hospital_room(cairo_t* cr, const Assets& a, bool morning) {
    // wall, window, and the bed she has been lying in
    vertical_gradient(cr, 0, 0, 640, 480, morning ? hex(0xf4ece0) : hex(0x2a3050),
                      morning ? hex(0xd8ccc0) : hex(0x161a30));
    rounded_rect(cr, 360, 50, 220, 190, 4);
    soft_fill(cr, morning ? hex(0xbfe4ff) : hex(0x0a1030), 4);
    if (morning) {
        glow(cr, 520, 90, 90, hex(0xfffbe0), 0.9);
    } else {
        cairo_arc(cr, 520, 100, 22, 0, 2 * M_PI);
        set(cr, a.colour("moon"));
        cairo_fill(cr);
    }
    set(cr, morning ? hex(0xffffff) : hex(0x6a7090));
    cairo_rectangle(cr, 466, 50, 8, 190);
    cairo_rectangle(cr, 360, 140, 220, 6);
    cairo_fill(cr);
    // curtains
    for (int side = 0; side < 2; ++side) {
        double x = side ? 560 : 340;
        cairo_move_to(cr, x, 36);
        cairo_curve_to(cr, x + 10, 120, x - 10, 200, x + 6, 260);
        cairo_line_to(cr, x + 40 - side * 10, 260);
        cairo_curve_to(cr, x + 30, 180, x + 40, 100, x + 44, 36);
        cairo_close_path(cr);
        soft_fill(cr, morning ? hex(0xe0ecf0) : hex(0x4a5470), 1.5);
    }
    // the bed
    rounded_rect(cr, 40, 300, 520, 40, 8);
    soft_fill(cr, morning ? hex(0xe8e8f0) : hex(0x7080a0), 2);
    rounded_rect(cr, 30, 240, 16, 220, 4);
    soft_fill(cr, hex(0xa0a8b8), 1.5);
    rounded_rect(cr, 40, 330, 520, 30, 6);
    soft_fill(cr, hex(0x9098a8), 1.5);
    // a drip stand
    rounded_rect(cr, 600, 100, 5, 340, 2);
    soft_fill(cr, hex(0xb0b8c8), 1);
    rounded_rect(cr, 588, 110, 28, 40, 6);
    soft_fill(cr, hex(0xd8f0ff), 1.5, 0.8);
}

void draw_weeks(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    hospital_room(cr, a, false);
    // she sleeps on under the blanket; the flowers have wilted; the calendar fills with crosses
    ellipse(cr, 110, 270, 50, 18);
    soft_fill(cr, hex(0xc8d0e0), 2);
    GirlPose pose;
    pose.eyes_closed = true;
    cairo_save(cr);
    cairo_translate(cr, 270, 262);
    cairo_rotate(cr, rad(-90));
    cairo_scale(cr, 1.15, 1.15);
    figure_girl(cr, a, pose);
    cairo_restore(cr);
    rounded_rect(cr, 150, 262, 390, 66, 20);
    soft_fill(cr, hex(0x9aa8c8), 2);
    rounded_rect(cr, 60, 60, 200, 170, 4);
    soft_fill(cr, hex(0xe8e4dc), 2);
    rounded_rect(cr, 60, 60, 200, 30, 4);
    soft_fill(cr, hex(0xc84050), 2);
    for (int d = 0; d < 28; ++d) {
        double x = 72 + (d % 7) * 27, y = 100 + (d / 7) * 30;
        rounded_rect(cr, x, y, 22, 24, 2);
        soft_fill(cr, hex(0xf8f6f0), 1);
        if (d < 22) {
            set(cr, hex(0xc02030), 0.8);
            cairo_set_line_width(cr, 2);
            cairo_move_to(cr, x + 4, y + 4);
            cairo_line_to(cr, x + 18, y + 20);
            cairo_move_to(cr, x + 18, y + 4);
            cairo_line_to(cr, x + 4, y + 20);
            cairo_stroke(cr);
        }
    }
    rounded_rect(cr, 500, 200, 30, 40, 6);
    soft_fill(cr, hex(0x8ab0c8), 1.5, 0.9);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 515, 200);
        cairo_curve_to(cr, 510 + i * 5, 180, 520 + i * 8, 170, 530 + i * 6, 186);
        set(cr, hex(0x4a6a3a));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_arc(cr, 530 + i * 6, 188, 5, 0, 2 * M_PI);
        soft_fill(cr, hex(0xa06070), 1);
    }
    vignette(cr, 640, 480, 0.7);
}

void draw_cg01(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // morning: she opens her eyes, the bear that fought beside her on the pillow
    hospital_room(cr, a, true);
    cairo_move_to(cr, 360, 50);
    cairo_line_to(cr, 580, 50);
    cairo_line_to(cr, 300, 480);
    cairo_line_to(cr, 40, 480);
    cairo_close_path(cr);
    set(cr, hex(0xfff4d0), 0.25);
    cairo_fill(cr);
    ellipse(cr, 130, 262, 70, 22);
    soft_fill(cr, hex(0xffffff), 2);
    GirlPose pose;
    cairo_save(cr);
    cairo_translate(cr, 300, 262);
    cairo_rotate(cr, rad(-90));
    cairo_scale(cr, 1.3, 1.3);
    figure_girl(cr, a, pose);
    cairo_restore(cr);
    rounded_rect(cr, 160, 250, 390, 70, 24);
    soft_fill(cr, hex(0xf0f4fa), 2);
    cairo_save(cr);
    cairo_translate(cr, 60, 262);
    cairo_scale(cr, 0.7, 0.7);
    figure_bear(cr, a, 0, 0, true);
    cairo_restore(cr);
    rounded_rect(cr, 500, 200, 30, 40, 6);
    soft_fill(cr, hex(0x8ab0c8), 1.5, 0.9);
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, 500 + i * 8, 186 - (i % 2) * 10, 8, 0, 2 * M_PI);
        soft_fill(cr, i % 2 ? hex(0xffd050) : hex(0xff8aa0), 1.2);
    }
}

void draw_cg02(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // her spirit over the town at dusk
    paint_picture(cr, draw_stage10, 640, 480, a, 0, 0, 1.0);
    paint_picture(cr, draw_stage12, 640, 480, a, 0, 40, 1.0);
    paint_picture(cr, draw_stage11, 1500, 480, a, -200, 120, 0.75);
    ghost_at(cr, a, 330, 330, 1.6, 1.0);
}

void draw_cg03(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // in the park, hugging the bear that carried her through the first stage
    paint_picture(cr, draw_stage20, 640, 480, a, 0, 0, 1.0);
    paint_picture(cr, draw_stage22, 640, 480, a, 0, 0, 1.0);
    vertical_gradient(cr, 0, 380, 640, 100, hex(0x6ab050), hex(0x3a7030));
    GirlPose pose;
    pose.eyes_closed = true;
    girl_at(cr, a, 330, 440, 2.2, pose);
    cairo_save(cr);
    cairo_translate(cr, 300, 400);
    cairo_scale(cr, 1.1, 1.1);
    figure_bear(cr, a, 0, 0, true);
    cairo_restore(cr);
    figure_heart(cr, a.colour("heart_red"), 420, 100, 50);
}

void draw_cg04(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // the five objects in a row, each under its own light, the ghost above them
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x1a1436), hex(0x3a2a5a));
    for (int i = 0; i < 5; ++i) {
        double x = 80 + i * 120;
        cairo_move_to(cr, x - 20, 0);
        cairo_line_to(cr, x + 20, 0);
        cairo_line_to(cr, x + 60, 420);
        cairo_line_to(cr, x - 60, 420);
        cairo_close_path(cr);
        set(cr, hex(0xfff0c0), 0.12);
        cairo_fill(cr);
        ellipse(cr, x, 420, 60, 12);
        set(cr, hex(0xfff0c0), 0.25);
        cairo_fill(cr);
    }
    ghost_at(cr, a, 320, 250, 1.0, 0.9);
    cairo_save(cr);
    cairo_translate(cr, 80, 420);
    figure_bear(cr, a, 0, 0, false);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 200, 390);
    cairo_scale(cr, 1.1, 1.1);
    figure_ball(cr, a, 0.2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 320, 420);
    figure_pogo(cr, a, 0);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 440, 420);
    cairo_scale(cr, 1.6, 1.6);
    figure_book(cr, a, 0, false);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 560, 380);
    cairo_scale(cr, 1.6, 1.6);
    figure_gun(cr, a, 0, false);
    cairo_restore(cr);
}

void draw_cg05(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // the roof under the moon: the reaper turned away, scattering into light
    paint_picture(cr, draw_stage4b, 640, 480, a, 0, 0, 1.0);
    cairo_save(cr);
    cairo_translate(cr, 180, 40);
    cairo_scale(cr, 1.0, 1.0);
    cairo_push_group(cr);
    figure_reaper(cr, a, -1, 0);
    cairo_pattern_t* reaper = cairo_pop_group(cr);
    cairo_set_source(cr, reaper);
    cairo_paint_with_alpha(cr, 0.55);
    cairo_pattern_destroy(reaper);
    cairo_restore(cr);
    Rng rng(75);
    for (int i = 0; i < 40; ++i) {
        star(cr, rng.range(300, 600), rng.range(40, 380), rng.range(3, 8), 1.2, 4, 0);
        set(cr, hex(0xfff4d0), rng.range(0.4, 0.9));
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, 140, 420);
    cairo_scale(cr, -1, 1);
    cairo_translate(cr, -140, -420);
    ghost_at(cr, a, 140, 420, 1.3, 1.0);
    cairo_restore(cr);
}

void draw_cg06(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // spring, some months later: she walks through the park in her own body
    sky(cr, 640, 480, hex(0x8ac4f0), hex(0xd8ecf8), hex(0xfff4f0), 0.6);
    paint_picture(cr, draw_stage22, 640, 480, a, 0, 0, 1.0);
    vertical_gradient(cr, 0, 400, 640, 80, hex(0x8ac870), hex(0x5a9a48));
    Rng rng(76);
    for (int t = 0; t < 3; ++t) {
        double x = 90 + t * 230;
        capsule(cr, x, 420, x + 10, 160, 22);
        soft_fill(cr, hex(0x5a4038), 2);
        for (int i = 0; i < 22; ++i) {
            cairo_arc(cr, x + rng.range(-110, 110), rng.range(60, 220), rng.range(24, 40), 0,
                      2 * M_PI);
            soft_fill(cr, hex(0xffc8d8), 0, 0.9);
        }
    }
    for (int i = 0; i < 60; ++i) {
        double x = rng.range(0, 640), y = rng.range(0, 480);
        ellipse(cr, x, y, 4, 2.5);
        set(cr, hex(0xffd8e4), 0.9);
        cairo_fill(cr);
    }
    GirlPose pose;
    pose.stride = 0.6;
    pose.arm = -0.5;
    girl_at(cr, a, 330, 450, 1.9, pose, true);
}

// The ending roll is read from top to bottom as it scrolls up: night, the four stages,
// the friends who helped, and the morning she comes home.
void draw_ending(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 3360);
    cairo_pattern_add_color_stop_rgb(g, 0.0, 0.0, 0.0, 0.02);
    cairo_pattern_add_color_stop_rgb(g, 0.5, 0.06, 0.07, 0.2);
    // still dusky violet at the top of the last screen, where the scores are written
    cairo_pattern_add_color_stop_rgb(g, 0.85, 0.2, 0.18, 0.4);
    cairo_pattern_add_color_stop_rgb(g, 0.95, 0.86, 0.55, 0.55);
    cairo_pattern_add_color_stop_rgb(g, 1.0, 1.0, 0.85, 0.6);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 0, 0, 640, 3360);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    Rng rng(77);
    stars(cr, rng, 640, 2200, 260, 0.8);
    centred(cr, a.text("ending_1"), 320, 300, 26, hex(0xffffff), hex(0), 3);
    // four framed memories, alternating sides
    struct Scene {
        DrawFn far, slow, near;
        const char* caption;
    };
    const Scene scenes[4] = {{draw_stage10, draw_stage12, draw_stage11, "ending_2"},
                             {draw_stage20, draw_stage22, draw_stage21, "ending_3"},
                             {draw_stage30, draw_stage32, draw_stage31, "ending_4"},
                             {draw_stage30, draw_stage32, draw_stage41, "ending_5"}};
    for (int i = 0; i < 4; ++i) {
        double y = 520 + i * 420;
        double x = (i % 2) ? 250 : 30;
        cairo_save(cr);
        rounded_rect(cr, x, y, 360, 270, 8);
        cairo_clip(cr);
        paint_picture(cr, scenes[i].far, 640, 480, a, x, y, 0.5625);
        paint_picture(cr, scenes[i].slow, 640, 480, a, x, y, 0.5625);
        paint_picture(cr, scenes[i].near, 1500, 480, a, x - i * 80, y, 0.5625);
        cairo_restore(cr);
        rounded_rect(cr, x, y, 360, 270, 8);
        set(cr, hex(0xe8c15a));
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        // the caption sits under its own memory: beside it, it would read as the title of the
        // next one, and the longest runs off the picture
        centred(cr, a.text(scenes[i].caption), x + 180, y + 306, 22, hex(0xffffff), hex(0), 3);
    }
    // the friends
    double fy = 2300;
    centred(cr, a.text("ending_6"), 320, fy, 24, hex(0xffffff), hex(0x202040), 3);
    centred(cr, a.text("ending_7"), 320, fy + 36, 24, hex(0xffffff), hex(0x202040), 3);
    centred(cr, a.text("ending_8"), 320, fy + 72, 24, hex(0xffffff), hex(0x202040), 3);
    cairo_save(cr);
    cairo_translate(cr, 140, fy + 250);
    figure_bear(cr, a, 0, 0, false);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 250, fy + 220);
    figure_ball(cr, a, 0.5);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 340, fy + 250);
    figure_pogo(cr, a, 0.2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 430, fy + 250);
    cairo_scale(cr, 1.4, 1.4);
    figure_book(cr, a, 0.7, true);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 530, fy + 215);
    cairo_scale(cr, 1.4, 1.4);
    figure_gun(cr, a, 0, false);
    cairo_restore(cr);
    // the last screen: morning on the hill, she waves; the top stays clear for the scores
    double base = 2880;
    glow(cr, 320, base + 330, 300, hex(0xfff0c0), 0.8);
    cairo_arc(cr, 320, base + 330, 60, 0, 2 * M_PI);
    set(cr, hex(0xfff8e0));
    cairo_fill(cr);
    cairo_move_to(cr, 0, base + 380);
    cairo_curve_to(cr, 200, base + 340, 440, base + 360, 640, base + 390);
    cairo_line_to(cr, 640, base + 480);
    cairo_line_to(cr, 0, base + 480);
    cairo_close_path(cr);
    set(cr, hex(0x4a7a48));
    cairo_fill(cr);
    GirlPose pose;
    pose.arm = 1.0;
    girl_at(cr, a, 230, base + 372, 1.2, pose, true);
    centred(cr, a.text("ending_9"), 320, base + 160, 30, hex(0xffffff), hex(0x6a3a3a), 4, true);
    text(cr, a.text("ending_end"), 520, base + 450, 26, hex(0xffffff), hex(0x203020), 3);
}

// ---------------------------------------------------------------- the prologue's car

void draw_car(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // a dark sedan driving to the right with its lights on; wheels rest on y 180. The
    // headlight's glow stays inside the picture, whose right edge would cut it straight.
    glow(cr, 536, 122, 18, hex(0xfff4c0), 0.7);
    Rgb body = hex(0x2a3a5a);
    cairo_move_to(cr, 20, 160);
    cairo_line_to(cr, 20, 110);
    cairo_curve_to(cr, 24, 100, 60, 96, 130, 94);
    cairo_line_to(cr, 190, 50);
    cairo_curve_to(cr, 260, 36, 340, 36, 380, 52);
    cairo_line_to(cr, 440, 92);
    cairo_curve_to(cr, 520, 98, 550, 108, 552, 126);
    cairo_line_to(cr, 552, 160);
    cairo_curve_to(cr, 552, 168, 546, 170, 540, 170);
    cairo_line_to(cr, 30, 170);
    cairo_curve_to(cr, 24, 170, 20, 166, 20, 160);
    cairo_close_path(cr);
    soft_fill(cr, body, 3);
    // windows
    cairo_move_to(cr, 148, 96);
    cairo_line_to(cr, 200, 58);
    cairo_line_to(cr, 270, 54);
    cairo_line_to(cr, 270, 96);
    cairo_close_path(cr);
    soft_fill(cr, hex(0x9ab8d8), 2);
    cairo_move_to(cr, 284, 54);
    cairo_line_to(cr, 370, 58);
    cairo_line_to(cr, 418, 96);
    cairo_line_to(cr, 284, 96);
    cairo_close_path(cr);
    soft_fill(cr, hex(0x9ab8d8), 2);
    set(cr, hex(0xffffff), 0.5);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 300, 62);
    cairo_line_to(cr, 330, 90);
    cairo_stroke(cr);
    // door lines, bumper, lights
    set(cr, shade(body, -0.6));
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, 277, 96);
    cairo_line_to(cr, 277, 160);
    cairo_stroke(cr);
    rounded_rect(cr, 518, 148, 36, 14, 4);
    soft_fill(cr, hex(0xb8c0cc), 1.5);
    rounded_rect(cr, 12, 146, 30, 14, 4);
    soft_fill(cr, hex(0xb8c0cc), 1.5);
    rounded_rect(cr, 530, 112, 22, 14, 5);
    soft_fill(cr, hex(0xfffbe0), 1.5);
    rounded_rect(cr, 20, 112, 12, 14, 4);
    soft_fill(cr, hex(0xe02030), 1.5);
    // wheels
    for (double wx : {120.0, 440.0}) {
        cairo_arc(cr, wx, 150, 31, 0, 2 * M_PI);
        soft_fill(cr, hex(0x1a1a1e), 2);
        cairo_arc(cr, wx, 150, 15, 0, 2 * M_PI);
        soft_fill(cr, hex(0xa8b0bc), 1.5);
    }
    // a shadow under the car on the road
    ellipse(cr, 290, 182, 262, 6);
    set(cr, hex(0), 0.35);
    cairo_fill(cr);
}

// ---------------------------------------------------------------- interface pieces

void draw_banners(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    const char* keys[10] = {"banner_1",  "banner_2",  "banner_3",  "banner_4",  "banner_5",
                            "banner_11", "banner_21", "banner_31", "banner_41", "banner_51"};
    for (int i = 0; i < 10; ++i) {
        double y = i * 60;
        bool boss = i >= 5;
        // a ribbon fading out to both ends, with a thin gold rule
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 350, 0);
        Rgb c = boss ? hex(0x5a0c18) : hex(0x101a3a);
        cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, 0);
        cairo_pattern_add_color_stop_rgba(g, 0.12, c.r, c.g, c.b, 0.85);
        cairo_pattern_add_color_stop_rgba(g, 0.88, c.r, c.g, c.b, 0.85);
        cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
        cairo_set_source(cr, g);
        cairo_rectangle(cr, 0, y + 8, 350, 44);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        set(cr, hex(0xe8c15a), 0.9);
        cairo_rectangle(cr, 30, y + 10, 290, 1.5);
        cairo_rectangle(cr, 30, y + 48.5, 290, 1.5);
        cairo_fill(cr);
        // a longer line (a language with longer words) is set smaller to stay inside the rules
        const std::string& words = a.text(keys[i]);
        double size = std::min(24.0, 24.0 * 290 / text_width(cr, words, 24, true));
        centred(cr, words, 175, y + 30 + size * 0.375, size, hex(0xffffff), hex(0), 3, true);
    }
}

void draw_cursor(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // a small page-turn triangle that bobs down by two pixels
    for (int f = 0; f < 2; ++f) {
        double x = f * 18 + 9, y = 6 + f * 2;
        cairo_move_to(cr, x - 6, y - 3);
        cairo_line_to(cr, x + 6, y - 3);
        cairo_line_to(cr, x, y + 6);
        cairo_close_path(cr);
        soft_fill(cr, f ? hex(0xc8d8ff) : hex(0xffffff), 1.5);
    }
}

void draw_arrow(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // drawn half transparent by the game, so it is bold and bright
    cairo_move_to(cr, 6, 22);
    cairo_line_to(cr, 64, 22);
    cairo_line_to(cr, 64, 6);
    cairo_line_to(cr, 114, 36);
    cairo_line_to(cr, 64, 66);
    cairo_line_to(cr, 64, 50);
    cairo_line_to(cr, 6, 50);
    cairo_close_path(cr);
    soft_fill(cr, hex(0xffc030), 4);
}

} // namespace pics
