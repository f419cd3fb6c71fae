// Bitmap create, delete, copy, clear, clipped drawing and the 2x filters, at both depths.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "test_pic_util.h"

namespace {

using pic_test::Pic;

using Bitmap = pic_test::BothDepths;

INSTANTIATE_TEST_SUITE_P(Bitmap, Bitmap, ::testing::Values(false, true), pic_test::depth_name);

TEST_P(Bitmap, CreateSizesByDepthAndDeleteFreesOnce) {
    const std::uint32_t before = g_mem_in_use.load();
    LSR_Bitmap bm;
    LSR_CreateBitmap(7, 3, &bm);
    EXPECT_EQ(bm.size, GetParam() ? 42 : 84);
    ASSERT_NE(bm.data, nullptr);
    EXPECT_GE(g_mem_in_use.load(), before + static_cast<std::uint32_t>(bm.size));

    testing::internal::CaptureStdout();
    LSR_DeleteBitmap(&bm);
    LSR_DeleteBitmap(&bm);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "deleting bitmap\n");
    EXPECT_EQ(bm.data, nullptr);
    EXPECT_EQ(g_mem_in_use.load(), before);
}

TEST_P(Bitmap, ImpossibleSizesMakeAnEmptyBitmap) {
    for (auto [w, h] :
         {std::pair{-1, 5}, std::pair{5, -1}, std::pair{70000, 70000}, std::pair{1 << 30, 2}}) {
        LSR_Bitmap bm;
        testing::internal::CaptureStdout();
        LSR_CreateBitmap(w, h, &bm);
        EXPECT_NE(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(bm.data, nullptr) << w << " by " << h;
        EXPECT_EQ(bm.size, 0);
        // Later operations take the no-data paths; only drawing says so.
        Pic dst(4, 4);
        testing::internal::CaptureStdout();
        LSR_DrawBitmap(0, 0, bm, dst.bm);
        LSR_ClearBitmap(bm);
        LSR_ClearColorBitmap(bm, 1);
        LSR_DeleteBitmap(&bm);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");
    }
}

TEST_P(Bitmap, CopyComparesByteSizesOnly) {
    Pic a(4, 8), b(8, 4), c(4, 4), d(4, 5);
    a.number();
    b.fill(0);
    testing::internal::CaptureStdout();
    LSR_CopyBitmap(a.bm, b.bm);
    EXPECT_EQ(std::memcmp(a.bm.data, b.bm.data, a.bm.size), 0);
    c.fill(0x11), d.fill(0x22);
    LSR_CopyBitmap(c.bm, d.bm); // sizes differ: silently nothing
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(d.at(0, 0), 0x22u);

    testing::internal::CaptureStdout();
    LSR_CopyBitmap(LSR_Bitmap{}, b.bm);
    LSR_CopyBitmap(a.bm, LSR_Bitmap{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\nbitmap has no data\n");
}

TEST_P(Bitmap, ClearAndClearColourSetEveryPixel) {
    Pic p(5, 3);
    const auto every = [&](std::uint32_t want) {
        for (std::int32_t i = 0; i < 15; ++i) ASSERT_EQ(p.at(i % 5, i / 5), want) << i;
    };
    p.fill(0x5A5A);
    LSR_ClearBitmap(p.bm);
    every(0);
    LSR_ClearColorBitmap(p.bm, 0x00123456);
    every(GetParam() ? TarnBlit_color24to16(0x00123456) : 0x00123456u);
    LSR_ClearColorBitmap(p.bm, 0xFFFFFFFF);
    every(GetParam() ? 0x7FFFu : 0xFFFFFFFFu);
}

// Draws a src of distinct pixels at (x, y) into a cleared dst and compares every destination
// pixel with the source pixel geometrically under it.
void expect_clipped_draw(std::int32_t sw, std::int32_t sh, std::int32_t dw, std::int32_t dh,
                         std::int32_t x, std::int32_t y) {
    Pic src(sw, sh), dst(dw, dh);
    src.number();
    LSR_ClearBitmap(dst.bm);
    LSR_DrawBitmap(x, y, src.bm, dst.bm);
    for (std::int64_t j = 0; j < dh; ++j)
        for (std::int64_t i = 0; i < dw; ++i) {
            const std::int64_t u = i - x, v = j - y;
            const bool covered = u >= 0 && u < sw && v >= 0 && v < sh;
            const std::uint32_t want =
                covered ? src.at(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v)) : 0;
            ASSERT_EQ(dst.at(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)), want)
                << "src " << sw << "x" << sh << " at " << x << "," << y << ": dst pixel " << i
                << "," << j;
        }
}

// Where the clipped part lies is the clip table's (test_clip); here each row lands in place.
TEST_P(Bitmap, DrawCopiesTheClippedPartInPlace) {
    for (auto [x, y] : {std::pair{-3, -4}, std::pair{15, 9}, std::pair{20, 0}})
        expect_clipped_draw(10, 10, 20, 15, x, y);
    expect_clipped_draw(30, 25, 20, 15, -5, -3); // overhanging on every side
}

// Source and destination in one block of pixels, overlapping at many distances: rows go down one
// by one and each goes up pixel by pixel, every pixel read just before it is copied, so a
// destination just after its source repeats pixels. Equal widths make rows that follow each
// other; a narrower source makes separate runs.
TEST_P(Bitmap, DrawWithinOneBlockCopiesAsRowsGoingUpPixelByPixel) {
    const auto bytes = static_cast<std::ptrdiff_t>(GetParam() ? 2 : 4);
    for (auto [sw, dw] : {std::pair{10, 10}, std::pair{7, 10}, std::pair{10, 7}})
        for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{-2, 1}, std::pair{0, -1}})
            for (std::int32_t offset = -25; offset <= 25; ++offset) {
                Pic block(120, 1), want(120, 1);
                block.number();
                want.number();
                const auto view = [&](Pic& p, std::int32_t w, std::int32_t start) {
                    return LSR_Bitmap{w, 5, w * 5 * static_cast<std::int32_t>(bytes), w * 5,
                                      static_cast<std::uint8_t*>(p.bm.data) + start * bytes};
                };
                LSR_DrawBitmap(x, y, view(block, sw, 40), view(block, dw, 40 + offset));
                for (std::int32_t v = 0; v < 5; ++v)
                    for (std::int32_t u = 0; u < sw; ++u)
                        if (y + v >= 0 && y + v < 5 && x + u >= 0 && x + u < dw)
                            want.set(40 + offset + (y + v) * dw + x + u, 0,
                                     want.at(40 + v * sw + u, 0));
                for (std::int32_t i = 0; i < 120; ++i)
                    ASSERT_EQ(block.at(i, 0), want.at(i, 0))
                        << sw << " into " << dw << " at " << x << "," << y << ", offset " << offset
                        << ": pixel " << i;
            }
}

TEST_P(Bitmap, DrawWithoutDataSaysSoOrStops) {
    Pic src(2, 2), dst(2, 2);
    testing::internal::CaptureStdout(); // a missing source is covered with impossible sizes
    LSR_DrawBitmap(0, 0, src.bm, LSR_Bitmap{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");
    // The per-depth bodies treat a missing source as a broken invariant.
    const auto body = GetParam() ? DrawBitmap16 : DrawBitmap32;
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            body(0, 0, LSR_Bitmap{}, dst.bm);
        },
        testing::ExitedWithCode(1), "assertion failed: src.data");
}

class BitmapScale : public ::testing::Test {
  protected:
    void SetUp() override { LSR_video.flags = 0; }
    void TearDown() override { LSR_video.flags = 0; }

    static constexpr std::uint32_t k_untouched = 0xDEADBEEF;
    // Scales a w by h source given row by row into a fresh 2w by 2h destination.
    std::vector<std::uint32_t> scale(std::int32_t w, std::int32_t h,
                                     const std::vector<std::uint32_t>& pixels, std::int32_t mode) {
        Pic src(w, h), dst(2 * w, 2 * h);
        std::memcpy(src.bm.data, pixels.data(), pixels.size() * 4);
        LSR_ClearColorBitmap(dst.bm, k_untouched);
        LSR_ScaleBitmap2x(src.bm, dst.bm, mode);
        const auto* d = static_cast<const std::uint32_t*>(dst.bm.data);
        return {d, d + dst.bm.pixels};
    }
};

TEST_F(BitmapScale, DoublingFillsEveryBlockAndOtherModesLeaveTwoByTwoAlone) {
    const std::vector<std::uint32_t> src{1, 2, 3, 4}, none(16, k_untouched);
    const std::vector<std::uint32_t> want{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    for (std::int32_t mode : {0, 1, -7}) EXPECT_EQ(scale(2, 2, src, mode), want) << mode;
    // Above 4: nothing; 3 and 4 find no inner pixel in a 2 by 2 source.
    for (std::int32_t mode : {5, 3, 4}) EXPECT_EQ(scale(2, 2, src, mode), none) << mode;
}

TEST_F(BitmapScale, SmoothingAveragesOneRowLower) {
    const std::uint32_t P = 0xFF0000FF, R = 0xFF00FF00, B = 0x80000010, BR = 0x00FFFFFF;
    const std::uint32_t U = k_untouched;
    // Rows 1 and 2, columns 0 and 1 only. All four bytes are halved together in one 32-bit
    // sum: two opacity bytes of 0x80 or more lose their carry.
    const std::vector<std::uint32_t> want{U,          U,          U, U, P, 0x7E007F7F, U, U,
                                          0x3F000087, 0x7F7F7FFE, U, U, U, U,          U, U};
    EXPECT_EQ(scale(2, 2, {P, R, B, BR}, 2), want);
}

TEST_F(BitmapScale, EdgeRuleKeepsCornersAndSkipsTheBorder) {
    // 3 by 3 around E = 2: B = D = 1, F = H = 3.
    const std::vector<std::uint32_t> src{9, 1, 9, 1, 2, 3, 9, 3, 9};
    std::vector<std::uint32_t> want(36, k_untouched); // only the block at (2, 2) is written
    want[14] = 1, want[15] = want[20] = 2, want[21] = 3;
    for (std::int32_t mode : {3, 4}) EXPECT_EQ(scale(3, 3, src, mode), want) << mode;
    // B equal to H: the block is plain E.
    const auto flat = scale(3, 3, {9, 1, 9, 4, 2, 3, 9, 1, 9}, 3);
    for (std::int32_t i : {14, 15, 20, 21}) EXPECT_EQ(flat[i], 2u) << i;
}

TEST_F(BitmapScale, CheckerboardsDitherByParity) {
    // 4 by 3: inner pixels (1,1) and (2,1). Around (1,1): E = I = 5, F = H = 6 (lower right a
    // checkerboard); around (2,1): E = A = 6 and D = B = 5 (upper left a checkerboard).
    const std::vector<std::uint32_t> src{7, 6, 5, 7, 7, 5, 6, 5, 7, 6, 5, 7};
    const auto mode4 = scale(4, 3, src, 4);
    const auto block = [](const std::vector<std::uint32_t>& v, int x, int y) {
        return std::vector<std::uint32_t>{v[y * 8 + x], v[y * 8 + x + 1], v[y * 8 + x + 8],
                                          v[y * 8 + x + 9]};
    };
    // Counters (0, 0), same parity: E F over F E.
    EXPECT_EQ(block(mode4, 2, 2), (std::vector<std::uint32_t>{5, 6, 6, 5}));
    // Counters (1, 0), different parity: F E over E F with E = 6, F = 5.
    EXPECT_EQ(block(mode4, 4, 2), (std::vector<std::uint32_t>{5, 6, 6, 5}));
    // Mode 3 knows no checkerboards: at (1,1) B equals H, so the block is plain E.
    const auto mode3 = scale(4, 3, src, 3);
    EXPECT_EQ(block(mode3, 2, 2), (std::vector<std::uint32_t>{5, 5, 5, 5}));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(mode4[x], k_untouched) << x;
}

TEST_F(BitmapScale, SixteenBitPagesAndSmallTargetsAreLeftAlone) {
    Pic src(2, 2), small(3, 4);
    LSR_ClearColorBitmap(src.bm, 0x00FF00FF);
    small.fill(k_untouched);
    LSR_ScaleBitmap2x(src.bm, small.bm, 0); // too narrow for the doubled copy
    for (std::int32_t i = 0; i < 12; ++i) EXPECT_EQ(small.at(i % 3, i / 3), k_untouched) << i;

    testing::internal::CaptureStdout();
    LSR_ScaleBitmap2x(LSR_Bitmap{}, small.bm, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");

    LSR_video.flags = LSR_VIDEO_16BIT;
    Pic src16(2, 2), dst16(4, 4);
    LSR_ClearColorBitmap(src16.bm, 0xFFFFFF);
    LSR_ClearBitmap(dst16.bm);
    LSR_ScaleBitmap2x(src16.bm, dst16.bm, 0);
    for (std::int32_t i = 0; i < 16; ++i) EXPECT_EQ(dst16.at(i % 4, i / 4), 0u) << i;
}

} // namespace
