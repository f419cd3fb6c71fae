// The 16-bit pixel format, colour conversions and the fill and copy span blitters.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/blitters.h"

namespace {

class Blit : public ::testing::Test {
  protected:
    void SetUp() override { TarnBlit_Initialise(5, 5, 5, 10, 5, 0); }
};

TEST_F(Blit, ConversionsTruncateForceOpacityAndFollowTheFormat) {
    EXPECT_EQ(TarnBlit_color24to16(0x070707), 0x0000);   // truncated, not rounded
    EXPECT_EQ(TarnBlit_color24to16(0xAB000000), 0x0000); // opacity ignored
    EXPECT_EQ(TarnBlit_color24to16(0x00FF8040), (0x1F << 10) | (0x10 << 5) | 0x08);
    EXPECT_EQ(TarnBlit_color16to24(0x7FFF), 0xFFF8F8F8u);
    EXPECT_EQ(TarnBlit_color16to24(0x8000), 0xFF000000u); // bit 15 belongs to no channel
    for (std::uint32_t p = 0; p < 0x8000; p += 0x123)
        EXPECT_EQ(TarnBlit_color24to16(TarnBlit_color16to24(static_cast<std::uint16_t>(p))), p);
    std::uint16_t p16 = 0;
    TarnBlit_BlitPixel16(&p16, 0x12FF0000);
    EXPECT_EQ(TarnBlit_GetPixel16(&p16), 0xFFF80000u);
    // 5-6-5 keeps one more green bit.
    TarnBlit_Initialise(5, 6, 5, 11, 5, 0);
    EXPECT_EQ(tarnblit_redmask, 0xF800u);
    EXPECT_EQ(TarnBlit_color24to16(0x00FF00), 0x07E0);
    EXPECT_EQ(TarnBlit_color16to24(0x07E0), 0xFF00FC00u);
}

// From every start within a wide word and for counts on both sides of the wide stores: exactly
// count pixels, the converted colour at 16 bits.
template <class P>
void expect_fills_exactly(void (*fill)(P*, std::int32_t, std::uint32_t), P want) {
    for (std::int32_t start = 0; start < 8; ++start)
        for (std::int32_t count = 0; count < 70; ++count) {
            std::array<P, 80> run{};
            run.fill(0xAAAA);
            fill(run.data() + start, count, 0x12FF0000u + 0xFF);
            for (std::int32_t i = 0; i < 80; ++i)
                ASSERT_EQ(run[i], i >= start && i < start + count ? want : P{0xAAAA})
                    << "start " << start << " count " << count << " pixel " << i;
        }
}

TEST_F(Blit, FillsWriteExactlyCountPixels) {
    expect_fills_exactly<std::uint16_t>(TarnBlit_BlitFill16, 0x7C1F);
    expect_fills_exactly<std::uint32_t>(TarnBlit_BlitFill32, 0x12FF00FFu);
}

// Against a copy going up pixel by pixel, with the destination before, on and after its source
// by up to more than the run: after it and within the run, pixels repeat.
template <class P> void expect_ascending_copies(void (*copy)(P*, const P*, std::int32_t)) {
    for (std::int32_t offset = -12; offset <= 12; ++offset)
        for (std::int32_t count : {0, 1, 3, 4, 5, 8, 9, 11, 17, 40}) {
            std::array<P, 80> run{}, want{};
            for (std::size_t i = 0; i < run.size(); ++i) run[i] = static_cast<P>(i + 1);
            want = run;
            for (std::int32_t i = 0; i < count; ++i) want[20 + offset + i] = want[20 + i];
            copy(run.data() + 20 + offset, run.data() + 20, count);
            ASSERT_EQ(run, want) << "offset " << offset << " count " << count;
        }
}

TEST_F(Blit, CopiesRunInAscendingOrder) {
    std::array<std::uint32_t, 8> a{1, 2, 3, 4, 5, 6, 7, 8};
    // A destination one pixel after its source repeats the first pixel.
    TarnBlit_BlitCopy32(a.data() + 1, a.data(), 5);
    EXPECT_EQ(a, (std::array<std::uint32_t, 8>{1, 1, 1, 1, 1, 1, 7, 8}));
    expect_ascending_copies<std::uint16_t>(TarnBlit_BlitCopy16);
    expect_ascending_copies<std::uint32_t>(TarnBlit_BlitCopy32);
}

} // namespace
