// The device model: LED memory layout, painting, buttons, tones and the time services.
#include <cstring>
#include <initializer_list>

#include "game_fixture.h"
#include "lodestar/hw_common/timer.h"

namespace {

using Device = LibraryTest;

TEST_F(Device, ComponentsAreStoredBlueGreenRedPerColumn) {
    const std::uint8_t rgb[3] = {1, 2, 3};
    Meg.SetPxClr(2, 6, rgb);
    EXPECT_EQ(MeggyJr::MeggyFrame[2 * 24 + 6], 3);
    EXPECT_EQ(MeggyJr::MeggyFrame[2 * 24 + 8 + 6], 2);
    EXPECT_EQ(MeggyJr::MeggyFrame[2 * 24 + 16 + 6], 1);
    int lit = 0;
    for (const auto b : MeggyJr::MeggyFrame) lit += b != 0;
    EXPECT_EQ(lit, 3);
    Meg.ClearPixel(2, 6);
    for (const auto b : MeggyJr::MeggyFrame) EXPECT_EQ(b, 0);
}

TEST_F(Device, CoordinatesOffTheMatrixNeverReachPastTheLedMemory) {
    const std::uint8_t rgb[3] = {7, 8, 9};
    MeggyJr::AuxLEDs = 0x5A;
    MeggyJr::ToneTimeRemaining = 1234;
    // Column 8 starts at byte 192: every component index lies past the memory.
    Meg.SetPxClr(8, 0, rgb);
    Meg.ClearPixel(8, 3);
    for (const auto b : MeggyJr::MeggyFrame) EXPECT_EQ(b, 0);
    EXPECT_EQ(MeggyJr::AuxLEDs, 0x5A);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 1234u);
    EXPECT_EQ(MeggyJr::currentColPtr, MeggyJr::MeggyFrame);
    EXPECT_EQ(Meg.GetPixelR(8, 7), 0);
    EXPECT_EQ(Meg.GetPixelB(255, 255), 0);
    // The index is a byte: 10 * 24 + 16 wraps to 0, the first LED.
    Meg.SetPxClr(10, 16, rgb);
    EXPECT_EQ(Meg.GetPixelR(0, 0), 7);
    EXPECT_EQ(Meg.GetPixelG(0, 0), 8);
    EXPECT_EQ(Meg.GetPixelB(0, 0), 9);
}

TEST_F(Device, AMatrixLedIsARadiusTwelveCircleInItsColour) {
    const std::uint8_t rgb[3] = {15, 8, 0};
    Meg.SetPxClr(3, 5, rgb);
    Meg.update_meggyjr();
    const auto p = headless::last_present();
    // Half width of each row of the circle, by distance from the centre row.
    constexpr int k_half[13] = {12, 11, 11, 11, 11, 10, 10, 9, 8, 7, 6, 4, -1};
    static_assert(MeggyJr_LedRadius == 12);
    // LED (3, 5) sits at (299, 201) of the page, 31 pixels a column and a row.
    const int cx = MeggyJr_LedX(3), cy = MeggyJr_LedY(5);
    ASSERT_EQ(cx, 299);
    ASSERT_EQ(cy, 201);
    int painted = 0;
    for (int dy = -13; dy <= 13; ++dy) {
        const int half = dy < -12 || dy > 12 ? -1 : k_half[dy < 0 ? -dy : dy];
        for (int dx = -14; dx <= 14; ++dx) {
            const bool inside = (dx < 0 ? -dx : dx) <= half;
            painted += inside;
            EXPECT_EQ(shown(p, cx + dx, cy + dy), inside ? 0xFFC040u : 0u) << dx << "," << dy;
        }
    }
    EXPECT_EQ(painted, 439);
}

TEST_F(Device, BrightnessRisesSixteenPerStepFromSixtyFourAndStopsAtFull) {
    const std::uint8_t levels[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 255};
    for (std::size_t i = 0; i < std::size(levels); ++i) {
        const std::uint8_t v[3] = {levels[i], levels[i], levels[i]};
        Meg.SetPxClr(static_cast<std::uint8_t>(i % 8), static_cast<std::uint8_t>(i / 8), v);
    }
    Meg.update_meggyjr();
    const auto p = headless::last_present();
    for (std::size_t i = 0; i < std::size(levels); ++i) {
        const std::uint32_t b = levels[i] <= 11 ? 64u + 16u * levels[i] : 255u;
        EXPECT_EQ(
            shown(p, MeggyJr_LedX(static_cast<int>(i % 8)), MeggyJr_LedY(static_cast<int>(i / 8))),
            b * 0x010101u)
            << "intensity " << int{levels[i]};
    }
}

TEST_F(Device, OnlyLitAuxiliaryLedsArePaintedAmber) {
    MeggyJr::AuxLEDs = 0x81;
    Meg.update_meggyjr();
    const auto p = headless::last_present();
    // The first and the last of the row, 30 pixels apart, at (210, 115) and (420, 115).
    ASSERT_EQ(MeggyJr_AuxLedX(0), 210);
    ASSERT_EQ(MeggyJr_AuxLedX(7), 420);
    ASSERT_EQ(MeggyJr_AuxLedY, 115);
    constexpr int y = MeggyJr_AuxLedY;
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(shown(p, MeggyJr_AuxLedX(k), y), k == 0 || k == 7 ? 0xFFAA00u : 0u) << k;
    // Radius 6: the centre row spans 13 pixels, the rows 5 away 7.
    static_assert(MeggyJr_AuxLedRadius == 6);
    constexpr int x = MeggyJr_AuxLedX(0);
    EXPECT_EQ(shown(p, x - 6, y), 0xFFAA00u);
    EXPECT_EQ(shown(p, x + 6, y), 0xFFAA00u);
    EXPECT_EQ(shown(p, x - 7, y), 0u);
    EXPECT_EQ(shown(p, x + 7, y), 0u);
    EXPECT_EQ(shown(p, x + 3, y - 5), 0xFFAA00u);
    EXPECT_EQ(shown(p, x + 4, y - 5), 0u);
    EXPECT_EQ(shown(p, x, y - 6), 0u);
}

TEST_F(Device, ButtonsComeFromTheKeysAndPincHoldsThemInverted) {
    press(VK_SPACE);
    press(VK_LEFT);
    EXPECT_EQ(Meg.GetButtons(), 0x12);
    EXPECT_EQ(PINC, 0xED);
    press(VK_CONTROL);
    press(VK_UP);
    press(VK_DOWN);
    press(VK_RIGHT);
    EXPECT_EQ(Meg.GetButtons(), 0x3F);
    EXPECT_EQ(PINC, 0xC0);
    for (const auto vk : {VK_SPACE, VK_LEFT, VK_CONTROL, VK_UP, VK_DOWN, VK_RIGHT}) release(vk);
    // Keys of the key word that are no device button.
    press(VK_SHIFT);
    press(VK_RETURN);
    EXPECT_EQ(Meg.GetButtons(), 0);
    EXPECT_EQ(PINC, 0xFF);
}

TEST_F(Device, TonesAreRecordedAndSoundOnlyWithPermission) {
    Meg.StartTone(4545, 100);
    EXPECT_EQ(MeggyJr::SoundEnabled, 0);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 100u);
    MeggyJr::SoundAllowed = 1;
    Meg.StartTone(6810, 50);
    EXPECT_EQ(MeggyJr::SoundEnabled, 1);
    EXPECT_EQ(MeggyJr::ToneTimeRemaining, 50u);
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
    EXPECT_EQ(millis() - t0, 50u);
    delay(0);
    delay(-5);
    EXPECT_EQ(millis() - t0, 50u);
    // The library clock just before its wrap-around.
    headless::set_ticks(LSR_timer_starttick - 16);
    ASSERT_EQ(millis(), 0xFFFFFFF0u);
    delay(50);
    EXPECT_EQ(millis(), 34u);
}

} // namespace
