// The emulated device, its simple interface and the game: short scripts on a fresh device and a
// replay of the whole game, each pinned by a checksum of what it leaves. A fresh headless library
// with its 640x480 page and a fresh device for each; keys pressed through the window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "fnv.h"
#include "headless.h"
#include "leds.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/video/internal/driver.h"
#include "lodestar/video/video.h"
#include "meggyjr/simple.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

void key(std::uint32_t vk, bool down) {
    WIN32_WndProc(nullptr, down ? WM_KEYDOWN : WM_KEYUP, vk, 0);
}
// The keys of the device's buttons A, B, Up, Down, Left, Right, and Shift and Return (no button).
std::uint32_t vk_of(char button) {
    constexpr std::uint32_t vks[] = {VK_SPACE, VK_CONTROL, VK_UP,    VK_DOWN,
                                     VK_LEFT,  VK_RIGHT,   VK_SHIFT, VK_RETURN};
    return vks[std::string_view("ABUDLRSE").find(button)];
}

class Game : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    static void reset() {
        headless::reset();
        for (auto& key : LSR_keys) key.store(0, std::memory_order_relaxed);
        g_keycode.store(0, std::memory_order_relaxed);
        winhandle = plat_create_window(LSR_ID, "test", LSR_WINDOW_STYLE, 200, 200, 328, 267);
        LSR_Initialise();
        LSR_InitVideo(640, 480, 32, 0);
        InitColors();
        MeggyJr::SoundAllowed = 0;
        const MeggyJr fresh;
        ClearSlate();
        PINC = lastButtonState = Button_A = Button_B = Button_Up = Button_Down = Button_Left =
            Button_Right = 0;
    }
};

// Device scripts: each row runs on a fresh device; the checksum covers LED memory, slate, colour
// table, the last page presented and the values the script noted, the device's scalars among them.
std::string g_notes;

void note(std::initializer_list<std::int64_t> values) {
    for (const std::int64_t v : values) g_notes += std::to_string(v) + " ";
}
std::uint32_t rgb(int x, int y) {
    return Meg.GetPixelR(x, y) * 100u + Meg.GetPixelG(x, y) * 10u + Meg.GetPixelB(x, y);
}
// +k presses button k's key, -k releases it; p and d note the buttons after a press check or a
// held check, b notes the device's buttons and PINC.
void buttons(std::string_view script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '+' || c == '-') key(vk_of(script[++i]), c == '+');
        if (c == 'p' || c == 'd') {
            (c == 'p' ? CheckButtonsPress : CheckButtonsDown)();
            note({Button_A | Button_B | Button_Up | Button_Down | Button_Left | Button_Right});
        }
        if (c == 'b') note({Meg.GetButtons(), PINC}); // in this order: PINC follows the read
    }
}

constexpr std::uint8_t k_rgb[3] = {1, 2, 3};
std::uint8_t g_sprite[64];

std::uint64_t device_sum() {
    note({MeggyJr::AuxLEDs, PINC, MeggyJr::SoundEnabled, MeggyJr::SoundAllowed,
          MeggyJr::ToneTimeRemaining, lastButtonState, millis()});
    Fnv f;
    f.add(g_notes.data(), g_notes.size());
    f.add(MeggyJr::MeggyFrame, sizeof MeggyJr::MeggyFrame);
    f.add(GameSlate, sizeof GameSlate);
    f.add(ColorTable, sizeof ColorTable);
    if (headless::present_count() != 0) {
        const headless::Present page = headless::last_present();
        f.add(page.pixels.data(), page.pixels.size());
    }
    return f.sum;
}

// Each (x, y, colour) written with writer.
void writes(void (*writer)(std::uint8_t, std::uint8_t, std::uint8_t),
            std::initializer_list<std::array<std::uint8_t, 3>> list) {
    for (const auto& w : list) writer(w[0], w[1], w[2]);
}

const struct {
    const char* what;
    std::uint64_t sum;
    void (*script)();
} k_scripts[] = {
    {"LED memory is blue, green, red per column; nothing lands past it; the byte index wraps",
     0x5bb82aa3347f26d1,
     [] {
         MeggyJr::AuxLEDs = 0x5A;
         Meg.SetPxClr(2, 6, k_rgb);
         Meg.SetPxClr(8, 0, k_rgb); // column 8 starts at byte 192
         Meg.ClearPixel(8, 3);
         note({rgb(2, 6), rgb(8, 7), rgb(255, 255)});
         Meg.SetPxClr(10, 16, k_rgb); // 10 * 24 + 16 wraps to the first LED
     }},
    {"LEDs painted as circles, lit auxiliary LEDs amber", 0xf10a0962804178ce,
     [] {
         const std::uint8_t levels[][3] = {{0, 11, 12}, {15, 1, 16}};
         Meg.SetPxClr(3, 5, levels[0]);
         Meg.SetPxClr(7, 0, levels[1]);
         MeggyJr::AuxLEDs = 0x81;
         Meg.update_meggyjr();
     }},
    {"buttons from the keys, PINC inverted; Shift and Return are no buttons", 0xce530527b9ac2e25,
     [] { buttons("+A+L b -A-L +B+U+D+R b -B-U-D-R +S+E b"); }},
    {"set-up resets the device; press checks see edges, held checks share the last state",
     0x5042388cff708865,
     [] {
         MeggyJr::AuxLEDs = 0xFF;
         MeggyJr::MeggyFrame[100] = 9;
         MeggyJr::ToneTimeRemaining = 77;
         key(VK_SPACE, true);
         MeggyJrSimpleSetup(); // takes the held A as already seen
         buttons("p -A p +A p p d d +U p -A-U +B+D+L+R p");
         SetAuxLEDsBinary(0xB4); // the leftmost LED the high bit
     }},
    {"tones only with permission, a new device ends them; delays across the wraps of both clocks",
     0x97dd7c3afca28f96,
     [] {
         Meg.StartTone(4545, 100);
         note({MeggyJr::SoundEnabled, MeggyJr::ToneTimeRemaining});
         MeggyJr::SoundAllowed = 1;
         Tone_Start(6810, 50);
         note({MeggyJr::SoundEnabled});
         Meg.SoundState(0);
         note({MeggyJr::SoundEnabled});
         const MeggyJr fresh;
         headless::set_ticks(0xFFFFFFF0u); // the platform's ticks about to wrap
         LSR_Initialise();
         for (const int ms : {50, 0, -5}) delay(ms);
         note({millis()});
         headless::set_ticks(LSR_timer_starttick - 16);
         note({millis()});
         delay(50);
     }},
    {"the slate counts rows from the bottom, ReadPixel from the top modulo 8; shown through the "
     "colour table, unlit beyond it",
     0x619d51122782b11e,
     [] {
         writes(DrawPx, {{1, 6, 9}, {8, 0, 7}, {255, 255, 7}, {2, 3, 5}, {4, 4, 200}, {7, 7, 1}});
         note({ReadPx(1, 6), ReadPx(8, 0), ReadPixel(9, 9)});
         DisplaySlate();
         EditColor(5, 1, 2, 3);
         EditColor(32, 15, 15, 15); // no such entry
     }},
    {"game pixels wrap or clip, colours above 25 white", 0xb242fa28072c7c14,
     [] {
         writes(DrawPixel, {{9, 1, 7}, {0, 0, 30}, {0, 1, 25}});
         writes(DrawPixelSafe, {{7, 7, 26}, {255, 0, 3}, {0, 8, 3}});
     }},
    {"sprites opaque and clipped but read whole", 0x314fd81877176e28,
     [] {
         for (int i = 0; i < 64; ++i)
             g_sprite[i] = static_cast<std::uint8_t>(i % 8 == 7 ? 0 : 1 + i % 8);
         for (auto& e : GameSlate) e = 9;
         DrawSprite(-3, 0, 8, 8, g_sprite);
         note({sprdata - g_sprite});
         DrawSprite(8, 0, 8, 8, g_sprite);
         DrawSprite(0, -8, 8, 8, g_sprite);
         DrawSprite(120, 120, 8, 8, g_sprite); // byte coordinates past 127 wrap to negative
     }},
    {"digits transparent; no digit 10", 0xaf7ee868b607f5be,
     [] {
         for (auto& e : GameSlate) e = 4;
         DrawNSprite(-1, 2, 4, 6, 1);
         DrawNSprite(3, 0, 4, 6, 10);
         DrawNSprite(3, -2, 4, 6, 4);
     }},
    {"a number's last four digits", 0xdcdb83c1e883a966, [] { DrawNumber(0, 1, 12369); }},
    {"a number at -8", 0x4c6124ac73c60bfe, [] { DrawNumber(-8, 1, 58); }},
    {"a negative number: zeros", 0x88730991299f6aa8, [] { DrawNumber(0, 1, -7); }},
    {"a negative number at -8: nothing", 0x89eb5e454ccd8b60, [] { DrawNumber(-8, 1, -42); }},
};

TEST_F(Game, DeviceScriptsLeaveTheirPinnedState) {
    for (const auto& row : k_scripts) {
        reset();
        g_notes.clear();
        row.script();
        const std::uint64_t sum = device_sum();
        std::string slate; // colour indices, a column a line from the left, bottom first
        for (int i = 0; i < 64; ++i)
            slate += std::to_string(GameSlate[i]) + (i % 8 < 7 ? " " : "\n");
        EXPECT_EQ(sum, row.sum) << row.what << ": 0x" << std::hex << sum << "\nnotes: " << g_notes
                                << "\nslate:\n"
                                << slate;
    }
}

// The whole game replayed from set-up: the real loop, keys through the window procedure, the
// virtual clock. After each step, the state it leaves and a checksum of every LED picture
// presented during it (the 64 LEDs and the 8 auxiliary LEDs as painted), pinned.
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

TEST_F(Game, ReplaysToItsPinnedStatesAndPictures) {
    setup();
    headless::set_present_observer(add_picture);
    std::uint32_t held = 0; // the steering key pressed in the last pass
    for (const Step& s : k_steps) {
        g_pictures = {};
        const std::uint32_t t0 = millis(), p0 = headless::present_count();
        if (s.mode == 'k') {
            for (const char* c = s.keys; *c != 0; ++c) key(vk_of(*c), true);
            for (int i = 0; i < s.n; ++i) loop();
            for (const char* c = s.keys; *c != 0; ++c) key(vk_of(*c), false);
        } else if (s.mode == 's') {
            score = static_cast<std::uint16_t>(s.n);
        } else {
            // A key is pressed for one pass and released for the next: only new presses move.
            for (int flown = 0, i = 0;
                 i < 5000 && gamestate == GAMESTATE_PLAYING && (s.mode == 'c' || flown < s.n);
                 ++i) {
                const int item_row = leveldata[playerx | 15] + itemy,
                          wanted = (playerx & 16) && itemactive ? item_row : playery;
                const int target = s.mode == 'c' ? s.n : safe_row(playerx, wanted);
                if (held != 0) {
                    key(std::exchange(held, 0u), false);
                } else if (target != playery) {
                    held = target < playery ? VK_UP : VK_DOWN;
                    key(held, true);
                }
                const int x = playerx;
                loop();
                flown += playerx != x;
            }
        }
        char got[96];
        std::snprintf(got, sizeof got, "%u %d %d %u %u %02X %u %u %u %u", gamestate, playerx,
                      playery, score, scrollspeed, MeggyJr::AuxLEDs, itemactive, titlex,
                      millis() - t0, headless::present_count() - p0);
        const headless::Present page = headless::last_present();
        EXPECT_STREQ(got, s.state)
            << s.what << "\n"
            << leds::grid([&page](int x, int y) { return page.pixel32(x, y); });
        EXPECT_EQ(g_pictures.sum, s.pictures) << s.what << ": 0x" << std::hex << g_pictures.sum;
    }
    headless::set_present_observer(nullptr);
}

} // namespace
