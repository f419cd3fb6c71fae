// Lines against a walk of the pixels they cover, pixel blending and reading.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "picture.h"

namespace {

using Primitive = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Primitive);

constexpr std::uint32_t k_white = 0xFFFFFF;

::testing::AssertionResult shows(const lsr::OwnedBitmap& page, std::string_view grid) {
    return picture::matches(page.get(), 0, 0, grid, {{'.', 0}, {'X', k_white}});
}

// Bresenham from the first point, ties stepping along x, each pixel kept only when inside.
std::string walked_line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, int w,
                        int h) {
    std::string page(static_cast<std::size_t>(w * h), '.');
    const std::int64_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const std::int64_t sx = x1 > x2 ? -1 : 1, sy = y1 > y2 ? -1 : 1;
    const bool x_major = dx >= dy;
    const std::int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
    for (std::int64_t i = 0, d = 2 * minor - major, x = x1, y = y1; i <= major; ++i) {
        if (x >= 0 && x < w && y >= 0 && y < h) page[static_cast<std::size_t>(y * w + x)] = 'X';
        if (d >= 0) d -= 2 * major, (x_major ? y : x) += x_major ? sy : sx;
        d += 2 * minor, (x_major ? x : y) += x_major ? sx : sy;
    }
    for (int row = h - 1; row > 0; --row) page.insert(static_cast<std::size_t>(row * w), "\n");
    return page;
}

// Lines in every octant crossing every edge, some from far away, against the walk; and lines
// from the ends of the coordinate range, whose clipping needs products past 64 bits.
TEST_P(Primitive, LinesDrawExactlyTheWalkedPixels) {
    std::uint32_t seed = 1;
    const auto next = [&](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
    };
    for (int n = 0; n < 600; ++n) {
        const int reach = n % 3 == 0 ? 20000 : 60;
        const int x1 = next(-reach, 37 + reach), y1 = next(-reach, 23 + reach);
        const int x2 = next(-reach, 37 + reach), y2 = next(-reach, 23 + reach);
        const auto page = picture::filled(37, 23);
        LSR_DrawLine(x1, y1, x2, y2, k_white, page.get());
        ASSERT_TRUE(shows(page, walked_line(x1, y1, x2, y2, 37, 23)))
            << x1 << "," << y1 << " to " << x2 << "," << y2;
    }
}

// Set, average or add; the arithmetic itself is the span blitters'. Reads widen 16 bits; outside
// the bitmap nothing is drawn and 0 is read.
TEST_P(Primitive, BlendPixelPicksItsModeAndGetPixelReadsInsideOnly) {
    const std::array<std::uint32_t, 4> blends[] = {
        // old, colour, mode, result
        {0x0000FF, 0xFF0000, LSR_PIXEL_AVERAGE, 0x7F007F},
        {0xFFFFFFFF, 0xFF000000, LSR_PIXEL_AVERAGE, 0x7E7F7F7F}, // the opacity carry is lost
        {0x808080, 0x80A0F0, LSR_PIXEL_ADD, 0xFFFFFF},
        {0x123456, 0xFFFFFF, LSR_PIXEL_SET, 0xFFFFFF},
        {0x123456, 0xFFFFFF, 3, 0x123456},
        {0x123456, 0xFFFFFF, 0xFFFFFFFF, 0x123456},
    };
    const auto page = picture::filled(3, 2);
    for (auto [old, colour, mode, want] : blends) {
        picture::set(page.get(), 1, 0, picture::stored(old));
        LSR_DrawBlendPixel(1, 0, colour, page.get(), static_cast<std::int32_t>(mode));
        EXPECT_EQ(picture::at(page.get(), 1, 0), picture::stored(want)) << std::hex << old;
    }
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
        LSR_DrawBlendPixel(x, y, k_white, page.get(), LSR_PIXEL_SET);
        LSR_DrawPixel(x, y, k_white, page.get());
        EXPECT_EQ(LSR_GetPixel(x, y, page.get()), 0u);
    }
    LSR_DrawPixel(2, 1, 0x00123456, page.get());
    EXPECT_TRUE(picture::matches(page.get(), 0, 0, ".o.\n..o", {{'.', 0}, {'o', 0x123456}}));
    EXPECT_EQ(LSR_GetPixel(2, 1, page.get()), sixteen() ? 0xFF103050u : 0x00123456u);
    EXPECT_EQ(LSR_GetPixel(1, 1, page.get()), sixteen() ? 0xFF000000u : 0u);
    EXPECT_EQ(LSR_GetPixel(2, 1, LSR_Bitmap{3, 2, 0, 6, nullptr}), 0u);
}

} // namespace
