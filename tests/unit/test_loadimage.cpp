// The PCX and SCX readers, 16-bit pages, truncated and hostile files for every reader, and
// loading by name and palettes through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "test_load_util.h"

namespace {

using namespace load_test;

Bytes with(Bytes b, const Bytes& tail) {
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

Bytes pcx_paletted() { // 3 by 2: a run of four index 1 across the rows, a literal 2, a run of 0xC5
    Bytes palette(768, 0);
    palette[3] = 0x10, palette[4] = 0x20, palette[5] = 0x30, palette[6] = 0xAA;
    palette[3 * 0xC5 + 2] = 0x77;
    return with(with(pcx_header(3, 2, 1), {0xC4, 1, 2, 0xC1, 0xC5}), palette);
}
Bytes pcx_planes() { // 2 by 2 at 24 bits: each row a red, a green and a blue scanline
    return with(pcx_header(2, 2, 3), {0xC2, 0xFF, 1, 2, 3, 4, /* row 2 */ 5, 6, 7, 8, 9, 10});
}
Bytes scx() { // 2 by 2, 6-bit palette, rows top-down
    Bytes b(778, 0);
    b[4] = 2, b[6] = 2, b[13] = 63, b[14] = 32, b[15] = 1;
    return with(b, {1, 0, 0, 1});
}

TEST_F(Load, PcxAndScxPicturesDecode) {
    const std::uint32_t one = 0xFF102030u, c = 0xFFFC8004u, k = 0xFF000000u;
    const struct {
        Decode decode;
        Bytes file;
        const char* said;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {lsr_image::decode_pcx,
         pcx_paletted(),
         "width: 3, height: 2, bpp: 8\n",
         {one, one, one, one, 0xFFAA0000u, 0xFF000077u}},
        {lsr_image::decode_pcx,
         pcx_planes(),
         "width: 2, height: 2, bpp: 24\n",
         {0xFFFF0103u, 0xFFFF0204u, 0xFF050709u, 0xFF06080Au}},
        {lsr_image::decode_scx, scx(), "width: 2, height: 2, bpp: 8\n", {c, k, k, c}},
    };
    for (const auto& t : cases) {
        Loaded l(t.decode, t.file);
        ASSERT_EQ(l.ok, 1) << t.said;
        EXPECT_EQ(l.messages, t.said);
        EXPECT_EQ(l.all(), t.pixels) << t.said;
    }
}

// Every channel value, in a bottom-up picture mirrored left to right, against the page's own
// conversion of what a 32-bit page holds; in the 5-5-5 layout and in others.
TEST_F(Load, SixteenBitPagesHoldTheConvertedColours) {
    Bytes file = tga_header(2, 256, 3, 24, 0x10);
    // Row r runs channel r through every value, the other two through others.
    for (std::uint32_t r = 0; r < 3; ++r)
        for (std::uint32_t v = 0; v < 256; ++v)
            put_bgr(file, v << (8 * r) | (255 - v) << (8 * ((r + 1) % 3)) |
                              (v ^ 0x5A) << (8 * ((r + 2) % 3)));
    const std::vector<std::uint32_t> wide = Loaded(lsr_image::decode_tga, file).all();
    ASSERT_EQ(wide.size(), 256u * 3);
    const struct {
        std::uint32_t bits[3], shifts[3];
    } layouts[] = {{{5, 5, 5}, {10, 5, 0}},
                   {{5, 6, 5}, {11, 5, 0}},
                   {{4, 4, 4}, {0, 4, 8}},
                   {{8, 8, 8}, {8, 4, 0}},     // channels overlap and run past 16 bits
                   {{5, 5, 30}, {10, 40, 0}}}; // shifts past the word give nothing
    for (const auto& l : layouts) {
        set_depth(true);
        TarnBlit_Initialise(l.bits[0], l.bits[1], l.bits[2], l.shifts[0], l.shifts[1], l.shifts[2]);
        Loaded narrow(lsr_image::decode_tga, file);
        ASSERT_EQ(narrow.ok, 1);
        EXPECT_EQ(narrow.bm.size, 256 * 3 * 2);
        const auto* words = static_cast<const std::uint16_t*>(narrow.bm.data);
        for (std::size_t i = 0; i < wide.size(); ++i)
            ASSERT_EQ(words[i], TarnBlit_color24to16(wide[i])) << l.bits[1] << " " << i;
    }
}

// A refusal says why and leaves the bitmap and the heap as they were.
void expect_refused(Decode decode, const Bytes& file, const std::string& what) {
    const std::uint32_t in_use = g_mem_in_use.load();
    LSR_Bitmap bm{7, 8, 9, 10, nullptr};
    testing::internal::CaptureStdout();
    const std::int32_t ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ok, 0) << what;
    EXPECT_NE(out.find(": "), std::string::npos) << what << " printed " << out;
    EXPECT_EQ(out.back(), '\n') << what;
    EXPECT_TRUE(bm.width == 7 && bm.height == 8 && bm.size == 9 && bm.data == nullptr) << what;
    EXPECT_EQ(g_mem_in_use.load(), in_use) << what;
}

struct Case {
    const char* what;
    Decode decode;
    Bytes file;
};

TEST_F(Load, TruncatedAndHostileFilesAreRefusedUntouchedAndWithoutLeaks) {
    Bytes scx_big(778, 0);
    scx_big[4] = 0xFF, scx_big[5] = 0xFF, scx_big[6] = 0xFF;
    Bytes bmp_pal = bmp(1, 1, 8, 0, {}, {});
    bmp_pal[46] = 0; // 256 colours claimed, none present
    // Every prefix of a whole file of each kind is refused (a PCX palette is optional).
    const Case whole[] = {
        {"tga", lsr_image::decode_tga, tga_oriented(0)},
        {"tga packed", lsr_image::decode_tga,
         with(tga_header(10, 2, 2, 32, 0x20), {0x83, 1, 2, 3, 4})},
        {"tga mapped", lsr_image::decode_tga,
         with(tga_header(1, 2, 1, 8, 0, 0, 2, 24), {1, 2, 3, 4, 5, 6, 0, 1})},
        {"bmp 24", lsr_image::decode_bmp, bmp(3, 2, 24, 0, {}, Bytes(24, 5))},
        {"bmp 4", lsr_image::decode_bmp, bmp(3, 1, 4, 0, {0, 0x090909}, {0x12, 0, 0, 0})},
        {"pcx 8", lsr_image::decode_pcx, pcx_paletted()},
        {"pcx 24", lsr_image::decode_pcx, pcx_planes()},
        {"scx", lsr_image::decode_scx, scx()},
    };
    const Case hostile[] = {
        {"tga map past 255", lsr_image::decode_tga,
         with(tga_header(1, 1, 1, 8, 0, 250, 10, 24), Bytes(31, 0))},
        {"tga map entry size 8", lsr_image::decode_tga, tga_header(1, 1, 1, 8, 0, 0, 1, 8)},
        {"tga depth 12", lsr_image::decode_tga, tga_header(2, 1, 1, 12, 0)},
        {"tga huge", lsr_image::decode_tga, tga_header(2, 0xFFFF, 0xFFFF, 32, 0)},
        {"tga huge packed", lsr_image::decode_tga, tga_header(10, 0xFFFF, 0xFFFF, 32, 0)},
        {"tga no width", lsr_image::decode_tga, tga_header(2, 0, 5, 24, 0)},
        {"bmp depth 2", lsr_image::decode_bmp, bmp(1, 1, 2, 0, {}, Bytes(4, 0))},
        {"bmp zero width", lsr_image::decode_bmp, bmp(0, 1, 24, 0, {}, Bytes(4, 0))},
        {"bmp negative width", lsr_image::decode_bmp, bmp(-3, 1, 24, 0, {}, Bytes(12, 0))},
        {"bmp height min", lsr_image::decode_bmp, bmp(1, INT32_MIN, 24, 0, {}, Bytes(4, 0))},
        {"bmp huge", lsr_image::decode_bmp, bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}, {})},
        {"bmp truncated palette", lsr_image::decode_bmp, bmp_pal},
        {"pcx huge", lsr_image::decode_pcx,
         with(pcx_header(0x10000, 0x10000, 1), Bytes(10 + 768, 0xC1))},
        {"pcx run cut", lsr_image::decode_pcx,
         with(with(pcx_header(4, 4, 1), {0xC2}), Bytes(768, 0))},
        {"scx huge", lsr_image::decode_scx, scx_big},
        {"scx no pixels", lsr_image::decode_scx, Bytes(778 + 4, 0)},
    };
    for (const auto& c : whole) {
        ASSERT_EQ(Loaded(c.decode, c.file).ok, 1) << "the whole " << c.what << " file reads";
        for (std::size_t n = 0; n < c.file.size(); ++n) {
            const Bytes part(c.file.begin(), c.file.begin() + static_cast<long>(n));
            if (c.decode == lsr_image::decode_pcx && Loaded(c.decode, part).ok == 1) continue;
            expect_refused(c.decode, part, c.what + (" prefix of " + std::to_string(n)));
        }
    }
    for (const auto& c : hostile) expect_refused(c.decode, c.file, c.what);
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
    EXPECT_NE(load("gone.bmp").find("\xFE ERROR: Image gone.bmp not loaded.\n"), std::string::npos);
    dir.write("bad.pcx", Bytes(40, 0));
    EXPECT_EQ(load("bad.pcx"), "Loading PCX image.\nPCX: file too short for its header\n"
                               "\xFE ERROR: Image bad.pcx not loaded.\n");
    EXPECT_EQ(bm.data, nullptr);
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

TEST_F(LoadFile, PalettesAreTheFirst768BytesAndShortFilesLeaveThemAlone) {
    Bytes pal(800);
    for (std::size_t i = 0; i < pal.size(); ++i) pal[i] = static_cast<std::uint8_t>(i * 3);
    dir.write("game.pal", pal);
    dir.write("short.pal", Bytes(100, 1));
    std::vector<std::uint8_t> out(770, 0x55), kept(768, 0x55);
    LSR_LoadPal("game.pal", out.data());
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 768, pal.begin()));
    EXPECT_EQ(out[768], 0x55);
    testing::internal::CaptureStdout();
    LSR_LoadPal("short.pal", kept.data());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("too short"), std::string::npos);
    EXPECT_EQ(kept, std::vector<std::uint8_t>(768, 0x55));
}

} // namespace
