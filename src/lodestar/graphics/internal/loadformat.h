// What the image readers share: checked reads of a file's bytes, colour conversions, the
// bitmap under construction, reading a whole file through the file layer, and the decoders.
#pragma once

#include <cstdint>

#include "lodestar/base/bytes.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"

namespace lsr_image {

// A file's bytes; every read is checked with has() first.
struct Bytes {
    const std::uint8_t* data;
    std::uint32_t size;
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= size && n <= size - at; }
    std::uint32_t u8(std::uint64_t at) const { return data[at]; }
    std::uint32_t u16(std::uint64_t at) const { return lsr::get_le16(data + at); }
    std::uint32_t u32(std::uint64_t at) const { return lsr::get_le32(data + at); }
};

inline constexpr std::uint32_t k_opaque = 0xFF000000u;

inline constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return k_opaque | r << 16 | g << 8 | b;
}
// A little-endian 5-5-5 word: each channel into the top five bits of its byte.
inline constexpr std::uint32_t from555(std::uint32_t word) {
    return rgb((word >> 10 & 31) << 3, (word >> 5 & 31) << 3, (word & 31) << 3);
}
// Blue, green, red bytes at p.
inline constexpr std::uint32_t from_bgr(const std::uint8_t* p) {
    return rgb(p[2], p[1], p[0]);
}

// A bitmap being filled: deleted unless kept, so that a reader that gives up leaves nothing.
class Canvas {
  public:
    // Creates width by height pixels; false (with a message naming the format) when the size is
    // not one a bitmap can have.
    bool create(std::uint32_t width, std::uint32_t height, const char* format);
    void put(std::int32_t x, std::int32_t y, std::uint32_t colour) {
        LSR_DrawPixel(x, y, colour, bitmap_.get());
    }
    // Hands the finished picture over.
    void keep(LSR_Bitmap* out) { *out = bitmap_.release(); }

  private:
    lsr::OwnedBitmap bitmap_;
};

// Prints "<format>: <problem>\n" and returns 0, the reader's failure.
std::int32_t refuse(const char* format, const char* problem);

using Decoder = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);
// Reads the named file whole through the file layer into a block counted under tag and line,
// decodes it, and releases the block.
std::int32_t load_with(const char* name, const char* tag, int line, Decoder decode,
                       LSR_Bitmap* bitmap);

// The readers' decoding, on a whole file's bytes. Every length and offset is checked against
// size; on failure nothing is left allocated and the bitmap record is not touched.
std::int32_t decode_tga(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap);
std::int32_t decode_bmp(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap);
std::int32_t decode_pcx(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap);
std::int32_t decode_scx(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap);

} // namespace lsr_image
