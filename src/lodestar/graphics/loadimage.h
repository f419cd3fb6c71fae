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

// The TGA header as the reader reads it (and a writer of the files it reads writes it): field
// offsets, image types and descriptor bits. 16-bit fields are little-endian.
namespace lsr::tga {
inline constexpr std::uint32_t k_header_size = 18;
inline constexpr std::uint32_t k_id_length = 0;
inline constexpr std::uint32_t k_map_type = 1;
inline constexpr std::uint32_t k_image_type = 2;
inline constexpr std::uint32_t k_map_first = 3;
inline constexpr std::uint32_t k_map_length = 5;
inline constexpr std::uint32_t k_map_bits = 7;
inline constexpr std::uint32_t k_width = 12;
inline constexpr std::uint32_t k_height = 14;
inline constexpr std::uint32_t k_depth = 16;
inline constexpr std::uint32_t k_descriptor = 17;

inline constexpr std::uint8_t k_mapped = 1;
inline constexpr std::uint8_t k_true_colour = 2;
inline constexpr std::uint8_t k_grey = 3;
inline constexpr std::uint8_t k_rle = 8; // added to a type: its pixels run-length encoded
inline constexpr std::uint8_t k_rle_true_colour = k_rle + k_true_colour;
inline constexpr std::uint8_t k_rle_grey = k_rle + k_grey;

inline constexpr std::uint8_t k_right_to_left = 0x10;
inline constexpr std::uint8_t k_top_down = 0x20;
inline constexpr std::uint8_t k_interleave_2 = 0x40;
inline constexpr std::uint8_t k_interleave_4 = 0x80;

// A run-length packet's header byte: the run bit (one pixel repeated) or not (raw pixels), and
// below it the pixel count less one.
inline constexpr std::uint8_t k_run_packet = 0x80;
inline constexpr std::int32_t k_packet_pixels = 128; // at most, in one packet
} // namespace lsr::tga
