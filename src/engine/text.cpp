// Text: Shift-JIS strings drawn in the default font.
//
// The face the game asks for is resolved by fontconfig with a Japanese language hint, so a Japanese
// Mincho face stands in where the named one is missing. Rendered strings are cached by their bytes,
// size, style and colours: an unchanged HUD costs no rasterising.
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
    uint32_t* pixels = nullptr;
};

bool TextReady = false;
char FontFile[1024] = "";
char FaceName[128] = "";
int TextSize = 16;
int TextStyle = 0;
Font Fonts[MaxFonts];
CachedText Cache[CacheEntries];
uint64_t UseCounter = 0;

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
}

void ClearCache() {
    for (CachedText& entry : Cache) {
        std::free(entry.pixels);
        entry.pixels = nullptr;
        entry.used = false;
    }
}

SDL_Color ToSdl(uint32_t color) {
    return SDL_Color{static_cast<Uint8>(color >> 16), static_cast<Uint8>(color >> 8),
                     static_cast<Uint8>(color), 255};
}

// Copies a rendered ARGB surface into our buffer at (ox, oy); "over" composites it.
void Composite(uint32_t* out, int outW, int outH, SDL_Surface* surface, int ox, int oy) {
    for (int y = 0; y < surface->h && y + oy < outH; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < surface->w && x + ox < outW; ++x) {
            const uint32_t s = row[x];
            const uint32_t a = s >> 24;
            uint32_t& d = out[(y + oy) * outW + x + ox];
            if (a == 255 || d == 0) {
                d = s;
            } else if (a != 0) {
                // Straight-alpha "over" of the glyph onto the outline.
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
    const bool smooth = (TextStyle & 2) != 0;
    SDL_Surface* glyphs = smooth ? TTF_RenderUTF8_Blended(font->ttf, utf8, ToSdl(color))
                                 : TTF_RenderUTF8_Solid(font->ttf, utf8, ToSdl(color));
    SDL_Surface* outline = nullptr;
    if (edged && glyphs != nullptr) {
        outline = smooth ? TTF_RenderUTF8_Blended(font->outline, utf8, ToSdl(edge))
                         : TTF_RenderUTF8_Solid(font->outline, utf8, ToSdl(edge));
    }
    SDL_Surface* converted[2] = {nullptr, nullptr};
    SDL_Surface* sources[2] = {outline, glyphs};
    for (int i = 0; i < 2; ++i) {
        if (sources[i] != nullptr) {
            converted[i] = SDL_ConvertSurfaceFormat(sources[i], SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(sources[i]);
        }
    }
    CachedText* result = nullptr;
    if (converted[1] != nullptr) {
        // The outline surface is one pixel larger on every side; the glyphs keep their top-left
        // at the requested point and the edge reaches one pixel beyond it.
        const int pad = converted[0] != nullptr ? 1 : 0;
        const int width = converted[1]->w + 2 * pad;
        const int height = converted[1]->h + 2 * pad;
        auto* pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
        if (pixels != nullptr) {
            if (converted[0] != nullptr) {
                Composite(pixels, width, height, converted[0], 0, 0);
            }
            Composite(pixels, width, height, converted[1], pad, pad);
            std::free(oldest->pixels);
            *oldest = CachedText{};
            oldest->used = true;
            oldest->lastUse = ++UseCounter;
            oldest->size = TextSize;
            oldest->style = TextStyle;
            oldest->color = color;
            oldest->edge = edge;
            std::snprintf(oldest->bytes, sizeof oldest->bytes, "%s", sjis);
            oldest->width = width;
            oldest->height = height;
            oldest->pixels = pixels;
            result = oldest;
        }
    }
    for (SDL_Surface* surface : converted) {
        if (surface != nullptr) {
            SDL_FreeSurface(surface);
        }
    }
    return result;
}

int DrawText(int x, int y, const char* sjis, uint32_t color, uint32_t edge) {
    if (!Running || !TextReady || sjis == nullptr || sjis[0] == '\0') {
        return Running ? 0 : -1;
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
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return;
    }
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
    iconv_close(cd);
}

int TextStart() {
    if (TTF_Init() != 0) {
        LogLine(1, "Text: TTF_Init failed (%s)", TTF_GetError());
        return -1;
    }
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

int DrawTextAt(int x, int y, const char* text, uint32_t color, uint32_t edgeColor) {
    ENGINE_ENTRY;
    return DrawText(x, y, text, color, edgeColor);
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
