// Mixing 16 playing sounds into one 2048-frame stereo buffer, beside SDL's own sample mixer.
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "fixtures.h"
#include "harness.h"
#include "headless_wave.h"

namespace {

constexpr int k_sounds = 16;
constexpr std::uint32_t k_frames = 2048;
constexpr std::uint32_t k_samples = 10000;
constexpr std::uint32_t k_rate = 44100;

std::vector<std::int16_t> samples_of(int which) {
    std::mt19937 rng(static_cast<unsigned>(which) + 1);
    std::uniform_int_distribution<int> dist(-8000, 8000);
    std::vector<std::int16_t> v(k_samples);
    for (auto& s : v) s = static_cast<std::int16_t>(dist(rng));
    return v;
}

// 16 looping mono sounds at the output rate, full volume, centred, all playing.
class Playing {
  public:
    Playing() {
        bench::Quiet quiet;
        headless::wave_reset_controls();
        Soundsystem_Init(k_rate, 0, 16, 2);
        for (int i = 0; i < k_sounds; ++i) {
            const auto v = samples_of(i);
            LSR_Sound& s = sounds_[i];
            void* data = _wrap_malloc_dbg(k_samples * 2, "bench", __LINE__);
            std::memcpy(data, v.data(), k_samples * 2);
            s.channels = 1;
            s.bits = 16;
            s.frequency = k_rate;
            s.size = k_samples * 2;
            s.length = k_samples;
            s.data = data;
            Soundsystem_SetVolume(&s, 255);
            Soundsystem_SetPanning(&s, 128);
            Soundsystem_SetFrequency(&s, k_rate);
            Soundsystem_PlaySound(&s, 1);
        }
    }
    ~Playing() {
        bench::Quiet quiet;
        for (LSR_Sound& s : sounds_) Soundsystem_DeleteSound(&s);
        Soundsystem_Closedown();
    }
    Playing(const Playing&) = delete;
    Playing& operator=(const Playing&) = delete;

  private:
    std::array<LSR_Sound, k_sounds> sounds_;
};

// The library steps, pans and scales each sound; SDL only sums with clipping, so the two
// outputs are not compared.
void mixing() {
    bench::compare("LSR_MixBuffers 16 sounds", "2048 frames",
                   [](benchmark::State& state) {
                       const Playing playing;
                       std::vector<std::int16_t> out(k_frames * 2);
                       bench::loop(state, [&] {
                           LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(out.size() * 2));
                       });
                   },
                   {{"SDL_MixAudioFormat",
                     [](benchmark::State& state) {
                         // The same samples, already laid out as stereo output frames, at half
                         // volume.
                         std::vector<std::vector<std::int16_t>> sources;
                         for (int i = 0; i < k_sounds; ++i) {
                             const auto v = samples_of(i);
                             std::vector<std::int16_t> frames(k_frames * 2);
                             for (std::uint32_t f = 0; f < k_frames; ++f)
                                 frames[2 * f] = frames[2 * f + 1] = v[f % k_samples];
                             sources.push_back(std::move(frames));
                         }
                         std::vector<std::int16_t> out(k_frames * 2);
                         const auto bytes = static_cast<Uint32>(out.size() * 2);
                         bench::loop(state, [&] {
                             std::memset(out.data(), 0, bytes);
                             for (const auto& src : sources) {
                                 SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()),
                                                    reinterpret_cast<const Uint8*>(src.data()),
                                                    AUDIO_S16SYS, bytes, SDL_MIX_MAXVOLUME / 2);
                             }
                         });
                     },
                     1.0}});
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    mixing();
    return bench::run(argc, argv);
}
