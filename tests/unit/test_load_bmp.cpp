// The BMP reader: row strides at 4 and 1 bits, 15-bit words, top-down rows, the direct depths,
// the offset and the full palette.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lodestar/graphics/internal/loadformat.h"
#include "test_load_util.h"

namespace {

using namespace load_test;

TEST_F(Load, BmpRowsStartAWholeStrideApart) {
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
    // 64 pixels at 15 bits need 128 bytes a row, not the 120 that 15 bits a pixel would make.
    EXPECT_EQ(Loaded(lsr_image::decode_bmp, bmp(64, 1, 15, 0, {}, Bytes(128, 0))).ok, 1);
    EXPECT_EQ(Loaded(lsr_image::decode_bmp, bmp(64, 1, 15, 0, {}, Bytes(120, 0))).ok, 0);
}

TEST_F(Load, BmpTopDownTheDirectDepthsTheOffsetAndTheFullPalette) {
    const Bytes rows = {0, 0, 0xFF, 0xEE, 0xFF, 0, 0, 0xEE}; // red row, then blue row
    const Bytes words = {0x00, 0x0F, 0xF0, 0x00}, quad = {0x11, 0x22, 0x33, 0x44};
    Bytes high = bmp(1, 1, 24, 0, {}, {0x30, 0x20, 0x10, 0});
    high[12] = 1; // only the low 16 bits of the data offset are read
    std::vector<std::uint32_t> full(256, 0);
    full[200] = 0x123456;
    Bytes eight = bmp(1, 1, 8, 0, full, {200, 0, 0, 0});
    eight[46] = 0; // the colour count 0 reads all 256 entries
    const struct {
        const char* what;
        Bytes file;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {"top-down", bmp(1, -2, 24, 0, {}, rows), {0xFFFF0000u, 0xFF0000FFu}},
        {"bottom-up", bmp(1, 2, 24, 0, {}, rows), {0xFF0000FFu, 0xFFFF0000u}},
        {"16 bits 4-4-4 with compression 3",
         bmp(2, 1, 16, 3, {}, words),
         {0xFFF00000u, 0xFF00F000u}},
        {"16 bits 5-5-5", bmp(2, 1, 16, 0, {}, words), {0xFF18C000u, 0xFF003880u}},
        {"32 bits", bmp(1, 1, 32, 0, {}, quad), {0x44332211u}},
        {"32 bits with compression 3", bmp(1, 1, 32, 3, {}, quad), {0x11443322u}},
        {"offset", high, {0xFF102030u}},
        {"256 colours", eight, {0xFF123456u}},
    };
    for (const auto& c : cases) {
        Loaded l(lsr_image::decode_bmp, c.file);
        ASSERT_EQ(l.ok, 1) << c.what;
        EXPECT_EQ(l.all(), c.pixels) << c.what;
    }
}

} // namespace
