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

// The fields of the layout, by offset: the RIFF header, the 16-byte format chunk, the data chunk.
constexpr std::uint32_t k_riff = 0, k_riff_size = 4, k_wave = 8;
constexpr std::uint32_t k_fmt = 12, k_fmt_size = 16, k_format = 20, k_channels = 22, k_rate = 24,
                        k_byte_rate = 28, k_block_align = 32, k_bits = 34;
constexpr std::uint32_t k_data = 36, k_data_size = 40;
constexpr std::uint32_t k_fmt_bytes = 16;
constexpr std::uint32_t k_pcm = 1;
// What the RIFF size counts: the header after its first 8 bytes, then the samples.
constexpr std::uint32_t k_riff_header_rest = k_wav_header_bytes - 8;

bool tag_is(const std::uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, std::strlen(tag)) == 0;
}

} // namespace

std::int32_t read_wav(const std::uint8_t* bytes, std::uint32_t n, LSR_Sound& sound) {
    sound.data.store(nullptr, relaxed);
    // Too short for the header is no WAV file either.
    if (bytes == nullptr || n < k_wav_header_bytes ||
        (!tag_is(bytes + k_riff, "RIFF") && !tag_is(bytes + k_wave, "WAVE"))) {
        _dbg_printf("No WAV file");
        return 0;
    }
    if (!tag_is(bytes + k_fmt, "fmt")) return 0;

    const std::uint32_t format = lsr::get_le16(bytes + k_format);
    const std::uint32_t bits = lsr::get_le16(bytes + k_bits);
    sound.channels.store(static_cast<std::uint16_t>(lsr::get_le16(bytes + k_channels)), relaxed);
    sound.frequency.store(lsr::get_le32(bytes + k_rate), relaxed);
    sound.bits.store(static_cast<std::uint16_t>(bits), relaxed);
    if (format != k_pcm) {
        _dbg_printf("Not PCM signed");
        return 0;
    }
    if (!tag_is(bytes + k_data, "data")) return 0;
    // Samples narrower than a byte would leave no sample count to divide by.
    if (bits / 8 == 0) {
        _dbg_printf("Bad WAV sample width");
        return 0;
    }

    const std::uint32_t size = lsr::get_le32(bytes + k_data_size);
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
    std::memcpy(out + k_riff, "RIFF", 4);
    lsr::put_le32(out + k_riff_size, data_bytes + k_riff_header_rest);
    std::memcpy(out + k_wave, "WAVE", 4);
    std::memcpy(out + k_fmt, "fmt ", 4);
    lsr::put_le32(out + k_fmt_size, k_fmt_bytes);
    lsr::put_le16(out + k_format, k_pcm);
    lsr::put_le16(out + k_channels, channels);
    lsr::put_le32(out + k_rate, frequency);
    lsr::put_le32(out + k_byte_rate, channels * width * frequency);
    lsr::put_le16(out + k_block_align, channels * width);
    lsr::put_le16(out + k_bits, sound.bits.load(relaxed));
    std::memcpy(out + k_data, "data", 4);
    lsr::put_le32(out + k_data_size, data_bytes);
    if (size > 0) std::memcpy(out + k_wav_header_bytes, data, size);
    *n = size + k_wav_header_bytes;
    return block;
}

} // namespace lsr_sound
