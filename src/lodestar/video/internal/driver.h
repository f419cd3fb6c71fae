// The window driver: window placement, full screen, the window surface and showing it.
#pragma once

#include <atomic>
#include <cstdint>

#include "lodestar/platform_types.h"

// A caller-given drawing target (video.h).
struct LSR_DeviceContext;

// The surface header, as the original's bitmap-info header carries it.
struct LSR_SurfaceInfo {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: bottom-up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 32;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

// The program's window; the window thread sets it before the worker starts.
extern std::atomic<LSR_HWND> winhandle;
// The client size the window system last reported; the window procedure writes it.
extern std::atomic<std::int32_t> windowwidth;
extern std::atomic<std::int32_t> windowheight;

extern std::uint32_t win32_fullscreen;
extern void* dibarea;
extern LSR_SurfaceInfo dibinfo;

std::int32_t win32_initvideo(std::uint32_t width, std::uint32_t height, std::uint8_t bpp,
                             std::uint32_t fullscreen);
void win32_closevideo();
void win32_initwindow(std::uint32_t width, std::uint32_t height, std::uint32_t fullscreen);
void win32_closewindow();
// Points dibarea at the memory the next flip hands to the platform without a copy: the
// platform's, when it lends some, else the driver's own. Called before every transfer into the
// surface, except for a direct page, whose pixels stay where they are.
void win32_nextsurface();
void win32_flippage(LSR_HWND window);
void win32_fastflippage(LSR_HWND window);
std::int32_t win32_flippageHDC(LSR_DeviceContext* dc);
void WIN32_SetwindowTransparency();
