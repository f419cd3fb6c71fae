// The blending span blitters: mixes, add, multiply, fades, cross-fades, wipes and filters.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

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

class BlendBlit : public ::testing::Test {
  protected:
    void SetUp() override { TarnBlit_Initialise(5, 5, 5, 10, 5, 0); }
};

using Two32 = void (*)(u32*, const u32*, const u32*, std::int32_t);
using Two16 = void (*)(u16*, const u16*, const u16*, std::int32_t);
using One32 = void (*)(u32*, const u32*, std::int32_t);
using One16 = void (*)(u16*, const u16*, std::int32_t);

// Each byte pre-masked, the sum wrapping at 32 bits: the opacity byte loses its carry.
TEST_F(BlendBlit, WholeWordMixesWrapAt32Bits) {
    struct Case {
        Two32 op;
        u32 a, b, want;
    };
    const Case two[] = {
        {TarnBlit_BlitMix32, 0xFFFFFFFFu, 0xFF000000u, 0x7E7F7F7Fu},
        {TarnBlit_BlitMix32, 0x7F808080u, 0x7F000000u, 0x7E404040u}, // no carry to lose
        {TarnBlit_BlitMix32, 0x01020304u, 0x00000000u, 0x00010102u},
        {TarnBlit_BlitQMix32, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x3CFCFCFCu},
        {TarnBlit_BlitQMix32, 0xFFFFFFFFu, 0xFF000000u, 0x3CBDBDBDu},
        {TarnBlit_BlitTranspMix32, 0xFFFFFFFFu, 0xFF000000u, 0x7E7F7F7Fu},
        {TarnBlit_BlitTranspQMix32, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x3CFCFCFCu},
        {TarnBlit_BlitTranspQ3Mix32, 0x00000000u, 0xFFFFFFFFu, 0x3DBDBDBDu},
        {TarnBlit_BlitTranspQ3Mix32, 0xFFFFFFFFu, 0xFF000000u, 0x3C3F3F3Fu},
    };
    for (const Case& c : two) {
        u32 d = 0;
        c.op(&d, &c.a, &c.b, 1);
        EXPECT_EQ(d, c.want) << std::hex << c.a << " " << c.b;
    }
    const std::pair<One32, std::array<u32, 3>> one[] = {
        // of 0xFFFFFFFF, 0xFF000000 and 0
        {TarnBlit_BlitDarken32, {0x7F7F7F7Fu, 0x7F000000u, 0u}},
        {TarnBlit_BlitBrighten32, {0x7EFEFEFEu, 0x7E7F7F7Fu, 0x7F7F7F7Fu}},
    };
    const std::array<u32, 3> src{0xFFFFFFFFu, 0xFF000000u, 0u};
    for (const auto& [op, want] : one) {
        std::array<u32, 3> d{};
        op(d.data(), src.data(), 3);
        EXPECT_EQ(d, want);
    }
    std::array<u32, 2> same{0xFFFFFFFFu, 7}; // dst may be a
    TarnBlit_BlitQMix32(same.data(), same.data(), same.data(), 1);
    EXPECT_EQ(same, (std::array<u32, 2>{0x3CFCFCFCu, 7}));
}

// The 16-bit mixes per channel with the half and quarter masks.
TEST_F(BlendBlit, SixteenBitMixesStayInTheirChannels) {
    struct Case {
        Two16 op;
        u16 a, b, want;
    };
    const Case two[] = {
        {TarnBlit_BlitMix16, 0x7FFF, 0, rgb15(15, 15, 15)},
        {TarnBlit_BlitMix16, rgb15(31, 8, 1), rgb15(1, 8, 31), rgb15(15, 8, 15)},
        {TarnBlit_BlitQMix16, 0x7FFF, 0, rgb15(21, 21, 21)},
        {TarnBlit_BlitQMix16, rgb15(31, 8, 1), rgb15(1, 8, 31), rgb15(21, 8, 7)},
        {TarnBlit_BlitTranspMix16, 0x7FFF, 0x7FFF, rgb15(30, 30, 30)},
        {TarnBlit_BlitTranspQ3Mix16, 0, 0x7FFF, rgb15(21, 21, 21)},
    };
    for (const Case& c : two) {
        u16 d = 0;
        c.op(&d, &c.a, &c.b, 1);
        EXPECT_EQ(d, c.want) << std::hex << c.a << " " << c.b;
    }
    const std::pair<One16, std::array<u16, 2>> one[] = {
        {TarnBlit_BlitDarken16, {rgb15(15, 15, 15), rgb15(15, 4, 0)}},
        {TarnBlit_BlitBrighten16, {rgb15(30, 30, 30), rgb15(30, 19, 15)}},
    };
    const std::array<u16, 2> src{0x7FFF, rgb15(31, 8, 1)};
    for (const auto& [op, want] : one) {
        std::array<u16, 2> d{};
        op(d.data(), src.data(), 2);
        EXPECT_EQ(d, want);
    }
}

TEST_F(BlendBlit, AddSaturatesAndMulScalesEachChannel) {
    const std::array<u32, 2> a{0xFF808080u, 0x12FF8040u}, b{0xFF808080u, 0x3480FF80u};
    std::array<u32, 2> d{};
    TarnBlit_BlitAdd32(d.data(), a.data(), b.data(), 2);
    EXPECT_EQ(d, (std::array<u32, 2>{0x00FFFFFFu, 0x00FFFFC0u}));
    TarnBlit_BlitMul32(d.data(), a.data(), b.data(), 2);
    EXPECT_EQ(d, (std::array<u32, 2>{0x00404040u, 0x007F7F20u}));

    const std::array<u16, 1> p{rgb15(31, 16, 2)}, q{rgb15(31, 20, 3)};
    std::array<u16, 1> e{};
    TarnBlit_BlitAdd16(e.data(), p.data(), q.data(), 1);
    EXPECT_EQ(e[0], rgb15(31, 31, 5));
    TarnBlit_BlitMul16(e.data(), p.data(), q.data(), 1);
    EXPECT_EQ(e[0], rgb15(30, 10, 0)); // 31*31/32, 16*20/32, 2*3/32
}

TEST_F(BlendBlit, FadesReachTheirEndsAndSaturateEachLaneAlone) {
    const std::array<u32, 3> src{0x00804020u, 0x0020F0E0u, 0x12FFFFFFu};
    std::array<u32, 3> d{};
    TarnBlit_BlitFade32(d.data(), src.data(), 255, 3);
    EXPECT_EQ(d, (std::array<u32, 3>{0xFF804020u, 0xFF20F0E0u, 0xFFFFFFFFu}));
    TarnBlit_BlitFade32(d.data(), src.data(), 0, 3);
    EXPECT_EQ(d, (std::array<u32, 3>{0xFF000000u, 0xFF000000u, 0xFF000000u}));
    TarnBlit_BlitFade32(d.data(), src.data(), 255 - 0x30, 3); // each byte loses 0x30, held at 0
    EXPECT_EQ(d, (std::array<u32, 3>{0xFF501000u, 0xFF00C0B0u, 0xFFCFCFCFu}));
    TarnBlit_BlitFade32(d.data(), src.data(), 0x100 + 255 - 0x30, 1); // only the low byte counts
    EXPECT_EQ(d[0], 0xFF501000u);
    TarnBlit_BlitFadeWhite32(d.data(), src.data(), 0, 3);
    EXPECT_EQ(d, (std::array<u32, 3>{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}));
    TarnBlit_BlitFadeWhite32(d.data(), src.data(), 255 - 0x30, 2);
    EXPECT_EQ(d[0], 0xFFB07050u);
    EXPECT_EQ(d[1], 0xFF50FFFFu);

    const std::array<u16, 2> p{0x7FFF, rgb15(16, 8, 1)};
    std::array<u16, 2> e{};
    TarnBlit_BlitFade16(e.data(), p.data(), 128, 2);
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(15, 15, 15), rgb15(8, 4, 0)}));
    TarnBlit_BlitFade16(e.data(), p.data(), 255, 1);
    EXPECT_EQ(e[0], rgb15(30, 30, 30)); // a multiply: 255/256 of 31
    TarnBlit_BlitFade16fast(e.data(), p.data(), 255, 2);
    EXPECT_EQ(e, p);
    TarnBlit_BlitFade16fast(e.data(), p.data(), 128, 2); // 127 >> 5: three halvings
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(3, 3, 3), rgb15(2, 1, 0)}));
    TarnBlit_BlitFade16fast(e.data(), p.data(), 0, 2);
    EXPECT_EQ(e, (std::array<u16, 2>{0, 0}));
    TarnBlit_BlitFadeWhite16(e.data(), p.data(), 200, 2); // (255 - 200) >> 3 = 6
    EXPECT_EQ(e, (std::array<u16, 2>{0x7FFF, rgb15(22, 14, 7)}));
    TarnBlit_BlitFadeWhite16(e.data(), p.data(), 0, 2);
    EXPECT_EQ(e, (std::array<u16, 2>{0x7FFF, 0x7FFF}));
}

TEST_F(BlendBlit, CrossfadesWeighBothPicturesByLevel) {
    const std::array<u32, 2> a{0x00000000u, 0xFF102030u}, b{0xFFFFFFFFu, 0x00F0E0D0u};
    std::array<u32, 2> d{};
    TarnBlit_BlitCrossfade32(d.data(), a.data(), b.data(), 255, 2);
    EXPECT_EQ(d[0], 0x00FEFEFEu);
    TarnBlit_BlitCrossfade32(d.data(), a.data(), b.data(), 0, 2);
    EXPECT_EQ(d, (std::array<u32, 2>{0u, 0x000F1F2Fu})); // 255/256 of a, not a itself

    // Fast: step 0 and 8 copy exactly; the steps between are eighths, quarters and halves of
    // whole words, wrapping at 32 bits.
    const std::pair<u32, std::array<u32, 2>> fast[] = {
        {0, a},
        {31, a},
        {32, {0x1F1F1F1Fu, 0x192C3844u}}, // (7a + b) / 8 byte by byte
        {64, {0x3F3F3F3Fu, 0x3D485058u}},
        {96, {0x1D5D5D5Du, 0x1B64686Cu}},
        {128, {0x7F7F7F7Fu, 0x7F808080u}},
        {160, {0x1B9B9B9Bu, 0x1D9C9894u}},
        {192, {0x3DBDBDBDu, 0x3FB8B0A8u}},
        {224, {0x19D9D9D9u, 0x1FD4C8BCu}},
        {254, {0x19D9D9D9u, 0x1FD4C8BCu}},
        {255, b},
    };
    for (const auto& [level, want] : fast) {
        TarnBlit_BlitCrossfadeFast32(d.data(), a.data(), b.data(), level, 2);
        EXPECT_EQ(d, want) << level;
    }

    const std::array<u16, 1> p{0}, q{0x7FFF};
    std::array<u16, 1> e{};
    TarnBlit_BlitCrossfade16(e.data(), p.data(), q.data(), 255, 1);
    EXPECT_EQ(e[0], rgb15(30, 30, 30));
    TarnBlit_BlitCrossfade16(e.data(), q.data(), p.data(), 64, 1);
    EXPECT_EQ(e[0], rgb15(23, 23, 23)); // 31 * 191 / 256
}

TEST_F(BlendBlit, AlphawipeRevealsInTheOrderOfTheMaskBlue) {
    const std::array<u32, 4> a{1, 2, 3, 4}, mask{0xFFFFFF00u, 0x00000001u, 0x000000FFu, 0x80u};
    std::array<u32, 4> d{9, 9, 9, 9};
    TarnBlit_BlitAlphawipe32(d.data(), a.data(), mask.data(), 0, 4);
    EXPECT_EQ(d, (std::array<u32, 4>{1, 9, 9, 9}));
    TarnBlit_BlitAlphawipe32(d.data(), a.data(), mask.data(), 0x180, 4); // low byte 0x80
    EXPECT_EQ(d, (std::array<u32, 4>{1, 2, 9, 4}));
    TarnBlit_BlitAlphawipe32(d.data(), a.data(), mask.data(), 255, 4);
    EXPECT_EQ(d, a);

    // 16 bits: blue 1 counts as 8, blue 31 as 248; red and green play no part.
    const std::array<u16, 3> p{1, 2, 3}, m{rgb15(31, 31, 1), 31, 0};
    std::array<u16, 3> e{7, 7, 7};
    TarnBlit_BlitAlphawipe16(e.data(), p.data(), m.data(), 7, 3);
    EXPECT_EQ(e, (std::array<u16, 3>{7, 7, 3}));
    TarnBlit_BlitAlphawipe16(e.data(), p.data(), m.data(), 8, 3);
    EXPECT_EQ(e, (std::array<u16, 3>{1, 7, 3}));
    TarnBlit_BlitAlphawipe16(e.data(), p.data(), m.data(), 248, 3);
    EXPECT_EQ(e, p);
}

TEST_F(BlendBlit, FiltersReadTheFourNeighboursAndLeaveFlatAreasAlone) {
    // Blur: the four neighbours of a 3 by 3 picture's centre (left out itself), stripped to 0xFC
    // bytes, summed wrapping at 32 bits and shifted as a signed word.
    struct Blur {
        u32 l, r, u, d, want;
    };
    const Blur blur[] = {
        {0xFFFFFFFFu, 0xFF00FF00u, 0xFF0000FFu, 0xFFFF0000u, 0xFC7E7E7Eu},
        {0xC0000000u, 0xC0000000u, 0xC0000000u, 0xC0000000u, 0x00000000u},
        {0x20000000u, 0x20000000u, 0x20000000u, 0x20000000u, 0xE0000000u},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFCFCFCFCu},
    };
    u32 out = 0;
    for (const Blur& c : blur) {
        const std::array<u32, 9> pic{0, c.u, 0, c.l, 0x12345678u, c.r, 0, c.d, 0};
        TarnBlit_BlitBlur32(&out, &pic[4], -3, 3, 1);
        EXPECT_EQ(out, c.want) << std::hex << c.l;
    }
    TarnBlit_BlitBlur32(&out, &out, 0, 0, 0);
    EXPECT_EQ(out, 0xFCFCFCFCu); // a count of 0 writes nothing

    // Bright left and top, dark right and bottom, the centre as bright as its left: a stair
    // step, smoothed to the average of left and right.
    std::array<u32, 9> stair{0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0xFFF0F0F0u, 0xFF000000u,
                             0, 0xFF000000u, 0};
    TarnBlit_BlitAntiAlias32(&out, &stair[4], -3, 3, 1);
    EXPECT_EQ(out, 0x7E7F7F7Fu); // the whole-word average: the opacity carry is lost
    // Without the vertical jump (bottom as bright as top) the pixel stays.
    stair[7] = 0xFFFFFFFFu;
    TarnBlit_BlitAntiAlias32(&out, &stair[4], -3, 3, 1);
    EXPECT_EQ(out, 0xFFF0F0F0u);
    // A centre far from both sides (a lone line) stays too.
    stair[7] = 0xFF000000u;
    stair[4] = 0xFF808080u;
    TarnBlit_BlitAntiAlias32(&out, &stair[4], -3, 3, 1);
    EXPECT_EQ(out, 0xFF808080u);

    const u16 w = 0x7FFF;
    std::array<u16, 9> s16{0, w, 0, w, rgb15(30, 30, 30), 0, 0, 0, 0};
    u16 o16 = 0;
    TarnBlit_BlitBlur16(&o16, &s16[4], -3, 3, 1);
    EXPECT_EQ(o16, rgb15(14, 14, 14)); // (28 + 28) / 4
    TarnBlit_BlitAntiAlias16(&o16, &s16[4], -3, 3, 1);
    EXPECT_EQ(o16, rgb15(15, 15, 15));
    s16[4] = rgb15(16, 16, 16); // 48 from both sides' 93 and 0: no side is near
    TarnBlit_BlitAntiAlias16(&o16, &s16[4], -3, 3, 1);
    EXPECT_EQ(o16, rgb15(16, 16, 16));
}

// Every span goes up pixel by pixel, each pixel read just before it is written, whatever the
// overlap of its pictures: spans that work a wide word at a time must give the same. In one block
// of pixels with runs of transparent ones (at 32 bits also opaque colours with a zero top byte
// and black with a non-zero one), against a run done pixel by pixel: every start, count and
// distance between dst and its sources, dst also being a.
template <class P, class Span, class Pixel>
void expect_pixel_by_pixel(Span span, Pixel pixel, const char* what) {
    std::array<P, 160> block{}, want{};
    std::uint32_t seed = 7;
    for (std::int32_t offset = -12; offset <= 12; ++offset)
        for (std::int32_t b_at : {0, 3, -5, 70})
            for (std::int32_t count = 0; count <= 40; ++count) {
                for (std::size_t i = 0; i < block.size(); ++i) {
                    seed = seed * 1103515245u + 12345u;
                    const bool clear = (i / (1 + count % 7)) % 2 == 1;
                    const u32 v = seed >> 4;
                    block[i] = static_cast<P>(clear ? (sizeof(P) == 2 ? 0 : v & 0x00FFFFFFu)
                                                    : (sizeof(P) == 2 ? v | 1 : v | 0x01000000u));
                }
                want = block;
                P* dst = block.data() + 40 + offset;
                const P* a = offset % 2 == 0 ? dst : block.data() + 40;
                const std::ptrdiff_t from_a = a - block.data(), to_d = dst - block.data();
                span(dst, a, block.data() + 40 + b_at, count);
                for (std::int32_t i = 0; i < count; ++i)
                    want[to_d + i] = pixel(want[to_d + i], want[from_a + i], want[40 + b_at + i]);
                ASSERT_EQ(block, want)
                    << what << ": dst at " << offset << ", b at " << b_at << ", count " << count;
            }
}

TEST_F(BlendBlit, WideSpansGoUpPixelByPixelWhateverTheOverlap) {
    const auto transp = [](auto span) {
        return [span](auto* d, const auto*, const auto* b, std::int32_t n) { span(d, b, n); };
    };
    expect_pixel_by_pixel<u32>(
        transp(TarnBlit_BlitTransp32), [](u32 d, u32, u32 b) { return b > 0x00FFFFFFu ? b : d; },
        "Transp32");
    expect_pixel_by_pixel<u16>(
        transp(TarnBlit_BlitTransp16), [](u16 d, u16, u16 b) { return b != 0 ? b : d; },
        "Transp16");
    expect_pixel_by_pixel<u32>(
        TarnBlit_BlitMix32,
        [](u32, u32 a, u32 b) { return ((a & 0xFEFEFEFEu) + (b & 0xFEFEFEFEu)) >> 1; }, "Mix32");
    expect_pixel_by_pixel<u16>(
        TarnBlit_BlitMix16,
        [](u16, u16 a, u16 b) { return static_cast<u16>(((a & 0x7BDE) + (b & 0x7BDE)) >> 1); },
        "Mix16");
}

} // namespace
