// Transforms: a picture scaled (nearest and bilinear), zoomed, rotated about its centre and about
// a corner, and a stereo pair composed in seven ways. Space: the next stereo mode; up and down:
// the rotation's zoom. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <cstddef>
#include <cstdint>

namespace {

LSR_Bitmap g_picture, g_left, g_right, g_stereo;
LSR_Font g_font;
std::int32_t g_stereo_mode = 0, g_zoom = 128;

std::int32_t sine(std::int32_t degrees) {
    return -bitmaprotate_sincos[static_cast<std::size_t>((degrees % 360 + 360) % 360)];
}

// One view of a row of posts: the nearer a post, the more the two eyes' views differ.
void draw_view(LSR_Bitmap view, std::int32_t eye, std::int32_t frame) {
    LSR_ClearColorBitmap(view, 0xFFE0E0E0);
    for (std::int32_t depth = 4; depth >= 1; --depth) {
        const std::int32_t x = 40 + depth * 30 + sine(frame * 2 + depth * 40) * 20 / 32767;
        LSR_DrawFilledBox(x + eye * 12 / depth, 20 + depth * 10, 60 / depth + 10, 100 - depth * 10,
                          0xFF202020 + static_cast<std::uint32_t>(depth) * 0x300000, view);
    }
}

} // namespace

void transforms_start() {
    // A 96 by 96 picture: a checker, a ring and a corner mark, so that turns and mirrors show.
    LSR_CreateBitmap(96, 96, &g_picture);
    for (std::int32_t y = 0; y < 96; y += 12)
        for (std::int32_t x = 0; x < 96; x += 12)
            LSR_DrawFilledBox(x, y, 12, 12, (x + y) / 12 % 2 ? 0xFF3050C0 : 0xFFF0F0F0, g_picture);
    LSR_DrawCircle(48, 48, 30, 0xFFFF4040, g_picture);
    LSR_DrawCircle(48, 48, 31, 0xFFFF4040, g_picture);
    LSR_DrawFilledBox(0, 0, 24, 24, 0xFFFFC000, g_picture);
    for (LSR_Bitmap* b : {&g_left, &g_right, &g_stereo}) LSR_CreateBitmap(240, 150, b);
    LSR_InitDefaultFont(0xFFFFFFFF, &g_font);
    LSR_SetFontSpacing(4, &g_font);
}

// One frame of the scene; lodestar-demo draws it too.
void transforms_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys,
                      std::uint32_t pressed) {
    if (pressed & LSR_KEY_SPACE) g_stereo_mode = (g_stereo_mode + 1) % 7;
    if ((keys & LSR_KEY_UP) && g_zoom < 256) g_zoom += 4;
    if ((keys & LSR_KEY_DOWN) && g_zoom > 32) g_zoom -= 4;
    LSR_ClearColorBitmap(page, 0xFF182018);

    // Scaled to a breathing size: nearest pixel on the left, bilinear on the right.
    const std::int32_t size = 96 + (sine(frame * 3) + 32767) * 40 / 65534;
    LSR_DrawScaledBitmap(20, 30, size, size, g_picture, page, 0);
    LSR_DrawScaledBitmap(170, 30, size, size, g_picture, page, 1);
    LSR_DrawText(20, 8, g_font, page, "scaled: nearest, bilinear");

    // Zoomed by a percentage.
    const std::int32_t percent = 60 + (sine(frame * 2) + 32767) * 90 / 65534;
    LSR_DrawZoomedBitmap(350, 30, percent, g_picture, page);
    LSR_DrawText(350, 8, g_font, page, "zoomed %d%%", percent);

    // Rotated about its centre with a zoom (128: its own size), and at half size about its
    // top-left corner, which stays where the centre of the unturned picture would be.
    LSR_DrawRotatedBitmapZoom(50, 310, g_picture, page, frame * 3, g_zoom);
    LSR_DrawRotatedBitmapXY(200, 310, g_picture, page, -frame * 2, 64, 0, 0);
    LSR_DrawFilledCircle(200 + 48, 310 + 48, 3, 0xFFFF00FF, page);
    LSR_DrawText(20, 250, g_font, page, "rotated: centre (zoom %d), corner", g_zoom);

    // Two views of one scene composed into a stereo picture.
    draw_view(g_left, -1, frame);
    draw_view(g_right, 1, frame);
    LSR_DrawBitmap3D(g_left, g_right, g_stereo, g_stereo_mode);
    LSR_DrawBitmap(380, 300, g_stereo, page);
    LSR_DrawText(380, 250, g_font, page, "stereo mode %d (space)", g_stereo_mode);
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: transforms");
    LSR_InitVideo(640, 480, 32, 0);
    transforms_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        transforms_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
