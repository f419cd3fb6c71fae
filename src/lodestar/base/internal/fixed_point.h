// Fixed-point helpers: a defined arithmetic shift right, saturation and wrapping to 32 bits.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lsr {

// Arithmetic shift right, spelled out for negative values: rounds toward minus infinity.
constexpr std::int64_t asr(std::int64_t value, int by) {
    return value >= 0 ? value >> by : ~(~value >> by);
}

// n / d rounded toward minus infinity, and toward plus infinity; d > 0.
constexpr std::int64_t floor_div(std::int64_t n, std::int64_t d) {
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
constexpr std::int64_t ceil_div(std::int64_t n, std::int64_t d) {
    return -floor_div(-n, d);
}

constexpr std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The low 32 bits of a value as a signed word, as 32-bit wrapping arithmetic would leave them.
constexpr std::int32_t wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Quotient and remainder of a * b / c, for a and c below 2^40 and c > 0, with no product wider
// than 64 bits: b is taken 16 bits at a time from the top, as in long division.
struct QuotRem {
    std::uint64_t quot, rem;
};
constexpr QuotRem mul_div(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    QuotRem out{0, 0};
    for (int shift = 48; shift >= 0; shift -= 16) {
        const std::uint64_t part = (out.rem << 16) + a * ((b >> shift) & 0xFFFFu);
        out.quot = (out.quot << 16) + part / c;
        out.rem = part % c;
    }
    return out;
}

} // namespace lsr
