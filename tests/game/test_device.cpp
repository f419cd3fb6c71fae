// The device model and the simple interface over it: LED memory, painting, buttons, tones, time,
// the slate and its colours, and the game's pixel, sprite and digit writers.
#include <cstring>
#include <utility>

#include "game_fixture.h"
#include "lodestar/hw_common/timer.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

using Device = LibraryTest;

std::uint32_t rgb_at(int x, int y) {
    return Meg.GetPixelR(x, y) * 100u + Meg.GetPixelG(x, y) * 10u + Meg.GetPixelB(x, y);
}

TEST_F(Device, ComponentsAreStoredBlueGreenRedPerColumnAndNeverPastTheMemory) {
    const std::uint8_t rgb[3] = {1, 2, 3};
    Meg.SetPxClr(2, 6, rgb);
    std::uint8_t want[192] = {};
    want[2 * 24 + 6] = 3, want[2 * 24 + 8 + 6] = 2, want[2 * 24 + 16 + 6] = 1;
    EXPECT_EQ(std::memcmp(MeggyJr::MeggyFrame, want, 192), 0);
    EXPECT_EQ(rgb_at(2, 6), 123u);
    // Column 8 starts at byte 192: every component lies past the memory.
    MeggyJr::AuxLEDs = 0x5A;
    Meg.SetPxClr(8, 0, rgb);
    Meg.ClearPixel(8, 3);
    EXPECT_EQ(std::memcmp(MeggyJr::MeggyFrame, want, 192), 0);
    EXPECT_EQ(MeggyJr::AuxLEDs + rgb_at(8, 7) + rgb_at(255, 255), 0x5Au);
    Meg.ClearPixel(2, 6);
    Meg.SetPxClr(10, 16, rgb); // the index is a byte: 10 * 24 + 16 wraps to the first LED
    EXPECT_EQ(rgb_at(0, 0) * 1000 + rgb_at(2, 6), 123000u);
}

TEST_F(Device, LedsArePaintedAsCirclesAtTheirPlacesAndLitAuxiliaryLedsInAmber) {
    const std::uint8_t levels[][3] = {{0, 11, 12}, {15, 1, 16}};
    Meg.SetPxClr(3, 5, levels[0]);
    Meg.SetPxClr(7, 0, levels[1]);
    MeggyJr::AuxLEDs = 0x81;
    Meg.update_meggyjr();
    const headless::Present page = headless::last_present();
    const auto row = [&page](int x, int y, std::string_view grid) {
        return picture::matches(640, 480, [&page](int x, int y) { return page.pixel32(x, y); }, x,
                                y, grid,
                                {{'_', 0}, {'a', 0x40F0FF}, {'b', 0xFF50FF}, {'o', 0xFFAA00}});
    };
    // LED (3, 5) at (299, 201), 25 pixels across; LED (7, 0) at (423, 356); auxiliary LEDs 0 and 7
    // at (210, 115) and (420, 115), 13 pixels across, 1 to 6 unlit.
    EXPECT_TRUE(row(286, 201, "_aaaaaaaaaaaaaaaaaaaaaaaaa_"));
    EXPECT_TRUE(row(423, 356, "b"));
    EXPECT_TRUE(row(203, 115, "_ooooooooooooo_"));
    EXPECT_TRUE(row(413, 115, "_ooooooooooooo_"));
    for (int k = 1; k < 7; ++k) EXPECT_TRUE(row(MeggyJr_AuxLedX(k), 115, "_")) << k;
}

TEST_F(Device, ButtonsComeFromTheKeysAndPincHoldsThemInverted) {
    const struct {
        std::vector<std::uint32_t> keys;
        std::uint8_t buttons;
    } cases[] = {
        {{VK_SPACE, VK_LEFT}, 0x12},
        {{VK_CONTROL, VK_UP, VK_DOWN, VK_RIGHT}, 0x2D},
        {{VK_SHIFT, VK_RETURN}, 0}, // keys of the key word that are no device button
    };
    for (const auto& c : cases) {
        for (std::uint32_t vk : c.keys) press(vk);
        EXPECT_EQ(Meg.GetButtons() * 0x100 + PINC, c.buttons * 0x100 + (~c.buttons & 0xFF));
        for (std::uint32_t vk : c.keys) release(vk);
    }
}

TEST_F(Device, TonesSoundOnlyWithPermissionAndANewDeviceEndsThem) {
    Meg.StartTone(4545, 100);
    EXPECT_EQ(MeggyJr::SoundEnabled * 1000 + MeggyJr::ToneTimeRemaining, 100u);
    MeggyJr::SoundAllowed = 1;
    Tone_Start(6810, 50);
    EXPECT_EQ(MeggyJr::SoundEnabled, 1);
    Meg.SoundState(0);
    EXPECT_EQ(MeggyJr::SoundEnabled, 0);
    const MeggyJr fresh;
    EXPECT_EQ(MeggyJr::SoundAllowed * 1000 + MeggyJr::ToneTimeRemaining, 1000u);
    MeggyJr::SoundAllowed = 0;
}

TEST_F(Device, DelayWaitsItsTimeOnTheLibraryClockAcrossTheWrap) {
    const std::uint32_t t0 = millis();
    delay(50);
    delay(0);
    delay(-5);
    EXPECT_EQ(millis() - t0, 50u);
    headless::set_ticks(LSR_timer_starttick - 16); // the library clock just before its wrap
    ASSERT_EQ(millis(), 0xFFFFFFF0u);
    delay(50);
    EXPECT_EQ(millis(), 34u);
}

TEST_F(Device, PressChecksReportEdgesAndShareTheLastStateWithHeldChecks) {
    MeggyJr::AuxLEDs = 0xFF;
    MeggyJr::MeggyFrame[100] = 9;
    MeggyJr::ToneTimeRemaining = 77;
    press(VK_SPACE);
    MeggyJrSimpleSetup(); // resets the device and takes the held A as already seen
    EXPECT_EQ(MeggyJr::AuxLEDs + MeggyJr::MeggyFrame[100] + MeggyJr::ToneTimeRemaining, 0u);
    // After each step: Button_A of a press check, or of a held check.
    const auto a_after = [](void (*check)()) {
        check();
        return int{Button_A};
    };
    EXPECT_EQ(a_after(CheckButtonsPress), 0);
    release(VK_SPACE);
    CheckButtonsPress();
    press(VK_SPACE);
    EXPECT_EQ(a_after(CheckButtonsPress), 0x02);
    EXPECT_EQ(a_after(CheckButtonsPress), 0);
    CheckButtonsDown();
    EXPECT_EQ(a_after(CheckButtonsDown), 0x02);
    press(VK_UP); // the held check recorded Space: only Up is new
    CheckButtonsPress();
    EXPECT_EQ(Button_A | Button_Up, 0x04);
    release(VK_SPACE);
    release(VK_UP);
    for (std::uint32_t vk : {VK_CONTROL, VK_DOWN, VK_LEFT, VK_RIGHT}) press(vk);
    CheckButtonsPress();
    EXPECT_EQ(Button_B | Button_Down | Button_Left | Button_Right, 0x39);
    EXPECT_EQ(lastButtonState, 0x39);
    SetAuxLEDsBinary(0xB4); // written with the leftmost LED as the high bit
    EXPECT_EQ(MeggyJr::AuxLEDs, 0x2D);
}

TEST_F(Device, TheSlateCountsRowsFromTheBottomAndShowsThroughTheColourTable) {
    DrawPx(1, 6, 9);
    DrawPx(8, 0, 7); // past the slate: nothing written, nothing read
    DrawPx(255, 255, 7);
    EXPECT_EQ(ReadPx(1, 6) + ReadPx(8, 0) + GameSlate[1 * 8 + 6], 18);
    EXPECT_EQ(ReadPixel(9, 9), 9) << "game coordinates wrap modulo 8 and count from the top";
    InitColors();
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
    ClearSlate();
    DrawPx(2, 3, 5);
    DrawPx(4, 4, 200); // beyond the table: shown unlit
    DrawPx(7, 7, 1);
    DisplaySlate();
    EXPECT_TRUE(leds_shown(".......1\n........\n........\n........\n"
                           "..5.....\n........\n........\n........"));
    EditColor(5, 1, 2, 3);
    EditColor(32, 15, 15, 15); // no such entry
    EXPECT_EQ(ColorTable[5][0] + ColorTable[31][0], 1 + 7);
}

TEST_F(Device, GamePixelsWrapOrClipAndColoursAbove25BecomeWhite) {
    DrawPixel(9, 1, 7);
    DrawPixel(0, 0, 30);
    DrawPixel(0, 1, 25);
    DrawPixelSafe(7, 7, 26);
    DrawPixelSafe(255, 0, 3);
    DrawPixelSafe(0, 8, 3);
    EXPECT_EQ(std::exchange(GameSlate[6], 0), 25); // not above 25: kept
    EXPECT_TRUE(slate_shows("1.......\n.7......\n........\n........\n"
                            "........\n........\n........\n.......1"));
}

TEST_F(Device, SpritesAreOpaqueAndClippedButReadWhole) {
    std::uint8_t data[64];
    for (int i = 0; i < 64; ++i) data[i] = static_cast<std::uint8_t>(i % 8 == 7 ? 0 : 1 + i % 8);
    for (auto& e : GameSlate) e = 9;
    DrawSprite(-3, 0, 8, 8, data);
    EXPECT_EQ(sprdata, data + 64);
    DrawSprite(8, 0, 8, 8, data); // below and right of the slate: nothing
    DrawSprite(0, -8, 8, 8, data);
    DrawSprite(120, 120, 8, 8, data); // the byte coordinates wrap past 127 to negative
    std::string all;
    for (int r = 0; r < 8; ++r) all += "4567.999\n"; // from picture column 3; colour 0 drawn too
    EXPECT_TRUE(slate_shows(all));
}

TEST_F(Device, DigitsAreTransparentGlyphsAndNumbersShowTheirLastFourDigits) {
    for (auto& e : GameSlate) e = 4;
    DrawNSprite(-1, 2, 4, 6, 1);
    DrawNSprite(3, 0, 4, 6, 10); // no such digit
    DrawNSprite(3, -2, 4, 6, 4);
    EXPECT_TRUE(slate_shows("444rrr44\n44444q44\ns4444p44\ns4444p44\n"
                            "r4444444\nq4444444\np4444444\npp444444"));
    const struct {
        int x, number;
        const char* grid; // rows 1 to 6; rows 0 and 7 stay dark
    } cases[] = {
        {0, 12369, "ss..ss..\n..s...s.\n.r...rr.\nq.....q.\np.....p.\nppp.pp.."},
        {-8, 58, "sss..s..\ns...s.s.\n.r...r..\n..q.q.q.\n..p.p.p.\npp...p.."},
        {0, -7, ".s...s..\ns.s.s.s.\nr.r.r.r.\nq.q.q.q.\np.p.p.p.\n.p...p.."}, // zeros only
        {-8, -42, "........\n........\n........\n........\n........\n........"},
    };
    for (const auto& c : cases) {
        ClearSlate();
        DrawNumber(c.x, 1, c.number);
        EXPECT_TRUE(slate_shows("........\n" + std::string(c.grid) + "\n........")) << c.number;
    }
}

} // namespace
