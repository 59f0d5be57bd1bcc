// GameFolder.cpp -- finding and entering the game's folder on Windows.
#include "GameFolder.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>
#include <system_error>

namespace game_folder {
namespace fs = std::filesystem;

namespace {

std::wstring SystemMessage(const DWORD Code)
{
  wchar_t *Text = nullptr;
  const DWORD Length =
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, Code, 0, reinterpret_cast<wchar_t *>(&Text), 0, nullptr);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> Owned(Text, &LocalFree);
  std::wstring Message = Length ? std::wstring(Text, Length) : L"error " + std::to_wstring(Code);
  while (!Message.empty() && (Message.back() == L'\n' || Message.back() == L'\r' || Message.back() == L' '))
    Message.pop_back();
  return Message;
}

std::wstring Failed(const wchar_t *What, const fs::path &Where, const DWORD Code)
{
  return std::wstring(What) + L" " + Where.wstring() + L": " + SystemMessage(Code);
}

// Whether Name, a file directly in the program's folder, is one of the defaults.
bool IsDefaultFile(const fs::path &Name)
{
  return Name == L"config.ini" || Name == L"maps.ini" || Name.extension() == L".lvl";
}

// The folders whose every file is a default.
constexpr const wchar_t *DefaultFolders[] = {L"textures", L"fonts"};

bool CopyIfMissing(const fs::path &From, const fs::path &To, std::wstring &Why)
{
  if (CopyFileW(From.c_str(), To.c_str(), TRUE)) return true;
  const DWORD Code = GetLastError();
  if (Code == ERROR_FILE_EXISTS) return true;
  Why = Failed(L"Cannot copy to", To, Code);
  return false;
}

bool MakeFolder(const fs::path &Folder, std::wstring &Why)
{
  if (CreateDirectoryW(Folder.c_str(), nullptr)) return true;
  const DWORD Code = GetLastError();
  if (Code == ERROR_ALREADY_EXISTS) return true;
  Why = Failed(L"Cannot make the folder", Folder, Code);
  return false;
}

}  // namespace

fs::path ProgramFolder(std::wstring &Why)
{
  // The path may be longer than MAX_PATH: the buffer grows until it fits.
  for (DWORD Size = MAX_PATH; Size <= 32768 * 2; Size *= 2) {
    std::wstring Path(Size, L'\0');
    const DWORD Length = GetModuleFileNameW(nullptr, Path.data(), Size);
    if (Length == 0) {
      Why = L"Cannot find the program's own file: " + SystemMessage(GetLastError());
      return {};
    }
    if (Length < Size) {
      Path.resize(Length);
      return fs::path(Path).parent_path();
    }
  }
  Why = L"The program's own path is too long";
  return {};
}

bool IsInstalledCopy(const fs::path &Program)
{
  return GetFileAttributesW((Program / InstalledMarker).c_str()) != INVALID_FILE_ATTRIBUTES;
}

fs::path PlayerFolder(std::wstring &Why)
{
  PWSTR AppData = nullptr;
  const HRESULT Result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &AppData);
  const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> Owned(AppData, &CoTaskMemFree);
  if (FAILED(Result) || !AppData) {
    Why = L"Cannot find the folder for the player's application data: " +
          SystemMessage(static_cast<DWORD>(Result));
    return {};
  }
  const fs::path Folder = fs::path(AppData) / PlayerFolderName;
  return MakeFolder(Folder, Why) ? Folder : fs::path();
}

bool CopyMissingDefaults(const fs::path &Program, const fs::path &Player, std::wstring &Why)
{
  std::error_code Error;
  for (fs::directory_iterator It(Program, Error), End; !Error && It != End; It.increment(Error)) {
    const fs::path Name = It->path().filename();
    if (It->is_regular_file(Error) && IsDefaultFile(Name) && !CopyIfMissing(It->path(), Player / Name, Why))
      return false;
  }
  for (const wchar_t *Folder : DefaultFolders) {
    const fs::path From = Program / Folder;
    if (!fs::is_directory(From, Error)) continue;
    if (!MakeFolder(Player / Folder, Why)) return false;
    for (fs::directory_iterator It(From, Error), End; !Error && It != End; It.increment(Error))
      if (It->is_regular_file(Error) && !CopyIfMissing(It->path(), Player / Folder / It->path().filename(), Why))
        return false;
  }
  if (Error) Why = L"Cannot read the folder " + Program.wstring() + L": " + fs::path(Error.message()).wstring();
  return !Error;
}

bool EnterFolder(const fs::path &Folder, std::wstring &Why)
{
  if (SetCurrentDirectoryW(Folder.c_str())) return true;
  DWORD Code = GetLastError();
  // A system that keeps the current directory under MAX_PATH may still take
  // the folder's short name.
  std::wstring Short(32768, L'\0');
  const DWORD Length = GetShortPathNameW(Folder.c_str(), Short.data(), static_cast<DWORD>(Short.size()));
  if (Length > 0 && Length < Short.size()) {
    Short.resize(Length);
    if (SetCurrentDirectoryW(Short.c_str())) return true;
    Code = GetLastError();
  }
  Why = Failed(L"Cannot enter the folder", Folder, Code);
  return false;
}

bool EnterGameFolder(std::wstring &Why)
{
  const fs::path Program = ProgramFolder(Why);
  if (Program.empty()) return false;
  if (!IsInstalledCopy(Program)) return EnterFolder(Program, Why);
  const fs::path Player = PlayerFolder(Why);
  return !Player.empty() && CopyMissingDefaults(Program, Player, Why) && EnterFolder(Player, Why);
}

}  // namespace game_folder
