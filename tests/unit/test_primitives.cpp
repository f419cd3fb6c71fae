// Pixels, spans, lines, Bezier curves, boxes and circles: their pictures, clipped at every edge.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "picture.h"

namespace {

using Primitive = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Primitive);

constexpr int k_min = std::numeric_limits<int>::min(), k_max = std::numeric_limits<int>::max();
constexpr std::uint32_t k_white = 0xFFFFFF;

::testing::AssertionResult shows(const lsr::OwnedBitmap& page, std::string_view grid) {
    return picture::matches(page.get(), 0, 0, grid, {{'.', 0}, {'X', k_white}});
}

// Row by row: a span whose clipped part is one pixel or none draws nothing. Column by column: a
// vertical line draws pixel by pixel.
TEST_P(Primitive, SpansClipAndSkipSinglePixels) {
    const auto rows = picture::filled(10, 7), columns = picture::filled(6, 5);
    const auto h = [&](int x1, int x2, int y) { LSR_DrawHLine(x1, x2, y, k_white, rows.get()); };
    h(5, 5, 0), h(5, 6, 1), h(-3, 2, 2), h(8, 700, 3), h(8, 3, 4), h(9, 700, 5), h(k_min, 1, 6);
    h(0, 9, -1), h(0, 9, 7);
    EXPECT_TRUE(shows(rows, R"(
        ..........
        .....XX...
        XXX.......
        ........XX
        ..........
        ..........
        XX........)"));
    const auto v = [&](int x, int y1, int y2) { LSR_DrawVLine(x, y1, y2, k_white, columns.get()); };
    v(0, 2, 2), v(1, 3, 1), v(2, -2, 1), v(3, 3, k_max), v(4, 0, 4), v(5, k_min, 0);
    v(-1, 0, 4), v(6, 0, 4);
    EXPECT_TRUE(shows(columns, "..X.XX\n..X.X.\n....X.\n...XX.\n...XX."));
}

// A disc's rows one pixel or none wide are left out; the outline lies one pixel inside it. Radii
// up to 3 are fixed shapes; an outline of radius 0 or less lies 1 - r from the centre.
TEST_P(Primitive, CirclesAndDiscsClippedAtEveryEdge) {
    const auto page = picture::filled(38, 9);
    const auto disc = [&](int x, int y, int r) {
        LSR_DrawFilledCircle(x, y, r, k_white, page.get());
    };
    const auto ring = [&](int x, int y, int r) { LSR_DrawCircle(x, y, r, k_white, page.get()); };
    disc(12, 4, -4), ring(23, 4, 4), ring(23, 4, 1), ring(23, 4, -1);
    disc(28, 0, 0), disc(30, 0, 1), disc(28, 2, 2), disc(30, 2, -3), ring(29, 6, 0);
    disc(0, 0, 4), ring(1, 8, 4), disc(37, 8, 4), ring(37, 0, 4);
    // Centres at the ends of the integer range reach nothing and wrap nowhere.
    disc(k_max, k_max, 12), disc(k_min, 4, 12), ring(k_max, k_min, 40), ring(5, 5, k_min);
    EXPECT_TRUE(shows(page, R"(
        XXXXX.......................X.X...X...
        XXXX......XXXXX......XXXXX........X...
        XXXX.....XXXXXXX....X..X..X.XXXX..X...
        XXX......XXXXXXX....X.....X.XXXX...XXX
        ........XXXXXXXXX...XX.X.XX...........
        XXXX.....XXXXXXX....X.....X..X.....XXX
        ....X....XXXXXXX....X..X..X.X.X...XXXX
        ....X.....XXXXX......XXXXX...X....XXXX
        ....X............................XXXXX)"));
}

// The outline of exactly what the filled box covers, from any corner; empty ones draw nothing.
TEST_P(Primitive, BoxesFromAnyCornerClipped) {
    const auto page = picture::filled(30, 3);
    const auto box = [&](int x, int y, int w, int h) {
        LSR_DrawBox(x, y, w, h, k_white, page.get());
    };
    const auto fill = [&](int x, int y, int w, int h) {
        LSR_DrawFilledBox(x, y, w, h, k_white, page.get());
    };
    box(4, 0, 5, 3), box(15, 3, -5, -3), box(16, 3, 5, -3), fill(22, 0, 5, 3),
        fill(28, 1, 5, k_max);
    box(-2, -2, 5, 4), box(1, 1, 0, 3), box(30, 1, 4, 4), box(-4, 1, 4, 4), box(1, 3, 4, 4);
    fill(1, 1, 0, 3), fill(1, 1, 5, 0), fill(1, 1, -5, 3), fill(1, 1, 5, -3), fill(30, 1, 4, 4);
    fill(-4, 1, 4, 4), fill(1, 3, 4, 4);
    EXPECT_TRUE(shows(page, "..X.XXXXX.XXXXX.XXXXX.XXXXX...\nXXX.X...X.X...X.X...X.XXXXX.XX\n"
                            "....XXXXX.XXXXX.XXXXX.XXXXX.XX"));
    const auto wide = picture::filled(4, 3); // rows as wide as the page follow each other
    LSR_DrawFilledBox(-1, -2, 10, 4, k_white, wide.get());
    EXPECT_TRUE(shows(wide, "XXXX\nXXXX\n...."));
}

// A chain of lines through the curve's points at t = 0, s, 2s ... up to 256, s = 64 / steps with
// steps held to 1..64.
TEST_P(Primitive, BezierJoinsItsPointsWithLines) {
    const auto curve = [](int steps) {
        auto page = picture::filled(9, 7);
        LSR_DrawBezier(0, 0, 0, 8, 8, 8, 8, 0, steps, k_white, page.get());
        return picture::grid_of(page.get(), 0, 0, 9, 7, {{'.', 0}, {'X', k_white}});
    };
    EXPECT_EQ(curve(1),
              "X.......X\nX.......X\n.X.....X.\n.X.....X.\n.X....X..\n..XX.X...\n....X....\n");
    // Steps 3: t = 252 is the last point, short of the end.
    EXPECT_EQ(curve(3),
              "X.....X..\nX......X.\nX......X.\nX.....X..\nX....X...\n.XXXXX...\n.........\n");
    EXPECT_EQ(curve(0), curve(1));
    EXPECT_EQ(curve(100), curve(64));
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
    const struct {
        int x1, y1, x2, y2;
        const char* grid;
    } far[] = {
        {k_min, 1, k_max, 1, "....\nXXXX\n....\n...."},
        {k_min, 0, k_max, 2, "....\nXXXX\n....\n...."}, // a third of the way: rounds to row 1
        {2, k_min, 2, k_max, "..X.\n..X.\n..X.\n..X."},
        {0, k_min, 3, k_max, "..X.\n..X.\n..X.\n..X."}, // two thirds of its columns behind
        {k_min, k_min, k_max, k_max, "X...\n.X..\n..X.\n...X"},
        {k_max, k_max, k_min, k_min, "X...\n.X..\n..X.\n...X"},
        {k_max, 4, k_min, 4, "....\n....\n....\n...."},
    };
    for (const auto& l : far) {
        const auto page = picture::filled(4, 4);
        LSR_DrawLine(l.x1, l.y1, l.x2, l.y2, k_white, page.get());
        EXPECT_TRUE(shows(page, l.grid)) << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2;
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
