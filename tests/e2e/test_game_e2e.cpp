// The whole game in its window: splash, title, a run steered by real keys, the score screen, close.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "harness.h"
#include "meggyjr/meggyjr.h"

namespace {

constexpr const char* k_title = "MeggyJr interperter - Zephyrine (2010) , by: Quillmark";

// Painted LED colours: intensity i shows as 16 * i + 64, at most 255.
constexpr std::uint32_t k_dark = 0x404040;
constexpr std::uint32_t k_player = 0x50A0D0;                                  // colour 18
constexpr std::uint32_t k_rock[4] = {0x704070, 0x9050A0, 0xC080E0, 0xF0D0FF}; // 20 to 23
constexpr std::uint32_t k_digit_top = 0x70D0FF;                               // colour 19
constexpr std::uint32_t k_digit_bottom = 0x406080;                            // colour 16

// The LED at game column x, row y from the top (the device counts rows from the bottom).
std::uint32_t led(const e2e::Picture& p, int x, int y) {
    return p.at(MeggyJr_LedX(x), MeggyJr_LedY(7 - y));
}

bool row_is_dark(const e2e::Picture& p, int y) {
    for (int x = 0; x < 8; ++x)
        if (led(p, x, y) != k_dark) return false;
    return true;
}

// The title banner: rows 1 to 6 lit only in their rock colour, rows 0 and 7 dark.
bool shows_banner(const e2e::Picture& p) {
    constexpr std::uint32_t k_row_colour[8] = {0,         k_rock[3], k_rock[3], k_rock[2],
                                               k_rock[1], k_rock[0], k_rock[0], 0};
    if (!row_is_dark(p, 0) || !row_is_dark(p, 7)) return false;
    int lit = 0;
    for (int y = 1; y <= 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t c = led(p, x, y);
            if (c == k_row_colour[y])
                ++lit;
            else if (c != k_dark)
                return false;
        }
    return lit >= 8;
}

// The maker's mark in the splash: its top-right and bottom-left corners lit in blue shades, the
// top-left corner dark.
bool shows_mark(const e2e::Picture& p) {
    const auto bluish = [](std::uint32_t c) {
        return (c & 0xFF) > 0x50 && (c >> 16) < 0x80 && c != k_dark;
    };
    return led(p, 0, 0) == k_dark && bluish(led(p, 7, 0)) && bluish(led(p, 0, 7));
}

// The score screen with a score of 0: the digits 0 and 0, rows 1 to 6.
bool shows_zero_score(const e2e::Picture& p) {
    if (!row_is_dark(p, 0) || !row_is_dark(p, 7)) return false;
    for (int x0 : {0, 4}) {
        if (led(p, x0, 1) != k_dark || led(p, x0 + 1, 1) != k_digit_top) return false;
        if (led(p, x0, 2) != k_digit_top || led(p, x0 + 1, 2) != k_dark) return false;
        if (led(p, x0 + 1, 6) != k_digit_bottom) return false;
    }
    for (int y = 0; y < 8; ++y)
        if (led(p, 3, y) != k_dark || led(p, 7, y) != k_dark) return false;
    return true;
}

// The first cave column: rock in rows 0, 1, 6, 7, the player in the passage at row.
bool shows_player_at(const e2e::Picture& p, int row) {
    if (led(p, 0, 0) != k_rock[0] || led(p, 0, 1) != k_rock[1] || led(p, 0, 6) != k_rock[2] ||
        led(p, 0, 7) != k_rock[3])
        return false;
    for (int y = 2; y <= 5; ++y)
        if (led(p, 0, y) != (y == row ? k_player : k_dark)) return false;
    return true;
}

class GameE2E : public ::testing::Test {
  protected:
    // Captures until the picture satisfies want; false after timeout_ms.
    bool wait_for(const std::function<bool(const e2e::Picture&)>& want, int timeout_ms,
                  const char* what) {
        const double end = e2e::now_ms() + timeout_ms;
        while (e2e::now_ms() < end) {
            last_ = e2e::capture(server_.display(), window_);
            if (want(last_)) return true;
            e2e::sleep_ms(15);
        }
        e2e::save_ppm(last_, std::string("game_e2e_") + what + ".ppm");
        return false;
    }

    // The program's share of one core over ms milliseconds.
    double cpu_share(int ms) {
        const double cpu0 = program_->cpu_seconds(), t0 = e2e::now_ms();
        e2e::sleep_ms(ms);
        return (program_->cpu_seconds() - cpu0) / ((e2e::now_ms() - t0) / 1000.0);
    }

    e2e::XServer server_;
    std::unique_ptr<e2e::Program> program_;
    Window window_ = 0;
    e2e::Picture last_;
};

TEST_F(GameE2E, SplashTitleRunScoreAndBackWithRealKeys) {
    ASSERT_TRUE(server_.ok()) << "no X server";
    program_ = std::make_unique<e2e::Program>(server_);
    window_ = e2e::wait_for_window(server_.display(), k_title, 10000);
    ASSERT_NE(window_, 0u) << program_->output();
    e2e::focus(server_.display(), window_);
    Display* const d = server_.display();

    ASSERT_TRUE(wait_for(shows_mark, 4000, "splash")) << "the splash does not show the mark";
    const double mark_seen = e2e::now_ms();
    ASSERT_TRUE(wait_for(shows_banner, 8000, "title")) << "the title does not follow";
    EXPECT_GT(e2e::now_ms() - mark_seen, 3000.0) << "the splash ended early";

    // The banner moves on by itself.
    const e2e::Picture first = last_;
    e2e::sleep_ms(450);
    ASSERT_TRUE(wait_for(shows_banner, 1000, "title2"));
    EXPECT_NE(first.pixels, last_.pixels) << "the banner does not scroll";

    const double title_cpu = cpu_share(1500);
    std::printf("CPU use on the title screen: %.1f%% of one core\n", title_cpu * 100.0);
    EXPECT_LT(title_cpu, e2e::k_cpu_limit);

    // Space starts a run at row 4 of the first column; Up and Down move the player a row.
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(wait_for([](const auto& p) { return shows_player_at(p, 4); }, 1000, "run"));
    e2e::tap(d, "Up", 150);
    ASSERT_TRUE(wait_for([](const auto& p) { return shows_player_at(p, 3); }, 800, "up"));
    e2e::tap(d, "Down", 150);
    ASSERT_TRUE(wait_for([](const auto& p) { return shows_player_at(p, 4); }, 800, "down"));

    // Row 4 stays inside the passage for the first eleven columns, several seconds of play.
    const double play_cpu = cpu_share(1500);
    std::printf("CPU use in play: %.1f%% of one core\n", play_cpu * 100.0);
    EXPECT_LT(play_cpu, e2e::k_cpu_limit);

    // Then column 11's rock ends the run with no item taken.
    ASSERT_TRUE(wait_for(shows_zero_score, 8000, "score")) << "no score screen after the crash";
    e2e::tap(d, "space", 300);
    ASSERT_TRUE(wait_for(shows_banner, 1500, "title3")) << "Space does not return to the title";

    ASSERT_TRUE(program_->running());
    const double before = e2e::now_ms();
    e2e::send_close(d, window_);
    const int status = program_->wait_exit(2000);
    const double took = e2e::now_ms() - before;
    std::printf("closed in %.1f ms\n", took);
    EXPECT_EQ(status, 0);
    EXPECT_LT(took, 500.0);
}

} // namespace
