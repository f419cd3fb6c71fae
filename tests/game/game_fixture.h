// Shared set-up for the device and game tests: a fresh headless library with its 640x480 page and
// a fresh device, and keys pressed through the window procedure.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "fnv.h"
#include "headless.h"
#include "leds.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"
#include "lodestar/video/video.h"
#include "meggyjr/simple.h"

inline void press(std::uint32_t vk) {
    WIN32_WndProc(nullptr, WM_KEYDOWN, vk, 0);
}
inline void release(std::uint32_t vk) {
    WIN32_WndProc(nullptr, WM_KEYUP, vk, 0);
}
// The keys of the device's buttons A, B, Up, Down, Left, Right, and Shift and Return (no button).
inline std::uint32_t vk_of(char button) {
    constexpr std::uint32_t vks[] = {VK_SPACE, VK_CONTROL, VK_UP,    VK_DOWN,
                                     VK_LEFT,  VK_RIGHT,   VK_SHIFT, VK_RETURN};
    return vks[std::string_view("ABUDLRSE").find(button)];
}

class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    static void reset() {
        headless::reset();
        for (auto& key : LSR_keys) key.store(0, std::memory_order_relaxed);
        g_keycode.store(0, std::memory_order_relaxed);
        winhandle = plat_create_window(LSR_ID, "test", LSR_WINDOW_STYLE, 200, 200, 328, 267);
        LSR_Initialise();
        LSR_InitVideo(640, 480, 32, 0);
        LSR_ClearBitmap(LSR_screenbitmap);
        InitColors();
        MeggyJr::SoundAllowed = 0;
        const MeggyJr fresh;
        ClearSlate();
        PINC = lastButtonState = Button_A = Button_B = Button_Up = Button_Down = Button_Left =
            Button_Right = 0;
    }
};
