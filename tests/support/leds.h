// The device's 8x8 LEDs as a picture, rows from the top as the game counts them: read from the
// LED centres of any page, compared in the game's colours as painted.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "meggyjr/meggyjr.h"
#include "picture.h"

namespace leds {

// Painted colours by the game's colour names: dark, item, white, digits (and player) 16 to 19,
// rock 20 to 23. An intensity i shows as 64 + 16 i, at most 255.
inline const picture::Legend k_painted = {{'.', 0x404040}, {'5', 0xD0A070}, {'1', 0xFFFFFF},
                                          {'p', 0x406080}, {'q', 0x4070A0}, {'r', 0x50A0D0},
                                          {'s', 0x70D0FF}, {'A', 0x704070}, {'B', 0x9050A0},
                                          {'C', 0xC080E0}, {'D', 0xF0D0FF}};

// The game's mark on its splash, at full brightness.
inline constexpr const char* k_mark = "......ss\n....srsr\n...rrr.r\n..rqr.rq\n"
                                      "..qq.qq.\n.pq.qp..\n.p.p....\np.......";

// The mark's four colours as the splash holds them for a second, at level 126 of 128 (full
// brightness is on the window for a single 20 ms step, too short to be sure to see).
inline const picture::Legend k_held = {
    {'.', 0x404040}, {'p', 0x405070}, {'q', 0x406090}, {'r', 0x4090C0}, {'s', 0x60C0F0}};

// page_at(x, y) is the 0xRRGGBB colour of page pixel (x, y), y from the top.
inline ::testing::AssertionResult show(const std::function<std::uint32_t(int, int)>& page_at,
                                       std::string_view grid,
                                       const picture::Legend& legend = k_painted) {
    return picture::matches(
        8, 8, [&](int x, int y) { return page_at(MeggyJr_LedX(x), MeggyJr_LedY(7 - y)); }, 0, 0,
        grid, legend);
}

// The LEDs in the legend's characters, row after row, '?' for any other colour.
inline std::string grid(const std::function<std::uint32_t(int, int)>& page_at) {
    std::string out;
    for (int y = 0; y < 8; ++y, out += '\n') {
        for (int x = 0; x < 8; ++x) {
            char c = '?';
            for (const auto& [name, colour] : k_painted)
                if ((page_at(MeggyJr_LedX(x), MeggyJr_LedY(7 - y)) & 0xFFFFFF) == colour) c = name;
            out += c;
        }
    }
    return out;
}

} // namespace leds
