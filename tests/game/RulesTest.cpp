// The rules of play, frame by frame as the launcher drives them: one move per
// held key, then one GameProcessPlayer.
#include "TestWorld.h"

namespace {

using RulesTest = TWorldTest;

constexpr double Tiny = 1e-6;

TEST_F(RulesTest, MovesFollowTheFacing)
{
  Play({"   ", " 9 ", "   "});
  const double X = PlayerBox().x, Y = PlayerBox().y;
  const float D = 0.1f * 2.0f;
  struct { int Dir; double Fx, Fy, Sx, Sy; } Table[] = {
      {0, 0, D, D, 0}, {1, D, 0, 0, -D}, {2, 0, -D, -D, 0}, {3, -D, 0, 0, D}};
  for (const auto &T : Table) {
    SCOPED_TRACE(T.Dir);
    Face(T.Dir);
    world::Player.Box.x = X;
    world::Player.Box.y = Y;
    GameMovePlayer(2.0f);
    EXPECT_EQ(PlayerBox().x, X + T.Fx);
    EXPECT_EQ(PlayerBox().y, Y + T.Fy);
    world::Player.Box.x = X;
    world::Player.Box.y = Y;
    GameMovePlayerX(2.0f);
    EXPECT_EQ(PlayerBox().x, X + T.Sx);
    EXPECT_EQ(PlayerBox().y, Y + T.Sy);
  }
  // Only the two low bits of the facing count, and they are stored back.
  Face(255);
  world::Player.Box.x = X;
  GameMovePlayer(1.0f);
  EXPECT_EQ(world::Player.Direction, 3);
  EXPECT_EQ(PlayerBox().x, X - double(0.1f));
}

TEST_F(RulesTest, MovesAddUpUntilSettled)
{
  Play({"   ", " 9 ", "   "});
  const double Y = PlayerBox().y;
  GameMovePlayer(1.0f);
  GameMovePlayer(1.0f);
  EXPECT_EQ(world::Player.PrevPos.y, Y);
  GameProcessPlayer();
  EXPECT_NEAR(PlayerBox().y, Y + 0.2, Tiny);
  EXPECT_EQ(world::Player.PrevPos.y, PlayerBox().y);
}

TEST_F(RulesTest, WallStopsThePlayerHeadOn)
{
  Play({"1", " ", "9"});
  double LastFree = PlayerBox().y;
  for (int F = 0; F < 20; ++F) {
    Frame(1.0f);
    EXPECT_LT(PlayerBox().y + 0.7, 2.05) << "frame " << F; // never inside the wall
    if (PlayerBox().y == LastFree) break;
    LastFree = PlayerBox().y;
  }
  // Once blocked the player stays exactly where the last free frame left it.
  Frames(3, 1.0f);
  EXPECT_EQ(PlayerBox().y, LastFree);
  EXPECT_EQ(world::Player.PrevPos.y, LastFree);
  EXPECT_NEAR(PlayerBox().y, 1.25, Tiny); // 0.1 short of the wall
}

TEST_F(RulesTest, DiagonalMoveSlidesAlongAWall)
{
  Play({"111", "   ", "9  "});
  Frames(15, 1.0f); // up against the wall row
  const double Y = PlayerBox().y;
  const double X = PlayerBox().x;
  Frames(5, 1.0f, 1.0f); // forward and sideways together
  EXPECT_EQ(PlayerBox().y, Y);
  EXPECT_NEAR(PlayerBox().x, X + 0.5, Tiny);
}

TEST_F(RulesTest, PlayerPushesABoxByItsOwnDisplacement)
{
  Play({"    ", "    ", "2   ", "9   "});
  // The player starts 0.1 below the box and touches it after one step.
  Frame(1.0f);
  EXPECT_EQ(Obj(0).Box.y, 1.05);
  const double PlayerBefore = PlayerBox().y;
  Frame(1.0f);
  const double Moved = PlayerBox().y - PlayerBefore;
  EXPECT_NEAR(Obj(0).Box.y, 1.05 + Moved, 1e-15);
  EXPECT_EQ(Obj(0).Box.x, 0.05);
  EXPECT_EQ(Obj(0).Box.z, 0.0);
  EXPECT_EQ(Obj(0).SavedPos.y, 1.05);
  Frames(5, 1.0f);
  // While pushing, the player trails the box by one step.
  EXPECT_NEAR(Obj(0).Box.y - (PlayerBox().y + 0.7), 0.1, Tiny);
  EXPECT_NEAR(Obj(0).Box.y, 1.05 + 0.6, Tiny);
}

TEST_F(RulesTest, BoxAgainstAWallDoesNotMove)
{
  Play({"1", "2", "9"});
  Frames(10, 1.0f);
  EXPECT_EQ(Obj(1).Box.y, 1.05);
  EXPECT_EQ(Obj(1).Kind, okBox);
  // The player stands 0.1 short of the box.
  EXPECT_NEAR(PlayerBox().y + 0.7, 0.95, Tiny);
  EXPECT_EQ(world::Player.PrevPos.y, PlayerBox().y);
}

TEST_F(RulesTest, BoxComesToRestOneGapShortOfAWall)
{
  Play({"1", " ", "2", "9"});
  Frames(30, 1.0f);
  EXPECT_NEAR(Obj(1).Box.y, 2.05, 1e-6); // on the free cell, 0.1 below the wall
  EXPECT_LT(Obj(1).Box.y + 0.9, 3.05);
  const TGameObject Rest = Obj(1);
  const TPlayer P = GameGetPlayer();
  Frames(5, 1.0f);
  EXPECT_EQ(Obj(1).Box.y, Rest.Box.y);
  EXPECT_EQ(PlayerBox().y, P.Box.y);
}

TEST_F(RulesTest, BoxCannotBePushedIntoAnotherBox)
{
  Play({"2", " ", "2", "9"});
  Frames(30, 1.0f);
  EXPECT_EQ(Obj(0).Box.y, 3.05);
  EXPECT_NEAR(Obj(1).Box.y, 2.05, 1e-6);
  const double Y = Obj(1).Box.y;
  Frames(5, 1.0f);
  EXPECT_EQ(Obj(0).Box.y, 3.05);
  EXPECT_EQ(Obj(1).Box.y, Y);
  EXPECT_LT(PlayerBox().y + 0.7, Y);
}

TEST_F(RulesTest, BoxOnADestinationIsMarkedUntilPushedOff)
{
  Play({"   ", "   ", "   ", "3  ", "2  ", "9  "});
  int MarkedAt = -1;
  for (int F = 0; F < 40 && MarkedAt < 0; ++F) {
    Frame(1.0f);
    if (Obj(1).OnTarget == 1) MarkedAt = F;
  }
  ASSERT_GE(MarkedAt, 0);
  // Marked once the box reaches halfway over the destination.
  EXPECT_GE(Obj(1).Box.y + 0.5, 2.0);
  EXPECT_LT(Obj(1).Box.y + 0.4, 2.0);
  Frames(20, 1.0f);
  EXPECT_EQ(Obj(1).OnTarget, 0);
  EXPECT_GT(Obj(1).Box.y, 3.0);
}

TEST_F(RulesTest, MarkStaysOnABoxThatIsNotPushed)
{
  Play({"3", "2", "9"});
  Frames(8, 1.0f);
  ASSERT_EQ(Obj(1).OnTarget, 1);
  // Walking away does not re-evaluate the box.
  Frames(5, -1.0f);
  EXPECT_EQ(Obj(1).OnTarget, 1);
}

TEST_F(RulesTest, StartingOnADestinationCountsAsCovered)
{
  Play({"4 9"});
  EXPECT_EQ(Obj(0).Kind, okTarget);
  EXPECT_EQ(Obj(1).OnTarget, 1);
}

TEST_F(RulesTest, BoxFillsWaterFromEveryDirection)
{
  struct { std::initializer_list<std::string> Rows; int Dir; } Cases[] = {
      {{"5", "2", "9"}, 0}, {{"925"}, 1}, {{"9", "2", "5"}, 2}, {{"529"}, 3}};
  for (const auto &C : Cases) {
    SCOPED_TRACE(C.Dir);
    Play(C.Rows);
    Face(C.Dir);
    const int Water = Obj(0).Kind == okWater ? 0 : 1;
    const int Box = 1 - Water;
    int Frame = 0;
    for (; Frame < 20 && Obj(Water).Kind == okWater; ++Frame) {
      RulesTest::Frame(1.0f);
      // The player, trailing the box, never reaches the water before it is filled.
      if (Obj(Water).Kind == okWater) {
        EXPECT_FALSE(BoxesIntersect(PlayerBox(), Obj(Water).Box));
      }
    }
    EXPECT_EQ(Frame, 11); // one step to touch, ten to sink
    EXPECT_EQ(Obj(Water).Kind, okInert);
    EXPECT_EQ(Obj(Box).Kind, okInert);
    EXPECT_TRUE(BoxesNested(Obj(Box).Box, Obj(Water).Box));
    // The filled cell can now be crossed: nothing holds the player back.
    const TPlayer Before = GameGetPlayer();
    Frames(15, 1.0f);
    const double Moved = std::abs(PlayerBox().x - Before.Box.x) + std::abs(PlayerBox().y - Before.Box.y);
    EXPECT_NEAR(Moved, 1.5, Tiny);
  }
}

TEST_F(RulesTest, WaterStopsThePlayer)
{
  Play({"5", " ", "9"});
  Frames(20, 1.0f);
  EXPECT_NEAR(PlayerBox().y + 0.7, 1.95, Tiny);
  EXPECT_EQ(Obj(0).Kind, okWater);
}

TEST_F(RulesTest, NothingToSettleOnlyRecordsThePlace)
{
  Play({"9"});
  GameMovePlayer(3.0f);
  GameProcessPlayer();
  EXPECT_EQ(world::Player.PrevPos.y, PlayerBox().y);
}

TEST_F(RulesTest, InertAndDestinationsLetThePlayerThrough)
{
  Play({"0", "3", "9"});
  Frames(20, 1.0f);
  EXPECT_NEAR(PlayerBox().y, 0.15 + 2.0, Tiny);
}

} // namespace

namespace {

using RulesTest = TWorldTest;

TEST_F(RulesTest, BoxPutBackBesideACoveredDestinationIsNotMarked)
{
  // The pushed box touches the destination under the standing box and is
  // stopped by that box: it must not count as covering a destination.
  Play({"9 2 4 3"});
  Face(1);
  Frames(30, 1.0f);
  ASSERT_EQ(Obj(0).Kind, okBox);
  EXPECT_NEAR(Obj(0).Box.x, 3.05, Tiny);
  EXPECT_EQ(Obj(0).OnTarget, 0);
  EXPECT_EQ(Obj(2).OnTarget, 1);
  int Marked = 0, Targets = 0;
  for (int I = 0; I < ObjCount(); ++I) {
    Marked += Obj(I).Kind == okBox && Obj(I).OnTarget == 1;
    Targets += Obj(I).Kind == okTarget;
  }
  EXPECT_LT(Marked, Targets);
}

TEST_F(RulesTest, BoxPutBackOntoItsDestinationKeepsItsMark)
{
  // A box standing on a destination, pushed against a wall, stays marked.
  Play({"941"});
  Face(1);
  Frames(10, 1.0f);
  EXPECT_EQ(Obj(1).OnTarget, 1);
  EXPECT_EQ(Obj(1).Box.x, 1.05);
}

} // namespace
