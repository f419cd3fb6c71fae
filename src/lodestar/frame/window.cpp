// The window procedure and the window-layer state it writes.
#include "lodestar/frame/internal/window.h"

#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

char LSR_ID[] = "LSR: ";

void* instancehandle = nullptr;
LSR_WNDCLASS wc;

std::atomic<std::uint32_t> appactive{0};

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// The high 16 bits of a 32-bit message word as a signed value (an arithmetic shift, defined).
constexpr std::int32_t high_signed(std::uintptr_t word) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((word >> 16) & 0xFFFFu));
}

void set_button(std::uint32_t bit, bool down) {
    if (down)
        g_mouse_buttons.fetch_or(bit, relaxed);
    else
        g_mouse_buttons.fetch_and(~bit, relaxed);
}

} // namespace

LRESULT DefWindowProcA(LSR_HWND, std::uint32_t, WPARAM, LPARAM) {
    return 0;
}

LRESULT WIN32_WndProc(LSR_HWND window, std::uint32_t message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY: plat_post_quit(); return 0;
    case WM_SIZE: {
        const auto size = static_cast<std::uintptr_t>(static_cast<std::uint32_t>(lparam));
        windowwidth.store(static_cast<std::int32_t>(size & 0xFFFFu), relaxed);
        windowheight.store(high_signed(size), relaxed);
        break;
    }
    case WM_CLOSE: plat_post_quit(); return 0;
    case WM_ACTIVATEAPP: appactive.store(static_cast<std::uint32_t>(wparam), relaxed); return 0;
    case WM_KEYDOWN: {
        const auto k = static_cast<std::uint32_t>(wparam & 0xFFu);
        LSR_keys[k].store(1, relaxed);
        g_keycode.store(k, relaxed);
        break;
    }
    case WM_KEYUP:
        LSR_keys[wparam & 0xFFu].store(0, relaxed);
        if (g_keycode.load(relaxed) == wparam) {
            g_keycode.store(0, relaxed);
            LSR_input_prevkeycode.store(0, relaxed);
        }
        break;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0u) == SC_SCREENSAVE || (wparam & 0xFFF0u) == SC_MONITORPOWER) return 0;
        break;
    case WM_MOUSEMOVE: {
        std::int32_t x = 0, y = 0;
        plat_get_pointer(&x, &y);
        if (y >= 0 && y < windowheight.load(relaxed) && x >= 0 && x < windowwidth.load(relaxed))
            plat_set_cursor_visible(false);
        break;
    }
    case WM_LBUTTONDOWN: set_button(1, true); break;
    case WM_LBUTTONUP: set_button(1, false); break;
    case WM_RBUTTONDOWN: set_button(2, true); break;
    case WM_RBUTTONUP: set_button(2, false); break;
    case WM_MBUTTONDOWN: set_button(4, true); break;
    case WM_MBUTTONUP: set_button(4, false); break;
    case WM_MOUSEWHEEL: {
        const std::int32_t d = high_signed(wparam);
        if (d < 0) {
            g_mouse_z.fetch_sub(1, relaxed);
            g_mouse_zdir.store(-1, relaxed);
        } else if (d > 0) {
            g_mouse_z.fetch_add(1, relaxed);
            g_mouse_zdir.store(1, relaxed);
        } else {
            g_mouse_zdir.store(0, relaxed);
        }
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
