// Fallback.h -- what Init does when it cannot draw: tell the player why, and
// where the graphics driver is what falls short, try Mesa's software rasterizer.
#pragma once
#include <string>

#include "winapi.h"

namespace graph {

// Writes why on stderr and shows it in a message box captioned "Error" over
// Window (none when null). KESTROVE_NO_ERROR_BOX set (tests, scripts) keeps
// it to stderr.
void ReportCannotDraw(HWND Window, const std::string &Why);

// Starts the program again on Mesa's software rasterizer (LIBGL_ALWAYS_SOFTWARE=1),
// saying so on stderr; returns only when that is no way out: already on it,
// the program could not be started again, or on Windows, where the system's
// OpenGL has no such switch.
void RestartOnSoftwareRasterizer(HWND Window, const std::string &Why);

}  // namespace graph
