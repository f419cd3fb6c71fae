// The 16-bit pixel formats, the colour conversions, and the fill, copy and blending span blitters.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "fnv.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/blitters_blend.h"
#include "lodestar/graphics/blitters_transp.h"

namespace {

using u16 = std::uint16_t;
using u32 = std::uint32_t;

// Narrowing drops each channel's low bits and the opacity byte; widening leaves them zero.
TEST(Blit, ConversionsFollowTheFormat) {
    const struct {
        std::uint32_t green_bits, colour;
        std::uint16_t pixel;
        std::uint32_t back;
    } cases[] = {
        {5, 0x070707, 0x0000, 0xFF000000u}, {5, 0xAB000000u, 0x0000, 0xFF000000u},
        {5, 0xFF8040, 0x7E08, 0xFFF88040u}, {5, 0xFFFFFF, 0x7FFF, 0xFFF8F8F8u},
        {6, 0x00FF00, 0x07E0, 0xFF00FC00u}, {6, 0xFF0000, 0xF800, 0xFFF80000u},
    };
    for (const auto& c : cases) {
        TarnBlit_Initialise(5, c.green_bits, 5, 5 + c.green_bits, 5, 0);
        EXPECT_EQ(TarnBlit_color24to16(c.colour), c.pixel) << std::hex << c.colour;
        EXPECT_EQ(TarnBlit_color16to24(c.pixel), c.back) << std::hex << c.colour;
        std::uint16_t p = 0;
        TarnBlit_BlitPixel16(&p, c.colour);
        EXPECT_EQ(TarnBlit_GetPixel16(&p), c.back);
    }
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    EXPECT_EQ(TarnBlit_color16to24(0x8000), 0xFF000000u); // bit 15 belongs to no channel
    for (std::uint32_t p = 0; p < 0x8000; ++p)
        ASSERT_EQ(TarnBlit_color24to16(TarnBlit_color16to24(static_cast<std::uint16_t>(p))), p);
}

// From every start within a wide word and for counts on both sides of the wide stores: exactly
// count pixels.
template <class P>
void expect_fills_exactly(void (*fill)(P*, std::int32_t, std::uint32_t), P want) {
    for (std::int32_t start = 0; start < 8; ++start)
        for (std::int32_t count = 0; count < 70; ++count) {
            std::array<P, 80> run{}, expected{};
            run.fill(0xAAAA), expected.fill(0xAAAA);
            for (std::int32_t i = start; i < start + count; ++i) expected[i] = want;
            fill(run.data() + start, count, 0x12FF00FFu);
            ASSERT_EQ(run, expected) << "start " << start << " count " << count;
        }
}

TEST(Blit, FillsWriteExactlyTheirRun) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    expect_fills_exactly<std::uint16_t>(TarnBlit_BlitFill16, 0x7C1F);
    expect_fills_exactly<std::uint32_t>(TarnBlit_BlitFill32, 0x12FF00FFu);
}

// Every blending span over the same inputs, its destination summed (FNV-1a) after each level in
// turn: all pairs of sixteen edge values (white, black, opacity bytes 0, 1 to 3 and 0x80, full
// and empty channels, in both halves of a word) and then noise, over a destination of noise.
// Filters read the first source as the middle row of three. The pins were taken from spans that
// passed a hand-written table of each one's results.
// Calls a span of any of the shapes (two sources; one; one and a level; two and a level; a filter)
// with what it takes.
template <class P, class F> void call(F f, P* d, const P* a, const P* b, u32 level, int n) {
    if constexpr (std::is_invocable_v<F, P*, const P*, const P*, int>)
        f(d, a, b, n);
    else if constexpr (std::is_invocable_v<F, P*, const P*, int>)
        f(d, a, n);
    else if constexpr (std::is_invocable_v<F, P*, const P*, u32, int>)
        f(d, a, level, n);
    else if constexpr (std::is_invocable_v<F, P*, const P*, const P*, u32, int>)
        f(d, a, b, level, n);
    else
        f(d + 1, a + 1, -n, n, n - 2);
}

template <class P, class F> std::uint32_t summed(F span) {
    constexpr std::uint32_t edges[16] = {0,          0xFFFFFFFF, 0xFF000000, 0x00FFFFFF,
                                         0x03FFFFFF, 0x01000000, 0x80808080, 0x7F7F7F7F,
                                         0xFF102030, 0x00F0E0D0, 0x12FF8040, 0x3480FF80,
                                         0x00007FFF, 0x00008000, 0x7C1F0001, 0x000003E0};
    constexpr std::int32_t n = 320;
    std::vector<P> rows(3 * n), b(n), d(n), start(n); // a is the middle row
    std::uint32_t s = 12345;
    Fnv32 h;
    for (std::int32_t i = 0; i < 3 * n; ++i) {
        s ^= s << 13, s ^= s >> 17, s ^= s << 5;
        const bool pair = i >= n && i < n + 256;
        rows[i] = static_cast<P>(pair ? edges[(i - n) % 16] : s);
        if (i < n) b[i] = static_cast<P>(i < 256 ? edges[i / 16] : s >> 3), start[i] = P(s >> 7);
    }
    const auto mix = [&] {
        for (P p : d)
            for (std::size_t k = 0; k < sizeof(P); ++k) h.byte(p >> (8 * k));
    };
    d = start;
    call<P>(span, d.data(), rows.data() + n, b.data(), 255, 0); // a count of 0 writes nothing
    mix();
    for (std::uint32_t level : {255u, 0u, 1u, 7u, 8u, 31u, 32u, 64u, 127u, 128u, 200u, 247u, 248u,
                                254u, 0x1CFu, 0x180u}) {
        d = start;
        call<P>(span, d.data(), rows.data() + n, b.data(), level, n);
        mix();
    }
    return h.sum;
}

TEST(Blit, BlendingSpansGiveThePinnedSums) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    const struct {
        const char* name;
        std::uint32_t got, pin;
    } rows[] = {
        {"Mix32", summed<u32>(TarnBlit_BlitMix32), 0x8F327C13},
        {"QMix32", summed<u32>(TarnBlit_BlitQMix32), 0xC13D3813},
        {"Add32", summed<u32>(TarnBlit_BlitAdd32), 0x25B8F4D3},
        {"Mul32", summed<u32>(TarnBlit_BlitMul32), 0x51D78C13},
        {"TranspMix32", summed<u32>(TarnBlit_BlitTranspMix32), 0x62FE7D13},
        {"TranspQMix32", summed<u32>(TarnBlit_BlitTranspQMix32), 0x93507D13},
        {"TranspQ3Mix32", summed<u32>(TarnBlit_BlitTranspQ3Mix32), 0x3ECD4E53},
        {"TranspAdd32", summed<u32>(TarnBlit_BlitTranspAdd32), 0xB1D196F3},
        {"TranspMul32", summed<u32>(TarnBlit_BlitTranspMul32), 0xDF7265F3},
        {"Transp32", summed<u32>(TarnBlit_BlitTransp32), 0xDF9EC713},
        {"Darken32", summed<u32>(TarnBlit_BlitDarken32), 0x12430253},
        {"Brighten32", summed<u32>(TarnBlit_BlitBrighten32), 0xB2A935D3},
        {"Fade32", summed<u32>(TarnBlit_BlitFade32), 0x861E3097},
        {"FadeWhite32", summed<u32>(TarnBlit_BlitFadeWhite32), 0x5AE6E770},
        {"Crossfade32", summed<u32>(TarnBlit_BlitCrossfade32), 0x794BD5EA},
        {"CrossfadeFast32", summed<u32>(TarnBlit_BlitCrossfadeFast32), 0x21E86FA1},
        {"Alphawipe32", summed<u32>(TarnBlit_BlitAlphawipe32), 0xBC48AA13},
        {"Blur32", summed<u32>(TarnBlit_BlitBlur32), 0xB9C32253},
        {"AntiAlias32", summed<u32>(TarnBlit_BlitAntiAlias32), 0x1AD3F1D3},
        {"Mix16", summed<u16>(TarnBlit_BlitMix16), 0xCEEBC4EE},
        {"QMix16", summed<u16>(TarnBlit_BlitQMix16), 0x3D7EF5CE},
        {"Add16", summed<u16>(TarnBlit_BlitAdd16), 0x3B22CF6E},
        {"Mul16", summed<u16>(TarnBlit_BlitMul16), 0x5E8472CE},
        {"TranspMix16", summed<u16>(TarnBlit_BlitTranspMix16), 0x13D4302E},
        {"TranspQMix16", summed<u16>(TarnBlit_BlitTranspQMix16), 0x3D1C5AEE},
        {"TranspQ3Mix16", summed<u16>(TarnBlit_BlitTranspQ3Mix16), 0x785775CE},
        {"TranspAdd16", summed<u16>(TarnBlit_BlitTranspAdd16), 0x759A94AE},
        {"TranspMul16", summed<u16>(TarnBlit_BlitTranspMul16), 0xECF0F84E},
        {"Transp16", summed<u16>(TarnBlit_BlitTransp16), 0x972D72E},
        {"Darken16", summed<u16>(TarnBlit_BlitDarken16), 0x23520A6E},
        {"Brighten16", summed<u16>(TarnBlit_BlitBrighten16), 0xD3DDFAAE},
        {"Fade16", summed<u16>(TarnBlit_BlitFade16), 0xE72215E2},
        {"Fade16fast", summed<u16>(TarnBlit_BlitFade16fast), 0xBDCB6B3F},
        {"FadeWhite16", summed<u16>(TarnBlit_BlitFadeWhite16), 0xED047C64},
        {"Crossfade16", summed<u16>(TarnBlit_BlitCrossfade16), 0x85C5C676},
        {"Alphawipe16", summed<u16>(TarnBlit_BlitAlphawipe16), 0x3F398FD},
        {"Blur16", summed<u16>(TarnBlit_BlitBlur16), 0xA818BAAE},
        {"AntiAlias16", summed<u16>(TarnBlit_BlitAntiAlias16), 0xB0C9150E},
    };
    for (const auto& r : rows) EXPECT_EQ(r.got, r.pin) << r.name << std::hex << ": 0x" << r.got;
}

// Every span goes up pixel by pixel, each pixel read just before it is written, whatever the
// overlap of its pictures: against a run done pixel by pixel in one block of pixels with runs of
// transparent ones, for every start, count and distance between dst and its sources.
template <class P, class Span, class Pixel> void expect_pixel_by_pixel(Span span, Pixel pixel) {
    std::array<P, 160> block{}, want{};
    std::uint32_t seed = 7;
    for (std::int32_t offset = -12; offset <= 12; ++offset)
        for (std::int32_t b_at : {0, 3, -5, 70})
            for (std::int32_t count = 0; count <= 40; ++count) {
                for (std::size_t i = 0; i < block.size(); ++i) {
                    seed = seed * 1103515245u + 12345u;
                    const bool clear = (i / (1 + count % 7)) % 2 == 1;
                    const u32 v = seed >> 4;
                    if (sizeof(P) == 2)
                        block[i] = clear ? 0 : static_cast<P>(v | 1);
                    else
                        block[i] = static_cast<P>(clear ? v & 0x00FFFFFFu : v | 0x01000000u);
                }
                want = block;
                const std::ptrdiff_t to = 40 + offset, from_a = offset % 2 == 0 ? to : 40;
                span(block.data() + to, block.data() + from_a, block.data() + 40 + b_at, count);
                for (std::int32_t i = 0; i < count; ++i)
                    want[to + i] = pixel(want[to + i], want[from_a + i], want[40 + b_at + i]);
                ASSERT_EQ(block, want) << "dst at " << offset << ", b at " << b_at << ", " << count;
            }
}

TEST(Blit, CopiesAndWideSpansGoUpPixelByPixelWhateverTheOverlap) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    const auto transp = [](auto span) {
        return [span](auto* d, const auto*, const auto* b, std::int32_t n) { span(d, b, n); };
    };
    expect_pixel_by_pixel<u32>(transp(TarnBlit_BlitCopy32), [](u32, u32, u32 b) { return b; });
    expect_pixel_by_pixel<u16>(transp(TarnBlit_BlitCopy16), [](u16, u16, u16 b) { return b; });
    expect_pixel_by_pixel<u32>(transp(TarnBlit_BlitTransp32),
                               [](u32 d, u32, u32 b) { return b > 0x00FFFFFFu ? b : d; });
    expect_pixel_by_pixel<u16>(transp(TarnBlit_BlitTransp16),
                               [](u16 d, u16, u16 b) { return b != 0 ? b : d; });
    expect_pixel_by_pixel<u32>(TarnBlit_BlitMix32, [](u32, u32 a, u32 b) {
        return ((a & 0xFEFEFEFEu) + (b & 0xFEFEFEFEu)) >> 1;
    });
    expect_pixel_by_pixel<u16>(TarnBlit_BlitMix16, [](u16, u16 a, u16 b) {
        return static_cast<u16>(((a & 0x7BDE) + (b & 0x7BDE)) >> 1);
    });
}

} // namespace
