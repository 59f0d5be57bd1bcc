// SdlKeys.h -- SDL's keys as the window system's virtual-key codes.
#pragma once
#include <SDL.h>
#include "winapi.h"

namespace platform_detail {
// The virtual-key code of a key (0 for a key the window system has no code for).
UINT VirtualKeyOf(const SDL_Keysym &Key);
// Keys whose WM_KEYDOWN carries the extended-key bit (bit 24 of lParam).
bool IsExtendedKey(const SDL_Keysym &Key);
} // namespace platform_detail
