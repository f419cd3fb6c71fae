// Whole-bitmap effects and blended or filtered drawing, at both depths.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/effects.h"
#include "picture.h"

namespace {

using Effect = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Effect);

constexpr std::uint32_t k_grey = 0xFF808080, k_dark = 0xFF404040, k_old = 0x102030;
constexpr std::uint32_t k_white = 0xFFFFFFFF, k_black = 0xFF000000;

// Pictures of one colour, a grey and b dark, so that both depths agree; the 32-bit whole-word
// mixes lose the opacity carry.
TEST_P(Effect, WholeBitmapModes) {
    const auto a = picture::filled(3, 2, k_grey), b = picture::filled(3, 2, k_dark);
    const auto dst = picture::filled(3, 2), small = picture::filled(2, 2, k_dark);
    const auto large = picture::filled(4, 2, k_dark);
    const std::uint32_t blends[] = {k_grey,     0x7E606060, 0xC0C0C0,   0x202020,
                                    0x3C707070, 0x3C505050, 0x7F404040, 0x7EBFBFBF};
    for (std::uint8_t mode = 0; mode < 9; ++mode) {
        LSR_ClearColorBitmap(dst.get(), k_old);
        LSR_BlendBitmap(a.get(), mode == 5 ? large.get() : b.get(), dst.get(), mode);
        EXPECT_TRUE(picture::uniform(dst.get(), mode < 8 ? blends[mode] : k_old)) << int{mode};
    }
    LSR_BlendBitmap(a.get(), small.get(), dst.get(), LSR_BLEND_DARKEN); // reads no b
    EXPECT_TRUE(picture::uniform(dst.get(), 0x7F404040));

    // Fading dst from src, white: to black and to white at 0, a cross-fade, a wipe of dst onto
    // itself, an unknown mode.
    const auto white = picture::filled(3, 2, k_white);
    const std::uint32_t fades[] = {k_black, k_white, 0x3F3F3F, k_old, k_old};
    for (std::uint8_t mode = 0; mode < 5; ++mode) {
        LSR_ClearColorBitmap(dst.get(), mode == LSR_FADE_CROSS ? 0 : k_old);
        LSR_FadeBitmap(white.get(), dst.get(), mode == LSR_FADE_CROSS ? 64 : 0, mode);
        EXPECT_TRUE(picture::uniform(dst.get(), fades[mode])) << int{mode};
    }
    LSR_CrossfadeBitmap(white.get(), large.get(), dst.get(), 64); // a larger b: read over dst
    EXPECT_TRUE(picture::uniform(dst.get(), 0xCECECE));
}

TEST_P(Effect, GreyAndWipesPixelByPixel) {
    const picture::Legend legend = {{'w', k_white},    {'r', 0xFFFF0000}, {'g', 0xFF00FF00},
                                    {'b', 0xFF0000FF}, {'o', k_old},      {'R', 0xFF4C4C4C},
                                    {'G', 0xFF959595}, {'B', 0xFF1C1C1C}};
    const auto colours = picture::make("wrgb", legend), dst = picture::filled(5, 1, k_old);
    LSR_GreyBitmap(colours.get(), dst.get()); // 32 bits only; as many pixels as both have
    EXPECT_TRUE(picture::matches(dst.get(), 0, 0, sixteen() ? "ooooo" : "wRGBo", legend));
    // a where the mask's blue is at most the level.
    const auto a = picture::make("rgbwr", legend), mask = picture::make("obrwg", legend);
    LSR_ClearColorBitmap(dst.get(), k_old);
    LSR_AlphawipeBitmap(a.get(), mask.get(), dst.get(), 0x80);
    EXPECT_TRUE(picture::matches(dst.get(), 0, 0, "robor", legend));
}

// Clipped like a plain draw; the first picture of a mode is the destination's own pixels.
TEST_P(Effect, BlendedAndFilteredDraws) {
    const picture::Legend legend = {{'g', 0x808080}, {'d', 0x404040}, {'q', 0x505050},
                                    {'m', 0x606060}, {'h', 0x202020}, {'.', 0}};
    const auto src = picture::make("dg\ndd", legend), dst = picture::filled(5, 3, 0x808080);
    LSR_DrawBlendBitmap(-1, 1, src.get(), dst.get(), LSR_BLEND_MOSTLY_SECOND);
    LSR_DrawBlendBitmap(1, 0, src.get(), dst.get(), LSR_BLEND_MIX);
    LSR_DrawBlendBitmap(4, 1, src.get(), dst.get(), 9); // an unknown mode copies
    LSR_DrawBlendBitmap(2, 2, src.get(), dst.get(), LSR_BLEND_DARKEN);
    LSR_DrawBlendBitmap(5, 0, src.get(), dst.get(), LSR_BLEND_COPY);
    LSR_DrawBlendBitmap(0, -2, src.get(), dst.get(), LSR_BLEND_COPY);
    EXPECT_TRUE(picture::matches(dst.get(), 0, 0, "gmggg\ngmmgd\nqghdd", legend));

    // Blur: a source pixel's missing neighbours are itself, also where the draw is clipped.
    const auto row = picture::make("g..", legend), column = picture::make("g\n.\n.", legend);
    const auto page = picture::filled(4, 3);
    LSR_DrawFilteredBitmap(0, 0, row.get(), page.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(-1, 1, row.get(), page.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(3, 0, column.get(), page.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(0, 2, row.get(), page.get(), 1); // not a filter: a copy
    EXPECT_TRUE(picture::matches(page.get(), 0, 0, "mh.m\nh..h\ng...", legend));

    // A stair step is smoothed, and so is the dark corner beside it, whose missing sides repeat
    // it.
    const picture::Legend stair = {{'w', k_white},    {'k', k_black},    {'n', 0xFFF0F0F0},
                                   {'a', 0x7E7F7F7F}, {'A', 0x7F7F7F7F}, {'.', 0}};
    const auto step = picture::make(".w.\nwnk\n.k.", stair), smooth = picture::filled(3, 3);
    LSR_DrawAntiAliasedBitmap(0, 0, step.get(), smooth.get());
    EXPECT_TRUE(picture::matches(smooth.get(), 0, 0, "Aw.\nwa.\n...", stair));
}

// Pictures without pixels, or of sizes that do not fit, are refused: some say so.
TEST_P(Effect, MissingOrMismatchedPicturesAreRefused) {
    const auto a = picture::filled(2, 2), dst = picture::filled(2, 2, k_old);
    const auto small = picture::filled(2, 1), wide = picture::filled(4, 2);
    const LSR_Bitmap none{2, 2, 0, 4, nullptr};
    EXPECT_EQ(picture::printed([&] {
                  LSR_CrossfadeBitmap(a.get(), small.get(), dst.get(), 0);
                  LSR_CrossfadeBitmap(small.get(), a.get(), dst.get(), 0);
                  LSR_CrossfadeBitmap(a.get(), none, dst.get(), 0);
                  LSR_FadeBitmap(a.get(), wide.get(), 0, LSR_FADE_BLACK);
                  LSR_FadeBitmap(none, dst.get(), 0, LSR_FADE_BLACK);
                  LSR_GreyBitmap(a.get(), none);
                  LSR_DrawBlendBitmap(0, 0, none, dst.get(), 1);
                  LSR_DrawFilteredBitmap(0, 0, a.get(), none, 2);
                  LSR_DrawAntiAliasedBitmap(0, 0, none, dst.get());
              }),
              picture::no_data(9));
    EXPECT_EQ(picture::printed([&] {
                  LSR_BlendBitmap(a.get(), none, dst.get(), LSR_BLEND_COPY);
                  LSR_BlendBitmap(a.get(), small.get(), dst.get(), LSR_BLEND_MIX);
                  LSR_BlendBitmap(small.get(), a.get(), dst.get(), LSR_BLEND_COPY);
                  LSR_AlphawipeBitmap(a.get(), none, dst.get(), 255);
                  LSR_AlphawipeBitmap(a.get(), small.get(), dst.get(), 255);
              }),
              "");
    EXPECT_TRUE(picture::uniform(dst.get(), k_old));
}

} // namespace
