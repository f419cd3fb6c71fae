// Transparent span blitters (plain, mix, quarter mixes, add, multiply) for sprite drawing.
#pragma once

#include <cstdint>

#include "lodestar/graphics/blitters_std.h"

// Each writes dst only where the sprite pixel (src, or b) is opaque; a may equal dst. The 16-bit
// variants use only the low 16 bits of count.
void TarnBlit_BlitTransp16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitTransp32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
void TarnBlit_BlitTranspMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspQMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                               std::int32_t count);
void TarnBlit_BlitTranspQMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                               std::int32_t count);
void TarnBlit_BlitTranspQ3Mix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                                std::int32_t count);
void TarnBlit_BlitTranspQ3Mix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                                std::int32_t count);
void TarnBlit_BlitTranspAdd16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspAdd32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMul16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMul32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);

namespace tarnblit {

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

template <PagePixel P> inline void blit_transp(P* dst, const P* src, std::int32_t count) {
    transparent_span(dst, src, src, count, [](P, P s) { return s; });
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
