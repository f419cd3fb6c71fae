// Fonts: glyphs cut where the marker row says, and text drawn glyph by glyph as sprites.
#include "lodestar/graphics/font.h"

#include <cstdarg>
#include <cstdio>

#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"

namespace {

enum class Kind { plain, dark, tinted };

void init_from_image(const char* name, LSR_Font* font, Kind kind, std::uint32_t colour) {
    if (font == nullptr) return;
    LSR_Bitmap image;
    LSR_LoadBitmap(name, &image);
    const std::int32_t w = image.width, h = image.height;
    // Every pixel of the top row that is not the key starts a glyph; column 0 always does, so
    // glyph 0 measures 0 and the image's first glyph is glyph 1, the space.
    std::int32_t k = 0, previous = 0;
    for (std::int32_t x = 0; x < w; ++x) {
        if (x != 0 && LSR_CheckSpriteTransparency(LSR_GetPixel(x, 0, image))) continue;
        font->widths[k] = static_cast<std::uint8_t>(x - previous);
        previous = x;
        if (k < 95) ++k;
    }
    font->widths[k] = static_cast<std::uint8_t>(w - previous);
    font->count = image.data != nullptr ? k + 1 : 0;
    font->height = h > 0 ? h - 1 : 0;
    font->spacing = 0;
    std::int32_t x0 = 0;
    for (std::int32_t i = 0; i < font->count; ++i) {
        LSR_Sprite* glyph = &font->glyphs[i];
        if (kind == Kind::dark)
            LSR_GetDarkSprite(x0, 1, font->widths[i], h - 1, image, glyph);
        else if (kind == Kind::tinted)
            LSR_GetColorSprite(x0, 1, font->widths[i], h - 1, colour, image, glyph);
        else
            LSR_GetSprite(x0, 1, font->widths[i], h - 1, image, glyph);
        x0 += font->widths[i];
    }
    LSR_DeleteBitmap(&image);
}

// The glyph a character draws with, or -1 for one that is skipped.
std::int32_t glyph_of(unsigned char c) {
    const std::int32_t d = static_cast<std::int32_t>(c) - 31;
    return d >= 0 && d <= 93 ? d : -1;
}

std::int32_t text_width(const LSR_Font& font, const char* text) {
    std::int32_t total = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const std::int32_t d = glyph_of(static_cast<unsigned char>(*p));
        if (d >= 0) total += font.widths[d] + font.spacing;
    }
    return total;
}

void draw_text(std::int32_t pen, std::int32_t y, const LSR_Font& font, const LSR_Bitmap& bitmap,
               const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        const std::int32_t d = glyph_of(static_cast<unsigned char>(*p));
        if (d < 0) continue;
        if (d != 0) LSR_DrawSprite(pen, y, font.glyphs[d], bitmap);
        pen += font.widths[d] + font.spacing;
    }
}

// Formats into the design's 256-byte buffer, bounded: longer text is cut at 255 characters.
struct Text {
    char buffer[256];
    Text(const char* format, std::va_list args) {
        if (std::vsnprintf(buffer, sizeof buffer, format, args) < 0) buffer[0] = '\0';
    }
};

// Arithmetic halving of possibly negative widths, without shifting a negative value.
constexpr std::int32_t half_down(std::int32_t v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

} // namespace

void LSR_InitFont(const char* name, LSR_Font* font) {
    init_from_image(name, font, Kind::plain, 0);
}

void LSR_InitDarkFont(const char* name, LSR_Font* font) {
    init_from_image(name, font, Kind::dark, 0);
}

void LSR_InitColorFont(const char* name, LSR_Font* font, std::uint32_t colour) {
    init_from_image(name, font, Kind::tinted, colour);
}

// Each table glyph is cut from its own 8 by 8 cell, and table glyph g (character 32 + g) goes to
// glyph g + 1, the one the text functions draw for that character.
void LSR_InitDefaultFont(std::uint32_t colour, LSR_Font* font) {
    if (font == nullptr) return;
    LSR_Bitmap table;
    LSR_CreateBitmap(752, 8, &table);
    for (std::int32_t g = 0; g < 94; ++g)
        for (std::int32_t r = 0; r < 8; ++r) {
            const std::uint8_t bits = LSR_defaultfont[static_cast<std::size_t>(8 * g + r)];
            for (std::int32_t i = 0; i < 8; ++i)
                LSR_DrawPixel(8 * g + i, r, (bits & (0x80 >> i)) ? 0xFFFFFFu : 0u, table);
        }
    for (std::uint8_t& w : font->widths) w = 4;
    font->spacing = 1;
    font->height = 8;
    font->count = 94;
    font->glyphs[0] = LSR_Sprite{};
    for (std::int32_t g = 0; g < 94; ++g)
        LSR_GetColorSprite(8 * g, 0, 8, 8, colour, table, &font->glyphs[g + 1]);
    LSR_DeleteBitmap(&table);
}

void LSR_DeleteFont(LSR_Font* font) {
    if (font == nullptr) return;
    for (LSR_Sprite& glyph : font->glyphs) LSR_DeleteSprite(&glyph);
}

void LSR_SetFontSpacing(std::int32_t spacing, LSR_Font* font) {
    if (font != nullptr) font->spacing = spacing;
}

void LSR_DrawText(std::int32_t x, std::int32_t y, LSR_Font font, LSR_Bitmap bitmap,
                  const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const Text text(format, args);
    va_end(args);
    draw_text(x, y, font, bitmap, text.buffer);
}

void LSR_DrawCenteredText(std::int32_t y, LSR_Font font, LSR_Bitmap bitmap, const char* format,
                          ...) {
    std::va_list args;
    va_start(args, format);
    const Text text(format, args);
    va_end(args);
    draw_text(half_down(bitmap.width) - half_down(text_width(font, text.buffer)), y, font, bitmap,
              text.buffer);
}

void LSR_DrawCenteredTextXW(std::int32_t x, std::int32_t y, std::int32_t w, LSR_Font font,
                            LSR_Bitmap bitmap, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    const Text text(format, args);
    va_end(args);
    draw_text(x + half_down(w) - half_down(text_width(font, text.buffer)), y, font, bitmap,
              text.buffer);
}
