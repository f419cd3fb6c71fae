// The image readers (TGA, BMP, PCX, SCX): every kind of file they take pinned as a hash of the
// whole 32-bit bitmap and held on a 16-bit page as the page's own conversion of it, refusals of
// every truncated and of hostile files, and loading by name through the file layer: pictures,
// palettes and fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fnv.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/font.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "test_load_util.h"

namespace {

using namespace load_test;
using lsr_image::decode_bmp, lsr_image::decode_pcx, lsr_image::decode_scx, lsr_image::decode_tga;

// Deterministic bytes (xorshift), one stream per seed.
struct Noise {
    std::uint32_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        return state ^= state << 5;
    }
    Bytes bytes(std::size_t n) {
        Bytes b(n);
        for (auto& byte : b) byte = static_cast<std::uint8_t>(next() >> 7);
        return b;
    }
};

constexpr std::uint32_t k_w = 13, k_h = 5; // odd: every row of every depth ends unaligned

Bytes tga_of(std::uint32_t type, std::uint32_t depth, std::uint32_t descriptor,
             std::uint32_t seed) {
    return tga_header(type, k_w, k_h, depth, descriptor) +
           Noise{seed}.bytes(k_w * k_h * ((depth + 7) / 8));
}

// After an id field of two bytes.
Bytes tga_mapped(std::uint32_t first, std::uint32_t length, std::uint32_t bits) {
    Noise n{bits + first};
    return tga_header(1, k_w, k_h, 8, 0x00, first, length, bits, 2) +
           n.bytes(length * ((bits + 7) / 8)) + n.bytes(k_w * k_h);
}

// Packets of random kinds and lengths up to 20 until every pixel is covered; the last one may
// reach past the end.
Bytes tga_packed(std::uint32_t type, std::uint32_t depth, std::uint32_t descriptor,
                 std::uint32_t seed) {
    Noise n{seed};
    Bytes b = type == 9 ? tga_header(type, k_w, k_h, depth, descriptor, 0, 256, 24) + n.bytes(768)
                        : tga_header(type, k_w, k_h, depth, descriptor);
    for (std::uint32_t left = k_w * k_h; left > 0;) {
        const std::uint32_t count = 1 + n.next() % 20;
        const bool run = n.next() & 1;
        b.push_back(static_cast<std::uint8_t>((run ? 0x80 : 0) | (count - 1)));
        b = b + n.bytes((run ? 1 : count) * ((depth + 7) / 8));
        left -= std::min(count, left);
    }
    return b;
}

Bytes bmp_of(std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t compression,
             std::uint32_t colours) {
    Noise n{bits * 7 + compression + colours};
    std::vector<std::uint32_t> palette(colours);
    for (auto& c : palette) c = n.next();
    const std::uint32_t stride = ((bits == 15 ? 16 : bits) * width + 31) / 32 * 4;
    return bmp(width, height, bits, compression, palette,
               n.bytes(stride * static_cast<std::uint32_t>(std::abs(height))));
}

// Literal values below 0xC0 and runs (empty ones too) until width * height * planes values.
Bytes pcx_of(std::uint32_t width, std::uint32_t planes, std::uint32_t seed) {
    Noise n{seed};
    Bytes b = pcx(width, k_h, planes);
    for (std::uint32_t values = 0; values < width * k_h * planes;) {
        const std::uint32_t r = n.next();
        const bool run = r % 4 == 0;
        b.push_back(static_cast<std::uint8_t>(run ? 0xC0 | (r >> 8) % 64 : (r >> 8) % 0xC0));
        if (run) b.push_back(static_cast<std::uint8_t>(r >> 16));
        values += run ? (r >> 8) % 64 : 1;
    }
    return planes == 3 ? b : b + n.bytes(768);
}

Bytes scx_of() {
    Noise n{99};
    Bytes b(10, 0);
    b[4] = k_w, b[6] = k_h;
    return b + n.bytes(768) + n.bytes(k_w * k_h);
}

Bytes with(Bytes b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
}

// FNV-1a over a 32-bit result: whether it loaded, the sizes and every pixel's value.
std::uint64_t hash_of(const Loaded& l) {
    Fnv h;
    h.add(static_cast<std::uint32_t>(l.ok));
    if (l.ok == 0) return h.sum;
    for (std::int32_t v : {l.bm.width, l.bm.height, l.bm.size})
        h.add(static_cast<std::uint32_t>(v));
    h.add(l.bm.data, static_cast<std::size_t>(l.bm.pixels) * 4);
    return h.sum;
}

constexpr std::uint64_t k_refused = 0x4D25767F9DCE13F5; // the hash of a refusal

struct Kind {
    Decode decode;
    Bytes file;
    std::uint64_t hash = k_refused;
};

std::vector<Kind> kinds() {
    std::vector<std::uint32_t> full(256, 0); // for a colour count claimed but not present
    return {
        // TGA: the four orientations, two and four passes, 32, 16 and 15 bits, grey, 8 bits
        // without and with maps (the last one ending at index 255), run-length packets of each
        // kind.
        {decode_tga, tga_of(2, 24, 0x00, 1), 0xCA4643E1D6738D8B},
        {decode_tga, tga_of(2, 24, 0x10, 1), 0x9D355B1450B90FC7},
        {decode_tga, tga_of(2, 24, 0x20, 1), 0xB48CE0B456F48A8F},
        {decode_tga, tga_of(2, 24, 0x30, 1), 0x9FB7A4C96EB51FFB},
        {decode_tga, tga_of(2, 24, 0x40, 1), 0xB5EE0BCB13105CB7},
        {decode_tga, tga_of(2, 24, 0xA0, 1), 0xFE755B99A2F7E0B7},
        {decode_tga, tga_of(2, 32, 0x00, 2), 0x5BF90616A2E29D89},
        {decode_tga, tga_of(2, 32, 0x30, 2), 0x347A4F1F9964A219},
        {decode_tga, tga_of(2, 16, 0x00, 3), 0xFF27A4C76DC22D1A},
        {decode_tga, tga_of(2, 15, 0x10, 3), 0xD741342F7E2F397A},
        {decode_tga, tga_of(3, 8, 0x20, 4), 0xE8709500F720340C},
        {decode_tga, tga_of(2, 8, 0x00, 4), 0x1FAA68E59F84093A},
        {decode_tga, tga_mapped(0, 256, 24), 0x983D0757D13066D3},
        {decode_tga, tga_mapped(10, 100, 16), 0xD638CE7007A9A6DA},
        {decode_tga, tga_mapped(0, 256, 15), 0xBF2A2E8BF242E66A},
        {decode_tga, tga_mapped(200, 56, 32), 0xFFF819805671E5C2},
        {decode_tga, tga_packed(10, 24, 0x00, 6), 0xDFA58F720217A83F},
        {decode_tga, tga_packed(10, 24, 0x10, 6), 0xC76D053E8962E3B7},
        {decode_tga, tga_packed(10, 24, 0x20, 7), 0x964F0E10CF54DBF4},
        {decode_tga, tga_packed(10, 32, 0x30, 8), 0xE1890B3187D45B41},
        {decode_tga, tga_packed(10, 16, 0x00, 9), 0x96885AF7082D17CA},
        {decode_tga, tga_packed(11, 8, 0x00, 10), 0xC301E993EB29D43E},
        {decode_tga, tga_packed(9, 8, 0x20, 11), 0x3F09FF59F7F24CB5},
        // BMP: 1, 4 and 8 bits with short and long palettes, 15, 16 (also 4-4-4), 24 and 32 bits
        // (also masked), bottom-up and top-down, a wide picture. A colour count of 0 reads all
        // 256 entries; only the low 16 bits of the data offset count.
        {decode_bmp, bmp_of(k_w, k_h, 1, 0, 0), 0xC752D8209F9CD91B},
        {decode_bmp, bmp_of(k_w, -k_h, 4, 0, 16), 0x2C3B4A015262766E},
        {decode_bmp, bmp_of(k_w, k_h, 4, 0, 5), 0x01AE37CE57505110},
        {decode_bmp, bmp_of(k_w, k_h, 8, 0, 256), 0x9768D4756582AFB1},
        {decode_bmp, with(bmp_of(k_w, k_h, 8, 0, 256), 46, 0), 0x9768D4756582AFB1},
        {decode_bmp, bmp_of(k_w, -k_h, 8, 0, 300), 0xDF7CF6864F8D513C},
        {decode_bmp, bmp_of(k_w, k_h, 15, 0, 0), 0x0209BDEA22E8C79A},
        {decode_bmp, bmp_of(k_w, -k_h, 16, 0, 0), 0x1A401573CCB35A02},
        {decode_bmp, bmp_of(k_w, k_h, 16, 3, 0), 0xEA47916AC5723B2A},
        {decode_bmp, bmp_of(k_w, k_h, 24, 0, 0), 0xEA46F6FB0693EE02},
        {decode_bmp, with(bmp_of(k_w, k_h, 24, 0, 0), 12, 1), 0xEA46F6FB0693EE02},
        {decode_bmp, bmp_of(k_w, -k_h, 24, 0, 0), 0x4F308236ED15C052},
        {decode_bmp, bmp_of(k_w, k_h, 32, 0, 0), 0xF5DC95676E945B3C},
        {decode_bmp, bmp_of(k_w, -k_h, 32, 3, 0), 0x73695E7F751B89F0},
        {decode_bmp, bmp_of(67, 3, 24, 0, 0), 0xAD5B17E74A673329},
        // PCX at 8 and 24 bits, one pixel wide; SCX.
        {decode_pcx, pcx_of(k_w, 1, 12), 0xB88F9414227C2F8F},
        {decode_pcx, pcx_of(k_w, 3, 13), 0xF53B236F87447272},
        {decode_pcx, pcx_of(1, 3, 14), 0x68377914A5D5E35A},
        {decode_scx, scx_of(), 0x9D54718E13A2C253},
        // Refused: files that claim what they do not hold or what no reader takes.
        {decode_tga, tga_mapped(1, 256, 24)}, // a map reaching index 256
        {decode_tga, tga_mapped(0, 256, 8)},  // map entries of 8 bits
        {decode_tga, tga_of(2, 12, 0x00, 1)},
        {decode_tga, tga_header(2, 0xFFFF, 0xFFFF, 32, 0)},
        {decode_tga, tga_header(10, 0xFFFF, 0xFFFF, 32, 0)},
        {decode_tga, tga_header(2, 0, 5, 24, 0)},
        {decode_bmp, bmp_of(k_w, k_h, 2, 0, 4)},
        {decode_bmp, bmp_of(0, 1, 24, 0, 0)},
        {decode_bmp, bmp(-3, 1, 24, 0, {}, Bytes(12, 0))},
        {decode_bmp, bmp(1, INT32_MIN, 24, 0, {}, Bytes(4, 0))},
        {decode_bmp, bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}, {})},
        {decode_bmp, with(bmp(1, 1, 8, 0, {}, {}), 46, 0)}, // 256 colours claimed, none there
        {decode_bmp, bmp(64, 1, 15, 0, {}, Bytes(120, 0))}, // 15 bits stored in 16
        {decode_pcx, pcx(0x10000, 0x10000, 1, Bytes(10 + 768, 0xC1))},
        {decode_pcx, pcx(4, 4, 1, {0xC2}) + Bytes(768, 0)}, // a run cut
        {decode_scx, with(with(with(scx_of(), 4, 0xFF), 5, 0xFF), 6, 0xFF)},
        {decode_scx, Bytes(778 + 4, 0)}, // no pixels
    };
}

// A 16-bit page holds the page's own conversion of what a 32-bit page holds, in the 5-5-5
// layout and in others, one with channels that lie past the word.
TEST_F(Load, EveryKindOfImageGivesThePinnedBitmapConvertedOnSixteenBitPages) {
    const std::uint32_t layouts[][6] = {
        {5, 5, 5, 10, 5, 0}, {5, 6, 5, 11, 5, 0}, {4, 4, 4, 0, 4, 8}, {5, 5, 30, 10, 40, 0}};
    const auto table = kinds();
    for (const auto& k : table) {
        const auto i = &k - table.data();
        picture::set_depth(false);
        const Loaded wide(k.decode, k.file);
        EXPECT_EQ(hash_of(wide), k.hash) << "kind " << i;
        picture::set_depth(true);
        const auto& f = layouts[i % 4];
        TarnBlit_Initialise(f[0], f[1], f[2], f[3], f[4], f[5]);
        const Loaded narrow(k.decode, k.file);
        ASSERT_EQ(std::pair(narrow.ok, narrow.bm.size * 2), std::pair(wide.ok, wide.bm.size)) << i;
        for (std::int32_t p = 0; p < wide.bm.pixels; ++p)
            ASSERT_EQ(static_cast<std::uint16_t*>(narrow.bm.data)[p],
                      TarnBlit_color24to16(static_cast<std::uint32_t*>(wide.bm.data)[p]))
                << "kind " << i << ", pixel " << p;
    }
}

// A refusal says why and leaves the bitmap record and the heap as they were: for every file the
// table refuses and for every shorter prefix of every file (a PCX palette is optional).
TEST_F(Load, TruncatedAndHostileFilesAreRefusedUntouched) {
    const auto refused = [](Decode decode, const Bytes& file) {
        const std::uint32_t in_use = g_mem_in_use.load();
        LSR_Bitmap bm{7, 8, 9, 10, nullptr};
        std::int32_t ok = 1;
        const std::string said = picture::printed(
            [&] { ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm); });
        return ok == 0 && said.find(": ") != std::string::npos && bm.width == 7 && bm.height == 8 &&
               bm.size == 9 && bm.data == nullptr && g_mem_in_use.load() == in_use;
    };
    const auto table = kinds();
    for (const auto& k : table) {
        EXPECT_TRUE(k.hash != k_refused || refused(k.decode, k.file)) << &k - table.data();
        for (std::size_t n = 0; n < k.file.size(); ++n) {
            const Bytes part(k.file.begin(), k.file.begin() + static_cast<long>(n));
            if (k.decode == decode_pcx && Loaded(k.decode, part).ok == 1) continue;
            ASSERT_TRUE(refused(k.decode, part)) << "kind " << &k - table.data() << " cut at " << n;
        }
    }
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
    const picture::Legend legend = {{'r', 0xFF0000}, {'g', 0x00FF00}, {'b', 0x0000FF}};
    dir.write("pic.tga", tga("rgb\nbrg", legend));
    dir.write("pic.gif", tga("rgb\nbrg", legend));
    dir.write("bad.pcx", Bytes(40, 0));
    const std::uint32_t in_use = g_mem_in_use.load();
    EXPECT_EQ(load("pic.TgA"), "Loading TGA image.");
    EXPECT_TRUE(picture::matches(bm, 0, 0, "rgb\nbrg", legend));
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

const picture::Legend k_font = {{'m', 0xFF00FF}, {'k', 0},        {'a', 0xF80000},
                                {'b', 0x00F800}, {'c', 0x0000F8}, {'.', 0x102030}};

// Markers at columns 4 and 9 (column 0 always starts a glyph): glyph 0 measures 0, then 4, 5
// and 3 for codes 32, 33 and 34. A code without a glyph is skipped; code 31 only advances.
TEST_F(LoadFile, FontMarkerRowCutsGlyphsAndTextAdvancesByWidthAndSpacing) {
    const auto page = picture::filled(20, 6, 0x102030), wide = picture::filled(260, 1, 0x102030);
    const std::uint32_t before = g_mem_in_use.load();
    dir.write("f.tga", load_test::tga("kmmmkmmmmkmm\nammabmmmbcmc\naaaambbbmmcm", k_font));
    LSR_Font font;
    LSR_InitFont("f.tga", &font);
    EXPECT_EQ(font.count, 4);
    EXPECT_EQ(font.height, 2);
    LSR_SetFontSpacing(1, &font);
    LSR_DrawText(0, 0, font, page.get(), "\x1F !\"}~\n\xC8%c", ' ');
    LSR_DrawCenteredText(2, font, page.get(), "!");
    LSR_DrawCenteredTextXW(0, 4, 10, font, page.get(), "%s", "!");
    // Text with skips and a new line, centred on the page and in a box: the page pinned.
    EXPECT_EQ(picture::sum(page.get()), 0x103E6E15u) << std::hex << picture::sum(page.get());
    // Text is cut at 255 characters.
    LSR_SetFontSpacing(-4, &font);
    LSR_DrawText(0, 0, font, wide.get(), "%s", std::string(400, '!').c_str());
    EXPECT_TRUE(picture::matches(wide.get(), 255, 0, "bbbb.", k_font));
    LSR_DeleteFont(&font);
    EXPECT_EQ(g_mem_in_use.load(), before);
    tarnfile_closeimage();
    LSR_Font missing;
    LSR_InitFont("none.tga", &missing); // nothing mounted: no glyphs
    EXPECT_EQ(missing.count, 0);
}

} // namespace
