// The PCX and SCX readers, 16-bit pages, hostile headers for every reader, and loading by name
// and palettes through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/frame/tarnmem.h"
#include "test_load_util.h"

namespace {

using namespace load_test;

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
