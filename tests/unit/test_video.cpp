// The video page: depth, scale modes, presentation, frame clock, colours and full screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "headless.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"
#include "lodestar/video/video.h"
#include "picture.h"

namespace {

class Video : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        win32_fullscreen = 0;
        winhandle = plat_create_window(LSR_ID, "t", LSR_WINDOW_STYLE, 200, 200, 328, 267);
        LSR_Initialise();
    }
    void TearDown() override { picture::set_depth(false); }
};

// The last presented frame, rows from the top, as colours.
::testing::AssertionResult shown(std::string_view grid, const picture::Legend& legend) {
    const auto p = headless::last_present();
    const auto colour = [&p](int x, int y) -> std::uint32_t {
        if (p.bpp == 32) return p.pixel32(x, y);
        std::uint16_t word;
        std::memcpy(&word, p.pixels.data() + 2 * ((p.height - 1 - y) * p.width + x), 2);
        return TarnBlit_color16to24(word);
    };
    return picture::matches(p.width, p.height, colour, 0, 0, grid, legend);
}

const picture::Legend k_legend = {{'.', 0}, {'a', 0xF80000}, {'b', 0x00F800}, {'c', 0x0000F8}};

// The surface is stored bottom row first; a doubled page is shown doubled and never stretched.
// 32 bits asked for win over the 16-bit flag.
TEST_F(Video, PagesArePresentedUprightAtEitherDepthAndDoubled) {
    for (auto [bpp, flags, sixteen] : {std::tuple{16, 0, false},
                                       {16, 0x10, true},
                                       {32, 0x10, false},
                                       {16, 0x1000, false},
                                       {16, 0x2010, true}}) {
        LSR_InitVideo(3, 2, bpp, flags);
        EXPECT_EQ(std::pair(LSR_video.bpp, LSR_video.flags & 0x10),
                  std::pair(sixteen ? 16u : 32u, sixteen ? 0x10u : 0))
            << flags;
        LSR_DrawBitmap(0, 0, picture::make("ab.\n..c", k_legend).get(), LSR_screenbitmap);
        LSR_SwapBuffers();
        EXPECT_FALSE(headless::last_present().stretch);
        EXPECT_TRUE(shown(flags < 0x1000 ? "ab.\n..c" : "aabb..\naabb..\n....cc\n....cc", k_legend))
            << flags;
    }
    for (auto [flags, mode] : {std::pair{0x3000, 3u}, {0x4000, 4u}, {0x7000, 4u}}) {
        LSR_InitVideo(32, 24, 32, flags);
        EXPECT_EQ(
            std::tuple(LSR_video.scalemode, LSR_screenbitmap2.width, LSR_screenbitmap2.height),
            std::tuple(mode, 64, 48));
    }
}

TEST_F(Video, TheProgramsPageInAWindowThatDecidesCopyOrStretch) {
    LSR_InitVideo(640, 480, 32, 0);
    EXPECT_EQ(LSR_video_updatespeed, 20u);
    const auto w = headless::window(); // a 648 by 507 frame at (200, 200)
    EXPECT_EQ(std::tuple(w.outer_width, w.outer_height, w.cursor_visible),
              std::tuple(648, 507, true));
    for (auto [cw, ch, stretch] :
         {std::tuple{800, 600, true}, {640, 600, true}, {640, 480, false}}) {
        WIN32_WndProc(nullptr, WM_SIZE, 0, LSR_MakeSizeParam(cw, ch));
        LSR_SwapBuffers();
        const auto p = headless::last_present();
        EXPECT_EQ(std::tuple(p.stretch, p.dst_width, p.dst_height), std::tuple(stretch, cw, ch));
    }
    // Presenting into no window counts the frame but shows nothing.
    const std::uint32_t shown_before = headless::present_count(), frames = LSR_video_numframes;
    LSR_SwapBufferHWND(nullptr);
    EXPECT_EQ(std::pair(headless::present_count(), LSR_video_numframes),
              std::pair(shown_before, frames + 1));
}

// Refresh rates set the frame time, a rate of 0 keeps it; the wait pads a frame to it on the
// virtual clock; frames are counted per second.
TEST_F(Video, FrameClock) {
    for (auto [rate, ms] : {std::pair{70, 14u}, {-25, 25u}, {2000, 1u}, {50, 20u}, {0, 20u}}) {
        LSR_SetRefreshRate(rate);
        EXPECT_EQ(LSR_video_updatespeed, ms) << rate;
    }
    LSR_InitVideo(16, 16, 32, 0);
    const std::uint32_t start = LSR_timer_getmillis();
    headless::advance(45);
    EXPECT_FLOAT_EQ(LSR_WaitRefresh(), 2.25f);
    EXPECT_EQ(LSR_timer_getmillis(), start + 45); // no waiting
    headless::advance(5);
    EXPECT_GE(LSR_WaitRefresh(), 1.0f);
    EXPECT_EQ(LSR_timer_getmillis(), start + 65); // waited until 20 ms had passed
    EXPECT_EQ(LSR_video_time, start + 65);
    LSR_video_oldtime = LSR_timer_getmillis();
    for (int i = 0; i < 7; ++i) LSR_SwapBuffers();
    headless::advance(999);
    EXPECT_EQ(LSR_GetFPS(), 0u);
    headless::advance(1);
    EXPECT_EQ(LSR_GetFPS(), 7u);
    LSR_SwapBuffers();
    EXPECT_EQ(LSR_GetFPS(), 7u); // the count of the last completed second
}

TEST_F(Video, ColourTableFullScreenAndTargets) {
    std::uint8_t rgb[18] = {}; // entry i at 3 i
    rgb[15] = 255, rgb[16] = 128;
    for (auto [flags, want] : {std::pair{0, 0xFF8000u}, {0x10, 0x7E00u}}) { // 5-5-5 at 16 bits
        LSR_InitVideo(16, 16, 16, flags);
        LSR_SetColors(rgb, 1, 5);
        EXPECT_EQ(LSR_colortab[5], want);
    }
    LSR_InitVideo(320, 240, 32, LSR_VIDEO_FULLSCREEN);
    auto w = headless::window();
    EXPECT_EQ(std::tuple(w.popup, w.display_width, w.display_bits, w.cursor_visible),
              std::tuple(true, 320, 32, false));
    EXPECT_EQ(win32_fullscreen, 1u);
    LSR_CloseVideo();
    EXPECT_EQ(headless::window().display_width, 0); // desktop mode back
    headless::reset();
    win32_fullscreen = 0;
    headless::set_display_mode_result(false);
    EXPECT_NE(picture::printed([] {
                  LSR_InitVideo(320, 240, 16, 0x11);
              }).find("- Couldn't switch to fullscreen, switching to windowed mode\n"),
              std::string::npos);
    w = headless::window();
    EXPECT_EQ(std::tuple(w.outer_width, w.outer_height, win32_fullscreen),
              std::tuple(328, 267, 0u));
    // A caller's target: rows top first, clipped to it; a wrong depth or pitch is refused.
    LSR_InitVideo(4, 3, 32, 0);
    for (int i = 0; i < 12; ++i) static_cast<std::uint32_t*>(LSR_screenbitmap.data)[i] = 0x100u + i;
    std::uint32_t target[6] = {};
    LSR_DeviceContext dc{target, 2, 3, 8, 32};
    EXPECT_NE(LSR_SwapBufferHDC(&dc), 0);
    EXPECT_EQ(std::vector<std::uint32_t>(target, target + 6),
              (std::vector<std::uint32_t>{0x100, 0x101, 0x104, 0x105, 0x108, 0x109}));
    for (auto [pitch, bpp] : {std::pair{8, 16}, {4, 32}, {-8, 32}}) {
        LSR_DeviceContext wrong{target, 2, 3, pitch, bpp};
        EXPECT_EQ(LSR_SwapBufferHDC(&wrong), 0) << pitch;
    }
    EXPECT_EQ(LSR_SwapBufferHDC(nullptr), 0);
    // The page goes straight into memory the platform lends, which a present hands over: a
    // transfer afterwards goes elsewhere and leaves the frame handed over alone.
    LSR_SwapBuffers();
    const auto handed = headless::last_present().pixels;
    LSR_ClearColorBitmap(LSR_screenbitmap, 0x22);
    EXPECT_NE(LSR_SwapBufferHDC(&dc), 0);
    EXPECT_EQ(target[5], 0x22u);
    EXPECT_EQ(headless::last_present().pixels, handed);
    LSR_SwapBuffers();
    EXPECT_EQ(headless::last_present().pixel32(3, 2), 0x22u);
    // A direct page is the surface's own memory: it stays, and closing frees nothing and says
    // nothing.
    LSR_InitVideo(8, 4, 32, LSR_VIDEO_DIRECT);
    void* const page = LSR_GetVideoBuffer();
    EXPECT_EQ(page, dibarea);
    static_cast<std::uint32_t*>(page)[0] = 0x33; // the bottom row: the surface is bottom-up
    LSR_SwapBuffers(), LSR_SwapBuffers();
    EXPECT_EQ(LSR_GetVideoBuffer(), page); // the same pixels from present to present
    EXPECT_EQ(headless::last_present().pixel32(0, 3), 0x33u);
    EXPECT_EQ(picture::printed(LSR_CloseVideo), "");
}

} // namespace
