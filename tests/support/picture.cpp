// Grid pictures: parsing, comparing with a failure message of both grids, painting.
#include "picture.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "fnv.h"
#include "lodestar/base/pixel_format.h"

namespace picture {
namespace {

// The grid's rows, trimmed, without the blank lines around them; none when they are ragged.
std::vector<std::string_view> parse(std::string_view grid) {
    std::vector<std::string_view> rows;
    for (std::size_t start = 0; start <= grid.size();) {
        const std::size_t end = std::min(grid.find('\n', start), grid.size());
        std::string_view row = grid.substr(start, end - start);
        row.remove_prefix(std::min(row.find_first_not_of(" \t"), row.size()));
        rows.push_back(row.substr(0, row.find_last_not_of(" \t\r") + 1));
        start = end + 1;
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    while (!rows.empty() && rows.front().empty()) rows.erase(rows.begin());
    for (auto r : rows)
        if (r.size() != rows.front().size()) return {};
    return rows;
}

// A picture to compare: its size, its raw words and whether a word shows a legend colour.
struct Source {
    int width, height;
    std::function<std::uint32_t(int, int)> word;
    std::function<bool(std::uint32_t word, std::uint32_t colour)> shows;
};

// The character a pixel shows: the hint when it fits, else the first that does, else '?'.
char char_of(const Source& s, int x, int y, char hint, const Legend& legend) {
    const std::uint32_t word = s.word(x, y);
    if (const auto it = legend.find(hint); it != legend.end() && s.shows(word, it->second))
        return hint;
    for (const auto& [c, colour] : legend)
        if (s.shows(word, colour)) return c;
    return '?';
}

std::string render(const Source& s, int x, int y, int width, int height, const Legend& legend) {
    std::string out;
    for (int j = y; j < y + height; ++j, out += '\n')
        for (int i = x; i < x + width; ++i) out += char_of(s, i, j, '?', legend);
    return out;
}

::testing::AssertionResult compare(const Source& s, int x, int y, std::string_view grid,
                                   const Legend& legend) {
    const auto want = parse(grid);
    const int w = want.empty() ? 0 : static_cast<int>(want.front().size());
    const int h = static_cast<int>(want.size());
    auto out = ::testing::AssertionFailure();
    if (want.empty() || x < 0 || y < 0 || x + w > s.width || y + h > s.height)
        return out << "the grid is ragged or does not fit the picture";
    std::string expected, actual;
    for (int j = 0; j < h; ++j, expected += '\n', actual += '\n')
        for (int i = 0; i < w; ++i) {
            if (!legend.count(want[j][i])) return out << "'" << want[j][i] << "' is no colour";
            expected += want[j][i];
            actual += char_of(s, x + i, y + j, want[j][i], legend);
        }
    if (expected == actual) return ::testing::AssertionSuccess();
    return out << "expected\n"
               << expected << "actual (" << (LSR_Is16Bit() ? 16 : 32) << "-bit page)\n"
               << actual;
}

Source source_of(const LSR_Bitmap& bm) {
    return {bm.data ? bm.width : 0, bm.data ? bm.height : 0,
            [&bm](int x, int y) { return at(bm, x, y); },
            [](std::uint32_t word, std::uint32_t colour) {
                if (LSR_Is16Bit() || colour > 0xFFFFFFu) return word == stored(colour);
                return (word & 0xFFFFFFu) == colour;
            }};
}

std::size_t index(const LSR_Bitmap& bm, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) +
           static_cast<std::size_t>(x);
}

} // namespace

std::uint32_t stored(std::uint32_t colour) {
    return LSR_Is16Bit() ? TarnBlit_color24to16(colour) : colour;
}

std::uint32_t at(const LSR_Bitmap& bm, int x, int y) {
    return LSR_Is16Bit() ? static_cast<const std::uint16_t*>(bm.data)[index(bm, x, y)]
                         : static_cast<const std::uint32_t*>(bm.data)[index(bm, x, y)];
}

void set(const LSR_Bitmap& bm, int x, int y, std::uint32_t word) {
    if (LSR_Is16Bit())
        static_cast<std::uint16_t*>(bm.data)[index(bm, x, y)] = static_cast<std::uint16_t>(word);
    else
        static_cast<std::uint32_t*>(bm.data)[index(bm, x, y)] = word;
}

::testing::AssertionResult matches(const LSR_Bitmap& bm, int x, int y, std::string_view grid,
                                   const Legend& legend) {
    return compare(source_of(bm), x, y, grid, legend);
}

::testing::AssertionResult matches(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colour_at, int x,
                                   int y, std::string_view grid, const Legend& legend) {
    const auto same = [](std::uint32_t a, std::uint32_t b) { return ((a ^ b) & 0xFFFFFFu) == 0; };
    return compare({width, height, colour_at, same}, x, y, grid, legend);
}

std::string grid_of(const LSR_Bitmap& bm, int x, int y, int width, int height,
                    const Legend& legend) {
    return render(source_of(bm), x, y, width, height, legend);
}

lsr::OwnedBitmap make(std::string_view grid, const Legend& legend) {
    const auto rows = parse(grid);
    lsr::OwnedBitmap bm;
    bm.create(rows.empty() ? 0 : static_cast<int>(rows.front().size()),
              static_cast<int>(rows.size()));
    for (std::size_t j = 0; j < rows.size(); ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i) {
            const auto colour = legend.find(rows[j][i]);
            EXPECT_NE(colour, legend.end()) << "'" << rows[j][i] << "' is no colour";
            if (colour != legend.end())
                set(bm.get(), static_cast<int>(i), static_cast<int>(j), stored(colour->second));
        }
    return bm;
}

lsr::OwnedBitmap filled(int width, int height, std::uint32_t colour) {
    lsr::OwnedBitmap bm;
    bm.create(width, height);
    for (int i = 0; i < width * height; ++i) set(bm.get(), i % width, i / width, stored(colour));
    return bm;
}

std::uint32_t sum(const LSR_Bitmap& bm, std::string_view text) {
    Fnv32 f;
    f.add(text.data(), text.size());
    f.add(bm.data, static_cast<std::size_t>(bm.size));
    return f.sum;
}

std::string printed(const std::function<void()>& body) {
    ::testing::internal::CaptureStdout();
    body();
    return ::testing::internal::GetCapturedStdout();
}

void set_depth(bool sixteen) {
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
}

} // namespace picture
