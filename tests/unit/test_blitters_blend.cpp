// The blending span blitters: mixes, add, multiply, fades, cross-fades, wipes and filters.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/blitters_blend.h"

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

TEST_F(BlendBlit, MixesAverageWholeWordsAndKeepTheOpacityCarry) {
    const std::array<u32, 3> a{0xFFFFFFFFu, 0xFF808080u, 0x01020304u};
    const std::array<u32, 3> b{0xFF000000u, 0xFF000000u, 0x00000000u};
    std::array<u32, 3> d{};
    TarnBlit_BlitMix32(d.data(), a.data(), b.data(), 3);
    // Colour bytes lose their low bit; two opaque bytes average to 0xFE, not wrap to 0x7E.
    EXPECT_EQ(d, (std::array<u32, 3>{0xFE7F7F7Fu, 0xFE404040u, 0x00010102u}));
    TarnBlit_BlitQMix32(d.data(), a.data(), b.data(), 3);
    EXPECT_EQ(d[0], 0xFCBDBDBDu); // (3 * 0xFC + 0xFC) / 4 and 3 * 0xFC / 4
    std::array<u32, 3> same = a;  // dst may be a
    TarnBlit_BlitQMix32(same.data(), same.data(), b.data(), 3);
    EXPECT_EQ(same[0], 0xFCBDBDBDu);
    TarnBlit_BlitDarken32(d.data(), a.data(), 3);
    EXPECT_EQ(d, (std::array<u32, 3>{0x7F7F7F7Fu, 0x7F404040u, 0x00010102u}));
    TarnBlit_BlitBrighten32(d.data(), b.data(), 2);
    EXPECT_EQ(d[0], 0xFE7F7F7Fu); // black becomes mid grey
    TarnBlit_BlitBrighten32(d.data(), a.data(), 1);
    EXPECT_EQ(d[0], 0xFEFEFEFEu);

    const std::array<u16, 2> p{0x7FFF, rgb15(31, 8, 1)}, q{0, rgb15(1, 8, 31)};
    std::array<u16, 2> e{};
    TarnBlit_BlitMix16(e.data(), p.data(), q.data(), 2);
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(15, 15, 15), rgb15(15, 8, 15)}));
    TarnBlit_BlitQMix16(e.data(), p.data(), q.data(), 2);
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(21, 21, 21), rgb15(21, 8, 7)}));
    TarnBlit_BlitDarken16(e.data(), p.data(), 2);
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(15, 15, 15), rgb15(15, 4, 0)}));
    TarnBlit_BlitBrighten16(e.data(), q.data(), 2);
    EXPECT_EQ(e, (std::array<u16, 2>{rgb15(15, 15, 15), rgb15(15, 19, 30)}));
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

    // Fast: step 0 and 8 copy exactly, the steps between are eighths, quarters and halves.
    const auto fast = [&](u32 level) {
        TarnBlit_BlitCrossfadeFast32(d.data(), a.data(), b.data(), level, 2);
        return d;
    };
    EXPECT_EQ(fast(255), b);
    EXPECT_EQ(fast(31), a);
    EXPECT_EQ(fast(254)[0], 0xD9D9D9D9u); // 7 * 0xF8 / 8
    EXPECT_EQ(fast(224)[0], 0xD9D9D9D9u);
    EXPECT_EQ(fast(223)[0], 0xBDBDBDBDu); // 3 * 0xFC / 4
    EXPECT_EQ(fast(128)[0], 0x7F7F7F7Fu);
    EXPECT_EQ(fast(96)[0], 0x5D5D5D5Du); // 3 * 0xF8 / 8
    EXPECT_EQ(fast(32)[1], 0xD92C3844u); // (7a + b) / 8 byte by byte

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
    // A 3 by 3 picture; the span is its middle pixel.
    std::array<u32, 9> pic{0, 0xFF0000FFu, 0, 0xFFFFFFFFu, 0x12345678u, 0xFF00FF00u,
                           0, 0xFFFF0000u, 0};
    u32 out = 0;
    TarnBlit_BlitBlur32(&out, &pic[4], -3, 3, 1);
    // Each neighbour stripped to 0xFC bytes (two 0xFC per channel: 0x7E); the opacity sum
    // carries; the centre is left out.
    EXPECT_EQ(out, 0xFC7E7E7Eu);
    TarnBlit_BlitBlur32(&out, &pic[4], 0, 0, 0);
    EXPECT_EQ(out, 0xFC7E7E7Eu); // a count of 0 writes nothing

    // Bright left and top, dark right and bottom, the centre as bright as its left: a stair
    // step, smoothed to the average of left and right.
    std::array<u32, 9> stair{0, 0xFFFFFFFFu, 0, 0xFFFFFFFFu, 0xFFF0F0F0u, 0xFF000000u,
                             0, 0xFF000000u, 0};
    TarnBlit_BlitAntiAlias32(&out, &stair[4], -3, 3, 1);
    EXPECT_EQ(out, 0xFE7F7F7Fu);
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

} // namespace
