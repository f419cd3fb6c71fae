// Image files built byte by byte, and a decoded picture that is deleted at the end of the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "picture.h"
#include "test_tarnfile_util.h"

namespace load_test {

using tarn_test::Bytes;
using tarn_test::put;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using Decode = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);

// A file decoded quietly; the bitmap is deleted with it.
struct Loaded {
    LSR_Bitmap bm;
    std::int32_t ok = 0;
    Loaded(Decode decode, const Bytes& file) {
        picture::printed(
            [&] { ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm); });
    }
    ~Loaded() { LSR_DeleteBitmap(&bm); }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    std::uint32_t at(std::int32_t x, std::int32_t y) const { return LSR_GetPixel(x, y, bm); }
};

// Readers tested on a 32-bit page.
class Load : public ::testing::Test {
  protected:
    void SetUp() override { picture::set_depth(false); }
    void TearDown() override { picture::set_depth(false); }
};

inline Bytes tga_header(std::uint32_t type, std::uint32_t width, std::uint32_t height,
                        std::uint32_t depth, std::uint32_t descriptor, std::uint32_t map_first = 0,
                        std::uint32_t map_length = 0, std::uint32_t map_bits = 0,
                        std::uint32_t id_length = 0) {
    Bytes b = {static_cast<std::uint8_t>(id_length), map_length > 0,
               static_cast<std::uint8_t>(type)};
    put(b, {map_first, map_length}, 2);
    put(b, {map_bits, 0, 0, 0, 0}, 1);
    put(b, {width, height}, 2);
    put(b, {depth, descriptor}, 1);
    b.resize(b.size() + id_length, 0xEE);
    return b;
}

inline Bytes bmp(std::int32_t width, std::int32_t height, std::uint32_t bits,
                 std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                 const Bytes& pixels) {
    Bytes b = {'B', 'M'};
    const auto size = static_cast<std::uint32_t>(pixels.size());
    const auto offset = static_cast<std::uint32_t>(54 + 4 * palette.size());
    put(b, {offset + size, 0, offset, 40, std::uint32_t(width), std::uint32_t(height)}, 4);
    put(b, {1, bits}, 2);
    put(b, {compression, size, 0, 0, palette.size(), 0}, 4);
    for (std::uint32_t c : palette) put(b, c & 0xFFFFFF, 4); // blue, green, red, 0
    return b + pixels;
}

inline Bytes pcx(std::uint32_t width, std::uint32_t height, std::uint32_t planes,
                 const Bytes& data = {}) {
    Bytes b = {10, 0, 0, 8, 0, 0, 0, 0};
    put(b, {width - 1, height - 1}, 2);
    b.resize(65);
    b.push_back(static_cast<std::uint8_t>(planes));
    b.resize(128);
    return b + data;
}

// A top-down 32-bit TGA of the grid's colours.
inline Bytes tga(std::string_view grid, const picture::Legend& legend) {
    const auto bm = picture::make(grid, legend);
    Bytes b = tga_header(2, static_cast<std::uint32_t>(bm.get().width),
                         static_cast<std::uint32_t>(bm.get().height), 32, 0x20);
    for (int y = 0; y < bm.get().height; ++y)
        for (int x = 0; x < bm.get().width; ++x) put(b, LSR_GetPixel(x, y, bm.get()), 4);
    return b;
}

} // namespace load_test
