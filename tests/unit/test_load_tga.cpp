// The TGA reader: orientations, interleave, run-length packets, grey, alpha, colour maps, words.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "test_load_util.h"

namespace {

using namespace load_test;

std::uint32_t grey(std::uint32_t v) {
    return 0xFF000000u | v * 0x010101u;
}

TEST_F(Load, TgaEveryOrientationAndInterleaveGivesTheSamePicture) {
    const std::vector<std::uint32_t> reference = {k_pic[0][0], k_pic[0][1], k_pic[0][2],
                                                  k_pic[1][0], k_pic[1][1], k_pic[1][2]};
    for (std::uint32_t descriptor : {0x00u, 0x10u, 0x20u, 0x30u}) {
        Loaded l(lsr_image::decode_tga, tga_oriented(descriptor));
        ASSERT_EQ(l.ok, 1) << descriptor;
        EXPECT_EQ(l.bm.width, 3);
        EXPECT_EQ(l.bm.height, 2);
        EXPECT_EQ(l.all(), reference) << descriptor;
    }
    // Four grey rows 1 to 4 from the top, stored as the interleave bits 6 and 7 order them:
    // two passes (rows 0 and 2, then 1 and 3); bit 7 over bit 6 is four passes; and bottom-up.
    const struct {
        std::uint32_t descriptor;
        Bytes stored;
    } cases[] = {{0x60, {1, 3, 2, 4}}, {0xE0, {1, 2, 3, 4}}, {0x40, {4, 2, 3, 1}}};
    for (const auto& c : cases) {
        Bytes b = tga_header(3, 1, 4, 8, c.descriptor);
        b.insert(b.end(), c.stored.begin(), c.stored.end());
        Loaded l(lsr_image::decode_tga, b);
        ASSERT_EQ(l.ok, 1);
        EXPECT_EQ(l.all(), (std::vector<std::uint32_t>{grey(1), grey(2), grey(3), grey(4)}))
            << c.descriptor;
    }
}

TEST_F(Load, TgaRunLengthPacketsCrossRowsAndEndOnASingleRawPixel) {
    // 3 by 2 bottom-up: a run of four reds crosses from the bottom row into the top one, then a
    // raw packet of one green, then a raw packet holding the last single blue pixel.
    Bytes b = tga_header(10, 3, 2, 24, 0x00);
    put(b, 0x80 | 3, 1);
    put_bgr(b, 0xFF0000);
    put(b, 0, 1);
    put_bgr(b, 0x00FF00);
    put(b, 0, 1);
    put_bgr(b, 0x0000FF);
    Loaded l(lsr_image::decode_tga, b);
    ASSERT_EQ(l.ok, 1);
    EXPECT_NE(l.messages.find("TGA is RLE packed."), std::string::npos);
    EXPECT_EQ(l.all(), (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                                   0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u}));
    // A run longer than what is left writes only up to the last pixel.
    Bytes over = tga_header(11, 2, 1, 8, 0x20);
    put(over, 0x80 | 100, 1);
    put(over, 0x40, 1);
    Loaded o(lsr_image::decode_tga, over);
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.all(), (std::vector<std::uint32_t>{grey(0x40), grey(0x40)}));
}

TEST_F(Load, TgaGreyAlphaColourMapsAndSixteenBitPixels) {
    const struct {
        const char* what;
        Bytes header, data;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {"grey after a 3-byte image ID",
         tga_header(3, 2, 1, 8, 0x20, 0, 0, 0, 3),
         {0x00, 0x7F},
         {grey(0), grey(0x7F)}},
        {"32 bits keep alpha",
         tga_header(2, 2, 1, 32, 0x20),
         {0x10, 0x20, 0x30, 0x40, 0x01, 0x02, 0x03, 0x00},
         {0x40302010u, 0x00030201u}},
        // Entry 5 pure red, entry 6 pure blue; index 0 is not in the map.
        {"16-bit map from index 5",
         tga_header(1, 3, 1, 8, 0x20, 5, 2, 16),
         {0x00, 0x7C, 0x1F, 0x00, 5, 6, 0},
         {0xFFF80000u, 0xFF0000F8u, 0xFF000000u}},
        {"map ending at index 255",
         tga_header(1, 1, 1, 8, 0x20, 255, 1, 15),
         {0xE0, 0x03, 255},
         {0xFF00F800u}},
        {"15-bit words, attribute bit ignored",
         tga_header(2, 2, 1, 16, 0x20),
         {0xE0, 0x83, 0xFF, 0x7F},
         {0xFF00F800u, 0xFFF8F8F8u}},
    };
    for (const auto& c : cases) {
        Bytes b = c.header;
        b.insert(b.end(), c.data.begin(), c.data.end());
        Loaded l(lsr_image::decode_tga, b);
        ASSERT_EQ(l.ok, 1) << c.what;
        EXPECT_EQ(l.all(), c.pixels) << c.what;
    }
}

} // namespace
