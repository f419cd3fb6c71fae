// The emulated device: LED memory, auxiliary LEDs, buttons, tones, and painting it on the page.
#pragma once

#include <cstdint>

class MeggyJr {
  public:
    // Every object shares this one device; constructing any object resets it.
    static std::uint8_t MeggyFrame[192]; // per column: 8 blue, 8 green, 8 red intensities
    static std::uint8_t AuxLEDs;         // bit k: auxiliary LED k (0 leftmost) lit
    static std::uint8_t SoundAllowed;
    static std::uint8_t SoundEnabled;
    static std::uint8_t currentCol;
    static std::uint8_t currentBrightness;
    static std::uint8_t* currentColPtr;
    static std::uint32_t ToneTimeRemaining;

    MeggyJr();

    void ClearMeggy();
    // rgb: red, green, blue. Coordinates outside the matrix never reach memory past the LEDs.
    void SetPxClr(std::uint8_t x, std::uint8_t y, const std::uint8_t* rgb);
    std::uint8_t GetPixelR(std::uint8_t x, std::uint8_t y);
    std::uint8_t GetPixelG(std::uint8_t x, std::uint8_t y);
    std::uint8_t GetPixelB(std::uint8_t x, std::uint8_t y);
    void ClearPixel(std::uint8_t x, std::uint8_t y);
    // Silent: the request is only recorded.
    void StartTone(std::uint32_t pitch, std::uint32_t duration);
    void SoundState(std::uint8_t on);
    std::uint8_t GetButtons();
    // Paints the lit auxiliary LEDs and the 64 matrix LEDs on the page, then presents it.
    void update_meggyjr();
};

// The inverted button byte of the last GetButtons (a pressed button reads 0).
extern std::uint8_t PINC;

// The painted brightness (0 to 255) of an LED intensity: 64 for dark, 16 more per step.
constexpr std::uint8_t MeggyJr_Brightness(std::uint8_t intensity) {
    const std::uint32_t v = std::uint32_t{intensity} * 16 + 64;
    return static_cast<std::uint8_t>(v < 255 ? v : 255);
}

// Where the LEDs are painted on the page (page y grows downwards): the centre of matrix LED
// (x, y), x from the left and y from the bottom as on the device, 31 pixels apart; the centre of
// auxiliary LED k, 0 leftmost, 30 pixels apart; and the radii of their circles.
constexpr std::int32_t MeggyJr_LedX(std::int32_t x) {
    return 206 + 31 * x;
}
constexpr std::int32_t MeggyJr_LedY(std::int32_t y) {
    return 356 - 31 * y;
}
constexpr std::int32_t MeggyJr_AuxLedX(std::int32_t k) {
    return 210 + 30 * k;
}
inline constexpr std::int32_t MeggyJr_AuxLedY = 115;
inline constexpr std::int32_t MeggyJr_LedRadius = 12;
inline constexpr std::int32_t MeggyJr_AuxLedRadius = 6;
// The colour of a lit auxiliary LED, 0xRRGGBB.
inline constexpr std::uint32_t MeggyJr_AuxLedColour = 0xFFAA00;
