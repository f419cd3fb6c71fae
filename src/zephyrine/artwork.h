// The game's pictures: the title banner and the maker's mark.
#pragma once

#include <array>
#include <cstdint>

inline constexpr std::size_t k_title_width = 48, k_title_height = 6;

// 48 by 6, row by row, top row first.
extern const std::array<std::uint8_t, k_title_width * k_title_height> title_data;
// 8 by 8, row by row.
extern const std::array<std::uint8_t, 64> quillmark_data;
