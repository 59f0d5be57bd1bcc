// main.cpp -- the program Kestrove: no arguments, files from the current
// directory; on Windows that is the program's own folder.
#include "Kestrove.h"

#ifdef _WIN32
#include <string>

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
#endif
  return KestroveMain();
}
