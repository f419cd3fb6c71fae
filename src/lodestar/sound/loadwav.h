// PCM WAV files read into and written from sound records, through the file layer.
#pragma once

#include <cstdint>

#include "lodestar/sound/soundsystem.h"

// Fills channels, bits, frequency, size, data and length from the file; 1 on success. On
// failure data stays none and the rest keeps what was read so far.
std::int32_t Soundsystem_LoadWAV(const char* name, LSR_Sound* sound);
// Writes the sound as a canonical 44-byte-header WAV under the file layer's current path.
std::int32_t Soundsystem_SaveWAV(const char* name, LSR_Sound* sound);
