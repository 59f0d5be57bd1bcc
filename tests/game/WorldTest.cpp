// The world's set-up, tear-down and getters.
#include "TestWorld.h"

#include <cstring>

namespace {

using WorldTest = TWorldTest;

TEST(FreshWorldTest, NothingLoadedGivesEmptyZeroedState)
{
  // A fresh process: the world as the library is loaded.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const TObjArray A = GameGetObjects();
        const TFieldSize S = GameGetFieldSize();
        const TPlayer P = GameGetPlayer();
        const TPlayer Zero{};
        bool Ok = A.Count == 0 && A.Items == nullptr && S.Width == 0 && S.Height == 0 &&
                  std::memcmp(&P, &Zero, sizeof P) == 0 && GameGetState() == 0;
        GameInit();
        GameMovePlayer(1.0f); // a Step of 0 moves nothing
        GameMovePlayerX(1.0f);
        GameProcessPlayer();
        Ok = Ok && GameGetPlayer().Box.x == 0 && GameGetPlayer().Box.y == 0;
        std::_Exit(Ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(WorldTest, InitEmptiesObjectsAndAnglesOnly)
{
  Play({"129"});
  world::LevelIndex = 4;
  world::CurrAngle = 10;
  world::RotateAngle = 20;
  world::RotateStep = 30;
  const TPlayer P = GameGetPlayer();
  GameInit();
  EXPECT_EQ(GameGetObjects().Count, 0);
  EXPECT_EQ(GameGetCurrAngle(), 0.0f);
  EXPECT_EQ(GameGetRotateAngle(), 0.0f);
  EXPECT_EQ(world::RotateStep, 0.0f);
  EXPECT_EQ(std::memcmp(&world::Player, &P, sizeof P), 0);
  EXPECT_EQ(GameGetFieldSize().Width, 3);
  EXPECT_EQ(world::LevelIndex, 4);
  EXPECT_EQ(world::LevelCount, 1);
  EXPECT_FALSE(world::LevelFile.empty());
  EXPECT_EQ(GameGetState(), 0);
  EXPECT_EQ(world::PlayerObjectHandler, &ProcessPlayerObject);
}

TEST_F(WorldTest, DeInitKeepsThePlayer)
{
  Play({"129"});
  GameDeInit();
  EXPECT_EQ(GameGetObjects().Count, 0);
  EXPECT_EQ(GameGetPlayer().Box.x, 2.15);
  GameSetState(0);
  EXPECT_EQ(GameGetState(), 1);
}

TEST_F(WorldTest, ObjectsAreTheLibrarysOwnStorage)
{
  Play({"2", "9"});
  const TObjArray A = GameGetObjects();
  ASSERT_EQ(A.Count, 1);
  EXPECT_EQ(A.Items, world::Objects.data());
  Frames(3, 1.0f);
  EXPECT_GT(A.Items[0].Box.y, 1.05); // the push shows through the earlier view
}

} // namespace
