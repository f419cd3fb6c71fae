// The window procedure's message table and the input state it leaves: keys, key word and codes,
// mouse and wheel, window size; controllers, joystick mapping, and the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "headless.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

namespace {

void send(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
    WIN32_WndProc(nullptr, message, wparam, lparam);
}
void key(std::uint32_t vk, bool down) {
    send(down ? WM_KEYDOWN : WM_KEYUP, vk);
}

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (auto& k : LSR_keys) k.store(0);
        g_keycode = 0;
        g_mouse_buttons = 0;
        g_mouse_z = 0;
        g_mouse_zdir = 0;
        LSR_input_prevkeycode = 0;
        LSR_Initialise();
    }
};

struct Message {
    std::uint32_t message;
    WPARAM wparam;
    LPARAM lparam;
    const char* state; // what the procedure leaves, as the test's state() writes it
};

template <std::size_t N> void run_messages(const Message (&messages)[N], std::string (*state)()) {
    for (std::size_t i = 0; i < N; ++i) {
        const Message& m = messages[i];
        send(m.message, m.wparam, m.lparam);
        EXPECT_EQ(state(), m.state) << "after message " << i << " (" << m.message << ")";
    }
}

TEST_F(Input, KeysAreRecordedByTheLowByteAndTheCodeFollowsTheLastPressedKey) {
    const auto state = [] {
        std::string held;
        for (std::size_t k = 0; k < 256; ++k)
            if (LSR_keys[k].load() != 0) held += std::to_string(k) + " ";
        return held + "| " + std::to_string(g_keycode.load());
    };
    const Message messages[] = {
        {WM_KEYDOWN, VK_UP, 0, "38 | 38"},      {WM_KEYDOWN, 0x100 | VK_SPACE, 0, "32 38 | 32"},
        {WM_KEYUP, VK_SPACE, 0, "38 | 0"},      {WM_KEYDOWN, VK_UP, 0, "38 | 38"}, // auto-repeat
        {WM_SYSKEYDOWN, VK_MENU, 0, "38 | 38"}, {WM_KEYDOWN, 'A', 0, "38 65 | 65"},
        {WM_KEYDOWN, 'B', 0, "38 65 66 | 66"},  {WM_KEYUP, 'A', 0, "38 66 | 66"},
        {WM_KEYUP, 'B', 0, "38 | 0"},           {WM_KEYUP, VK_UP, 0, "| 0"},
    };
    run_messages(messages, +state);
}

TEST_F(Input, MouseButtonsWheelSizeAndActivationAreKept) {
    const auto state = [] {
        return std::to_string(g_mouse_buttons.load()) + " " + std::to_string(g_mouse_z.load()) +
               " " + std::to_string(g_mouse_zdir.load()) + " " +
               std::to_string(windowwidth.load()) + "x" + std::to_string(windowheight.load()) +
               " " + std::to_string(appactive.load());
    };
    const auto wheel = [](int delta) { return static_cast<WPARAM>(delta & 0xFFFF) << 16 | 0x8; };
    const Message messages[] = {
        {WM_LBUTTONDOWN, 0, 0, "1 0 0 0x0 0"},
        {WM_MBUTTONDOWN, 0, 0, "5 0 0 0x0 0"},
        {WM_RBUTTONDOWN, 0, 0, "7 0 0 0x0 0"},
        {WM_LBUTTONUP, 0, 0, "6 0 0 0x0 0"},
        {WM_MBUTTONUP, 0, 0, "2 0 0 0x0 0"},
        {WM_RBUTTONUP, 0, 0, "0 0 0 0x0 0"},
        {WM_MOUSEWHEEL, wheel(120), 0, "0 1 1 0x0 0"},
        {WM_MOUSEWHEEL, wheel(-120), 0, "0 0 -1 0x0 0"},
        {WM_MOUSEWHEEL, wheel(-240), 0, "0 -1 -1 0x0 0"},
        {WM_MOUSEWHEEL, wheel(0), 0, "0 -1 0 0x0 0"},
        {WM_SIZE, 0, LSR_MakeSizeParam(640, 480), "0 -1 0 640x480 0"},
        {WM_SIZE, 0, static_cast<LPARAM>(0xFFFE0010u), "0 -1 0 16x-2 0"}, // the high half signed
        {WM_ACTIVATEAPP, 1, 0, "0 -1 0 16x-2 1"},
        {WM_ACTIVATEAPP, 0, 0, "0 -1 0 16x-2 0"},
    };
    run_messages(messages, +state);
}

TEST_F(Input, ThePointerHidesOverTheClientAreaAndCloseOrDestroyQuits) {
    send(WM_SIZE, 0, LSR_MakeSizeParam(640, 480));
    headless::set_pointer(639, 480);
    send(WM_MOUSEMOVE);
    EXPECT_TRUE(headless::window().cursor_visible);
    headless::set_pointer(639, 479);
    send(WM_MOUSEMOVE);
    EXPECT_FALSE(headless::window().cursor_visible);
    for (std::uint32_t message : {WM_CLOSE, WM_DESTROY}) {
        headless::reset();
        send(message);
        LSR_MSG m;
        EXPECT_FALSE(plat_get_message(&m)) << message << " posts the quit message";
    }
}

TEST_F(Input, TheKeyWordHasABitPerGameKeyHeldAndNewlyPressed) {
    const std::pair<std::uint32_t, std::uint32_t> keys[] = {
        {VK_UP, 0x1},  {VK_CONTROL, 0x20}, {VK_MENU, 0x80},     {'C', 0x400},
        {'1', 0x1000}, {VK_BACK, 0x2000},  {VK_ESCAPE, 0x8000}, {'X', 0x100},
        {'Z', 0},      {VK_F1, 0},         {VK_TAB, 0}};
    for (const auto& [vk, bit] : keys) {
        key(vk, true);
        EXPECT_EQ(LSR_ll_input_get_keys(), bit) << "virtual key " << vk;
        key(vk, false);
    }
    key(VK_UP, true);
    key(VK_RETURN, true);
    std::uint32_t held = 0, pressed = 0;
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(held * 0x10000 + pressed, 0x10011001u);
    key('1', true); // the digit 1 shares Return's bit
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(held * 0x10000 + pressed, 0x10010000u);
    key(VK_SPACE, true);
    LSR_GetKeys(nullptr, nullptr); // still a poll: the previous word moves on
    LSR_GetKeys(&held, &pressed);
    EXPECT_EQ(held * 0x10000 + pressed, 0x10110000u);
}

TEST_F(Input, KeyCodesNameKeysAndReportTheirChanges) {
    const std::pair<std::uint32_t, std::uint32_t> codes[] = {
        {VK_ESCAPE, 0xF000}, {VK_RIGHT, 0xF004}, {VK_MENU, 0xF014}, {VK_TAB, 0xF028},
        {VK_F12, 0xF03B},    {'A', 65},          {'9', 57},         {VK_NUMPAD0, 0x60}};
    for (const auto& [vk, code] : codes) EXPECT_EQ(LSR_input_keycode_for(vk), code) << vk;
    std::uint32_t code = 0, changed = 0;
    key(VK_F5, true);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(code * 10 + changed, 0xF034u * 10 + 1);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(changed, 0u);
    // Releasing it clears the previous code as well, so the drop to 0 is not a change.
    key(VK_F5, false);
    LSR_GetKeycode(&code, &changed);
    EXPECT_EQ(code + changed, 0u);
}

TEST_F(Input, MouseReadsThePointerAndTheWheelItsLastTurn) {
    headless::set_pointer(-5, 700);
    g_mouse_buttons = 3;
    std::int32_t x = 0, y = 0, b = 0, z = 0, dir = 0;
    LSR_GetMouse(&x, &y, &b);
    LSR_GetMouse(nullptr, nullptr, nullptr);
    EXPECT_EQ(std::vector<std::int32_t>({x, y, b}), std::vector<std::int32_t>({-5, 700, 3}));
    send(WM_MOUSEWHEEL, static_cast<WPARAM>(120u << 16));
    LSR_GetMouseZ(&z, &dir);
    EXPECT_EQ(z * 10 + dir, 11);
    LSR_GetMouseZ(&z, &dir);
    EXPECT_EQ(dir, 0);
}

TEST_F(Input, ControllersAreKeysMouseAndEachJoystickMapped) {
    EXPECT_EQ(LSR_input_initcontrollers(), 3);
    PlatJoystick j;
    j.x = 0;
    j.y = 65535;
    j.z = 32767;
    j.r = 32766;
    j.buttons = 0x1 | 0x2 | 0x4 | 0x8 | 0x100 | 0x200 | 0x800; // 1 to 4, 9, 10, 12
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
    const auto row = [](int i) {
        const auto& c = LSR_controller[i];
        return std::vector<std::int64_t>({c.type, c.x, c.y, c.z, c.r, c.buttons});
    };
    EXPECT_EQ(row(0), std::vector<std::int64_t>({1, 0, 0, 0, 0, 0x10}));
    EXPECT_EQ(row(1), std::vector<std::int64_t>({3, 0, 0, 0, 0, 65}));
    EXPECT_EQ(row(2), std::vector<std::int64_t>({4, 12, 34, 0, 0, 0}));
    for (int i = 3; i < 7; ++i)
        EXPECT_EQ(row(i), std::vector<std::int64_t>(
                              {2, -128, 128, 0, -1,
                               0x1000 | 0x2000 | 0x400 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100}));
}

TEST_F(Input, KeyControllerTablesAreEightOfSixteenKeysAndOthersAreRefused) {
    for (const std::int32_t n : {-1, 0, 7, 8}) {
        std::uint32_t keys[16];
        for (std::uint32_t i = 0; i < 16; ++i) keys[i] = 100 + i;
        std::fill(std::begin(LSR_controllerkeys), std::end(LSR_controllerkeys), 0u);
        LSR_SetKeyController(n, keys);
        for (int i = 0; i < 8 * 16; ++i)
            EXPECT_EQ(LSR_controllerkeys[i], i / 16 == n ? 100u + i % 16 : 0u) << n << ", " << i;
    }
}

TEST_F(Input, TheClockCountsFromStartUpAcrossTheTickWrap) {
    headless::set_ticks(0xFFFFFFF0u);
    LSR_Initialise();
    EXPECT_EQ(LSR_timer_getmillis(), 0u);
    headless::advance(0x20);
    EXPECT_EQ(LSR_timer_getmillis(), 0x20u);
    LSR_timer_waituntil(0x50); // across the wrap it ends at its deadline, not before
    LSR_timer_waituntil(0x10); // already passed
    EXPECT_EQ(LSR_timer_getmillis(), 0x50u);
    const std::uint32_t before = g_mem_in_use.load();
    char* block = LSR_timer_getlocaltime();
    EXPECT_GE(g_mem_in_use.load() - before, 256u) << "a counted block";
    _wrap_free_dbg(block, "test", 1);
    EXPECT_EQ(g_mem_in_use.load(), before);
}

// The frame both ways: the outer box of a client area, and the client area inside it again.
TEST(WindowFrame, OuterAndClientBoxesDifferByTheBorders) {
    const auto boxes = [](std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
        const LSR_WindowBox outer = LSR_OuterBox(x, y, width, height);
        const LSR_WindowBox client = LSR_ClientBox(outer);
        return std::vector<std::int32_t>({outer.x, outer.y, outer.width, outer.height, client.x,
                                          client.y, client.width, client.height});
    };
    EXPECT_EQ(boxes(200, 200, 320, 240), // the window WinMain makes
              std::vector<std::int32_t>({200, 200, 328, 267, 204, 223, 320, 240}));
    EXPECT_EQ(boxes(-10, 5, 0, 0), std::vector<std::int32_t>({-10, 5, 8, 27, -6, 28, 0, 0}));
}

} // namespace
