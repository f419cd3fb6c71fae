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

TEST_F(Blit, FillsWriteExactlyCountPixels) {
    for (std::int32_t start : {0, 1}) { // also from an odd pixel, not on a 32-bit word
        for (std::int32_t count : {0, 1, 4, 5, 16, 17}) {
            std::array<std::uint16_t, 24> run{};
            run.fill(0xAAAA);
            TarnBlit_BlitFill16(run.data() + start, count, 0x0000FF);
            for (std::int32_t i = 0; i < 24; ++i)
                EXPECT_EQ(run[i], i >= start && i < start + count ? 0x001F : 0xAAAA)
                    << "start " << start << " count " << count << " pixel " << i;
        }
    }
    std::array<std::uint32_t, 10> run{};
    run.fill(7);
    TarnBlit_BlitFill32(run.data() + 2, 5, 0x00ABCDEF);
    for (std::int32_t i = 0; i < 10; ++i)
        EXPECT_EQ(run[i], i >= 2 && i < 7 ? 0x00ABCDEFu : 7u) << i;
}

TEST_F(Blit, CopiesRunInAscendingOrder) {
    std::array<std::uint32_t, 8> a{1, 2, 3, 4, 5, 6, 7, 8};
    // A destination one pixel after its source repeats the first pixel.
    TarnBlit_BlitCopy32(a.data() + 1, a.data(), 5);
    EXPECT_EQ(a, (std::array<std::uint32_t, 8>{1, 1, 1, 1, 1, 1, 7, 8}));
    std::array<std::uint16_t, 8> c{1, 2, 3, 4, 5, 6, 7, 8};
    TarnBlit_BlitCopy16(c.data() + 2, c.data(), 4);
    EXPECT_EQ(c, (std::array<std::uint16_t, 8>{1, 2, 1, 2, 1, 2, 7, 8}));
    TarnBlit_BlitCopy16(c.data(), c.data() + 6, 0);
    EXPECT_EQ(c[0], 1);
}

} // namespace
