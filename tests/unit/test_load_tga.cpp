// The TGA reader: orientations, interleave, run-length packets, grey, alpha, colour maps, words.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_load_util.h"

namespace {

using namespace load_test;

std::vector<std::uint32_t> reference() {
    return {k_pic[0][0], k_pic[0][1], k_pic[0][2], k_pic[1][0], k_pic[1][1], k_pic[1][2]};
}

TEST_F(Load, TgaEveryOrientationAndInterleaveGivesTheSamePicture) {
    for (std::uint32_t descriptor : {0x00u, 0x10u, 0x20u, 0x30u}) {
        Loaded l(lsr_image::decode_tga, tga_oriented(descriptor));
        ASSERT_EQ(l.ok, 1) << descriptor;
        EXPECT_EQ(l.bm.width, 3);
        EXPECT_EQ(l.bm.height, 2);
        EXPECT_EQ(l.all(), reference()) << descriptor;
    }
    // Four rows top-down in two passes: rows 0 and 2 first, then 1 and 3.
    Bytes b = tga_header(3, 1, 4, 8, 0x20 | 0x40);
    for (std::uint32_t v : {10u, 30u, 20u, 40u}) put(b, v, 1);
    Loaded two(lsr_image::decode_tga, b);
    ASSERT_EQ(two.ok, 1);
    for (std::int32_t y = 0; y < 4; ++y) {
        const std::uint32_t v = 10u * static_cast<std::uint32_t>(y + 1);
        EXPECT_EQ(two.at(0, y), 0xFF000000u | v << 16 | v << 8 | v) << y;
    }
    // Bit 7 wins over bit 6: four passes of one row each for four rows stored 0 1 2 3 as passes.
    b = tga_header(3, 1, 4, 8, 0x20 | 0xC0);
    for (std::uint32_t v : {1u, 2u, 3u, 4u}) put(b, v, 1);
    Loaded four(lsr_image::decode_tga, b);
    ASSERT_EQ(four.ok, 1);
    EXPECT_EQ(four.at(0, 1) & 0xFF, 2u);
    EXPECT_EQ(four.at(0, 3) & 0xFF, 4u);
    // A bottom-up interleaved image fills every row too, from the bottom.
    b = tga_header(3, 1, 4, 8, 0x40);
    for (std::uint32_t v : {1u, 3u, 2u, 4u}) put(b, v, 1);
    Loaded up(lsr_image::decode_tga, b);
    ASSERT_EQ(up.ok, 1);
    for (std::int32_t y = 0; y < 4; ++y)
        EXPECT_EQ(up.at(0, y) & 0xFF, static_cast<std::uint32_t>(4 - y)) << y;
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
    EXPECT_EQ(o.at(1, 0), 0xFF404040u);
    // Data that ends before every pixel is set is refused.
    Bytes short_rle = tga_header(10, 3, 2, 24, 0);
    put(short_rle, 0x80 | 2, 1);
    put_bgr(short_rle, 0xFF0000);
    LSR_Bitmap untouched{7, 8, 9, 10, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(lsr_image::decode_tga(short_rle.data(), static_cast<std::uint32_t>(short_rle.size()),
                                    &untouched),
              0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "TGA is RLE packed.TGA: truncated run-length data\n"),
              std::string::npos);
    EXPECT_EQ(untouched.width, 7);
}

TEST_F(Load, TgaGreyAlphaColourMapsAndSixteenBitPixels) {
    Bytes grey = tga_header(3, 2, 1, 8, 0x20, 0, 0, 0, 3); // with an image ID to skip
    put(grey, 0x00, 1);
    put(grey, 0x7F, 1);
    Loaded g(lsr_image::decode_tga, grey);
    ASSERT_EQ(g.ok, 1);
    EXPECT_EQ(g.at(0, 0), 0xFF000000u);
    EXPECT_EQ(g.at(1, 0), 0xFF7F7F7Fu);

    Bytes alpha = tga_header(2, 2, 1, 32, 0x20);
    for (std::uint32_t byte : {0x10u, 0x20u, 0x30u, 0x40u, 0x01u, 0x02u, 0x03u, 0x00u})
        put(alpha, byte, 1);
    Loaded a(lsr_image::decode_tga, alpha);
    ASSERT_EQ(a.ok, 1);
    EXPECT_EQ(a.at(0, 0), 0x40302010u);
    EXPECT_EQ(a.at(1, 0), 0x00030201u);

    // A 16-bit map placed from index 5: entry 5 pure red, entry 6 pure blue; index 0 unset.
    Bytes mapped = tga_header(1, 3, 1, 8, 0x20, 5, 2, 16);
    put(mapped, 0x7C00, 2);
    put(mapped, 0x001F, 2);
    for (std::uint32_t v : {5u, 6u, 0u}) put(mapped, v, 1);
    Loaded m(lsr_image::decode_tga, mapped);
    ASSERT_EQ(m.ok, 1);
    EXPECT_EQ(m.at(0, 0), 0xFFF80000u);
    EXPECT_EQ(m.at(1, 0), 0xFF0000F8u);
    EXPECT_EQ(m.at(2, 0), 0xFF000000u);

    // A map may end exactly at index 255.
    Bytes last = tga_header(1, 1, 1, 8, 0x20, 255, 1, 15);
    put(last, 0x03E0, 2);
    put(last, 255, 1);
    Loaded top(lsr_image::decode_tga, last);
    ASSERT_EQ(top.ok, 1);
    EXPECT_EQ(top.at(0, 0), 0xFF00F800u);

    // A 24-bit map, the font's kind.
    Bytes font = tga_header(1, 1, 1, 8, 0x20, 0, 2, 24);
    put_bgr(font, 0x112233);
    put_bgr(font, 0x445566);
    put(font, 1, 1);
    Loaded f(lsr_image::decode_tga, font);
    ASSERT_EQ(f.ok, 1);
    EXPECT_EQ(f.at(0, 0), 0xFF445566u);

    Bytes words = tga_header(2, 2, 1, 16, 0x20);
    put(words, 0x8000 | 0x03E0, 2); // attribute bit ignored
    put(words, 0x7FFF, 2);
    Loaded w(lsr_image::decode_tga, words);
    ASSERT_EQ(w.ok, 1);
    EXPECT_EQ(w.at(0, 0), 0xFF00F800u);
    EXPECT_EQ(w.at(1, 0), 0xFFF8F8F8u);
}

} // namespace
