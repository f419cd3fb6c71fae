// The window driver: window placement, full screen, the window surface and showing it, joystick.
#pragma once

#include <cstdint>
#include <vector>

#include "lodestar/frame/window.h"

// A caller-given drawing target for LSR_SwapBufferHDC: a block of memory the caller owns, rows top
// first, pitch bytes apart, in the page's pixel format (bpp 16 or 32). A flip copies the surface
// into it one to one, upright, clipped to the smaller of the two sizes.
struct LSR_DeviceContext {
    void* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0; // bytes from one row to the next
    std::int32_t bpp = 32;
};

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

extern std::uint32_t win32_fullscreen;
extern void* dibarea;
extern LSR_SurfaceInfo dibinfo;

std::int32_t win32_initvideo(std::uint32_t width, std::uint32_t height, std::uint8_t bpp,
                             std::uint32_t fullscreen);
void win32_closevideo();
void win32_initwindow(std::uint32_t width, std::uint32_t height, std::uint32_t fullscreen);
void win32_closewindow();
void win32_flippage(LSR_HWND window);
void win32_fastflippage(LSR_HWND window);
std::int32_t win32_flippageHDC(LSR_DeviceContext* dc);
void win32_initinput();
void win32_closeinput();
void win32_checkkeys();
std::int32_t win32_initjoystick();
void win32_checkjoystick(std::int32_t index, std::int32_t* x, std::int32_t* y, std::int32_t* z,
                         std::int32_t* r, std::int32_t* buttons);
void WIN32_SetwindowTransparency();
