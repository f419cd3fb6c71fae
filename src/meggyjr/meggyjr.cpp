// The emulated device: its LED memory, buttons and tones, and the painting of its LEDs.
#include "meggyjr/meggyjr.h"

#include <array>
#include <cstddef>

#include "lodestar/lodestar.h"

std::uint8_t MeggyJr::MeggyFrame[192] = {};
std::uint8_t MeggyJr::AuxLEDs = 0;
std::uint8_t MeggyJr::SoundAllowed = 0;
std::uint8_t MeggyJr::SoundEnabled = 0;
std::uint8_t MeggyJr::currentCol = 0;
std::uint8_t MeggyJr::currentBrightness = 0;
std::uint8_t* MeggyJr::currentColPtr = MeggyJr::MeggyFrame;
std::uint32_t MeggyJr::ToneTimeRemaining = 0;

std::uint8_t PINC = 0;

namespace {

constexpr std::size_t k_frame_bytes = sizeof MeggyJr::MeggyFrame;
constexpr std::uint8_t k_blue = 0, k_green = 8, k_red = 16; // offsets within a column's block

// The LED memory index of a component, in the device's 8-bit arithmetic.
constexpr std::uint8_t led_index(std::uint8_t x, std::uint8_t y, std::uint8_t component) {
    return static_cast<std::uint8_t>(x * 24 + y + component);
}

// An 8-bit index can point past the 192 bytes; such stores are dropped, such reads give 0.
void store(std::uint8_t index, std::uint8_t value) {
    if (index < k_frame_bytes) MeggyJr::MeggyFrame[index] = value;
}
std::uint8_t load(std::uint32_t index) {
    return index < k_frame_bytes ? MeggyJr::MeggyFrame[index] : 0;
}

constexpr auto k_brightness = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = MeggyJr_Brightness(static_cast<std::uint8_t>(i));
    return table;
}();

// Device button bits and the key-word bits that press them, bit 0 first.
struct ButtonKey {
    std::uint8_t button;
    std::uint32_t key;
};
constexpr ButtonKey k_button_keys[] = {
    {0x01, LSR_KEY_CONTROL}, {0x02, LSR_KEY_SPACE}, {0x04, LSR_KEY_UP},
    {0x08, LSR_KEY_DOWN},    {0x10, LSR_KEY_LEFT},  {0x20, LSR_KEY_RIGHT},
};

} // namespace

MeggyJr::MeggyJr() {
    AuxLEDs = 0;
    currentColPtr = MeggyFrame;
    currentCol = 0;
    currentBrightness = 0;
    SoundEnabled = 0;
    ToneTimeRemaining = 0;
    ClearMeggy();
}

void MeggyJr::ClearMeggy() {
    for (auto& b : MeggyFrame) b = 0;
}

void MeggyJr::SetPxClr(std::uint8_t x, std::uint8_t y, const std::uint8_t* rgb) {
    const std::uint8_t i = led_index(x, y, 0);
    store(i, rgb[2]);
    store(static_cast<std::uint8_t>(i + k_green), rgb[1]);
    store(static_cast<std::uint8_t>(i + k_red), rgb[0]);
}

std::uint8_t MeggyJr::GetPixelR(std::uint8_t x, std::uint8_t y) {
    return load(x * 24u + k_red + y);
}
std::uint8_t MeggyJr::GetPixelG(std::uint8_t x, std::uint8_t y) {
    return load(x * 24u + k_green + y);
}
std::uint8_t MeggyJr::GetPixelB(std::uint8_t x, std::uint8_t y) {
    return load(x * 24u + k_blue + y);
}

void MeggyJr::ClearPixel(std::uint8_t x, std::uint8_t y) {
    for (const std::uint8_t c : {k_blue, k_green, k_red}) store(led_index(x, y, c), 0);
}

void MeggyJr::StartTone(std::uint32_t, std::uint32_t duration) {
    SoundState(1);
    ToneTimeRemaining = duration;
}

void MeggyJr::SoundState(std::uint8_t on) {
    SoundEnabled = (on != 0 && SoundAllowed != 0) ? 1 : 0;
}

std::uint8_t MeggyJr::GetButtons() {
    std::uint32_t held = 0, pressed = 0;
    LSR_GetKeys(&held, &pressed);
    std::uint8_t buttons = 0;
    for (const auto& bk : k_button_keys)
        if ((held & bk.key) != 0) buttons |= bk.button;
    PINC = static_cast<std::uint8_t>(~buttons);
    return buttons;
}

void MeggyJr::update_meggyjr() {
    for (std::int32_t k = 0; k < 8; ++k)
        if ((AuxLEDs >> k) & 1)
            LSR_DrawFilledCircle(MeggyJr_AuxLedX(k), MeggyJr_AuxLedY, MeggyJr_AuxLedRadius,
                                 MeggyJr_AuxLedColour, LSR_screenbitmap);
    for (std::uint8_t y = 0; y < 8; ++y) {
        for (std::uint8_t x = 0; x < 8; ++x) {
            const std::uint32_t r = k_brightness[MeggyFrame[led_index(x, y, k_red)]];
            const std::uint32_t g = k_brightness[MeggyFrame[led_index(x, y, k_green)]];
            const std::uint32_t b = k_brightness[MeggyFrame[led_index(x, y, k_blue)]];
            LSR_DrawFilledCircle(MeggyJr_LedX(x), MeggyJr_LedY(y), MeggyJr_LedRadius,
                                 r * 65536 + g * 256 + b, LSR_screenbitmap);
        }
    }
    LSR_SwapBuffers();
}
