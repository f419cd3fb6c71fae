// Wide words: 16 bytes of pixels loaded, combined and stored as one value, and the overlap rule
// that says when a span may be done a wide word at a time.
#pragma once

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

// True when dst starts less than reach pixels after src. A span that goes up pixel by pixel
// then reads pixels it has already written, and nothing that reads ahead of its writes (a wide
// word, a block copy) may stand in for it. A dst at or before src, or reach or more pixels
// after it, sees only pixels it has not written yet, or pixels of earlier wide words.
template <PagePixel P> inline bool reads_own_writes(const P* dst, const P* src, std::int64_t reach) {
    const auto d = reinterpret_cast<std::uintptr_t>(dst);
    const auto s = reinterpret_cast<std::uintptr_t>(src);
    return reach > 0 && d > s && (d - s) / sizeof(P) < static_cast<std::uint64_t>(reach);
}

} // namespace tarnblit
