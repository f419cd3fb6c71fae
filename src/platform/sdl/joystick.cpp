// The first joystick: opened on the main thread, its state kept in words any thread may read.
#include <atomic>

#include "lodestar/platform.h"
#include "sdl_internal.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

SDL_Joystick* g_joystick = nullptr; // main thread only
std::atomic<bool> g_present{false};
std::atomic<std::uint32_t> g_axes[4];
std::atomic<std::uint32_t> g_buttons{0};

std::uint32_t axis_position(Sint16 value) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value) + 32768);
}

void reset_state() {
    for (auto& a : g_axes) a.store(32767, relaxed);
    g_buttons.store(0, relaxed);
}

} // namespace

void sdl_joystick_event(const SDL_Event& event) {
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        if (g_joystick == nullptr) {
            g_joystick = SDL_JoystickOpen(event.jdevice.which);
            if (g_joystick != nullptr) {
                reset_state();
                const int axes = SDL_JoystickNumAxes(g_joystick);
                for (int i = 0; i < 4 && i < axes; ++i)
                    g_axes[i].store(axis_position(SDL_JoystickGetAxis(g_joystick, i)), relaxed);
                g_present.store(true, relaxed);
            }
        }
        break;
    case SDL_JOYDEVICEREMOVED:
        if (g_joystick != nullptr && SDL_JoystickInstanceID(g_joystick) == event.jdevice.which) {
            SDL_JoystickClose(g_joystick);
            g_joystick = nullptr;
            g_present.store(false, relaxed);
            reset_state();
        }
        break;
    case SDL_JOYAXISMOTION:
        if (g_joystick != nullptr && SDL_JoystickInstanceID(g_joystick) == event.jaxis.which &&
            event.jaxis.axis < 4)
            g_axes[event.jaxis.axis].store(axis_position(event.jaxis.value), relaxed);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (g_joystick != nullptr && SDL_JoystickInstanceID(g_joystick) == event.jbutton.which &&
            event.jbutton.button < 32) {
            const std::uint32_t bit = 1u << event.jbutton.button;
            if (event.jbutton.state == SDL_PRESSED)
                g_buttons.fetch_or(bit, relaxed);
            else
                g_buttons.fetch_and(~bit, relaxed);
        }
        break;
    default: break;
    }
}

bool plat_read_joystick(PlatJoystick* state) {
    if (!g_present.load(relaxed)) return false;
    state->x = g_axes[0].load(relaxed);
    state->y = g_axes[1].load(relaxed);
    state->z = g_axes[2].load(relaxed);
    state->r = g_axes[3].load(relaxed);
    state->buttons = g_buttons.load(relaxed);
    return true;
}
