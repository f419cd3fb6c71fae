// A presented page as a picture: its colours row by row, a checksum of them, and a PNG file.
#pragma once

#include <cstdint>
#include <vector>

#include "headless.h"

namespace shot {

// The shown colours, three bytes (red, green, blue) a pixel, rows top first; what the window
// would show, whatever the page depth. Empty for a depth the page cannot have.
std::vector<std::uint8_t> rgb_rows(const headless::Present& present);

// A CRC-32 of the size and the shown colours: the same picture always gives the same number.
std::uint32_t checksum(const headless::Present& present);

// A PNG file of width by height pixels from rgb_rows' bytes: 8-bit truecolour, no filtering.
std::vector<std::uint8_t> encode_png(std::uint32_t width, std::uint32_t height,
                                     const std::vector<std::uint8_t>& rgb);

} // namespace shot
