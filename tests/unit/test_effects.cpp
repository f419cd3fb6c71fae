// Whole-bitmap effects and blended, filtered drawing at both depths.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/frame/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/video/video.h"

namespace {

// A bitmap made by the library at the current depth, deleted at the end of the test.
struct Pic {
    LSR_Bitmap bm;
    Pic(std::int32_t w, std::int32_t h) { LSR_CreateBitmap(w, h, &bm); }
    ~Pic() { LSR_DeleteBitmap(&bm); }
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        const std::size_t i = static_cast<std::size_t>(y) * bm.width + x;
        return LSR_Is16Bit() ? static_cast<const std::uint16_t*>(bm.data)[i]
                             : static_cast<const std::uint32_t*>(bm.data)[i];
    }
    void set(std::int32_t x, std::int32_t y, std::uint32_t v) {
        const std::size_t i = static_cast<std::size_t>(y) * bm.width + x;
        if (LSR_Is16Bit())
            static_cast<std::uint16_t*>(bm.data)[i] = static_cast<std::uint16_t>(v);
        else
            static_cast<std::uint32_t*>(bm.data)[i] = v;
    }
    void fill(std::uint32_t v) {
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x) set(x, y, v);
    }
};

class Effect : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        LSR_video.flags = GetParam() ? LSR_VIDEO_16BIT : 0;
        TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    }
    void TearDown() override { LSR_video.flags = 0; }
    bool sixteen() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Effect, Effect, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "bits16" : "bits32"; });

TEST_P(Effect, CrossfadeMovesAToBAndRefusesMismatchedPictures) {
    Pic a(3, 2), b(3, 2), dst(3, 2), small(2, 2);
    const std::uint32_t white = sixteen() ? 0x7FFFu : 0xFFFFFFFFu;
    a.fill(0);
    b.fill(white);
    LSR_CrossfadeBitmap(a.bm, b.bm, dst.bm, 255);
    // 255/256 of each channel, rounded down (31 to 30 at 16 bits); the 32-bit opacity byte is
    // dropped.
    const std::uint32_t near_white = sixteen() ? 0x7BDEu : 0x00FEFEFEu;
    for (std::int32_t i = 0; i < 6; ++i) EXPECT_EQ(dst.at(i % 3, i / 3), near_white) << i;
    LSR_CrossfadeBitmap(b.bm, a.bm, dst.bm, 128);
    EXPECT_EQ(dst.at(2, 1), sixteen() ? 0x3DEFu : 0x007E7E7Eu); // 255 * 127 / 256 = 126

    dst.fill(0x1234);
    testing::internal::CaptureStdout();
    LSR_CrossfadeBitmap(a.bm, small.bm, dst.bm, 0); // b smaller than dst: not read past its end
    LSR_CrossfadeBitmap(small.bm, b.bm, dst.bm, 0);
    LSR_Bitmap none = a.bm;
    none.data = nullptr;
    LSR_CrossfadeBitmap(a.bm, none, dst.bm, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "bitmap has no data\nbitmap has no data\nbitmap has no data\n");
    EXPECT_EQ(dst.at(0, 0), 0x1234u);
}

} // namespace
