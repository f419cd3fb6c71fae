// The clipped rectangle of a picture drawn into a bitmap, shared by every clipped bitmap draw.
#pragma once

#include <algorithm>
#include <cstdint>

#include "lodestar/base/debug.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/blitters_std.h"

namespace tarnblit {

// The part of the picture that lands inside dst: its first source pixel, its first destination
// pixel and its size in columns and rows.
struct Clip {
    std::int64_t src_x = 0, src_y = 0, dst_x = 0, dst_y = 0, cols = 0, rows = 0;
};

// Clips a w by h picture with its top-left at (x, y) to dst; false when nothing lands inside or
// dst has no pixels. Rows above the top and columns left of the edge are skipped; those at or
// past dst's height and width are dropped. In 64 bits, so that no position plus size overflows.
inline bool clip_rect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                      const LSR_Bitmap& dst, Clip& clip) {
    if (dst.data == nullptr || y <= -h || y >= dst.height || x <= -w || x >= dst.width)
        return false;
    clip.src_y = y < 0 ? -y : 0;
    clip.dst_y = y < 0 ? 0 : y;
    clip.rows = std::min(h - clip.src_y, dst.height - clip.dst_y);
    clip.src_x = x < 0 ? -x : 0;
    clip.dst_x = x < 0 ? 0 : x;
    clip.cols = std::min(w - clip.src_x, dst.width - clip.dst_x);
    return clip.rows > 0 && clip.cols > 0;
}

// Clips src drawn with its top-left at (x, y) to dst.
inline bool clip_draw(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                      Clip& clip) {
    return src.width > 0 && src.height > 0 && clip_rect(x, y, src.width, src.height, dst, clip);
}

// Runs row(d, s, cols, sx, sy) for every clipped row: d and s are the first destination and
// source pixels of the row, (sx, sy) the position of s in the source. A source without pixels is a
// caller's fault and stops the program.
template <PagePixel P, class Row>
inline void draw_clipped(std::int32_t x, std::int32_t y, const LSR_Bitmap& src,
                         const LSR_Bitmap& dst, const char* tag, int line, Row row) {
    if (src.data == nullptr) _dbg_assert(tag, line, "src.data");
    Clip c;
    if (!clip_draw(x, y, src, dst, c)) return;
    for (std::int64_t r = 0; r < c.rows; ++r)
        row(pixel_at<P>(dst, c.dst_x, c.dst_y + r), pixel_at<const P>(src, c.src_x, c.src_y + r),
            static_cast<std::int32_t>(c.cols), c.src_x, c.src_y + r);
}

} // namespace tarnblit
