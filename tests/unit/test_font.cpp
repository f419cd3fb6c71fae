// Fonts: glyphs cut where the marker row says, text advance and skipped codes, centring, release.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/font.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "test_load_util.h"

namespace {

class Font : public tarn_test::Mounted {
  protected:
    void SetUp() override {
        Mounted::SetUp();
        picture::set_depth(false);
    }
};

const picture::Legend k_font = {{'m', 0xFF00FF}, {'k', 0},        {'a', 0xF80000},
                                {'b', 0x00F800}, {'c', 0x0000F8}, {'.', 0x102030}};

// Markers at columns 4 and 9 (column 0 always starts a glyph): glyph 0 measures 0, then 4, 5
// and 3 for codes 32, 33 and 34. A code without a glyph is skipped; code 31 only advances.
TEST_F(Font, MarkerRowCutsGlyphsAndTextAdvancesByWidthAndSpacing) {
    const auto page = picture::filled(20, 6, 0x102030), wide = picture::filled(260, 1, 0x102030);
    const std::uint32_t before = g_mem_in_use.load();
    dir.write("f.tga", load_test::tga("kmmmkmmmmkmm\nammabmmmbcmc\naaaambbbmmcm", k_font));
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);
    LSR_Font font;
    LSR_InitFont("f.tga", &font);
    EXPECT_EQ(font.count, 4);
    EXPECT_EQ(font.height, 2);
    LSR_SetFontSpacing(1, &font);
    LSR_DrawText(0, 0, font, page.get(), "\x1F !\"}~\n\xC8%c", ' ');
    LSR_DrawCenteredText(2, font, page.get(), "!");
    LSR_DrawCenteredTextXW(0, 4, 10, font, page.get(), "%s", "!");
    EXPECT_TRUE(picture::matches(page.get(), 0, 0, R"(
        .a..a.b...b.c.c.a..a
        .aaaa..bbb...c..aaaa
        .......b...b........
        ........bbb.........
        ..b...b.............
        ...bbb..............)",
                                 k_font));
    // Text is cut at 255 characters.
    LSR_SetFontSpacing(-4, &font);
    LSR_DrawText(0, 0, font, wide.get(), "%s", std::string(400, '!').c_str());
    EXPECT_TRUE(picture::matches(wide.get(), 255, 0, "bbbb.", k_font));
    LSR_DeleteFont(&font);
    tarnfile_closeimage();
    EXPECT_EQ(g_mem_in_use.load(), before);
    LSR_Font missing;
    LSR_InitFont("none.tga", &missing); // nothing mounted: no glyphs
    EXPECT_EQ(missing.count, 0);
}

} // namespace
