// The title banner and the maker's mark, drawn as pictures and coloured by row.
#include "zephyrine/artwork.h"

#include <array>
#include <string_view>

namespace {

// The title in block letters, X lit; vertical strokes two cells wide where the letter allows.
constexpr std::string_view k_title_art[k_title_height] = {
    "XXXX.XXXX.XXXX..XX.XX.XX.XX.XXXX..XX.XX..XX.XXXX",
    "..XX.XX...XX.XX.XX.XX.XX.XX.XX.XX.XX.XXX.XX.XX..",
    ".XX..XXX..XX.XX.XXXXX..XXX..XX.XX.XX.XXXXXX.XXX.",
    ".XX..XX...XXXX..XX.XX...X...XXXX..XX.XX.XXX.XX..",
    "XX...XX...XX....XX.XX...X...XX.XX.XX.XX..XX.XX..",
    "XXXX.XXXX.XX....XX.XX...X...XX.XX.XX.XX..XX.XXXX",
};
// Rock colours, lightest at the top.
constexpr std::uint8_t k_title_row_colour[k_title_height] = {23, 23, 22, 21, 20, 20};

// A quill: the vane split by its shaft, the nib at the lower left.
constexpr std::string_view k_mark_art[8] = {
    "......XX", "....XXXX", "...XXX.X", "..XXX.XX", "..XX.XX.", ".XX.XX..", ".X.X....", "X.......",
};
// Graded from 19 at the top to 16 at the bottom, odd rows alternating between their neighbours.
constexpr std::uint8_t mark_colour(int row, int column) {
    constexpr std::uint8_t k_even_row[8] = {19, 19, 18, 18, 17, 17, 16, 16};
    constexpr std::uint8_t k_odd_row[8] = {19, 18, 18, 17, 17, 16, 16, 16};
    return (column & 1) ? k_odd_row[row] : k_even_row[row];
}

template <std::size_t W, std::size_t H> constexpr bool fits(const std::string_view (&art)[H]) {
    for (const auto row : art)
        if (row.size() != W || row.find_first_not_of("X.") != std::string_view::npos) return false;
    return true;
}
static_assert(fits<k_title_width, k_title_height>(k_title_art));
static_assert(fits<8, 8>(k_mark_art));

template <std::size_t W, std::size_t H, typename Colour>
constexpr std::array<std::uint8_t, W * H> paint(const std::string_view (&art)[H], Colour colour) {
    std::array<std::uint8_t, W * H> cells{};
    for (std::size_t r = 0; r < H; ++r)
        for (std::size_t c = 0; c < W; ++c)
            if (art[r][c] == 'X')
                cells[r * W + c] = colour(static_cast<int>(r), static_cast<int>(c));
    return cells;
}

} // namespace

const std::array<std::uint8_t, k_title_width* k_title_height> title_data =
    paint<k_title_width, k_title_height>(k_title_art,
                                         [](int row, int) { return k_title_row_colour[row]; });
const std::array<std::uint8_t, 64> quillmark_data = paint<8, 8>(k_mark_art, mark_colour);
