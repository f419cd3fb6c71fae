// The examples' pictures, painted with the library: one for each image format they show.
#include <array>
#include <cstdint>

#include "lodestar/lodestar.h"
#include "paint.h"

namespace mkassets {

namespace {

constexpr std::int32_t k_width = 160, k_height = 120;

// Hue h (0 .. 767) around the colour wheel at full brightness.
constexpr std::uint32_t hue(std::uint32_t h) {
    const std::uint32_t part = h / 256, t = h % 256;
    constexpr std::array<std::uint32_t, 4> corners = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000};
    return mix(corners[part], corners[part + 1], t);
}

// The integer square root, rounded down.
constexpr std::int32_t isqrt(std::int32_t v) {
    std::int32_t r = 0;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

} // namespace

Picture paint_landscape() {
    Picture pic(k_width, k_height);
    const Depth32 depth;
    const LSR_Bitmap& bm = pic.bitmap();
    for (std::int32_t y = 0; y < 80; ++y)
        LSR_DrawHLine(0, k_width - 1, y, mix(rgb(30, 60, 160), rgb(250, 180, 120), y * 256 / 80),
                      bm);
    LSR_DrawFilledCircle(112, 52, 18, rgb(255, 230, 120), bm);
    const LSR_Vertex foot_left{-20, 84}, foot_right{120, 84}, peak{50, 26};
    LSR_DrawTriangle(foot_left, foot_right, peak, rgb(70, 60, 90), bm);
    LSR_DrawTriangle({40, 84}, {190, 84}, {118, 40}, rgb(50, 70, 80), bm);
    LSR_DrawTriangle({38, 40}, {62, 40}, {50, 26}, rgb(240, 240, 250), bm); // snow
    for (std::int32_t y = 80; y < k_height; ++y)
        LSR_DrawHLine(0, k_width - 1, y, mix(rgb(40, 90, 150), rgb(10, 30, 60), (y - 80) * 6), bm);
    for (std::int32_t y = 86; y < k_height; y += 6) // the sun's glitter on the water
        LSR_DrawHLine(104 - (y - 80) / 3, 120 + (y - 80) / 3, y, rgb(255, 220, 140), bm);
    return pic;
}

Picture paint_rings() {
    Picture pic(k_width, k_height);
    const Depth32 depth;
    LSR_ClearColorBitmap(pic.bitmap(), rgb(16, 16, 24));
    for (std::int32_t r = 70; r > 0; r -= 5)
        LSR_DrawFilledCircle(k_width / 2, k_height / 2, r,
                             hue(static_cast<std::uint32_t>(r * 767 / 70)), pic.bitmap());
    return pic;
}

Picture paint_tiles() {
    Picture pic(k_width, k_height);
    const Depth32 depth;
    const LSR_Bitmap& bm = pic.bitmap();
    for (std::int32_t ty = 0; ty < k_height / 20; ++ty)
        for (std::int32_t tx = 0; tx < k_width / 20; ++tx) {
            const auto n = static_cast<std::uint32_t>(tx + ty * 8);
            LSR_DrawFilledBox(tx * 20, ty * 20, 20, 20, hue(n * 37 % 768), bm);
            LSR_DrawBox(tx * 20, ty * 20, 20, 20, rgb(0, 0, 0), bm);
            LSR_DrawFilledCircle(tx * 20 + 10, ty * 20 + 10, 2 + (tx + ty) % 6,
                                 (tx + ty) % 2 ? rgb(255, 255, 255) : rgb(0, 0, 0), bm);
        }
    return pic;
}

Picture paint_plasma() {
    Picture pic(k_width, k_height);
    const Depth32 depth;
    for (std::int32_t y = 0; y < k_height; ++y)
        for (std::int32_t x = 0; x < k_width; ++x) {
            const std::int32_t a = isqrt((x - 40) * (x - 40) + (y - 30) * (y - 30));
            const std::int32_t b = isqrt((x - 120) * (x - 120) + (y - 90) * (y - 90));
            const auto band = static_cast<std::uint32_t>((a + b) / 2 % 64);
            const std::uint32_t level = band < 32 ? band : 63 - band; // 0 .. 31, up and down
            LSR_DrawPixel(x, y, rgb(level * 8, 124 - level * 4, 252 - level * 8), pic.bitmap());
        }
    return pic;
}

} // namespace mkassets
