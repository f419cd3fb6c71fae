// The raw key and mouse words beneath the key word, and the window-level polls of keys and the
// joystick.
#pragma once

#include <atomic>
#include <cstdint>

// Raw input state; the window procedure is the only writer (the input layer clears the wheel
// direction and the previous key code).
extern std::atomic<std::uint32_t> LSR_keys[256];
extern std::atomic<std::uint32_t> g_keycode;
extern std::atomic<std::uint32_t> g_mouse_buttons;
extern std::atomic<std::int32_t> g_mouse_z;
extern std::atomic<std::int32_t> g_mouse_zdir;
extern std::atomic<std::int32_t> g_mouse_x;
extern std::atomic<std::int32_t> g_mouse_y;
extern std::atomic<std::int32_t> g_mouse_xofs;
extern std::atomic<std::int32_t> g_mouse_yofs;

// Nothing to set up or take down on this platform.
void win32_initinput();
void win32_closeinput();
// Clears every entry of the key table.
void win32_checkkeys();
// 1 when the first joystick answers, else 0.
std::int32_t win32_initjoystick();
// The first joystick's axes (-128 .. 128 about the centre) and buttons; all 0 without one. It
// reads the first joystick whatever index asks.
void win32_checkjoystick(std::int32_t index, std::int32_t* x, std::int32_t* y, std::int32_t* z,
                         std::int32_t* r, std::int32_t* buttons);
