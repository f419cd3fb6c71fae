// The runner's picture of a page: the colours shown, their checksum, and the PNG file of them.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "headless.h"
#include "shot.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A present of the given words, bottom row first as the surface holds them.
template <class Word>
headless::Present present(int width, int height, const std::vector<Word>& bottom_up) {
    headless::Present p;
    p.width = width;
    p.height = height;
    p.bpp = static_cast<int>(sizeof(Word) * 8);
    p.pixels.resize(bottom_up.size() * sizeof(Word));
    std::memcpy(p.pixels.data(), bottom_up.data(), p.pixels.size());
    return p;
}

std::uint32_t be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

TEST(Shot, ShownColoursComeTopRowFirstWithoutTheTopByteAtEitherDepth) {
    const auto p32 = present<std::uint32_t>(2, 2,
                                            {0xFF102030, 0x00405060,   // bottom row
                                             0x12FF0000, 0xAB0000FF}); // top row
    EXPECT_EQ(shot::rgb_rows(p32),
              (Bytes{0xFF, 0, 0, 0, 0, 0xFF, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}));
    // 5-5-5: full scale stays full scale, a middle level widens by its top bits.
    const auto p16 = present<std::uint16_t>(2, 2, {0x7C00, 0x03E0, 0x001F, 0x4210});
    EXPECT_EQ(shot::rgb_rows(p16), (Bytes{0, 0, 0xFF, 132, 132, 132, 0xFF, 0, 0, 0, 0xFF, 0}));
    headless::Present odd = p32;
    odd.bpp = 24;
    EXPECT_TRUE(shot::rgb_rows(odd).empty());
}

TEST(Shot, ChecksumFollowsWhatIsShownAndItsShape) {
    const std::vector<std::uint32_t> words = {1, 2, 3, 4, 5, 6};
    const std::uint32_t base = shot::checksum(present<std::uint32_t>(3, 2, words));
    const struct {
        const char* change;
        int width, height;
        std::vector<std::uint32_t> words;
        bool same;
    } cases[] = {
        {"the unshown top byte", 3, 2, {0xFF000001, 2, 3, 4, 5, 6}, true},
        {"one channel of one pixel", 3, 2, {1, 2, 3, 4, 5, 7}, false},
        {"the same bytes in another shape", 2, 3, words, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shot::checksum(present<std::uint32_t>(c.width, c.height, c.words)) == base,
                  c.same)
            << c.change;
}

TEST(Shot, PngHoldsItsHeaderThePixelsRowByRowAndRightCrcs) {
    const Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const Bytes png = shot::encode_png(3, 2, rgb);
    ASSERT_GT(png.size(), 8u);
    // The signature, then the chunks in order, each with the CRC of its type and data.
    std::string layout(png.begin(), png.begin() + 8);
    Bytes header, packed;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = be32(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        EXPECT_EQ(be32(png, at + 8 + length), crc32(0, png.data() + at + 4, length + 4)) << layout;
        const std::string type(data - 4, data);
        layout += " " + type;
        if (type == "IHDR") header.assign(data, data + length);
        if (type == "IDAT") packed.assign(data, data + length);
        at += 12 + length;
    }
    EXPECT_EQ(layout, "\x89PNG\r\n\x1A\n IHDR IDAT IEND");
    // 3 by 2, 8 bits, truecolour, deflate, no filtering, no interlacing.
    EXPECT_EQ(header, (Bytes{0, 0, 0, 3, 0, 0, 0, 2, 8, 2, 0, 0, 0}));
    Bytes raw(2 * (1 + 9));
    uLongf raw_size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &raw_size, packed.data(), packed.size()), Z_OK);
    EXPECT_EQ(raw, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    EXPECT_TRUE(shot::encode_png(4, 2, rgb).empty()) << "bytes that are not 4 by 2 pixels";
}

} // namespace
