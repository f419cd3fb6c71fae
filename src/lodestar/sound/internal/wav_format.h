// The canonical 44-byte WAV layout: reading a whole file's bytes into a sound, writing one out.
#pragma once

#include <cstdint>

#include "lodestar/base/owner.h"

#include "lodestar/sound/soundsystem.h"

namespace lsr_sound {

inline constexpr std::uint32_t k_wav_header_bytes = 44;

// Reads a file held whole in bytes: fills channels, bits, frequency, then size, data (a counted
// copy of the samples) and length. Returns 1, or 0 with a message where the layout says so and
// with data left none. Never reads past n bytes.
std::int32_t read_wav(const std::uint8_t* bytes, std::uint32_t n, LSR_Sound& sound);

// The bytes of sound as a WAV file, in a counted block of *n bytes (tag "sound/loadwav"); empty
// when the sound has no data to write or the block cannot be had.
lsr::Counted<std::uint8_t> build_wav(const LSR_Sound& sound, std::uint32_t* n);

} // namespace lsr_sound
