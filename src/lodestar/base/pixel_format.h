// The page's pixel format: the video state record with its 16-bit flag, and the 16-bit channel
// layout with the colour conversions over it.
#pragma once

#include <cstdint>

// Bits of LSR_InitVideo's flags; 16BIT and DIRECT stay set in LSR_video.flags.
inline constexpr std::uint32_t LSR_VIDEO_FULLSCREEN = 0x0001;
inline constexpr std::uint32_t LSR_VIDEO_16BIT = 0x0010;
inline constexpr std::uint32_t LSR_VIDEO_DIRECT = 0x0100;
inline constexpr std::uint32_t LSR_VIDEO_SCALE = 0x3000;  // a scale mode, 1 to 3, in these bits
inline constexpr std::uint32_t LSR_VIDEO_SCALE1 = 0x1000; // the field's lowest bit: mode 1
inline constexpr std::uint32_t LSR_VIDEO_SCALE4 = 0x4000;

// The one video state record. LSR_InitVideo fills it; every graphics operation reads its depth
// from the flags, so it lives below both.
struct LSR_VideoInfo {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t pitch;
    std::uint32_t bpp;
    std::uint32_t bytesperpixel;
    std::uint32_t redmask, greenmask, bluemask;
    std::uint32_t redshift, greenshift, blueshift;
    std::uint32_t redbits, greenbits, bluebits;
    std::uint32_t flags;
    std::uint32_t scalemode;
};

extern LSR_VideoInfo LSR_video;

// True when every graphics operation works on 16-bit pixels.
inline bool LSR_Is16Bit() {
    return (LSR_video.flags & LSR_VIDEO_16BIT) != 0;
}

// The 16-bit pixel format, set by TarnBlit_Initialise.
extern std::uint32_t tarnblit_redbits, tarnblit_greenbits, tarnblit_bluebits;
extern std::uint32_t tarnblit_redshift, tarnblit_greenshift, tarnblit_blueshift;
extern std::uint32_t tarnblit_redmask, tarnblit_greenmask, tarnblit_bluemask;

void TarnBlit_Initialise(std::uint32_t redbits, std::uint32_t greenbits, std::uint32_t bluebits,
                         std::uint32_t redshift, std::uint32_t greenshift, std::uint32_t blueshift);

namespace lsr {

// Shifts by 32 or more (a format with more than 8 bits a channel, or a bad shift) give 0
// instead of undefined behaviour.
constexpr std::uint32_t shl(std::uint32_t value, std::uint32_t by) {
    return by < 32 ? value << by : 0;
}
constexpr std::uint32_t shr(std::uint32_t value, std::uint32_t by) {
    return by < 32 ? value >> by : 0;
}

} // namespace lsr

// The conversions are inline: spans and readers convert a pixel at a time, and a call for each
// would cost more than the conversion.

// The low bits of each 8-bit channel are dropped, not rounded; the opacity byte is ignored.
inline std::uint16_t TarnBlit_color24to16(std::uint32_t colour) {
    using lsr::shl, lsr::shr;
    const std::uint32_t red = shr(colour & 0xFF0000u, 24 - tarnblit_redbits);
    const std::uint32_t green = shr(colour & 0xFF00u, 16 - tarnblit_greenbits);
    const std::uint32_t blue = shr(colour & 0xFFu, 8 - tarnblit_bluebits);
    return static_cast<std::uint16_t>(shl(red, tarnblit_redshift) |
                                      shl(green, tarnblit_greenshift) |
                                      shl(blue, tarnblit_blueshift));
}

// No bit replication: the low bits of each widened channel come out zero.
inline std::uint32_t TarnBlit_color16to24(std::uint16_t pixel) {
    using lsr::shl, lsr::shr;
    const std::uint32_t red = shr(pixel & tarnblit_redmask, tarnblit_redshift);
    const std::uint32_t green = shr(pixel & tarnblit_greenmask, tarnblit_greenshift);
    const std::uint32_t blue = shr(pixel & tarnblit_bluemask, tarnblit_blueshift);
    return 0xFF000000u | shl(red, 24 - tarnblit_redbits) | shl(green, 16 - tarnblit_greenbits) |
           shl(blue, 8 - tarnblit_bluebits);
}
