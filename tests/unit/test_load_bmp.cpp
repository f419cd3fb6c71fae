// The BMP reader: row strides at 4 and 1 bits, top-down rows, the direct depths and the offset.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_load_util.h"

namespace {

using namespace load_test;

TEST_F(Load, BmpRowsStartAWholeStrideApartAtFourAndOneBits) {
    // Width 3 at 4 bits: 2 bytes of pixels padded to a stride of 4; bottom-up.
    const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const Bytes nibbles = {0x12, 0x30, 0xEE, 0xEE, 0x32, 0x10, 0xEE, 0xEE};
    Loaded four(lsr_image::decode_bmp, bmp(3, 2, 4, 0, palette, nibbles));
    ASSERT_EQ(four.ok, 1);
    EXPECT_EQ(four.all(), (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u,
                                                      0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
    // Width 9 at 1 bit: 2 bytes padded to 4; a set bit is black, a clear one white.
    const Bytes bits = {0x80, 0x80, 0xFF, 0xFF, 0x7F, 0x00, 0xFF, 0xFF};
    Loaded one(lsr_image::decode_bmp, bmp(9, 2, 1, 0, {}, bits));
    ASSERT_EQ(one.ok, 1);
    const std::uint32_t k = 0x00000000u, w = 0xFFFFFFFFu;
    EXPECT_EQ(one.all(),
              (std::vector<std::uint32_t>{w, k, k, k, k, k, k, k, w, k, w, w, w, w, w, w, w, k}));
}

TEST_F(Load, BmpTopDownAndTheDirectColourDepths) {
    const Bytes rows = {0, 0, 0xFF, 0xEE, 0xFF, 0, 0, 0xEE}; // red row, then blue row
    Loaded down(lsr_image::decode_bmp, bmp(1, -2, 24, 0, {}, rows));
    ASSERT_EQ(down.ok, 1);
    EXPECT_EQ(down.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(down.at(0, 1), 0xFF0000FFu);
    Loaded up(lsr_image::decode_bmp, bmp(1, 2, 24, 0, {}, rows));
    ASSERT_EQ(up.ok, 1);
    EXPECT_EQ(up.at(0, 0), 0xFF0000FFu);

    // 16 bits: 4-4-4 with compression 3, 5-5-5 without.
    const Bytes words = {0x00, 0x0F, 0xF0, 0x00};
    Loaded masked(lsr_image::decode_bmp, bmp(2, 1, 16, 3, {}, words));
    ASSERT_EQ(masked.ok, 1);
    EXPECT_EQ(masked.at(0, 0), 0xFFF00000u);
    EXPECT_EQ(masked.at(1, 0), 0xFF00F000u);
    Loaded plain(lsr_image::decode_bmp, bmp(2, 1, 16, 0, {}, words));
    ASSERT_EQ(plain.ok, 1);
    EXPECT_EQ(plain.at(0, 0), 0xFF18C000u);
    EXPECT_EQ(plain.at(1, 0), 0xFF003880u);

    const Bytes quad = {0x11, 0x22, 0x33, 0x44};
    Loaded argb(lsr_image::decode_bmp, bmp(1, 1, 32, 0, {}, quad));
    ASSERT_EQ(argb.ok, 1);
    EXPECT_EQ(argb.at(0, 0), 0x44332211u);
    Loaded abgr(lsr_image::decode_bmp, bmp(1, 1, 32, 3, {}, quad));
    ASSERT_EQ(abgr.ok, 1);
    EXPECT_EQ(abgr.at(0, 0), 0x11443322u);

    // Only the low 16 bits of the data offset are read.
    Bytes high = bmp(1, 1, 24, 0, {}, {0x30, 0x20, 0x10, 0});
    high[12] = 1;
    Loaded low(lsr_image::decode_bmp, high);
    ASSERT_EQ(low.ok, 1);
    EXPECT_EQ(low.at(0, 0), 0xFF102030u);

    // 8 bits with the colour count 0 reads all 256 entries.
    std::vector<std::uint32_t> full(256, 0);
    full[200] = 0x123456;
    Bytes b = bmp(1, 1, 8, 0, full, {200, 0, 0, 0});
    b[46] = 0;
    Loaded eight(lsr_image::decode_bmp, b);
    ASSERT_EQ(eight.ok, 1);
    EXPECT_EQ(eight.at(0, 0), 0xFF123456u);
}

} // namespace
