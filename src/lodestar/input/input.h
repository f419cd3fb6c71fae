// Input: the key word, key codes, mouse, wheel and the controller list.
#pragma once

#include <atomic>
#include <cstdint>

// Bits of the key word.
inline constexpr std::uint32_t LSR_KEY_UP = 0x0001;
inline constexpr std::uint32_t LSR_KEY_DOWN = 0x0002;
inline constexpr std::uint32_t LSR_KEY_LEFT = 0x0004;
inline constexpr std::uint32_t LSR_KEY_RIGHT = 0x0008;
inline constexpr std::uint32_t LSR_KEY_SPACE = 0x0010;
inline constexpr std::uint32_t LSR_KEY_CONTROL = 0x0020;
inline constexpr std::uint32_t LSR_KEY_SHIFT = 0x0040;
inline constexpr std::uint32_t LSR_KEY_ALT = 0x0080;
inline constexpr std::uint32_t LSR_KEY_X = 0x0100;
inline constexpr std::uint32_t LSR_KEY_C = 0x0400;
inline constexpr std::uint32_t LSR_KEY_RETURN = 0x1000;
inline constexpr std::uint32_t LSR_KEY_BACKSPACE = 0x2000;
inline constexpr std::uint32_t LSR_KEY_ESCAPE = 0x8000;

// Key codes of LSR_GetKeycode for keys that have no printable code.
inline constexpr std::uint32_t LSR_KEYCODE_ESCAPE = 0xF000;
inline constexpr std::uint32_t LSR_KEYCODE_F1 = 0xF030;

// Controller types; the poll skips a record of any other type.
inline constexpr std::uint32_t LSR_CONTROLLER_KEYS = 1; // the key word
inline constexpr std::uint32_t LSR_CONTROLLER_JOYPAD = 2;
inline constexpr std::uint32_t LSR_CONTROLLER_KEYCODE = 3;
inline constexpr std::uint32_t LSR_CONTROLLER_MOUSE = 4;

struct LSR_Controller {
    std::uint32_t type;
    std::int32_t x, y, z, r;
    std::uint32_t buttons;
};

extern std::atomic<std::uint32_t> g_key_input;
extern std::uint32_t LSR_input_prevkey;
// Written by the worker (LSR_GetKeycode) and by the window procedure (cleared on release).
extern std::atomic<std::uint32_t> LSR_input_prevkeycode;
extern std::int32_t g_mouse_w, g_mouse_h;
extern std::int32_t LSR_input_mousex, LSR_input_mousey, LSR_input_mousebuttons;
extern std::int32_t LSR_input_mousez, LSR_input_mousezdir;
extern std::int32_t LSR_input_mousewidth, LSR_input_mouseheight;
extern LSR_Controller LSR_controller[8];
extern std::int32_t LSR_numcontrollers;
extern std::uint32_t LSR_controllerkeys[8 * 16];

// Upper half. Null pointers are allowed where noted in the library's documentation: the value is
// then not stored.
void LSR_GetKeys(std::uint32_t* keys, std::uint32_t* pressed);
void LSR_GetKeycode(std::uint32_t* code, std::uint32_t* changed);
void LSR_GetMouse(std::int32_t* x, std::int32_t* y, std::int32_t* buttons);
void LSR_GetMouseZ(std::int32_t* z, std::int32_t* zdir);
void LSR_GetMouseArea(std::int32_t* width, std::int32_t* height);
std::int32_t LSR_input_initcontrollers();
void LSR_input_pollcontrollers();
void LSR_SetKeyController(std::int32_t n, const std::uint32_t* keys);

// Lower half; pointers must not be null.
std::uint32_t LSR_ll_input_get_keys();
std::uint32_t LSR_ll_input_get_keycode();
void LSR_ll_input_get_mouse_area(std::int32_t* width, std::int32_t* height);
void LSR_ll_input_get_mouse_pos(std::int32_t* x, std::int32_t* y, std::int32_t* buttons);
void LSR_ll_input_get_mouse_posz(std::int32_t* z, std::int32_t* zdir);
void LSR_ll_input_getjoypad(std::int32_t* x, std::int32_t* y, std::int32_t* z, std::int32_t* r,
                            std::int32_t* buttons);
std::int32_t LSR_ll_input_scancontrollers();

// The key-code table: the code for a virtual-key code.
std::uint32_t LSR_input_keycode_for(std::uint32_t virtual_key);
