// RecordingPlatform.h -- control of platform_recording, the stand-in for the
// window system in tests. It implements every call of winapi.h without a
// display: each call is appended to a log with its arguments, windows and the
// message queue live in memory, the clock moves only when a test moves it, and
// display-mode changes are answered as the test says.
//
// The log. Each call is one entry, in call order, e.g. "ShowWindow(hwnd,5)":
//   - a window the recorder made prints as "hwnd" (later ones "hwnd2", "hwnd3"),
//     a device context as "hdc", a GL context as "hglrc", other non-null handles
//     by kind ("hinstance", "hcursor", "hbrush", "wndproc", "timerproc"), null as "0";
//   - integers in decimal, except styles, class styles and dmFields in hex ("0x00CF0000");
//   - messages by name ("WM_KEYDOWN"), texts in double quotes;
//   - a display mode as "800x600x16@0/0x001C0000" (width x height x bits @ hertz / dmFields);
//   - Get8087CW/Set8087CW are logged like any call (the engine makes them around
//     window creation) and act on the real control word.
// Every call is logged, GetTickCount and an empty PeekMessageA included; use
// Log(names) or LogExcept(names) to pick the calls a test is about.
//
// Behaviour that tests rely on:
//   - DispatchMessageA calls the window procedure registered for the window's class
//     (a WM_TIMER with a TIMERPROC calls that instead); DestroyWindow sends WM_DESTROY
//     to it before returning; DefWindowProcA answers WM_CLOSE by destroying the window.
//   - PeekMessageA takes queued messages in order; WM_QUIT (from PostQuitMessage)
//     when none is left; then WM_TIMER of a timer whose time has come on the
//     test's clock. TranslateMessage only answers whether the message is a key's.
//   - A destroyed window's calls are still logged but fail (FALSE / null / 0).
//   - DeleteFileA deletes for real (resolving the name case-blind) unless
//     SetDeleteFiles(false); MessageBoxA answers IDOK without showing anything.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "winapi.h"

namespace Recording {

struct Call {
  std::string Name;                // "ShowWindow"
  std::vector<std::string> Args;   // {"hwnd", "5"}
  std::string Text() const;        // "ShowWindow(hwnd,5)"
};

// Forgets everything: log, windows, classes, queue, timers, quit flag, clock (0,
// no step), cursor (0,0 and the show count 0), display answers, start-up info,
// the PeekMessageA hook and its count.
void Reset();

// The log.
const std::vector<Call> &Calls();
std::vector<std::string> Log();                                      // every call's text
std::vector<std::string> Log(const std::vector<std::string> &Names); // only calls so named
std::vector<std::string> LogExcept(const std::vector<std::string> &Names);
std::size_t Count(const std::string &Name);                          // calls so named
void ClearLog();                                                     // the log only

// The message queue. A null window means the current window (Window()); queued
// while there is none, the message goes to the window current when it is taken,
// so input can be queued before the program makes its window.
void QueueMessage(UINT Message, WPARAM WParam = 0, LPARAM LParam = 0, HWND Wnd = nullptr);
void QueueKeyDown(UINT VirtualKey);      // WM_KEYDOWN with the usual lParam bits
void QueueKeyUp(UINT VirtualKey);
void QueueKeyRepeat(UINT VirtualKey);    // WM_KEYDOWN of a key already down (auto-repeat)
void QueueClick(LONG X, LONG Y);         // WM_LBUTTONDOWN then WM_LBUTTONUP at client x, y
void QueueClose();                       // WM_CLOSE, as the window's close box sends it
std::vector<MSG> QueuedMessages();       // waiting, in order (timers not included)
bool QuitPosted();                       // PostQuitMessage ran and WM_QUIT is not yet taken
int QuitCode();
// Called at the start of every PeekMessageA with its number (1 for the first since
// Reset), e.g. to queue a key at a given frame of a main loop; empty to stop.
void OnPeekMessage(std::function<void(std::size_t PeekNumber)> Hook);

// The clock behind GetTickCount and QueryPerformanceCounter (which counts its
// microseconds, QueryPerformanceFrequency answering 1000000). Sleep moves it on
// by the time asked.
void SetTickCount(DWORD Ticks);
void AdvanceTicks(DWORD Milliseconds);   // wraps past 2^32 like the real count
void AdvanceMicroseconds(uint64_t Microseconds);
void SetTickStep(DWORD Milliseconds);    // each GetTickCount moves the clock on by this after answering
DWORD Ticks();
uint64_t Microseconds();

// Display modes. EnumDisplaySettingsA answers every mode number with the current
// mode (1280x1024x32@60 unless set); ChangeDisplaySettingsA answers a mode change
// with SetDisplayModeResult's value (DISP_CHANGE_SUCCESSFUL unless set).
void SetCurrentDisplayMode(DWORD Width, DWORD Height, DWORD Bits, DWORD Frequency);
void SetDisplayModeResult(LONG Result);
void SetWorkArea(const RECT &Area);      // SPI_GETWORKAREA's answer; empty at (0,0) unless set
bool DisplayModeChanged();               // a mode change succeeded and was not yet restored
DEVMODEA LastDisplayModeRequest();       // the record of the last ChangeDisplaySettingsA with one

// The pointer: what GetCursorPos answers, and ShowCursor's display count.
void SetCursorPos(LONG X, LONG Y);
int CursorShowCount();

// Windows. New windows get the outer rectangle given to CreateWindowExA, or
// DefaultWindowRect where it says CW_USEDEFAULT; MoveWindow changes it.
struct WindowState {
  bool Exists = false;        // created and not destroyed
  bool Visible = false;
  bool Maximized = false;
  DWORD Style = 0;
  std::string ClassName;
  std::string Caption;
  RECT Rect{0, 0, 0, 0};
};
HWND Window();                                // the last window created, null before any
WindowState State(HWND Wnd = Window());
void SetWindowRect(RECT Rect);                // of Window(), and the default for later windows
void SetDefaultWindowRect(RECT Rect);         // for CW_USEDEFAULT (0,0,800,600 unless set)
bool ClassRegistered(const std::string &ClassName);
WNDCLASSA RegisteredClass(const std::string &ClassName);  // lpszClassName points into the recorder

// What GetStartupInfoA reports: a show command, or none (the default).
void SetStartupShowCommand(int CmdShow);
void ClearStartupShowCommand();

void SetDeleteFiles(bool Really);             // true unless set

// Also writes each call's text to stderr as it is logged (off unless set): the
// log of a child process that ends abruptly, for death tests.
void EchoCalls(bool On);

} // namespace Recording
