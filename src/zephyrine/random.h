// The game's random source: small, deterministic and never seeded, so every run is the same.
#pragma once

#include <cstdint>

// The next number of the sequence, 0 to 32767.
std::uint32_t game_rand();
