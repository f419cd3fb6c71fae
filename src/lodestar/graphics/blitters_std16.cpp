// The 16-bit span blitters: 5-5-5 pixels, converted from colour words on the way in.
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/internal/blitters_std.h"

void TarnBlit_BlitPixel16(std::uint16_t* dst, std::uint32_t colour) {
    tarnblit::put(dst, colour);
}

std::uint32_t TarnBlit_GetPixel16(const std::uint16_t* src) {
    return tarnblit::get(src);
}

void TarnBlit_BlitFill16(std::uint16_t* dst, std::int32_t count, std::uint32_t colour) {
    tarnblit::fill(dst, count, colour);
}

void TarnBlit_BlitCopy16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count) {
    tarnblit::copy(dst, src, count);
}
