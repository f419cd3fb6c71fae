// Scan-line triangle fillers in 16.16 fixed point, clipped span by span, and the perspective span.
#include "lodestar/graphics/triangles.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/base/internal/page_depth.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/blitters_stretch.h"
#include "lodestar/graphics/primitives.h"

namespace {

using lsr::asr;
using lsr::PagePixel;

// A corner widened to 64 bits, so that no difference or shifted coordinate overflows.
struct Corner {
    std::int64_t x, y, u, v, shade;
};

Corner widen(const LSR_Vertex& c) {
    return {c.x, c.y, c.u & 0xFF, c.v & 0xFF, c.shade & 0xFF};
}

// diff << shift per row; a run of no rows takes the shifted difference undivided.
std::int64_t per_row(std::int64_t diff, std::int64_t rows, int shift) {
    const std::int64_t scaled = diff * (std::int64_t{1} << shift);
    return rows > 0 ? scaled / rows : scaled;
}

// A value carried down the rows of a triangle from the top corner's row: it steps by upper
// after the rows above the middle corner and by lower after the rest. With reset, it is
// set to reset_to after the middle corner's row instead. Formed from the row directly, which
// equals the running sum and lets rows above the bitmap be skipped.
struct Track {
    std::int64_t start, upper, lower, top, middle;
    bool reset = false;
    std::int64_t reset_to = 0;

    std::int64_t at(std::int64_t row) const {
        if (row <= middle) return start + upper * (row - top);
        if (reset) return reset_to + lower * (row - middle - 1);
        return start + upper * (middle - top) + lower * (row - middle);
    }
};

// The corners top (P), middle (Q) and bottom (R), the three edge slopes and the two span edges.
struct Setup {
    Corner p, q, r;
    std::int64_t s_pr, s_pq, s_qr;
    bool long_left;
    Track left, right;
};

// flat: the one-colour filler, whose edges both start at P and whose short edge is set to Q's
// column after Q's row; the others start the right edge at Q on a flat top.
Setup set_up(const LSR_Vertex& a, const LSR_Vertex& b, const LSR_Vertex& c, bool flat) {
    Setup s{widen(a), widen(b), widen(c), 0, 0, 0, false, {}, {}};
    if (s.p.y > s.q.y) std::swap(s.p, s.q);
    if (s.p.y > s.r.y) std::swap(s.p, s.r);
    if (s.q.y > s.r.y) std::swap(s.q, s.r);
    const bool flat_top = s.p.y == s.q.y;
    if (flat_top && s.p.x > s.q.x) {
        std::swap(s.p.x, s.q.x);
        std::swap(s.p.u, s.q.u);
        std::swap(s.p.v, s.q.v);
        std::swap(s.p.shade, s.q.shade);
    }
    s.s_pr = per_row(s.r.x - s.p.x, s.r.y - s.p.y, 16);
    s.s_pq = per_row(s.q.x - s.p.x, s.q.y - s.p.y, 16);
    s.s_qr = per_row(s.r.x - s.q.x, s.r.y - s.q.y, 16);
    s.long_left = s.s_pr < s.s_pq;
    const std::int64_t from_p = s.p.x * 65536, from_q = s.q.x * 65536;
    Track long_edge{from_p, s.s_pr, s.s_pr, s.p.y, s.q.y};
    Track short_edge{from_p, s.s_pq, s.s_qr, s.p.y, s.q.y, flat, from_q};
    if (!flat && flat_top) (s.long_left ? short_edge : long_edge).start = from_q;
    s.left = s.long_left ? long_edge : short_edge;
    s.right = s.long_left ? short_edge : long_edge;
    return s;
}

// A corner value carried by the left edge in 1 << shift fixed point: along the long edge when
// that is left, otherwise along the upper then the lower short edge.
Track carried(const Setup& s, std::int64_t vp, std::int64_t vq, std::int64_t vr, int shift) {
    const std::int64_t d_pr = per_row(vr - vp, s.r.y - s.p.y, shift);
    if (s.long_left) return {vp << shift, d_pr, d_pr, s.p.y, s.q.y};
    return {vp << shift, per_row(vq - vp, s.q.y - s.p.y, shift),
            per_row(vr - vq, s.r.y - s.q.y, shift), s.p.y, s.q.y};
}

// The step per pixel across a span of a corner value: from the long edge at Q's row (its
// column and value there follow from its per-row steps) to Q itself.
std::int64_t across(const Setup& s, std::int64_t vp, std::int64_t vq, std::int64_t vr, int shift) {
    const std::int64_t rows = s.q.y - s.p.y;
    const std::int64_t xm = asr(s.s_pr * rows, 16) + s.p.x;
    const std::int64_t vm = asr(per_row(vr - vp, s.r.y - s.p.y, shift) * rows, shift) + vp;
    const std::int64_t dx = s.q.x - xm;
    return (vq - vm) * (std::int64_t{1} << shift) / (dx != 0 ? dx : 1);
}

// span(row, left, first, last) for each row from P's to last_row that meets the bitmap, with
// the left edge's column and the span clipped to the bitmap's columns.
template <class Span>
void each_row(const Setup& s, const LSR_Bitmap& bitmap, std::int64_t last_row, Span span) {
    const std::int64_t w = bitmap.width;
    const std::int64_t first = std::max<std::int64_t>(s.p.y, 0);
    const std::int64_t last = std::min<std::int64_t>(last_row, std::int64_t{bitmap.height} - 1);
    for (std::int64_t row = first; row <= last; ++row) {
        const std::int64_t left = asr(s.left.at(row), 16), right = asr(s.right.at(row), 16);
        if (left >= w || right < 0) continue;
        span(row, left, std::max<std::int64_t>(left, 0), std::min(right, w - 1));
    }
}

template <PagePixel P>
void fill_flat(const Setup& s, const LSR_Bitmap& bitmap, std::uint32_t colour) {
    each_row(s, bitmap, s.r.y, [&](std::int64_t row, std::int64_t, std::int64_t a, std::int64_t b) {
        if (b - a + 1 > 0)
            tarnblit::fill(tarnblit::pixel_at<P>(bitmap, a, row),
                           static_cast<std::int32_t>(b - a + 1), colour);
    });
}

// Shades travel as 32-bit words: only their bits 16 to 23 are drawn, and those are the same
// whether the sums wrap at 32 bits or not.
template <PagePixel P> void fill_shaded(const Setup& s, const LSR_Bitmap& bitmap) {
    const Track shade = carried(s, s.p.shade, s.q.shade, s.r.shade, 16);
    const std::int64_t dx = across(s, s.p.shade, s.q.shade, s.r.shade, 16);
    each_row(s, bitmap, s.r.y - 1,
             [&](std::int64_t row, std::int64_t left, std::int64_t a, std::int64_t b) {
                 const std::int64_t start = shade.at(row) - (left < 0 ? left * dx : 0);
                 if (b - a > 0)
                     tarnblit::fill_shade(
                         tarnblit::pixel_at<P>(bitmap, a, row), static_cast<std::int32_t>(b - a),
                         static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(dx));
             });
}

// Texture coordinates travel as 32-bit words too: the texel index reads only their low bits.
template <PagePixel P, class Texture>
void fill_textured(const Setup& s, const LSR_Bitmap& bitmap, const Texture& texture) {
    const Track u = carried(s, s.p.u, s.q.u, s.r.u, 8), v = carried(s, s.p.v, s.q.v, s.r.v, 8);
    const std::int64_t du = across(s, s.p.u, s.q.u, s.r.u, 8);
    const std::int64_t dv = across(s, s.p.v, s.q.v, s.r.v, 8);
    each_row(s, bitmap, s.r.y - 1,
             [&](std::int64_t row, std::int64_t left, std::int64_t a, std::int64_t b) {
                 const std::int64_t skip = left < 0 ? left : 0;
                 if (b - a + 1 > 0)
                     tarnblit::fill_texture(tarnblit::pixel_at<P>(bitmap, a, row), texture,
                                            static_cast<std::int32_t>(b - a + 1),
                                            static_cast<std::uint32_t>(u.at(row) - skip * du),
                                            static_cast<std::uint32_t>(v.at(row) - skip * dv),
                                            static_cast<std::uint32_t>(du),
                                            static_cast<std::uint32_t>(dv));
             });
}

// A texture of fewer than 65536 texels is tiled rather than read past its end.
template <PagePixel P> void fill_textured(const Setup& s, const LSR_Bitmap& bitmap) {
    const LSR_Bitmap& t = LSR_texture1;
    const auto* texels = static_cast<const P*>(t.data);
    if (std::int64_t{t.width} * t.height >= 65536)
        fill_textured<P>(s, bitmap, tarnblit::GridTexture<P>{texels});
    else if (t.width > 0 && t.height > 0)
        fill_textured<P>(s, bitmap,
                         tarnblit::TiledTexture<P>{texels, static_cast<std::uint32_t>(t.width),
                                                   static_cast<std::uint32_t>(t.height)});
}

// The integer part of value * 65536 / z through single precision, held to the 32-bit range;
// a z of 0 counts as 1.
std::int64_t texel_position(std::uint32_t value, std::uint32_t z) {
    const auto depth = static_cast<std::int32_t>(z);
    const float r = 65536.0f / static_cast<float>(depth != 0 ? depth : 1);
    const float p = static_cast<float>(static_cast<std::int32_t>(value)) * r;
    constexpr float limit = 2147483648.0f;
    if (p >= limit) return std::numeric_limits<std::int32_t>::max();
    if (p <= -limit) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(p);
}

} // namespace

void LSR_DrawTriangleWireframe(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, std::uint32_t colour,
                               LSR_Bitmap bitmap) {
    LSR_DrawLine(a.x, a.y, b.x, b.y, colour, bitmap);
    LSR_DrawLine(b.x, b.y, c.x, c.y, colour, bitmap);
    LSR_DrawLine(c.x, c.y, a.x, a.y, colour, bitmap);
}

void LSR_DrawTriangle(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, std::uint32_t colour,
                      LSR_Bitmap bitmap) {
    if (bitmap.data == nullptr) return;
    const Setup s = set_up(a, b, c, true);
    lsr::at_page_depth([&](auto pixel) { fill_flat<decltype(pixel)>(s, bitmap, colour); });
}

void LSR_DrawTriangleShaded(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, LSR_Bitmap bitmap) {
    if (bitmap.data == nullptr) return;
    const Setup s = set_up(a, b, c, false);
    lsr::at_page_depth([&](auto pixel) { fill_shaded<decltype(pixel)>(s, bitmap); });
}

void LSR_DrawTriangleTextured(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, LSR_Bitmap bitmap) {
    if (bitmap.data == nullptr || LSR_texture1.data == nullptr) return;
    const Setup s = set_up(a, b, c, false);
    lsr::at_page_depth([&](auto pixel) { fill_textured<decltype(pixel)>(s, bitmap); });
}

// Exact positions at the ends of each run of 16, straight steps between them. u, v and z step
// as unsigned words (wrapping). The column is not kept to the row: past 255 it reads on into the
// next rows. Only an index outside the 65536 texels is wrapped back into them.
void persptextfill_c(std::uint32_t* dst, const std::uint32_t* texture, std::int32_t count,
                     std::int32_t u, std::int32_t v, std::int32_t z, std::int32_t du,
                     std::int32_t dv, std::int32_t dz) {
    if (count <= 0) return;
    auto uu = static_cast<std::uint32_t>(u), vv = static_cast<std::uint32_t>(v);
    auto zz = static_cast<std::uint32_t>(z);
    const std::uint32_t run_u = static_cast<std::uint32_t>(du) * 16u;
    const std::uint32_t run_v = static_cast<std::uint32_t>(dv) * 16u;
    const std::uint32_t run_z = static_cast<std::uint32_t>(dz) * 16u;
    std::int64_t su = texel_position(uu, zz), sv = texel_position(vv, zz);
    for (std::int32_t left = count; left > 0; left -= 16) {
        uu += run_u;
        vv += run_v;
        zz += run_z;
        const std::int64_t eu = texel_position(uu, zz), ev = texel_position(vv, zz);
        const std::int64_t step_u = asr(eu - su, 4), step_v = asr(ev - sv, 4);
        for (std::int32_t i = 0, n = std::min(left, 16); i < n; ++i) {
            *dst++ =
                texture[static_cast<std::uint32_t>((asr(sv, 8) & 0xFF00) + asr(su, 16)) & 0xFFFFu];
            su += step_u;
            sv += step_v;
        }
        su = eu;
        sv = ev;
    }
}
