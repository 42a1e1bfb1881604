// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Images and the back buffer: PNG loading, blits with the four blend modes, rectangles.
//
// Pictures are kept as 0xAARRGGBB with straight alpha. With the transparency flag set, a pixel in
// the transparent colour is skipped and the picture's own alpha is honoured, so sprites may have
// soft edges; with the flag clear every pixel is drawn as opaque.
#include "engine.h"
#include "headless.h"
#include "internal.h"

#include <png.h>
#include <sys/mman.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__)
#include <immintrin.h>
#define TOVARINE_AVX2 1
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace engine {

uint32_t BackBuffer[ScreenWidth * ScreenHeight];

namespace {

constexpr int MaxImages = 1024;
constexpr int SlotBits = 10;

struct Image {
    bool used = false;
    uint32_t generation = 0;
    int width = 0;
    int height = 0;
    bool opaque = false; // no key colour and no alpha below 255: rows can be copied
    uint32_t* pixels = nullptr;
};

Image Images[MaxImages];
int BlendMode = 0;
int BlendParameter = 255;
uint32_t KeyColor = 0x800080;

Image* FindImage(int handle) {
    return RecordOfHandle<SlotBits>(Images, handle);
}

// Rounded x / 255 for x in 0..65535, without a division.
inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Red and blue travel together in one word, green on its own: every channel's product stays
// within its 16-bit lane. Each result is the rounded channel x f / 255.
inline uint32_t ScalePacked(uint32_t c, uint32_t f) {
    uint32_t rb = (c & 0xFF00FF) * f + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    uint32_t g = (c & 0xFF00) * f + 0x8000;
    g = ((g + ((g >> 8) & 0xFF00)) >> 8) & 0xFF00;
    return rb | g;
}

// s x f + d x (255 - f), over 255, rounded, per channel.
inline uint32_t MixPacked(uint32_t s, uint32_t d, uint32_t f) {
    const uint32_t inv = 255 - f;
    uint32_t rb = (s & 0xFF00FF) * f + (d & 0xFF00FF) * inv + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    uint32_t g = (s & 0xFF00) * f + (d & 0xFF00) * inv + 0x8000;
    g = ((g + ((g >> 8) & 0xFF00)) >> 8) & 0xFF00;
    return rb | g;
}

// Per-channel d + a, saturated at 255.
inline uint32_t AddSaturated(uint32_t d, uint32_t a) {
    uint32_t rb = (d & 0xFF00FF) + (a & 0xFF00FF);
    uint32_t g = (d & 0xFF00) + (a & 0xFF00);
    const uint32_t rbOver = rb & 0x1000100;
    const uint32_t gOver = g & 0x10000;
    rb |= rbOver - (rbOver >> 8);
    g |= gOver - (gOver >> 8);
    return (rb & 0xFF00FF) | (g & 0xFF00);
}

// source x (1 - screen), per channel: white inverts the screen, black darkens it.
inline uint32_t InvertMultiply(uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t sc = (s >> shift) & 0xFF;
        const uint32_t dc = (d >> shift) & 0xFF;
        out |= Div255(sc * (255 - dc)) << shift;
    }
    return out;
}

// One pixel of the current blend mode; coverage is the source's own alpha (255 = opaque).
template <int Mode>
inline uint32_t BlendPixel(uint32_t dst, uint32_t src, uint32_t coverage, uint32_t parameter) {
    if constexpr (Mode == 0) {
        return coverage == 255 ? src & 0xFFFFFF : MixPacked(src, dst, coverage);
    } else {
        const uint32_t f = coverage == 255 ? parameter : Div255(parameter * coverage);
        if constexpr (Mode == 1) {
            return MixPacked(src, dst, f);
        } else if constexpr (Mode == 2) {
            return AddSaturated(dst, ScalePacked(src, f));
        } else {
            return MixPacked(InvertMultiply(src, dst), dst, f);
        }
    }
}

#if defined(__SSE2__)
// The same arithmetic as the scalar helpers, on eight 16-bit channels at once: every product and
// sum stays below 65536, so the results are bit for bit those of the scalar code.
// (x + 128) x 257 / 65536 equals the scalar Div255 for every x the blends produce (up to 255 x
// 255).
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// s x f + d x (255 - f) as (s - d) x f + d x 255: one multiply less. The lanes wrap in between,
// but the sum is below 65536, so it comes out exact.
inline __m128i Mix16(__m128i s, __m128i d, __m128i f) {
    const __m128i d255 = _mm_sub_epi16(_mm_slli_epi16(d, 8), d);
    return Div255x8(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(s, d), f), d255));
}

// Channels of two pixels, in 16-bit lanes, blended by their factors f (one per pixel, in all
// four of its lanes).
template <int Mode>
inline __m128i Blend16(__m128i s, __m128i d, __m128i f) {
    if constexpr (Mode == 2) {
        return Div255x8(_mm_mullo_epi16(s, f));
    } else if constexpr (Mode == 3) {
        const __m128i inverted =
            Div255x8(_mm_mullo_epi16(s, _mm_sub_epi16(_mm_set1_epi16(255), d)));
        return Mix16(inverted, d, f);
    } else {
        return Mix16(s, d, f);
    }
}

// Four pixels at a time; returns how many were drawn, the caller finishes the rest. A pixel that
// is skipped (key colour, zero alpha) keeps the screen's value exactly.
template <int Mode, bool Keyed, bool UseAlpha>
int BlendRowSse2(uint32_t* dst, const uint32_t* src, int count, int step, uint32_t parameter) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i rgb = _mm_set1_epi32(0xFFFFFF);
    const __m128i opaque = _mm_set1_epi32(255);
    const __m128i key = _mm_set1_epi32(static_cast<int>(KeyColor));
    const __m128i param = _mm_set1_epi32(static_cast<int>(parameter));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s;
        if (step > 0) {
            s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        } else {
            s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src - i - 3));
            s = _mm_shuffle_epi32(s, _MM_SHUFFLE(0, 1, 2, 3));
        }
        auto* out = reinterpret_cast<__m128i*>(dst + i);
        if constexpr (Mode == 0 && !UseAlpha) {
            _mm_storeu_si128(out, _mm_and_si128(s, rgb));
            continue;
        }
        __m128i skip = zero;
        if constexpr (Keyed) {
            skip = _mm_cmpeq_epi32(_mm_and_si128(s, rgb), key);
        }
        const __m128i coverage = UseAlpha ? _mm_srli_epi32(s, 24) : opaque;
        if constexpr (UseAlpha) {
            skip = _mm_or_si128(skip, _mm_cmpeq_epi32(coverage, zero));
        }
        if constexpr (Mode == 0) {
            // Sprites are mostly wholly opaque or wholly transparent runs.
            const int skipped = _mm_movemask_ps(_mm_castsi128_ps(skip));
            if (skipped == 0xF) {
                continue;
            }
            const int full = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(coverage, opaque)));
            if (skipped == 0 && full == 0xF) {
                _mm_storeu_si128(out, _mm_and_si128(s, rgb));
                continue;
            }
        }
        __m128i f;
        if constexpr (Mode == 0) {
            f = coverage;
        } else if constexpr (!UseAlpha) {
            f = param;
        } else {
            f = Div255x8(_mm_mullo_epi16(param, coverage)); // the upper halves come out 0
        }
        const __m128i fw = _mm_or_si128(f, _mm_slli_epi32(f, 16));
        const __m128i fLo = _mm_unpacklo_epi32(fw, fw);
        const __m128i fHi = _mm_unpackhi_epi32(fw, fw);
        const __m128i d = _mm_loadu_si128(out);
        const __m128i dLo = _mm_unpacklo_epi8(d, zero);
        const __m128i dHi = _mm_unpackhi_epi8(d, zero);
        __m128i r = _mm_packus_epi16(Blend16<Mode>(_mm_unpacklo_epi8(s, zero), dLo, fLo),
                                     Blend16<Mode>(_mm_unpackhi_epi8(s, zero), dHi, fHi));
        if constexpr (Mode == 2) {
            r = _mm_adds_epu8(d, r);
        }
        r = _mm_and_si128(r, rgb);
        if constexpr (Keyed || UseAlpha) {
            r = _mm_or_si128(_mm_and_si128(skip, d), _mm_andnot_si128(skip, r));
        }
        _mm_storeu_si128(out, r);
    }
    return i;
}
#endif

#if defined(TOVARINE_AVX2)
// The same kernel eight pixels at a time, for processors that have AVX2 (checked when the program
// starts). Unpacking and packing work within each 128-bit half, so the lanes line up as above.
#define AVX2_FUNCTION __attribute__((target("avx2")))

AVX2_FUNCTION inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

AVX2_FUNCTION inline __m256i Mix16x(__m256i s, __m256i d, __m256i f) {
    const __m256i d255 = _mm256_sub_epi16(_mm256_slli_epi16(d, 8), d);
    return Div255x16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(s, d), f), d255));
}

template <int Mode>
AVX2_FUNCTION inline __m256i Blend16x(__m256i s, __m256i d, __m256i f) {
    if constexpr (Mode == 2) {
        return Div255x16(_mm256_mullo_epi16(s, f));
    } else if constexpr (Mode == 3) {
        const __m256i inverted =
            Div255x16(_mm256_mullo_epi16(s, _mm256_sub_epi16(_mm256_set1_epi16(255), d)));
        return Mix16x(inverted, d, f);
    } else {
        return Mix16x(s, d, f);
    }
}

template <int Mode, bool Keyed, bool UseAlpha>
AVX2_FUNCTION int BlendRowAvx2(uint32_t* dst, const uint32_t* src, int count, int step,
                               uint32_t parameter) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF);
    const __m256i opaque = _mm256_set1_epi32(255);
    const __m256i key = _mm256_set1_epi32(static_cast<int>(KeyColor));
    const __m256i param = _mm256_set1_epi32(static_cast<int>(parameter));
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s;
        if (step > 0) {
            s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        } else {
            s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src - i - 7));
            s = _mm256_permutevar8x32_epi32(s, reverse);
        }
        auto* out = reinterpret_cast<__m256i*>(dst + i);
        if constexpr (Mode == 0 && !UseAlpha) {
            _mm256_storeu_si256(out, _mm256_and_si256(s, rgb));
            continue;
        }
        __m256i skip = zero;
        if constexpr (Keyed) {
            skip = _mm256_cmpeq_epi32(_mm256_and_si256(s, rgb), key);
        }
        const __m256i coverage = UseAlpha ? _mm256_srli_epi32(s, 24) : opaque;
        if constexpr (UseAlpha) {
            skip = _mm256_or_si256(skip, _mm256_cmpeq_epi32(coverage, zero));
        }
        if constexpr (Mode == 0) {
            const int skipped = _mm256_movemask_ps(_mm256_castsi256_ps(skip));
            if (skipped == 0xFF) {
                continue;
            }
            const int full =
                _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(coverage, opaque)));
            if (skipped == 0 && full == 0xFF) {
                _mm256_storeu_si256(out, _mm256_and_si256(s, rgb));
                continue;
            }
        }
        __m256i f;
        if constexpr (Mode == 0) {
            f = coverage;
        } else if constexpr (!UseAlpha) {
            f = param;
        } else {
            f = Div255x16(_mm256_mullo_epi16(param, coverage));
        }
        const __m256i fw = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));
        const __m256i fLo = _mm256_unpacklo_epi32(fw, fw);
        const __m256i fHi = _mm256_unpackhi_epi32(fw, fw);
        const __m256i d = _mm256_loadu_si256(out);
        const __m256i dLo = _mm256_unpacklo_epi8(d, zero);
        const __m256i dHi = _mm256_unpackhi_epi8(d, zero);
        __m256i r = _mm256_packus_epi16(Blend16x<Mode>(_mm256_unpacklo_epi8(s, zero), dLo, fLo),
                                        Blend16x<Mode>(_mm256_unpackhi_epi8(s, zero), dHi, fHi));
        if constexpr (Mode == 2) {
            r = _mm256_adds_epu8(d, r);
        }
        r = _mm256_and_si256(r, rgb);
        if constexpr (Keyed || UseAlpha) {
            r = _mm256_or_si256(_mm256_and_si256(skip, d), _mm256_andnot_si256(skip, r));
        }
        _mm256_storeu_si256(out, r);
    }
    return i;
}

const bool HasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

// Draws one clipped row. step is +1, or -1 for a mirrored row (src then points at its last pixel).
template <int Mode, bool Keyed, bool UseAlpha>
void BlendRow(uint32_t* dst, const uint32_t* src, int count, int step, uint32_t parameter) {
    int i = 0;
#if defined(TOVARINE_AVX2)
    if (HasAvx2) {
        i = BlendRowAvx2<Mode, Keyed, UseAlpha>(dst, src, count, step, parameter);
    }
#endif
#if defined(__SSE2__)
    i += BlendRowSse2<Mode, Keyed, UseAlpha>(dst + i, src + i * step, count - i, step, parameter);
#endif
    src += i * step;
    for (; i < count; ++i, src += step) {
        const uint32_t s = *src;
        if (Keyed && (s & 0xFFFFFF) == KeyColor) {
            continue;
        }
        const uint32_t coverage = UseAlpha ? s >> 24 : 255;
        if (UseAlpha && coverage == 0) {
            continue;
        }
        dst[i] = BlendPixel<Mode>(dst[i], s, coverage, parameter);
    }
}

template <int Mode>
void BlendRowOf(uint32_t* dst, const uint32_t* src, int count, int step, bool keyed, bool useAlpha,
                uint32_t parameter) {
    if (keyed) {
        BlendRow<Mode, true, true>(dst, src, count, step, parameter);
    } else if (useAlpha) {
        BlendRow<Mode, false, true>(dst, src, count, step, parameter);
    } else {
        BlendRow<Mode, false, false>(dst, src, count, step, parameter);
    }
}

// keyed: skip the transparent colour; useAlpha: honour the source's alpha (always, when keyed).
void DrawRow(uint32_t* dst, const uint32_t* src, int count, int step, bool keyed, bool useAlpha) {
    const uint32_t p = static_cast<uint32_t>(BlendParameter);
    switch (BlendMode) {
    case 1:
        BlendRowOf<1>(dst, src, count, step, keyed, useAlpha, p);
        break;
    case 2:
        BlendRowOf<2>(dst, src, count, step, keyed, useAlpha, p);
        break;
    case 3:
        BlendRowOf<3>(dst, src, count, step, keyed, useAlpha, p);
        break;
    default:
        BlendRowOf<0>(dst, src, count, step, keyed, useAlpha, p);
        break;
    }
}

// Draws the w x h region at (sx, sy) of a picture with its top-left at (x, y), clipped to the
// screen and to the picture.
void Blit(int x, int y, const uint32_t* pixels, int pitch, int imageW, int imageH, int sx, int sy,
          int w, int h, bool keyed, bool useAlpha, bool mirror) {
    if (sx < 0) {
        w += sx;
        if (!mirror) {
            x -= sx;
        }
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        y -= sy;
        sy = 0;
    }
    if (sx + w > imageW) {
        if (mirror) {
            x += sx + w - imageW;
        }
        w = imageW - sx;
    }
    h = std::min(h, imageH - sy);
    // Clip against the screen; for a mirrored region the source runs backwards.
    int left = std::max(0, -x);
    int right = std::max(0, x + w - ScreenWidth);
    int top = std::max(0, -y);
    int bottom = std::max(0, y + h - ScreenHeight);
    const int count = w - left - right;
    const int rows = h - top - bottom;
    if (count <= 0 || rows <= 0) {
        return;
    }
    for (int row = 0; row < rows; ++row) {
        const uint32_t* srcRow = pixels + static_cast<size_t>(sy + top + row) * pitch;
        uint32_t* dstRow = BackBuffer + (y + top + row) * ScreenWidth + x + left;
        if (mirror) {
            DrawRow(dstRow, srcRow + sx + w - 1 - left, count, -1, keyed, useAlpha);
        } else {
            DrawRow(dstRow, srcRow + sx + left, count, 1, keyed, useAlpha);
        }
    }
}

int DrawRegionOf(const Image& image, int x, int y, int sx, int sy, int w, int h, int transparent,
                 int mirror) {
    const bool keyed = transparent != 0 && !image.opaque;
    Blit(x, y, image.pixels, image.width, image.width, image.height, sx, sy, w, h, keyed, keyed,
         mirror != 0);
    return 0;
}

// The pictures live side by side in a few large blocks backed by huge pages where the system
// allows: first touching 80 MB of fresh 4 KB pages costs a fifth of a second of page faults at
// start-up, with 2 MB pages almost nothing. Pictures are only ever freed all together. Sanitized
// builds use the ordinary heap, whose bounds the address checker knows.
#if defined(__SANITIZE_ADDRESS__) || defined(TOVARINE_SANITIZED)
constexpr bool UseArena = false;
#else
constexpr bool UseArena = true;
#endif
constexpr size_t ArenaBlockSize = size_t{32} << 20;
constexpr int MaxArenaBlocks = 32;

struct ArenaBlock {
    unsigned char* base = nullptr;
    size_t used = 0;
};
ArenaBlock Arena[MaxArenaBlocks];

uint32_t* ArenaAllocate(size_t bytes) {
    bytes = (bytes + 63) & ~size_t{63};
    if (!UseArena || bytes > ArenaBlockSize) {
        return nullptr;
    }
    for (ArenaBlock& block : Arena) {
        if (block.base == nullptr) {
            void* base = mmap(nullptr, ArenaBlockSize, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
            if (base == MAP_FAILED) {
                return nullptr;
            }
            madvise(base, ArenaBlockSize, MADV_HUGEPAGE);
            block.base = static_cast<unsigned char*>(base);
        }
        if (ArenaBlockSize - block.used >= bytes) {
            auto* pixels = reinterpret_cast<uint32_t*>(block.base + block.used);
            block.used += bytes;
            return pixels;
        }
    }
    return nullptr;
}

bool InArena(const uint32_t* pixels) {
    const auto* p = reinterpret_cast<const unsigned char*>(pixels);
    return std::any_of(std::begin(Arena), std::end(Arena), [p](const ArenaBlock& block) {
        return block.base != nullptr && p >= block.base && p < block.base + ArenaBlockSize;
    });
}

// Gives back the most recent allocation (a picture that failed to decode); anything else stays
// until all pictures are released.
void ArenaUndo(const uint32_t* pixels, size_t bytes) {
    bytes = (bytes + 63) & ~size_t{63};
    const auto* p = reinterpret_cast<const unsigned char*>(pixels);
    for (ArenaBlock& block : Arena) {
        if (block.base != nullptr && block.used >= bytes && p == block.base + block.used - bytes) {
            block.used -= bytes;
        }
    }
}

void ArenaReleaseAll() {
    for (ArenaBlock& block : Arena) {
        if (block.base != nullptr) {
            munmap(block.base, ArenaBlockSize);
        }
        block = ArenaBlock{};
    }
}

uint32_t* AllocatePixels(size_t bytes) {
    uint32_t* pixels = ArenaAllocate(bytes);
    return pixels != nullptr ? pixels : static_cast<uint32_t*>(std::malloc(bytes));
}

void FreePixels(uint32_t* pixels, size_t bytes) {
    if (InArena(pixels)) {
        ArenaUndo(pixels, bytes);
    } else {
        std::free(pixels);
    }
}

// A picture freed on its own inside a block gives its whole pages back to the system; the block's
// addresses are only reused once every picture is released.
void ArenaForget(const uint32_t* pixels, size_t bytes) {
    constexpr uintptr_t Page = 4096;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(pixels) + Page - 1) & ~(Page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(pixels) + bytes) & ~(Page - 1);
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
    }
}

void FreeImage(Image& image) {
    if (!InArena(image.pixels)) {
        std::free(image.pixels);
    } else {
        ArenaForget(image.pixels, static_cast<size_t>(image.width) * image.height * 4);
    }
    image.pixels = nullptr;
    image.used = false;
}

// Decodes a PNG into pixels from the given allocator; nullptr (and a line in the log) if the file
// cannot be read or is refused.
template <uint32_t* Allocate(size_t), void Free(uint32_t*, size_t)>
uint32_t* DecodePng(const char* file, int* width, int* height);

} // namespace

void ImagesReleaseAll() {
    for (Image& image : Images) {
        if (image.used) {
            FreeImage(image);
        }
    }
    ArenaReleaseAll();
}

namespace {

uint32_t* MallocPixels(size_t bytes) {
    return static_cast<uint32_t*>(std::malloc(bytes));
}

void FreeMallocPixels(uint32_t* pixels, size_t /*bytes*/) {
    std::free(pixels);
}

template <uint32_t* Allocate(size_t), void Free(uint32_t*, size_t)>
uint32_t* DecodePng(const char* file, int* width, int* height) {
    std::vector<unsigned char> data;
    char why[128];
    if (!ReadDataFile(file, MaxPictureFileBytes, data, why, sizeof why)) {
        LogLine(0, "LoadImageFile: cannot read %s (%s)", file, why);
        return nullptr;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.data(), data.size())) {
        LogLine(0, "LoadImageFile: cannot read %s (%s)", file, png.message);
        png_image_free(&png);
        return nullptr;
    }
    if (png.width == 0 || png.height == 0 || png.width > MaxPictureSide ||
        png.height > MaxPictureSide ||
        static_cast<size_t>(png.width) * png.height > MaxPicturePixels) {
        LogLine(0, "LoadImageFile: %s is %u x %u pixels, more than a picture may have; refused",
                file, png.width, png.height);
        png_image_free(&png);
        return nullptr;
    }
    png.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB
    const size_t bytes = static_cast<size_t>(png.width) * png.height * sizeof(uint32_t);
    uint32_t* pixels = Allocate(bytes);
    if (pixels == nullptr) {
        LogLine(0, "LoadImageFile: out of memory for %s", file);
        png_image_free(&png);
        return nullptr;
    }
    if (!png_image_finish_read(&png, nullptr, pixels, 0, nullptr)) {
        LogLine(0, "LoadImageFile: %s is damaged (%s)", file, png.message);
        png_image_free(&png);
        Free(pixels, bytes);
        return nullptr;
    }
    *width = static_cast<int>(png.width);
    *height = static_cast<int>(png.height);
    return pixels;
}

} // namespace

uint32_t* ReadPngFile(const char* file, int* width, int* height) {
    return DecodePng<MallocPixels, FreeMallocPixels>(file, width, height);
}

// Text is drawn through the same blitter: coverage in the alpha channel, no key colour.
void BlitText(int x, int y, const uint32_t* pixels, int width, int height) {
    Blit(x, y, pixels, width, width, height, 0, 0, width, height, false, true, false);
}

} // namespace engine

using namespace engine;

int LoadImageFile(const char* path, int /*flag*/) {
    ENGINE_ENTRY;
    if (!Running || path == nullptr) {
        return -1;
    }
    char file[512];
    NormalisePath(path, file, sizeof file);
    const int slot = FreeSlotOf(Images);
    if (slot < 0) {
        LogLine(0, "LoadImageFile: no free image slot for %s", file);
        return -1;
    }
    int width = 0;
    int height = 0;
    uint32_t* pixels = DecodePng<AllocatePixels, FreePixels>(file, &width, &height);
    if (pixels == nullptr) {
        return -1;
    }
    Image& image = Images[slot];
    image.used = true;
    image.generation = NextGeneration<SlotBits>(image.generation);
    image.width = width;
    image.height = height;
    image.pixels = pixels;
    const size_t count = static_cast<size_t>(width) * height;
    image.opaque = std::none_of(pixels, pixels + count, [](uint32_t p) {
        return (p >> 24) != 0xFF || (p & 0xFFFFFF) == KeyColor;
    });
    return HandleOf<SlotBits>(image.generation, slot);
}

int DrawImageAt(int x, int y, int handle, int transparent) {
    ENGINE_ENTRY;
    const Image* image = Running ? FindImage(handle) : nullptr;
    if (image == nullptr) {
        return -1;
    }
    return DrawRegionOf(*image, x, y, 0, 0, image->width, image->height, transparent, 0);
}

int DrawImageRegion(int x, int y, int srcX, int srcY, int width, int height, int handle,
                    int transparent, int mirror) {
    ENGINE_ENTRY;
    const Image* image = Running ? FindImage(handle) : nullptr;
    if (image == nullptr) {
        return -1;
    }
    return DrawRegionOf(*image, x, y, srcX, srcY, width, height, transparent, mirror);
}

int DrawImageStretched(int x1, int y1, int x2, int y2, int handle, int transparent) {
    ENGINE_ENTRY;
    const Image* image = Running ? FindImage(handle) : nullptr;
    if (image == nullptr) {
        return -1;
    }
    const int w = x2 - x1;
    const int h = y2 - y1;
    if (w <= 0 || h <= 0) {
        return 0;
    }
    const int left = std::max(x1, 0);
    const int right = std::min(x2, ScreenWidth);
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, ScreenHeight);
    if (left >= right || top >= bottom) {
        return 0;
    }
    // Nearest neighbour, sampling each target pixel's centre; the source columns are worked out
    // once for all rows.
    int columns[ScreenWidth];
    for (int tx = left; tx < right; ++tx) {
        columns[tx - left] =
            static_cast<int>((2 * static_cast<int64_t>(tx - x1) + 1) * image->width / (2 * w));
    }
    uint32_t row[ScreenWidth];
    const bool keyed = transparent != 0 && !image->opaque;
    for (int ty = top; ty < bottom; ++ty) {
        const int64_t sy = (2 * static_cast<int64_t>(ty - y1) + 1) * image->height / (2 * h);
        const uint32_t* src = image->pixels + sy * image->width;
        for (int i = 0; i < right - left; ++i) {
            row[i] = src[columns[i]];
        }
        DrawRow(BackBuffer + ty * ScreenWidth + left, row, right - left, 1, keyed, keyed);
    }
    return 0;
}

int DrawRectangle(int x1, int y1, int x2, int y2, uint32_t color, int fill) {
    ENGINE_ENTRY;
    if (!Running) {
        return -1;
    }
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
    uint32_t line[ScreenWidth];
    std::fill(line, line + ScreenWidth, color | 0xFF000000u);
    auto span = [&](int y, int from, int to) {
        from = std::max(from, 0);
        to = std::min(to, ScreenWidth);
        if (y >= 0 && y < ScreenHeight && from < to) {
            DrawRow(BackBuffer + y * ScreenWidth + from, line, to - from, 1, false, false);
        }
    };
    if (fill != 0) {
        for (int y = y1; y < y2; ++y) {
            span(y, x1, x2);
        }
    } else if (x2 > x1 && y2 > y1) {
        span(y1, x1, x2);
        if (y2 - 1 > y1) {
            span(y2 - 1, x1, x2);
        }
        for (int y = y1 + 1; y < y2 - 1; ++y) {
            span(y, x1, x1 + 1);
            if (x2 - 1 > x1) {
                span(y, x2 - 1, x2);
            }
        }
    }
    return 0;
}

int ClearScreen() {
    ENGINE_ENTRY;
    if (!Running) {
        return -1;
    }
    std::fill(std::begin(BackBuffer), std::end(BackBuffer), 0u);
    return 0;
}

int SetBlendMode(int mode, int parameter) {
    ENGINE_ENTRY;
    BlendMode = (mode >= 0 && mode <= 3) ? mode : 0;
    BlendParameter = std::clamp(parameter, 0, 255);
    return 0;
}

uint32_t MakeColor(int r, int g, int b) {
    return static_cast<uint32_t>(std::clamp(r, 0, 255) << 16 | std::clamp(g, 0, 255) << 8 |
                                 std::clamp(b, 0, 255));
}

int SetTransparentColor(int r, int g, int b) {
    ENGINE_ENTRY;
    KeyColor = MakeColor(r, g, b);
    return 0;
}

int SetDrawTarget(int target) {
    ENGINE_ENTRY;
    // The back buffer is the only target this game draws to.
    return target == -2 ? 0 : -1;
}

int ReleaseImage(int handle) {
    ENGINE_ENTRY;
    Image* image = FindImage(handle);
    if (image == nullptr) {
        return -1;
    }
    FreeImage(*image);
    return 0;
}

int ReleaseAllImages(int /*unused*/) {
    ENGINE_ENTRY;
    ImagesReleaseAll();
    return 0;
}

const uint32_t* GetBackBuffer() {
    return BackBuffer;
}

int SaveBackBufferPng(const char* path) {
    ENGINE_ENTRY;
    static uint8_t rgb[ScreenWidth * ScreenHeight * 3];
    for (int i = 0; i < ScreenWidth * ScreenHeight; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(BackBuffer[i] >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(BackBuffer[i] >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(BackBuffer[i]);
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = ScreenWidth;
    png.height = ScreenHeight;
    png.format = PNG_FORMAT_RGB;
    const int ok = png_image_write_to_file(&png, path, 0, rgb, 0, nullptr);
    png_image_free(&png);
    return ok ? 0 : -1;
}
