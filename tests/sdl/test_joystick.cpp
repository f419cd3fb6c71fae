// The first joystick's state as the SDL platform keeps it, from a virtual joystick's events.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "lodestar/platform.h"
#include "sdl_internal.h"

namespace {

TEST(Joystick, AxesReadFromZeroToFullScaleAndButtonsAreBits) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 4, 12, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* own = SDL_JoystickOpen(index);
    ASSERT_NE(own, nullptr) << SDL_GetError();
    const Sint16 axes[] = {-32768, 32767, 0, -1};
    for (int i = 0; i < 4; ++i) SDL_JoystickSetVirtualAxis(own, i, axes[i]);
    SDL_JoystickUpdate();

    PlatJoystick state{};
    const auto read = [&] {
        if (!plat_read_joystick(&state)) return std::vector<std::uint32_t>{};
        return std::vector<std::uint32_t>{state.x, state.y, state.z, state.r, state.buttons};
    };
    // An event of the type for joystick which: axis or button number and value, or none.
    const auto send = [](Uint32 type, SDL_JoystickID which, Uint8 number = 0, Sint16 value = 0) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_JOYAXISMOTION) {
            e.jaxis.which = which;
            e.jaxis.axis = number;
            e.jaxis.value = value;
        } else if (type == SDL_JOYBUTTONDOWN || type == SDL_JOYBUTTONUP) {
            e.jbutton.which = which;
            e.jbutton.button = number;
            e.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        } else {
            e.jdevice.which = which;
        }
        sdl_joystick_event(e);
    };
    const SDL_JoystickID id = SDL_JoystickInstanceID(own);
    EXPECT_EQ(read(), std::vector<std::uint32_t>{}) << "none before it is added";
    send(SDL_JOYDEVICEADDED, index);
    EXPECT_EQ(read(), (std::vector<std::uint32_t>{0, 65535, 32768, 32767, 0}));
    send(SDL_JOYAXISMOTION, id, 2, 100);
    send(SDL_JOYAXISMOTION, id + 1, 3, 100); // another joystick's
    send(SDL_JOYBUTTONDOWN, id, 0);
    send(SDL_JOYBUTTONDOWN, id, 3);
    send(SDL_JOYBUTTONUP, id, 0);
    EXPECT_EQ(read(), (std::vector<std::uint32_t>{0, 65535, 32868, 32767, 0x8}));
    send(SDL_JOYDEVICEREMOVED, id);
    EXPECT_EQ(read(), std::vector<std::uint32_t>{});
    SDL_JoystickClose(own);
    SDL_JoystickDetachVirtual(index);
    SDL_Quit();
}

} // namespace
