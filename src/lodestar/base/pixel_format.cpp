// The video state record, the 16-bit pixel format and the colour conversions over it.
#include "lodestar/base/pixel_format.h"

LSR_VideoInfo LSR_video{};

std::uint32_t tarnblit_redbits = 0, tarnblit_greenbits = 0, tarnblit_bluebits = 0;
std::uint32_t tarnblit_redshift = 0, tarnblit_greenshift = 0, tarnblit_blueshift = 0;
std::uint32_t tarnblit_redmask = 0, tarnblit_greenmask = 0, tarnblit_bluemask = 0;

namespace {

// Shifts by 32 or more (a format with more than 8 bits a channel, or a bad shift) give 0
// instead of undefined behaviour.
constexpr std::uint32_t shl(std::uint32_t value, std::uint32_t by) {
    return by < 32 ? value << by : 0;
}
constexpr std::uint32_t shr(std::uint32_t value, std::uint32_t by) {
    return by < 32 ? value >> by : 0;
}

constexpr std::uint32_t channel_mask(std::uint32_t bits, std::uint32_t shift) {
    return shl(shl(1, bits) - 1, shift);
}

} // namespace

void TarnBlit_Initialise(std::uint32_t redbits, std::uint32_t greenbits, std::uint32_t bluebits,
                         std::uint32_t redshift, std::uint32_t greenshift,
                         std::uint32_t blueshift) {
    tarnblit_redbits = redbits;
    tarnblit_greenbits = greenbits;
    tarnblit_bluebits = bluebits;
    tarnblit_redshift = redshift;
    tarnblit_greenshift = greenshift;
    tarnblit_blueshift = blueshift;
    tarnblit_redmask = channel_mask(redbits, redshift);
    tarnblit_greenmask = channel_mask(greenbits, greenshift);
    tarnblit_bluemask = channel_mask(bluebits, blueshift);
}

// The low bits of each 8-bit channel are dropped, not rounded; the opacity byte is ignored.
std::uint16_t TarnBlit_color24to16(std::uint32_t colour) {
    const std::uint32_t red = shr(colour & 0xFF0000u, 24 - tarnblit_redbits);
    const std::uint32_t green = shr(colour & 0xFF00u, 16 - tarnblit_greenbits);
    const std::uint32_t blue = shr(colour & 0xFFu, 8 - tarnblit_bluebits);
    return static_cast<std::uint16_t>(shl(red, tarnblit_redshift) |
                                      shl(green, tarnblit_greenshift) |
                                      shl(blue, tarnblit_blueshift));
}

// No bit replication: the low bits of each widened channel come out zero.
std::uint32_t TarnBlit_color16to24(std::uint16_t pixel) {
    const std::uint32_t red = shr(pixel & tarnblit_redmask, tarnblit_redshift);
    const std::uint32_t green = shr(pixel & tarnblit_greenmask, tarnblit_greenshift);
    const std::uint32_t blue = shr(pixel & tarnblit_bluemask, tarnblit_blueshift);
    return 0xFF000000u | shl(red, 24 - tarnblit_redbits) | shl(green, 16 - tarnblit_greenbits) |
           shl(blue, 8 - tarnblit_bluebits);
}
