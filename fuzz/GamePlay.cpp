#include "GamePlay.h"

#include "World.h"
#include "game.h"

#include <cstring>
#include <map>
#include <unistd.h>
#include <vector>

namespace fuzz {

const std::string &TempName(const std::string &Suffix)
{
  static std::map<std::string, std::string> Names;
  std::string &N = Names[Suffix];
  if (N.empty()) N = "/tmp/kestrove-fuzz-" + std::to_string(getpid()) + "." + Suffix;
  return N;
}

namespace {

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

} // namespace

void Play(const uint8_t *Data, std::size_t Size)
{
  for (std::size_t I = 0; I < Size && I < 48; ++I) {
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
  const std::string LevelFile = world::LevelFile;
  const int32_t Index = world::LevelIndex, Count = world::LevelCount;
  GameSave(TempName("sav").c_str());
  GameLoad(TempName("sav").c_str());
  const TPlayer After = GameGetPlayer();
  Check(std::memcmp(&Player.Box, &After.Box, sizeof Player.Box) == 0, "player changed by save and load");
  Check(GameGetFieldSize().Width == Size.Width && GameGetFieldSize().Height == Size.Height,
        "field size changed by save and load");
  Check(world::LevelFile == LevelFile, "level file name changed by save and load");
  Check(world::LevelIndex == Index && world::LevelCount == Count, "level place changed by save and load");
  const TObjArray Objects = GameGetObjects();
  Check(Objects.Count == static_cast<int32_t>(Before.size()), "object count changed by save and load");
  for (int32_t I = 0; I < Objects.Count; ++I)
    Check(std::memcmp(&Objects.Items[I].Box, &Before[I].Box, sizeof(TBox)) == 0 &&
              Objects.Items[I].Kind == Before[I].Kind && Objects.Items[I].OnTarget == Before[I].OnTarget,
          "object changed by save and load");
}

} // namespace fuzz
