// The window driver: placement and full screen, the window surface, showing it, the joystick.
#include "lodestar/video/driver.h"

#include <algorithm>
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/input/input.h"
#include "lodestar/platform.h"
#include "lodestar/video/video.h"

std::uint32_t win32_fullscreen = 0;
void* dibarea = nullptr;
LSR_SurfaceInfo dibinfo;

namespace {

// The surface memory; it lives as long as the process, as on the original platform.
std::vector<std::uint8_t> g_surface;

constexpr auto relaxed = std::memory_order_relaxed;

void show_surface(LSR_HWND window, bool stretch) {
    plat_present(window, dibarea, dibinfo.biWidth, dibinfo.biHeight, dibinfo.biBitCount, stretch,
                 stretch ? windowwidth.load(relaxed) : dibinfo.biWidth,
                 stretch ? windowheight.load(relaxed) : dibinfo.biHeight);
}

void place_windowed(std::uint32_t w, std::uint32_t h) {
    const LSR_HWND window = winhandle.load(relaxed);
    plat_place_window(window, 200, 200, static_cast<int>(w) + 2 * WIN32_BORDERX,
                      static_cast<int>(h) + WIN32_BORDERBOTTOM + WIN32_BORDERTOP);
    plat_set_cursor_visible(true);
    win32_fullscreen = 0;
}

// (position - 32767) >> 8 with the arithmetic shift of a signed value.
constexpr std::int32_t axis(std::uint32_t position) {
    const std::int32_t d = static_cast<std::int32_t>(position) - 32767;
    return d >= 0 ? d / 256 : -((-d + 255) / 256);
}
static_assert(axis(0) == -128 && axis(32767) == 0 && axis(65535) == 128 && axis(32766) == -1);

struct ButtonBit {
    std::uint32_t mask, bit;
};
constexpr ButtonBit k_button_bits[] = {
    {0x1, 0x10},    {0x2, 0x20},     {0x4, 0x40},     {0x8, 0x80},     {0x101, 0x100},
    {0x201, 0x400}, {0x801, 0x1000}, {0x100, 0x2000}, {0x200, 0x1000},
};

} // namespace

void win32_initinput() {}
void win32_closeinput() {}
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
    g_surface.assign(static_cast<std::size_t>(width) * height * (dibinfo.biBitCount / 8u), 0);
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

void win32_checkkeys() {
    for (auto& key : LSR_keys) key.store(0, relaxed);
}

std::int32_t win32_initjoystick() {
    PlatJoystick state;
    return plat_read_joystick(&state) ? 1 : 0;
}

void win32_checkjoystick(std::int32_t, std::int32_t* x, std::int32_t* y, std::int32_t* z,
                         std::int32_t* r, std::int32_t* buttons) {
    PlatJoystick state;
    if (!plat_read_joystick(&state)) {
        *x = *y = *z = *r = *buttons = 0;
        return;
    }
    *x = axis(state.x);
    *y = axis(state.y);
    *z = axis(state.z);
    *r = axis(state.r);
    std::uint32_t out = 0;
    for (const auto& b : k_button_bits)
        if ((state.buttons & b.mask) != 0) out |= b.bit;
    *buttons = static_cast<std::int32_t>(out);
}
