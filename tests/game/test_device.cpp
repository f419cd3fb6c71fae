// The device model and the simple interface over it, and the game's pixel, sprite and digit
// writers: each row a short script on a fresh device, pinned by a checksum of what it leaves (LED
// memory, slate, colour table, auxiliary LEDs, buttons, tones, clock, the last page presented)
// and of the values it noted on its way.
#include <array>
#include <string>

#include "game_fixture.h"
#include "lodestar/hw_common/timer.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

std::string g_notes;

template <typename... T> void note(T... values) {
    ((g_notes += std::to_string(+values) + " "), ...);
}
std::uint32_t rgb(int x, int y) {
    return Meg.GetPixelR(x, y) * 100u + Meg.GetPixelG(x, y) * 10u + Meg.GetPixelB(x, y);
}
// +k presses button k's key, -k releases it; p and d note the buttons after a press check or a
// held check, b notes the device's buttons and PINC.
void buttons(std::string_view script) {
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '+' || c == '-') (c == '+' ? press : release)(vk_of(script[++i]));
        if (c == 'p' || c == 'd') {
            (c == 'p' ? CheckButtonsPress : CheckButtonsDown)();
            note(Button_A | Button_B | Button_Up | Button_Down | Button_Left | Button_Right);
        }
        if (c == 'b') {
            const std::uint8_t held = Meg.GetButtons(); // and PINC with it
            note(held, PINC);
        }
    }
}

constexpr std::uint8_t k_rgb[3] = {1, 2, 3};
std::uint8_t g_sprite[64];

std::uint64_t device_sum() {
    note(MeggyJr::AuxLEDs, PINC, MeggyJr::SoundEnabled, MeggyJr::SoundAllowed,
         MeggyJr::ToneTimeRemaining, lastButtonState, millis());
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
         note(rgb(2, 6), rgb(8, 7), rgb(255, 255));
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
         press(VK_SPACE);
         MeggyJrSimpleSetup(); // takes the held A as already seen
         buttons("p -A p +A p p d d +U p -A-U +B+D+L+R p");
         SetAuxLEDsBinary(0xB4); // the leftmost LED the high bit
     }},
    {"tones only with permission, a new device ends them; delays across the wraps of both clocks",
     0x97dd7c3afca28f96,
     [] {
         Meg.StartTone(4545, 100);
         note(MeggyJr::SoundEnabled, MeggyJr::ToneTimeRemaining);
         MeggyJr::SoundAllowed = 1;
         Tone_Start(6810, 50);
         note(MeggyJr::SoundEnabled);
         Meg.SoundState(0);
         note(MeggyJr::SoundEnabled);
         const MeggyJr fresh;
         headless::set_ticks(0xFFFFFFF0u); // the platform's ticks about to wrap
         LSR_Initialise();
         for (const int ms : {50, 0, -5}) delay(ms);
         note(millis());
         headless::set_ticks(LSR_timer_starttick - 16);
         note(millis());
         delay(50);
     }},
    {"the slate counts rows from the bottom, ReadPixel from the top modulo 8; shown through the "
     "colour table, unlit beyond it",
     0x619d51122782b11e,
     [] {
         writes(DrawPx, {{1, 6, 9}, {8, 0, 7}, {255, 255, 7}, {2, 3, 5}, {4, 4, 200}, {7, 7, 1}});
         note(ReadPx(1, 6), ReadPx(8, 0), ReadPixel(9, 9));
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
         note(sprdata - g_sprite);
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

using Device = LibraryTest;

TEST_F(Device, ScriptsLeaveTheirPinnedState) {
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

} // namespace
