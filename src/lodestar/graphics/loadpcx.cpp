// The PCX reader: run-length scanlines, 8-bit with the palette at the file's end, or 3 planes.
#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"

namespace {

using namespace lsr_image;

constexpr const char* k_format = "PCX";
constexpr const char* k_tag = "graphics/loadpcx";

// The fields read, by offset (16-bit little-endian), and where the run-length data begins.
constexpr std::uint32_t k_x_max = 8, k_y_max = 10; // x-min and y-min are taken as 0
constexpr std::uint32_t k_planes = 65;             // 3: red, green and blue scanlines
constexpr std::uint32_t k_data = 128;
// An 8-bit image's palette: the file's last bytes, 256 entries of red, green, blue.
constexpr std::uint32_t k_palette_size = 768;
// A byte with both top bits set starts a run: the next byte, repeated as often as its low bits say.
constexpr std::uint32_t k_run = 0xC0, k_run_count = 0x3F;

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
    const std::uint8_t* palette = data + end;
    _dbg_printf("width: %d, height: %d, bpp: %d\n", static_cast<int>(width),
                static_cast<int>(height), truecolour ? 24 : 8);
    // Two bytes give at most 63 values.
    if (std::uint64_t{width} * height * planes > std::uint64_t{end - k_data} * 32)
        return refuse(k_format, "the header claims more pixels than the file holds");
    Canvas canvas;
    if (!canvas.create(width, height, k_format)) return 0;
    // One row of red, green, blue triples.
    const auto row = lsr::allocate_counted<std::uint8_t>(width * 3, k_tag, __LINE__);
    if (!row) return 0;

    std::uint32_t at = k_data, y = 0, plane = 0, x = 0;
    while (y < height) {
        if (at >= end) return refuse(k_format, "truncated image data");
        std::uint32_t value = data[at++], count = 1;
        if ((value & k_run) == k_run) {
            if (at >= end) return refuse(k_format, "truncated image data");
            count = value & k_run_count;
            value = data[at++];
        }
        for (; count > 0 && y < height; --count) {
            if (truecolour) {
                row[3 * x + plane] = static_cast<std::uint8_t>(value);
            } else {
                for (std::uint32_t c = 0; c < 3; ++c) row[3 * x + c] = palette[3 * value + c];
            }
            if (++x < width) continue;
            x = 0;
            if (++plane < planes) continue;
            plane = 0;
            for (std::uint32_t i = 0; i < width; ++i)
                canvas.put(static_cast<std::int32_t>(i), static_cast<std::int32_t>(y),
                           rgb(row[3 * i], row[3 * i + 1], row[3 * i + 2]));
            ++y;
        }
    }
    canvas.keep(bitmap);
    return 1;
}

} // namespace lsr_image

std::int32_t LoadImagePCX(const char* name, LSR_Bitmap* bitmap) {
    return lsr_image::load_with(name, k_tag, __LINE__, lsr_image::decode_pcx, bitmap);
}
