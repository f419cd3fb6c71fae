// The image readers (TGA, BMP, PCX, SCX) on built files, their refusals of truncated and hostile
// ones, and loading by name through the file layer.
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
#include "lodestar/tarnfile/tarnfile.h"
#include "test_load_util.h"

namespace {

using namespace load_test;
using lsr_image::decode_bmp, lsr_image::decode_pcx, lsr_image::decode_scx, lsr_image::decode_tga;

// Opaque unless the top byte says otherwise; '.' is any colour of value 0.
const picture::Legend k_colours = {
    {'r', 0xFFFF0000}, {'g', 0xFF00FF00}, {'b', 0xFF0000FF}, {'w', 0xFFFFFFFF}, {'k', 0xFF000000},
    {'e', 0xFF808080}, {'1', 0xFF010101}, {'2', 0xFF020202}, {'3', 0xFF030303}, {'4', 0xFF040404},
    {'@', 0xFF404040}, {'h', 0xFF7F7F7F}, {'A', 0x40302010}, {'a', 0x01030201}, {'R', 0xFFF80000},
    {'B', 0xFF0000F8}, {'G', 0xFF00F800}, {'.', 0},          {'x', 0xFF18C000}, {'y', 0xFF003880},
    {'o', 0xFF102030}, {'p', 0xFF123456}, {'z', 0xFFAA0000}, {'v', 0xFF000077}, {'5', 0xFFFF0103},
    {'6', 0xFFFF0204}, {'7', 0xFF050709}, {'8', 0xFF06080A}, {'c', 0xFFFC8004}};

// "rgb" over "wke" at 24 bits, stored in the order the descriptor's bits 4 and 5 give.
Bytes tga_oriented(std::uint32_t descriptor) {
    const std::uint32_t pic[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0, 0x808080}};
    Bytes b = tga_header(2, 3, 2, 24, descriptor);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            put(b, pic[descriptor & 0x20 ? r : 1 - r][descriptor & 0x10 ? 2 - c : c], 3);
    return b;
}

using Reader = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Reader);

struct Case {
    const char* what;
    Decode decode;
    Bytes file;
    std::string grid;
};

// The whole files each reader must read, with the pictures they hold.
std::vector<Case> readable() {
    Bytes pal(768, 0); // PCX: index 1, 0x80 and 0xC5
    pal[3] = 0x10, pal[4] = 0x20, pal[5] = 0x30, pal[3 * 0x80] = 0xAA, pal[3 * 0xC5 + 2] = 0x77;
    Bytes scx(778, 0); // 2 by 2, a 6-bit palette, rows top-down
    scx[4] = 2, scx[6] = 2, scx[13] = 63, scx[14] = 32, scx[15] = 1;
    std::vector<std::uint32_t> full(256, 0);
    full[200] = 0x123456;
    Bytes all256 = bmp(1, 1, 8, 0, full, {200, 0, 0, 0}), offset = bmp(1, 1, 24, 0, {}, {});
    all256[46] = 0; // a colour count of 0 reads all 256 entries
    offset[12] = 1; // only the low 16 bits of the data offset are read
    const Bytes rows = {0, 0, 0xFF, 0xEE, 0xFF, 0, 0, 0xEE}, words = {0x00, 0x0F, 0xF0, 0x00};
    return {
        // The kinds the pinned hashes hold too, by meaning: bottom-up rows; interleaved rows in
        // two passes.
        {"tga 0x00", decode_tga, tga_oriented(0x00), "rgb\nwke"},
        {"tga 0x60", decode_tga, tga_header(3, 1, 4, 8, 0x60) + Bytes{1, 3, 2, 4}, "1\n2\n3\n4"},
        // Bottom-up: a run of four reds crosses into the top row; raw packets of one pixel.
        {"tga runs", decode_tga,
         tga_header(10, 3, 2, 24, 0) + Bytes{0x83, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
         "rgb\nrrr"},
        {"tga run past the end", decode_tga, tga_header(11, 2, 1, 8, 0x20) + Bytes{0xE3, 0x40},
         "@@"},
        {"tga grey after an id", decode_tga,
         tga_header(3, 2, 1, 8, 0x20, 0, 0, 0, 3) + Bytes{0, 0x7F}, "kh"},
        {"tga alpha", decode_tga,
         tga_header(2, 2, 1, 32, 0x20) + Bytes{0x10, 0x20, 0x30, 0x40, 1, 2, 3, 1}, "Aa"},
        {"tga map from 5", decode_tga,
         tga_header(1, 3, 1, 8, 0x20, 5, 2, 16) + Bytes{0x00, 0x7C, 0x1F, 0x00, 5, 6, 0}, "RBk"},
        {"tga map to 255", decode_tga,
         tga_header(1, 1, 1, 8, 0x20, 255, 1, 15) + Bytes{0xE0, 3, 255}, "G"},
        // Rows a whole stride of 4 bytes apart, bottom-up; a set bit is black.
        {"bmp 4 bits", decode_bmp,
         bmp(3, 2, 4, 0, {0, 0xFF0000, 0x00FF00, 0x0000FF},
             {0x12, 0x30, 0xEE, 0xEE, 0x32, 0x10, 0xEE, 0xEE}),
         "bgr\nrgb"},
        {"bmp 1 bit", decode_bmp,
         bmp(9, 2, 1, 0, {}, {0x80, 0x80, 0xFF, 0xFF, 0x7F, 0, 0xFF, 0xFF}),
         "w.......w\n.wwwwwww."},
        {"bmp bottom-up", decode_bmp, bmp(1, 2, 24, 0, {}, rows), "b\nr"},
        {"bmp 5-5-5", decode_bmp, bmp(2, 1, 16, 0, {}, words), "xy"},
        {"bmp offset", decode_bmp, offset + Bytes{0x30, 0x20, 0x10, 0}, "o"},
        {"bmp 256 colours", decode_bmp, all256, "p"},
        {"bmp 15 bits", decode_bmp, bmp(64, 1, 15, 0, {}, Bytes(128, 0)), std::string(64, '.')},
        // A run of four index 1 across the rows, a literal 0x80, a run of index 0xC5.
        {"pcx 8", decode_pcx, pcx(3, 2, 1, {0xC4, 1, 0x80, 0xC1, 0xC5}) + pal, "ooo\nozv"},
        {"pcx 24", decode_pcx, pcx(2, 2, 3, {0xC2, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), "56\n78"},
        {"scx", decode_scx, scx + Bytes{1, 0, 0, 1}, "ck\nkc"},
    };
}

// At either depth: a 16-bit page holds the colours converted.
TEST_P(Reader, DecodesEveryVariant) {
    for (const Case& c : readable()) {
        const Loaded l(c.decode, c.file);
        ASSERT_EQ(l.ok, 1) << c.what << ": " << l.messages;
        EXPECT_TRUE(picture::matches(l.bm, 0, 0, c.grid, k_colours)) << c.what;
    }
}

// Every channel value, in a bottom-up picture mirrored left to right, against the page's own
// conversion of what a 32-bit page holds; in the 5-5-5 layout and in others, some with channels
// that overlap or lie past the word.
TEST_F(Load, SixteenBitPagesHoldThePagesOwnConversion) {
    Bytes file = tga_header(2, 256, 3, 24, 0x10);
    for (std::uint32_t r = 0; r < 3; ++r) // row r runs channel r through every value
        for (std::uint32_t v = 0; v < 256; ++v)
            put(file, v << 8 * r | (255 - v) << 8 * ((r + 1) % 3) | (v ^ 0x5A) << 8 * ((r + 2) % 3),
                3);
    std::vector<std::uint32_t> wide;
    const Loaded l(decode_tga, file);
    for (int i = 0; i < 256 * 3; ++i) wide.push_back(picture::at(l.bm, i % 256, i / 256));
    const std::uint32_t layouts[][6] = {{5, 5, 5, 10, 5, 0},
                                        {5, 6, 5, 11, 5, 0},
                                        {4, 4, 4, 0, 4, 8},
                                        {8, 8, 8, 8, 4, 0},
                                        {5, 5, 30, 10, 40, 0}};
    for (const auto& f : layouts) {
        picture::set_depth(true);
        TarnBlit_Initialise(f[0], f[1], f[2], f[3], f[4], f[5]);
        const Loaded narrow(decode_tga, file);
        ASSERT_EQ(narrow.bm.size, 256 * 3 * 2);
        for (int i = 0; i < 256 * 3; ++i)
            ASSERT_EQ(picture::at(narrow.bm, i % 256, i / 256), TarnBlit_color24to16(wide[i]))
                << f[1] << " " << i;
    }
}

// A refusal says why and leaves the bitmap record and the heap as they were.
void expect_refused(Decode decode, const Bytes& file, const std::string& what) {
    const std::uint32_t in_use = g_mem_in_use.load();
    LSR_Bitmap bm{7, 8, 9, 10, nullptr};
    std::int32_t ok = 1;
    const std::string said = picture::printed(
        [&] { ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm); });
    EXPECT_EQ(ok, 0) << what;
    EXPECT_NE(said.find(": "), std::string::npos) << what << " printed " << said;
    EXPECT_TRUE(bm.width == 7 && bm.height == 8 && bm.size == 9 && bm.data == nullptr) << what;
    EXPECT_EQ(g_mem_in_use.load(), in_use) << what;
}

// Every prefix of every readable file (a PCX palette is optional), and files that claim what
// they do not hold.
TEST_F(Load, TruncatedAndHostileFilesAreRefusedUntouched) {
    for (const Case& c : readable())
        for (std::size_t n = 0; n < c.file.size(); ++n) {
            const Bytes part(c.file.begin(), c.file.begin() + static_cast<long>(n));
            if (c.decode == decode_pcx && Loaded(c.decode, part).ok == 1) continue;
            expect_refused(c.decode, part, c.what + (" cut at " + std::to_string(n)));
        }
    Bytes scx_big(778, 0), bmp_pal = bmp(1, 1, 8, 0, {}, {});
    scx_big[4] = 0xFF, scx_big[5] = 0xFF, scx_big[6] = 0xFF;
    bmp_pal[46] = 0; // 256 colours claimed, none present
    const Case hostile[] = {
        {"tga map past 255", decode_tga, tga_header(1, 1, 1, 8, 0, 250, 7, 24) + Bytes(22, 0), ""},
        {"tga map entry of 8 bits", decode_tga, tga_header(1, 1, 1, 8, 0, 0, 1, 8), ""},
        {"tga depth 12", decode_tga, tga_header(2, 1, 1, 12, 0), ""},
        {"tga huge", decode_tga, tga_header(2, 0xFFFF, 0xFFFF, 32, 0), ""},
        {"tga huge packed", decode_tga, tga_header(10, 0xFFFF, 0xFFFF, 32, 0), ""},
        {"tga no width", decode_tga, tga_header(2, 0, 5, 24, 0), ""},
        {"bmp depth 2", decode_bmp, bmp(1, 1, 2, 0, {}, Bytes(4, 0)), ""},
        {"bmp zero width", decode_bmp, bmp(0, 1, 24, 0, {}, Bytes(4, 0)), ""},
        {"bmp negative width", decode_bmp, bmp(-3, 1, 24, 0, {}, Bytes(12, 0)), ""},
        {"bmp height min", decode_bmp, bmp(1, INT32_MIN, 24, 0, {}, Bytes(4, 0)), ""},
        {"bmp huge", decode_bmp, bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}, {}), ""},
        {"bmp truncated palette", decode_bmp, bmp_pal, ""},
        {"bmp 15 bits at 15 a pixel", decode_bmp, bmp(64, 1, 15, 0, {}, Bytes(120, 0)), ""},
        {"pcx huge", decode_pcx, pcx(0x10000, 0x10000, 1, Bytes(10 + 768, 0xC1)), ""},
        {"pcx run cut", decode_pcx, pcx(4, 4, 1, {0xC2}) + Bytes(768, 0), ""},
        {"scx huge", decode_scx, scx_big, ""},
        {"scx no pixels", decode_scx, Bytes(778 + 4, 0), ""},
    };
    for (const auto& c : hostile) expect_refused(c.decode, c.file, c.what);
}

class LoadFile : public tarn_test::Mounted {
  protected:
    void SetUp() override {
        Mounted::SetUp();
        picture::set_depth(false);
        ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);
    }
    void TearDown() override {
        LSR_DeleteBitmap(&bm);
        Mounted::TearDown();
    }
    std::string load(const char* name) {
        return picture::printed([&] { LSR_LoadBitmap(name, &bm); });
    }
    LSR_Bitmap bm;
};

// The extension picks the reader, in any case; every failure ends in the not-loaded error and
// leaves nothing allocated.
TEST_F(LoadFile, NamesPickTheReader) {
    dir.write("pic.tga", tga_oriented(0x20));
    dir.write("pic.gif", tga_oriented(0x20));
    dir.write("bad.pcx", Bytes(40, 0));
    const std::uint32_t in_use = g_mem_in_use.load();
    EXPECT_EQ(load("pic.TgA"), "Loading TGA image.");
    EXPECT_TRUE(picture::matches(bm, 0, 0, "rgb\nwke", k_colours));
    LSR_DeleteBitmap(&bm);
    EXPECT_EQ(g_mem_in_use.load(), in_use); // the file's buffer is released too
    const std::string error = "\xFE ERROR: Image ";
    EXPECT_EQ(load("pic.gif"), "No GIF supported.\n" + error + "pic.gif not loaded.\n");
    for (const char* name : {"picture", ".tga", "pic.tgax"})
        EXPECT_EQ(load(name), error + name + " not loaded.\n");
    EXPECT_NE(load("gone.bmp").find(error + "gone.bmp not loaded.\n"), std::string::npos);
    EXPECT_EQ(load("bad.pcx"), "Loading PCX image.\nPCX: file too short for its header\n" + error +
                                   "bad.pcx not loaded.\n");
    EXPECT_EQ(bm.data, nullptr);
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

// A palette is a file's first 768 bytes; a shorter file leaves it alone.
TEST_F(LoadFile, Palettes) {
    Bytes pal(800);
    for (std::size_t i = 0; i < pal.size(); ++i) pal[i] = static_cast<std::uint8_t>(i * 3);
    dir.write("game.pal", pal);
    dir.write("short.pal", Bytes(100, 1));
    Bytes out(770, 0x55), kept(768, 0x55);
    LSR_LoadPal("game.pal", out.data());
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 768, pal.begin()));
    EXPECT_EQ(out[768], 0x55);
    EXPECT_NE(picture::printed([&] { LSR_LoadPal("short.pal", kept.data()); }).find("too short"),
              std::string::npos);
    EXPECT_EQ(kept, Bytes(768, 0x55));
}

} // namespace
