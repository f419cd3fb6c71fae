// Stretch and texture span blitters; scaled, zoomed and rotated drawing; stereo composition.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/blitters_stretch.h"
#include "test_pic_util.h"

namespace {

using pic_test::Pic;

class Transform : public pic_test::BothDepths {};
INSTANTIATE_TEST_SUITE_P(Transform, Transform, ::testing::Values(false, true),
                         pic_test::depth_name);

TEST(StretchBlit, ThirtyTwoBitStretchersAndTextureFillers) {
    const std::uint32_t row[4] = {0xFF000001u, 0x00FFFFFFu, 0xFF000003u, 0x80000004u};
    std::uint32_t out[6] = {};
    TarnBlit_BlitStretch32(out, row, 6, 0x8000, 0x8000); // 0.5, 1.0, 1.5 ...
    EXPECT_EQ(std::vector<std::uint32_t>(out, out + 6),
              (std::vector<std::uint32_t>{row[0], row[1], row[1], row[2], row[2], row[3]}));
    std::uint32_t keep[4] = {7, 7, 7, 7};
    TarnBlit_BlitTranspStretch32(keep, row, 4, 0, 0x10000);
    EXPECT_EQ(std::vector<std::uint32_t>(keep, keep + 4),
              (std::vector<std::uint32_t>{row[0], 7, row[2], row[3]}));

    // Bilinear: no fraction gives P00 without its opacity; halves average the four.
    const std::uint32_t quad[4] = {0xFF102030u, 0xFF305070u, 0xFF000000u, 0xFF000000u};
    std::uint32_t bl = 0;
    TarnBlit_BlitBiLinearStretch32(&bl, quad, 1, 2, 0, 0, 0, 2);
    EXPECT_EQ(bl, 0x00102030u);
    TarnBlit_BlitBiLinearStretch32(&bl, quad, 1, 2, 0x8000, 0x8000, 0, 2);
    EXPECT_EQ(bl, 0x00101C28u); // (0x10 + 0x30) / 4, (0x20 + 0x50) / 4, (0x30 + 0x70) / 4
    // At the row's last pixel the right neighbour is the pixel itself, not the next row's first.
    TarnBlit_BlitBiLinearStretch32(&bl, quad, 1, 0, 0x18000, 0, 0, 2);
    EXPECT_EQ(bl, 0x00305070u);

    // Shade: level from bits 16 to 23, opacity 0, stepping per pixel.
    std::uint32_t grey[3] = {};
    TarnBlit_BlitFillShade32(grey, 3, 0x7F0000 + 0x8000, 0x8000);
    EXPECT_EQ(grey[0], 0x007F7F7Fu);
    EXPECT_EQ(grey[1], 0x00808080u);
    TarnBlit_BlitFillShade32(grey, 1, -0x10000, 0); // bits 16 to 23 of -1 << 16
    EXPECT_EQ(grey[0], 0x00FFFFFFu);

    // Texture grid: both coordinates wrap at 256, the column carrying into the row first.
    std::vector<std::uint32_t> tex(65536);
    for (std::size_t i = 0; i < tex.size(); ++i) tex[i] = static_cast<std::uint32_t>(i);
    std::uint32_t t[4] = {};
    TarnBlit_BlitFillTexture32(t, tex.data(), 2, 0x0300, 0x10000 + 0x0200, 0x100, 0);
    EXPECT_EQ(t[0], 0x0203u); // row 256 is row 0 + 2
    EXPECT_EQ(t[1], 0x0204u);
    TarnBlit_BlitFillTexture32(t, tex.data(), 2, 0xFF00, 0xFF00, 0x100, 0);
    EXPECT_EQ(t[0], 0xFFFFu);
    EXPECT_EQ(t[1], 0x0000u); // column 256 of the last row carries to row 256, which is row 0
    TarnBlit_BlitFillTexture32(t, tex.data(), 1, -0x100, 0x0500, 0, 0);
    EXPECT_EQ(t[0], 0x04FFu); // column -1 borrows from the row

    // Shaded texture: level 255 keeps the texel, 0 makes it black, the opacity byte stays.
    tex[0] = 0xFF806040u;
    TarnBlit_BlitFillShadeTexture32(t, tex.data(), 3, 0, 0, 255 << 8, 0, 0, -(127 << 8));
    EXPECT_EQ(t[0], 0xFF806040u);
    EXPECT_EQ(t[1], 0xFF403020u); // level 128: half
    EXPECT_EQ(t[2], 0xFF010000u); // level 1: 2/256 of each byte
    TarnBlit_BlitFillShadeTexture32(t, tex.data(), 1, 0, 0, -5000, 0, 0, 0);
    EXPECT_EQ(t[0], 0xFF000000u);

    // Dual: unmasked halving; the low bit of green lands in blue; opaque pairs stay opaque,
    // and a pair whose 32-bit sum would overflow gives the halfway word.
    std::vector<std::uint32_t> tex2(65536);
    tex[0] = 0x00000100u;
    tex2[0] = 0x00000001u;
    tex[1] = tex2[1] = 0xFF000000u;
    tex[2] = tex2[2] = 0x7F000000u;
    TarnBlit_BlitFillDualTexture32(t, tex.data(), tex2.data(), 3, 0, 0, 0, 0, 0x100, 0, 0x100, 0);
    EXPECT_EQ(t[0], 0x00000080u);
    EXPECT_EQ(t[1], 0xFF000000u);
    EXPECT_EQ(t[2], 0x7F000000u);
}

TEST(StretchBlit, SixteenBitFillersUseThePixelFormat) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    std::uint16_t grey[2] = {};
    TarnBlit_BlitFillShade16(grey, 2, 0xFF0000, -0x10000 * 0x80);
    EXPECT_EQ(grey[0], 0x7FFFu);
    EXPECT_EQ(grey[1], TarnBlit_color24to16(0x7F7F7F));

    const std::uint16_t row[2] = {0x0000, 0x001F};
    std::uint16_t out[4] = {};
    TarnBlit_BlitBiLinearStretch16(out, row, 4, 0, 0, 0, 0x8000, 2);
    EXPECT_EQ(out[1], 0x000Fu); // half of blue 31, rounded down
    EXPECT_EQ(out[2], 0x001Fu);
    EXPECT_EQ(out[3], 0x001Fu); // past the last column: the edge pixel

    std::vector<std::uint16_t> tex(65536), tex2(65536);
    tex[0x0102] = 0x7C1F;
    TarnBlit_BlitFillTexture16(out, tex.data(), 1, 0x0200, 0x0100, 0, 0);
    EXPECT_EQ(out[0], 0x7C1Fu);
    TarnBlit_BlitFillShadeTexture16(out, tex.data(), 1, 0x0200, 0x0100, 127 << 8, 0, 0, 0);
    EXPECT_EQ(out[0], 0x3C0Fu); // red and blue 31 to 15
    tex2[0x0102] = 0x0001;
    TarnBlit_BlitFillDualTexture16(out, tex.data(), tex2.data(), 1, 0x0200, 0x0100, 0x0200, 0x0100,
                                   0, 0, 0, 0);
    EXPECT_EQ(out[0], (0x7C1Fu + 1) >> 1);
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
    LSR_DrawScaledBitmap(12, 0, 8, 8, src.bm, page.bm, 0);
    LSR_DrawScaledBitmap(-8, 0, 8, 8, src.bm, page.bm, 0);
    EXPECT_EQ(page.at(0, 6), 0u);

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
    EXPECT_EQ(page.at(0, 3), green & colour);
    EXPECT_EQ(page.at(3, 3), green & colour);
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
    const auto rotated = sixteen() ? DrawRotatedBitmap16 : DrawRotatedBitmap32;
    const auto about = sixteen() ? DrawRotatedBitmapXY16 : DrawRotatedBitmapXY32;
    const std::string line = sixteen() ? "635" : "693", line_xy = sixteen() ? "772" : "827";
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            rotated(0, 0, LSR_Bitmap{}, dst.bm, 0, 128);
        },
        testing::ExitedWithCode(1),
        "graphics/bitmap\\(" + line + "\\): assertion failed: src.data");
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            about(0, 0, LSR_Bitmap{}, dst.bm, 0, 128, 0, 0);
        },
        testing::ExitedWithCode(1),
        "graphics/bitmap\\(" + line_xy + "\\): assertion failed: src.data");
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

    // Views of another size than the target, or missing, are refused; the call still counts.
    Pic other(4, 3);
    dst.fill(1);
    LSR_DrawBitmap3D(left.bm, other.bm, dst.bm, 0);
    LSR_DrawBitmap3D(left.bm, right.bm, other.bm, 5);
    EXPECT_EQ(dst.at(0, 0), 1u);
    testing::internal::CaptureStdout();
    LSR_DrawBitmap3D(left.bm, LSR_Bitmap{}, dst.bm, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");
    EXPECT_EQ(LSR_stereoframe, 12);
    LSR_stereoframe = 0;
}

} // namespace
