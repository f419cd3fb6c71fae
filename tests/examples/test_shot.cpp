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
    EXPECT_EQ(shot::checksum(present<std::uint32_t>(3, 2, words)), base);
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
    ASSERT_GT(png.size(), 8u + 25 + 12 + 12);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
              (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    // The chunks in order, each with the CRC of its type and data.
    std::vector<std::string> types;
    Bytes header, packed;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = be32(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const Bytes data(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                         png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        EXPECT_EQ(be32(png, at + 8 + length), crc32(0, png.data() + at + 4, length + 4)) << type;
        if (type == "IHDR") header = data;
        if (type == "IDAT") packed = data;
        types.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    // The end chunk's CRC is the one every PNG file ends with.
    EXPECT_EQ(be32(png, png.size() - 4), 0xAE426082u);
    // 3 by 2, 8 bits, truecolour, deflate, no filtering, no interlacing.
    EXPECT_EQ(header, (Bytes{0, 0, 0, 3, 0, 0, 0, 2, 8, 2, 0, 0, 0}));

    Bytes raw(2 * (1 + 9));
    uLongf raw_size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &raw_size, packed.data(), packed.size()), Z_OK);
    EXPECT_EQ(raw, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18}));

    // Bytes that are not width by height pixels make no file.
    EXPECT_TRUE(shot::encode_png(4, 2, rgb).empty());
}

} // namespace
