// The grid helper itself: a wrong pixel, a grid that does not fit and an unknown colour all fail,
// and a failure shows both grids.
#include <gtest/gtest.h>

#include "picture.h"

namespace {

using Picture = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Picture);

TEST_P(Picture, MatchesOnlyTheSamePictureAndShowsBoth) {
    const picture::Legend legend = {{'.', 0}, {'X', 0xFFFFFF}, {'r', 0xFF0000}};
    const auto bm = picture::make("\n  .X.\n  Xr.  \n\n", legend); // trimmed
    EXPECT_TRUE(picture::matches(bm.get(), 1, 1, "r.", legend));
    const std::string wrong = picture::matches(bm.get(), 0, 0, ".X.\nX..", legend).message();
    EXPECT_TRUE(wrong.starts_with("expected\n.X.\nX..\nactual") && wrong.ends_with("\n.X.\nXr.\n"))
        << wrong;
    for (const char* grid : {"...", "X.\nX", "?"}) // past the right edge, ragged, no colour
        EXPECT_FALSE(picture::matches(bm.get(), grid[0] == '.', 0, grid, legend)) << grid;
    // A 32-bit opacity byte counts only where the legend gives one.
    picture::set(bm.get(), 0, 0, picture::stored(0x12FF0000));
    EXPECT_TRUE(picture::matches(bm.get(), 0, 0, "r", legend));
    EXPECT_EQ(picture::matches(bm.get(), 0, 0, "o", {{'o', 0x13FF0000}}), sixteen());
    picture::set(bm.get(), 0, 0, picture::stored(0x123456));
    EXPECT_EQ(picture::grid_of(bm.get(), 0, 0, 3, 1, legend), "?X.\n");
}

} // namespace
