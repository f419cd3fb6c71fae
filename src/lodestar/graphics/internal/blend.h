// Blend arithmetic on one pixel of the page format: halves and quarters without carries between
// channels, the format's channels, and per-channel sums and products. The transparent and the
// blending spans share it.
#pragma once

#include <array>
#include <cstdint>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/internal/blitters_std.h"

namespace tarnblit {

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

// The per-channel average with each channel's low bit dropped, in one 32-bit addition (or one
// per lane of a wide word). Two
// 32-bit opacity bytes of 0x80 or more carry out of the word and that carry is lost: the byte
// comes back halved (0xFF and 0xFF give 0x7E), which every opacity test still reads as opaque.
template <class V> inline V halved_sum(V a, V b, V half) {
    return ((a & half) + (b & half)) >> 1;
}
template <PagePixel P> inline P average(P a, P b) {
    return static_cast<P>(halved_sum<std::uint32_t>(a, b, half_mask<P>()));
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

// Red, green and blue, in that order; known at compile time at 32 bits.
template <PagePixel P> constexpr std::array<Channel, 3> channels() {
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

// Each channel with its two lowest bits removed, so that four quarters add without carries
// between channels.
template <PagePixel P> inline std::uint32_t quarter_mask() {
    if constexpr (sizeof(P) == 2) {
        const auto strip = [](std::uint32_t mask, std::uint32_t shift) {
            return shift < 32 ? mask & (mask - (3u << shift)) : 0u;
        };
        return strip(tarnblit_redmask, tarnblit_redshift) |
               strip(tarnblit_greenmask, tarnblit_greenshift) |
               strip(tarnblit_bluemask, tarnblit_blueshift);
    } else {
        return 0xFCFCFCFCu;
    }
}

// (3a + b) / 4 per channel on pixels already stripped by the quarter mask, wrapping at 32 bits:
// the 32-bit opacity byte loses what carries past bit 31 (two 0xFF bytes give 0x3C).
template <PagePixel P> inline P quarter_mix(std::uint32_t a, std::uint32_t b) {
    return static_cast<P>((3 * a + b) >> 2);
}

// Per channel a * b / 2^bits, rounded down. The 32-bit opacity byte is not a channel and
// comes out 0.
template <PagePixel P> inline P multiply(P a, P b) {
    return per_channel<P>(channels<P>(), [a, b](const Channel& c) {
        const std::uint64_t product = std::uint64_t{a & c.mask} * (b & c.mask);
        const std::uint32_t by = c.bits + c.shift;
        return by < 64 ? product >> by : 0;
    });
}

} // namespace tarnblit
