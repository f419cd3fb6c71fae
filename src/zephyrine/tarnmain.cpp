// The program's main routine: start-up in its fixed order, then the frame loop, for ever.
#include "lodestar/lodestar.h"
#include "meggyjr/simple.h"
#include "zephyrine/game.h"

int tarnmain() {
    LSR_SetTitle("MeggyJr interperter - Zephyrine (2010) , by: Quillmark");
    // The pictures travel at the end of the program's own file, wherever it lies and whatever
    // it is called; the original name is only a fallback when the system cannot tell the path.
    const char* self = LSR_GetExecutablePath();
    tarnfile_mountimage(self[0] != '\0' ? self : "Quillmark - Zephyrine (2010).exe",
                        TARNFILE_EXECUTABLE);
    LSR_InitVideo(640, 480, 32, 0);
    _dbg_printf("- Init Soundsystem\n");
    Soundsystem_Init(44100, 8192, 16, 2);
    Soundsystem_SetMasterVolume(256);
    _dbg_printf("- Loading sounds\n");

    LSR_Bitmap background{};
    LSR_Bitmap leds{}; // carried, never drawn
    LSR_LoadBitmap("meggyjr.tga", &background);
    LSR_LoadBitmap("leds.tga", &leds);
    LSR_Font font; // carried, never used
    LSR_InitFont("font_heat.tga", &font);

    LSR_DrawBitmap(0, 0, background, LSR_screenbitmap);
    LSR_SwapBuffers();
    setup();

    float accumulated = 0.0f;
    const std::uint32_t exit_loop = 0; // nothing sets it: the loop ends only with the process
    while (exit_loop == 0) {
        const float r = LSR_WaitRefresh();
        LSR_DrawBitmap(0, 0, background, LSR_screenbitmap);
        Meg.update_meggyjr();
        loop();
        LSR_SwapBuffers();
        accumulated += r;
    }
    return 0;
}
