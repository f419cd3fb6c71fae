// Mixing 16 playing sounds into one 2048-frame stereo buffer, beside SDL's own sample mixer.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstring>
#include <random>
#include <vector>

#include "headless_wave.h"
#include "lodestar/frame/tarnmem.h"
#include "lodestar/sound/sound_record.h"
#include "lodestar/sound/soundsystem.h"

namespace {

constexpr int k_sounds = 16;
constexpr std::uint32_t k_frames = 2048;
constexpr std::uint32_t k_samples = 10000;

std::vector<std::int16_t> samples_of(int which) {
    std::mt19937 rng(static_cast<unsigned>(which) + 1);
    std::uniform_int_distribution<int> dist(-8000, 8000);
    std::vector<std::int16_t> v(k_samples);
    for (auto& s : v) s = static_cast<std::int16_t>(dist(rng));
    return v;
}

// 16 looping mono sounds at the output rate, playing at the default gains.
struct Playing {
    LSR_Sound sounds[k_sounds];
    Playing() {
        headless::wave_reset_controls();
        Soundsystem_Init(44100, 0, 16, 2);
        for (int i = 0; i < k_sounds; ++i) {
            const auto v = samples_of(i);
            LSR_Sound& s = sounds[i];
            lsr_sound::clear_record(s);
            void* data = _wrap_malloc_dbg(k_samples * 2, "bench", 1);
            std::memcpy(data, v.data(), k_samples * 2);
            s.channels = 1;
            s.bits = 16;
            s.frequency = 44100;
            s.size = k_samples * 2;
            s.length = k_samples;
            s.data = data;
            lsr_sound::set_playing_defaults(s);
            Soundsystem_PlaySound(&s, 1);
        }
    }
    ~Playing() {
        for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
        Soundsystem_Closedown();
    }
};

void BM_LSR_MixBuffers(benchmark::State& state) {
    Playing playing;
    std::vector<std::int16_t> out(k_frames * 2);
    for (auto _ : state) {
        LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(out.size() * 2));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * k_frames * k_sounds);
}
BENCHMARK(BM_LSR_MixBuffers);

// The reference: the same samples, already laid out as stereo output frames (SDL does not
// step or pan), summed with clipping by SDL_MixAudioFormat at half volume.
void BM_SDL_MixAudioFormat(benchmark::State& state) {
    std::vector<std::vector<std::int16_t>> sources;
    for (int i = 0; i < k_sounds; ++i) {
        const auto v = samples_of(i);
        std::vector<std::int16_t> frames(k_frames * 2);
        for (std::uint32_t f = 0; f < k_frames; ++f) {
            frames[2 * f] = frames[2 * f + 1] = v[f % k_samples];
        }
        sources.push_back(std::move(frames));
    }
    std::vector<std::int16_t> out(k_frames * 2);
    const auto bytes = static_cast<Uint32>(out.size() * 2);
    for (auto _ : state) {
        std::memset(out.data(), 0, bytes);
        for (const auto& src : sources) {
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()),
                               reinterpret_cast<const Uint8*>(src.data()), AUDIO_S16SYS, bytes,
                               SDL_MIX_MAXVOLUME / 2);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * k_frames * k_sounds);
}
BENCHMARK(BM_SDL_MixAudioFormat);

} // namespace

BENCHMARK_MAIN();
