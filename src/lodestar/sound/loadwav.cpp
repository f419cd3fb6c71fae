// Sounds from and to WAV files through the file layer, and the record-level load and save.
#include "lodestar/sound/loadwav.h"

#include <cctype>
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/sound/internal/sound_record.h"
#include "lodestar/sound/internal/wav_format.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace {

constexpr const char* k_tag = "sound/loadwav";

// True when the name ends in ".WAV", compared in upper case over exactly four characters.
bool is_wav_name(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr || std::strlen(dot) != 4) return false;
    const char want[] = ".WAV";
    for (int i = 0; i < 4; ++i)
        if (std::toupper(static_cast<unsigned char>(dot[i])) != want[i]) return false;
    return true;
}

} // namespace

std::int32_t Soundsystem_LoadWAV(const char* name, LSR_Sound* sound) {
    if (name == nullptr || sound == nullptr) return 0;
    std::uint32_t n = 0;
    const lsr::Counted<std::uint8_t> bytes = tarnfile_readall(name, k_tag, 40, &n);
    return bytes ? lsr_sound::read_wav(bytes.get(), n, *sound) : 0;
}

std::int32_t Soundsystem_SaveWAV(const char* name, LSR_Sound* sound) {
    if (name == nullptr || sound == nullptr) return 1;
    std::uint32_t n = 0;
    const lsr::Counted<std::uint8_t> bytes = lsr_sound::build_wav(*sound, &n);
    // With nothing to write nothing is saved: saving has no failure result.
    if (bytes) tarnfile_savebuffer(name, bytes.get(), n);
    return 1;
}

void Soundsystem_LoadSound(const char* name, LSR_Sound* sound) {
    if (sound == nullptr) return;
    _dbg_printf("Loading sound %s\n", name != nullptr ? name : "");
    lsr_sound::clear_record(*sound);
    if (name != nullptr && is_wav_name(name)) Soundsystem_LoadWAV(name, sound);
    lsr_sound::set_playing_defaults(*sound);
    ++soundsystem.numsounds;
}

std::int32_t Soundsystem_SaveSound(const char* name, LSR_Sound* sound) {
    return Soundsystem_SaveWAV(name, sound);
}
