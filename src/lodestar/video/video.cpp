// The video page: opening it in its pixel format, the frame clock, and presenting it.
#include "lodestar/video/video.h"

#include <cstring>

#include "lodestar/base/internal/page_depth.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"

LSR_Bitmap LSR_screenbitmap;
LSR_Bitmap LSR_screenbitmap2;
std::uint32_t LSR_colortab[256];
std::uint32_t LSR_video_updatespeed = 20;
std::uint32_t LSR_video_time = 0;
std::uint32_t LSR_video_oldtime = 0;
std::uint32_t LSR_video_numframes = 0;
std::uint32_t LSR_video_fps = 0;

namespace {

struct Format {
    std::uint32_t bytes, masks[3], shifts[3], bits[3];
};
constexpr Format k_format32{4, {0xFF0000, 0x00FF00, 0x0000FF}, {16, 8, 0}, {8, 8, 8}};
constexpr Format k_format16{2, {0x7C00, 0x03E0, 0x001F}, {10, 5, 0}, {5, 5, 5}};

// Writes source row r to surface row (rows - 1 - r): the surface is stored bottom row first.
// Rows are copied whole, so a 16-bit page of odd width is copied correctly too.
template <lsr::PagePixel P> void transfer(void* surface, const LSR_Bitmap& source) {
    if (surface == nullptr || source.data == nullptr) return;
    const auto row_bytes = static_cast<std::size_t>(source.width) * sizeof(P);
    const auto* src = static_cast<const std::uint8_t*>(source.data);
    auto* dst = static_cast<std::uint8_t*>(surface);
    for (std::int32_t r = 0; r < source.height; ++r)
        std::memcpy(dst + static_cast<std::size_t>(source.height - 1 - r) * row_bytes,
                    src + static_cast<std::size_t>(r) * row_bytes, row_bytes);
}

// The 2x scaler works on 32-bit pixels only; a 16-bit page is shown doubled by plain pixel
// doubling instead of not at all.
void double16(const LSR_Bitmap& src, const LSR_Bitmap& dst) {
    if (src.data == nullptr || dst.data == nullptr) return;
    const auto* s = static_cast<const std::uint16_t*>(src.data);
    auto* d = static_cast<std::uint16_t*>(dst.data);
    for (std::int32_t y = 0; y < src.height && 2 * y + 1 < dst.height; ++y)
        for (std::int32_t x = 0; x < src.width && 2 * x + 1 < dst.width; ++x) {
            const std::uint16_t p = s[static_cast<std::size_t>(y) * src.width + x];
            const std::size_t top = static_cast<std::size_t>(2 * y) * dst.width + 2 * x;
            d[top] = d[top + 1] = p;
            d[top + dst.width] = d[top + dst.width + 1] = p;
        }
}

// The page's first two steps of every present; returns true when the surface was filled
// for the doubled path.
bool prepare_surface() {
    if ((LSR_video.flags & LSR_VIDEO_DIRECT) != 0) {
        LSR_screenbitmap.data = dibarea;
        return false;
    }
    const bool doubled = LSR_video.scalemode > 0;
    win32_nextsurface();
    lsr::at_page_depth([&](auto pixel) {
        using P = decltype(pixel);
        if (doubled) {
            if constexpr (sizeof(P) == 2)
                double16(LSR_screenbitmap, LSR_screenbitmap2);
            else
                LSR_ScaleBitmap2x(LSR_screenbitmap, LSR_screenbitmap2,
                                  static_cast<std::int32_t>(LSR_video.scalemode));
        }
        transfer<P>(dibarea, doubled ? LSR_screenbitmap2 : LSR_screenbitmap);
    });
    return doubled;
}

// Releases the page and the doubled buffer; a direct page's pixels are the surface's.
void release_pages() {
    if ((LSR_video.flags & LSR_VIDEO_DIRECT) != 0)
        LSR_screenbitmap.data = nullptr;
    else
        LSR_DeleteBitmap(&LSR_screenbitmap);
    LSR_DeleteBitmap(&LSR_screenbitmap2);
}

} // namespace

std::int32_t LSR_InitVideo(std::uint32_t width, std::uint32_t height, std::int32_t bpp,
                           std::int32_t flags) {
    const auto f = static_cast<std::uint32_t>(flags);
    release_pages(); // a second opening does not lose the first page
    LSR_video.width = width;
    LSR_video.height = height;

    const bool sixteen = (f & LSR_VIDEO_16BIT) != 0 && bpp != 32;
    LSR_video.bpp = sixteen ? 16 : 32;
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;

    // The scale field holds the 2x scaler's mode, 1 to 3; its own flag asks for mode 4.
    const std::uint32_t scale = (f & LSR_VIDEO_SCALE4) != 0
                                    ? std::uint32_t{LSR_SCALE2X_CHECKERS}
                                    : (f & LSR_VIDEO_SCALE) / LSR_VIDEO_SCALE1;
    LSR_video.scalemode = scale;

    const Format& fmt = sixteen ? k_format16 : k_format32;
    LSR_video.pitch = width;
    LSR_video.bytesperpixel = fmt.bytes;
    LSR_video.redmask = fmt.masks[0];
    LSR_video.greenmask = fmt.masks[1];
    LSR_video.bluemask = fmt.masks[2];
    LSR_video.redshift = fmt.shifts[0];
    LSR_video.greenshift = fmt.shifts[1];
    LSR_video.blueshift = fmt.shifts[2];
    LSR_video.redbits = fmt.bits[0];
    LSR_video.greenbits = fmt.bits[1];
    LSR_video.bluebits = fmt.bits[2];

    const std::uint32_t factor = scale > 0 ? 2 : 1;
    win32_initvideo(width * factor, height * factor, static_cast<std::uint8_t>(LSR_video.bpp),
                    (f & LSR_VIDEO_FULLSCREEN) != 0 ? 1 : 0);
    if (scale > 0) {
        LSR_CreateBitmap(static_cast<std::int32_t>(width * 2),
                         static_cast<std::int32_t>(height * 2), &LSR_screenbitmap2);
        LSR_ClearBitmap(LSR_screenbitmap2);
    }

    TarnBlit_Initialise(LSR_video.redbits, LSR_video.greenbits, LSR_video.bluebits,
                        LSR_video.redshift, LSR_video.greenshift, LSR_video.blueshift);

    LSR_CreateBitmap(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                     &LSR_screenbitmap);
    if ((f & LSR_VIDEO_DIRECT) != 0 && LSR_video.pitch == LSR_video.width) {
        // The page's pixels become the surface's; its own block would only be lost.
        _wrap_free_dbg(LSR_screenbitmap.data, "video/video", __LINE__);
        LSR_video.flags |= LSR_VIDEO_DIRECT;
        LSR_screenbitmap.data = dibarea;
    }

    LSR_ClearBitmap(LSR_screenbitmap);
    LSR_SwapBuffers();

    LSR_video_time = LSR_timer_getmillis();
    LSR_video_updatespeed = 20;
    LSR_video_numframes = 0;
    return 1;
}

std::int32_t LSR_CloseVideo() {
    release_pages();
    win32_closevideo();
    return 1;
}

void* LSR_GetVideoBuffer() {
    return LSR_screenbitmap.data;
}

void LSR_SetColors(const std::uint8_t* rgb, std::int32_t count, std::int32_t first) {
    for (std::int32_t i = first; i < first + count; ++i) {
        if (i < 0 || i > 255) continue; // outside the table
        const std::size_t t = static_cast<std::size_t>(i) * 3;
        const std::uint32_t c = (static_cast<std::uint32_t>(rgb[t]) << 16) |
                                (static_cast<std::uint32_t>(rgb[t + 1]) << 8) | rgb[t + 2];
        if (!LSR_Is16Bit()) {
            LSR_colortab[i] = c;
            continue;
        }
        LSR_colortab[i] = (((c & 0xFF0000u) >> (24 - LSR_video.redbits)) << LSR_video.redshift) |
                          (((c & 0xFF00u) >> (16 - LSR_video.greenbits)) << LSR_video.greenshift) |
                          (((c & 0xFFu) >> (8 - LSR_video.bluebits)) << LSR_video.blueshift);
    }
}

void LSR_SetRefreshRate(std::int32_t rate) {
    // A rate of 0 has no frame time; the previous one stays.
    if (rate > 0)
        LSR_video_updatespeed = 1000u / static_cast<std::uint32_t>(rate);
    else if (rate < 0)
        LSR_video_updatespeed = 0u - static_cast<std::uint32_t>(rate);
    if (LSR_video_updatespeed == 0) LSR_video_updatespeed = 1;
    LSR_video_time = LSR_timer_getmillis();
}

std::uint32_t LSR_GetFPS() {
    const std::uint32_t now = LSR_timer_getmillis();
    if (now - LSR_video_oldtime > 999) {
        LSR_video_oldtime = now;
        LSR_video_fps = LSR_video_numframes;
        LSR_video_numframes = 0;
    }
    return LSR_video_fps;
}

float LSR_WaitRefresh() {
    double ratio = 0.0;
    for (;;) {
        const std::uint32_t elapsed = LSR_timer_getmillis() - LSR_video_time;
        ratio = static_cast<double>(elapsed) / static_cast<double>(LSR_video_updatespeed);
        if (ratio >= 1.0) break;
        LSR_timer_waituntil(LSR_video_time + LSR_video_updatespeed);
    }
    LSR_video_time = LSR_timer_getmillis();
    return static_cast<float>(ratio);
}

void LSR_SwapBuffers() {
    LSR_SwapBufferHWND(winhandle.load(std::memory_order_relaxed));
}

void LSR_SwapBufferHWND(LSR_HWND window) {
    if (prepare_surface())
        win32_fastflippage(window);
    else
        win32_flippage(window);
    ++LSR_video_numframes;
}

std::int32_t LSR_SwapBufferHDC(LSR_DeviceContext* dc) {
    prepare_surface();
    const std::int32_t result = win32_flippageHDC(dc);
    ++LSR_video_numframes;
    return result;
}

void LSR_video_drawvpage16(void* surface, std::int32_t scaled) {
    transfer<std::uint16_t>(surface, scaled != 0 ? LSR_screenbitmap2 : LSR_screenbitmap);
}

void LSR_video_drawvpage32(void* surface, std::int32_t scaled) {
    transfer<std::uint32_t>(surface, scaled != 0 ? LSR_screenbitmap2 : LSR_screenbitmap);
}
