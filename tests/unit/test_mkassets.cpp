// The asset painter: its files decode with the library's readers to the pictures they were painted
// from, the fonts load, and the writers refuse what their formats cannot hold.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lodestar/graphics/font.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/primitives.h"
#include "paint.h"
#include "test_load_util.h"

namespace {

using load_test::Bytes;
using mkassets::Picture;

// Pixels of the decoded file that differ from the picture's; -1 when it does not decode to its
// size.
std::int32_t wrong(const Bytes& file, load_test::Decode decode, const Picture& pic) {
    const load_test::Loaded d(decode, file);
    if (d.ok != 1 || d.bm.width != pic.width() || d.bm.height != pic.height()) return -1;
    std::int32_t n = 0;
    for (std::int32_t y = 0; y < pic.height(); ++y)
        for (std::int32_t x = 0; x < pic.width(); ++x)
            n += (d.at(x, y) & 0xFFFFFF) != pic.rgb(x, y);
    return n;
}

using Mkassets = load_test::Load;

// Row 0 of 200 colours, so that indexes from 0xC0 on stand in runs of one; row 1 one colour 200
// wide, in runs of at most 63.
Picture paint_runs() {
    Picture pic(200, 2);
    for (std::int32_t x = 0; x < 200; ++x) {
        const auto v = static_cast<std::uint32_t>(x);
        LSR_DrawPixel(x, 0, 0xFF000000u | v << 16 | (255 - v), pic.bitmap());
        LSR_DrawPixel(x, 1, 0xFF00FF00u, pic.bitmap());
    }
    return pic;
}

// The program's six files and the examples' five, in name order, and the PCX runs: each decodes to
// the picture it was painted from. The program's TGA files are of their kinds (8-bit mapped fonts,
// 24-bit plain or run-length pictures), bottom-up, and written into a new directory they are the
// painted bytes and load through the library: the small font cuts into glyph 0 and codes 32 to
// 126 by its marker row. A directory that cannot be made is refused.
TEST_F(Mkassets, EveryFileDecodesToItsPictureInItsFormatAndKind) {
    const std::vector<mkassets::Asset> assets = mkassets::make_assets();
    std::vector<mkassets::Asset> all = assets, examples = mkassets::make_example_assets();
    all.insert(all.end(), examples.begin(), examples.end());
    all.push_back({"runs.pcx", mkassets::encode_pcx(paint_runs())});
    tarn_test::TempDir dir;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_EQ(mkassets::write_assets(dir / "a/b", assets), 0);
    dir.write("file", {1});
    EXPECT_EQ(mkassets::write_assets(dir / "file/sub", assets), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("mkassets: cannot"), std::string::npos);
    testing::internal::GetCapturedStdout();
    const auto tga = lsr_image::decode_tga;
    const struct {
        const char* name;
        load_test::Decode decode;
        Picture (*paint)();
        std::uint8_t type, depth;
    } want[] = {
        {"font_heat.tga", tga, mkassets::paint_heat_font, 1, 8},
        {"font_small07.tga", tga, mkassets::paint_small_font, 1, 8},
        {"leds.tga", tga, mkassets::paint_led_chart, 2, 24},
        {"meggyjr.psd", nullptr, nullptr, 0, 0},
        {"meggyjr.tga", tga, mkassets::paint_device, 2, 24},
        {"meggyjr2.tga", tga, [] { return mkassets::half_size(mkassets::paint_device()); }, 10, 24},
        {"heat.tga", tga, mkassets::paint_heat_font, 1, 8},
        {"landscape.tga", tga, mkassets::paint_landscape, 10, 24},
        {"plasma.scx", lsr_image::decode_scx, mkassets::paint_plasma, 0, 0},
        {"rings.bmp", lsr_image::decode_bmp, mkassets::paint_rings, 0, 0},
        {"tiles.pcx", lsr_image::decode_pcx, mkassets::paint_tiles, 0, 0},
        {"runs.pcx", lsr_image::decode_pcx, paint_runs, 0, 0}};
    ASSERT_EQ(all.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        const auto& w = want[i];
        const Bytes& f = all[i].bytes;
        SCOPED_TRACE(w.name);
        EXPECT_EQ(all[i].name, w.name);
        EXPECT_EQ(w.decode != nullptr ? wrong(f, w.decode, w.paint()) : 0, 0);
        const bool written = i < assets.size();
        EXPECT_TRUE(!written || tarn_test::read_file(dir / ("a/b/" + all[i].name)) == f);
        if (w.type == 0) continue;
        EXPECT_EQ(std::vector<int>({f[1], f[2], f[16], f[17]}),
                  std::vector<int>({w.type == 1, w.type, w.depth, 0}));
    }
    // Painting is deterministic: the build packs the same bytes every time.
    EXPECT_EQ(mkassets::make_assets()[4].bytes, assets[4].bytes);
    // "8BPS", version 1, 3 channels, 120 rows of 160, 8 bits, RGB; then the planes in turn.
    const Bytes& psd = assets[3].bytes;
    ASSERT_EQ(psd.size(), 40u + 3u * 160 * 120);
    EXPECT_EQ(std::string(psd.begin(), psd.begin() + 26),
              std::string("8BPS\0\1\0\0\0\0\0\0\0\3\0\0\0\x78\0\0\0\xA0\0\x08\0\3", 26));

    LSR_Font small;
    picture::printed([&] {
        ASSERT_EQ(tarnfile_mountimage((dir / "a/b").c_str(), TARNFILE_DIRECTORY), 1);
        LSR_InitFont("font_small07.tga", &small);
    });
    EXPECT_EQ(small.count, 96);
    EXPECT_LT(small.widths['!' - 31], small.widths['M' - 31]);
    LSR_DeleteFont(&small);
    tarnfile_closeimage();
}

// Each pixel of a half-size picture is its block's mean, each channel rounded to the nearest (means
// 0.75, 1.5, 2.25). Past the formats' fields or colour counts, or a channel off SCX's 6-bit grid,
// the writers give no file at all.
TEST_F(Mkassets, HalvingRoundsAndWritersRefuseWhatTheirFormatsCannotHold) {
    Picture block(2, 2);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}})
        LSR_DrawPixel(x, y, 0x010203, block.canvas());
    EXPECT_EQ(mkassets::half_size(block).rgb(0, 0), 0x010202u);
    const Picture device = mkassets::paint_device(), wide(70000, 1), off_grid(4, 4);
    LSR_DrawPixel(0, 0, 0xFF010203u, off_grid.bitmap());
    for (const Bytes& file :
         {mkassets::encode_tga_mapped(device), mkassets::encode_tga(wide, false),
          mkassets::encode_tga_mapped(wide), mkassets::encode_psd(wide),
          mkassets::encode_pcx(Picture(5, 4)), mkassets::encode_pcx(device),
          mkassets::encode_scx(device), mkassets::encode_scx(off_grid),
          mkassets::encode_scx(Picture(300, 300)), mkassets::encode_bmp(Picture(0, 0))})
        EXPECT_EQ(file.size(), 0u);
}

} // namespace
