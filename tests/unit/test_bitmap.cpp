// Bitmaps: create and delete, drawing within one block of pixels, the drawing bodies' stop on a
// missing source, the stretch and texture spans, bilinear and turned drawing against pixel-by-pixel
// references, and the clipped rectangle every clipped draw walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/blitters_stretch.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/internal/clip.h"
#include "lodestar/graphics/internal/rotation.h"
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

// What the draws below do not reach: transparent stretching, bilinear stepping backwards, and
// the texture spans, whose 8.8 coordinates wrap at 256 both ways.
TEST(StretchBlit, SpansTheDrawsDoNotReach) {
    using V = std::vector<std::uint32_t>;
    const std::uint32_t row[3] = {0xFF000001u, 0x00FFFFFFu, 0x01000003u};
    std::uint32_t t[6] = {7, 7, 7, 7, 7, 7};
    TarnBlit_BlitTranspStretch32(t, row, 3, 0, 0x10000);
    EXPECT_EQ(V(t, t + 3), (V{row[0], 7, row[2]}));
    const std::uint32_t blues[3] = {0xFF000000u, 0xFF000064u, 0xFF0000C8u};
    TarnBlit_BlitBiLinearStretch32(t, blues, 6, 0, 2 * 65536 + 32768, 0, -32768, 3);
    EXPECT_EQ(V(t, t + 6), (V{200, 200, 150, 100, 50, 0}));
    V tex(65536), tex2(65536);
    for (std::size_t i = 0; i < tex.size(); ++i) tex[i] = static_cast<std::uint32_t>(i);
    TarnBlit_BlitFillTexture32(t, tex.data(), 3, 0xFE00, 0x10000 + 0x0200, 0x100, 0);
    EXPECT_EQ(V(t, t + 3), (V{0x2FE, 0x2FF, 0x300})); // the column carries into the row
    TarnBlit_BlitFillTexture32(t, tex.data(), 1, -0x100, 0, 0, 0);
    EXPECT_EQ(t[0], 0xFFFFu);
    // Shaded: level 255 keeps the texel, 127 halves it, below 0 is black; opacity stays.
    tex[0] = 0xFF806040u;
    TarnBlit_BlitFillShadeTexture32(t, tex.data(), 3, 0, 0, 255 << 8, 0, 0, -(128 << 8));
    EXPECT_EQ(V(t, t + 3), (V{0xFF806040u, 0xFF403020u, 0xFF000000u}));
    // Dual: (t1 + t2) halved as a signed 32-bit word, unmasked: green's low bit lands in blue,
    // the opacity carry is lost and its top bit spreads.
    for (auto [a, b, want] : {std::array<std::uint32_t, 3>{0x100, 0x1, 0x80},
                              {0x7F000000, 0x7F000000, 0xFF000000},
                              {0x80000000, 0x80000000, 0}}) {
        tex[0] = a, tex2[0] = b;
        TarnBlit_BlitFillDualTexture32(t, tex.data(), tex2.data(), 1, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(t[0], want) << std::hex << a;
    }
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    std::vector<std::uint16_t> t16(65536, 0x7C1F), u16(65536, 0x8000);
    std::uint16_t p16[2] = {};
    TarnBlit_BlitFillShadeTexture16(p16, t16.data(), 1, 0, 0, 127 << 8, 0, 0, 0);
    t16[0] = 0x8000;
    TarnBlit_BlitFillDualTexture16(p16 + 1, t16.data(), u16.data(), 1, 0, 0, 0, 0, 0, 0, 0, 0);
    // Red and blue 31 to 15; the dual sum is not cut to 16 bits before the halving.
    EXPECT_TRUE(p16[0] == 0x3C0F && p16[1] == 0x8000) << std::hex << p16[0] << " " << p16[1];
}

// One pixel of a bilinear draw of src, w by h at (x, y), worked out alone: where it reads in
// 16.16, its four neighbours (the right one is the pixel itself in the last column; the one below
// it is itself in the source's last row and in the last row drawn), and each channel's weighted
// sum in 64 bits.
std::uint32_t bilinear_pixel(const LSR_Bitmap& src, std::int64_t w, std::int64_t h, std::int64_t px,
                             std::int64_t py, bool last_row) {
    const std::int64_t sx = px * ((std::int64_t{src.width} << 16) / w);
    const std::int64_t sy = py * ((std::int64_t{src.height} << 16) / h);
    const int x = static_cast<int>(sx >> 16), y = static_cast<int>(sy >> 16);
    const int right = x + 1 < src.width, below = y + 1 < src.height && !last_row;
    const std::uint64_t fx = (sx >> 8) & 0xFF, fy = (sy >> 8) & 0xFF;
    const std::uint64_t p[4] = {picture::at(src, x, y), picture::at(src, x + right, y),
                                picture::at(src, x, y + below),
                                picture::at(src, x + right, y + below)};
    const std::uint64_t weight[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy,
                                     fx * fy};
    std::uint32_t out = 0;
    for (std::uint32_t m : LSR_Is16Bit()
                               ? std::array{tarnblit_redmask, tarnblit_greenmask, tarnblit_bluemask}
                               : std::array{0xFF0000u, 0xFF00u, 0xFFu}) {
        std::uint64_t sum = 0;
        for (int k = 0; k < 4; ++k) sum += (p[k] & m) * weight[k];
        out |= static_cast<std::uint32_t>(sum >> 16) & m;
    }
    return out;
}

// Up, down and unevenly scaled, odd sizes, clipped on every side: every pixel as worked out
// alone, the rest of the page untouched.
TEST_P(Bitmap, BilinearDrawGivesEachPixelItsFourNeighboursMix) {
    const struct {
        std::int32_t sw, sh, w, h;
    } sizes[] = {{5, 3, 17, 11}, {16, 16, 7, 5},   {33, 7, 40, 40}, {3, 40, 9, 13},
                 {1, 1, 6, 4},   {64, 48, 64, 48}, {9, 9, 200, 3}};
    const auto page = picture::filled(37, 23);
    for (const auto& s : sizes) {
        const auto src = picture::filled(s.sw, s.sh);
        std::uint32_t seed = 99;
        for (std::int32_t i = 0; i < s.sw * s.sh; ++i)
            picture::set(src.get(), i % s.sw, i / s.sw, seed = seed * 1103515245u + 12345u);
        for (auto [x, y] : {std::pair{0, 0}, {-5, -4}, {30, 20}, {-3, 10}, {20, -2}, {-50, -50}}) {
            LSR_ClearColorBitmap(page.get(), 0x5A5A);
            LSR_DrawScaledBitmap(x, y, s.w, s.h, src.get(), page.get(), 1);
            const std::int64_t bottom = std::min<std::int64_t>(y + s.h, 23) - 1;
            for (int Y = 0; Y < 23; ++Y)
                for (int X = 0; X < 37; ++X) {
                    const bool covered = X >= x && X < x + s.w && Y >= y && Y < y + s.h;
                    ASSERT_EQ(picture::at(page.get(), X, Y),
                              covered
                                  ? bilinear_pixel(src.get(), s.w, s.h, X - x, Y - y, Y == bottom)
                                  : picture::stored(0x5A5A))
                        << &s - sizes << " at " << x << "," << y << ": " << X << "," << Y;
                }
        }
    }
}

// Every pixel of the turned box maps back into the source on its own: ((i B - j A) >> 8 + cx,
// (i A + j B) >> 8 + cy) for box pixel (i, j) from the box centre, the box 1.5 times the longer
// side for bitmaps and twice it, placed by the turning point, for sprites. The draws find each
// row's run inside the source at once instead; both must agree at every angle, zoom, centre and
// clip.
TEST_P(Bitmap, TurnedDrawsShowExactlyThePixelsThatMapIntoTheSource) {
    const auto src = picture::filled(30, 20), page = picture::filled(90, 80);
    const std::uint32_t opaque = LSR_Is16Bit() ? 0 : 0x01000000u;
    for (int i = 0; i < 600; ++i) picture::set(src.get(), i % 30, i / 30, opaque + 1 + i);
    const LSR_Sprite sprite{30, 20, src.get().data}; // borrows the pixels
    for (const bool turned_sprite : {false, true})
        for (const int angle : {0, 1, 30, 45, 89, 90, 91, 135, 180, 226, 270, 301, 359, -17})
            for (const int zoom : {128, 64, 200, 0, 1000})
                for (const auto& [cx, cy] : {std::pair{15, 10}, {0, 0}, {-5, 7}, {33, 19}})
                    for (const auto& [x, y] : {std::pair{20, 30}, {-20, -12}, {60, 55}}) {
                        LSR_ClearBitmap(page.get());
                        if (turned_sprite && cx == 15 && cy == 10) // about its centre
                            LSR_DrawRotatedSpriteZoom(x, y, sprite, page.get(), angle, zoom);
                        else if (turned_sprite)
                            LSR_DrawRotatedSpriteXY(x, y, sprite, page.get(), angle, zoom, cx, cy);
                        else
                            LSR_DrawRotatedBitmapXY(x, y, src.get(), page.get(), angle, zoom, cx,
                                                    cy);
                        const std::int64_t side = turned_sprite ? 60 : 45;
                        const std::int64_t left = turned_sprite ? x - 30 + cx : x - 7;
                        const std::int64_t top = turned_sprite ? y - 30 + cy : y - 12;
                        const tarnblit::Turn t = tarnblit::turn(bitmaprotate_sincos, angle, zoom);
                        for (int Y = 0; Y < 80; ++Y)
                            for (int X = 0; X < 90; ++X) {
                                const std::int64_t i = X - left - side / 2, j = Y - top - side / 2;
                                const std::int64_t sx = ((i * t.b - j * t.a) >> 8) + cx;
                                const std::int64_t sy = ((i * t.a + j * t.b) >> 8) + cy;
                                const bool inside = X >= left && X < left + side && Y >= top &&
                                                    Y < top + side && sx >= 0 && sx < 30 &&
                                                    sy >= 0 && sy < 20;
                                ASSERT_EQ(picture::at(page.get(), X, Y),
                                          inside ? opaque + 1 + sx + 30 * sy : 0)
                                    << turned_sprite << " " << angle << " " << zoom << " " << cx
                                    << "," << cy << " at " << x << "," << y << ": " << X << ","
                                    << Y;
                            }
                    }
}

constexpr std::int64_t k_far = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t k_near = std::numeric_limits<std::int32_t>::min();

// A w by h picture at (x, y) on a 20 by 15 target: its first source pixel, first destination
// pixel and size inside, all zero when nothing lands.
TEST(Clip, RectangleAndSourceOffsetOnEverySide) {
    using Six = std::array<std::int64_t, 6>;
    const struct {
        std::int64_t x, y, w, h;
        Six want;
    } rows[] = {
        {5, 3, 10, 10, {0, 0, 5, 3, 10, 10}},               // inside
        {-9, 0, 10, 10, {9, 0, 0, 0, 1, 10}},               // one column left of the edge shows
        {-10, 0, 10, 10, {}},                               // touching the left edge
        {0, -9, 10, 10, {0, 9, 0, 0, 10, 1}},               // one row above the top shows
        {19, 14, 10, 10, {0, 0, 19, 14, 1, 1}},             // the bottom-right pixel only
        {20, 0, 10, 10, {}},                                // past the right edge
        {15, 9, 10, 10, {0, 0, 15, 9, 5, 6}},               // cut at the right and the bottom
        {-5, -3, 30, 25, {5, 3, 0, 0, 20, 15}},             // larger: cut on all four sides
        {3, 3, 0, 4, {}},                                   // no columns
        {3, 3, 4, -2, {}},                                  // negative height
        {k_far, k_far, 10, 10, {}},                         // far right: no overflow
        {k_near, 0, 10, 10, {}},                            // far left
        {k_near, k_near, k_far, k_far, {}},                 // a huge picture ending left and above
        {-k_far, -2, k_far + 5, 4, {k_far, 2, 0, 0, 5, 2}}, // a huge one reaching in
    };
    static std::uint32_t pixel;
    const LSR_Bitmap dst{20, 15, 20 * 15 * 4, 20 * 15, &pixel};
    for (const auto& r : rows) {
        tarnblit::Clip c;
        const bool lands = tarnblit::clip_rect(r.x, r.y, r.w, r.h, dst, c);
        const Six got = lands ? Six{c.src_x, c.src_y, c.dst_x, c.dst_y, c.cols, c.rows} : Six{};
        EXPECT_EQ(got, r.want) << r.w << "x" << r.h << " at " << r.x << "," << r.y;
        EXPECT_EQ(lands, r.want != Six{});
    }
    tarnblit::Clip c; // a target without pixels takes nothing
    EXPECT_FALSE(tarnblit::clip_rect(0, 0, 4, 4, LSR_Bitmap{20, 15, 0, 0, nullptr}, c));
}

} // namespace
