// Surface.h -- the window system's part in drawing: the OpenGL 3.3 core context
// made on the engine's window, presenting frames, the drawable's and the
// window's sizes, and the clock. SurfaceSdl.cpp does it on SDL2, SurfaceWgl.cpp
// on Windows.
#pragma once
#include <cstdint>
#include <string>

#include "winapi.h"

namespace graph {

using GLContextHandle = void *;

// Whether Window can take a GL context at all; Why says why not.
bool WindowTakesGL(HWND Window, std::string &Why);
// A 3.3 core context on Window, current on return; null, with Why, when the
// window or the driver gives none.
GLContextHandle CreateGLContext(HWND Window, std::string &Why);
bool IsCurrentGLContext(GLContextHandle Context);
// Leaves no context current and deletes Context.
void DeleteGLContext(HWND Window, GLContextHandle Context);
// Fetches the GL entry points of the current context; its version as 10 * major
// + minor, 0 when it cannot be used.
int LoadGLEntryPoints();
// Frames wait for the display: movement is per frame, so it keeps the display's pace.
void SyncToDisplay();
void Present(HWND Window);
// The drawable part of the window in pixels.
void DrawableSize(HWND Window, int &Width, int &Height);
// Where the drawable part starts inside the window's outer rectangle, and its
// size in the units of the pointer's position.
void ClientArea(HWND Window, int &Left, int &Top, int &Width, int &Height);
uint32_t Milliseconds();
// A message box captioned "Error" over Window (none when null); false, with
// Why, when it could not be shown.
bool ShowErrorBox(HWND Window, const std::string &Text, std::string &Why);

}  // namespace graph
