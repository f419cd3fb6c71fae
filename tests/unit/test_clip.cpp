// The clipped rectangle every clipped draw of bitmaps and sprites walks: one table.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "lodestar/graphics/internal/clip.h"

namespace {

constexpr std::int64_t k_far = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t k_near = std::numeric_limits<std::int32_t>::min();

// A w by h picture at (x, y) on a 20 by 15 target: its first source pixel, first destination
// pixel and size inside, all zero when nothing lands.
TEST(Clip, RectangleAndSourceOffsetOnEverySide) {
    using Six = std::array<std::int64_t, 6>;
    const struct {
        std::int64_t x, y, w, h;
        Six want;
    } rows[] = {
        {5, 3, 10, 10, {0, 0, 5, 3, 10, 10}},               // inside
        {-9, 0, 10, 10, {9, 0, 0, 0, 1, 10}},               // one column left of the edge shows
        {-10, 0, 10, 10, {}},                               // touching the left edge
        {0, -9, 10, 10, {0, 9, 0, 0, 10, 1}},               // one row above the top shows
        {19, 14, 10, 10, {0, 0, 19, 14, 1, 1}},             // the bottom-right pixel only
        {20, 0, 10, 10, {}},                                // past the right edge
        {15, 9, 10, 10, {0, 0, 15, 9, 5, 6}},               // cut at the right and the bottom
        {-5, -3, 30, 25, {5, 3, 0, 0, 20, 15}},             // larger: cut on all four sides
        {3, 3, 0, 4, {}},                                   // no columns
        {3, 3, 4, -2, {}},                                  // negative height
        {k_far, k_far, 10, 10, {}},                         // far right: no overflow
        {k_near, 0, 10, 10, {}},                            // far left
        {k_near, k_near, k_far, k_far, {}},                 // a huge picture ending left and above
        {-k_far, -2, k_far + 5, 4, {k_far, 2, 0, 0, 5, 2}}, // a huge one reaching in
    };
    static std::uint32_t pixel;
    const LSR_Bitmap dst{20, 15, 20 * 15 * 4, 20 * 15, &pixel};
    for (const auto& r : rows) {
        tarnblit::Clip c;
        const bool lands = tarnblit::clip_rect(r.x, r.y, r.w, r.h, dst, c);
        const Six got = lands ? Six{c.src_x, c.src_y, c.dst_x, c.dst_y, c.cols, c.rows} : Six{};
        EXPECT_EQ(got, r.want) << r.w << "x" << r.h << " at " << r.x << "," << r.y;
        EXPECT_EQ(lands, r.want != Six{});
    }
    tarnblit::Clip c; // a target without pixels takes nothing
    EXPECT_FALSE(tarnblit::clip_rect(0, 0, 4, 4, LSR_Bitmap{20, 15, 0, 0, nullptr}, c));
}

} // namespace
