// The headless wave output: a queue of caller-owned buffers that tests complete one at a time.
#include "headless_wave.h"

#include "lodestar/platform.h"
#include <deque>
#include <mutex>

namespace {

struct Wave {
    // Held while a completion notice runs, so reset and close wait for it; the notice itself
    // may queue (it takes only queue_mutex).
    std::mutex delivery_mutex;
    std::mutex queue_mutex;
    std::deque<PlatWaveBuffer*> queue;
    headless::WaveState state;
    bool open_ok = true;
    PlatWaveDone done = nullptr;
    void* context = nullptr;
};

Wave& wave() {
    static Wave w;
    return w;
}

} // namespace

namespace headless {

void wave_reset_controls() {
    auto& w = wave();
    std::scoped_lock lock(w.delivery_mutex, w.queue_mutex);
    w.queue.clear();
    w.state = {};
    w.open_ok = true;
    w.done = nullptr;
    w.context = nullptr;
}

void wave_set_open_result(bool ok) {
    std::lock_guard lock(wave().queue_mutex);
    wave().open_ok = ok;
}

WaveState wave_state() {
    std::lock_guard lock(wave().queue_mutex);
    return wave().state;
}

bool wave_complete_oldest() {
    auto& w = wave();
    std::lock_guard delivery(w.delivery_mutex);
    PlatWaveBuffer* buffer = nullptr;
    PlatWaveDone done = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(w.queue_mutex);
        if (!w.state.open || w.state.paused || w.queue.empty()) return false;
        buffer = w.queue.front();
        w.queue.pop_front();
        done = w.done;
        context = w.context;
    }
    if (done != nullptr) done(buffer, context);
    return true;
}

std::uint32_t wave_queued_count() {
    std::lock_guard lock(wave().queue_mutex);
    return static_cast<std::uint32_t>(wave().queue.size());
}

std::vector<const void*> wave_queued_data() {
    std::lock_guard lock(wave().queue_mutex);
    std::vector<const void*> out;
    for (const PlatWaveBuffer* b : wave().queue) out.push_back(b->data);
    return out;
}

} // namespace headless

// ---- the seam ----

bool plat_wave_open(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels,
                    PlatWaveDone done, void* context) {
    auto& w = wave();
    std::lock_guard lock(w.queue_mutex);
    if (!w.open_ok || w.state.open) return false;
    w.state.open = true;
    w.state.paused = false;
    w.state.rate = rate;
    w.state.bits = bits;
    w.state.channels = channels;
    ++w.state.opens;
    w.done = done;
    w.context = context;
    w.queue.clear();
    return true;
}

bool plat_wave_queue(PlatWaveBuffer* buffer) {
    std::lock_guard lock(wave().queue_mutex);
    if (!wave().state.open || buffer == nullptr) return false;
    wave().queue.push_back(buffer);
    return true;
}

void plat_wave_pause() {
    std::lock_guard lock(wave().queue_mutex);
    if (!wave().state.open) return;
    wave().state.paused = true;
    ++wave().state.pauses;
}

void plat_wave_restart() {
    std::lock_guard lock(wave().queue_mutex);
    if (!wave().state.open) return;
    wave().state.paused = false;
    ++wave().state.restarts;
}

void plat_wave_reset() {
    auto& w = wave();
    std::scoped_lock lock(w.delivery_mutex, w.queue_mutex);
    if (!w.state.open) return;
    w.queue.clear();
    ++w.state.resets;
}

void plat_wave_close() {
    auto& w = wave();
    std::scoped_lock lock(w.delivery_mutex, w.queue_mutex);
    if (!w.state.open) return;
    w.queue.clear();
    w.state.open = false;
    w.state.paused = false;
    ++w.state.closes;
    w.done = nullptr;
    w.context = nullptr;
}
