// The shown colours of a present, their checksum, and a PNG writer over zlib.
#include "shot.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <string_view>

namespace shot {

namespace {

void put32be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t crc(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    return static_cast<std::uint32_t>(::crc32(crc, data, static_cast<uInt>(size)));
}

// One chunk: length, type, data, and the CRC of type and data.
void chunk(std::vector<std::uint8_t>& out, std::string_view type,
           const std::vector<std::uint8_t>& data) {
    put32be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, crc(0, out.data() + start, out.size() - start));
}

} // namespace

std::vector<std::uint8_t> rgb_rows(const headless::Present& present) {
    if (present.bpp != 32 && present.bpp != 16) return {};
    const auto w = static_cast<std::size_t>(present.width);
    const std::size_t bytes = static_cast<std::size_t>(present.bpp / 8);
    // 5-5-5 channels widen so that full scale stays full scale.
    const auto widen = [](std::uint32_t c) { return static_cast<std::uint8_t>(c << 3 | c >> 2); };
    std::vector<std::uint8_t> out;
    out.reserve(w * static_cast<std::size_t>(present.height) * 3);
    // The surface holds the bottom row first.
    for (std::size_t y = static_cast<std::size_t>(present.height); y-- > 0;)
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t* p = present.pixels.data() + (y * w + x) * bytes;
            std::uint32_t v = 0;
            std::uint16_t v16 = 0;
            if (bytes == 4)
                std::memcpy(&v, p, 4);
            else
                v = (std::memcpy(&v16, p, 2), v16);
            if (bytes == 4)
                out.insert(out.end(),
                           {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                            static_cast<std::uint8_t>(v)});
            else
                out.insert(out.end(), {widen(v >> 10 & 31u), widen(v >> 5 & 31u), widen(v & 31u)});
        }
    return out;
}

std::uint32_t checksum(const headless::Present& present) {
    std::vector<std::uint8_t> size;
    put32be(size, static_cast<std::uint32_t>(present.width));
    put32be(size, static_cast<std::uint32_t>(present.height));
    const std::vector<std::uint8_t> rgb = rgb_rows(present);
    return crc(crc(0, size.data(), size.size()), rgb.data(), rgb.size());
}

std::vector<std::uint8_t> encode_png(std::uint32_t width, std::uint32_t height,
                                     const std::vector<std::uint8_t>& rgb) {
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    if (rgb.size() != row * height) return {};
    // Each row behind its filter byte, 0: none.
    std::vector<std::uint8_t> raw;
    raw.reserve((row + 1) * height);
    for (std::size_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + static_cast<std::ptrdiff_t>(y * row),
                   rgb.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packed_size);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, width);
    put32be(header, height);
    header.insert(header.end(),
                  {8, 2, 0, 0, 0}); // 8 bits, truecolour, deflate, no filter, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

} // namespace shot
