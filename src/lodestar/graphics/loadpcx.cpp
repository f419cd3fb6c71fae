// The PCX reader: run-length scanlines, 8-bit with the palette at the file's end, or 3 planes.
#include "lodestar/base/debug.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"

namespace {

using namespace lsr_image;

constexpr const char* k_format = "PCX";

// The fields read, by offset (16-bit little-endian), and where the run-length data begins.
constexpr std::uint32_t k_x_max = 8, k_y_max = 10; // x-min and y-min are taken as 0
constexpr std::uint32_t k_planes = 65;             // 3: red, green and blue scanlines
constexpr std::uint32_t k_data = 128;
// An 8-bit image's palette: the file's last bytes, 256 entries of red, green, blue.
constexpr std::uint32_t k_palette_size = 768;
// A byte with both top bits set starts a run: the next byte, repeated as often as its low bits say.
constexpr std::uint32_t k_run = 0xC0, k_run_count = 0x3F;

bool truncated() {
    refuse(k_format, "truncated image data");
    return false;
}

// The values of the run-length data from `at` up to `end`: a byte with both top bits set
// repeats the next byte (its low six bits) times, any other byte stands for itself.
struct Values {
    const std::uint8_t* data;
    std::uint32_t at, end;
    std::uint32_t value = 0, left = 0; // the run being read

    // The next value; false (with a message) when the data ends first.
    bool next(std::uint32_t* out) {
        while (left == 0) {
            if (at >= end) return truncated();
            value = data[at++];
            left = 1;
            if ((value & k_run) == k_run) {
                if (at >= end) return truncated();
                left = value & k_run_count;
                value = data[at++];
            }
        }
        --left;
        *out = value;
        return true;
    }
};

} // namespace

namespace lsr_image {

// Values run on from scanline to scanline; each row is one scanline of palette indices, or
// three (red, green, blue) in a 3-plane image. The scanline is exactly the width long.
std::int32_t decode_pcx(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap) {
    const Bytes b{data, size};
    if (!b.has(0, k_data)) return refuse(k_format, "file too short for its header");
    const std::uint32_t width = b.u16(k_x_max) + 1, height = b.u16(k_y_max) + 1;
    const bool truecolour = b.u8(k_planes) == 3;
    const std::uint32_t planes = truecolour ? 3 : 1;
    // The palette follows the image data, so an 8-bit image's data ends where it begins.
    if (!truecolour && !b.has(k_data, k_palette_size))
        return refuse(k_format, "file too short for a palette");
    const std::uint32_t end = truecolour ? size : size - k_palette_size;
    _dbg_printf("width: %d, height: %d, bpp: %d\n", static_cast<int>(width),
                static_cast<int>(height), truecolour ? 24 : 8);
    // Two bytes give at most 63 values.
    if (std::uint64_t{width} * height * planes > std::uint64_t{end - k_data} * 32)
        return refuse(k_format, "the header claims more pixels than the file holds");
    std::uint32_t palette[256]{};
    if (!truecolour)
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint8_t* p = data + end + 3 * i;
            palette[i] = rgb(p[0], p[1], p[2]);
        }
    Canvas canvas;
    if (!canvas.create(width, height, k_format)) return 0;
    Values values{data, k_data, end};
    const auto decode_row = [&](std::uint32_t* out) {
        std::uint32_t v = 0;
        for (std::uint32_t plane = 0; plane < planes; ++plane)
            for (std::uint32_t x = 0; x < width; ++x) {
                if (!values.next(&v)) return false;
                // The planes of a row are its red, green and blue.
                out[x] = !truecolour ? palette[v]
                                     : (plane == 0 ? k_opaque : out[x]) | v << (16 - 8 * plane);
            }
        return true;
    };
    const bool filled =
        canvas.fill({.bottom_up = false, .mirrored = false}, k_format, [&](const auto& rows) {
            for (std::uint32_t y = 0; y < height; ++y)
                if (!rows.row(y, decode_row)) return false;
            return true;
        });
    if (!filled) return 0;
    canvas.keep(bitmap);
    return 1;
}

} // namespace lsr_image

std::int32_t LoadImagePCX(const char* name, LSR_Bitmap* bitmap) {
    return lsr_image::load_with(name, "graphics/loadpcx", __LINE__, lsr_image::decode_pcx, bitmap);
}
