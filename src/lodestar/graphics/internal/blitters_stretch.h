// The bodies of the span blitters that walk a source in fixed point, over the pixel type.
#pragma once

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// nothing past the row's end is read. Each weighted sum fits 32 bits: a channel of a 16-bit
// pixel is below 65536 in place, a byte of a 32-bit one once brought down.
template <PagePixel P>
inline void bilinear_stretch(P* dst, const P* src, std::int32_t count, std::int64_t rowstep,
                             std::int64_t x, std::int64_t y, std::int64_t xstep,
                             std::int64_t width) {
    const std::uint32_t fy = (static_cast<std::uint64_t>(y) & 0xFF00u) >> 8;
    // The pixels reading the last column, whose right neighbour is itself, lie at one end of the
    // span: found once, they make two runs with a fixed right neighbour each.
    const std::int64_t edge = (width - 1) * 65536;
    std::int64_t split = 0; // pixels before the other run starts
    if (xstep > 0)
        split = x >= edge ? 0 : std::min<std::int64_t>(count, (edge - x + xstep - 1) / xstep);
    else if (xstep < 0)
        split = x < edge ? 0 : std::min<std::int64_t>(count, (x - edge) / -xstep + 1);
    else
        split = x < edge ? count : 0;
    const bool inner_first = xstep >= 0;
    const struct {
        std::int64_t first, last, right;
    } runs[2] = {{0, split, inner_first ? 1 : 0}, {split, count, inner_first ? 0 : 1}};
    const auto mix_runs = [&](const std::array<Channel, 3>& chans) {
        for (const auto& run : runs) {
            std::int64_t at = x + run.first * xstep;
            for (std::int64_t i = run.first; i < run.last; ++i, at += xstep) {
                const std::uint32_t fx = (static_cast<std::uint64_t>(at) & 0xFF00u) >> 8;
                const std::uint32_t w00 = (256 - fx) * (256 - fy), w01 = fx * (256 - fy);
                const std::uint32_t w11 = fx * fy, w10 = 65536 - w00 - w01 - w11;
                const P* p = src + lsr::asr(at, 16);
                const P* q = p + run.right;
                const auto mix = [&](const Channel& c) {
                    const auto v = [&c](P pixel) { return (pixel & c.mask) >> c.shift; };
                    const std::uint32_t sum =
                        v(p[0]) * w00 + v(q[0]) * w01 + v(p[rowstep]) * w10 + v(q[rowstep]) * w11;
                    return (sum >> 16 << c.shift) & c.mask;
                };
                dst[i] = static_cast<P>(mix(chans[0]) | mix(chans[1]) | mix(chans[2]));
            }
        }
    };
    // At 32 bits a channel's byte is brought down first (in place its sum would overflow), by
    // shifts fixed at compile time; a 16-bit pixel's channels are summed in place.
    if constexpr (sizeof(P) == 4) {
        static constexpr std::array<Channel, 3> k_bytes = channels<P>();
        mix_runs(k_bytes);
    } else {
        std::array<Channel, 3> chans = channels<P>();
        for (Channel& c : chans) c.shift = 0;
        mix_runs(chans);
    }
}

#if defined(__SSE2__)

// For each fx, the weights 256 - fx and fx in every pair of 16-bit lanes.
struct alignas(16) FxWeights {
    std::int16_t lanes[8];
};
inline constexpr std::array<FxWeights, 256> k_fx_weights = [] {
    std::array<FxWeights, 256> table{};
    for (int fx = 0; fx < 256; ++fx)
        for (int lane = 0; lane < 8; lane += 2) {
            table[fx].lanes[lane] = static_cast<std::int16_t>(256 - fx);
            table[fx].lanes[lane + 1] = static_cast<std::int16_t>(fx);
        }
    return table;
}();

// One row of a bilinear draw at 32 bits, from the source rows upper and lower (the same row when
// there is none below): what bilinear_stretch gives, worked in two passes over whole runs. Each
// source column's two rows are mixed by fy once, into 16-bit channels below 65536, and kept with
// its right neighbour's; each destination pixel then mixes one such pair by fx in one
// multiply-add. The multiply-add takes its 16-bit inputs as signed: a mix of 32768 or more reads
// 65536 too little, which a second multiply-add of the top bits counts back in.
inline void bilinear_row(std::uint32_t* dst, const std::uint32_t* upper, const std::uint32_t* lower,
                         std::int32_t count, std::int64_t x, std::int64_t fy, std::int64_t xstep,
                         std::int64_t width) {
    constexpr std::int64_t k_run = 256; // source columns mixed at a time
    alignas(16) __m128i pairs[k_run];
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight_up = _mm_set1_epi16(static_cast<short>(256 - fy));
    const __m128i weight_down = _mm_set1_epi16(static_cast<short>(fy));
    const auto mixed = [&](__m128i a, __m128i b) {
        const __m128i up = _mm_unpacklo_epi8(a, zero), down = _mm_unpacklo_epi8(b, zero);
        const __m128i sum =
            _mm_add_epi16(_mm_mullo_epi16(up, weight_up), _mm_mullo_epi16(down, weight_down));
        return _mm_and_si128(sum, _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1)); // no opacity
    };
    std::int64_t i = 0;
    while (i < count) {
        // The columns the next pixels read, as many as fit.
        const std::int64_t first = x >> 16;
        const std::int64_t last_pixel_column = (x + (count - 1 - i) * xstep) >> 16;
        const std::int64_t last = std::min({first + k_run - 1, last_pixel_column, width - 1});
        const auto keep = [&](std::int64_t j, __m128i both) { // columns j and j + 1
            pairs[j - first] = _mm_unpacklo_epi16(both, _mm_srli_si128(both, 8));
        };
        std::int64_t j = first;
        for (; j <= last && j + 1 < width; ++j)
            keep(j, mixed(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(upper + j)),
                          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(lower + j))));
        if (j <= last) // the last column, its own right neighbour
            keep(j, mixed(_mm_set1_epi32(static_cast<int>(upper[j])),
                          _mm_set1_epi32(static_cast<int>(lower[j]))));
        // The pixels that read those columns, four to a store while they last.
        const std::int64_t end =
            std::min<std::int64_t>(count, i + ((last + 1) * 65536 - x + xstep - 1) / xstep);
        const auto pixel = [&] {
            const __m128i w = _mm_load_si128(
                reinterpret_cast<const __m128i*>(k_fx_weights[(x >> 8) & 0xFF].lanes));
            const __m128i p = pairs[(x >> 16) - first];
            x += xstep;
            return _mm_add_epi32(_mm_srai_epi32(_mm_madd_epi16(p, w), 16),
                                 _mm_madd_epi16(_mm_srli_epi16(p, 15), w));
        };
        for (; i + 4 <= end; i += 4) {
            const __m128i a = pixel(), b = pixel(), c = pixel(), d = pixel();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                             _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d)));
        }
        for (; i < end; ++i) {
            const __m128i s = pixel();
            dst[i] = static_cast<std::uint32_t>(
                _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(s, s), zero)));
        }
    }
}

#endif

// A bilinear span whose destination overlaps neither source row, so that it may read every
// source pixel before it writes: the whole-row passes where the machine has them (32 bits, SSE2,
// columns stepping forwards, a pixel reading no more than three columns on from the last),
// bilinear_stretch elsewhere. The same pixels either way.
template <PagePixel P>
inline void bilinear_apart(P* dst, const P* src, std::int32_t count, std::int64_t rowstep,
                           std::int64_t x, std::int64_t y, std::int64_t xstep, std::int64_t width) {
#if defined(__SSE2__)
    if constexpr (sizeof(P) == 4)
        if (x >= 0 && xstep > 0 && xstep <= 3 * 65536) // mixing a column serves a third of a pixel
            return bilinear_row(dst, src, src + rowstep, count, x,
                                (static_cast<std::uint64_t>(y) >> 8) & 0xFF, xstep, width);
#endif
    bilinear_stretch(dst, src, count, rowstep, x, y, xstep, width);
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
// picture repeats instead of being read past its end. The 256 grid columns and rows are folded
// once, counting round, into where they start: no division per texel.
template <PagePixel P> struct TiledTexture {
    const P* data;
    std::array<std::uint32_t, 256> column, row_start;

    TiledTexture(const P* texels, std::uint32_t width, std::uint32_t height) : data(texels) {
        for (std::uint32_t i = 0, c = 0, r = 0; i < 256; ++i) {
            column[i] = c;
            row_start[i] = r * width;
            if (++c == width) c = 0;
            if (++r == height) r = 0;
        }
    }
    P operator()(std::uint32_t u, std::uint32_t v) const {
        const std::uint32_t index = texel_index(u, v);
        return data[row_start[index >> 8] + column[index & 0xFFu]];
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
