// The device's simple programming interface: the slate, buttons, auxiliary LEDs and tones.
#pragma once

#include <cstdint>

#include "meggyjr/colortable.h"
#include "meggyjr/devicetime.h"
#include "meggyjr/meggyjr.h"

extern MeggyJr Meg;
// Colour index of each LED: entry x * 8 + y, x from the left, y from the bottom.
extern std::uint8_t GameSlate[64];
extern std::uint8_t lastButtonState;
// 0, or the button's own bit, after the last check.
extern std::uint8_t Button_A, Button_B, Button_Up, Button_Down, Button_Left, Button_Right;

// The buttons held now.
void CheckButtonsDown();
// The buttons pressed since the last check (either kind).
void CheckButtonsPress();
void SetAuxLEDs(std::uint8_t value);
// The same with the most significant bit on the leftmost LED.
void SetAuxLEDsBinary(std::uint8_t value);
// Coordinates beyond the slate's 64 entries are ignored (writes) or read 0.
void DrawPx(std::uint8_t x, std::uint8_t y, std::uint8_t colour);
std::uint8_t ReadPx(std::uint8_t x, std::uint8_t y);
// y counted from the top; both coordinates wrap modulo 8.
std::uint8_t ReadPixel(std::uint8_t x, std::uint8_t y);
void ClearSlate();
// Copies the slate through the colour table into the LEDs, paints them and presents the page.
void DisplaySlate();
void Tone_Start(std::uint32_t pitch, std::uint32_t duration);
void MeggyJrSimpleSetup();
