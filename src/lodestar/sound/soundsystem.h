// The software sound mixer: sound records, the table of playing sounds, and the mix into buffers.
#pragma once

#include <atomic>
#include <cstdint>

// A stream's refill, called on the audio thread with the sound's data and its byte size.
using LSR_SoundCallbackFn = void (*)(void* data, std::uint32_t size);

// One sound in memory, owned by the caller. The mixer reads it on the audio thread while the
// worker may change it, so every field is an atomic word of the record's own width. Library
// accesses are relaxed: the record and its samples reach the mixer through the table of playing
// sounds, whose lock orders them, and a change of one word is taken whenever it is seen.
struct LSR_Sound {
    std::atomic<std::uint16_t> playing{0};
    std::atomic<std::uint16_t> channels{0};
    std::atomic<std::uint16_t> bits{0};   // 8: unsigned samples, 128 silence; 16: signed
    std::atomic<std::uint32_t> size{0};   // bytes of sample data
    std::atomic<std::uint32_t> length{0}; // end of the data as a sample index (all channels)
    std::atomic<std::uint32_t> frequency{0};
    std::atomic<std::uint64_t> position{0}; // 24.8 fixed point: sample index = position >> 8
    std::atomic<std::uint32_t> step{0};     // added to position per output frame
    std::atomic<std::uint32_t> loop{0};
    std::atomic<std::uint8_t> volume{0};
    std::atomic<std::uint8_t> left{0};
    std::atomic<std::uint8_t> right{0};
    std::atomic<std::uint8_t> panning{0}; // 0 full left, 255 full right
    std::atomic<std::uint32_t> stream{0};
    std::atomic<std::uint32_t> streamlength{0}; // frames
    std::atomic<std::uint32_t> streamsize{0};   // bytes
    std::atomic<LSR_SoundCallbackFn> callback{nullptr};
    std::atomic<void*> data{nullptr}; // owned by the record; freed by Soundsystem_DeleteSound
};

static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
static_assert(sizeof(std::atomic<std::uint8_t>) == 1 && sizeof(std::atomic<std::uint16_t>) == 2 &&
              sizeof(std::atomic<std::uint32_t>) == 4 && sizeof(std::atomic<std::uint64_t>) == 8);

// The mixer's state. The words the audio thread reads are atomic.
struct LSR_SoundSystem {
    std::uint32_t frequency = 0; // output rate in Hz
    std::atomic<std::uint16_t> channels{0};
    std::atomic<std::uint16_t> bits{0};
    std::atomic<std::uint32_t> bufferlength{0};  // frames per output buffer
    std::atomic<std::uint32_t> mixbuffersize{0}; // bytes of mixbuffer
    std::atomic<std::uint16_t> mastervolume{0};  // 0 .. 256
    std::atomic<std::int32_t*> mixbuffer{nullptr};
    std::int32_t numsounds = 0;
    std::atomic<std::int32_t> numactive{0};
};

inline constexpr int LSR_MAX_ACTIVE_SOUNDS = 16;

extern LSR_SoundSystem soundsystem;
extern std::atomic<LSR_Sound*> active_sounds[LSR_MAX_ACTIVE_SOUNDS];

std::int32_t Soundsystem_Init(std::uint32_t rate, std::uint32_t bufferlength, std::uint32_t bits,
                              std::uint32_t channels);
void Soundsystem_Closedown();
void Soundsystem_SetMasterVolume(std::int32_t volume);

void Soundsystem_LoadSound(const char* name, LSR_Sound* sound);
std::int32_t Soundsystem_SaveSound(const char* name, LSR_Sound* sound);
void Soundsystem_CreateSoundStream(LSR_Sound* sound, LSR_SoundCallbackFn callback,
                                   std::uint32_t frequency, std::uint32_t bits,
                                   std::uint32_t channels, std::uint32_t length);
void Soundsystem_DeleteSound(LSR_Sound* sound);

void Soundsystem_PlaySound(LSR_Sound* sound, std::uint32_t loop);
void Soundsystem_StopSound(LSR_Sound* sound);
void Soundsystem_SetVolume(LSR_Sound* sound, std::int32_t volume);
void Soundsystem_SetPanning(LSR_Sound* sound, std::int32_t panning);
void Soundsystem_SetFrequency(LSR_Sound* sound, std::uint32_t frequency);

std::int32_t* Soundsystem_GetOutputBuffer();

// Mixes every playing sound into output (bytes long, in the output format); audio thread.
void LSR_MixBuffers(void* output, std::uint32_t bytes);
// The same, in the shape of a platform audio callback; the first word is ignored.
void LSR_SoundCallback(void* unused, void* output, std::uint32_t bytes);
