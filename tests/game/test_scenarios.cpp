// Whole-game scenarios: the real setup and loop, keys through the window procedure, the virtual
// clock, and what the LEDs show.
#include <algorithm>
#include <functional>

#include "game_fixture.h"
#include "zephyrine/game.h"

namespace {

// The first cave columns with the player at row 4.
constexpr const char* k_run_start = R"(
    AAAAAAAA
    BBBBBBBB
    ....CCC.
    .....D..
    r.......
    ........
    CCCC...C
    DDDDD.DD)";

class Game : public LibraryTest {
  protected:
    void SetUp() override {
        LibraryTest::SetUp();
        setup();
    }
    void TearDown() override {
        if (held_ != 0) release(held_);
        headless::set_present_observer(nullptr);
    }

    // One pass of the game; returns the virtual milliseconds it took.
    std::uint32_t pass() {
        const std::uint32_t t0 = millis();
        const std::int8_t before = playerx;
        loop();
        if (playerx != before) ++columns_;
        return millis() - t0;
    }
    void pass_with(std::uint32_t vk) {
        press(vk);
        pass();
        release(vk);
    }

    void start_run() {
        pass(); // the splash and a first title step
        ASSERT_EQ(gamestate, GAMESTATE_TITLE);
        pass_with(VK_SPACE);
        ASSERT_EQ(gamestate, GAMESTATE_PLAYING);
        columns_ = 0;
    }

    // One playing pass steering towards row target: a key is pressed for one pass and released
    // for the next, since only new presses move the player.
    void steer(int target) {
        if (held_ != 0) {
            release(held_);
            held_ = 0;
        } else if (target != playery) {
            held_ = target < playery ? VK_UP : VK_DOWN;
            press(held_);
        }
        pass();
        ASSERT_EQ(gamestate, GAMESTATE_PLAYING) << "crashed at column " << int{playerx};
    }

    // The row nearest to wanted inside both this column's and the next column's passage.
    static int safe_row(int column, int wanted) {
        const int a = leveldata[column & 63], b = leveldata[(column + 1) & 63];
        return std::clamp<int>(wanted, std::max(a, b), std::min(a, b) + 3);
    }

    // Flies towards the rows row() names until playerx is column.
    void fly_to(
        int column, const std::function<int()>& row = [] { return playery; }) {
        for (int i = 0; i < 2000 && playerx != column; ++i) {
            steer(safe_row(playerx, row()));
            if (HasFatalFailure()) return;
        }
        ASSERT_EQ(playerx, column);
    }

    std::uint32_t held_ = 0;
    int columns_ = 0; // scroll steps since the run began
};

headless::Present g_mark;
std::uint32_t g_mark_at = 0;

TEST_F(Game, TheSplashFadesTheMarkInAndOutForItsTimeThenTheTitleBegins) {
    // The 65th present is the first of the fade-out, at full brightness.
    g_mark_at = headless::present_count() + 65;
    headless::set_present_observer([](std::uint32_t count) {
        if (count == g_mark_at) g_mark = headless::last_present();
    });
    const std::uint32_t presents = headless::present_count();
    EXPECT_EQ(gamestate, GAMESTATE_SPLASH);
    const std::uint32_t took = pass();
    EXPECT_GE(took, 4560u + 100u) << "4560 ms of fades and pauses, and a title step";
    EXPECT_LT(took, 4560u + 100u + 50u);
    EXPECT_EQ(headless::present_count() - presents, 129u);
    EXPECT_TRUE(leds::show([](int x, int y) { return g_mark.pixel32(x, y); }, leds::k_mark));
    EXPECT_EQ(gamestate, GAMESTATE_TITLE);
    EXPECT_TRUE(leds_shown(R"(
        ........
        DDDD.DDD
        ..DD.DD.
        .CC..CCC
        .BB..BB.
        AA...AA.
        AAAA.AAA
        ........)"));
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
}

TEST_F(Game, TheTitleBannerSlidesToFortyAndBack) {
    // The banner as drawn is the splash test's; here only where it stands, a step a pass.
    pass();
    std::vector<int> offsets, expected;
    for (int i = 0; i < 82; ++i) {
        offsets.push_back(titlex);
        EXPECT_EQ(pass(), 100u);
        expected.push_back(i < 40 ? i + 1 : i < 80 ? 79 - i : i - 79);
    }
    EXPECT_EQ(offsets, expected);
}

TEST_F(Game, AHeldThroughTheSplashStartsTheRunAndUpAndDownMoveOneRowPerPress) {
    press(VK_SPACE);
    EXPECT_GE(pass(), 4560u + 100u + 50u) << "splash, title step, and a first playing step";
    release(VK_SPACE);
    EXPECT_EQ(gamestate, GAMESTATE_PLAYING);
    EXPECT_TRUE(leds_shown(k_run_start));
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
    // The player's row, and where the LEDs of the first column show it.
    const auto rows = [] {
        const std::string leds =
            leds::grid([](int x, int y) { return headless::last_present().pixel32(x, y); });
        return playery * 10 + static_cast<int>(leds.find("r") / 9);
    };
    press(VK_UP);
    pass();
    EXPECT_EQ(rows(), 34) << "drawn before the move";
    pass();
    EXPECT_EQ(rows(), 33) << "held, it moves once";
    release(VK_UP);
    pass();
    press(VK_UP);
    press(VK_DOWN);
    pass();
    EXPECT_EQ(playery, 3) << "both in one pass: up, then down again";
    release(VK_UP);
    release(VK_DOWN);
    pass();
    pass_with(VK_DOWN);
    EXPECT_EQ(playery, 4);
}

TEST_F(Game, LeavingThePassageCrashesAndTheScoreScreenFollows) {
    // The first column's passage is rows 2 to 5.
    for (const auto& [vk, edge] : {std::pair{VK_UP, 2}, std::pair{VK_DOWN, 5}}) {
        start_run();
        for (int i = 0; i < 3 && playery != edge; ++i) {
            pass_with(vk);
            pass();
        }
        ASSERT_EQ(gamestate * 10 + playery, GAMESTATE_PLAYING * 10 + edge);
        press(vk);
        EXPECT_GE(pass(), 50u + 7u * 50u) << "a playing step and seven crash tones";
        release(vk);
        EXPECT_EQ(gamestate, GAMESTATE_SCORE);
        EXPECT_EQ(GameSlate[7 - edge], 18) << "the picture drawn before the move stays";
        EXPECT_EQ(pass(), 100u) << "a score screen step";
        pass_with(VK_SPACE);
    }
}

TEST_F(Game, ItemsStandEverySixteenColumnsAndAreTakenOnlyOnTheirRow) {
    start_run();
    fly_to(15);
    EXPECT_EQ(itemactive, 0) << "none in the first stretch";
    fly_to(28);
    steer(safe_row(playerx, playery));
    EXPECT_EQ(GameSlate[3 * 8 + 7 - (leveldata[31] + itemy)], 5) << "in column 31";
    // Flown past on another row: not taken.
    const int miss_row = 2 + itemy == 3 ? 4 : 3;
    fly_to(32, [&] { return miss_row; });
    EXPECT_EQ(score, 0);
    const int take_row = leveldata[47] + itemy;
    fly_to(48, [&] { return playerx >= 46 ? take_row : playery; });
    EXPECT_EQ(score, 1);
    EXPECT_EQ(itemactive, 1) << "column 48 begins a stretch with a new item";
    fly_to(63);
    itemactive = 0;
    fly_to(0);
    EXPECT_EQ(columns_, 64) << "the cave wraps at 64";
    EXPECT_EQ(itemactive, 1);
}

TEST_F(Game, TheRunSpeedsUpEveryEightColumnsToTenMilliseconds) {
    start_run();
    std::vector<int> changes; // columns flown when the speed went up
    while (columns_ < 330) {
        const int speed = scrollspeed, before = columns_;
        const std::uint32_t t0 = millis();
        steer(safe_row(playerx, playery));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_GE(millis() - t0, static_cast<std::uint32_t>(speed));
        ASSERT_EQ(MeggyJr::AuxLEDs, 1u << ((50 - speed) & 7)) << "column " << before;
        if (scrollspeed != speed) changes.push_back(columns_);
    }
    ASSERT_EQ(changes.size(), 40u) << "from 50 ms to 10, one at a time";
    for (std::size_t i = 0; i < changes.size(); ++i) EXPECT_EQ(changes[i], 7 + 8 * int(i));
    steer(safe_row(playerx, playery));
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
}

TEST_F(Game, AScoreAboveNinetyNineScrollsInFromTheRightAndABelowStandsStill) {
    // 0150 written out, with room to scroll in from column 16 and out past column -15.
    const auto strip = picture::make(R"(
        ........................................
        .................s..ss..sss..s..........
        ................s.s..s..s...s.s.........
        ................r.r..r...r..r.r.........
        ................q.q..q....q.q.q.........
        ................p.p..p....p.p.p.........
        .................p..ppp.pp...p..........
        ........................................)",
                                     leds::k_painted);
    for (const int score_shown : {150, 7}) {
        start_run();
        score = static_cast<std::uint16_t>(score_shown);
        for (int i = 0; i < 3 && gamestate == GAMESTATE_PLAYING; ++i) {
            pass_with(VK_DOWN); // down out of the passage, a row a press
            if (gamestate == GAMESTATE_PLAYING) pass();
        }
        ASSERT_EQ(gamestate, GAMESTATE_SCORE);
        // From column 16 to -15, then twice from 8 to -15; a score below 100 stands at -8.
        std::vector<int> columns;
        for (int x = 16; x >= -15; --x) columns.push_back(score_shown > 99 ? x : -8);
        for (int i = 0; i < 48; ++i) columns.push_back(score_shown > 99 ? 8 - i % 24 : -8);
        for (const int x : columns) {
            pass();
            const std::string want =
                picture::grid_of(strip.get(), 16 - x, 0, 8, 8, leds::k_painted);
            ASSERT_TRUE(leds_shown(score_shown > 99 ? want
                                                    : "........\n.s..sss.\ns.s...s.\nr.r..rr.\n"
                                                      "q.q...q.\np.p...p.\n.p....p.\n........"))
                << "at column " << x;
        }
        pass_with(VK_SPACE);
        EXPECT_EQ(gamestate, GAMESTATE_TITLE) << "A returns to the title with a new run";
        EXPECT_EQ(score + playerx, 0);
        EXPECT_EQ(scrollspeed, 50);
    }
}

} // namespace
