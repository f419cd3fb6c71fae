// Turning a picture about a point: the sine table's rule and the walk over a rotated box.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/blitters_std.h"
#include "lodestar/graphics/internal/clip.h"

namespace tarnblit {

// sin(d degrees) for 0 <= d <= 90 by its Taylor series; far more terms than a double needs.
constexpr double sine_quadrant(int d) {
    if (d == 0) return 0.0;
    if (d == 90) return 1.0;
    const double x = d * (3.14159265358979323846 / 180.0);
    double term = x, sum = x;
    for (int n = 1; n < 16; ++n) {
        term *= -x * x / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

// Whole degrees are folded into the first quadrant exactly, so 180 and 360 give 0 exactly.
constexpr double sine_degrees(int d) {
    d %= 360;
    if (d <= 90) return sine_quadrant(d);
    if (d <= 180) return sine_quadrant(180 - d);
    if (d <= 270) return -sine_quadrant(d - 180);
    return -sine_quadrant(360 - d);
}

// Entry i: -32767 * sin(i degrees), truncated toward zero; entry a + 90 is minus the cosine.
constexpr std::array<std::int32_t, 450> build_sincos() {
    std::array<std::int32_t, 450> table{};
    for (int i = 0; i < 450; ++i) table[i] = static_cast<std::int32_t>(-32767.0 * sine_degrees(i));
    return table;
}

// Any whole number of degrees as 0..359.
constexpr std::int32_t reduce_angle(std::int32_t angle) {
    const std::int32_t a = angle % 360;
    return a < 0 ? a + 360 : a;
}

// The per-pixel source steps of a turn, in 8-bit fixed point: a is about -256 sin, b about
// 256 cos at zoom 128. A zoom of 0 counts as 1.
struct Turn {
    std::int64_t a = 0, b = 0;
};

inline Turn turn(const std::array<std::int32_t, 450>& sincos, std::int32_t angle,
                 std::int32_t zoom) {
    const std::int32_t deg = reduce_angle(angle);
    const std::int64_t z = zoom == 0 ? 1 : zoom;
    return {sincos[deg] / z, -std::int64_t{sincos[deg + 90]} / z};
}

// The steps k of a walk u + k step, 0 <= k < count, that stay within 0 <= value < limit: a run
// [first, end), empty when first >= end.
struct Steps {
    std::int64_t first, end;
};
constexpr Steps steps_within(std::int64_t u, std::int64_t step, std::int64_t limit,
                             std::int64_t count) {
    if (step == 0) return u >= 0 && u < limit ? Steps{0, count} : Steps{0, 0};
    // 0 <= u + k step <= limit - 1, solved for k.
    const std::int64_t s = step > 0 ? step : -step;
    const std::int64_t lo = step > 0 ? -u : u - (limit - 1), hi = step > 0 ? limit - 1 - u : u;
    return {std::max<std::int64_t>(0, lsr::ceil_div(lo, s)),
            std::min(count, lsr::floor_div(hi, s) + 1)};
}

// Walks the square box of the given side whose top-left is (left, top) on dst, clipped to it.
// Box pixel (i, j), taken relative to the box centre, maps back to source pixel
// ((i B - j A) >> 8 + cx, (i A + j B) >> 8 + cy); put(destination, source pixel) runs for each
// one inside the source. Along a row the source position moves in a straight line, so the pixels
// that land inside the source are one run, found once per row; the products are carried by
// addition, offset by the centre so that a position inside is never negative.
template <PagePixel P, class Put>
void draw_turned(const LSR_Bitmap& src, const LSR_Bitmap& dst, std::int64_t left, std::int64_t top,
                 std::int64_t side, const Turn& t, std::int64_t cx, std::int64_t cy, Put put) {
    if (src.data == nullptr) return;
    const std::int64_t half = side >> 1, w = src.width, h = src.height;
    walk_clipped<P>(left, top, side, side, dst,
                    [&](P* d, std::int32_t cols, std::int64_t bx, std::int64_t by) {
                        const std::int64_t i = bx - half, j = by - half;
                        std::int64_t ux = i * t.b - j * t.a + cx * 256;
                        std::int64_t uy = i * t.a + j * t.b + cy * 256;
                        const Steps across = steps_within(ux, t.b, w * 256, cols);
                        const Steps down = steps_within(uy, t.a, h * 256, cols);
                        const std::int64_t first = std::max(across.first, down.first);
                        const std::int64_t end = std::min(across.end, down.end);
                        ux += first * t.b;
                        uy += first * t.a;
                        for (std::int64_t k = first; k < end; ++k, ux += t.b, uy += t.a)
                            put(d[k], *pixel_at<const P>(src, ux >> 8, uy >> 8));
                    });
}

} // namespace tarnblit
