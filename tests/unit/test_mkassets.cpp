// The asset painter: its files decode with the library's readers, the sockets sit where the
// device paints its LEDs, the font images follow the marker rule, the Photoshop header holds, and
// the examples' files come out in every image format the library reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/primitives.h"
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

// The program's six files and the examples' five, in name order: each decodes with the library's
// reader to the picture it was painted from; the program's TGA files are of their kinds (8-bit
// mapped fonts, 24-bit plain or run-length pictures), bottom-up.
TEST_F(Mkassets, EveryFileDecodesToItsPictureInItsFormatAndKind) {
    const std::vector<mkassets::Asset> examples = mkassets::make_example_assets();
    const auto tga = lsr_image::decode_tga;
    const struct {
        const std::vector<mkassets::Asset>& set;
        const char* name;
        load_test::Decode decode;
        mkassets::Picture (*paint)();
        std::uint8_t type, depth;
    } want[] = {{assets, "font_heat.tga", tga, mkassets::paint_heat_font, 1, 8},
                {assets, "font_small07.tga", tga, mkassets::paint_small_font, 1, 8},
                {assets, "leds.tga", tga, mkassets::paint_led_chart, 2, 24},
                {assets, "meggyjr.psd", nullptr, nullptr, 0, 0},
                {assets, "meggyjr.tga", tga, mkassets::paint_device, 2, 24},
                {assets, "meggyjr2.tga", tga, half_device, 10, 24},
                {examples, "heat.tga", tga, mkassets::paint_heat_font, 1, 8},
                {examples, "landscape.tga", tga, mkassets::paint_landscape, 10, 24},
                {examples, "plasma.scx", lsr_image::decode_scx, mkassets::paint_plasma, 0, 0},
                {examples, "rings.bmp", lsr_image::decode_bmp, mkassets::paint_rings, 0, 0},
                {examples, "tiles.pcx", lsr_image::decode_pcx, mkassets::paint_tiles, 0, 0}};
    ASSERT_EQ(assets.size() + examples.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        const auto& w = want[i];
        const mkassets::Asset& file = w.set[i < assets.size() ? i : i - assets.size()];
        SCOPED_TRACE(w.name);
        EXPECT_EQ(file.name, w.name);
        if (w.type != 0) {
            const Bytes& f = file.bytes;
            EXPECT_EQ(std::vector<int>({f[1], f[2], f[16], f[17]}),
                      std::vector<int>({w.type == 1, w.type, w.depth, 0}))
                << "colour map, kind, depth, bottom-up";
        }
        if (w.decode == nullptr) continue;
        const Decoded d(file.bytes, w.decode);
        ASSERT_EQ(d.ok, 1);
        const mkassets::Picture picture = w.paint();
        EXPECT_EQ(d.bm.width * 10000 + d.bm.height, picture.width() * 10000 + picture.height());
        EXPECT_EQ(d.wrong(picture), 0);
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

TEST_F(Mkassets, SocketsSitWhereTheDevicePaintsItsLeds) {
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
}

// Each pixel of the half-size device picture is its block's mean, rounded to the nearest.
TEST_F(Mkassets, HalfSizeRoundsEachChannelsMeanToTheNearest) {
    mkassets::Picture block(2, 2);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}})
        LSR_DrawPixel(x, y, 0x010203, block.canvas());
    LSR_DrawPixel(1, 1, 0x000000, block.canvas());
    // Channel sums 3, 6, 9: means 0.75, 1.5, 2.25.
    EXPECT_EQ(mkassets::half_size(block).rgb(0, 0), 0x010202u);
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
    // "8BPS", version 1, 3 channels of 8 bits, 120 by 160, RGB, then the planes one after another.
    EXPECT_EQ(std::vector<std::uint32_t>(
                  {be(0, 4), be(4, 2), be(12, 2), be(14, 4), be(18, 4), be(22, 2), be(24, 2)}),
              std::vector<std::uint32_t>({0x38425053u, 1, 3, 120, 160, 8, 3}));
    EXPECT_EQ(psd.size(), 40u + 3u * 160 * 120);
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
