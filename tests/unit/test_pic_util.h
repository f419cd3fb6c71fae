// A library-made bitmap with raw pixel access, and the fixture that runs a test at both depths.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "lodestar/base/pixel_format.h"
#include "lodestar/graphics/bitmap.h"

namespace pic_test {

// Made at the current depth and deleted at the end of the scope; at() and set() take raw
// pixels of that depth.
struct Pic {
    LSR_Bitmap bm;
    Pic(std::int32_t w, std::int32_t h) { LSR_CreateBitmap(w, h, &bm); }
    ~Pic() { LSR_DeleteBitmap(&bm); }
    Pic(const Pic&) = delete;
    Pic& operator=(const Pic&) = delete;
    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        const std::size_t i = static_cast<std::size_t>(y) * bm.width + x;
        return LSR_Is16Bit() ? static_cast<const std::uint16_t*>(bm.data)[i]
                             : static_cast<const std::uint32_t*>(bm.data)[i];
    }
    void set(std::int32_t x, std::int32_t y, std::uint32_t v) {
        const std::size_t i = static_cast<std::size_t>(y) * bm.width + x;
        if (LSR_Is16Bit())
            static_cast<std::uint16_t*>(bm.data)[i] = static_cast<std::uint16_t>(v);
        else
            static_cast<std::uint32_t*>(bm.data)[i] = v;
    }
    void fill(std::uint32_t v) {
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x) set(x, y, v);
    }
    // Every pixel distinct and non-zero at either depth: 1 + x + y * width.
    void number() {
        for (std::int32_t y = 0; y < bm.height; ++y)
            for (std::int32_t x = 0; x < bm.width; ++x) set(x, y, id(x, y));
    }
    std::uint32_t id(std::int32_t x, std::int32_t y) const {
        return static_cast<std::uint32_t>(1 + x + y * bm.width);
    }
};

// The parameter is true for a 16-bit page (5-5-5), false for a 32-bit one.
class BothDepths : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        LSR_video.flags = GetParam() ? LSR_VIDEO_16BIT : 0;
        TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
    }
    void TearDown() override { LSR_video.flags = 0; }
    bool sixteen() const { return GetParam(); }
};

inline std::string depth_name(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "bits16" : "bits32";
}

} // namespace pic_test
