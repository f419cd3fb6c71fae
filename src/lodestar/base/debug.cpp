// Debug text on the standard output, fatal assertion and error, upcase.
#include "lodestar/base/debug.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

void _dbg_init() {}
void _dbg_shutdown() {}

void _dbg_vprintf(const char* format, std::va_list args) {
    // Format first, then hand the whole text to the stream in one write and flush it, so that
    // nothing is lost when the process is ended without running its exit handlers.
    char small[512];
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        std::fwrite(small, 1, static_cast<std::size_t>(n), stdout);
    } else {
        std::vector<char> big(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        std::fwrite(big.data(), 1, static_cast<std::size_t>(n), stdout);
    }
    va_end(again);
    std::fflush(stdout);
}

void _dbg_printf(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    _dbg_vprintf(format, args);
    va_end(args);
}

void _dbg_assert(const char* file, int line, const char* expression) {
    _dbg_printf("%s(%d): assertion failed: %s\n", file, line, expression);
    std::_Exit(1);
}

void error(const char* message) {
    _dbg_printf("Error: %s\n", message);
    std::_Exit(1);
}

char* upcase(char* text) {
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 32);
    }
    return text;
}
