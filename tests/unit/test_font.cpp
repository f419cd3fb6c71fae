// Fonts: glyph widths from the marker row, text advance and skipped codes, centring, the built-in
// font, and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/font.h"
#include "lodestar/graphics/sprite.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "test_pic_util.h"
#include "test_tarnfile_util.h"

namespace {

// A top-down 24-bit TGA of w by h: the magenta key, markers where asked in row 0, and below them
// each column coloured by its x so that a glyph's pixels tell where they were cut from.
tarn_test::Bytes font_image(int w, int h, std::initializer_list<int> markers) {
    tarn_test::Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int v : {w, h}) tarn_test::put(b, static_cast<std::uint64_t>(v), 2);
    b.push_back(24);
    b.push_back(0x20);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (y == 0 && std::find(markers.begin(), markers.end(), x) == markers.end())
                b.insert(b.end(), {0xFF, 0x00, 0xFF});
            else
                b.insert(b.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0});
        }
    return b;
}

class Font : public ::testing::Test {
  protected:
    void SetUp() override { LSR_video.flags = 0; }
    void TearDown() override { tarnfile_closeimage(); }
};

TEST_F(Font, MarkerRowSetsWidthsAndGlyphsAreCutBelowIt) {
    const std::uint32_t before = g_mem_in_use.load();
    tarn_test::TempDir dir;
    dir.write("f.tga", font_image(40, 9, {10, 25}));
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);
    LSR_Font font;
    LSR_InitFont("f.tga", &font);
    EXPECT_EQ(font.count, 4);
    EXPECT_EQ(font.height, 8);
    EXPECT_EQ((std::vector<int>{font.widths[0], font.widths[1], font.widths[2], font.widths[3]}),
              (std::vector<int>{0, 10, 15, 15}));
    ASSERT_NE(font.glyphs[2].data, nullptr);
    EXPECT_EQ(font.glyphs[2].height, 8);
    // Glyph 2's first pixel is image pixel (10, 1).
    const std::uint32_t first = static_cast<const std::uint32_t*>(font.glyphs[2].data)[0];
    EXPECT_EQ(first & 0xFFFFFFu, 0x00010Au); // blue carries x, green y

    LSR_DeleteFont(&font);
    tarnfile_closeimage();
    EXPECT_EQ(g_mem_in_use.load(), before);

    LSR_Font missing;
    LSR_InitFont("none.tga", &missing); // nothing mounted: no glyphs, no crash
    EXPECT_EQ(missing.count, 0);
}

// A font whose glyph d is a 1 by 1 sprite of colour d, advance d + 1.
struct Numbers {
    LSR_Font font;
    Numbers() {
        for (int d = 1; d < 96; ++d) {
            LSR_CreateSprite(1, 1, &font.glyphs[d]);
            static_cast<std::uint32_t*>(font.glyphs[d].data)[0] = 0xFF000000u | d;
            font.widths[d] = static_cast<std::uint8_t>(d + 1);
        }
        font.widths[0] = 7;
        font.count = 96;
        font.height = 1;
    }
    ~Numbers() { LSR_DeleteFont(&font); }
};

TEST_F(Font, TextAdvancesByWidthAndSpacingAndSkipsCodesWithoutGlyphs) {
    Numbers n;
    LSR_SetFontSpacing(1, &n.font);
    pic_test::Pic page(640, 2);
    const auto glyph = [&](int x, int y) { return page.at(x, y) & 0xFF; };
    page.fill(0);
    // A (glyph 34), space (1), B (35); "}", "~", newline and code 200 do not move the pen.
    LSR_DrawText(10, 0, n.font, page.bm, "A}~\n\xC8 %c", 'B');
    EXPECT_EQ(glyph(10, 0), 34u);
    EXPECT_EQ(glyph(10 + 36, 0), 1u);
    EXPECT_EQ(glyph(10 + 36 + 3, 0), 35u);
    EXPECT_EQ(page.at(11, 0), 0u);

    // Code 31 draws nothing but advances by glyph 0's width.
    page.fill(0);
    LSR_DrawText(0, 0, n.font, page.bm, "\x1F!");
    EXPECT_EQ(page.at(0, 0), 0u);
    EXPECT_EQ(glyph(8, 0), 2u);

    // Total advance 101 ("X", glyph 57: 58 + 1, then "+" glyph 12: 13 + 1, then glyph 26: 27 + 1)
    // starts at 320 - 50, or at the middle of (100, 20) less 50.
    page.fill(0);
    LSR_DrawCenteredText(0, n.font, page.bm, "X+9");
    EXPECT_EQ(glyph(270, 0), 57u);
    page.fill(0);
    LSR_DrawCenteredTextXW(100, 0, 20, n.font, page.bm, "X+9");
    EXPECT_EQ(glyph(60, 0), 57u);

    // Text longer than the buffer is cut, never written past it.
    page.fill(0);
    LSR_SetFontSpacing(-2, &n.font); // each "!" then advances by 1
    LSR_DrawText(0, 1, n.font, page.bm, "%s", std::string(400, '!').c_str());
    EXPECT_EQ(glyph(254, 1), 2u);
    EXPECT_EQ(page.at(255, 1), 0u);
}

TEST_F(Font, BuiltInFontPaintsItsTableAsTintedGlyphs) {
    EXPECT_EQ(LSR_defaultfont[8 * ('0' - 32) + 1], 0xC6);
    LSR_Font font;
    LSR_InitDefaultFont(0xFF8000, &font);
    EXPECT_EQ(font.count, 94);
    EXPECT_EQ(font.widths[40], 4);
    pic_test::Pic page(16, 8);
    page.fill(0);
    LSR_DrawText(0, 0, font, page.bm, "A");
    // Row 2 of "A" is CC: pixels 0, 1, 4, 5 lit in the tint (channel * tint >> 8), the rest not.
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(page.at(x, 2) & 0xFFFFFFu, (0xCC & (0x80 >> x)) ? 0xFE7F00u : 0u) << x;
    LSR_DeleteFont(&font);
}

} // namespace
