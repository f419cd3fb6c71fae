// Builders of small image files and the decoding fixture shared by the image reader tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/primitives.h"
#include "test_tarnfile_util.h"

namespace load_test {

using tarn_test::Bytes;
using tarn_test::put;

inline void set_depth(bool sixteen) {
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
}

using Decode = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);

// A decoded picture, deleted at the end of the test.
struct Loaded {
    LSR_Bitmap bm;
    std::int32_t ok = 0;
    Loaded(Decode decode, const Bytes& file) {
        testing::internal::CaptureStdout();
        ok = decode(file.data(), static_cast<std::uint32_t>(file.size()), &bm);
        messages = testing::internal::GetCapturedStdout();
    }
    ~Loaded() { LSR_DeleteBitmap(&bm); }
    std::uint32_t at(std::int32_t x, std::int32_t y) const { return LSR_GetPixel(x, y, bm); }
    // Every pixel, rows top to bottom.
    std::vector<std::uint32_t> all() const {
        std::vector<std::uint32_t> out;
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x) out.push_back(at(x, y));
        return out;
    }
    std::string messages;
};

class Load : public ::testing::Test {
  protected:
    void SetUp() override { set_depth(false); }
    void TearDown() override { LSR_video.flags = 0; }
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

// The reference picture: 3 by 2, top row red green blue, bottom row white black grey.
inline constexpr std::uint32_t k_pic[2][3] = {{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu},
                                              {0xFFFFFFFFu, 0xFF000000u, 0xFF808080u}};

inline void put_bgr(Bytes& b, std::uint32_t c) {
    put(b, c & 0xFFFFFF, 3);
}

// The reference picture stored in the order the descriptor's bits 4 and 5 give.
inline Bytes tga_oriented(std::uint32_t descriptor) {
    Bytes b = tga_header(2, 3, 2, 24, descriptor);
    const bool right_to_left = descriptor & 0x10, top_down = descriptor & 0x20;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            put_bgr(b, k_pic[top_down ? r : 1 - r][right_to_left ? 2 - c : c]);
    return b;
}

inline Bytes bmp(std::int32_t width, std::int32_t height, std::uint32_t bits,
                 std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                 const Bytes& pixels) {
    Bytes b = {'B', 'M'};
    const auto colours = static_cast<std::uint32_t>(palette.size());
    const auto size = static_cast<std::uint32_t>(pixels.size()), offset = 54 + 4 * colours;
    put(b,
        {offset + size, 0, offset, 40, static_cast<std::uint32_t>(width),
         static_cast<std::uint32_t>(height)},
        4);
    put(b, {1, bits}, 2);
    put(b, {compression, size, 0, 0, colours, 0}, 4);
    for (std::uint32_t c : palette) put(b, c & 0xFFFFFF, 4); // blue, green, red, 0
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

inline Bytes pcx_header(std::uint32_t width, std::uint32_t height, std::uint32_t planes) {
    Bytes b = {10, 0, 0, 8, 0, 0, 0, 0};
    put(b, {width - 1, height - 1}, 2);
    b.resize(65);
    b.push_back(static_cast<std::uint8_t>(planes));
    b.resize(128);
    return b;
}

} // namespace load_test
