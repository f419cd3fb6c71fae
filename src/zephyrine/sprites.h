// Opaque colour-index sprites, the transparent digit glyphs and four-digit numbers.
#pragma once

#include <cstdint>

// Read cursor of DrawSprite: just past the last byte read.
extern const std::uint8_t* sprdata;

// Draws width by height bytes, row by row, with the top-left corner at (x, y); every cell is drawn,
// those off the slate are skipped but still read.
void DrawSprite(std::int8_t x, std::int8_t y, std::uint8_t width, std::uint8_t height,
                const std::uint8_t* data);
// Draws digit n (0 to 9; anything else draws nothing); width and height are not used.
void DrawNSprite(std::int8_t x, std::int8_t y, std::uint8_t width, std::uint8_t height,
                 std::uint8_t n);
// Draws the last four decimal digits of n, leading zeros included, 15 columns wide.
void DrawNumber(std::int32_t x, std::int32_t y, std::int32_t n);
