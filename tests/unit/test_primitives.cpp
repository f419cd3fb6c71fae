// Pixel, span, line, Bezier, box and circle coverage and clipping, at both depths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "test_pic_util.h"

namespace {

using Points = std::set<std::pair<int, int>>;

constexpr std::uint32_t k_white = 0xFFFFFFFF;

// A cleared page at the current depth; lit() lists its non-zero pixels.
struct Page : pic_test::Pic {
    Page(std::int32_t w, std::int32_t h) : Pic(w, h) { LSR_ClearBitmap(bm); }
    Points lit() const {
        Points out;
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x)
                if (at(x, y) != 0) out.insert({x, y});
        return out;
    }
};

using Primitive = pic_test::BothDepths;

std::uint32_t stored(std::uint32_t colour) {
    return LSR_Is16Bit() ? TarnBlit_color24to16(colour) : colour;
}

INSTANTIATE_TEST_SUITE_P(Primitive, Primitive, ::testing::Values(false, true),
                         pic_test::depth_name);

// Every point from (x1, y1) to (x2, y2) inclusive.
Points rect(int x1, int y1, int x2, int y2) {
    Points p;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) p.insert({x, y});
    return p;
}

TEST(PrimitiveTable, CircleTableFollowsItsRule) {
    EXPECT_EQ(LSR_circletab[512], 56755u);
    for (int i = 0; i < 1024; ++i) {
        const double f = i / 1024.0;
        const auto want =
            static_cast<std::uint32_t>(static_cast<float>(65536.0 * std::sqrt(1 - f * f)));
        ASSERT_EQ(LSR_circletab[i], want) << "entry " << i;
    }
}

TEST_P(Primitive, SpansSkipSinglePixelsAndClip) {
    struct Case {
        int x1, x2;
        Points want;
    };
    const Case hlines[] = {{5, 5, {}},
                           {5, 6, rect(5, 4, 6, 4)},
                           {-3, 2, rect(0, 4, 2, 4)},
                           {630, 700, rect(630, 4, 639, 4)},
                           {8, 3, {}},
                           {639, 700, {}},
                           {std::numeric_limits<int>::min(), 1, rect(0, 4, 1, 4)}};
    for (const auto& c : hlines) {
        Page page(640, 8);
        LSR_DrawHLine(c.x1, c.x2, 4, k_white, page.bm);
        EXPECT_EQ(page.lit(), c.want) << c.x1 << ".." << c.x2;
    }
    Page page(640, 8);
    LSR_DrawHLine(0, 9, -1, k_white, page.bm);
    LSR_DrawHLine(0, 9, 8, k_white, page.bm);
    EXPECT_TRUE(page.lit().empty());

    Page col(8, 8);
    LSR_DrawVLine(3, 7, 7, k_white, col.bm);
    LSR_DrawVLine(3, 5, 1, k_white, col.bm);
    LSR_DrawVLine(-1, 0, 5, k_white, col.bm);
    LSR_DrawVLine(8, 0, 5, k_white, col.bm);
    EXPECT_TRUE(col.lit().empty());
    LSR_DrawVLine(2, -2, 2, k_white, col.bm);
    LSR_DrawVLine(5, 6, std::numeric_limits<int>::max(), k_white, col.bm);
    EXPECT_EQ(col.lit(), (Points{{2, 0}, {2, 1}, {2, 2}, {5, 6}, {5, 7}}));
}

// Half-width of each row of the radius-12 filled circle, by distance from the centre row (-1:
// empty), put at (cx, cy) with each row clipped as a span is: one pixel or none draws nothing.
Points filled_circle(int cx, int cy, int w, int h) {
    static const int half[] = {12, 11, 11, 11, 11, 10, 10, 9, 8, 7, 6, 4, -1};
    Points out;
    for (int dy = -12; dy <= 12; ++dy) {
        const int hw = half[dy < 0 ? -dy : dy], y = cy + dy;
        if (hw < 0 || y < 0 || y >= h) continue;
        const int xs = std::max(cx - hw, 0), xe = std::min(cx + hw, w - 1);
        if (xe - xs <= 0) continue;
        for (int x = xs; x <= xe; ++x) out.insert({x, y});
    }
    return out;
}

TEST_P(Primitive, FilledCircleCoversTheDesignedRows) {
    const Points want = filled_circle(206, 356, 640, 480);
    ASSERT_EQ(want.size(), 439u);
    for (int r : {12, -12}) {
        Page page(640, 480);
        LSR_DrawFilledCircle(206, 356, r, 0xFF3060F0, page.bm);
        EXPECT_EQ(page.lit(), want) << "radius " << r;
        EXPECT_EQ(page.at(206, 356), stored(0xFF3060F0));
    }
}

TEST_P(Primitive, SmallFilledCirclesAreFixedShapes) {
    for (int r : {0, 1, -1, 2, 3, -3}) {
        Page page(16, 16);
        LSR_DrawFilledCircle(5, 6, r, k_white, page.bm);
        EXPECT_EQ(page.lit(), r * r <= 1 ? rect(5, 6, 5, 6) : rect(5, 6, 6, 7)) << r;
    }
    Page corner(16, 16);
    LSR_DrawFilledCircle(15, 15, 2, k_white, corner.bm);
    LSR_DrawFilledCircle(-1, 3, 1, k_white, corner.bm);
    EXPECT_EQ(corner.lit(), (Points{{15, 15}}));
}

TEST_P(Primitive, FilledCirclesClipAtEveryEdge) {
    const std::pair<int, int> centres[] = {{5, 3},    {-12, 20},  {-11, 20}, {639, 479},
                                           {630, -5}, {320, 490}, {651, 240}};
    for (auto [cx, cy] : centres) {
        Page page(640, 480);
        LSR_DrawFilledCircle(cx, cy, 12, k_white, page.bm);
        EXPECT_EQ(page.lit(), filled_circle(cx, cy, 640, 480)) << cx << "," << cy;
    }
    // Coordinates at the ends of the integer range reach nothing and wrap nowhere.
    Page page(64, 64);
    const int big = std::numeric_limits<int>::max(), small = std::numeric_limits<int>::min();
    LSR_DrawFilledCircle(big, big, 12, k_white, page.bm);
    LSR_DrawFilledCircle(small, 10, 12, k_white, page.bm);
    LSR_DrawCircle(big, small, 40, k_white, page.bm);
    LSR_DrawCircle(10, 10, small, k_white, page.bm);
    EXPECT_TRUE(page.lit().empty());
}

Points mirrored(const std::vector<std::pair<int, int>>& quadrant, int cx, int cy) {
    Points out;
    for (auto [a, b] : quadrant)
        for (int sx : {1, -1})
            for (int sy : {1, -1}) out.insert({cx + sx * a, cy + sy * b});
    return out;
}

TEST_P(Primitive, CircleOutlineLiesOneInside) {
    const std::vector<std::pair<int, int>> quadrant12 = {
        {0, 11}, {1, 11}, {2, 11}, {3, 11}, {4, 11}, {5, 10}, {6, 10}, {7, 9}, {8, 8},
        {9, 7},  {10, 6}, {10, 5}, {11, 4}, {11, 3}, {11, 2}, {11, 1}, {11, 0}};
    Page page(64, 64);
    LSR_DrawCircle(30, 30, 12, k_white, page.bm);
    EXPECT_EQ(page.lit(), mirrored(quadrant12, 30, 30));

    // Radius 1: the centre; 0 and below: four points on the axes at distance 1 - r.
    const std::pair<int, int> small[] = {{1, 0}, {0, 1}, {-2, 3}};
    for (auto [r, d] : small) {
        Page p(64, 64);
        LSR_DrawCircle(30, 30, r, k_white, p.bm);
        const Points want = d == 0 ? Points{{30, 30}}
                                   : Points{{30 + d, 30}, {30 - d, 30}, {30, 30 + d}, {30, 30 - d}};
        EXPECT_EQ(p.lit(), want) << "radius " << r;
    }
    // Partly outside: the visible points only.
    Page edge(64, 64);
    LSR_DrawCircle(0, 0, 12, k_white, edge.bm);
    Points visible;
    for (auto pt : mirrored(quadrant12, 0, 0))
        if (pt.first >= 0 && pt.second >= 0) visible.insert(pt);
    EXPECT_EQ(edge.lit(), visible);
}

TEST_P(Primitive, LinesStepLikeBresenhamFromTheFirstPoint) {
    const struct {
        int x1, y1, x2, y2;
        Points want;
    } lines[] = {
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {4, 2, 0, 0, {{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {3, 3, 3, 3, {{3, 3}}},
        {-2, -2, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {5, 5, -10, 5, rect(0, 5, 5, 5)},
        {9, 0, 20, 0, rect(9, 0, 9, 0)},
        {2, -30, 2, 1, {{2, 0}, {2, 1}}},
    };
    for (const auto& l : lines) {
        Page page(10, 10);
        LSR_DrawLine(l.x1, l.y1, l.x2, l.y2, k_white, page.bm);
        EXPECT_EQ(page.lit(), l.want) << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2;
    }
}

// Bresenham walked pixel by pixel from the first point, each pixel kept only when inside.
Points walked_line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, int w,
                   int h) {
    const std::int64_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const std::int64_t sx = x1 > x2 ? -1 : 1, sy = y1 > y2 ? -1 : 1;
    const bool x_major = dx >= dy;
    const std::int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
    std::int64_t d = 2 * minor - major, x = x1, y = y1;
    Points out;
    for (std::int64_t i = 0; i <= major; ++i) {
        if (x >= 0 && x < w && y >= 0 && y < h) out.insert({int(x), int(y)});
        if (d >= 0) {
            d += 2 * (minor - major);
            x += sx, y += sy;
        } else {
            d += 2 * minor;
            (x_major ? x : y) += x_major ? sx : sy;
        }
    }
    return out;
}

// Lines in every octant crossing every edge, some from far away, against the walk; and lines
// from the ends of the coordinate range, whose clipping needs products past 64 bits.
TEST_P(Primitive, ClippedLinesDrawExactlyTheWalkedPixels) {
    std::uint32_t seed = 1;
    const auto next = [&](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
    };
    for (int n = 0; n < 600; ++n) {
        const int reach = n % 3 == 0 ? 20000 : 60;
        const int x1 = next(-reach, 37 + reach), y1 = next(-reach, 23 + reach);
        const int x2 = next(-reach, 37 + reach), y2 = next(-reach, 23 + reach);
        Page page(37, 23);
        LSR_DrawLine(x1, y1, x2, y2, k_white, page.bm);
        ASSERT_EQ(page.lit(), walked_line(x1, y1, x2, y2, 37, 23))
            << x1 << "," << y1 << " to " << x2 << "," << y2;
    }
    constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    Points diagonal;
    for (int i = 0; i < 23; ++i) diagonal.insert({i, i});
    const struct {
        int x1, y1, x2, y2;
        Points want;
    } far[] =
        {
            {lo, 3, hi, 3, rect(0, 3, 36, 3)},
            {lo, 2, hi, 4, rect(0, 3, 36, 3)}, // a third of the way between its rows: rounds to 3
            {5, lo, 5, hi, rect(5, 0, 5, 22)},
            {0, lo, 3, hi, rect(2, 0, 2, 22)}, // two thirds of its columns are left behind
            {lo, lo, hi, hi, diagonal},
            {hi, hi, lo, lo, diagonal},
            {hi, 40, lo, 40, {}},
        };
    for (const auto& l : far) {
        Page page(37, 23);
        LSR_DrawLine(l.x1, l.y1, l.x2, l.y2, k_white, page.bm);
        EXPECT_EQ(page.lit(), l.want) << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2;
    }
}

TEST_P(Primitive, BezierStepsAreClampedAndJoinTheCurvePoints) {
    const auto curve = [](int steps) {
        Page page(80, 80);
        LSR_DrawBezier(0, 0, 0, 64, 64, 64, 64, 0, steps, k_white, page.bm);
        return page.lit();
    };
    const Points one = curve(1);
    // Steps 1: t = 0, 64, 128, 192, 256 on the curve through the four control points.
    for (auto pt : {std::pair{0, 0}, std::pair{10, 36}, std::pair{32, 48}, std::pair{54, 36},
                    std::pair{64, 0}})
        EXPECT_TRUE(one.count(pt)) << pt.first << "," << pt.second;
    EXPECT_EQ(curve(0), one);
    EXPECT_NE(curve(2), one);
    EXPECT_EQ(curve(100), curve(64));
    // Steps 3: s = 21, the last point is t = 252, short of the end point.
    const Points three = curve(3);
    EXPECT_TRUE(three.count({63, 2}));
    EXPECT_FALSE(three.count({64, 0}));
}

TEST_P(Primitive, BoxOutlineMatchesTheFilledBox) {
    Page filled(32, 32);
    LSR_DrawFilledBox(10, 10, 5, 3, k_white, filled.bm);
    EXPECT_EQ(filled.lit(), rect(10, 10, 14, 12));
    Points border = rect(10, 10, 14, 12);
    for (auto pt : rect(11, 11, 13, 11)) border.erase(pt);
    for (auto [x, y, w, h] : {std::tuple{10, 10, 5, 3}, std::tuple{15, 13, -5, -3},
                              std::tuple{15, 10, -5, 3}, std::tuple{10, 13, 5, -3}}) {
        Page page(32, 32);
        LSR_DrawBox(x, y, w, h, k_white, page.bm);
        EXPECT_EQ(page.lit(), border) << x << "," << y << " " << w << "x" << h;
    }
    // Empty rectangles draw nothing, outlined or filled.
    Page none(32, 32);
    for (auto [x, y, w, h] :
         {std::tuple{10, 10, 0, 3}, std::tuple{10, 10, 5, 0}, std::tuple{32, 5, 4, 4},
          std::tuple{-4, 5, 4, 4}, std::tuple{5, 32, 4, 4}}) {
        LSR_DrawFilledBox(x, y, w, h, k_white, none.bm);
        LSR_DrawBox(x, y, w, h, k_white, none.bm); // right edge at x 0 is exclusive
    }
    LSR_DrawFilledBox(10, 10, -5, 3, k_white, none.bm);
    LSR_DrawFilledBox(10, 10, 5, -3, k_white, none.bm);
    EXPECT_TRUE(none.lit().empty());

    // Clipped on two sides: only the part on the page.
    Page clip(8, 8);
    LSR_DrawFilledBox(-3, 6, 5, std::numeric_limits<int>::max(), k_white, clip.bm);
    EXPECT_EQ(clip.lit(), rect(0, 6, 1, 7));
    Page wide(8, 8); // rows as wide as the page, clipped at both sides and the top
    LSR_DrawFilledBox(-1, -2, 10, 5, k_white, wide.bm);
    EXPECT_EQ(wide.lit(), rect(0, 0, 7, 2));
    Page outline(8, 8);
    LSR_DrawBox(-2, -2, 5, 4, k_white, outline.bm);
    EXPECT_EQ(outline.lit(), (Points{{2, 0}, {2, 1}, {0, 1}, {1, 1}}));
}

TEST_P(Primitive, BlendPixelReplacesAveragesOrAdds) {
    Page page(4, 1);
    const auto blend = [&](std::uint32_t old, std::uint32_t colour, std::int32_t mode) {
        page.set(1, 0, stored(old));
        LSR_DrawBlendPixel(1, 0, colour, page.bm, mode);
        return page.at(1, 0);
    };
    // The mix and add arithmetic itself is proven with the span blitters; here each mode's pick.
    EXPECT_EQ(blend(0x0000FF, 0xFF0000, 1), GetParam() ? 0x3C0Fu : 0x7F007Fu);
    // One 32-bit sum: two opaque pixels average to opacity 0x7E, their carry lost.
    EXPECT_EQ(blend(0xFFFFFFFF, 0xFF000000, 1), GetParam() ? 0x3DEFu : 0x7E7F7F7Fu);
    EXPECT_EQ(blend(0x808080, 0x808080, 2), GetParam() ? 0x7FFFu : 0xFFFFFFu);
    EXPECT_EQ(blend(0x123456, 0xFFFFFF, 0), stored(0xFFFFFF));
    EXPECT_EQ(blend(0x123456, 0xFFFFFF, 3), stored(0x123456));
    EXPECT_EQ(blend(0x123456, 0xFFFFFF, -1), stored(0x123456));
    page.set(1, 0, 0);
    for (auto [x, y] : {std::pair{-1, 0}, std::pair{4, 0}, std::pair{0, 1}, std::pair{0, -1}})
        LSR_DrawBlendPixel(x, y, k_white, page.bm, 0);
    EXPECT_TRUE(page.lit().empty());
}

TEST_P(Primitive, GetPixelReadsInsideOnlyAndWidensSixteenBits) {
    Page page(4, 3);
    LSR_DrawPixel(2, 1, 0x00123456, page.bm);
    LSR_DrawPixel(4, 1, k_white, page.bm);
    LSR_DrawPixel(-1, 1, k_white, page.bm);
    LSR_DrawPixel(0, 3, k_white, page.bm);
    EXPECT_EQ(page.lit(), (Points{{2, 1}}));
    EXPECT_EQ(LSR_GetPixel(2, 1, page.bm), GetParam() ? 0xFF103050u : 0x00123456u);
    EXPECT_EQ(LSR_GetPixel(1, 1, page.bm), GetParam() ? 0xFF000000u : 0u);
    EXPECT_EQ(LSR_GetPixel(4, 1, page.bm), 0u);
    EXPECT_EQ(LSR_GetPixel(2, -1, page.bm), 0u);
    EXPECT_EQ(LSR_GetPixel(2, 1, LSR_Bitmap{4, 3, 0, 12, nullptr}), 0u);
}

} // namespace
