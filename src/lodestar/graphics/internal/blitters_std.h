// One body per span operation and pixel conversion, over the pixel type (16 or 32 bits).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/wide.h"

namespace tarnblit {

using lsr::PagePixel;

// A colour word 0xAARRGGBB as a pixel of the page format.
template <PagePixel P> inline P from_colour(std::uint32_t colour) {
    if constexpr (sizeof(P) == 2)
        return TarnBlit_color24to16(colour);
    else
        return colour;
}

// A pixel of the page format as a colour word.
template <PagePixel P> inline std::uint32_t to_colour(P pixel) {
    if constexpr (sizeof(P) == 2)
        return TarnBlit_color16to24(pixel);
    else
        return pixel;
}

// Transparent pixels: 0 at 16 bits, a zero opacity byte at 32 bits.
template <PagePixel P> constexpr bool is_opaque(P pixel) {
    if constexpr (sizeof(P) == 2)
        return pixel != 0;
    else
        return pixel > 0x00FFFFFFu;
}

// Whether the pixels of two bitmaps share any memory.
template <PagePixel P> inline bool overlap(const LSR_Bitmap& a, const LSR_Bitmap& b) {
    const auto start = [](const LSR_Bitmap& m) { return reinterpret_cast<std::uintptr_t>(m.data); };
    const auto end = [&](const LSR_Bitmap& m) {
        return start(m) + static_cast<std::uintptr_t>(std::max(m.pixels, 0)) * sizeof(P);
    };
    return start(a) < end(b) && start(b) < end(a);
}

// Address of pixel (x, y); the caller has clipped (x, y) to the bitmap.
template <PagePixel P>
inline P* pixel_at(const LSR_Bitmap& bitmap, std::int64_t x, std::int64_t y) {
    return static_cast<P*>(bitmap.data) + (static_cast<std::ptrdiff_t>(y) * bitmap.width + x);
}

template <PagePixel P> inline void put(P* dst, std::uint32_t colour) {
    *dst = from_colour<P>(colour);
}

template <PagePixel P> inline std::uint32_t get(const P* src) {
    return to_colour<P>(*src);
}

// count copies of a pixel from dst: single pixels up to a wide-word boundary, then aligned wide
// stores, four at a time while they last.
template <PagePixel P> inline void fill_pixels(P* dst, std::int64_t count, P pixel) {
    constexpr std::int64_t lanes = k_lanes<P>;
    const auto offset = reinterpret_cast<std::uintptr_t>(dst) % sizeof(Wide<P>);
    const std::int64_t head =
        std::min<std::int64_t>(count, offset != 0 ? (sizeof(Wide<P>) - offset) / sizeof(P) : 0);
    std::int64_t i = 0;
    for (; i < head; ++i) dst[i] = pixel;
    const Wide<P> wide = splat<P>(pixel);
    for (; i + 4 * lanes <= count; i += 4 * lanes) {
        store_wide(dst + i, wide);
        store_wide(dst + i + lanes, wide);
        store_wide(dst + i + 2 * lanes, wide);
        store_wide(dst + i + 3 * lanes, wide);
    }
    for (; i + lanes <= count; i += lanes) store_wide(dst + i, wide);
    for (; i < count; ++i) dst[i] = pixel;
}

// The colour is converted once.
template <PagePixel P> inline void fill(P* dst, std::int64_t count, std::uint32_t colour) {
    fill_pixels(dst, count, from_colour<P>(colour));
}

// Ascending, pixel by pixel in effect: a destination just after its source, within the run,
// repeats pixels; anywhere else the run is one block move.
template <PagePixel P> inline void copy(P* dst, const P* src, std::int64_t count) {
    if (count <= 0) return;
    if (!reads_own_writes(dst, src, count)) {
        std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(P));
        return;
    }
    for (std::int64_t i = 0; i < count; ++i) dst[i] = src[i];
}

} // namespace tarnblit
