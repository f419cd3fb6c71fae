// SDL events in, window messages out: key codes in the Windows virtual-key numbering.
#include "translate.h"

#include "lodestar/platform_types.h"

namespace {

struct KeyPair {
    SDL_Keycode key;
    std::uint8_t vk;
};

// Keys whose SDL codes are not the letters and digits handled by rule below.
constexpr KeyPair k_named_keys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_1, VK_NUMPAD1},
    {SDLK_KP_2, VK_NUMPAD2},
    {SDLK_KP_3, VK_NUMPAD3},
    {SDLK_KP_4, VK_NUMPAD4},
    {SDLK_KP_5, VK_NUMPAD5},
    {SDLK_KP_6, VK_NUMPAD6},
    {SDLK_KP_7, VK_NUMPAD7},
    {SDLK_KP_8, VK_NUMPAD8},
    {SDLK_KP_9, VK_NUMPAD9},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_F1, VK_F1},
    {SDLK_F2, VK_F2},
    {SDLK_F3, VK_F3},
    {SDLK_F4, VK_F4},
    {SDLK_F5, VK_F5},
    {SDLK_F6, VK_F6},
    {SDLK_F7, VK_F7},
    {SDLK_F8, VK_F8},
    {SDLK_F9, VK_F9},
    {SDLK_F10, VK_F10},
    {SDLK_F11, VK_F11},
    {SDLK_F12, VK_F12},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

std::uint32_t size_param(std::int32_t w, std::int32_t h) {
    return static_cast<std::uint32_t>(LSR_MakeSizeParam(w, h));
}

LPARAM point_param(std::int32_t x, std::int32_t y) {
    return static_cast<LPARAM>(size_param(x, y));
}

} // namespace

std::uint8_t sdl_virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint8_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint8_t>('0' + (key - SDLK_0));
    for (const auto& k : k_named_keys)
        if (k.key == key) return k.vk;
    return 0;
}

int sdl_translate_event(const SDL_Event& event, LSR_HWND window, LSR_MSG* out, int max) {
    if (max < 1) return 0;
    LSR_MSG& m = out[0];
    m = LSR_MSG{window, 0, 0, 0};
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const std::uint8_t vk = sdl_virtual_key(event.key.keysym.sym);
        if (vk == 0) return 0;
        const bool down = event.type == SDL_KEYDOWN;
        // Alt, F10 and keys pressed while Alt is held are system keys on the original
        // platform: they arrive as system-key messages, which are not recorded.
        const bool system = vk == VK_MENU || vk == VK_F10 || (event.key.keysym.mod & KMOD_ALT) != 0;
        m.message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
        m.wparam = vk;
        m.lparam = static_cast<LPARAM>(
            (static_cast<std::uint32_t>(event.key.keysym.scancode) & 0xFFu) << 16 | 1u);
        return 1;
    }
    case SDL_MOUSEMOTION:
        m.message = WM_MOUSEMOVE;
        m.lparam = point_param(event.motion.x, event.motion.y);
        return 1;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: m.message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: m.message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: m.message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return 0;
        }
        m.lparam = point_param(event.button.x, event.button.y);
        return 1;
    }
    case SDL_MOUSEWHEEL: {
        std::int32_t steps = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
        steps = steps < -273 ? -273 : (steps > 273 ? 273 : steps); // the delta is 16 bits
        if (steps == 0) return 0;
        // One notch is 120; the signed delta rides in the high half of wparam.
        const auto delta = static_cast<std::uint16_t>(static_cast<std::int16_t>(steps * 120));
        m.message = WM_MOUSEWHEEL;
        m.wparam = static_cast<WPARAM>(delta) << 16;
        return 1;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: m.message = WM_CLOSE; return 1;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m.message = WM_SIZE;
            m.lparam = static_cast<LPARAM>(size_param(event.window.data1, event.window.data2));
            return 1;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m.message = WM_ACTIVATEAPP;
            m.wparam = 1;
            return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST: m.message = WM_ACTIVATEAPP; return 1;
        default: return 0;
        }
    case SDL_QUIT: // a signal or the session ending: treated as the close box
        m.message = WM_CLOSE;
        return 1;
    default: return 0;
    }
}
