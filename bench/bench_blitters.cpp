// Whole-page 32-bit mix, fade and cross-fade spans, beside plain per-channel loops.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "lodestar/graphics/blitters_blend.h"

namespace {

constexpr std::int32_t k_pixels = 640 * 480;

std::vector<std::uint32_t> page_of(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> v(k_pixels);
    for (auto& p : v) p = 0xFF000000u | (rng() & 0xFFFFFFu);
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

void BM_TarnBlit_BlitMix32(benchmark::State& state) {
    Pages p;
    for (auto _ : state) {
        TarnBlit_BlitMix32(p.dst.data(), p.a.data(), p.b.data(), k_pixels);
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

void BM_Reference_Mix(benchmark::State& state) {
    Pages p;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < k_pixels; ++i) {
            const std::uint32_t x = p.a[i], y = p.b[i];
            p.dst[i] = rgb((byte_of(x, 2) + byte_of(y, 2)) / 2, (byte_of(x, 1) + byte_of(y, 1)) / 2,
                           (byte_of(x, 0) + byte_of(y, 0)) / 2);
        }
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

void BM_TarnBlit_BlitFade32(benchmark::State& state) {
    Pages p;
    for (auto _ : state) {
        TarnBlit_BlitFade32(p.dst.data(), p.a.data(), 100, k_pixels);
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

void BM_Reference_Fade(benchmark::State& state) {
    Pages p;
    const std::uint32_t k = 255 - 100;
    const auto down = [k](std::uint32_t c) { return c > k ? c - k : 0u; };
    for (auto _ : state) {
        for (std::int32_t i = 0; i < k_pixels; ++i) {
            const std::uint32_t x = p.a[i];
            p.dst[i] = rgb(down(byte_of(x, 2)), down(byte_of(x, 1)), down(byte_of(x, 0)));
        }
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

void BM_TarnBlit_BlitCrossfadeFast32(benchmark::State& state) {
    Pages p;
    for (auto _ : state) {
        TarnBlit_BlitCrossfadeFast32(p.dst.data(), p.a.data(), p.b.data(), 96, k_pixels);
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

void BM_Reference_Crossfade(benchmark::State& state) {
    Pages p;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < k_pixels; ++i) {
            const std::uint32_t x = p.a[i], y = p.b[i];
            const auto mix = [&](int k) { return (5 * byte_of(x, k) + 3 * byte_of(y, k)) / 8; };
            p.dst[i] = rgb(mix(2), mix(1), mix(0));
        }
        benchmark::DoNotOptimize(p.dst.data());
    }
    state.SetItemsProcessed(state.iterations() * k_pixels);
}

} // namespace

BENCHMARK(BM_TarnBlit_BlitMix32);
BENCHMARK(BM_Reference_Mix);
BENCHMARK(BM_TarnBlit_BlitFade32);
BENCHMARK(BM_Reference_Fade);
BENCHMARK(BM_TarnBlit_BlitCrossfadeFast32);
BENCHMARK(BM_Reference_Crossfade);
BENCHMARK_MAIN();
