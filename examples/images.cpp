// Images: a TGA, a BMP, a PCX and an SCX picture loaded from the archive appended to this
// program's own file, shown at twice their size with their names. Runs until its window is
// closed.
#include <lodestar/lodestar.h>

#include <cstdint>

namespace {

constexpr const char* k_names[4] = {"landscape.tga", "rings.bmp", "tiles.pcx", "plasma.scx"};
LSR_Bitmap g_pictures[4];
LSR_Font g_font;

} // namespace

void images_start() {
    // The build appends the archive to the program; mounted, its files open by name.
    tarnfile_mountimage(LSR_GetExecutablePath(), TARNFILE_EXECUTABLE);
    for (int i = 0; i < 4; ++i) LSR_LoadBitmap(k_names[i], &g_pictures[i]); // reader by extension
    LSR_InitDefaultFont(0xFFFFFFFF, &g_font);
    LSR_SetFontSpacing(4, &g_font);
}

// One frame of the scene; lodestar-demo draws it too.
void images_frame(LSR_Bitmap page, std::int32_t, std::uint32_t, std::uint32_t) {
    for (int i = 0; i < 4; ++i) {
        const std::int32_t x = i % 2 * 320, y = i / 2 * 240;
        const LSR_Bitmap& picture = g_pictures[i];
        LSR_DrawScaledBitmap(x, y, picture.width * 2, picture.height * 2, picture, page, 0);
        LSR_DrawFilledBox(x + 8, y + 8, 184, 20, 0xFF000000, page);
        LSR_DrawText(x + 14, y + 14, g_font, page, "%s %dx%d", k_names[i], picture.width,
                     picture.height);
    }
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: images");
    LSR_InitVideo(640, 480, 32, 0);
    images_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        images_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
