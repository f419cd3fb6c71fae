// The library's one seam to the operating system, implemented by platform/sdl (the real program)
// and platform/headless (tests and tools). Nothing else in the library reaches the OS. Internal:
// the library and the platforms include it, programs never do (their types are platform_types.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lodestar/platform_types.h"

// ---- Process entry and the window thread (called on the main thread by WinMain) ----

bool plat_register_class(const LSR_WNDCLASS& window_class);
bool plat_unregister_class(const char* class_name);

// Creates the program's window. Position and size are the outer box as on the original platform;
// the client area is LSR_ClientBox of it. Returns null on failure.
LSR_HWND plat_create_window(const char* class_name, const char* title, std::uint32_t style, int x,
                            int y, int outer_width, int outer_height);
// Why the window could not be made, in the platform's words; empty when nothing failed.
std::string plat_window_error();
// Shows, raises and focuses the window; holds off the screen saver and display power-down.
void plat_show_window(LSR_HWND window);
bool plat_destroy_window(LSR_HWND window);

// Waits for the next window message for the window procedure. Returns false once the quit message
// has arrived. Work forwarded from other threads (window calls, frames to show) is done in here.
bool plat_get_message(LSR_MSG* message);
// Posts the quit message; callable from any thread.
void plat_post_quit();
// Sleeps the calling thread.
void plat_sleep(std::uint32_t milliseconds);

// Starts the worker thread at entry (its argument is null).
void plat_start_worker(std::uint32_t (*entry)(void*));
// Ends the worker wherever it stands. The process exits right after WinMain returns; the worker
// runs none of its close-down.
void plat_terminate_worker();

// The pointer over the client area: hidden (false) or shown as usual (true).
void plat_set_cursor_visible(bool visible);
// Pointer position in client coordinates (may lie outside the client area).
void plat_get_pointer(std::int32_t* x, std::int32_t* y);

// ---- Window services asked for by the worker (run on the main thread) ----

bool plat_set_title(LSR_HWND window, const char* title);
// Places the window with the given outer size (see plat_create_window), shows and focuses it.
void plat_place_window(LSR_HWND window, int x, int y, int outer_width, int outer_height);
// Makes the window a borderless top-most window of exactly width by height at (x, y).
void plat_set_popup(LSR_HWND window, int x, int y, int width, int height);
// Switches the display to width by height at bits per pixel; false when it cannot.
bool plat_change_display_mode(int width, int height, int bits);
// Returns the display to the desktop mode; false when that fails.
bool plat_restore_display_mode();

// ---- Showing frames ----

// The bytes of a frame of width by height pixels at bpp bits (16 or 32), rows unpadded.
constexpr std::size_t plat_frame_bytes(int width, int height, int bpp) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
           static_cast<std::size_t>(bpp / 8);
}

// Shows a surface of width by height pixels, stored bottom row first, in the page format (bpp 32:
// 0x??RRGGBB words; bpp 16: 5-5-5 words). stretch false: copied one to one to the client's top-left
// corner; true: stretched to dst_width by dst_height. The pixels are copied before this returns;
// when frames come faster than the screen takes them the newest wins. Pixels in the memory of
// plat_frame_memory are handed over instead, with no copy.
void plat_present(LSR_HWND window, const void* pixels, int width, int height, int bpp, bool stretch,
                  int dst_width, int dst_height);
// Memory for the next frame of width by height pixels at bpp, for a caller that fills a surface
// and then presents it: a frame filled and presented there travels without a copy. The memory is
// the caller's until the next present (of any pixels) or the next call, so ask again after every
// present; it holds whatever it held before. Null when the platform lends none.
void* plat_frame_memory(int width, int height, int bpp);

// ---- Clock ----

// Milliseconds from a monotonic source, unsigned 32-bit, wrapping.
std::uint32_t plat_ticks();
// Returns once plat_ticks() has reached tick (signed 32-bit difference), never before and within
// about a millisecond after. Sleeps rather than spinning. Returns at once when tick has passed.
void plat_wait_until(std::uint32_t tick);

// ---- Joystick ----

struct PlatJoystick {
    std::uint32_t x = 32767, y = 32767, z = 32767, r = 32767; // axes 0 .. 65535, centre 32767
    std::uint32_t buttons = 0;                                // bit n: button n + 1 held
};
// Reads the first joystick; false when there is none.
bool plat_read_joystick(PlatJoystick* state);

// ---- Process ----

// Asks for the highest scheduling priority the process may have; true when that worked.
bool plat_raise_priority();
// Full path of the running executable file; empty when unknown.
std::string plat_executable_path();

// ---- Files ----

// What makes a file or directory itself, whatever path leads to it: its device and inode.
struct PlatFileId {
    std::uint64_t device = 0, inode = 0;
    auto operator<=>(const PlatFileId&) const = default;
};
// The identity of what path names, links followed; false when it cannot be looked at.
bool plat_file_id(const char* path, PlatFileId* id);

// ---- Wave output ----

// A caller-owned block of samples queued for playing.
struct PlatWaveBuffer {
    void* data = nullptr;
    std::uint32_t bytes = 0;
    std::uintptr_t user = 0;
};
// Called on the audio thread once for each queued buffer that has finished playing, in order.
using PlatWaveDone = void (*)(PlatWaveBuffer* buffer, void* context);

// Opens the output at rate, bits (8 or 16) and channels (1 or 2); false when no device opens.
bool plat_wave_open(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels,
                    PlatWaveDone done, void* context);
// Queues a buffer behind those already queued; it plays whole, then done() is called with it.
bool plat_wave_queue(PlatWaveBuffer* buffer);
void plat_wave_pause();
void plat_wave_restart();
// Drops every queued buffer without playing it and without done() calls; returns once a done()
// call in progress has returned, so the caller may then reuse or free the buffers.
void plat_wave_reset();
// Stops and closes the output; no done() call runs or arrives after this returns. done() may
// itself queue buffers; it must not call reset or close.
void plat_wave_close();
