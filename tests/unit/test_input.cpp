// The window procedure and the input state it leaves, the readers over that state, the key maps
// and the controllers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "fnv.h"
#include "headless.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

namespace {

void send(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
    WIN32_WndProc(nullptr, message, wparam, lparam);
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

// The readers, run as if they were messages (a wparam of 1: with null pointers); a pointer move
// first sets the pointer to (wparam, lparam).
enum : std::uint32_t { GET_KEYS = 0x10000, GET_KEYCODE, GET_MOUSE, GET_MOUSEZ };

// A key message leaves "keys held | key code"; another message "mouse buttons, wheel position
// and last turn, window size, active, cursor shown"; a reader its results.
std::string after(std::uint32_t message, WPARAM wparam, LPARAM lparam) {
    char out[64];
    std::uint32_t a = 0, b = 0;
    std::int32_t x = 0, y = 0, z = 0;
    switch (message) {
    case GET_KEYS:
        LSR_GetKeys(wparam ? nullptr : &a, wparam ? nullptr : &b);
        return std::to_string(a) + " " + std::to_string(b);
    case GET_KEYCODE: LSR_GetKeycode(&a, &b); return std::to_string(a) + " " + std::to_string(b);
    case GET_MOUSE:
        LSR_GetMouse(&x, &y, &z);
        return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z);
    case GET_MOUSEZ: LSR_GetMouseZ(&z, &x); return std::to_string(z) + " " + std::to_string(x);
    case WM_MOUSEMOVE: headless::set_pointer(std::int32_t(wparam), std::int32_t(lparam)); break;
    }
    send(message, wparam, lparam);
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN) {
        std::string held;
        for (std::size_t k = 0; k < 256; ++k)
            if (LSR_keys[k].load() != 0) held += std::to_string(k) + " ";
        return held + "| " + std::to_string(g_keycode.load());
    }
    std::snprintf(out, sizeof out, "%u %d %d %dx%d %u %d", g_mouse_buttons.load(), g_mouse_z.load(),
                  g_mouse_zdir.load(), windowwidth.load(), windowheight.load(), appactive.load(),
                  headless::window().cursor_visible);
    return out;
}

// A transcript of what each event leaves, pinned. On the way: a key is recorded by its low byte
// (Space as 0x120), an auto-repeat changes nothing, releasing a key clears the code only when it is
// the last pressed; the digit 1 shares Return's bit; a poll with null pointers still moves the
// previous word on; releasing a key clears the previous code too (no change reported); the high
// half of a size is signed; the pointer hides over the client area, not on the row below it, and
// stays hidden. Wheel turns of 120, -120, -240 and 0; sizes of 16 by -2 and 640 by 480.
struct Event {
    std::uint32_t message;
    std::int64_t wparam, lparam;
};

TEST_F(Input, MessagesAndReadersLeaveTheirPinnedTranscript) {
    // clang-format off
    const Event events[] = {
        {WM_KEYDOWN, VK_UP, 0}, {WM_KEYDOWN, 0x120, 0}, {WM_KEYUP, VK_SPACE, 0},
        {WM_KEYDOWN, VK_UP, 0}, {WM_SYSKEYDOWN, VK_MENU, 0}, {WM_KEYDOWN, 'A', 0},
        {WM_KEYDOWN, 'B', 0}, {WM_KEYUP, 'A', 0}, {WM_KEYUP, 'B', 0},
        {WM_KEYDOWN, VK_RETURN, 0}, {GET_KEYS, 0, 0}, {WM_KEYDOWN, '1', 0}, {GET_KEYS, 0, 0},
        {WM_KEYDOWN, VK_SPACE, 0}, {GET_KEYS, 1, 0}, {GET_KEYS, 0, 0},
        {GET_KEYCODE, 0, 0}, {GET_KEYCODE, 0, 0}, {WM_KEYUP, VK_SPACE, 0}, {GET_KEYCODE, 0, 0},
        {WM_LBUTTONDOWN, 0, 0}, {WM_MBUTTONDOWN, 0, 0}, {WM_RBUTTONDOWN, 0, 0},
        {WM_LBUTTONUP, 0, 0}, {WM_MBUTTONUP, 0, 0}, {WM_RBUTTONUP, 0, 0}, {WM_RBUTTONDOWN, 0, 0},
        {WM_MOUSEWHEEL, 0x00780008, 0}, {GET_MOUSEZ, 0, 0}, {GET_MOUSEZ, 0, 0},
        {WM_MOUSEWHEEL, 0xFF880008, 0}, {WM_MOUSEWHEEL, 0xFF100008, 0}, {WM_MOUSEWHEEL, 0x8, 0},
        {WM_SIZE, 0, 0xFFFE0010}, {WM_ACTIVATEAPP, 1, 0}, {WM_ACTIVATEAPP, 0, 0},
        {WM_SIZE, 0, 0x01E00280}, {WM_MOUSEMOVE, 639, 480}, {WM_MOUSEMOVE, 639, 479},
        {WM_MOUSEMOVE, -5, 700}, {GET_MOUSE, 0, 0},
    };
    // clang-format on
    std::string transcript;
    for (const auto& e : events)
        transcript += after(e.message, WPARAM(e.wparam), LPARAM(e.lparam)) + "\n";
    Fnv f;
    f.add(transcript.data(), transcript.size());
    EXPECT_EQ(f.sum, 0x23E54E93000402EEu) << transcript;
    for (std::uint32_t message : {WM_CLOSE, WM_DESTROY}) {
        headless::reset();
        send(message);
        LSR_MSG m;
        EXPECT_FALSE(plat_get_message(&m)) << message << " posts the quit message";
    }
}

// Every virtual key pressed alone: its bit of the key word and its key code, pinned.
TEST_F(Input, EveryKeyHasItsPinnedWordBitAndCode) {
    Fnv f;
    std::string map; // keys with a bit or a code of their own, for the report
    for (std::uint32_t vk = 0; vk < 256; ++vk) {
        send(WM_KEYDOWN, vk);
        const std::uint32_t bit = LSR_ll_input_get_keys(), code = LSR_input_keycode_for(vk);
        send(WM_KEYUP, vk);
        f.add(bit);
        f.add(code);
        if (bit != 0 || code != vk)
            map +=
                std::to_string(vk) + ":" + std::to_string(bit) + "/" + std::to_string(code) + " ";
    }
    EXPECT_EQ(f.sum, 0x43C04A12269BAF12u) << map;
}

TEST_F(Input, ControllersAreKeysMouseAndEachJoystickMapped) {
    EXPECT_EQ(LSR_input_initcontrollers(), 3);
    headless::set_joystick(PlatJoystick{0, 65535, 32767, 32766, 0xB0F}); // buttons 1-4, 9, 10, 12
    testing::internal::CaptureStdout();
    EXPECT_EQ(LSR_input_initcontrollers(), 7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "joystick found, id: 0\njoystick found, id: 1\njoystick found, id: 2\n"
              "joystick found, id: 3\n");
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, 'A');
    headless::set_pointer(12, 34);
    LSR_input_pollcontrollers();
    std::string rows;
    for (const auto& c : LSR_controller)
        rows += std::to_string(c.type) + " " + std::to_string(c.x) + " " + std::to_string(c.y) +
                " " + std::to_string(c.z) + " " + std::to_string(c.r) + " " +
                std::to_string(c.buttons) + "\n";
    const std::string joystick = "2 -128 128 0 -1 13808\n"; // buttons 0x35F0
    EXPECT_EQ(rows, "1 0 0 0 0 16\n3 0 0 0 0 65\n4 12 34 0 0 0\n" + joystick + joystick + joystick +
                        joystick + "0 0 0 0 0 0\n");
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

} // namespace
