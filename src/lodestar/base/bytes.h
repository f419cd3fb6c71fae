// Little-endian integers in bytes: the 16-bit and 32-bit fields of the file formats the library
// and its tools read and write (images, WAV, archives).
#pragma once

#include <cstddef>
#include <cstdint>

namespace lsr {

// The n-byte little-endian value at p (n from 1 to 4).
template <std::size_t n> constexpr std::uint32_t get_le(const std::uint8_t* p) {
    static_assert(n >= 1 && n <= 4);
    std::uint32_t value = 0;
    for (std::size_t i = n; i-- > 0;) value = value << 8 | p[i];
    return value;
}

// The low n bytes of value at p, lowest first.
template <std::size_t n> constexpr void put_le(std::uint8_t* p, std::uint32_t value) {
    static_assert(n >= 1 && n <= 4);
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The same bytes appended to a growing byte container (anything with push_back).
template <std::size_t n, class Bytes> void push_le(Bytes& out, std::uint32_t value) {
    std::uint8_t bytes[n];
    put_le<n>(bytes, value);
    for (const std::uint8_t b : bytes) out.push_back(b);
}

constexpr std::uint32_t get_le16(const std::uint8_t* p) {
    return get_le<2>(p);
}
constexpr std::uint32_t get_le32(const std::uint8_t* p) {
    return get_le<4>(p);
}
constexpr void put_le16(std::uint8_t* p, std::uint32_t value) {
    put_le<2>(p, value);
}
constexpr void put_le32(std::uint8_t* p, std::uint32_t value) {
    put_le<4>(p, value);
}
template <class Bytes> void push_le32(Bytes& out, std::uint32_t value) {
    push_le<4>(out, value);
}

} // namespace lsr
