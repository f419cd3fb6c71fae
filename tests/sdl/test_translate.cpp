// SDL events through SDL's own queue, translated into window messages.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "lodestar/platform_types.h"
#include "translate.h"

namespace {

class Translate : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // The messages the event becomes after SDL's queue, as "message wparam lparam" lines.
    static std::string through_queue(SDL_Event event) {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        std::string out;
        for (SDL_Event got; SDL_PollEvent(&got);) {
            LSR_MSG m[2];
            for (int i = 0, n = sdl_translate_event(got, nullptr, m, 2); i < n; ++i)
                out += std::to_string(m[i].message) + " " + std::to_string(m[i].wparam) + " " +
                       std::to_string(m[i].lparam) + ";";
        }
        return out;
    }
    static std::string message(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return std::to_string(message) + " " + std::to_string(wparam) + " " +
               std::to_string(lparam) + ";";
    }
};

SDL_Event key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym = {SDL_GetScancodeFromKey(sym), sym, mod, 0};
    return e;
}

TEST_F(Translate, KeysGetTheirVirtualCodesAndAltMakesThemSystemKeys) {
    const struct {
        SDL_Keycode sym;
        bool down;
        Uint16 mod;
        std::uint32_t message, vk;
    } rows[] = {
        {SDLK_UP, true, 0, WM_KEYDOWN, VK_UP},
        {SDLK_RIGHT, false, 0, WM_KEYUP, VK_RIGHT},
        {SDLK_SPACE, true, KMOD_LCTRL | KMOD_LSHIFT, WM_KEYDOWN, VK_SPACE},
        {SDLK_RCTRL, true, 0, WM_KEYDOWN, VK_CONTROL},
        {SDLK_RSHIFT, false, 0, WM_KEYUP, VK_SHIFT},
        {SDLK_PAGEDOWN, true, 0, WM_KEYDOWN, VK_NEXT},
        {SDLK_z, true, 0, WM_KEYDOWN, 'Z'},
        {SDLK_9, true, 0, WM_KEYDOWN, '9'},
        {SDLK_F12, true, 0, WM_KEYDOWN, VK_F12},
        {SDLK_LALT, true, 0, WM_SYSKEYDOWN, VK_MENU},
        {SDLK_RALT, false, 0, WM_SYSKEYUP, VK_MENU},
        {SDLK_F10, true, 0, WM_SYSKEYDOWN, VK_F10},
        {SDLK_SPACE, true, KMOD_LALT, WM_SYSKEYDOWN, VK_SPACE},
        {SDLK_F4, true, KMOD_RALT, WM_SYSKEYDOWN, VK_F4},
    };
    for (const auto& r : rows) { // the key's flags in lparam aside
        const std::string want = std::to_string(r.message) + " " + std::to_string(r.vk) + " ";
        EXPECT_EQ(through_queue(key(r.sym, r.down, r.mod)).substr(0, want.size()), want)
            << SDL_GetKeyName(r.sym);
    }
    EXPECT_EQ(through_queue(key(SDLK_MODE, true)), "") << "no virtual code: dropped";
}

TEST_F(Translate, MouseAndWindowEventsBecomeTheirMessages) {
    const auto event = [](Uint32 type, auto fill) {
        SDL_Event e{};
        e.type = type;
        fill(e);
        return e;
    };
    const auto wheel = [&](Sint32 x, Sint32 y, Uint32 direction) {
        return event(SDL_MOUSEWHEEL, [&](SDL_Event& e) {
            e.wheel.x = x;
            e.wheel.y = y;
            e.wheel.direction = direction;
        });
    };
    const auto button = [&](Uint32 type, Uint8 which) {
        return event(type, [&](SDL_Event& e) {
            e.button.button = which;
            e.button.x = 5;
            e.button.y = 7;
        });
    };
    const auto window = [&](Uint8 what, Sint32 a = 0, Sint32 b = 0) {
        return event(SDL_WINDOWEVENT, [&](SDL_Event& e) {
            e.window.event = what;
            e.window.data1 = a;
            e.window.data2 = b;
        });
    };
    const struct {
        SDL_Event event;
        std::string messages;
    } rows[] = {
        {wheel(0, 1, SDL_MOUSEWHEEL_NORMAL), message(WM_MOUSEWHEEL, 120u << 16)},
        {wheel(0, -2, SDL_MOUSEWHEEL_NORMAL), message(WM_MOUSEWHEEL, (0x10000u - 240) << 16)},
        // Natural scrolling: away from the user is negative.
        {wheel(0, 1, SDL_MOUSEWHEEL_FLIPPED), message(WM_MOUSEWHEEL, (0x10000u - 120) << 16)},
        {wheel(3, 0, SDL_MOUSEWHEEL_NORMAL), ""}, // sideways only
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), message(WM_RBUTTONDOWN, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE), message(WM_MBUTTONUP, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT), message(WM_LBUTTONDOWN, 0, 7 << 16 | 5)},
        {button(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1), ""},
        {event(SDL_MOUSEMOTION, [](SDL_Event& e) { e.motion.x = 300; }),
         message(WM_MOUSEMOVE, 0, 300)},
        {window(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), message(WM_SIZE, 0, 600 << 16 | 800)},
        {window(SDL_WINDOWEVENT_CLOSE), message(WM_CLOSE)},
        {window(SDL_WINDOWEVENT_FOCUS_GAINED), message(WM_ACTIVATEAPP, 1)},
        {window(SDL_WINDOWEVENT_FOCUS_LOST), message(WM_ACTIVATEAPP, 0)},
        {window(SDL_WINDOWEVENT_MOVED), ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(through_queue(rows[i].event), rows[i].messages) << "row " << i;
}

} // namespace
