// SDL events through SDL's own queue, translated into window messages.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "lodestar/platform_types.h"
#include "translate.h"

namespace {

std::string message(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam) +
           ";";
}

// The messages the event becomes after SDL's queue; a key's flags (its lparam) aside.
std::string through_queue(SDL_Event event) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    std::string out;
    for (SDL_Event got; SDL_PollEvent(&got);) {
        const bool key = got.type == SDL_KEYDOWN || got.type == SDL_KEYUP;
        LSR_MSG m[2];
        for (int i = 0, n = sdl_translate_event(got, nullptr, m, 2); i < n; ++i)
            out += message(m[i].message, m[i].wparam, key ? 0 : m[i].lparam);
    }
    return out;
}

SDL_Event event(Uint32 type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

SDL_Event key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event e = event(down ? SDL_KEYDOWN : SDL_KEYUP);
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym = {SDL_GetScancodeFromKey(sym), sym, mod, 0};
    return e;
}

SDL_Event wheel(Sint32 x, Sint32 y, Uint32 direction) {
    SDL_Event e = event(SDL_MOUSEWHEEL);
    e.wheel.x = x;
    e.wheel.y = y;
    e.wheel.direction = direction;
    return e;
}

SDL_Event button(Uint32 type, Uint8 which) {
    SDL_Event e = event(type);
    e.button.button = which;
    e.button.x = 5;
    e.button.y = 7;
    return e;
}

SDL_Event motion(Sint32 x) {
    SDL_Event e = event(SDL_MOUSEMOTION);
    e.motion.x = x;
    return e;
}

SDL_Event window(Uint8 what, Sint32 a = 0, Sint32 b = 0) {
    SDL_Event e = event(SDL_WINDOWEVENT);
    e.window.event = what;
    e.window.data1 = a;
    e.window.data2 = b;
    return e;
}

// Keys get their virtual codes, and Alt, F10 and keys held with Alt are system keys; the wheel
// counts notches of 120 (natural scrolling: away from the user is negative).
TEST(Translate, EventsBecomeTheirMessages) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
    const struct {
        SDL_Event event;
        std::string messages;
    } rows[] = {
        {key(SDLK_UP, true), message(WM_KEYDOWN, VK_UP)},
        {key(SDLK_RIGHT, false), message(WM_KEYUP, VK_RIGHT)},
        {key(SDLK_SPACE, true, KMOD_LCTRL | KMOD_LSHIFT), message(WM_KEYDOWN, VK_SPACE)},
        {key(SDLK_RCTRL, true), message(WM_KEYDOWN, VK_CONTROL)},
        {key(SDLK_RSHIFT, false), message(WM_KEYUP, VK_SHIFT)},
        {key(SDLK_PAGEDOWN, true), message(WM_KEYDOWN, VK_NEXT)},
        {key(SDLK_z, true), message(WM_KEYDOWN, 'Z')},
        {key(SDLK_9, true), message(WM_KEYDOWN, '9')},
        {key(SDLK_F12, true), message(WM_KEYDOWN, VK_F12)},
        {key(SDLK_LALT, true), message(WM_SYSKEYDOWN, VK_MENU)},
        {key(SDLK_RALT, false), message(WM_SYSKEYUP, VK_MENU)},
        {key(SDLK_F10, true), message(WM_SYSKEYDOWN, VK_F10)},
        {key(SDLK_SPACE, true, KMOD_LALT), message(WM_SYSKEYDOWN, VK_SPACE)},
        {key(SDLK_F4, true, KMOD_RALT), message(WM_SYSKEYDOWN, VK_F4)},
        {key(SDLK_MODE, true), ""}, // no virtual code
        {wheel(0, 1, SDL_MOUSEWHEEL_NORMAL), message(WM_MOUSEWHEEL, 120u << 16)},
        {wheel(0, -2, SDL_MOUSEWHEEL_NORMAL), message(WM_MOUSEWHEEL, (0x10000u - 240) << 16)},
        {wheel(0, 1, SDL_MOUSEWHEEL_FLIPPED), message(WM_MOUSEWHEEL, (0x10000u - 120) << 16)},
        {wheel(3, 0, SDL_MOUSEWHEEL_NORMAL), ""}, // sideways only
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), message(WM_RBUTTONDOWN, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE), message(WM_MBUTTONUP, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT), message(WM_LBUTTONDOWN, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1), ""},
        {motion(300), message(WM_MOUSEMOVE, 0, 300)},
        {window(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), message(WM_SIZE, 0, 600 << 16 | 800)},
        {window(SDL_WINDOWEVENT_CLOSE), message(WM_CLOSE)},
        {event(SDL_QUIT), message(WM_CLOSE)},
        {window(SDL_WINDOWEVENT_FOCUS_GAINED), message(WM_ACTIVATEAPP, 1)},
        {window(SDL_WINDOWEVENT_FOCUS_LOST), message(WM_ACTIVATEAPP, 0)},
        {window(SDL_WINDOWEVENT_MOVED), ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(through_queue(rows[i].event), rows[i].messages) << "row " << i;
    SDL_Quit();
}

} // namespace
