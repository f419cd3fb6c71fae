// Whole-bitmap effects (grey, blend, fade, cross-fade, wipe) and blended or filtered drawing.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// Blend modes of LSR_BlendBitmap and LSR_DrawBlendBitmap (and, up to MOSTLY_SECOND, of
// LSR_DrawBlendSprite). In the clipped draws the first picture is the destination's own pixels.
inline constexpr std::uint8_t LSR_BLEND_COPY = 0;
inline constexpr std::uint8_t LSR_BLEND_MIX = 1; // half and half
inline constexpr std::uint8_t LSR_BLEND_ADD = 2; // per channel, saturating
inline constexpr std::uint8_t LSR_BLEND_MULTIPLY = 3;
inline constexpr std::uint8_t LSR_BLEND_MOSTLY_FIRST = 4;  // three quarters of the first picture
inline constexpr std::uint8_t LSR_BLEND_MOSTLY_SECOND = 5; // three quarters of the second
inline constexpr std::uint8_t LSR_BLEND_DARKEN = 6;
inline constexpr std::uint8_t LSR_BLEND_BRIGHTEN = 7;
// Fade modes of LSR_FadeBitmap: to black, to white, cross-fade src into dst, alpha wipe of dst
// onto itself.
inline constexpr std::uint8_t LSR_FADE_BLACK = 0;
inline constexpr std::uint8_t LSR_FADE_WHITE = 1;
inline constexpr std::uint8_t LSR_FADE_CROSS = 2;
inline constexpr std::uint8_t LSR_FADE_WIPE = 3;
// Filters of LSR_DrawFilteredBitmap; any other value draws a plain copy.
inline constexpr std::uint8_t LSR_FILTER_BLUR = 2;
inline constexpr std::uint8_t LSR_FILTER_ANTIALIAS = 3;
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
