// The mix: every playing sound stepped, scaled and summed into an output buffer, then clipped.
#include <algorithm>
#include <cstring>
#include <thread>

#include "lodestar/base/internal/fixed_point.h"
#include "lodestar/sound/internal/sound_record.h"
#include "lodestar/sound/soundsystem.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Odd while a pass runs; a deleter waits for it to move on before freeing sample data. The
// pass's end is a release, the deleter's look an acquire: the pass's reads come before the free.
std::atomic<std::uint32_t> g_mix_pass{0};
thread_local bool t_in_pass = false;

std::int32_t read_sample(const std::uint8_t* data, std::uint64_t index, bool sixteen) {
    if (sixteen) {
        std::int16_t s;
        std::memcpy(&s, data + index * 2, sizeof s);
        return s;
    }
    return (static_cast<std::int32_t>(data[index]) - 128) * 256;
}

// Where a sound's data ends, as a 24.8 position: its length, but never past the bytes it has.
std::uint64_t end_of(const LSR_Sound& sound, bool sixteen) {
    const std::uint32_t held = sound.size.load(relaxed) / (sixteen ? 2u : 1u);
    return std::uint64_t{std::min(sound.length.load(relaxed), held)} << 8;
}

// Brings a position that has run past end back into the data.
std::uint64_t wrap(std::uint64_t position, std::uint64_t end) {
    return position < end ? position : (position - end) % end;
}

// Mixes frames output frames of one sound into acc. Returns true when the sound has ended
// (no loop, no refill) and must leave the table.
template <bool Stereo> bool mix_sound(LSR_Sound& sound, std::int32_t* acc, std::uint32_t frames) {
    const bool sixteen = sound.bits.load(relaxed) == 16;
    auto* data = static_cast<const std::uint8_t*>(sound.data.load(relaxed));
    std::uint64_t end = end_of(sound, sixteen);
    if (data == nullptr || end == 0) return true;
    std::uint64_t position = wrap(sound.position.load(relaxed), end);

    for (std::uint32_t f = 0; f < frames; ++f) {
        // Gains and step are read per sample: a change takes effect within this buffer.
        const std::int32_t s = read_sample(data, position >> 8, sixteen);
        if constexpr (Stereo) {
            acc[2 * f] += sound.left.load(relaxed) * s;
            acc[2 * f + 1] += sound.right.load(relaxed) * s;
        } else {
            acc[f] += sound.volume.load(relaxed) * s;
        }
        position += sound.step.load(relaxed);
        if (position < end) continue;

        if (LSR_SoundCallbackFn refill = sound.callback.load(relaxed)) {
            sound.position.store(position, relaxed);
            refill(sound.data.load(relaxed), sound.size.load(relaxed));
            data = static_cast<const std::uint8_t*>(sound.data.load(relaxed));
            end = end_of(sound, sixteen);
            if (data == nullptr || end == 0) return true;
            position = sound.position.load(relaxed);
            position = position >= end ? wrap(position - end, end) : position;
        } else if (sound.loop.load(relaxed) != 0) {
            position = wrap(position, end);
        } else {
            sound.position.store(position, relaxed);
            return true;
        }
    }
    sound.position.store(position, relaxed);
    return false;
}

// Every sound of the table as it stands when the turn begins; one that ends leaves the table,
// and the sounds behind it are still mixed in this turn.
template <bool Stereo> void mix_table(std::int32_t* acc, std::uint32_t frames) {
    LSR_Sound* sounds[LSR_MAX_ACTIVE_SOUNDS];
    const std::int32_t count = lsr_sound::playing_sounds(sounds);
    for (std::int32_t i = 0; i < count; ++i) {
        LSR_Sound* sound = sounds[i];
        if (sound == nullptr || sound->playing.load(relaxed) == 0) continue;
        if (mix_sound<Stereo>(*sound, acc, frames)) Soundsystem_StopSound(sound);
    }
}

template <typename Out> void convert(const std::int32_t* acc, std::uint8_t* out, std::uint32_t n) {
    const std::int64_t master = soundsystem.mastervolume.load(relaxed);
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto v = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(lsr::asr(acc[i] * master, 16), -32767, 32767));
        if constexpr (sizeof(Out) == 2) {
            const auto sample = static_cast<std::int16_t>(v);
            std::memcpy(out + 2 * std::size_t{i}, &sample, sizeof sample);
        } else {
            out[i] = static_cast<std::uint8_t>(lsr::asr(v, 8) + 128);
        }
    }
}

template <typename Out> void mix_into(std::uint8_t* out, std::uint32_t n) {
    std::int32_t* acc = soundsystem.mixbuffer.load(relaxed);
    const bool stereo = soundsystem.channels.load(relaxed) == 2;
    const std::uint32_t channels = stereo ? 2 : 1;
    // Larger requests than the mixing buffer holds are mixed in turns of whole frames.
    const std::uint32_t capacity =
        soundsystem.mixbuffersize.load(relaxed) / 4 / channels * channels;
    if (acc == nullptr || capacity == 0) {
        std::memset(out, sizeof(Out) == 2 ? 0 : 0x80, std::size_t{n} * sizeof(Out));
        return;
    }
    while (n > 0) {
        const std::uint32_t count = std::min(n, capacity);
        std::fill_n(acc, count, 0);
        if (stereo) {
            mix_table<true>(acc, count / 2);
        } else {
            mix_table<false>(acc, count);
        }
        convert<Out>(acc, out, count);
        out += std::size_t{count} * sizeof(Out);
        n -= count;
    }
}

} // namespace

namespace lsr_sound {

void wait_out_mixing() {
    if (t_in_pass) return;
    const std::uint32_t pass = g_mix_pass.load(std::memory_order_acquire);
    if ((pass & 1u) == 0) return;
    while (g_mix_pass.load(std::memory_order_acquire) == pass) std::this_thread::yield();
}

} // namespace lsr_sound

void LSR_MixBuffers(void* output, std::uint32_t bytes) {
    if (output == nullptr) return;
    // Counted before the pass looks at the table: a deleter that takes a sound out after that
    // look (under the table's lock) sees the pass running.
    g_mix_pass.fetch_add(1, relaxed);
    t_in_pass = true;
    auto* out = static_cast<std::uint8_t*>(output);
    if (soundsystem.bits.load(relaxed) == 16) {
        mix_into<std::int16_t>(out, bytes / 2);
    } else {
        mix_into<std::uint8_t>(out, bytes);
    }
    t_in_pass = false;
    g_mix_pass.fetch_add(1, std::memory_order_release);
}

void LSR_SoundCallback(void* /*unused*/, void* output, std::uint32_t bytes) {
    LSR_MixBuffers(output, bytes);
}
