// Drawing scenes pinned at both depths: each row draws on a page of one colour, and its pins are
// FNV-1a sums of the page's bytes, of what the library printed and of the memory left counted, on
// a 32-bit page and on a 16-bit one. The pins were taken from drawings that passed the per-case
// pictures these rows replace.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/font.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/graphics/sprite.h"
#include "lodestar/graphics/triangles.h"
#include "picture.h"

namespace {

using B = const LSR_Bitmap&;
constexpr int k_min = std::numeric_limits<int>::min(), k_max = std::numeric_limits<int>::max();
constexpr std::uint32_t W = 0xFFFFFF, k_old = 0x102030;

// Letters a to p: red shades; sprites' colours; greys for the blends.
const picture::Legend k_shades = [] {
    picture::Legend l = {{'.', 0}, {'-', 0xDEADBEEF}};
    for (char c = 'a'; c <= 'p'; ++c) l[c] = std::uint32_t(c - 'a' + 1) << 20;
    return l;
}();
const picture::Legend k_sprite = {
    {'m', 0xFF00FF},   {'k', 0},          {'r', 0xF80000},  {'g', 0x00F800}, {'w', 0xF8F8F8},
    {'b', 0x0000F8},   {'e', 0xE0E0E0},   {'G', 0x808080},  {'d', 0x404040}, {'.', 0},
    {'n', 0xFFF0F0F0}, {'W', 0xFFFFFFFF}, {'K', 0xFF000000}};

lsr::OwnedBitmap grid(const char* rows, const picture::Legend& legend = k_shades) {
    return picture::make(rows, legend);
}

// Rows y to y + n of the page, as a bitmap of their own.
LSR_Bitmap rows(B p, int y, int n) {
    const int bytes = p.size / p.pixels;
    return {p.width, n, n * p.width * bytes, n * p.width,
            static_cast<std::uint8_t*>(p.data) + y * p.width * bytes};
}

LSR_Vertex at(std::int32_t x, std::int32_t y, std::int32_t shade = 0) {
    LSR_Vertex v;
    v.x = x, v.y = y, v.shade = shade;
    return v;
}

// A sprite cut from a grid, deleted at the end of the scope.
struct Cut {
    LSR_Sprite s;
    explicit Cut(const char* rows, decltype(LSR_GetSprite)* cut = LSR_GetSprite) {
        const auto bm = grid(rows, k_sprite);
        cut(0, 0, bm.get().width, bm.get().height, bm.get(), &s);
    }
    ~Cut() { LSR_DeleteSprite(&s); }
};

struct Scene {
    const char* name;
    int w, h;
    std::uint32_t fill;
    void (*draw)(B);
    std::uint32_t sum32, sum16;
};

std::vector<Scene>& scenes() {
    static std::vector<Scene> all;
    return all;
}

// A scene's drawing on page p, registered with its size, fill and pins.
#define SCENE(name, w, h, fill, sum32, sum16)                                                      \
    void name(B p);                                                                                \
    [[maybe_unused]] const bool name##_listed =                                                    \
        (scenes().push_back({#name, w, h, fill, name, sum32, sum16}), true);                       \
    void name(B p)

// Spans whose clipped part is one pixel or none draw nothing; vertical lines pixel by pixel.
SCENE(spans, 10, 7, 0, 0x90B96872, 0xB8A9FCF5) {
    const auto h = [&](int x1, int x2, int y) { LSR_DrawHLine(x1, x2, y, W, p); };
    h(5, 5, 0), h(5, 6, 1), h(-3, 2, 2), h(8, 700, 3), h(8, 3, 4), h(9, 700, 5);
    h(k_min, 1, 6), h(0, 9, -1), h(0, 9, 7);
}
SCENE(columns, 6, 5, 0, 0x2244CEFF, 0xC51237EB) {
    const auto v = [&](int x, int y1, int y2) { LSR_DrawVLine(x, y1, y2, W, p); };
    v(0, 2, 2), v(1, 3, 1), v(2, -2, 1), v(3, 3, k_max), v(4, 0, 4), v(5, k_min, 0);
    v(-1, 0, 4), v(6, 0, 4);
}
// Discs, outlines, radii of 3 and less, clipped at every edge and from the range's ends.
SCENE(circles, 38, 9, 0, 0x8D84E502, 0x76CD2D01) {
    const auto disc = [&](int x, int y, int r) { LSR_DrawFilledCircle(x, y, r, W, p); };
    const auto ring = [&](int x, int y, int r) { LSR_DrawCircle(x, y, r, W, p); };
    disc(12, 4, -4), ring(23, 4, 4), ring(23, 4, 1), ring(23, 4, -1);
    disc(28, 0, 0), disc(30, 0, 1), disc(28, 2, 2), disc(30, 2, -3), ring(29, 6, 0);
    disc(0, 0, 4), ring(1, 8, 4), disc(37, 8, 4), ring(37, 0, 4);
    disc(k_max, k_max, 12), disc(k_min, 4, 12), ring(k_max, k_min, 40), ring(5, 5, k_min);
}
// Outlines and fills from any corner, empty ones, rows as wide as the page.
SCENE(boxes, 30, 6, 0, 0xFAD7CC22, 0xEEAC3B81) {
    const auto box = [&](int x, int y, int w, int h) { LSR_DrawBox(x, y, w, h, W, p); };
    const auto fill = [&](int x, int y, int w, int h) {
        LSR_DrawFilledBox(x, y, w, h, W, rows(p, 0, 3));
    };
    box(4, 0, 5, 3), box(15, 3, -5, -3), box(16, 3, 5, -3), fill(22, 0, 5, 3);
    fill(28, 1, 5, k_max), box(-2, -2, 5, 4), box(1, 1, 0, 3), box(30, 1, 4, 4);
    box(-4, 1, 4, 4), box(1, 3, 4, 4), fill(1, 1, 0, 3), fill(1, 1, 5, 0);
    fill(1, 1, -5, 3), fill(1, 1, 5, -3), fill(30, 1, 4, 4), fill(-4, 1, 4, 4);
    fill(1, 3, 4, 4);
    LSR_DrawFilledBox(-1, -2, 35, 4, W, rows(p, 4, 2));
}
// Steps held to 1..64; three steps end short of the last point.
SCENE(bezier, 9, 28, 0, 0xDCD1C772, 0x5E7815B5) {
    for (int i = 0; i < 4; ++i)
        LSR_DrawBezier(0, 0, 0, 8, 8, 8, 8, 0, std::array{1, 3, 0, 100}[i], W, rows(p, 7 * i, 7));
}
// Lines from the ends of the coordinate range, whose clipping needs products past 64 bits.
SCENE(far_lines, 4, 28, 0, 0xA1B9AD2F, 0xD248163F) {
    int y = 0;
    for (auto [x1, y1, x2, y2] : {std::array{k_min, 1, k_max, 1},
                                  {k_min, 0, k_max, 2},
                                  {2, k_min, 2, k_max},
                                  {0, k_min, 3, k_max},
                                  {k_min, k_min, k_max, k_max},
                                  {k_max, k_max, k_min, k_min},
                                  {k_max, 4, k_min, 4}}) {
        LSR_DrawLine(x1, y1, x2, y2, W, rows(p, y, 4));
        y += 4;
    }
}
// Set, average or add (the arithmetic is the span blitters'), an unknown mode; nothing drawn and 0
// read outside; reads widen 16 bits.
SCENE(pixels, 6, 2, 0, 0x76A6E02F, 0x222A8A1D) {
    const std::array<std::uint32_t, 3> blends[] = {{0x0000FF, 0xFF0000, LSR_PIXEL_AVERAGE},
                                                   {0xFFFFFFFF, 0xFF000000, LSR_PIXEL_AVERAGE},
                                                   {0x808080, 0x80A0F0, LSR_PIXEL_ADD},
                                                   {0x123456, 0xFFFFFF, LSR_PIXEL_SET},
                                                   {0x123456, 0xFFFFFF, 3},
                                                   {0x123456, 0xFFFFFF, 0xFFFFFFFF}};
    for (int x = 0; x < 6; ++x) {
        picture::set(p, x, 0, picture::stored(blends[x][0]));
        LSR_DrawBlendPixel(x, 0, blends[x][1], p, static_cast<std::int32_t>(blends[x][2]));
    }
    for (auto [x, y] : {std::pair{-1, 0}, {6, 0}, {0, 2}, {0, -1}}) {
        LSR_DrawBlendPixel(x, y, W, p, LSR_PIXEL_SET);
        LSR_DrawPixel(x, y, W, p);
        std::printf("%x ", LSR_GetPixel(x, y, p));
    }
    LSR_DrawPixel(2, 1, 0x00123456, p);
    std::printf("%x %x %x\n", LSR_GetPixel(2, 1, p), LSR_GetPixel(1, 1, p),
                LSR_GetPixel(2, 1, LSR_Bitmap{3, 2, 0, 6, nullptr}));
}

// Flat fills in any order of corners, one row, a wire frame; outside, huge, without pixels.
SCENE(triangles, 24, 12, 0, 0x4C157032, 0x4FB4ED4D) {
    LSR_DrawTriangle(at(0, 0), at(4, 0), at(0, 4), W, p);
    LSR_DrawTriangle(at(5, 5), at(11, 1), at(8, 4), W, p);
    LSR_DrawTriangle(at(5, 0), at(7, 0), at(9, 0), W, p);
    LSR_DrawTriangleWireframe(at(13, 0), at(23, 0), at(13, 5), W, p);
    LSR_DrawTriangle(at(24, 0), at(80, 5), at(65, 20), W, p);
    LSR_DrawTriangleShaded(at(24, 0), at(80, 5), at(65, 20), p);
    LSR_DrawTriangle(at(-2000000000, -2000000000), at(2000000000, 10), at(-5, 2000000000), 0x123456,
                     rows(p, 9, 3));
    LSR_DrawTriangle(at(0, 0), at(5, 0), at(0, 5), 0, LSR_Bitmap{});
}
// Each shaded span ends a pixel short, the bottom row is left out; only a shade's low byte
// counts.
SCENE(shaded, 12, 8, 0, 0xBFBE5CE2, 0x8A1F1319) {
    LSR_DrawTriangleShaded(at(10, 0, 255), at(1, 3, 255), at(1, 7, 255), p);
    LSR_DrawTriangleShaded(at(5, 0, 200), at(7, 0, 200), at(9, 0, 200), p);
}
SCENE(shade_ramp, 256, 100, 0, 0xA1327505, 0x766CB28B) {
    LSR_DrawTriangleShaded(at(0, 0, 0x100), at(255, 0, 0x1FF), at(0, 255, 0x300), p);
}
// Copies compare byte sizes only; clears set every pixel; draws copy the clipped part.
SCENE(copy_clear_draw, 10, 7, 0x123456, 0x784D1EAD, 0xCF17C955) {
    const auto a = grid("ab\ncd\nef\nab"), b = picture::filled(4, 2);
    const auto c = picture::filled(3, 3, 0x500000), d = picture::filled(7, 4);
    LSR_CopyBitmap(a.get(), b.get());
    LSR_CopyBitmap(a.get(), c.get());
    LSR_CopyBitmap(LSR_Bitmap{}, b.get());
    LSR_CopyBitmap(a.get(), LSR_Bitmap{});
    LSR_DrawBitmap(0, 0, a.get(), LSR_Bitmap{});
    for (auto [x, y] : {std::pair{-1, -1}, {5, 3}, {2, 1}, {7, 0}, {0, 4}})
        LSR_DrawBitmap(x, y, b.get(), d.get());
    LSR_DrawBitmap(0, 0, d.get(), p);
    LSR_DrawBitmap(7, 0, c.get(), p);
    LSR_ClearColorBitmap(c.get(), 0xFFFFFFFF);
    LSR_DrawBitmap(7, 3, c.get(), p);
    LSR_ClearBitmap(c.get());
    LSR_DrawBitmap(0, 4, c.get(), p);
}
// 32-bit pages only: doubled (modes 1 and below), smoothed, or the edges kept around each
// inner pixel; a small target is left alone.
SCENE(scale2x, 11, 44, 0xDEADBEEF, 0x825911E6, 0x2C727BB6) {
    int y = 0;
    for (auto [mode, rows] : {std::pair{1, "ab\ncd"},
                              {-7, "ab\ncd"},
                              {5, "ab\ncd"},
                              {2, "ac\nce"},
                              {3, "ab\ncd"},
                              {3, ".a.\nabc\n.c."},
                              {3, ".a.\ndbc\n.a."},
                              {4, ".ab.\n.bab\n.ab."},
                              {3, ".ab.\n.bab\n.ab."}}) {
        const auto src = grid(rows);
        const int w = src.get().width * 2, h = src.get().height * 2;
        const auto dst = picture::filled(w, h, 0xDEADBEEF), small = picture::filled(3, h);
        LSR_ScaleBitmap2x(src.get(), dst.get(), mode);
        LSR_ScaleBitmap2x(src.get(), small.get(), mode);
        LSR_DrawBitmap(0, y, dst.get(), p);
        LSR_DrawBitmap(8, y, small.get(), p);
        y += h;
    }
    LSR_ScaleBitmap2x(LSR_Bitmap{}, p, 1);
}
// Nearest pixels; sides below 1 count as 1; zoom in percent; steps past 32 bits.
SCENE(scaled, 10, 7, 0, 0x4B27D5E, 0xFF7A8BD6) {
    const auto src = grid("ab\ncd"), five = grid("abcde\nfghij\nklmno\npabcd\nefghi");
    for (auto [x, y, w, h] :
         {std::array{0, 0, 4, 4}, {5, 0, 0, 3}, {5, 4, 3, -5}, {-1, 5, 4, 4}, {9, -3, 4, 6}})
        LSR_DrawScaledBitmap(x, y, w, h, src.get(), rows(p, 0, 6), 0);
    LSR_DrawZoomedBitmap(7, 0, 50, five.get(), p);
    LSR_DrawScaledBitmap(0, 0, 2, 2, LSR_Bitmap{}, p, 0);
    LSR_DrawZoomedBitmap(0, 0, 100, src.get(), LSR_Bitmap{});
    const auto wide = picture::filled(40000, 1);
    for (int x = 0; x < 40000; ++x)
        picture::set(wide.get(), x, 0, picture::stored(std::uint32_t(1 + x / 10000) << 20));
    LSR_DrawScaledBitmap(0, 6, 4, 1, wide.get(), p, 0);
}
// Turned in a box one and a half times the larger side; angles fold into a turn.
SCENE(turned, 6, 42, 0, 0x241B5BA3, 0x576A0A08) {
    const auto src = grid("abcd\nefgh\nijkl\nmnop");
    int y = 0;
    for (int angle : {0, 360, -360, -90, 270, 450, 90})
        LSR_DrawRotatedBitmap(1, 1, src.get(), rows(p, std::exchange(y, y + 6), 6), angle);
    LSR_DrawRotatedBitmap(0, 0, LSR_Bitmap{}, p, 10);
    LSR_DrawRotatedBitmapZoom(0, 0, src.get(), LSR_Bitmap{}, 10, 64);
    LSR_DrawRotatedBitmapXY(0, 0, LSR_Bitmap{}, p, 10, 64, 1, 1);
}
// Channel mixes, interlaced rows swapping each frame, side by side, the eight-frame fade;
// views of another size are refused; every call counts a frame.
SCENE(stereo, 38, 2, 0, 0x4E516AA7, 0xDF50A59F) {
    const auto left = picture::filled(2, 2, 0xFFFFFFFF), right = picture::filled(2, 2);
    const auto dst = picture::filled(2, 2), wide = picture::filled(4, 2);
    int x = 0;
    const auto show = [&](int mode, B to, bool clear = true) {
        if (clear) LSR_ClearColorBitmap(to, 0x123456);
        LSR_DrawBitmap3D(left.get(), right.get(), to, mode);
        LSR_DrawBitmap(std::exchange(x, x + to.width), 0, to, p);
    };
    LSR_stereoframe = 14;
    for (int mode : {0, 1, 2, 3, 5, 7, -1, 5}) show(mode, dst.get());
    show(6, wide.get());
    std::printf("%d\n", LSR_stereoframe);
    LSR_stereoframe = 9;
    for (int i = 0; i < 7; ++i) show(LSR_STEREO_ALTERNATE, dst.get(), false);
    show(0, wide.get());
    LSR_DrawBitmap3D(left.get(), LSR_Bitmap{}, dst.get(), 1);
    std::printf("%d\n", std::exchange(LSR_stereoframe, 0));
}
// Whole-bitmap blends (a larger b for mode 5, a smaller one for darken, which reads none),
// fades to black, to white, cross-fades, a wipe of dst onto itself, an unknown mode.
SCENE(blend_and_fade, 30, 4, k_old, 0x95A8C32B, 0x891B2CA7) {
    const auto a = picture::filled(3, 2, 0xFF808080), b = picture::filled(3, 2, 0xFF404040);
    const auto dst = picture::filled(3, 2), small = picture::filled(2, 2, 0xFF404040);
    const auto large = picture::filled(4, 2, 0xFF404040);
    const auto white = picture::filled(3, 2, 0xFFFFFFFF);
    for (std::uint8_t mode = 0; mode < 10; ++mode) {
        LSR_ClearColorBitmap(dst.get(), k_old);
        const auto& other = mode == 5 ? large : mode == 9 ? small : b;
        LSR_BlendBitmap(a.get(), other.get(), dst.get(), mode == 9 ? LSR_BLEND_DARKEN : mode);
        LSR_DrawBitmap(3 * mode, 0, dst.get(), p);
    }
    for (std::uint8_t mode = 0; mode < 5; ++mode) {
        LSR_ClearColorBitmap(dst.get(), mode == LSR_FADE_CROSS ? 0 : k_old);
        LSR_FadeBitmap(white.get(), dst.get(), mode == LSR_FADE_CROSS ? 64 : 0, mode);
        LSR_DrawBitmap(3 * mode, 2, dst.get(), p);
    }
    LSR_CrossfadeBitmap(white.get(), large.get(), dst.get(), 64); // b read over dst
    LSR_DrawBitmap(15, 2, dst.get(), p);
}
// Grey (32 bits only, as many pixels as both have); a where the mask's blue is at most the
// level.
SCENE(grey_and_wipe, 5, 2, k_old, 0xFE8F85FE, 0x3818CBD3) {
    const picture::Legend l = {
        {'w', 0xFFFFFFFF}, {'r', 0xFFFF0000}, {'g', 0xFF00FF00}, {'b', 0xFF0000FF}, {'o', k_old}};
    LSR_GreyBitmap(grid("wrgb", l).get(), rows(p, 0, 1));
    LSR_AlphawipeBitmap(grid("rgbwr", l).get(), grid("obrwg", l).get(), rows(p, 1, 1), 0x80);
}
// Blended draws clipped like plain ones, the page's pixels the first picture; blur repeats
// a missing neighbour, also where cut; a stair step and the dark corner beside it smoothed.
SCENE(blended_draws, 5, 9, 0x808080, 0xAABAB070, 0x1C47ABA0) {
    const auto src = grid("dG\ndd", k_sprite);
    const LSR_Bitmap top = rows(p, 0, 3);
    for (auto [x, y, mode] : {std::array<int, 3>{-1, 1, LSR_BLEND_MOSTLY_SECOND},
                              {1, 0, LSR_BLEND_MIX},
                              {4, 1, 9},
                              {2, 2, LSR_BLEND_DARKEN},
                              {5, 0, LSR_BLEND_COPY},
                              {0, -2, LSR_BLEND_COPY}})
        LSR_DrawBlendBitmap(x, y, src.get(), top, mode);
    const auto row = grid("G..", k_sprite), column = grid("G\n.\n.", k_sprite);
    const auto blurred = picture::filled(4, 3), smooth = picture::filled(3, 3);
    LSR_DrawFilteredBitmap(0, 0, row.get(), blurred.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(-1, 1, row.get(), blurred.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(3, 0, column.get(), blurred.get(), LSR_FILTER_BLUR);
    LSR_DrawFilteredBitmap(0, 2, row.get(), blurred.get(), 1); // not a filter: a copy
    LSR_DrawAntiAliasedBitmap(0, 0, grid(".W.\nWnK\n.K.", k_sprite).get(), smooth.get());
    LSR_DrawBitmap(0, 3, blurred.get(), p);
    LSR_DrawBitmap(0, 6, smooth.get(), p);
}
// Pictures without pixels, or of sizes that do not fit, are refused: some say so.
SCENE(effects_refused, 2, 2, k_old, 0xF21BBDC8, 0xDF315728) {
    const auto a = picture::filled(2, 2), small = picture::filled(2, 1);
    const auto wide = picture::filled(4, 2);
    const LSR_Bitmap none{2, 2, 0, 4, nullptr};
    LSR_CrossfadeBitmap(a.get(), small.get(), p, 0);
    LSR_CrossfadeBitmap(small.get(), a.get(), p, 0);
    LSR_CrossfadeBitmap(a.get(), none, p, 0);
    LSR_FadeBitmap(a.get(), wide.get(), 0, LSR_FADE_BLACK);
    LSR_FadeBitmap(none, p, 0, LSR_FADE_BLACK);
    LSR_GreyBitmap(a.get(), none);
    LSR_DrawBlendBitmap(0, 0, none, p, 1);
    LSR_DrawFilteredBitmap(0, 0, a.get(), none, 2);
    LSR_DrawAntiAliasedBitmap(0, 0, none, p);
    LSR_BlendBitmap(a.get(), none, p, LSR_BLEND_COPY);
    LSR_BlendBitmap(a.get(), small.get(), p, LSR_BLEND_MIX);
    LSR_BlendBitmap(small.get(), a.get(), p, LSR_BLEND_COPY);
    LSR_AlphawipeBitmap(a.get(), none, p, 255);
    LSR_AlphawipeBitmap(a.get(), small.get(), p, 255);
}
// The key is cut out, black stays visible; dark cuts halve, tinted ones scale each channel;
// a cut outside keeps its size and draws nothing.
SCENE(sprites, 10, 4, k_old, 0x450D7A23, 0x1B0CBA64) {
    const Cut plain("mkr\nwgm"), dark("mkr\nwgm", LSR_GetDarkSprite);
    LSR_Sprite tinted, outside;
    const auto src = grid("wr", k_sprite);
    LSR_GetColorSprite(0, 0, 2, 1, 0x8040FF, src.get(), &tinted);
    LSR_GetSprite(1, 0, 2, 1, src.get(), &outside);
    LSR_DrawSprite(0, 0, plain.s, p);
    LSR_DrawMirroredSprite(4, 0, plain.s, p);
    LSR_DrawSprite(8, 2, dark.s, p);
    LSR_DrawMirroredSprite(-1, 2, plain.s, p);
    LSR_DrawSprite(4, 3, tinted, p);
    LSR_DrawSprite(0, 3, outside, p);
    std::printf("%d\n", outside.width);
    LSR_DeleteSprite(&tinted);
    LSR_DeleteSprite(&outside);
}
// The page's pixel is the first picture of the mode, the sprite's the second.
SCENE(sprite_blends, 10, 1, 0x404040, 0x454FCBD9, 0x6A5CBF75) {
    const Cut one("e");
    for (int mode = -1; mode < 9; ++mode) LSR_DrawBlendSprite(mode + 1, 0, one.s, p, mode);
}
// Scaled (a width of 0 counts as 1), zoomed, and both eyes of depth 100 at twice the size.
SCENE(sprite_scaled, 20, 23, k_old, 0xFA415E4F, 0xBD6FDF6) {
    const Cut four("rrgm\nrrgg\nwwbb\nwwbb");
    LSR_DrawScaledSprite(0, 0, 8, 6, four.s, rows(p, 0, 7));
    LSR_DrawScaledSprite(9, 0, 0, 3, four.s, p);
    LSR_DrawZoomedSprite(11, 0, 50, four.s, p);
    LSR_DrawZoomedSprite(18, 4, 150, four.s, rows(p, 0, 7));
    LSR_DrawSprite3D(0, 0, 100, four.s, rows(p, 7, 8), rows(p, 15, 8));
}
// The built-in glyphs tinted, 4 wide and 1 apart.
SCENE(builtin_font, 10, 8, 0, 0xBA55C67C, 0x81E20520) {
    LSR_Font font;
    LSR_InitDefaultFont(0x808080, &font);
    LSR_DrawText(0, 0, font, p, "A!");
    std::printf("%d\n", font.count);
    LSR_DeleteFont(&font);
}

// What the library printed, the memory left counted and the page's bytes, summed.
std::uint32_t drawn(const Scene& s, bool sixteen, std::string& said) {
    picture::set_depth(sixteen);
    const auto page = picture::filled(s.w, s.h, s.fill);
    const std::uint32_t in_use = g_mem_in_use.load();
    said = picture::printed([&] { s.draw(page.get()); });
    const auto sum = picture::sum(page.get(), said + std::to_string(g_mem_in_use.load() - in_use));
    picture::set_depth(false);
    return sum;
}

void PrintTo(const Scene& s, std::ostream* os) {
    *os << s.name;
}

class Scenes : public ::testing::TestWithParam<Scene> {};
INSTANTIATE_TEST_SUITE_P(Pinned, Scenes, ::testing::ValuesIn(scenes()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(Scenes, DrawTheirPinnedPagesAtBothDepths) {
    const Scene& s = GetParam();
    std::string said;
    const std::uint32_t sum32 = drawn(s, false, said), sum16 = drawn(s, true, said);
    EXPECT_TRUE(sum32 == s.sum32 && sum16 == s.sum16)
        << s.name << std::hex << ": 0x" << sum32 << ", 0x" << sum16 << " (pinned 0x" << s.sum32
        << ", 0x" << s.sum16 << "); printed:\n"
        << said;
}

// The magenta key takes a margin of 15 below each full channel; boxes that only touch miss.
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

} // namespace
