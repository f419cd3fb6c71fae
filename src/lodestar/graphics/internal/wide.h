// Wide words: 16 bytes of pixels loaded, combined and stored as one value, and the overlap rule
// that says when a span may be done a wide word at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "lodestar/base/internal/page_depth.h"

namespace tarnblit {

using lsr::PagePixel;

// A vector of pixels: one register where the machine has them (SSE2 on every x86-64), split
// into plain words by the compiler elsewhere. Arithmetic on it is lane by lane and wraps.
template <PagePixel P> struct WideOf {
    using type [[gnu::vector_size(16)]] = std::remove_const_t<P>;
};
template <PagePixel P> using Wide = typename WideOf<P>::type;

// Pixels in a wide word: 4 at 32 bits, 8 at 16.
template <PagePixel P> inline constexpr std::int32_t k_lanes = 16 / sizeof(P);

// Loads and stores of any alignment.
template <PagePixel P> inline Wide<P> load_wide(const P* p) {
    Wide<P> w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
template <PagePixel P> inline void store_wide(P* p, const Wide<P>& w) {
    std::memcpy(p, &w, sizeof w);
}

// Every lane the same value.
template <PagePixel P> inline Wide<P> splat(std::uint32_t value) {
    return Wide<P>{} + static_cast<std::remove_const_t<P>>(value);
}

// All ones in the lanes whose pixel is opaque (top byte non-zero at 32 bits, non-zero at 16),
// zero in the others.
template <PagePixel P> inline Wide<P> opaque_lanes(const Wide<P>& w) {
    if constexpr (sizeof(P) == 2)
        return std::bit_cast<Wide<P>>(w != 0);
    else
        return std::bit_cast<Wide<P>>((w >> 24) != 0);
}

// Whether no lane, or every lane, has a bit set.
template <PagePixel P> inline bool none_set(const Wide<P>& w) {
    std::uint64_t half[2];
    std::memcpy(half, &w, sizeof half);
    return (half[0] | half[1]) == 0;
}
template <PagePixel P> inline bool all_set(const Wide<P>& w) {
    std::uint64_t half[2];
    std::memcpy(half, &w, sizeof half);
    return (half[0] & half[1]) == ~std::uint64_t{0};
}

// True when dst starts less than reach pixels after src. A span that goes up pixel by pixel
// then reads pixels it has already written, and nothing that reads ahead of its writes (a wide
// word, a block copy) may stand in for it. A dst at or before src, or reach or more pixels
// after it, sees only pixels it has not written yet, or pixels of earlier wide words.
template <PagePixel P>
inline bool reads_own_writes(const P* dst, const P* src, std::int64_t reach) {
    const auto d = reinterpret_cast<std::uintptr_t>(dst);
    const auto s = reinterpret_cast<std::uintptr_t>(src);
    return reach > 0 && d > s && (d - s) / sizeof(P) < static_cast<std::uint64_t>(reach);
}

} // namespace tarnblit
