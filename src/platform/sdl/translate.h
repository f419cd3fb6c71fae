// SDL events in, window messages out: key codes in the Windows virtual-key numbering.
#pragma once

#include <SDL.h>

#include "lodestar/platform_types.h"
#include <cstdint>

// The Windows virtual-key code of an SDL key, or 0 for a key with none.
std::uint8_t sdl_virtual_key(SDL_Keycode key);

// Translates one event into at most max messages for window; returns how many. The pointer
// position of motion and button events is stored by the caller, not here.
int sdl_translate_event(const SDL_Event& event, LSR_HWND window, LSR_MSG* out, int max);
