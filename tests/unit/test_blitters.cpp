// The 16-bit pixel formats, the colour conversions and the fill and copy span blitters.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/blitters.h"

namespace {

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

// Against a copy going up pixel by pixel, the destination before, on and after its source by up
// to more than the run: after it and within the run, pixels repeat.
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

TEST(Blit, FillsAndCopiesWriteExactlyTheirRun) {
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    expect_fills_exactly<std::uint16_t>(TarnBlit_BlitFill16, 0x7C1F);
    expect_fills_exactly<std::uint32_t>(TarnBlit_BlitFill32, 0x12FF00FFu);
    expect_ascending_copies<std::uint16_t>(TarnBlit_BlitCopy16);
    expect_ascending_copies<std::uint32_t>(TarnBlit_BlitCopy32);
}

} // namespace
