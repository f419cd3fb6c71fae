// Whole-page 32-bit mix, fade and cross-fade spans, beside plain per-channel loops.
#include <cstdint>
#include <random>
#include <vector>

#include "fixtures.h"
#include "harness.h"

namespace {

constexpr std::int32_t k_pixels = 640 * 480;

std::vector<std::uint32_t> page_of(unsigned seed) {
    std::vector<std::uint32_t> v(k_pixels);
    bench::fill_noise(v, seed);
    return v;
}

struct Pages {
    std::vector<std::uint32_t> a = page_of(1), b = page_of(2),
                               dst = std::vector<std::uint32_t>(k_pixels);
};

// Byte k of a pixel, and a pixel from three colour bytes.
std::uint32_t byte_of(std::uint32_t p, int k) {
    return (p >> (8 * k)) & 0xFFu;
}
std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// A span over the page beside the same arithmetic written plainly, one channel at a time. The
// spans mask low bits before adding where the loops divide, so the pixels are not compared.
void compare_span(const std::string& span, void (*work)(Pages&), void (*plain)(Pages&)) {
    bench::compare(span, bench::k_page.text(),
                   [work](benchmark::State& state) {
                       Pages p;
                       bench::loop(state, [&] { work(p); });
                   },
                   {{"per-channel loop", [plain](benchmark::State& state) {
                         Pages p;
                         bench::loop(state, [&] { plain(p); });
                     }}});
}

void spans() {
    compare_span(
        "TarnBlit_BlitMix32",
        [](Pages& p) { TarnBlit_BlitMix32(p.dst.data(), p.a.data(), p.b.data(), k_pixels); },
        [](Pages& p) {
            for (std::int32_t i = 0; i < k_pixels; ++i) {
                const std::uint32_t x = p.a[i], y = p.b[i];
                p.dst[i] =
                    rgb((byte_of(x, 2) + byte_of(y, 2)) / 2, (byte_of(x, 1) + byte_of(y, 1)) / 2,
                        (byte_of(x, 0) + byte_of(y, 0)) / 2);
            }
        });
    compare_span(
        "TarnBlit_BlitFade32",
        [](Pages& p) { TarnBlit_BlitFade32(p.dst.data(), p.a.data(), 100, k_pixels); },
        [](Pages& p) {
            constexpr std::uint32_t k = 255 - 100;
            const auto down = [](std::uint32_t c) { return c > k ? c - k : 0u; };
            for (std::int32_t i = 0; i < k_pixels; ++i) {
                const std::uint32_t x = p.a[i];
                p.dst[i] = rgb(down(byte_of(x, 2)), down(byte_of(x, 1)), down(byte_of(x, 0)));
            }
        });
    compare_span(
        "TarnBlit_BlitCrossfadeFast32",
        [](Pages& p) {
            TarnBlit_BlitCrossfadeFast32(p.dst.data(), p.a.data(), p.b.data(), 96, k_pixels);
        },
        [](Pages& p) {
            for (std::int32_t i = 0; i < k_pixels; ++i) {
                const std::uint32_t x = p.a[i], y = p.b[i];
                const auto mix = [&](int k) { return (5 * byte_of(x, k) + 3 * byte_of(y, k)) / 8; };
                p.dst[i] = rgb(mix(2), mix(1), mix(0));
            }
        });
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    spans();
    return bench::run(argc, argv);
}
