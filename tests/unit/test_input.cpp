// The key word, key codes, mouse, wheel, controllers, joystick mapping and the clock.
#include <gtest/gtest.h>

#include <vector>

#include "headless.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"

namespace {

void key(std::uint32_t vk, bool down) {
    WIN32_WndProc(nullptr, down ? WM_KEYDOWN : WM_KEYUP, vk, 0);
}

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (auto& k : LSR_keys) k.store(0);
        g_keycode = 0;
        LSR_input_prevkeycode = 0;
        LSR_Initialise();
    }
};

// The names are the original platform's numbers, which programs and the key table index by.
static_assert(VK_BACK == 8 && VK_TAB == 9 && VK_RETURN == 13 && VK_SHIFT == 16 &&
              VK_CONTROL == 17 && VK_MENU == 18 && VK_CAPITAL == 20 && VK_ESCAPE == 27 &&
              VK_SPACE == 32 && VK_PRIOR == 33 && VK_NEXT == 34 && VK_END == 35 && VK_HOME == 36 &&
              VK_LEFT == 37 && VK_UP == 38 && VK_RIGHT == 39 && VK_DOWN == 40 && VK_INSERT == 45 &&
              VK_DELETE == 46 && VK_F1 == 112 && VK_F5 == 116 && VK_F12 == 123);

TEST_F(Input, KeyWordHasOneBitPerGameKey) {
    struct Row {
        std::uint32_t vk, bit;
    };
    const Row rows[] = {{VK_UP, 0x1},      {VK_DOWN, 0x2},     {VK_LEFT, 0x4},      {VK_RIGHT, 0x8},
                        {VK_SPACE, 0x10},  {VK_CONTROL, 0x20}, {VK_SHIFT, 0x40},    {VK_MENU, 0x80},
                        {'X', 0x100},      {'C', 0x400},       {VK_RETURN, 0x1000}, {'1', 0x1000},
                        {VK_BACK, 0x2000}, {'2', 0x2000},      {VK_ESCAPE, 0x8000}};
    for (const auto& r : rows) {
        key(r.vk, true);
        EXPECT_EQ(LSR_ll_input_get_keys(), r.bit) << "virtual key " << r.vk;
        key(r.vk, false);
    }
    // Keys outside the table set nothing.
    const std::uint8_t outside[] = {'A', 'Z', '0', '3', VK_F1, VK_TAB};
    for (std::uint8_t vk : outside) key(vk, true);
    EXPECT_EQ(LSR_ll_input_get_keys(), 0u);
}

TEST_F(Input, HeldAndNewlyPressedKeys) {
    key(VK_UP, true);
    key(VK_RETURN, true);
    std::uint32_t held = 0, pressed = 0;
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(held, 0x1001u);
    EXPECT_EQ(pressed, 0x1001u);
    key('1', true); // the digit 1 shares Return's bit
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(held, 0x1001u);
    EXPECT_EQ(pressed, 0u);

    key(VK_SPACE, true);
    LSR_GetKeys(nullptr, nullptr); // still a poll: the previous word moves on
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(pressed, 0u);
    EXPECT_EQ(held, 0x1011u);
}

TEST_F(Input, KeyCodesAndTheirChanges) {
    struct Row {
        std::uint32_t vk, code;
    };
    // The ends of each run of named codes, and keys that are their own codes.
    const Row rows[] = {
        {VK_ESCAPE, 0xF000}, {VK_UP, 0xF001},   {VK_RIGHT, 0xF004}, {VK_RETURN, 0xF010},
        {VK_MENU, 0xF014},   {VK_BACK, 0xF020}, {VK_HOME, 0xF025},  {VK_TAB, 0xF028},
        {VK_F1, 0xF030},     {VK_F12, 0xF03B},  {'A', 65},          {'Z', 90},
        {'0', 48},           {'9', 57},         {VK_PAUSE, 0x13},   {VK_NUMPAD0, 0x60}};
    for (const auto& r : rows) EXPECT_EQ(LSR_input_keycode_for(r.vk), r.code) << r.vk;

    std::uint32_t code = 0, changed = 0;
    key(VK_F5, true);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(code, 0xF034u);
    EXPECT_EQ(changed, 1u);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(changed, 0u);
    // Releasing it clears the previous code as well, so the drop to 0 is not a change.
    key(VK_F5, false);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(changed, 0u);
}

TEST_F(Input, MouseAndWheel) {
    headless::set_pointer(-5, 700);
    g_mouse_buttons = 3;
    std::int32_t x = 0, y = 0, b = 0;
    LSR_GetMouse(&x, &y, &b);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, 700);
    EXPECT_EQ(b, 3);
    LSR_GetMouse(nullptr, nullptr, nullptr);

    const std::int32_t z0 = g_mouse_z.load();
    WIN32_WndProc(nullptr, WM_MOUSEWHEEL, static_cast<WPARAM>(120u << 16), 0);
    std::int32_t z = 0, dir = 0;
    LSR_GetMouseZ(&z, &dir);
    EXPECT_EQ(z, z0 + 1);
    EXPECT_EQ(dir, 1);
    LSR_GetMouseZ(&z, &dir);
    EXPECT_EQ(dir, 0);
}

TEST_F(Input, ControllersWithAndWithoutAJoystick) {
    EXPECT_EQ(LSR_input_initcontrollers(), 3);
    EXPECT_EQ(LSR_controller[0].type, 1u);
    EXPECT_EQ(LSR_controller[1].type, 3u);
    EXPECT_EQ(LSR_controller[2].type, 4u);

    PlatJoystick j;
    j.x = 0;
    j.y = 65535;
    j.z = 32767;
    j.r = 32766;
    j.buttons = 0x1; // button 1
    headless::set_joystick(j);
    testing::internal::CaptureStdout();
    EXPECT_EQ(LSR_input_initcontrollers(), 7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "joystick found, id: 0\njoystick found, id: 1\njoystick found, id: 2\n"
              "joystick found, id: 3\n");

    key(VK_SPACE, true);
    key('A', true);
    headless::set_pointer(12, 34);
    LSR_input_pollcontrollers();
    EXPECT_EQ(LSR_controller[0].buttons, 0x10u);
    EXPECT_EQ(LSR_controller[1].buttons, 65u);
    EXPECT_EQ(LSR_controller[2].x, 12);
    EXPECT_EQ(LSR_controller[2].y, 34);
    for (int i = 3; i < 7; ++i) {
        const auto& c = LSR_controller[i];
        EXPECT_EQ(std::vector<std::int32_t>({c.x, c.y, c.z, c.r}),
                  std::vector<std::int32_t>({-128, 128, 0, -1}));
        EXPECT_EQ(c.type, 2u);
        EXPECT_EQ(c.buttons, 0x1510u);
    }
}

TEST_F(Input, JoystickButtonMapping) {
    std::int32_t x, y, z, r, b;
    win32_checkjoystick(0, &x, &y, &z, &r, &b);
    EXPECT_EQ(x | y | z | r | b, 0); // no joystick: all zero

    PlatJoystick j;
    j.buttons = 0x2 | 0x100; // buttons 2 and 9
    headless::set_joystick(j);
    win32_checkjoystick(0, &x, &y, &z, &r, &b);
    EXPECT_EQ(b, 0x2120);
    j.buttons = 0x200 | 0x800 | 0x4 | 0x8; // 10, 12, 3, 4
    headless::set_joystick(j);
    win32_checkjoystick(0, &x, &y, &z, &r, &b);
    EXPECT_EQ(b, 0x1000 | 0x400 | 0x40 | 0x80);
}

TEST_F(Input, ClockCountsFromStartUpAcrossTheTickWrap) {
    headless::set_ticks(0xFFFFFFF0u);
    LSR_Initialise();
    EXPECT_EQ(LSR_timer_getmillis(), 0u);
    headless::advance(0x20);
    EXPECT_EQ(LSR_timer_getmillis(), 0x20u);
    // A wait across the wrap ends at its deadline, not before.
    LSR_timer_waituntil(0x50);
    EXPECT_EQ(LSR_timer_getmillis(), 0x50u);
    LSR_timer_waituntil(0x10); // already passed
    EXPECT_EQ(LSR_timer_getmillis(), 0x50u);
}

TEST_F(Input, LocalTimeBlockIsCounted) {
    const std::uint32_t before = g_mem_in_use.load();
    char* block = LSR_timer_getlocaltime();
    ASSERT_NE(block, nullptr);
    EXPECT_GE(g_mem_in_use.load() - before, 256u);
    _wrap_free_dbg(block, "test", 1);
    EXPECT_EQ(g_mem_in_use.load(), before);
}

} // namespace
