// Clipped drawing: the part of a picture that lands inside a bitmap, and the walks over its rows,
// at the picture's own size and scaled, that every clipped draw of bitmaps and sprites goes
// through. Each walk hands a span function whole rows: a run of destination pixels and where in
// the source it reads.
#pragma once

#include <algorithm>
#include <cstdint>

#include "lodestar/base/debug.h"
#include "lodestar/base/internal/fixed_point.h"
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

// A source without pixels handed to a drawing body is a caller's fault and stops the program.
inline void require_source(const void* data, const char* tag, int line) {
    if (data == nullptr) _dbg_assert(tag, line, "src.data");
}

// The one clipped row walk: for a w by h picture with its top-left at (x, y), runs
// row(d, cols, px, py) for every row that lands inside dst, top to bottom. d is the row's first
// destination pixel, cols its pixel count, and (px, py) the picture position d shows.
template <PagePixel P, class Row>
void walk_clipped(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                  const LSR_Bitmap& dst, Row&& row) {
    Clip c;
    if (!clip_rect(x, y, w, h, dst, c)) return;
    const auto cols = static_cast<std::int32_t>(c.cols);
    for (std::int64_t r = 0; r < c.rows; ++r)
        row(pixel_at<P>(dst, c.dst_x, c.dst_y + r), cols, c.src_x, c.src_y + r);
}

// src at its own size with its top-left at (x, y): span(d, s, cols, sx, sy) for every clipped
// row, s being source pixel (sx, sy), the one d shows. A source without pixels draws nothing.
template <PagePixel P, class Span>
void draw_clipped(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                  Span&& span) {
    if (src.data == nullptr) return;
    walk_clipped<P>(x, y, src.width, src.height, dst,
                    [&](P* d, std::int32_t cols, std::int64_t sx, std::int64_t sy) {
                        span(d, pixel_at<const P>(src, sx, sy), cols, sx, sy);
                    });
}

// Where a row of a scaled draw reads: x, the source column of its first pixel, and xstep, the
// step per pixel, both 16.16; y the row's source position in 16.16; last when it is the last
// row drawn.
struct ScaledRow {
    std::int64_t x = 0, xstep = 0, y = 0;
    bool last = false;
};

// The one scaled row walk: src stretched to width by height (each taken as at least 1) with its
// top-left at (x, y); span(d, s, cols, at) for every clipped row, s the first pixel of the
// source row it shows and at where in it the row reads. The 16.16 steps are formed and stepped
// in 64 bits, so that a source of 32768 pixels or more, or a start far left of dst, cannot
// overflow them. A source without pixels draws nothing.
template <PagePixel P, class Span>
void walk_scaled(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 const LSR_Bitmap& src, const LSR_Bitmap& dst, Span&& span) {
    if (src.data == nullptr || src.width <= 0 || src.height <= 0) return;
    const std::int64_t w = std::max(width, 1), h = std::max(height, 1);
    const std::int64_t xstep = (std::int64_t{src.width} << 16) / w;
    const std::int64_t ystep = (std::int64_t{src.height} << 16) / h;
    walk_clipped<
        P>(x, y, w, h, dst, [&](P* d, std::int32_t cols, std::int64_t px, std::int64_t py) {
        const std::int64_t sy = py * ystep;
        const bool last = py + 1 == h || y + py + 1 == dst.height;
        span(d, pixel_at<const P>(src, 0, sy >> 16), cols, ScaledRow{px * xstep, xstep, sy, last});
    });
}

// A side of a picture drawn at zoom percent: truncated toward zero, held to 32 bits.
inline std::int32_t zoomed_side(std::int32_t side, std::int32_t zoom) {
    return lsr::saturate(std::int64_t{side} * zoom / 100);
}

} // namespace tarnblit
