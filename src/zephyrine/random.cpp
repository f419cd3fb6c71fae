// A linear congruential generator; the high bits are returned, so the low bits are well mixed.
#include "zephyrine/random.h"

namespace {
std::uint32_t g_state = 1;
}

std::uint32_t game_rand() {
    g_state = g_state * 1103515245u + 12345u;
    return (g_state >> 16) & 0x7FFFu;
}
