// The game's pixel writers, sprites, digits and numbers, and the rules its pictures follow.
#include "digits.h"
#include "game_fixture.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

using Sprites = LibraryTest;

TEST_F(Sprites, PixelsWrapOrClipAndHighColoursBecomeWhite) {
    ClearSlate();
    DrawPixel(9, 1, 7); // column 1, game row 1 = slate row 6
    EXPECT_EQ(GameSlate[1 * 8 + 6], 7);
    DrawPixel(0, 0, 30);
    EXPECT_EQ(GameSlate[7], 1);
    DrawPixel(0, 1, 25);
    EXPECT_EQ(GameSlate[6], 25);
    DrawPixelSafe(7, 7, 26);
    EXPECT_EQ(GameSlate[7 * 8], 1);
    const Slate before = current_slate(GameSlate);
    DrawPixelSafe(255, 0, 3);
    DrawPixelSafe(0, 8, 3);
    DrawPixelSafe(8, 255, 3);
    EXPECT_EQ(current_slate(GameSlate), before);
}

TEST_F(Sprites, SpritesAreOpaqueAndClippedButReadWhole) {
    std::uint8_t data[64];
    for (int i = 0; i < 64; ++i) data[i] = static_cast<std::uint8_t>(i % 8 == 7 ? 0 : 1 + i % 8);
    for (auto& e : GameSlate) e = 9;
    DrawSprite(-3, 0, 8, 8, data);
    EXPECT_EQ(sprdata, data + 64);
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            // Picture column x + 3 lands at slate column x; the picture's colour 0 is drawn too.
            const std::uint8_t want = x <= 4 ? data[y * 8 + x + 3] : 9;
            EXPECT_EQ(GameSlate[x * 8 + (7 - y)], want) << x << "," << y;
        }
    // A sprite below and right of the slate draws nothing.
    const Slate before = current_slate(GameSlate);
    DrawSprite(8, 0, 8, 8, data);
    DrawSprite(0, -8, 8, 8, data);
    DrawSprite(120, 120, 8, 8, data); // the byte coordinates wrap past 127 to negative
    EXPECT_EQ(current_slate(GameSlate), before);
}

TEST_F(Sprites, DigitsAreTransparentGlyphsClippedAtTheEdges) {
    for (int n = 0; n < 10; ++n) {
        ClearSlate();
        DrawNSprite(1, 1, 4, 6, static_cast<std::uint8_t>(n));
        EXPECT_EQ(current_slate(GameSlate), expected_digits<1>(1, 1, {n})) << n;
    }
    ClearSlate();
    DrawNSprite(-1, 0, 4, 6, 8);
    EXPECT_EQ(current_slate(GameSlate), expected_digits<1>(-1, 0, {8}));
    ClearSlate();
    DrawNSprite(0, -2, 4, 6, 0);
    EXPECT_EQ(current_slate(GameSlate), expected_digits<1>(0, -2, {0}));
    // Unlit cells leave what is there.
    for (auto& e : GameSlate) e = 4;
    DrawNSprite(0, 0, 4, 6, 1);
    EXPECT_EQ(GameSlate[2 * 8 + 7], 4); // row 0, column 2 of a 1 is unlit
    EXPECT_EQ(GameSlate[0 * 8 + 7], 19);
    const Slate before = current_slate(GameSlate);
    DrawNSprite(0, 0, 4, 6, 10);
    EXPECT_EQ(current_slate(GameSlate), before);
}

TEST_F(Sprites, NumbersShowTheirLastFourDigits) {
    ClearSlate();
    DrawNumber(0, 1, 12345);
    EXPECT_EQ(current_slate(GameSlate), (expected_digits<2>(0, 1, {2, 3})));
    ClearSlate();
    DrawNumber(-8, 1, 42);
    EXPECT_EQ(current_slate(GameSlate), (expected_digits<2>(0, 1, {4, 2})));
    ClearSlate();
    DrawNumber(-4, 2, 907);
    EXPECT_EQ(current_slate(GameSlate), (expected_digits<2>(0, 2, {9, 0})));
    // Below zero only the digits that are zero still show.
    ClearSlate();
    DrawNumber(0, 1, -7);
    EXPECT_EQ(current_slate(GameSlate), (expected_digits<2>(0, 1, {0, 0})));
    ClearSlate();
    DrawNumber(-8, 1, -42);
    for (const auto e : GameSlate) EXPECT_EQ(e, 0);
}

} // namespace
