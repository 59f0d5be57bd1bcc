// Any bytes as a level file: every level in it loads, plays a few frames of
// input taken from the same bytes (settling each both ways, which must agree),
// and survives a save and a load unchanged.
#include "World.h"
#include "game.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string &TempName(const char *Suffix)
{
  static std::string Names[2];
  std::string &N = Names[Suffix[0] == 's'];
  if (N.empty()) N = "/tmp/kestrove-fuzz-" + std::to_string(getpid()) + "." + Suffix;
  return N;
}

void Check(bool Ok, const char *What)
{
  if (!Ok) {
    std::fprintf(stderr, "fuzz_level: %s\n", What);
    std::abort();
  }
}

// Settles a frame the plain way, testing every object, then from the same
// world the way play does; both must leave the same world, byte for byte.
// Large worlds only settle the way play does: copying them would swamp the run.
void SettleBothWays()
{
  if (world::Objects.size() > 2000) {
    GameProcessPlayer();
    return;
  }
  const std::vector<TGameObject> Objects = world::Objects;
  const TPlayer Player = world::Player;
  ProcessPlayerAgainstEveryObject();
  const std::vector<TGameObject> Plain = world::Objects;
  const TPlayer PlainPlayer = world::Player;
  world::Objects = Objects; // assigned in place, so the grid built for them stays valid
  world::Player = Player;
  GameProcessPlayer();
  Check(std::memcmp(&PlainPlayer, &world::Player, sizeof Player) == 0, "player settled differently");
  Check(Plain.empty() || std::memcmp(Plain.data(), world::Objects.data(), sizeof(TGameObject) * Plain.size()) == 0,
        "objects settled differently");
}

// A few frames of input: each byte picks moves and turns, as the keys would.
void Play(const uint8_t *Data, size_t Size)
{
  for (size_t I = 0; I < Size && I < 48; ++I) {
    const uint8_t B = Data[I];
    if (GameGetRotateAngle() > -0.5f && GameGetRotateAngle() < 0.5f) {
      GameRoundCurrAngle();
      if (B & 1) GameMovePlayer(1.0f);
      if (B & 2) GameMovePlayer(-1.0f);
      if (B & 4) GameMovePlayerX(1.0f);
      if (B & 8) GameMovePlayerX(-1.0f);
      if ((B & 0x30) == 0x30) { GameRotate(B & 0x40 ? 1 : -1); GameMovePlayer(0.0001f); }
    }
    GameProcessRotate();
    SettleBothWays();
  }
}

void SaveAndLoadBack()
{
  const TPlayer Player = GameGetPlayer();
  const TFieldSize Size = GameGetFieldSize();
  const std::vector<TGameObject> Before = world::Objects;
  const int32_t Index = world::LevelIndex, Count = world::LevelCount;
  GameSave(TempName("sav").c_str());
  GameLoad(TempName("sav").c_str());
  const TPlayer After = GameGetPlayer();
  Check(std::memcmp(&Player.Box, &After.Box, sizeof Player.Box) == 0, "player changed by save and load");
  Check(GameGetFieldSize().Width == Size.Width && GameGetFieldSize().Height == Size.Height,
        "field size changed by save and load");
  Check(world::LevelIndex == Index && world::LevelCount == Count, "level place changed by save and load");
  const TObjArray Objects = GameGetObjects();
  Check(Objects.Count == static_cast<int32_t>(Before.size()), "object count changed by save and load");
  for (int32_t I = 0; I < Objects.Count; ++I)
    Check(std::memcmp(&Objects.Items[I].Box, &Before[I].Box, sizeof(TBox)) == 0 &&
              Objects.Items[I].Kind == Before[I].Kind && Objects.Items[I].OnTarget == Before[I].OnTarget,
          "object changed by save and load");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  const std::string &Path = TempName("lvl");
  std::ofstream(Path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);
  GameInit();
  for (int32_t Wanted = 0; Wanted < 3; ++Wanted) {
    int32_t Index = Wanted;
    if (GameLoadMap(Path.c_str(), &Index)) {
      const TFieldSize F = GameGetFieldSize();
      Check(F.Width >= 0 && F.Width <= 255 && F.Height >= 0 && F.Height <= 255, "field size out of range");
      Play(Data, Size);
      SaveAndLoadBack();
    }
  }
  GameNewGame(Path.c_str());
  for (int I = 0; I < 4 && GameGetState() == 0; ++I) {
    Play(Data, Size);
    GameNextLevel();
  }
  GameDeInit();
  std::remove(TempName("sav").c_str());
  return 0;
}
