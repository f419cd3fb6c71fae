// Blending span blitters: mixes, add, multiply, darken, brighten, filters, fades, wipes.
#pragma once

#include <cstdint>

// dst may equal a or src: every pixel is read before it is written, in ascending order. level
// counts by its low 8 bits only; up and down are pixel offsets from a source pixel to the ones
// above and below it. A count of 0 or less writes nothing.
void TarnBlit_BlitMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                        std::int32_t count);
void TarnBlit_BlitMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                        std::int32_t count);
void TarnBlit_BlitQMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                         std::int32_t count);
void TarnBlit_BlitQMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                         std::int32_t count);
void TarnBlit_BlitAdd16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                        std::int32_t count);
void TarnBlit_BlitAdd32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                        std::int32_t count);
void TarnBlit_BlitMul16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                        std::int32_t count);
void TarnBlit_BlitMul32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                        std::int32_t count);
void TarnBlit_BlitDarken16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitDarken32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
void TarnBlit_BlitBrighten16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitBrighten32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
void TarnBlit_BlitBlur16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t up,
                         std::int32_t down, std::int32_t count);
void TarnBlit_BlitBlur32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t up,
                         std::int32_t down, std::int32_t count);
void TarnBlit_BlitAntiAlias16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t up,
                              std::int32_t down, std::int32_t count);
void TarnBlit_BlitAntiAlias32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t up,
                              std::int32_t down, std::int32_t count);
void TarnBlit_BlitFade16(std::uint16_t* dst, const std::uint16_t* src, std::uint32_t level,
                         std::int32_t count);
void TarnBlit_BlitFade32(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t level,
                         std::int32_t count);
void TarnBlit_BlitFade16fast(std::uint16_t* dst, const std::uint16_t* src, std::uint32_t level,
                             std::int32_t count);
void TarnBlit_BlitFadeWhite16(std::uint16_t* dst, const std::uint16_t* src, std::uint32_t level,
                              std::int32_t count);
void TarnBlit_BlitFadeWhite32(std::uint32_t* dst, const std::uint32_t* src, std::uint32_t level,
                              std::int32_t count);
void TarnBlit_BlitCrossfade16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::uint32_t level, std::int32_t count);
void TarnBlit_BlitCrossfade32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::uint32_t level, std::int32_t count);
void TarnBlit_BlitCrossfadeFast32(std::uint32_t* dst, const std::uint32_t* a,
                                  const std::uint32_t* b, std::uint32_t level, std::int32_t count);
void TarnBlit_BlitAlphawipe16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* mask,
                              std::uint32_t level, std::int32_t count);
void TarnBlit_BlitAlphawipe32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* mask,
                              std::uint32_t level, std::int32_t count);
