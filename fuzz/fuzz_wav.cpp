// Fuzzes the WAV reader: any bytes are refused or read, and what is read writes back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lodestar/lodestar.h"
#include "lodestar/sound/internal/sound_record.h"
#include "lodestar/sound/internal/wav_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    LSR_Sound sound;
    const auto n = static_cast<std::uint32_t>(size);
    if (lsr_sound::read_wav(data, n, sound) == 0) {
        if (sound.data.load() != nullptr) std::abort(); // a refused file keeps no data
        return 0;
    }
    if (sound.size.load() > n - lsr_sound::k_wav_header_bytes) std::abort();
    std::uint32_t written = 0;
    const lsr::Counted<std::uint8_t> out = lsr_sound::build_wav(sound, &written);
    if (!out) std::abort();
    // The header counts whole samples: a trailing part of one is written but not counted.
    const std::uint32_t whole = sound.length.load() * (sound.bits.load() / 8u);
    LSR_Sound again;
    if (lsr_sound::read_wav(out.get(), written, again) != 1 || again.size.load() != whole ||
        again.length.load() != sound.length.load() ||
        again.channels.load() != sound.channels.load() ||
        again.frequency.load() != sound.frequency.load() ||
        again.bits.load() != sound.bits.load() ||
        std::memcmp(again.data.load(), sound.data.load(), whole) != 0) {
        std::abort();
    }
    _wrap_free_dbg(again.data.load(), "fuzz", 1);
    _wrap_free_dbg(sound.data.load(), "fuzz", 3);
    return 0;
}
