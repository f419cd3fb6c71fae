// Paints the device picture, the LED chart and the two font images into 32-bit bitmaps.
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "letters.h"
#include "lodestar/lodestar.h"

namespace mkassets {

namespace {

// A rounded rectangle, one span a row, shaded from top to bottom.
void fill_round_rect(Picture& pic, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                     std::int32_t r, std::uint32_t top, std::uint32_t bottom) {
    for (std::int32_t row = 0; row < h; ++row) {
        const std::int32_t from_edge = std::min(row, h - 1 - row);
        std::int32_t inset = 0;
        if (from_edge < r) {
            const double d = r - from_edge - 0.5;
            inset = static_cast<std::int32_t>(std::lround(r - std::sqrt(double(r) * r - d * d)));
        }
        const auto t = static_cast<std::uint32_t>(h > 1 ? row * 256 / (h - 1) : 0);
        LSR_DrawHLine(x + inset, x + w - 1 - inset, y + row, mix(top, bottom, t), pic.canvas());
    }
}

// A disc with a smoothed rim: each edge pixel blended by its 4 by 4 sample coverage.
void soft_disc(Picture& pic, double cx, double cy, double r, std::uint32_t colour) {
    const auto x0 = static_cast<std::int32_t>(std::floor(cx - r)),
               x1 = static_cast<std::int32_t>(std::ceil(cx + r));
    const auto y0 = static_cast<std::int32_t>(std::floor(cy - r)),
               y1 = static_cast<std::int32_t>(std::ceil(cy + r));
    for (std::int32_t y = y0; y <= y1; ++y)
        for (std::int32_t x = x0; x <= x1; ++x) {
            std::uint32_t inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = x + (sx + 0.5) / 4 - 0.5 - cx;
                    const double dy = y + (sy + 0.5) / 4 - 0.5 - cy;
                    if (dx * dx + dy * dy <= r * r) ++inside;
                }
            if (inside == 0) continue;
            const std::uint32_t old = LSR_GetPixel(x, y, pic.bitmap());
            LSR_DrawPixel(x, y, mix(old, colour, inside * 16), pic.canvas());
        }
}

std::int32_t text_width(std::string_view text, std::int32_t scale) {
    std::int32_t w = 0;
    for (char c : text) w += (glyph_width(glyph_of(c)) + 1) * scale;
    return text.empty() ? 0 : w - scale;
}

// Letters of the built-in shapes, each ink cell a scale by scale box; top left at (x, y).
void draw_text(Picture& pic, std::int32_t x, std::int32_t y, std::int32_t scale,
               std::string_view text, std::uint32_t colour) {
    for (char c : text) {
        const GlyphRows& g = glyph_of(c);
        for (std::int32_t row = 0; row < k_glyph_rows; ++row)
            for (std::int32_t col = 0; col < glyph_width(g); ++col)
                if (g[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#')
                    LSR_DrawFilledBox(x + col * scale, y + row * scale, scale, scale, colour,
                                      pic.canvas());
        x += (glyph_width(g) + 1) * scale;
    }
}

void draw_centred_text(Picture& pic, std::int32_t cx, std::int32_t y, std::int32_t scale,
                       std::string_view text, std::uint32_t colour) {
    draw_text(pic, cx - text_width(text, scale) / 2, y, scale, text, colour);
}

constexpr std::uint32_t k_silk = rgb(232, 232, 220);
constexpr std::uint32_t k_trace = rgb(30, 118, 66);

// A tactile switch seen from above: a metal square, four legs, a round black cap.
void draw_button(Picture& pic, std::int32_t cx, std::int32_t cy) {
    const LSR_Bitmap& bm = pic.canvas();
    for (std::int32_t sx : {-1, 1})
        for (std::int32_t sy : {-1, 1})
            LSR_DrawFilledBox(cx + sx * 15 - 2, cy + sy * 9 - 2, 4, 4, rgb(200, 200, 196), bm);
    LSR_DrawFilledBox(cx - 13, cy - 13, 27, 27, rgb(20, 40, 28), bm);
    LSR_DrawFilledBox(cx - 12, cy - 12, 25, 25, rgb(168, 168, 172), bm);
    LSR_DrawBox(cx - 12, cy - 12, 25, 25, rgb(110, 110, 116), bm);
    LSR_DrawHLine(cx - 11, cx + 11, cy - 11, rgb(214, 214, 218), bm);
    soft_disc(pic, cx + 1, cy + 1, 9.5, rgb(70, 70, 74));
    soft_disc(pic, cx, cy, 9, rgb(28, 28, 32));
    soft_disc(pic, cx - 2.5, cy - 2.5, 4, rgb(58, 58, 64));
}

// A line along x then along y, as copper runs on the board.
void trace(Picture& pic, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    for (std::int32_t d = 0; d < 2; ++d) {
        LSR_DrawLine(x1, y1 + d, x2, y1 + d, k_trace, pic.canvas());
        LSR_DrawLine(x2 + d, y1, x2 + d, y2, k_trace, pic.canvas());
    }
}

// A chip in its package with silver legs on both long sides.
void draw_chip(Picture& pic, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const LSR_Bitmap& bm = pic.canvas();
    for (std::int32_t px = x + 6; px + 4 <= x + w - 4; px += 10) {
        LSR_DrawFilledBox(px, y - 5, 4, 6, rgb(190, 190, 186), bm);
        LSR_DrawFilledBox(px, y + h - 1, 4, 6, rgb(190, 190, 186), bm);
    }
    LSR_DrawFilledBox(x, y, w, h, rgb(30, 30, 32), bm);
    LSR_DrawHLine(x, x + w - 1, y, rgb(62, 62, 66), bm);
    soft_disc(pic, x + 1, y + h / 2.0, 5, rgb(14, 14, 16));
    soft_disc(pic, x + 12, y + h - 9, 2.5, rgb(48, 48, 52));
}

// A surface-mounted part: a dark body between two tinned ends, lying along x or along y.
void draw_smd(Picture& pic, std::int32_t cx, std::int32_t cy, bool along_x) {
    const std::int32_t w = along_x ? 14 : 7, h = along_x ? 7 : 14;
    const LSR_Bitmap& bm = pic.canvas();
    LSR_DrawFilledBox(cx - w / 2, cy - h / 2, w, h, rgb(196, 196, 190), bm);
    if (along_x)
        LSR_DrawFilledBox(cx - w / 2 + 3, cy - h / 2, w - 6, h, rgb(34, 30, 28), bm);
    else
        LSR_DrawFilledBox(cx - w / 2, cy - h / 2 + 3, w, h - 6, rgb(34, 30, 28), bm);
}

// A row of plated through-holes for a connector; the first pad is square.
void draw_header(Picture& pic, std::int32_t x, std::int32_t y, std::int32_t pins) {
    for (std::int32_t i = 0; i < pins; ++i) {
        const std::int32_t px = x + 14 * i;
        if (i == 0)
            LSR_DrawFilledBox(px - 5, y - 5, 11, 11, rgb(206, 178, 96), pic.canvas());
        else
            soft_disc(pic, px, y, 5.5, rgb(206, 178, 96));
        soft_disc(pic, px, y, 2.5, rgb(26, 25, 24));
    }
}

} // namespace

Picture::Picture(std::int32_t width, std::int32_t height) {
    const Depth32 depth;
    bm_.create(width, height);
    LSR_ClearBitmap(bm_.get());
}

std::uint32_t Picture::rgb(std::int32_t x, std::int32_t y) const {
    const LSR_Bitmap& bm = bm_.get();
    if (bm.data == nullptr || x < 0 || y < 0 || x >= bm.width || y >= bm.height) return 0;
    const auto* px = static_cast<const std::uint32_t*>(bm.data);
    return px[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) +
              static_cast<std::size_t>(x)] &
           0xFFFFFF;
}

Picture paint_device() {
    Picture pic(640, 480);
    const Depth32 depth;
    const LSR_Bitmap& bm = pic.canvas();

    // The table the board lies on, then its shadow, its bevelled edge and the solder mask.
    for (std::int32_t y = 0; y < 480; ++y)
        LSR_DrawHLine(0, 639, y, mix(rgb(52, 50, 48), rgb(22, 21, 20), y * 256 / 479), bm);
    fill_round_rect(pic, 18, 20, 614, 454, 36, rgb(12, 12, 12), rgb(8, 8, 8));
    fill_round_rect(pic, 12, 12, 614, 454, 36, rgb(70, 150, 96), rgb(6, 40, 20));
    fill_round_rect(pic, 15, 15, 608, 448, 33, rgb(20, 104, 56), rgb(10, 70, 36));

    // Copper runs from the buttons and the chip towards the display.
    trace(pic, 113, 200, 180, 150);
    trace(pic, 113, 300, 180, 340);
    trace(pic, 37, 250, 26, 380);
    trace(pic, 163, 244, 182, 210);
    trace(pic, 492, 265, 447, 330);
    trace(pic, 562, 225, 472, 170);
    trace(pic, 300, 392, 300, 376);
    trace(pic, 330, 392, 330, 376);
    trace(pic, 400, 420, 510, 420);

    // Mounting holes: a tinned ring around a drilled hole.
    for (const auto& [hx, hy] : {std::pair{44, 44}, {596, 44}, {44, 434}, {596, 434}}) {
        soft_disc(pic, hx, hy, 12, rgb(206, 178, 96));
        soft_disc(pic, hx, hy, 7, rgb(26, 25, 24));
    }

    // The name on the silkscreen, with a rule under it.
    draw_centred_text(pic, 316, 40, 4, "MeggyJr", rgb(6, 50, 26));
    draw_centred_text(pic, 314, 38, 4, "MeggyJr", k_silk);
    LSR_DrawFilledBox(224, 73, 182, 2, k_silk, bm);
    draw_centred_text(pic, 314, 80, 2, "RGB", k_silk);

    // Auxiliary LEDs: small amber domes, dark when unlit.
    for (std::int32_t k = 0; k < 8; ++k) {
        const std::int32_t x = MeggyJr_AuxLedX(k), y = MeggyJr_AuxLedY;
        LSR_DrawFilledCircle(x, y, k_aux_socket_radius, rgb(16, 14, 12), bm);
        LSR_DrawFilledCircle(x, y, MeggyJr_AuxLedRadius, rgb(104, 66, 20), bm);
        soft_disc(pic, x - 2, y - 2, 2, rgb(176, 130, 70));
    }

    // The LED matrix module and its 64 recesses.
    LSR_DrawFilledBox(188, 124, 254, 250, rgb(30, 30, 33), bm);
    LSR_DrawBox(188, 124, 254, 250, rgb(70, 70, 76), bm);
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 8; ++x) {
            const std::int32_t cx = MeggyJr_LedX(x), cy = MeggyJr_LedY(y);
            const std::uint32_t dark = MeggyJr_Brightness(0);
            LSR_DrawFilledCircle(cx, cy, k_matrix_socket_radius, rgb(6, 6, 7), bm);
            LSR_DrawFilledCircle(cx, cy, MeggyJr_LedRadius, rgb(dark, dark, dark), bm);
        }

    // The direction pad on the left, B and A on the right, each with its name.
    for (const ButtonPlace& b : k_buttons) {
        draw_button(pic, b.x, b.y);
        draw_centred_text(pic, b.x, b.label_y, 2, b.name, k_silk);
    }

    // Current-limiting parts beside the display, connectors and the power switch at the top.
    for (std::int32_t y = 0; y < 8; ++y) draw_smd(pic, 460, MeggyJr_LedY(y), true);
    for (std::int32_t x = 0; x < 8; ++x) draw_smd(pic, MeggyJr_LedX(x), 383, false);
    draw_header(pic, 478, 96, 6);
    draw_text(pic, 478, 78, 1, "ISP", k_silk);
    LSR_DrawFilledBox(80, 86, 44, 20, rgb(176, 176, 180), pic.canvas());
    LSR_DrawBox(80, 86, 44, 20, rgb(110, 110, 116), pic.canvas());
    LSR_DrawFilledBox(84, 90, 16, 12, rgb(30, 30, 32), pic.canvas());
    draw_text(pic, 80, 112, 1, "Power", k_silk);

    // The processor, the speaker and the power socket along the bottom edge.
    draw_chip(pic, 236, 404, 164, 38);
    soft_disc(pic, 540, 412, 24, rgb(18, 18, 20));
    soft_disc(pic, 540, 412, 19, rgb(46, 46, 50));
    soft_disc(pic, 540, 412, 4, rgb(10, 10, 10));
    LSR_DrawFilledBox(86, 392, 44, 40, rgb(36, 36, 40), bm);
    soft_disc(pic, 108, 412, 9, rgb(12, 12, 12));
    soft_disc(pic, 108, 412, 3, rgb(190, 190, 186));
    draw_text(pic, 140, 420, 1, "9V", k_silk);
    return pic;
}

Picture paint_led_chart() {
    Picture pic(640, 481);
    const Depth32 depth;
    // Each row one colour, each column one intensity, as the device paints them.
    constexpr std::array<std::uint32_t, 5> k_channels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,
                                                         MeggyJr_AuxLedColour};
    for (std::size_t row = 0; row < k_channels.size(); ++row)
        for (std::uint8_t level = 0; level < 16; ++level) {
            const std::uint32_t v = MeggyJr_Brightness(level);
            std::uint32_t colour = 0xFF000000u;
            for (std::uint32_t shift = 0; shift < 24; shift += 8)
                colour |= ((k_channels[row] >> shift & 0xFF) * v / 255) << shift;
            LSR_DrawFilledCircle(20 + 40 * static_cast<std::int32_t>(level),
                                 48 + 96 * static_cast<std::int32_t>(row), 14, colour,
                                 pic.canvas());
        }
    return pic;
}

namespace {

// A font image: the key everywhere, then per glyph a marker in row 0 and the glyph's letter
// scaled below it. With a fixed width the glyphs stop where the next would not fit and the last
// one takes what is left.
Picture paint_font(std::int32_t fixed_width, std::int32_t height, std::int32_t scale,
                   std::int32_t top, bool heat) {
    std::int32_t width = fixed_width;
    if (width == 0)
        for (const GlyphRows& g : k_glyphs) width += (glyph_width(g) + 1) * scale;
    Picture pic(width, height);
    const Depth32 depth;
    const LSR_Bitmap& bm = pic.canvas();
    LSR_ClearColorBitmap(bm, 0xFF000000u | k_key);
    const std::int32_t ink_rows = k_glyph_rows * scale;
    std::int32_t pen = 0;
    for (const GlyphRows& g : k_glyphs) {
        const std::int32_t advance = (glyph_width(g) + 1) * scale;
        if (pen + advance > width) break;
        LSR_DrawPixel(pen, 0, rgb(0, 0, 0), bm);
        for (std::int32_t row = 0; row < k_glyph_rows; ++row)
            for (std::int32_t col = 0; col < glyph_width(g); ++col) {
                if (g[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] != '#')
                    continue;
                const std::int32_t x = pen + col * scale, y = top + row * scale;
                if (!heat) {
                    LSR_DrawFilledBox(x, y, scale, scale, rgb(255, 255, 255), bm);
                    continue;
                }
                // Yellow at the top of the letters to red at their foot, over a dark shadow.
                LSR_DrawFilledBox(x + 1, y + 1, scale, scale, rgb(96, 0, 0), bm);
                for (std::int32_t sy = 0; sy < scale; ++sy) {
                    const std::int32_t t = (row * scale + sy) * 255 / (ink_rows - 1);
                    LSR_DrawHLine(x, x + scale - 1, y + sy,
                                  rgb(255, static_cast<std::uint32_t>(255 - t), 0), bm);
                }
            }
        pen += advance;
    }
    return pic;
}

} // namespace

Picture paint_heat_font() {
    return paint_font(618, 20, 2, 3, true);
}

Picture paint_small_font() {
    return paint_font(0, 1 + k_glyph_rows, 1, 1, false);
}

Picture half_size(const Picture& src) {
    Picture out(src.width() / 2, src.height() / 2);
    const Depth32 depth;
    for (std::int32_t y = 0; y < out.height(); ++y)
        for (std::int32_t x = 0; x < out.width(); ++x) {
            std::uint32_t colour = 0xFF000000u;
            for (std::uint32_t shift = 0; shift < 24; shift += 8) {
                std::uint32_t sum = 0;
                for (std::int32_t d = 0; d < 4; ++d)
                    sum += src.rgb(2 * x + (d & 1), 2 * y + (d >> 1)) >> shift & 0xFF;
                colour |= (sum + 2) / 4 << shift;
            }
            LSR_DrawPixel(x, y, colour, out.canvas());
        }
    return out;
}

} // namespace mkassets
