// The window driver: placement and full screen, the window surface and showing it.
#include "lodestar/video/internal/driver.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lodestar/base/debug.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/video.h"

std::atomic<LSR_HWND> winhandle{nullptr};
std::atomic<std::int32_t> windowwidth{0};
std::atomic<std::int32_t> windowheight{0};
std::uint32_t win32_fullscreen = 0;
void* dibarea = nullptr;
LSR_SurfaceInfo dibinfo;

namespace {

// The surface memory; it lives as long as the process, as on the original platform. A direct
// page draws here; other pages are transferred into memory the platform lends when it does.
std::vector<std::uint8_t> g_surface;

constexpr auto relaxed = std::memory_order_relaxed;

void show_surface(LSR_HWND window, bool stretch) {
    plat_present(window, dibarea, dibinfo.biWidth, dibinfo.biHeight, dibinfo.biBitCount, stretch,
                 stretch ? windowwidth.load(relaxed) : dibinfo.biWidth,
                 stretch ? windowheight.load(relaxed) : dibinfo.biHeight);
}

void place_windowed(std::uint32_t w, std::uint32_t h) {
    const LSR_HWND window = winhandle.load(relaxed);
    const LSR_WindowBox outer =
        LSR_OuterBox(200, 200, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h));
    plat_place_window(window, outer.x, outer.y, outer.width, outer.height);
    plat_set_cursor_visible(true);
    win32_fullscreen = 0;
}

} // namespace

void WIN32_SetwindowTransparency() {}

std::int32_t win32_initvideo(std::uint32_t width, std::uint32_t height, std::uint8_t bpp,
                             std::uint32_t fullscreen) {
    if (winhandle.load(relaxed) != nullptr) win32_closewindow();
    win32_initwindow(width, height, fullscreen);

    dibinfo = {};
    dibinfo.biWidth = static_cast<std::int32_t>(width);
    dibinfo.biHeight = static_cast<std::int32_t>(height);
    dibinfo.biBitCount = bpp == 16 ? 16 : 32;
    // No physical screen size is known here; nothing reads these.
    dibinfo.biXPelsPerMeter = 0;
    dibinfo.biYPelsPerMeter = 0;
    g_surface.assign(plat_frame_bytes(dibinfo.biWidth, dibinfo.biHeight, dibinfo.biBitCount), 0);
    dibarea = g_surface.data();
    return 1;
}

void win32_closevideo() {
    win32_closewindow();
}

void win32_initwindow(std::uint32_t width, std::uint32_t height, std::uint32_t fullscreen) {
    if (fullscreen == 0) {
        if (win32_fullscreen != 0) return;
        place_windowed(width, height);
        return;
    }
    plat_set_popup(winhandle.load(relaxed), 0, 0, static_cast<int>(width),
                   static_cast<int>(height));
    if (plat_change_display_mode(static_cast<int>(width), static_cast<int>(height), 32)) {
        plat_set_cursor_visible(false);
        win32_fullscreen = 1;
        return;
    }
    _dbg_printf("- Couldn't switch to fullscreen, switching to windowed mode\n");
    if (win32_fullscreen != 0) return;
    place_windowed(width, height);
}

void win32_closewindow() {
    if (win32_fullscreen != 0 && !plat_restore_display_mode())
        _dbg_printf("- Couldn't switch back to original res\n");
    plat_set_cursor_visible(true);
}

void win32_nextsurface() {
    if (g_surface.empty()) return;
    void* lent = plat_frame_memory(dibinfo.biWidth, dibinfo.biHeight, dibinfo.biBitCount);
    dibarea = lent != nullptr ? lent : g_surface.data();
}

void win32_flippage(LSR_HWND window) {
    if (window == nullptr || dibarea == nullptr) return;
    const bool same = static_cast<std::int32_t>(LSR_video.width) == windowwidth.load(relaxed) &&
                      static_cast<std::int32_t>(LSR_video.height) == windowheight.load(relaxed);
    show_surface(window, !same);
}

void win32_fastflippage(LSR_HWND window) {
    if (window == nullptr || dibarea == nullptr) return;
    show_surface(window, false);
}

std::int32_t win32_flippageHDC(LSR_DeviceContext* dc) {
    if (dc == nullptr || dc->pixels == nullptr || dibarea == nullptr ||
        dc->bpp != dibinfo.biBitCount || dc->width < 0 || dc->height < 0)
        return 0;
    const std::size_t bytes_per_pixel = dibinfo.biBitCount / 8u;
    const int columns = std::min(dc->width, dibinfo.biWidth);
    const int rows = std::min(dc->height, dibinfo.biHeight);
    if (dc->pitch < 0 || static_cast<std::size_t>(dc->pitch) < columns * bytes_per_pixel) return 0;
    const auto* surface = static_cast<const std::uint8_t*>(dibarea);
    auto* target = static_cast<std::uint8_t*>(dc->pixels);
    const std::size_t surface_pitch = static_cast<std::size_t>(dibinfo.biWidth) * bytes_per_pixel;
    for (int y = 0; y < rows; ++y) {
        // The surface is stored bottom row first; the target top row first.
        const auto* src =
            surface + static_cast<std::size_t>(dibinfo.biHeight - 1 - y) * surface_pitch;
        std::memcpy(target + static_cast<std::size_t>(y) * static_cast<std::size_t>(dc->pitch), src,
                    columns * bytes_per_pixel);
    }
    return 1;
}
