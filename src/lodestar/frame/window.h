// The window layer's types, message numbers and state, and the window procedure that writes it.
#pragma once

#include <atomic>
#include <cstdint>

// Opaque handle of the program's one window; the platform defines what it points to.
struct LSR_WindowTag;
using LSR_HWND = LSR_WindowTag*;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// One window message in the original platform's form.
struct LSR_MSG {
    LSR_HWND hwnd = nullptr;
    std::uint32_t message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

using LSR_WNDPROC = LRESULT (*)(LSR_HWND, std::uint32_t, WPARAM, LPARAM);

// The window class record (40 bytes on the original platform; cleared after unregistering).
struct LSR_WNDCLASS {
    std::uint32_t style = 0;
    LSR_WNDPROC lpfnWndProc = nullptr;
    std::int32_t cbClsExtra = 0;
    std::int32_t cbWndExtra = 0;
    void* hInstance = nullptr;
    void* hIcon = nullptr;
    void* hCursor = nullptr;
    void* hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;

inline constexpr std::uint32_t SC_SCREENSAVE = 0xF140;
inline constexpr std::uint32_t SC_MONITORPOWER = 0xF170;

inline constexpr std::uint32_t CS_OWNDC = 0x20;
inline constexpr std::uint32_t LSR_WINDOW_STYLE = 0xCF0008;

// The frame assumed around a windowed client area: left and right each, top with the title bar,
// bottom.
extern std::int32_t WIN32_BORDERX;
extern std::int32_t WIN32_BORDERTOP;
extern std::int32_t WIN32_BORDERBOTTOM;

// The window-class name buffer, "LSR: ".
extern char LSR_ID[];

extern void* instancehandle;
extern std::atomic<LSR_HWND> winhandle;
extern LSR_WNDCLASS wc;

// Set to 1 by the worker after its close-down; the audio refill stops once it is 1.
extern std::atomic<std::uint32_t> exitflag;
extern std::atomic<std::uint32_t> appactive;
extern std::atomic<std::int32_t> windowwidth;
extern std::atomic<std::int32_t> windowheight;

// Raw input state; the window procedure is the only writer (the input layer clears the wheel
// direction and the previous key code).
extern std::atomic<std::uint32_t> LSR_keys[256];
extern std::atomic<std::uint32_t> g_keycode;
extern std::atomic<std::uint32_t> g_mouse_buttons;
extern std::atomic<std::int32_t> g_mouse_z;
extern std::atomic<std::int32_t> g_mouse_zdir;
extern std::atomic<std::int32_t> g_mouse_x;
extern std::atomic<std::int32_t> g_mouse_y;
extern std::atomic<std::int32_t> g_mouse_xofs;
extern std::atomic<std::int32_t> g_mouse_yofs;

LRESULT WIN32_WndProc(LSR_HWND window, std::uint32_t message, WPARAM wparam, LPARAM lparam);

// Default handling of a message: nothing on this platform (the window system closes the window
// on Alt+F4 itself and sends the close message).
LRESULT DefWindowProcA(LSR_HWND window, std::uint32_t message, WPARAM wparam, LPARAM lparam);

// Packs a client size the way the resize message carries it.
constexpr LPARAM LSR_MakeSizeParam(std::int32_t width, std::int32_t height) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(height) << 16) |
                               (static_cast<std::uint32_t>(width) & 0xFFFFu));
}
