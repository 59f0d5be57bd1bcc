// The view's quarter turns: the facing turns at once, the angle eases.
#include "TestWorld.h"

namespace {

using RotationTest = TWorldTest;

// One launcher frame of a turn: snap when nothing is left, then one easing step.
void EaseUntilDone()
{
  for (int I = 0; I < 100 && std::nearbyint(GameGetRotateAngle()) != 0; ++I) GameProcessRotate();
  GameRoundCurrAngle();
}

TEST_F(RotationTest, QuarterTurnEasesAsTabled)
{
  const float Table[18][3] = {
      {0, 90, 22.5f},     {22.5f, 67.5f, 17},  {39.5f, 50.5f, 12.5f}, {52, 38, 9.5f},
      {61.5f, 28.5f, 7},  {68.5f, 21.5f, 5.5f}, {74, 16, 4},          {78, 12, 3},
      {81, 9, 2.25f},     {83.25f, 6.75f, 1.75f}, {85, 5, 1.25f},     {86.25f, 3.75f, 1},
      {87.25f, 2.75f, 0.75f}, {88, 2, 0.5f},  {88.5f, 1.5f, 0.5f},    {89, 1, 0.25f},
      {89.25f, 0.75f, 0.25f}, {89.5f, 0.5f, 0}};
  for (const float Sign : {1.0f, -1.0f}) {
    GameInit();
    GameRotate(Sign > 0 ? 1 : -1);
    for (int Call = 0; Call < 18; ++Call) {
      SCOPED_TRACE(Call + 1);
      GameProcessRotate();
      EXPECT_EQ(GameGetCurrAngle(), Sign * Table[Call][0]);
      EXPECT_EQ(GameGetRotateAngle(), Sign * Table[Call][1]);
      EXPECT_EQ(world::RotateStep, Sign * Table[Call][2]);
    }
    GameProcessRotate(); // stalled: nothing moves any more
    EXPECT_EQ(GameGetCurrAngle(), Sign * 89.5f);
    GameRoundCurrAngle();
    EXPECT_EQ(GameGetCurrAngle(), Sign * 90.0f);
  }
}

TEST_F(RotationTest, FacingTurnsAtOnceAndWraps)
{
  Face(0);
  GameRotate(-1);
  EXPECT_EQ(world::Player.Direction, 3);
  EXPECT_EQ(GameGetRotateAngle(), -90.0f);
  GameRotate(1);
  EXPECT_EQ(world::Player.Direction, 0);
  GameRotate(2);
  EXPECT_EQ(world::Player.Direction, 2);
  EXPECT_EQ(GameGetRotateAngle(), 180.0f);
  GameRotate(-7);
  EXPECT_EQ(world::Player.Direction, 3);
}

TEST_F(RotationTest, FourTurnsAddAFullCircle)
{
  Face(1);
  world::CurrAngle = 90;
  for (int I = 0; I < 4; ++I) {
    GameRotate(1);
    EaseUntilDone();
  }
  EXPECT_EQ(world::Player.Direction, 1);
  EXPECT_EQ(GameGetCurrAngle(), 450.0f);
}

TEST_F(RotationTest, HalfTurnTakesTwentyOneCalls)
{
  GameRotate(2);
  int Calls = 0;
  do {
    GameProcessRotate();
    ++Calls;
  } while (std::nearbyint(GameGetRotateAngle()) != 0);
  EXPECT_EQ(Calls, 21);
  EXPECT_EQ(GameGetRotateAngle(), 0.5f);
}

TEST_F(RotationTest, NewTurnReplacesTheRestOfTheOld)
{
  GameRotate(1);
  for (int I = 0; I < 5; ++I) GameProcessRotate();
  const float Start = GameGetCurrAngle();
  GameRotate(1);
  EXPECT_EQ(GameGetRotateAngle(), 90.0f);
  EaseUntilDone();
  EXPECT_NEAR(GameGetCurrAngle(), Start + 90, 1.0f);
  EXPECT_NE(GameGetCurrAngle(), 180.0f);
}

TEST_F(RotationTest, RestAndRounding)
{
  GameProcessRotate();
  EXPECT_EQ(GameGetCurrAngle(), 0.0f);
  EXPECT_EQ(GameGetRotateAngle(), 0.0f);
  EXPECT_EQ(world::RotateStep, 0.0f);
  const float Cases[][2] = {{89.5f, 90}, {88.5f, 88}, {-89.5f, -90}, {0.5f, 0}, {1.5f, 2}, {12.25f, 12}};
  for (const auto &C : Cases) {
    world::CurrAngle = C[0];
    GameRoundCurrAngle();
    EXPECT_EQ(GameGetCurrAngle(), C[1]) << C[0];
  }
}

TEST_F(RotationTest, NewLevelSwingsByTheLeftoverStepThenEasesBack)
{
  GameRotate(1);
  GameProcessRotate();
  ASSERT_EQ(world::RotateStep, 22.5f);
  Play({"9"});
  EXPECT_EQ(GameGetRotateAngle(), 0.0f);
  EXPECT_EQ(GameGetCurrAngle(), 0.0f); // the start faces +y
  EXPECT_EQ(world::RotateStep, 22.5f);
  GameProcessRotate();
  EXPECT_EQ(GameGetCurrAngle(), 22.5f);
  EXPECT_EQ(GameGetRotateAngle(), -22.5f);
  EaseUntilDone();
  EXPECT_EQ(GameGetCurrAngle(), 0.0f);
}

} // namespace

namespace {

// An undo puts back the angle and the rest of a turn that a save cannot hold;
// the easing goes on from there, without the swing a bare load would leave.
TEST_F(RotationTest, SetViewResumesTheEasingFromThere)
{
  GameRotate(1);
  GameProcessRotate();
  GameProcessRotate();
  const float Angle = GameGetCurrAngle(), Remaining = GameGetRotateAngle(), Step = world::RotateStep;
  for (int I = 0; I < 5; ++I) GameProcessRotate();
  GameSetView(Angle, Remaining);
  EXPECT_EQ(GameGetCurrAngle(), Angle);
  EXPECT_EQ(GameGetRotateAngle(), Remaining);
  EXPECT_EQ(world::RotateStep, Step);

  GameSetView(450.0f, 0.5f);  // a settled view five quarter turns on
  GameProcessRotate();
  EXPECT_EQ(GameGetCurrAngle(), 450.0f);
  EXPECT_EQ(GameGetRotateAngle(), 0.5f);
}

} // namespace
