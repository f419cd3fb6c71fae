// Primitives: a fan of lines, Bezier curves, boxes, circles and pixels blended onto the page,
// all drawn afresh every frame. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <cstddef>
#include <cstdint>

namespace {

// Sine and cosine of whole degrees, scaled to +-32767, from the library's rotation table.
std::int32_t sine(std::int32_t degrees) {
    return -bitmaprotate_sincos[static_cast<std::size_t>((degrees % 360 + 360) % 360)];
}
std::int32_t cosine(std::int32_t degrees) {
    return sine(degrees + 90);
}

} // namespace

// One frame of the scene; lodestar-demo draws it too.
void primitives_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t, std::uint32_t) {
    LSR_ClearColorBitmap(page, 0xFF101828);
    LSR_DrawHLine(0, 639, 240, 0xFF34405A, page);
    LSR_DrawVLine(320, 0, 479, 0xFF34405A, page);

    // Lines: a fan turning about a point.
    for (std::int32_t i = 0; i < 24; ++i) {
        const std::int32_t a = frame * 2 + i * 15;
        const auto red = static_cast<std::uint32_t>(i * 10);
        LSR_DrawLine(160, 120, 160 + cosine(a) * 100 / 32767, 120 + sine(a) * 100 / 32767,
                     0xFF0060FF | red << 16, page);
    }

    // Bezier curves: the ends fixed, the two middle control points swinging.
    for (std::int32_t i = 0; i < 6; ++i) {
        const std::int32_t swing = sine(frame * 3 + i * 20) * 90 / 32767;
        LSR_DrawBezier(340, 40 + i * 30, 420, 120 + swing, 540, 120 - swing, 620, 40 + i * 30, 32,
                       0xFFFFC040 - static_cast<std::uint32_t>(i) * 0x2800, page);
    }

    // Boxes: outlines nested inside each other, and a row of filled ones rising and falling.
    for (std::int32_t i = 0; i < 6; ++i)
        LSR_DrawBox(20 + i * 12, 260 + i * 12, 140 - i * 24, 200 - i * 24, 0xFF40C0FF, page);
    for (std::int32_t i = 0; i < 5; ++i) {
        const std::int32_t h = 40 + (sine(frame * 4 + i * 45) + 32767) * 70 / 65534;
        LSR_DrawFilledBox(180 + i * 26, 460 - h, 20, h,
                          0xFF30A060 + static_cast<std::uint32_t>(i) * 0x101000, page);
    }

    // Circles: rings growing outwards, and a filled circle orbiting them.
    for (std::int32_t i = 0; i < 6; ++i)
        LSR_DrawCircle(480, 360, (frame + i * 16) % 96 + 4, 0xFFE0E0F0, page);
    LSR_DrawFilledCircle(480 + cosine(frame * 4) * 100 / 32767, 360 + sine(frame * 4) * 100 / 32767,
                         16, 0xFFFF4060, page);

    // Pixels: a scatter of stars added onto whatever lies under them.
    std::uint32_t seed = 12345;
    for (std::int32_t i = 0; i < 400; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const auto x = static_cast<std::int32_t>(seed >> 8 & 511) + 64;
        const auto y = static_cast<std::int32_t>((seed >> 20) * 480 / 4096);
        const std::uint32_t glow = (seed + static_cast<std::uint32_t>(frame) * 8) & 0xFF;
        LSR_DrawBlendPixel(x, y, 0xFF000000 | glow << 16 | glow << 8 | glow, page, 2);
    }
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: primitives");
    LSR_InitVideo(640, 480, 32, 0);
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        primitives_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
