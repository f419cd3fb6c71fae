// Whole-bitmap effects (grey, blend, fade, cross-fade, wipe) and blended or filtered drawing.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// Blend modes of LSR_BlendBitmap and LSR_DrawBlendBitmap: 0 copy, 1 mix, 2 add, 3 multiply,
// 4 three quarters of the first picture, 5 three quarters of the second, 6 darken, 7 brighten.
// Fade modes of LSR_FadeBitmap: 0 to black, 1 to white, 2 cross-fade src into dst, 3 alpha
// wipe of dst onto itself. Filters of LSR_DrawFilteredBitmap: 2 blur, 3 anti-alias, else copy.
// A level runs from 0 (the far end) to 255 (nearest the second, or untouched, picture).

void LSR_GreyBitmap(LSR_Bitmap src, LSR_Bitmap dst);
void LSR_BlendBitmap(LSR_Bitmap a, LSR_Bitmap b, LSR_Bitmap dst, std::uint8_t mode);
void LSR_FadeBitmap(LSR_Bitmap src, LSR_Bitmap dst, std::uint8_t level, std::uint8_t mode);
void LSR_CrossfadeBitmap(LSR_Bitmap a, LSR_Bitmap b, LSR_Bitmap dst, std::uint8_t level);
void LSR_AlphawipeBitmap(LSR_Bitmap a, LSR_Bitmap mask, LSR_Bitmap dst, std::uint8_t level);

void LSR_DrawBlendBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::uint8_t mode);
void DrawBlendBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                       std::uint8_t mode);
void DrawBlendBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                       std::uint8_t mode);
void LSR_DrawFilteredBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                            std::uint8_t filter);
void DrawFilteredBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                          std::uint8_t filter);
void DrawFilteredBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                          std::uint8_t filter);
void LSR_DrawAntiAliasedBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
