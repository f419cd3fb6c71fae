// The splash fade of the maker's mark, the title step and the score screen.
#include "zephyrine/screens.h"

#include <cstdint>

#include "meggyjr/simple.h"
#include "zephyrine/artwork.h"
#include "zephyrine/game.h"
#include "zephyrine/sprites.h"

namespace {

// One fade step: the mark's four colours at level t of 128, shown for 20 ms.
void splash_step(std::uint32_t t) {
    const auto level = [t](std::uint32_t scale) {
        return static_cast<std::uint8_t>(scale * t >> 7);
    };
    EditColor(16, 0, level(2), level(4));
    EditColor(17, 0, level(3), level(6));
    EditColor(18, level(1), level(6), level(9));
    EditColor(19, level(3), level(9), level(12));
    DrawSprite(0, 0, 8, 8, quillmark_data.data());
    DisplaySlate();
    delay(20);
}

} // namespace

void SplashScreen() {
    for (std::uint32_t t = 0; t <= 126; t += 2) splash_step(t);
    delay(1000);
    for (std::uint32_t t = 128; t >= 2; t -= 2) splash_step(t);
    delay(1000);
    InitColors();
    gamestate = GAMESTATE_TITLE;
}

void TitleAdvance() {
    titlex = static_cast<std::uint8_t>(titlex + titledir);
    if (titlex == 0) titledir = 1;
    if (titlex == 40) titledir = 255;
    CheckButtonsPress();
    if (Button_A) gamestate = GAMESTATE_PLAYING;
}

void TitleScreen(const char*) {
    ClearSlate();
    TitleAdvance();
}

void ScoreScreen() {
    ClearSlate();
    if (score > 99)
        DrawNumber(static_cast<std::int8_t>(scorex), 1, score);
    else
        DrawNumber(-8, 1, score); // tens and units at columns 0 to 6
    scorex = static_cast<std::uint8_t>(scorex - 1);
    if (scorex == 240) scorex = 8;
    CheckButtonsPress();
    if (Button_A) InitGame();
}
