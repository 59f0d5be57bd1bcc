// main.cpp -- the program Kestrove: no arguments, files from the current
// directory; on Windows that is the folder GameFolder.h picks.
#include "Kestrove.h"

#ifdef _WIN32
#include <mmsystem.h>

#include <cstdio>
#include <string>

#include "GameFolder.h"
#include "XInputPads.h"

// Sleep wakes on the system timer's tick, 15.6 ms apart unless the program
// asks for 1 ms: the drawing cap sleeps whole milliseconds.
struct TFineTimer {
  TFineTimer() { timeBeginPeriod(1); }
  ~TFineTimer() { timeEndPeriod(1); }
  TFineTimer(const TFineTimer &) = delete;
  TFineTimer &operator=(const TFineTimer &) = delete;
};

// Says why the game cannot start in its folder, on stderr and in a box: no
// window is open yet.
static void ReportNoFolder(const std::wstring &Why)
{
  std::fwprintf(stderr, L"%ls\n", Why.c_str());
  MessageBoxW(nullptr, Why.c_str(), L"Error", MB_OK | MB_ICONERROR);
}
#endif

int main()
{
#ifdef _WIN32
  if (std::wstring Why; !game_folder::EnterGameFolder(Why)) {
    ReportNoFolder(Why);
    return 1;
  }
  const TFineTimer FineTimer;
  const TXInputPads Pads;
#endif
  return KestroveMain();
}
