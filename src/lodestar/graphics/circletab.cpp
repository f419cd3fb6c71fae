// The quarter-circle table of the circle primitives, built from its rule at compile time.
#include <cstdint>

#include "lodestar/graphics/primitives.h" // IWYU pragma: associated

namespace {

// Newton's iteration from above; it stops when it no longer falls, within a bit or so of the
// true root, far finer than the single-precision value each entry is rounded to.
constexpr double root(double v) {
    if (v <= 0) return 0;
    double r = v < 1 ? 1 : v;
    for (int i = 0; i < 200; ++i) {
        const double next = 0.5 * (r + v / r);
        if (next >= r) break;
        r = next;
    }
    return r;
}

// 65536 * sqrt(1 - (i / 1024)^2), rounded to single precision and then truncated.
constexpr std::uint32_t circle_entry(int i) {
    const double f = i / 1024.0;
    return static_cast<std::uint32_t>(static_cast<float>(65536.0 * root(1.0 - f * f)));
}

} // namespace

// A constant array needs its elements listed; these expand to the 1024 calls of the rule.
#define LSR_CT4(i) circle_entry(i), circle_entry(i + 1), circle_entry(i + 2), circle_entry(i + 3)
#define LSR_CT16(i) LSR_CT4(i), LSR_CT4(i + 4), LSR_CT4(i + 8), LSR_CT4(i + 12)
#define LSR_CT64(i) LSR_CT16(i), LSR_CT16(i + 16), LSR_CT16(i + 32), LSR_CT16(i + 48)
#define LSR_CT256(i) LSR_CT64(i), LSR_CT64(i + 64), LSR_CT64(i + 128), LSR_CT64(i + 192)

constexpr std::uint32_t LSR_circletab[1024] = {LSR_CT256(0), LSR_CT256(256), LSR_CT256(512),
                                               LSR_CT256(768)};

#undef LSR_CT256
#undef LSR_CT64
#undef LSR_CT16
#undef LSR_CT4

static_assert(LSR_circletab[0] == 65536 && LSR_circletab[1] == 65535 &&
              LSR_circletab[512] == 56755 && LSR_circletab[1023] == 2895);
