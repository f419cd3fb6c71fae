// The device's time services on the library clock: delay and millis.
#pragma once

#include <cstdint>

// Waits until ms milliseconds of the library clock have passed; ms of 0 or less returns at once.
// Sleeps rather than spinning, and never returns early.
void delay(std::int32_t ms);
// Milliseconds since library start-up.
std::uint32_t millis();
