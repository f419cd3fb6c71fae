// Grid pictures: parsing, comparing with a failure message of both grids, painting.
#include "picture.h"

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <vector>

#include "lodestar/base/pixel_format.h"

namespace picture {
namespace {

using Rows = std::vector<std::string_view>;

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The grid's rows, or none with `error` set when they are ragged or broken by a blank line.
Rows parse(std::string_view grid, std::string& error) {
    Rows rows;
    while (!grid.empty()) {
        const auto end = grid.find('\n');
        rows.push_back(trim(grid.substr(0, end)));
        grid = end == std::string_view::npos ? std::string_view{} : grid.substr(end + 1);
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    const auto first = std::find_if(rows.begin(), rows.end(), [](auto r) { return !r.empty(); });
    rows.erase(rows.begin(), first);
    for (auto r : rows)
        if (r.size() != rows.front().size()) error = "the grid's rows differ in length";
    if (rows.empty()) error = "the grid is empty";
    if (!error.empty()) rows.clear();
    return rows;
}

// A picture to compare: its size, its raw words and whether a word shows a legend colour.
struct Source {
    int width, height;
    std::function<std::uint32_t(int, int)> word;
    std::function<bool(std::uint32_t word, std::uint32_t colour)> shows;
};

char char_of(const Source& s, std::uint32_t word, char hint, const Legend& legend) {
    if (const auto it = legend.find(hint); it != legend.end() && s.shows(word, it->second))
        return hint;
    for (const auto& [c, colour] : legend)
        if (s.shows(word, colour)) return c;
    return '?';
}

std::string render(const Source& s, int x, int y, int width, int height, const Legend& legend) {
    std::string out;
    for (int j = y; j < y + height; ++j) {
        for (int i = x; i < x + width; ++i) out += char_of(s, s.word(i, j), '?', legend);
        out += '\n';
    }
    return out;
}

::testing::AssertionResult compare(const Source& s, int x, int y, std::string_view grid,
                                   const Legend& legend) {
    std::string error;
    const Rows want = parse(grid, error);
    const int w = want.empty() ? 0 : static_cast<int>(want.front().size());
    const int h = static_cast<int>(want.size());
    if (error.empty() && (x < 0 || y < 0 || x + w > s.width || y + h > s.height))
        error = "the grid does not fit the picture";
    for (auto r : want)
        for (char c : r)
            if (!legend.count(c)) error = std::string("'") + c + "' is not in the legend";
    if (want.empty() && x >= 0 && y >= 0 && x < s.width && y < s.height) // as a test is written
        return ::testing::AssertionFailure() << "no grid; from (" << x << ", " << y << "):\n"
                                             << render(s, x, y, s.width - x, s.height - y, legend);
    if (!error.empty()) return ::testing::AssertionFailure() << error;

    std::vector<std::string> got(want.size());
    int wrong = 0;
    std::ostringstream first;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const std::uint32_t word = s.word(x + i, y + j);
            const char c = char_of(s, word, want[j][i], legend);
            got[j] += c;
            if (c != want[j][i] && wrong++ == 0)
                first << "first at (" << x + i << ", " << y + j << "): 0x" << std::hex << word;
        }
    if (wrong == 0) return ::testing::AssertionSuccess();
    auto out = ::testing::AssertionFailure();
    out << wrong << " of " << w * h << " pixels differ, " << first.str() << " ("
        << (LSR_Is16Bit() ? 16 : 32) << "-bit page)\n";
    const int column = std::max(w, 8) + 2;
    out << "expected" << std::string(column - 8, ' ') << "actual\n";
    for (int j = 0; j < h; ++j) out << want[j] << std::string(column - w, ' ') << got[j] << "\n";
    return out;
}

Source source_of(const LSR_Bitmap& bm) {
    return {bm.data ? bm.width : 0, bm.data ? bm.height : 0,
            [&bm](int x, int y) { return at(bm, x, y); },
            [](std::uint32_t word, std::uint32_t colour) {
                if (LSR_Is16Bit() || colour > 0xFFFFFFu) return word == stored(colour);
                return (word & 0xFFFFFFu) == colour;
            }};
}

} // namespace

std::uint32_t stored(std::uint32_t colour) {
    return LSR_Is16Bit() ? TarnBlit_color24to16(colour) : colour;
}

std::uint32_t at(const LSR_Bitmap& bm, int x, int y) {
    const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) +
                   static_cast<std::size_t>(x);
    return LSR_Is16Bit() ? static_cast<const std::uint16_t*>(bm.data)[i]
                         : static_cast<const std::uint32_t*>(bm.data)[i];
}

void set(const LSR_Bitmap& bm, int x, int y, std::uint32_t word) {
    const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) +
                   static_cast<std::size_t>(x);
    if (LSR_Is16Bit())
        static_cast<std::uint16_t*>(bm.data)[i] = static_cast<std::uint16_t>(word);
    else
        static_cast<std::uint32_t*>(bm.data)[i] = word;
}

::testing::AssertionResult matches(const LSR_Bitmap& bm, int x, int y, std::string_view grid,
                                   const Legend& legend) {
    return compare(source_of(bm), x, y, grid, legend);
}

::testing::AssertionResult uniform(const LSR_Bitmap& bm, std::uint32_t colour) {
    std::string grid;
    for (int y = 0; y < bm.height; ++y)
        grid += std::string(static_cast<std::size_t>(bm.width), 'o') + '\n';
    return matches(bm, 0, 0, grid, {{'o', colour}});
}

::testing::AssertionResult matches(int width, int height,
                                   const std::function<std::uint32_t(int, int)>& colour_at, int x,
                                   int y, std::string_view grid, const Legend& legend) {
    return compare({width, height, colour_at,
                    [](std::uint32_t word, std::uint32_t colour) {
                        return (word & 0xFFFFFFu) == (colour & 0xFFFFFFu);
                    }},
                   x, y, grid, legend);
}

std::string grid_of(const LSR_Bitmap& bm, int x, int y, int width, int height,
                    const Legend& legend) {
    return render(source_of(bm), x, y, width, height, legend);
}

void paint(const LSR_Bitmap& bm, int x, int y, std::string_view grid, const Legend& legend) {
    std::string error;
    const Rows rows = parse(grid, error);
    EXPECT_TRUE(error.empty()) << error;
    for (std::size_t j = 0; j < rows.size(); ++j)
        for (std::size_t i = 0; i < rows[j].size(); ++i) {
            const int px = x + static_cast<int>(i), py = y + static_cast<int>(j);
            const auto colour = legend.find(rows[j][i]);
            if (colour == legend.end() || px >= bm.width || py >= bm.height) {
                ADD_FAILURE() << "cannot paint '" << rows[j][i] << "' at " << px << "," << py;
                return;
            }
            set(bm, px, py, stored(colour->second));
        }
}

lsr::OwnedBitmap make(std::string_view grid, const Legend& legend) {
    std::string error;
    const Rows rows = parse(grid, error);
    lsr::OwnedBitmap bm;
    bm.create(rows.empty() ? 0 : static_cast<int>(rows.front().size()),
              static_cast<int>(rows.size()));
    paint(bm.get(), 0, 0, grid, legend);
    return bm;
}

lsr::OwnedBitmap filled(int width, int height, std::uint32_t colour) {
    lsr::OwnedBitmap bm;
    bm.create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) set(bm.get(), x, y, stored(colour));
    return bm;
}

std::string printed(const std::function<void()>& body) {
    ::testing::internal::CaptureStdout();
    body();
    return ::testing::internal::GetCapturedStdout();
}

std::string no_data(int times) {
    std::string out;
    while (times-- > 0) out += "bitmap has no data\n";
    return out;
}

void set_depth(bool sixteen) {
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;
    TarnBlit_Initialise(5, 5, 5, 10, 5, 0);
}

std::string depth_name(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "bits16" : "bits32";
}

} // namespace picture
