// winapi.h -- the handful of window-system calls the game makes, under their
// usual Windows names, types and meanings. Two implementations stand behind it:
// platform_sdl (the real one, on SDL2) and platform_recording (for tests).
// A program links exactly one of them.
//
// In platform_sdl an HWND and an HDC are the window's SDL_Window*, and an HGLRC
// is an SDL_GLContext: the renderer makes its context on (SDL_Window*)hwnd.
#pragma once
#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;
using ATOM = WORD;

struct HWND__; using HWND = HWND__ *;
struct HDC__; using HDC = HDC__ *;
struct HGLRC__; using HGLRC = HGLRC__ *;
struct HINSTANCE__; using HINSTANCE = HINSTANCE__ *;
struct HCURSOR__; using HCURSOR = HCURSOR__ *;
struct HICON__; using HICON = HICON__ *;
struct HBRUSH__; using HBRUSH = HBRUSH__ *;
struct HMENU__; using HMENU = HMENU__ *;
using HGDIOBJ = void *;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct POINT { LONG x, y; };
struct RECT { LONG left, top, right, bottom; };
struct MSG { HWND hwnd; UINT message; WPARAM wParam; LPARAM lParam; DWORD time; POINT pt; };

struct WNDCLASSA {
  UINT style; WNDPROC lpfnWndProc; int cbClsExtra; int cbWndExtra; HINSTANCE hInstance;
  HICON hIcon; HCURSOR hCursor; HBRUSH hbrBackground; const char *lpszMenuName; const char *lpszClassName;
};

struct STARTUPINFOA { DWORD cb; DWORD dwFlags; WORD wShowWindow; };

// The ANSI display-mode record, 156 bytes as on Windows.
#pragma pack(push, 1)
struct DEVMODEA {
  BYTE dmDeviceName[32];
  WORD dmSpecVersion, dmDriverVersion, dmSize, dmDriverExtra;
  DWORD dmFields;
  BYTE dmPositionUnion[16];
  short dmColor, dmDuplex, dmYResolution, dmTTOption, dmCollate;
  BYTE dmFormName[32];
  WORD dmLogPixels;
  DWORD dmBitsPerPel, dmPelsWidth, dmPelsHeight, dmDisplayFlags, dmDisplayFrequency;
  DWORD dmICMMethod, dmICMIntent, dmMediaType, dmDitherType, dmReserved1, dmReserved2;
  DWORD dmPanningWidth, dmPanningHeight;
};
#pragma pack(pop)
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA is 156 bytes");

constexpr BOOL FALSE = 0, TRUE = 1;

// Messages.
constexpr UINT WM_DESTROY = 0x0002, WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012,
               WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
               WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_TIMER = 0x0113,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202;
// Virtual keys ('0'..'9' and 'A'..'Z' are their ASCII codes).
constexpr UINT VK_LBUTTON = 0x01, VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
               VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
               VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
               VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70;
// Window styles and ShowWindow commands.
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000, WS_POPUP = 0x80000000;
constexpr int GWL_STYLE = -16;
constexpr int SW_HIDE = 0, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5, SW_SHOWDEFAULT = 10;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_OWNDC = 0x20;
constexpr UINT PM_REMOVE = 1;
constexpr DWORD STARTF_USESHOWWINDOW = 1;
constexpr int BLACK_BRUSH = 4;
inline const char *const IDC_ARROW = reinterpret_cast<const char *>(32512);
// Display settings.
constexpr DWORD DM_BITSPERPEL = 0x00040000, DM_PELSWIDTH = 0x00080000, DM_PELSHEIGHT = 0x00100000,
                DM_DISPLAYFREQUENCY = 0x00400000;
constexpr DWORD CDS_FULLSCREEN = 4;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_FAILED = -1;
constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFF;
// Message boxes.
constexpr UINT MB_OK = 0, MB_ICONERROR = 0x10;

ATOM RegisterClassA(const WNDCLASSA *WndClass);
HWND CreateWindowExA(DWORD ExStyle, const char *ClassName, const char *WindowName, DWORD Style,
                     int X, int Y, int Width, int Height, HWND Parent, HMENU Menu,
                     HINSTANCE Instance, void *Param);
BOOL ShowWindow(HWND Wnd, int CmdShow);
BOOL UpdateWindow(HWND Wnd);
BOOL SetWindowTextA(HWND Wnd, const char *Text);
LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong);
BOOL GetWindowRect(HWND Wnd, RECT *Rect);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL DestroyWindow(HWND Wnd);
HDC GetDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC Dc);
HGDIOBJ GetStockObject(int Object);
HCURSOR LoadCursorA(HINSTANCE Instance, const char *CursorName);
HINSTANCE GetModuleHandleA(const char *ModuleName);
void GetStartupInfoA(STARTUPINFOA *Info);
BOOL PeekMessageA(MSG *Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
BOOL TranslateMessage(const MSG *Msg);
LRESULT DispatchMessageA(const MSG *Msg);
LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(int ExitCode);
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc);
int ShowCursor(BOOL Show);
BOOL GetCursorPos(POINT *Point);
BOOL EnumDisplaySettingsA(const char *DeviceName, DWORD ModeNum, DEVMODEA *DevMode);
LONG ChangeDisplaySettingsA(DEVMODEA *DevMode, DWORD Flags);
DWORD GetTickCount();
BOOL DeleteFileA(const char *FileName);
BOOL wglMakeCurrent(HDC Dc, HGLRC Rc);
BOOL wglDeleteContext(HGLRC Rc);
int MessageBoxA(HWND Wnd, const char *Text, const char *Caption, UINT Type);

// The x87-style floating-point control word is kept around window creation.
unsigned Get8087CW();
void Set8087CW(unsigned ControlWord);
