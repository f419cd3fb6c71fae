// One body per span operation and pixel conversion, over the pixel type (16 or 32 bits).
#pragma once

#include <cstddef>
#include <cstdint>

#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"

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

// The colour is converted once; the plain loop is widened by the compiler to vector stores,
// several pixels per store at either depth.
template <PagePixel P> inline void fill(P* dst, std::int32_t count, std::uint32_t colour) {
    const P pixel = from_colour<P>(colour);
    for (std::int32_t i = 0; i < count; ++i) dst[i] = pixel;
}

// Ascending, one pixel at a time: a destination just after its source repeats pixels.
template <PagePixel P> inline void copy(P* dst, const P* src, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) dst[i] = src[i];
}

} // namespace tarnblit
