// The window procedure's message table and the raw input state it leaves.
#include <gtest/gtest.h>

#include "headless.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

namespace {

LRESULT send(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return WIN32_WndProc(nullptr, message, wparam, lparam);
}

class WindowProc : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (auto& k : LSR_keys) k.store(0);
        g_keycode = 0;
        g_mouse_buttons = 0;
        g_mouse_z = 0;
        g_mouse_zdir = 0;
        LSR_input_prevkeycode = 0;
    }
};

TEST_F(WindowProc, SizeTakesLowAndSignedHighHalf) {
    send(WM_SIZE, 0, LSR_MakeSizeParam(640, 480));
    EXPECT_EQ(windowwidth.load(), 640);
    EXPECT_EQ(windowheight.load(), 480);
    // The height is the high half shifted arithmetically: a top bit set reads negative.
    send(WM_SIZE, 0, static_cast<LPARAM>(0xFFFE0010u));
    EXPECT_EQ(windowwidth.load(), 16);
    EXPECT_EQ(windowheight.load(), -2);
}

TEST_F(WindowProc, KeysAreRecordedAndReleasedOneByOne) {
    EXPECT_EQ(send(WM_KEYDOWN, VK_UP), 0);
    EXPECT_EQ(LSR_keys[VK_UP].load(), 1u);
    EXPECT_EQ(g_keycode.load(), VK_UP);
    // Only the low byte of wparam names the key.
    send(WM_KEYDOWN, 0x100 | VK_SPACE);
    EXPECT_EQ(LSR_keys[VK_SPACE].load(), 1u);
    send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(LSR_keys[VK_SPACE].load(), 0u);
    EXPECT_EQ(LSR_keys[VK_UP].load(), 1u);
    // Auto-repeat sets the same entry again.
    send(WM_KEYDOWN, VK_UP);
    send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(LSR_keys[VK_UP].load(), 1u);
    // System keys are not recorded.
    send(WM_SYSKEYDOWN, VK_MENU);
    EXPECT_EQ(LSR_keys[VK_MENU].load(), 0u);
    EXPECT_EQ(g_keycode.load(), VK_UP);
}

TEST_F(WindowProc, KeyCodeFollowsTheLastPressedKeyInEitherReleaseOrder) {
    // Release the first of two held keys: the code stays at the second.
    send(WM_KEYDOWN, 'A');
    send(WM_KEYDOWN, 'B');
    send(WM_KEYUP, 'A');
    EXPECT_EQ(g_keycode.load(), std::uint32_t{'B'});
    send(WM_KEYUP, 'B');
    EXPECT_EQ(g_keycode.load(), 0u);

    // Release the second first: the code goes to 0 and stays there.
    send(WM_KEYDOWN, 'A');
    send(WM_KEYDOWN, 'B');
    LSR_input_prevkeycode = 'B';
    send(WM_KEYUP, 'B');
    EXPECT_EQ(g_keycode.load(), 0u);
    EXPECT_EQ(LSR_input_prevkeycode.load(), 0u);
    send(WM_KEYUP, 'A');
    EXPECT_EQ(g_keycode.load(), 0u);
}

TEST_F(WindowProc, MouseButtonsSetAndClearTheirOwnBits) {
    send(WM_LBUTTONDOWN);
    send(WM_MBUTTONDOWN);
    EXPECT_EQ(g_mouse_buttons.load(), 5u);
    send(WM_RBUTTONDOWN);
    send(WM_LBUTTONUP);
    EXPECT_EQ(g_mouse_buttons.load(), 6u);
    send(WM_MBUTTONUP);
    send(WM_RBUTTONUP);
    EXPECT_EQ(g_mouse_buttons.load(), 0u);
}

TEST_F(WindowProc, WheelDeltaIsTheSignedHighHalf) {
    send(WM_MOUSEWHEEL, static_cast<WPARAM>(120u << 16));
    EXPECT_EQ(g_mouse_z.load(), 1);
    EXPECT_EQ(g_mouse_zdir.load(), 1);
    send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16);
    send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<std::uint16_t>(-240)) << 16 | 0x8);
    EXPECT_EQ(g_mouse_z.load(), -1);
    EXPECT_EQ(g_mouse_zdir.load(), -1);
    send(WM_MOUSEWHEEL, 0x0008); // key flags only, no delta
    EXPECT_EQ(g_mouse_z.load(), -1);
    EXPECT_EQ(g_mouse_zdir.load(), 0);
}

TEST_F(WindowProc, ScreenSaverAndMonitorPowerAreSwallowedAndActivationIsKept) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER | 0x2), 0);
    send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(appactive.load(), 1u);
    send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(appactive.load(), 0u);
}

TEST_F(WindowProc, PointerIsHiddenOnlyOverTheClientArea) {
    send(WM_SIZE, 0, LSR_MakeSizeParam(640, 480));
    headless::set_pointer(700, 10);
    send(WM_MOUSEMOVE);
    EXPECT_TRUE(headless::window().cursor_visible);
    headless::set_pointer(639, 479);
    send(WM_MOUSEMOVE);
    EXPECT_FALSE(headless::window().cursor_visible);
}

TEST_F(WindowProc, CloseAndDestroyPostTheQuitMessage) {
    LSR_MSG m;
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_FALSE(plat_get_message(&m));
    headless::reset();
    EXPECT_EQ(send(WM_DESTROY), 0);
    EXPECT_FALSE(plat_get_message(&m));
}

// The frame both ways: the outer box of a client area, and the client area inside it again.
TEST(WindowFrame, OuterAndClientBoxesDifferByTheBorders) {
    struct Case {
        std::int32_t x, y, width, height, outer_width, outer_height;
    };
    const Case cases[] = {
        {200, 200, 320, 240, 328, 267}, // the window WinMain makes
        {200, 200, 640, 480, 648, 507}, // the program's page
        {-10, 5, 0, 0, 8, 27},          // nothing but the frame
    };
    for (const Case& c : cases) {
        const LSR_WindowBox outer = LSR_OuterBox(c.x, c.y, c.width, c.height);
        EXPECT_EQ(outer.x, c.x);
        EXPECT_EQ(outer.y, c.y);
        EXPECT_EQ(outer.width, c.outer_width);
        EXPECT_EQ(outer.height, c.outer_height);
        const LSR_WindowBox client = LSR_ClientBox(outer);
        EXPECT_EQ(client.x, c.x + 4) << "left border";
        EXPECT_EQ(client.y, c.y + 23) << "title bar";
        EXPECT_EQ(client.width, c.width);
        EXPECT_EQ(client.height, c.height);
    }
}

} // namespace
