// Any bytes as a save file: each either loads a field that a level can have (at
// most 255 cells each way), plays a few frames and survives a save and a load
// unchanged, or ends in the one report a save can end in, "Runtime error 100"
// for a damaged file: one that ends before its declared counts, or claims a
// field no level has. The fatal handler throws here, and only here, so that
// the run goes on.
#include "GamePlay.h"
#include "World.h"
#include "game.h"

#include <cstdint>
#include <cstdio>
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  const std::string &Path = fuzz::TempName("in.sav");
  std::ofstream(Path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);
  GameInit();
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
