// Pictures written as ASCII grids: compared against bitmaps at either depth, painted into them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "lodestar/graphics/bitmap.h"

namespace picture {

// One character per colour: 0xRRGGBB, or 0xAARRGGBB where the opacity byte of a 32-bit page is
// part of the fact (a plain 0xRRGGBB ignores it). Blanks are not legend characters: a grid's rows
// are trimmed.
using Legend = std::map<char, std::uint32_t>;

// The word a legend colour is stored as at the current depth.
std::uint32_t stored(std::uint32_t colour);

// The raw word of a bitmap pixel at the current depth, and its writer.
std::uint32_t at(const LSR_Bitmap& bm, int x, int y);
void set(const LSR_Bitmap& bm, int x, int y, std::uint32_t word);

// Rows separated by newlines; blank lines before and after and each row's indentation ignored.
::testing::AssertionResult matches(const LSR_Bitmap& bm, int x, int y, std::string_view grid,
                                   const Legend& legend);

// The same for any picture whose pixels read as 0xRRGGBB colours (a presented frame, a window).
::testing::AssertionResult matches(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colour_at, int x,
                                   int y, std::string_view grid, const Legend& legend);

// The region as a grid in the legend's characters, '?' for any other colour.
std::string grid_of(const LSR_Bitmap& bm, int x, int y, int width, int height,
                    const Legend& legend);

// A new bitmap at the current depth: the grid's size and colours, or width by height of one
// colour.
lsr::OwnedBitmap make(std::string_view grid, const Legend& legend);
lsr::OwnedBitmap filled(int width, int height, std::uint32_t colour = 0);

// FNV-1a over the text and then the bitmap's bytes.
std::uint32_t sum(const LSR_Bitmap& bm, std::string_view text = {});

// What the library prints while body runs.
std::string printed(const std::function<void()>& body);

// Pixels 16 bits wide (5-5-5) or 32.
void set_depth(bool sixteen);

// Runs a test at both depths; the parameter is true for 16 bits.
class BothDepths : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { set_depth(GetParam()); }
    void TearDown() override { set_depth(false); }
    bool sixteen() const { return GetParam(); }
};

} // namespace picture

#define PICTURE_BOTH_DEPTHS(Fixture)                                                               \
    INSTANTIATE_TEST_SUITE_P(Depth, Fixture, ::testing::Bool(),                                    \
                             [](const auto& info) { return info.param ? "bits16" : "bits32"; })
