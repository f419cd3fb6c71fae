// The joystick poll beneath the controller list: the first joystick's axes and buttons.
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"

namespace {

// (position - 32767) >> 8 with the arithmetic shift of a signed value.
constexpr std::int32_t axis(std::uint32_t position) {
    const std::int32_t d = static_cast<std::int32_t>(position) - 32767;
    return d >= 0 ? d / 256 : -((-d + 255) / 256);
}
static_assert(axis(0) == -128 && axis(32767) == 0 && axis(65535) == 128 && axis(32766) == -1);

struct ButtonBit {
    std::uint32_t mask, bit;
};
constexpr ButtonBit k_button_bits[] = {
    {0x1, 0x10},    {0x2, 0x20},     {0x4, 0x40},     {0x8, 0x80},     {0x101, 0x100},
    {0x201, 0x400}, {0x801, 0x1000}, {0x100, 0x2000}, {0x200, 0x1000},
};

} // namespace

std::int32_t win32_initjoystick() {
    PlatJoystick state;
    return plat_read_joystick(&state) ? 1 : 0;
}

void win32_checkjoystick(std::int32_t, std::int32_t* x, std::int32_t* y, std::int32_t* z,
                         std::int32_t* r, std::int32_t* buttons) {
    PlatJoystick state;
    if (!plat_read_joystick(&state)) {
        *x = *y = *z = *r = *buttons = 0;
        return;
    }
    *x = axis(state.x);
    *y = axis(state.y);
    *z = axis(state.z);
    *r = axis(state.r);
    std::uint32_t out = 0;
    for (const auto& b : k_button_bits)
        if ((state.buttons & b.mask) != 0) out |= b.bit;
    *buttons = static_cast<std::int32_t>(out);
}
