// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

#include "paint.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace pics {

Rgb hex(uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb shade(Rgb c, double f) {
    return f >= 0 ? mix(c, Rgb{1, 1, 1}, f) : mix(c, Rgb{0, 0, 0}, -f);
}

Rgb Assets::colour(const std::string& name) const {
    auto it = colours.find(name);
    if (it == colours.end()) {
        throw std::runtime_error("colour '" + name + "' is missing from palette.txt");
    }
    return it->second;
}

const std::string& Assets::text(const std::string& key) const {
    auto it = texts.find(key);
    if (it == texts.end()) {
        throw std::runtime_error("text '" + key + "' is missing from texts.txt");
    }
    auto base = japanese.find(key);
    if (base != japanese.end() && base->second != it->second) {
        changed_ = true;
    }
    return it->second;
}

bool Assets::take_changed_words() const {
    bool changed = changed_;
    changed_ = false;
    return changed;
}

static std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Every file is "key = value" lines; '#' starts a comment line. Colours are #rrggbb.
static bool load_file(const std::string& dir, const std::string& file, Assets& out,
                      std::string& error) {
    std::ifstream in(dir + "/" + file);
    if (!in) {
        error = "cannot read " + dir + "/" + file;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string t = trim(line);
        if (t.empty() || t[0] == '#') {
            continue;
        }
        size_t eq = t.find('=');
        if (eq == std::string::npos) {
            error = file + ":" + std::to_string(number) + ": no '='";
            return false;
        }
        std::string key = trim(t.substr(0, eq));
        std::string value = trim(t.substr(eq + 1));
        if (file == "palette.txt") {
            if (value.size() != 7 || value[0] != '#') {
                error = file + ":" + std::to_string(number) + ": want #rrggbb";
                return false;
            }
            out.colours[key] = hex(static_cast<uint32_t>(std::stoul(value.substr(1), 0, 16)));
        } else if (file != "texts.txt" && out.texts.count(key) == 0) {
            // a word of no picture: most likely a misspelt key
            error = file + ":" + std::to_string(number) + ": '" + key + "' is not in texts.txt";
            return false;
        } else {
            out.texts[key] = value;
        }
    }
    return true;
}

bool load_assets(const std::string& dir, const std::string& language, Assets& out,
                 std::string& error) {
    if (!load_file(dir, "palette.txt", out, error) || !load_file(dir, "texts.txt", out, error)) {
        return false;
    }
    out.japanese = out.texts;
    return language.empty() || load_file(dir, "texts." + language + ".txt", out, error);
}

uint64_t Rng::next() {
    // splitmix64
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uni() {
    return static_cast<double>(next() >> 11) / 9007199254740992.0;
}

double Rng::range(double a, double b) {
    return a + (b - a) * uni();
}

int Rng::pick(int n) {
    return static_cast<int>(next() % static_cast<uint64_t>(n));
}

Pic::Pic(int width, int height) : w(width), h(height) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr = cairo_create(surface);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

Pic::~Pic() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void set(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

static cairo_pattern_t* lit_gradient(cairo_t* cr, Rgb c, double alpha) {
    double x0, y0, x1, y1;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    // Light comes from the upper left for every picture of the game.
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x0 + (x1 - x0) * 0.45, y1);
    Rgb hi = shade(c, 0.35), lo = shade(c, -0.3);
    cairo_pattern_add_color_stop_rgba(g, 0.0, hi.r, hi.g, hi.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.45, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 1.0, lo.r, lo.g, lo.b, alpha);
    return g;
}

void soft_fill(cairo_t* cr, Rgb c, double outline, double alpha) {
    cairo_pattern_t* g = lit_gradient(cr, c, alpha);
    cairo_set_source(cr, g);
    if (outline > 0) {
        cairo_fill_preserve(cr);
        set(cr, shade(c, -0.65), alpha);
        cairo_set_line_width(cr, outline);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(g);
}

void soft_fill_plain(cairo_t* cr, Rgb c, double alpha) {
    soft_fill(cr, c, 0, alpha);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void capsule(cairo_t* cr, double x1, double y1, double x2, double y2, double width) {
    double a = std::atan2(y2 - y1, x2 - x1);
    double r = width / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x2, y2, r, a - M_PI / 2, a + M_PI / 2);
    cairo_arc(cr, x1, y1, r, a + M_PI / 2, a + 1.5 * M_PI);
    cairo_close_path(cr);
}

void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int points, double rot) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        double r = (i % 2) ? r_in : r_out;
        double a = rot + M_PI * i / points - M_PI / 2;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void glow(cairo_t* cr, double cx, double cy, double r, Rgb c, double alpha) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.4, c.r, c.g, c.b, alpha * 0.45);
    cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void vertical_gradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

static void select_face(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "IPAMincho", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

static std::vector<Word>* recorded_words = nullptr;

void record_words(std::vector<Word>* words) {
    recorded_words = words;
}

// The device box of the current path's ink, drawn with the given edge.
static void record_word(cairo_t* cr, const std::string& utf8, double edge_width) {
    cairo_save(cr);
    cairo_set_line_width(cr, std::max(edge_width, 0.0));
    double x0, y0, x1, y1;
    if (edge_width > 0) {
        cairo_stroke_extents(cr, &x0, &y0, &x1, &y1);
    } else {
        cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    }
    cairo_restore(cr);
    double xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    Word w{utf8, 1e9, 1e9, -1e9, -1e9, 0, 0};
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        w.x0 = std::min(w.x0, xs[i]);
        w.y0 = std::min(w.y0, ys[i]);
        w.x1 = std::max(w.x1, xs[i]);
        w.y1 = std::max(w.y1, ys[i]);
    }
    cairo_surface_t* target = cairo_get_target(cr);
    w.surface_w = cairo_image_surface_get_width(target);
    w.surface_h = cairo_image_surface_get_height(target);
    recorded_words->push_back(w);
}

void text(cairo_t* cr, const std::string& utf8, double x, double y, double size, Rgb fill, Rgb edge,
          double edge_width, bool bold) {
    if (utf8.empty()) {
        return;
    }
    select_face(cr, size, bold);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, utf8.c_str());
    if (recorded_words) {
        record_word(cr, utf8, edge_width);
    }
    if (edge_width > 0) {
        set(cr, edge);
        cairo_set_line_width(cr, edge_width);
        cairo_stroke_preserve(cr);
    }
    set(cr, fill);
    cairo_fill(cr);
}

double text_width(cairo_t* cr, const std::string& utf8, double size, bool bold) {
    select_face(cr, size, bold);
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8.c_str(), &e);
    return e.x_advance;
}

// Straight (not premultiplied) float pixels of a block, for the sheet effects.
struct Px {
    float r, g, b, a;
};

static Px read_px(const uint8_t* data, int stride, int x, int y) {
    uint32_t v = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
    float a = (v >> 24) / 255.0f;
    if (a <= 0) {
        return {0, 0, 0, 0};
    }
    return {((v >> 16) & 255) / 255.0f / a, ((v >> 8) & 255) / 255.0f / a, (v & 255) / 255.0f / a,
            a};
}

static void write_px(uint8_t* data, int stride, int x, int y, Px p) {
    auto q = [&](float c) {
        return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * p.a * 255.0f));
    };
    uint32_t a = static_cast<uint32_t>(std::lround(std::clamp(p.a, 0.0f, 1.0f) * 255.0f));
    reinterpret_cast<uint32_t*>(data + y * stride)[x] =
        (a << 24) | (q(p.r) << 16) | (q(p.g) << 8) | q(p.b);
}

void highlight_copy(Pic& p, int w, int h, int dx, int cw, int ch) {
    cairo_surface_flush(p.surface);
    uint8_t* data = cairo_image_surface_get_data(p.surface);
    int stride = cairo_image_surface_get_stride(p.surface);
    // A warm rim: the alpha of the block grown by a few pixels, placed behind the sprite.
    const int r = 3;
    std::vector<float> alpha(w * h), grown(w * h), tmp(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            alpha[y * w + x] = read_px(data, stride, x, y).a;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float m = 0;
            // the rim stays inside its own cell
            int lo = x / cw * cw, hi = std::min(w, lo + cw) - 1;
            for (int k = std::max(lo, x - r); k <= std::min(hi, x + r); ++k) {
                m = std::max(m, alpha[y * w + k]);
            }
            tmp[y * w + x] = m;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float m = 0;
            int lo = y / ch * ch, hi = std::min(h, lo + ch) - 1;
            for (int k = std::max(lo, y - r); k <= std::min(hi, y + r); ++k) {
                m = std::max(m, tmp[k * w + x]);
            }
            grown[y * w + x] = m;
        }
    }
    const Px rim = {1.0f, 0.93f, 0.55f, 0.85f};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Px s = read_px(data, stride, x, y);
            s.r = s.r + (1 - s.r) * 0.35f;
            s.g = s.g + (1 - s.g) * 0.35f;
            s.b = s.b + (1 - s.b) * 0.25f;
            float ga = grown[y * w + x] * rim.a;
            float a = s.a + ga * (1 - s.a);
            Px o = {0, 0, 0, a};
            if (a > 0) {
                o.r = (s.r * s.a + rim.r * ga * (1 - s.a)) / a;
                o.g = (s.g * s.a + rim.g * ga * (1 - s.a)) / a;
                o.b = (s.b * s.a + rim.b * ga * (1 - s.a)) / a;
            }
            write_px(data, stride, x + dx, y, o);
        }
    }
    cairo_surface_mark_dirty(p.surface);
}

void flash_copy(Pic& p, int w, int h, int dx) {
    cairo_surface_flush(p.surface);
    uint8_t* data = cairo_image_surface_get_data(p.surface);
    int stride = cairo_image_surface_get_stride(p.surface);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Px s = read_px(data, stride, x, y);
            s.r = s.r + (1 - s.r) * 0.7f;
            s.g = s.g + (1 - s.g) * 0.6f;
            s.b = s.b + (1 - s.b) * 0.6f;
            write_px(data, stride, x + dx, y, s);
        }
    }
    cairo_surface_mark_dirty(p.surface);
}

void fade_region(Pic& p, int x0, int y0, int w, int h, double factor) {
    cairo_surface_flush(p.surface);
    uint8_t* data = cairo_image_surface_get_data(p.surface);
    int stride = cairo_image_surface_get_stride(p.surface);
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            Px s = read_px(data, stride, x, y);
            s.a *= static_cast<float>(factor);
            write_px(data, stride, x, y, s);
        }
    }
    cairo_surface_mark_dirty(p.surface);
}

bool write_png(Pic& p, const std::string& path, bool opaque, std::string& error) {
    cairo_surface_flush(p.surface);
    const uint8_t* data = cairo_image_surface_get_data(p.surface);
    int stride = cairo_image_surface_get_stride(p.surface);
    std::vector<uint8_t> rows(static_cast<size_t>(p.w) * p.h * 4);
    for (int y = 0; y < p.h; ++y) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(data + y * stride);
        uint8_t* dst = &rows[static_cast<size_t>(y) * p.w * 4];
        for (int x = 0; x < p.w; ++x) {
            uint32_t v = src[x];
            uint32_t a = v >> 24, r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
            if (opaque) {
                // Premultiplied colour over black is the colour itself.
                a = 255;
            } else if (a == 0) {
                r = 128, g = 0, b = 128;
            } else if (a < 255) {
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            dst[x * 4 + 0] = static_cast<uint8_t>(r);
            dst[x * 4 + 1] = static_cast<uint8_t>(g);
            dst[x * 4 + 2] = static_cast<uint8_t>(b);
            dst[x * 4 + 3] = static_cast<uint8_t>(a);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        error = "libpng failed on " + path;
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, p.w, p.h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < p.h; ++y) {
        png_write_row(png, &rows[static_cast<size_t>(y) * p.w * 4]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) {
        error = "cannot finish " + path;
        return false;
    }
    return true;
}

} // namespace pics
