// SDL events through SDL's own queue, translated into window messages.
#include <gtest/gtest.h>

#include <SDL.h>

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
    void SetUp() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }

    // Pushes the event through SDL's queue and translates what comes out.
    std::vector<LSR_MSG> through_queue(SDL_Event event) {
        EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        std::vector<LSR_MSG> out;
        SDL_Event got;
        while (SDL_PollEvent(&got)) {
            LSR_MSG m[2];
            const int n = sdl_translate_event(got, nullptr, m, 2);
            out.insert(out.end(), m, m + n);
        }
        return out;
    }

    LSR_MSG key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
        e.key.keysym.mod = mod;
        const auto out = through_queue(e);
        EXPECT_EQ(out.size(), 1u);
        return out.empty() ? LSR_MSG{} : out[0];
    }
};

TEST_F(Translate, KeysGetTheirVirtualKeyCodes) {
    struct Row {
        SDL_Keycode sym;
        std::uint32_t vk;
    };
    const Row rows[] = {
        {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_LSHIFT, VK_SHIFT},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F12},
    };
    for (const auto& r : rows) {
        const LSR_MSG down = key(r.sym, true);
        EXPECT_EQ(down.message, WM_KEYDOWN) << SDL_GetKeyName(r.sym);
        EXPECT_EQ(down.wparam, r.vk) << SDL_GetKeyName(r.sym);
        const LSR_MSG up = key(r.sym, false);
        EXPECT_EQ(up.message, WM_KEYUP) << SDL_GetKeyName(r.sym);
        EXPECT_EQ(up.wparam, r.vk);
    }
}

TEST_F(Translate, AltF10AndAltCombinationsAreSystemKeys) {
    const LSR_MSG alt = key(SDLK_LALT, true);
    EXPECT_EQ(alt.message, WM_SYSKEYDOWN);
    EXPECT_EQ(alt.wparam, VK_MENU);
    EXPECT_EQ(key(SDLK_RALT, false).message, WM_SYSKEYUP);
    EXPECT_EQ(key(SDLK_F10, true).message, WM_SYSKEYDOWN);
    const LSR_MSG alt_space = key(SDLK_SPACE, true, KMOD_LALT);
    EXPECT_EQ(alt_space.message, WM_SYSKEYDOWN);
    EXPECT_EQ(alt_space.wparam, VK_SPACE);
    EXPECT_EQ(key(SDLK_F4, true, KMOD_RALT).message, WM_SYSKEYDOWN);
    // Control or Shift held do not make a system key.
    EXPECT_EQ(key(SDLK_UP, true, KMOD_LCTRL | KMOD_LSHIFT).message, WM_KEYDOWN);
}

TEST_F(Translate, KeysWithoutAVirtualCodeAreDropped) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_MODE;
    EXPECT_TRUE(through_queue(e).empty());
}

TEST_F(Translate, WheelDeltaRidesInTheHighHalf) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 1;
    auto out = through_queue(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_MOUSEWHEEL);
    EXPECT_EQ(out[0].wparam, static_cast<WPARAM>(120) << 16);
    e.wheel.y = -2;
    out = through_queue(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].wparam >> 16, 0x10000u - 240u);
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED; // natural scrolling: away from the user is negative
    out = through_queue(e);
    EXPECT_EQ(out[0].wparam >> 16, 0x10000u - 120u);
    e.wheel.y = 0;
    e.wheel.x = 3; // sideways only: not a wheel message
    EXPECT_TRUE(through_queue(e).empty());
}

TEST_F(Translate, MouseButtonsAndMotion) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 5;
    e.button.y = 7;
    auto out = through_queue(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(out[0].lparam, (7 << 16) | 5);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_MIDDLE;
    EXPECT_EQ(through_queue(e)[0].message, WM_MBUTTONUP);
    e.button.button = SDL_BUTTON_X1;
    EXPECT_TRUE(through_queue(e).empty());
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.x = 300;
    m.motion.y = 200;
    out = through_queue(m);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_MOUSEMOVE);
}

TEST_F(Translate, WindowEventsBecomeSizeCloseAndActivation) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    e.window.data1 = 800;
    e.window.data2 = 600;
    auto out = through_queue(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_SIZE);
    EXPECT_EQ(out[0].lparam & 0xFFFF, 800);
    EXPECT_EQ(out[0].lparam >> 16, 600);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    EXPECT_EQ(through_queue(e)[0].message, WM_CLOSE);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    out = through_queue(e);
    EXPECT_EQ(out[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(out[0].wparam, 1u);
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    EXPECT_EQ(through_queue(e)[0].wparam, 0u);
    e.window.event = SDL_WINDOWEVENT_MOVED;
    EXPECT_TRUE(through_queue(e).empty());
}

} // namespace
