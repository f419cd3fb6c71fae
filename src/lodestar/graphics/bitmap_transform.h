// Bitmaps drawn scaled, zoomed, rotated about a point, and two views composed for 3-D viewing.
#pragma once

#include <array>
#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// Entry i: -32767 * sin(i degrees), truncated; the cosine of a is -entry (a + 90).
extern const std::array<std::int32_t, 450> bitmaprotate_sincos;
// Calls of LSR_DrawBitmap3D so far; picks the view of the alternating and interlaced modes.
extern std::int32_t LSR_stereoframe;

// Stretched to width by height at (x, y); bilinear > 0 mixes four source pixels for each one.
void LSR_DrawScaledBitmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear);
void DrawScaledBitmap16(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear);
void DrawScaledBitmap32(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        LSR_Bitmap src, LSR_Bitmap dst, std::int32_t bilinear);
// At zoom percent of its size, nearest pixel.
void LSR_DrawZoomedBitmap(std::int32_t x, std::int32_t y, std::int32_t zoom, LSR_Bitmap src,
                          LSR_Bitmap dst);

// Turned by angle degrees; zoom 128 is the bitmap's own size, 256 twice it. (x, y) is where the
// unturned bitmap's top-left would be; the picture turns about its centre, or about (cx, cy).
void LSR_DrawRotatedBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle);
void LSR_DrawRotatedBitmapZoom(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                               std::int32_t angle, std::int32_t zoom);
void DrawRotatedBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::int32_t angle, std::int32_t zoom);
void DrawRotatedBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                         std::int32_t angle, std::int32_t zoom);
void LSR_DrawRotatedBitmapXY(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                             std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                             std::int32_t cy);
void DrawRotatedBitmapXY16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx, std::int32_t cy);
void DrawRotatedBitmapXY32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx, std::int32_t cy);

// Modes of LSR_DrawBitmap3D. Channel mixes of the two views: red (with opacity) from the right,
// green from the right, red from the left, blue from the left (the rest from the other view);
// then cross-fades alternating between the views, interlaced rows, and side by side.
inline constexpr std::int32_t LSR_STEREO_RED_RIGHT = 0;
inline constexpr std::int32_t LSR_STEREO_GREEN_RIGHT = 1;
inline constexpr std::int32_t LSR_STEREO_RED_LEFT = 2;
inline constexpr std::int32_t LSR_STEREO_BLUE_LEFT = 3;
inline constexpr std::int32_t LSR_STEREO_ALTERNATE = 4;
inline constexpr std::int32_t LSR_STEREO_INTERLACE = 5;
inline constexpr std::int32_t LSR_STEREO_SIDE_BY_SIDE = 6;
void LSR_DrawBitmap3D(LSR_Bitmap left, LSR_Bitmap right, LSR_Bitmap dst, std::int32_t mode);
