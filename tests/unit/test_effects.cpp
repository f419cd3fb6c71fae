// Whole-bitmap effects and blended, filtered drawing at both depths.
#include <gtest/gtest.h>

#include <cstdint>
#include <unistd.h>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/effects.h"
#include "test_pic_util.h"

namespace {

using pic_test::depth_name;
using pic_test::Pic;
using Effect = pic_test::BothDepths;

INSTANTIATE_TEST_SUITE_P(Effect, Effect, ::testing::Values(false, true), depth_name);

TEST_P(Effect, CrossfadeMovesAToBAndRefusesMismatchedPictures) {
    Pic a(3, 2), b(3, 2), dst(3, 2), small(2, 2);
    const std::uint32_t white = sixteen() ? 0x7FFFu : 0xFFFFFFFFu;
    a.fill(0);
    b.fill(white);
    LSR_CrossfadeBitmap(a.bm, b.bm, dst.bm, 255);
    // 255/256 of each channel, rounded down (31 to 30 at 16 bits); the 32-bit opacity byte is
    // dropped.
    const std::uint32_t near_white = sixteen() ? 0x7BDEu : 0x00FEFEFEu;
    for (std::int32_t i = 0; i < 6; ++i) EXPECT_EQ(dst.at(i % 3, i / 3), near_white) << i;
    LSR_CrossfadeBitmap(b.bm, a.bm, dst.bm, 128);
    EXPECT_EQ(dst.at(2, 1), sixteen() ? 0x3DEFu : 0x007E7E7Eu); // 255 * 127 / 256 = 126
    Pic large(4, 2); // a larger b is read over dst's pixels
    large.fill(0);
    LSR_CrossfadeBitmap(b.bm, large.bm, dst.bm, 128);
    EXPECT_EQ(dst.at(2, 1), sixteen() ? 0x3DEFu : 0x007E7E7Eu);

    dst.fill(0x1234);
    testing::internal::CaptureStdout();
    LSR_CrossfadeBitmap(a.bm, small.bm, dst.bm, 0); // b smaller than dst: not read past its end
    LSR_CrossfadeBitmap(small.bm, b.bm, dst.bm, 0);
    LSR_Bitmap none = a.bm;
    none.data = nullptr;
    LSR_CrossfadeBitmap(a.bm, none, dst.bm, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "bitmap has no data\nbitmap has no data\nbitmap has no data\n");
    EXPECT_EQ(dst.at(0, 0), 0x1234u);
}

// A pixel from 8-bit channel values: 0xFFRRGGBB, or 5-5-5 from the channels' top bits.
std::uint32_t colour(bool sixteen, std::uint32_t rgb) {
    return sixteen ? TarnBlit_color24to16(rgb) : 0xFF000000u | rgb;
}

TEST_P(Effect, BlendBitmapTakesEachModesPicturesAndRefusesSilently) {
    Pic a(2, 1), b(2, 1), dst(2, 1), small(1, 1), large(3, 1);
    a.fill(colour(sixteen(), 0x808080));
    b.fill(colour(sixteen(), 0x404040));
    large.fill(colour(sixteen(), 0x404040));
    const auto blend = [&](std::uint8_t mode, const LSR_Bitmap& second) {
        dst.fill(0x1234);
        LSR_BlendBitmap(a.bm, second, dst.bm, mode);
        EXPECT_EQ(dst.at(1, 0), dst.at(0, 0)) << int{mode};
        return dst.at(0, 0);
    };
    const bool s = sixteen();
    // 32-bit whole-word mixes lose the opacity carry.
    EXPECT_EQ(blend(0, b.bm), a.at(0, 0));
    EXPECT_EQ(blend(1, b.bm), s ? 0x318Cu : 0x7E606060u); // 16-bit: (16 + 8) / 2 = 12
    EXPECT_EQ(blend(4, b.bm), s ? 0x39CEu : 0x3C707070u); // three quarters of a: 14
    EXPECT_EQ(blend(5, b.bm), s ? 0x294Au : 0x3C505050u); // three quarters of b: 10
    EXPECT_EQ(blend(6, b.bm), s ? 0x2108u : 0x7F404040u); // a halved: 8
    EXPECT_EQ(blend(7, b.bm), s ? 0x5EF7u : 0x7EBFBFBFu); // a with near-white: 23
    EXPECT_EQ(blend(8, b.bm), 0x1234u);
    // A larger b is read over dst's pixels; a smaller one is fine where no mode reads it.
    EXPECT_EQ(blend(5, large.bm), s ? 0x294Au : 0x3C505050u);
    EXPECT_EQ(blend(6, small.bm), s ? 0x2108u : 0x7F404040u);

    testing::internal::CaptureStdout();
    LSR_Bitmap none = b.bm;
    none.data = nullptr;
    dst.fill(0x1234);
    LSR_BlendBitmap(a.bm, none, dst.bm, 0);
    LSR_BlendBitmap(a.bm, small.bm, dst.bm, 1); // b smaller than dst: not read past its end
    LSR_BlendBitmap(small.bm, b.bm, dst.bm, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(dst.at(0, 0), 0x1234u);
    EXPECT_EQ(dst.at(1, 0), 0x1234u);
}

TEST_P(Effect, FadeBitmapFadesCrossfadesAndReportsMismatches) {
    Pic src(2, 2), dst(2, 2), wide(4, 2);
    const std::uint32_t white = colour(sixteen(), 0xFFFFFF);
    src.fill(white);
    dst.fill(0);
    LSR_FadeBitmap(src.bm, dst.bm, 255, 2); // dst toward src
    EXPECT_EQ(dst.at(1, 1), sixteen() ? 0x7BDEu : 0x00FEFEFEu);
    LSR_FadeBitmap(src.bm, dst.bm, 0, 3); // a wipe of dst onto itself changes nothing
    LSR_FadeBitmap(src.bm, dst.bm, 0, 4);
    EXPECT_EQ(dst.at(1, 1), sixteen() ? 0x7BDEu : 0x00FEFEFEu);
    LSR_FadeBitmap(src.bm, dst.bm, 0, 0);
    EXPECT_EQ(dst.at(0, 1), sixteen() ? 0u : 0xFF000000u);
    src.fill(0);
    LSR_FadeBitmap(src.bm, dst.bm, 0, 1);
    EXPECT_EQ(dst.at(1, 0), white | (sixteen() ? 0u : 0xFFFFFFu));

    testing::internal::CaptureStdout();
    LSR_FadeBitmap(src.bm, wide.bm, 0, 0);
    LSR_Bitmap none = src.bm;
    none.data = nullptr;
    LSR_FadeBitmap(none, dst.bm, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\nbitmap has no data\n");
}

TEST_P(Effect, AlphawipeBitmapRevealsByMaskAndNeedsNoSmallerMask) {
    Pic a(3, 1), mask(3, 1), dst(3, 1), small(2, 1);
    a.fill(7);
    dst.fill(1);
    mask.set(0, 0, colour(sixteen(), 0x0000FF));
    mask.set(1, 0, colour(sixteen(), 0xFFFF00)); // blue 0
    mask.set(2, 0, colour(sixteen(), 0x000080));
    LSR_AlphawipeBitmap(a.bm, mask.bm, dst.bm, 0);
    EXPECT_EQ(dst.at(0, 0), 1u);
    EXPECT_EQ(dst.at(1, 0), 7u);
    LSR_AlphawipeBitmap(a.bm, mask.bm, dst.bm, 0x80);
    EXPECT_EQ(dst.at(2, 0), 7u);
    EXPECT_EQ(dst.at(0, 0), 1u);
    Pic large(4, 1); // a larger mask is read over dst's pixels
    large.fill(0);
    LSR_AlphawipeBitmap(a.bm, large.bm, dst.bm, 0);
    EXPECT_EQ(dst.at(0, 0), 7u);
    dst.fill(1);

    testing::internal::CaptureStdout();
    LSR_Bitmap none = mask.bm;
    none.data = nullptr;
    LSR_AlphawipeBitmap(a.bm, none, dst.bm, 255);
    LSR_AlphawipeBitmap(a.bm, small.bm, dst.bm, 255);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(dst.at(0, 0), 1u);
}

TEST_P(Effect, GreyBitmapWeighsChannelsOnA32BitPageOnly) {
    Pic src(4, 1), dst(5, 1);
    src.set(0, 0, 0xFFFFFFFFu);
    src.set(1, 0, 0x00FF0000u);
    src.set(2, 0, 0x1200FF00u);
    src.set(3, 0, 0x000000FFu);
    dst.fill(0x5555);
    LSR_GreyBitmap(src.bm, dst.bm);
    if (sixteen()) {
        for (std::int32_t x = 0; x < 5; ++x) EXPECT_EQ(dst.at(x, 0), 0x5555u);
    } else {
        EXPECT_EQ(dst.at(0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(dst.at(1, 0), 0xFF4C4C4Cu); // 77 / 256 of red, rounded down
        EXPECT_EQ(dst.at(2, 0), 0xFF959595u); // 150 / 256 of green
        EXPECT_EQ(dst.at(3, 0), 0xFF1C1C1Cu); // 29 / 256 of blue
        EXPECT_EQ(dst.at(4, 0), 0x5555u);     // past the smaller source: untouched
    }
    testing::internal::CaptureStdout();
    LSR_Bitmap none = src.bm;
    none.data = nullptr;
    LSR_GreyBitmap(src.bm, none);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "bitmap has no data\n");
}

TEST_P(Effect, DrawBlendBitmapClipsLikeDrawBitmapAndCombinesWithTheDestination) {
    Pic src(2, 2), dst(4, 3);
    const std::uint32_t grey = colour(sixteen(), 0x808080), dark = colour(sixteen(), 0x404040);
    src.fill(dark);
    src.set(1, 0, grey);
    dst.fill(grey);
    // Only source (1, 0) lands, at (0, 2); the 32-bit opacity carry is lost: 4 x 0xFC wraps.
    LSR_DrawBlendBitmap(-1, 2, src.bm, dst.bm, 5);
    EXPECT_EQ(dst.at(0, 2), sixteen() ? 0x4210u : 0x3C808080u);
    LSR_DrawBlendBitmap(-1, 1, src.bm, dst.bm, 5); // three quarters of the source pixel
    EXPECT_EQ(dst.at(0, 2), sixteen() ? 0x294Au : 0x0C505050u);
    EXPECT_EQ(dst.at(0, 1), sixteen() ? 0x4210u : 0x3C808080u);
    EXPECT_EQ(dst.at(1, 1), grey);
    LSR_DrawBlendBitmap(3, 0, src.bm, dst.bm, 9); // an unknown mode copies
    EXPECT_EQ(dst.at(3, 0), dark);
    EXPECT_EQ(dst.at(3, 1), dark);
    EXPECT_EQ(dst.at(2, 0), grey);
    LSR_DrawBlendBitmap(0, 0, src.bm, dst.bm, 6); // the source darkened
    EXPECT_EQ(dst.at(0, 0), sixteen() ? 0x1084u : 0x7F202020u);
    LSR_DrawBlendBitmap(4, 0, src.bm, dst.bm, 0); // fully outside
    LSR_DrawBlendBitmap(0, -2, src.bm, dst.bm, 0);
    EXPECT_EQ(dst.at(3, 0), dark);

    testing::internal::CaptureStdout();
    LSR_Bitmap none = src.bm;
    none.data = nullptr;
    LSR_DrawBlendBitmap(0, 0, none, dst.bm, 1);
    LSR_DrawFilteredBitmap(0, 0, src.bm, none, 2);
    LSR_DrawAntiAliasedBitmap(0, 0, none, dst.bm);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "bitmap has no data\nbitmap has no data\nbitmap has no data\n");
    const char* const blend = sixteen() ? "graphics/bitmap\\(297\\): assertion failed: src.data"
                                        : "graphics/bitmap\\(342\\): assertion failed: src.data";
    const char* const filtered = sixteen() ? "graphics/bitmap\\(400\\): assertion failed: src.data"
                                           : "graphics/bitmap\\(443\\): assertion failed: src.data";
    const auto blend_body = sixteen() ? DrawBlendBitmap16 : DrawBlendBitmap32;
    const auto filter_body = sixteen() ? DrawFilteredBitmap16 : DrawFilteredBitmap32;
    // The assertion text goes to the standard output; the death test matches the error stream.
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            blend_body(0, 0, none, dst.bm, 1);
        },
        ::testing::ExitedWithCode(1), blend);
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            filter_body(0, 0, none, dst.bm, 2);
        },
        ::testing::ExitedWithCode(1), filtered);
}

TEST_P(Effect, FilteredDrawTakesNeighboursFromTheSourceAndRepeatsItsEdges) {
    const bool s = sixteen();
    const std::uint32_t red = colour(s, 0xFC0000), green = colour(s, 0x00FC00),
                        blue = colour(s, 0x0000FC);
    // Blurs of the row red, green, blue: the outer pixels count themselves for the missing
    // sides, above and below.
    const std::uint32_t left = s ? 0x54E0u : 0xFCBD3F00u, middle = s ? 0x1DC7u : 0xFC3F7E3Fu,
                        right = s ? 0x00F5u : 0xFC003FBDu;
    Pic row(3, 1), column(1, 3), dst(3, 3);
    row.set(0, 0, red);
    row.set(1, 0, green);
    row.set(2, 0, blue);
    column.set(0, 0, red);
    column.set(0, 1, green);
    column.set(0, 2, blue);
    dst.fill(0);
    LSR_DrawFilteredBitmap(0, 0, row.bm, dst.bm, 2);
    EXPECT_EQ(dst.at(0, 0), left);
    EXPECT_EQ(dst.at(1, 0), middle);
    EXPECT_EQ(dst.at(2, 0), right);
    LSR_DrawFilteredBitmap(-1, 1, row.bm, dst.bm, 2); // clipped: the cut-off pixel still counts
    EXPECT_EQ(dst.at(0, 1), middle);
    EXPECT_EQ(dst.at(1, 1), right);
    EXPECT_EQ(dst.at(2, 1), 0u);
    LSR_DrawFilteredBitmap(2, 0, column.bm, dst.bm, 2);
    EXPECT_EQ(dst.at(2, 0), left);
    EXPECT_EQ(dst.at(2, 1), middle);
    EXPECT_EQ(dst.at(2, 2), right);
    LSR_DrawFilteredBitmap(0, 2, row.bm, dst.bm, 1); // not a filter: a copy
    EXPECT_EQ(dst.at(0, 2), red);

    // A stair step (bright left and top, dark right and bottom) is smoothed, and so is the
    // dark corner beside it, whose missing sides repeat it.
    const std::uint32_t white = colour(s, 0xFFFFFF), black = colour(s, 0),
                        near = colour(s, 0xF0F0F0);
    Pic stair(3, 3);
    stair.fill(0);
    stair.set(1, 0, white);
    stair.set(0, 1, white);
    stair.set(1, 1, near);
    stair.set(2, 1, black);
    stair.set(1, 2, black);
    LSR_DrawAntiAliasedBitmap(0, 0, stair.bm, dst.bm);
    EXPECT_EQ(dst.at(1, 1), s ? 0x3DEFu : 0x7E7F7F7Fu);
    EXPECT_EQ(dst.at(0, 0), s ? 0x3DEFu : 0x7F7F7F7Fu);
    EXPECT_EQ(dst.at(2, 2), 0u); // flat around it
}

} // namespace
