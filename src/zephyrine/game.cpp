// The game's state and rules: set-up, one pass of the main loop, and a run's steps.
#include "zephyrine/game.h"

#include "meggyjr/simple.h"
#include "zephyrine/artwork.h"
#include "zephyrine/random.h"
#include "zephyrine/screens.h"
#include "zephyrine/sprites.h"

std::uint8_t gamestate = 0;
std::int8_t playerx = 0;
std::int8_t playery = 0;
std::uint16_t score = 0;
std::uint8_t scrollspeed = 50;
std::uint8_t itemactive = 1;
std::uint8_t itemy = 0;
std::uint8_t currentframe = 0;
std::uint8_t titlex = 0;
std::uint8_t titledir = 1;
std::uint8_t scorex = 16;

const std::uint8_t leveldata[64] = {
    2, 2, 2, 2, 3, 4, 3, 2, 1, 2, 1, 0, 1, 2, 3, 4, 4, 2, 1, 1, 0, 1, 2, 1, 0, 1, 2, 3, 4, 4, 3, 2,
    1, 0, 1, 2, 1, 0, 1, 2, 3, 2, 1, 2, 4, 3, 3, 2, 2, 2, 1, 0, 0, 1, 0, 1, 2, 2, 3, 3, 4, 3, 2, 1,
};

namespace {

constexpr std::uint8_t k_colour_passage = 0;
constexpr std::uint8_t k_colour_rock = 20;
constexpr std::uint8_t k_colour_item = 5;
constexpr std::uint8_t k_colour_player = 18;
constexpr std::uint8_t k_passage_rows = 4;

constexpr std::uint32_t k_scroll_pitch = 64783;
constexpr std::uint32_t k_item_pitch = 4545;
constexpr std::uint32_t k_crash_pitches[] = {6810, 9091, 13626, 18182, 27242, 36363, 54485};

constexpr std::uint8_t add8(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>(a + b);
}

// Signed 8-bit steps, wrapping as the device's byte arithmetic does.
constexpr std::int8_t step8(std::int8_t v, std::int32_t by) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(static_cast<std::uint8_t>(v) + by));
}

constexpr std::uint8_t colour_rule(std::uint8_t colour) {
    return colour > 25 ? 1 : colour;
}

bool outside_passage(std::int32_t row, std::int32_t top) {
    return row < top || row > top + k_passage_rows - 1;
}

void title_step() {
    delay(100);
    ClearSlate();
    DrawSprite(static_cast<std::int8_t>(static_cast<std::uint8_t>(0u - titlex)), 1, k_title_width,
               k_title_height, title_data.data());
    TitleAdvance();
}

void scroll_step() {
    Tone_Start(k_scroll_pitch, 50);
    playerx = step8(playerx, 1);
    if ((playerx & 7) == 7 && scrollspeed > 10) --scrollspeed;
    if ((playerx & 15) == 0) {
        itemy = static_cast<std::uint8_t>(game_rand() & 3u);
        itemactive = 1;
    }
    if (playerx > 63) playerx = 0;
}

void playing_step() {
    delay(scrollspeed);
    DrawBackground();
    DrawPlayer();
    DrawLeds();
    HandleInput();
    // Runs even in the pass whose input has just ended the run.
    if ((currentframe & 7) == 7) scroll_step();
}

} // namespace

void DrawPixel(std::uint8_t x, std::uint8_t y, std::uint8_t colour) {
    GameSlate[(x & 7u) * 8 + ((7u - y) & 7u)] = colour_rule(colour);
}

void DrawPixelSafe(std::uint8_t x, std::uint8_t y, std::uint8_t colour) {
    if (x <= 7 && y <= 7) GameSlate[x * 8u + (7u - y)] = colour_rule(colour);
}

void InitGame() {
    playerx = 0;
    playery = 4;
    scrollspeed = 50;
    score = 0;
    gamestate = GAMESTATE_TITLE;
    titlex = 0;
    titledir = 1;
    scorex = 16;
    itemy = 0;
    itemactive = 0;
    currentframe = 0;
}

void setup() {
    MeggyJrSimpleSetup();
    InitGame();
    InitColors();
    gamestate = GAMESTATE_SPLASH;
}

void loop() {
    // Each test sees the state the previous one left, so a state entered here runs in this pass
    // when its own step comes later.
    if (gamestate == GAMESTATE_SPLASH) SplashScreen();
    if (gamestate == GAMESTATE_TITLE) title_step();
    if (gamestate == GAMESTATE_SCORE) {
        delay(100);
        ScoreScreen();
    }
    if (gamestate == GAMESTATE_PLAYING) playing_step();
    DisplaySlate();
    currentframe = add8(currentframe, 1);
}

void DrawBackground() {
    for (std::uint8_t x = 0; x < 8; ++x) {
        const std::uint32_t c = (x + static_cast<std::uint32_t>(playerx)) & 63u;
        const std::uint8_t top = leveldata[c];
        for (std::uint8_t y = 0; y < 8; ++y) {
            DrawPixel(x, y,
                      outside_passage(y, top) ? static_cast<std::uint8_t>(k_colour_rock + (y & 3))
                                              : k_colour_passage);
        }
        if (itemactive != 0 && (c & 15) == 15) DrawPixel(x, add8(top, itemy), k_colour_item);
    }
}

void DrawPlayer() {
    DrawPixel(0, static_cast<std::uint8_t>(playery), k_colour_player);
}

void DrawLeds() {
    SetAuxLEDs(static_cast<std::uint8_t>(1u << ((50u - scrollspeed) & 7u)));
}

void HandleInput() {
    CheckButtonsPress();
    if (Button_Up && playery > 0) playery = step8(playery, -1);
    if (Button_Down && playery < 7) playery = step8(playery, 1);
    const std::uint8_t top = leveldata[static_cast<std::uint8_t>(playerx) & 63u];
    if (outside_passage(playery, top)) {
        // The run's last picture stays on the LEDs through the crash tones.
        for (const std::uint32_t pitch : k_crash_pitches) {
            Tone_Start(pitch, 50);
            delay(50);
        }
        gamestate = GAMESTATE_SCORE;
    }
    if (itemactive != 0 && (playerx & 15) == 15 && playery == top + itemy) {
        ++score;
        itemactive = 0;
        Tone_Start(k_item_pitch, 100);
    }
}
