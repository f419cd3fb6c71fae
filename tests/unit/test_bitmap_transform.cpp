// Stretch and texture span blitters; scaled, zoomed and rotated drawing; stereo composition.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/blitters_stretch.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/internal/rotation.h"
#include "test_pic_util.h"

namespace {

using pic_test::Pic;

class Transform : public pic_test::BothDepths {};
INSTANTIATE_TEST_SUITE_P(Transform, Transform, ::testing::Values(false, true),
                         pic_test::depth_name);

// The draws below cover the stretchers at both depths; here what they do not reach.
TEST(StretchBlit, TransparentStretchAndTheTextureSpans) {
    const std::uint32_t row[3] = {0xFF000001u, 0x00FFFFFFu, 0x01000003u};
    std::uint32_t t[4] = {7, 7, 7, 7};
    TarnBlit_BlitTranspStretch32(t, row, 3, 0, 0x10000);
    EXPECT_EQ(std::vector<std::uint32_t>(t, t + 3),
              (std::vector<std::uint32_t>{row[0], 7, row[2]}));

    // Bilinear, stepping backwards from past the last column (blue 0, 100, 200): the pixels
    // reading the last column mix it with itself, then the columns mix with their right ones.
    const std::uint32_t blues[3] = {0xFF000000u, 0xFF000064u, 0xFF0000C8u};
    std::uint32_t back[6] = {};
    TarnBlit_BlitBiLinearStretch32(back, blues, 6, 0, 2 * 65536 + 32768, 0, -32768, 3);
    EXPECT_EQ(std::vector<std::uint32_t>(back, back + 6),
              (std::vector<std::uint32_t>{200, 200, 150, 100, 50, 0}));

    // The grid: both coordinates wrap at 256, the column carrying into the row first.
    std::vector<std::uint32_t> tex(65536), tex2(65536);
    for (std::size_t i = 0; i < tex.size(); ++i) tex[i] = static_cast<std::uint32_t>(i);
    TarnBlit_BlitFillTexture32(t, tex.data(), 3, 0xFE00, 0x10000 + 0x0200, 0x100, 0);
    EXPECT_EQ(std::vector<std::uint32_t>(t, t + 3),
              (std::vector<std::uint32_t>{0x2FE, 0x2FF, 0x300}));
    TarnBlit_BlitFillTexture32(t, tex.data(), 1, -0x100, 0, 0, 0);
    EXPECT_EQ(t[0], 0xFFFFu); // column -1 of row 0 borrows from row 0, which wraps to row 255

    // Shaded texture: level 255 keeps the texel, 127 halves it, below 0 is black; the opacity
    // byte stays.
    tex[0] = 0xFF806040u;
    TarnBlit_BlitFillShadeTexture32(t, tex.data(), 3, 0, 0, 255 << 8, 0, 0, -(128 << 8));
    EXPECT_EQ(std::vector<std::uint32_t>(t, t + 3),
              (std::vector<std::uint32_t>{0xFF806040u, 0xFF403020u, 0xFF000000u}));
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    std::vector<std::uint16_t> tex16(65536, 0x7C1F);
    std::uint16_t p16 = 0;
    TarnBlit_BlitFillShadeTexture16(&p16, tex16.data(), 1, 0, 0, 127 << 8, 0, 0, 0);
    EXPECT_EQ(p16, 0x3C0Fu); // red and blue 31 to 15

    // Dual: (t1 + t2) halved as a signed 32-bit word, unmasked, so green's low bit lands in
    // blue; at 32 bits the opacity carry is lost and its top bit spreads.
    const std::pair<std::array<std::uint32_t, 2>, std::uint32_t> dual32[] = {
        {{0x00000100u, 0x00000001u}, 0x00000080u},
        {{0xFF000000u, 0xFF000000u}, 0xFF000000u},
        {{0x7F000000u, 0x7F000000u}, 0xFF000000u},
        {{0x80000000u, 0x80000000u}, 0x00000000u},
    };
    for (const auto& [texels, want] : dual32) {
        tex[0] = texels[0];
        tex2[0] = texels[1];
        TarnBlit_BlitFillDualTexture32(t, tex.data(), tex2.data(), 1, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(t[0], want) << std::hex << texels[0];
    }
    std::vector<std::uint16_t> tex16b(65536);
    const std::pair<std::array<std::uint16_t, 2>, std::uint16_t> dual16[] = {
        {{0x0020, 0x0001}, 0x0010},
        {{0x7C1F, 0x7C1F}, 0x7C1F},
        {{0x8000, 0x8000}, 0x8000}, // the sum is not cut to 16 bits before the halving
    };
    for (const auto& [texels, want] : dual16) {
        tex16[0] = texels[0];
        tex16b[0] = texels[1];
        TarnBlit_BlitFillDualTexture16(&p16, tex16.data(), tex16b.data(), 1, 0, 0, 0, 0, 0, 0, 0,
                                       0);
        EXPECT_EQ(p16, want) << std::hex << texels[0];
    }
}

TEST_P(Transform, ScaledDrawRepeatsClipsAndTakesTinySizesAsOne) {
    Pic src(4, 4), page(12, 12);
    src.number();
    page.fill(0);
    LSR_DrawScaledBitmap(0, 0, 8, 8, src.bm, page.bm, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(page.at(x, y), src.id(x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(page.at(8, 0), 0u);
    EXPECT_EQ(page.at(0, 8), 0u);

    // Width 0: one column of the first source column; height -5: one row.
    page.fill(0);
    LSR_DrawScaledBitmap(2, 1, 0, 4, src.bm, page.bm, 0);
    for (int y = 1; y < 5; ++y) EXPECT_EQ(page.at(2, y), src.id(0, y - 1));
    EXPECT_EQ(page.at(3, 1), 0u);
    LSR_DrawScaledBitmap(5, 0, 4, -5, src.bm, page.bm, 0);
    EXPECT_EQ(page.at(8, 0), src.id(3, 0));
    EXPECT_EQ(page.at(5, 1), 0u);

    // Clipped at the top-left and the bottom-right: the visible part is the same as unclipped.
    page.fill(0);
    LSR_DrawScaledBitmap(-3, -5, 8, 8, src.bm, page.bm, 0);
    EXPECT_EQ(page.at(0, 0), src.id(1, 2));
    EXPECT_EQ(page.at(4, 2), src.id(3, 3));
    EXPECT_EQ(page.at(5, 0), 0u);
    LSR_DrawScaledBitmap(9, 10, 8, 8, src.bm, page.bm, 0);
    EXPECT_EQ(page.at(11, 11), src.id(1, 0));

    // Zoom percent: 50 of 101 by 101 is 50 by 50.
    Pic big(101, 101), wide(60, 60);
    big.fill(sixteen() ? 0x1234 : 0xFF123456u);
    wide.fill(0);
    LSR_DrawZoomedBitmap(0, 0, 50, big.bm, wide.bm);
    EXPECT_EQ(wide.at(49, 49), big.at(0, 0));
    EXPECT_EQ(wide.at(50, 0), 0u);
    EXPECT_EQ(wide.at(0, 50), 0u);

    testing::internal::CaptureStdout();
    LSR_DrawScaledBitmap(0, 0, 2, 2, LSR_Bitmap{}, page.bm, 0);
    LSR_DrawZoomedBitmap(0, 0, 100, src.bm, LSR_Bitmap{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\nbitmap has no data\n");
}

TEST_P(Transform, ScaledDrawOfAVeryWideSourceStepsInSixtyFourBits) {
    // 40000 << 16 does not fit 32 bits; the steps must still land on columns 0, 10000 ...
    Pic src(40000, 1), page(4, 1);
    for (std::int32_t x = 0; x < 40000; ++x)
        src.set(x, 0, static_cast<std::uint32_t>(x / 10000 + 1));
    LSR_DrawScaledBitmap(0, 0, 4, 1, src.bm, page.bm, 0);
    for (std::int32_t x = 0; x < 4; ++x)
        EXPECT_EQ(page.at(x, 0), static_cast<std::uint32_t>(x + 1));
}

TEST_P(Transform, BilinearDrawMixesAndRepeatsTheEdgesInsteadOfReadingPastThem) {
    // 2 by 2: blue 0 and full in the top row, green full below. Doubled, the last column and row
    // mix only with themselves.
    Pic src(2, 2), page(4, 4);
    const std::uint32_t blue = sixteen() ? 0x001Fu : 0xFF0000FFu;
    const std::uint32_t green = sixteen() ? 0x03E0u : 0xFF00FF00u;
    src.set(0, 0, 0);
    src.set(1, 0, blue);
    src.set(0, 1, green);
    src.set(1, 1, green);
    LSR_DrawScaledBitmap(0, 0, 4, 4, src.bm, page.bm, 1);
    const std::uint32_t blue_half = sixteen() ? 0x000Fu : 0x7Fu;
    const std::uint32_t green_half = sixteen() ? 0x01E0u : 0x7F00u;
    const std::uint32_t colour = sixteen() ? 0x7FFFu : 0x00FFFFFFu; // opacity is dropped
    EXPECT_EQ(page.at(0, 0), 0u);
    EXPECT_EQ(page.at(1, 0), blue_half);
    EXPECT_EQ(page.at(2, 0), blue & colour);
    EXPECT_EQ(page.at(3, 0), blue & colour);
    EXPECT_EQ(page.at(0, 1), green_half);
    EXPECT_EQ(page.at(0, 2), green & colour);
    EXPECT_EQ(page.at(3, 3), green & colour);
    // Halfway both ways: a quarter of each of the four.
    EXPECT_EQ(page.at(1, 1), sixteen() ? 0x01E7u : 0x7F3Fu);
}

// One pixel of a bilinear draw of src, w by h at (x, y), worked out alone: where it reads in
// 16.16, its four neighbours (the right one is the pixel itself in the last column; the one below
// it is itself in the source's last row and in the last row drawn), and each channel's weighted
// sum in 64 bits.
std::uint32_t bilinear_pixel(const Pic& src, std::int64_t w, std::int64_t h, std::int64_t px,
                             std::int64_t py, bool last_row) {
    const std::int64_t sx = px * ((std::int64_t{src.bm.width} << 16) / w);
    const std::int64_t sy = py * ((std::int64_t{src.bm.height} << 16) / h);
    const std::int64_t ix = sx >> 16, iy = sy >> 16, fx = (sx >> 8) & 0xFF, fy = (sy >> 8) & 0xFF;
    const std::int64_t right = ix + 1 < src.bm.width ? 1 : 0;
    const std::int64_t below = iy + 1 < src.bm.height && !last_row ? 1 : 0;
    const std::uint64_t p[4] = {src.at(ix, iy), src.at(ix + right, iy), src.at(ix, iy + below),
                                src.at(ix + right, iy + below)};
    const std::uint64_t wt[4] = {std::uint64_t((256 - fx) * (256 - fy)),
                                 std::uint64_t(fx * (256 - fy)), std::uint64_t((256 - fx) * fy),
                                 std::uint64_t(fx * fy)};
    const std::array<std::uint32_t, 3> chans =
        LSR_Is16Bit() ? std::array{tarnblit_redmask, tarnblit_greenmask, tarnblit_bluemask}
                      : std::array{0xFF0000u, 0xFF00u, 0xFFu};
    std::uint32_t out = 0;
    for (std::uint32_t m : chans) {
        std::uint64_t sum = 0;
        for (int k = 0; k < 4; ++k) sum += (p[k] & m) * wt[k];
        out |= static_cast<std::uint32_t>(sum >> 16) & m;
    }
    return out;
}

// Up, down and unevenly scaled, odd sizes, clipped on every side: every pixel as worked out alone,
// the rest of the page untouched.
TEST_P(Transform, BilinearDrawGivesEachPixelItsFourNeighboursMix) {
    const struct {
        std::int32_t sw, sh, w, h;
    } sizes[] = {{5, 3, 17, 11}, {16, 16, 7, 5},   {33, 7, 40, 40}, {3, 40, 9, 13},
                 {1, 1, 6, 4},   {64, 48, 64, 48}, {9, 9, 200, 3}};
    Pic page(37, 23);
    for (const auto& s : sizes) {
        Pic src(s.sw, s.sh);
        std::uint32_t seed = 99;
        for (std::int32_t i = 0; i < s.sw * s.sh; ++i) {
            seed = seed * 1103515245u + 12345u;
            src.set(i % s.sw, i / s.sw, seed);
        }
        for (auto [x, y] : {std::pair{0, 0}, std::pair{-5, -4}, std::pair{30, 20},
                            std::pair{-3, 10}, std::pair{20, -2}, std::pair{-50, -50}}) {
            page.fill(0x5A5A);
            LSR_DrawScaledBitmap(x, y, s.w, s.h, src.bm, page.bm, 1);
            const std::int64_t bottom = std::min<std::int64_t>(y + s.h, 23) - 1;
            for (std::int32_t Y = 0; Y < 23; ++Y)
                for (std::int32_t X = 0; X < 37; ++X) {
                    const bool covered = X >= x && X < x + s.w && Y >= y && Y < y + s.h;
                    const std::uint32_t want =
                        covered ? bilinear_pixel(src, s.w, s.h, X - x, Y - y, Y == bottom)
                                : 0x5A5Au;
                    ASSERT_EQ(page.at(X, Y), want)
                        << s.sw << "x" << s.sh << " to " << s.w << "x" << s.h << " at " << x << ","
                        << y << ": " << X << "," << Y;
                }
        }
    }
}

// The 100 by 100 bitmap of distinct pixels drawn turned at (x, y) = (40, 30) on a cleared page;
// returns the page.
struct Turned {
    Pic src{100, 100}, page{200, 200};
    Turned() { src.number(); }
    void draw(std::int32_t angle, std::int32_t zoom = 128) {
        page.fill(0);
        LSR_DrawRotatedBitmapZoom(40, 30, src.bm, page.bm, angle, zoom);
    }
    int drawn() const {
        int n = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) n += page.at(x, y) != 0;
        return n;
    }
};

TEST_P(Transform, RotationAtZeroDoublesTheCentreLinesAndEqualAnglesMatch) {
    Turned t;
    t.draw(0);
    // Source column and row 50 twice, every other pixel once: 101 by 101 from (40, 30).
    EXPECT_EQ(t.drawn(), 101 * 101);
    for (int y = 0; y <= 100; ++y)
        for (int x = 0; x <= 100; ++x) {
            const int sx = x <= 50 ? x : x - 1, sy = y <= 50 ? y : y - 1;
            ASSERT_EQ(t.page.at(40 + x, 30 + y), t.src.id(sx, sy)) << x << "," << y;
        }
    const auto snapshot = [&] {
        std::vector<std::uint32_t> all;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) all.push_back(t.page.at(x, y));
        return all;
    };
    const auto at0 = snapshot();
    t.draw(360);
    EXPECT_EQ(snapshot(), at0);
    t.draw(-360);
    EXPECT_EQ(snapshot(), at0);
    t.draw(270);
    const auto at270 = snapshot();
    t.draw(-90);
    EXPECT_EQ(snapshot(), at270);
    EXPECT_NE(at270, at0);

    // Half a turn mirrors both ways; column 50 again shows twice.
    t.draw(180);
    EXPECT_EQ(t.page.at(40, 30), t.src.id(99, 99));
    EXPECT_EQ(t.page.at(140, 130), t.src.id(0, 0));
    EXPECT_EQ(t.page.at(89, 80), t.src.id(50, 50));
    EXPECT_EQ(t.page.at(90, 80), t.src.id(50, 50));
}

TEST_P(Transform, ZoomIsCutAtTheBoxAndZeroCountsAsOne) {
    Turned t;
    // Twice the size fills exactly the 150 by 150 box from (40 - 25, 30 - 25).
    t.draw(0, 256);
    EXPECT_EQ(t.drawn(), 150 * 150);
    EXPECT_NE(t.page.at(15, 5), 0u);
    EXPECT_NE(t.page.at(164, 154), 0u);
    EXPECT_EQ(t.page.at(165, 154), 0u);
    // Zoom 0: 1/128 of the size, so only the box centre samples inside the source.
    t.draw(0, 0);
    EXPECT_EQ(t.drawn(), 1);
    EXPECT_EQ(t.page.at(90, 80), t.src.id(50, 50));

    // About the point (0, 0): the box centre shows it, and the picture turns about it.
    t.page.fill(0);
    LSR_DrawRotatedBitmapXY(40, 30, t.src.bm, t.page.bm, 90, 128, 0, 0);
    EXPECT_EQ(t.page.at(90, 80), t.src.id(0, 0));
    EXPECT_EQ(t.page.at(90, 80 + 10), t.src.id(9, 0)); // down the page runs along source row 0
}

// Every pixel of the box maps back into the source on its own: ((i B - j A) >> 8 + cx,
// (i A + j B) >> 8 + cy) for box pixel (i, j) from the box centre. The drawing finds each row's
// run inside the source at once instead; both must agree at every angle, zoom, centre and clip.
TEST_P(Transform, RotationDrawsExactlyThePixelsThatMapIntoTheSource) {
    Pic src(30, 20), page(90, 80);
    src.number();
    const std::int32_t side = 45, half = side / 2; // 1.5 times the longer side
    const std::pair<std::int32_t, std::int32_t> centres[] = {{15, 10}, {0, 0}, {-5, 7}, {33, 19}};
    const std::pair<std::int32_t, std::int32_t> places[] = {{20, 30}, {-20, -12}, {60, 55}};
    for (const std::int32_t angle : {0, 1, 30, 45, 89, 90, 91, 135, 180, 226, 270, 301, 359, -17})
        for (const std::int32_t zoom : {128, 64, 200, 0, 1000})
            for (const auto& [cx, cy] : centres)
                for (const auto& [x, y] : places) {
                    page.fill(0);
                    LSR_DrawRotatedBitmapXY(x, y, src.bm, page.bm, angle, zoom, cx, cy);
                    const tarnblit::Turn t = tarnblit::turn(bitmaprotate_sincos, angle, zoom);
                    const std::int32_t left = x - (side - 30) / 2, top = y - (side - 20) / 2;
                    for (std::int32_t Y = 0; Y < 80; ++Y)
                        for (std::int32_t X = 0; X < 90; ++X) {
                            const std::int64_t i = X - left - half, j = Y - top - half;
                            const bool in_box =
                                X >= left && X < left + side && Y >= top && Y < top + side;
                            const std::int64_t sx = ((i * t.b - j * t.a) >> 8) + cx;
                            const std::int64_t sy = ((i * t.a + j * t.b) >> 8) + cy;
                            const bool inside = in_box && sx >= 0 && sx < 30 && sy >= 0 && sy < 20;
                            const std::uint32_t want = inside
                                                           ? src.id(static_cast<std::int32_t>(sx),
                                                                    static_cast<std::int32_t>(sy))
                                                           : 0;
                            ASSERT_EQ(page.at(X, Y), want)
                                << "angle " << angle << " zoom " << zoom << " about " << cx << ","
                                << cy << " at " << x << "," << y << ": " << X << "," << Y;
                        }
                }
}

TEST_P(Transform, RotationClippedAtEveryEdgeShowsTheSamePixels) {
    Pic src(30, 20), big(120, 120), small(40, 30);
    src.number();
    big.fill(0);
    LSR_DrawRotatedBitmapZoom(45, 50, src.bm, big.bm, 37, 150);
    for (auto [dx, dy] : {std::pair{40, 45}, std::pair{70, 80}, std::pair{20, 70}}) {
        small.fill(0);
        LSR_DrawRotatedBitmapZoom(45 - dx, 50 - dy, src.bm, small.bm, 37, 150);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(small.at(x, y), big.at(x + dx, y + dy)) << x << "," << y << " " << dx;
    }
}

TEST_P(Transform, RotatedDrawsWithoutDataSaySoOrStop) {
    Pic src(4, 4), dst(4, 4);
    testing::internal::CaptureStdout();
    LSR_DrawRotatedBitmap(0, 0, LSR_Bitmap{}, dst.bm, 10);
    LSR_DrawRotatedBitmapZoom(0, 0, src.bm, LSR_Bitmap{}, 10, 64);
    LSR_DrawRotatedBitmapXY(0, 0, LSR_Bitmap{}, dst.bm, 10, 64, 1, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "bitmap has no data\nbitmap has no data\nbitmap has no data\n");
    const auto stops = [](auto body, const char* line) {
        EXPECT_EXIT(
            {
                dup2(STDERR_FILENO, STDOUT_FILENO);
                body();
            },
            testing::ExitedWithCode(1),
            std::string("graphics/bitmap\\(") + line + "\\): assertion failed: src.data");
    };
    const LSR_Bitmap none{}, to = dst.bm;
    if (sixteen()) {
        stops([&] { DrawRotatedBitmap16(0, 0, none, to, 0, 128); }, "635");
        stops([&] { DrawRotatedBitmapXY16(0, 0, none, to, 0, 128, 0, 0); }, "772");
    } else {
        stops([&] { DrawRotatedBitmap32(0, 0, none, to, 0, 128); }, "693");
        stops([&] { DrawRotatedBitmapXY32(0, 0, none, to, 0, 128, 0, 0); }, "827");
    }
}

TEST_P(Transform, StereoMixesInterlacesAndSplitsTheViewsAndCountsEveryCall) {
    Pic left(4, 2), right(4, 2), dst(4, 2);
    const std::uint32_t l = sixteen() ? 0x7FFFu : 0x11223344u;
    const std::uint32_t r = sixteen() ? 0x0000u : 0xAABBCCDDu;
    left.fill(l);
    right.fill(r);
    const auto mixed = [&](std::int32_t mode) {
        dst.fill(1);
        LSR_DrawBitmap3D(left.bm, right.bm, dst.bm, mode);
        return dst.at(3, 1);
    };
    LSR_stereoframe = 0;
    if (sixteen()) {
        EXPECT_EQ(mixed(0), 0x03FFu); // red from the right view (0), green and blue from the left
        EXPECT_EQ(mixed(1), 0x7C1Fu);
        EXPECT_EQ(mixed(2), 0x7C00u);
        EXPECT_EQ(mixed(3), 0x001Fu);
    } else {
        EXPECT_EQ(mixed(0), 0xAABB3344u);
        EXPECT_EQ(mixed(1), 0xAA22CC44u);
        EXPECT_EQ(mixed(2), 0x1122CCDDu);
        EXPECT_EQ(mixed(3), 0xAABBCC44u);
    }
    EXPECT_EQ(mixed(7), 1u);
    EXPECT_EQ(mixed(-1), 1u);
    EXPECT_EQ(LSR_stereoframe, 6);

    // Interlaced: frame 6 is even, so row 0 from the right and row 1 from the left; then the
    // other way round.
    LSR_DrawBitmap3D(left.bm, right.bm, dst.bm, 5);
    EXPECT_EQ(dst.at(0, 0), r);
    EXPECT_EQ(dst.at(0, 1), l);
    LSR_DrawBitmap3D(left.bm, right.bm, dst.bm, 5);
    EXPECT_EQ(dst.at(0, 0), l);
    EXPECT_EQ(dst.at(0, 1), r);

    // Side by side: each view squeezed into its half.
    Pic wide(8, 2);
    wide.fill(1);
    LSR_DrawBitmap3D(left.bm, right.bm, wide.bm, 6);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(wide.at(x, 1), x < 4 ? l : r) << x;
    EXPECT_EQ(LSR_stereoframe, 9);

    // Alternating: eight calls from frame 0 fade left to right at 0, 64, 128, 192, then right
    // to left at the same levels; the counter is folded to 0..7 first.
    Pic fade(4, 2);
    LSR_stereoframe = 16;
    for (int f = 0; f < 8; ++f) {
        LSR_DrawBitmap3D(left.bm, right.bm, dst.bm, 4);
        const auto level = static_cast<std::uint8_t>(f % 4 * 64);
        LSR_CrossfadeBitmap(f < 4 ? left.bm : right.bm, f < 4 ? right.bm : left.bm, fade.bm, level);
        EXPECT_EQ(dst.at(2, 1), fade.at(2, 1)) << f;
    }
    EXPECT_EQ(LSR_stereoframe, 8);

    // Views of another size than the target, or missing, are refused; the call still counts.
    Pic other(4, 3);
    dst.fill(1);
    LSR_DrawBitmap3D(left.bm, other.bm, dst.bm, 0);
    LSR_DrawBitmap3D(left.bm, right.bm, other.bm, 5);
    EXPECT_EQ(dst.at(0, 0), 1u);
    testing::internal::CaptureStdout();
    LSR_DrawBitmap3D(left.bm, LSR_Bitmap{}, dst.bm, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");
    EXPECT_EQ(LSR_stereoframe, 11);
    LSR_stereoframe = 0;
}

} // namespace
