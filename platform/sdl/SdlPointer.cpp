// SdlPointer.cpp -- the pointer's screen position from the X server. Apart
// from SdlPlatform.cpp: the X11 headers name things (Window, Bool, None) that
// the Windows-style layer names too.
#include "SdlPointer.h"

// Both: the X11 library is linked in, and SDL was built for X11.
#if defined(KESTROVE_X11_POINTER) && defined(SDL_VIDEO_DRIVER_X11)
#define ASK_THE_X_SERVER 1
#include <SDL_syswm.h>
#endif

namespace platform_detail {

bool AskScreenPointer(SDL_Window *Window, int &X, int &Y) {
#if defined(ASK_THE_X_SERVER)
  SDL_SysWMinfo Info;
  SDL_VERSION(&Info.version);
  if (!Window || !SDL_GetWindowWMInfo(Window, &Info) || Info.subsystem != SDL_SYSWM_X11) return false;
  Display *const Connection = Info.info.x11.display;
  ::Window Root = 0, Child = 0;
  int InWindowX = 0, InWindowY = 0;
  unsigned Buttons = 0;
  // One round trip: the server answers after every request made before it, the window's moves included.
  return XQueryPointer(Connection, DefaultRootWindow(Connection), &Root, &Child, &X, &Y, &InWindowX, &InWindowY,
                       &Buttons) == True;
#else
  (void)Window;
  (void)X;
  (void)Y;
  return false;
#endif
}

}  // namespace platform_detail
