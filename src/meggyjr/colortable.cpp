// The colour table's start contents and the game's colour set-up.
#include "meggyjr/colortable.h"

#include "meggyjr/simple.h"

namespace {

using Rgb = std::uint8_t[3];

constexpr Rgb k_game_colours[k_colour_count] = {
    {0, 0, 0}, {15, 15, 15}, {15, 15, 4}, {15, 8, 0}, {3, 2, 2}, {9, 6, 3}, {9, 6, 3},  {9, 8, 8},
    {3, 0, 0}, {6, 0, 1},    {10, 0, 2},  {12, 0, 3}, {0, 5, 2}, {2, 7, 4}, {4, 9, 6},  {7, 11, 8},
    {0, 2, 4}, {0, 3, 6},    {1, 6, 9},   {3, 9, 12}, {3, 0, 3}, {5, 1, 6}, {8, 4, 10}, {11, 9, 12},
    {3, 2, 0}, {6, 4, 2},    {9, 6, 3},   {12, 8, 4}, {1, 6, 2}, {2, 7, 4}, {4, 9, 6},  {7, 11, 8},
};

} // namespace

// Replaced in full by InitColors before anything is shown.
std::uint8_t ColorTable[k_colour_count][3] = {
    {0, 0, 0}, {6, 0, 0}, {12, 5, 0}, {7, 10, 0}, {0, 15, 0}, {0, 0, 5}, {8, 0, 4}, {3, 15, 2},
    {1, 0, 0}, {1, 1, 0}, {1, 1, 0},  {0, 1, 0},  {0, 3, 1},  {0, 0, 1}, {2, 0, 1}, {15, 15, 15},
};

void EditColor(std::uint8_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (index >= k_colour_count) return;
    ColorTable[index][0] = red;
    ColorTable[index][1] = green;
    ColorTable[index][2] = blue;
}

void InitColors() {
    SetAuxLEDs(1);
    for (std::uint32_t i = 0; i < k_colour_count; ++i) {
        const auto& c = k_game_colours[i];
        EditColor(static_cast<std::uint8_t>(i), c[0], c[1], c[2]);
    }
}
