// Writes a level file, a save and a config.ini into a directory, or reads them
// back and prints what they hold, one fact a line. Built for Linux and for
// Windows, the two builds must write the same bytes, read each other's files
// the same way, and fail the same way on a missing or cut-short save.
#include "Conf.h"
#include "Files.h"
#include "game.h"

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char *const LevelName = "set.lvl";
const char *const SaveName = "game.sav";
const char *const ConfName = "config.ini";

// Two levels; the first has a box to push, a target and water.
std::string LevelBytes()
{
  const char *const Rows[] = {"\x02\n", "\x04\x04\n", "  3 \n", "  2 \n", "1 9 \n", "5  2\n",
                              "\x03\x02\n", "1 2\n", "  3\n"};
  std::string Bytes;
  for (const char *Row : Rows) Bytes += Row;
  return Bytes;
}

void WriteFiles()
{
  WriteWholeFile(LevelName, LevelBytes());

  GameInit();
  GameNewGame(LevelName);
  for (int Frame = 0; Frame < 12; ++Frame) {
    GameMovePlayer(1.0f);
    GameMovePlayerX(0.25f);
    GameProcessPlayer();
  }
  GameRotate(1);
  for (int Frame = 0; Frame < 30; ++Frame) GameProcessRotate();
  GameSave(SaveName);
  GameDeInit();

  TConf Conf;
  Conf.SetValue("FullScreen", "0");
  Conf.SetValue("Mode", "5");
  Conf.SetValue("Maps", "maps.ini");
  Conf.SetValue("Title", "Caf\xe9 \"levels\" = 8-bit");
  Conf.Save(ConfName);
}

void PrintDouble(const char *Name, double V) { std::printf("%s %016" PRIx64 "\n", Name, std::bit_cast<uint64_t>(V)); }
void PrintFloat(const char *Name, float V) { std::printf("%s %08" PRIx32 "\n", Name, std::bit_cast<uint32_t>(V)); }

void PrintBox(const TBox &B)
{
  PrintDouble("x", B.x);
  PrintDouble("y", B.y);
  PrintDouble("z", B.z);
  PrintDouble("sx", B.sx);
  PrintDouble("sy", B.sy);
  PrintDouble("sz", B.sz);
}

void PrintWorld(const char *Heading)
{
  std::printf("[%s]\n", Heading);
  const TPlayer P = GameGetPlayer();
  PrintBox(P.Box);
  std::printf("direction %d\n", P.Direction);
  PrintFloat("step", P.Step);
  PrintFloat("angle", GameGetCurrAngle());
  const TFieldSize Size = GameGetFieldSize();
  std::printf("field %" PRId32 "x%" PRId32 "\n", Size.Width, Size.Height);
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I) {
    const TGameObject &O = Objects.Items[I];
    std::printf("object %" PRId32 " kind %d on target %" PRId32 "\n", I, O.Kind, O.OnTarget);
    PrintBox(O.Box);
  }
}

void ReadFiles()
{
  TConf Conf;
  Conf.Load(ConfName);
  std::printf("[%s]\n", ConfName);
  for (int32_t I = 0; I < Conf.Count(); ++I) std::printf("%s=%s\n", Conf.KeyAt(I).c_str(), Conf.ValueAt(I).c_str());

  GameInit();
  GameLoad(SaveName);
  PrintWorld(SaveName);
  GameNewGame(LevelName);
  PrintWorld(LevelName);
  GameNextLevel();
  PrintWorld("next level");
  GameDeInit();
}

// The library's fatal file errors, which end the process with the error's
// number after its one line on stderr: a save that is not there, and one cut
// short (made from the written save).
void LoadBadSave(const std::string &Case)
{
  std::string Name = "missing.sav";
  if (Case == "short") {
    Name = "short.sav";
    WriteWholeFile(Name, ReadWholeFile(SaveName).substr(0, 10));
  }
  GameInit();
  GameLoad(Name.c_str());
  std::printf("%s loaded\n", Name.c_str());
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
  // The report and the error line must be the same bytes on both systems: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const std::string Mode = argc == 3 ? argv[1] : "";
  if (Mode != "write" && Mode != "read" && Mode != "missing" && Mode != "short") {
    std::fprintf(stderr, "usage: %s write|read|missing|short DIRECTORY\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::current_path(argv[2]);
  } catch (const std::exception &E) {
    std::fprintf(stderr, "%s\n", E.what());
    return 1;
  }
  if (Mode == "write") WriteFiles();
  else if (Mode == "read") ReadFiles();
  else LoadBadSave(Mode);
  return 0;
}
