// The TGA reader: colour maps, 8/15/16/24/32-bit pixels, four orientations, interleave, and
// run-length packets.
#include <algorithm>
#include <iterator>

#include "lodestar/base/bytes.h"
#include "lodestar/base/debug.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"

namespace {

using namespace lsr_image;
using namespace lsr::tga;

constexpr const char* k_format = "TGA";

struct Header {
    std::uint32_t type, width, height, depth, descriptor;
    std::uint32_t map[256];
};

// Bytes of one colour-map entry, or 0 for an entry size this reader does not know.
constexpr std::uint32_t entry_bytes(std::uint32_t bits) {
    return bits == 15 || bits == 16 ? 2 : bits == 24 ? 3 : bits == 32 ? 4 : 0;
}

constexpr std::uint32_t pixel_bytes(std::uint32_t depth) {
    return depth == 8 ? 1 : depth == 15 || depth == 16 ? 2 : depth == 24 ? 3 : depth == 32 ? 4 : 0;
}

// n pixels of bytes at p, as 0xAARRGGBB; the depth is one of those pixel_bytes knows.
void decode_pixels(const Header& h, const std::uint8_t* p, std::uint32_t* out, std::size_t n) {
    switch (h.depth) {
    case 8:
        if (h.type == k_grey || h.type == k_rle_grey) {
            for (std::size_t i = 0; i < n; ++i) out[i] = rgb(p[i], p[i], p[i]);
        } else {
            indexed_row(p, h.map, out, n);
        }
        return;
    case 15:
    case 16: return from555_row(p, out, n);
    case 24: return from_bgr_row(p, out, n);
    default: return from_bgra_row(p, out, n);
    }
}

// Reads the colour map at *at into h.map; false when it cannot be read.
bool read_map(const Bytes& b, std::uint64_t* at, Header* h) {
    std::fill(std::begin(h->map), std::end(h->map), k_opaque);
    const std::uint32_t first = b.u16(k_map_first), length = b.u16(k_map_length);
    const std::uint32_t size = entry_bytes(b.u8(k_map_bits));
    if (b.u8(k_map_type) == 0 || length == 0) return true;
    if (size == 0) return refuse(k_format, "unsupported colour-map entry size");
    if (first + length > 256) return refuse(k_format, "colour map reaches past index 255");
    if (!b.has(*at, std::uint64_t{length} * size)) return refuse(k_format, "truncated colour map");
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint8_t* p = b.data + *at + std::uint64_t{i} * size;
        h->map[first + i] = size == 2   ? from555(lsr::get_le16(p))
                            : size == 3 ? from_bgr(p)
                                        : lsr::get_le32(p);
    }
    *at += std::uint64_t{length} * size;
    return true;
}

RowOrder row_order(const Header& h) {
    return {.bottom_up = !(h.descriptor & k_top_down),
            .mirrored = (h.descriptor & k_right_to_left) != 0};
}

// Rows stored in k passes: pass p holds rows p, p + k, p + 2k, ... counted from the first row
// of the orientation; with k = 1 the plain row-by-row image.
template <PagePixel P>
bool decode_plain(const Bytes& b, std::uint64_t at, const Header& h, const RowWriter<P>& rows) {
    const std::uint32_t step = pixel_bytes(h.depth);
    const std::uint32_t k = (h.descriptor & k_interleave_4)   ? 4
                            : (h.descriptor & k_interleave_2) ? 2
                                                              : 1;
    const std::uint8_t* p = b.data + at;
    for (std::uint32_t pass = 0; pass < k; ++pass) {
        for (std::uint32_t row = pass; row < h.height; row += k) {
            rows.row(row, [&](std::uint32_t* out) {
                decode_pixels(h, p, out, h.width);
                return true;
            });
            p += std::size_t{h.width} * step;
        }
    }
    return true;
}

// Packets may run across rows; false when the data ends before every pixel is set. A packet
// reaching past the last pixel sets only up to it, but must still be whole in the file.
template <PagePixel P>
bool decode_packed(const Bytes& b, std::uint64_t at, const Header& h, const RowWriter<P>& rows) {
    const std::uint32_t step = pixel_bytes(h.depth);
    std::uint32_t left = 0, run = 0; // pixels left in the packet, and the colour of a run
    bool repeat = false;
    const auto truncated = [] {
        refuse(k_format, "truncated run-length data");
        return false;
    };
    const auto decode_row = [&](std::uint32_t* out) {
        for (std::uint32_t x = 0; x < h.width;) {
            if (left == 0) {
                if (!b.has(at, 1)) return truncated();
                const std::uint32_t header = b.u8(at++);
                left = (header & ~std::uint32_t{k_run_packet}) + 1;
                repeat = header & k_run_packet;
                if (!b.has(at, std::uint64_t{repeat ? 1 : left} * step)) return truncated();
                if (repeat) {
                    decode_pixels(h, b.data + at, &run, 1);
                    at += step;
                }
            }
            const std::uint32_t n = std::min(left, h.width - x);
            if (repeat) {
                std::fill_n(out + x, n, run);
            } else {
                decode_pixels(h, b.data + at, out + x, n);
                at += std::uint64_t{n} * step;
            }
            x += n;
            left -= n;
        }
        return true;
    };
    for (std::uint32_t row = 0; row < h.height; ++row)
        if (!rows.row(row, decode_row)) return false;
    return true;
}

} // namespace

namespace lsr_image {

std::int32_t decode_tga(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap) {
    const Bytes b{data, size};
    if (!b.has(0, k_header_size)) return refuse(k_format, "file too short for its header");
    Header h;
    h.type = b.u8(k_image_type);
    h.width = b.u16(k_width);
    h.height = b.u16(k_height);
    h.depth = b.u8(k_depth);
    h.descriptor = b.u8(k_descriptor);
    std::uint64_t at = k_header_size + std::uint64_t{b.u8(k_id_length)};
    if (!read_map(b, &at, &h)) return 0;
    const std::uint32_t step = pixel_bytes(h.depth);
    if (step == 0) return refuse(k_format, "unsupported pixel depth");
    const std::uint64_t pixels = std::uint64_t{h.width} * h.height;
    const bool packed = h.type >= k_rle;
    // A packet of n bytes sets at most k_packet_pixels, so a packed image is at most that large.
    if (packed ? !b.has(at, 0) || pixels * (1 + step) > (std::uint64_t{size} - at) * k_packet_pixels
               : !b.has(at, pixels * step))
        return refuse(k_format, "the header claims more pixels than the file holds");
    Canvas canvas;
    if (!canvas.create(h.width, h.height, k_format)) return 0;
    if (packed) _dbg_printf("TGA is RLE packed.");
    if (!canvas.fill(row_order(h), k_format, [&](const auto& rows) {
            return packed ? decode_packed(b, at, h, rows) : decode_plain(b, at, h, rows);
        }))
        return 0;
    canvas.keep(bitmap);
    return 1;
}

} // namespace lsr_image

std::int32_t LoadImageTGA(const char* name, LSR_Bitmap* bitmap) {
    return lsr_image::load_with(name, "graphics/loadtga", __LINE__, lsr_image::decode_tga, bitmap);
}
