// Sprites of colour indices, the ten digit glyphs and the four-digit number.
#include "zephyrine/sprites.h"

#include <array>
#include <string_view>

#include "zephyrine/game.h"

const std::uint8_t* sprdata = nullptr;

namespace {

constexpr int k_glyph_rows = 6, k_glyph_columns = 3;

// The digits as drawn, rows from the top; X is lit.
constexpr std::string_view k_glyph_art[10][k_glyph_rows] = {
    {".X.", "X.X", "X.X", "X.X", "X.X", ".X."}, {"XX.", ".X.", ".X.", ".X.", ".X.", "XXX"},
    {"XX.", "..X", ".X.", "X..", "X..", "XXX"}, {"XX.", "..X", ".XX", "..X", "..X", "XX."},
    {"X.X", "X.X", "XXX", "..X", "..X", "..X"}, {"XXX", "X..", ".X.", "..X", "..X", "XX."},
    {".XX", "X..", "XX.", "X.X", "X.X", ".X."}, {"XXX", "..X", ".XX", "..X", "..X", "..X"},
    {".X.", "X.X", ".X.", "X.X", "X.X", ".X."}, {".X.", "X.X", ".XX", "..X", "..X", ".X."},
};

// Each glyph as one bit mask per row, bit k for column k.
constexpr auto k_glyphs = [] {
    std::array<std::array<std::uint8_t, k_glyph_rows>, 10> masks{};
    for (std::size_t n = 0; n < masks.size(); ++n)
        for (int r = 0; r < k_glyph_rows; ++r)
            for (int k = 0; k < k_glyph_columns; ++k)
                if (k_glyph_art[n][r][k] == 'X') masks[n][r] |= static_cast<std::uint8_t>(1u << k);
    return masks;
}();

// The digits shade from light at the top to dark at the bottom.
constexpr std::uint8_t k_glyph_row_colour[k_glyph_rows] = {19, 19, 18, 17, 16, 16};

constexpr std::int8_t narrow8(std::int32_t v) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v)));
}

} // namespace

void DrawSprite(std::int8_t x, std::int8_t y, std::uint8_t width, std::uint8_t height,
                const std::uint8_t* data) {
    sprdata = data;
    for (std::int32_t r = 0; r < height; ++r) {
        const std::int8_t yy = narrow8(y + r);
        for (std::int32_t k = 0; k < width; ++k) {
            const std::int8_t xx = narrow8(x + k);
            const std::uint8_t v = *sprdata++;
            if (xx >= 0 && xx <= 7 && yy >= 0 && yy <= 7)
                DrawPixel(static_cast<std::uint8_t>(xx), static_cast<std::uint8_t>(yy), v);
        }
    }
}

void DrawNSprite(std::int8_t x, std::int8_t y, std::uint8_t, std::uint8_t, std::uint8_t n) {
    if (n >= k_glyphs.size()) return;
    for (int r = 0; r < k_glyph_rows; ++r)
        for (int k = 0; k < k_glyph_columns; ++k)
            if ((k_glyphs[n][r] >> k) & 1u)
                // Byte arithmetic: cells left of or above the slate land past 7 and are dropped.
                DrawPixelSafe(static_cast<std::uint8_t>(x + k), static_cast<std::uint8_t>(y + r),
                              k_glyph_row_colour[r]);
}

void DrawNumber(std::int32_t x, std::int32_t y, std::int32_t n) {
    constexpr std::int32_t k_divisors[] = {1000, 100, 10, 1};
    std::uint32_t column = static_cast<std::uint32_t>(x);
    for (const std::int32_t d : k_divisors) {
        DrawNSprite(narrow8(static_cast<std::int32_t>(column)), narrow8(y), 4, 6,
                    static_cast<std::uint8_t>((n / d) % 10));
        column += 4;
    }
}
