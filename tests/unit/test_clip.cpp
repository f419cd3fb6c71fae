// The clipped rectangle every clipped draw of bitmaps and sprites walks: one table.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "lodestar/graphics/internal/clip.h"

namespace {

constexpr std::int64_t k_far = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t k_near = std::numeric_limits<std::int32_t>::min();

// A w by h picture at (x, y) on a 20 by 15 target: what lands inside, as its first source pixel,
// its first destination pixel and its size, or nothing.
struct Row {
    std::int64_t x, y, w, h;
    bool lands;
    tarnblit::Clip want;
};

TEST(Clip, RectangleAndSourceOffsetOnEverySide) {
    const Row rows[] = {
        {5, 3, 10, 10, true, {0, 0, 5, 3, 10, 10}},      // inside
        {-9, 0, 10, 10, true, {9, 0, 0, 0, 1, 10}},      // one column left of the edge shows
        {-10, 0, 10, 10, false, {}},                     // touching the left edge
        {0, -9, 10, 10, true, {0, 9, 0, 0, 10, 1}},      // one row above the top shows
        {0, -10, 10, 10, false, {}},                     // touching the top
        {19, 14, 10, 10, true, {0, 0, 19, 14, 1, 1}},    // the bottom-right pixel only
        {20, 0, 10, 10, false, {}},                      // past the right edge
        {0, 15, 10, 10, false, {}},                      // past the bottom
        {15, 9, 10, 10, true, {0, 0, 15, 9, 5, 6}},      // cut at the right and the bottom
        {-5, -3, 30, 25, true, {5, 3, 0, 0, 20, 15}},    // larger: cut on all four sides
        {0, 0, 1, 1, true, {0, 0, 0, 0, 1, 1}},          // a single pixel
        {3, 3, 0, 4, false, {}},                         // no columns
        {3, 3, 4, -2, false, {}},                        // negative height
        {k_far, k_far, 10, 10, false, {}},               // far right: no overflow
        {k_near, 0, 10, 10, false, {}},                  // far left
        {k_near, k_near, k_far, k_far, false, {}},       // a huge picture ending left and above
        {-k_far, -2, k_far + 5, 4, true, {k_far, 2, 0, 0, 5, 2}}, // a huge one reaching in
    };
    static std::uint32_t pixel;
    const LSR_Bitmap dst{20, 15, 20 * 15 * 4, 20 * 15, &pixel};
    for (const Row& r : rows) {
        tarnblit::Clip c;
        const bool lands = tarnblit::clip_rect(r.x, r.y, r.w, r.h, dst, c);
        const auto at = testing::Message() << r.w << "x" << r.h << " at " << r.x << "," << r.y;
        ASSERT_EQ(lands, r.lands) << at;
        if (!lands) continue;
        EXPECT_EQ(c.src_x, r.want.src_x) << at;
        EXPECT_EQ(c.src_y, r.want.src_y) << at;
        EXPECT_EQ(c.dst_x, r.want.dst_x) << at;
        EXPECT_EQ(c.dst_y, r.want.dst_y) << at;
        EXPECT_EQ(c.cols, r.want.cols) << at;
        EXPECT_EQ(c.rows, r.want.rows) << at;
    }
    // A target without pixels takes nothing.
    tarnblit::Clip c;
    EXPECT_FALSE(tarnblit::clip_rect(0, 0, 4, 4, LSR_Bitmap{20, 15, 0, 0, nullptr}, c));
}

} // namespace
