// The window system on SDL2: windows, the message queue, the clock, display
// modes and the release of GL contexts. NativeWindow.h says what the handles are.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FloatControl.h"
#include "Files.h"
#include "MessageQueue.h"
#include "NativeWindow.h"
#include "SdlPad.h"
#include "SdlKeys.h"
#include "SdlPointer.h"
#include "winapi.h"

namespace {

using platform_detail::MessageQueue;

struct WindowClassEntry {
  std::string Name;
  WNDPROC Proc = nullptr;
};

struct Window {
  SDL_Window *Sdl = nullptr;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  bool Maximized = false;   // as the program asked; a maximised pop-up fills the screen
  bool Destroying = false;  // WM_DESTROY is being handled
};

struct Platform {
  bool VideoUp = false;
  bool VideoFailed = false;
  std::vector<WindowClassEntry> Classes;
  std::vector<Window> Windows;           // the live ones
  MessageQueue Queue;
  int CursorCount = 0;
  SDL_Window *ModeWindow = nullptr;      // the window that holds a changed display mode
};

Platform &P() {
  static Platform *const Instance = new Platform();   // outlives every static destructor
  return *Instance;
}

DWORD Now() { return static_cast<DWORD>(SDL_GetTicks64()); }

bool HasFrame(DWORD Style) { return (Style & WS_CAPTION) != 0; }

Window *Live(const void *Handle) {
  if (!Handle) return nullptr;
  for (Window &W : P().Windows) {
    if (W.Sdl == Handle) return &W;
  }
  return nullptr;
}


bool HasDisplay() {
  const char *X = std::getenv("DISPLAY");
  const char *Wayland = std::getenv("WAYLAND_DISPLAY");
  return (X && *X) || (Wayland && *Wayland);
}

void RestoreDisplayAtExit() {
  if (Window *W = Live(P().ModeWindow)) SDL_SetWindowFullscreen(W->Sdl, 0);
}

bool EnsureVideo() {
  Platform &Pl = P();
  if (Pl.VideoUp) return true;
  if (Pl.VideoFailed) return false;
  // A close request comes per window; SDL_QUIT then only from a signal.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A full-screen window keeps its mode when another window takes the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The click that activates the window is a click, as the window system delivers it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Pl.VideoFailed = true;
    return false;
  }
  Pl.VideoUp = true;
  // Controllers are welcome, not needed: without them the keyboard plays.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  SDL_StopTextInput();
  SDL_ShowCursor(Pl.CursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
  std::atexit(RestoreDisplayAtExit);
  return true;
}

struct Borders {
  int Top = 0, Left = 0, Bottom = 0, Right = 0;
};

Borders FrameOf(const Window &W) {
  Borders B;
  if (!HasFrame(W.Style) || (SDL_GetWindowFlags(W.Sdl) & SDL_WINDOW_FULLSCREEN)) return B;
  if (SDL_GetWindowBordersSize(W.Sdl, &B.Top, &B.Left, &B.Bottom, &B.Right) != 0) return Borders{};
  return B;
}

// Puts the window over the whole display (at the new mode's size for a mode
// change) before it goes full screen: where no window manager takes the
// full-screen request, as on a bare X server, the window still covers the screen.
void CoverTheDisplay(SDL_Window *Sdl, Uint32 Wanted) {
  const int Display = std::max(SDL_GetWindowDisplayIndex(Sdl), 0);
  SDL_Rect Bounds;
  if (SDL_GetDisplayBounds(Display, &Bounds) != 0) return;
  SDL_DisplayMode Mode;
  if (Wanted == SDL_WINDOW_FULLSCREEN && SDL_GetWindowDisplayMode(Sdl, &Mode) == 0) {
    Bounds.w = Mode.w;
    Bounds.h = Mode.h;
  }
  SDL_SetWindowPosition(Sdl, Bounds.x, Bounds.y);
  SDL_SetWindowSize(Sdl, Bounds.w, Bounds.h);
}

// The full-screen state the window should be in: the changed display mode, or a
// maximised pop-up covering the desktop, or none.
bool ApplyFullscreen(Window &W) {
  Uint32 Wanted = 0;
  if (P().ModeWindow == W.Sdl) {
    Wanted = SDL_WINDOW_FULLSCREEN;
  } else if (!HasFrame(W.Style) && W.Maximized) {
    Wanted = SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  const Uint32 Current = SDL_GetWindowFlags(W.Sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (Current == Wanted) return true;
  if (Current == 0) CoverTheDisplay(W.Sdl, Wanted);
  return SDL_SetWindowFullscreen(W.Sdl, Wanted) == 0;
}

void SetGlAttributes() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
}

// The window system's default size: three quarters of the usable screen.
void DefaultSize(int *Width, int *Height) {
  SDL_Rect Usable;
  if (SDL_GetDisplayUsableBounds(0, &Usable) == 0 && Usable.w > 0 && Usable.h > 0) {
    *Width = Usable.w * 3 / 4;
    *Height = Usable.h * 3 / 4;
  } else {
    *Width = 800;
    *Height = 600;
  }
}

WPARAM MouseKeys(Uint32 Buttons) {
  WPARAM Keys = 0;
  if (Buttons & SDL_BUTTON_LMASK) Keys |= MK_LBUTTON;
  if (Buttons & SDL_BUTTON_RMASK) Keys |= MK_RBUTTON;
  if (Buttons & SDL_BUTTON_MMASK) Keys |= MK_MBUTTON;
  const SDL_Keymod Mod = SDL_GetModState();
  if (Mod & KMOD_SHIFT) Keys |= MK_SHIFT;
  if (Mod & KMOD_CTRL) Keys |= MK_CONTROL;
  return Keys;
}

LPARAM PointLParam(int X, int Y) {
  return static_cast<LPARAM>((static_cast<uint32_t>(Y & 0xFFFF) << 16) | static_cast<uint32_t>(X & 0xFFFF));
}

POINT CursorNow() {
  int X = 0, Y = 0;
  if (!P().Windows.empty() && platform_detail::AskScreenPointer(P().Windows.front().Sdl, X, Y)) return POINT{X, Y};
  // Elsewhere, over our window, the position the pumped motion events gave:
  // SDL's global query keeps an answer until it reads of a move, and so can
  // lag behind moves made by other clients (synthetic input, tests).
  if (SDL_Window *const Over = SDL_GetMouseFocus(); Live(Over)) {
    int Left = 0, Top = 0;
    SDL_GetWindowPosition(Over, &Left, &Top);
    SDL_GetMouseState(&X, &Y);
    return POINT{Left + X, Top + Y};
  }
  SDL_GetGlobalMouseState(&X, &Y);
  return POINT{X, Y};
}

SDL_Window *EventWindow(Uint32 WindowId) {
  SDL_Window *Sdl = WindowId ? SDL_GetWindowFromID(WindowId) : SDL_GetKeyboardFocus();
  if (Live(Sdl)) return Sdl;
  // Input without a window of its own goes to the one window there is.
  return P().Windows.size() == 1 ? P().Windows.front().Sdl : nullptr;
}

// The pointer's screen position for the messages of one pump, asked once: each
// question is a round trip to the display.
struct PumpCursor {
  bool Known = false;
  POINT Where{0, 0};
};
PumpCursor ThisPump;

void Post(SDL_Window *Sdl, UINT Message, WPARAM WParam, LPARAM LParam, Uint32 Time) {
  if (!ThisPump.Known) {
    ThisPump.Where = CursorNow();
    ThisPump.Known = true;
  }
  P().Queue.Post(MSG{WindowHandle(Sdl), Message, WParam, LParam, static_cast<DWORD>(Time), ThisPump.Where});
}

void PostKey(const SDL_KeyboardEvent &Key) {
  SDL_Window *const Sdl = EventWindow(Key.windowID);
  const UINT Vk = platform_detail::VirtualKeyOf(Key.keysym);
  if (!Sdl || Vk == 0) return;
  const bool Down = Key.type == SDL_KEYDOWN;
  const bool Alt = (Key.keysym.mod & KMOD_ALT) != 0;
  // F10, Alt and keys pressed with Alt are system keys.
  const bool System = Vk == VK_F10 || Vk == VK_MENU || Alt;
  uint32_t Bits = 1;                                           // repeat count
  if (platform_detail::IsExtendedKey(Key.keysym)) Bits |= 1u << 24;
  if (Alt) Bits |= 1u << 29;                                   // context: Alt held
  if (!Down || Key.repeat) Bits |= 1u << 30;                   // the key was down before
  if (!Down) Bits |= 1u << 31;                                 // being released
  const UINT Message = Down ? (System ? WM_SYSKEYDOWN : WM_KEYDOWN) : (System ? WM_SYSKEYUP : WM_KEYUP);
  Post(Sdl, Message, Vk, static_cast<LPARAM>(Bits), Key.timestamp);
}

void PostButton(const SDL_MouseButtonEvent &Button) {
  SDL_Window *const Sdl = EventWindow(Button.windowID);
  if (!Sdl) return;
  const bool Down = Button.type == SDL_MOUSEBUTTONDOWN;
  UINT Message;
  switch (Button.button) {
  case SDL_BUTTON_LEFT: Message = Down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
  case SDL_BUTTON_RIGHT: Message = Down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
  case SDL_BUTTON_MIDDLE: Message = Down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
  default: return;
  }
  // SDL's button state is that after every event gathered so far; this event decides its own button.
  Uint32 Buttons = SDL_GetMouseState(nullptr, nullptr);
  if (Down) {
    Buttons |= SDL_BUTTON(Button.button);
  } else {
    Buttons &= ~SDL_BUTTON(Button.button);
  }
  Post(Sdl, Message, MouseKeys(Buttons), PointLParam(Button.x, Button.y), Button.timestamp);
}

// A controller's button or stick as the key it stands for.
void PostPad(const platform_detail::PadInput &In, Uint32 Time) {
  SDL_Window *const Sdl = EventWindow(0);
  if (!Sdl) return;
  const uint32_t Bits = In.Down ? 1u : 1u | 3u << 30;  // one press; up: down before, being released
  Post(Sdl, In.Down ? WM_KEYDOWN : WM_KEYUP, In.Vk, static_cast<LPARAM>(Bits), Time);
}

void PostPadEvent(const SDL_Event &Event) {
  platform_detail::PadInput In[2];
  switch (Event.type) {
  case SDL_CONTROLLERDEVICEADDED:
    SDL_GameControllerOpen(Event.cdevice.which);  // closed when it goes, or with SDL
    break;
  case SDL_CONTROLLERDEVICEREMOVED:
    if (SDL_GameController *Pad = SDL_GameControllerFromInstanceID(Event.cdevice.which)) SDL_GameControllerClose(Pad);
    for (const uint8_t Axis : {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY}) {
      const int N = platform_detail::PadAxisInputs(Axis, 0, In);  // what the stick held is let go
      for (int I = 0; I < N; ++I) PostPad(In[I], Event.cdevice.timestamp);
    }
    break;
  case SDL_CONTROLLERBUTTONDOWN:
  case SDL_CONTROLLERBUTTONUP:
    if (platform_detail::PadButtonInput(Event.cbutton.button, Event.type == SDL_CONTROLLERBUTTONDOWN, In[0]))
      PostPad(In[0], Event.cbutton.timestamp);
    break;
  case SDL_CONTROLLERAXISMOTION: {
    const int N = platform_detail::PadAxisInputs(Event.caxis.axis, Event.caxis.value, In);
    for (int I = 0; I < N; ++I) PostPad(In[I], Event.caxis.timestamp);
    break;
  }
  default:
    break;
  }
}

void PostWindowEvent(const SDL_WindowEvent &Event) {
  SDL_Window *const Sdl = SDL_GetWindowFromID(Event.windowID);
  Window *const W = Live(Sdl);
  if (!W) return;
  switch (Event.event) {
  case SDL_WINDOWEVENT_CLOSE:
    Post(Sdl, WM_CLOSE, 0, 0, Event.timestamp);
    break;
  case SDL_WINDOWEVENT_MAXIMIZED:
    if (HasFrame(W->Style)) W->Maximized = true;
    break;
  case SDL_WINDOWEVENT_RESTORED:
    if (HasFrame(W->Style) && !(SDL_GetWindowFlags(Sdl) & SDL_WINDOW_FULLSCREEN)) W->Maximized = false;
    break;
  default:
    break;
  }
}

// Turns what SDL has gathered into messages.
void PumpEvents() {
  if (!P().VideoUp) return;
  ThisPump.Known = false;
  SDL_Event Event;
  while (SDL_PollEvent(&Event)) {
    switch (Event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      PostKey(Event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      PostButton(Event.button);
      break;
    case SDL_MOUSEMOTION:
      if (SDL_Window *Sdl = EventWindow(Event.motion.windowID)) {
        Post(Sdl, WM_MOUSEMOVE, MouseKeys(Event.motion.state), PointLParam(Event.motion.x, Event.motion.y),
             Event.motion.timestamp);
      }
      break;
    case SDL_WINDOWEVENT:
      PostWindowEvent(Event.window);
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      PostPadEvent(Event);
      break;
    case SDL_QUIT:   // an interrupt or termination signal: every window is asked to close
      for (const Window &W : P().Windows) Post(W.Sdl, WM_CLOSE, 0, 0, Event.quit.timestamp);
      break;
    default:
      break;
    }
  }
}

const WindowClassEntry *FindClass(const char *Name) {
  if (!Name) return nullptr;
  const std::string Wanted(Name);
  for (const WindowClassEntry &C : P().Classes) {
    if (C.Name.size() == Wanted.size() &&
        std::equal(C.Name.begin(), C.Name.end(), Wanted.begin(), [](char A, char B) {
          return std::tolower(static_cast<unsigned char>(A)) == std::tolower(static_cast<unsigned char>(B));
        })) {
      return &C;
    }
  }
  return nullptr;
}

// Windows-style bits per pixel of an SDL display mode: 32 for 24-bit colour in 4 bytes.
DWORD BitsPerPixel(Uint32 Format) {
  const int Bytes = SDL_BYTESPERPIXEL(Format);
  return Bytes >= 2 ? static_cast<DWORD>(Bytes * 8) : static_cast<DWORD>(SDL_BITSPERPIXEL(Format));
}

void FillDevMode(const SDL_DisplayMode &Mode, DEVMODEA *Out) {
  *Out = DEVMODEA{};
  std::snprintf(reinterpret_cast<char *>(Out->dmDeviceName), sizeof Out->dmDeviceName, "%s",
                SDL_GetDisplayName(0) ? SDL_GetDisplayName(0) : "Display");
  Out->dmSpecVersion = 0x0401;
  Out->dmSize = sizeof(DEVMODEA);
  Out->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;
  Out->dmBitsPerPel = BitsPerPixel(Mode.format);
  Out->dmPelsWidth = static_cast<DWORD>(Mode.w);
  Out->dmPelsHeight = static_cast<DWORD>(Mode.h);
  Out->dmDisplayFrequency = static_cast<DWORD>(Mode.refresh_rate);
}

bool Matches(const SDL_DisplayMode &Mode, const DEVMODEA &Wanted) {
  const DWORD F = Wanted.dmFields;
  if ((F & DM_PELSWIDTH) && static_cast<DWORD>(Mode.w) != Wanted.dmPelsWidth) return false;
  if ((F & DM_PELSHEIGHT) && static_cast<DWORD>(Mode.h) != Wanted.dmPelsHeight) return false;
  if ((F & DM_BITSPERPEL) && BitsPerPixel(Mode.format) != Wanted.dmBitsPerPel) return false;
  // Refresh rates 0 and 1 mean the display's default.
  if ((F & DM_DISPLAYFREQUENCY) && Wanted.dmDisplayFrequency > 1 &&
      static_cast<DWORD>(Mode.refresh_rate) != Wanted.dmDisplayFrequency) {
    return false;
  }
  return true;
}

LONG LeaveDisplayMode() {
  Window *const W = Live(P().ModeWindow);
  P().ModeWindow = nullptr;
  if (W) ApplyFullscreen(*W);
  return DISP_CHANGE_SUCCESSFUL;
}

LONG EnterDisplayMode(const DEVMODEA &Wanted, bool OnlyTest) {
  if (!EnsureVideo() || P().Windows.empty()) return DISP_CHANGE_FAILED;
  Window &W = P().Windows.back();
  const int Display = std::max(SDL_GetWindowDisplayIndex(W.Sdl), 0);
  const int Count = SDL_GetNumDisplayModes(Display);
  for (int I = 0; I < Count; ++I) {
    SDL_DisplayMode Mode;
    if (SDL_GetDisplayMode(Display, I, &Mode) != 0 || !Matches(Mode, Wanted)) continue;
    if (OnlyTest) return DISP_CHANGE_SUCCESSFUL;
    if (SDL_SetWindowDisplayMode(W.Sdl, &Mode) != 0) return DISP_CHANGE_FAILED;
    P().ModeWindow = W.Sdl;
    if (!ApplyFullscreen(W)) {
      LeaveDisplayMode();
      return DISP_CHANGE_FAILED;
    }
    return DISP_CHANGE_SUCCESSFUL;
  }
  return DISP_CHANGE_FAILED;
}

char InstanceObject, CursorObject, BrushObject;   // handles of things SDL has no need for

} // namespace

ATOM RegisterClassA(const WNDCLASSA *WndClass) {
  if (!WndClass || !WndClass->lpszClassName || FindClass(WndClass->lpszClassName)) return 0;
  P().Classes.push_back(WindowClassEntry{WndClass->lpszClassName, WndClass->lpfnWndProc});
  return static_cast<ATOM>(0xC000 + P().Classes.size());
}

HWND CreateWindowExA(DWORD, const char *ClassName, const char *WindowName, DWORD Style, int X, int Y,
                     int Width, int Height, HWND, HMENU, HINSTANCE, void *) {
  const WindowClassEntry *const Class = FindClass(ClassName);
  if (!Class || !EnsureVideo()) return nullptr;
  int W = Width, H = Height;
  if (Width == CW_USEDEFAULT) DefaultSize(&W, &H);
  W = std::max(W, 1);
  H = std::max(H, 1);
  const int Left = X == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : X;
  const int Top = X == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : Y;
  Uint32 Flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (!HasFrame(Style)) Flags |= SDL_WINDOW_BORDERLESS;
  if (Style & WS_THICKFRAME) Flags |= SDL_WINDOW_RESIZABLE;
  SetGlAttributes();
  SDL_Window *Sdl = SDL_CreateWindow(WindowName ? WindowName : "", Left, Top, W, H, Flags);
  if (!Sdl) {
    // A display without a 24-bit depth buffer still gets a window the renderer can try.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    Sdl = SDL_CreateWindow(WindowName ? WindowName : "", Left, Top, W, H, Flags);
    if (!Sdl) return nullptr;
  }
  P().Windows.push_back(Window{Sdl, Class->Proc, Style, false});
  if (Style & WS_VISIBLE) SDL_ShowWindow(Sdl);
  return WindowHandle(Sdl);
}

BOOL ShowWindow(HWND Wnd, int CmdShow) {
  Window *const W = Live(Wnd);
  if (!W) return FALSE;
  const BOOL WasVisible = (SDL_GetWindowFlags(W->Sdl) & SDL_WINDOW_SHOWN) ? TRUE : FALSE;
  switch (CmdShow) {
  case SW_HIDE:
    SDL_HideWindow(W->Sdl);
    break;
  case SW_SHOWNORMAL:
  case SW_RESTORE:
  case SW_SHOWDEFAULT:
    W->Maximized = false;
    ApplyFullscreen(*W);
    SDL_ShowWindow(W->Sdl);
    if (SDL_GetWindowFlags(W->Sdl) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) SDL_RestoreWindow(W->Sdl);
    break;
  case SW_SHOWMAXIMIZED:
    W->Maximized = true;
    SDL_ShowWindow(W->Sdl);
    ApplyFullscreen(*W);
    if (!(SDL_GetWindowFlags(W->Sdl) & SDL_WINDOW_FULLSCREEN)) SDL_MaximizeWindow(W->Sdl);
    break;
  case SW_SHOWMINIMIZED:
  case SW_MINIMIZE:
  case SW_SHOWMINNOACTIVE:
    SDL_ShowWindow(W->Sdl);
    SDL_MinimizeWindow(W->Sdl);
    break;
  default:
    SDL_ShowWindow(W->Sdl);
    break;
  }
  return WasVisible;
}

BOOL SystemParametersInfoA(UINT Action, UINT, void *Data, UINT) {
  if (Action != SPI_GETWORKAREA || !Data || !EnsureVideo()) return FALSE;
  SDL_Rect Usable;
  if (SDL_GetDisplayUsableBounds(0, &Usable) != 0) return FALSE;
  *static_cast<RECT *>(Data) = RECT{Usable.x, Usable.y, Usable.x + Usable.w, Usable.y + Usable.h};
  return TRUE;
}

BOOL UpdateWindow(HWND Wnd) { return Live(Wnd) ? TRUE : FALSE; }

BOOL SetWindowTextA(HWND Wnd, const char *Text) {
  Window *const W = Live(Wnd);
  if (!W) return FALSE;
  SDL_SetWindowTitle(W->Sdl, Text ? Text : "");
  return TRUE;
}

LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong) {
  Window *const W = Live(Wnd);
  if (!W || Index != GWL_STYLE) return 0;
  const LONG Old = static_cast<LONG>(W->Style);
  W->Style = static_cast<DWORD>(NewLong);
  ApplyFullscreen(*W);
  SDL_SetWindowBordered(W->Sdl, HasFrame(W->Style) ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowResizable(W->Sdl, (W->Style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
  return Old;
}

BOOL GetWindowRect(HWND Wnd, RECT *Rect) {
  const Window *const W = Live(Wnd);
  if (!W || !Rect) return FALSE;
  int X = 0, Y = 0, Width = 0, Height = 0;
  SDL_GetWindowPosition(W->Sdl, &X, &Y);
  SDL_GetWindowSize(W->Sdl, &Width, &Height);
  const Borders B = FrameOf(*W);
  *Rect = RECT{X - B.Left, Y - B.Top, X + Width + B.Right, Y + Height + B.Bottom};
  return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL) {
  Window *const W = Live(Wnd);
  if (!W) return FALSE;
  // A window given a size is no longer maximised.
  if (W->Maximized || (SDL_GetWindowFlags(W->Sdl) & SDL_WINDOW_MAXIMIZED)) {
    W->Maximized = false;
    ApplyFullscreen(*W);
    SDL_RestoreWindow(W->Sdl);
  }
  const Borders B = FrameOf(*W);
  SDL_SetWindowSize(W->Sdl, std::max(Width - B.Left - B.Right, 1), std::max(Height - B.Top - B.Bottom, 1));
  SDL_SetWindowPosition(W->Sdl, X + B.Left, Y + B.Top);
  return TRUE;
}

BOOL DestroyWindow(HWND Wnd) {
  Window *W = Live(Wnd);
  if (!W || W->Destroying) return FALSE;   // a second destruction from inside WM_DESTROY does nothing
  W->Destroying = true;
  // The window is still valid while its procedure handles WM_DESTROY.
  if (W->Proc) W->Proc(Wnd, WM_DESTROY, 0, 0);
  if (!(W = Live(Wnd))) return TRUE;   // the procedure destroyed it itself
  SDL_Window *const Sdl = W->Sdl;
  if (P().ModeWindow == Sdl) P().ModeWindow = nullptr;   // SDL gives the mode back with the window
  std::erase_if(P().Windows, [&](const Window &Each) { return Each.Sdl == Sdl; });
  P().Queue.ForgetWindow(Wnd);
  SDL_DestroyWindow(Sdl);
  return TRUE;
}

HDC GetDC(HWND Wnd) { return Live(Wnd) ? DeviceContextHandle(NativeWindow(Wnd)) : nullptr; }

int ReleaseDC(HWND Wnd, HDC Dc) { return Live(Wnd) && Dc == DeviceContextHandle(NativeWindow(Wnd)) ? 1 : 0; }

HGDIOBJ GetStockObject(int) { return &BrushObject; }

HCURSOR LoadCursorA(HINSTANCE, const char *) { return reinterpret_cast<HCURSOR>(&CursorObject); }

HINSTANCE GetModuleHandleA(const char *ModuleName) {
  return ModuleName ? nullptr : reinterpret_cast<HINSTANCE>(&InstanceObject);
}

void GetStartupInfoA(STARTUPINFOA *Info) {
  if (Info) *Info = STARTUPINFOA{sizeof(STARTUPINFOA), 0, 0};   // started without a show command
}

BOOL PeekMessageA(MSG *Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg) {
  PumpEvents();
  return P().Queue.Take(Msg, Wnd, FilterMin, FilterMax, (RemoveMsg & PM_REMOVE) != 0, Now()) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG *Msg) {
  if (!Msg) return FALSE;
  const UINT M = Msg->message;
  return M == WM_KEYDOWN || M == WM_KEYUP || M == WM_SYSKEYDOWN || M == WM_SYSKEYUP;
}

LRESULT DispatchMessageA(const MSG *Msg) {
  if (!Msg) return 0;
  if (Msg->message == WM_TIMER && Msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(Msg->lParam)(Msg->hwnd, WM_TIMER, Msg->wParam, Now());
    return 0;
  }
  const Window *const W = Live(Msg->hwnd);
  if (!W || !W->Proc) return 0;
  return W->Proc(Msg->hwnd, Msg->message, Msg->wParam, Msg->lParam);
}

LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_CLOSE) {
    DestroyWindow(Wnd);
  } else if (Msg == WM_SYSKEYDOWN && WParam == VK_F1 + 3 && (LParam & (1 << 29))) {
    // Alt+F4 asks the window to close, as its close box does.
    if (const Window *W = Live(Wnd); W && W->Proc) W->Proc(Wnd, WM_CLOSE, 0, 0);
  }
  return 0;
}

void PostQuitMessage(int ExitCode) { P().Queue.PostQuit(ExitCode, Now()); }

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc) {
  if (Wnd && !Live(Wnd)) return 0;
  return P().Queue.SetTimer(Wnd, IdEvent, Elapse, TimerFunc, Now());
}

int ShowCursor(BOOL Show) {
  const int Count = Show ? ++P().CursorCount : --P().CursorCount;
  if (P().VideoUp) SDL_ShowCursor(Count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return Count;
}

BOOL GetCursorPos(POINT *Point) {
  if (!Point || !EnsureVideo()) return FALSE;
  *Point = CursorNow();
  return TRUE;
}

BOOL EnumDisplaySettingsA(const char *DeviceName, DWORD ModeNum, DEVMODEA *DevMode) {
  if (!DevMode || !EnsureVideo()) return FALSE;
  int Display = 0;
  if (DeviceName) {
    Display = -1;
    for (int I = 0; I < SDL_GetNumVideoDisplays(); ++I) {
      const char *Name = SDL_GetDisplayName(I);
      if (Name && std::strcmp(Name, DeviceName) == 0) Display = I;
    }
    if (Display < 0) return FALSE;
  }
  SDL_DisplayMode Mode;
  int Failed;
  if (ModeNum == ENUM_CURRENT_SETTINGS) {
    Failed = SDL_GetCurrentDisplayMode(Display, &Mode);
  } else if (ModeNum == ENUM_REGISTRY_SETTINGS) {
    Failed = SDL_GetDesktopDisplayMode(Display, &Mode);
  } else if (ModeNum < static_cast<DWORD>(std::max(SDL_GetNumDisplayModes(Display), 0))) {
    Failed = SDL_GetDisplayMode(Display, static_cast<int>(ModeNum), &Mode);
  } else {
    return FALSE;
  }
  if (Failed != 0) return FALSE;
  FillDevMode(Mode, DevMode);
  return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA *DevMode, DWORD Flags) {
  if (!DevMode) return (Flags & CDS_TEST) ? DISP_CHANGE_SUCCESSFUL : LeaveDisplayMode();
  return EnterDisplayMode(*DevMode, (Flags & CDS_TEST) != 0);
}

DWORD GetTickCount() { return Now(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER *Count) {
  if (!Count) return FALSE;
  Count->QuadPart = static_cast<long long>(SDL_GetPerformanceCounter());
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER *Frequency) {
  if (!Frequency) return FALSE;
  Frequency->QuadPart = static_cast<long long>(SDL_GetPerformanceFrequency());
  return TRUE;
}

void Sleep(DWORD Milliseconds) { SDL_Delay(Milliseconds); }

BOOL DeleteFileA(const char *FileName) {
  if (!FileName) return FALSE;
  return ::unlink(ResolveFileName(FileName).c_str()) == 0 ? TRUE : FALSE;
}

BOOL wglMakeCurrent(HDC Dc, HGLRC Rc) {
  if (!P().VideoUp) return Rc ? FALSE : TRUE;
  const Window *const W = Live(Dc);
  if (Rc && !W) return FALSE;
  return SDL_GL_MakeCurrent(W ? W->Sdl : nullptr, NativeContext(Rc)) == 0 ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC Rc) {
  if (!Rc || !P().VideoUp) return FALSE;
  SDL_GL_DeleteContext(NativeContext(Rc));
  return TRUE;
}

int MessageBoxA(HWND Wnd, const char *Text, const char *Caption, UINT Type) {
  Uint32 Flags = SDL_MESSAGEBOX_INFORMATION;
  if ((Type & 0xF0) == MB_ICONERROR) Flags = SDL_MESSAGEBOX_ERROR;
  if ((Type & 0xF0) == MB_ICONWARNING) Flags = SDL_MESSAGEBOX_WARNING;
  const Window *const W = Live(Wnd);
  // Without a display there is nothing to wait for; the callers tell the
  // message on stderr too, so only the reason the box is missing goes there.
  if (!HasDisplay()) {
    std::fprintf(stderr, "(the message box could not be shown: no display)\n");
    return IDOK;
  }
  // With video up SDL asks the display's own driver for the box first; before
  // that it tries a helper program (zenity), and only then the display.
  EnsureVideo();
  if (SDL_ShowSimpleMessageBox(Flags, Caption ? Caption : "", Text ? Text : "", W ? W->Sdl : nullptr) != 0) {
    std::fprintf(stderr, "(the message box could not be shown: %s)\n", SDL_GetError());
  }
  return IDOK;
}

unsigned Get8087CW() { return platform_detail::ReadFloatControlWord(); }

void Set8087CW(unsigned ControlWord) { platform_detail::WriteFloatControlWord(ControlWord); }
