// Transparent sprite drawing beside SDL_BlitSurface with a colour key.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "fixtures.h"
#include "harness.h"

namespace {

using bench::Bitmap;
using bench::Size;

// A sprite cut by the library, deleted with its scope.
struct Sprite {
    LSR_Sprite sprite;
    Sprite(std::int32_t w, std::int32_t h, const LSR_Bitmap& from) {
        LSR_GetSprite(0, 0, w, h, from, &sprite);
    }
    ~Sprite() { LSR_DeleteSprite(&sprite); }
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;
    std::span<const std::uint32_t> pixels() const {
        return {static_cast<const std::uint32_t*>(sprite.data),
                static_cast<std::size_t>(sprite.width) * static_cast<std::size_t>(sprite.height)};
    }
};

constexpr std::uint32_t k_key = 0xFFFF00FF; // the library's cut-out magenta
// The size a game stamps, at which the bound holds; the others show growth.
constexpr Size k_stamp{64, 64};

// A disc on the key colour, of about half the picture's area where it fits: cut as a sprite,
// the other half is transparent.
void paint_disc(const LSR_Bitmap& bm) {
    LSR_ClearColorBitmap(bm, k_key);
    const double half_area = bm.width * static_cast<double>(bm.height) / 2;
    const auto radius = static_cast<std::int32_t>(
        std::min(std::sqrt(half_area / std::numbers::pi), std::min(bm.width, bm.height) / 2.0));
    LSR_DrawFilledCircle(bm.width / 2, bm.height / 2, radius, 0xFF20C040, bm);
}

// The page the sprite is drawn on: the game's, or the sprite's own size when larger.
Size page_for(Size sprite) {
    return {std::max(sprite.width, bench::k_page.width),
            std::max(sprite.height, bench::k_page.height)};
}

// The same sprite pixels in an SDL surface keyed on 0, the library's transparent pixel; SDL
// leaves the opacity byte out of the key test, which these opaque pixels (never black) allow.
// Both must leave the same page.
void sprites() {
    for (const Size size : bench::k_sizes) {
        const Size page_size = page_for(size);
        const std::int32_t x = (page_size.width - size.width) / 2;
        const std::int32_t y = (page_size.height - size.height) / 2;
        bench::compare(
            "LSR_DrawSprite disc, half transparent", size.text(),
            [size, page_size, x, y](benchmark::State& state) {
                Bitmap picture(size), page(page_size), expected(page_size);
                paint_disc(picture.get());
                const Sprite sprite(size.width, size.height, picture.get());
                bench::fill_noise(page.pixels(), 1);
                bench::fill_noise(expected.pixels(), 1);
                {
                    Bitmap keyed(size);
                    std::ranges::copy(sprite.pixels(), keyed.pixels().begin());
                    const bench::Surface from = bench::surface_over(keyed.get());
                    SDL_SetColorKey(from.get(), SDL_TRUE, 0);
                    SDL_Rect at{x, y, size.width, size.height};
                    SDL_BlitSurface(from.get(), nullptr, bench::surface_over(expected.get()).get(),
                                    &at);
                }
                LSR_DrawSprite(x, y, sprite.sprite, page.get());
                if (!bench::check(state, std::ranges::equal(page.pixels(), expected.pixels()),
                                  "the sprite"))
                    return;
                bench::loop(state, [&] { LSR_DrawSprite(x, y, sprite.sprite, page.get()); });
            },
            {{"SDL_BlitSurface colour key",
              [size, page_size, x, y](benchmark::State& state) {
                  Bitmap picture(size), keyed(size), page(page_size);
                  paint_disc(picture.get());
                  {
                      const Sprite sprite(size.width, size.height, picture.get());
                      std::ranges::copy(sprite.pixels(), keyed.pixels().begin());
                  }
                  bench::fill_noise(page.pixels(), 1);
                  const bench::Surface from = bench::surface_over(keyed.get());
                  const bench::Surface to = bench::surface_over(page.get());
                  SDL_SetColorKey(from.get(), SDL_TRUE, 0);
                  bench::loop(state, [&] {
                      SDL_Rect at{x, y, size.width, size.height};
                      SDL_BlitSurface(from.get(), nullptr, to.get(), &at);
                  });
              },
              size == k_stamp ? std::optional(1.0) : std::nullopt}});
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    sprites();
    return bench::run(argc, argv);
}
