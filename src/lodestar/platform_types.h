// The seam's own types: the window handle, window messages in the original platform's form with
// the virtual-key codes they carry, and the frame around a window's client area. Types and
// constants only, so that the library's public headers and the platforms' tests can name them
// without the seam's functions.
#pragma once

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

// Virtual-key codes, the original platform's numbering, which key messages carry in wparam and
// the key table is indexed by. Letters and digits are their own upper-case characters, 'A' to
// 'Z' and '0' to '9'.
inline constexpr std::uint8_t VK_BACK = 0x08;
inline constexpr std::uint8_t VK_TAB = 0x09;
inline constexpr std::uint8_t VK_RETURN = 0x0D;
inline constexpr std::uint8_t VK_SHIFT = 0x10;
inline constexpr std::uint8_t VK_CONTROL = 0x11;
inline constexpr std::uint8_t VK_MENU = 0x12; // Alt
inline constexpr std::uint8_t VK_PAUSE = 0x13;
inline constexpr std::uint8_t VK_CAPITAL = 0x14; // Caps Lock
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;
inline constexpr std::uint8_t VK_SPACE = 0x20;
inline constexpr std::uint8_t VK_PRIOR = 0x21; // Page Up
inline constexpr std::uint8_t VK_NEXT = 0x22;  // Page Down
inline constexpr std::uint8_t VK_END = 0x23;
inline constexpr std::uint8_t VK_HOME = 0x24;
inline constexpr std::uint8_t VK_LEFT = 0x25;
inline constexpr std::uint8_t VK_UP = 0x26;
inline constexpr std::uint8_t VK_RIGHT = 0x27;
inline constexpr std::uint8_t VK_DOWN = 0x28;
inline constexpr std::uint8_t VK_SNAPSHOT = 0x2C; // Print Screen
inline constexpr std::uint8_t VK_INSERT = 0x2D;
inline constexpr std::uint8_t VK_DELETE = 0x2E;
inline constexpr std::uint8_t VK_LWIN = 0x5B;
inline constexpr std::uint8_t VK_RWIN = 0x5C;
inline constexpr std::uint8_t VK_APPS = 0x5D;
inline constexpr std::uint8_t VK_NUMPAD0 = 0x60;
inline constexpr std::uint8_t VK_NUMPAD1 = 0x61;
inline constexpr std::uint8_t VK_NUMPAD2 = 0x62;
inline constexpr std::uint8_t VK_NUMPAD3 = 0x63;
inline constexpr std::uint8_t VK_NUMPAD4 = 0x64;
inline constexpr std::uint8_t VK_NUMPAD5 = 0x65;
inline constexpr std::uint8_t VK_NUMPAD6 = 0x66;
inline constexpr std::uint8_t VK_NUMPAD7 = 0x67;
inline constexpr std::uint8_t VK_NUMPAD8 = 0x68;
inline constexpr std::uint8_t VK_NUMPAD9 = 0x69;
inline constexpr std::uint8_t VK_MULTIPLY = 0x6A;
inline constexpr std::uint8_t VK_ADD = 0x6B;
inline constexpr std::uint8_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint8_t VK_DECIMAL = 0x6E;
inline constexpr std::uint8_t VK_DIVIDE = 0x6F;
inline constexpr std::uint8_t VK_F1 = 0x70;
inline constexpr std::uint8_t VK_F2 = 0x71;
inline constexpr std::uint8_t VK_F3 = 0x72;
inline constexpr std::uint8_t VK_F4 = 0x73;
inline constexpr std::uint8_t VK_F5 = 0x74;
inline constexpr std::uint8_t VK_F6 = 0x75;
inline constexpr std::uint8_t VK_F7 = 0x76;
inline constexpr std::uint8_t VK_F8 = 0x77;
inline constexpr std::uint8_t VK_F9 = 0x78;
inline constexpr std::uint8_t VK_F10 = 0x79;
inline constexpr std::uint8_t VK_F11 = 0x7A;
inline constexpr std::uint8_t VK_F12 = 0x7B;
inline constexpr std::uint8_t VK_NUMLOCK = 0x90;
inline constexpr std::uint8_t VK_SCROLL = 0x91;
inline constexpr std::uint8_t VK_OEM_1 = 0xBA; // ;
inline constexpr std::uint8_t VK_OEM_PLUS = 0xBB;
inline constexpr std::uint8_t VK_OEM_COMMA = 0xBC;
inline constexpr std::uint8_t VK_OEM_MINUS = 0xBD;
inline constexpr std::uint8_t VK_OEM_PERIOD = 0xBE;
inline constexpr std::uint8_t VK_OEM_2 = 0xBF; // /
inline constexpr std::uint8_t VK_OEM_3 = 0xC0; // `
inline constexpr std::uint8_t VK_OEM_4 = 0xDB; // [
inline constexpr std::uint8_t VK_OEM_5 = 0xDC; // backslash
inline constexpr std::uint8_t VK_OEM_6 = 0xDD; // ]
inline constexpr std::uint8_t VK_OEM_7 = 0xDE; // '

inline constexpr std::uint32_t SC_SCREENSAVE = 0xF140;
inline constexpr std::uint32_t SC_MONITORPOWER = 0xF170;

inline constexpr std::uint32_t CS_OWNDC = 0x20;
inline constexpr std::uint32_t LSR_WINDOW_STYLE = 0xCF0008;

// The frame around a windowed client area: left and right each, top with the title bar, bottom.
inline constexpr std::int32_t WIN32_BORDERX = 4;
inline constexpr std::int32_t WIN32_BORDERTOP = 23;
inline constexpr std::int32_t WIN32_BORDERBOTTOM = 4;

// A window's place on the screen: its top-left corner and its size.
struct LSR_WindowBox {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// The outer box of a window placed at (x, y) whose client area is width by height: the frame
// adds its borders around the client area.
constexpr LSR_WindowBox LSR_OuterBox(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height) {
    return {x, y, width + 2 * WIN32_BORDERX, height + WIN32_BORDERTOP + WIN32_BORDERBOTTOM};
}

// The client area inside an outer box: the box less the frame, on the screen.
constexpr LSR_WindowBox LSR_ClientBox(const LSR_WindowBox& outer) {
    return {outer.x + WIN32_BORDERX, outer.y + WIN32_BORDERTOP, outer.width - 2 * WIN32_BORDERX,
            outer.height - WIN32_BORDERTOP - WIN32_BORDERBOTTOM};
}

// Packs a client size the way the resize message carries it.
constexpr LPARAM LSR_MakeSizeParam(std::int32_t width, std::int32_t height) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(height) << 16) |
                               (static_cast<std::uint32_t>(width) & 0xFFFFu));
}
