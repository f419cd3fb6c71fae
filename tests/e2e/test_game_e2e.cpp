// The real program in its window: renamed and started from another directory, it shows the device
// picture under its LEDs, plays the game with real keys, streams silence to the audio device, and
// ends when its window is closed. Its CPU share and how soon it ends are bench_e2e's.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "harness.h"
#include "leds.h"
#include "paint.h"

namespace {

namespace fs = std::filesystem;

// The title banner: rows 1 to 6 lit only in their rock colour, rows 0 and 7 dark.
bool shows_banner(const std::string& leds) {
    int lit = 0;
    for (std::size_t i = 0; i < 72; ++i) {
        if (leds[i] == '.' || leds[i] == '\n') continue;
        if (leds[i] != ".DDCBAA."[i / 9]) return false;
        ++lit;
    }
    return lit >= 8;
}

TEST(ProgramE2E, RenamedAndStartedElsewhereItShowsTheDevicePlaysWithRealKeysAndCloses) {
    // A copy under another name, run from a directory that holds nothing of the build.
    const fs::path place =
        fs::temp_directory_path() / ("zephyrine-e2e-" + std::to_string(getpid()));
    fs::create_directories(place / "elsewhere");
    fs::copy_file(ZEPHYRINE_PATH, place / "renamed game", fs::copy_options::overwrite_existing);
    const std::string sound = (place / "sound.raw").string();
    e2e::XServer server;
    Display* const d = server.display();
    ASSERT_NE(d, nullptr) << "no X server";
    e2e::Program program(server, (place / "renamed game").string(), (place / "elsewhere").string(),
                         {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sound}});
    const Window window = e2e::wait_for_window(d, e2e::k_title, 10000);
    ASSERT_NE(window, 0u);
    e2e::focus(d, window);

    e2e::Shot shot;
    std::string leds; // what the LEDs showed last
    const auto shows = [&](const std::function<bool()>& seen, int timeout_ms) {
        return e2e::wait_until(
            [&] {
                shot = e2e::capture(d, window);
                leds = leds::grid(shot);
                return seen();
            },
            timeout_ms);
    };
    const auto first_column = [&] {
        std::string column;
        for (std::size_t y = 0; y < 8; ++y) column += leds[y * 9];
        return column;
    };
    ASSERT_TRUE(shows([&] { return leds::show(shot, leds::k_mark, leds::k_held); }, 15000)) << leds;
    ASSERT_EQ(shot.width * 10000 + shot.height, 640 * 10000 + 480) << "the client area is the page";
    // Every fourth pixel left and right of the LEDs is the device picture's own.
    const mkassets::Picture device = mkassets::paint_device();
    int differing = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            differing += (x + 16 < MeggyJr_LedX(0) || x > MeggyJr_LedX(7) + 16) &&
                         shot(x, y) != device.rgb(x, y);
    EXPECT_EQ(differing, 0);

    ASSERT_TRUE(shows([&] { return shows_banner(leds); }, 15000)) << leds;
    const std::string first = leds;
    EXPECT_TRUE(shows([&] { return shows_banner(leds) && leds != first; }, 2000)) << "no scroll";

    // Space starts a run at row 4 of the first column; Up and Down move the player a row.
    const auto size_of = [&] { return fs::exists(sound) ? fs::file_size(sound) : 0; };
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(shows([&] { return first_column() == "AB..r.CD"; }, 2000)) << leds;
    const auto sound_at_start = size_of();
    e2e::tap(d, "Up", 150);
    ASSERT_TRUE(shows([&] { return first_column() == "AB.r..CD"; }, 2000)) << leds;
    e2e::tap(d, "Down", 150);
    ASSERT_TRUE(shows([&] { return first_column() == "AB..r.CD"; }, 2000)) << leds;
    EXPECT_TRUE(e2e::wait_until([&] { return size_of() > sound_at_start; }, 5000)) << "no sound";
    // Row 4 stays inside the passage for the first eleven columns; then column 11's rock ends the
    // run with no item taken, and Space returns to the title.
    constexpr const char* k_zero_score = "........\n.s...s..\ns.s.s.s.\nr.r.r.r.\n"
                                         "q.q.q.q.\np.p.p.p.\n.p...p..\n........";
    ASSERT_TRUE(shows([&] { return leds::show(shot, k_zero_score); }, 8000)) << leds;
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(shows([&] { return shows_banner(leds); }, 2000)) << leds;

    e2e::send_close(d, window);
    EXPECT_EQ(program.wait_exit(10000), 0);
    const std::string samples = e2e::read_file(sound);
    EXPECT_EQ(samples.size() % 4, 0u) << "whole stereo 16-bit frames";
    EXPECT_EQ(samples.find_first_not_of('\0'), std::string::npos) << "nothing plays: silence";
    if (!HasFailure()) fs::remove_all(place);
}

} // namespace
