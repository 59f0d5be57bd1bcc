// The one world of the library and the entry points that set it up, tear it
// down and hand it out.
#include "Nearby.h"
#include "World.h"

#include "Files.h"

namespace world {

std::vector<TGameObject> Objects;
TPlayer Player;
TFieldSize FieldSize;
int32_t LevelIndex;
int32_t LevelCount;
std::string LevelFile;
float RotateAngle;
float CurrAngle;
float RotateStep;
uint8_t GameState;
TObjectHandler PlayerObjectHandler;

void ReleaseObjects()
{
  std::vector<TGameObject>().swap(Objects);
  nearby::Forget();
}

void ReindexObjects() { nearby::Rebuild(); }

} // namespace world

using namespace world;

void GameInit(void)
{
  PlayerObjectHandler = ProcessPlayerObject;
  RotateStep = 0;
  CurrAngle = 0;
  RotateAngle = 0;
  ReleaseObjects();
}

void GameDeInit(void) { ReleaseObjects(); }

TPlayer GameGetPlayer(void) { return Player; }

TObjArray GameGetObjects(void)
{
  TObjArray A;
  A.Items = Objects.empty() ? nullptr : Objects.data();
  A.Count = static_cast<int32_t>(Objects.size());
  return A;
}

TFieldSize GameGetFieldSize(void) { return FieldSize; }

uint8_t GameGetState(void) { return GameState; }

void GameSetState(uint8_t State)
{
  if (State != 0)
    GameState = State;
  else if (Objects.empty())
    GameState = 1; // no level to play: stay in the menu
  else
    GameState = 0;
}

// The library's file errors are fatal; the program that loads it decides what
// it shows the player first, because only the program knows its window.
void GameSetFatalHandler(TGameFatalHandler Handler) { SetFatalErrorHandler(Handler); }
