// Shared set-up for the device and game tests: a fresh headless library with its 640x480 page.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "headless.h"
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

// The presented colour at (x, y), y from the top, without the unused top byte.
inline std::uint32_t shown(const headless::Present& p, int x, int y) {
    return p.pixel32(x, y) & 0xFFFFFFu;
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
    }
};
