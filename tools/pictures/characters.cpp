// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The heroine, her spirit, the five objects she possesses, hearts, sparkles and shots.
// Everything faces left except the ball and the book, which the game mirrors the other way.
#include "pictures.h"

#include <cmath>

namespace pics {

static double rad(double deg) {
    return deg * M_PI / 180.0;
}

// ---------------------------------------------------------------- the heroine

static void girl_leg(cairo_t* cr, const Assets& a, double hip_x, double ankle_x, double lift,
                     bool far, const GirlPose& pose) {
    Rgb skin = a.colour("skin"), sock = a.colour("sock"), shoe = a.colour("shoe");
    if (far) {
        skin = shade(skin, -0.18);
        sock = shade(sock, -0.18);
        shoe = shade(shoe, -0.2);
    }
    double ay = -7 - lift;
    if (pose.ghost) {
        return;
    }
    capsule(cr, hip_x, -46, ankle_x, ay, 10);
    soft_fill(cr, skin, 1.5);
    // socks reach halfway up the shin
    capsule(cr, hip_x + (ankle_x - hip_x) * 0.62, -46 + (ay + 46) * 0.62, ankle_x, ay, 10.5);
    soft_fill(cr, sock, 1.5);
    ellipse(cr, ankle_x - 4, ay + 2, 9, 5);
    soft_fill(cr, shoe, 1.5);
}

static void girl_arm(cairo_t* cr, const Assets& a, double swing, bool far, bool ghost) {
    Rgb sleeve = ghost ? a.colour("ghost") : a.colour("blouse");
    Rgb skin = ghost ? a.colour("ghost") : a.colour("skin");
    if (far) {
        sleeve = shade(sleeve, -0.18);
        skin = shade(skin, -0.18);
    }
    double sx = 2, sy = -96;
    double ang = rad(90 + swing * 28); // 90 = hanging straight down
    double ex = sx + std::cos(ang) * 17, ey = sy + std::sin(ang) * 17;
    double ang2 = ang + rad(ghost ? 35 : 10);
    double hx = ex + std::cos(ang2) * 17, hy = ey + std::sin(ang2) * 17;
    capsule(cr, ex, ey, hx, hy, 8);
    soft_fill(cr, skin, 1.5);
    capsule(cr, sx, sy, ex, ey, 11);
    soft_fill(cr, sleeve, 1.5);
    cairo_arc(cr, hx, hy, 4.5, 0, 2 * M_PI);
    soft_fill(cr, skin, 1.5);
}

void figure_girl(cairo_t* cr, const Assets& a, const GirlPose& pose) {
    bool g = pose.ghost;
    Rgb hair = g ? a.colour("ghost_hair") : a.colour("hair");
    Rgb skin = g ? shade(a.colour("ghost"), -0.02) : a.colour("skin");
    Rgb blouse = g ? a.colour("ghost") : a.colour("blouse");
    Rgb collar = g ? mix(a.colour("ghost"), a.colour("collar"), 0.35) : a.colour("collar");
    Rgb skirt = g ? mix(a.colour("ghost"), a.colour("skirt"), 0.3) : a.colour("skirt");
    Rgb ribbon = g ? mix(a.colour("ghost"), a.colour("ribbon"), 0.45) : a.colour("ribbon");
    double s = pose.stride;

    // long back hair first, behind everything
    cairo_move_to(cr, 4, -150);
    cairo_curve_to(cr, 34, -150, 34, -110, 26, g ? -70 : -88);
    cairo_curve_to(cr, 18, g ? -74 : -92, 10, -100, 6, -104);
    cairo_close_path(cr);
    soft_fill(cr, shade(hair, -0.15), 1.8);

    girl_arm(cr, a, g ? -0.6 : -pose.arm, true, g);
    if (!g) {
        double lift_far = std::max(0.0, s) * 6;
        double lift_near = std::max(0.0, -s) * 6;
        girl_leg(cr, a, 4, 16 * s, lift_far, true, pose);
        girl_leg(cr, a, -3, -16 * s, lift_near, false, pose);
    } else {
        // a spirit has no feet: the skirt trails into a wisp that curls backwards
        cairo_move_to(cr, -16, -50);
        cairo_curve_to(cr, -20, -20, 0, 0, 30, -4);
        cairo_curve_to(cr, 14, -14, 18, -30, 16, -50);
        cairo_close_path(cr);
        soft_fill(cr, blouse, 1.5, 0.9);
    }
    // skirt, with pleat lines
    cairo_move_to(cr, -13, -66);
    cairo_line_to(cr, 14, -66);
    cairo_line_to(cr, 22 + s * 2, -38);
    cairo_curve_to(cr, 8, -34, -6, -34, -22 + s * 2, -38);
    cairo_close_path(cr);
    soft_fill(cr, skirt, 2);
    set(cr, shade(skirt, -0.45));
    cairo_set_line_width(cr, 1);
    for (int i = -2; i <= 2; ++i) {
        cairo_move_to(cr, i * 4.5, -64);
        cairo_line_to(cr, i * 8 + s * 2, -37);
    }
    cairo_stroke(cr);
    // blouse
    cairo_move_to(cr, -11, -102);
    cairo_curve_to(cr, -16, -90, -16, -74, -14, -62);
    cairo_line_to(cr, 15, -62);
    cairo_curve_to(cr, 17, -76, 16, -92, 12, -102);
    cairo_close_path(cr);
    soft_fill(cr, blouse, 2);
    // sailor collar and ribbon at the front
    cairo_move_to(cr, -10, -102);
    cairo_line_to(cr, 13, -102);
    cairo_line_to(cr, 16, -88);
    cairo_line_to(cr, 4, -90);
    cairo_close_path(cr);
    soft_fill(cr, collar, 1.5);
    cairo_move_to(cr, -14, -92);
    cairo_line_to(cr, -22, -82);
    cairo_line_to(cr, -12, -84);
    cairo_line_to(cr, -8, -76);
    cairo_close_path(cr);
    soft_fill(cr, ribbon, 1.2);
    // neck and head
    capsule(cr, -1, -110, -1, -100, 9);
    soft_fill(cr, skin, 1.2);
    cairo_arc(cr, -3, -127, 21, 0, 2 * M_PI);
    soft_fill(cr, skin, 2);
    // hair: a rounded cap with bangs over the forehead, cut short at the front
    cairo_move_to(cr, -25, -126);
    cairo_curve_to(cr, -28, -150, -4, -160, 12, -150);
    cairo_curve_to(cr, 26, -142, 26, -118, 20, -104);
    cairo_curve_to(cr, 14, -112, 10, -120, 8, -126);
    cairo_curve_to(cr, 0, -132, -8, -128, -12, -134);
    cairo_curve_to(cr, -14, -128, -20, -124, -25, -126);
    cairo_close_path(cr);
    soft_fill(cr, hair, 2);
    // a small clip in her hair
    star(cr, 6, -143, 4, 2, 5, 0.2);
    soft_fill(cr, g ? a.colour("ghost_glow") : a.colour("ribbon"), 0.8);
    // face, looking left
    set(cr, g ? shade(a.colour("ghost_hair"), -0.55) : hex(0x2a1c1c));
    if (pose.eyes_closed) {
        cairo_set_line_width(cr, 1.6);
        cairo_arc(cr, -13, -124, 3.5, rad(20), rad(160));
        cairo_stroke(cr);
    } else {
        ellipse(cr, -13, -123, 2.4, 3.6);
        cairo_fill(cr);
        set(cr, hex(0xffffff));
        cairo_arc(cr, -13.6, -124.5, 0.9, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    set(cr, hex(0xf08c8c), 0.55);
    ellipse(cr, -12, -114, 4, 2.2);
    cairo_fill(cr);
    set(cr, hex(0x8a4a48));
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, -21, -112);
    cairo_line_to(cr, -18, -111.5);
    cairo_stroke(cr);
    girl_arm(cr, a, g ? -0.9 : pose.arm, false, g);
}

void draw_player(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // row 0: walking in her body. Frames: passing, two stride phases each way.
    const double strides[5] = {0, 0.5, 1.0, -0.5, -1.0};
    for (int i = 0; i < 5; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i * 180 + 92, 178);
        GirlPose pose;
        pose.stride = strides[i];
        pose.arm = -strides[i] * 0.9;
        figure_girl(cr, a, pose);
        cairo_restore(cr);
    }
    // row 1, first cell: the spirit, floating, with a cold glow and a fading tail
    cairo_save(cr);
    cairo_rectangle(cr, 0, 180, 180, 180);
    cairo_clip(cr);
    glow(cr, 90, 270, 88, a.colour("ghost_glow"), 0.35);
    cairo_push_group(cr);
    cairo_translate(cr, 90, 180 + 172);
    cairo_scale(cr, 1.05, 1.05);
    GirlPose ghost;
    ghost.ghost = true;
    figure_girl(cr, a, ghost);
    cairo_pattern_t* body = cairo_pop_group(cr);
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, 180, 0, 360);
    cairo_pattern_add_color_stop_rgba(fade, 0.0, 0, 0, 0, 0.95);
    cairo_pattern_add_color_stop_rgba(fade, 0.62, 0, 0, 0, 0.85);
    cairo_pattern_add_color_stop_rgba(fade, 0.98, 0, 0, 0, 0.0);
    cairo_set_source(cr, body);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
    cairo_pattern_destroy(body);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- the bear

void figure_bear(cairo_t* cr, const Assets& a, double stride, double punch, bool sitting) {
    Rgb fur = a.colour("bear"), light = a.colour("bear_light"), nose = a.colour("bear_nose");
    Rgb far = shade(fur, -0.2);
    if (sitting) {
        // a stuffed toy left on the ground: legs out in front, head tipped
        ellipse(cr, 14, -12, 13, 10);
        soft_fill(cr, far, 2);
        ellipse(cr, -20, -10, 15, 10);
        soft_fill(cr, fur, 2);
        ellipse(cr, -30, -10, 5, 7);
        soft_fill(cr, light, 1.2);
        ellipse(cr, 0, -36, 24, 26);
        soft_fill(cr, fur, 2);
        ellipse(cr, -4, -32, 14, 15);
        soft_fill(cr, light, 1.2);
        cairo_save(cr);
        cairo_translate(cr, -4, -74);
        cairo_rotate(cr, rad(-12));
        cairo_translate(cr, 4, 74);
    } else {
        double s = stride;
        // far leg, body, near leg
        ellipse(cr, 8 + 9 * s, -11 - std::max(0.0, s) * 4, 10, 12);
        soft_fill(cr, far, 2);
        capsule(cr, 10, -58, 18 + punch * 6, -36 + punch * 4, 13);
        soft_fill(cr, far, 2);
        ellipse(cr, 0, -38, 23, 27);
        soft_fill(cr, fur, 2);
        ellipse(cr, -5, -34, 13, 16);
        soft_fill(cr, light, 1.2);
        ellipse(cr, -6 - 9 * s, -11 - std::max(0.0, -s) * 4, 10, 12);
        soft_fill(cr, fur, 2);
        ellipse(cr, -12 - 9 * s, -8 - std::max(0.0, -s) * 4, 5, 6);
        soft_fill(cr, light, 1.2);
        cairo_save(cr);
    }
    // head
    cairo_arc(cr, 12, -96, 8.5, 0, 2 * M_PI);
    soft_fill(cr, far, 2);
    cairo_arc(cr, 0, -78, 23, 0, 2 * M_PI);
    soft_fill(cr, fur, 2);
    cairo_arc(cr, -11, -99, 8.5, 0, 2 * M_PI);
    soft_fill(cr, fur, 2);
    cairo_arc(cr, -11, -99, 4.5, 0, 2 * M_PI);
    soft_fill(cr, light, 0);
    ellipse(cr, -17, -72, 10, 8);
    soft_fill(cr, light, 1.5);
    ellipse(cr, -25, -76, 4.5, 3.5);
    soft_fill(cr, nose, 1);
    set(cr, nose);
    cairo_arc(cr, -11, -85, 3, 0, 2 * M_PI);
    cairo_fill(cr);
    set(cr, hex(0xffffff));
    cairo_arc(cr, -12, -86, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    set(cr, nose);
    cairo_set_line_width(cr, 1.3);
    cairo_move_to(cr, -24, -73);
    cairo_curve_to(cr, -22, -68, -17, -68, -16, -71);
    cairo_stroke(cr);
    // a stitch down the side of the head, the mark of a much-loved toy
    set(cr, shade(fur, -0.5));
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 4; ++i) {
        cairo_move_to(cr, 10 + i * 1.5, -92 + i * 6);
        cairo_line_to(cr, 16 + i * 1.5, -90 + i * 6);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    if (!sitting) {
        // near arm: from the shoulder forward, reaching to local x -40 on a full punch
        double hx = -14 - punch * 28, hy = -46 - punch * 10;
        capsule(cr, -6, -56, hx, hy, 13);
        soft_fill(cr, fur, 2);
        cairo_arc(cr, hx, hy, 7.5 + punch * 1.5, 0, 2 * M_PI);
        soft_fill(cr, light, 1.5);
    } else {
        capsule(cr, -8, -52, -22, -30, 12);
        soft_fill(cr, fur, 2);
    }
}

static void bear_cell(cairo_t* cr, int col, int row) {
    cairo_save(cr);
    cairo_rectangle(cr, col * 120, row * 120, 120, 120);
    cairo_clip(cr);
    cairo_translate(cr, col * 120 + 62, row * 120 + 119);
}

void draw_bear(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    const double strides[5] = {0, 0.5, 1.0, -0.5, -1.0};
    for (int i = 0; i < 5; ++i) {
        bear_cell(cr, i, 0);
        cairo_translate(cr, 0, -std::fabs(strides[i]) * 2);
        figure_bear(cr, a, strides[i], 0, false);
        cairo_restore(cr);
    }
    // attack: wind up, blow, held blow, pull back (the blow lands from the second frame)
    const double punch[4] = {-0.4, 0.85, 1.0, 0.45};
    for (int i = 0; i < 4; ++i) {
        bear_cell(cr, i, 1);
        if (i == 1 || i == 2) {
            star(cr, -42, -56, 12, 5, 6, 0.3 * i);
            set(cr, hex(0xfff2a8), 0.9);
            cairo_fill(cr);
        }
        figure_bear(cr, a, 0.3, punch[i], false);
        cairo_restore(cr);
    }
    // special: the same blow wrapped in a golden burst
    for (int i = 0; i < 4; ++i) {
        bear_cell(cr, i, 2);
        double power = i == 0 ? 0.4 : 1.0;
        // the burst grows around the fist but stays inside the cell, which it would cut
        glow(cr, -24, -56, 22 + 4 * i, hex(0xffd34a), 0.7 * power);
        for (int k = 0; k < 3; ++k) {
            star(cr, -36 + k * 14 - i * 3, -84 + ((k + i) % 3) * 34, 6, 2.5, 4, 0.4 * k);
            set(cr, hex(0xfff6c8), 0.9);
            cairo_fill(cr);
        }
        figure_bear(cr, a, 0.6 - 0.3 * i, i == 0 ? -0.5 : 1.0, false);
        cairo_restore(cr);
    }
    // airborne: leaving the ground, then falling with arms out
    bear_cell(cr, 0, 3);
    cairo_translate(cr, 0, -6);
    figure_bear(cr, a, 0.8, -0.8, false);
    cairo_restore(cr);
    bear_cell(cr, 1, 3);
    cairo_translate(cr, 0, -4);
    figure_bear(cr, a, -0.6, 0.6, false);
    cairo_restore(cr);
    // the bear lying in the stage, waiting for someone to step inside it
    bear_cell(cr, 4, 3);
    figure_bear(cr, a, 0, 0, true);
    cairo_restore(cr);
    highlight_copy(p, 600, 480, 600, 120, 120);
}

// ---------------------------------------------------------------- the ball

void figure_ball(cairo_t* cr, const Assets& a, double angle) {
    const double r = 26;
    cairo_save(cr);
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    set(cr, a.colour("ball_white"));
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    cairo_rotate(cr, angle);
    // the classic patches: one pentagon in the middle, five cut by the rim
    set(cr, a.colour("ball_black"));
    auto pentagon = [&](double cx, double cy, double pr, double rot) {
        cairo_new_sub_path(cr);
        for (int i = 0; i < 5; ++i) {
            double t = rot + 2 * M_PI * i / 5 - M_PI / 2;
            cairo_line_to(cr, cx + pr * std::cos(t), cy + pr * std::sin(t));
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    };
    pentagon(0, 0, 9, 0);
    for (int i = 0; i < 5; ++i) {
        double t = 2 * M_PI * i / 5 + M_PI / 2;
        pentagon(26 * std::cos(t), 26 * std::sin(t), 9, M_PI / 5 + 2 * M_PI * i / 5);
    }
    cairo_set_line_width(cr, 1.3);
    for (int i = 0; i < 5; ++i) {
        double t = 2 * M_PI * i / 5 - M_PI / 2;
        cairo_move_to(cr, 9 * std::cos(t), 9 * std::sin(t));
        cairo_line_to(cr, 18 * std::cos(t), 18 * std::sin(t));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    // light from the upper left, shadow on the lower right
    cairo_pattern_t* g = cairo_pattern_create_radial(-9, -10, 2, 0, 0, r);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.1, 0.1, 0.2, 0.45);
    cairo_set_source(cr, g);
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    set(cr, hex(0x1c1c24));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void draw_ball(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // this sheet faces right: it rolls clockwise. A little under the cell's size, so that the
    // highlight's rim still fits around it.
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i * 60 + 30, 32);
        cairo_scale(cr, 0.92, 0.92);
        figure_ball(cr, a, rad(18 * i));
        cairo_restore(cr);
    }
    // special: a dash wrapped in flame, trailing to the left
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * 60, 60, 60, 60);
        cairo_clip(cr);
        cairo_translate(cr, i * 60 + 32, 90);
        for (int k = 0; k < 3; ++k) {
            double y = -12 + k * 12 + ((i + k) % 2) * 3;
            capsule(cr, -20, y * 0.9, -8, y * 0.6, 7 - k);
            set(cr, mix(hex(0xffd040), hex(0xff5a20), k / 2.0), 0.85);
            cairo_fill(cr);
        }
        glow(cr, 0, 0, 24, hex(0xff9a30), 0.55);
        cairo_scale(cr, 0.85, 0.85);
        figure_ball(cr, a, rad(36 * i + 9));
        cairo_restore(cr);
    }
    highlight_copy(p, 240, 120, 240, 60, 60);
}

// ---------------------------------------------------------------- the pogo stick

void figure_pogo(cairo_t* cr, const Assets& a, double squash) {
    // origin at the rubber tip; the spring gives way by up to 14 pixels
    Rgb metal = a.colour("pogo_metal"), grip = a.colour("pogo_grip");
    Rgb spring = a.colour("pogo_spring");
    double down = squash * 14;
    cairo_save(cr);
    cairo_rotate(cr, rad(-3)); // leaning a little forward, to the left
    rounded_rect(cr, -3.5, -16, 7, 16, 3);
    soft_fill(cr, hex(0x303038), 1.2);
    rounded_rect(cr, -2.5, -40, 5, 26, 2);
    soft_fill(cr, metal, 1.2);
    // the spring between the lower rod and the body
    double top = -62 + down, bottom = -36;
    set(cr, shade(spring, -0.5));
    cairo_set_line_width(cr, 4);
    int coils = 6;
    cairo_move_to(cr, -7, bottom);
    for (int i = 1; i <= coils; ++i) {
        double y = bottom + (top - bottom) * i / coils;
        cairo_line_to(cr, (i % 2) ? 7 : -7, y);
    }
    cairo_stroke_preserve(cr);
    set(cr, spring);
    cairo_set_line_width(cr, 2.4);
    cairo_stroke(cr);
    // body tube, foot pegs, handle bar
    rounded_rect(cr, -5, -108 + down, 10, 48, 4);
    soft_fill(cr, metal, 1.6);
    rounded_rect(cr, -15, -66 + down, 30, 6, 3);
    soft_fill(cr, shade(metal, -0.25), 1.4);
    rounded_rect(cr, -15, -114 + down, 30, 7, 3.5);
    soft_fill(cr, metal, 1.4);
    rounded_rect(cr, -19, -115 + down, 9, 9, 4);
    soft_fill(cr, grip, 1.4);
    rounded_rect(cr, 10, -115 + down, 9, 9, 4);
    soft_fill(cr, grip, 1.4);
    star(cr, 0, -88 + down, 5, 2.2, 5, 0);
    soft_fill(cr, spring, 0.8);
    cairo_restore(cr);
}

void draw_hopping(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // frames: from stretched to fully pressed down
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i * 60 + 30, 119);
        cairo_scale(cr, 0.96, 0.96); // room above the handle for the highlight's rim
        figure_pogo(cr, a, i / 3.0);
        cairo_restore(cr);
    }
    highlight_copy(p, 240, 120, 240, 60, 120);
}

// ---------------------------------------------------------------- the book

void figure_book(cairo_t* cr, const Assets& a, double open, bool flying) {
    Rgb cover = a.colour("book_cover"), page = a.colour("book_page"), gold = a.colour("book_gold");
    if (!flying && open <= 0.01) {
        // closed, seen from the front, spine on the left
        rounded_rect(cr, -15, -42, 32, 40, 3);
        soft_fill(cr, page, 1.5);
        rounded_rect(cr, -17, -44, 30, 42, 3);
        soft_fill(cr, cover, 2);
        rounded_rect(cr, -17, -44, 7, 42, 2);
        soft_fill(cr, shade(cover, -0.25), 1.5);
        rounded_rect(cr, -6, -34, 14, 10, 2);
        soft_fill(cr, gold, 1);
        star(cr, 1, -15, 5, 2.2, 5, 0);
        soft_fill(cr, gold, 0.8);
        return;
    }
    // open: two covers hinged at the spine; the open side points right, where the sheet faces
    double spread = flying ? open : open * 0.9;
    double base = flying ? -90 : 0; // flying: covers spread up and down like wings
    double a1 = rad(base - 60 * spread), a2 = rad(base + 60 * spread);
    double len = 30;
    double sx = flying ? -10 : -14, sy = flying ? -26 : -22;
    auto leaf = [&](double ang, Rgb c, double width, double outline) {
        double ex = sx + std::cos(ang) * len, ey = sy + std::sin(ang) * len;
        double nx = -std::sin(ang) * width / 2, ny = std::cos(ang) * width / 2;
        cairo_move_to(cr, sx - nx, sy - ny);
        cairo_line_to(cr, ex - nx, ey - ny);
        cairo_line_to(cr, ex + nx, ey + ny);
        cairo_line_to(cr, sx + nx, sy + ny);
        cairo_close_path(cr);
        soft_fill(cr, c, outline);
    };
    if (flying) {
        a1 = rad(-20 - 55 * spread);
        a2 = rad(20 + 55 * spread);
        sx = -12;
        sy = -28;
    }
    leaf(a2, shade(cover, -0.15), 9, 2);
    // pages fanning between the covers
    int pages = 5;
    for (int i = 0; i < pages; ++i) {
        double t = a2 + (a1 - a2) * (i + 0.5) / pages;
        double ex = sx + std::cos(t) * (len - 3), ey = sy + std::sin(t) * (len - 3);
        cairo_move_to(cr, sx, sy);
        cairo_curve_to(cr, sx + (ex - sx) * 0.5, sy + (ey - sy) * 0.5 - 3, ex, ey, ex, ey);
        set(cr, shade(page, -0.25));
        cairo_set_line_width(cr, 4);
        cairo_stroke_preserve(cr);
        set(cr, page);
        cairo_set_line_width(cr, 2.6);
        cairo_stroke(cr);
    }
    leaf(a1, cover, 9, 2);
    cairo_arc(cr, sx, sy, 4.5, 0, 2 * M_PI);
    soft_fill(cr, shade(cover, -0.3), 1.5);
}

void draw_book(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // row 0: from closed to snapping wide open (the attack uses the open frames)
    const double open[4] = {0, 0.35, 0.7, 1.0};
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * 60, 0, 60, 60);
        cairo_clip(cr);
        cairo_translate(cr, i * 60 + 30, 56);
        if (i == 3) {
            glow(cr, 12, -22, 13, a.colour("sparkle_book"), 0.6);
        }
        figure_book(cr, a, open[i], false);
        cairo_restore(cr);
    }
    // row 1: flying, the covers beating like wings
    const double flap[4] = {1.0, 0.55, 0.1, 0.55};
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * 60, 60, 60, 60);
        cairo_clip(cr);
        cairo_translate(cr, i * 60 + 30, 120 - 4);
        cairo_scale(cr, 0.85, 0.85);
        figure_book(cr, a, flap[i], true);
        cairo_restore(cr);
    }
    highlight_copy(p, 240, 120, 240, 60, 60);
}

// ---------------------------------------------------------------- the gun

void figure_gun(cairo_t* cr, const Assets& a, double tilt, bool firing) {
    // origin at the middle of the cell; the muzzle points left
    Rgb body = a.colour("gun_body"), trim = a.colour("gun_trim");
    cairo_save(cr);
    cairo_rotate(cr, rad(tilt));
    if (firing) {
        star(cr, -28, -4, 5, 2, 7, 0.2);
        set(cr, hex(0xfff4a0));
        cairo_fill(cr);
        glow(cr, -28, -4, 4.5, hex(0xffc040), 0.8);
    }
    // grip, slanting back
    cairo_move_to(cr, 8, 0);
    cairo_line_to(cr, 20, 0);
    cairo_line_to(cr, 26, 19);
    cairo_line_to(cr, 15, 21);
    cairo_close_path(cr);
    soft_fill(cr, shade(body, -0.35), 1.6);
    // trigger guard
    cairo_arc(cr, 4, 3, 5, 0, M_PI);
    set(cr, shade(body, -0.5));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // barrel and body
    rounded_rect(cr, -24, -8, 30, 8, 3);
    soft_fill(cr, shade(body, -0.15), 1.6);
    rounded_rect(cr, -14, -11, 38, 13, 4);
    soft_fill(cr, body, 1.8);
    rounded_rect(cr, -26, -9, 5, 10, 2);
    soft_fill(cr, trim, 1.4);
    cairo_arc(cr, 14, -5, 3, 0, 2 * M_PI);
    soft_fill(cr, trim, 1);
    cairo_restore(cr);
}

void draw_gun(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // Drawn a little small: tipped up or flashing, the gun and the highlight's rim around it
    // must still fit in the cell.
    const double scale = 0.86;
    // row 0: still, then tipping up as it takes off
    const double tilt[3] = {0, 10, 20};
    for (int i = 0; i < 3; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i * 60 + 30, 31);
        cairo_scale(cr, scale, scale);
        figure_gun(cr, a, tilt[i], false);
        cairo_restore(cr);
    }
    // row 1: the shot, then the kick
    cairo_save(cr);
    cairo_translate(cr, 33, 91);
    cairo_scale(cr, scale, scale);
    figure_gun(cr, a, 0, true);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 60 + 32, 91);
    cairo_scale(cr, scale, scale);
    figure_gun(cr, a, 14, false);
    glow(cr, -22, -12, 8, hex(0xd0d0d0), 0.6);
    cairo_restore(cr);
    highlight_copy(p, 180, 120, 180, 60, 60);
}

// ---------------------------------------------------------------- pickups and effects

void figure_heart(cairo_t* cr, Rgb c, double cx, double cy, double size) {
    double s = size / 2;
    cairo_move_to(cr, cx, cy + s * 0.95);
    cairo_curve_to(cr, cx - s * 1.25, cy + s * 0.1, cx - s * 1.05, cy - s * 1.0, cx, cy - s * 0.45);
    cairo_curve_to(cr, cx + s * 1.05, cy - s * 1.0, cx + s * 1.25, cy + s * 0.1, cx, cy + s * 0.95);
    cairo_close_path(cr);
    soft_fill(cr, c, 2.2);
    // a gloss on the upper left lobe
    ellipse(cr, cx - s * 0.48, cy - s * 0.42, s * 0.22, s * 0.14);
    set(cr, hex(0xffffff), 0.7);
    cairo_fill(cr);
}

void draw_hearts(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rgb colours[2] = {a.colour("heart_red"), a.colour("heart_blue")};
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            double cx = col * 60 + 30, cy = row * 60 + 31;
            if (col == 1) {
                glow(cr, cx, cy, 28, shade(colours[row], 0.5), 0.45);
            }
            figure_heart(cr, col ? shade(colours[row], 0.2) : colours[row], cx, cy, 42);
            if (col == 1) {
                star(cr, cx + 10, cy - 10, 10, 2.2, 4, 0);
                set(cr, hex(0xffffff), 0.95);
                cairo_fill(cr);
            }
        }
    }
}

void draw_item_frames(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    for (int k = 0; k < 5; ++k) {
        double x = k * 50;
        cairo_save(cr);
        cairo_rectangle(cr, x, 0, 50, 50);
        cairo_clip(cr);
        vertical_gradient(cr, x, 0, 50, 50, hex(0x2c3360), hex(0x12152c));
        rounded_rect(cr, x + 2, 2, 46, 46, 6);
        set(cr, hex(0xe8c15a));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        cairo_translate(cr, x + 25, 25);
        switch (k) {
        case 0:
            cairo_translate(cr, 0, 22);
            cairo_scale(cr, 0.37, 0.37);
            figure_bear(cr, a, 0, 0, false);
            break;
        case 1:
            cairo_scale(cr, 0.72, 0.72);
            figure_ball(cr, a, 0);
            break;
        case 2:
            cairo_translate(cr, 0, 21);
            cairo_scale(cr, 0.36, 0.36);
            figure_pogo(cr, a, 0);
            break;
        case 3:
            cairo_translate(cr, 0, 18);
            cairo_scale(cr, 0.85, 0.85);
            figure_book(cr, a, 0, false);
            break;
        default:
            cairo_translate(cr, 0, -2);
            cairo_scale(cr, 0.72, 0.72);
            figure_gun(cr, a, 0, false);
            break;
        }
        cairo_restore(cr);
    }
}

void draw_sparkles(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    const char* names[3] = {"sparkle_red", "sparkle_blue", "sparkle_book"};
    for (int i = 0; i < 3; ++i) {
        double cx = i * 20 + 10, cy = 10;
        Rgb c = a.colour(names[i]);
        glow(cr, cx, cy, 9.5, c, 0.8);
        star(cr, cx, cy, 9, 1.6, 4, 0);
        set(cr, shade(c, 0.55));
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, 2, 0, 2 * M_PI);
        set(cr, hex(0xffffff));
        cairo_fill(cr);
    }
}

static void orb(cairo_t* cr, double cx, double cy, double r, Rgb core, Rgb rim) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(g, 0.35, core.r, core.g, core.b, 1);
    cairo_pattern_add_color_stop_rgba(g, 0.8, rim.r, rim.g, rim.b, 0.95);
    cairo_pattern_add_color_stop_rgba(g, 1, rim.r, rim.g, rim.b, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void draw_shots(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    orb(cr, 5, 5, 5, hex(0xfff070), hex(0xff9a20));        // the gun's shot
    orb(cr, 17.5, 7.5, 7.5, hex(0x9ff4ff), hex(0x2a8cff)); // the gun's special
    orb(cr, 32.5, 7.5, 7.5, hex(0xd890ff), hex(0x6a1a9a)); // the spider's spit
    // the large aimed orb: a white heart that turns the screen inside out, a black body that
    // darkens it, and a soft edge
    cairo_pattern_t* g = cairo_pattern_create_radial(100, 60, 0, 100, 60, 58);
    cairo_pattern_add_color_stop_rgba(g, 0.0, 1, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(g, 0.3, 0.95, 0.95, 0.95, 1);
    cairo_pattern_add_color_stop_rgba(g, 0.45, 0.35, 0.35, 0.4, 1);
    cairo_pattern_add_color_stop_rgba(g, 0.75, 0.02, 0.02, 0.04, 1);
    cairo_pattern_add_color_stop_rgba(g, 1.0, 0, 0, 0, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 100, 60, 58, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // a ring of little lights around the core
    for (int i = 0; i < 8; ++i) {
        double t = 2 * M_PI * i / 8;
        cairo_arc(cr, 100 + 27 * std::cos(t), 60 + 27 * std::sin(t), 2.5, 0, 2 * M_PI);
        set(cr, hex(0xffffff), 0.9);
        cairo_fill(cr);
    }
}

// ---------------------------------------------------------------- the program's icon

// The spirit on a night-blue tile: the window icon and the desktop entry's picture.
void draw_icon(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    rounded_rect(cr, 0, 0, 256, 256, 40);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 256);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.10, 0.12, 0.30);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.03, 0.04, 0.12);
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sky);
    cairo_clip(cr);
    glow(cr, 128, 120, 120, a.colour("ghost_glow"), 0.45);
    cairo_save(cr);
    cairo_translate(cr, 128, 236);
    cairo_scale(cr, 1.45, 1.45);
    GirlPose ghost;
    ghost.ghost = true;
    figure_girl(cr, a, ghost);
    cairo_restore(cr);
}

} // namespace pics
