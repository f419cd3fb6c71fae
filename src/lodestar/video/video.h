// The video page: opening it in its pixel format, presentation into the window surface and the
// frame clock.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/platform_types.h"

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

extern LSR_Bitmap LSR_screenbitmap;
extern LSR_Bitmap LSR_screenbitmap2;
extern std::uint32_t LSR_colortab[256];
extern std::uint32_t LSR_video_updatespeed;
extern std::uint32_t LSR_video_time;
extern std::uint32_t LSR_video_oldtime;
extern std::uint32_t LSR_video_numframes;
extern std::uint32_t LSR_video_fps;

std::int32_t LSR_InitVideo(std::uint32_t width, std::uint32_t height, std::int32_t bpp,
                           std::int32_t flags);
std::int32_t LSR_CloseVideo();
void* LSR_GetVideoBuffer();
void LSR_SetColors(const std::uint8_t* rgb, std::int32_t count, std::int32_t first);
void LSR_SetRefreshRate(std::int32_t rate);
std::uint32_t LSR_GetFPS();
float LSR_WaitRefresh();
void LSR_SwapBuffers();
void LSR_SwapBufferHWND(LSR_HWND window);
std::int32_t LSR_SwapBufferHDC(LSR_DeviceContext* dc);
void LSR_video_drawvpage16(void* surface, std::int32_t scaled);
void LSR_video_drawvpage32(void* surface, std::int32_t scaled);
