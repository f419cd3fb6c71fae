// The window procedure and the window-layer state it keeps for itself.
#pragma once

#include <atomic>
#include <cstdint>

#include "lodestar/platform_types.h"

// The window-class name buffer, "LSR: ".
extern char LSR_ID[];

extern void* instancehandle;
extern LSR_WNDCLASS wc;

// The activation flag the window system last reported; kept, never read.
extern std::atomic<std::uint32_t> appactive;

// The window procedure writes the client size of the window driver (video) and the raw key and
// mouse words of the input layer; both are read by the worker.
LRESULT WIN32_WndProc(LSR_HWND window, std::uint32_t message, WPARAM wparam, LPARAM lparam);

// Default handling of a message: nothing on this platform (the window system closes the window
// on Alt+F4 itself and sends the close message).
LRESULT DefWindowProcA(LSR_HWND window, std::uint32_t message, WPARAM wparam, LPARAM lparam);
