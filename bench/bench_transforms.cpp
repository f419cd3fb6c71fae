// Bilinear scaling and rotation beside SDL's linear stretch and SDL2_gfx's rotozoom.
#include <SDL2_rotozoom.h>

#include <algorithm>

#include "fixtures.h"
#include "harness.h"

namespace {

using bench::Bitmap;
using bench::Size;

// Twice as wide and twice as high: 320x240 to the page, and the same at the other sizes. The
// pixels are not compared: SDL samples at pixel centres and the library at pixel corners, with
// other edge rules and rounding, so the two pictures legitimately differ.
void scaling() {
    for (const Size size : bench::k_sizes) {
        const Size half{size.width / 2, size.height / 2};
        bench::compare("LSR_DrawScaledBitmap bilinear 2x", size.text(),
                       [size, half](benchmark::State& state) {
                           Bitmap src(half), dst(size);
                           bench::fill_noise(src.pixels(), 1);
                           bench::loop(state, [&] {
                               LSR_DrawScaledBitmap(0, 0, size.width, size.height, src.get(),
                                                    dst.get(), 1);
                           });
                       },
                       {{"SDL_SoftStretchLinear",
                         [size, half](benchmark::State& state) {
                             Bitmap src(half), dst(size);
                             bench::fill_noise(src.pixels(), 1);
                             const bench::Surface from = bench::surface_over(src.get());
                             const bench::Surface to = bench::surface_over(dst.get());
                             bench::loop(state, [&] {
                                 SDL_SoftStretchLinear(from.get(), nullptr, to.get(), nullptr);
                             });
                         },
                         bench::at_page(size, 1.0)}});
    }
}

// The library draws into a square of 1.5 times the longer side around the picture; the page
// here is that square, so nothing is clipped.
Size rotation_page(Size picture) {
    const std::int32_t side = 3 * std::max(picture.width, picture.height) / 2;
    return {side, side};
}

constexpr std::int32_t k_angle = 30;

// Both turn the whole picture by 30 degrees, nearest pixel, at its own size; rotozoom makes a
// new surface each time, the library draws into a page. Their sampling and turning sense differ,
// so only the area drawn is compared: within 3 percent of the picture's own area for both.
void rotation() {
    for (const Size size : bench::k_sizes) {
        const std::size_t area = static_cast<std::size_t>(size.width) * size.height;
        const auto near_area = [area](std::size_t n) {
            return n * 100 > area * 97 && n * 100 < area * 103;
        };
        bench::compare(
            "LSR_DrawRotatedBitmap", size.text(),
            [size, near_area](benchmark::State& state) {
                const Size page_size = rotation_page(size);
                Bitmap src(size), page(page_size);
                bench::fill_noise(src.pixels(), 1);
                const std::int32_t x = (page_size.width - size.width) / 2;
                const std::int32_t y = (page_size.height - size.height) / 2;
                LSR_ClearBitmap(page.get());
                LSR_DrawRotatedBitmap(x, y, src.get(), page.get(), k_angle);
                if (!bench::check(state, near_area(bench::coloured(page.pixels())),
                                  "the turned picture's area"))
                    return;
                bench::loop(state,
                            [&] { LSR_DrawRotatedBitmap(x, y, src.get(), page.get(), k_angle); });
            },
            {{"rotozoomSurface",
              [size, near_area](benchmark::State& state) {
                  Bitmap src(size);
                  bench::fill_noise(src.pixels(), 1);
                  const bench::Surface from = bench::surface_over(src.get());
                  const bench::Surface turned(
                      rotozoomSurface(from.get(), k_angle, 1.0, SMOOTHING_OFF));
                  if (!bench::check(state,
                                    turned && near_area(bench::coloured(bench::pixels_of(turned))),
                                    "the turned picture's area"))
                      return;
                  bench::loop(state, [&] {
                      SDL_FreeSurface(rotozoomSurface(from.get(), k_angle, 1.0, SMOOTHING_OFF));
                  });
              },
              bench::at_page(size, 1.0)}});
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    scaling();
    rotation();
    return bench::run(argc, argv);
}
