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
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},
    {SDLK_RETURN, 13},        {SDLK_KP_ENTER, 13},
    {SDLK_LSHIFT, 16},        {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},         {SDLK_RCTRL, 17},
    {SDLK_LALT, 18},          {SDLK_RALT, 18},
    {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},        {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},           {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},
    {SDLK_RIGHT, 39},         {SDLK_DOWN, 40},
    {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},        {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},          {SDLK_APPLICATION, 93},
    {SDLK_KP_0, 96},          {SDLK_KP_1, 97},
    {SDLK_KP_2, 98},          {SDLK_KP_3, 99},
    {SDLK_KP_4, 100},         {SDLK_KP_5, 101},
    {SDLK_KP_6, 102},         {SDLK_KP_7, 103},
    {SDLK_KP_8, 104},         {SDLK_KP_9, 105},
    {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},    {SDLK_F1, 112},
    {SDLK_F2, 113},           {SDLK_F3, 114},
    {SDLK_F4, 115},           {SDLK_F5, 116},
    {SDLK_F6, 117},           {SDLK_F7, 118},
    {SDLK_F8, 119},           {SDLK_F9, 120},
    {SDLK_F10, 121},          {SDLK_F11, 122},
    {SDLK_F12, 123},          {SDLK_NUMLOCKCLEAR, 144},
    {SDLK_SCROLLLOCK, 145},   {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},       {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},        {SDLK_PERIOD, 190},
    {SDLK_SLASH, 191},        {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219},  {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
};

constexpr std::uint8_t k_vk_alt = 18;
constexpr std::uint8_t k_vk_f10 = 121;

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
        const bool system =
            vk == k_vk_alt || vk == k_vk_f10 || (event.key.keysym.mod & KMOD_ALT) != 0;
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
