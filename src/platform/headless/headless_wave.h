// Test controls of the headless wave output: buffers finish only when a test says so.
#pragma once

#include <cstdint>
#include <vector>

#include "lodestar/platform.h"

namespace headless {

struct WaveState {
    bool open = false;
    bool paused = false;
    std::uint32_t rate = 0, bits = 0, channels = 0;
    std::uint32_t opens = 0, closes = 0, resets = 0, pauses = 0, restarts = 0;
};

// Back to the start state: closed, nothing queued, opens succeed, counters zero.
void wave_reset_controls();
// Whether the next plat_wave_open succeeds (as if there were a sound card, or none).
void wave_set_open_result(bool ok);
WaveState wave_state();

// Finishes the oldest queued buffer now, on the calling thread: it leaves the queue and the
// completion notice runs. False when nothing is queued, or the output is closed or paused.
bool wave_complete_oldest();
std::uint32_t wave_queued_count();
// The data pointers of the queued buffers, oldest first.
std::vector<const void*> wave_queued_data();

} // namespace headless
