// Library start-up and close-down, the window title, and the program's entry points.
#pragma once

#include <cstdint>

std::int32_t LSR_Initialise();
std::int32_t LSR_CloseDown();
std::int32_t LSR_SetTitle(const char* text);
std::int32_t LSR_ll_settitle(const char* text);
// Full path of the running program's file, so that it can mount the archive it carries wherever it
// was started from; "" when the system does not tell.
const char* LSR_GetExecutablePath();

// The window thread: registers the class, creates the window, starts the worker, pumps messages
// until the quit message, then ends the worker and takes the window down. Returns 0.
int WinMain(void* instance, void* previous, char* command_line, int show);
// The worker thread: LSR_Initialise, tarnmain, then (only if tarnmain returns) close-down.
std::uint32_t win32_main(void* parameter);

// The program's main routine, provided by the program that links the library.
int tarnmain();
