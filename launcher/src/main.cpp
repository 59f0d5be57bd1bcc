// main.cpp -- the program Kestrove: no arguments, files from the current
// directory; on Windows that is the program's own folder.
#include "Kestrove.h"

#ifdef _WIN32
#include <mmsystem.h>

#include <string>

#include "XInputPads.h"

// Sleep wakes on the system timer's tick, 15.6 ms apart unless the program
// asks for 1 ms: the drawing cap sleeps whole milliseconds.
struct TFineTimer {
  TFineTimer() { timeBeginPeriod(1); }
  ~TFineTimer() { timeEndPeriod(1); }
  TFineTimer(const TFineTimer &) = delete;
  TFineTimer &operator=(const TFineTimer &) = delete;
};

// config.ini and the saves live next to Kestrove.exe, wherever the player
// unpacked it and whatever folder it is started from.
static void EnterProgramFolder()
{
  char Path[MAX_PATH];
  const DWORD Length = GetModuleFileNameA(nullptr, Path, MAX_PATH);
  if (Length == 0 || Length >= MAX_PATH) return;
  std::string Folder(Path, Length);
  Folder.erase(Folder.find_last_of("\\/") + 1);
  SetCurrentDirectoryA(Folder.c_str());
}
#endif

int main()
{
#ifdef _WIN32
  EnterProgramFolder();
  const TFineTimer FineTimer;
  const TXInputPads Pads;
#endif
  return KestroveMain();
}
