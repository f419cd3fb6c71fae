// Sprites: cutting with the magenta key, creating and freeing, and clipped transparent drawing
// (plain, mirrored, blended, scaled, zoomed, rotated, stereo).
#include "lodestar/graphics/sprite.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "lodestar/base/debug.h"
#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/blitters_stretch.h"
#include "lodestar/graphics/internal/blitters_transp.h"
#include "lodestar/graphics/internal/clip.h"
#include "lodestar/graphics/internal/rotation.h"
#include "lodestar/graphics/loadimage.h"

namespace {

constexpr const char* k_tag = "graphics/sprite";

using lsr::asr;
using lsr::at_page_depth;
using lsr::page_pixel_bytes;
using lsr::PagePixel;
using lsr::saturate;

// Gives the sprite w by h pixels in a cleared block of bytes_per_pixel each (so a cut that
// cannot be filled leaves it transparent, not uninitialised). An empty or oversized sprite, or
// a failed allocation, is left without pixels.
bool allocate(LSR_Sprite* sprite, std::int32_t w, std::int32_t h, int bytes_per_pixel, int line) {
    sprite->width = std::max(w, 0);
    sprite->height = std::max(h, 0);
    sprite->data = nullptr;
    const std::int64_t bytes = std::int64_t{sprite->width} * sprite->height * bytes_per_pixel;
    if (bytes == 0) return false;
    if (bytes > std::numeric_limits<std::int32_t>::max()) {
        _dbg_printf("%s(%d): cannot make a sprite of %d by %d pixels\n", k_tag, line, w, h);
        return false;
    }
    sprite->data = _wrap_malloc_dbg(static_cast<std::uint32_t>(bytes), k_tag, line);
    if (sprite->data == nullptr) return false;
    std::memset(sprite->data, 0, static_cast<std::size_t>(bytes));
    return true;
}

enum class Cut { plain, dark, tinted };

// The stored form of a source colour: 0 for the key colour; otherwise at 32 bits the colour
// less one in the opacity byte (so a loaded opacity of 0 becomes 0xFF), at 16 bits its 16-bit
// form with black raised to 1 so that it stays visible.
template <PagePixel P> P cut_pixel(std::uint32_t p, Cut kind, std::uint32_t tint) {
    if (LSR_CheckSpriteTransparency(p)) return 0;
    std::uint32_t c = p;
    if (kind == Cut::dark) {
        c = (p & 0xFEFEFEFEu) >> 1;
    } else if (kind == Cut::tinted) {
        const auto channel = [&](int shift) {
            return (((p >> shift) & 0xFFu) * ((tint >> shift) & 0xFFu)) >> 8 << shift;
        };
        c = channel(16) | channel(8) | channel(0);
    }
    if constexpr (sizeof(P) == 2) {
        const std::uint16_t q = TarnBlit_color24to16(c);
        return q != 0 ? q : 1;
    } else {
        return c - 0x01000000u;
    }
}

template <PagePixel P>
void cut(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const LSR_Bitmap& bitmap,
         LSR_Sprite* sprite, Cut kind, std::uint32_t tint) {
    // 4 bytes a pixel at either depth.
    if (!allocate(sprite, w, h, 4, __LINE__)) return;
    if (bitmap.data == nullptr || x < 0 || y < 0 || std::int64_t{x} + w > bitmap.width ||
        std::int64_t{y} + h > bitmap.height)
        return;
    P* out = static_cast<P*>(sprite->data);
    for (std::int32_t r = 0; r < h; ++r) {
        const P* row = tarnblit::pixel_at<const P>(bitmap, x, std::int64_t{y} + r);
        for (std::int32_t c = 0; c < w; ++c)
            *out++ = cut_pixel<P>(tarnblit::to_colour<P>(row[c]), kind, tint);
    }
}

void cut_any(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
             const LSR_Bitmap& bitmap, LSR_Sprite* sprite, Cut kind, std::uint32_t tint) {
    if (sprite == nullptr) return;
    at_page_depth(
        [&](auto pixel) { cut<decltype(pixel)>(x, y, w, h, bitmap, sprite, kind, tint); });
}

template <PagePixel P> using SpanBlit = void (*)(P*, const P*, const P*, std::int32_t);

template <PagePixel P> SpanBlit<P> blend_blitter(std::int8_t mode) {
    switch (mode) {
    case LSR_BLEND_MIX: return tarnblit::blit_transp_mix<P>;
    case LSR_BLEND_ADD: return tarnblit::blit_transp_add<P>;
    case LSR_BLEND_MULTIPLY: return tarnblit::blit_transp_mul<P>;
    case LSR_BLEND_MOSTLY_FIRST:
        return [](P* d, const P* a, const P* b, std::int32_t n) {
            tarnblit::blit_transp_quarter(d, a, b, n, false);
        };
    case LSR_BLEND_MOSTLY_SECOND:
        return [](P* d, const P* a, const P* b, std::int32_t n) {
            tarnblit::blit_transp_quarter(d, a, b, n, true);
        };
    default: return nullptr;
    }
}

// Whole clipped rows through the mode's transparent blitter, the destination row as its first
// source and the sprite row as its second. The plain copy, by far the commonest, is called
// directly.
template <PagePixel P>
void draw_blend(std::int32_t x, std::int32_t y, const LSR_Sprite& sprite, const LSR_Bitmap& bitmap,
                std::int8_t mode) {
    tarnblit::require_source(sprite.data, k_tag, __LINE__);
    const LSR_Bitmap src = LSR_GetBitmapFromSprite(sprite);
    if (mode == LSR_BLEND_COPY)
        return tarnblit::draw_clipped<P>(x, y, src, bitmap,
                                         [](P* d, const P* s, std::int32_t cols, auto...) {
                                             tarnblit::blit_transp(d, s, cols);
                                         });
    const SpanBlit<P> blit = blend_blitter<P>(mode);
    if (blit == nullptr) return;
    tarnblit::draw_clipped<P>(
        x, y, src, bitmap,
        [blit](P* d, const P* s, std::int32_t cols, auto...) { blit(d, d, s, cols); });
}

// Destination column x + i shows source column w - 1 - i.
template <PagePixel P>
void draw_mirrored(std::int32_t x, std::int32_t y, const LSR_Sprite& sprite,
                   const LSR_Bitmap& bitmap) {
    tarnblit::require_source(sprite.data, k_tag, __LINE__);
    const LSR_Bitmap src = LSR_GetBitmapFromSprite(sprite);
    tarnblit::walk_clipped<P>(x, y, src.width, src.height, bitmap,
                              [&](P* d, std::int32_t cols, std::int64_t sx, std::int64_t sy) {
                                  tarnblit::blit_transp_reversed(
                                      d, tarnblit::pixel_at<const P>(src, src.width - 1 - sx, sy),
                                      cols);
                              });
}

// Stretched through the transparent stretch span; a sprite or target without pixels draws
// nothing.
template <PagePixel P>
void draw_scaled(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                 const LSR_Sprite& sprite, const LSR_Bitmap& bitmap) {
    tarnblit::walk_scaled<P>(
        x, y, dw, dh, LSR_GetBitmapFromSprite(sprite), bitmap,
        [](P* d, const P* s, std::int32_t cols, const tarnblit::ScaledRow& at) {
            tarnblit::stretch<P, true>(d, s, cols, at.x, at.xstep);
        });
}

// Rotation about the sprite's point (cx, cy): a square of side 2 * max(w, h) around it is
// walked, and each of its pixels mapped back into the sprite.
template <PagePixel P>
void draw_rotated(std::int32_t x, std::int32_t y, const LSR_Sprite& sprite,
                  const LSR_Bitmap& bitmap, std::int32_t angle, std::int32_t zoom, std::int64_t cx,
                  std::int64_t cy) {
    tarnblit::require_source(sprite.data, k_tag, __LINE__);
    const LSR_Bitmap src = LSR_GetBitmapFromSprite(sprite);
    if (src.width <= 0 || src.height <= 0) return;
    const std::int64_t w = src.width, h = src.height;
    const std::int64_t side = 2 * std::max(w, h);
    const std::int64_t left = x - (((side - w) >> 1) + ((w >> 1) - cx));
    const std::int64_t top = y - (((side - h) >> 1) + ((h >> 1) - cy));
    tarnblit::draw_turned<P>(src, bitmap, left, top, side,
                             tarnblit::turn(spriterotate_sincos, angle, zoom), cx, cy,
                             [](P& d, P s) {
                                 if (tarnblit::is_opaque(s)) d = s;
                             });
}

} // namespace

constexpr std::array<std::int32_t, 450> spriterotate_sincos = tarnblit::build_sincos();

std::int32_t LSR_CheckSpriteTransparency(std::uint32_t colour) {
    const std::uint32_t red = (colour >> 16) & 0xFFu, green = (colour >> 8) & 0xFFu;
    const std::uint32_t blue = colour & 0xFFu;
    return red > 240 && green < 16 && blue > 240 ? 1 : 0;
}

// Right and bottom edges are exclusive: rectangles that only touch do not collide.
std::int32_t LSR_CheckSpriteCollision(std::int32_t ax, std::int32_t ay, std::int32_t aw,
                                      std::int32_t ah, std::int32_t bx, std::int32_t by,
                                      std::int32_t bw, std::int32_t bh) {
    const std::int64_t x = bx, y = by;
    return x - aw < ax && y - ah < ay && x + bw > ax && y + bh > ay ? 1 : 0;
}

void LSR_GetSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   LSR_Bitmap bitmap, LSR_Sprite* sprite) {
    cut_any(x, y, w, h, bitmap, sprite, Cut::plain, 0);
}

void LSR_GetDarkSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       LSR_Bitmap bitmap, LSR_Sprite* sprite) {
    cut_any(x, y, w, h, bitmap, sprite, Cut::dark, 0);
}

void LSR_GetColorSprite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        std::uint32_t tint, LSR_Bitmap bitmap, LSR_Sprite* sprite) {
    cut_any(x, y, w, h, bitmap, sprite, Cut::tinted, tint);
}

void CreateMaskedSprite(std::int32_t w, std::int32_t h, const void* source, LSR_Sprite* sprite,
                        std::uint32_t mask) {
    if (sprite == nullptr || !allocate(sprite, w, h, page_pixel_bytes(), __LINE__) ||
        source == nullptr)
        return;
    const std::size_t n = static_cast<std::size_t>(sprite->width) * sprite->height;
    at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        const P m = tarnblit::from_colour<P>(mask);
        const auto* in = static_cast<const P*>(source);
        auto* out = static_cast<P*>(sprite->data);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<P>(in[i] & m);
    });
}

// An image that does not load gives an empty sprite.
void LSR_LoadSprite(const char* name, LSR_Sprite* sprite) {
    if (sprite == nullptr) return;
    LSR_Bitmap image;
    LSR_LoadBitmap(name, &image);
    LSR_GetSprite(0, 0, image.width, image.height, image, sprite);
    LSR_DeleteBitmap(&image);
}

void LSR_CreateSprite(std::int32_t w, std::int32_t h, LSR_Sprite* sprite) {
    if (sprite != nullptr) allocate(sprite, w, h, page_pixel_bytes(), __LINE__);
}

void LSR_ClearSprite(LSR_Sprite sprite) {
    const LSR_Bitmap bitmap = LSR_GetBitmapFromSprite(sprite);
    if (bitmap.data != nullptr && bitmap.size > 0)
        std::memset(bitmap.data, 0, static_cast<std::size_t>(bitmap.size));
}

void LSR_DeleteSprite(LSR_Sprite* sprite) {
    if (sprite == nullptr || sprite->data == nullptr) return;
    _wrap_free_dbg(sprite->data, k_tag, __LINE__);
    sprite->data = nullptr;
}

LSR_Bitmap LSR_GetBitmapFromSprite(LSR_Sprite sprite) {
    LSR_Bitmap bitmap;
    bitmap.width = std::max(sprite.width, 0);
    bitmap.height = std::max(sprite.height, 0);
    const std::int64_t pixels = std::int64_t{bitmap.width} * bitmap.height;
    bitmap.pixels = saturate(pixels);
    bitmap.size = saturate(pixels * page_pixel_bytes());
    bitmap.data = sprite.data;
    return bitmap;
}

void LSR_DrawSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap) {
    LSR_DrawBlendSprite(x, y, sprite, bitmap, 0);
}

void LSR_DrawMirroredSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap) {
    at_page_depth([&](auto pixel) { draw_mirrored<decltype(pixel)>(x, y, sprite, bitmap); });
}

void LSR_DrawBlendSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int8_t mode) {
    at_page_depth([&](auto pixel) { draw_blend<decltype(pixel)>(x, y, sprite, bitmap, mode); });
}

void LSR_DrawScaledSprite(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                          LSR_Sprite sprite, LSR_Bitmap bitmap) {
    at_page_depth([&](auto pixel) { draw_scaled<decltype(pixel)>(x, y, dw, dh, sprite, bitmap); });
}

void DrawScaledSprite16(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                        LSR_Sprite sprite, LSR_Bitmap bitmap) {
    draw_scaled<std::uint16_t>(x, y, dw, dh, sprite, bitmap);
}

void DrawScaledSprite32(std::int32_t x, std::int32_t y, std::int32_t dw, std::int32_t dh,
                        LSR_Sprite sprite, LSR_Bitmap bitmap) {
    draw_scaled<std::uint32_t>(x, y, dw, dh, sprite, bitmap);
}

void LSR_DrawZoomedSprite(std::int32_t x, std::int32_t y, std::int32_t zoom, LSR_Sprite sprite,
                          LSR_Bitmap bitmap) {
    LSR_DrawScaledSprite(x, y, tarnblit::zoomed_side(sprite.width, zoom),
                         tarnblit::zoomed_side(sprite.height, zoom), sprite, bitmap);
}

void LSR_DrawRotatedSprite(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle) {
    LSR_DrawRotatedSpriteZoom(x, y, sprite, bitmap, angle, 128);
}

// About the sprite's centre, as the XY draws about (w >> 1, h >> 1).
void LSR_DrawRotatedSpriteZoom(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                               std::int32_t angle, std::int32_t zoom) {
    LSR_DrawRotatedSpriteXY(x, y, sprite, bitmap, angle, zoom, sprite.width >> 1,
                            sprite.height >> 1);
}

void DrawRotatedSprite16(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int32_t angle, std::int32_t zoom) {
    DrawRotatedSpriteXY16(x, y, sprite, bitmap, angle, zoom, sprite.width >> 1, sprite.height >> 1);
}

void DrawRotatedSprite32(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                         std::int32_t angle, std::int32_t zoom) {
    DrawRotatedSpriteXY32(x, y, sprite, bitmap, angle, zoom, sprite.width >> 1, sprite.height >> 1);
}

void LSR_DrawRotatedSpriteXY(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                             std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                             std::int32_t cy) {
    at_page_depth([&](auto pixel) {
        draw_rotated<decltype(pixel)>(x, y, sprite, bitmap, angle, zoom, cx, cy);
    });
}

void DrawRotatedSpriteXY16(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                           std::int32_t cy) {
    draw_rotated<std::uint16_t>(x, y, sprite, bitmap, angle, zoom, cx, cy);
}

void DrawRotatedSpriteXY32(std::int32_t x, std::int32_t y, LSR_Sprite sprite, LSR_Bitmap bitmap,
                           std::int32_t angle, std::int32_t zoom, std::int32_t cx,
                           std::int32_t cy) {
    draw_rotated<std::uint32_t>(x, y, sprite, bitmap, angle, zoom, cx, cy);
}

// Both eyes at depth + 100 percent, pushed apart by (depth - 100) / 16 each way.
void LSR_DrawSprite3D(std::int32_t x, std::int32_t y, std::int32_t depth, LSR_Sprite sprite,
                      LSR_Bitmap left, LSR_Bitmap right) {
    const std::int64_t offset = asr(std::int64_t{depth} - 100, 4);
    const std::int32_t zoom = saturate(std::int64_t{depth} + 100);
    LSR_DrawZoomedSprite(saturate(x - offset), y, zoom, sprite, left);
    LSR_DrawZoomedSprite(saturate(x + offset), y, zoom, sprite, right);
}
