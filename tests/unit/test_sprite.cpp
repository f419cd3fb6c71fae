// Sprites: the colour key, cutting, clipped, mirrored, blended, scaled, zoomed and rotated
// drawing, and collision boxes.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/sprite.h"
#include "picture.h"

namespace {

using Sprite = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Sprite);

// Colours that survive 16 bits unchanged, the magenta key, and what the cuts make of them.
const picture::Legend k_legend = {{'m', 0xFF00FF}, {'k', 0},        {'r', 0xF80000},
                                  {'g', 0x00F800}, {'w', 0xF8F8F8}, {'b', 0x0000F8},
                                  {'o', 0x102030}, {'R', 0x7C0000}, {'G', 0x007C00},
                                  {'W', 0x7C7C7C}, {'t', 0x7C3EF7}, {'e', 0xE0E0E0}};

// A sprite cut from a grid, deleted at the end of the scope.
struct Cut {
    LSR_Sprite s;
    Cut(const char* grid, void (*cut)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                      LSR_Bitmap, LSR_Sprite*) = LSR_GetSprite) {
        const auto bm = picture::make(grid, k_legend);
        cut(0, 0, bm.get().width, bm.get().height, bm.get(), &s);
    }
    ~Cut() { LSR_DeleteSprite(&s); }
};

TEST(SpriteRules, ColourKeyAndCollisionBoxes) {
    for (std::uint32_t c : {0xFF00FFu, 0xF100F1u, 0x12F10FF1u})
        EXPECT_EQ(LSR_CheckSpriteTransparency(c), 1) << std::hex << c;
    for (std::uint32_t c : {0xF010F1u, 0xF000F1u, 0xF100F0u, 0xFF10FFu})
        EXPECT_EQ(LSR_CheckSpriteTransparency(c), 0) << std::hex << c;
    // A 5 by 5 box against a 10 by 10 one at the origin: touching edges do not collide.
    const int boxes[][3] = {{10, 0, 0}, {9, 9, 1}, {-5, 0, 0}, {-4, -4, 1}, {0, 10, 0}, {0, -5, 0}};
    for (auto [x, y, hit] : boxes)
        EXPECT_EQ(LSR_CheckSpriteCollision(0, 0, 10, 10, x, y, 5, 5), hit) << x << "," << y;
}

// The key is cut out, black stays visible; dark cuts halve, tinted ones scale each channel.
TEST_P(Sprite, CutDrawnClippedAndMirrored) {
    const std::uint32_t before = g_mem_in_use.load();
    {
        const Cut plain("mkr\nwgm"), dark("mkr\nwgm", LSR_GetDarkSprite);
        LSR_Sprite tinted, outside;
        const auto src = picture::make("wr", k_legend);
        LSR_GetColorSprite(0, 0, 2, 1, 0x8040FF, src.get(), &tinted);
        LSR_GetSprite(1, 0, 2, 1, src.get(), &outside); // keeps its size, draws nothing
        EXPECT_EQ(outside.width, 2);
        const auto page = picture::filled(10, 4, 0x102030);
        LSR_DrawSprite(0, 0, plain.s, page.get());
        LSR_DrawMirroredSprite(4, 0, plain.s, page.get());
        LSR_DrawSprite(8, 2, dark.s, page.get());
        LSR_DrawMirroredSprite(-1, 2, plain.s, page.get());
        LSR_DrawSprite(4, 3, tinted, page.get());
        LSR_DrawSprite(0, 3, outside, page.get());
        // Black stays visible: at 16 bits it is stored as 1.
        auto legend = k_legend;
        legend['K'] = sixteen() ? 0x000008 : 0xFF000000;
        EXPECT_TRUE(picture::matches(page.get(), 0, 0, R"(
            oKrorKoooo
            wgooogwooo
            KooooooooK
            gwootRooWG)",
                                     legend));
        LSR_DeleteSprite(&tinted);
        LSR_DeleteSprite(&outside);
    }
    EXPECT_EQ(g_mem_in_use.load(), before);
}

// The page's own pixel is the first picture of the mode, the sprite's the second.
TEST_P(Sprite, BlendModesPickTheirSpan) {
    const Cut one("e");
    const std::uint32_t want[] = {0xE0E0E0, 0x909090, 0xFFFFFF, 0x383838, 0x686868, 0xB8B8B8};
    const auto page = picture::filled(1, 1);
    for (std::int8_t mode = -1; mode < 8; ++mode) {
        LSR_ClearColorBitmap(page.get(), 0x404040);
        LSR_DrawBlendSprite(0, 0, one.s, page.get(), mode);
        EXPECT_TRUE(picture::uniform(page.get(), mode >= 0 && mode < 6 ? want[mode] : 0x404040))
            << int{mode};
    }
}

// Turned sprites are drawn in the bitmaps' walk of turned draws.
TEST_P(Sprite, ScaledZoomedAndStereo) {
    const Cut four("rrgm\nrrgg\nwwbb\nwwbb");
    const auto page = picture::filled(20, 7, 0x102030);
    LSR_DrawScaledSprite(0, 0, 8, 6, four.s, page.get());
    LSR_DrawScaledSprite(9, 0, 0, 3, four.s, page.get()); // width 0 counts as 1
    LSR_DrawZoomedSprite(11, 0, 50, four.s, page.get());
    LSR_DrawZoomedSprite(18, 4, 150, four.s, page.get());
    EXPECT_TRUE(picture::matches(page.get(), 0, 0, R"(
        rrrrggooororgooooooo
        rrrrggooorowbooooooo
        rrrrggggowoooooooooo
        rrrrggggoooooooooooo
        wwwwbbbboooooooooorr
        wwwwbbbboooooooooorr
        oooooooooooooooooorr)",
                                 k_legend));

    // Depth 100: both eyes at twice the size in the same place.
    const auto left = picture::filled(8, 8), right = picture::filled(8, 8);
    LSR_DrawSprite3D(0, 0, 100, four.s, left.get(), right.get());
    EXPECT_EQ(picture::grid_of(left.get(), 0, 0, 8, 8, k_legend),
              "rrrrggkk\nrrrrggkk\nrrrrgggg\nrrrrgggg\nwwwwbbbb\nwwwwbbbb\nwwwwbbbb\nwwwwbbbb\n");
    EXPECT_EQ(picture::grid_of(right.get(), 0, 0, 8, 8, k_legend),
              picture::grid_of(left.get(), 0, 0, 8, 8, k_legend));
}

} // namespace
