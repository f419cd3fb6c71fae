// The video state record and the 16-bit pixel format.
#include "lodestar/base/pixel_format.h"

LSR_VideoInfo LSR_video{};

std::uint32_t tarnblit_redbits = 0, tarnblit_greenbits = 0, tarnblit_bluebits = 0;
std::uint32_t tarnblit_redshift = 0, tarnblit_greenshift = 0, tarnblit_blueshift = 0;
std::uint32_t tarnblit_redmask = 0, tarnblit_greenmask = 0, tarnblit_bluemask = 0;

namespace {

constexpr std::uint32_t channel_mask(std::uint32_t bits, std::uint32_t shift) {
    return lsr::shl(lsr::shl(1, bits) - 1, shift);
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
