// The bodies of the blending span blitters, one per operation over the pixel type.
#pragma once

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace tarnblit {

// The low 8 bits of a level, and its distance from the top.
constexpr std::uint32_t level8(std::uint32_t level) {
    return level & 0xFFu;
}
constexpr std::uint32_t level_rest(std::uint32_t level) {
    return 255 - level8(level);
}

// dst[i] = op(a[i], b[i]) in ascending order.
template <PagePixel P, class Op>
inline void span(P* dst, const P* a, const P* b, std::int32_t count, Op op) {
    for (std::int32_t i = 0; i < count; ++i) dst[i] = op(a[i], b[i]);
}

template <PagePixel P, class Op> inline void span(P* dst, const P* src, std::int32_t count, Op op) {
    for (std::int32_t i = 0; i < count; ++i) dst[i] = op(src[i]);
}

// As span, a wide word at a time through wide_op where that gives the same as going up pixel by
// pixel: unless dst starts within a wide word after a or b.
template <PagePixel P, class WideOp, class Op>
inline void wide_span(P* dst, const P* a, const P* b, std::int32_t count, WideOp wide_op, Op op) {
    constexpr std::int32_t lanes = k_lanes<P>;
    std::int32_t i = 0;
    if (!reads_own_writes(dst, a, lanes) && !reads_own_writes(dst, b, lanes))
        for (; i + lanes <= count; i += lanes)
            store_wide(dst + i, wide_op(load_wide(a + i), load_wide(b + i)));
    span(dst + i, a + i, b + i, count - i, op);
}

template <PagePixel P> inline void blit_mix(P* dst, const P* a, const P* b, std::int32_t count) {
    const Wide<P> half = splat<P>(half_mask<P>());
    wide_span(
        dst, a, b, count, [half](Wide<P> x, Wide<P> y) { return halved_sum(x, y, half); },
        [](P x, P y) { return average<P>(x, y); });
}

template <PagePixel P> inline void blit_qmix(P* dst, const P* a, const P* b, std::int32_t count) {
    const std::uint32_t q = quarter_mask<P>();
    span(dst, a, b, count, [q](P x, P y) { return quarter_mix<P>(x & q, y & q); });
}

template <PagePixel P> inline void blit_add(P* dst, const P* a, const P* b, std::int32_t count) {
    span(dst, a, b, count, [](P x, P y) { return add_clamped<P>(x, y); });
}

template <PagePixel P> inline void blit_mul(P* dst, const P* a, const P* b, std::int32_t count) {
    span(dst, a, b, count, [](P x, P y) { return multiply<P>(x, y); });
}

// Halved, every channel (the 32-bit opacity byte too) with its low bit dropped.
template <PagePixel P> inline void blit_darken(P* dst, const P* src, std::int32_t count) {
    const std::uint32_t half = half_mask<P>();
    span(dst, src, count, [half](P s) { return static_cast<P>((s & half) >> 1); });
}

// Averaged with the half mask, the brightest value an average can reach.
template <PagePixel P> inline void blit_brighten(P* dst, const P* src, std::int32_t count) {
    const P half = static_cast<P>(half_mask<P>());
    span(dst, src, count, [half](P s) { return average<P>(s, half); });
}

// A filter sees the source pixel m, its left and right neighbours l and r, and the pixels u
// above and d below.
template <PagePixel P, class Kernel>
inline void filter_span(P* dst, const P* src, std::int32_t up, std::int32_t down,
                        std::int32_t count, const Kernel& kernel) {
    for (std::int32_t i = 0; i < count; ++i) {
        const P* m = src + i;
        dst[i] = kernel(m[-1], m[0], m[1], m[up], m[down]);
    }
}

// The average of the four neighbours, each stripped by the quarter mask. The sum wraps at 32
// bits and is shifted as a signed word: at 32 bits the opacity byte's carry is lost and its top
// bit spreads (four 0xC0 give 0x00, four 0x20 give 0xE0). A 16-bit sum is never negative.
template <PagePixel P> struct Blur {
    std::uint32_t q = quarter_mask<P>();
    P operator()(P l, P, P r, P u, P d) const {
        const std::uint32_t sum = (l & q) + (r & q) + (u & q) + (d & q);
        return static_cast<P>(lsr::asr(static_cast<std::int32_t>(sum), 2));
    }
};

// Where brightness jumps both across and down the pixel, but the pixel sides with one of its
// left and right neighbours, it becomes the average of the two: stair steps soften, flat
// areas and lone lines stay as they are.
template <PagePixel P> struct AntiAlias {
    std::array<Channel, 3> chans = channels<P>();
    static constexpr std::int32_t threshold = sizeof(P) == 2 ? 16 : 128;

    std::int32_t brightness(P p) const {
        std::int32_t sum = 0;
        for (const Channel& c : chans) sum += static_cast<std::int32_t>(c.value(p));
        return sum;
    }
    P operator()(P l, P m, P r, P u, P d) const {
        const std::int32_t bl = brightness(l), bm = brightness(m), br = brightness(r);
        const bool across = std::abs(br - bl) > threshold;
        const bool down = std::abs(brightness(d) - brightness(u)) > threshold;
        const bool sides = std::abs(bm - bl) < threshold || std::abs(br - bm) < threshold;
        return across && down && sides ? average<P>(r, l) : m;
    }
};

// Adds k to each colour byte of a 32-bit pixel, held at 255: red and blue ride in one word and
// green in another, and each lane's carry is spread into a full lane instead of compared.
constexpr std::uint32_t add_saturated_lanes(std::uint32_t p, std::uint32_t k) {
    std::uint32_t rb = (p & 0x00FF00FFu) + (k | k << 16);
    std::uint32_t g = (p & 0x0000FF00u) + (k << 8);
    const std::uint32_t rb_carry = rb & 0x01000100u, g_carry = g & 0x00010000u;
    rb |= rb_carry - (rb_carry >> 8);
    g |= g_carry - (g_carry >> 8);
    return (rb & 0x00FF00FFu) | (g & 0x0000FF00u);
}

// Toward black. At 32 bits each colour byte loses 255 - level (subtracting by adding to the
// complement), opacity 0xFF; at 16 bits each channel is scaled by level / 256.
template <PagePixel P>
inline void blit_fade(P* dst, const P* src, std::uint32_t level, std::int32_t count) {
    if constexpr (sizeof(P) == 4) {
        const std::uint32_t k = level_rest(level);
        span(dst, src, count, [k](P s) { return ~add_saturated_lanes(~s, k) | 0xFF000000u; });
    } else {
        const std::uint32_t l = level8(level);
        const auto chans = channels<P>();
        span(dst, src, count, [&chans, l](P s) {
            return per_channel<P>(chans,
                                  [s, l](const Channel& c) { return (l * (s & c.mask)) >> 8; });
        });
    }
}

// Toward black by halving 0 to 7 times, level taken in eighths.
template <PagePixel P>
inline void blit_fade_fast(P* dst, const P* src, std::uint32_t level, std::int32_t count) {
    const std::uint32_t by = level_rest(level) >> 5;
    const auto chans = channels<P>();
    span(dst, src, count, [&chans, by](P s) {
        return per_channel<P>(chans, [s, by](const Channel& c) { return (s & c.mask) >> by; });
    });
}

// Toward white: each colour byte gains 255 - level at 32 bits (opacity 0xFF), each 16-bit
// channel (255 - level) / 8, held at the channel's maximum.
template <PagePixel P>
inline void blit_fade_white(P* dst, const P* src, std::uint32_t level, std::int32_t count) {
    const std::uint32_t k = level_rest(level);
    if constexpr (sizeof(P) == 4) {
        span(dst, src, count, [k](P s) { return add_saturated_lanes(s, k) | 0xFF000000u; });
    } else {
        const auto chans = channels<P>();
        const std::uint32_t k5 = k >> 3;
        span(dst, src, count, [&chans, k5](P s) {
            return per_channel<P>(chans, [s, k5](const Channel& c) {
                const std::uint64_t v = std::uint64_t{c.value(s)} + k5;
                return std::min<std::uint64_t>(v, c.top()) << (c.shift & 63);
            });
        });
    }
}

// Per channel (a * (255 - level) + b * level) / 256; the 32-bit opacity byte comes out 0.
template <PagePixel P>
inline void blit_crossfade(P* dst, const P* a, const P* b, std::uint32_t level,
                           std::int32_t count) {
    const std::uint64_t l = level8(level), k = level_rest(level);
    const auto chans = channels<P>();
    span(dst, a, b, count, [&chans, l, k](P x, P y) {
        return per_channel<P>(chans, [x, y, l, k](const Channel& c) {
            return ((x & c.mask) * k + (y & c.mask) * l) >> 8;
        });
    });
}

// One step of the fast cross-fade: (wa * a + wb * b) >> shift, both pixels first stripped of
// the low bits that would carry between bytes.
struct FastStep {
    std::uint32_t wa, wb, shift, mask;
};
inline constexpr std::array<FastStep, 9> k_fast_steps{{{1, 0, 0, 0xFFFFFFFFu},
                                                       {7, 1, 3, 0xF8F8F8F8u},
                                                       {3, 1, 2, 0xFCFCFCFCu},
                                                       {5, 3, 3, 0xF8F8F8F8u},
                                                       {1, 1, 1, 0xFEFEFEFEu},
                                                       {3, 5, 3, 0xF8F8F8F8u},
                                                       {1, 3, 2, 0xFCFCFCFCu},
                                                       {1, 7, 3, 0xF8F8F8F8u},
                                                       {0, 1, 0, 0xFFFFFFFFu}}};

// a to b in eighths of the level; 255 alone reaches b exactly. The weighted sum wraps at 32
// bits, so the opacity byte loses its carry as in the other whole-word mixes.
inline void blit_crossfade_fast(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                                std::uint32_t level, std::int32_t count) {
    const std::uint32_t l = level8(level);
    const FastStep s = k_fast_steps[l == 255 ? 8 : l >> 5];
    span(dst, a, b, count, [s](std::uint32_t x, std::uint32_t y) {
        return (s.wa * (x & s.mask) + s.wb * (y & s.mask)) >> s.shift;
    });
}

// The blue channel of a mask pixel as an 8-bit value.
template <PagePixel P> inline std::uint32_t blue8(P p, const Channel& blue) {
    const std::uint32_t v = blue.value(p);
    if (blue.bits <= 8) return v << (8 - blue.bits);
    return blue.bits - 8 < 32 ? v >> (blue.bits - 8) : 0;
}

// a where the mask's blue value is at most level; elsewhere dst keeps its pixel.
template <PagePixel P>
inline void blit_alphawipe(P* dst, const P* a, const P* mask, std::uint32_t level,
                           std::int32_t count) {
    const std::uint32_t l = level8(level);
    const Channel blue = channels<P>()[2];
    for (std::int32_t i = 0; i < count; ++i)
        if (blue8(mask[i], blue) <= l) dst[i] = a[i];
}

} // namespace tarnblit
