// A program of another project: a few frames on the installed library, then back from tarnmain,
// which closes the library down and ends the program.
#include <lodestar/lodestar.h>

#include <cstdint>
#include <cstdio>

int tarnmain() {
    static_assert(LSR_GetVersion() ==
                  (LSR_VERSION_MAJOR << 16 | LSR_VERSION_MINOR << 8 | LSR_VERSION_PATCH));
    LSR_SetTitle("consumer");
    LSR_InitVideo(320, 240, 32, 0);
    std::int32_t frames = 0;
    for (; frames < 5; ++frames) {
        LSR_WaitRefresh();
        LSR_ClearColorBitmap(LSR_screenbitmap, 0xFF000040);
        LSR_DrawFilledCircle(160, 120, 20 + frames, 0xFFFFA000, LSR_screenbitmap);
        LSR_SwapBuffers();
    }
    std::printf("lodestar %s: %d frames, centre %06x\n", LSR_VERSION_STRING, frames,
                LSR_GetPixel(160, 120, LSR_screenbitmap) & 0xFFFFFFu);
    return 0;
}
