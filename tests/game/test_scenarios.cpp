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
    const char* state; // as state() writes it
    std::uint64_t pictures;
};

// The passage rows of this column and the next: the row nearest to wanted.
int safe_row(int column, int wanted) {
    const int a = leveldata[column & 63], b = leveldata[(column + 1) & 63];
    return std::clamp<int>(wanted, std::max(a, b), std::min(a, b) + 3);
}

std::string state(std::uint32_t ms, std::uint32_t presents) {
    char out[96];
    std::snprintf(out, sizeof out, "%u x%d y%d score%u speed%u aux%02X item%u title%u %ums %up",
                  gamestate, playerx, playery, score, scrollspeed, MeggyJr::AuxLEDs, itemactive,
                  titlex, ms, presents);
    return out;
}

const Step k_steps[] = {
    {"A held through the splash starts the run", 'k', 1, "A",
     "0 x0 y4 score0 speed50 aux01 item0 title1 4710ms 129p", 0x5e079a305e716dc0},
    {"Up moves after the picture is drawn", 'k', 1, "U",
     "0 x0 y3 score0 speed50 aux01 item0 title1 50ms 1p", 0x3bb04be46f730290},
    {"held, Up moves once", 'k', 1, "U", "0 x0 y3 score0 speed50 aux01 item0 title1 50ms 1p",
     0xdb82dab2ec740290},
    {"released", 'k', 1, "", "0 x0 y3 score0 speed50 aux01 item0 title1 50ms 1p",
     0xdb82dab2ec740290},
    {"Up and Down in one pass", 'k', 1, "UD", "0 x0 y3 score0 speed50 aux01 item0 title1 50ms 1p",
     0xdb82dab2ec740290},
    {"released", 'k', 1, "", "0 x0 y3 score0 speed50 aux01 item0 title1 50ms 1p",
     0xdb82dab2ec740290},
    {"Down", 'k', 1, "D", "0 x0 y4 score0 speed50 aux01 item0 title1 50ms 1p", 0xdb82dab2ec740290},
    {"no item in the first stretch", 'f', 15, "",
     "0 x15 y4 score0 speed48 aux02 item0 title1 5586ms 113p", 0xff788b0873967c10},
    {"items every sixteen columns", 'f', 17, "",
     "0 x32 y4 score1 speed46 aux10 item1 title1 6448ms 136p", 0xbb643a5bfcd27495},
    {"the cave wraps at 64", 'f', 32, "", "0 x0 y2 score3 speed42 aux01 item1 title1 11360ms 256p",
     0xfe40ca3eef72d955},
    {"the speed rises every eight columns to 10 ms", 'f', 266, "",
     "0 x10 y4 score11 speed10 aux01 item1 title1 54816ms 2128p", 0x22b1e70c80e5a565},
    {"into the floor: the score screen", 'c', 7, "",
     "3 x10 y5 score11 speed10 aux01 item1 title1 360ms 1p", 0x5a3a4fb40a8fc0b5},
    {"a score below 100 stands still", 'k', 3, "",
     "3 x10 y5 score11 speed10 aux01 item1 title1 300ms 3p", 0x8b303de90032aa55},
    {"A: the title", 'k', 1, "A", "1 x0 y4 score0 speed50 aux01 item0 title0 100ms 1p",
     0x17029e8fd7f0c935},
    {"the title banner slides to 40 and back", 'k', 82, "",
     "1 x0 y4 score0 speed50 aux01 item0 title2 8200ms 82p", 0x771e8b54abc1c13a},
    {"A: a new run", 'k', 1, "A", "0 x0 y4 score0 speed50 aux01 item0 title3 150ms 1p",
     0xe531c3dcd52fde95},
    {"the score set to 150", 's', 150, "", "0 x0 y4 score150 speed50 aux01 item0 title3 0ms 0p",
     0xcbf29ce484222325},
    {"into the roof", 'c', 0, "", "3 x1 y1 score150 speed50 aux01 item0 title3 650ms 6p",
     0x182167be4fbbea85},
    {"a score above 99 scrolls in from the right", 'k', 80, "",
     "3 x1 y1 score150 speed50 aux01 item0 title3 8000ms 80p", 0x43e60d56a1392985},
    {"A: the title with a new run", 'k', 1, "A",
     "1 x0 y4 score0 speed50 aux01 item0 title0 100ms 1p", 0x138a7537f817f0b5},
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
