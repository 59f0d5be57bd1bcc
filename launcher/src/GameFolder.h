// GameFolder.h -- the folder the game runs in on Windows. A copy unpacked from
// the zip runs beside its program; an installed copy (the installer leaves
// InstalledMarker beside the program) runs in the player's own folder,
// %APPDATA%\Kestrove, where the defaults it lacks are copied first. Folders are
// found and entered with the wide-character calls, so that any name works:
// the game's own file names stay relative to the folder it runs in.
#pragma once
#include <filesystem>
#include <string>

namespace game_folder {

inline constexpr const wchar_t *InstalledMarker = L"Kestrove.installed";
inline constexpr const wchar_t *PlayerFolderName = L"Kestrove";

// The program's own folder, of any length; empty with Why when the system does not say.
std::filesystem::path ProgramFolder(std::wstring &Why);
// Whether the copy in Program was installed rather than unpacked.
bool IsInstalledCopy(const std::filesystem::path &Program);
// The player's folder for an installed copy, made when missing; empty with Why otherwise.
std::filesystem::path PlayerFolder(std::wstring &Why);
// Copies each default file of Program (the settings, the map list, the level
// sets, the textures and the fonts) that Player lacks; replaces none.
// False with Why at the first that cannot be copied.
bool CopyMissingDefaults(const std::filesystem::path &Program, const std::filesystem::path &Player,
                         std::wstring &Why);
// Makes Folder the current directory; false with Why when the system refuses.
bool EnterFolder(const std::filesystem::path &Folder, std::wstring &Why);
// All of the above: enters the folder the game runs in; false with Why.
bool EnterGameFolder(std::wstring &Why);

}  // namespace game_folder
