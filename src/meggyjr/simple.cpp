// The simple interface over the device object: slate, button checks, auxiliary LEDs, tones.
#include "meggyjr/simple.h"

#include <cstddef>

MeggyJr Meg;
std::uint8_t GameSlate[64] = {};
std::uint8_t lastButtonState = 0;
std::uint8_t Button_A = 0, Button_B = 0, Button_Up = 0, Button_Down = 0, Button_Left = 0,
             Button_Right = 0;

namespace {

constexpr std::size_t k_slate_size = sizeof GameSlate;

void set_button_flags(std::uint8_t b) {
    Button_B = b & 0x01;
    Button_A = b & 0x02;
    Button_Up = b & 0x04;
    Button_Down = b & 0x08;
    Button_Left = b & 0x10;
    Button_Right = b & 0x20;
}

// Reverses the 8 bits of v: nibbles, then pairs, then neighbours.
constexpr std::uint8_t reverse_bits(std::uint8_t v) {
    std::uint32_t r = v;
    r = ((r & 0xF0u) >> 4) | ((r & 0x0Fu) << 4);
    r = ((r & 0xCCu) >> 2) | ((r & 0x33u) << 2);
    r = ((r & 0xAAu) >> 1) | ((r & 0x55u) << 1);
    return static_cast<std::uint8_t>(r);
}

} // namespace

void CheckButtonsDown() {
    const std::uint8_t b = Meg.GetButtons();
    set_button_flags(b);
    lastButtonState = b;
}

void CheckButtonsPress() {
    const std::uint8_t b = Meg.GetButtons();
    set_button_flags(static_cast<std::uint8_t>(b & ~lastButtonState));
    lastButtonState = b;
}

void SetAuxLEDs(std::uint8_t value) {
    Meg.AuxLEDs = value;
}

void SetAuxLEDsBinary(std::uint8_t value) {
    Meg.AuxLEDs = reverse_bits(value);
}

void DrawPx(std::uint8_t x, std::uint8_t y, std::uint8_t colour) {
    const std::size_t i = std::size_t{x} * 8 + y;
    if (i < k_slate_size) GameSlate[i] = colour;
}

std::uint8_t ReadPx(std::uint8_t x, std::uint8_t y) {
    const std::size_t i = std::size_t{x} * 8 + y;
    return i < k_slate_size ? GameSlate[i] : 0;
}

std::uint8_t ReadPixel(std::uint8_t x, std::uint8_t y) {
    return GameSlate[(x & 7u) * 8 + ((7u - y) & 7u)];
}

void ClearSlate() {
    for (auto& e : GameSlate) e = 0;
}

void DisplaySlate() {
    static constexpr std::uint8_t k_off[3] = {0, 0, 0};
    for (std::uint8_t x = 0; x < 8; ++x) {
        for (std::uint8_t y = 8; y-- > 0;) {
            const std::uint8_t index = GameSlate[x * 8 + y];
            // An index beyond the table shows as an unlit LED instead of reading past it.
            Meg.SetPxClr(x, y, index < k_colour_count ? ColorTable[index] : k_off);
        }
    }
    Meg.update_meggyjr();
}

void Tone_Start(std::uint32_t pitch, std::uint32_t duration) {
    Meg.StartTone(pitch, duration);
}

void MeggyJrSimpleSetup() {
    const MeggyJr fresh; // constructing any device object resets the one shared device
    lastButtonState = Meg.GetButtons();
    Meg.StartTone(0, 0);
    Meg.SoundState(0);
}
