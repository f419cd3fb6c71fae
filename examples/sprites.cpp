// Sprites and fonts: a sprite cut from a picture with the magenta key, moved with the cursor
// keys, drawn mirrored and rotated, and text in a font image from the archive carried at the end
// of this program and in the built-in font, centred. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <cstdint>

namespace {

LSR_Sprite g_ship;
LSR_Font g_heat, g_small;
std::int32_t g_x = 120, g_y = 200;

} // namespace

void sprites_start() {
    // Paint the ship on magenta, the key colour: the magenta becomes transparent in the sprite.
    LSR_Bitmap sheet;
    LSR_CreateBitmap(48, 48, &sheet);
    LSR_ClearColorBitmap(sheet, 0xFFFF00FF);
    LSR_DrawTriangle({4, 44}, {24, 2}, {44, 44}, 0xFF30A0FF, sheet);
    LSR_DrawFilledCircle(24, 30, 9, 0xFFFFE040, sheet);
    LSR_DrawFilledBox(6, 40, 10, 6, 0xFFFF4020, sheet); // one engine, so that mirroring shows
    LSR_DrawLine(30, 14, 44, 4, 0xFF60FF60, sheet);
    LSR_GetSprite(0, 0, 48, 48, sheet, &g_ship);
    LSR_DeleteBitmap(&sheet);

    // The font image travels in the archive appended to this program's own file.
    tarnfile_mountimage(LSR_GetExecutablePath(), TARNFILE_EXECUTABLE);
    LSR_InitFont("heat.tga", &g_heat);
    LSR_InitDefaultFont(0xFFC0FFC0, &g_small);
    LSR_SetFontSpacing(4, &g_small); // the built-in glyphs are 8 wide, their advance 4
}

// One frame of the scene; lodestar-demo draws it too.
void sprites_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t) {
    if (keys & LSR_KEY_LEFT) g_x -= 4;
    if (keys & LSR_KEY_RIGHT) g_x += 4;
    if (keys & LSR_KEY_UP) g_y -= 4;
    if (keys & LSR_KEY_DOWN) g_y += 4;

    for (std::int32_t y = 0; y < 480; y += 16)
        LSR_DrawFilledBox(0, y, 640, 16, y / 16 % 2 ? 0xFF203040 : 0xFF283848, page);
    LSR_DrawCenteredText(24, g_heat, page, "SPRITES AND FONTS");

    // The sprite where the keys put it, its mirror image opposite, and one turning and growing.
    LSR_DrawSprite(g_x, g_y, g_ship, page);
    LSR_DrawMirroredSprite(640 - 48 - g_x, g_y, g_ship, page);
    const std::int32_t zoom = 128 + frame % 128;
    LSR_DrawRotatedSpriteZoom(296, 300, g_ship, page, frame * 4, zoom);
    // A box that lights up where the moving sprite meets the turning one.
    const bool touching = LSR_CheckSpriteCollision(g_x, g_y, 48, 48, 296, 300, 48, 48) != 0;
    LSR_DrawBox(296, 300, 48, 48, touching ? 0xFFFF4040 : 0xFF506070, page);

    LSR_DrawCenteredText(420, g_small, page, "cursor keys move the ship: x %d, y %d", g_x, g_y);
    LSR_DrawCenteredTextXW(0, 440, 320, g_small, page, "the ship");
    LSR_DrawCenteredTextXW(320, 440, 320, g_small, page, "its mirror image");
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: sprites and fonts");
    LSR_InitVideo(640, 480, 32, 0);
    sprites_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        sprites_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
