// The clipped rectangle of one bitmap drawn into another, shared by every clipped bitmap draw.
#pragma once

#include <cstdint>

#include "lodestar/frame/debug.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters_std.h"

namespace tarnblit {

// The part of src that lands inside dst: its first source pixel, its first destination pixel
// and its size in columns and rows.
struct Clip {
    std::int64_t src_x = 0, src_y = 0, dst_x = 0, dst_y = 0, cols = 0, rows = 0;
};

// Clips src drawn with its top-left at (x, y) to dst; false when nothing lands inside. Done in
// 64 bits so that no sum of a position and a size can overflow.
inline bool clip_draw(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                      Clip& clip) {
    if (dst.data == nullptr || src.width <= 0 || src.height <= 0) return false;
    const std::int64_t sw = src.width, sh = src.height, dw = dst.width, dh = dst.height;
    if (y <= -sh || y >= dh || x <= -sw || x >= dw) return false;

    clip = {0, 0, x, y, sw, sh};
    if (y < 0) {
        clip.src_y = -std::int64_t{y};
        clip.dst_y = 0;
        clip.rows = sh + y;
    }
    if (sh + y >= dh) clip.rows = y >= 0 ? dh - y : dh;
    if (x < 0) {
        clip.src_x = -std::int64_t{x};
        clip.dst_x = 0;
        clip.cols = sw + x;
    }
    if (sw + x >= dw) clip.cols = x >= 0 ? dw - x : dw;
    return true;
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
