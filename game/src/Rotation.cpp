// The view turns in quarter turns. The facing turns at once; the drawn angle
// eases after it, each frame covering a quarter of the rounded remainder.
#include "World.h"

#include <cmath>

using namespace world;

void GameRotate(int32_t Quarters)
{
  RotateAngle = static_cast<float>(int64_t(Quarters) * 90);
  const int64_t Turned = (int64_t(Player.Direction) + Quarters) % 4;
  Player.Direction = static_cast<uint8_t>(Turned < 0 ? Turned + 4 : Turned);
}

float GameGetRotateAngle(void) { return RotateAngle; }

// Rounds to the nearest whole degree, ties to even.
void GameRoundCurrAngle(void) { CurrAngle = std::nearbyint(CurrAngle); }

float GameGetCurrAngle(void) { return CurrAngle; }

void GameProcessRotate(void)
{
  CurrAngle = CurrAngle + RotateStep;
  RotateAngle = RotateAngle - RotateStep;
  RotateStep = std::nearbyint(RotateAngle) / 4.0f;
}

// A save file holds only the facing, so an undo puts the view back itself: the
// easing goes on from there as if the turn had reached this point.
void GameSetView(float Angle, float Remaining)
{
  CurrAngle = Angle;
  RotateAngle = Remaining;
  RotateStep = std::nearbyint(RotateAngle) / 4.0f;
}
