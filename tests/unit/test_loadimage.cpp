// The image readers on files built here: TGA, BMP, PCX and SCX pixels, both page depths, the
// dispatch messages, hostile headers, palettes, and loading by name through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/frame/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/video/video.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;

void put(Bytes& b, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void set_depth(bool sixteen) {
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
}

using Decode = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);

// A decoded picture, deleted at the end of the test.
struct Loaded {
    LSR_Bitmap bm;
    std::int32_t ok = 0;
    Loaded(Decode decode, const Bytes& file) {
        testing::internal::CaptureStdout();
        ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm);
        messages = testing::internal::GetCapturedStdout();
    }
    ~Loaded() { LSR_DeleteBitmap(&bm); }
    std::uint32_t at(std::int32_t x, std::int32_t y) const { return LSR_GetPixel(x, y, bm); }
    // Every pixel, rows top to bottom.
    std::vector<std::uint32_t> all() const {
        std::vector<std::uint32_t> out;
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x) out.push_back(at(x, y));
        return out;
    }
    std::string messages;
};

class Load : public ::testing::Test {
  protected:
    void SetUp() override { set_depth(false); }
    void TearDown() override { LSR_video.flags = 0; }
};

// ---- TGA -------------------------------------------------------------------------------------

Bytes tga_header(std::uint32_t type, std::uint32_t width, std::uint32_t height, std::uint32_t depth,
                 std::uint32_t descriptor, std::uint32_t map_first = 0,
                 std::uint32_t map_length = 0, std::uint32_t map_bits = 0,
                 std::uint32_t id_length = 0) {
    Bytes b;
    put(b, id_length, 1);
    put(b, map_length > 0 ? 1 : 0, 1);
    put(b, type, 1);
    put(b, map_first, 2);
    put(b, map_length, 2);
    put(b, map_bits, 1);
    put(b, 0, 4);
    put(b, width, 2);
    put(b, height, 2);
    put(b, depth, 1);
    put(b, descriptor, 1);
    for (std::uint32_t i = 0; i < id_length; ++i) b.push_back(0xEE);
    return b;
}

// The reference picture: 3 by 2, top row red green blue, bottom row white black grey.
constexpr std::uint32_t k_pic[2][3] = {{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu},
                                       {0xFFFFFFFFu, 0xFF000000u, 0xFF808080u}};

void put_bgr(Bytes& b, std::uint32_t c) {
    put(b, c & 0xFF, 1);
    put(b, c >> 8 & 0xFF, 1);
    put(b, c >> 16 & 0xFF, 1);
}

// The reference picture stored in the order the descriptor's bits 4 and 5 give.
Bytes tga_oriented(std::uint32_t descriptor) {
    Bytes b = tga_header(2, 3, 2, 24, descriptor);
    const bool right_to_left = descriptor & 0x10, top_down = descriptor & 0x20;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            put_bgr(b, k_pic[top_down ? r : 1 - r][right_to_left ? 2 - c : c]);
    return b;
}

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

// ---- BMP -------------------------------------------------------------------------------------

Bytes bmp(std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t compression,
          const std::vector<std::uint32_t>& palette, const Bytes& pixels) {
    Bytes b = tarn_test::bytes_of("BM");
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
    put(b, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    put(b, 0, 4);
    put(b, offset, 4);
    put(b, 40, 4);
    put(b, static_cast<std::uint32_t>(width), 4);
    put(b, static_cast<std::uint32_t>(height), 4);
    put(b, 1, 2);
    put(b, bits, 2);
    put(b, compression, 4);
    put(b, static_cast<std::uint32_t>(pixels.size()), 4);
    put(b, 0, 8);
    put(b, static_cast<std::uint32_t>(palette.size()), 4);
    put(b, 0, 4);
    for (std::uint32_t c : palette) {
        put_bgr(b, c);
        put(b, 0, 1);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

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

// ---- PCX and SCX -----------------------------------------------------------------------------

Bytes pcx_header(std::uint32_t width, std::uint32_t height, std::uint32_t planes) {
    Bytes b(128, 0);
    b[0] = 10;
    b[3] = 8;
    b[8] = static_cast<std::uint8_t>(width - 1);
    b[9] = static_cast<std::uint8_t>((width - 1) >> 8);
    b[10] = static_cast<std::uint8_t>(height - 1);
    b[11] = static_cast<std::uint8_t>((height - 1) >> 8);
    b[65] = static_cast<std::uint8_t>(planes);
    return b;
}

TEST_F(Load, PcxPalettedAndThreePlaneImages) {
    // 3 by 2 at 8 bits: a run of four index 1 across the rows, a literal 2, a run-encoded 0xC5.
    Bytes b = pcx_header(3, 2, 1);
    for (std::uint32_t byte : {0xC4u, 1u, 2u, 0xC1u, 0xC5u}) put(b, byte, 1);
    Bytes palette(768, 0);
    palette[3] = 0x10, palette[4] = 0x20, palette[5] = 0x30;
    palette[6] = 0xAA;
    palette[3 * 0xC5 + 2] = 0x77;
    b.insert(b.end(), palette.begin(), palette.end());
    Loaded p(lsr_image::decode_pcx, b);
    ASSERT_EQ(p.ok, 1);
    EXPECT_EQ(p.messages, "width: 3, height: 2, bpp: 8\n");
    const std::uint32_t one = 0xFF102030u;
    EXPECT_EQ(p.all(), (std::vector<std::uint32_t>{one, one, one, one, 0xFFAA0000u, 0xFF000077u}));

    // 2 by 2 at 24 bits: each row a red, a green and a blue scanline.
    Bytes t = pcx_header(2, 2, 3);
    for (std::uint32_t byte : {0xC2u, 0xFFu, 1u, 2u, 3u, 4u, /* row 2 */ 5u, 6u, 7u, 8u, 9u, 10u})
        put(t, byte, 1);
    Loaded c(lsr_image::decode_pcx, t);
    ASSERT_EQ(c.ok, 1);
    EXPECT_EQ(c.messages, "width: 2, height: 2, bpp: 24\n");
    EXPECT_EQ(c.all(),
              (std::vector<std::uint32_t>{0xFFFF0103u, 0xFFFF0204u, 0xFF050709u, 0xFF06080Au}));
}

TEST_F(Load, ScxSixBitPaletteRowsTopDown) {
    Bytes b(10, 0);
    b[4] = 2;
    b[6] = 2;
    Bytes palette(768, 0);
    palette[3] = 63, palette[4] = 32, palette[5] = 1;
    b.insert(b.end(), palette.begin(), palette.end());
    for (std::uint32_t v : {1u, 0u, 0u, 1u}) put(b, v, 1);
    Loaded s(lsr_image::decode_scx, b);
    ASSERT_EQ(s.ok, 1);
    EXPECT_EQ(s.messages, "width: 2, height: 2, bpp: 8\n");
    EXPECT_EQ(s.all(),
              (std::vector<std::uint32_t>{0xFFFC8004u, 0xFF000000u, 0xFF000000u, 0xFFFC8004u}));
}

// ---- every reader ----------------------------------------------------------------------------

TEST_F(Load, SixteenBitPagesHoldTheConvertedColours) {
    const Bytes file = tga_oriented(0x00);
    std::vector<std::uint32_t> wide;
    {
        Loaded l(lsr_image::decode_tga, file);
        ASSERT_EQ(l.ok, 1);
        wide = l.all();
    }
    set_depth(true);
    Loaded narrow(lsr_image::decode_tga, file);
    ASSERT_EQ(narrow.ok, 1);
    EXPECT_EQ(narrow.bm.size, 3 * 2 * 2);
    const auto* words = static_cast<const std::uint16_t*>(narrow.bm.data);
    for (std::size_t i = 0; i < wide.size(); ++i)
        EXPECT_EQ(words[i], TarnBlit_color24to16(wide[i])) << i;
}

struct Hostile {
    const char* what;
    Decode decode;
    Bytes file;
};

TEST_F(Load, TruncatedAndHostileHeadersAreRefusedUntouchedAndWithoutLeaks) {
    Bytes pcx_tall = pcx_header(1, 1, 1);
    pcx_tall[10] = 0xFF, pcx_tall[11] = 0xFF, pcx_tall[8] = 0xFF, pcx_tall[9] = 0xFF;
    pcx_tall.resize(128 + 10 + 768, 0xC1);
    Bytes pcx_cut = pcx_header(4, 4, 1);
    pcx_cut.push_back(0xC2); // a run with no value, then the palette
    pcx_cut.resize(pcx_cut.size() + 768, 0);
    Bytes scx_big(778, 0);
    scx_big[4] = 0xFF, scx_big[5] = 0xFF, scx_big[6] = 0xFF;
    Bytes scx_empty(778 + 4, 0);
    Bytes tga_map = tga_header(1, 1, 1, 8, 0, 250, 10, 24);
    tga_map.resize(tga_map.size() + 31, 0);
    Bytes tga_cut = tga_oriented(0);
    tga_cut.pop_back();
    Bytes tga_zero = tga_header(2, 0, 5, 24, 0);
    Bytes bmp_cut = bmp(3, 3, 24, 0, {}, Bytes(35, 0));
    Bytes bmp_pal = bmp(1, 1, 8, 0, {}, {});
    bmp_pal[46] = 0; // 256 colours claimed, none present
    const std::vector<Hostile> cases = {
        {"empty tga", lsr_image::decode_tga, {}},
        {"17-byte tga", lsr_image::decode_tga, Bytes(17, 0)},
        {"tga map past 255", lsr_image::decode_tga, tga_map},
        {"tga map entry size 8", lsr_image::decode_tga, tga_header(1, 1, 1, 8, 0, 0, 1, 8)},
        {"tga truncated map", lsr_image::decode_tga, tga_header(1, 1, 1, 8, 0, 0, 4, 24)},
        {"tga depth 12", lsr_image::decode_tga, tga_header(2, 1, 1, 12, 0)},
        {"tga one byte short", lsr_image::decode_tga, tga_cut},
        {"tga huge", lsr_image::decode_tga, tga_header(2, 0xFFFF, 0xFFFF, 32, 0)},
        {"tga huge packed", lsr_image::decode_tga, tga_header(10, 0xFFFF, 0xFFFF, 32, 0)},
        {"tga no width", lsr_image::decode_tga, tga_zero},
        {"53-byte bmp", lsr_image::decode_bmp, Bytes(53, 0)},
        {"bmp depth 2", lsr_image::decode_bmp, bmp(1, 1, 2, 0, {}, Bytes(4, 0))},
        {"bmp zero width", lsr_image::decode_bmp, bmp(0, 1, 24, 0, {}, Bytes(4, 0))},
        {"bmp negative width", lsr_image::decode_bmp, bmp(-3, 1, 24, 0, {}, Bytes(12, 0))},
        {"bmp height min", lsr_image::decode_bmp, bmp(1, INT32_MIN, 24, 0, {}, Bytes(4, 0))},
        {"bmp short rows", lsr_image::decode_bmp, bmp_cut},
        {"bmp huge", lsr_image::decode_bmp, bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}, {})},
        {"bmp truncated palette", lsr_image::decode_bmp, bmp_pal},
        {"127-byte pcx", lsr_image::decode_pcx, Bytes(127, 0)},
        {"pcx without palette", lsr_image::decode_pcx, pcx_header(1, 1, 1)},
        {"pcx huge", lsr_image::decode_pcx, pcx_tall},
        {"pcx run cut", lsr_image::decode_pcx, pcx_cut},
        {"pcx planes cut", lsr_image::decode_pcx, pcx_header(2, 2, 3)},
        {"777-byte scx", lsr_image::decode_scx, Bytes(777, 0)},
        {"scx huge", lsr_image::decode_scx, scx_big},
        {"scx no pixels", lsr_image::decode_scx, scx_empty},
    };
    for (const Hostile& c : cases) {
        const std::uint32_t in_use = g_mem_in_use.load();
        LSR_Bitmap bm{7, 8, 9, 10, nullptr};
        testing::internal::CaptureStdout();
        const std::int32_t ok =
            c.decode(c.file.data(), static_cast<std::uint32_t>(c.file.size()), &bm);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(ok, 0) << c.what;
        EXPECT_NE(out.find(": "), std::string::npos) << c.what << " printed " << out;
        EXPECT_EQ(out.back(), '\n') << c.what;
        EXPECT_EQ(bm.width, 7) << c.what;
        EXPECT_EQ(bm.height, 8) << c.what;
        EXPECT_EQ(bm.size, 9) << c.what;
        EXPECT_EQ(bm.data, nullptr) << c.what;
        EXPECT_EQ(g_mem_in_use.load(), in_use) << c.what;
    }
}

// ---- through the file layer ------------------------------------------------------------------

class LoadFile : public tarn_test::Mounted {
  protected:
    void SetUp() override {
        Mounted::SetUp();
        set_depth(false);
        ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), 2), 1);
    }
    void TearDown() override {
        LSR_DeleteBitmap(&bm);
        LSR_video.flags = 0;
        Mounted::TearDown();
    }
    std::string load(const std::string& name) {
        testing::internal::CaptureStdout();
        LSR_LoadBitmap(name.c_str(), &bm);
        return testing::internal::GetCapturedStdout();
    }
    LSR_Bitmap bm;
};

TEST_F(LoadFile, NamesPickTheReaderAndFailuresEndInTheNotLoadedError) {
    dir.write("pic.tga", tga_oriented(0x20)); // names are looked up in lower case
    const std::uint32_t in_use = g_mem_in_use.load();
    EXPECT_EQ(load("pic.TgA"), "Loading TGA image.");
    ASSERT_NE(bm.data, nullptr);
    EXPECT_EQ(LSR_GetPixel(2, 1, bm), k_pic[1][2]);
    LSR_DeleteBitmap(&bm);
    EXPECT_EQ(g_mem_in_use.load(), in_use); // the file's buffer is released too

    dir.write("pic.gif", tga_oriented(0x20));
    EXPECT_EQ(load("pic.gif"), "No GIF supported.\n\xFE ERROR: Image pic.gif not loaded.\n");
    EXPECT_EQ(bm.data, nullptr);
    EXPECT_EQ(load("picture"), "\xFE ERROR: Image picture not loaded.\n");
    EXPECT_EQ(load(".tga"), "\xFE ERROR: Image .tga not loaded.\n");
    EXPECT_EQ(load("pic.tgax"), "\xFE ERROR: Image pic.tgax not loaded.\n");
    const std::string missing = load("gone.bmp");
    EXPECT_EQ(missing.rfind("Loading BMP image.\n", 0), 0u) << missing;
    EXPECT_NE(missing.find("gone.bmp"), std::string::npos);
    EXPECT_NE(missing.find("\xFE ERROR: Image gone.bmp not loaded.\n"), std::string::npos);
    EXPECT_EQ(bm.data, nullptr);

    dir.write("bad.pcx", Bytes(40, 0));
    EXPECT_EQ(load("bad.pcx"), "Loading PCX image.\nPCX: file too short for its header\n"
                               "\xFE ERROR: Image bad.pcx not loaded.\n");
    EXPECT_EQ(bm.data, nullptr);
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

TEST_F(LoadFile, PalettesAreTheFirst768Bytes) {
    Bytes pal(800);
    for (std::size_t i = 0; i < pal.size(); ++i) pal[i] = static_cast<std::uint8_t>(i * 3);
    dir.write("game.pal", pal);
    std::vector<std::uint8_t> out(770, 0x55);
    LSR_LoadPal("game.pal", out.data());
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 768, pal.begin()));
    EXPECT_EQ(out[768], 0x55);
    // A short file leaves the palette as it was instead of copying past the file's end.
    dir.write("short.pal", Bytes(100, 1));
    std::vector<std::uint8_t> kept(768, 0x55);
    testing::internal::CaptureStdout();
    LSR_LoadPal("short.pal", kept.data());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("too short"), std::string::npos);
    EXPECT_EQ(kept, std::vector<std::uint8_t>(768, 0x55));
}

} // namespace
