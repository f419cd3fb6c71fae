// Bitmap create, delete, copy, clear, clipped drawing, the 2x filters, and the drawing bodies'
// stop on a missing source.
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

const picture::Legend k_letters = {{'.', 0},        {'a', 0x100000},  {'b', 0x200000},
                                   {'c', 0x300000}, {'d', 0x400000},  {'e', 0x500000},
                                   {'f', 0x600000}, {'-', 0xDEADBEEF}};

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

// Copies compare byte sizes only; clears set every pixel. Draws copy the clipped part in place.
TEST_P(Bitmap, CopyClearAndDraw) {
    const auto a = picture::make("ab\ncd\nef\nab", k_letters), b = picture::filled(4, 2);
    const auto c = picture::filled(3, 3, 0x500000), dst = picture::filled(7, 4);
    EXPECT_EQ(picture::printed([&] {
                  LSR_CopyBitmap(a.get(), b.get());
                  LSR_CopyBitmap(a.get(), c.get()); // sizes differ: nothing, silently
                  LSR_CopyBitmap(LSR_Bitmap{}, b.get());
                  LSR_CopyBitmap(a.get(), LSR_Bitmap{});
                  LSR_DrawBitmap(0, 0, a.get(), LSR_Bitmap{});
              }),
              picture::no_data(3));
    EXPECT_TRUE(picture::matches(b.get(), 0, 0, "abcd\nefab", k_letters));
    EXPECT_TRUE(picture::uniform(c.get(), 0x500000));
    LSR_ClearBitmap(c.get());
    EXPECT_TRUE(picture::uniform(c.get(), 0));
    LSR_ClearColorBitmap(c.get(), 0xFFFFFFFF);
    EXPECT_TRUE(picture::uniform(c.get(), 0xFFFFFFFF));
    for (auto [x, y] : {std::pair{-1, -1}, {5, 3}, {2, 1}, {7, 0}, {0, 4}})
        LSR_DrawBitmap(x, y, b.get(), dst.get());
    EXPECT_TRUE(picture::matches(dst.get(), 0, 0, "fab....\n..abcd.\n..efab.\n.....ab", k_letters));
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

// 32-bit pages only: every block doubled (modes 1 and below), smoothed one row lower, or the
// edges kept around each inner pixel, with a rule for checkerboards in mode 4. A 16-bit page or a
// small target is left alone.
TEST_P(Bitmap, ScaleDoublesSmoothsAndKeepsEdges) {
    const struct {
        std::int32_t mode;
        const char* src;
        const char* want;
    } cases[] = {
        {1, "ab\ncd", "aabb\naabb\nccdd\nccdd"},
        {-7, "ab\ncd", "aabb\naabb\nccdd\nccdd"},
        {5, "ab\ncd", "----\n----\n----\n----"},
        {2, "ac\nce", "----\nab--\nbc--\n----"}, // halves of neighbours: a + c = 2b
        {3, "ab\ncd", "----\n----\n----\n----"}, // no inner pixel
        {3, ".a.\nabc\n.c.", "------\n------\n--ab--\n--bc--\n------\n------"},
        {3, ".a.\ndbc\n.a.", "------\n------\n--bb--\n--bb--\n------\n------"},
        {4, ".ab.\n.bab\n.ab.", "--------\n--------\n--baba--\n--abab--\n--------\n--------"},
        {3, ".ab.\n.bab\n.ab.", "--------\n--------\n--bbaa--\n--bbaa--\n--------\n--------"},
    };
    for (const auto& c : cases) {
        const auto src = picture::make(c.src, k_letters);
        const auto dst = picture::filled(2 * src.get().width, 2 * src.get().height, 0xDEADBEEF);
        const auto small = picture::filled(3, 2 * src.get().height, 0xDEADBEEF);
        LSR_ScaleBitmap2x(src.get(), dst.get(), c.mode);
        LSR_ScaleBitmap2x(src.get(), small.get(), c.mode);
        EXPECT_TRUE(sixteen() ? picture::uniform(dst.get(), 0xDEADBEEF)
                              : picture::matches(dst.get(), 0, 0, c.want, k_letters))
            << c.mode << " " << c.src;
        EXPECT_TRUE(picture::uniform(small.get(), 0xDEADBEEF));
    }
    const auto dst = picture::filled(2, 2);
    EXPECT_EQ(picture::printed([&] { LSR_ScaleBitmap2x(LSR_Bitmap{}, dst.get(), 1); }),
              picture::no_data());
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
