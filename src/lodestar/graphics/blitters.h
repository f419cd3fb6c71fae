// Span blitters: per-run pixel loops over raw pointers. They never clip; callers do.
#pragma once

#include <cstdint>

void TarnBlit_BlitPixel16(std::uint16_t* dst, std::uint32_t colour);
std::uint32_t TarnBlit_GetPixel16(const std::uint16_t* src);
void TarnBlit_BlitPixel32(std::uint32_t* dst, std::uint32_t colour);
std::uint32_t TarnBlit_GetPixel32(const std::uint32_t* src);

void TarnBlit_BlitFill16(std::uint16_t* dst, std::int32_t count, std::uint32_t colour);
void TarnBlit_BlitFill32(std::uint32_t* dst, std::int32_t count, std::uint32_t colour);
void TarnBlit_BlitCopy16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitCopy32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
