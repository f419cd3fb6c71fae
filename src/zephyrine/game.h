// The game's state, its pixel writers and the steps of one pass of its main loop.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t GAMESTATE_PLAYING = 0;
inline constexpr std::uint8_t GAMESTATE_TITLE = 1;
inline constexpr std::uint8_t GAMESTATE_SPLASH = 2;
inline constexpr std::uint8_t GAMESTATE_SCORE = 3;

extern std::uint8_t gamestate;
extern std::int8_t playerx; // the cave column under the player, 0 to 63
extern std::int8_t playery; // the player's row from the top
extern std::uint16_t score;
extern std::uint8_t scrollspeed; // milliseconds waited at the start of a playing pass
extern std::uint8_t itemactive;
extern std::uint8_t itemy; // the item's row within the passage
extern std::uint8_t currentframe;
extern std::uint8_t titlex;
extern std::uint8_t titledir; // 1 or 255
extern std::uint8_t scorex;
// The top row of the 4-row passage in each cave column.
extern const std::uint8_t leveldata[64];

void setup();
void loop();
void InitGame();
void DrawBackground();
void DrawPlayer();
void DrawLeds();
void HandleInput();
// Game coordinates, y from the top; colours above 25 become 1. DrawPixel wraps its coordinates
// modulo 8, DrawPixelSafe drops those outside 0 to 7.
void DrawPixel(std::uint8_t x, std::uint8_t y, std::uint8_t colour);
void DrawPixelSafe(std::uint8_t x, std::uint8_t y, std::uint8_t colour);
