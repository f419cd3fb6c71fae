// The ring's state: four output buffers on the platform's wave output, refilled by the mixer.
#pragma once

#include <atomic>
#include <cstdint>

#include "lodestar/platform.h"

inline constexpr std::uint32_t LSR_AUDIO_BUFFERS = 4;
inline constexpr std::uint32_t LSR_AUDIO_FRAMES = 2048; // frames per buffer, whatever is asked
inline constexpr std::uint32_t LSR_WHDR_PREPARED = 2;

// The PCM description the output was opened with.
struct LSR_WaveFormat {
    std::uint16_t format_tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samples_per_sec = 0;
    std::uint32_t avg_bytes_per_sec = 0;
    std::uint16_t block_align = 0;
    std::uint16_t bits_per_sample = 0;
    std::uint16_t extra_size = 0;
};

// One ring slot as queued on the output.
struct LSR_WaveHeader {
    PlatWaveBuffer buffer;
    std::uint32_t flags = 0; // LSR_WHDR_PREPARED while prepared
    std::uint32_t loops = 0;
};

// Set to 1 by the worker after its close-down (frame/init); the refill stops once it is 1.
extern std::atomic<std::uint32_t> exitflag;

extern std::atomic<std::uint32_t> g_wo; // 1 while the platform's output is open
extern LSR_WaveFormat g_wf;
extern LSR_WaveHeader g_hdr[LSR_AUDIO_BUFFERS];
extern std::atomic<std::uint8_t*> g_audio_buffer; // the four buffers back to back
extern std::atomic<std::uint32_t> g_buffer_size;  // bytes per buffer
extern std::atomic<std::uint32_t> g_sample_size;  // bytes per frame
extern std::atomic<std::uint32_t> g_cur_buf;      // slot to refill or hand out next
extern std::atomic<std::uint32_t> g_num_prep_buffers;
extern std::atomic<std::uint32_t> g_waveout_opened;
extern std::atomic<std::uint32_t> g_audio_paused;
extern std::atomic<std::uint32_t> g_buffer_waiting;

// The output's completion notice (audio thread): refills unless the program is closing.
void waveOutProc(PlatWaveBuffer* buffer, void* context);
void fillnextbuffer();
