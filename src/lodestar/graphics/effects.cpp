// Bitmap effects and blended or filtered drawing over the blending span blitters.
#include "lodestar/graphics/effects.h"

#include <algorithm>

#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/internal/blitters_blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/clip.h"
#include "lodestar/graphics/internal/has_data.h"

namespace {

// The clipped draws share the bitmap module's assertion tag.
constexpr const char* k_tag = "graphics/bitmap";

using lsr::at_page_depth;
using lsr::PagePixel;
using tarnblit::has_data;
using tarnblit::no_data;

template <PagePixel P> P* pixels_of(const LSR_Bitmap& bitmap) {
    return static_cast<P*>(bitmap.data);
}

// One blend mode over a span. first and second are the two pictures; single is the one the
// one-picture modes (copy, darken, brighten) take. False for an unknown mode, nothing written.
template <PagePixel P>
bool blend_span(P* dst, const P* first, const P* second, const P* single, std::uint8_t mode,
                std::int32_t count) {
    switch (mode) {
    case LSR_BLEND_COPY: tarnblit::copy(dst, single, count); return true;
    case LSR_BLEND_MIX: tarnblit::blit_mix(dst, first, second, count); return true;
    case LSR_BLEND_ADD: tarnblit::blit_add(dst, first, second, count); return true;
    case LSR_BLEND_MULTIPLY: tarnblit::blit_mul(dst, first, second, count); return true;
    case LSR_BLEND_MOSTLY_FIRST: tarnblit::blit_qmix(dst, first, second, count); return true;
    case LSR_BLEND_MOSTLY_SECOND: tarnblit::blit_qmix(dst, second, first, count); return true;
    case LSR_BLEND_DARKEN: tarnblit::blit_darken(dst, single, count); return true;
    case LSR_BLEND_BRIGHTEN: tarnblit::blit_brighten(dst, single, count); return true;
    default: return false;
    }
}

// A source pixel on the left or right edge of its bitmap has no neighbour on that side and
// stands in for it; up and down are 0 on the top and bottom rows. So a filter reads nothing
// outside the source, whatever part of it is drawn.
template <PagePixel P, class Kernel>
void filter_row(P* d, const P* s, std::int32_t cols, std::int64_t sx, std::int64_t sy,
                const LSR_Bitmap& src, const Kernel& kernel) {
    const std::int32_t up = sy > 0 ? -src.width : 0;
    const std::int32_t down = sy + 1 < src.height ? src.width : 0;
    const auto edge = [&](std::int32_t i) {
        const P* m = s + i;
        const P left = sx + i == 0 ? m[0] : m[-1];
        const P right = sx + i + 1 == src.width ? m[0] : m[1];
        d[i] = kernel(left, m[0], right, m[up], m[down]);
    };
    std::int32_t first = 0, last = cols;
    if (sx == 0) edge(first++);
    const bool right_edge = sx + cols == src.width && last > first;
    if (right_edge) --last;
    tarnblit::filter_span(d + first, s + first, up, down, last - first, kernel);
    if (right_edge) edge(last);
}

template <PagePixel P>
void draw_blend(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                std::uint8_t mode) {
    tarnblit::require_source(src.data, k_tag, sizeof(P) == 2 ? 297 : 342);
    tarnblit::draw_clipped<P>(x, y, src, dst, [mode](P* d, const P* s, std::int32_t cols, auto...) {
        if (!blend_span(d, d, s, s, mode, cols)) tarnblit::copy(d, s, cols);
    });
}

template <PagePixel P>
void draw_filtered(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst,
                   std::uint8_t filter) {
    tarnblit::require_source(src.data, k_tag, sizeof(P) == 2 ? 400 : 443);
    tarnblit::draw_clipped<P>(
        x, y, src, dst,
        [filter, &src](P* d, const P* s, std::int32_t cols, std::int64_t sx, std::int64_t sy) {
            if (filter == LSR_FILTER_BLUR)
                filter_row(d, s, cols, sx, sy, src, tarnblit::Blur<P>{});
            else if (filter == LSR_FILTER_ANTIALIAS)
                filter_row(d, s, cols, sx, sy, src, tarnblit::AntiAlias<P>{});
            else
                tarnblit::copy(d, s, cols);
        });
}

// Luma in 8-bit fixed point: the weights sum to 256, so white stays 255 and black 0.
constexpr std::uint32_t grey_of(std::uint32_t p) {
    const std::uint32_t r = (p >> 16) & 0xFFu, g = (p >> 8) & 0xFFu, b = p & 0xFFu;
    const std::uint32_t y = (77 * r + 150 * g + 29 * b) >> 8;
    return 0xFF000000u | y << 16 | y << 8 | y;
}

} // namespace

// Writes the pixels both bitmaps have, so that a smaller source is not read past its end.
void LSR_GreyBitmap(LSR_Bitmap src, LSR_Bitmap dst) {
    if (!has_data(src, dst)) return;
    if (LSR_Is16Bit()) return;
    tarnblit::span(pixels_of<std::uint32_t>(dst), pixels_of<const std::uint32_t>(src),
                   std::min(src.pixels, dst.pixels), grey_of);
}

// a must be dst's size. The two-picture modes read b over the whole of dst too, so a smaller b
// is refused there; a larger one is fine. A dst without pixels takes nothing.
void LSR_BlendBitmap(LSR_Bitmap a, LSR_Bitmap b, LSR_Bitmap dst, std::uint8_t mode) {
    const bool reads_b = mode >= LSR_BLEND_MIX && mode <= LSR_BLEND_MOSTLY_SECOND;
    if (a.data == nullptr || b.data == nullptr || dst.data == nullptr || a.size != dst.size ||
        (reads_b && b.size < dst.size))
        return;
    at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        const P* pa = pixels_of<const P>(a);
        blend_span(pixels_of<P>(dst), pa, pixels_of<const P>(b), pa, mode, dst.pixels);
    });
}

// Pictures of different sizes get the no-data report too.
void LSR_FadeBitmap(LSR_Bitmap src, LSR_Bitmap dst, std::uint8_t level, std::uint8_t mode) {
    if (!has_data(src, dst)) return;
    if (src.size != dst.size) return no_data();
    at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        P* d = pixels_of<P>(dst);
        const P* s = pixels_of<const P>(src);
        switch (mode) {
        case LSR_FADE_BLACK: tarnblit::blit_fade(d, s, level, dst.pixels); break;
        case LSR_FADE_WHITE: tarnblit::blit_fade_white(d, s, level, dst.pixels); break;
        case LSR_FADE_CROSS: tarnblit::blit_crossfade(d, d, s, level, dst.pixels); break;
        // A wipe of dst onto itself: with no picture to reveal it changes nothing.
        case LSR_FADE_WIPE: tarnblit::blit_alphawipe(d, d, s, level, dst.pixels); break;
        default: break;
        }
    });
}

// b is read over the whole of dst, so it must not be smaller; pictures of sizes that do not fit
// get the no-data report too.
void LSR_CrossfadeBitmap(LSR_Bitmap a, LSR_Bitmap b, LSR_Bitmap dst, std::uint8_t level) {
    if (!has_data(a, b, dst)) return;
    if (a.size != dst.size || b.size < dst.size) return no_data();
    at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        tarnblit::blit_crossfade(pixels_of<P>(dst), pixels_of<const P>(a), pixels_of<const P>(b),
                                 level, dst.pixels);
    });
}

// The mask is read over the whole of dst, so it must have pixels and not be smaller.
void LSR_AlphawipeBitmap(LSR_Bitmap a, LSR_Bitmap mask, LSR_Bitmap dst, std::uint8_t level) {
    if (a.data == nullptr || mask.data == nullptr || dst.data == nullptr || a.size != dst.size ||
        mask.size < dst.size)
        return;
    at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        tarnblit::blit_alphawipe(pixels_of<P>(dst), pixels_of<const P>(a), pixels_of<const P>(mask),
                                 level, dst.pixels);
    });
}

void LSR_DrawBlendBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::uint8_t mode) {
    if (!has_data(src, dst)) return;
    at_page_depth([&](auto pixel) { draw_blend<decltype(pixel)>(x, y, src, dst, mode); });
}

void DrawBlendBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                       std::uint8_t mode) {
    draw_blend<std::uint16_t>(x, y, src, dst, mode);
}

void DrawBlendBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                       std::uint8_t mode) {
    draw_blend<std::uint32_t>(x, y, src, dst, mode);
}

void LSR_DrawFilteredBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                            std::uint8_t filter) {
    if (!has_data(src, dst)) return;
    at_page_depth([&](auto pixel) { draw_filtered<decltype(pixel)>(x, y, src, dst, filter); });
}

void DrawFilteredBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                          std::uint8_t filter) {
    draw_filtered<std::uint16_t>(x, y, src, dst, filter);
}

void DrawFilteredBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                          std::uint8_t filter) {
    draw_filtered<std::uint32_t>(x, y, src, dst, filter);
}

void LSR_DrawAntiAliasedBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst) {
    LSR_DrawFilteredBitmap(x, y, src, dst, 3);
}
