// What the SDL platform's files share: running work on the main thread, joystick events.
#pragma once

#include <SDL.h>

#include <functional>

// Runs work on the main thread (at once when called there) and waits until it has run. False,
// with work not run, once the message loop has ended: a worker never hangs on a window that is
// going away, and work never runs after its asker has stopped waiting for it.
bool sdl_run_on_main(const std::function<void()>& work);

// Keeps the first joystick's state from the main thread's events.
void sdl_joystick_event(const SDL_Event& event);

// Milliseconds since the platform's clock started, 64 bits wide.
std::uint64_t sdl_clock_ms();
