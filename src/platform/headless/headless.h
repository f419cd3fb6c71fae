// Controls of the headless platform for tests and tools: the virtual clock, injected messages
// and input, and what the program presented and asked of its window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lodestar/platform.h"
#include "lodestar/platform_types.h"

namespace headless {

// Back to the start state: clock 0, no window, nothing queued or recorded.
void reset();

// The virtual clock: it moves only when a wait moves it or a test does.
void set_ticks(std::uint32_t ticks);
void advance(std::uint32_t milliseconds);

// A message for WinMain's loop, as if the window system had sent it (any thread).
void post_message(const LSR_MSG& message);

struct Present {
    std::vector<std::uint8_t> pixels; // as handed over: bottom row first
    int width = 0, height = 0, bpp = 0;
    bool stretch = false;
    int dst_width = 0, dst_height = 0;
    // Pixel (x, y) of the shown picture, y from the top; 32-bit surfaces only.
    std::uint32_t pixel32(int x, int y) const;
};
std::uint32_t present_count();
Present last_present();
// Called on the presenting thread after each present is recorded, with the count so far, outside
// the platform's lock: a tool that runs a program for some frames reads and ends it from here.
using PresentObserver = void (*)(std::uint32_t count);
void set_present_observer(PresentObserver observer);

struct WindowRecord {
    bool created = false, shown = false, destroyed = false, popup = false;
    std::string class_name, title;
    int x = 0, y = 0, outer_width = 0, outer_height = 0;
    bool cursor_visible = true;
    int display_width = 0, display_height = 0, display_bits = 0; // 0: desktop mode
};
WindowRecord window();

// What the next display-mode switch answers.
void set_display_mode_result(bool ok);
void set_class_registration_result(bool ok);
// Whether the next windows can be made; when not, plat_window_error says "refused by the test".
void set_window_creation_result(bool ok);
void set_joystick(std::optional<PlatJoystick> joystick);
void set_pointer(std::int32_t x, std::int32_t y);
void set_priority_result(bool ok);

// The worker started by WinMain: true once WinMain has asked for it to end. Test main routines
// loop until it is set; plat_terminate_worker then waits for them to return.
bool worker_stop_requested();

} // namespace headless
