// Image readers on files the tests make: TGA orientations, run-length packets, grey, alpha and
// colour maps; BMP row padding, top-down rows and bit masks; PCX; SCX; truncated files refused
// without a trace; the reader chosen by extension, its messages, and the 16-bit page.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lodestar/frame/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "lodestar/video/video.h"
#include "test_tarnfile_util.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void le16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void le32(Bytes& b, std::uint32_t v) {
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}

Bytes tga(std::uint8_t type, int w, int h, std::uint8_t bits, std::uint8_t descriptor,
          const Bytes& body, const Bytes& map = {}, int map_entries = 0, int map_bits = 0) {
    Bytes b{0, static_cast<std::uint8_t>(map_entries ? 1 : 0), type};
    le16(b, 0);
    le16(b, static_cast<std::uint32_t>(map_entries));
    b.push_back(static_cast<std::uint8_t>(map_bits));
    le16(b, 0);
    le16(b, 0);
    le16(b, static_cast<std::uint32_t>(w));
    le16(b, static_cast<std::uint32_t>(h));
    b.push_back(bits);
    b.push_back(descriptor);
    b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes bmp(int w, int h, int bits, const Bytes& pixels, const Bytes& palette = {},
          std::uint32_t compression = 0, const Bytes& masks = {}) {
    const std::uint32_t offset =
        14 + 40 + static_cast<std::uint32_t>(masks.size() + palette.size());
    Bytes b{'B', 'M'};
    le32(b, offset + static_cast<std::uint32_t>(pixels.size()));
    le32(b, 0);
    le32(b, offset);
    le32(b, 40);
    le32(b, static_cast<std::uint32_t>(w));
    le32(b, static_cast<std::uint32_t>(h));
    le16(b, 1);
    le16(b, static_cast<std::uint32_t>(bits));
    le32(b, compression);
    le32(b, static_cast<std::uint32_t>(pixels.size()));
    le32(b, 0);
    le32(b, 0);
    le32(b, static_cast<std::uint32_t>(palette.size() / 4));
    le32(b, 0);
    b.insert(b.end(), masks.begin(), masks.end());
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

using Decoder = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);

// The decoded picture as 0xAARRGGBB, top row first; empty when refused.
std::vector<std::uint32_t> decode(Decoder d, const Bytes& file, int* w = nullptr,
                                  int* h = nullptr) {
    LSR_Bitmap bm;
    testing::internal::CaptureStdout();
    const std::int32_t ok = d(file.data(), static_cast<std::uint32_t>(file.size()), &bm);
    testing::internal::GetCapturedStdout();
    std::vector<std::uint32_t> out;
    if (ok == 0) return out;
    if (w != nullptr) *w = bm.width;
    if (h != nullptr) *h = bm.height;
    for (int i = 0; i < bm.pixels; ++i)
        out.push_back(static_cast<const std::uint32_t*>(bm.data)[i]);
    LSR_DeleteBitmap(&bm);
    return out;
}

std::vector<std::uint32_t> opaque(std::initializer_list<std::uint32_t> rgb) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t c : rgb) out.push_back(0xFF000000u | c);
    return out;
}

class Readers : public ::testing::Test {
  protected:
    void SetUp() override { LSR_video.flags = 0; }
    void TearDown() override {
        LSR_video.flags = 0;
        tarnfile_closeimage();
    }
};

TEST_F(Readers, TgaOrientationsPacketsGreyAlphaAndColourMaps) {
    // The picture, top row first: red green / blue white.
    const auto want = opaque({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    const Bytes R{0, 0, 255}, G{0, 255, 0}, B{255, 0, 0}, W{255, 255, 255};
    const auto cat = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(2, 2, 2, 24, 0x20, cat({R, G, B, W}))), want);
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(2, 2, 2, 24, 0x00, cat({B, W, R, G}))), want);
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(2, 2, 2, 24, 0x30, cat({G, R, W, B}))), want);
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(2, 2, 2, 24, 0x10, cat({W, B, G, R}))), want);

    // Run-length: one run of three across the row end, then a raw packet of a single pixel.
    const Bytes rle = cat({{0x82}, R, {0x00}, W});
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(10, 2, 2, 24, 0x20, rle)),
              opaque({0xFF0000, 0xFF0000, 0xFF0000, 0xFFFFFF}));
    // A packet that runs past the last pixel stops at the picture's end (the sanitizer build
    // catches any write beyond it).
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(10, 1, 1, 24, 0x20, cat({{0x85}, R}))),
              opaque({0xFF0000}));
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(3, 2, 1, 8, 0x20, {0, 200})),
              opaque({0x000000, 0xC8C8C8}));
    // 32 bits keep their alpha byte.
    EXPECT_EQ(decode(lsr_image::decode_tga, tga(2, 1, 1, 32, 0x20, {1, 2, 3, 0x40})),
              std::vector<std::uint32_t>{0x40030201u});
    // A 16-bit colour map: entry 1 is pure red in 5-5-5.
    EXPECT_EQ(decode(lsr_image::decode_tga,
                     tga(1, 2, 1, 8, 0x20, {1, 0}, {0x1F, 0x00, 0x00, 0x7C}, 2, 16)),
              opaque({0xF80000, 0x0000F8}));
}

TEST_F(Readers, BmpRowPaddingTopDownRowsAndBitMasks) {
    const Bytes two{0, 0, 0, 0, 255, 255, 255, 0}; // black, white
    // 4 bits, width 3: one row of two bytes padded to four.
    const Bytes pal4{0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(3, 1, 4, {0x12, 0x00, 0, 0}, pal4)),
              opaque({0xFFFFFF, 0xFF0000, 0x000000}));
    // 1 bit, width 9 in two rows, bottom-up: the second stored row is the top one. A set bit is
    // black with a clear top byte, a clear bit opaque white; the palette is not used.
    const auto mono =
        decode(lsr_image::decode_bmp, bmp(9, 2, 1, {0x00, 0x00, 0, 0, 0x80, 0x80, 0, 0}, two));
    ASSERT_EQ(mono.size(), 18u);
    EXPECT_EQ(mono[0], 0u);
    EXPECT_EQ(mono[8], 0u);
    EXPECT_EQ(mono[1], 0xFFFFFFFFu);
    EXPECT_EQ(mono[9], 0xFFFFFFFFu);
    EXPECT_EQ(mono[17], 0xFFFFFFFFu);
    // A negative height stores the top row first.
    const auto top_down =
        decode(lsr_image::decode_bmp, bmp(9, -2, 1, {0x80, 0x00, 0, 0, 0x00, 0x00, 0, 0}, two));
    ASSERT_EQ(top_down.size(), 18u);
    EXPECT_EQ(top_down[0], 0u);
    EXPECT_EQ(top_down[9], 0xFFFFFFFFu);
    // 16 bits with compression 3 read as 4-4-4, each channel into its top four bits.
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(2, 1, 16, {0x00, 0x0F, 0xF0, 0x00}, {}, 3)),
              opaque({0xF00000, 0x00F000}));
    // Without it, 5-5-5.
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(1, 1, 16, {0x1F, 0x00, 0, 0})), opaque({0x0000F8}));
    // 15 bits take a whole word a pixel: 64 pixels need 128 bytes a row, not 120.
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(64, 1, 15, Bytes(128, 0))).size(), 64u);
    EXPECT_TRUE(decode(lsr_image::decode_bmp, bmp(64, 1, 15, Bytes(120, 0))).empty());
    // 24 bits, bottom-up, rows padded to four bytes.
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(1, 2, 24, {255, 0, 0, 0, 0, 0, 255, 0})),
              opaque({0xFF0000, 0x0000FF}));
}

TEST_F(Readers, PcxAndScx) {
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    h[8] = 3;  // xmax: 4 wide
    h[10] = 0; // ymax: 1 high
    h[65] = 1;
    h[66] = 4;
    Bytes pal8 = h;
    pal8.insert(pal8.end(), {0xC2, 1, 2, 3}); // a run of two, then two literals
    pal8.push_back(0x0C);
    for (int i = 0; i < 256; ++i) pal8.insert(pal8.end(), {static_cast<std::uint8_t>(i), 0, 0});
    EXPECT_EQ(decode(lsr_image::decode_pcx, pal8),
              opaque({0x010000, 0x010000, 0x020000, 0x030000}));

    Bytes rgb = h;
    rgb[65] = 3;
    rgb.insert(rgb.end(), {0xC4, 255, 0xC4, 0, 0xC4, 128}); // the red, green and blue planes
    EXPECT_EQ(decode(lsr_image::decode_pcx, rgb), opaque({0xFF0080, 0xFF0080, 0xFF0080, 0xFF0080}));

    Bytes scx(778, 0);
    scx[4] = 2;
    scx[6] = 1;
    scx[10 + 3] = 63; // entry 1: red at full 6-bit strength
    scx.insert(scx.end(), {1, 0});
    EXPECT_EQ(decode(lsr_image::decode_scx, scx), opaque({0xFC0000, 0x000000}));
}

TEST_F(Readers, EveryTruncationIsRefusedWithNothingLeftBehind) {
    Bytes scx(778, 0);
    scx[4] = 2;
    scx[6] = 2;
    scx.insert(scx.end(), {1, 2, 3, 4});
    Bytes pcx(128, 0);
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 1;
    pcx[65] = 1;
    pcx[66] = 2;
    pcx.insert(pcx.end(), {5, 6});
    pcx.push_back(0x0C);
    pcx.insert(pcx.end(), 768, 7);
    const struct {
        Decoder d;
        Bytes file;
    } cases[] = {
        {lsr_image::decode_tga, tga(2, 2, 2, 24, 0, Bytes(12, 9))},
        {lsr_image::decode_tga, tga(10, 2, 2, 32, 0x20, {0x83, 1, 2, 3, 4})},
        {lsr_image::decode_tga, tga(1, 2, 1, 8, 0, {0, 1}, {1, 2, 3, 4, 5, 6}, 2, 24)},
        {lsr_image::decode_bmp, bmp(3, 2, 24, Bytes(24, 5))},
        {lsr_image::decode_bmp, bmp(3, 1, 4, {0x12, 0, 0, 0}, {0, 0, 0, 0, 9, 9, 9, 0})},
        {lsr_image::decode_pcx, pcx},
        {lsr_image::decode_scx, scx},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(decode(c.d, c.file).empty()) << "the whole file reads";
        const std::uint32_t in_use = g_mem_in_use.load();
        for (std::size_t n = 0; n < c.file.size(); ++n) {
            const Bytes part(c.file.begin(), c.file.begin() + static_cast<long>(n));
            LSR_Bitmap bm;
            bm.width = 12345;
            testing::internal::CaptureStdout();
            const std::int32_t ok = c.d(part.data(), static_cast<std::uint32_t>(n), &bm);
            const std::string said = testing::internal::GetCapturedStdout();
            if (ok != 0) {
                LSR_DeleteBitmap(&bm); // a PCX palette is optional; what reads must be whole
                continue;
            }
            EXPECT_EQ(bm.width, 12345) << n;
            EXPECT_EQ(bm.data, nullptr) << n;
            EXPECT_FALSE(said.empty()) << "a refusal says why, at " << n << " bytes";
        }
        EXPECT_EQ(g_mem_in_use.load(), in_use);
    }
}

TEST_F(Readers, LoadBitmapPicksByExtensionSaysWhyAndConvertsToTheSixteenBitPage) {
    tarn_test::TempDir dir;
    dir.write("red.tga", tga(2, 1, 1, 24, 0, {0, 0, 255}));
    dir.write("pal.act", Bytes(768, 3));
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);

    LSR_Bitmap bm;
    testing::internal::CaptureStdout();
    LSR_LoadBitmap("RED.TGA", &bm);
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("not loaded"), std::string::npos);
    ASSERT_NE(bm.data, nullptr);
    EXPECT_EQ(LSR_GetPixel(0, 0, bm) & 0xFFFFFF, 0xFF0000u);
    LSR_DeleteBitmap(&bm);

    for (const char* name : {"picture.gif", "noextension", "missing.tga", "a.tgax"}) {
        LSR_Bitmap none;
        testing::internal::CaptureStdout();
        LSR_LoadBitmap(name, &none);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(none.data, nullptr);
        EXPECT_NE(said.find(std::string("\xFE ERROR: Image ") + name + " not loaded.\n"),
                  std::string::npos)
            << said;
        if (std::string(name) == "picture.gif") {
            EXPECT_EQ(said.rfind("No GIF supported.\n", 0), 0u);
        }
    }

    LSR_video.flags = LSR_VIDEO_16BIT;
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    LSR_Bitmap page16;
    testing::internal::CaptureStdout();
    LSR_LoadBitmap("red.tga", &page16);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(page16.data, nullptr);
    EXPECT_EQ(page16.size, 2);
    EXPECT_EQ(static_cast<const std::uint16_t*>(page16.data)[0], 0x7C00u);
    LSR_DeleteBitmap(&page16);

    std::uint8_t palette[768] = {};
    LSR_LoadPal("pal.act", palette);
    EXPECT_EQ(palette[767], 3);
}

} // namespace
