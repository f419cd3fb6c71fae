// Span blitters: per-run pixel loops over raw pointers. They never clip; callers do.
#pragma once

#include <cstdint>

// The 16-bit pixel format, set by TarnBlit_Initialise.
extern std::uint32_t tarnblit_redbits, tarnblit_greenbits, tarnblit_bluebits;
extern std::uint32_t tarnblit_redshift, tarnblit_greenshift, tarnblit_blueshift;
extern std::uint32_t tarnblit_redmask, tarnblit_greenmask, tarnblit_bluemask;

void TarnBlit_Initialise(std::uint32_t redbits, std::uint32_t greenbits, std::uint32_t bluebits,
                         std::uint32_t redshift, std::uint32_t greenshift, std::uint32_t blueshift);
std::uint16_t TarnBlit_color24to16(std::uint32_t colour);
std::uint32_t TarnBlit_color16to24(std::uint16_t pixel);

void TarnBlit_BlitPixel16(std::uint16_t* dst, std::uint32_t colour);
std::uint32_t TarnBlit_GetPixel16(const std::uint16_t* src);
void TarnBlit_BlitPixel32(std::uint32_t* dst, std::uint32_t colour);
std::uint32_t TarnBlit_GetPixel32(const std::uint32_t* src);

void TarnBlit_BlitFill16(std::uint16_t* dst, std::int32_t count, std::uint32_t colour);
void TarnBlit_BlitFill32(std::uint32_t* dst, std::int32_t count, std::uint32_t colour);
void TarnBlit_BlitCopy16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitCopy32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
