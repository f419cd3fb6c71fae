// The colour table that turns a slate index into LED intensities, and the game's colour set-up.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t k_colour_count = 32;

// Red, green, blue intensity (0 to 15) of each colour index.
extern std::uint8_t ColorTable[k_colour_count][3];

// An index outside the table is ignored.
void EditColor(std::uint8_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// Lights auxiliary LED 0 and sets every entry of the table to the game's colours.
void InitColors();
