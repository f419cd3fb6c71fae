// Lines and triangles against references: the walk of a line's pixels, corner order, textured
// fills, clipping; the perspective span.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/graphics/triangles.h"
#include "picture.h"

namespace {

class Primitive : public picture::BothDepths {
  protected:
    void TearDown() override {
        LSR_SetPrimitiveTexture(LSR_Bitmap{});
        BothDepths::TearDown();
    }
};
PICTURE_BOTH_DEPTHS(Primitive);

LSR_Vertex at(std::int32_t x, std::int32_t y, std::int32_t shade = 0, std::int32_t u = 0,
              std::int32_t v = 0) {
    LSR_Vertex c;
    c.x = x, c.y = y, c.shade = shade, c.u = u, c.v = v;
    return c;
}

constexpr std::uint32_t k_white = 0xFFFFFF;
const picture::Legend k_lit = {{'.', 0}, {'X', k_white}};

::testing::AssertionResult shows(const lsr::OwnedBitmap& page, std::string_view grid) {
    return picture::matches(page.get(), 0, 0, grid, k_lit);
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

// Flat tops and bottoms, whose corners tie in y, give the same pixels in every order of their
// corners.
TEST_P(Primitive, FlatFillsInAnyOrderOfCorners) {
    for (const auto& t : {std::array{at(10, 5), at(30, 5), at(18, 25)},
                          std::array{at(18, 3), at(2, 25), at(33, 25)}}) {
        std::array<int, 3> order = {0, 1, 2};
        const auto first = picture::filled(40, 40), other = picture::filled(40, 40);
        LSR_DrawTriangle(t[0], t[1], t[2], 0xFFFFFF, first.get());
        while (std::next_permutation(order.begin(), order.end())) {
            LSR_ClearBitmap(other.get());
            LSR_DrawTriangle(t[order[0]], t[order[1]], t[order[2]], 0xFFFFFF, other.get());
            EXPECT_EQ(picture::grid_of(other.get(), 0, 0, 40, 40, k_lit),
                      picture::grid_of(first.get(), 0, 0, 40, 40, k_lit));
        }
    }
}

// The upper-left half one to one; a texture smaller or larger than the 256 grid repeats or is
// cut, and nothing past it is read.
TEST_P(Primitive, TexturedFillMapsTheTexture) {
    const auto page = picture::filled(256, 256);
    const auto draw = [&] {
        LSR_ClearBitmap(page.get());
        LSR_DrawTriangleTextured(at(0, 0, 0, 0, 0), at(255, 0, 0, 255, 0), at(0, 255, 0, 0, 255),
                                 page.get());
    };
    draw();
    EXPECT_EQ(picture::grid_of(page.get(), 0, 0, 256, 256, k_lit).find_first_not_of(".\n"),
              std::string::npos); // no texture: nothing
    for (auto [w, h] : {std::pair{256, 256}, {16, 8}, {5, 3}, {1, 1}, {300, 200}}) {
        const auto tex = picture::filled(w, h);
        for (int i = 0; i < w * h; ++i) picture::set(tex.get(), i % w, i / w, 1 + i % 0x7FFF);
        LSR_SetPrimitiveTexture(tex.get());
        draw();
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                ASSERT_EQ(picture::at(page.get(), x, y),
                          x + y <= 255 && y < 255 ? picture::at(tex.get(), x % w, y % h) : 0)
                    << w << "x" << h << ": " << x << "," << y;
    }
}

// Left of column 0, above row 0 and below the last row: the visible pixels are those of the
// same triangle drawn whole on a larger bitmap.
TEST_P(Primitive, FillsAreClippedSpanBySpan) {
    const auto tex = picture::filled(256, 256);
    for (int i = 0; i < 65536; ++i) picture::set(tex.get(), i % 256, i / 256, 1 + i % 0x7FFF);
    LSR_SetPrimitiveTexture(tex.get());
    const auto big = picture::filled(80, 80, 1), small = picture::filled(40, 30, 1);
    for (int kind = 0; kind < 3; ++kind) {
        for (auto [target, dx, dy] : {std::tuple{&big, 0, 0}, {&small, 20, 25}}) {
            const LSR_Vertex a = at(2 - dx, 5 - dy, 0, 10, 200);
            const LSR_Vertex b = at(60 - dx, 20 - dy, 255, 250, 30);
            const LSR_Vertex c = at(25 - dx, 70 - dy, 90, 0, 90);
            if (kind == 0) LSR_DrawTriangle(a, b, c, 0x123456, target->get());
            if (kind == 1) LSR_DrawTriangleShaded(a, b, c, target->get());
            if (kind == 2) LSR_DrawTriangleTextured(a, b, c, target->get());
        }
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 39; ++x) // the shaded span's last column ends short when cut
                ASSERT_EQ(picture::at(small.get(), x, y), picture::at(big.get(), x + 20, y + 25))
                    << kind << ": " << x << "," << y;
    }
    const auto page = picture::filled(4, 3), blank = picture::filled(4, 3);
    LSR_DrawTriangleTextured(at(4, 0), at(60, 5), at(45, 20), page.get()); // right of it: nothing
    EXPECT_EQ(picture::sum(page.get()), picture::sum(blank.get()));
}

// Exact at the ends of each run of 16, straight between; column and row from u, v over z, the
// index wrapping only outside the 65536 texels.
TEST(PerspectiveSpan, ExactAtRunEndsStraightBetween) {
    std::vector<std::uint32_t> tex(65536), out(40, 0xDEAD);
    for (std::size_t i = 0; i < tex.size(); ++i) tex[i] = static_cast<std::uint32_t>(i);
    persptextfill_c(out.data(), tex.data(), 20, 0, 3 << 16, 65536, 1 << 16, 0, 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(out[i], 3u * 256 + i) << i;
    EXPECT_EQ(out[20], 0xDEADu);
    // Depth from 65536 to 131072 over 32 pixels, u linear: an affine span would give column 7
    // at pixel 16.
    persptextfill_c(out.data(), tex.data(), 33, 0, 0, 65536, 61440, 0, 2048);
    EXPECT_EQ((std::array{out[0], out[8], out[16], out[32]}), (std::array{0u, 5u, 10u, 15u}));
    for (auto [u, v, z, want] : {std::array<std::int32_t, 4>{300 << 16, 0, 65536, 300},
                                 {256 << 16, 255 << 16, 65536, 0},
                                 {-(1 << 16), 0, 65536, 0xFFFF},
                                 {5, 2, 0, 2 * 256 + 5}}) { // a zero depth counts as 1
        persptextfill_c(out.data(), tex.data(), 1, u, v, z, 0, 0, 0);
        EXPECT_EQ(out[0], static_cast<std::uint32_t>(want)) << u << "," << v;
    }
    // Positions past the 32-bit range are held to it: column 32767, row 0.
    persptextfill_c(out.data(), tex.data(), 17, 2147483647, -2147483647 - 1, 1, 99999999, 99999999,
                    -1);
    EXPECT_EQ(out[0], 32767u);
    out[0] = 0xDEAD;
    persptextfill_c(out.data(), tex.data(), 0, 0, 0, 1, 0, 0, 0);
    persptextfill_c(out.data(), tex.data(), -3, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(out[0], 0xDEADu);
}

} // namespace
