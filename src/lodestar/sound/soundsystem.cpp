// The mixer's state and its operations on sounds: start-up, volumes, play, stop, streams, delete.
#include "lodestar/sound/soundsystem.h"

#include <algorithm>
#include <mutex>

#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/internal/sound_record.h"

LSR_SoundSystem soundsystem;
std::atomic<LSR_Sound*> active_sounds[LSR_MAX_ACTIVE_SOUNDS];

namespace {

constexpr auto relaxed = std::memory_order_relaxed;
constexpr const char* k_tag = "sound/soundsystem";

// Both threads change the table (the worker plays and stops, the mixer drops ended sounds), so
// every change and every look at it is made under this lock. Taking it is also what hands a
// sound over: whatever the worker wrote into the record and its samples before playing it is
// seen by the mix that finds it in the table.
std::mutex g_table_lock;

// The table count as an index bound.
std::int32_t active_count() {
    return std::clamp(soundsystem.numactive.load(relaxed), 0, LSR_MAX_ACTIVE_SOUNDS);
}

std::int32_t find_active(const LSR_Sound* sound, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        if (active_sounds[i].load(relaxed) == sound) return i;
    }
    return -1;
}

std::uint8_t clamp_byte(std::int32_t v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

void set_gains(LSR_Sound& sound, std::uint32_t volume, std::uint32_t panning) {
    sound.left.store(static_cast<std::uint8_t>(((255 - panning) * volume) >> 8), relaxed);
    sound.right.store(static_cast<std::uint8_t>((panning * volume) >> 8), relaxed);
}

void free_mixbuffer() {
    soundsystem.mixbuffersize.store(0, relaxed);
    if (std::int32_t* buffer = soundsystem.mixbuffer.exchange(nullptr, relaxed)) {
        _wrap_free_dbg(buffer, k_tag, 47);
    }
}

// channels x frames accumulators of 4 bytes, the size wrapping as a 32-bit word.
void allocate_mixbuffer(std::uint32_t channels, std::uint32_t frames) {
    const std::uint32_t bytes = channels * frames * 4;
    auto* mix = static_cast<std::int32_t*>(_wrap_malloc_dbg(bytes, k_tag, 43));
    soundsystem.mixbuffersize.store(mix != nullptr ? bytes : 0, relaxed);
    soundsystem.mixbuffer.store(mix, relaxed);
}

} // namespace

namespace lsr_sound {

void clear_record(LSR_Sound& s) {
    s.playing.store(0, relaxed);
    s.channels.store(0, relaxed);
    s.bits.store(0, relaxed);
    s.size.store(0, relaxed);
    s.length.store(0, relaxed);
    s.frequency.store(0, relaxed);
    s.position.store(0, relaxed);
    s.step.store(0, relaxed);
    s.loop.store(0, relaxed);
    s.volume.store(0, relaxed);
    s.left.store(0, relaxed);
    s.right.store(0, relaxed);
    s.panning.store(0, relaxed);
    s.stream.store(0, relaxed);
    s.streamlength.store(0, relaxed);
    s.streamsize.store(0, relaxed);
    s.callback.store(nullptr, relaxed);
    s.data.store(nullptr, relaxed);
}

std::uint32_t step_for(const LSR_Sound& sound, std::uint32_t frequency) {
    const std::uint32_t rate = soundsystem.frequency;
    if (rate == 0) return 0;
    return frequency * 256u * sound.channels.load(relaxed) / rate;
}

void set_playing_defaults(LSR_Sound& s) {
    s.stream.store(0, relaxed);
    s.streamlength.store(0, relaxed);
    s.streamsize.store(0, relaxed);
    s.callback.store(nullptr, relaxed);
    s.position.store(0, relaxed);
    s.loop.store(0, relaxed);
    s.volume.store(255, relaxed);
    s.left.store(128, relaxed);
    s.right.store(128, relaxed);
    s.panning.store(128, relaxed);
    s.playing.store(0, relaxed);
    s.step.store(step_for(s, s.frequency.load(relaxed)), relaxed);
}

std::int32_t playing_sounds(LSR_Sound* (&out)[LSR_MAX_ACTIVE_SOUNDS]) {
    const std::lock_guard lock(g_table_lock);
    const std::int32_t count = active_count();
    for (std::int32_t i = 0; i < count; ++i) out[i] = active_sounds[i].load(relaxed);
    return count;
}

} // namespace lsr_sound

std::int32_t Soundsystem_Init(std::uint32_t rate, std::uint32_t bufferlength, std::uint32_t bits,
                              std::uint32_t channels) {
    if (bufferlength == 0) bufferlength = rate / 16;
    if (soundsystem.mixbuffer.load(relaxed) != nullptr) {
        // Starting again: the running output goes first, so no refill mixes into the buffer
        // that is replaced here.
        LSR_audio_closedown();
        free_mixbuffer();
    }

    soundsystem.frequency = rate;
    soundsystem.channels.store(static_cast<std::uint16_t>(channels), relaxed);
    soundsystem.bits.store(static_cast<std::uint16_t>(bits), relaxed);
    soundsystem.numsounds = 0;
    for (auto& slot : active_sounds) slot.store(nullptr, relaxed);
    soundsystem.numactive.store(0, relaxed);
    soundsystem.mastervolume.store(256, relaxed);
    soundsystem.bufferlength.store(bufferlength, relaxed);

    // The output may ask for its first refill before LSR_audio_setformat returns, so the mixing
    // buffer is made first, for the channels and the fixed buffer length of an opened output.
    const std::uint32_t out_channels = channels == 2 ? 2 : 1;
    allocate_mixbuffer(out_channels, LSR_AUDIO_FRAMES);
    LSR_audio_setformat(static_cast<int>(rate), static_cast<int>(bits),
                        static_cast<int>(bufferlength), static_cast<int>(out_channels));
    const std::uint32_t frames = soundsystem.bufferlength.load(relaxed);
    _dbg_printf("soundsystem bufferlength = %d\n", static_cast<int>(frames));
    // No output opened: the length asked for stays in force, no refill can come, and the
    // buffer is remade for it.
    const std::uint32_t in_force = soundsystem.channels.load(relaxed);
    if (g_waveout_opened.load(relaxed) == 0 &&
        (in_force != out_channels || frames != LSR_AUDIO_FRAMES)) {
        free_mixbuffer();
        allocate_mixbuffer(in_force, frames);
    }
    return 1;
}

void Soundsystem_Closedown() {
    LSR_audio_stop();
    free_mixbuffer();
}

void Soundsystem_SetMasterVolume(std::int32_t volume) {
    soundsystem.mastervolume.store(static_cast<std::uint16_t>(std::clamp(volume, 0, 256)), relaxed);
}

void Soundsystem_SetVolume(LSR_Sound* sound, std::int32_t volume) {
    if (sound == nullptr) return;
    const std::uint8_t v = clamp_byte(volume);
    sound->volume.store(v, relaxed);
    set_gains(*sound, v, sound->panning.load(relaxed));
}

void Soundsystem_SetPanning(LSR_Sound* sound, std::int32_t panning) {
    if (sound == nullptr) return;
    const std::uint8_t p = clamp_byte(panning);
    sound->panning.store(p, relaxed);
    set_gains(*sound, sound->volume.load(relaxed), p);
}

void Soundsystem_SetFrequency(LSR_Sound* sound, std::uint32_t frequency) {
    if (sound == nullptr) return;
    sound->step.store(lsr_sound::step_for(*sound, frequency), relaxed);
}

void Soundsystem_CreateSoundStream(LSR_Sound* sound, LSR_SoundCallbackFn callback,
                                   std::uint32_t frequency, std::uint32_t bits,
                                   std::uint32_t channels, std::uint32_t length) {
    if (sound == nullptr) return;
    lsr_sound::clear_record(*sound);
    const std::uint64_t bytes = std::uint64_t{channels} * length * (bits / 8);
    sound->channels.store(static_cast<std::uint16_t>(channels), relaxed);
    sound->bits.store(static_cast<std::uint16_t>(bits), relaxed);
    sound->frequency.store(frequency, relaxed);
    void* data = nullptr;
    if (bytes > 0 && bytes <= 0xFFFFFFFFu) {
        data = _wrap_malloc_dbg(static_cast<std::uint32_t>(bytes), k_tag, 268);
        if (data != nullptr) wrap_memclr(data, static_cast<std::int32_t>(bytes));
    }
    const std::uint32_t size = data != nullptr ? static_cast<std::uint32_t>(bytes) : 0;
    // The end of the data as a sample index over every channel, as for a loaded sound, so
    // that a stereo stream plays its whole buffer before the refill.
    sound->length.store(data != nullptr ? length * channels : 0, relaxed);
    sound->size.store(size, relaxed);
    sound->stream.store(1, relaxed);
    sound->streamlength.store(length, relaxed);
    sound->streamsize.store(size, relaxed);
    sound->callback.store(callback, relaxed);
    sound->data.store(data, relaxed);
    sound->position.store(0, relaxed);
    sound->volume.store(255, relaxed);
    sound->left.store(128, relaxed);
    sound->right.store(128, relaxed);
    sound->panning.store(128, relaxed);
    sound->loop.store(1, relaxed);
    sound->playing.store(0, relaxed);
    sound->step.store(lsr_sound::step_for(*sound, frequency), relaxed);
    ++soundsystem.numsounds;
}

void Soundsystem_PlaySound(LSR_Sound* sound, std::uint32_t loop) {
    // A record without data (a failed load) has nothing to play.
    if (sound == nullptr || sound->data.load(relaxed) == nullptr ||
        sound->length.load(relaxed) == 0) {
        return;
    }
    sound->playing.store(1, relaxed);
    sound->position.store(0, relaxed);
    if (loop != 0) sound->loop.store(1, relaxed);

    const std::lock_guard lock(g_table_lock);
    const std::int32_t count = active_count();
    if (find_active(sound, count) >= 0) return; // already in the table: restarted
    if (count >= LSR_MAX_ACTIVE_SOUNDS) return; // marked playing, but not heard
    active_sounds[count].store(sound, relaxed);
    soundsystem.numactive.store(count + 1, relaxed);
}

void Soundsystem_StopSound(LSR_Sound* sound) {
    if (sound == nullptr) return;
    sound->playing.store(0, relaxed);
    sound->position.store(0, relaxed);
    const std::lock_guard lock(g_table_lock);
    const std::int32_t count = active_count();
    const std::int32_t at = find_active(sound, count);
    if (at < 0) return;
    for (std::int32_t i = at; i + 1 < count; ++i) {
        active_sounds[i].store(active_sounds[i + 1].load(relaxed), relaxed);
    }
    active_sounds[count - 1].store(nullptr, relaxed);
    soundsystem.numactive.store(count - 1, relaxed);
}

void Soundsystem_DeleteSound(LSR_Sound* sound) {
    if (sound == nullptr) return;
    Soundsystem_StopSound(sound);
    // A pass that took the sound from the table before it left may still be reading it.
    lsr_sound::wait_out_mixing();
    sound->length.store(0, relaxed);
    sound->size.store(0, relaxed);
    if (void* data = sound->data.exchange(nullptr, relaxed)) _wrap_free_dbg(data, k_tag, 317);
    if (soundsystem.numsounds > 0) --soundsystem.numsounds;
}

std::int32_t* Soundsystem_GetOutputBuffer() {
    return soundsystem.mixbuffer.load(relaxed);
}
