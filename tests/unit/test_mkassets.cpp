// The asset painter: its files decode with the library's readers, the sockets sit where the
// device paints its LEDs, the font images follow the marker rule, the Photoshop header holds, and
// the examples' files come out in every image format the library reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "meggyjr/meggyjr.h"
#include "paint.h"
#include "test_load_util.h"

namespace {

using load_test::Bytes;

// A picture written by the painter, decoded by the library's reader (TGA unless told).
struct Decoded : load_test::Loaded {
    explicit Decoded(const Bytes& file, load_test::Decode decode = lsr_image::decode_tga)
        : Loaded(decode, file) {}
    std::uint32_t rgb(std::int32_t x, std::int32_t y) const { return at(x, y) & 0xFFFFFF; }
    // Pixels that differ from the picture's.
    std::int32_t wrong(const mkassets::Picture& pic) const {
        std::int32_t n = 0;
        for (std::int32_t y = 0; y < pic.height(); ++y)
            for (std::int32_t x = 0; x < pic.width(); ++x) n += rgb(x, y) != pic.rgb(x, y);
        return n;
    }
};

bool is_key(std::uint32_t c) {
    return (c >> 16 & 0xFF) > 240 && (c >> 8 & 0xFF) < 16 && (c & 0xFF) > 240;
}

// Glyph widths as the font reader measures them: glyph 0 is 0 wide, glyph 1 starts at column 0.
std::vector<std::int32_t> marker_widths(const Decoded& font) {
    std::vector<std::int32_t> widths = {0};
    std::int32_t previous = 0;
    for (std::int32_t x = 1; x < font.bm.width; ++x)
        if (!is_key(font.rgb(x, 0))) {
            widths.push_back(x - previous);
            previous = x;
        }
    widths.push_back(font.bm.width - previous);
    return widths;
}

class Mkassets : public load_test::Load {
  protected:
    const std::vector<mkassets::Asset> assets = mkassets::make_assets();
};

mkassets::Picture half_device() {
    return mkassets::half_size(mkassets::paint_device());
}

TEST_F(Mkassets, SixFilesInNameOrderDecodeToTheirPicturesAtTheirSizesAndKinds) {
    ASSERT_EQ(assets.size(), 6u);
    const struct {
        const char* name;
        std::uint8_t type, depth;
        std::int32_t w, h;
        mkassets::Picture (*paint)();
    } want[] = {{"font_heat.tga", 1, 8, 618, 20, mkassets::paint_heat_font},
                {"font_small07.tga", 1, 8, 0, 8, mkassets::paint_small_font},
                {"leds.tga", 2, 24, 640, 481, mkassets::paint_led_chart},
                {"meggyjr.psd", 0, 0, 0, 0, nullptr},
                {"meggyjr.tga", 2, 24, 640, 480, mkassets::paint_device},
                {"meggyjr2.tga", 10, 24, 320, 240, half_device}};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(assets[i].name, want[i].name);
        if (want[i].type == 0) continue;
        const Bytes& f = assets[i].bytes;
        ASSERT_GE(f.size(), 18u);
        EXPECT_EQ(f[2], want[i].type);
        EXPECT_EQ(f[16], want[i].depth);
        EXPECT_EQ(f[17], 0) << "bottom-up";
        EXPECT_EQ(f[1], want[i].type == 1 ? 1 : 0) << "colour map present";
        const Decoded d(f);
        ASSERT_EQ(d.ok, 1);
        if (want[i].w != 0) {
            EXPECT_EQ(d.bm.width, want[i].w);
        }
        EXPECT_EQ(d.bm.height, want[i].h);
        EXPECT_EQ(d.wrong(want[i].paint()), 0);
    }
    // Painting is deterministic: the build packs the same bytes every time.
    EXPECT_EQ(mkassets::make_assets()[4].bytes, assets[4].bytes);
    // Run-length packing makes the half-size picture smaller than its plain form.
    EXPECT_LT(assets[5].bytes.size(), std::size_t{320 * 240 * 3});
}

TEST_F(Mkassets, WritersRefuseWhatTheirFormatsCannotHold) {
    // A picture of more than 256 colours has no 8-bit form.
    EXPECT_TRUE(mkassets::encode_tga_mapped(mkassets::paint_device()).empty());
    // Sides past the formats' fields give nothing rather than a wrapped header.
    const mkassets::Picture wide(70000, 1);
    EXPECT_TRUE(mkassets::encode_tga(wide, false).empty());
    EXPECT_TRUE(mkassets::encode_tga_mapped(wide).empty());
    EXPECT_TRUE(mkassets::encode_psd(wide).empty());
    EXPECT_FALSE(mkassets::encode_tga(mkassets::Picture(1, 1), true).empty());
}

TEST_F(Mkassets, ExampleFilesDecodeToTheirPicturesInEveryFormat) {
    const std::vector<mkassets::Asset> examples = mkassets::make_example_assets();
    const struct {
        const char* name;
        load_test::Decode decode;
        mkassets::Picture (*paint)();
    } want[] = {{"heat.tga", lsr_image::decode_tga, mkassets::paint_heat_font},
                {"landscape.tga", lsr_image::decode_tga, mkassets::paint_landscape},
                {"plasma.scx", lsr_image::decode_scx, mkassets::paint_plasma},
                {"rings.bmp", lsr_image::decode_bmp, mkassets::paint_rings},
                {"tiles.pcx", lsr_image::decode_pcx, mkassets::paint_tiles}};
    ASSERT_EQ(examples.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(examples[i].name, want[i].name);
        const Decoded d(examples[i].bytes, want[i].decode);
        ASSERT_EQ(d.ok, 1);
        const mkassets::Picture picture = want[i].paint();
        EXPECT_EQ(d.bm.width, picture.width());
        EXPECT_EQ(d.bm.height, picture.height());
        EXPECT_EQ(d.wrong(picture), 0);
    }
}

TEST_F(Mkassets, PcxRunsSplitAtTheirLimitAndHighIndexesStandInRuns) {
    // Row 0: 200 colours, so that indexes from 0xC0 on stand alone; row 1: one colour 200 wide.
    const mkassets::Picture pic(200, 2);
    for (std::int32_t x = 0; x < 200; ++x) {
        const auto v = static_cast<std::uint32_t>(x);
        LSR_DrawPixel(x, 0, 0xFF000000u | v << 16 | (255 - v), pic.bitmap());
        LSR_DrawPixel(x, 1, 0xFF00FF00u, pic.bitmap());
    }
    const Bytes pcx = mkassets::encode_pcx(pic);
    ASSERT_FALSE(pcx.empty());
    const Decoded d(pcx, lsr_image::decode_pcx);
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(d.wrong(pic), 0);
    // The data: 192 lone values, 8 escaped ones, then the second colour in runs of 63, 63, 63, 11.
    Bytes data(pcx.begin() + 128, pcx.end() - 769);
    ASSERT_EQ(data.size(), 192u + 8 * 2 + 4 * 2);
    EXPECT_EQ(data[192], 0xC1);
    EXPECT_EQ(data[193], 0xC0);
    EXPECT_EQ((Bytes(data.end() - 8, data.end())),
              (Bytes{0xFF, 200, 0xFF, 200, 0xFF, 200, 0xCB, 200}));
    EXPECT_EQ(pcx[pcx.size() - 769], 12) << "the palette's marker";
}

TEST_F(Mkassets, NewWritersRefuseWhatTheReadersCannotTake) {
    const mkassets::Picture odd(5, 4), big(300, 300), off_grid(4, 4), stripes(400, 300),
        many(20, 16);
    LSR_DrawPixel(0, 0, 0xFF010203u, off_grid.bitmap());
    for (std::int32_t i = 0; i < 320; ++i) { // 320 colours, all on the 6-bit grid
        const auto blue = static_cast<std::uint32_t>(i % 64 * 4),
                   green = static_cast<std::uint32_t>(i / 64 * 4);
        LSR_DrawPixel(i % 20, i / 20, 0xFF000000u | green << 8 | blue, many.bitmap());
    }
    // Two colours side by side everywhere: no runs to pack.
    for (std::int32_t x = 0; x < 400; x += 2)
        LSR_DrawVLine(x, 0, 299, 0xFFFFFFFFu, stripes.bitmap());
    const struct {
        const char* what;
        bool empty;
    } cases[] = {
        {"PCX of an odd width", mkassets::encode_pcx(odd).empty()},
        {"PCX of more than 256 colours", mkassets::encode_pcx(many).empty()},
        {"PCX past 65535 bytes", mkassets::encode_pcx(stripes).empty()},
        {"SCX of more than 256 colours", mkassets::encode_scx(many).empty()},
        {"SCX of a channel off the 6-bit grid", mkassets::encode_scx(off_grid).empty()},
        {"SCX past 65535 bytes", mkassets::encode_scx(big).empty()},
        {"BMP of no pixels", mkassets::encode_bmp(mkassets::Picture(0, 0)).empty()},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.empty) << c.what;
    EXPECT_FALSE(mkassets::encode_pcx(mkassets::Picture(4, 4)).empty());
    EXPECT_FALSE(mkassets::encode_scx(mkassets::Picture(4, 4)).empty());
}

TEST_F(Mkassets, SocketsAndButtonsSitWhereTheDeviceIsPainted) {
    const Decoded d(assets[4].bytes);
    ASSERT_EQ(d.ok, 1);
    // A recess: its rim colour on all four sides just inside the radius, and not just outside,
    // and the module between the recesses differs from an LED's place.
    auto socket_at = [&](std::int32_t cx, std::int32_t cy, std::int32_t in, std::int32_t out) {
        const std::uint32_t rim = d.rgb(cx + in, cy);
        bool ok =
            d.rgb(cx - in, cy) == rim && d.rgb(cx, cy + in) == rim && d.rgb(cx, cy - in) == rim;
        for (auto [dx, dy] : {std::pair{out, 0}, {-out, 0}, {0, out}, {0, -out}})
            ok = ok && d.rgb(cx + dx, cy + dy) != rim;
        return ok && d.rgb(cx, cy) != rim && d.rgb(cx, cy) != d.rgb(cx + 15, cy + 15);
    };
    constexpr std::int32_t led = MeggyJr_LedRadius, aux = MeggyJr_AuxLedRadius;
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            EXPECT_TRUE(socket_at(MeggyJr_LedX(x), MeggyJr_LedY(y), led + 1, led + 3))
                << x << "," << y;
    for (std::int32_t k = 0; k < 8; ++k)
        EXPECT_TRUE(socket_at(MeggyJr_AuxLedX(k), MeggyJr_AuxLedY, aux + 1, aux + 3)) << k;
    // Each button has a dark cap.
    for (const mkassets::ButtonPlace& b : mkassets::k_buttons) {
        const std::uint32_t cap = d.rgb(b.x + 4, b.y + 4);
        EXPECT_LT((cap >> 16 & 0xFF) + (cap >> 8 & 0xFF) + (cap & 0xFF), 150u) << b.name;
    }
}

TEST_F(Mkassets, FontImagesFollowTheMarkerRule) {
    const Decoded heat(assets[0].bytes), small(assets[1].bytes);
    ASSERT_TRUE(heat.ok && small.ok);
    const std::vector<std::int32_t> w = marker_widths(heat), s = marker_widths(small);
    std::int32_t sum = 0;
    for (std::int32_t x : w) sum += x;
    EXPECT_EQ(sum, 618);
    ASSERT_GE(w.size(), 50u) << "codes from the space on, as many as fit";
    EXPECT_LE(w.size(), 96u);
    // Glyph 1 is the space: no ink. Glyph 2 ("!") is narrower than glyph 46 ("M").
    for (std::int32_t y = 1; y < 20; ++y)
        for (std::int32_t x = 0; x < w[1]; ++x) EXPECT_TRUE(is_key(heat.rgb(x, y)));
    EXPECT_LT(w[2], w[46]);
    ASSERT_EQ(s.size(), 96u) << "glyph 0 and codes 32 to 126";
    EXPECT_LT(s[2], s[46]);
}

TEST_F(Mkassets, PhotoshopFileHasItsHeaderAndPlanarData) {
    const Bytes& psd = assets[3].bytes;
    ASSERT_GE(psd.size(), 40u);
    const auto be = [&psd](std::size_t at, std::size_t n) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) v = v << 8 | psd[at + i];
        return v;
    };
    EXPECT_EQ(be(0, 4), 0x38425053u) << "8BPS";
    const std::uint32_t header[][3] = {{4, 2, 1},  {6, 4, 0},  {10, 2, 0}, {12, 2, 3}, {22, 2, 8},
                                       {24, 2, 3}, {26, 4, 0}, {30, 4, 0}, {34, 4, 0}, {38, 2, 0}};
    for (const auto& [at, n, value] : header) EXPECT_EQ(be(at, n), value) << "at " << at;
    const std::uint32_t h = be(14, 4), w = be(18, 4);
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
    EXPECT_EQ(mkassets::write_assets(out, assets), 0);
    for (const mkassets::Asset& a : assets)
        EXPECT_EQ(tarn_test::read_file(out + "/" + a.name), a.bytes) << a.name;
    dir.write("file", {1});
    testing::internal::CaptureStderr();
    EXPECT_EQ(mkassets::write_assets(dir / "file/sub", assets), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("mkassets: cannot"), std::string::npos);
    testing::internal::GetCapturedStdout();
}

} // namespace
