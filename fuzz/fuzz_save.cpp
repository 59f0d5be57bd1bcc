// Any bytes as a save file: each either loads a field that a level can have (at
// most 255 cells each way), plays a few frames and survives a save and a load
// unchanged, or ends in the one report a save can end in, "Runtime error 100"
// for a damaged file: one that ends before its declared counts, or claims a
// field no level has. The fatal handler throws here, and only here, so that
// the run goes on.
//
// The launcher reads the same bytes for what the rules keep to themselves: the
// level file's name, the level's place in its set and the "PLAY" counters.
// It reads only within them, keeps only sensible values, and agrees with the
// rules on every file they load.
#include "GamePlay.h"
#include "SaveTrailer.h"
#include "World.h"
#include "game.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct TFatal {
  int32_t Code;
  std::string Text;
};

void ThrowFatal(int32_t Code, const char *Text) { throw TFatal{Code, Text}; }

// Whether the world is the one in place before the failed load.
bool Unchanged(const std::vector<TGameObject> &Objects, const std::string &LevelFile)
{
  return world::Objects.size() == Objects.size() && world::LevelFile == LevelFile;
}

// The level file's name as the bytes declare it; -1 where they declare none.
int64_t NameLengthIn(const std::string &Bytes)
{
  if (Bytes.size() < 92) return -1;
  int32_t N = 0;
  std::memcpy(&N, Bytes.data() + 88, 4);
  return N;
}

TSavedGame ReadAsTheLauncher(const std::string &Bytes)
{
  const TSavedGame Saved = ReadSavedGameBytes(Bytes);
  fuzz::Check(Saved.Index == -1 || (Saved.Index >= 0 && Saved.Index < INT32_MAX),
              "the launcher took a level's place the rules refuse");
  fuzz::Check(!Saved.Counted || Saved.Index >= 0, "the launcher took counters without the level's place");
  fuzz::Check(!Saved.Counted || (Saved.Moves >= 0 && Saved.Pushes >= 0 && Saved.PlayedMs / 1000 <= INT32_MAX),
              "the launcher took counters no play can reach");
  fuzz::Check(Saved.LevelFile.empty() ||
                  (NameLengthIn(Bytes) == int64_t(Saved.LevelFile.size()) &&
                   Bytes.compare(92, Saved.LevelFile.size(), Saved.LevelFile) == 0),
              "the launcher read a level file's name other than the bytes'");
  return Saved;
}

// The rules loaded the bytes: the launcher knows the same file and place.
// (LevelIndex was -1 before the load: it stays so where the place is not known.)
void CheckAgreement(const TSavedGame &Saved)
{
  fuzz::Check(world::LevelFile == Saved.LevelFile, "the launcher and the rules read different level files");
  fuzz::Check(world::LevelIndex == Saved.Index, "the launcher and the rules read different places in the set");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  const std::string &Path = fuzz::TempName("in.sav");
  std::ofstream(Path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);
  const TSavedGame Saved = ReadAsTheLauncher(std::string(reinterpret_cast<const char *>(Data), Size));
  GameInit();
  const int32_t InitialIndex = world::LevelIndex;
  world::LevelIndex = -1;
  const std::vector<TGameObject> Before = world::Objects;
  const std::string BeforeFile = world::LevelFile;
  // A fatal error takes the handler away: it is installed again for every load.
  GameSetFatalHandler(ThrowFatal);
  try {
    GameLoad(Path.c_str());
  } catch (const TFatal &F) {
    const std::string Expected = "Runtime error 100: \"" + Path + "\": read beyond end of file";
    if (F.Code != 100 || F.Text != Expected) std::fprintf(stderr, "fatal %d: %s\n", F.Code, F.Text.c_str());
    fuzz::Check(F.Code == 100 && F.Text == Expected, "a save ended in another fatal report");
    fuzz::Check(Unchanged(Before, BeforeFile), "a failed load changed the world");
    GameSetFatalHandler(nullptr);
    GameDeInit();
    return 0;
  }
  GameSetFatalHandler(nullptr);
  CheckAgreement(Saved);
  if (world::LevelIndex == -1) world::LevelIndex = InitialIndex;
  fuzz::Check(GameGetState() == gsPlay || GameGetState() == gsMenu, "a load left an unknown screen");
  const TFieldSize Field = GameGetFieldSize();
  fuzz::Check(Field.Width >= 0 && Field.Width <= 255 && Field.Height >= 0 && Field.Height <= 255,
              "a load took a field no level can have");
  fuzz::Play(Data, Size);
  fuzz::SaveAndLoadBack();
  GameDeInit();
  std::remove(fuzz::TempName("sav").c_str());
  return 0;
}
