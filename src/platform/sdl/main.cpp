// The process entry: SDL up, the window thread's work, then the process ends at once.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "lodestar/frame/init.h"

int main(int, char**) {
    SDL_SetMainReady();
    if (SDL_Init(SDL_INIT_EVENTS) != 0) std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    // A missing joystick subsystem leaves the program without a joystick, nothing more.
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    const int status = WinMain(nullptr, nullptr, nullptr, 5);
    std::fflush(stdout);
    // The worker (and the audio thread) end here wherever they stand; no destructor runs
    // beside them.
    std::_Exit(status);
}
