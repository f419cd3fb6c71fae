// The visible part of a picture placed on a bitmap, found once before its rows are drawn.
#pragma once

#include <algorithm>
#include <cstdint>

#include "lodestar/graphics/bitmap.h"

namespace tarnblit {

// Rows above the top and columns left of the edge are skipped; those at or past the bitmap's
// height and width are dropped.
struct Clip {
    std::int64_t rows = 0, cols = 0;
    std::int64_t src_row = 0, src_col = 0; // first visible row and column of the picture
    std::int64_t dst_row = 0, dst_col = 0; // where they land
};

// False when nothing of the w by h picture at (x, y) shows, or the bitmap has no pixels.
inline bool clip(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                 const LSR_Bitmap& bitmap, Clip& c) {
    if (bitmap.data == nullptr || y <= -h || y >= bitmap.height || x <= -w || x >= bitmap.width)
        return false;
    c.src_row = y < 0 ? -y : 0;
    c.dst_row = y < 0 ? 0 : y;
    c.rows = std::min(h - c.src_row, bitmap.height - c.dst_row);
    c.src_col = x < 0 ? -x : 0;
    c.dst_col = x < 0 ? 0 : x;
    c.cols = std::min(w - c.src_col, bitmap.width - c.dst_col);
    return c.rows > 0 && c.cols > 0;
}

} // namespace tarnblit
