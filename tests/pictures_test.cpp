// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// The pictures the build draws into png/: the game loads them by exact name and cuts them
// into cells by fixed coordinates, so names, sizes, the colour key and solid backgrounds
// must all be right.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* at(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * w + x) * 4];
    }
};

bool load(const std::string& name, Image& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    std::string path = std::string(PICTURES_DIR) + "/" + name;
    if (!png_image_begin_read_from_file(&img, path.c_str())) {
        return false;
    }
    img.format = PNG_FORMAT_RGBA;
    out.w = static_cast<int>(img.width);
    out.h = static_cast<int>(img.height);
    out.rgba.resize(PNG_IMAGE_SIZE(img));
    bool ok = png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr) != 0;
    png_image_free(&img);
    return ok;
}

struct Expected {
    const char* name;
    int w, h;
    bool opaque; // drawn without the colour key
};

// The game's catalogue, as the game writes the names.
const Expected kCatalogue[] = {
    {"map.png", 420, 120, false},          {"player.png", 900, 360, false},
    {"Item_kuma.png", 1200, 480, false},   {"Item_Ball.png", 480, 120, false},
    {"Item_Hopping.png", 480, 120, false}, {"Item_gun.png", 360, 120, false},
    {"Item_Book.png", 480, 120, false},    {"title.png", 640, 480, true},
    {"over.png", 640, 480, true},          {"clear.png", 640, 480, true},
    {"Item.png", 120, 120, false},         {"ritem.png", 250, 50, true},
    {"enemy1.png", 480, 120, false},       {"enemy2.png", 240, 120, false},
    {"enemy3.png", 240, 120, false},       {"enemyB1.png", 2000, 400, false},
    {"enemyB2.png", 2000, 600, false},     {"enemyB3.png", 360, 180, false},
    {"enemyB4.png", 4000, 800, false},     {"stage10.png", 640, 480, true},
    {"stage11.png", 1500, 480, false},     {"stage12.png", 640, 480, false},
    {"stage1b.png", 640, 480, true},       {"stage20.png", 640, 480, true},
    {"stage21.png", 1500, 480, false},     {"stage22.png", 640, 480, false},
    {"stage2b.png", 640, 480, true},       {"stage30.png", 640, 480, true},
    {"stage31.png", 1500, 480, false},     {"stage32.png", 640, 480, false},
    {"stage3b.png", 640, 480, true},       {"stage41.png", 1500, 480, false},
    {"stage4b.png", 640, 480, true},       {"change.png", 720, 480, false},
    {"cg01.png", 640, 480, true},          {"cg02.png", 640, 480, true},
    {"cg03.png", 640, 480, true},          {"cg04.png", 640, 480, true},
    {"cg05.png", 640, 480, true},          {"cg06.png", 640, 480, true},
    {"tama.png", 160, 120, false},         {"yaji.png", 120, 72, false},
    {"light.png", 60, 20, false},          {"car.png", 560, 240, false},
    {"black.png", 640, 480, true},         {"red.png", 640, 480, true},
    {"ending.png", 640, 3360, true},       {"extra.png", 640, 480, true},
    {"weeks.png", 640, 480, true},         {"fog1.png", 640, 480, true},
    {"fog2.png", 640, 480, true},          {"indication.png", 350, 600, false},
    {"button.png", 36, 18, false},         {"logo.png", 200, 40, true},
    {"load.png", 640, 480, true},
};

// Counts the pixels of a rectangle with at least the given alpha.
int count_pixels(const Image& img, int x0, int y0, int w, int h, int alpha) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            n += img.at(x, y)[3] >= alpha;
        }
    }
    return n;
}

TEST(Pictures, EveryFileOfTheCatalogueHasItsSizeAndItsBackground) {
    // Opaque pictures have no holes. In the others, fully transparent pixels must also be 128, 0,
    // 128, so the colour key and the alpha agree.
    for (const Expected& e : kCatalogue) {
        SCOPED_TRACE(e.name);
        Image img;
        ASSERT_TRUE(load(e.name, img)) << "missing or unreadable";
        EXPECT_EQ(img.w, e.w);
        EXPECT_EQ(img.h, e.h);
        int transparent = 0, wrong = 0;
        for (size_t i = 0; i < img.rgba.size(); i += 4) {
            const uint8_t* p = &img.rgba[i];
            transparent += p[3] == 0;
            wrong += p[3] == 0 && !(p[0] == 128 && p[1] == 0 && p[2] == 128);
        }
        if (e.opaque) {
            EXPECT_EQ(transparent, 0) << "holes in an opaque picture";
        } else {
            EXPECT_EQ(wrong, 0) << "transparent pixels without the colour key";
            EXPECT_GT(transparent, 0) << "no transparent pixel at all";
        }
    }
}

// What the game relies on: cells it never draws are empty, cells it draws hold a figure, and
// backgrounds are solid where they cover what lies behind them.
TEST(Pictures, UnusedCellsAreEmptyUsedCellsAreNotAndBackgroundsHaveNoHoles) {
    enum Fill { Empty, Used, Solid };
    struct Area {
        const char* name;
        int x, y, w, h;
        Fill fill;
    };
    const Area cells[] = {
        {"map.png", 0, 0, 60, 120, Empty},           // tile value 0 is never drawn
        {"player.png", 180, 180, 720, 180, Empty},   // only the first ghost cell is used
        {"player.png", 0, 180, 180, 180, Used},      // the ghost
        {"player.png", 720, 0, 180, 180, Used},      // the last walking frame
        {"Item_kuma.png", 480, 360, 120, 120, Used}, // the bear lying in the stage
        {"Item_kuma.png", 1080, 360, 120, 120, Used},
        {"Item_kuma.png", 240, 360, 240, 120, Empty},
        {"Item_kuma.png", 840, 360, 240, 120, Empty},
        {"Item_gun.png", 240, 60, 60, 60, Used}, // highlighted recoil
        {"enemy1.png", 0, 60, 240, 60, Empty},   // a dying rat uses columns 2 and 3 only
        {"enemy1.png", 360, 60, 120, 60, Used},
        {"enemy2.png", 0, 60, 120, 60, Empty},
        {"enemy3.png", 0, 60, 120, 60, Empty},
        {"enemyB1.png", 800, 200, 200, 200, Empty},
        {"enemyB1.png", 1600, 200, 200, 200, Used}, // flash copy of the dying dog
        {"enemyB2.png", 0, 400, 400, 200, Empty},
        {"enemyB2.png", 800, 400, 200, 200, Empty},
        {"enemyB4.png", 3600, 400, 400, 400, Used}, // flash copy of the idle reaper
        {"tama.png", 0, 0, 10, 10, Used},           // the three small shots, the big one
        {"tama.png", 10, 0, 15, 15, Used},
        {"tama.png", 25, 0, 15, 15, Used},
        {"tama.png", 40, 0, 120, 120, Used},
        {"tama.png", 0, 15, 40, 105, Empty}, // below the three small shots
        {"light.png", 40, 0, 20, 20, Used},
        {"button.png", 18, 0, 18, 18, Used},
        {"indication.png", 0, 540, 350, 60, Used},
    };
    // The arena is swapped in while the wipe stands at x -40: screen columns 0..639 are picture
    // columns 40..679 then. The far layer must show through the top of every near layer, and holes
    // in the ground must not show the sky below the street.
    const Area backgrounds[] = {
        {"change.png", 40, 0, 640, 480, Solid},   {"stage11.png", 0, 0, 1500, 20, Empty},
        {"stage11.png", 0, 440, 1500, 40, Solid}, {"stage21.png", 0, 0, 1500, 20, Empty},
        {"stage21.png", 0, 440, 1500, 40, Solid}, {"stage31.png", 0, 0, 1500, 20, Empty},
        {"stage31.png", 0, 440, 1500, 40, Solid}, {"stage41.png", 0, 0, 1500, 20, Empty},
        {"stage41.png", 0, 440, 1500, 40, Solid},
    };
    std::vector<Area> areas(std::begin(cells), std::end(cells));
    areas.insert(areas.end(), std::begin(backgrounds), std::end(backgrounds));
    for (const Area& a : areas) {
        SCOPED_TRACE(std::string(a.name) + " at " + std::to_string(a.x) + ", " +
                     std::to_string(a.y));
        Image img;
        ASSERT_TRUE(load(a.name, img));
        if (a.fill == Used) {
            EXPECT_GT(count_pixels(img, a.x, a.y, a.w, a.h, 1), 20);
        } else if (a.fill == Empty) {
            EXPECT_EQ(count_pixels(img, a.x, a.y, a.w, a.h, 1), 0);
        } else {
            EXPECT_EQ(count_pixels(img, a.x, a.y, a.w, a.h, 255), a.w * a.h);
        }
    }
}

// Sheets whose every cell holds one whole figure: whatever reaches a cell's edge is cut off
// there, and shows in the game as a straight edge (or as a sliver in the next cell). Figures
// that stand on the ground may rest on the bottom edge.
struct Sheet {
    const char* name;
    int cw, ch;
    bool stands;
};

const Sheet kSheets[] = {
    {"player.png", 180, 180, true},   {"Item_kuma.png", 120, 120, true},
    {"Item_Ball.png", 60, 60, true},  {"Item_Hopping.png", 60, 120, true},
    {"Item_Book.png", 60, 60, true},  {"Item_gun.png", 60, 60, false},
    {"Item.png", 60, 60, false},      {"enemy1.png", 120, 60, true},
    {"enemy2.png", 60, 60, false},    {"enemy3.png", 60, 60, true},
    {"enemyB1.png", 200, 200, false}, {"enemyB2.png", 200, 200, false},
    {"enemyB3.png", 180, 180, false}, {"enemyB4.png", 400, 400, false},
    {"light.png", 20, 20, false},     {"button.png", 18, 18, false},
    {"yaji.png", 120, 72, false},     {"indication.png", 350, 60, false},
    {"car.png", 560, 240, false},
};

// From this alpha on a pixel shows; fainter fringes of glows do not read as a cut.
constexpr int kVisibleAlpha = 16;

TEST(Pictures, NoFigureIsCutByTheEdgeOfItsCell) {
    for (const Sheet& s : kSheets) {
        Image img;
        ASSERT_TRUE(load(s.name, img)) << s.name;
        for (int y0 = 0; y0 + s.ch <= img.h; y0 += s.ch) {
            for (int x0 = 0; x0 + s.cw <= img.w; x0 += s.cw) {
                const int top = count_pixels(img, x0, y0, s.cw, 1, kVisibleAlpha);
                const int bottom = count_pixels(img, x0, y0 + s.ch - 1, s.cw, 1, kVisibleAlpha);
                const int left = count_pixels(img, x0, y0, 1, s.ch, kVisibleAlpha);
                const int right = count_pixels(img, x0 + s.cw - 1, y0, 1, s.ch, kVisibleAlpha);
                EXPECT_EQ(top + left + right + (s.stands ? 0 : bottom), 0)
                    << s.name << " cell at " << x0 << ", " << y0 << " is cut: " << top
                    << " pixels at the top, " << bottom << " at the bottom, " << left
                    << " at the left, " << right << " at the right";
            }
        }
    }
}

TEST(Pictures, EveryWordLiesInsideItsPictureWithAMargin) {
#ifndef PICTURES_WORDS
    GTEST_SKIP() << "the pictures were taken from another build";
#else
    // Written by the generator beside the pictures: picture, ink box, surface size, word; the
    // English list for the English pictures.
    const double margin = 6;
    for (const char* list : {PICTURES_WORDS, PICTURES_WORDS_EN}) {
        std::ifstream in(list);
        ASSERT_TRUE(in) << list;
        int words = 0;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string picture, word;
            double x0, y0, x1, y1;
            int w, h;
            ASSERT_TRUE(fields >> picture >> x0 >> y0 >> x1 >> y1 >> w >> h) << line;
            std::getline(fields >> std::ws, word);
            ++words;
            EXPECT_TRUE(x0 >= margin && y0 >= margin && x1 <= w - margin && y1 <= h - margin)
                << picture << ": \"" << word << "\" lies at " << x0 << ", " << y0 << " - " << x1
                << ", " << y1 << " in " << w << " x " << h;
        }
        EXPECT_GE(words, 25) << list
                             << ": the words of the title, banners, screens and ending roll";
    }
#endif
}

[[maybe_unused]] std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Pictures, DrawingAgainGivesTheSameBytes) {
#ifndef PICTURES_GENERATOR
    GTEST_SKIP() << "the pictures were taken from another build";
#else
    const fs::path dir =
        fs::temp_directory_path() / ("tovarine-pictures-" + std::to_string(getpid()));
    const auto draw = [](const fs::path& into, const std::string& options) {
        const std::string cmd = std::string("\"") + PICTURES_GENERATOR + "\" \"" + PICTURES_ASSETS +
                                "\" \"" + into.string() + "\"" + options;
        return std::system(cmd.c_str()) == 0;
    };
    ASSERT_TRUE(draw(dir, ""));
    for (const Expected& e : kCatalogue) {
        std::string again = slurp(dir / e.name);
        EXPECT_FALSE(again.empty()) << e.name;
        EXPECT_TRUE(again == slurp(fs::path(PICTURES_DIR) / e.name)) << e.name << " differs";
    }
    // The English pictures: the same ones again, each of the size of its Japanese one.
    ASSERT_TRUE(draw(dir / "en", " --lang en"));
    int english = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(PICTURES_DIR) / "en")) {
        const std::string name = entry.path().filename().string();
        ++english;
        EXPECT_TRUE(slurp(dir / "en" / name) == slurp(entry.path())) << "en/" << name << " differs";
        Image ja, en;
        ASSERT_TRUE(load(name, ja) && load("en/" + name, en)) << name;
        EXPECT_TRUE(ja.w == en.w && ja.h == en.h) << "en/" << name;
    }
    EXPECT_EQ(english, std::distance(fs::directory_iterator(dir / "en"), fs::directory_iterator()));
    fs::remove_all(dir);
#endif
}

} // namespace
