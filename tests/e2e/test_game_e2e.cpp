// The real program in its window: renamed and started from another directory, it shows the device
// picture under its LEDs, plays the game with real keys at a small CPU share, streams silence to
// the audio device, and ends promptly when its window is closed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "harness.h"
#include "leds.h"
#include "paint.h"

namespace {

namespace fs = std::filesystem;

// The splash at full brightness, and the score screen of a run that took nothing.
constexpr const char* k_mark = "......ss\n....srsr\n...rrr.r\n..rqr.rq\n"
                               "..qq.qq.\n.pq.qp..\n.p.p....\np.......";
constexpr const char* k_zero_score = "........\n.s...s..\ns.s.s.s.\nr.r.r.r.\n"
                                     "q.q.q.q.\np.p.p.p.\n.p...p..\n........";

// The title banner: rows 1 to 6 lit only in their rock colour, rows 0 and 7 dark.
bool shows_banner(const std::string& leds) {
    const std::string row_colour = ".DDCBAA.";
    int lit = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const char c = leds[static_cast<std::size_t>(y * 9 + x)];
            if (c != '.' && c != row_colour[static_cast<std::size_t>(y)]) return false;
            lit += c != '.';
        }
    return lit >= 8;
}

// The first cave column: rock in rows 0, 1, 6 and 7, the player in the passage at row.
bool shows_player_at(const std::string& leds, int row) {
    std::string column;
    for (int y = 0; y < 8; ++y) column += leds[static_cast<std::size_t>(y * 9)];
    std::string want = "AB....CD";
    want[static_cast<std::size_t>(row)] = 'r';
    return column == want;
}

// Farther than an LED's radius (and a pixel) from every matrix and auxiliary LED centre.
bool clear_of_leds(int x, int y) {
    const auto near = [&](int cx, int cy, int r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= (r + 1) * (r + 1);
    };
    for (int i = 0; i < 8; ++i) {
        if (near(MeggyJr_AuxLedX(i), MeggyJr_AuxLedY, MeggyJr_AuxLedRadius)) return false;
        for (int j = 0; j < 8; ++j)
            if (near(MeggyJr_LedX(i), MeggyJr_LedY(j), MeggyJr_LedRadius)) return false;
    }
    return true;
}

TEST(ProgramE2E, RenamedAndStartedElsewhereItShowsTheDevicePlaysWithRealKeysAndClosesPromptly) {
    // A copy under another name, run from a directory that holds nothing of the build.
    const fs::path place =
        fs::temp_directory_path() / ("zephyrine-e2e-" + std::to_string(getpid()));
    fs::create_directories(place / "elsewhere");
    fs::copy_file(ZEPHYRINE_PATH, place / "renamed game", fs::copy_options::overwrite_existing);
    const std::string sound = (place / "sound.raw").string();
    e2e::XServer server;
    ASSERT_NE(server.display(), nullptr) << "no X server";
    Display* const d = server.display();
    e2e::Program program(server, (place / "renamed game").string(), (place / "elsewhere").string(),
                         {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sound}});
    const Window window =
        e2e::wait_for_window(d, "MeggyJr interperter - Zephyrine (2010) , by: Quillmark", 10000);
    ASSERT_NE(window, 0u) << program.output();
    e2e::focus(d, window);

    e2e::Shot shot;
    const auto wait_for = [&](const std::function<bool()>& seen, int timeout_ms) {
        for (const double end = e2e::now_ms() + timeout_ms; e2e::now_ms() < end; e2e::sleep_ms(15))
            if (shot = e2e::capture(d, window); seen()) return true;
        return false;
    };
    const auto leds_now = [&] { return leds::grid(shot); };
    ASSERT_TRUE(wait_for([&] { return leds::show(shot, k_mark); }, 4000))
        << "the splash does not show the mark:\n"
        << leds_now();
    const double mark_seen = e2e::now_ms();
    ASSERT_EQ(shot.width * 10000 + shot.height, 640 * 10000 + 480) << "the client area is the page";
    // Every eighth pixel clear of the LEDs is the device picture's own.
    const mkassets::Picture device = mkassets::paint_device();
    int compared = 0, differing = 0;
    for (int y = 0; y < 480; y += 8)
        for (int x = 0; x < 640; x += 8)
            if (clear_of_leds(x, y)) {
                ++compared;
                differing += shot(x, y) != device.rgb(x, y);
            }
    EXPECT_EQ(differing, 0) << "of " << compared << " pixels between the LEDs";

    ASSERT_TRUE(wait_for([&] { return shows_banner(leds_now()); }, 8000))
        << "the title does not follow:\n"
        << leds_now();
    EXPECT_GT(e2e::now_ms() - mark_seen, 2000.0) << "the splash ended early";
    const std::string first = leds_now();
    EXPECT_TRUE(wait_for([&] { return shows_banner(leds_now()) && leds_now() != first; }, 1000))
        << "the banner does not scroll";
    const double title_cpu = program.cpu_share(1500);
    std::printf("CPU use on the title screen: %.1f%% of one core\n", title_cpu * 100.0);
    EXPECT_LT(title_cpu, e2e::k_cpu_limit);

    // Space starts a run at row 4 of the first column; Up and Down move the player a row.
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(wait_for([&] { return shows_player_at(leds_now(), 4); }, 1000)) << leds_now();
    e2e::tap(d, "Up", 150);
    ASSERT_TRUE(wait_for([&] { return shows_player_at(leds_now(), 3); }, 800)) << leds_now();
    e2e::tap(d, "Down", 150);
    ASSERT_TRUE(wait_for([&] { return shows_player_at(leds_now(), 4); }, 800)) << leds_now();
    // Row 4 stays inside the passage for the first eleven columns, several seconds of play.
    const auto sound_bytes = [&] { return fs::exists(sound) ? fs::file_size(sound) : 0; };
    const auto bytes0 = sound_bytes();
    const double t0 = e2e::now_ms();
    const double play_cpu = program.cpu_share(1500);
    const double rate = static_cast<double>(sound_bytes() - bytes0) * 1000.0 / (e2e::now_ms() - t0);
    std::printf("CPU use in play: %.1f%% of one core; sound %.0f bytes a second\n",
                play_cpu * 100.0, rate);
    EXPECT_LT(play_cpu, e2e::k_cpu_limit);
    EXPECT_GT(rate, 176400 * 0.8) << "44100 Hz, 16-bit stereo";
    EXPECT_LT(rate, 176400 * 1.2);
    // Then column 11's rock ends the run with no item taken; Space returns to the title.
    ASSERT_TRUE(wait_for([&] { return leds::show(shot, k_zero_score); }, 8000)) << leds_now();
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(wait_for([&] { return shows_banner(leds_now()); }, 1500)) << leds_now();

    ASSERT_TRUE(program.running());
    const double before = e2e::now_ms();
    e2e::send_close(d, window);
    EXPECT_EQ(program.wait_exit(2000), 0);
    const double took = e2e::now_ms() - before;
    std::printf("closed in %.1f ms\n", took);
    EXPECT_LT(took, 500.0);
    EXPECT_NE(program.output().find("closing windows\n"), std::string::npos) << program.output();
    std::ifstream in(sound, std::ios::binary);
    const std::string samples((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(samples.size() % 4, 0u) << "whole stereo 16-bit frames";
    EXPECT_EQ(samples.find_first_not_of('\0'), std::string::npos) << "nothing plays: silence";
    if (!HasFailure()) fs::remove_all(place);
}

} // namespace
