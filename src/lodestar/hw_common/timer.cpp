// The millisecond clock from library start-up, and the library's wait.
#include "lodestar/hw_common/timer.h"

#include "lodestar/base/tarnmem.h"
#include "lodestar/platform.h"

std::uint32_t LSR_timer_starttick = 0;

std::uint32_t LSR_ll_timer_get_ticks() {
    return plat_ticks();
}

std::uint32_t LSR_timer_getmillis() {
    return LSR_ll_timer_get_ticks() - LSR_timer_starttick;
}

char* LSR_timer_getlocaltime() {
    return static_cast<char*>(_wrap_malloc_dbg(256, "hw_common/timer", 29));
}

void LSR_timer_waituntil(std::uint32_t deadline) {
    // The platform sleeps to the tick and never wakes early; checking again here keeps the
    // guarantee even if it did.
    while (static_cast<std::int32_t>(LSR_timer_getmillis() - deadline) < 0)
        plat_wait_until(deadline + LSR_timer_starttick);
}

std::int32_t WIN32_SetRealtimePriority() {
    return plat_raise_priority() ? 1 : 0;
}
