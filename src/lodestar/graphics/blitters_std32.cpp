// The 32-bit span blitters: pixels are 0xAARRGGBB words, stored as given.
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/internal/blitters_std.h"

void TarnBlit_BlitPixel32(std::uint32_t* dst, std::uint32_t colour) {
    tarnblit::put(dst, colour);
}

std::uint32_t TarnBlit_GetPixel32(const std::uint32_t* src) {
    return tarnblit::get(src);
}

void TarnBlit_BlitFill32(std::uint32_t* dst, std::int32_t count, std::uint32_t colour) {
    tarnblit::fill(dst, count, colour);
}

void TarnBlit_BlitCopy32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count) {
    tarnblit::copy(dst, src, count);
}
