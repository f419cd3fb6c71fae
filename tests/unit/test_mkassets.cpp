// The asset painter: its files decode with the library's readers, the sockets sit where the
// device paints its LEDs, the font images follow the marker rule, the Photoshop header holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "lodestar/graphics/loadimage.h"
#include "lodestar/video/video.h"
#include "paint.h"
#include "test_tarnfile_util.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A decoded picture, released at the end.
struct Decoded {
    LSR_Bitmap bm{};
    explicit Decoded(const Bytes& file) {
        ok = lsr_image::decode_tga(file.data(), static_cast<std::uint32_t>(file.size()), &bm) == 1;
    }
    ~Decoded() {
        if (bm.data != nullptr) LSR_DeleteBitmap(&bm);
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        return static_cast<const std::uint32_t*>(bm.data)[y * bm.width + x] & 0xFFFFFF;
    }
    bool ok = false;
};

bool is_key(std::uint32_t c) {
    return (c >> 16 & 0xFF) > 240 && (c >> 8 & 0xFF) < 16 && (c & 0xFF) > 240;
}

// Glyph widths as the font reader measures them: glyph 0 is 0 wide, glyph 1 starts at column 0.
std::vector<std::int32_t> marker_widths(const Decoded& font) {
    std::vector<std::int32_t> widths;
    std::int32_t previous = 0;
    widths.push_back(0);
    for (std::int32_t x = 1; x < font.bm.width; ++x)
        if (!is_key(font.at(x, 0))) {
            widths.push_back(x - previous);
            previous = x;
        }
    widths.push_back(font.bm.width - previous);
    return widths;
}

std::uint32_t be(const Bytes& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

class Mkassets : public ::testing::Test {
  protected:
    void SetUp() override { LSR_video.flags = 0; }
    void TearDown() override { LSR_video.flags = 0; }
};

TEST_F(Mkassets, SixFilesInNameOrderDecodeAtTheirSizesAndKinds) {
    const std::vector<mkassets::Asset> assets = mkassets::make_assets();
    ASSERT_EQ(assets.size(), 6u);
    struct Want {
        const char* name;
        std::uint8_t type, depth;
        std::int32_t w, h;
    };
    const Want want[] = {{"font_heat.tga", 1, 8, 618, 20}, {"font_small07.tga", 1, 8, 0, 8},
                         {"leds.tga", 2, 24, 640, 481},    {"meggyjr.psd", 0, 0, 0, 0},
                         {"meggyjr.tga", 2, 24, 640, 480}, {"meggyjr2.tga", 10, 24, 320, 240}};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(assets[i].name, want[i].name);
        if (want[i].type == 0) continue;
        const Bytes& f = assets[i].bytes;
        ASSERT_GE(f.size(), 18u);
        EXPECT_EQ(f[2], want[i].type);
        EXPECT_EQ(f[16], want[i].depth);
        EXPECT_EQ(f[17], 0) << "bottom-up";
        EXPECT_EQ(f[1], want[i].type == 1 ? 1 : 0);
        const Decoded d(f);
        ASSERT_TRUE(d.ok);
        if (want[i].w != 0) {
            EXPECT_EQ(d.bm.width, want[i].w);
        }
        EXPECT_EQ(d.bm.height, want[i].h);
    }
    // Painting is deterministic: the build packs the same bytes every time.
    EXPECT_EQ(mkassets::make_assets()[4].bytes, assets[4].bytes);
}

TEST_F(Mkassets, WritersRoundTripThroughTheReader) {
    const mkassets::Picture device = mkassets::paint_device();
    const mkassets::Picture half = mkassets::half_size(device);
    for (bool rle : {false, true}) {
        const Bytes file = mkassets::encode_tga(half, rle);
        const Decoded d(file);
        ASSERT_TRUE(d.ok);
        std::int32_t wrong = 0;
        for (std::int32_t y = 0; y < half.height(); ++y)
            for (std::int32_t x = 0; x < half.width(); ++x) wrong += d.at(x, y) != half.rgb(x, y);
        EXPECT_EQ(wrong, 0) << "rle " << rle;
        if (rle) {
            EXPECT_LT(file.size(), std::size_t{320 * 240 * 3});
        }
    }
    const mkassets::Picture font = mkassets::paint_heat_font();
    const Decoded d(mkassets::encode_tga_mapped(font));
    ASSERT_TRUE(d.ok);
    std::int32_t wrong = 0;
    for (std::int32_t y = 0; y < font.height(); ++y)
        for (std::int32_t x = 0; x < font.width(); ++x) wrong += d.at(x, y) != font.rgb(x, y);
    EXPECT_EQ(wrong, 0);
    // A picture of more than 256 colours has no 8-bit form.
    EXPECT_TRUE(mkassets::encode_tga_mapped(device).empty());
    // Sides past the formats' fields give nothing rather than a wrapped header.
    const mkassets::Picture wide(70000, 1);
    EXPECT_TRUE(mkassets::encode_tga(wide, false).empty());
    EXPECT_TRUE(mkassets::encode_tga_mapped(wide).empty());
    EXPECT_TRUE(mkassets::encode_psd(wide).empty());
    EXPECT_FALSE(mkassets::encode_tga(mkassets::Picture(1, 1), true).empty());
}

TEST_F(Mkassets, SocketsAndButtonsSitWhereTheDeviceIsPainted) {
    const Decoded d(mkassets::make_assets()[4].bytes);
    ASSERT_TRUE(d.ok);
    // A recess: its rim colour on all four sides just inside the radius, and not just outside.
    auto socket_at = [&](std::int32_t cx, std::int32_t cy, std::int32_t in, std::int32_t out) {
        const std::uint32_t rim = d.at(cx + in, cy);
        bool ok = d.at(cx - in, cy) == rim && d.at(cx, cy + in) == rim && d.at(cx, cy - in) == rim;
        for (auto [dx, dy] : {std::pair{out, 0}, {-out, 0}, {0, out}, {0, -out}})
            ok = ok && d.at(cx + dx, cy + dy) != rim;
        return ok && d.at(cx, cy) != rim;
    };
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x) {
            const std::int32_t cx = mkassets::matrix_x(x), cy = mkassets::matrix_y(y);
            EXPECT_TRUE(socket_at(cx, cy, 13, 15)) << x << "," << y;
            // The module between the recesses differs from an LED's place.
            EXPECT_NE(d.at(cx, cy), d.at(cx + 15, cy + 15));
        }
    for (std::int32_t k = 0; k < 8; ++k) {
        const std::int32_t cx = mkassets::aux_x(k);
        EXPECT_TRUE(socket_at(cx, mkassets::k_aux_y, 7, 9)) << k;
        EXPECT_NE(d.at(cx, mkassets::k_aux_y), d.at(cx + 15, mkassets::k_aux_y));
    }
    // Buttons lie inside the picture, clear of the matrix and of each other, with a dark cap.
    const std::uint32_t board = d.at(320, 460);
    for (const mkassets::ButtonPlace& b : mkassets::k_buttons) {
        SCOPED_TRACE(std::string(b.name));
        const std::int32_t h = mkassets::k_button_half;
        EXPECT_TRUE(b.x - h >= 0 && b.x + h < 640 && b.y - h >= 0 && b.label_y + 14 < 480);
        const bool over_matrix =
            b.x + h >= mkassets::matrix_x(0) - 14 && b.x - h <= mkassets::matrix_x(7) + 14 &&
            b.y + h >= mkassets::matrix_y(7) - 14 && b.y - h <= mkassets::matrix_y(0) + 14;
        EXPECT_FALSE(over_matrix);
        for (const mkassets::ButtonPlace& o : mkassets::k_buttons) {
            if (&o == &b) continue;
            EXPECT_GT(std::max(std::abs(o.x - b.x), std::abs(o.y - b.y)), 2 * h);
        }
        const std::uint32_t cap = d.at(b.x + 4, b.y + 4);
        EXPECT_NE(cap, board);
        EXPECT_LT((cap >> 16 & 0xFF) + (cap >> 8 & 0xFF) + (cap & 0xFF), 150u);
    }
}

TEST_F(Mkassets, FontImagesFollowTheMarkerRule) {
    const std::vector<mkassets::Asset> assets = mkassets::make_assets();
    const Decoded heat(assets[0].bytes);
    ASSERT_TRUE(heat.ok);
    std::vector<std::int32_t> w = marker_widths(heat);
    std::int32_t sum = 0;
    for (std::int32_t x : w) sum += x;
    EXPECT_EQ(sum, 618);
    EXPECT_GE(w.size(), 50u) << "codes from the space on, as many as fit";
    EXPECT_LE(w.size(), 96u);
    // Glyph 1 is the space: no ink. Glyph 2 ("!") is narrower than glyph 46 ("M").
    ASSERT_GE(w.size(), 47u);
    for (std::int32_t y = 1; y < 20; ++y)
        for (std::int32_t x = 0; x < w[1]; ++x) EXPECT_TRUE(is_key(heat.at(x, y)));
    EXPECT_LT(w[2], w[46]);
    // Ink runs from yellow at the top of the letters to red at their foot.
    std::int32_t top_green = -1, foot_green = 256;
    for (std::int32_t y = 1; y < 20; ++y)
        for (std::int32_t x = 0; x < 618; ++x) {
            const std::uint32_t c = heat.at(x, y);
            if ((c >> 16 & 0xFF) != 255 || (c & 0xFF) != 0) continue;
            const auto g = static_cast<std::int32_t>(c >> 8 & 0xFF);
            if (top_green < 0) top_green = g;
            foot_green = g;
        }
    EXPECT_GE(top_green, 200);
    EXPECT_LE(foot_green, 40);
    // The top row's marker pixels and nothing else are outside the key.
    const Decoded small(assets[1].bytes);
    ASSERT_TRUE(small.ok);
    w = marker_widths(small);
    EXPECT_EQ(w.size(), 96u) << "glyph 0 and codes 32 to 126";
    EXPECT_LT(w[2], w[46]);
}

TEST_F(Mkassets, PhotoshopFileHasItsHeaderAndPlanarData) {
    const Bytes psd = mkassets::make_assets()[3].bytes;
    ASSERT_GE(psd.size(), 40u);
    EXPECT_EQ(Bytes(psd.begin(), psd.begin() + 4), (Bytes{'8', 'B', 'P', 'S'}));
    EXPECT_EQ(be(psd, 4, 2), 1u);
    EXPECT_EQ(be(psd, 6, 4) | be(psd, 10, 2), 0u);
    EXPECT_EQ(be(psd, 12, 2), 3u);
    const std::uint32_t h = be(psd, 14, 4), w = be(psd, 18, 4);
    EXPECT_EQ(be(psd, 22, 2), 8u);
    EXPECT_EQ(be(psd, 24, 2), 3u);
    EXPECT_EQ(be(psd, 26, 4) | be(psd, 30, 4) | be(psd, 34, 4) | be(psd, 38, 2), 0u);
    ASSERT_EQ(psd.size(), 40u + 3u * w * h);
    // The planes are red, then green, then blue: the board's green dominates its middle plane.
    const std::size_t board = static_cast<std::size_t>(w * h / 2 + w * 15 / 16); // right of A
    EXPECT_GT(psd[40 + w * h + board], psd[40 + board]);
    EXPECT_GT(psd[40 + w * h + board], psd[40 + 2 * w * h + board]);
}

TEST_F(Mkassets, WritesIntoANewDirectoryAndRefusesAnImpossibleOne) {
    tarn_test::TempDir dir;
    const std::string out = dir / "a/b";
    testing::internal::CaptureStdout();
    EXPECT_EQ(mkassets::write_assets(out), 0);
    for (const char* name : {"font_heat.tga", "font_small07.tga", "leds.tga", "meggyjr.psd",
                             "meggyjr.tga", "meggyjr2.tga"})
        EXPECT_GT(std::filesystem::file_size(out + "/" + name), 18u) << name;
    dir.write("file", {1});
    testing::internal::CaptureStderr();
    EXPECT_EQ(mkassets::write_assets(dir / "file/sub"), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("mkassets: cannot"), std::string::npos);
    testing::internal::GetCapturedStdout();
}

} // namespace
