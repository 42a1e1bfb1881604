// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Scales the game's icon down to the sizes desktops look for.
// Usage: iconsizes ICON.png OUTDIR SIZE... writes OUTDIR/SIZExSIZE.png for each size.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

bool Read(const char* path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        std::fprintf(stderr, "iconsizes: %s: %s\n", path, image.message);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "iconsizes: %s: %s\n", path, image.message);
        return false;
    }
    return true;
}

bool Write(const std::string& path, const Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "iconsizes: %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

// Each output pixel is the area-weighted mean of the source pixels it covers, with the colours
// weighted by their alpha so that transparent pixels do not darken the edges.
Picture Scale(const Picture& source, int size) {
    Picture out;
    out.width = size;
    out.height = size;
    out.rgba.resize(static_cast<size_t>(size) * size * 4);
    const double sx = static_cast<double>(source.width) / size;
    const double sy = static_cast<double>(source.height) / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (int v = static_cast<int>(y * sy); v < source.height && v < (y + 1) * sy; ++v) {
                const double h =
                    std::min<double>(v + 1, (y + 1) * sy) - std::max<double>(v, y * sy);
                for (int u = static_cast<int>(x * sx); u < source.width && u < (x + 1) * sx; ++u) {
                    const double w =
                        (std::min<double>(u + 1, (x + 1) * sx) - std::max<double>(u, x * sx)) * h;
                    const unsigned char* p =
                        &source.rgba[(static_cast<size_t>(v) * source.width + u) * 4];
                    const double alpha = p[3] * w;
                    sum[0] += p[0] * alpha;
                    sum[1] += p[1] * alpha;
                    sum[2] += p[2] * alpha;
                    sum[3] += alpha;
                    area += w;
                }
            }
            unsigned char* q = &out.rgba[(static_cast<size_t>(y) * size + x) * 4];
            for (int c = 0; c < 3; ++c) {
                q[c] = sum[3] > 0 ? static_cast<unsigned char>(sum[c] / sum[3] + 0.5) : 0;
            }
            q[3] = area > 0 ? static_cast<unsigned char>(sum[3] / area + 0.5) : 0;
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "Usage: iconsizes ICON.png OUTDIR SIZE...\n");
        return 2;
    }
    Picture icon;
    if (!Read(argv[1], icon)) {
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > icon.width || size > icon.height) {
            std::fprintf(stderr, "iconsizes: no icon of size %s from a %dx%d picture\n", argv[i],
                         icon.width, icon.height);
            return 2;
        }
        const std::string name = std::to_string(size);
        if (!Write(std::string(argv[2]) + "/" + name + "x" + name + ".png", Scale(icon, size))) {
            return 1;
        }
    }
    return 0;
}
