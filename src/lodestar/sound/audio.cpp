// The ring of four output buffers: opening the output, refilling on completion, pause and stop.
#include "lodestar/sound/audio.h"

#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/platform.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/soundsystem.h"

std::atomic<std::uint32_t> exitflag{0};
std::atomic<std::uint32_t> g_wo{0};
LSR_WaveFormat g_wf;
LSR_WaveHeader g_hdr[LSR_AUDIO_BUFFERS];
std::atomic<std::uint8_t*> g_audio_buffer{nullptr};
std::atomic<std::uint32_t> g_buffer_size{0};
std::atomic<std::uint32_t> g_sample_size{0};
std::atomic<std::uint32_t> g_cur_buf{0};
std::atomic<std::uint32_t> g_num_prep_buffers{0};
std::atomic<std::uint32_t> g_waveout_opened{0};
std::atomic<std::uint32_t> g_audio_paused{0};
std::atomic<std::uint32_t> g_buffer_waiting{0};

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// A header can be prepared only on an open output; that is how a failed open shows.
bool prepare(LSR_WaveHeader& header) {
    if (g_wo.load(relaxed) == 0) return false;
    header.flags |= LSR_WHDR_PREPARED;
    return true;
}

void unprepare(LSR_WaveHeader& header) {
    header.flags &= ~LSR_WHDR_PREPARED;
}

// Clears slot's header and points it at the slot's part of the block.
LSR_WaveHeader& point_slot(std::uint32_t slot, std::uint8_t* block) {
    LSR_WaveHeader& header = g_hdr[slot];
    const std::uint32_t size = g_buffer_size.load(relaxed);
    header = {};
    header.buffer.data = block + static_cast<std::size_t>(slot) * size;
    header.buffer.bytes = size;
    return header;
}

void queue_slot(std::uint32_t slot, std::uint8_t* block) {
    LSR_WaveHeader& header = point_slot(slot, block);
    if (prepare(header)) plat_wave_queue(&header.buffer);
}

void release_block() {
    if (std::uint8_t* block = g_audio_buffer.exchange(nullptr, relaxed)) _wrap_free(block);
}

} // namespace

void LSR_audio_closedown() {
    const bool opened = g_waveout_opened.load(relaxed) != 0;
    if (opened) {
        // Drops every queued buffer and waits out a refill in progress, so that nothing
        // touches the block once it is released below.
        plat_wave_reset();
        const std::uint32_t n = g_num_prep_buffers.load(relaxed);
        for (std::uint32_t i = 0; i < n && i < LSR_AUDIO_BUFFERS; ++i) unprepare(g_hdr[i]);
    }
    g_num_prep_buffers.store(0, relaxed);
    release_block();
    if (opened) {
        plat_wave_close();
        g_wo.store(0, relaxed);
    }
    g_waveout_opened.store(0, relaxed);
}

std::int32_t LSR_audio_setformat(int rate, int bits, int /*bufferlength*/, int stereo) {
    LSR_audio_closedown();
    if (rate == 0) return 1;

    const std::uint32_t channels = (static_cast<unsigned>(stereo) & 2u) != 0 ? 2 : 1;
    soundsystem.bits.store(static_cast<std::uint16_t>(bits), relaxed);
    soundsystem.channels.store(static_cast<std::uint16_t>(channels), relaxed);
    if (bits != 8 && bits != 16) return 0;

    const std::uint32_t sample_size = static_cast<std::uint32_t>(bits) / 8 * channels;
    const std::uint32_t buffer_size = sample_size * LSR_AUDIO_FRAMES;
    g_sample_size.store(sample_size, relaxed);
    g_buffer_size.store(buffer_size, relaxed);
    _dbg_printf("sample size: %d\nbuffer size: %d\n", static_cast<int>(sample_size),
                static_cast<int>(buffer_size));

    auto* block = static_cast<std::uint8_t*>(_wrap_malloc(LSR_AUDIO_BUFFERS * buffer_size));
    if (block == nullptr) {
        LSR_audio_closedown();
        return 0;
    }
    // The buffers are queued before anything is mixed into them: they start silent.
    std::memset(block, bits == 8 ? 0x80 : 0, LSR_AUDIO_BUFFERS * buffer_size);
    g_audio_buffer.store(block, relaxed);
    _dbg_printf("open waveout\n");

    g_wf.format_tag = 1;
    g_wf.channels = static_cast<std::uint16_t>(channels);
    g_wf.samples_per_sec = static_cast<std::uint32_t>(rate);
    g_wf.avg_bytes_per_sec = static_cast<std::uint32_t>(rate) * sample_size;
    g_wf.block_align = static_cast<std::uint16_t>(sample_size);
    g_wf.bits_per_sample = static_cast<std::uint16_t>(bits);
    g_wf.extra_size = 0;

    if (plat_wave_open(g_wf.samples_per_sec, g_wf.bits_per_sample, g_wf.channels, waveOutProc,
                       nullptr)) {
        g_wo.store(1, relaxed);
        _dbg_printf("AUDIO: opening audio device succesful!\n");
    }
    g_waveout_opened.store(1, relaxed);

    for (std::uint32_t i = 0; i < LSR_AUDIO_BUFFERS; ++i) {
        if (!prepare(point_slot(i, block))) {
            _dbg_printf("AUDIO: error opening audio buffer\n");
            LSR_audio_closedown();
            return 0;
        }
        g_num_prep_buffers.store(i + 1, relaxed);
    }
    // Everything the refill reads is in place before the output can report a finished buffer.
    g_audio_paused.store(0, relaxed);
    g_cur_buf.store(0, relaxed);
    g_buffer_waiting.store(0, relaxed);
    soundsystem.bufferlength.store(buffer_size / sample_size, relaxed);
    for (LSR_WaveHeader& header : g_hdr) plat_wave_queue(&header.buffer);

    _dbg_printf("audio opened\n");
    return 1;
}

void fillnextbuffer() {
    std::uint8_t* block = g_audio_buffer.load(relaxed);
    if (block == nullptr) return;
    const std::uint32_t slot = g_cur_buf.load(relaxed) % LSR_AUDIO_BUFFERS;
    queue_slot(slot, block);
    // Queued first, mixed just after: the output reaches it only after the three ahead of it.
    LSR_MixBuffers(g_hdr[slot].buffer.data, g_hdr[slot].buffer.bytes);
    g_cur_buf.store((slot + 1) % LSR_AUDIO_BUFFERS, relaxed);
}

void waveOutProc(PlatWaveBuffer* /*buffer*/, void* /*context*/) {
    if (exitflag.load(relaxed) == 0) fillnextbuffer();
}

void LSR_audio_pause() {
    if (g_audio_paused.load(relaxed) != 0) return;
    plat_wave_pause();
    g_audio_paused.store(1, relaxed);
}

void LSR_audio_resume() {
    if (g_audio_paused.load(relaxed) == 0) return;
    plat_wave_restart();
    g_audio_paused.store(0, relaxed);
}

void LSR_audio_stop() {
    // Closing first: once the output is closed no completion runs or will run, so the
    // headers and the block can go without a refill racing with them.
    if (g_waveout_opened.load(relaxed) != 0) plat_wave_close();
    g_wo.store(0, relaxed);
    for (LSR_WaveHeader& header : g_hdr) unprepare(header);
    g_num_prep_buffers.store(0, relaxed);
    release_block();
    g_waveout_opened.store(0, relaxed);
}

std::int32_t LSR_audio_getbuffer(void** data, std::int32_t* length) {
    std::uint8_t* block = g_audio_buffer.load(relaxed);
    const std::uint32_t size = g_buffer_size.load(relaxed);
    if (block == nullptr) {
        if (data != nullptr) *data = nullptr;
        if (length != nullptr) *length = 0;
        return 0;
    }
    const std::uint32_t slot = g_cur_buf.load(relaxed) % LSR_AUDIO_BUFFERS;
    if (data != nullptr) *data = block + static_cast<std::size_t>(slot) * size;
    if (length != nullptr) *length = static_cast<std::int32_t>(size);
    g_buffer_waiting.store(1, relaxed);
    return 1;
}

std::uint32_t LSR_audio_submitbuffer() {
    std::uint8_t* block = g_audio_buffer.load(relaxed);
    const std::uint32_t slot = g_cur_buf.load(relaxed) % LSR_AUDIO_BUFFERS;
    if (block == nullptr) return slot;
    queue_slot(slot, block);
    g_buffer_waiting.store(0, relaxed);
    const std::uint32_t next = (slot + 1) % LSR_AUDIO_BUFFERS;
    g_cur_buf.store(next, relaxed);
    return next;
}
