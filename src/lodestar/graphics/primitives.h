// Pixels, spans, lines, Bezier curves, boxes and circles on any bitmap, clipped to it.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// Entry i: 65536 * sqrt(1 - (i / 1024)^2), through single precision, truncated.
extern const std::uint32_t LSR_circletab[1024];
extern std::uint8_t LSR_opacity;
extern LSR_Bitmap LSR_texture1;
extern LSR_Bitmap LSR_texture2;

std::uint32_t LSR_GetPixel(std::int32_t x, std::int32_t y, LSR_Bitmap bitmap);
void LSR_DrawPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, LSR_Bitmap bitmap);
void LSR_DrawHLine(std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t colour,
                   LSR_Bitmap bitmap);
void LSR_DrawVLine(std::int32_t x, std::int32_t y1, std::int32_t y2, std::uint32_t colour,
                   LSR_Bitmap bitmap);
// Modes of LSR_DrawBlendPixel: the colour replaces the pixel, is averaged with it, or added to it
// per channel (saturating); any other mode changes nothing.
inline constexpr std::int32_t LSR_PIXEL_SET = 0;
inline constexpr std::int32_t LSR_PIXEL_AVERAGE = 1;
inline constexpr std::int32_t LSR_PIXEL_ADD = 2;
void LSR_DrawBlendPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, LSR_Bitmap bitmap,
                        std::int32_t mode);
void LSR_DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t colour, LSR_Bitmap bitmap);
void LSR_DrawBezier(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    std::int32_t x2, std::int32_t y2, std::int32_t x3, std::int32_t y3,
                    std::int32_t steps, std::uint32_t colour, LSR_Bitmap bitmap);
void LSR_DrawBox(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::uint32_t colour, LSR_Bitmap bitmap);
void LSR_DrawFilledBox(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       std::uint32_t colour, LSR_Bitmap bitmap);
void LSR_DrawCircle(std::int32_t x, std::int32_t y, std::int32_t r, std::uint32_t colour,
                    LSR_Bitmap bitmap);
void LSR_DrawFilledCircle(std::int32_t x, std::int32_t y, std::int32_t r, std::uint32_t colour,
                          LSR_Bitmap bitmap);
void LSR_SetPrimitiveOpacity(std::uint8_t opacity);
void LSR_SetPrimitiveTexture(LSR_Bitmap bitmap);
void LSR_SetPrimitiveDualTexture(LSR_Bitmap a, LSR_Bitmap b);
