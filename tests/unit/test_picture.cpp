// The grid helper itself: a wrong pixel, a wrong size and an unknown colour all fail.
#include <gtest/gtest.h>

#include "picture.h"

namespace {

using Picture = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Picture);

const picture::Legend k_legend = {{'.', 0}, {'X', 0xFFFFFF}, {'r', 0xFF0000}};

TEST_P(Picture, MatchesOnlyTheSamePictureAndShowsBoth) {
    const auto bm = picture::make("\n  .X.\n  Xr.  \n\n", k_legend); // trimmed
    EXPECT_TRUE(picture::matches(bm.get(), 0, 0, ".X.\nXr.", k_legend));
    EXPECT_TRUE(picture::matches(bm.get(), 1, 1, "r.", k_legend));
    const std::string wrong = picture::matches(bm.get(), 0, 0, ".X.\nX..", k_legend).message();
    EXPECT_TRUE(wrong.starts_with("expected\n.X.\nX..\nactual") && wrong.ends_with("\n.X.\nXr.\n"))
        << wrong;
    EXPECT_FALSE(picture::matches(bm.get(), 1, 0, "...", k_legend)); // past the right edge
    EXPECT_FALSE(picture::matches(bm.get(), 0, 0, "X.\nX", k_legend));
    EXPECT_FALSE(picture::matches(bm.get(), 0, 0, "?", k_legend));
    // A 32-bit opacity byte counts only where the legend gives one.
    picture::set(bm.get(), 0, 0, picture::stored(0x12FF0000));
    EXPECT_TRUE(picture::matches(bm.get(), 0, 0, "r", k_legend));
    EXPECT_EQ(picture::matches(bm.get(), 0, 0, "o", {{'o', 0x13FF0000}}), sixteen());
    picture::set(bm.get(), 0, 0, picture::stored(0x123456));
    EXPECT_EQ(picture::grid_of(bm.get(), 0, 0, 3, 1, k_legend), "?X.\n");
}

} // namespace
