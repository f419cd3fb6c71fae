// Whole-bitmap copy, fill and blend beside memcpy, pixman and SDL surfaces, on the same pixels.
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "fixtures.h"
#include "harness.h"

namespace {

using bench::Bitmap;
using bench::Size;

constexpr std::uint32_t k_colour = 0xFF336699;

struct PixmanUnref {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanUnref>;

// A pixman image over the bitmap's own pixels.
PixmanImage pixman_over(const Bitmap& bitmap, pixman_format_code_t format) {
    const LSR_Bitmap& bm = bitmap.get();
    return PixmanImage(pixman_image_create_bits(
        format, bm.width, bm.height, static_cast<std::uint32_t*>(bm.data), bm.width * 4));
}

void pixman_fill_page(const Bitmap& bitmap) {
    const LSR_Bitmap& bm = bitmap.get();
    pixman_fill(static_cast<std::uint32_t*>(bm.data), bm.width, 32, 0, 0, bm.width, bm.height,
                k_colour);
}

void copies() {
    for (const Size size : bench::k_sizes) {
        bench::compare("LSR_DrawBitmap", size.text(),
                       [size](benchmark::State& state) {
                           Bitmap src(size), dst(size);
                           bench::fill_noise(src.pixels(), 1);
                           LSR_DrawBitmap(0, 0, src.get(), dst.get());
                           if (!bench::check(state, std::ranges::equal(src.pixels(), dst.pixels()),
                                             "the copy is not the source"))
                               return;
                           bench::loop(state, [&] { LSR_DrawBitmap(0, 0, src.get(), dst.get()); });
                       },
                       {{"memcpy",
                         [size](benchmark::State& state) {
                             Bitmap src(size), dst(size);
                             bench::fill_noise(src.pixels(), 1);
                             bench::loop(state, [&] {
                                 std::memcpy(dst.get().data, src.get().data,
                                             static_cast<std::size_t>(src.get().size));
                             });
                         },
                         bench::at_page(size, 1.1)}});
    }
}

// The references of a whole-page fill; the library must come within its bound of pixman.
std::vector<bench::Reference> fill_references(Size size) {
    return {{"pixman_fill",
             [size](benchmark::State& state) {
                 Bitmap page(size);
                 bench::loop(state, [&] { pixman_fill_page(page); });
             },
             bench::at_page(size, 1.2)},
            {"SDL_FillRect", [size](benchmark::State& state) {
                 Bitmap page(size);
                 const bench::Surface surface = bench::surface_over(page.get());
                 bench::loop(state, [&] { SDL_FillRect(surface.get(), nullptr, k_colour); });
             }}};
}

// Times one way of filling the whole page with k_colour, after checking it fills it as pixman
// does.
template <class Fill> void time_fill(benchmark::State& state, Size size, Fill fill) {
    Bitmap page(size), expected(size);
    bench::fill_noise(page.pixels(), 1);
    pixman_fill_page(expected);
    fill(page.get());
    if (!bench::check(state, std::ranges::equal(page.pixels(), expected.pixels()),
                      "the fill is not pixman's"))
        return;
    bench::loop(state, [&] { fill(page.get()); });
}

void fills() {
    for (const Size size : bench::k_sizes) {
        bench::compare(
            "LSR_ClearColorBitmap", size.text(),
            [size](benchmark::State& state) {
                time_fill(state, size,
                          [](const LSR_Bitmap& bm) { LSR_ClearColorBitmap(bm, k_colour); });
            },
            fill_references(size));
    }
    for (const Size size : bench::k_sizes) {
        bench::compare(
            "LSR_DrawFilledBox", size.text(),
            [size](benchmark::State& state) {
                time_fill(state, size, [size](const LSR_Bitmap& bm) {
                    LSR_DrawFilledBox(0, 0, size.width, size.height, k_colour, bm);
                });
            },
            fill_references(size));
    }
}

// Mode 1 mixes half and half; pixman does the same with a source of opacity one half,
// premultiplied. Their rounding differs (a masked average against division by 255), so the
// check allows each channel to differ by 2.
void premultiply_half(std::span<std::uint32_t> pixels) {
    for (std::uint32_t& p : pixels) {
        std::uint32_t out = 0x80000000u;
        for (int shift = 0; shift < 24; shift += 8)
            out |= ((((p >> shift) & 0xFFu) * 128 + 127) / 255) << shift;
        p = out;
    }
}

void blends() {
    for (const Size size : bench::k_sizes) {
        bench::compare(
            "LSR_DrawBlendBitmap mode 1", size.text(),
            [size](benchmark::State& state) {
                Bitmap src(size), dst(size), src_half(size), expected(size);
                bench::fill_noise(src.pixels(), 1);
                bench::fill_noise(dst.pixels(), 2);
                std::ranges::copy(src.pixels(), src_half.pixels().begin());
                premultiply_half(src_half.pixels());
                std::ranges::copy(dst.pixels(), expected.pixels().begin());
                pixman_image_composite32(PIXMAN_OP_OVER,
                                         pixman_over(src_half, PIXMAN_a8r8g8b8).get(), nullptr,
                                         pixman_over(expected, PIXMAN_a8r8g8b8).get(), 0, 0, 0, 0,
                                         0, 0, size.width, size.height);
                LSR_DrawBlendBitmap(0, 0, src.get(), dst.get(), 1);
                if (!bench::check(
                        state,
                        bench::largest_channel_difference(dst.pixels(), expected.pixels()) <= 2,
                        "the mix is not half and half"))
                    return;
                bench::loop(state, [&] { LSR_DrawBlendBitmap(0, 0, src.get(), dst.get(), 1); });
            },
            {{"pixman OVER",
              [size](benchmark::State& state) {
                  Bitmap src(size), dst(size);
                  bench::fill_noise(src.pixels(), 1);
                  bench::fill_noise(dst.pixels(), 2);
                  premultiply_half(src.pixels());
                  const PixmanImage from = pixman_over(src, PIXMAN_a8r8g8b8);
                  const PixmanImage to = pixman_over(dst, PIXMAN_a8r8g8b8);
                  bench::loop(state, [&] {
                      pixman_image_composite32(PIXMAN_OP_OVER, from.get(), nullptr, to.get(), 0, 0,
                                               0, 0, 0, 0, size.width, size.height);
                  });
              },
              bench::at_page(size, 1.0)}});
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    copies();
    fills();
    blends();
    return bench::run(argc, argv);
}
