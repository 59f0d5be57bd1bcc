// Any bytes as a level file: every level in it loads, plays a few frames of
// input taken from the same bytes (settling each both ways, which must agree),
// and survives a save and a load unchanged.
#include "GamePlay.h"
#include "game.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  const std::string &Path = fuzz::TempName("lvl");
  std::ofstream(Path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);
  GameInit();
  for (int32_t Wanted = 0; Wanted < 3; ++Wanted) {
    int32_t Index = Wanted;
    if (GameLoadMap(Path.c_str(), &Index)) {
      const TFieldSize F = GameGetFieldSize();
      fuzz::Check(F.Width >= 0 && F.Width <= 255 && F.Height >= 0 && F.Height <= 255, "field size out of range");
      fuzz::Play(Data, Size);
      fuzz::SaveAndLoadBack();
    }
  }
  GameNewGame(Path.c_str());
  for (int I = 0; I < 4 && GameGetState() == 0; ++I) {
    fuzz::Play(Data, Size);
    GameNextLevel();
  }
  GameDeInit();
  std::remove(fuzz::TempName("sav").c_str());
  return 0;
}
