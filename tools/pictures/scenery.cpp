// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Stage scenery: tiles, the far, slow and near layers of each stage, the arena backdrops, the
// fogs and the wipe into the arena. Slow layers tile every 640 pixels and near layers every
// 1500, so everything placed near an edge is drawn again one period away.
#include "pictures.h"

#include <cmath>
#include <functional>
#include <vector>

namespace pics {

static void wrapped(cairo_t* cr, double period, const std::function<void()>& draw) {
    for (int k = -1; k <= 1; ++k) {
        cairo_save(cr);
        cairo_translate(cr, k * period, 0);
        draw();
        cairo_restore(cr);
    }
}

void sky(cairo_t* cr, double w, double h, Rgb top, Rgb mid, Rgb low, double mid_at) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, mid_at, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(g, 1, low.r, low.g, low.b);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void stars(cairo_t* cr, Rng& rng, double w, double h, int n, double alpha) {
    for (int i = 0; i < n; ++i) {
        double x = rng.range(0, w), y = rng.range(0, h), r = rng.range(0.5, 1.6);
        set(cr, hex(0xffffff), alpha * rng.range(0.4, 1.0));
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(cr);
        if (r > 1.4) {
            star(cr, x, y, r * 3, r * 0.5, 4, 0);
            cairo_fill(cr);
        }
    }
}

static void cloud(cairo_t* cr, Rng& rng, double x, double y, double w, Rgb body, Rgb lit,
                  double alpha) {
    // a long evening cloud: overlapping puffs, lit from below by the low sun
    int puffs = 5 + rng.pick(4);
    for (int i = 0; i < puffs; ++i) {
        double px = x + w * (i + 0.5) / puffs + rng.range(-8, 8);
        double r = w / puffs * rng.range(0.7, 1.1);
        ellipse(cr, px, y - r * 0.2, r, r * 0.45);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, y - r, 0, y + r * 0.4);
        cairo_pattern_add_color_stop_rgba(g, 0, body.r, body.g, body.b, alpha);
        cairo_pattern_add_color_stop_rgba(g, 1, lit.r, lit.g, lit.b, alpha);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

// A row of buildings standing on base_y; lit windows are scattered with probability lit.
static void city(cairo_t* cr, Rng& rng, double period, double base_y, double min_h, double max_h,
                 Rgb wall, Rgb window, double lit, double bottom) {
    struct B {
        double x, w, h;
        uint64_t seed;
    };
    std::vector<B> bs;
    double x = 0;
    while (x < period) {
        double w = rng.range(34, 80);
        bs.push_back({x, w, rng.range(min_h, max_h), rng.next()});
        x += w + rng.range(-6, 4);
    }
    // the last building reaches exactly to the period, so the seam is hidden
    bs.back().w = period - bs.back().x + 2;
    wrapped(cr, period, [&] {
        for (const B& b : bs) {
            Rng wr(b.seed);
            set(cr, wall);
            cairo_rectangle(cr, b.x, base_y - b.h, b.w, bottom - (base_y - b.h));
            cairo_fill(cr);
            if (wr.pick(3) == 0) {
                // a roof box or an antenna
                cairo_rectangle(cr, b.x + b.w * 0.3, base_y - b.h - 8, b.w * 0.3, 8);
                cairo_fill(cr);
                cairo_rectangle(cr, b.x + b.w * 0.7, base_y - b.h - 22, 2, 22);
                cairo_fill(cr);
            }
            for (double wy = base_y - b.h + 8; wy < base_y - 8; wy += 12) {
                for (double wx = b.x + 5; wx < b.x + b.w - 8; wx += 10) {
                    if (wr.uni() < lit) {
                        set(cr, window, wr.range(0.5, 0.95));
                        cairo_rectangle(cr, wx, wy, 5, 6);
                        cairo_fill(cr);
                    }
                }
            }
        }
    });
}

static void lamp(cairo_t* cr, double x, double base_y, double h, Rgb post, Rgb light) {
    glow(cr, x - 14, base_y - h + 8, 60, light, 0.35);
    rounded_rect(cr, x - 3, base_y - h, 6, h, 2);
    soft_fill(cr, post, 1.2);
    capsule(cr, x, base_y - h + 2, x - 14, base_y - h + 4, 5);
    soft_fill(cr, post, 1);
    ellipse(cr, x - 15, base_y - h + 8, 7, 4);
    set(cr, shade(light, 0.5));
    cairo_fill(cr);
}

static void tree(cairo_t* cr, Rng& rng, double x, double base_y, double size, Rgb trunk, Rgb leaf) {
    capsule(cr, x, base_y, x + rng.range(-4, 4), base_y - size * 0.9, size * 0.14);
    soft_fill(cr, trunk, 1.5);
    for (int i = 0; i < 3; ++i) {
        double bx = x + (i - 1) * size * 0.22;
        capsule(cr, x, base_y - size * 0.6, bx, base_y - size * (0.9 + 0.1 * i), size * 0.06);
        soft_fill(cr, trunk, 1);
    }
    int blobs = 7;
    for (int i = 0; i < blobs; ++i) {
        double t = 2 * M_PI * i / blobs;
        double bx = x + std::cos(t) * size * 0.33 + rng.range(-4, 4);
        double by = base_y - size * 1.05 + std::sin(t) * size * 0.22 + rng.range(-4, 4);
        cairo_arc(cr, bx, by, size * rng.range(0.22, 0.3), 0, 2 * M_PI);
        soft_fill(cr, leaf, 1.5);
    }
    cairo_arc(cr, x - size * 0.05, base_y - size * 1.1, size * 0.3, 0, 2 * M_PI);
    soft_fill(cr, shade(leaf, 0.08), 1.5);
}

// ---------------------------------------------------------------- tiles

static void ground_tile(cairo_t* cr, double x, double y, int piece, Rgb top, Rgb body, bool grass) {
    // piece 1 left end, 2 middle, 3 right end
    double l = piece == 1 ? 4 : -2, r = piece == 3 ? 56 : 62;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, 60, 60);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    rounded_rect(cr, l, 4, r - l, 60, piece == 2 ? 0 : 8);
    soft_fill(cr, body, piece == 2 ? 0 : 2);
    // texture: stones or soil specks
    Rng rng(piece * 31 + (grass ? 7 : 3));
    for (int i = 0; i < 9; ++i) {
        double px = rng.range(l + 4, r - 6), py = rng.range(18, 56);
        ellipse(cr, px, py, rng.range(2, 5), rng.range(1.5, 3));
        set(cr, shade(body, rng.uni() < 0.5 ? -0.2 : 0.15), 0.8);
        cairo_fill(cr);
    }
    if (grass) {
        cairo_move_to(cr, l, 16);
        for (double gx = l; gx <= r; gx += 5) {
            cairo_line_to(cr, gx + 2.5, 6 - ((static_cast<int>(gx) / 5) % 2) * 5);
            cairo_line_to(cr, gx + 5, 12);
        }
        cairo_line_to(cr, r, 18);
        cairo_curve_to(cr, (l + r) / 2, 22, (l + r) / 2, 22, l, 18);
        cairo_close_path(cr);
        soft_fill(cr, top, 1.2);
    } else {
        rounded_rect(cr, l, 3, r - l, 12, piece == 2 ? 0 : 5);
        soft_fill(cr, top, 1.2);
        set(cr, shade(top, -0.4));
        cairo_set_line_width(cr, 1);
        for (double gx = 20; gx < 60; gx += 30) {
            cairo_move_to(cr, gx, 4);
            cairo_line_to(cr, gx, 15);
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void draw_tiles(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rgb stone = a.colour("ground");
    Rgb earth = a.colour("earth"), grass = a.colour("grass");
    for (int row = 0; row < 2; ++row) {
        bool park = row == 1;
        Rgb top = park ? grass : shade(stone, 0.25), body = park ? earth : shade(stone, -0.25);
        double y = row * 60;
        for (int piece = 1; piece <= 3; ++piece) {
            ground_tile(cr, piece * 60, y, piece, top, body, park);
        }
        // 4: a block for walls and platforms
        cairo_save(cr);
        cairo_translate(cr, 240, y);
        rounded_rect(cr, 1, 1, 58, 58, 4);
        soft_fill(cr, park ? hex(0x9a7a4e) : shade(stone, 0.05), 2);
        if (park) {
            // a wooden crate
            set(cr, hex(0x5e4426));
            cairo_set_line_width(cr, 2);
            cairo_rectangle(cr, 6, 6, 48, 48);
            cairo_move_to(cr, 6, 6);
            cairo_line_to(cr, 54, 54);
            cairo_stroke(cr);
        } else {
            set(cr, shade(stone, -0.45));
            cairo_set_line_width(cr, 1.5);
            cairo_move_to(cr, 2, 30);
            cairo_line_to(cr, 58, 30);
            cairo_move_to(cr, 30, 2);
            cairo_line_to(cr, 30, 30);
            cairo_move_to(cr, 15, 30);
            cairo_line_to(cr, 15, 58);
            cairo_move_to(cr, 45, 30);
            cairo_line_to(cr, 45, 58);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        // 5: a floor that hurts: red-hot grating in town, brambles in the park
        cairo_save(cr);
        cairo_translate(cr, 300, y);
        rounded_rect(cr, 0, 4, 60, 56, 2);
        soft_fill(cr, park ? hex(0x3a4a2a) : hex(0x5a2a24), 0);
        if (park) {
            Rng rng(5);
            for (int i = 0; i < 8; ++i) {
                double bx = rng.range(4, 56);
                cairo_move_to(cr, bx, 60);
                cairo_curve_to(cr, bx - 8, 40, bx + 8, 20, bx + rng.range(-6, 6), 2);
                set(cr, hex(0x4c6a2c));
                cairo_set_line_width(cr, 3);
                cairo_stroke(cr);
                for (int t = 0; t < 3; ++t) {
                    star(cr, bx + rng.range(-5, 5), rng.range(8, 50), 4, 1, 3, rng.range(0, 3));
                    set(cr, hex(0xc8d0a0));
                    cairo_fill(cr);
                }
            }
        } else {
            glow(cr, 30, 20, 40, hex(0xff5020), 0.6);
            for (int i = 0; i < 6; ++i) {
                rounded_rect(cr, 4 + i * 9.5, 6, 5, 52, 2);
                soft_fill(cr, hex(0xff7a30), 1);
            }
        }
        cairo_restore(cr);
    }
    // the fixed trap: a spiked iron ball. The same picture lies on floors and hangs in rows
    // from the EX stage's ceiling, so it points every way at once.
    cairo_save(cr);
    cairo_translate(cr, 390, 31);
    for (int i = 0; i < 10; ++i) {
        double t = 2 * M_PI * i / 10 + M_PI / 10;
        double ct = std::cos(t), st = std::sin(t);
        cairo_move_to(cr, -st * 6 + ct * 12, ct * 6 + st * 12);
        cairo_line_to(cr, ct * 27, st * 27);
        cairo_line_to(cr, st * 6 + ct * 12, -ct * 6 + st * 12);
        cairo_close_path(cr);
        soft_fill(cr, hex(0xc8ccd8), 1.5);
    }
    cairo_arc(cr, 0, 0, 15, 0, 2 * M_PI);
    soft_fill(cr, hex(0x4a4a56), 1.5);
    cairo_arc(cr, -5, -5, 4, 0, 2 * M_PI);
    set(cr, hex(0xffffff), 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
    // the moving trap: a spiked block on the prowl
    cairo_save(cr);
    cairo_translate(cr, 360, 60);
    for (int side = 0; side < 4; ++side) {
        cairo_save(cr);
        cairo_translate(cr, 30, 30);
        cairo_rotate(cr, side * M_PI / 2);
        for (int i = 0; i < 3; ++i) {
            double sx = -15 + i * 10;
            cairo_move_to(cr, sx - 4, -20);
            cairo_line_to(cr, sx + 1, -29);
            cairo_line_to(cr, sx + 6, -20);
            cairo_close_path(cr);
            soft_fill(cr, hex(0xd0d4de), 1.2);
        }
        cairo_restore(cr);
    }
    rounded_rect(cr, 10, 10, 40, 40, 5);
    soft_fill(cr, hex(0x6a6f80), 2);
    cairo_arc(cr, 30, 30, 8, 0, 2 * M_PI);
    soft_fill(cr, hex(0xd83c3c), 1.5);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- stage 1: the town at dusk

void draw_stage10(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // Late dusk: the glow has sunk behind the town and the sky above it is already deep
    // violet, down to below the rows where the continue question is written in pink.
    Rgb top = a.colour("dusk_top"), mid = a.colour("dusk_mid"), low = a.colour("dusk_low");
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 480);
    Rgb deep = mix(top, mid, 0.22);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 0.66, deep.r, deep.g, deep.b);
    cairo_pattern_add_color_stop_rgb(g, 0.8, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(g, 1, low.r, low.g, low.b);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    Rng rng(10);
    stars(cr, rng, 640, 200, 40, 0.6);
    glow(cr, 430, 360, 150, hex(0xffd27a), 0.55);
    cairo_arc(cr, 430, 360, 40, 0, 2 * M_PI);
    set(cr, hex(0xfff0c0));
    cairo_fill(cr);
    // clouds lit from below only faintly so high up
    for (int i = 0; i < 6; ++i) {
        double y = rng.range(60, 260);
        cloud(cr, rng, rng.range(-60, 560), y, rng.range(140, 260), shade(top, 0.1),
              mix(shade(top, 0.2), hex(0xffa070), 0.15 + 0.25 * y / 260), 0.7);
    }
}

void draw_stage12(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(12);
    Rgb far = mix(a.colour("dusk_top"), a.colour("dusk_mid"), 0.35);
    city(cr, rng, 640, 400, 60, 170, far, a.colour("window_lit"), 0.12, 480);
    // a radio tower on the skyline
    wrapped(cr, 640, [&] {
        set(cr, far);
        cairo_move_to(cr, 520, 150);
        cairo_line_to(cr, 540, 400);
        cairo_line_to(cr, 500, 400);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_arc(cr, 520, 150, 3, 0, 2 * M_PI);
        set(cr, hex(0xff4040));
        cairo_fill(cr);
    });
}

static void house(cairo_t* cr, Rng& rng, double x, double base, double w, double h, Rgb wall,
                  Rgb roof, Rgb lit) {
    rounded_rect(cr, x, base - h, w, h + 2, 2);
    soft_fill(cr, wall, 2);
    // a tiled roof with eaves
    cairo_move_to(cr, x - 14, base - h + 4);
    cairo_line_to(cr, x + w * 0.5, base - h - w * 0.32);
    cairo_line_to(cr, x + w + 14, base - h + 4);
    cairo_close_path(cr);
    soft_fill(cr, roof, 2);
    int windows = static_cast<int>(w / 50);
    for (int i = 0; i < windows; ++i) {
        double wx = x + 16 + i * (w - 32) / std::max(1, windows);
        bool on = rng.uni() < 0.6;
        if (on) {
            glow(cr, wx + 11, base - h * 0.6, 34, lit, 0.35);
        }
        rounded_rect(cr, wx, base - h * 0.72, 22, 24, 2);
        soft_fill(cr, on ? lit : shade(wall, -0.45), 1.5);
        set(cr, shade(wall, -0.5));
        cairo_set_line_width(cr, 1.5);
        cairo_move_to(cr, wx + 11, base - h * 0.72);
        cairo_line_to(cr, wx + 11, base - h * 0.72 + 24);
        cairo_stroke(cr);
    }
}

static void pole(cairo_t* cr, double x, double base, Rgb c) {
    rounded_rect(cr, x - 4, base - 270, 8, 270, 3);
    soft_fill(cr, c, 1.5);
    rounded_rect(cr, x - 22, base - 250, 44, 5, 2);
    soft_fill(cr, c, 1.2);
    rounded_rect(cr, x - 16, base - 225, 32, 4, 2);
    soft_fill(cr, c, 1.2);
}

void draw_stage11(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(11);
    Rgb wall = shade(mix(hex(0x5a3a50), a.colour("dusk_top"), 0.5), -0.35);
    Rgb roof = hex(0x3a2c48);
    Rgb lit = a.colour("window_lit");
    const double base = 420;
    wrapped(cr, 1500, [&] {
        Rng r(rng.state);
        // houses along the street
        double x = 20;
        while (x < 1400) {
            double w = r.range(150, 230), h = r.range(120, 170);
            house(cr, r, x, base - 40, w, h, shade(wall, r.range(-0.1, 0.1)), roof, lit);
            x += w + r.range(60, 110);
        }
        // the block wall in front of the houses
        for (double bx = 0; bx < 1500; bx += 40) {
            rounded_rect(cr, bx, base - 56, 40, 58, 1);
            soft_fill(cr, hex(0x5e5068), 1);
        }
        set(cr, hex(0x3a2f40), 0.35);
        cairo_rectangle(cr, 0, base - 56, 1500, 6);
        cairo_fill(cr);
        // utility poles with sagging wires
        for (int i = 0; i < 5; ++i) {
            pole(cr, 150 + i * 300, base, hex(0x4a3a44));
        }
        set(cr, hex(0x2a2030));
        cairo_set_line_width(cr, 1.4);
        for (int i = 0; i < 5; ++i) {
            double x0 = 150 + i * 300, x1 = x0 + 300;
            for (int k = 0; k < 2; ++k) {
                double y = base - 248 + k * 25;
                cairo_move_to(cr, x0, y);
                cairo_curve_to(cr, x0 + 100, y + 26, x1 - 100, y + 26, x1, y);
            }
        }
        cairo_stroke(cr);
        // a vending machine glowing by the wall, and street lamps
        glow(cr, 1030, base - 40, 70, hex(0xaef0ff), 0.4);
        rounded_rect(cr, 1010, base - 92, 40, 92, 3);
        soft_fill(cr, hex(0xe8eef8), 2);
        rounded_rect(cr, 1015, base - 86, 30, 40, 2);
        soft_fill(cr, hex(0x8ad8ff), 1);
        lamp(cr, 420, base, 200, hex(0x4a3a44), lit);
        lamp(cr, 1240, base, 200, hex(0x4a3a44), lit);
    });
    // under the street: the dark of a ditch, seen through holes in the ground
    vertical_gradient(cr, 0, base - 2, 1500, 62, hex(0x2a2030), hex(0x0a0810));
}

void draw_stage1b(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    draw_stage10(p, a);
    Rng rng(101);
    city(cr, rng, 640, 420, 120, 300, mix(a.colour("dusk_top"), hex(0x201830), 0.5),
         a.colour("window_lit"), 0.2, 480);
    // an empty crossing under a single lamp, the town's last light before the dark
    vertical_gradient(cr, 0, 380, 640, 100, hex(0x4a3a4a), hex(0x201820));
    for (int i = 0; i < 7; ++i) {
        cairo_move_to(cr, 120 + i * 60, 392);
        cairo_line_to(cr, 150 + i * 60, 392);
        cairo_line_to(cr, 140 + i * 66, 420);
        cairo_line_to(cr, 104 + i * 66, 420);
        cairo_close_path(cr);
        set(cr, hex(0xe0d8e0), 0.6);
        cairo_fill(cr);
    }
    lamp(cr, 560, 400, 260, hex(0x3a2f3a), a.colour("window_lit"));
    // a traffic light stuck on red
    rounded_rect(cr, 78, 130, 8, 270, 3);
    soft_fill(cr, hex(0x3a2f3a), 1.5);
    rounded_rect(cr, 60, 110, 44, 90, 8);
    soft_fill(cr, hex(0x2a2430), 2);
    glow(cr, 82, 130, 30, hex(0xff3030), 0.7);
    cairo_arc(cr, 82, 130, 9, 0, 2 * M_PI);
    set(cr, hex(0xff5050));
    cairo_fill(cr);
    for (int k = 1; k < 3; ++k) {
        cairo_arc(cr, 82, 130 + k * 28, 9, 0, 2 * M_PI);
        set(cr, hex(0x3a3440));
        cairo_fill(cr);
    }
}

// ---------------------------------------------------------------- stage 2: the park

void draw_stage20(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    sky(cr, 640, 480, a.colour("park_top"), mix(a.colour("park_top"), a.colour("park_low"), 0.6),
        a.colour("park_low"), 0.6);
    Rng rng(20);
    glow(cr, 120, 120, 160, hex(0xfff6d0), 0.5);
    for (int i = 0; i < 5; ++i) {
        cloud(cr, rng, rng.range(-60, 560), rng.range(60, 240), rng.range(120, 220), hex(0xffffff),
              hex(0xf0d8c8), 0.85);
    }
}

void draw_stage22(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rgb far = mix(a.colour("grass"), a.colour("park_top"), 0.55);
    Rgb near = mix(a.colour("grass"), a.colour("park_top"), 0.3);
    // two bands of rolling hills, periodic over 640 so the layer tiles
    for (int band = 0; band < 2; ++band) {
        double base = band ? 330 : 290, amp = band ? 26 : 40;
        cairo_move_to(cr, 0, 480);
        for (int x = 0; x <= 640; x += 4) {
            double t = 2 * M_PI * x / 640;
            double y = base - amp * std::sin(t * (band ? 3 : 2) + band) -
                       amp * 0.4 * std::sin(t * 5 + 1.3);
            cairo_line_to(cr, x, y);
        }
        cairo_line_to(cr, 640, 480);
        cairo_close_path(cr);
        set(cr, band ? near : far);
        cairo_fill(cr);
    }
    // clumps of trees on the nearer hills
    Rng rng(22);
    wrapped(cr, 640, [&] {
        Rng r(rng.state);
        for (int i = 0; i < 10; ++i) {
            double x = i * 64 + r.range(0, 30);
            double t = 2 * M_PI * x / 640;
            double y = 330 - 26 * std::sin(t * 3 + 1) - 10.4 * std::sin(t * 5 + 1.3) + 6;
            for (int k = 0; k < 3; ++k) {
                cairo_arc(cr, x + k * 9, y - 10 - (k % 2) * 8, r.range(9, 14), 0, 2 * M_PI);
                set(cr, shade(near, -0.15));
                cairo_fill(cr);
            }
        }
    });
}

void draw_stage21(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(21);
    // kept darker and hazier than the ground so the action stands out against it
    Rgb trunk = hex(0x4a3a34),
        leaf = mix(shade(a.colour("grass"), -0.4), a.colour("park_top"), 0.2);
    const double base = 420;
    wrapped(cr, 1500, [&] {
        Rng r(rng.state);
        // hedges along the path
        for (double x = 0; x < 1500; x += 46) {
            cairo_arc(cr, x + 23, base - 24, 30, 0, 2 * M_PI);
            soft_fill(cr, shade(leaf, -0.15), 1.5);
        }
        for (int i = 0; i < 6; ++i) {
            tree(cr, r, 60 + i * 250 + r.range(-20, 20), base - 10, r.range(190, 250), trunk, leaf);
        }
        // a bench and a park lamp
        for (int i = 0; i < 2; ++i) {
            double bx = 300 + i * 750;
            rounded_rect(cr, bx, base - 44, 90, 8, 3);
            soft_fill(cr, hex(0xb07a44), 1.5);
            rounded_rect(cr, bx, base - 66, 90, 8, 3);
            soft_fill(cr, hex(0xb07a44), 1.5);
            for (int k = 0; k < 2; ++k) {
                rounded_rect(cr, bx + 8 + k * 66, base - 66, 6, 66, 2);
                soft_fill(cr, hex(0x3a3a40), 1.2);
            }
            lamp(cr, bx + 200, base, 180, hex(0x2e4a3a), hex(0xfff0b0));
        }
    });
    vertical_gradient(cr, 0, base - 2, 1500, 62, hex(0x2e3a20), hex(0x101808));
}

void draw_stage2b(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // a clearing deep in the park as the sun goes down, walled in by dark trees
    sky(cr, 640, 480, hex(0x5a7ab0), hex(0xe8b880), hex(0xf0d0a0), 0.7);
    Rng rng(202);
    glow(cr, 320, 330, 220, hex(0xfff0c0), 0.5);
    for (int i = 0; i < 3; ++i) {
        cloud(cr, rng, rng.range(60, 420), rng.range(80, 200), rng.range(140, 200), hex(0xf8e8e0),
              hex(0xffb080), 0.8);
    }
    // far tree line
    for (int x = -20; x < 680; x += 26) {
        cairo_arc(cr, x, 330 + rng.range(-12, 12), rng.range(24, 40), 0, 2 * M_PI);
        set(cr, hex(0x4a6a5a));
        cairo_fill(cr);
    }
    set(cr, hex(0x4a6a5a));
    cairo_rectangle(cr, 0, 330, 640, 150);
    cairo_fill(cr);
    // light falling between the trunks
    for (int i = 0; i < 4; ++i) {
        double x = 140 + i * 100;
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x + 36, 0);
        cairo_line_to(cr, x + 120, 420);
        cairo_line_to(cr, x + 50, 420);
        cairo_close_path(cr);
        set(cr, hex(0xfff0b0), 0.13);
        cairo_fill(cr);
    }
    Rgb leaf = mix(shade(a.colour("grass"), -0.55), hex(0x203040), 0.3);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 2; ++i) {
            double x = side ? 560 + i * 70 : 20 + i * 70;
            tree(cr, rng, x, 430, rng.range(300, 360), hex(0x3a2a24), leaf);
        }
    }
    vertical_gradient(cr, 0, 400, 640, 80, hex(0x4a6a3a), hex(0x1a2a10));
}

// ---------------------------------------------------------------- stage 3 and 4: the hospital

void draw_stage30(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    sky(cr, 640, 480, a.colour("night_top"), mix(a.colour("night_top"), a.colour("night_low"), 0.6),
        a.colour("night_low"), 0.6);
    Rng rng(30);
    stars(cr, rng, 640, 360, 140, 0.9);
    glow(cr, 500, 110, 140, a.colour("moon"), 0.35);
    cairo_arc(cr, 500, 110, 46, 0, 2 * M_PI);
    set(cr, a.colour("moon"));
    cairo_fill(cr);
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, 480 + rng.range(-20, 40), 100 + rng.range(-20, 30), rng.range(4, 9), 0,
                  2 * M_PI);
        set(cr, shade(a.colour("moon"), -0.12), 0.6);
        cairo_fill(cr);
    }
    for (int i = 0; i < 3; ++i) {
        cloud(cr, rng, rng.range(-40, 540), rng.range(160, 300), rng.range(160, 240), hex(0x1a2244),
              hex(0x3a4a7a), 0.7);
    }
}

void draw_stage32(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(32);
    // the sleeping city, far away and below: it serves both the hospital grounds and its roof
    city(cr, rng, 640, 420, 40, 190, hex(0x141a36), a.colour("window_lit"), 0.15, 480);
}

void draw_stage31(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(31);
    Rgb wall = hex(0x5a6488), dark = hex(0x232a44);
    Rgb cold = a.colour("window_cold");
    const double base = 420;
    wrapped(cr, 1500, [&] {
        Rng r(rng.state);
        // one wing of the hospital, three floors, then its dark garden
        const double top = base - 250, width = 880;
        rounded_rect(cr, 20, top, width, 252, 2);
        soft_fill(cr, shade(wall, -0.3), 2);
        rounded_rect(cr, 12, top - 10, width + 16, 14, 2);
        soft_fill(cr, shade(wall, -0.1), 1.5);
        for (int floor = 0; floor < 3; ++floor) {
            for (int i = 0; i < 10; ++i) {
                double wx = 50 + i * 85, wy = top + 24 + floor * 70;
                if (floor == 2 && (i == 2 || i == 7)) {
                    continue; // the entrances
                }
                bool on = r.uni() < 0.25;
                if (on) {
                    glow(cr, wx + 24, wy + 18, 50, cold, 0.25);
                }
                rounded_rect(cr, wx, wy, 48, 36, 2);
                soft_fill(cr, on ? cold : dark, 1.5);
                set(cr, shade(wall, -0.55));
                cairo_set_line_width(cr, 2);
                cairo_move_to(cr, wx + 24, wy);
                cairo_line_to(cr, wx + 24, wy + 36);
                cairo_stroke(cr);
            }
        }
        for (int i = 0; i < 2; ++i) {
            double ex = 50 + (i ? 7 : 2) * 85 - 20;
            rounded_rect(cr, ex, base - 90, 90, 90, 3);
            soft_fill(cr, hex(0x141a28), 2);
            glow(cr, ex + 45, base - 50, 60, cold, 0.3);
            rounded_rect(cr, ex + 8, base - 82, 74, 82, 2);
            soft_fill(cr, shade(cold, -0.45), 1.5);
            glow(cr, ex + 45, base - 104, 22, hex(0x40ff80), 0.6);
            rounded_rect(cr, ex + 30, base - 110, 30, 12, 2);
            soft_fill(cr, hex(0x30d070), 1);
        }
        // the red cross high on the wall
        double cx = 470, cy = top - 40;
        glow(cr, cx, cy, 50, hex(0xff4050), 0.35);
        rounded_rect(cr, cx - 24, cy - 8, 48, 16, 2);
        soft_fill(cr, hex(0xd83040), 1.5);
        rounded_rect(cr, cx - 8, cy - 24, 16, 48, 2);
        soft_fill(cr, hex(0xd83040), 1.5);
        // the garden: black trees, a lamp, a fence
        Rgb leaf = hex(0x18283a);
        for (int i = 0; i < 3; ++i) {
            tree(cr, r, 980 + i * 170 + r.range(-20, 20), base - 10, r.range(180, 230),
                 hex(0x1a1e2a), leaf);
        }
        lamp(cr, 1230, base, 190, hex(0x1a1e2a), cold);
        set(cr, hex(0x1a1e2a));
        cairo_rectangle(cr, 900, base - 70, 600, 4);
        cairo_fill(cr);
        for (double x = 904; x < 1500; x += 16) {
            cairo_rectangle(cr, x, base - 74, 3, 74);
        }
        cairo_fill(cr);
        for (double x = 0; x < 900; x += 40) {
            cairo_arc(cr, x + 20, base - 16, 24, 0, 2 * M_PI);
            soft_fill(cr, hex(0x1e3430), 1.5);
        }
    });
    vertical_gradient(cr, 0, base - 2, 1500, 62, hex(0x1a2030), hex(0x05060c));
}

void draw_stage3b(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // a hospital corridor at night, running away from us to a far door
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x1a2238), hex(0x0c101c));
    double vx = 320, vy = 220;
    auto quad = [&](double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                    double y4, Rgb c) {
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_line_to(cr, x3, y3);
        cairo_line_to(cr, x4, y4);
        cairo_close_path(cr);
        set(cr, c);
        cairo_fill(cr);
    };
    quad(0, 0, 640, 0, vx + 80, vy - 60, vx - 80, vy - 60, hex(0x283050));
    quad(0, 480, 640, 480, vx + 80, vy + 60, vx - 80, vy + 60, hex(0x3a4258));
    quad(0, 0, vx - 80, vy - 60, vx - 80, vy + 60, 0, 480, hex(0x4a5470));
    quad(640, 0, vx + 80, vy - 60, vx + 80, vy + 60, 640, 480, hex(0x404a66));
    // the far end: a door under a green exit light
    rounded_rect(cr, vx - 80, vy - 60, 160, 120, 0);
    soft_fill(cr, hex(0x161c2c), 0);
    glow(cr, vx, vy - 40, 40, hex(0x40ff80), 0.6);
    rounded_rect(cr, vx - 18, vy - 48, 36, 14, 2);
    soft_fill(cr, hex(0x30d070), 1);
    rounded_rect(cr, vx - 26, vy - 28, 52, 88, 2);
    soft_fill(cr, hex(0x2a3450), 1.5);
    // doors along the walls and ceiling lights, one of them still on
    for (int i = 0; i < 3; ++i) {
        double t = 0.2 + i * 0.22;
        double x0 = (vx - 80) * t, y0 = 480 - (480 - (vy + 60)) * t;
        double top0 = (vy - 60) * t;
        double t1 = t + 0.1;
        double x1 = (vx - 80) * t1, y1 = 480 - (480 - (vy + 60)) * t1, top1 = (vy - 60) * t1;
        quad(x0, top0 + (y0 - top0) * 0.3, x1, top1 + (y1 - top1) * 0.3, x1, y1, x0, y0,
             hex(0x5a6a8a));
        quad(640 - x0, top0 + (y0 - top0) * 0.3, 640 - x1, top1 + (y1 - top1) * 0.3, 640 - x1, y1,
             640 - x0, y0, hex(0x52607e));
        // the ceiling lights start further down the corridor, clear of the HUD's top band
        // (the item frame and the boss bars)
        double lt = 0.56 + i * 0.12;
        double ly = (vy - 60) * lt;
        bool on = i == 1;
        if (on) {
            glow(cr, 320, ly + 8, 60, a.colour("window_cold"), 0.35);
        }
        quad(320 - 150 * (1 - lt), ly, 320 + 150 * (1 - lt), ly, 320 + 140 * (1 - lt), ly + 5,
             320 - 140 * (1 - lt), ly + 5, on ? hex(0xe0f4ff) : hex(0x5a6480));
    }
    // reflections on the polished floor
    set(cr, hex(0xffffff), 0.06);
    cairo_rectangle(cr, 250, 300, 140, 180);
    cairo_fill(cr);
}

static void rooftop(cairo_t* cr, Rng& r, double base, Rgb metal, Rgb dark, Rgb cold) {
    // water tanks, a stair house with a lit door, ducts and a railing along the edge
    for (int i = 0; i < 2; ++i) {
        double tx = 120 + i * 760;
        for (int k = 0; k < 4; ++k) {
            rounded_rect(cr, tx + 10 + k * 30, base - 110, 6, 110, 1);
            soft_fill(cr, dark, 1);
        }
        rounded_rect(cr, tx, base - 230, 120, 130, 30);
        soft_fill(cr, metal, 2);
        ellipse(cr, tx + 60, base - 230, 58, 12);
        soft_fill(cr, shade(metal, 0.1), 1.5);
    }
    double sx = 470;
    rounded_rect(cr, sx, base - 200, 170, 200, 3);
    soft_fill(cr, shade(metal, -0.1), 2);
    rounded_rect(cr, sx - 8, base - 212, 186, 16, 3);
    soft_fill(cr, dark, 1.5);
    glow(cr, sx + 85, base - 70, 80, cold, 0.35);
    rounded_rect(cr, sx + 55, base - 130, 60, 130, 2);
    soft_fill(cr, shade(cold, -0.2), 1.5);
    for (int i = 0; i < 3; ++i) {
        double ax = 1150 + i * 90;
        rounded_rect(cr, ax, base - 60, 70, 60, 4);
        soft_fill(cr, metal, 1.5);
        cairo_arc(cr, ax + 35, base - 30, 20, 0, 2 * M_PI);
        soft_fill(cr, dark, 1.5);
    }
    // an antenna with a red warning light
    rounded_rect(cr, 1400, base - 330, 5, 330, 1);
    soft_fill(cr, dark, 1);
    glow(cr, 1402, base - 332, 16, hex(0xff3030), 0.8);
    (void)r;
    // the railing
    set(cr, dark);
    cairo_rectangle(cr, 0, base - 90, 1500, 5);
    cairo_rectangle(cr, 0, base - 50, 1500, 3);
    cairo_fill(cr);
    for (double x = 0; x < 1500; x += 25) {
        cairo_rectangle(cr, x, base - 90, 3, 90);
    }
    cairo_fill(cr);
}

void draw_stage41(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    Rng rng(41);
    const double base = 420;
    wrapped(cr, 1500, [&] {
        Rng r(rng.state);
        rooftop(cr, r, base, hex(0x5a6480), hex(0x1c2234), a.colour("window_cold"));
    });
    vertical_gradient(cr, 0, base - 2, 1500, 62, hex(0x2a3044), hex(0x0a0c14));
}

void draw_stage4b(Pic& p, const Assets& a) {
    cairo_t* cr = p.cr;
    // the roof under a huge moon: the same night as the far layer of the hospital
    sky(cr, 640, 480, hex(0x05061a), hex(0x1c1a44), hex(0x3a2a5a), 0.6);
    Rng rng(40);
    stars(cr, rng, 640, 300, 120, 0.9);
    glow(cr, 320, 170, 240, a.colour("moon"), 0.3);
    cairo_arc(cr, 320, 170, 120, 0, 2 * M_PI);
    set(cr, shade(a.colour("moon"), -0.05));
    cairo_fill(cr);
    for (int i = 0; i < 8; ++i) {
        cairo_arc(cr, 320 + rng.range(-80, 80), 170 + rng.range(-80, 80), rng.range(6, 18), 0,
                  2 * M_PI);
        set(cr, shade(a.colour("moon"), -0.15), 0.5);
        cairo_fill(cr);
    }
    Rng city_rng(32);
    city(cr, city_rng, 640, 440, 30, 130, hex(0x141a36), a.colour("window_lit"), 0.15, 480);
    // the helipad
    vertical_gradient(cr, 0, 380, 640, 100, hex(0x3a4058), hex(0x1a1e2c));
    ellipse(cr, 320, 410, 200, 22);
    set(cr, hex(0xe8e8f0), 0.5);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    set(cr, hex(0xe8e8f0), 0.5);
    cairo_move_to(cr, 300, 398);
    cairo_line_to(cr, 296, 418);
    cairo_move_to(cr, 340, 398);
    cairo_line_to(cr, 344, 418);
    cairo_move_to(cr, 298, 408);
    cairo_line_to(cr, 342, 408);
    cairo_stroke(cr);
    // the railing black against the moon
    set(cr, hex(0x101420));
    cairo_rectangle(cr, 0, 300, 640, 5);
    cairo_rectangle(cr, 0, 340, 640, 3);
    cairo_fill(cr);
    for (double x = 0; x < 640; x += 25) {
        cairo_rectangle(cr, x, 300, 3, 82);
    }
    cairo_fill(cr);
}

// ---------------------------------------------------------------- fog and the wipe

void draw_fog1(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // drawn additively: black adds nothing, the grey wisps brighten what is under them
    set(cr, hex(0));
    cairo_paint(cr);
    Rng rng(51);
    wrapped(cr, 640, [&] {
        Rng r(rng.state);
        for (int i = 0; i < 40; ++i) {
            double x = r.range(0, 640), y = r.range(40, 470);
            double rx = r.range(60, 160), ry = r.range(14, 40);
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, rx / ry, 1);
            glow(cr, 0, 0, ry, hex(0x8a90b0), r.range(0.25, 0.5));
            cairo_restore(cr);
        }
    });
}

void draw_fog2(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // laid over the arena at a little over half strength: a cold violet haze
    vertical_gradient(cr, 0, 0, 640, 480, hex(0x1a1430), hex(0x2e2844));
    Rng rng(52);
    for (int i = 0; i < 50; ++i) {
        double x = rng.range(-40, 680), y = rng.range(0, 480);
        double rx = rng.range(60, 180), ry = rng.range(16, 50);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, rx / ry, 1);
        glow(cr, 0, 0, ry, hex(0x6a6488), rng.range(0.2, 0.45));
        cairo_restore(cr);
    }
}

void draw_wipe(Pic& p, const Assets&) {
    cairo_t* cr = p.cr;
    // 720 wide so that at x -40 it covers the screen; its outer 40 pixels fade out
    cairo_push_group(cr);
    vertical_gradient(cr, 0, 0, 720, 480, hex(0x120c2a), hex(0x2a1440));
    Rng rng(60);
    for (int i = 0; i < 26; ++i) {
        double cx = rng.range(40, 680), cy = rng.range(0, 480), r = rng.range(30, 90);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, rng.range(0, 6.28), rng.range(0, 6.28) + 4);
        set(cr, hex(0xb8a8ff), rng.range(0.08, 0.25));
        cairo_set_line_width(cr, rng.range(2, 8));
        cairo_stroke(cr);
    }
    stars(cr, rng, 720, 480, 120, 0.8);
    cairo_pattern_t* body = cairo_pop_group(cr);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, 0, 720, 0);
    cairo_pattern_add_color_stop_rgba(edge, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(edge, 4.0 / 720, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(edge, 40.0 / 720, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(edge, 680.0 / 720, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(edge, 716.0 / 720, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(edge, 1, 0, 0, 0, 0);
    cairo_set_source(cr, body);
    cairo_mask(cr, edge);
    cairo_pattern_destroy(edge);
    cairo_pattern_destroy(body);
}

} // namespace pics
