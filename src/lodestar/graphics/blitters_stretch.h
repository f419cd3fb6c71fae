// Span blitters that walk a source in fixed point: stretchers, shade and texture fillers.
#pragma once

#include <cstdint>

// Source positions and steps are 16.16; texture coordinates 8.8 on a 256 by 256 grid whose
// both coordinates wrap; the shade's grey level is its bits 16 to 23. None of them clips.
void TarnBlit_BlitStretch16(std::uint16_t* dst, const std::uint16_t* src, std::int32_t count,
                            std::int32_t x, std::int32_t xstep);
void TarnBlit_BlitStretch32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count,
                            std::int32_t x, std::int32_t xstep);
void TarnBlit_BlitTranspStretch32(std::uint32_t* dst, const std::uint32_t* src, std::int32_t count,
                                  std::int32_t x, std::int32_t xstep);
// width is the source row's length: the right neighbour of its last pixel is that pixel again.
void TarnBlit_BlitBiLinearStretch16(std::uint16_t* dst, const std::uint16_t* src,
                                    std::int32_t count, std::int32_t rowstep, std::int32_t x,
                                    std::int32_t y, std::int32_t xstep, std::int32_t width);
void TarnBlit_BlitBiLinearStretch32(std::uint32_t* dst, const std::uint32_t* src,
                                    std::int32_t count, std::int32_t rowstep, std::int32_t x,
                                    std::int32_t y, std::int32_t xstep, std::int32_t width);
void TarnBlit_BlitFillShade16(std::uint16_t* dst, std::int32_t count, std::int32_t shade,
                              std::int32_t step);
void TarnBlit_BlitFillShade32(std::uint32_t* dst, std::int32_t count, std::int32_t shade,
                              std::int32_t step);
// The textures hold 65536 texels, 256 a row.
void TarnBlit_BlitFillTexture16(std::uint16_t* dst, const std::uint16_t* texture,
                                std::int32_t count, std::int32_t u, std::int32_t v, std::int32_t du,
                                std::int32_t dv);
void TarnBlit_BlitFillTexture32(std::uint32_t* dst, const std::uint32_t* texture,
                                std::int32_t count, std::int32_t u, std::int32_t v, std::int32_t du,
                                std::int32_t dv);
void TarnBlit_BlitFillShadeTexture16(std::uint16_t* dst, const std::uint16_t* texture,
                                     std::int32_t count, std::int32_t u, std::int32_t v,
                                     std::int32_t s, std::int32_t du, std::int32_t dv,
                                     std::int32_t ds);
void TarnBlit_BlitFillShadeTexture32(std::uint32_t* dst, const std::uint32_t* texture,
                                     std::int32_t count, std::int32_t u, std::int32_t v,
                                     std::int32_t s, std::int32_t du, std::int32_t dv,
                                     std::int32_t ds);
void TarnBlit_BlitFillDualTexture16(std::uint16_t* dst, const std::uint16_t* texture1,
                                    const std::uint16_t* texture2, std::int32_t count,
                                    std::int32_t ua, std::int32_t va, std::int32_t ub,
                                    std::int32_t vb, std::int32_t dua, std::int32_t dva,
                                    std::int32_t dub, std::int32_t dvb);
void TarnBlit_BlitFillDualTexture32(std::uint32_t* dst, const std::uint32_t* texture1,
                                    const std::uint32_t* texture2, std::int32_t count,
                                    std::int32_t ua, std::int32_t va, std::int32_t ub,
                                    std::int32_t vb, std::int32_t dua, std::int32_t dva,
                                    std::int32_t dub, std::int32_t dvb);
