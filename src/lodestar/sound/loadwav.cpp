// Sounds from and to WAV files through the file layer, and the record-level load and save.
#include "lodestar/sound/loadwav.h"

#include <cctype>
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
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
    TarnFileHandle file;
    if (tarnfile_open(name, &file, 0) == 0) return 0;
    const std::uint32_t n = tarnfile_fsize(&file);
    auto* bytes = static_cast<std::uint8_t*>(_wrap_malloc_dbg(n > 0 ? n : 1, k_tag, 40));
    std::int32_t result = 0;
    if (bytes != nullptr) {
        tarnfile_read(bytes, 1, n, &file);
        result = lsr_sound::read_wav(bytes, n, *sound);
        _wrap_free_dbg(bytes, k_tag, 94);
    }
    tarnfile_close(&file);
    return result;
}

std::int32_t Soundsystem_SaveWAV(const char* name, LSR_Sound* sound) {
    if (name == nullptr || sound == nullptr) return 1;
    std::uint32_t n = 0;
    std::uint8_t* bytes = lsr_sound::build_wav(*sound, &n);
    if (bytes == nullptr) return 1; // nothing to write: saving has no failure result
    tarnfile_savebuffer(name, bytes, n);
    _wrap_free_dbg(bytes, k_tag, 134);
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
