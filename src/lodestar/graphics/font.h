// Bitmap fonts: proportional glyph sprites cut from a font image, or the built-in 8 by 8 font,
// and formatted text drawn with them.
#pragma once

#include <array>
#include <cstdint>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/sprite.h"

// Glyph d stands for character code d + 31; glyph 0 (code 31) only advances.
struct LSR_Font {
    LSR_Sprite glyphs[96];
    std::uint8_t widths[96] = {};
    std::int32_t height = 0;
    std::int32_t count = 0;
    std::int32_t spacing = 0;
};

// 94 glyphs of 8 rows, codes 32 to 125; bit 7 of a row is its leftmost pixel.
extern const std::array<std::uint8_t, 752> LSR_defaultfont;

void LSR_InitFont(const char* name, LSR_Font* font);
void LSR_InitDarkFont(const char* name, LSR_Font* font);
void LSR_InitColorFont(const char* name, LSR_Font* font, std::uint32_t colour);
void LSR_InitDefaultFont(std::uint32_t colour, LSR_Font* font);
void LSR_DeleteFont(LSR_Font* font);
void LSR_SetFontSpacing(std::int32_t spacing, LSR_Font* font);

// printf-style text, at most 255 characters after formatting (longer text is cut there).
void LSR_DrawText(std::int32_t x, std::int32_t y, LSR_Font font, LSR_Bitmap bitmap,
                  const char* format, ...) __attribute__((format(printf, 5, 6)));
void LSR_DrawCenteredText(std::int32_t y, LSR_Font font, LSR_Bitmap bitmap, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void LSR_DrawCenteredTextXW(std::int32_t x, std::int32_t y, std::int32_t w, LSR_Font font,
                            LSR_Bitmap bitmap, const char* format, ...)
    __attribute__((format(printf, 6, 7)));
