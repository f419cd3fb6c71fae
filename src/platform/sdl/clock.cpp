// The tick count from a monotonic clock, and waits that sleep to the exact tick.
#include <chrono>
#include <thread>

#include "lodestar/platform.h"
#include "sdl_internal.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point g_epoch = Clock::now();

} // namespace

std::uint64_t sdl_clock_ms() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - g_epoch).count());
}

std::uint32_t plat_ticks() {
    return static_cast<std::uint32_t>(sdl_clock_ms());
}

void plat_wait_until(std::uint32_t tick) {
    for (;;) {
        const std::uint64_t now = sdl_clock_ms();
        const auto remaining = static_cast<std::int32_t>(tick - static_cast<std::uint32_t>(now));
        if (remaining <= 0) return;
        // Sleep to the instant the tick begins; the loop checks again in case of an early wake.
        const auto target =
            g_epoch + std::chrono::milliseconds(now + static_cast<std::uint64_t>(remaining));
        std::this_thread::sleep_until(target);
    }
}

void plat_sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
