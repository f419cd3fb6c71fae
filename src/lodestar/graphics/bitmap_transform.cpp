// Scaled, zoomed and rotated bitmap drawing, clipped to the target, and stereo composition.
#include "lodestar/graphics/bitmap_transform.h"

#include <algorithm>

#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/blitters_stretch.h"
#include "lodestar/graphics/internal/clip.h"
#include "lodestar/graphics/internal/has_data.h"
#include "lodestar/graphics/internal/rotation.h"

constexpr std::array<std::int32_t, 450> bitmaprotate_sincos = tarnblit::build_sincos();
std::int32_t LSR_stereoframe = 0;

namespace {

constexpr const char* k_tag = "graphics/bitmap";

using lsr::PagePixel;
using tarnblit::has_data;

template <PagePixel P>
void draw_scaled(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 const LSR_Bitmap& src, const LSR_Bitmap& dst, std::int32_t bilinear) {
    // A source apart from the destination is never written while it is read.
    const bool apart = !tarnblit::overlap<P>(src, dst);
    tarnblit::walk_scaled<P>(
        x, y, width, height, src, dst,
        [&](P* d, const P* s, std::int32_t cols, const tarnblit::ScaledRow& at) {
            if (bilinear > 0) {
                // The last drawn row, and any row showing the source's last row, mix with
                // themselves: there is no row below to read.
                const bool below = !at.last && (at.y >> 16) + 1 < src.height;
                const std::int64_t rowstep = below ? src.width : 0;
                if (apart)
                    tarnblit::bilinear_apart(d, s, cols, rowstep, at.x, at.y, at.xstep, src.width);
                else
                    tarnblit::bilinear_stretch(d, s, cols, rowstep, at.x, at.y, at.xstep,
                                               src.width);
            } else {
                tarnblit::stretch(d, s, cols, at.x, at.xstep);
            }
        });
}

// The box is a square one and a half times the larger side, centred on the unturned picture;
// it does not grow with the zoom.
template <PagePixel P>
void draw_rotated(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                  std::int32_t angle, std::int32_t zoom, std::int64_t cx, std::int64_t cy) {
    if (src.width <= 0 || src.height <= 0) return;
    const std::int64_t w = src.width, h = src.height;
    const std::int64_t side = (3 * std::max(w, h)) >> 1;
    tarnblit::draw_turned<P>(src, dst, x - ((side - w) >> 1), y - ((side - h) >> 1), side,
                             tarnblit::turn(bitmaprotate_sincos, angle, zoom), cx, cy,
                             [](P& d, P s) { d = s; });
}

// The bits a channel mix takes from the right view; the rest come from the left. On a 16-bit
// page the same channels are picked with the format's masks (the spare top bit goes with red).
template <PagePixel P> std::uint32_t right_view_bits(std::int32_t mode) {
    if constexpr (sizeof(P) == 2) {
        const std::uint32_t r = tarnblit_redmask, g = tarnblit_greenmask, b = tarnblit_bluemask;
        constexpr std::uint32_t all = 0xFFFFu;
        const std::uint32_t bits[4] = {all & ~(g | b), all & ~(r | b), g | b, all & ~b};
        return bits[mode];
    } else {
        constexpr std::uint32_t bits[4] = {0xFFFF0000u, 0xFF00FF00u, 0x0000FFFFu, 0xFFFFFF00u};
        return bits[mode];
    }
}

// Channel mixes and interlaced rows over equal-sized bitmaps.
template <PagePixel P>
void compose(const LSR_Bitmap& left, const LSR_Bitmap& right, const LSR_Bitmap& dst,
             std::int32_t mode, std::int32_t frame) {
    const auto* l = static_cast<const P*>(left.data);
    const auto* r = static_cast<const P*>(right.data);
    auto* d = static_cast<P*>(dst.data);
    const std::int64_t w = left.width, h = left.height;
    if (mode == LSR_STEREO_INTERLACE) {
        // Even rows from the right view on even frames, from the left on odd ones.
        for (std::int64_t row = 0; row < h; ++row) {
            const P* from = (row % 2 == 0) == (frame % 2 == 0) ? r : l;
            tarnblit::copy(d + row * w, from + row * w, static_cast<std::int32_t>(w));
        }
        return;
    }
    const std::uint32_t take_right = right_view_bits<P>(mode);
    for (std::int64_t i = 0; i < w * h; ++i)
        d[i] = static_cast<P>((r[i] & take_right) | (l[i] & ~take_right));
}

} // namespace

void LSR_DrawScaledBitmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear) {
    if (!has_data(src, dst)) return;
    lsr::at_page_depth(
        [&](auto pixel) { draw_scaled<decltype(pixel)>(x, y, width, height, src, dst, bilinear); });
}

void DrawScaledBitmap16(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear) {
    draw_scaled<std::uint16_t>(x, y, width, height, src, dst, bilinear);
}

void DrawScaledBitmap32(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear) {
    draw_scaled<std::uint32_t>(x, y, width, height, src, dst, bilinear);
}

void LSR_DrawZoomedBitmap(std::int32_t x, std::int32_t y, std::int32_t zoom, LSR_Bitmap src,
                          LSR_Bitmap dst) {
    if (!has_data(src, dst)) return;
    LSR_DrawScaledBitmap(x, y, tarnblit::zoomed_side(src.width, zoom),
                         tarnblit::zoomed_side(src.height, zoom), src, dst, 0);
}

void LSR_DrawRotatedBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle) {
    LSR_DrawRotatedBitmapZoom(x, y, src, dst, angle, 128);
}

void LSR_DrawRotatedBitmapZoom(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                               std::int32_t angle, std::int32_t zoom) {
    if (!has_data(src, dst)) return;
    lsr::at_page_depth([&](auto pixel) {
        draw_rotated<decltype(pixel)>(x, y, src, dst, angle, zoom, src.width >> 1, src.height >> 1);
    });
}

void DrawRotatedBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::int32_t angle, std::int32_t zoom) {
    tarnblit::require_source(src.data, k_tag, 635);
    draw_rotated<std::uint16_t>(x, y, src, dst, angle, zoom, src.width >> 1, src.height >> 1);
}

void DrawRotatedBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::int32_t angle, std::int32_t zoom) {
    tarnblit::require_source(src.data, k_tag, 693);
    draw_rotated<std::uint32_t>(x, y, src, dst, angle, zoom, src.width >> 1, src.height >> 1);
}

void LSR_DrawRotatedBitmapXY(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                             std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                             std::int32_t cy) {
    if (!has_data(src, dst)) return;
    lsr::at_page_depth(
        [&](auto pixel) { draw_rotated<decltype(pixel)>(x, y, src, dst, angle, zoom, cx, cy); });
}

void DrawRotatedBitmapXY16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                           std::int32_t cy) {
    tarnblit::require_source(src.data, k_tag, 772);
    draw_rotated<std::uint16_t>(x, y, src, dst, angle, zoom, cx, cy);
}

void DrawRotatedBitmapXY32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                           std::int32_t cy) {
    tarnblit::require_source(src.data, k_tag, 827);
    draw_rotated<std::uint32_t>(x, y, src, dst, angle, zoom, cx, cy);
}

// Works at the page depth. The per-pixel modes need three bitmaps of one size and draw nothing
// otherwise, instead of reading or writing past the smaller ones; every call counts a frame.
void LSR_DrawBitmap3D(LSR_Bitmap left, LSR_Bitmap right, LSR_Bitmap dst, std::int32_t mode) {
    if (mode == LSR_STEREO_ALTERNATE) LSR_stereoframe &= 7;
    const std::int32_t frame = LSR_stereoframe;
    LSR_stereoframe = lsr::wrap32(std::int64_t{frame} + 1);
    if (mode < LSR_STEREO_RED_RIGHT || mode > LSR_STEREO_SIDE_BY_SIDE ||
        !has_data(left, right, dst))
        return;
    if (mode == LSR_STEREO_SIDE_BY_SIDE) {
        const std::int32_t half = dst.width >> 1;
        LSR_DrawScaledBitmap(0, 0, half, dst.height, left, dst, 0);
        LSR_DrawScaledBitmap(half, 0, half, dst.height, right, dst, 0);
        return;
    }
    const bool same_size = left.width > 0 && left.height > 0 && right.width == left.width &&
                           right.height == left.height && dst.width == left.width &&
                           dst.height == left.height;
    if (!same_size) return;
    if (mode == LSR_STEREO_ALTERNATE) {
        // Four steps from the left view to the right, then four from the right to the left.
        const auto level = static_cast<std::uint8_t>((frame * 64) & 255);
        if (frame < 4)
            LSR_CrossfadeBitmap(left, right, dst, level);
        else
            LSR_CrossfadeBitmap(right, left, dst, level);
        return;
    }
    lsr::at_page_depth(
        [&](auto pixel) { compose<decltype(pixel)>(left, right, dst, mode, frame); });
}
