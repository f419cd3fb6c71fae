// One body per span operation and pixel conversion, over the pixel type (16 or 32 bits).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"

namespace tarnblit {

// A 16-bit or 32-bit pixel, or (for reading) a const one.
template <class P>
concept PagePixel = std::is_same_v<std::remove_const_t<P>, std::uint16_t> ||
    std::is_same_v<std::remove_const_t<P>, std::uint32_t>;

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

// Each channel with its lowest bit removed, so that two halved pixels add without carries
// between channels. At 32 bits the opacity byte is halved too.
template <PagePixel P> inline std::uint32_t half_mask() {
    if constexpr (sizeof(P) == 2)
        return (tarnblit_redmask & (tarnblit_redmask - 1)) |
               (tarnblit_greenmask & (tarnblit_greenmask - 1)) |
               (tarnblit_bluemask & (tarnblit_bluemask - 1));
    else
        return 0xFEFEFEFEu;
}

// The per-channel average with each channel's low bit dropped, in one 32-bit addition. Two
// 32-bit opacity bytes of 0x80 or more carry out of the word and that carry is lost: the byte
// comes back halved (0xFF and 0xFF give 0x7E), which every opacity test still reads as opaque.
template <PagePixel P> inline P average(P a, P b) {
    const std::uint32_t half = half_mask<P>();
    return static_cast<P>(((a & half) + (b & half)) >> 1);
}

// One colour channel of the pixel format: the 16-bit globals, or a fixed byte of 0xAARRGGBB.
struct Channel {
    std::uint32_t mask, bits, shift;

    // The channel's value in a pixel, counted from 0. A shift past the word (no real format
    // has one) gives 0 instead of an undefined shift.
    constexpr std::uint32_t value(std::uint32_t pixel) const {
        return shift < 32 ? (pixel & mask) >> shift : 0;
    }
    constexpr std::uint32_t top() const { return value(mask); }
};

// Red, green and blue, in that order.
template <PagePixel P> inline std::array<Channel, 3> channels() {
    if constexpr (sizeof(P) == 2)
        return {{{tarnblit_redmask, tarnblit_redbits, tarnblit_redshift},
                 {tarnblit_greenmask, tarnblit_greenbits, tarnblit_greenshift},
                 {tarnblit_bluemask, tarnblit_bluebits, tarnblit_blueshift}}};
    else
        return {{{0xFF0000u, 8, 16}, {0xFF00u, 8, 8}, {0xFFu, 8, 0}}};
}

// The colour channels combined one by one: op(channel) gives the channel's bits, which are
// masked back into place. The 32-bit opacity byte is not a channel and comes out 0.
template <PagePixel P, class Op> inline P per_channel(const std::array<Channel, 3>& chans, Op op) {
    std::uint32_t out = 0;
    for (const Channel& c : chans) out |= static_cast<std::uint32_t>(op(c)) & c.mask;
    return static_cast<P>(out);
}

// The per-channel sum of the colour channels, each held at its maximum.
template <PagePixel P> inline P add_clamped(P a, P b) {
    return per_channel<P>(channels<P>(), [a, b](const Channel& c) {
        const std::uint64_t sum = std::uint64_t{a & c.mask} + (b & c.mask);
        return sum < c.mask ? sum : c.mask;
    });
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
