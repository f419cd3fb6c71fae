// The device's delay and millis, on the library's millisecond clock.
#include "meggyjr/devicetime.h"

#include "lodestar/lodestar.h"

void delay(std::int32_t ms) {
    const std::uint32_t t0 = LSR_timer_getmillis();
    const std::uint32_t deadline = t0 + static_cast<std::uint32_t>(ms);
    // The elapsed time is read as a signed difference so the clock's wrap-around is harmless.
    while (static_cast<std::int32_t>(LSR_timer_getmillis() - t0) < ms)
        LSR_timer_waituntil(deadline);
}

std::uint32_t millis() {
    return LSR_timer_getmillis();
}
