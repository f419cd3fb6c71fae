// The bitmap record and the basic bitmap operations: create, delete, copy, clear, draw, double.
#pragma once

#include <cstdint>

// A picture: width by height pixels packed row after row (stride = width), in the page's depth.
// Drawing operations take it by value; create and delete take a pointer.
struct LSR_Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t size = 0;   // bytes of pixel data
    std::int32_t pixels = 0; // width * height
    void* data = nullptr;    // owned; null when the bitmap has no pixels
};

void LSR_CreateBitmap(std::int32_t width, std::int32_t height, LSR_Bitmap* bitmap);
void LSR_DeleteBitmap(LSR_Bitmap* bitmap);
void LSR_CopyBitmap(LSR_Bitmap src, LSR_Bitmap dst);
void LSR_ClearBitmap(LSR_Bitmap bitmap);
void LSR_ClearColorBitmap(LSR_Bitmap bitmap, std::uint32_t colour);
void LSR_DrawBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
void DrawBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
void DrawBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
void LSR_ScaleBitmap2x(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode);
void LSR_ScaleBitmap2x32(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode);
