// Bitmaps: create, delete, copy, clear, fill, clipped drawing and the 2x enlargement filters.
#include "lodestar/graphics/bitmap.h"

#include <cstring>
#include <limits>

#include "lodestar/base/debug.h"
#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/clip.h"
#include "lodestar/graphics/internal/has_data.h"

namespace {

constexpr const char* k_tag = "graphics/bitmap";

using lsr::PagePixel;

// Row by row, top to bottom. Rows as wide as both bitmaps follow each other in both, so they
// are one run: copied at once, with the same result as row by row.
template <PagePixel P>
void draw_bitmap(std::int32_t x, std::int32_t y, const LSR_Bitmap& src, const LSR_Bitmap& dst) {
    tarnblit::require_source(src.data, k_tag, sizeof(P) == 2 ? 214 : 250);
    tarnblit::Clip c;
    if (!tarnblit::clip_rect(x, y, src.width, src.height, dst, c)) return;
    P* d = tarnblit::pixel_at<P>(dst, c.dst_x, c.dst_y);
    const P* s = tarnblit::pixel_at<const P>(src, c.src_x, c.src_y);
    if (c.cols == src.width && c.cols == dst.width) return tarnblit::copy(d, s, c.cols * c.rows);
    for (std::int64_t r = 0; r < c.rows; ++r, d += dst.width, s += src.width)
        tarnblit::copy(d, s, c.cols);
}

} // namespace

void LSR_CreateBitmap(std::int32_t width, std::int32_t height, LSR_Bitmap* bitmap) {
    if (bitmap == nullptr) return;
    const std::int32_t pixel_bytes = lsr::page_pixel_bytes();
    const int line = pixel_bytes == 2 ? 59 : 62;
    const std::int64_t pixels = std::int64_t{width} * height;
    const std::int64_t bytes = pixels * pixel_bytes;
    bitmap->width = width;
    bitmap->height = height;
    // A negative side or a block past the 32-bit size field makes an empty bitmap instead of a
    // wrapped size that would later be written past.
    if (width < 0 || height < 0 || bytes > std::numeric_limits<std::int32_t>::max()) {
        _dbg_printf("%s(%d): cannot create a bitmap of %d by %d pixels\n", k_tag, line, width,
                    height);
        bitmap->pixels = 0;
        bitmap->size = 0;
        bitmap->data = nullptr;
        return;
    }
    bitmap->pixels = static_cast<std::int32_t>(pixels);
    bitmap->size = static_cast<std::int32_t>(bytes);
    bitmap->data = _wrap_malloc_dbg(static_cast<std::uint32_t>(bytes), k_tag, line);
}

void LSR_DeleteBitmap(LSR_Bitmap* bitmap) {
    if (bitmap == nullptr || bitmap->data == nullptr) return;
    _dbg_printf("deleting bitmap\n");
    _wrap_free_dbg(bitmap->data, k_tag, 71);
    bitmap->data = nullptr;
}

void LSR_CopyBitmap(LSR_Bitmap src, LSR_Bitmap dst) {
    if (!tarnblit::has_data(src, dst)) return;
    if (src.size == dst.size && src.size > 0)
        std::memcpy(dst.data, src.data, static_cast<std::size_t>(src.size));
}

void LSR_ClearBitmap(LSR_Bitmap bitmap) {
    if (bitmap.data != nullptr && bitmap.size > 0)
        std::memset(bitmap.data, 0, static_cast<std::size_t>(bitmap.size));
}

void LSR_ClearColorBitmap(LSR_Bitmap bitmap, std::uint32_t colour) {
    if (bitmap.data == nullptr || bitmap.pixels <= 0) return;
    lsr::at_page_depth([&](auto pixel) {
        tarnblit::fill(static_cast<decltype(pixel)*>(bitmap.data), bitmap.pixels, colour);
    });
}

void LSR_DrawBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst) {
    if (!tarnblit::has_data(src, dst)) return;
    lsr::at_page_depth([&](auto pixel) { draw_bitmap<decltype(pixel)>(x, y, src, dst); });
}

void DrawBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst) {
    draw_bitmap<std::uint16_t>(x, y, src, dst);
}

void DrawBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst) {
    draw_bitmap<std::uint32_t>(x, y, src, dst);
}

void LSR_ScaleBitmap2x(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode) {
    if (!tarnblit::has_data(src, dst)) return;
    if (!LSR_Is16Bit()) LSR_ScaleBitmap2x32(src, dst, mode);
}

// Each source position makes the 2 by 2 block at its doubled position (one row lower in the
// smoothing mode). A destination smaller than twice the source is left alone rather than
// written past its end.
void LSR_ScaleBitmap2x32(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode) {
    if (src.data == nullptr || dst.data == nullptr || src.width <= 0 || src.height <= 0) return;
    if (std::int64_t{dst.width} < 2 * std::int64_t{src.width} ||
        std::int64_t{dst.height} < 2 * std::int64_t{src.height})
        return;
    const std::int64_t w = src.width, h = src.height, stride = dst.width;
    const auto S = [&](std::int64_t x, std::int64_t y) {
        return *tarnblit::pixel_at<const std::uint32_t>(src, x, y);
    };
    const auto block = [&](std::int64_t x, std::int64_t y, std::uint32_t tl, std::uint32_t tr,
                           std::uint32_t bl, std::uint32_t br) {
        std::uint32_t* p = tarnblit::pixel_at<std::uint32_t>(dst, x, y);
        p[0] = tl;
        p[1] = tr;
        p[stride] = bl;
        p[stride + 1] = br;
    };
    const auto average = tarnblit::average<std::uint32_t>;

    if (mode <= LSR_SCALE2X_DOUBLE) {
        for (std::int64_t y = 0; y < h; ++y)
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint32_t p = S(x, y);
                block(2 * x, 2 * y, p, p, p, p);
            }
    } else if (mode == LSR_SCALE2X_SMOOTH) {
        for (std::int64_t y = 0; y + 1 < h; ++y)
            for (std::int64_t x = 0; x + 1 < w; ++x) {
                const std::uint32_t p = S(x, y);
                block(2 * x, 2 * y + 1, p, average(p, S(x + 1, y)), average(p, S(x, y + 1)),
                      average(p, S(x + 1, y + 1)));
            }
    } else if (mode <= LSR_SCALE2X_CHECKERS) {
        for (std::int64_t y = 1; y + 1 < h; ++y)
            for (std::int64_t x = 1; x + 1 < w; ++x) {
                const std::uint32_t E = S(x, y), B = S(x, y - 1), D = S(x - 1, y), F = S(x + 1, y),
                                    H = S(x, y + 1);
                if (mode == LSR_SCALE2X_CHECKERS) {
                    const std::uint32_t A = S(x - 1, y - 1), I = S(x + 1, y + 1);
                    const bool lower_right = E == I && F == H && E != F && H != I;
                    const bool upper_left = E == A && D == B && E != D && A != B;
                    if (lower_right || upper_left) {
                        if ((x - 1) % 2 == (y - 1) % 2)
                            block(2 * x, 2 * y, E, F, F, E);
                        else
                            block(2 * x, 2 * y, F, E, E, F);
                        continue;
                    }
                }
                if (B != H && D != F)
                    block(2 * x, 2 * y, D == B ? D : E, B == F ? F : E, D == H ? D : E,
                          H == F ? F : E);
                else
                    block(2 * x, 2 * y, E, E, E, E);
            }
    }
}
