// The simple interface: button checks, auxiliary LEDs, the slate and the colour table.
#include "game_fixture.h"

namespace {

using Interface = LibraryTest;

TEST_F(Interface, BinaryAuxiliaryLedsReadWithTheHighBitOnTheLeft) {
    SetAuxLEDsBinary(0xB4);
    EXPECT_EQ(MeggyJr::AuxLEDs, 0x2D);
    SetAuxLEDsBinary(0x01);
    EXPECT_EQ(MeggyJr::AuxLEDs, 0x80);
}

TEST_F(Interface, PressChecksReportEdgesAndShareTheLastStateWithHeldChecks) {
    MeggyJrSimpleSetup();
    press(VK_SPACE);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0x02);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0);
    CheckButtonsDown();
    EXPECT_EQ(Button_A, 0x02);
    CheckButtonsDown();
    EXPECT_EQ(Button_A, 0x02);
    // The held check recorded Space, so pressing Up as well reports only Up.
    press(VK_UP);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0);
    EXPECT_EQ(Button_Up, 0x04);
    release(VK_SPACE);
    release(VK_UP);
    press(VK_CONTROL);
    press(VK_DOWN);
    press(VK_LEFT);
    press(VK_RIGHT);
    CheckButtonsPress();
    EXPECT_EQ(Button_B, 0x01);
    EXPECT_EQ(Button_Down, 0x08);
    EXPECT_EQ(Button_Left, 0x10);
    EXPECT_EQ(Button_Right, 0x20);
    EXPECT_EQ(lastButtonState, 0x39);
}

TEST_F(Interface, SetupResetsTheDeviceAndIgnoresButtonsAlreadyHeld) {
    MeggyJr::AuxLEDs = 0xFF;
    MeggyJr::MeggyFrame[100] = 9;
    MeggyJr::ToneTimeRemaining = 77;
    press(VK_SPACE);
    MeggyJrSimpleSetup();
    EXPECT_EQ(MeggyJr::AuxLEDs, 0);
    EXPECT_EQ(MeggyJr::MeggyFrame[100], 0);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 0u);
    EXPECT_EQ(MeggyJr::SoundEnabled, 0);
    EXPECT_EQ(lastButtonState, 0x02);
    CheckButtonsPress();
    EXPECT_EQ(Button_A, 0);
}

TEST_F(Interface, SlateCoordinatesCountRowsFromTheBottomOrTheTop) {
    ClearSlate();
    DrawPx(1, 6, 9);
    EXPECT_EQ(GameSlate[1 * 8 + 6], 9);
    EXPECT_EQ(ReadPx(1, 6), 9);
    EXPECT_EQ(ReadPixel(1, 1), 9);
    EXPECT_EQ(ReadPixel(9, 1), 9); // wraps modulo 8
    EXPECT_EQ(ReadPixel(1, 9), 9);
    // Past the slate's 64 entries nothing is written and nothing is read.
    DrawPx(8, 0, 7);
    DrawPx(255, 255, 7);
    EXPECT_EQ(ReadPx(8, 0), 0);
    int used = 0;
    for (const auto e : GameSlate) used += e != 0;
    EXPECT_EQ(used, 1);
    ClearSlate();
    for (const auto e : GameSlate) EXPECT_EQ(e, 0);
}

TEST_F(Interface, TheGameColoursShowThroughTheSlate) {
    InitColors();
    EXPECT_EQ(MeggyJr::AuxLEDs, 1);
    ClearSlate();
    DisplaySlate();
    auto p = headless::last_present();
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            EXPECT_EQ(shown(p, MeggyJr_LedX(x), MeggyJr_LedY(y)), 0x404040u) << x << y;
    EXPECT_EQ(shown(p, MeggyJr_AuxLedX(0), MeggyJr_AuxLedY), 0xFFAA00u);

    DrawPx(2, 3, 5);
    DrawPx(4, 4, 200); // beyond the table: shown unlit
    DisplaySlate();
    EXPECT_EQ(Meg.GetPixelR(2, 3), 9);
    EXPECT_EQ(Meg.GetPixelG(2, 3), 6);
    EXPECT_EQ(Meg.GetPixelB(2, 3), 3);
    p = headless::last_present();
    EXPECT_EQ(shown(p, MeggyJr_LedX(2), MeggyJr_LedY(3)), 0xD0A070u);
    EXPECT_EQ(shown(p, MeggyJr_LedX(4), MeggyJr_LedY(4)), 0x404040u);

    EditColor(5, 1, 2, 3);
    EditColor(32, 15, 15, 15); // no such entry
    EXPECT_EQ(ColorTable[5][0], 1);
    EXPECT_EQ(ColorTable[31][0], 7);
}

} // namespace
