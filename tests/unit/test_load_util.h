// Builders of small image files and the decoding fixture shared by the image reader tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/video/video.h"
#include "test_tarnfile_util.h"

namespace load_test {

using tarn_test::Bytes;

inline void put(Bytes& b, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

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
    Bytes b;
    put(b, id_length, 1);
    put(b, map_length > 0 ? 1 : 0, 1);
    put(b, type, 1);
    put(b, map_first, 2);
    put(b, map_length, 2);
    put(b, map_bits, 1);
    put(b, 0, 4);
    put(b, width, 2);
    put(b, height, 2);
    put(b, depth, 1);
    put(b, descriptor, 1);
    for (std::uint32_t i = 0; i < id_length; ++i) b.push_back(0xEE);
    return b;
}

// The reference picture: 3 by 2, top row red green blue, bottom row white black grey.
inline constexpr std::uint32_t k_pic[2][3] = {{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu},
                                              {0xFFFFFFFFu, 0xFF000000u, 0xFF808080u}};

inline void put_bgr(Bytes& b, std::uint32_t c) {
    put(b, c & 0xFF, 1);
    put(b, c >> 8 & 0xFF, 1);
    put(b, c >> 16 & 0xFF, 1);
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
    Bytes b = tarn_test::bytes_of("BM");
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
    put(b, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    put(b, 0, 4);
    put(b, offset, 4);
    put(b, 40, 4);
    put(b, static_cast<std::uint32_t>(width), 4);
    put(b, static_cast<std::uint32_t>(height), 4);
    put(b, 1, 2);
    put(b, bits, 2);
    put(b, compression, 4);
    put(b, static_cast<std::uint32_t>(pixels.size()), 4);
    put(b, 0, 8);
    put(b, static_cast<std::uint32_t>(palette.size()), 4);
    put(b, 0, 4);
    for (std::uint32_t c : palette) {
        put_bgr(b, c);
        put(b, 0, 1);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

inline Bytes pcx_header(std::uint32_t width, std::uint32_t height, std::uint32_t planes) {
    Bytes b(128, 0);
    b[0] = 10;
    b[3] = 8;
    b[8] = static_cast<std::uint8_t>(width - 1);
    b[9] = static_cast<std::uint8_t>((width - 1) >> 8);
    b[10] = static_cast<std::uint8_t>(height - 1);
    b[11] = static_cast<std::uint8_t>((height - 1) >> 8);
    b[65] = static_cast<std::uint8_t>(planes);
    return b;
}

} // namespace load_test
