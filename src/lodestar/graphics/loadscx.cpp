// The RIX/SCX reader: 8 bits per pixel through a palette of 6-bit channels.
#include "lodestar/base/debug.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"

namespace {

constexpr const char* k_format = "SCX";
// A 10-byte header (width and height, 16-bit little-endian, at 4 and 6), 256 palette entries of
// 6-bit red, green, blue, then one palette index a pixel.
constexpr std::uint32_t k_width = 4, k_height = 6;
constexpr std::uint32_t k_palette_at = 10, k_pixels_at = k_palette_at + 768;

} // namespace

namespace lsr_image {

std::int32_t decode_scx(const std::uint8_t* data, std::uint32_t size, LSR_Bitmap* bitmap) {
    const Bytes b{data, size};
    if (!b.has(0, k_pixels_at)) return refuse(k_format, "file too short for its header");
    const std::uint32_t width = b.u16(k_width), height = b.u16(k_height);
    if (!b.has(k_pixels_at, std::uint64_t{width} * height))
        return refuse(k_format, "the header claims more pixels than the file holds");
    std::uint32_t palette[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint8_t* p = data + k_palette_at + 3 * i;
        palette[i] = k_opaque | std::uint32_t{p[0]} << 18 | std::uint32_t{p[1]} << 10 |
                     std::uint32_t{p[2]} << 2;
    }
    Canvas canvas;
    if (!canvas.create(width, height, k_format)) return 0;
    _dbg_printf("width: %d, height: %d, bpp: 8\n", static_cast<int>(width),
                static_cast<int>(height));
    const bool filled =
        canvas.fill({.bottom_up = false, .mirrored = false}, k_format, [&](const auto& rows) {
            for (std::uint32_t y = 0; y < height; ++y)
                rows.row(y, [&](std::uint32_t* out) {
                    indexed_row(data + k_pixels_at + std::size_t{y} * width, palette, out, width);
                    return true;
                });
            return true;
        });
    if (!filled) return 0;
    canvas.keep(bitmap);
    return 1;
}

} // namespace lsr_image

std::int32_t LoadImageSCX(const char* name, LSR_Bitmap* bitmap) {
    return lsr_image::load_with(name, "graphics/loadscx", __LINE__, lsr_image::decode_scx, bitmap);
}
