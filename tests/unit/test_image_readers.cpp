// Image readers against short files: every prefix of a valid file of each kind is refused without
// a trace, and 15-bit BMP rows are measured in whole words.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/frame/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "lodestar/video/video.h"

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

class Readers : public ::testing::Test {
  protected:
    void SetUp() override { LSR_video.flags = 0; }
    void TearDown() override {
        LSR_video.flags = 0;
        tarnfile_closeimage();
    }
};

TEST_F(Readers, FifteenBitRowsAreWholeWords) {
    // 64 pixels need 128 bytes a row, not the 120 that 15 bits a pixel would make.
    EXPECT_EQ(decode(lsr_image::decode_bmp, bmp(64, 1, 15, Bytes(128, 0))).size(), 64u);
    EXPECT_TRUE(decode(lsr_image::decode_bmp, bmp(64, 1, 15, Bytes(120, 0))).empty());
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

} // namespace
