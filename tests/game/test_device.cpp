// The device model and the simple interface over it: LED memory, painting, buttons, tones, time,
// the slate and its colours, and the game's pixel, sprite and digit writers.
#include <cstring>

#include "game_fixture.h"
#include "lodestar/hw_common/timer.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

using Device = LibraryTest;

TEST_F(Device, ComponentsAreStoredBlueGreenRedPerColumnAndNeverPastTheMemory) {
    const std::uint8_t rgb[3] = {1, 2, 3};
    Meg.SetPxClr(2, 6, rgb);
    std::uint8_t want[192] = {};
    want[2 * 24 + 6] = 3;
    want[2 * 24 + 8 + 6] = 2;
    want[2 * 24 + 16 + 6] = 1;
    EXPECT_EQ(std::memcmp(MeggyJr::MeggyFrame, want, 192), 0);
    EXPECT_EQ(Meg.GetPixelR(2, 6) * 100 + Meg.GetPixelG(2, 6) * 10 + Meg.GetPixelB(2, 6), 123);
    // Column 8 starts at byte 192: every component lies past the memory.
    MeggyJr::AuxLEDs = 0x5A;
    Meg.SetPxClr(8, 0, rgb);
    Meg.ClearPixel(8, 3);
    EXPECT_EQ(std::memcmp(MeggyJr::MeggyFrame, want, 192), 0);
    EXPECT_EQ(MeggyJr::AuxLEDs, 0x5A);
    EXPECT_EQ(Meg.GetPixelR(8, 7) + Meg.GetPixelB(255, 255), 0);
    Meg.ClearPixel(2, 6);
    // The index is a byte: 10 * 24 + 16 wraps to 0, the first LED.
    Meg.SetPxClr(10, 16, rgb);
    EXPECT_EQ(Meg.GetPixelR(0, 0) * 100 + Meg.GetPixelG(0, 0) * 10 + Meg.GetPixelB(0, 0), 123);
    EXPECT_EQ(Meg.GetPixelB(2, 6), 0);
}

TEST_F(Device, LedsArePaintedAsCirclesAtTheirPlacesAndLitAuxiliaryLedsInAmber) {
    const std::uint8_t levels[][3] = {{0, 11, 12}, {15, 1, 16}};
    Meg.SetPxClr(3, 5, levels[0]);
    Meg.SetPxClr(7, 0, levels[1]);
    MeggyJr::AuxLEDs = 0x81;
    Meg.update_meggyjr();
    const headless::Present page = headless::last_present();
    const auto at = [&page](int x, int y) { return page.pixel32(x, y); };
    const picture::Legend legend = {
        {'_', 0}, {'a', 0x40F0FF}, {'b', 0xFF50FF}, {'.', 0x404040}, {'o', 0xFFAA00}};
    // LED (3, 5) at (299, 201): 25 pixels across; LED (7, 0) at (423, 356).
    EXPECT_TRUE(picture::matches(640, 480, at, 286, 201, "_aaaaaaaaaaaaaaaaaaaaaaaaa_", legend));
    EXPECT_TRUE(picture::matches(640, 480, at, 423, 356, "b", legend));
    // Auxiliary LEDs 0 and 7 at (210, 115) and (420, 115), 13 pixels across; 1 to 6 unlit.
    EXPECT_TRUE(picture::matches(640, 480, at, 203, 115, "_ooooooooooooo_", legend));
    EXPECT_TRUE(picture::matches(640, 480, at, 413, 115, "_ooooooooooooo_", legend));
    for (int k = 1; k < 7; ++k)
        EXPECT_TRUE(picture::matches(640, 480, at, MeggyJr_AuxLedX(k), 115, "_", legend)) << k;
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
        EXPECT_EQ(Meg.GetButtons(), c.buttons);
        EXPECT_EQ(PINC, static_cast<std::uint8_t>(~c.buttons));
        for (std::uint32_t vk : c.keys) release(vk);
    }
}

TEST_F(Device, TonesAreRecordedAndSoundOnlyWithPermission) {
    Meg.StartTone(4545, 100);
    EXPECT_EQ(MeggyJr::SoundEnabled, 0);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 100u);
    MeggyJr::SoundAllowed = 1;
    Tone_Start(6810, 50);
    EXPECT_EQ(MeggyJr::SoundEnabled, 1);
    Meg.SoundState(0);
    EXPECT_EQ(MeggyJr::SoundEnabled, 0);
    // A new device keeps the permission but ends the tone.
    const MeggyJr fresh;
    EXPECT_EQ(MeggyJr::SoundAllowed, 1);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 0u);
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

using Interface = LibraryTest;

TEST_F(Interface, PressChecksReportEdgesAndShareTheLastStateWithHeldChecks) {
    MeggyJr::AuxLEDs = 0xFF;
    MeggyJr::MeggyFrame[100] = 9;
    MeggyJr::ToneTimeRemaining = 77;
    press(VK_SPACE);
    MeggyJrSimpleSetup(); // resets the device and takes the held A as already seen
    EXPECT_EQ(MeggyJr::AuxLEDs + MeggyJr::MeggyFrame[100] + MeggyJr::ToneTimeRemaining, 0u);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0);
    release(VK_SPACE);
    CheckButtonsPress();
    press(VK_SPACE);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0x02);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0);
    CheckButtonsDown();
    CheckButtonsDown();
    EXPECT_EQ(Button_A, 0x02);
    // The held check recorded Space, so pressing Up as well reports only Up.
    press(VK_UP);
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

TEST_F(Interface, TheSlateCountsRowsFromTheBottomAndShowsThroughTheColourTable) {
    DrawPx(1, 6, 9);
    DrawPx(8, 0, 7); // past the slate: nothing written, nothing read
    DrawPx(255, 255, 7);
    EXPECT_EQ(ReadPx(1, 6) + ReadPx(8, 0), 9);
    EXPECT_EQ(ReadPixel(9, 9), 9) << "game coordinates wrap modulo 8";
    EXPECT_TRUE(slate_shows(R"(
        ........
        .9......
        ........
        ........
        ........
        ........
        ........
        ........)"));
    InitColors();
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
    ClearSlate();
    DrawPx(2, 3, 5);
    DrawPx(4, 4, 200); // beyond the table: shown unlit
    DrawPx(7, 7, 1);
    DisplaySlate();
    EXPECT_TRUE(leds_shown(R"(
        .......1
        ........
        ........
        ........
        ..5.....
        ........
        ........
        ........)"));
    EditColor(5, 1, 2, 3);
    EditColor(32, 15, 15, 15); // no such entry
    EXPECT_EQ(ColorTable[5][0] + ColorTable[31][0], 1 + 7);
}

using Sprites = LibraryTest;

TEST_F(Sprites, PixelsWrapOrClipAndColoursAbove25BecomeWhite) {
    DrawPixel(9, 1, 7);
    DrawPixel(0, 0, 30);
    DrawPixel(0, 1, 25);
    DrawPixelSafe(7, 7, 26);
    DrawPixelSafe(255, 0, 3);
    DrawPixelSafe(0, 8, 3);
    EXPECT_EQ(GameSlate[6], 25); // not above 25: kept
    GameSlate[6] = 0;
    EXPECT_TRUE(slate_shows(R"(
        1.......
        .7......
        ........
        ........
        ........
        ........
        ........
        .......1)"));
}

TEST_F(Sprites, SpritesAreOpaqueAndClippedButReadWhole) {
    std::uint8_t data[64];
    for (int i = 0; i < 64; ++i) data[i] = static_cast<std::uint8_t>(i % 8 == 7 ? 0 : 1 + i % 8);
    for (auto& e : GameSlate) e = 9;
    DrawSprite(-3, 0, 8, 8, data);
    EXPECT_EQ(sprdata, data + 64);
    DrawSprite(8, 0, 8, 8, data); // below and right of the slate: nothing
    DrawSprite(0, -8, 8, 8, data);
    DrawSprite(120, 120, 8, 8, data); // the byte coordinates wrap past 127 to negative
    const char* rows = "4567.999\n";
    std::string all;
    for (int r = 0; r < 8; ++r) all += rows;
    EXPECT_TRUE(slate_shows(all)) << "picture columns 3 on land from column 0; colour 0 drawn too";
}

TEST_F(Sprites, DigitsAreTransparentGlyphsAndNumbersShowTheirLastFourDigits) {
    for (auto& e : GameSlate) e = 4;
    DrawNSprite(-1, 2, 4, 6, 1);
    DrawNSprite(3, 0, 4, 6, 10); // no such digit
    DrawNSprite(3, -2, 4, 6, 4);
    EXPECT_TRUE(slate_shows(R"(
        444rrr44
        44444q44
        s4444p44
        s4444p44
        r4444444
        q4444444
        p4444444
        pp444444)"));
    const struct {
        int x, y, number;
        const char* grid;
    } cases[] = {
        {0, 1, 2369,
         "........\nss..ss..\n..s...s.\n.r...rr.\nq.....q.\np.....p.\nppp.pp..\n........"},
        {-8, 1, 58,
         "........\nsss..s..\ns...s.s.\n.r...r..\n..q.q.q.\n..p.p.p.\npp...p..\n........"},
        {0, 1, -7,
         "........\n.s...s..\ns.s.s.s.\nr.r.r.r.\nq.q.q.q.\np.p.p.p.\n.p...p..\n........"},
    };
    for (const auto& c : cases) {
        ClearSlate();
        DrawNumber(c.x, c.y, c.number);
        EXPECT_TRUE(slate_shows(c.grid)) << c.number; // below zero only the zero digits show
    }
    ClearSlate();
    DrawNumber(-8, 1, -42);
    EXPECT_TRUE(slate_shows("........\n........\n........\n........\n"
                            "........\n........\n........\n........"));
}

} // namespace
