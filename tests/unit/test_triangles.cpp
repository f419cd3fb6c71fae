// Triangles: wire frames, flat, shaded and textured fills, clipping, and the perspective span.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/graphics/triangles.h"
#include "test_pic_util.h"

namespace {

using pic_test::Pic;

class Triangle : public pic_test::BothDepths {
  protected:
    void TearDown() override {
        LSR_SetPrimitiveTexture(LSR_Bitmap{});
        BothDepths::TearDown();
    }
};
INSTANTIATE_TEST_SUITE_P(Triangle, Triangle, ::testing::Values(false, true), pic_test::depth_name);

LSR_Vertex at(std::int32_t x, std::int32_t y, std::int32_t shade = 0) {
    LSR_Vertex c;
    c.x = x;
    c.y = y;
    c.shade = shade;
    return c;
}

LSR_Vertex mapped(std::int32_t x, std::int32_t y, std::int32_t u, std::int32_t v) {
    LSR_Vertex c = at(x, y);
    c.u = u;
    c.v = v;
    return c;
}

// The first and last marked column of each row, -1 where the row is empty.
std::vector<std::pair<int, int>> spans(const Pic& p, std::uint32_t background = 0) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < p.bm.height; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < p.bm.width; ++x)
            if (p.at(x, y) != background) {
                if (first < 0) first = x;
                last = x;
            }
        out.emplace_back(first, last);
    }
    return out;
}

std::vector<std::uint32_t> pixels(const Pic& p) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < p.bm.height; ++y)
        for (int x = 0; x < p.bm.width; ++x) out.push_back(p.at(x, y));
    return out;
}

TEST_P(Triangle, FlatFillTakesTheSameRowsInEveryCornerOrder) {
    Pic page(40, 40);
    page.fill(0);
    LSR_DrawTriangle(at(0, 0), at(4, 0), at(0, 4), 0xFFFFFF, page.bm);
    const auto s = spans(page);
    EXPECT_EQ(s[0], std::make_pair(0, 0)); // a flat top starts with one pixel at its left end
    EXPECT_EQ(s[1], std::make_pair(0, 4));
    EXPECT_EQ(s[4], std::make_pair(0, 1));
    EXPECT_EQ(s[5], std::make_pair(-1, -1));

    const std::array<std::array<LSR_Vertex, 3>, 6> shapes = {{
        {at(0, 0), at(4, 0), at(0, 4)},
        {at(20, 2), at(3, 17), at(35, 30)},
        {at(10, 5), at(30, 5), at(18, 25)}, // flat top
        {at(18, 3), at(2, 25), at(33, 25)}, // flat bottom
        {at(5, 1), at(38, 12), at(9, 37)},
        {at(12, 12), at(13, 14), at(11, 39)}, // thin
    }};
    for (const auto& t : shapes) {
        std::array<int, 3> order = {0, 1, 2};
        page.fill(0);
        LSR_DrawTriangle(t[0], t[1], t[2], 0xFFFFFF, page.bm);
        const auto want = pixels(page);
        EXPECT_LT(std::count(want.begin(), want.end(), 0u), 40 * 40); // something is drawn
        while (std::next_permutation(order.begin(), order.end())) {
            page.fill(0);
            LSR_DrawTriangle(t[order[0]], t[order[1]], t[order[2]], 0xFFFFFF, page.bm);
            EXPECT_EQ(pixels(page), want)
                << t[0].x << "," << t[0].y << " order " << order[0] << order[1] << order[2];
        }
    }
}

TEST_P(Triangle, OneRowTrianglesAndWireFrames) {
    Pic page(20, 10);
    page.fill(0);
    LSR_DrawTriangle(at(3, 4), at(9, 4), at(15, 4), 0xFFFFFF, page.bm);
    const auto s = spans(page);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(s[y].first >= 0, y == 4) << y;
    page.fill(0);
    LSR_DrawTriangleShaded(at(3, 4, 200), at(9, 4, 200), at(15, 4, 200), page.bm);
    LSR_SetPrimitiveTexture(page.bm);
    LSR_DrawTriangleTextured(at(3, 4), at(9, 4), at(15, 4), page.bm);
    for (const auto& row : spans(page)) EXPECT_EQ(row.first, -1);

    // Wire frame: three lines through the corners.
    LSR_DrawTriangleWireframe(at(1, 1), at(11, 1), at(1, 6), 0xFFFFFF, page.bm);
    const std::uint32_t white = sixteen() ? 0x7FFFu : 0xFFFFFFu;
    for (auto [x, y] : {std::pair{1, 1}, std::pair{6, 1}, std::pair{11, 1}, std::pair{1, 6},
                        std::pair{1, 3}, std::pair{7, 3}})
        EXPECT_EQ(page.at(x, y), white) << x << "," << y;
    EXPECT_EQ(page.at(3, 3), 0u);
}

TEST_P(Triangle, FillsAreClippedSpanBySpan) {
    // Left of column 0, above row 0 and below the last row: the visible pixels are those of the
    // same triangle drawn whole on a larger bitmap.
    Pic tex(256, 256);
    tex.number();
    LSR_SetPrimitiveTexture(tex.bm);
    Pic big(80, 80), small(40, 30);
    LSR_Vertex a = mapped(2, 5, 10, 200), b = mapped(60, 20, 250, 30), c = mapped(25, 70, 0, 90);
    a.shade = 0;
    b.shade = 255;
    c.shade = 90;
    const auto moved = [](LSR_Vertex v) {
        v.x -= 20;
        v.y -= 25;
        return v;
    };
    for (int kind = 0; kind < 3; ++kind) {
        big.fill(1);
        small.fill(1);
        for (const auto& [target, shift] : {std::pair{&big, false}, std::pair{&small, true}}) {
            const LSR_Vertex p = shift ? moved(a) : a, q = shift ? moved(b) : b;
            const LSR_Vertex r = shift ? moved(c) : c;
            if (kind == 0) LSR_DrawTriangle(p, q, r, 0x123456, target->bm);
            if (kind == 1) LSR_DrawTriangleShaded(p, q, r, target->bm);
            if (kind == 2) LSR_DrawTriangleTextured(p, q, r, target->bm);
        }
        int drawn = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 39; ++x) { // the shaded span's last column ends short when cut
                ASSERT_EQ(small.at(x, y), big.at(x + 20, y + 25)) << kind << ": " << x << "," << y;
                drawn += small.at(x, y) != 1;
            }
        EXPECT_GT(drawn, 200) << kind;
    }

    // Entirely right of the bitmap, or huge: nothing out of place, and the huge one covers it.
    small.fill(1);
    LSR_DrawTriangle(at(40, 0), at(60, 5), at(45, 20), 0, small.bm);
    LSR_DrawTriangleShaded(at(40, 0), at(60, 5), at(45, 20), small.bm);
    LSR_DrawTriangleTextured(at(40, 0), at(60, 5), at(45, 20), small.bm);
    for (const auto& row : spans(small, 1)) EXPECT_EQ(row.first, -1);
    LSR_DrawTriangle(at(-2000000000, -2000000000), at(2000000000, 10), at(-5, 2000000000), 0,
                     small.bm);
    EXPECT_EQ(spans(small, 1)[15], std::make_pair(0, 39));
    LSR_DrawTriangle(at(0, 0), at(5, 0), at(0, 5), 0, LSR_Bitmap{}); // no pixels, no effect
}

TEST_P(Triangle, ShadedFillInterpolatesGreyAndStopsShortOfTheEnds) {
    // White corners: the same rows as the flat fill, each one pixel shorter at the right, and
    // the bottom row left out. Q and R share a column, so both fillers follow the same edges.
    Pic flat(30, 30), shaded(30, 30);
    flat.fill(0);
    shaded.fill(0);
    const LSR_Vertex p = at(20, 2, 255), q = at(4, 12, 255), r = at(4, 26, 255);
    LSR_DrawTriangle(p, q, r, 0xFFFFFF, flat.bm);
    LSR_DrawTriangleShaded(p, q, r, shaded.bm);
    const auto fs = spans(flat), ss = spans(shaded);
    for (int y = 2; y < 26; ++y) {
        ASSERT_GE(fs[y].first, 0) << y;
        if (fs[y].first == fs[y].second) {
            EXPECT_EQ(ss[y].first, -1) << y; // a one-pixel span loses its only pixel
            continue;
        }
        EXPECT_EQ(ss[y].first, fs[y].first) << y;
        EXPECT_EQ(ss[y].second, fs[y].second - 1) << y;
    }
    EXPECT_GE(fs[26].first, 0);
    EXPECT_EQ(ss[26].first, -1);
    EXPECT_EQ(shaded.at(10, 15), sixteen() ? 0x7FFFu : 0x00FFFFFFu);

    // A flat top from level 0 to 255 across: each pixel's level is its column.
    Pic ramp(300, 100);
    ramp.fill(0);
    LSR_DrawTriangleShaded(at(0, 0, 0), at(255, 0, 255), at(0, 255, 0), ramp.bm);
    for (std::uint32_t x : {1u, 100u, 200u}) {
        const std::uint32_t grey = x << 16 | x << 8 | x;
        const std::uint32_t want = sixteen() ? TarnBlit_color24to16(grey) : grey;
        EXPECT_EQ(ramp.at(static_cast<int>(x), 0), want) << x;
        EXPECT_EQ(ramp.at(static_cast<int>(x), 40), want) << x;
    }
    EXPECT_EQ(spans(ramp)[0].second, 254);
}

TEST_P(Triangle, TexturedFillCopiesTheTextureAndTilesASmallOne) {
    Pic tex(256, 256), page(300, 300);
    tex.number();
    tex.set(0, 0, 0x1234);
    page.fill(0);
    LSR_DrawTriangleTextured(mapped(0, 0, 0, 0), mapped(255, 0, 255, 0), mapped(0, 255, 0, 255),
                             page.bm);
    EXPECT_EQ(page.at(5, 5), 0u); // no texture set: nothing
    LSR_SetPrimitiveTexture(tex.bm);
    LSR_DrawTriangleTextured(mapped(0, 0, 0, 0), mapped(255, 0, 255, 0), mapped(0, 255, 0, 255),
                             page.bm);
    // The upper-left half one to one: row r holds columns 0 to 255 - r.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 257; ++x) {
            const std::uint32_t want = x + y <= 255 && y < 255 ? tex.at(x, y) : 0;
            ASSERT_EQ(page.at(x, y), want) << x << "," << y;
        }

    // Fewer texels than the grid: the picture repeats, nothing past it is read; also for sides
    // that do not divide 256 and one wider than the grid.
    for (auto [w, h] : {std::pair{16, 8}, std::pair{5, 3}, std::pair{1, 1}, std::pair{300, 200}}) {
        Pic tile(w, h);
        tile.number();
        LSR_SetPrimitiveTexture(tile.bm);
        page.fill(0);
        LSR_DrawTriangleTextured(mapped(0, 0, 0, 0), mapped(255, 0, 255, 0), mapped(0, 255, 0, 255),
                                 page.bm);
        for (int y = 0; y < 255; ++y)
            for (int x = 0; x + y <= 255; ++x)
                ASSERT_EQ(page.at(x, y), tile.at(x % w, y % h))
                    << w << "x" << h << ": " << x << "," << y;
    }
    LSR_SetPrimitiveTexture(LSR_Bitmap{});
}

TEST(PerspectiveSpan, ExactAtRunEndsStraightBetweenAndInsideTheBlock) {
    std::vector<std::uint32_t> tex(65536);
    for (std::size_t i = 0; i < tex.size(); ++i) tex[i] = static_cast<std::uint32_t>(i);
    std::vector<std::uint32_t> out(40, 0xDEADu);

    // z constant at 65536: plain affine mapping, column = u >> 16, row = v >> 16.
    persptextfill_c(out.data(), tex.data(), 20, 0, 3 << 16, 65536, 1 << 16, 0, 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(out[i], 3u * 256 + i) << i;
    EXPECT_EQ(out[20], 0xDEADu);

    // Depth rising from 65536 to 131072 over 32 pixels with u linear: the position is exact at
    // pixels 0, 16 and 32 (columns 0, 10, 15) and straight within each run, where an affine span
    // would give column 7 at pixel 16.
    persptextfill_c(out.data(), tex.data(), 33, 0, 0, 65536, 61440, 0, 2048);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[8], 5u);
    EXPECT_EQ(out[16], 10u);
    EXPECT_EQ(out[32], 15u);

    // The column is not kept to its row: column 300 of row 0 reads texel 300. Only an index
    // outside the 65536 texels wraps back into them. A zero depth counts as 1.
    struct Texel {
        std::int32_t u, v, z;
        std::uint32_t want;
    };
    const Texel texels[] = {
        {300 << 16, 0, 65536, 300},
        {256 << 16, 255 << 16, 65536, 0}, // one past the block's last texel
        {-(1 << 16), 0, 65536, 0xFFFF},
        {5, 2, 0, 2 * 256 + 5},
    };
    for (const Texel& t : texels) {
        persptextfill_c(out.data(), tex.data(), 1, t.u, t.v, t.z, 0, 0, 0);
        EXPECT_EQ(out[0], t.want) << t.u << "," << t.v;
    }
    // Positions past the 32-bit range are held to it: column 32767, row 0.
    persptextfill_c(out.data(), tex.data(), 17, 2147483647, -2147483647 - 1, 1, 99999999, 99999999,
                    -1);
    EXPECT_EQ(out[0], 32767u);
    out[0] = 0xDEADu;
    persptextfill_c(out.data(), tex.data(), 0, 0, 0, 1, 0, 0, 0);
    persptextfill_c(out.data(), tex.data(), -3, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(out[0], 0xDEADu);
}

} // namespace
