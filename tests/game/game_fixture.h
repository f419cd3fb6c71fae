// Shared set-up for the device and game tests: a fresh headless library with its 640x480 page,
// keys pressed through the window procedure, and the slate and the LEDs read as pictures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

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

// The slate's colour indices, rows from the top: the same characters as the painted LEDs, and
// digits for the indices below 10.
inline ::testing::AssertionResult slate_shows(std::string_view grid) {
    static const picture::Legend legend = [] {
        picture::Legend l = {{'.', 0},  {'p', 16}, {'q', 17}, {'r', 18}, {'s', 19},
                             {'A', 20}, {'B', 21}, {'C', 22}, {'D', 23}};
        for (std::uint32_t i = 1; i < 10; ++i) l[static_cast<char>('0' + i)] = i;
        return l;
    }();
    return picture::matches(
        8, 8, [](int x, int y) { return std::uint32_t{GameSlate[x * 8 + 7 - y]}; }, 0, 0, grid,
        legend);
}

// The LEDs of the last presented page.
inline ::testing::AssertionResult leds_shown(std::string_view grid) {
    const headless::Present page = headless::last_present();
    return leds::show([&page](int x, int y) { return page.pixel32(x, y); }, grid);
}

class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        for (auto& key : LSR_keys) key.store(0, std::memory_order_relaxed);
        g_keycode.store(0, std::memory_order_relaxed);
        winhandle = plat_create_window(LSR_ID, "test", LSR_WINDOW_STYLE, 200, 200, 328, 267);
        LSR_Initialise();
        LSR_InitVideo(640, 480, 32, 0);
        LSR_ClearBitmap(LSR_screenbitmap);
        MeggyJr::SoundAllowed = 0;
        const MeggyJr fresh;
        ClearSlate();
    }
};
