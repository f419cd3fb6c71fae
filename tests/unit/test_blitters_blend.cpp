// The blending span blitters: mixes, add, multiply, fades, cross-fades, wipes and filters.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/blitters_blend.h"
#include "lodestar/graphics/blitters_transp.h"

namespace {

using u16 = std::uint16_t;
using u32 = std::uint32_t;

// A 5-5-5 pixel from its three channel values.
constexpr u16 rgb15(u32 r, u32 g, u32 b) {
    return static_cast<u16>(r << 10 | g << 5 | b);
}

// One pixel through a span: d starts as k_old, the first source is a, the second (or the mask)
// b.
constexpr u16 k_old = 0x1234;
template <class P> using Op = std::function<P(P a, P b)>;
template <class P, class Call> P out(Call call) {
    P d = k_old;
    return call(&d), d;
}
template <class P> Op<P> two(void (*f)(P*, const P*, const P*, std::int32_t)) {
    return [f](P a, P b) { return out<P>([&](P* d) { f(d, &a, &b, 1); }); };
}
template <class P> Op<P> one(void (*f)(P*, const P*, std::int32_t)) {
    return [f](P a, P) { return out<P>([&](P* d) { f(d, &a, 1); }); };
}
template <class P> Op<P> fade(void (*f)(P*, const P*, u32, std::int32_t), u32 level) {
    return [f, level](P a, P) { return out<P>([&](P* d) { f(d, &a, level, 1); }); };
}
template <class P> Op<P> mixed(void (*f)(P*, const P*, const P*, u32, std::int32_t), u32 level) {
    return [f, level](P a, P b) { return out<P>([&](P* d) { f(d, &a, &b, level, 1); }); };
}
template <class P> struct Row {
    Op<P> op;
    P a, b, want;
};
template <class P> void expect_rows(const std::vector<Row<P>>& rows) {
    for (const auto& r : rows) EXPECT_EQ(r.op(r.a, r.b), r.want) << "row " << &r - rows.data();
}

// Whole-word sums wrap at 32 bits: two opacity bytes of 0x80 or more lose their carry. The fast
// cross-fade takes its level in eighths, of whole words; only 255 reaches b.
TEST(BlendBlit, ThirtyTwoBitsPerPixel) {
    const u32 eighths[] = {0xFF102030, 0x192C3844, 0x3D485058, 0x1B64686C, 0x7F808080,
                           0x1D9C9894, 0x3FB8B0A8, 0x1FD4C8BC, 0x00F0E0D0};
    for (u32 level : {31, 32, 64, 96, 128, 160, 192, 254, 255})
        EXPECT_EQ(mixed(TarnBlit_BlitCrossfadeFast32, level)(0xFF102030, 0x00F0E0D0),
                  eighths[level == 255 ? 8 : level / 32])
            << level;
    expect_rows<u32>({
        {two(TarnBlit_BlitMix32), 0xFFFFFFFF, 0xFF000000, 0x7E7F7F7F},
        {two(TarnBlit_BlitQMix32), 0xFFFFFFFF, 0xFFFFFFFF, 0x3CFCFCFC},
        {two(TarnBlit_BlitQMix32), 0xFFFFFFFF, 0xFF000000, 0x3CBDBDBD},
        {two(TarnBlit_BlitTranspMix32), 0xFFFFFFFF, 0xFF000000, 0x7E7F7F7F},
        {two(TarnBlit_BlitTranspQMix32), 0xFFFFFFFF, 0xFFFFFFFF, 0x3CFCFCFC},
        {two(TarnBlit_BlitTranspQ3Mix32), 0x00000000, 0xFFFFFFFF, 0x3DBDBDBD},
        {two(TarnBlit_BlitTranspQ3Mix32), 0xFFFFFFFF, 0xFF000000, 0x3C3F3F3F},
        {two(TarnBlit_BlitTranspQMix32), 0xFFFFFFFF, 0x03FFFFFF, k_old}, // stripped: transparent
        {two(TarnBlit_BlitTranspAdd32), 0xFF808080, 0xFF8040C0, 0x00FFC0FF},
        {two(TarnBlit_BlitTranspMul32), 0xFF808080, 0xFF8040C0, 0x00402060},
        {two(TarnBlit_BlitTranspMix32), 0xFFFFFFFF, 0x00FFFFFF, k_old}, // b transparent
        {two(TarnBlit_BlitAdd32), 0x12FF8040, 0x3480FF80, 0x00FFFFC0},
        {two(TarnBlit_BlitMul32), 0x12FF8040, 0x3480FF80, 0x007F7F20},
        {one(TarnBlit_BlitDarken32), 0xFFFFFFFF, 0, 0x7F7F7F7F},
        {one(TarnBlit_BlitDarken32), 0xFF000000, 0, 0x7F000000},
        {one(TarnBlit_BlitBrighten32), 0xFFFFFFFF, 0, 0x7EFEFEFE},
        {one(TarnBlit_BlitBrighten32), 0x00000000, 0, 0x7F7F7F7F},
        // Fades: each byte loses or gains 255 - level, held at its end; opacity 0xFF.
        {fade(TarnBlit_BlitFade32, 255), 0x00804020, 0, 0xFF804020},
        {fade(TarnBlit_BlitFade32, 0), 0x12FFFFFF, 0, 0xFF000000},
        {fade(TarnBlit_BlitFade32, 255 - 0x30), 0x0020F0E0, 0, 0xFF00C0B0},
        {fade(TarnBlit_BlitFade32, 0x100 + 255 - 0x30), 0x00804020, 0, 0xFF501000},
        {fade(TarnBlit_BlitFadeWhite32, 0), 0x00804020, 0, 0xFFFFFFFF},
        {fade(TarnBlit_BlitFadeWhite32, 255 - 0x30), 0x0020F0E0, 0, 0xFF50FFFF},
        {fade(TarnBlit_BlitFadeWhite32, 255 - 0x30), 0x00804020, 0, 0xFFB07050},
        {mixed(TarnBlit_BlitCrossfade32, 255), 0x00000000, 0xFFFFFFFF, 0x00FEFEFE},
        {mixed(TarnBlit_BlitCrossfade32, 0), 0xFF102030, 0x00F0E0D0, 0x000F1F2F},
        // Wipes: a where the mask's blue is at most the level's low byte.
        {mixed(TarnBlit_BlitAlphawipe32, 0), 1, 0xFFFFFF00, 1},
        {mixed(TarnBlit_BlitAlphawipe32, 0), 1, 0x00000001, k_old},
        {mixed(TarnBlit_BlitAlphawipe32, 0x180), 1, 0x00000080, 1},
        {mixed(TarnBlit_BlitAlphawipe32, 0x180), 1, 0x000000FF, k_old},
    });
}

// Per channel with the half and quarter masks; blue 1 of a wipe's mask counts as 8.
TEST(BlendBlit, SixteenBitsPerPixel) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    const u16 white = 0x7FFF, odd = rgb15(31, 8, 1);
    expect_rows<u16>({
        {two(TarnBlit_BlitMix16), odd, rgb15(1, 8, 31), rgb15(15, 8, 15)},
        {two(TarnBlit_BlitQMix16), odd, rgb15(1, 8, 31), rgb15(21, 8, 7)},
        {two(TarnBlit_BlitTranspMix16), white, white, rgb15(30, 30, 30)},
        {two(TarnBlit_BlitTranspQMix16), white, 0, k_old},
        {two(TarnBlit_BlitTranspQ3Mix16), 0, white, rgb15(21, 21, 21)},
        {two(TarnBlit_BlitTranspQ3Mix16), white, rgb15(0, 3, 3), k_old},
        {two(TarnBlit_BlitTranspAdd16), rgb15(16, 4, 2), rgb15(20, 4, 1), rgb15(31, 8, 3)},
        {two(TarnBlit_BlitTranspMul16), rgb15(16, 4, 2), rgb15(20, 8, 31), rgb15(10, 1, 1)},
        {two(TarnBlit_BlitAdd16), rgb15(31, 16, 2), rgb15(31, 20, 3), rgb15(31, 31, 5)},
        {two(TarnBlit_BlitMul16), rgb15(31, 16, 2), rgb15(31, 20, 3), rgb15(30, 10, 0)},
        {one(TarnBlit_BlitDarken16), odd, 0, rgb15(15, 4, 0)},
        {one(TarnBlit_BlitBrighten16), odd, 0, rgb15(30, 19, 15)},
        {fade(TarnBlit_BlitFade16, 128), rgb15(16, 8, 1), 0, rgb15(8, 4, 0)},
        {fade(TarnBlit_BlitFade16, 255), white, 0, rgb15(30, 30, 30)},
        {fade(TarnBlit_BlitFade16fast, 255), odd, 0, odd},
        {fade(TarnBlit_BlitFade16fast, 128), rgb15(16, 8, 1), 0, rgb15(2, 1, 0)},
        {fade(TarnBlit_BlitFade16fast, 0), white, 0, 0},
        {fade(TarnBlit_BlitFadeWhite16, 200), rgb15(16, 8, 1), 0, rgb15(22, 14, 7)},
        {fade(TarnBlit_BlitFadeWhite16, 0), 0, 0, white},
        {mixed(TarnBlit_BlitCrossfade16, 255), 0, white, rgb15(30, 30, 30)},
        {mixed(TarnBlit_BlitCrossfade16, 64), white, 0, rgb15(23, 23, 23)},
        {mixed(TarnBlit_BlitAlphawipe16, 7), 1, rgb15(31, 31, 1), k_old},
        {mixed(TarnBlit_BlitAlphawipe16, 8), 1, rgb15(31, 31, 1), 1},
        {mixed(TarnBlit_BlitAlphawipe16, 247), 1, 31, k_old},
        {mixed(TarnBlit_BlitAlphawipe16, 248), 1, 31, 1},
    });
}

// The centre of a 3 by 3 picture through a filter that reads its four neighbours.
template <class P>
P filtered(void (*f)(P*, const P*, std::int32_t, std::int32_t, std::int32_t), P l, P m, P r, P u,
           P d) {
    const std::array<P, 9> pic{0, u, 0, l, m, r, 0, d, 0};
    P out = k_old;
    f(&out, &pic[4], -3, 3, 1);
    return out;
}

// Blur: the four neighbours, stripped to their top six bits, summed wrapping at 32 bits and
// shifted as a signed word. Anti-alias: a stair step (bright left and top, dark right and
// bottom, the centre siding with one) becomes the average of left and right; flat areas and
// lone lines stay.
TEST(BlendBlit, FiltersReadTheFourNeighbours) {
    const u32 w = 0xFFFFFFFF, k = 0xFF000000, c = 0xC0000000, q = 0x20000000;
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitBlur32, w, 7, 0xFF00FF00, 0xFF0000FF, 0xFFFF0000),
              0xFC7E7E7Eu);
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitBlur32, c, 7, c, c, c), 0u);
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitBlur32, q, 7, q, q, q), 0xE0000000u);
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitAntiAlias32, w, 0xFFF0F0F0, k, w, k), 0x7E7F7F7Fu);
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitAntiAlias32, w, 0xFFF0F0F0, k, w, w), 0xFFF0F0F0u);
    EXPECT_EQ(filtered<u32>(TarnBlit_BlitAntiAlias32, w, 0xFF808080, k, w, k), 0xFF808080u);
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    const u16 w16 = 0x7FFF, grey = rgb15(30, 30, 30);
    EXPECT_EQ(filtered<u16>(TarnBlit_BlitBlur16, w16, grey, 0, w16, 0), rgb15(14, 14, 14));
    EXPECT_EQ(filtered<u16>(TarnBlit_BlitAntiAlias16, w16, grey, 0, w16, 0), rgb15(15, 15, 15));
    EXPECT_EQ(filtered<u16>(TarnBlit_BlitAntiAlias16, w16, rgb15(16, 16, 16), 0, w16, 0),
              rgb15(16, 16, 16)); // 48 from both sides' 93 and 0: no side is near
    u32 out = 5;
    TarnBlit_BlitBlur32(&out, &out, 0, 0, 0);
    EXPECT_EQ(out, 5u); // a count of 0 writes nothing
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

TEST(BlendBlit, WideSpansGoUpPixelByPixelWhateverTheOverlap) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    const auto transp = [](auto span) {
        return [span](auto* d, const auto*, const auto* b, std::int32_t n) { span(d, b, n); };
    };
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
