// Lines, filled circles and the game's frame beside SDL2_gfx on SDL's software renderer.
#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>

#include "fixtures.h"
#include "harness.h"
#include "meggyjr/meggyjr.h"

namespace {

using bench::Bitmap;
using bench::Size;

constexpr std::uint32_t k_colour = 0xFFE0C020;

// SDL2_gfx takes the colour as four bytes.
int gfx_line(SDL_Renderer* r, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
             std::uint32_t c) {
    return lineRGBA(r, static_cast<Sint16>(x1), static_cast<Sint16>(y1), static_cast<Sint16>(x2),
                    static_cast<Sint16>(y2), c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF, 0xFF);
}
int gfx_circle(SDL_Renderer* r, std::int32_t x, std::int32_t y, std::int32_t radius,
               std::uint32_t c) {
    return filledCircleRGBA(r, static_cast<Sint16>(x), static_cast<Sint16>(y),
                            static_cast<Sint16>(radius), c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF,
                            0xFF);
}

// Checks that the library drew about as many pixels as the reference (within percent), and
// something at all.
bool similar_counts(benchmark::State& state, std::size_t mine, std::size_t theirs,
                    std::size_t percent, const std::string& what) {
    const std::size_t gap = mine > theirs ? mine - theirs : theirs - mine;
    return bench::check(state, mine > 0 && gap * 100 <= theirs * percent,
                        what + ": " + std::to_string(mine) + " pixels against " +
                            std::to_string(theirs));
}

// Drawing of the same shapes by the library and by SDL2_gfx (which flushes its renderer, so
// that the work is done inside the timed call).
using Draw = std::function<void(const LSR_Bitmap&)>;
using GfxDraw = std::function<void(SDL_Renderer*)>;

// Registers both, each drawing onto a page of its own. The library must draw about as many
// pixels as SDL2_gfx does on a cleared page (within percent).
void compare_drawing(const std::string& path, const std::string& size, Size page, Draw draw,
                     const std::string& reference, GfxDraw gfx, std::size_t percent,
                     std::optional<double> bound) {
    bench::compare(path, size,
                   [=](benchmark::State& state) {
                       Bitmap mine(page), theirs(page);
                       LSR_ClearBitmap(mine.get());
                       LSR_ClearBitmap(theirs.get());
                       const bench::Surface surface = bench::surface_over(theirs.get());
                       gfx(bench::renderer_for(surface).get());
                       draw(mine.get());
                       if (!similar_counts(state, bench::coloured(mine.pixels()),
                                           bench::coloured(theirs.pixels()), percent, path))
                           return;
                       bench::loop(state, [&] { draw(mine.get()); });
                   },
                   {{reference,
                     [=](benchmark::State& state) {
                         Bitmap target(page);
                         const bench::Surface surface = bench::surface_over(target.get());
                         const bench::Renderer renderer = bench::renderer_for(surface);
                         bench::loop(state, [&] { gfx(renderer.get()); });
                     },
                     bound}});
}

// ---- lines --------------------------------------------------------------------------------

struct Line {
    std::int32_t x1, y1, x2, y2;
};

constexpr int k_lines = 1000;

// End points anywhere but a border of 1/24 of the page, which makes lines of about 270 pixels
// on the page on average.
std::vector<Line> random_lines(Size page) {
    std::mt19937 rng(7);
    const std::int32_t mx = page.width / 24, my = page.height / 24;
    std::uniform_int_distribution<std::int32_t> x(mx, page.width - 1 - mx),
        y(my, page.height - 1 - my);
    std::vector<Line> lines(k_lines);
    for (Line& l : lines) l = {x(rng), y(rng), x(rng), y(rng)};
    return lines;
}

double mean_length(const std::vector<Line>& lines) {
    double total = 0;
    for (const Line& l : lines) total += std::hypot(l.x2 - l.x1, l.y2 - l.y1);
    return total / static_cast<double>(lines.size());
}

// Both draw every line's pixels from end to end, but their step rules differ, so the pictures
// are not compared pixel for pixel: the counts of pixels drawn must be within 2 percent.
void lines() {
    for (const Size page : bench::k_sizes) {
        const std::vector<Line> all = random_lines(page);
        char path[64];
        std::snprintf(path, sizeof path, "LSR_DrawLine %d lines of %.0f px", k_lines,
                      mean_length(all));
        compare_drawing(
            path, page.text(), page,
            [all](const LSR_Bitmap& bm) {
                for (const Line& l : all) LSR_DrawLine(l.x1, l.y1, l.x2, l.y2, k_colour, bm);
            },
            "lineRGBA",
            [all](SDL_Renderer* r) {
                for (const Line& l : all) gfx_line(r, l.x1, l.y1, l.x2, l.y2, k_colour);
                SDL_RenderFlush(r);
            },
            2, bench::at_page(page, 1.0));
    }
}

// ---- circles ------------------------------------------------------------------------------

// 64 circles on an 8 by 8 grid over the page; the large ones overlap and reach past its edges.
struct Centre {
    std::int32_t x, y;
};
std::vector<Centre> grid_centres() {
    std::vector<Centre> centres;
    for (std::int32_t j = 0; j < 8; ++j)
        for (std::int32_t i = 0; i < 8; ++i) centres.push_back({40 + 80 * i, 30 + 60 * j});
    return centres;
}

// The two cover a circle's edge differently (at radius 4 the library paints 47 pixels, SDL2_gfx
// 53); the areas drawn must be within 15 percent.
void circles() {
    const std::vector<Centre> centres = grid_centres();
    for (const std::int32_t radius : {4, 12, 100}) {
        compare_drawing(
            "LSR_DrawFilledCircle 64 of radius", std::to_string(radius), bench::k_page,
            [centres, radius](const LSR_Bitmap& bm) {
                for (const Centre c : centres) LSR_DrawFilledCircle(c.x, c.y, radius, k_colour, bm);
            },
            "filledCircleRGBA",
            [centres, radius](SDL_Renderer* r) {
                for (const Centre c : centres) gfx_circle(r, c.x, c.y, radius, k_colour);
                SDL_RenderFlush(r);
            },
            15, 1.0);
    }
}

// ---- the game's frame ---------------------------------------------------------------------

// What the game draws every frame: the device picture over the whole page, then the 8 by 8
// matrix LEDs, radius 12, at their sockets. The colours vary as a lit matrix's would.
struct Led {
    std::int32_t x, y;
    std::uint32_t colour;
};
std::vector<Led> matrix_leds() {
    constexpr std::uint32_t palette[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                         0xFF202020, 0xFFFF8000, 0xFF00FFFF, 0xFFFFFFFF};
    std::vector<Led> leds;
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            leds.push_back({MeggyJr_LedX(x), MeggyJr_LedY(y), palette[(x + 3 * y) % 8]});
    return leds;
}

constexpr std::int32_t k_led_radius = MeggyJr_LedRadius;

// The two pages differ only where the circles' edges do: fewer than 6 pixels in 100 of the
// circles' area (64 of 439 pixels each in the library's coverage).
void game_frame() {
    const auto gfx_frame = [](const bench::Surface& device, const bench::Surface& page,
                              SDL_Renderer* r) {
        SDL_BlitSurface(device.get(), nullptr, page.get(), nullptr);
        for (const Led& led : matrix_leds()) gfx_circle(r, led.x, led.y, k_led_radius, led.colour);
        SDL_RenderFlush(r);
    };
    bench::compare(
        "game frame: page copy + 64 LEDs", bench::k_page.text(),
        [gfx_frame](benchmark::State& state) {
            const LSR_Bitmap& page = LSR_screenbitmap;
            Bitmap theirs(bench::k_page);
            const bench::Surface device = bench::surface_over(bench::device_picture());
            const bench::Surface surface = bench::surface_over(theirs.get());
            gfx_frame(device, surface, bench::renderer_for(surface).get());
            const std::vector<Led> leds = matrix_leds();
            const auto draw = [&] {
                LSR_DrawBitmap(0, 0, bench::device_picture(), page);
                for (const Led& led : leds)
                    LSR_DrawFilledCircle(led.x, led.y, k_led_radius, led.colour, page);
            };
            draw();
            const std::span<const std::uint32_t> drawn(static_cast<std::uint32_t*>(page.data),
                                                       static_cast<std::size_t>(page.pixels));
            const std::size_t differences = bench::colour_differences(drawn, theirs.pixels());
            if (!bench::check(state, differences * 100 < 64 * 439 * 6,
                              "the frame, in " + std::to_string(differences) + " pixels"))
                return;
            bench::loop(state, draw);
        },
        {{"SDL_BlitSurface + 64 filledCircleRGBA",
          [gfx_frame](benchmark::State& state) {
              Bitmap target(bench::k_page);
              const bench::Surface device = bench::surface_over(bench::device_picture());
              const bench::Surface surface = bench::surface_over(target.get());
              const bench::Renderer renderer = bench::renderer_for(surface);
              bench::loop(state, [&] { gfx_frame(device, surface, renderer.get()); });
          },
          0.3}});
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    lines();
    circles();
    game_frame();
    return bench::run(argc, argv);
}
