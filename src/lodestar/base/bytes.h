// Little-endian integers in bytes: the 16-bit and 32-bit fields of the file formats the library
// and its tools read and write (images, WAV, archives).
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace lsr {

// The n-byte little-endian value at p (n from 1 to 4). Written out as one expression rather than
// a loop, so the compiler reads it as a single load where the machine is little-endian (the image
// readers take every pixel through it).
template <std::size_t n> constexpr std::uint32_t get_le(const std::uint8_t* p) {
    static_assert(n >= 1 && n <= 4);
    return [p]<std::size_t... i>(std::index_sequence<i...>) {
        return ((std::uint32_t{p[i]} << (8 * i)) | ...);
    }
    (std::make_index_sequence<n>{});
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
