// Sprites: pictures cut from bitmaps with a magenta key, drawn clipped and transparent.
#pragma once

#include <array>
#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// width by height pixels in the page format, rows packed. Transparent pixels are 0 at 16 bits
// and have a zero top byte at 32 bits. Drawn by value; filled and freed through a pointer.
struct LSR_Sprite {
    std::int32_t width = 0;
    std::int32_t height = 0;
    void* data = nullptr; // owned; null when empty
};

// Entry i: -32767 * sin(i degrees), truncated; the cosine of a is -entry (a + 90).
extern const std::array<std::int32_t, 450> spriterotate_sincos;

std::int32_t LSR_CheckSpriteTransparency(std::uint32_t colour);
std::int32_t LSR_CheckSpriteCollision(std::int32_t ax, std::int32_t ay, std::int32_t aw,
                                      std::int32_t ah, std::int32_t bx, std::int32_t by,
                                      std::int32_t bw, std::int32_t bh);

void LSR_GetSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   LSR_Bitmap bitmap, LSR_Sprite* sprite);
void LSR_GetDarkSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       LSR_Bitmap bitmap, LSR_Sprite* sprite);
void LSR_GetColorSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        std::uint32_t tint, LSR_Bitmap bitmap, LSR_Sprite* sprite);
void CreateMaskedSprite(std::int32_t w, std::int32_t h, const void* source, LSR_Sprite* sprite,
                        std::uint32_t mask);
void LSR_LoadSprite(const char* name, LSR_Sprite* sprite);
void LSR_CreateSprite(std::int32_t w, std::int32_t h, LSR_Sprite* sprite);
void LSR_ClearSprite(LSR_Sprite sprite);
void LSR_DeleteSprite(LSR_Sprite* sprite);
LSR_Bitmap LSR_GetBitmapFromSprite(LSR_Sprite sprite);

void LSR_DrawSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap);
void LSR_DrawMirroredSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap);
// mode: a blend mode of effects.h from LSR_BLEND_COPY to LSR_BLEND_MOSTLY_SECOND, the first
// picture the bitmap's own pixels; any other mode draws nothing.
void LSR_DrawBlendSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int8_t mode);
void LSR_DrawScaledSprite(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                          LSR_Sprite sprite, LSR_Bitmap bitmap);
void DrawScaledSprite16(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                        LSR_Sprite sprite, LSR_Bitmap bitmap);
void DrawScaledSprite32(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                        LSR_Sprite sprite, LSR_Bitmap bitmap);
void LSR_DrawZoomedSprite(std::int32_t x, std::int32_t y, std::int32_t zoom, LSR_Sprite sprite,
                          LSR_Bitmap bitmap);
void LSR_DrawRotatedSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle);
void LSR_DrawRotatedSpriteZoom(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                               std::int32_t angle, std::int32_t zoom);
void DrawRotatedSprite16(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int32_t angle, std::int32_t zoom);
void DrawRotatedSprite32(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int32_t angle, std::int32_t zoom);
void LSR_DrawRotatedSpriteXY(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                             std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                             std::int32_t cy);
void DrawRotatedSpriteXY16(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx, std::int32_t cy);
void DrawRotatedSpriteXY32(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx, std::int32_t cy);
void LSR_DrawSprite3D(std::int32_t x, std::int32_t y, std::int32_t depth, LSR_Sprite sprite,
                      LSR_Bitmap left, LSR_Bitmap right);
