// The whole game replayed from set-up: the real loop, keys through the window procedure, the
// virtual clock. After each step, the state it leaves and a checksum of every LED picture
// presented during it (the 64 LEDs and the 8 auxiliary LEDs as painted), pinned.
#include <algorithm>
#include <cstdio>
#include <string>

#include "game_fixture.h"
#include "zephyrine/game.h"

namespace {

Fnv g_pictures;

void add_picture(std::uint32_t) {
    const headless::Present page = headless::last_present();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) g_pictures.add(page.pixel32(MeggyJr_LedX(x), MeggyJr_LedY(y)));
    for (int k = 0; k < 8; ++k) g_pictures.add(page.pixel32(MeggyJr_AuxLedX(k), MeggyJr_AuxLedY));
}

// 'k': the keys of the buttons named (A, U for Up, D for Down) held for n passes; 'f': n cave
// columns flown through the passage, taking the items of odd stretches; 'c': steering for row n
// until the run ends; 's': the score set to n.
struct Step {
    const char* what;
    char mode;
    int n;
    const char* keys;
    // State, column, row, score, speed, auxiliary LEDs, item shown, title offset, milliseconds
    // and presents taken.
    const char* state;
    std::uint64_t pictures;
};

// The passage rows of this column and the next: the row nearest to wanted.
int safe_row(int column, int wanted) {
    const int a = leveldata[column & 63], b = leveldata[(column + 1) & 63];
    return std::clamp<int>(wanted, std::max(a, b), std::min(a, b) + 3);
}

std::string state(std::uint32_t ms, std::uint32_t presents) {
    char out[96];
    std::snprintf(out, sizeof out, "%u %d %d %u %u %02X %u %u %u %u", gamestate, playerx, playery,
                  score, scrollspeed, MeggyJr::AuxLEDs, itemactive, titlex, ms, presents);
    return out;
}

const Step k_steps[] = {
    {"A held through the splash", 'k', 1, "A", "0 0 4 0 50 01 0 1 4710 129", 0x5e079a305e716dc0},
    {"Up, drawn before it moves", 'k', 1, "U", "0 0 3 0 50 01 0 1 50 1", 0x3bb04be46f730290},
    {"Up held: one move", 'k', 1, "U", "0 0 3 0 50 01 0 1 50 1", 0xdb82dab2ec740290},
    {"released", 'k', 1, "", "0 0 3 0 50 01 0 1 50 1", 0xdb82dab2ec740290},
    {"Up and Down in one pass", 'k', 1, "UD", "0 0 3 0 50 01 0 1 50 1", 0xdb82dab2ec740290},
    {"released", 'k', 1, "", "0 0 3 0 50 01 0 1 50 1", 0xdb82dab2ec740290},
    {"Down", 'k', 1, "D", "0 0 4 0 50 01 0 1 50 1", 0xdb82dab2ec740290},
    {"no item in the first 16", 'f', 15, "", "0 15 4 0 48 02 0 1 5586 113", 0xff788b0873967c10},
    {"an item every 16 columns", 'f', 17, "", "0 32 4 1 46 10 1 1 6448 136", 0xbb643a5bfcd27495},
    {"the cave wraps at 64", 'f', 32, "", "0 0 2 3 42 01 1 1 11360 256", 0xfe40ca3eef72d955},
    {"faster every 8, to 10 ms", 'f', 266, "", "0 10 4 11 10 01 1 1 54816 2128",
     0x22b1e70c80e5a565},
    {"into the floor: the score", 'c', 7, "", "3 10 5 11 10 01 1 1 360 1", 0x5a3a4fb40a8fc0b5},
    {"below 100 it stands", 'k', 3, "", "3 10 5 11 10 01 1 1 300 3", 0x8b303de90032aa55},
    {"A: the title", 'k', 1, "A", "1 0 4 0 50 01 0 0 100 1", 0x17029e8fd7f0c935},
    {"title to 40 and back", 'k', 82, "", "1 0 4 0 50 01 0 2 8200 82", 0x771e8b54abc1c13a},
    {"A: a new run", 'k', 1, "A", "0 0 4 0 50 01 0 3 150 1", 0xe531c3dcd52fde95},
    {"score 150", 's', 150, "", "0 0 4 150 50 01 0 3 0 0", 0xcbf29ce484222325},
    {"into the roof", 'c', 0, "", "3 1 1 150 50 01 0 3 650 6", 0x182167be4fbbea85},
    {"a score above 99 scrolls", 'k', 80, "", "3 1 1 150 50 01 0 3 8000 80", 0x43e60d56a1392985},
    {"A: the title, a new run", 'k', 1, "A", "1 0 4 0 50 01 0 0 100 1", 0x138a7537f817f0b5},
};

using Game = LibraryTest;

TEST_F(Game, ReplaysToItsPinnedStatesAndPictures) {
    setup();
    headless::set_present_observer(add_picture);
    std::uint32_t held = 0; // the steering key pressed in the last pass
    for (const Step& s : k_steps) {
        g_pictures = {};
        const std::uint32_t t0 = millis(), p0 = headless::present_count();
        if (s.mode == 'k') {
            for (const char* c = s.keys; *c != 0; ++c) press(vk_of(*c));
            for (int i = 0; i < s.n; ++i) loop();
            for (const char* c = s.keys; *c != 0; ++c) release(vk_of(*c));
        } else if (s.mode == 's') {
            score = static_cast<std::uint16_t>(s.n);
        } else {
            // A key is pressed for one pass and released for the next: only new presses move.
            for (int flown = 0, i = 0;
                 i < 5000 && gamestate == GAMESTATE_PLAYING && (s.mode == 'c' || flown < s.n);
                 ++i) {
                const int item_row = leveldata[playerx | 15] + itemy;
                const int target =
                    s.mode == 'c'
                        ? s.n
                        : safe_row(playerx, (playerx & 16) && itemactive ? item_row : playery);
                if (held != 0) {
                    release(std::exchange(held, 0u));
                } else if (target != playery) {
                    held = target < playery ? VK_UP : VK_DOWN;
                    press(held);
                }
                const int x = playerx;
                loop();
                flown += playerx != x;
            }
        }
        const std::string got = state(millis() - t0, headless::present_count() - p0);
        const headless::Present page = headless::last_present();
        EXPECT_EQ(got, s.state) << s.what << "\n"
                                << leds::grid([&page](int x, int y) { return page.pixel32(x, y); });
        EXPECT_EQ(g_pictures.sum, s.pictures) << s.what << ": 0x" << std::hex << g_pictures.sum;
    }
    if (held != 0) release(held);
    headless::set_present_observer(nullptr);
}

} // namespace
