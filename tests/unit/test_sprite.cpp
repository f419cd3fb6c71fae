// Sprites: the colour key, cutting at both depths, clipped, mirrored, blended, scaled, zoomed and
// rotated drawing, and collision boxes.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/graphics/sprite.h"
#include "test_pic_util.h"

namespace {

using pic_test::Pic;

// A sprite whose pixel (x, y) is 0x01000000 | (y * 16 + x + 1): every pixel opaque and distinct.
struct Numbered {
    LSR_Sprite s;
    Numbered(std::int32_t w, std::int32_t h) {
        LSR_CreateSprite(w, h, &s);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) set(x, y, value(x, y));
    }
    ~Numbered() { LSR_DeleteSprite(&s); }
    static std::uint32_t value(std::int32_t x, std::int32_t y) {
        return (LSR_Is16Bit() ? 0u : 0x01000000u) | static_cast<std::uint32_t>(y * 16 + x + 1);
    }
    void set(std::int32_t x, std::int32_t y, std::uint32_t v) {
        LSR_Bitmap b = LSR_GetBitmapFromSprite(s);
        const std::size_t i = static_cast<std::size_t>(y) * b.width + x;
        if (LSR_Is16Bit())
            static_cast<std::uint16_t*>(b.data)[i] = static_cast<std::uint16_t>(v);
        else
            static_cast<std::uint32_t*>(b.data)[i] = v;
    }
};

using Sprite = pic_test::BothDepths;

INSTANTIATE_TEST_SUITE_P(Sprite, Sprite, ::testing::Values(false, true), pic_test::depth_name);

TEST(SpriteRules, ColourKeyAndCollisionBoxes) {
    for (std::uint32_t c : {0xFF00FFu, 0xF100F1u, 0x12F10FF1u})
        EXPECT_EQ(LSR_CheckSpriteTransparency(c), 1) << std::hex << c;
    for (std::uint32_t c : {0xF010F1u, 0xF000F0u, 0xFF10FFu})
        EXPECT_EQ(LSR_CheckSpriteTransparency(c), 0) << std::hex << c;
    // A 5 by 5 box against a 10 by 10 one at the origin: touching edges do not collide.
    for (auto [x, y, hit] : {std::tuple{10, 0, 0}, std::tuple{9, 9, 1}, std::tuple{-5, 0, 0},
                             std::tuple{0, 9, 1}, std::tuple{0, 10, 0}, std::tuple{-4, -4, 1}})
        EXPECT_EQ(LSR_CheckSpriteCollision(0, 0, 10, 10, x, y, 5, 5), hit) << x << "," << y;
}

TEST_P(Sprite, CutsKeyOpaqueDarkAndTintedPixelsAndFreesThem) {
    const std::uint32_t before = g_mem_in_use.load();
    {
        Pic src(4, 2);
        const std::uint32_t row[] = {0xFF00FF, 0x000000, 0xF8F8F8, 0x808080};
        for (int x = 0; x < 4; ++x) LSR_DrawPixel(x, 0, row[x], src.bm);
        LSR_Sprite s;
        LSR_GetSprite(0, 0, 2, 1, src.bm, &s);
        ASSERT_NE(s.data, nullptr);
        const auto px = [&](const LSR_Sprite& sp, int i) {
            return LSR_Is16Bit() ? static_cast<const std::uint16_t*>(sp.data)[i]
                                 : static_cast<const std::uint32_t*>(sp.data)[i];
        };
        EXPECT_EQ(px(s, 0), 0u);
        EXPECT_EQ(px(s, 1), GetParam() ? 1u : 0xFF000000u); // black stays visible
        LSR_DeleteSprite(&s);

        LSR_Sprite dark, tinted;
        LSR_GetDarkSprite(2, 0, 2, 1, src.bm, &dark);
        LSR_GetColorSprite(2, 0, 2, 1, 0x8040FF, src.bm, &tinted);
        const auto opaque = [&](std::uint32_t c) {
            return GetParam() ? TarnBlit_color24to16(c) : 0xFF000000u | c;
        };
        EXPECT_EQ(px(dark, 0), opaque(0x7C7C7C));
        EXPECT_EQ(px(tinted, 1), opaque(0x40207F));
        LSR_DeleteSprite(&dark);
        LSR_DeleteSprite(&tinted);

        // A rectangle outside the source keeps the size and draws as nothing.
        LSR_Sprite outside;
        LSR_GetSprite(3, 0, 2, 1, src.bm, &outside);
        EXPECT_EQ(outside.width, 2);
        Pic page(4, 4);
        page.fill(0x1234);
        LSR_DrawSprite(0, 0, outside, page.bm);
        EXPECT_EQ(page.at(0, 0), 0x1234u);
        LSR_DeleteSprite(&outside);
    }
    EXPECT_EQ(g_mem_in_use.load(), before);
}

// Where the clipped part lies is the clip table's (test_clip); here it lands in place.
TEST_P(Sprite, DrawingClipsAndMirrors) {
    Numbered n(10, 8);
    Pic page(20, 20);
    LSR_ClearBitmap(page.bm);
    LSR_DrawSprite(-3, -2, n.s, page.bm);
    // Source rows 2 to 7 and columns 3 to 9 at the top-left corner, nothing beyond.
    EXPECT_EQ(page.at(0, 0), Numbered::value(3, 2));
    EXPECT_EQ(page.at(6, 5), Numbered::value(9, 7));
    EXPECT_EQ(page.at(7, 0), 0u);
    EXPECT_EQ(page.at(0, 6), 0u);

    // Transparent pixels keep the page's own.
    n.set(0, 0, 0);
    page.fill(0x1234);
    LSR_DrawSprite(0, 0, n.s, page.bm);
    EXPECT_EQ(page.at(0, 0), 0x1234u);
    EXPECT_EQ(page.at(1, 0), Numbered::value(1, 0));

    // Mirrored: a row A B C at x = -1 shows B then A.
    Numbered abc(3, 1);
    LSR_ClearBitmap(page.bm);
    LSR_DrawMirroredSprite(-1, 0, abc.s, page.bm);
    EXPECT_EQ(page.at(0, 0), Numbered::value(1, 0));
    EXPECT_EQ(page.at(1, 0), Numbered::value(0, 0));
    EXPECT_EQ(page.at(2, 0), 0u);
}

TEST_P(Sprite, BlendModesPickTheirBlitterAndUnknownModesDrawNothing) {
    Pic page(4, 1), src(1, 1);
    LSR_DrawPixel(0, 0, 0x808080, src.bm);
    LSR_Sprite s;
    LSR_GetSprite(0, 0, 1, 1, src.bm, &s);
    const auto draw = [&](std::int8_t mode) {
        LSR_ClearColorBitmap(page.bm, 0x404040);
        LSR_DrawBlendSprite(0, 0, s, page.bm, mode);
        return LSR_GetPixel(0, 0, page.bm) & 0xFFFFFFu;
    };
    for (std::int8_t mode : {6, -1}) EXPECT_EQ(draw(mode), 0x404040u) << int{mode};
    EXPECT_EQ(draw(0), 0x808080u);
    const std::uint32_t mixed = draw(1), added = draw(2);
    EXPECT_GT(mixed & 0xFF, 0x40u);
    EXPECT_LT(mixed & 0xFF, 0x80u);
    EXPECT_GE(added & 0xFF, 0xC0u);
    LSR_DeleteSprite(&s);
}

TEST_P(Sprite, ScaledZoomedAndRotatedDrawing) {
    Numbered four(4, 4);
    Pic page(24, 24);
    LSR_ClearBitmap(page.bm);
    LSR_DrawScaledSprite(0, 0, 8, 8, four.s, page.bm);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(page.at(x, y), Numbered::value(x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(page.at(8, 0), 0u);

    LSR_ClearBitmap(page.bm);
    LSR_DrawScaledSprite(2, 0, 0, 4, four.s, page.bm); // width 0 counts as 1
    EXPECT_NE(page.at(2, 3), 0u);
    EXPECT_EQ(page.at(3, 0), 0u);

    Numbered five(5, 5);
    LSR_ClearBitmap(page.bm);
    LSR_DrawZoomedSprite(0, 0, 50, five.s, page.bm);
    EXPECT_NE(page.at(1, 1), 0u);
    EXPECT_EQ(page.at(2, 0), 0u);
    EXPECT_EQ(page.at(0, 2), 0u);

    // Rotation: whole turns are no turn; a quarter turn moves the top-left to another corner.
    const auto rotated = [&](std::int32_t angle) {
        LSR_ClearBitmap(page.bm);
        LSR_DrawRotatedSprite(8, 8, four.s, page.bm, angle);
        std::vector<std::uint32_t> out;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) out.push_back(page.at(x, y));
        return out;
    };
    const auto straight = rotated(0);
    EXPECT_EQ(rotated(360), straight);
    EXPECT_EQ(rotated(-360), straight);
    EXPECT_NE(rotated(90), straight);
    EXPECT_EQ(rotated(-270), rotated(90));
    // Unrotated it stands at (8, 8) as drawn plainly, one pixel per source pixel near the centre.
    EXPECT_EQ(straight[9 * 24 + 9], Numbered::value(1, 1));
    EXPECT_EQ(straight[10 * 24 + 10], Numbered::value(2, 2));
    EXPECT_EQ(straight[7 * 24 + 7], 0u);

    // Stereo: depth 100 draws both eyes at 200 percent in the same place.
    Pic left(24, 24), right(24, 24);
    left.fill(0), right.fill(0);
    LSR_DrawSprite3D(0, 0, 100, four.s, left.bm, right.bm);
    EXPECT_EQ(left.at(7, 7), Numbered::value(3, 3));
    EXPECT_EQ(right.at(7, 7), Numbered::value(3, 3));
    EXPECT_EQ(left.at(8, 8), 0u);
}

TEST(SpriteDeathTest, DrawingASpriteWithoutPixelsStopsTheProgram) {
    LSR_Sprite empty;
    Pic page(4, 4);
    EXPECT_EXIT(LSR_DrawSprite(0, 0, empty, page.bm), ::testing::ExitedWithCode(1), "");
}

} // namespace
