// Wave output over SDL audio: queued caller-owned buffers played in order from SDL's callback.
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "lodestar/platform.h"
#include "sdl_internal.h"

namespace {

struct Output {
    // Guards the queue; never held while the completion notice runs, since that queues again.
    std::mutex mutex;
    std::deque<PlatWaveBuffer*> queue;
    std::uint32_t played = 0; // bytes of the front buffer already handed to SDL
    std::uint8_t silence = 0;
    SDL_AudioDeviceID device = 0;
    PlatWaveDone done = nullptr;
    void* context = nullptr;
};

Output& output() {
    static Output o;
    return o;
}

// SDL's audio thread: fills the stream from the queue, front first, and reports each buffer
// that has been played whole. With nothing queued it plays silence.
void SDLCALL feed(void*, Uint8* stream, int len) {
    Output& o = output();
    auto want = static_cast<std::uint32_t>(len > 0 ? len : 0);
    while (want > 0) {
        PlatWaveBuffer* finished = nullptr;
        {
            std::lock_guard lock(o.mutex);
            if (o.queue.empty()) break;
            PlatWaveBuffer* front = o.queue.front();
            const std::uint32_t left = front->bytes - std::min(o.played, front->bytes);
            const std::uint32_t n = std::min(left, want);
            if (n > 0) std::memcpy(stream, static_cast<const Uint8*>(front->data) + o.played, n);
            stream += n;
            want -= n;
            o.played += n;
            if (o.played >= front->bytes) {
                o.queue.pop_front();
                o.played = 0;
                finished = front;
            }
        }
        if (finished != nullptr && o.done != nullptr) o.done(finished, o.context);
    }
    if (want > 0) std::memset(stream, o.silence, want);
}

} // namespace

bool plat_wave_open(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels,
                    PlatWaveDone done, void* context) {
    Output& o = output();
    if (o.device != 0) return false;
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        // Subsystem start-up touches SDL's global state: done on the main thread, like the
        // window's. A machine without audio leaves it down and the program silent.
        bool up = false;
        sdl_run_on_main([&] { up = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0; });
        if (!up) return false;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(rate);
    want.format = bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = 1024;
    want.callback = feed;
    {
        std::lock_guard lock(o.mutex);
        o.queue.clear();
        o.played = 0;
        o.silence = bits == 8 ? 0x80 : 0;
        o.done = done;
        o.context = context;
    }
    // No format changes allowed: SDL converts to whatever the device takes.
    SDL_AudioSpec have{};
    o.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (o.device == 0) return false;
    SDL_PauseAudioDevice(o.device, 0);
    return true;
}

bool plat_wave_queue(PlatWaveBuffer* buffer) {
    Output& o = output();
    if (buffer == nullptr) return false;
    std::lock_guard lock(o.mutex);
    o.queue.push_back(buffer);
    return true;
}

void plat_wave_pause() {
    if (output().device != 0) SDL_PauseAudioDevice(output().device, 1);
}

void plat_wave_restart() {
    if (output().device != 0) SDL_PauseAudioDevice(output().device, 0);
}

void plat_wave_reset() {
    Output& o = output();
    if (o.device == 0) return;
    // SDL's device lock is held around every callback: taking it waits one out.
    SDL_LockAudioDevice(o.device);
    {
        std::lock_guard lock(o.mutex);
        o.queue.clear();
        o.played = 0;
    }
    SDL_UnlockAudioDevice(o.device);
}

void plat_wave_close() {
    Output& o = output();
    if (o.device == 0) return;
    // Closing ends SDL's audio thread: no callback runs after this returns.
    SDL_CloseAudioDevice(o.device);
    o.device = 0;
    std::lock_guard lock(o.mutex);
    o.queue.clear();
    o.played = 0;
    o.done = nullptr;
    o.context = nullptr;
}
