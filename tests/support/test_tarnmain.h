// Lets a test choose what the library's worker thread runs as the program's main routine.
#pragma once

#include <functional>

extern std::function<int()> test_tarnmain_body;
