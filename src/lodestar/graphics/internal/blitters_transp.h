// The bodies of the transparent span blitters, one per operation over the pixel type.
#pragma once

#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include <cstdint>

namespace tarnblit {

// The pixels a transparent span handles: the 16-bit blitters take only the low 16 bits.
template <PagePixel P> constexpr std::int32_t transparent_count(std::int32_t count) {
    if constexpr (sizeof(P) == 2)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) & 0xFFFFu);
    else
        return count;
}

// dst = op(a, b) where b is opaque; elsewhere dst keeps its pixel. Ascending, each pixel read
// before it is written, so dst may be a.
template <PagePixel P, class Op>
inline void transparent_span(P* dst, const P* a, const P* b, std::int32_t count, Op op) {
    const std::int32_t n = transparent_count<P>(count);
    for (std::int32_t i = 0; i < n; ++i)
        if (is_opaque(b[i])) dst[i] = op(a[i], b[i]);
}

// A wide word at a time: one wholly transparent is skipped, one wholly opaque stored, one in
// between merged with what dst holds. Only a dst starting within a wide word after src (where
// going up pixel by pixel reads pixels already written) goes pixel by pixel all along.
template <PagePixel P> inline void blit_transp(P* dst, const P* src, std::int32_t count) {
    constexpr std::int32_t lanes = k_lanes<P>;
    const std::int32_t n = transparent_count<P>(count);
    std::int32_t i = 0;
    if (!reads_own_writes(dst, src, lanes))
        for (; i + lanes <= n; i += lanes) {
            const Wide<P> s = load_wide(src + i);
            const Wide<P> opaque = opaque_lanes<P>(s);
            if (none_set<P>(opaque)) continue;
            store_wide(dst + i,
                       all_set<P>(opaque) ? s : (s & opaque) | (load_wide(dst + i) & ~opaque));
        }
    for (; i < n; ++i)
        if (is_opaque(src[i])) dst[i] = src[i];
}

// dst[i] = src[-i] where that is opaque: the source walked backwards from src, a mirrored row.
template <PagePixel P> inline void blit_transp_reversed(P* dst, const P* src, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i)
        if (is_opaque(src[-i])) dst[i] = src[-i];
}

template <PagePixel P> inline void blit_transp_mix(P* dst, const P* a, const P* b, std::int32_t n) {
    transparent_span(dst, a, b, n, [](P x, P y) { return average<P>(x, y); });
}

template <PagePixel P> inline void blit_transp_add(P* dst, const P* a, const P* b, std::int32_t n) {
    transparent_span(dst, a, b, n, [](P x, P y) { return add_clamped<P>(x, y); });
}

template <PagePixel P> inline void blit_transp_mul(P* dst, const P* a, const P* b, std::int32_t n) {
    transparent_span(dst, a, b, n, [](P x, P y) { return multiply<P>(x, y); });
}

// The quarter mixes test the stripped b: a 32-bit b counts only with an opacity byte of 4 or
// more. three_of_b picks (a + 3b) / 4 instead of (3a + b) / 4.
template <PagePixel P>
inline void blit_transp_quarter(P* dst, const P* a, const P* b, std::int32_t count,
                                bool three_of_b) {
    const std::uint32_t q = quarter_mask<P>();
    const std::int32_t n = transparent_count<P>(count);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint32_t qa = a[i] & q, qb = b[i] & q;
        if (!is_opaque(static_cast<P>(qb))) continue;
        dst[i] = three_of_b ? quarter_mix<P>(qb, qa) : quarter_mix<P>(qa, qb);
    }
}

} // namespace tarnblit
