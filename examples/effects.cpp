// Effects: fades to black and to white, a cross-fade, an alpha wipe, the eight blend modes and a
// blur, each on the same two pictures. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <cstdint>

namespace {

constexpr std::int32_t k_w = 200, k_h = 150;
LSR_Bitmap g_first, g_second, g_mask, g_cell, g_blurred;
LSR_Font g_font;

// 0 up to 252 and back down again every 128 frames.
std::uint8_t wave(std::int32_t frame) {
    const std::int32_t t = frame % 128;
    return static_cast<std::uint8_t>(t < 64 ? t * 4 : (127 - t) * 4);
}

// The cell drawn into its place on a grid of three by two, named under it.
void show(LSR_Bitmap page, std::int32_t place, const char* name) {
    const std::int32_t x = 10 + place % 3 * 210, y = 30 + place / 3 * 220;
    LSR_DrawBitmap(x, y, g_cell, page);
    LSR_DrawText(x, y + k_h + 8, g_font, page, "%s", name);
}

} // namespace

// The pictures the effects work on, and the font of the names.
void effects_start() {
    for (LSR_Bitmap* b : {&g_first, &g_second, &g_mask, &g_cell, &g_blurred})
        LSR_CreateBitmap(k_w, k_h, b);
    // Warm stripes, cool circles, and a mask that grows lighter away from the centre.
    for (std::int32_t y = 0; y < k_h; ++y)
        LSR_DrawHLine(0, k_w - 1, y, 0xFFFF8000 + static_cast<std::uint32_t>(y / 10 % 2 * 0x60),
                      g_first);
    LSR_DrawFilledBox(70, 40, 60, 70, 0xFFFFFFFF, g_first);
    LSR_ClearColorBitmap(g_second, 0xFF102060);
    for (std::int32_t i = 0; i < 5; ++i)
        LSR_DrawFilledCircle(30 + i * 35, 75, 24,
                             0xFF2080FF + static_cast<std::uint32_t>(i) * 0x3000, g_second);
    for (std::int32_t r = 130; r > 0; r -= 2) {
        const auto grey = static_cast<std::uint32_t>(r * 255 / 130);
        LSR_DrawFilledCircle(k_w / 2, k_h / 2, r, 0xFF000000 | grey * 0x010101, g_mask);
    }
    LSR_InitDefaultFont(0xFFFFFFFF, &g_font);
    LSR_SetFontSpacing(4, &g_font); // the built-in glyphs are 8 wide, their advance 4
}

// One frame of the scene; lodestar-demo draws it too.
void effects_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t, std::uint32_t) {
    static const char* const blend_names[] = {"copy",      "mix",        "add",    "multiply",
                                              "3/4 first", "3/4 second", "darken", "brighten"};
    LSR_ClearColorBitmap(page, 0xFF202428);
    const std::uint8_t level = wave(frame);

    LSR_FadeBitmap(g_first, g_cell, level, 0);
    show(page, 0, "fade to black");
    LSR_FadeBitmap(g_first, g_cell, level, 1);
    show(page, 1, "fade to white");
    LSR_CrossfadeBitmap(g_first, g_second, g_cell, level);
    show(page, 2, "cross-fade");
    // The wipe shows the first picture wherever the mask is no lighter than the level.
    LSR_CopyBitmap(g_second, g_cell);
    LSR_AlphawipeBitmap(g_first, g_mask, g_cell, level);
    show(page, 3, "alpha wipe");
    const std::int32_t mode = frame / 64 % 8;
    LSR_BlendBitmap(g_first, g_second, g_cell, static_cast<std::uint8_t>(mode));
    show(page, 4, blend_names[mode]);
    // Blurred again every frame, from the sharp picture every 64.
    if (frame % 64 == 0) LSR_CopyBitmap(g_first, g_blurred);
    LSR_DrawFilteredBitmap(0, 0, g_blurred, g_cell, 2);
    LSR_CopyBitmap(g_cell, g_blurred);
    show(page, 5, "blur");
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: effects");
    LSR_InitVideo(640, 480, 32, 0);
    effects_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        effects_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
