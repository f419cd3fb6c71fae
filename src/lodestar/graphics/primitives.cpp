// Pixels, spans, lines, Bezier curves, boxes and circles, each clipped to its target bitmap.
#include "lodestar/graphics/primitives.h"

#include <algorithm>

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/base/internal/page_depth.h"
#include "lodestar/graphics/internal/blend.h"
#include "lodestar/graphics/internal/blitters_std.h"

std::uint8_t LSR_opacity = 255;
LSR_Bitmap LSR_texture1;
LSR_Bitmap LSR_texture2;

namespace {

using lsr::PagePixel;

using lsr::asr;

// Indices past the table's end count as 0 (the radius-1 outline reaches 1024).
std::int64_t circle_entry(std::int64_t index) {
    return index >= 0 && index < 1024 ? LSR_circletab[index] : 0;
}

// One target bitmap at one depth, with the drawing colour. Coordinates are 64-bit so that
// no position plus an offset can overflow; every write is clipped here.
template <PagePixel P> struct Canvas {
    LSR_Bitmap bitmap;
    std::uint32_t colour;
    P pixel;

    Canvas(const LSR_Bitmap& target, std::uint32_t c)
        : bitmap(target), colour(c), pixel(tarnblit::from_colour<P>(c)) {}

    bool inside(std::int64_t x, std::int64_t y) const {
        return x >= 0 && x < bitmap.width && y >= 0 && y < bitmap.height;
    }

    void plot(std::int64_t x, std::int64_t y) const {
        if (inside(x, y)) *tarnblit::pixel_at<P>(bitmap, x, y) = pixel;
    }

    // count pixels from (x, y); the caller has clipped the run.
    void fill_row(std::int64_t x, std::int64_t count, std::int64_t y) const {
        tarnblit::fill_pixels(tarnblit::pixel_at<P>(bitmap, x, y), count, pixel);
    }

    // A span whose clipped end is not past its clipped start draws nothing, not one pixel.
    void hline(std::int64_t x1, std::int64_t x2, std::int64_t y) const {
        const std::int64_t xs = std::max<std::int64_t>(x1, 0);
        const std::int64_t xe = x2 < bitmap.width ? x2 : std::int64_t{bitmap.width} - 1;
        if (y < 0 || y >= bitmap.height || xe - xs <= 0) return;
        fill_row(xs, xe - xs + 1, y);
    }

    void blend(std::int64_t x, std::int64_t y, std::int32_t mode) const {
        if (!inside(x, y)) return;
        P* p = tarnblit::pixel_at<P>(bitmap, x, y);
        switch (mode) {
        case LSR_PIXEL_SET: *p = pixel; break;
        case LSR_PIXEL_AVERAGE: *p = tarnblit::average<P>(*p, pixel); break;
        case LSR_PIXEL_ADD: *p = tarnblit::add_clamped<P>(*p, pixel); break;
        default: break;
        }
    }
};

// Runs draw on the bitmap at the page depth; a bitmap without pixels takes nothing.
template <class Draw> void on_canvas(const LSR_Bitmap& bitmap, std::uint32_t colour, Draw&& draw) {
    if (bitmap.data == nullptr) return;
    lsr::at_page_depth([&](auto pixel) { draw(Canvas<decltype(pixel)>(bitmap, colour)); });
}

// The steps along one axis, from start by sign (+1 or -1) a step, that stay in [0, limit),
// within the first total steps; empty when first > last.
struct StepRange {
    std::int64_t first, last;
};
constexpr StepRange inside(std::int64_t start, std::int64_t sign, std::int64_t limit,
                           std::int64_t total) {
    const std::int64_t low = sign > 0 ? -start : start - (limit - 1);
    const std::int64_t high = sign > 0 ? limit - 1 - start : start;
    return {std::max<std::int64_t>(low, 0), std::min(high, total)};
}

// A Bresenham line counted along its major axis: after i of its major steps it has made
// floor((2 minor i + major) / (2 major)) minor ones (major > 0).
struct Slope {
    std::uint64_t major, minor;

    std::uint64_t minor_after(std::uint64_t i) const {
        const lsr::QuotRem q = lsr::mul_div(minor, i, major);
        return q.quot + (2 * q.rem >= major ? 1 : 0);
    }
    // The first major step after which k minor steps are made, 1 <= k <= minor:
    // the least i with 2 minor i >= major (2k - 1).
    std::uint64_t first_with(std::uint64_t k) const {
        const lsr::QuotRem q = lsr::mul_div(major, 2 * k - 1, 2 * minor);
        return q.quot + (q.rem != 0 ? 1 : 0);
    }
};

// Bresenham, both end points included; ties of dx and dy step along x. The steps that land
// inside the bitmap are found once, from where the line crosses its edges, and walked without
// a test; where the line starts, and so every pixel it draws, stays as it was.
template <class C>
void line(const C& c, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    const std::int64_t dx = x2 > x1 ? x2 - x1 : x1 - x2;
    const std::int64_t dy = y2 > y1 ? y2 - y1 : y1 - y2;
    const std::int64_t sx = x1 > x2 ? -1 : 1, sy = y1 > y2 ? -1 : 1;
    const bool x_major = dx >= dy;
    const std::int64_t major = x_major ? dx : dy, minor = x_major ? dy : dx;
    if (major == 0) return c.plot(x1, y1);
    const std::int64_t w = c.bitmap.width, h = c.bitmap.height;

    // Steps whose major coordinate is inside, then those whose minor one is.
    const StepRange along = x_major ? inside(x1, sx, w, major) : inside(y1, sy, h, major);
    const StepRange across = x_major ? inside(y1, sy, h, minor) : inside(x1, sx, w, minor);
    if (along.first > along.last || across.first > across.last) return;
    const Slope slope{static_cast<std::uint64_t>(major), static_cast<std::uint64_t>(minor)};
    std::int64_t first = along.first, last = along.last;
    if (across.first > 0)
        first = std::max(first, static_cast<std::int64_t>(slope.first_with(across.first)));
    if (across.last < minor)
        last = std::min(last, static_cast<std::int64_t>(slope.first_with(across.last + 1)) - 1);
    if (first > last) return;

    // The state after first steps; the decision is formed in wrapping words, its value is small.
    const auto i = static_cast<std::uint64_t>(first);
    const std::uint64_t k = slope.minor_after(i);
    const auto m = static_cast<std::uint64_t>(minor), M = static_cast<std::uint64_t>(major);
    auto d = static_cast<std::int64_t>(2 * m * (i + 1) - M - 2 * M * k);
    const std::int64_t ki = static_cast<std::int64_t>(k), fi = first;
    const std::int64_t x = x1 + sx * (x_major ? fi : ki), y = y1 + sy * (x_major ? ki : fi);

    // Indices of the pixels, a major step and a minor step apart; the one after the last is
    // formed but never used.
    const std::int64_t step_x = sx, step_y = sy * w;
    const std::int64_t straight = x_major ? step_x : step_y, sideways = x_major ? step_y : step_x;
    const std::int64_t grow = 2 * minor, turn = 2 * (minor - major);
    auto* pixels = static_cast<decltype(c.pixel)*>(c.bitmap.data);
    std::int64_t at = y * w + x;
    const std::int64_t diagonal = straight + sideways;
    for (std::int64_t n = last - first; n >= 0; --n) {
        pixels[at] = c.pixel;
        const bool stay = d < 0; // a straight step; a diagonal one otherwise
        at += stay ? straight : diagonal;
        d += stay ? grow : turn;
    }
}

struct Cubic {
    std::int64_t k3, k2, k1, p0;
};

constexpr Cubic cubic(std::int64_t p0, std::int64_t p1, std::int64_t p2, std::int64_t p3) {
    return {p3 - 3 * p2 + 3 * p1 - p0, 3 * p0 - 6 * p1 + 3 * p2, 3 * (p1 - p0), p0};
}

// t in 8-bit fixed point, 256 the end of the curve.
constexpr std::int64_t at(const Cubic& k, std::int64_t t) {
    return asr((asr((asr(k.k3 * t, 8) + k.k2) * t, 8) + k.k1) * t, 8) + k.p0;
}

} // namespace

std::uint32_t LSR_GetPixel(std::int32_t x, std::int32_t y, LSR_Bitmap bitmap) {
    if (bitmap.data == nullptr || x < 0 || x >= bitmap.width || y < 0 || y >= bitmap.height)
        return 0;
    return lsr::at_page_depth([&](auto pixel) {
        return tarnblit::get(tarnblit::pixel_at<const decltype(pixel)>(bitmap, x, y));
    });
}

void LSR_DrawPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, LSR_Bitmap bitmap) {
    on_canvas(bitmap, colour, [&](const auto& c) { c.plot(x, y); });
}

void LSR_DrawHLine(std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t colour,
                   LSR_Bitmap bitmap) {
    on_canvas(bitmap, colour, [&](const auto& c) { c.hline(x1, x2, y); });
}

// Pixel by pixel, each clipped; only the rows inside the bitmap are visited.
void LSR_DrawVLine(std::int32_t x, std::int32_t y1, std::int32_t y2, std::uint32_t colour,
                   LSR_Bitmap bitmap) {
    if (x < 0 || x >= bitmap.width || std::int64_t{y2} - y1 <= 0) return;
    on_canvas(bitmap, colour, [&](const auto& c) {
        const std::int64_t last = std::min<std::int64_t>(y2, std::int64_t{bitmap.height} - 1);
        for (std::int64_t y = std::max<std::int64_t>(y1, 0); y <= last; ++y) c.plot(x, y);
    });
}

void LSR_DrawBlendPixel(std::int32_t x, std::int32_t y, std::uint32_t colour, LSR_Bitmap bitmap,
                        std::int32_t mode) {
    on_canvas(bitmap, colour, [&](const auto& c) { c.blend(x, y, mode); });
}

void LSR_DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t colour, LSR_Bitmap bitmap) {
    on_canvas(bitmap, colour, [&](const auto& c) { line(c, x1, y1, x2, y2); });
}

// A chain of lines through the points at t = 0, s, 2s ... while t <= 256.
void LSR_DrawBezier(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    std::int32_t x2, std::int32_t y2, std::int32_t x3, std::int32_t y3,
                    std::int32_t steps, std::uint32_t colour, LSR_Bitmap bitmap) {
    const std::int64_t step = 64 / std::clamp<std::int32_t>(steps, 1, 64);
    const Cubic kx = cubic(x0, x1, x2, x3), ky = cubic(y0, y1, y2, y3);
    on_canvas(bitmap, colour, [&](const auto& c) {
        std::int64_t px = x0, py = y0;
        for (std::int64_t t = step; t <= 256; t += step) {
            const std::int64_t nx = at(kx, t), ny = at(ky, t);
            line(c, px, py, nx, ny);
            px = nx;
            py = ny;
        }
    });
}

// The outline of exactly the rectangle LSR_DrawFilledBox fills; an empty one draws nothing.
void LSR_DrawBox(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::uint32_t colour, LSR_Bitmap bitmap) {
    if (w == 0 || h == 0) return;
    const std::int64_t x1 = w < 0 ? std::int64_t{x} + w : x, x2 = w < 0 ? x : std::int64_t{x} + w;
    const std::int64_t y1 = h < 0 ? std::int64_t{y} + h : y, y2 = h < 0 ? y : std::int64_t{y} + h;
    if (x2 < 0 || y2 < 0 || x1 >= bitmap.width || y1 >= bitmap.height) return;
    on_canvas(bitmap, colour, [&](const auto& c) {
        line(c, x1, y1, x2 - 1, y1);
        line(c, x1, y2 - 1, x2 - 1, y2 - 1);
        line(c, x1, y1, x1, y2 - 1);
        line(c, x2 - 1, y1, x2 - 1, y2 - 1);
    });
}

void LSR_DrawFilledBox(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       std::uint32_t colour, LSR_Bitmap bitmap) {
    const std::int64_t xs = std::max(x, 0), ys = std::max(y, 0);
    const std::int64_t xe = std::min<std::int64_t>(std::int64_t{x} + std::max(w, 0), bitmap.width);
    const std::int64_t ye = std::min<std::int64_t>(std::int64_t{y} + std::max(h, 0), bitmap.height);
    if (xe < 0 || ye < 0 || xs >= bitmap.width || ys >= bitmap.height) return;
    on_canvas(bitmap, colour, [&](const auto& c) {
        // Rows as wide as the bitmap follow each other: one run fills them all.
        if (xe - xs == bitmap.width) return c.fill_row(xs, (xe - xs) * (ye - ys), ys);
        for (std::int64_t row = ys; row < ye; ++row) c.fill_row(xs, xe - xs, row);
    });
}

// Eight points per step along one octant; the first step sits one pixel inside the radius.
void LSR_DrawCircle(std::int32_t x, std::int32_t y, std::int32_t r, std::uint32_t colour,
                    LSR_Bitmap bitmap) {
    const std::int64_t radius = r, step = radius >= 1 ? 65536 / radius : 0;
    on_canvas(bitmap, colour, [&](const auto& c) {
        std::int64_t a = 0, acc = 0, b = radius - 1;
        do {
            c.plot(x + a, y + b);
            c.plot(x - a, y + b);
            c.plot(x + a, y - b);
            c.plot(x - a, y - b);
            c.plot(x + b, y + a);
            c.plot(x - b, y + a);
            c.plot(x + b, y - a);
            c.plot(x - b, y - a);
            ++a;
            acc += step;
            b = asr(radius * circle_entry(acc >> 6), 16);
        } while (a <= b);
    });
}

// Four spans per step; the single-pixel spans of the first step (rows y +- r) draw nothing.
// Radii up to 3 are fixed small shapes.
void LSR_DrawFilledCircle(std::int32_t x, std::int32_t y, std::int32_t r, std::uint32_t colour,
                          LSR_Bitmap bitmap) {
    const std::int64_t radius = r < 0 ? -std::int64_t{r} : r;
    on_canvas(bitmap, colour, [&](const auto& c) {
        if (radius <= 1) {
            c.plot(x, y);
            return;
        }
        if (radius <= 3) {
            c.plot(x, y);
            c.plot(std::int64_t{x} + 1, y);
            c.plot(x, std::int64_t{y} + 1);
            c.plot(std::int64_t{x} + 1, std::int64_t{y} + 1);
            return;
        }
        const std::int64_t step = 65536 / radius;
        std::int64_t a = 0, acc = 0, b = radius;
        while (a <= b) {
            c.hline(x - a, x + a, y + b);
            c.hline(x - a, x + a, y - b);
            c.hline(x - b, x + b, y + a);
            c.hline(x - b, x + b, y - a);
            ++a;
            acc += step;
            b = (radius * circle_entry(acc >> 6)) >> 16;
        }
    });
}

void LSR_SetPrimitiveOpacity(std::uint8_t opacity) {
    LSR_opacity = opacity;
}

void LSR_SetPrimitiveTexture(LSR_Bitmap bitmap) {
    LSR_texture1 = bitmap;
}

// Only the second bitmap is kept: nothing reads a second texture slot.
void LSR_SetPrimitiveDualTexture(LSR_Bitmap, LSR_Bitmap b) {
    LSR_texture1 = b;
}
