// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Text: Shift-JIS strings drawn in the default font.
//
// The face the game asks for is resolved by fontconfig with a Japanese language hint, so a Japanese
// Mincho face stands in where the named one is missing. Strings are laid out from a cache of glyph
// coverage maps, and rendered strings are cached by their bytes, size, style and colours: an
// unchanged HUD costs no rasterising, and a new string made of glyphs already seen (the clock every
// second) costs no allocation. Both caches live in fixed pools that are emptied when they fill.
#include "engine.h"
#include "internal.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine {

void BlitText(int x, int y, const uint32_t* pixels, int width, int height);

namespace {

constexpr int MaxFonts = 40;
constexpr int CacheEntries = 256;
constexpr int MaxTextBytes = 1024;
constexpr int MaxGlyphs = 4096; // a power of two: the table is open-addressed
constexpr size_t GlyphPoolBytes = size_t{4} << 20;
constexpr size_t TextPoolPixels = size_t{1} << 20;

struct Font {
    int size = 0;
    TTF_Font* ttf = nullptr;
    TTF_Font* outline = nullptr; // the same face with a one-pixel outline, for edged text
};

struct CachedText {
    bool used = false;
    uint64_t lastUse = 0;
    int size = 0;
    int style = 0;
    uint32_t color = 0;
    uint32_t edge = 0;
    char bytes[MaxTextBytes] = {};
    int width = 0;
    int height = 0;
    uint32_t* pixels = nullptr; // in TextPool
};

// One character of one size, plain or outlined: its coverage map (0..255) in GlyphPool.
struct Glyph {
    bool used = false;
    bool outlined = false;
    int size = 0;
    uint32_t code = 0;
    int left = 0; // where the map starts relative to the pen
    int width = 0;
    int height = 0;
    int advance = 0;
    size_t offset = 0;
};

bool TextReady = false;
char FontFile[1024] = "";
char FaceName[128] = "";
int TextSize = 16;
int TextStyle = 0;
Font Fonts[MaxFonts];
CachedText Cache[CacheEntries];
uint64_t UseCounter = 0;
Glyph Glyphs[MaxGlyphs];
int GlyphCount = 0;
unsigned char GlyphPool[GlyphPoolBytes];
size_t GlyphPoolUsed = 0;
uint32_t TextPool[TextPoolPixels];
size_t TextPoolUsed = 0;
iconv_t Converter = reinterpret_cast<iconv_t>(-1); // open while the text system runs

// Resolves a face name to a font file that can draw Japanese text.
bool ResolveFace(const char* faceUtf8, char* out, size_t outSize) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceUtf8));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    if (match != nullptr) {
        FcChar8* file = nullptr;
        FcCharSet* charset = nullptr;
        // A face without kana (for example a Latin-only fallback) cannot draw the game's text.
        const bool hasKana = FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch &&
                             FcCharSetHasChar(charset, 0x3042) && FcCharSetHasChar(charset, 0x6F22);
        if (hasKana && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            std::snprintf(out, outSize, "%s", reinterpret_cast<const char*>(file));
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

void ClearGlyphs() {
    std::fill(std::begin(Glyphs), std::end(Glyphs), Glyph{});
    GlyphCount = 0;
    GlyphPoolUsed = 0;
}

void ClearCache() {
    for (CachedText& entry : Cache) {
        entry.used = false;
        entry.pixels = nullptr;
    }
    TextPoolUsed = 0;
}

Glyph* FindGlyph(const Font& font, uint32_t code, bool outlined);

// Opens the face at a size, and rasterises the printable ASCII characters and their full-width
// forms at once, plain and outlined, so that the HUD's changing numbers and labels never reach
// the font library during play.
Font* FontOfSize(int size) {
    for (Font& font : Fonts) {
        if (font.ttf != nullptr && font.size == size) {
            return &font;
        }
    }
    Font* slot = std::find_if(std::begin(Fonts), std::end(Fonts),
                              [](const Font& font) { return font.ttf == nullptr; });
    if (slot == std::end(Fonts) || FontFile[0] == '\0') {
        return nullptr;
    }
    slot->ttf = TTF_OpenFont(FontFile, size);
    slot->outline = TTF_OpenFont(FontFile, size);
    if (slot->ttf == nullptr || slot->outline == nullptr) {
        LogLine(0, "Text: cannot open %s at %d px (%s)", FontFile, size, TTF_GetError());
        if (slot->ttf != nullptr) {
            TTF_CloseFont(slot->ttf);
        }
        if (slot->outline != nullptr) {
            TTF_CloseFont(slot->outline);
        }
        *slot = Font{};
        return nullptr;
    }
    TTF_SetFontOutline(slot->outline, 1);
    slot->size = size;
    for (uint32_t code = 0x20; code < 0x7F; ++code) {
        for (const uint32_t form : {code, code + 0xFEE0}) { // U+FF01..U+FF5E: full width
            FindGlyph(*slot, form, false);
            FindGlyph(*slot, form, true);
        }
    }
    return slot;
}

void CloseFonts() {
    for (Font& font : Fonts) {
        if (font.ttf != nullptr) {
            TTF_CloseFont(font.ttf);
            TTF_CloseFont(font.outline);
        }
        font = Font{};
    }
    ClearGlyphs();
}

enum class Rendered { Stored, Missing, PoolFull };

// Rasterises one glyph into the pool. A character the font cannot draw is kept as an empty glyph,
// so it is not asked for again.
Rendered RenderGlyph(const Font& font, uint32_t code, bool outlined, Glyph& glyph) {
    TTF_Font* ttf = outlined ? font.outline : font.ttf;
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    int advance = 0;
    glyph = Glyph{};
    if (TTF_GlyphIsProvided32(font.ttf, code) == 0 ||
        TTF_GlyphMetrics32(font.ttf, code, &minX, &maxX, &minY, &maxY, &advance) != 0) {
        return Rendered::Missing;
    }
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(ttf, code, SDL_Color{255, 255, 255, 255});
    SDL_Surface* surface = rendered != nullptr
                               ? SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0)
                               : nullptr;
    SDL_FreeSurface(rendered);
    if (surface == nullptr) {
        return Rendered::Missing;
    }
    const size_t bytes = static_cast<size_t>(surface->w) * surface->h;
    Rendered result = Rendered::PoolFull;
    if (bytes <= GlyphPoolBytes - GlyphPoolUsed) {
        glyph.left = std::min(minX, 0);
        glyph.width = surface->w;
        glyph.height = surface->h;
        glyph.advance = advance;
        glyph.offset = GlyphPoolUsed;
        for (int y = 0; y < surface->h; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                  static_cast<size_t>(y) * surface->pitch);
            unsigned char* out = GlyphPool + GlyphPoolUsed + static_cast<size_t>(y) * surface->w;
            for (int x = 0; x < surface->w; ++x) {
                out[x] = static_cast<unsigned char>(row[x] >> 24);
            }
        }
        GlyphPoolUsed += bytes;
        result = Rendered::Stored;
    }
    SDL_FreeSurface(surface);
    return result;
}

// The cached glyph, rasterised on first use; nullptr for a character the font cannot draw.
Glyph* FindGlyph(const Font& font, uint32_t code, bool outlined) {
    const uint32_t key = code * 2654435761u ^ static_cast<uint32_t>(font.size) * 40503u ^ outlined;
    for (uint32_t probe = 0; probe < MaxGlyphs; ++probe) {
        Glyph& glyph = Glyphs[(key + probe) & (MaxGlyphs - 1)];
        if (!glyph.used) {
            // A full table or pool starts afresh; the strings already made keep their pixels.
            if (GlyphCount >= MaxGlyphs * 3 / 4) {
                ClearGlyphs();
                return FindGlyph(font, code, outlined);
            }
            const Rendered rendered = RenderGlyph(font, code, outlined, glyph);
            if (rendered == Rendered::PoolFull) {
                glyph = Glyph{};
                if (GlyphCount == 0) {
                    return nullptr; // larger than the whole pool
                }
                ClearGlyphs();
                return FindGlyph(font, code, outlined);
            }
            glyph.used = true;
            glyph.outlined = outlined;
            glyph.size = font.size;
            glyph.code = code;
            ++GlyphCount;
            return &glyph;
        }
        if (glyph.code == code && glyph.size == font.size && glyph.outlined == outlined) {
            return &glyph;
        }
    }
    return nullptr;
}

// Next code point of a UTF-8 string (the converter's output, so well formed).
uint32_t NextCode(const unsigned char*& p) {
    uint32_t code = *p++;
    int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
    code &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
    for (; more > 0 && (*p & 0xC0) == 0x80; --more) {
        code = code << 6 | (*p++ & 0x3F);
    }
    return code;
}

// Straight-alpha "over" of a coloured coverage map onto the string's pixels at (ox, oy). Without
// smoothing, coverage is cut at half, for the hard edges of unsmoothed text.
void Composite(uint32_t* out, int outW, int outH, const Glyph& glyph, int ox, int oy,
               uint32_t color, bool smooth) {
    const unsigned char* map = GlyphPool + glyph.offset;
    for (int y = std::max(0, -oy); y < glyph.height && y + oy < outH; ++y) {
        for (int x = std::max(0, -ox); x < glyph.width && x + ox < outW; ++x) {
            uint32_t a = map[y * glyph.width + x];
            if (!smooth) {
                a = a >= 128 ? 255 : 0;
            }
            if (a == 0) {
                continue;
            }
            const uint32_t s = a << 24 | color;
            uint32_t& d = out[(y + oy) * outW + x + ox];
            if (a == 255 || d == 0) {
                d = s;
                continue;
            }
            const uint32_t da = d >> 24;
            const uint32_t outA = a + da * (255 - a) / 255;
            uint32_t pixel = outA << 24;
            for (int shift = 0; shift <= 16; shift += 8) {
                const uint32_t sc = (s >> shift) & 0xFF;
                const uint32_t dc = (d >> shift) & 0xFF;
                const uint32_t c = (sc * a + dc * da * (255 - a) / 255) / std::max(outA, 1u);
                pixel |= std::min(c, 255u) << shift;
            }
            d = pixel;
        }
    }
}

// Pixels for a new string from the text pool; when it is full, every cached string is dropped
// (they are made again as they are drawn).
uint32_t* TakeTextPixels(size_t count) {
    if (count > TextPoolPixels) {
        return nullptr;
    }
    if (count > TextPoolPixels - TextPoolUsed) {
        ClearCache();
    }
    uint32_t* pixels = TextPool + TextPoolUsed;
    TextPoolUsed += count;
    std::fill(pixels, pixels + count, 0u);
    return pixels;
}

// Finds a rendered string, or renders it into the least recently used cache entry.
CachedText* Lookup(const char* sjis, uint32_t color, uint32_t edge) {
    const bool edged = (TextStyle & 1) != 0;
    if (!edged) {
        edge = 0;
    }
    CachedText* oldest = &Cache[0];
    for (CachedText& entry : Cache) {
        if (entry.used && entry.size == TextSize && entry.style == TextStyle &&
            entry.color == color && entry.edge == edge && std::strcmp(entry.bytes, sjis) == 0) {
            entry.lastUse = ++UseCounter;
            return &entry;
        }
        if (!entry.used || (oldest->used && entry.lastUse < oldest->lastUse)) {
            oldest = &entry;
        }
    }
    Font* font = FontOfSize(TextSize);
    if (font == nullptr) {
        return nullptr;
    }
    char utf8[MaxTextBytes * 2];
    SjisToUtf8(sjis, utf8, sizeof utf8);
    if (utf8[0] == '\0') {
        return nullptr;
    }
    // Lay the string out: the width is where the last glyph's map ends.
    const int pad = edged ? 1 : 0;
    int width = 0;
    int pen = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0;) {
        if (const Glyph* glyph = FindGlyph(*font, NextCode(p), false)) {
            width = std::max(width, pen + glyph->left + glyph->width);
            pen += glyph->advance;
        }
    }
    width = std::max(width, pen);
    const int height = TTF_FontHeight(font->ttf);
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    // The outline is one pixel larger on every side; the glyphs keep their top-left at the
    // requested point and the edge reaches one pixel beyond it.
    const int outW = width + 2 * pad;
    const int outH = height + 2 * pad;
    if (oldest->used && oldest->pixels != nullptr) {
        oldest->used = false;
    }
    uint32_t* pixels = TakeTextPixels(static_cast<size_t>(outW) * outH);
    if (pixels == nullptr) {
        return nullptr;
    }
    const bool smooth = (TextStyle & 2) != 0;
    for (int layer = edged ? 0 : 1; layer < 2; ++layer) {
        pen = 0;
        for (const auto* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0;) {
            const uint32_t code = NextCode(p);
            const Glyph* glyph = FindGlyph(*font, code, false);
            if (glyph == nullptr) {
                continue;
            }
            const int advance = glyph->advance;
            const int left = glyph->left;
            if (layer == 0) {
                if (const Glyph* outline = FindGlyph(*font, code, true)) {
                    Composite(pixels, outW, outH, *outline, pen + left, 0, edge, smooth);
                }
            } else {
                Composite(pixels, outW, outH, *glyph, pen + left + pad, pad, color, smooth);
            }
            pen += advance;
        }
    }
    *oldest = CachedText{};
    oldest->used = true;
    oldest->lastUse = ++UseCounter;
    oldest->size = TextSize;
    oldest->style = TextStyle;
    oldest->color = color;
    oldest->edge = edge;
    std::snprintf(oldest->bytes, sizeof oldest->bytes, "%s", sjis);
    oldest->width = outW;
    oldest->height = outH;
    oldest->pixels = pixels;
    return oldest;
}

// The texts drawn since the last TakeDrawnTexts, while the tests ask for them.
bool RecordingTexts = false;
char DrawnTexts[32768];
int DrawnLength = 0;
bool DrawnOverflow = false;

void RecordDrawnText(const char* sjis) {
    const int length = static_cast<int>(std::strlen(sjis));
    if (DrawnLength + length + 1 >= static_cast<int>(sizeof DrawnTexts)) {
        DrawnOverflow = true;
        return;
    }
    std::memcpy(DrawnTexts + DrawnLength, sjis, static_cast<size_t>(length));
    DrawnLength += length;
    DrawnTexts[DrawnLength++] = '\n';
}

int DrawText(int x, int y, const char* sjis, uint32_t color, uint32_t edge) {
    if (!Running || !TextReady || sjis == nullptr || sjis[0] == '\0') {
        return Running ? 0 : -1;
    }
    if (RecordingTexts) {
        RecordDrawnText(sjis);
    }
    const CachedText* text = Lookup(sjis, color & 0xFFFFFF, edge & 0xFFFFFF);
    if (text != nullptr) {
        const int pad = (text->style & 1) != 0 ? 1 : 0;
        BlitText(x - pad, y - pad, text->pixels, text->width, text->height);
    }
    return 0;
}

} // namespace

void SjisToUtf8(const char* sjis, char* out, size_t outSize) {
    if (outSize == 0) {
        return;
    }
    out[0] = '\0';
    // Before the text system starts (the start-up question) a converter is made for the call.
    const bool own = Converter == reinterpret_cast<iconv_t>(-1);
    iconv_t cd = own ? iconv_open("UTF-8", "CP932") : Converter;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(sjis);
    size_t inLeft = std::strlen(sjis);
    char* dst = out;
    size_t dstLeft = outSize - 1;
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        // Skip a byte that is not valid Shift-JIS rather than dropping the rest of the string.
        if (errno != EILSEQ && errno != EINVAL) {
            break;
        }
        ++in;
        --inLeft;
    }
    *dst = '\0';
    if (own) {
        iconv_close(cd);
    }
}

int TextStart() {
    if (TTF_Init() != 0) {
        LogLine(1, "Text: TTF_Init failed (%s)", TTF_GetError());
        return -1;
    }
    Converter = iconv_open("UTF-8", "CP932");
    TextReady = true;
    TextSize = 16;
    TextStyle = 0;
    return 0;
}

void TextStop() {
    if (!TextReady) {
        return;
    }
    ClearCache();
    CloseFonts();
    TTF_Quit();
    if (Converter != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(Converter);
        Converter = reinterpret_cast<iconv_t>(-1);
    }
    TextReady = false;
    FontFile[0] = '\0';
    FaceName[0] = '\0';
}

} // namespace engine

using namespace engine;

int SelectFontFace(const char* face, int /*charset*/) {
    ENGINE_ENTRY;
    if (!Running || !TextReady || face == nullptr) {
        return -1;
    }
    if (std::strcmp(face, FaceName) == 0 && FontFile[0] != '\0') {
        return 0;
    }
    // The game selects its face every frame: a face that could not be found is looked up and
    // logged once, not sixty times a second into an ever-growing log.
    static char missingFace[256] = "";
    if (FontFile[0] == '\0' && std::strcmp(face, missingFace) == 0) {
        return -1;
    }
    char utf8[256];
    SjisToUtf8(face, utf8, sizeof utf8);
    char file[sizeof FontFile];
    if (!ResolveFace(utf8, file, sizeof file)) {
        LogLine(0, "SelectFontFace: no font with Japanese glyphs for \"%s\"", utf8);
        std::snprintf(missingFace, sizeof missingFace, "%s", face);
        return -1;
    }
    missingFace[0] = '\0';
    std::snprintf(FaceName, sizeof FaceName, "%s", face);
    if (std::strcmp(file, FontFile) != 0) {
        ClearCache();
        CloseFonts();
        std::snprintf(FontFile, sizeof FontFile, "%s", file);
        LogLine(0, "SelectFontFace: \"%s\" is drawn with %s", utf8, FontFile);
    }
    return 0;
}

int SetTextSize(int pixelSize) {
    ENGINE_ENTRY;
    TextSize = pixelSize < 0 ? 16 : std::clamp(pixelSize, 4, 256);
    return 0;
}

int SetTextStyle(int style) {
    ENGINE_ENTRY;
    TextStyle = style & 3;
    return 0;
}

void RecordDrawnTexts(bool on) {
    RecordingTexts = on;
    DrawnLength = 0;
    DrawnOverflow = false;
}

int TakeDrawnTexts(char* out, int size) {
    if (out == nullptr || size <= DrawnLength) {
        return -1;
    }
    std::memcpy(out, DrawnTexts, static_cast<size_t>(DrawnLength));
    out[DrawnLength] = '\0';
    const int length = DrawnOverflow ? -1 : DrawnLength;
    DrawnLength = 0;
    DrawnOverflow = false;
    return length;
}

int DrawTextAt(int x, int y, const char* text, uint32_t color, uint32_t edgeColor) {
    ENGINE_ENTRY;
    return DrawText(x, y, text, color, edgeColor);
}

int GetTextWidth(const char* text) {
    ENGINE_ENTRY;
    if (!Running || !TextReady || text == nullptr || text[0] == '\0') {
        return Running ? 0 : -1;
    }
    const CachedText* rendered = Lookup(text, 0xFFFFFF, 0);
    if (rendered == nullptr) {
        return 0;
    }
    return rendered->width - ((rendered->style & 1) != 0 ? 2 : 0);
}

int DrawFormattedTextAt(int x, int y, uint32_t color, const char* format, ...) {
    ENGINE_ENTRY;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return DrawText(x, y, buffer, color, 0);
}
