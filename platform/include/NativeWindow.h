// NativeWindow.h -- what stands behind the handles of winapi.h in the SDL
// backend, for code that works on the window itself: the renderer makes its GL
// context on it. An HWND and its HDC are the window's SDL_Window*, an HGLRC is
// an SDL_GLContext. The handles are opaque everywhere else.
#pragma once
#include <SDL.h>

#include "winapi.h"

inline SDL_Window *NativeWindow(HWND Window) { return reinterpret_cast<SDL_Window *>(Window); }
inline HWND WindowHandle(SDL_Window *Window) { return reinterpret_cast<HWND>(Window); }
inline HDC DeviceContextHandle(SDL_Window *Window) { return reinterpret_cast<HDC>(Window); }
inline SDL_GLContext NativeContext(HGLRC Context) { return reinterpret_cast<SDL_GLContext>(Context); }
inline HGLRC ContextHandle(SDL_GLContext Context) { return reinterpret_cast<HGLRC>(Context); }
