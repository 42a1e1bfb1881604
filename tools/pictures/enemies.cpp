// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Rats, bats, spiders and the four bosses. Every sheet faces left; the game mirrors them.
#include "pictures.h"

#include <cmath>

namespace pics {

static double rad(double deg) {
    return deg * M_PI / 180.0;
}

static void cell_begin(cairo_t* cr, int col, int row, int w, int h) {
    cairo_save(cr);
    cairo_rectangle(cr, col * w, row * h, w, h);
    cairo_clip(cr);
    cairo_translate(cr, col * w, row * h);
}

// A dead creature: drawn upside down around (cx, cy).
static void flip_about(cairo_t* cr, double cx, double cy) {
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1, -1);
    cairo_translate(cr, -cx, -cy);
}

static void x_eye(cairo_t* cr, double x, double y, double r) {
    set(cr, hex(0x101010));
    cairo_set_line_width(cr, 1.8);
    cairo_move_to(cr, x - r, y - r);
    cairo_line_to(cr, x + r, y + r);
    cairo_move_to(cr, x + r, y - r);
    cairo_line_to(cr, x - r, y + r);
    cairo_stroke(cr);
}

static void glowing_eye(cairo_t* cr, const Assets& a, double x, double y, double r) {
    glow(cr, x, y, r * 2.6, a.colour("evil_eye"), 0.6);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    set(cr, shade(a.colour("evil_eye"), 0.3));
    cairo_fill(cr);
    cairo_arc(cr, x - r * 0.3, y - r * 0.3, r * 0.35, 0, 2 * M_PI);
    set(cr, hex(0xffffff));
    cairo_fill(cr);
}

// ---------------------------------------------------------------- rat (120 x 60)

static void rat(cairo_t* cr, const Assets& a, double phase, bool dead) {
    Rgb fur = a.colour("rat"), pink = a.colour("rat_pink");
    // tail
    cairo_move_to(cr, 86, 44);
    cairo_curve_to(cr, 100, 50, 104, 22 + 4 * std::sin(phase), 112, 18);
    set(cr, shade(pink, -0.45));
    cairo_set_line_width(cr, 4.5);
    cairo_stroke_preserve(cr);
    set(cr, pink);
    cairo_set_line_width(cr, 2.8);
    cairo_stroke(cr);
    // far legs
    for (int i = 0; i < 2; ++i) {
        double x = (i ? 74 : 36) + 5 * std::sin(phase + i * M_PI + 1.2);
        ellipse(cr, x, 55, 6, 3.5);
        soft_fill(cr, shade(pink, -0.25), 1.2);
    }
    ellipse(cr, 58, 38, 33, 18);
    soft_fill(cr, fur, 2);
    ellipse(cr, 54, 46, 22, 8);
    soft_fill(cr, shade(fur, 0.3), 0);
    // head, pointing left
    cairo_move_to(cr, 5, 40);
    cairo_curve_to(cr, 10, 28, 26, 22, 38, 26);
    cairo_curve_to(cr, 44, 36, 42, 48, 30, 50);
    cairo_curve_to(cr, 20, 50, 10, 46, 5, 40);
    cairo_close_path(cr);
    soft_fill(cr, fur, 2);
    cairo_arc(cr, 34, 22, 8, 0, 2 * M_PI);
    soft_fill(cr, fur, 1.8);
    cairo_arc(cr, 34, 22, 4.5, 0, 2 * M_PI);
    soft_fill(cr, pink, 0);
    cairo_arc(cr, 6, 39, 3, 0, 2 * M_PI);
    soft_fill(cr, pink, 1.2);
    if (dead) {
        x_eye(cr, 20, 32, 3);
    } else {
        glowing_eye(cr, a, 20, 32, 2.6);
    }
    set(cr, hex(0xffffff));
    cairo_rectangle(cr, 11, 44, 3, 4);
    cairo_fill(cr);
    set(cr, shade(fur, -0.6), 0.8);
    cairo_set_line_width(cr, 0.8);
    for (int i = -1; i <= 1; ++i) {
        cairo_move_to(cr, 10, 40);
        cairo_line_to(cr, 4, 38 + i * 5);
    }
    cairo_stroke(cr);
    // near legs
    for (int i = 0; i < 2; ++i) {
        double x = (i ? 78 : 40) + 6 * std::sin(phase + i * M_PI);
        ellipse(cr, x, 56, 7, 4);
        soft_fill(cr, pink, 1.2);
    }
}

void draw_rat(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    for (int i = 0; i < 4; ++i) {
        cell_begin(cr, i, 0, 120, 60);
        cairo_translate(cr, 0, (i % 2) ? -1.5 : 0);
        rat(cr, a, i * M_PI / 2, false);
        cairo_restore(cr);
    }
    for (int i = 2; i < 4; ++i) {
        cell_begin(cr, i, 1, 120, 60);
        flip_about(cr, 60, 34);
        rat(cr, a, 0.5, true);
        cairo_restore(cr);
    }
    fade_region(p, 360, 60, 120, 60, 0.6);
}

// ---------------------------------------------------------------- bat (60 x 60)

static void bat(cairo_t* cr, const Assets& a, double flap, bool dead) {
    Rgb body = a.colour("bat"), wing = a.colour("bat_wing");
    // flap: 1 wings up, -1 wings down
    auto wing_path = [&](double side) {
        double tip_y = 30 - flap * 22;
        double sx = 30 + side * 6;
        cairo_move_to(cr, sx, 26);
        cairo_curve_to(cr, 30 + side * 14, 20 - flap * 10, 30 + side * 22, tip_y - 4,
                       30 + side * 28, tip_y);
        cairo_curve_to(cr, 30 + side * 24, tip_y + 6, 30 + side * 22, tip_y + 8, 30 + side * 18,
                       tip_y + 10 + flap * 2);
        cairo_curve_to(cr, 30 + side * 16, tip_y + 6, 30 + side * 13, tip_y + 8, 30 + side * 10,
                       38 - flap * 4);
        cairo_line_to(cr, sx, 38);
        cairo_close_path(cr);
    };
    if (dead) {
        flap = -0.2;
    }
    wing_path(1);
    soft_fill(cr, shade(wing, -0.2), 1.8);
    wing_path(-1);
    soft_fill(cr, wing, 1.8);
    // ears and body
    cairo_move_to(cr, 22, 24);
    cairo_line_to(cr, 21, 12);
    cairo_line_to(cr, 28, 21);
    cairo_line_to(cr, 34, 21);
    cairo_line_to(cr, 39, 12);
    cairo_line_to(cr, 38, 24);
    cairo_close_path(cr);
    soft_fill(cr, body, 1.5);
    ellipse(cr, 30, 32, 10, 13);
    soft_fill(cr, body, 1.8);
    if (dead) {
        x_eye(cr, 25, 28, 2.2);
        x_eye(cr, 33, 28, 2.2);
    } else {
        glowing_eye(cr, a, 24.5, 28, 2);
        glowing_eye(cr, a, 32.5, 28, 2);
        set(cr, hex(0xffffff));
        cairo_move_to(cr, 25, 35);
        cairo_line_to(cr, 26.5, 39);
        cairo_line_to(cr, 28, 35);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void draw_bat(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    const double flap[4] = {1.0, 0.2, -0.8, 0.2};
    for (int i = 0; i < 4; ++i) {
        cell_begin(cr, i, 0, 60, 60);
        bat(cr, a, flap[i], false);
        cairo_restore(cr);
    }
    for (int i = 2; i < 4; ++i) {
        cell_begin(cr, i, 1, 60, 60);
        flip_about(cr, 30, 32);
        bat(cr, a, 0, true);
        cairo_restore(cr);
    }
    fade_region(p, 180, 60, 60, 60, 0.6);
}

// ---------------------------------------------------------------- spider (60 x 60)

static void spider(cairo_t* cr, const Assets& a, double phase, bool dead) {
    Rgb body = a.colour("spider"), mark = a.colour("spider_mark");
    // eight legs, four a side, knees up; a dead spider curls them in
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 4; ++i) {
            double base_x = 22 + i * 5, base_y = 38;
            double dir = side ? 1 : -1;
            double spread = dead ? 0.4 : 1.0;
            double fx = base_x + dir * (11 + i * 2.2) * spread + std::sin(phase + i) * 1.5;
            double kx = base_x + dir * (8 + i * 2) * spread, ky = dead ? 28 : 16 + i * 3;
            double fy = dead ? 32 : 50;
            cairo_move_to(cr, base_x, base_y);
            cairo_line_to(cr, kx, ky);
            cairo_line_to(cr, fx, fy);
            set(cr, side ? shade(body, 0.15) : shade(body, 0.3));
            cairo_set_line_width(cr, 4);
            cairo_stroke_preserve(cr);
            set(cr, side ? shade(body, -0.2) : body);
            cairo_set_line_width(cr, 2.6);
            cairo_stroke(cr);
        }
    }
    ellipse(cr, 38, 36, 15, 13);
    soft_fill(cr, body, 1.8);
    // the warning mark on the back
    cairo_move_to(cr, 38, 28);
    cairo_line_to(cr, 42, 35);
    cairo_line_to(cr, 38, 42);
    cairo_line_to(cr, 34, 35);
    cairo_close_path(cr);
    soft_fill(cr, mark, 0.8);
    cairo_arc(cr, 20, 40, 9, 0, 2 * M_PI);
    soft_fill(cr, shade(body, 0.1), 1.8);
    if (dead) {
        x_eye(cr, 16, 38, 2.2);
    } else {
        glowing_eye(cr, a, 15, 37, 1.8);
        glowing_eye(cr, a, 20, 35, 1.6);
        cairo_arc(cr, 14, 42, 1.2, 0, 2 * M_PI);
        set(cr, a.colour("evil_eye"));
        cairo_fill(cr);
    }
    // fangs
    set(cr, hex(0xf0e6d8));
    cairo_move_to(cr, 12, 45);
    cairo_line_to(cr, 13, 49);
    cairo_line_to(cr, 15, 45);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void draw_spider(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    for (int i = 0; i < 4; ++i) {
        cell_begin(cr, i, 0, 60, 60);
        spider(cr, a, i * M_PI / 2, false);
        cairo_restore(cr);
    }
    for (int i = 2; i < 4; ++i) {
        cell_begin(cr, i, 1, 60, 60);
        flip_about(cr, 30, 36);
        spider(cr, a, 0, true);
        cairo_restore(cr);
    }
    fade_region(p, 180, 60, 60, 60, 0.6);
}

// ---------------------------------------------------------------- the black hound (200 x 200)

// mode 0 running, 1 crouching to leap, 2 flying through the leap, 3 struck down, 4 lying still
void figure_dog(cairo_t* cr, const Assets& a, double phase, int mode) {
    Rgb fur = a.colour("dog"), light = a.colour("dog_light");
    Rgb far = shade(fur, -0.35);
    bool dead = mode >= 3;
    auto leg = [&](double hx, double hy, double ang, double len, Rgb c) {
        double kx = hx + std::cos(ang) * len * 0.55, ky = hy + std::sin(ang) * len * 0.55;
        double bend = ang + rad(ang > M_PI / 2 ? -25 : 25);
        double px = kx + std::cos(bend) * len * 0.5, py = ky + std::sin(bend) * len * 0.5;
        capsule(cr, hx, hy, kx, ky, 15);
        soft_fill(cr, c, 2);
        capsule(cr, kx, ky, px, py, 10);
        soft_fill(cr, c, 2);
        ellipse(cr, px - 3, py + 2, 8, 4.5);
        soft_fill(cr, shade(c, -0.2), 1.5);
    };
    // gallop: the front and back pairs swing in opposition. The reach of the legs (and of the
    // leap's stretch) is what the 200-pixel cell leaves room for.
    double swing = std::sin(phase);
    double front = rad(100) + swing * rad(34), back = rad(80) - swing * rad(34);
    if (mode == 1) {
        front = rad(120);
        back = rad(60);
    } else if (mode == 2) {
        front = rad(145);
        back = rad(35);
    } else if (dead) {
        front = rad(135);
        back = rad(45);
    }
    double len = mode == 1 ? 48 : mode == 2 ? 50 : 58;
    // tail
    cairo_move_to(cr, 150, 104);
    if (dead) {
        // limp
        cairo_curve_to(cr, 166, 100, 176, 104, 184, 116);
    } else {
        cairo_curve_to(cr, 170, 96, 178, 80 - swing * 6, 190, 72 - swing * 8);
    }
    set(cr, shade(fur, -0.5));
    cairo_set_line_width(cr, 9);
    cairo_stroke_preserve(cr);
    set(cr, fur);
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    leg(58, 118, front + rad(14), len, far);
    leg(138, 112, back - rad(14), len, far);
    // body and chest
    ellipse(cr, 100, 112, 56, 27);
    soft_fill(cr, fur, 2.5);
    ellipse(cr, 62, 114, 28, 26);
    soft_fill(cr, fur, 2.5);
    ellipse(cr, 58, 124, 16, 12);
    soft_fill(cr, light, 0);
    leg(60, 120, front, len, fur);
    leg(140, 114, back, len, fur);
    // neck with a spiked collar, then the head
    capsule(cr, 62, 108, 44, 84, 30);
    soft_fill(cr, fur, 2.5);
    capsule(cr, 64, 98, 44, 104, 8);
    soft_fill(cr, hex(0xb8283a), 1.5);
    for (int i = 0; i < 4; ++i) {
        double x = 60 - i * 5, y = 99 + i * 1.5;
        cairo_move_to(cr, x - 2.5, y);
        cairo_line_to(cr, x, y - 7);
        cairo_line_to(cr, x + 2.5, y);
        cairo_close_path(cr);
        soft_fill(cr, hex(0xd8dce4), 0.8);
    }
    // ears
    cairo_move_to(cr, 44, 70);
    cairo_line_to(cr, 52, 44);
    cairo_line_to(cr, 60, 72);
    cairo_close_path(cr);
    soft_fill(cr, far, 2);
    ellipse(cr, 36, 80, 22, 17);
    soft_fill(cr, fur, 2.5);
    // muzzle, open jaw with teeth
    bool open = mode == 0 || mode == 1 || mode == 2;
    cairo_move_to(cr, 30, 72);
    cairo_line_to(cr, 6, 82);
    cairo_curve_to(cr, 4, 86, 6, 90, 10, 90);
    cairo_line_to(cr, 34, 88);
    cairo_close_path(cr);
    soft_fill(cr, fur, 2.5);
    if (open) {
        cairo_move_to(cr, 12, 92);
        cairo_line_to(cr, 36, 90);
        cairo_line_to(cr, 34, 98);
        cairo_line_to(cr, 16, 104 + std::fabs(swing) * 3);
        cairo_close_path(cr);
        soft_fill(cr, hex(0x6a1420), 1.5);
        set(cr, hex(0xf4f0e0));
        for (int i = 0; i < 4; ++i) {
            double x = 12 + i * 6;
            cairo_move_to(cr, x, 90);
            cairo_line_to(cr, x + 1.5, 95);
            cairo_line_to(cr, x + 3, 90);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
    }
    ellipse(cr, 6, 83, 4, 3);
    soft_fill(cr, hex(0x111111), 1);
    cairo_move_to(cr, 54, 46);
    cairo_line_to(cr, 28, 68);
    cairo_line_to(cr, 46, 72);
    cairo_close_path(cr);
    soft_fill(cr, fur, 2);
    if (dead) {
        x_eye(cr, 32, 76, 4);
    } else {
        // a heavy brow over a burning eye
        glowing_eye(cr, a, 31, 77, 3.5);
        set(cr, shade(fur, -0.6));
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, 22, 70);
        cairo_line_to(cr, 40, 73);
        cairo_stroke(cr);
    }
}

void draw_dog(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    for (int i = 0; i < 5; ++i) {
        cell_begin(cr, i, 0, 200, 200);
        cairo_translate(cr, 0, -6 - std::fabs(std::cos(i * 2 * M_PI / 5)) * 5);
        figure_dog(cr, a, i * 2 * M_PI / 5, 0);
        cairo_restore(cr);
    }
    cell_begin(cr, 0, 1, 200, 200);
    cairo_translate(cr, 0, 8);
    figure_dog(cr, a, 0, 1);
    cairo_restore(cr);
    cell_begin(cr, 1, 1, 200, 200);
    cairo_translate(cr, 106, 100);
    cairo_rotate(cr, rad(-12));
    cairo_translate(cr, -100, -108);
    figure_dog(cr, a, 0, 2);
    cairo_restore(cr);
    // struck down: thrown back and tilted, kept clear of the cell's edges
    cell_begin(cr, 2, 1, 200, 200);
    cairo_translate(cr, 112, 102);
    cairo_rotate(cr, rad(16));
    cairo_translate(cr, -100, -100);
    figure_dog(cr, a, 0, 3);
    cairo_restore(cr);
    cell_begin(cr, 3, 1, 200, 200);
    flip_about(cr, 100, 122);
    cairo_translate(cr, 0, 22);
    figure_dog(cr, a, 0, 4);
    cairo_restore(cr);
    fade_region(p, 600, 200, 200, 200, 0.7);
    flash_copy(p, 1000, 400, 1000);
}

// ---------------------------------------------------------------- the great crow (200 x 200)

void figure_crow(cairo_t* cr, const Assets& a, double flap, bool diving) {
    Rgb black = a.colour("crow"), beak = a.colour("crow_beak");
    Rgb sheen = mix(black, hex(0x4a5aa0), 0.5);
    auto wing = [&](double shoulder_x, double shoulder_y, double tip_angle, double span, Rgb c) {
        // drawn along +x from the shoulder, then turned; the ragged trailing edge of five
        // primaries always faces the tail
        double ta = rad(tip_angle);
        double side = -std::sin(ta) >= 0 ? 1 : -1;
        cairo_save(cr);
        cairo_translate(cr, shoulder_x, shoulder_y);
        cairo_rotate(cr, ta);
        cairo_scale(cr, 1, side);
        cairo_move_to(cr, 0, -8);
        cairo_curve_to(cr, span * 0.35, -22, span * 0.75, -14, span, 0);
        for (int i = 0; i < 5; ++i) {
            double x = span - (i + 1) * span * 0.14;
            double y = 12 + i * 5;
            cairo_line_to(cr, x + span * 0.07, y - 2);
            cairo_line_to(cr, x, y + 6);
        }
        cairo_line_to(cr, span * 0.2, 30);
        cairo_curve_to(cr, 6, 28, -6, 18, 0, -8);
        cairo_close_path(cr);
        cairo_restore(cr);
        soft_fill(cr, c, 2);
    };
    // A wing reaches at most to a circle inside the 200-pixel cell, whatever its angle and the
    // turn of the frame: one that would cross it is drawn shorter, as if turned away from us.
    auto span_for = [&](double sx, double sy, double tip_angle, double span) {
        const double radius = 86;
        double dx = std::cos(rad(tip_angle)), dy = std::sin(rad(tip_angle));
        double px = sx - 100, py = sy - 100;
        double b = px * dx + py * dy, c = px * px + py * py - radius * radius;
        return std::min(span, -b + std::sqrt(b * b - c));
    };
    if (!diving) {
        double tip = -105 + flap * 150; // -105 wings high, 45 wings low
        wing(114, 80, tip - 22, span_for(114, 80, tip - 22, 104), shade(black, -0.3));
        // tail fan
        cairo_move_to(cr, 134, 92);
        cairo_line_to(cr, 192, 82);
        cairo_line_to(cr, 190, 100);
        cairo_line_to(cr, 186, 112);
        cairo_line_to(cr, 136, 104);
        cairo_close_path(cr);
        soft_fill(cr, black, 2);
        ellipse(cr, 104, 94, 42, 24);
        soft_fill(cr, sheen, 2.5);
        // talons hanging
        for (int i = 0; i < 2; ++i) {
            capsule(cr, 98 + i * 12, 112, 94 + i * 12, 126, 5);
            soft_fill(cr, beak, 1.2);
        }
        cairo_arc(cr, 64, 80, 19, 0, 2 * M_PI);
        soft_fill(cr, sheen, 2.5);
        cairo_move_to(cr, 50, 74);
        cairo_line_to(cr, 20, 84);
        cairo_line_to(cr, 50, 90);
        cairo_close_path(cr);
        soft_fill(cr, beak, 1.8);
        glowing_eye(cr, a, 58, 76, 3.5);
        wing(100, 84, tip, span_for(100, 84, tip, 112), black);
    } else {
        // folded wings, head first: drawn level, the caller tilts it into the dive
        cairo_move_to(cr, 130, 90);
        cairo_line_to(cr, 196, 78);
        cairo_line_to(cr, 192, 98);
        cairo_line_to(cr, 132, 104);
        cairo_close_path(cr);
        soft_fill(cr, black, 2);
        ellipse(cr, 100, 94, 46, 20);
        soft_fill(cr, sheen, 2.5);
        cairo_move_to(cr, 70, 82);
        cairo_curve_to(cr, 110, 66, 150, 70, 180, 84);
        cairo_curve_to(cr, 150, 92, 110, 102, 72, 98);
        cairo_close_path(cr);
        soft_fill(cr, shade(black, -0.1), 2);
        cairo_arc(cr, 62, 90, 17, 0, 2 * M_PI);
        soft_fill(cr, sheen, 2.5);
        cairo_move_to(cr, 48, 84);
        cairo_line_to(cr, 14, 92);
        cairo_line_to(cr, 48, 99);
        cairo_close_path(cr);
        soft_fill(cr, beak, 1.8);
        glowing_eye(cr, a, 56, 86, 3.5);
    }
}

void draw_diver(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    const double flap[5] = {0.0, 0.35, 0.75, 1.0, 0.5};
    for (int i = 0; i < 5; ++i) {
        cell_begin(cr, i, 0, 200, 200);
        figure_crow(cr, a, flap[i], false);
        cairo_restore(cr);
    }
    for (int i = 0; i < 5; ++i) {
        cell_begin(cr, i, 1, 200, 200);
        // speed streaks behind the dive
        set(cr, hex(0xffffff), 0.35);
        cairo_set_line_width(cr, 2);
        for (int k = 0; k < 4; ++k) {
            double off = ((k * 37 + i * 13) % 40) - 20;
            cairo_move_to(cr, 138 + off, 40 + k * 18);
            cairo_line_to(cr, 174 + off, 12 + k * 18);
        }
        cairo_stroke(cr);
        cairo_translate(cr, 100, 92);
        cairo_rotate(cr, rad(-35 + (i % 2) * 4));
        cairo_translate(cr, -100, -92);
        figure_crow(cr, a, 0, true);
        cairo_restore(cr);
    }
    Rng rng(12);
    for (int i = 2; i < 4; ++i) {
        cell_begin(cr, i, 2, 200, 200);
        // loose feathers
        for (int k = 0; k < 7; ++k) {
            double fx = rng.range(20, 180), fy = rng.range(20, 180);
            cairo_save(cr);
            cairo_translate(cr, fx, fy);
            cairo_rotate(cr, rng.range(0, 6.28));
            ellipse(cr, 0, 0, 9, 3);
            soft_fill(cr, a.colour("crow"), 1);
            cairo_restore(cr);
        }
        cairo_translate(cr, 100, 100);
        cairo_rotate(cr, rad(i == 2 ? 150 : 190));
        cairo_translate(cr, -100, -100);
        figure_crow(cr, a, 0.9, false);
        cairo_restore(cr);
    }
    fade_region(p, 600, 400, 200, 200, 0.7);
    flash_copy(p, 1000, 600, 1000);
}

// ---------------------------------------------------------------- the wandering shade (180 x 180)

static void phantom(cairo_t* cr, const Assets& a, bool attacking) {
    Rgb robe = a.colour("phantom");
    glow(cr, 100, 110, 80, shade(robe, 0.4), 0.35);
    // ragged robe from the hood down to a torn hem
    cairo_move_to(cr, 84, 62);
    cairo_curve_to(cr, 66, 90, 62, 140, 64, 176);
    for (int i = 0; i < 6; ++i) {
        double x = 64 + (i + 0.5) * 13;
        cairo_line_to(cr, x, 160 + (i % 2) * 6);
        cairo_line_to(cr, x + 6.5, 178 - (i % 3) * 3);
    }
    cairo_curve_to(cr, 146, 130, 138, 90, 118, 62);
    cairo_close_path(cr);
    soft_fill(cr, robe, 2, 0.92);
    // hood and the dark inside it
    cairo_move_to(cr, 72, 82);
    cairo_curve_to(cr, 70, 50, 100, 36, 122, 52);
    cairo_curve_to(cr, 132, 62, 128, 84, 118, 92);
    cairo_curve_to(cr, 100, 96, 84, 94, 72, 82);
    cairo_close_path(cr);
    soft_fill(cr, shade(robe, 0.1), 2);
    ellipse(cr, 88, 74, 14, 15);
    set(cr, hex(0x0c0a18));
    cairo_fill(cr);
    glowing_eye(cr, a, 82, 72, 2.8);
    glowing_eye(cr, a, 93, 72, 2.4);
    Rgb hand = shade(robe, 0.5);
    if (attacking) {
        // long arms thrown forward, claws spread
        for (int k = 0; k < 2; ++k) {
            double y = 100 + k * 22;
            capsule(cr, 96, y + 4, 44, y - 16, 10);
            soft_fill(cr, robe, 2, 0.95);
            for (int f = 0; f < 3; ++f) {
                cairo_move_to(cr, 46, y - 16);
                cairo_line_to(cr, 22 + f * 3, y - 30 + f * 12);
                set(cr, hand);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
            }
        }
        glow(cr, 40, 100, 26, a.colour("evil_eye"), 0.4);
    } else {
        // an arm hanging, holding a cold lantern
        capsule(cr, 90, 100, 76, 128, 10);
        soft_fill(cr, robe, 2, 0.95);
        set(cr, hex(0x30303a));
        cairo_set_line_width(cr, 1.5);
        cairo_move_to(cr, 76, 130);
        cairo_line_to(cr, 76, 138);
        cairo_stroke(cr);
        glow(cr, 76, 150, 22, a.colour("window_cold"), 0.7);
        rounded_rect(cr, 68, 138, 16, 22, 3);
        soft_fill(cr, shade(a.colour("window_cold"), 0.3), 1.5, 0.9);
    }
}

void draw_phantom(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    cell_begin(cr, 0, 0, 180, 180);
    phantom(cr, a, false);
    cairo_restore(cr);
    cell_begin(cr, 1, 0, 180, 180);
    phantom(cr, a, true);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- the reaper (400 x 400)

// swing 0..1 carries the scythe from raised behind to a low sweep in front; arms_up 0..1
// lifts the empty hands for the spell. swing < 0 holds the scythe upright at rest.
void figure_reaper(cairo_t* cr, const Assets& a, double swing, double arms_up) {
    Rgb robe = a.colour("reaper_robe"), bone = a.colour("reaper_bone");
    Rgb blade = a.colour("reaper_blade");
    Rgb robe_lit = mix(robe, hex(0x5a4a8a), 0.28);
    glow(cr, 295, 140, 100, hex(0x5a2a8a), 0.35);
    // the scythe, behind the body when raised; sized so that raised over the head it stays
    // inside the 400-pixel cell
    auto scythe = [&](double ang) {
        // held at the hands (about 260, 150); ang is the direction of the blade end
        double hx = 262, hy = 150;
        double ex = hx + std::cos(ang) * 112, ey = hy + std::sin(ang) * 112;
        double bx = hx - std::cos(ang) * 80, by = hy - std::sin(ang) * 80;
        capsule(cr, bx, by, ex, ey, 9);
        soft_fill(cr, hex(0x4a3526), 2);
        // the blade curves away from the shaft's end: u along the shaft, n across it
        const double k = 0.78;
        double ux = std::cos(ang) * k, uy = std::sin(ang) * k;
        double nx = std::sin(ang) * k, ny = -std::cos(ang) * k;
        cairo_move_to(cr, ex, ey);
        cairo_curve_to(cr, ex + nx * 60 + ux * 30, ey + ny * 60 + uy * 30, ex + nx * 140 - ux * 10,
                       ey + ny * 140 - uy * 10, ex + nx * 170 - ux * 60, ey + ny * 170 - uy * 60);
        cairo_curve_to(cr, ex + nx * 120 - ux * 10, ey + ny * 120 - uy * 10, ex + nx * 50 - ux * 4,
                       ey + ny * 50 - uy * 4, ex - ux * 8, ey - uy * 8);
        cairo_close_path(cr);
        soft_fill(cr, blade, 2.5);
    };
    double ang = 0;
    bool holding = arms_up <= 0;
    if (holding) {
        // from raised behind the head, over the top, down to a low sweep in front
        ang = swing < 0 ? rad(-95) : rad(-50 - swing * 170);
        if (swing > 0) {
            // the arc the blade cuts
            cairo_new_path(cr);
            cairo_arc_negative(cr, 262, 150, 122, rad(-50), ang);
            set(cr, hex(0xd8e4ff), 0.25 + 0.2 * swing);
            cairo_set_line_width(cr, 26);
            cairo_stroke(cr);
        }
        scythe(ang);
    }
    // robe: wide shoulders narrowing to a torn, smoky tail
    cairo_move_to(cr, 262, 60);
    cairo_curve_to(cr, 236, 100, 236, 200, 250, 260);
    cairo_curve_to(cr, 270, 300, 300, 330, 312, 380);
    cairo_curve_to(cr, 318, 330, 336, 300, 342, 250);
    cairo_curve_to(cr, 352, 180, 344, 90, 322, 58);
    cairo_close_path(cr);
    soft_fill(cr, robe_lit, 2.5, 0.97);
    // hood
    cairo_move_to(cr, 262, 70);
    cairo_curve_to(cr, 252, 30, 280, 4, 310, 12);
    cairo_curve_to(cr, 336, 20, 344, 56, 334, 86);
    cairo_curve_to(cr, 310, 98, 280, 96, 262, 70);
    cairo_close_path(cr);
    soft_fill(cr, robe_lit, 2.5);
    // skull face in the hood's shadow, turned to the left
    ellipse(cr, 286, 58, 22, 27);
    set(cr, hex(0x05040a));
    cairo_fill(cr);
    cairo_move_to(cr, 270, 46);
    cairo_curve_to(cr, 272, 34, 294, 34, 298, 48);
    cairo_curve_to(cr, 300, 60, 294, 70, 290, 80);
    cairo_line_to(cr, 274, 80);
    cairo_curve_to(cr, 268, 72, 266, 58, 270, 46);
    cairo_close_path(cr);
    soft_fill(cr, bone, 1.5);
    for (int k = 0; k < 2; ++k) {
        double ex = 276 + k * 13, ey = 54;
        ellipse(cr, ex, ey, 4.5 - k, 5.5);
        set(cr, hex(0x100810));
        cairo_fill(cr);
        glowing_eye(cr, a, ex, ey + 0.5, 1.8 - k * 0.3);
    }
    cairo_move_to(cr, 279, 63);
    cairo_line_to(cr, 282, 69);
    cairo_line_to(cr, 276, 69);
    cairo_close_path(cr);
    set(cr, hex(0x100810));
    cairo_fill(cr);
    set(cr, shade(bone, -0.6));
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 5; ++i) {
        cairo_move_to(cr, 275 + i * 3, 73);
        cairo_line_to(cr, 275 + i * 3, 79);
    }
    cairo_stroke(cr);
    // arms: bony hands on the shaft, or raised for the spell
    if (holding) {
        capsule(cr, 300, 100, 266, 148, 20);
        soft_fill(cr, robe, 2.5);
        cairo_arc(cr, 262, 150, 9, 0, 2 * M_PI);
        soft_fill(cr, bone, 1.5);
        capsule(cr, 318, 110, 290, 170, 18);
        soft_fill(cr, shade(robe, -0.2), 2.5);
        cairo_arc(cr, 262 - std::cos(ang) * 30, 150 - std::sin(ang) * 30, 8, 0, 2 * M_PI);
        soft_fill(cr, bone, 1.5);
    } else {
        double lift = arms_up;
        for (int k = 0; k < 2; ++k) {
            double hx = 240 - k * 10 - lift * 20, hy = 110 - lift * 70 + k * 20;
            capsule(cr, 300 + k * 12, 100, hx, hy, 18);
            soft_fill(cr, k ? shade(robe, -0.2) : robe, 2.5);
            cairo_arc(cr, hx, hy, 8, 0, 2 * M_PI);
            soft_fill(cr, bone, 1.5);
        }
        // the dark orb gathering between the hands
        double oy = 100 - lift * 36;
        glow(cr, 200, oy, 40 + lift * 20, hex(0xb060ff), 0.8);
        cairo_arc(cr, 200, oy, 10 + lift * 14, 0, 2 * M_PI);
        set(cr, hex(0x1a0828));
        cairo_fill_preserve(cr);
        set(cr, hex(0xf0d8ff));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

void draw_reaper(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    for (int i = 0; i < 5; ++i) {
        cell_begin(cr, i, 0, 400, 400);
        figure_reaper(cr, a, i / 4.0, 0);
        cairo_restore(cr);
    }
    cell_begin(cr, 0, 1, 400, 400);
    figure_reaper(cr, a, 0, 0.35);
    cairo_restore(cr);
    cell_begin(cr, 1, 1, 400, 400);
    figure_reaper(cr, a, 0, 1.0);
    cairo_restore(cr);
    // dying: light breaking out of the robe, then only wisps
    for (int i = 2; i < 4; ++i) {
        cell_begin(cr, i, 1, 400, 400);
        figure_reaper(cr, a, -1, 0);
        const double cx = 295, cy = 130, margin = 8;
        for (int k = 0; k < 7; ++k) {
            double t = rad(-90 + k * 51);
            // each ray fades out before it would reach the cell's edge
            double len = 260;
            for (double w : {t - 0.06, t, t + 0.06}) {
                double dx = std::cos(w), dy = std::sin(w);
                if (dx > 0) {
                    len = std::min(len, (400 - margin - cx) / dx);
                } else if (dx < 0) {
                    len = std::min(len, (cx - margin) / -dx);
                }
                if (dy > 0) {
                    len = std::min(len, (400 - margin - cy) / dy);
                } else if (dy < 0) {
                    len = std::min(len, (cy - margin) / -dy);
                }
            }
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + std::cos(t - 0.06) * len, cy + std::sin(t - 0.06) * len);
            cairo_line_to(cr, cx + std::cos(t + 0.06) * len, cy + std::sin(t + 0.06) * len);
            cairo_close_path(cr);
            double alpha = i == 2 ? 0.55 : 0.8;
            cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, len);
            cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.96, 0.82, alpha);
            cairo_pattern_add_color_stop_rgba(g, 0.6, 1, 0.96, 0.82, alpha * 0.8);
            cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.96, 0.82, 0);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        }
        glow(cr, cx, cy, 100, hex(0xffffff), i == 2 ? 0.5 : 0.9);
        cairo_restore(cr);
    }
    fade_region(p, 1200, 400, 400, 400, 0.55);
    cell_begin(cr, 4, 1, 400, 400);
    figure_reaper(cr, a, -1, 0);
    cairo_restore(cr);
    flash_copy(p, 2000, 800, 2000);
}

} // namespace pics
