// Transparent span blitters (plain, mix, quarter mixes, add, multiply) for sprite drawing.
#pragma once

#include <cstdint>

// Each writes dst only where the sprite pixel (src, or b) is opaque; a may equal dst. The 16-bit
// variants use only the low 16 bits of count.
void TarnBlit_BlitTransp16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count);
void TarnBlit_BlitTransp32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count);
void TarnBlit_BlitTranspMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspQMix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                               std::int32_t count);
void TarnBlit_BlitTranspQMix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                               std::int32_t count);
void TarnBlit_BlitTranspQ3Mix16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                                std::int32_t count);
void TarnBlit_BlitTranspQ3Mix32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                                std::int32_t count);
void TarnBlit_BlitTranspAdd16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspAdd32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMul16(std::uint16_t* dst, const std::uint16_t* a, const std::uint16_t* b,
                              std::int32_t count);
void TarnBlit_BlitTranspMul32(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b,
                              std::int32_t count);
