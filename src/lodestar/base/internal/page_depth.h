// Work at the page depth: the pixel types of a 16-bit and a 32-bit page, and the one place that
// picks between them.
#pragma once

#include <cstdint>
#include <type_traits>

#include "lodestar/base/pixel_format.h"

namespace lsr {

// A 16-bit or 32-bit pixel, or (for reading) a const one.
template <class P>
concept PagePixel = std::is_same_v<std::remove_const_t<P>, std::uint16_t> ||
    std::is_same_v<std::remove_const_t<P>, std::uint32_t>;

// Calls body with a pixel of the page's type, std::uint16_t{} on a 16-bit page and
// std::uint32_t{} otherwise, chosen at each call from the video flags; the body names the type
// as decltype(pixel). Returns what the body returns.
template <class Body> decltype(auto) at_page_depth(Body&& body) {
    if (LSR_Is16Bit()) return body(std::uint16_t{});
    return body(std::uint32_t{});
}

// The bytes of one page pixel: 2 or 4.
inline std::int32_t page_pixel_bytes() {
    return at_page_depth([](auto pixel) { return static_cast<std::int32_t>(sizeof pixel); });
}

} // namespace lsr
