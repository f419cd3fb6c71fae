// The raw key and mouse words the window procedure writes and the input layer reads, and the
// window-level key poll.
#include "lodestar/input/internal/raw_input.h"

std::atomic<std::uint32_t> LSR_keys[256];
std::atomic<std::uint32_t> g_keycode{0};
std::atomic<std::uint32_t> g_mouse_buttons{0};
std::atomic<std::int32_t> g_mouse_z{0};
std::atomic<std::int32_t> g_mouse_zdir{0};
std::atomic<std::int32_t> g_mouse_x{160};
std::atomic<std::int32_t> g_mouse_y{0};
std::atomic<std::int32_t> g_mouse_xofs{0};
std::atomic<std::int32_t> g_mouse_yofs{0};

void win32_initinput() {}
void win32_closeinput() {}

void win32_checkkeys() {
    for (auto& key : LSR_keys) key.store(0, std::memory_order_relaxed);
}
