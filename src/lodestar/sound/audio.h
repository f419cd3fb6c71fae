// The ring of four output buffers on the platform's wave output, refilled by the mixer.
#pragma once

#include <cstdint>

// Opens the output (bit 1 of stereo asks for two channels) and starts the ring; 1 on success.
// A rate of 0 only closes. bufferlength is not used: a buffer is always LSR_AUDIO_FRAMES frames.
std::int32_t LSR_audio_setformat(int rate, int bits, int bufferlength, int stereo);
void LSR_audio_stop();
void LSR_audio_closedown();
void LSR_audio_pause();
void LSR_audio_resume();

// Pull-style use: hands out the current slot (either pointer may be null), then queues it.
// getbuffer returns 0 with nothing handed out while no output is open.
std::int32_t LSR_audio_getbuffer(void** data, std::int32_t* length);
std::uint32_t LSR_audio_submitbuffer();
