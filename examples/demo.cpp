// lodestar-demo: the examples' scenes one after another, left and right walking through them,
// with the frame rate and the library's memory use in a corner. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <cstdint>

// The scenes, from the examples' own files.
void primitives_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys,
                      std::uint32_t pressed);
void effects_start();
void effects_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t pressed);
void transforms_start();
void transforms_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys,
                      std::uint32_t pressed);
void sprites_start();
void sprites_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t pressed);
void triangles_start();
void triangles_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys,
                     std::uint32_t pressed);
void sound_start();
void sound_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t pressed);
void images_start();
void images_frame(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t pressed);

namespace {

struct Scene {
    const char* name;
    void (*start)();
    void (*frame)(LSR_Bitmap page, std::int32_t frame, std::uint32_t keys, std::uint32_t pressed);
};

constexpr Scene k_scenes[] = {{"primitives", nullptr, primitives_frame},
                              {"effects", effects_start, effects_frame},
                              {"transforms", transforms_start, transforms_frame},
                              {"sprites and fonts", sprites_start, sprites_frame},
                              {"triangles", triangles_start, triangles_frame},
                              {"sound", sound_start, sound_frame},
                              {"images", images_start, images_frame}};
constexpr std::int32_t k_count = sizeof k_scenes / sizeof k_scenes[0];

} // namespace

int tarnmain() {
    LSR_SetTitle("Lodestar Runtime demo");
    LSR_InitVideo(640, 480, 32, 0);
    // Every scene loads what it needs now, each from its own source of files.
    for (const Scene& scene : k_scenes)
        if (scene.start != nullptr) scene.start();
    LSR_Font font;
    LSR_InitDefaultFont(0xFFFFFF60, &font);
    LSR_SetFontSpacing(4, &font);

    std::int32_t current = 0;
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        if (pressed & LSR_KEY_RIGHT) current = (current + 1) % k_count;
        if (pressed & LSR_KEY_LEFT) current = (current + k_count - 1) % k_count;
        // Left and right belong to the walk; the scene gets the other keys.
        constexpr std::uint32_t walk = LSR_KEY_LEFT | LSR_KEY_RIGHT;
        k_scenes[current].frame(LSR_screenbitmap, frame, keys & ~walk, pressed & ~walk);

        LSR_DrawFilledBox(376, 440, 264, 40, 0xFF000000, LSR_screenbitmap);
        LSR_DrawText(384, 446, font, LSR_screenbitmap, "< %d/%d %s >", current + 1, k_count,
                     k_scenes[current].name);
        LSR_DrawText(384, 462, font, LSR_screenbitmap, "%u fps %u KiB (peak %u)", LSR_GetFPS(),
                     g_mem_in_use.load() / 1024, g_mem_in_use_peak.load() / 1024);
        LSR_SwapBuffers();
    }
}
