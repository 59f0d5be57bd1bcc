// XClose.cpp -- asks an X window to close as its close box would: the
// WM_DELETE_WINDOW message of the window-manager protocol. There is no window
// manager under Xvfb to send it, so the end-to-end test sends it itself.
// Usage: x11close <window id>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: x11close <window id>\n");
    return 2;
  }
  Display *Dpy = XOpenDisplay(nullptr);
  if (!Dpy) {
    std::fprintf(stderr, "x11close: no display\n");
    return 1;
  }
  const Window Target = std::strtoul(argv[1], nullptr, 0);
  XEvent Event = {};
  Event.xclient.type = ClientMessage;
  Event.xclient.window = Target;
  Event.xclient.message_type = XInternAtom(Dpy, "WM_PROTOCOLS", False);
  Event.xclient.format = 32;
  Event.xclient.data.l[0] = static_cast<long>(XInternAtom(Dpy, "WM_DELETE_WINDOW", False));
  Event.xclient.data.l[1] = CurrentTime;
  const Status Sent = XSendEvent(Dpy, Target, False, NoEventMask, &Event);
  XSync(Dpy, False);
  XCloseDisplay(Dpy);
  return Sent ? 0 : 1;
}
