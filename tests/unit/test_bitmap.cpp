// Bitmap create and delete, drawing within one block of pixels, and the drawing bodies' stop on
// a missing source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/sprite.h"
#include "picture.h"

namespace {

using Bitmap = picture::BothDepths;
PICTURE_BOTH_DEPTHS(Bitmap);

TEST_P(Bitmap, CreateSizesByDepthDeleteFreesOnceAndImpossibleSizesMakeNothing) {
    const std::uint32_t before = g_mem_in_use.load();
    LSR_Bitmap bm;
    LSR_CreateBitmap(7, 3, &bm);
    EXPECT_EQ(std::pair(bm.size, bm.pixels), std::pair(sixteen() ? 42 : 84, 21));
    EXPECT_EQ(picture::printed([&] { LSR_DeleteBitmap(&bm), LSR_DeleteBitmap(&bm); }),
              "deleting bitmap\n");
    EXPECT_TRUE(bm.data == nullptr && g_mem_in_use.load() == before);
    for (auto [w, h] : {std::pair{-1, 5}, {5, -1}, {70000, 70000}, {1 << 30, 2}}) {
        LSR_Bitmap empty;
        const std::string said = picture::printed([&] { LSR_CreateBitmap(w, h, &empty); });
        EXPECT_NE(said.find("cannot create a bitmap of " + std::to_string(w)), std::string::npos);
        EXPECT_TRUE(empty.data == nullptr && empty.size == 0 && empty.pixels == 0) << w;
    }
}

// Source and destination in one block of pixels, overlapping at many distances: rows go down one
// by one and each goes up pixel by pixel, every pixel read just before it is copied, so a
// destination just after its source repeats pixels. Equal widths make rows that follow each
// other; a narrower source makes separate runs.
TEST_P(Bitmap, DrawWithinOneBlockCopiesAsRowsGoingUpPixelByPixel) {
    const auto block = picture::filled(120, 1);
    const int bytes = sixteen() ? 2 : 4;
    const auto view = [&](int w, int start) {
        return LSR_Bitmap{w, 5, w * 5 * bytes, w * 5,
                          static_cast<std::uint8_t*>(block.get().data) + start * bytes};
    };
    for (auto [sw, dw] : {std::pair{10, 10}, {7, 10}, {10, 7}})
        for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {-2, 1}, {0, -1}})
            for (int offset = -25; offset <= 25; ++offset) {
                std::vector<std::uint32_t> want(120), got(120);
                for (int i = 0; i < 120; ++i) picture::set(block.get(), i, 0, want[i] = i + 1);
                LSR_DrawBitmap(x, y, view(sw, 40), view(dw, 40 + offset));
                for (int v = std::max(0, -y); v < std::min(5, 5 - y); ++v)
                    for (int u = std::max(0, -x); u < std::min(sw, dw - x); ++u)
                        want[40 + offset + (y + v) * dw + x + u] = want[40 + v * sw + u];
                for (int i = 0; i < 120; ++i) got[i] = picture::at(block.get(), i, 0);
                ASSERT_EQ(got, want)
                    << sw << " into " << dw << " at " << x << "," << y << ", " << offset;
            }
}

// The per-depth drawing bodies of bitmaps and sprites treat a missing source as a broken
// invariant and stop, naming their line.
TEST(BitmapDeathTest, DrawingBodiesStopOnAMissingSource) {
    const auto dst = picture::filled(2, 2);
    const LSR_Bitmap none{}, to = dst.get();
    const LSR_Sprite empty;
    const std::function<void()> bodies[] = {
        [&] { DrawBitmap16(0, 0, none, to); },
        [&] { DrawBitmap32(0, 0, none, to); },
        [&] { DrawBlendBitmap16(0, 0, none, to, 1); },
        [&] { DrawBlendBitmap32(0, 0, none, to, 1); },
        [&] { DrawFilteredBitmap16(0, 0, none, to, 2); },
        [&] { DrawFilteredBitmap32(0, 0, none, to, 2); },
        [&] { DrawRotatedBitmap16(0, 0, none, to, 0, 128); },
        [&] { DrawRotatedBitmap32(0, 0, none, to, 0, 128); },
        [&] { DrawRotatedBitmapXY16(0, 0, none, to, 0, 128, 0, 0); },
        [&] { DrawRotatedBitmapXY32(0, 0, none, to, 0, 128, 0, 0); },
        [&] { LSR_DrawSprite(0, 0, empty, to); },
        [&] { LSR_DrawMirroredSprite(0, 0, empty, to); },
        [&] { LSR_DrawRotatedSprite(0, 0, empty, to, 0); },
    };
    for (const auto& body : bodies)
        EXPECT_EXIT((dup2(STDERR_FILENO, STDOUT_FILENO), body()), ::testing::ExitedWithCode(1),
                    "graphics/(bitmap|sprite)\\([0-9]+\\): assertion failed: src.data");
}

} // namespace
