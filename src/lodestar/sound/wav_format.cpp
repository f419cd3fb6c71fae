// The canonical 44-byte WAV layout read from and written to bytes, every length checked.
#include "lodestar/sound/internal/wav_format.h"

#include <cstring>

#include "lodestar/base/bytes.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"

namespace lsr_sound {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;
constexpr const char* k_tag = "sound/loadwav";

bool tag_is(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, std::strlen(tag)) == 0;
}

} // namespace

std::int32_t read_wav(const std::uint8_t* bytes, std::uint32_t n, LSR_Sound& sound) {
    sound.data.store(nullptr, relaxed);
    // Too short for the header is no WAV file either.
    if (bytes == nullptr || n < k_wav_header_bytes ||
        (!tag_is(bytes, "RIFF") && !tag_is(bytes + 8, "WAVE"))) {
        _dbg_printf("No WAV file");
        return 0;
    }
    if (!tag_is(bytes + 12, "fmt")) return 0;

    const std::uint32_t format = lsr::get_le16(bytes + 20);
    const std::uint32_t bits = lsr::get_le16(bytes + 34);
    sound.channels.store(static_cast<std::uint16_t>(lsr::get_le16(bytes + 22)), relaxed);
    sound.frequency.store(lsr::get_le32(bytes + 24), relaxed);
    sound.bits.store(static_cast<std::uint16_t>(bits), relaxed);
    if (format != 1) {
        _dbg_printf("Not PCM signed");
        return 0;
    }
    if (!tag_is(bytes + 36, "data")) return 0;
    // Samples narrower than a byte would leave no sample count to divide by.
    if (bits / 8 == 0) {
        _dbg_printf("Bad WAV sample width");
        return 0;
    }

    const std::uint32_t size = lsr::get_le32(bytes + 40);
    if (size > n - k_wav_header_bytes) {
        _dbg_printf("WAV data larger than the file");
        return 0;
    }
    lsr::Counted<std::uint8_t> data = lsr::allocate_counted<std::uint8_t>(size, k_tag, 58);
    if (!data) return 0;
    if (size > 0) std::memcpy(data.get(), bytes + k_wav_header_bytes, size);
    sound.size.store(size, relaxed);
    sound.length.store(size / (bits / 8), relaxed);
    sound.data.store(data.release(), relaxed); // the sound's now, freed with it
    return 1;
}

lsr::Counted<std::uint8_t> build_wav(const LSR_Sound& sound, std::uint32_t* n) {
    const void* data = sound.data.load(relaxed);
    const std::uint32_t size = sound.size.load(relaxed);
    if (data == nullptr && size > 0) return {};
    if (size > 0xFFFFFFFFu - k_wav_header_bytes) return {};
    auto block = lsr::allocate_counted<std::uint8_t>(size + k_wav_header_bytes, k_tag, 74);
    if (!block) return {};

    std::uint8_t* const out = block.get();
    const std::uint32_t channels = sound.channels.load(relaxed);
    const std::uint32_t width = sound.bits.load(relaxed) / 8u;
    const std::uint32_t frequency = sound.frequency.load(relaxed);
    const std::uint32_t data_bytes = width * sound.length.load(relaxed);
    std::memcpy(out, "RIFF", 4);
    lsr::put_le32(out + 4, data_bytes + 36);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    lsr::put_le32(out + 16, 16);
    lsr::put_le16(out + 20, 1);
    lsr::put_le16(out + 22, channels);
    lsr::put_le32(out + 24, frequency);
    lsr::put_le32(out + 28, channels * width * frequency);
    lsr::put_le16(out + 32, channels * width);
    lsr::put_le16(out + 34, sound.bits.load(relaxed));
    std::memcpy(out + 36, "data", 4);
    lsr::put_le32(out + 40, data_bytes);
    if (size > 0) std::memcpy(out + k_wav_header_bytes, data, size);
    *n = size + k_wav_header_bytes;
    return block;
}

} // namespace lsr_sound
