// The video page: formats, scale modes, frame clock, colours, presentation and full screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

namespace {

class Video : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        win32_fullscreen = 0;
        winhandle = plat_create_window(LSR_ID, "t", LSR_WINDOW_STYLE, 200, 200, 328, 267);
        LSR_Initialise();
    }
};

TEST_F(Video, TheProgramsPage) {
    LSR_InitVideo(640, 480, 32, 0);
    EXPECT_EQ(LSR_video.bpp, 32u);
    EXPECT_EQ(LSR_video_updatespeed, 20u);
    // A 648 by 507 frame at (200, 200), with a black 640 by 480 picture shown one to one.
    const auto w = headless::window();
    EXPECT_EQ(w.outer_width, 648);
    EXPECT_EQ(w.outer_height, 507);
    EXPECT_TRUE(w.cursor_visible);
    const auto p = headless::last_present();
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_FALSE(p.stretch);
    EXPECT_EQ(p.pixel32(0, 0) | p.pixel32(639, 479) | p.pixel32(320, 240), 0u);
}

TEST_F(Video, DepthComesFromTheSixteenBitFlagOnly) {
    LSR_InitVideo(64, 48, 16, 0);
    EXPECT_EQ(LSR_video.bpp, 32u);
    LSR_InitVideo(64, 48, 32, 0x10);
    EXPECT_EQ(LSR_video.bpp, 32u);
    EXPECT_EQ(LSR_video.flags, 0u);
    LSR_InitVideo(64, 48, 16, 0x10);
    EXPECT_EQ(LSR_video.bpp, 16u);
    EXPECT_EQ(LSR_screenbitmap.size, 64 * 48 * 2);
}

TEST_F(Video, ScaleModesDoubleTheSurface) {
    const std::pair<std::int32_t, std::uint32_t> cases[] = {
        {0x1000, 1}, {0x2000, 2}, {0x3000, 3}, {0x4000, 4}, {0x7000, 4}};
    for (const auto& [flags, mode] : cases) {
        LSR_InitVideo(32, 24, 32, flags);
        EXPECT_EQ(LSR_video.scalemode, mode);
        EXPECT_EQ(LSR_screenbitmap2.width, 64);
        EXPECT_EQ(LSR_screenbitmap2.height, 48);
        LSR_DeleteBitmap(&LSR_screenbitmap2);
    }
}

TEST_F(Video, DoubledPageIsShownDoubledAndUpright) {
    LSR_InitVideo(4, 2, 32, 0x1000); // pixel doubling
    auto* px = static_cast<std::uint32_t*>(LSR_screenbitmap.data);
    px[0] = 0x112233; // top-left
    px[7] = 0x445566; // bottom-right
    LSR_SwapBuffers();
    const auto p = headless::last_present();
    ASSERT_EQ(p.width, 8);
    ASSERT_EQ(p.height, 4);
    EXPECT_FALSE(p.stretch); // the doubled surface is never stretched
    EXPECT_EQ(p.pixel32(0, 0), 0x112233u);
    EXPECT_EQ(p.pixel32(1, 1), 0x112233u);
    EXPECT_EQ(p.pixel32(7, 3), 0x445566u);
    EXPECT_EQ(p.pixel32(2, 0), 0u);

    // A 16-bit page is doubled too.
    LSR_InitVideo(2, 2, 16, 0x10 | 0x2000);
    static_cast<std::uint16_t*>(LSR_screenbitmap.data)[1] = 0x7C00;
    LSR_SwapBuffers();
    const auto q = headless::last_present();
    ASSERT_EQ(q.bpp, 16);
    std::uint16_t v;
    std::memcpy(&v, q.pixels.data() + (3 * 4 + 3) * 2, 2); // row 0 from the top, column 3
    EXPECT_EQ(v, 0x7C00);
}

TEST_F(Video, TransferPutsRowZeroAtTheTop) {
    LSR_InitVideo(3, 3, 32, 0);
    auto* px = static_cast<std::uint32_t*>(LSR_screenbitmap.data);
    px[0] = 0xAA;
    px[8] = 0xBB;
    LSR_SwapBuffers();
    const auto p = headless::last_present();
    std::uint32_t last_row_first;
    std::memcpy(&last_row_first, p.pixels.data() + 6 * 4, 4);
    EXPECT_EQ(last_row_first, 0xAAu); // stored in the surface's last row
    EXPECT_EQ(p.pixel32(0, 0), 0xAAu);
    EXPECT_EQ(p.pixel32(2, 2), 0xBBu);

    // A 16-bit page of odd width keeps its last column.
    LSR_InitVideo(3, 2, 16, 0x10);
    auto* p16 = static_cast<std::uint16_t*>(LSR_screenbitmap.data);
    p16[2] = 0x1234;
    LSR_SwapBuffers();
    const auto q = headless::last_present();
    std::uint16_t v;
    std::memcpy(&v, q.pixels.data() + (3 + 2) * 2, 2);
    EXPECT_EQ(v, 0x1234);
}

TEST_F(Video, ClientSizeDecidesCopyOrStretch) {
    LSR_InitVideo(640, 480, 32, 0);
    WIN32_WndProc(nullptr, WM_SIZE, 0, LSR_MakeSizeParam(800, 600));
    LSR_SwapBuffers();
    auto p = headless::last_present();
    EXPECT_TRUE(p.stretch);
    EXPECT_EQ(p.dst_width, 800);
    EXPECT_EQ(p.dst_height, 600);
    WIN32_WndProc(nullptr, WM_SIZE, 0, LSR_MakeSizeParam(640, 480));
    LSR_SwapBuffers();
    EXPECT_FALSE(headless::last_present().stretch);

    // Presenting into no window counts the frame but shows nothing.
    const std::uint32_t shown = headless::present_count();
    const std::uint32_t frames = LSR_video_numframes;
    LSR_SwapBufferHWND(nullptr);
    EXPECT_EQ(headless::present_count(), shown);
    EXPECT_EQ(LSR_video_numframes, frames + 1);
}

TEST_F(Video, RefreshRates) {
    LSR_SetRefreshRate(70);
    EXPECT_EQ(LSR_video_updatespeed, 14u);
    LSR_SetRefreshRate(-25);
    EXPECT_EQ(LSR_video_updatespeed, 25u);
    LSR_SetRefreshRate(2000);
    EXPECT_EQ(LSR_video_updatespeed, 1u);
    LSR_SetRefreshRate(50);
    LSR_SetRefreshRate(0); // keeps the previous frame time
    EXPECT_EQ(LSR_video_updatespeed, 20u);
}

TEST_F(Video, FramePacingOnTheVirtualClock) {
    LSR_InitVideo(16, 16, 32, 0);
    const std::uint32_t start = LSR_timer_getmillis();
    headless::advance(45);
    EXPECT_FLOAT_EQ(LSR_WaitRefresh(), 2.25f);
    EXPECT_EQ(LSR_timer_getmillis(), start + 45); // no waiting

    headless::advance(5);
    const float r = LSR_WaitRefresh();
    EXPECT_GE(r, 1.0f);
    EXPECT_EQ(LSR_timer_getmillis(), start + 65); // waited until 20 ms had passed
    EXPECT_EQ(LSR_video_time, start + 65);
}

TEST_F(Video, FramesPerSecondRollsOverAfterASecond) {
    LSR_InitVideo(16, 16, 32, 0);
    LSR_video_oldtime = LSR_timer_getmillis();
    for (int i = 0; i < 7; ++i) LSR_SwapBuffers();
    headless::advance(999);
    EXPECT_EQ(LSR_GetFPS(), 0u);
    headless::advance(1);
    EXPECT_EQ(LSR_GetFPS(), 7u);
    EXPECT_EQ(LSR_video_numframes, 0u);
    LSR_SwapBuffers();
    EXPECT_EQ(LSR_GetFPS(), 7u); // the count of the last completed interval
}

TEST_F(Video, ColourTableInBothDepths) {
    std::uint8_t rgb[18] = {};
    rgb[15] = 255;
    rgb[16] = 128;
    rgb[17] = 0;
    LSR_InitVideo(16, 16, 32, 0);
    LSR_SetColors(rgb, 1, 5);
    EXPECT_EQ(LSR_colortab[5], 0xFF8000u);
    LSR_InitVideo(16, 16, 16, 0x10);
    LSR_SetColors(rgb, 1, 5);
    EXPECT_EQ(LSR_colortab[5], 0x7E00u);
}

TEST_F(Video, FullScreenAndItsFallback) {
    LSR_InitVideo(320, 240, 32, LSR_VIDEO_FULLSCREEN);
    auto w = headless::window();
    EXPECT_TRUE(w.popup);
    EXPECT_EQ(w.display_width, 320);
    EXPECT_EQ(w.display_bits, 32);
    EXPECT_FALSE(w.cursor_visible);
    EXPECT_EQ(win32_fullscreen, 1u);
    LSR_CloseVideo();
    EXPECT_EQ(headless::window().display_width, 0); // desktop mode back

    headless::reset();
    win32_fullscreen = 0;
    headless::set_display_mode_result(false);
    testing::internal::CaptureStdout();
    LSR_InitVideo(320, 240, 16, 0x11);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "- Couldn't switch to fullscreen, switching to windowed mode\n"),
              std::string::npos);
    w = headless::window();
    EXPECT_EQ(w.outer_width, 328);
    EXPECT_EQ(w.outer_height, 267);
    EXPECT_EQ(win32_fullscreen, 0u);
}

TEST_F(Video, FlipIntoACallersTarget) {
    LSR_InitVideo(4, 3, 32, 0);
    auto* px = static_cast<std::uint32_t*>(LSR_screenbitmap.data);
    for (int i = 0; i < 12; ++i) px[i] = 0x100u + static_cast<std::uint32_t>(i);
    std::uint32_t target[2 * 3] = {};
    LSR_DeviceContext dc{target, 2, 3, 2 * 4, 32};
    EXPECT_NE(LSR_SwapBufferHDC(&dc), 0);
    EXPECT_EQ(target[0], 0x100u);
    EXPECT_EQ(target[1], 0x101u);
    EXPECT_EQ(target[4], 0x108u); // upright and clipped to the target
    LSR_DeviceContext wrong{target, 2, 3, 8, 16};
    EXPECT_EQ(LSR_SwapBufferHDC(&wrong), 0);
    EXPECT_EQ(LSR_SwapBufferHDC(nullptr), 0);
}

// The page goes straight into memory the platform lends, which a present hands over: the next
// transfer goes elsewhere, so a frame handed over is never written again.
TEST_F(Video, AFrameHandedOverIsNeverWrittenAgain) {
    LSR_InitVideo(4, 3, 32, 0);
    auto* px = static_cast<std::uint32_t*>(LSR_screenbitmap.data);
    std::fill(px, px + 12, 0x11u);
    LSR_SwapBuffers();
    const std::vector<std::uint8_t> first = headless::last_present().pixels;
    std::fill(px, px + 12, 0x22u);
    std::uint32_t target[4 * 3] = {};
    LSR_DeviceContext dc{target, 4, 3, 4 * 4, 32};
    ASSERT_NE(LSR_SwapBufferHDC(&dc), 0); // a transfer into the surface, and no present
    EXPECT_EQ(target[11], 0x22u);
    EXPECT_EQ(headless::last_present().pixels, first);
    LSR_SwapBuffers();
    EXPECT_EQ(headless::last_present().pixel32(3, 2), 0x22u);
}

TEST_F(Video, DirectPageIsTheSurface) {
    LSR_InitVideo(8, 4, 32, 0);
    LSR_SwapBuffers(); // the surface was lent memory; a direct page has the driver's own
    LSR_InitVideo(8, 4, 32, LSR_VIDEO_DIRECT);
    EXPECT_EQ(LSR_video.flags & LSR_VIDEO_DIRECT, LSR_VIDEO_DIRECT);
    EXPECT_EQ(LSR_GetVideoBuffer(), dibarea);
    // Its pixels stay where they are from present to present.
    void* const page = LSR_GetVideoBuffer();
    static_cast<std::uint32_t*>(page)[0] = 0x33; // the bottom row: the surface is bottom-up
    LSR_SwapBuffers();
    LSR_SwapBuffers();
    EXPECT_EQ(LSR_GetVideoBuffer(), page);
    EXPECT_EQ(headless::last_present().pixel32(0, 3), 0x33u);
    // Its memory belongs to the surface: closing frees nothing and says nothing.
    testing::internal::CaptureStdout();
    LSR_CloseVideo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
