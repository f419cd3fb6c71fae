// The library's millisecond clock, counting from library start-up.
#pragma once

#include <cstdint>

extern std::uint32_t LSR_timer_starttick;

std::uint32_t LSR_ll_timer_get_ticks();
// Milliseconds since LSR_Initialise, unsigned 32-bit with wrap-around.
std::uint32_t LSR_timer_getmillis();
// A new, unfilled 256-byte block from the counted allocator; the caller owns it.
char* LSR_timer_getlocaltime();

// Blocks until LSR_timer_getmillis() has reached deadline (signed 32-bit difference): sleeps while
// time remains, never returns early.
void LSR_timer_waituntil(std::uint32_t deadline);

// Raises the process priority as far as it may go; non-zero when that worked.
std::int32_t WIN32_SetRealtimePriority();
