// The BMP reader: 1, 4, 8, 15, 16, 24 and 32 bits per pixel, bottom-up or top-down, with the
// compression-3 variants of 16 and 32 bits.
#include <algorithm>
#include <iterator>

#include "lodestar/base/bytes.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"

namespace {

using namespace lsr_image;

constexpr const char* k_format = "BMP";

// The fields read, by offset (little-endian), and the palette after them.
constexpr std::uint32_t k_data_offset = 10; // only its low 16 bits are read
constexpr std::uint32_t k_width = 18;
constexpr std::uint32_t k_height = 22; // signed: negative for a top-down image
constexpr std::uint32_t k_bits = 28;
constexpr std::uint32_t k_compression = 30;
constexpr std::uint32_t k_colours = 46;
constexpr std::uint32_t k_palette = 54; // 4 bytes an entry: blue, green, red, unused
constexpr std::uint32_t k_header_size = k_palette;
// Compression 3: 16-bit pixels are 4-4-4, 32-bit ones alpha first.
constexpr std::uint32_t k_bitfields = 3;

struct Layout {
    std::uint32_t width, height, bits;
    bool bottom_up, masks; // masks: compression 3
    std::uint32_t palette[256];
};

// One row of the file as colours.
void decode_row(const Layout& l, const std::uint8_t* row, std::uint32_t* out) {
    const std::size_t n = l.width;
    switch (l.bits) {
    case 1:
        for (std::size_t x = 0; x < n; ++x)
            out[x] = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 0x00000000u : 0xFFFFFFFFu;
        return;
    case 4:
        for (std::size_t x = 0; x < n; ++x)
            out[x] = l.palette[(x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4];
        return;
    case 8: return indexed_row(row, l.palette, out, n);
    case 16:
        if (l.masks) {
            for (std::size_t x = 0; x < n; ++x) {
                const std::uint32_t word = lsr::get_le16(row + 2 * x);
                out[x] = rgb((word >> 8 & 15) << 4, (word >> 4 & 15) << 4, (word & 15) << 4);
            }
            return;
        }
        [[fallthrough]];
    case 15: return from555_row(row, out, n);
    case 24: return from_bgr_row(row, out, n);
    default:
        if (!l.masks) return from_bgra_row(row, out, n);
        // Alpha, blue, green, red in the file.
        for (std::size_t x = 0; x < n; ++x) {
            const std::uint32_t word = lsr::get_le32(row + 4 * x);
            out[x] = word << 24 | word >> 8;
        }
        return;
    }
}

bool known_depth(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 ||
           bits == 32;
}

} // namespace

namespace lsr_image {

std::int32_t decode_bmp(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap) {
    const Bytes b{data, size};
    if (!b.has(0, k_header_size)) return refuse(k_format, "file too short for its header");
    Layout l;
    // Only the low half of the offset field counts: pixel data begins in the first 64 KiB.
    const std::uint32_t offset = b.u16(k_data_offset);
    const auto width = static_cast<std::int32_t>(b.u32(k_width));
    const auto height = static_cast<std::int32_t>(b.u32(k_height));
    l.bits = b.u16(k_bits);
    l.masks = b.u16(k_compression) == k_bitfields;
    if (!known_depth(l.bits)) return refuse(k_format, "unsupported bits per pixel");
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return refuse(k_format, "the image has no pixels");
    l.width = static_cast<std::uint32_t>(width);
    l.bottom_up = height > 0;
    l.height =
        height > 0 ? static_cast<std::uint32_t>(height) : 0u - static_cast<std::uint32_t>(height);
    std::fill(std::begin(l.palette), std::end(l.palette), k_opaque);
    if (l.bits == 4 || l.bits == 8) {
        std::uint32_t colours = b.u32(k_colours);
        if (colours == 0) colours = l.bits == 4 ? 16 : 256;
        colours = std::min<std::uint32_t>(colours, 256);
        if (!b.has(k_palette, std::uint64_t{colours} * 4))
            return refuse(k_format, "truncated palette");
        for (std::uint32_t i = 0; i < colours; ++i)
            l.palette[i] = from_bgr(data + k_palette + 4 * i);
    }
    // A 15-bit pixel is stored in a 16-bit word: counting 15 bits would make rows too short
    // for what is read from them.
    const std::uint64_t stored_bits = l.bits == 15 ? 16 : l.bits;
    const std::uint64_t stride = ((stored_bits * l.width + 31) >> 3) & ~std::uint64_t{3};
    if (!b.has(offset, stride * l.height))
        return refuse(k_format, "the header claims more pixels than the file holds");
    Canvas canvas;
    if (!canvas.create(l.width, l.height, k_format)) return 0;
    const bool filled =
        canvas.fill({.bottom_up = l.bottom_up, .mirrored = false}, k_format, [&](const auto& rows) {
            for (std::uint32_t r = 0; r < l.height; ++r)
                rows.row(r, [&](std::uint32_t* out) {
                    decode_row(l, data + offset + r * stride, out);
                    return true;
                });
            return true;
        });
    if (!filled) return 0;
    canvas.keep(bitmap);
    return 1;
}

} // namespace lsr_image

std::int32_t LoadImageBMP(const char* name, LSR_Bitmap* bitmap) {
    return lsr_image::load_with(name, "graphics/loadbmp", __LINE__, lsr_image::decode_bmp, bitmap);
}
