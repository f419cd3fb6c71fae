// Debug text, fatal assertion and error, and in-place upper-casing.
#pragma once

#include <cstdarg>

void _dbg_init();
void _dbg_shutdown();

// printf-style text to the standard output. Each call reaches the stream at once: the process
// may end abruptly (window closed) and much of this text has no line end.
void _dbg_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void _dbg_vprintf(const char* format, std::va_list args);

// Prints "<file>(<line>): assertion failed: <expression>" and ends the process with status 1.
[[noreturn]] void _dbg_assert(const char* file, int line, const char* expression);

// Prints "Error: <message>" and ends the process with status 1.
[[noreturn]] void error(const char* message);

// Upper-cases 'a'..'z' in place; returns text.
char* upcase(char* text);

#define LSR_ASSERT(expr, file, line)                                                               \
    do {                                                                                           \
        if (!(expr)) _dbg_assert(file, line, #expr);                                               \
    } while (0)
