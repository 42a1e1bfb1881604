// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Draws every picture of the game into a png/ folder, or all of them onto one labelled contact
// sheet for review. --words lists where every word of the pictures was drawn, for the tests.
// --lang draws the pictures with another language's words (texts.LANG.txt over texts.txt), and
// writes only those whose words differ from the Japanese ones: the game takes the others as they
// are.
//   tovarine-pictures ASSETS_DIR OUT_DIR [--lang LANG] [--words FILE]
//   tovarine-pictures ASSETS_DIR --sheet FILE [--lang LANG]
#include "pictures.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace pics {

const std::vector<Entry>& catalogue() {
    static const std::vector<Entry> all = {
        {"map.png", 420, 120, false, draw_tiles},
        {"player.png", 900, 360, false, draw_player},
        {"Item_kuma.png", 1200, 480, false, draw_bear},
        {"Item_Ball.png", 480, 120, false, draw_ball},
        {"Item_Hopping.png", 480, 120, false, draw_hopping},
        {"Item_gun.png", 360, 120, false, draw_gun},
        {"Item_Book.png", 480, 120, false, draw_book},
        {"title.png", 640, 480, true, draw_title},
        {"over.png", 640, 480, true, draw_over},
        {"clear.png", 640, 480, true, draw_clear},
        {"Item.png", 120, 120, false, draw_hearts},
        {"ritem.png", 250, 50, true, draw_item_frames},
        {"enemy1.png", 480, 120, false, draw_rat},
        {"enemy2.png", 240, 120, false, draw_bat},
        {"enemy3.png", 240, 120, false, draw_spider},
        {"enemyB1.png", 2000, 400, false, draw_dog},
        {"enemyB2.png", 2000, 600, false, draw_diver},
        {"enemyB3.png", 360, 180, false, draw_phantom},
        {"enemyB4.png", 4000, 800, false, draw_reaper},
        {"stage10.png", 640, 480, true, draw_stage10},
        {"stage11.png", 1500, 480, false, draw_stage11},
        {"stage12.png", 640, 480, false, draw_stage12},
        {"stage1b.png", 640, 480, true, draw_stage1b},
        {"stage20.png", 640, 480, true, draw_stage20},
        {"stage21.png", 1500, 480, false, draw_stage21},
        {"stage22.png", 640, 480, false, draw_stage22},
        {"stage2b.png", 640, 480, true, draw_stage2b},
        {"stage30.png", 640, 480, true, draw_stage30},
        {"stage31.png", 1500, 480, false, draw_stage31},
        {"stage32.png", 640, 480, false, draw_stage32},
        {"stage3b.png", 640, 480, true, draw_stage3b},
        {"stage41.png", 1500, 480, false, draw_stage41},
        {"stage4b.png", 640, 480, true, draw_stage4b},
        {"change.png", 720, 480, false, draw_wipe},
        {"cg01.png", 640, 480, true, draw_cg01},
        {"cg02.png", 640, 480, true, draw_cg02},
        {"cg03.png", 640, 480, true, draw_cg03},
        {"cg04.png", 640, 480, true, draw_cg04},
        {"cg05.png", 640, 480, true, draw_cg05},
        {"cg06.png", 640, 480, true, draw_cg06},
        {"tama.png", 160, 120, false, draw_shots},
        {"yaji.png", 120, 72, false, draw_arrow},
        {"light.png", 60, 20, false, draw_sparkles},
        {"car.png", 560, 240, false, draw_car},
        {"black.png", 640, 480, true, draw_black},
        {"red.png", 640, 480, true, draw_red},
        {"ending.png", 640, 3360, true, draw_ending},
        {"extra.png", 640, 480, true, draw_extra},
        {"weeks.png", 640, 480, true, draw_weeks},
        {"fog1.png", 640, 480, true, draw_fog1},
        {"fog2.png", 640, 480, true, draw_fog2},
        {"indication.png", 350, 600, false, draw_banners},
        {"button.png", 36, 18, false, draw_cursor},
        {"logo.png", 200, 40, true, draw_logo},
        {"load.png", 640, 480, true, draw_load},
        {"icon.png", 256, 256, false, draw_icon},
    };
    return all;
}

} // namespace pics

using namespace pics;

static void render(const Entry& e, Pic& p, const Assets& assets) {
    cairo_save(p.cr);
    e.draw(p, assets);
    cairo_restore(p.cr);
    cairo_surface_flush(p.surface);
}

// Each tile shows the picture scaled to fit over a checkerboard (so transparency shows) with
// its name and size underneath.
static int write_sheet(const Assets& assets, const std::string& path) {
    const int tile_w = 300, tile_h = 250, cols = 8;
    const auto& all = catalogue();
    int rows = static_cast<int>((all.size() + cols - 1) / cols);
    Pic sheet(tile_w * cols, tile_h * rows);
    cairo_t* cr = sheet.cr;
    set(cr, hex(0x202028));
    cairo_paint(cr);
    for (size_t i = 0; i < all.size(); ++i) {
        const Entry& e = all[i];
        Pic p(e.w, e.h);
        render(e, p, assets);
        double x0 = static_cast<double>(i % cols) * tile_w + 10;
        double y0 = static_cast<double>(i / cols) * tile_h + 10;
        double box_w = tile_w - 20, box_h = tile_h - 50;
        double s = std::min({box_w / e.w, box_h / e.h, 2.0});
        double dw = e.w * s, dh = e.h * s;
        double dx = x0 + (box_w - dw) / 2, dy = y0 + (box_h - dh) / 2;
        for (int cy = 0; cy * 10 < dh; ++cy) {
            for (int cx = 0; cx * 10 < dw; ++cx) {
                set(cr, ((cx + cy) % 2) ? hex(0x9a9aa0) : hex(0x6a6a72));
                cairo_rectangle(cr, dx + cx * 10, dy + cy * 10, std::min(10.0, dw - cx * 10),
                                std::min(10.0, dh - cy * 10));
                cairo_fill(cr);
            }
        }
        cairo_save(cr);
        cairo_translate(cr, dx, dy);
        cairo_scale(cr, s, s);
        cairo_set_source_surface(cr, p.surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        std::string label = std::string(e.name) + "  " + std::to_string(e.w) + "x" +
                            std::to_string(e.h) + (e.opaque ? "" : "  (keyed)");
        text(cr, label, x0, y0 + box_h + 26, 15, hex(0xffffff), hex(0), 0);
    }
    std::string error;
    if (!write_png(sheet, path, true, error)) {
        std::fprintf(stderr, "tovarine-pictures: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// One line per word: picture, the ink box x0 y0 x1 y1, the size of the surface it was drawn
// on (a backdrop painted into an illustration has its own), and the word.
static bool write_words(const std::string& path,
                        const std::vector<std::pair<std::string, Word>>& all) {
    std::ofstream out(path);
    for (const auto& [picture, w] : all) {
        out << picture << '\t' << w.x0 << '\t' << w.y0 << '\t' << w.x1 << '\t' << w.y1 << '\t'
            << w.surface_w << '\t' << w.surface_h << '\t' << w.utf8 << '\n';
    }
    return static_cast<bool>(out);
}

int main(int argc, char** argv) {
    std::string out_dir, sheet, words, language;
    bool ok = argc >= 3;
    for (int i = 2; ok && i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--sheet" || arg == "--words" || arg == "--lang") && i + 1 < argc) {
            (arg == "--sheet" ? sheet : arg == "--words" ? words : language) = argv[++i];
        } else if (out_dir.empty() && arg.rfind("--", 0) != 0) {
            out_dir = arg;
        } else {
            ok = false;
        }
    }
    if (!ok || out_dir.empty() == sheet.empty() || (!sheet.empty() && !words.empty())) {
        std::fprintf(stderr,
                     "usage: %s ASSETS_DIR OUT_DIR [--lang LANG] [--words FILE]\n"
                     "       %s ASSETS_DIR --sheet FILE [--lang LANG]\n",
                     argv[0], argv[0]);
        return 2;
    }
    Assets assets;
    std::string error;
    if (!load_assets(argv[1], language, assets, error)) {
        std::fprintf(stderr, "tovarine-pictures: %s\n", error.c_str());
        return 1;
    }
    try {
        if (!sheet.empty()) {
            return write_sheet(assets, sheet);
        }
        std::filesystem::create_directories(out_dir);
        std::vector<std::pair<std::string, Word>> placed;
        for (const Entry& e : catalogue()) {
            Pic p(e.w, e.h);
            std::vector<Word> drawn;
            record_words(&drawn);
            assets.take_changed_words();
            render(e, p, assets);
            record_words(nullptr);
            if (!language.empty() && !assets.take_changed_words()) {
                continue;
            }
            for (const Word& w : drawn) {
                placed.emplace_back(e.name, w);
            }
            if (!write_png(p, out_dir + "/" + e.name, e.opaque, error)) {
                std::fprintf(stderr, "tovarine-pictures: %s\n", error.c_str());
                return 1;
            }
        }
        if (!words.empty() && !write_words(words, placed)) {
            std::fprintf(stderr, "tovarine-pictures: cannot write %s\n", words.c_str());
            return 1;
        }
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "tovarine-pictures: %s\n", ex.what());
        return 1;
    }
    cairo_debug_reset_static_data();
    return 0;
}
