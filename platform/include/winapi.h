// winapi.h -- the handful of window-system calls the game makes, under their
// usual Windows names, types and meanings. On Windows they are the system's
// own, from <windows.h> (platform_win32 adds the control-word pair). Elsewhere
// two implementations stand behind them: platform_sdl (the real one, on SDL2)
// and platform_recording (for tests). A program links exactly one of them.
// Tests against platform_recording on Windows too see these declarations, not
// the system's (KESTROVE_RECORDING_PLATFORM).
//
// The handles are opaque; NativeWindow.h says what stands behind them in
// platform_sdl, for the renderer, which makes its GL context on the window.
#pragma once
#if defined(_WIN32) && !defined(KESTROVE_RECORDING_PLATFORM)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// A game controller's A and B, as the system names them (older headers do not).
#ifndef VK_GAMEPAD_A
#define VK_GAMEPAD_A 0xC3
#define VK_GAMEPAD_B 0xC4
#endif

// The x87-style floating-point control word is kept around window creation.
unsigned Get8087CW();   // the control word now in force
void Set8087CW(unsigned ControlWord);   // puts ControlWord in force
#else
#include <cstdint>

// The calling convention of window procedures on 32-bit Windows; nothing here.
#define CALLBACK

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

// A 64-bit count in the shape Windows gives it; only QuadPart is read here.
union LARGE_INTEGER {
  struct { DWORD LowPart; LONG HighPart; } u;
  long long QuadPart;
};

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
               WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
               WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_TIMER = 0x0113,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
               WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_MBUTTONDOWN = 0x0207,
               WM_MBUTTONUP = 0x0208;
// wParam of the mouse messages: the buttons and modifiers held.
constexpr WPARAM MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08,
                 MK_MBUTTON = 0x10;
// Virtual keys ('0'..'9' and 'A'..'Z' are their ASCII codes).
constexpr UINT VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
               VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
               VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
               VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70;
// VK_F1 + n is F(n+1), up to F24.
constexpr UINT VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_SNAPSHOT = 0x2C, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
               VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
               VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F10 = 0x79,
               VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB,
               VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
               VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;
// A game controller's A and B: what they do depends on the screen.
constexpr UINT VK_GAMEPAD_A = 0xC3, VK_GAMEPAD_B = 0xC4;
// Window styles and ShowWindow commands.
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000, WS_POPUP = 0x80000000;
// A window has a frame when its style holds any WS_CAPTION bit; WS_THICKFRAME makes it resizable.
constexpr DWORD WS_VISIBLE = 0x10000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
                WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000;
constexpr int GWL_STYLE = -16;
constexpr int SW_HIDE = 0, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5, SW_SHOWDEFAULT = 10;
constexpr int SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4,
              SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_OWNDC = 0x20;
constexpr UINT PM_NOREMOVE = 0, PM_REMOVE = 1;
constexpr DWORD STARTF_USESHOWWINDOW = 1;
constexpr int BLACK_BRUSH = 4;
inline const char *const IDC_ARROW = reinterpret_cast<const char *>(32512);
// Display settings.
constexpr DWORD DM_BITSPERPEL = 0x00040000, DM_PELSWIDTH = 0x00080000, DM_PELSHEIGHT = 0x00100000,
                DM_DISPLAYFLAGS = 0x00200000, DM_DISPLAYFREQUENCY = 0x00400000;
constexpr DWORD CDS_TEST = 2, CDS_FULLSCREEN = 4;   // CDS_TEST: only whether the mode would be set
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_FAILED = -1, DISP_CHANGE_BADMODE = -2;
constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFF, ENUM_REGISTRY_SETTINGS = 0xFFFFFFFE;
// System parameters.
constexpr UINT SPI_GETWORKAREA = 0x0030;
// Message boxes.
constexpr UINT MB_OK = 0, MB_ICONERROR = 0x10, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;

// Remembers a class by name and procedure; 0 when the name is taken or missing.
ATOM RegisterClassA(const WNDCLASSA *WndClass);
// A new window of a registered class, hidden unless Style holds WS_VISIBLE, with
// a GL-capable surface; CW_USEDEFAULT in X or Width picks a place or a size.
// Null when the class is unknown or the window system refuses.
HWND CreateWindowExA(DWORD ExStyle, const char *ClassName, const char *WindowName, DWORD Style,
                     int X, int Y, int Width, int Height, HWND Parent, HMENU Menu,
                     HINSTANCE Instance, void *Param);
// Shows, hides, maximises or restores; answers whether it was visible before.
// A maximised window without a frame (WS_POPUP) covers its whole display.
BOOL ShowWindow(HWND Wnd, int CmdShow);
BOOL UpdateWindow(HWND Wnd);            // nothing to paint ahead of time: true for a live window
BOOL SetWindowTextA(HWND Wnd, const char *Text);   // the caption; null reads as ""
LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong);   // GWL_STYLE only: frame and resizing; the old style
// Both on the outer rectangle, frame included, in screen coordinates.
BOOL GetWindowRect(HWND Wnd, RECT *Rect);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);   // a maximised window is restored first
BOOL DestroyWindow(HWND Wnd);   // sends WM_DESTROY to the window procedure before it returns
HDC GetDC(HWND Wnd);            // the window's drawing surface (the window itself); null for a dead one
int ReleaseDC(HWND Wnd, HDC Dc);   // 1 when Dc is Wnd's own surface, else 0
HGDIOBJ GetStockObject(int Object);   // a token for the class background; nothing is painted with it
HCURSOR LoadCursorA(HINSTANCE Instance, const char *CursorName);   // a token for the arrow pointer
HINSTANCE GetModuleHandleA(const char *ModuleName);   // the program's own (null name) or null
void GetStartupInfoA(STARTUPINFOA *Info);   // always "started without a show command"
// Never waits. WM_TIMER comes only when no other message is waiting; WM_MOUSEMOVE is coalesced.
BOOL PeekMessageA(MSG *Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
BOOL TranslateMessage(const MSG *Msg);   // whether Msg is a key message; keys type no characters
LRESULT DispatchMessageA(const MSG *Msg);   // to the window class's procedure (or the TIMERPROC)
LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);   // WM_CLOSE destroys
void PostQuitMessage(int ExitCode);   // WM_QUIT (wParam ExitCode) once the queue holds nothing else
// Every Elapse ms a WM_TIMER for Wnd (or the TIMERPROC); the same IdEvent
// restarts the timer. The timer's id, 0 for a dead window.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc);
int ShowCursor(BOOL Show);   // counts up or down; the pointer shows while the count is 0 or more
BOOL GetCursorPos(POINT *Point);   // the pointer in screen coordinates
// SPI_GETWORKAREA only: the primary display's desktop less its panels, as a RECT in Data.
BOOL SystemParametersInfoA(UINT Action, UINT Param, void *Data, UINT WinIni);
// Mode ModeNum of the named display (null: the primary), or its current or
// desktop mode (ENUM_CURRENT_SETTINGS, ENUM_REGISTRY_SETTINGS); false past the last.
BOOL EnumDisplaySettingsA(const char *DeviceName, DWORD ModeNum, DEVMODEA *DevMode);
// A mode the display offers (dmFields name what must match) puts the window full
// screen in it; DISP_CHANGE_FAILED where none matches. No mode: back to the desktop's.
LONG ChangeDisplaySettingsA(DEVMODEA *DevMode, DWORD Flags);
DWORD GetTickCount();                      // milliseconds, wrapping at 2^32
// A steady count that never goes back, and how many of it make a second.
BOOL QueryPerformanceCounter(LARGE_INTEGER *Count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER *Frequency);
void Sleep(DWORD Milliseconds);            // gives the processor up for at least that long
BOOL DeleteFileA(const char *FileName);    // the name resolved case-blind (ResolveFileName)
BOOL wglMakeCurrent(HDC Dc, HGLRC Rc);     // Rc current on Dc's window; a null Rc leaves none current
BOOL wglDeleteContext(HGLRC Rc);           // deletes a context the renderer made; false for null
// Shown on the display over Wnd, until the user closes it; where it cannot be
// shown, stderr only says why (callers write the message there themselves, so
// the player reads it once). Answers IDOK.
int MessageBoxA(HWND Wnd, const char *Text, const char *Caption, UINT Type);

// The x87-style floating-point control word is kept around window creation.
unsigned Get8087CW();   // the control word now in force
void Set8087CW(unsigned ControlWord);   // puts ControlWord in force
#endif
