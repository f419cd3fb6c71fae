// What the image readers share: checked reads of a file's bytes, colour conversions of pixels and
// whole rows, the bitmap under construction filled a row at a time, reading a whole file through
// the file layer, and the decoders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lodestar/base/bytes.h"
#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/owner.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"

namespace lsr_image {

using lsr::PagePixel;

// A file's bytes; every read is checked with has() first.
struct Bytes {
    const std::uint8_t* data;
    std::uint32_t size;
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= size && n <= size - at; }
    std::uint32_t u8(std::uint64_t at) const { return data[at]; }
    std::uint32_t u16(std::uint64_t at) const { return lsr::get_le16(data + at); }
    std::uint32_t u32(std::uint64_t at) const { return lsr::get_le32(data + at); }
};

// Prints "<format>: <problem>\n" and returns 0, the reader's failure.
std::int32_t refuse(const char* format, const char* problem);

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

// Whole rows of file pixels into colours 0xAARRGGBB, n pixels from p into out.

// Blue, green, red bytes. Every pixel but the last is read as a word whose top byte (the next
// pixel's blue) is masked off; the last alone, so nothing past the row is read.
inline void from_bgr_row(const std::uint8_t* p, std::uint32_t* out, std::size_t n) {
    if (n == 0) return;
    for (std::size_t i = 0; i + 1 < n; ++i)
        out[i] = k_opaque | (lsr::get_le32(p + 3 * i) & 0x00FFFFFFu);
    out[n - 1] = from_bgr(p + 3 * (n - 1));
}
// Blue, green, red, alpha bytes: the word as it stands.
inline void from_bgra_row(const std::uint8_t* p, std::uint32_t* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = lsr::get_le32(p + 4 * i);
}
// Little-endian 5-5-5 words.
inline void from555_row(const std::uint8_t* p, std::uint32_t* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = from555(lsr::get_le16(p + 2 * i));
}
// Byte indices into a palette of 256 colours.
inline void indexed_row(const std::uint8_t* p, const std::uint32_t* palette, std::uint32_t* out,
                        std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = palette[p[i]];
}

// How a file orders its rows: counted from the bottom of the picture or from its top, and each
// running left to right or mirrored.
struct RowOrder {
    bool bottom_up, mirrored;
};

// Colours 0xAARRGGBB as pixels of type P: as they stand at 32 bits. At 16 bits through a table
// per channel, filled once with the page's own conversion: it takes each channel on its own and
// joins the three with OR, so the tables give the same pixel as converting the whole colour.
template <PagePixel P> struct ColourToPixel {
    P operator()(std::uint32_t colour) const { return colour; }
};
template <> struct ColourToPixel<std::uint16_t> {
    std::uint16_t red[256], green[256], blue[256];
    ColourToPixel() {
        for (std::uint32_t v = 0; v < 256; ++v) {
            red[v] = TarnBlit_color24to16(v << 16);
            green[v] = TarnBlit_color24to16(v << 8);
            blue[v] = TarnBlit_color24to16(v);
        }
    }
    std::uint16_t operator()(std::uint32_t colour) const {
        return red[colour >> 16 & 0xFF] | green[colour >> 8 & 0xFF] | blue[colour & 0xFF];
    }
};

// Stores whole rows of colours into a bitmap of pixel type P (the page's), converted. A reader
// hands over the rows in the file's order: row r of the file is picture row height - 1 - r when
// bottom-up. At 32 bits a row that is not mirrored is decoded straight into the bitmap.
template <PagePixel P> class RowWriter {
  public:
    // scratch: width colours, or null when rows are decoded in place.
    RowWriter(const LSR_Bitmap& bitmap, RowOrder order, std::uint32_t* scratch)
        : bitmap_(bitmap), order_(order), scratch_(scratch) {}

    // Whether rows need a scratch row to be decoded into.
    static constexpr bool needs_scratch(RowOrder order) { return sizeof(P) == 2 || order.mirrored; }

    // Calls decode(colours), which puts the width colours of file row r (r < height) into
    // colours and gives false when the file cannot supply them; then stores the row. Returns
    // what decode gave; a row given up may be left half written.
    template <class Decode> bool row(std::uint32_t r, Decode&& decode) const {
        const auto width = static_cast<std::size_t>(bitmap_.width);
        const std::uint32_t y =
            order_.bottom_up ? static_cast<std::uint32_t>(bitmap_.height) - 1 - r : r;
        P* dst = static_cast<P*>(bitmap_.data) + std::size_t{y} * width;
        if constexpr (sizeof(P) == 4) {
            if (!order_.mirrored) return decode(dst);
        }
        if (!decode(scratch_)) return false;
        if (order_.mirrored) {
            for (std::size_t i = 0; i < width; ++i) dst[width - 1 - i] = convert_(scratch_[i]);
        } else {
            for (std::size_t i = 0; i < width; ++i) dst[i] = convert_(scratch_[i]);
        }
        return true;
    }

  private:
    LSR_Bitmap bitmap_;
    RowOrder order_;
    std::uint32_t* scratch_;
    ColourToPixel<P> convert_;
};

// A bitmap being filled: deleted unless kept, so that a reader that gives up leaves nothing.
class Canvas {
  public:
    // Creates width by height pixels; false (with a message naming the format) when the size is
    // not one a bitmap can have.
    bool create(std::uint32_t width, std::uint32_t height, const char* format);
    // Calls fill(rows) with the row writer of the page's depth, chosen once for the picture;
    // returns what fill gives, or false (with a message) when no scratch row can be had.
    template <class Fill> bool fill(RowOrder order, const char* format, Fill&& fill) {
        return lsr::at_page_depth([&](auto pixel) -> bool {
            using Writer = RowWriter<decltype(pixel)>;
            const bool scratched = Writer::needs_scratch(order);
            const LSR_Bitmap& bitmap = bitmap_.get();
            const auto scratch = scratched ? lsr::allocate_counted<std::uint32_t>(
                                                 static_cast<std::uint32_t>(bitmap.width) * 4u,
                                                 "graphics/loadimage", __LINE__)
                                           : lsr::Counted<std::uint32_t>();
            if (scratched && !scratch) return refuse(format, "no room for a row");
            return fill(Writer(bitmap, order, scratch.get()));
        });
    }
    // Hands the finished picture over.
    void keep(LSR_Bitmap* out) { *out = bitmap_.release(); }

  private:
    lsr::OwnedBitmap bitmap_;
};

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
