// Whole-game scenarios: the real setup and loop, keys through the window procedure, the virtual
// clock.
#include <algorithm>
#include <functional>

#include "digits.h"
#include "game_fixture.h"
#include "zephyrine/artwork.h"
#include "zephyrine/game.h"

namespace {

constexpr std::uint8_t k_mark_colours[4][3] = {{0, 2, 4}, {0, 3, 6}, {1, 6, 9}, {3, 9, 12}};

class Game : public LibraryTest {
  protected:
    void SetUp() override {
        LibraryTest::SetUp();
        setup();
    }
    void TearDown() override {
        if (held_ != 0) release(held_);
    }

    // One pass of the game; returns the virtual milliseconds it took.
    std::uint32_t pass() {
        const std::uint32_t t0 = millis();
        const std::int8_t before = playerx;
        loop();
        if (playerx != before) ++columns_;
        return millis() - t0;
    }

    void start_run() {
        pass(); // the splash and a first title step
        ASSERT_EQ(gamestate, GAMESTATE_TITLE);
        press(VK_SPACE);
        pass();
        release(VK_SPACE);
        ASSERT_EQ(gamestate, GAMESTATE_PLAYING);
        columns_ = 0;
    }

    // One playing pass steering towards row target: a key is pressed for one pass and released
    // for the next, since only new presses move the player.
    void steer(int target) {
        if (held_ != 0) {
            release(held_);
            held_ = 0;
        } else if (target < playery) {
            held_ = VK_UP;
        } else if (target > playery) {
            held_ = VK_DOWN;
        }
        if (held_ != 0) press(held_);
        pass();
        ASSERT_EQ(gamestate, GAMESTATE_PLAYING) << "crashed at column " << int{playerx};
    }

    // The row nearest to wanted inside both this column's and the next column's passage.
    static int safe_row(int column, int wanted) {
        const int a = leveldata[column & 63], b = leveldata[(column + 1) & 63];
        return std::clamp<int>(wanted, std::max(a, b), std::min(a, b) + 3);
    }
    static int safe_row(int column) { return safe_row(column, playery); }

    // Flies with a row chooser until done() holds, at most limit passes.
    void fly(const std::function<bool()>& done, const std::function<int()>& row, int limit) {
        for (int i = 0; i < limit && !done(); ++i) {
            steer(row());
            if (HasFatalFailure()) return;
        }
        ASSERT_TRUE(done()) << "not reached in " << limit << " passes";
    }
    void fly_to(int column, int limit = 2000) {
        fly([column] { return playerx == column; }, [] { return safe_row(playerx); }, limit);
    }

    // A crash by climbing out of the passage.
    void crash() {
        for (int i = 0; i < 20 && gamestate == GAMESTATE_PLAYING; ++i) {
            press(VK_UP);
            pass();
            release(VK_UP);
            if (gamestate == GAMESTATE_PLAYING) pass();
        }
        ASSERT_EQ(gamestate, GAMESTATE_SCORE);
    }

    std::uint32_t held_ = 0;
    int columns_ = 0; // scroll steps since the run began
};

TEST_F(Game, TheSplashFadesTheMarkForItsTimeAndRestoresTheColours) {
    const std::uint32_t presents = headless::present_count();
    EXPECT_EQ(gamestate, GAMESTATE_SPLASH);
    const std::uint32_t took = pass();
    // 4560 ms of fades and pauses, then the title's 100 ms in the same pass.
    EXPECT_GE(took, 4560u + 100u);
    EXPECT_LT(took, 4560u + 100u + 50u);
    EXPECT_GE(headless::present_count() - presents, 129u);
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(ColorTable[16 + i][c], k_mark_colours[i][c]);
    EXPECT_EQ(gamestate, GAMESTATE_TITLE);
    EXPECT_EQ(titlex, 1);
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
}

TEST_F(Game, TheTitleBannerSlidesToFortyAndBack) {
    pass();
    std::vector<int> offsets;
    for (int i = 0; i < 82; ++i) {
        const int offset = titlex;
        offsets.push_back(offset);
        EXPECT_EQ(pass(), 100u);
        Slate want{};
        for (int x = 0; x < 8; ++x)
            for (int y = 1; y <= 6; ++y)
                want[x * 8 + (7 - y)] = title_data[(y - 1) * k_title_width + offset + x];
        EXPECT_EQ(current_slate(GameSlate), want) << "offset " << offset;
        ASSERT_EQ(gamestate, GAMESTATE_TITLE);
    }
    std::vector<int> expected;
    for (int o = 1; o <= 40; ++o) expected.push_back(o);
    for (int o = 39; o >= 0; --o) expected.push_back(o);
    expected.push_back(1);
    expected.push_back(2);
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(titledir, 1);
}

TEST_F(Game, AHeldThroughTheSplashStartsTheRunInTheSamePass) {
    press(VK_SPACE);
    const std::uint32_t took = pass();
    release(VK_SPACE);
    EXPECT_EQ(gamestate, GAMESTATE_PLAYING);
    EXPECT_GE(took, 4560u + 100u + 50u); // splash, title step, and a first playing step
    // The cave's first columns with the player at row 4.
    EXPECT_EQ(GameSlate[0 * 8 + (7 - 4)], 18);
    EXPECT_EQ(GameSlate[0 * 8 + (7 - 2)], 0);
    EXPECT_EQ(GameSlate[5 * 8 + (7 - 3)], 23); // column 5's passage is rows 4 to 7
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
    EXPECT_EQ(playery, 4);
    EXPECT_EQ(playerx, 0);
}

TEST_F(Game, UpAndDownMoveOneRowPerPress) {
    start_run();
    press(VK_DOWN);
    for (int i = 0; i < 4; ++i) pass();
    EXPECT_EQ(playery, 5);
    release(VK_DOWN);
    pass();
    press(VK_UP);
    pass();
    EXPECT_EQ(playery, 4);
    pass();
    EXPECT_EQ(playery, 4);
    release(VK_UP);
    pass();
    // Both in one pass: up, then down again.
    press(VK_UP);
    press(VK_DOWN);
    pass();
    EXPECT_EQ(playery, 4);
    release(VK_UP);
    release(VK_DOWN);
    pass();
    EXPECT_EQ(gamestate, GAMESTATE_PLAYING);
    // The move shows in the pass after the one that read it.
    press(VK_UP);
    pass();
    release(VK_UP);
    EXPECT_EQ(GameSlate[7 - 4], 18);
    pass();
    EXPECT_EQ(GameSlate[7 - 3], 18);
    EXPECT_EQ(GameSlate[7 - 4], 0);
}

TEST_F(Game, ClimbingToRowOneInTheFirstColumnsCrashes) {
    start_run();
    for (int expect_row : {3, 2}) {
        press(VK_UP);
        pass();
        release(VK_UP);
        ASSERT_EQ(playery, expect_row);
        ASSERT_EQ(gamestate, GAMESTATE_PLAYING);
        pass();
    }
    press(VK_UP);
    const std::uint32_t took = pass();
    release(VK_UP);
    EXPECT_EQ(playery, 1);
    EXPECT_LE(playerx, 3);
    EXPECT_EQ(gamestate, GAMESTATE_SCORE);
    EXPECT_GE(took, 50u + 7u * 50u);
    // The picture drawn before the move stays.
    EXPECT_EQ(GameSlate[7 - 2], 18);
    EXPECT_EQ(scorex, 16); // the score screen starts in the next pass
    EXPECT_EQ(pass(), 100u);
    EXPECT_EQ(scorex, 15);
}

TEST_F(Game, ItemsSpawnEverySixteenColumnsAndAreTakenOnlyOnTheirRow) {
    start_run();
    fly_to(15);
    EXPECT_EQ(itemactive, 0);
    fly_to(16);
    EXPECT_EQ(itemactive, 1);
    // The item stands in cave column 31, itemy rows below the top of its passage.
    fly_to(28);
    {
        const int row = leveldata[31] + itemy;
        steer(safe_row(playerx));
        EXPECT_EQ(GameSlate[(31 - 28) * 8 + (7 - row)], 5);
    }
    // Flown past on another row: not taken, and still waiting.
    const int miss_row = (2 + itemy == 3) ? 4 : 3;
    fly([] { return playerx == 32; }, [&] { return safe_row(playerx, miss_row); }, 200);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(itemactive, 1); // the stretch from 32 has its own item
    const int take_row = leveldata[47] + itemy;
    fly([] { return playerx == 48; },
        [&] { return safe_row(playerx, playerx >= 46 ? take_row : playery); }, 300);
    EXPECT_EQ(score, 1);
    // Column 48 begins a new stretch with a new item.
    EXPECT_EQ(itemactive, 1);
}

TEST_F(Game, TheCaveWrapsAtSixtyFourAndSpawnsForColumnFifteen) {
    start_run();
    fly_to(63);
    itemactive = 0;
    fly_to(0);
    EXPECT_EQ(itemactive, 1);
    EXPECT_EQ(columns_, 64);
    fly_to(8);
    steer(safe_row(playerx));
    EXPECT_EQ(GameSlate[7 * 8 + (7 - (leveldata[15] + itemy))], 5);
}

TEST_F(Game, TheRunSpeedsUpEveryEightColumnsToTenMilliseconds) {
    start_run();
    int last_speed = scrollspeed;
    while (columns_ < 330) {
        const int speed = scrollspeed, before = columns_;
        const std::uint32_t t0 = millis();
        steer(safe_row(playerx));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_GE(millis() - t0, static_cast<std::uint32_t>(speed));
        ASSERT_EQ(MeggyJr::AuxLEDs, 1u << ((50 - speed) & 7)) << "column " << before;
        if (columns_ != before) {
            const int want = std::max(10, 50 - (columns_ + 1) / 8);
            ASSERT_EQ(scrollspeed, want) << "column " << columns_;
            if (scrollspeed != last_speed) {
                ASSERT_EQ((playerx & 7), 7);
                last_speed = scrollspeed;
            }
            if (columns_ == 318) {
                EXPECT_EQ(scrollspeed, 11);
            }
            if (columns_ == 319) {
                EXPECT_EQ(scrollspeed, 10);
            }
        }
    }
    EXPECT_EQ(scrollspeed, 10);
    steer(safe_row(playerx));
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
}

TEST_F(Game, AScoreBelowAHundredStandsStill) {
    start_run();
    score = 7;
    crash();
    for (int i = 0; i < 40; ++i) {
        pass();
        ASSERT_EQ(current_slate(GameSlate), (expected_digits<2>(0, 1, {0, 7}))) << i;
    }
    EXPECT_EQ(scorex, 16 - 32 + 16); // counting down all the same, wrapped back to 8 once
}

TEST_F(Game, AScoreAboveNinetyNineScrollsInFromTheRight) {
    start_run();
    score = 150;
    crash();
    std::vector<int> columns;
    for (int x = 16; x >= -15; --x) columns.push_back(x);
    for (int cycle = 0; cycle < 2; ++cycle)
        for (int x = 8; x >= -15; --x) columns.push_back(x);
    for (const int x : columns) {
        pass();
        ASSERT_EQ(current_slate(GameSlate), (expected_digits<4>(x, 1, {0, 1, 5, 0})))
            << "at column " << x;
    }
}

TEST_F(Game, AOnTheScoreScreenReturnsToTheTitleWithANewRun) {
    start_run();
    fly_to(20);
    score = 3;
    crash();
    pass();
    press(VK_SPACE);
    pass();
    release(VK_SPACE);
    EXPECT_EQ(gamestate, GAMESTATE_TITLE);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(playerx, 0);
    EXPECT_EQ(scrollspeed, 50);
    pass();
    press(VK_SPACE);
    pass();
    release(VK_SPACE);
    EXPECT_EQ(gamestate, GAMESTATE_PLAYING);
}

} // namespace
