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

constexpr std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The low 32 bits of a value as a signed word, as 32-bit wrapping arithmetic would leave them.
constexpr std::int32_t wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace lsr
