// The digit glyphs as the tests expect to see them, and the slate a row of digits should give.
#pragma once

#include <array>
#include <cstdint>

// Rows from the top, bit 2 the left column.
inline constexpr std::uint8_t k_expected_glyph[10][6] = {
    {2, 5, 5, 5, 5, 2}, {6, 2, 2, 2, 2, 7}, {6, 1, 2, 4, 4, 7}, {6, 1, 3, 1, 1, 6},
    {5, 5, 7, 1, 1, 1}, {7, 4, 2, 1, 1, 6}, {3, 4, 6, 5, 5, 2}, {7, 1, 3, 1, 1, 1},
    {2, 5, 2, 5, 5, 2}, {2, 5, 3, 1, 1, 2},
};
inline constexpr std::uint8_t k_expected_digit_colour[6] = {19, 19, 18, 17, 16, 16};

using Slate = std::array<std::uint8_t, 64>;

// Digits 4 columns apart from column x0, top row y0 (game coordinates), over a blank slate.
template <std::size_t N> Slate expected_digits(int x0, int y0, const std::array<int, N>& digits) {
    Slate s{};
    for (std::size_t i = 0; i < N; ++i)
        for (int r = 0; r < 6; ++r)
            for (int k = 0; k < 3; ++k) {
                const int x = x0 + 4 * static_cast<int>(i) + k, y = y0 + r;
                if (x < 0 || x > 7 || y < 0 || y > 7) continue;
                if ((k_expected_glyph[digits[i]][r] >> (2 - k)) & 1)
                    s[x * 8 + (7 - y)] = k_expected_digit_colour[r];
            }
    return s;
}

inline Slate current_slate(const std::uint8_t (&slate)[64]) {
    Slate s{};
    for (int i = 0; i < 64; ++i) s[i] = slate[i];
    return s;
}
