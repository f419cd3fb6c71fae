// Triangles: a spinning cube, three faces Gouraud-shaded and three textured, beside a turning card
// drawn row by row with the perspective-correct texture span. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

LSR_Bitmap g_texture; // 256 by 256, as the texture fillers address it

struct Point {
    double x, y, z;
};

double sine(std::int32_t degrees) {
    return -bitmaprotate_sincos[static_cast<std::size_t>((degrees % 360 + 360) % 360)] / 32767.0;
}
double cosine(std::int32_t degrees) {
    return sine(degrees + 90);
}

// Turned by a degrees about the vertical axis, then by b about the horizontal one.
Point turn(Point p, std::int32_t a, std::int32_t b) {
    const double x = p.x * cosine(a) + p.z * sine(a), z = p.z * cosine(a) - p.x * sine(a);
    return {x, p.y * cosine(b) - z * sine(b), p.y * sine(b) + z * cosine(b)};
}

// The eye at the origin looks along z; 300 pixels to the unit at depth 1.
constexpr double k_focus = 300;

void draw_cube(LSR_Bitmap page, std::int32_t frame) {
    // Corner i is at x, y, z = +-1 by its bits 0, 1, 2; each face lists its corners in a ring.
    static constexpr int faces[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                                        {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    static constexpr std::int32_t ring_u[4] = {0, 255, 255, 0}, ring_v[4] = {0, 0, 255, 255};
    // The faces towards +x, +y and +z textured, the others shaded.
    static constexpr bool textured[6] = {true, false, true, false, true, false};
    LSR_Vertex corner[8];
    double depth[8];
    for (int i = 0; i < 8; ++i) {
        const Point p = turn({i & 1 ? 70.0 : -70.0, i & 2 ? 70.0 : -70.0, i & 4 ? 70.0 : -70.0},
                             frame * 2, frame);
        depth[i] = p.z + 380;
        corner[i] = {170 + static_cast<std::int32_t>(k_focus * p.x / depth[i]),
                     240 + static_cast<std::int32_t>(k_focus * p.y / depth[i])};
    }
    for (int f = 0; f < 6; ++f) {
        LSR_Vertex v[4];
        for (int k = 0; k < 4; ++k) {
            v[k] = corner[faces[f][k]];
            v[k].u = ring_u[k];
            v[k].v = ring_v[k];
            // Nearer corners brighter.
            v[k].shade = std::clamp(
                static_cast<std::int32_t>((520 - depth[faces[f][k]]) * 255 / 260), 0, 255);
        }
        // A face turned away from the eye winds the other way on the screen.
        const std::int32_t turning =
            (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[1].y - v[0].y) * (v[2].x - v[0].x);
        if (turning >= 0) continue;
        if (textured[f]) {
            LSR_DrawTriangleTextured(v[0], v[1], v[2], page);
            LSR_DrawTriangleTextured(v[0], v[2], v[3], page);
        } else {
            LSR_DrawTriangleShaded(v[0], v[1], v[2], page);
            LSR_DrawTriangleShaded(v[0], v[2], v[3], page);
        }
    }
}

// A square card 160 units wide turning about its upright centre line at depth 400. Along a screen
// row, the reciprocal of depth and the texture coordinates over depth change linearly: the span
// routine takes them so and divides per pixel.
void draw_card(LSR_Bitmap page, std::int32_t frame) {
    constexpr double half = 80, scale = 16777216; // reciprocal depths are scale / depth
    const Point edge0 = turn({-half, 0, 0}, frame * 2, 0), edge1 = turn({half, 0, 0}, frame * 2, 0);
    double x0 = 470 + k_focus * edge0.x / (400 + edge0.z), q0 = scale / (400 + edge0.z), u0 = 0;
    double x1 = 470 + k_focus * edge1.x / (400 + edge1.z), q1 = scale / (400 + edge1.z), u1 = 255;
    if (x0 > x1) { // seen from behind: the picture mirrored
        std::swap(x0, x1);
        std::swap(q0, q1);
        std::swap(u0, u1);
    }
    if (x1 - x0 < 1) return;
    const double dq = (q1 - q0) / (x1 - x0), du = (u1 * q1 - u0 * q0) / (x1 - x0);
    auto* pixels = static_cast<std::uint32_t*>(page.data);
    for (std::int32_t y = 100; y < 380; ++y) {
        // Texture row v = 128 + 128 * height / half: v * q is 128 * q plus a constant of the row.
        const double row = (y - 240) * 128 * scale / (k_focus * half);
        // The card covers the pixels whose q is at least |row| / 128 (v within 0 .. 256).
        const double need = std::abs(row) / 128;
        double from = x0, to = x1;
        if (dq > 0) from = std::max(from, x0 + (need - q0) / dq);
        if (dq < 0) to = std::min(to, x0 + (need - q0) / dq);
        if (from > to) continue; // the row passes above or below the card
        const auto xs = std::max<std::int32_t>(0, static_cast<std::int32_t>(std::ceil(from)));
        const auto xe = std::min<std::int32_t>(page.width - 1, static_cast<std::int32_t>(to));
        if (xe < xs || q0 + (xs - x0) * dq < need) continue;
        const double q = q0 + (xs - x0) * dq, u = u0 * q0 + (xs - x0) * du;
        persptextfill_c(pixels + y * page.width + xs,
                        static_cast<const std::uint32_t*>(g_texture.data), xe - xs + 1,
                        static_cast<std::int32_t>(u), static_cast<std::int32_t>(128 * q + row),
                        static_cast<std::int32_t>(q), static_cast<std::int32_t>(du),
                        static_cast<std::int32_t>(128 * dq), static_cast<std::int32_t>(dq));
    }
}

} // namespace

void triangles_start() {
    // A texture of coloured squares with a ring, for the fillers and the span alike.
    LSR_CreateBitmap(256, 256, &g_texture);
    for (std::int32_t y = 0; y < 256; y += 32)
        for (std::int32_t x = 0; x < 256; x += 32)
            LSR_DrawFilledBox(x, y, 32, 32,
                              (x + y) / 32 % 2 ? 0xFFF0E0C0
                                               : 0xFF2060A0 + static_cast<std::uint32_t>(x),
                              g_texture);
    LSR_DrawCircle(128, 128, 90, 0xFFE02020, g_texture);
    LSR_DrawFilledCircle(128, 128, 20, 0xFFE02020, g_texture);
    LSR_SetPrimitiveTexture(g_texture);
}

// One frame of the scene; lodestar-demo draws it too.
void triangles_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t, std::uint32_t) {
    for (std::int32_t y = 0; y < 480; ++y) {
        const auto t = static_cast<std::uint32_t>(y);
        LSR_DrawHLine(0, 639, y, 0xFF000000 | (t / 8) << 16 | (t / 6) << 8 | (40 + t / 4), page);
    }
    draw_cube(page, frame);
    draw_card(page, frame);
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: triangles");
    LSR_InitVideo(640, 480, 32, 0);
    triangles_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        triangles_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
