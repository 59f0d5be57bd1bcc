// SdlPointer.h -- the pointer's screen position, asked of the window system.
// SDL keeps the pointer only within a window, from the events it has read; a
// report made before the window moved, read after it, would put the pointer
// one old window offset away. The window system itself knows where the
// pointer is now, whatever the window did.
#pragma once
#include <SDL.h>

namespace platform_detail {

// Where the pointer is on the screen now, asked through the connection of
// Window's display; false where that window system cannot be asked (SDL's own
// position within the window must do there).
bool AskScreenPointer(SDL_Window *Window, int &X, int &Y);

}  // namespace platform_detail
