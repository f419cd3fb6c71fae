// Image files (TGA, BMP, PCX, SCX) read into bitmaps of the page's depth, and palette files.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// Picks the reader by the name's extension. On success the record holds the new picture (an
// earlier block in it is not released: that is the caller's task); on failure the record is left
// as it was and the not-loaded error is printed.
void LSR_LoadBitmap(const char* name, LSR_Bitmap* bitmap);
// Reads the first 768 bytes of a file (256 entries of red, green, blue) into palette.
void LSR_LoadPal(const char* name, std::uint8_t* palette);

// The readers: 1 when the bitmap was loaded, 0 (with a message) when not.
std::int32_t LoadImageTGA(const char* name, LSR_Bitmap* bitmap);
std::int32_t LoadImageBMP(const char* name, LSR_Bitmap* bitmap);
std::int32_t LoadImagePCX(const char* name, LSR_Bitmap* bitmap);
std::int32_t LoadImageSCX(const char* name, LSR_Bitmap* bitmap);
