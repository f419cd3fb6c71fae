// The bodies of the span blitters that walk a source in fixed point, over the pixel type.
#pragma once

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include <algorithm>
#include <array>
#include <cstdint>

namespace tarnblit {

// dst[i] = src[x >> 16], x stepping by xstep; transparent skips source pixels that are not
// opaque. Positions are 64-bit so that a long span cannot overflow them.
template <PagePixel P, bool transparent = false>
inline void stretch(P* dst, const P* src, std::int32_t count, std::int64_t x, std::int64_t xstep) {
    for (std::int32_t i = 0; i < count; ++i, x += xstep) {
        const P p = src[lsr::asr(x, 16)];
        if (!transparent || is_opaque(p)) dst[i] = p;
    }
}

// Each channel the weighted sum of four neighbours with 8-bit fractions, weights adding to
// 65536, rounded down; the 32-bit opacity byte comes out 0. The lower neighbours are rowstep
// pixels on. The right neighbours of the last of width pixels are the pixels themselves, so
// nothing past the row's end is read.
template <PagePixel P>
inline void bilinear_stretch(P* dst, const P* src, std::int32_t count, std::int64_t rowstep,
                             std::int64_t x, std::int64_t y, std::int64_t xstep,
                             std::int64_t width) {
    const std::array<Channel, 3> chans = channels<P>();
    const std::uint64_t fy = (static_cast<std::uint64_t>(y) & 0xFF00u) >> 8;
    for (std::int32_t i = 0; i < count; ++i, x += xstep) {
        const std::uint64_t fx = (static_cast<std::uint64_t>(x) & 0xFF00u) >> 8;
        const std::int64_t ix = lsr::asr(x, 16);
        const std::int64_t right = ix + 1 < width ? 1 : 0;
        const std::uint32_t p00 = src[ix], p01 = src[ix + right];
        const std::uint32_t p10 = src[ix + rowstep], p11 = src[ix + rowstep + right];
        const std::uint64_t w00 = (256 - fx) * (256 - fy), w01 = fx * (256 - fy), w11 = fx * fy;
        const std::uint64_t w10 = 65536 - w00 - w01 - w11;
        dst[i] = per_channel<P>(chans, [&](const Channel& c) {
            const std::uint32_t m = c.mask;
            return ((p00 & m) * w00 + (p01 & m) * w01 + (p10 & m) * w10 + (p11 & m) * w11) >> 16;
        });
    }
}

// Grey pixels of level (shade >> 16) & 0xFF; the 32-bit ones have opacity byte 0.
template <PagePixel P>
inline void fill_shade(P* dst, std::int32_t count, std::uint32_t shade, std::uint32_t step) {
    for (std::int32_t i = 0; i < count; ++i, shade += step) {
        const std::uint32_t grey =
            (shade & 0xFF0000u) | ((shade >> 8) & 0xFF00u) | ((shade >> 16) & 0xFFu);
        dst[i] = from_colour<P>(grey);
    }
}

// The texel index of 8.8 coordinates on the 256 by 256 grid; the column's carry reaches the row
// before both wrap.
constexpr std::uint32_t texel_index(std::uint32_t u, std::uint32_t v) {
    return ((v & 0xFFFFFF00u) +
            static_cast<std::uint32_t>(lsr::asr(static_cast<std::int32_t>(u), 8))) &
           0xFFFFu;
}

// A texture of at least 65536 texels, read at the grid index.
template <PagePixel P> struct GridTexture {
    const P* data;
    P operator()(std::uint32_t u, std::uint32_t v) const { return data[texel_index(u, v)]; }
};

// A smaller texture: the grid position is folded into its own width and height, so the
// picture repeats instead of being read past its end.
template <PagePixel P> struct TiledTexture {
    const P* data;
    std::uint32_t width, height;
    P operator()(std::uint32_t u, std::uint32_t v) const {
        const std::uint32_t index = texel_index(u, v);
        return data[((index >> 8) % height) * width + (index & 0xFFu) % width];
    }
};

// Coordinates step in unsigned words, so that they wrap at 32 bits instead of overflowing.
template <PagePixel P, class Texture>
inline void fill_texture(P* dst, const Texture& texture, std::int32_t count, std::uint32_t u,
                         std::uint32_t v, std::uint32_t du, std::uint32_t dv) {
    for (std::int32_t i = 0; i < count; ++i, u += du, v += dv) dst[i] = texture(u, v);
}

// Each colour channel of the texel scaled by (level + 1) / 256, level = s >> 8 held to 0..255:
// 255 keeps the texel, 0 makes it black. The 32-bit opacity byte is kept.
template <PagePixel P>
inline void fill_shade_texture(P* dst, const P* texture, std::int32_t count, std::uint32_t u,
                               std::uint32_t v, std::uint32_t s, std::uint32_t du, std::uint32_t dv,
                               std::uint32_t ds) {
    const std::array<Channel, 3> chans = channels<P>();
    for (std::int32_t i = 0; i < count; ++i, u += du, v += dv, s += ds) {
        const std::uint32_t texel = texture[texel_index(u, v)];
        const std::int64_t level =
            std::clamp<std::int64_t>(lsr::asr(static_cast<std::int32_t>(s), 8), 0, 255);
        const P shaded = per_channel<P>(chans, [&](const Channel& c) {
            return (std::uint64_t{texel & c.mask} * static_cast<std::uint64_t>(level + 1)) >> 8;
        });
        dst[i] = static_cast<P>((sizeof(P) == 4 ? texel & 0xFF000000u : 0u) | shaded);
    }
}

// (t1 + t2) >> 1 of the whole words, unmasked, so a channel's low bit falls into the next one
// down. The sum wraps at 32 bits and is halved as a signed word: at 32 bits the opacity byte
// loses its carry and its top bit spreads. A 16-bit sum is never negative.
template <PagePixel P>
inline void fill_dual_texture(P* dst, const P* texture1, const P* texture2, std::int32_t count,
                              std::uint32_t ua, std::uint32_t va, std::uint32_t ub,
                              std::uint32_t vb, std::uint32_t dua, std::uint32_t dva,
                              std::uint32_t dub, std::uint32_t dvb) {
    for (std::int32_t i = 0; i < count; ++i, ua += dua, va += dva, ub += dub, vb += dvb) {
        const std::uint32_t sum =
            std::uint32_t{texture1[texel_index(ua, va)]} + texture2[texel_index(ub, vb)];
        dst[i] = static_cast<P>(lsr::asr(static_cast<std::int32_t>(sum), 1));
    }
}

} // namespace tarnblit
