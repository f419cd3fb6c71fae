// Library start-up and close-down, the window title, and the worker thread's entry.
#include "lodestar/frame/init.h"

#include <string>

#include "lodestar/base/pixel_format.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/platform.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/video/internal/driver.h"
#include "lodestar/video/video.h"

std::int32_t LSR_Initialise() {
    // Bitmaps made before the video opens are 32-bit.
    LSR_video.flags = 0;
    LSR_video.bpp = 32;
    LSR_input_prevkey = 0;
    LSR_input_mousebuttons = 0;
    LSR_ll_input_get_mouse_area(&LSR_input_mousewidth, &LSR_input_mouseheight);
    LSR_timer_starttick = LSR_ll_timer_get_ticks();
    return 1;
}

std::int32_t LSR_CloseDown() {
    LSR_audio_stop();
    return LSR_CloseVideo();
}

std::int32_t LSR_ll_settitle(const char* text) {
    return plat_set_title(winhandle.load(std::memory_order_relaxed), text) ? 1 : 0;
}

std::int32_t LSR_SetTitle(const char* text) {
    return LSR_ll_settitle(text);
}

const char* LSR_GetExecutablePath() {
    static const std::string path = plat_executable_path();
    return path.c_str();
}

std::uint32_t win32_main(void*) {
    LSR_Initialise();
    tarnmain();
    LSR_CloseDown();
    exitflag.store(1, std::memory_order_relaxed);
    plat_post_quit();
    return 1;
}
