// The window thread: window up, worker started, messages pumped, window down at the quit message.
#include <cstdio>

#include "lodestar/base/debug.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

int WinMain(void* instance, void*, char*, int) {
    instancehandle = instance;
    win32_initinput();

    wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = WIN32_WndProc;
    wc.hInstance = instance;
    wc.lpszMenuName = LSR_ID;
    wc.lpszClassName = LSR_ID;
    if (!plat_register_class(wc)) _dbg_printf("Could not register Window class.");

    const LSR_WindowBox outer = LSR_OuterBox(200, 200, 320, 240);
    const LSR_HWND window = plat_create_window(LSR_ID, "Lodestar Runtime", LSR_WINDOW_STYLE,
                                               outer.x, outer.y, outer.width, outer.height);
    if (window == nullptr) {
        // Nobody could close a program without a window: it ends here, and says why.
        std::fprintf(stderr, "no window: %s\n", plat_window_error().c_str());
        return 1;
    }
    winhandle.store(window, std::memory_order_relaxed);

    plat_set_cursor_visible(false);
    plat_show_window(window);

    g_mouse_x.store(160, std::memory_order_relaxed);
    g_mouse_xofs.store(0, std::memory_order_relaxed);
    g_mouse_yofs.store(0, std::memory_order_relaxed);
    g_mouse_buttons.store(0, std::memory_order_relaxed);

    plat_start_worker(win32_main);

    LSR_MSG message;
    while (plat_get_message(&message)) {
        WIN32_WndProc(message.hwnd, message.message, message.wparam, message.lparam);
        plat_sleep(1);
    }

    plat_terminate_worker();
    _dbg_printf("closing windows\n");
    win32_closeinput();
    plat_restore_display_mode();

    if (!plat_destroy_window(window)) {
        _dbg_printf("failed to destroy window\n");
        return 0;
    }
    if (!plat_unregister_class(LSR_ID)) {
        _dbg_printf("failed to unregister class: %s\n", LSR_ID);
        return 0;
    }
    winhandle.store(nullptr, std::memory_order_relaxed);
    wc = {};
    return 0;
}
