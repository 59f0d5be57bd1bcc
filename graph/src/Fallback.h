// Fallback.h -- what Init does when it cannot draw: tell the player why, and
// where the graphics driver is what falls short, try Mesa's software rasterizer.
#pragma once
#include <SDL.h>

#include <string>

namespace graph {

// Writes why on stderr and shows it in a message box captioned "Error" over
// Window (none when null). KESTROVE_NO_ERROR_BOX set (tests, scripts) keeps
// it to stderr.
void ReportCannotDraw(SDL_Window *Window, const std::string &Why);

// Starts the program again on Mesa's software rasterizer (LIBGL_ALWAYS_SOFTWARE=1),
// saying so on stderr; returns only when that is no way out: already on it,
// or the program could not be started again.
void RestartOnSoftwareRasterizer(SDL_Window *Window, const std::string &Why);

}  // namespace graph
