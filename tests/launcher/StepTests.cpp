// Undo, redo and restart: the world comes back byte for byte, view included;
// moves and pushes are counted in cells; the history stays small on the
// largest level.
#include "LauncherFixture.h"

#include "History.h"
#include "LevelPlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <fstream>
#include <iterator>

namespace {

// The whole world as far as the program can see it: the rules' own save file,
// and the two angles a save does not hold.
struct TWorld {
  std::string Save;
  float Angle = 0, Remaining = 0;
  bool operator==(const TWorld &) const = default;
};

TWorld WorldNow()
{
  GameSave("world.sav");
  std::ifstream In("world.sav", std::ios::binary);
  return {std::string(std::istreambuf_iterator<char>(In), {}), GameGetCurrAngle(), GameGetRotateAngle()};
}

void ReleaseAllKeys() { std::fill(std::begin(KeyState), std::end(KeyState), 0); }

bool WaterLeft()
{
  const TObjArray Objects = GameGetObjects();
  return std::any_of(Objects.Items, Objects.Items + Objects.Count, [](const TGameObject &O) { return O.Kind == okWater; });
}

double BoxX()
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) return Objects.Items[I].Box.x;
  return -1;
}

class StepTest : public LauncherTest {
protected:
  // The player at column 1, a box at 3, water at 5, a mark far off at 8 (11 wide:
  // a width of 10 would be a line feed).
  void PlayWaterLevel()
  {
    Write("maps.ini", "w.lvl=Water\n");
    Write("w.lvl", LevelSet({{"           ", " 9 2 5  3  ", "           "}}));
    WriteConfig({"3DKeys=0"});
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Frame();
  }

  // Holds Key until Done holds, then lets go and lets the world settle.
  void HoldUntil(UINT Key, const std::function<bool()> &Done)
  {
    KeyState[Key] = 1;
    for (int I = 0; I < 400 && !Done(); ++I) Frame();
    ASSERT_TRUE(Done()) << GameGetPlayer().Box.x << "," << GameGetPlayer().Box.y << " box " << BoxX();
    ReleaseAllKeys();
    Settle();
  }

  void Settle()
  {
    for (int I = 0; I < 40; ++I) Frame();
  }

  void Press(UINT Key)
  {
    KeyState[Key] = 1;
    Frame();
    ReleaseAllKeys();
    Settle();
  }
};

TEST_F(StepTest, UndoGivesBackPushFillAndTurnByteForByteAndRedoReplaysThem)
{
  PlayWaterLevel();
  const TWorld Start = WorldNow();
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.5; });  // a push
  const TWorld Pushed = WorldNow();
  HoldUntil(VK_RIGHT, [] { return !WaterLeft(); });  // on into the water
  const TWorld Filled = WorldNow();
  Press(VK_NEXT);  // a view turn, nothing else
  const TWorld Turned = WorldNow();
  ASSERT_NE(Turned.Angle, Filled.Angle);
  ASSERT_NE(Filled.Save, Pushed.Save);
  ASSERT_NE(Pushed.Save, Start.Save);

  const std::vector<TWorld> Expected = {Filled, Pushed, Start};
  for (size_t I = 0; I < Expected.size(); ++I) {
    SCOPED_TRACE("undo " + std::to_string(I + 1));
    Press(I % 2 ? VK_BACK : VK_UNDO);
    EXPECT_TRUE(WorldNow() == Expected[I]);
  }
  Press(VK_UNDO);  // nothing before the start
  EXPECT_TRUE(WorldNow() == Start);
  EXPECT_EQ(GameGetState(), gsPlay);

  for (const TWorld &Next : {Pushed, Filled, Turned}) {
    Press(VK_REDO);
    EXPECT_TRUE(WorldNow() == Next);
  }
  Press(VK_REDO);  // nothing after the last
  EXPECT_TRUE(WorldNow() == Turned);
  EXPECT_FALSE(Exists(UndoFile));
}

// Holding a key down a corridor is one step; a new step ends what could be redone.
TEST_F(StepTest, OneStepPerKeyDownUntilAllKeysAreUp)
{
  PlayWaterLevel();
  const TWorld Start = WorldNow();
  KeyState[VK_RIGHT] = 1;
  for (int I = 0; I < 5; ++I) Frame();
  KeyState[VK_UP] = 1;  // a second key joins the first: the same step
  for (int I = 0; I < 5; ++I) Frame();
  KeyState[VK_RIGHT] = 0;
  for (int I = 0; I < 5; ++I) Frame();
  ReleaseAllKeys();
  Settle();
  Press(VK_UNDO);
  EXPECT_TRUE(WorldNow() == Start);

  Press(VK_DOWN);  // a new step: there is nothing left to redo
  const TWorld Walked = WorldNow();
  Press(VK_REDO);
  EXPECT_TRUE(WorldNow() == Walked);
}

TEST_F(StepTest, RestartGoesBackToTheLevelsStartAndCanBeUndone)
{
  PlayWaterLevel();
  const TWorld Start = WorldNow();
  HoldUntil(VK_RIGHT, [] { return BoxX() > 4.5; });
  const TWorld Pushed = WorldNow();
  const int32_t Moves = LevelPlay.Moves, Pushes = LevelPlay.Pushes;
  EXPECT_EQ(Pushes, 2);
  EXPECT_GE(Moves, 2);

  LevelPlay.PlayedMs += 20000;
  Press(VK_RESTART);
  EXPECT_TRUE(WorldNow() == Start);
  EXPECT_EQ(LevelPlay.Moves, 0);
  EXPECT_EQ(LevelPlay.Pushes, 0);
  EXPECT_LT(LevelSeconds(), 5);
  Press(VK_UNDO);
  EXPECT_TRUE(WorldNow() == Pushed);
  EXPECT_EQ(LevelPlay.Moves, Moves);
  EXPECT_EQ(LevelPlay.Pushes, Pushes);
  EXPECT_GE(LevelSeconds(), 20);
}

// R starts the level again as its set has it, even after a load, and starts
// its clock again with its counters; undoing R brings back all three.
TEST_F(StepTest, RestartAfterALoadGoesBackToTheLevelAsDesignedClockIncluded)
{
  Write("maps.ini", "w.lvl=Water\n");
  Write("w.lvl", LevelSet({{"           ", " 9 2 5  3  ", "           "}}));
  WriteConfig({"3DKeys=0", "SaveFile=game.sav"});
  BeginFramesInMenu();
  GameSetState(gsPlay);
  Frame();
  const TWorld Start = WorldNow();
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.5; });
  const TWorld Pushed = WorldNow();
  LevelPlay.PlayedMs += 30000;
  const int32_t Moves = LevelPlay.Moves, Pushes = LevelPlay.Pushes;
  for (const int32_t Item : {miSave, miLoad}) {
    KeyState[VK_ESCAPE] = 1;
    Frame();
    ReleaseAllKeys();
    Frame();
    RecordingGraph::QueueMenuResults({Item});
    KeyState[VK_LBUTTON] = 1;
    Frame();
    ReleaseAllKeys();
    if (Item == miSave) GameSetState(gsPlay);
  }
  Settle();
  ASSERT_TRUE(WorldNow() == Pushed);
  Press(VK_UNDO);  // the load is no step: nothing to undo
  EXPECT_TRUE(WorldNow() == Pushed);

  Press(VK_RESTART);
  EXPECT_TRUE(WorldNow() == Start);
  EXPECT_EQ(LevelPlay.Moves, 0);
  EXPECT_EQ(LevelPlay.Pushes, 0);
  EXPECT_LT(LevelSeconds(), 5);
  Press(VK_UNDO);
  EXPECT_TRUE(WorldNow() == Pushed);
  EXPECT_EQ(LevelPlay.Moves, Moves);
  EXPECT_EQ(LevelPlay.Pushes, Pushes);
  EXPECT_GE(LevelSeconds(), 30);
  Press(VK_REDO);
  EXPECT_TRUE(WorldNow() == Start);
  EXPECT_LT(LevelSeconds(), 5);
}

// Moves are cells walked, pushes cells a box went, both from the positions.
TEST_F(StepTest, CountsCellsWalkedAndPushed)
{
  PlayWaterLevel();
  HoldUntil(VK_UP, [] { return GameGetPlayer().Box.y > 1.9; });
  EXPECT_EQ(LevelPlay.Moves, 1);
  EXPECT_EQ(LevelPlay.Pushes, 0);
  HoldUntil(VK_DOWN, [] { return GameGetPlayer().Box.y < 1.2; });
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.5; });  // the player from cell 1 to 3, the box from 3 to 4
  EXPECT_EQ(LevelPlay.Moves, 4);
  EXPECT_EQ(LevelPlay.Pushes, 1);
}

// An undo that cannot write its file leaves the world and the history as they were.
TEST_F(StepTest, UndoThatCannotWriteChangesNothing)
{
  PlayWaterLevel();
  HoldUntil(VK_RIGHT, [] { return BoxX() > 3.5; });
  const TWorld Pushed = WorldNow();
  fs::create_directory(Dir / UndoFile);  // no file can take its name
  ::testing::internal::CaptureStderr();
  Press(VK_UNDO);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Undo"), std::string::npos);
  EXPECT_TRUE(WorldNow() == Pushed);
  fs::remove(Dir / UndoFile);
  Press(VK_UNDO);
  EXPECT_FALSE(WorldNow() == Pushed);
}

// 10,000 steps on a 255 x 255 level: the history holds the boxes and water
// twice and each step's changes, never a copy of the level per step.
TEST(HistoryTest, TenThousandStepsOnTheLargestLevelStayWithinTheirBound)
{
  const int Size = 255;
  std::vector<std::string> Rows(Size, std::string(Size, ' '));
  for (int R = 0; R < Size; ++R)
    for (int C = 0; C < Size; ++C) {
      const bool Edge = R == 0 || C == 0 || R == Size - 1 || C == Size - 1;
      Rows[R][C] = Edge || R == 126 || R == 128 ? '1' : "2531"[(R + C) % 4];
    }
  Rows[127] = "19 2" + std::string(Size - 5, ' ') + "1";  // the corridor: a box to push
  const fs::path Dir = fs::temp_directory_path() / ("kestrove-history-" + std::to_string(getpid()));
  fs::create_directories(Dir);
  const std::string File = (Dir / "huge.lvl").string();
  std::ofstream(File, std::ios::binary) << LevelSet({Rows});
  GameInit();
  GameNewGame(File.c_str());
  ASSERT_EQ(GameGetState(), gsPlay);

  THistory History;
  auto Mark = [&] {
    TMoment M;
    M.Player = GameGetPlayer();
    History.Mark(M, GameGetObjects());
  };
  Mark();
  const TMoment Start = History.Present();
  const std::vector<TGameObject> StartObjects = History.TrackedObjects();
  const int Steps = 10000;
  for (int I = 0; I < Steps; ++I) {
    GameMovePlayerX((I / 300) % 2 ? -1.0f : 1.0f);  // push the box along, walk back
    GameProcessPlayer();
    Mark();
  }
  const size_t Tracked = History.TrackedIndexes().size();
  EXPECT_GT(Tracked, 30000u);
  EXPECT_EQ(History.StepCount(), size_t(Steps));
  // Each step holds at most one box, and the step list may have grown to twice its need.
  const size_t Bound = Tracked * (sizeof(int32_t) + 2 * sizeof(TGameObject)) +
                       Steps * (2 * sizeof(THistoryStep) + sizeof(THistoryChange));
  EXPECT_LE(History.Bytes(), Bound);
  EXPECT_LT(Bound, size_t(16) << 20);  // 16 MiB, against 56 GB for a whole save per step
  std::printf("history of %d steps on %dx%d: %zu bytes (bound %zu)\n", Steps, Size, Size, History.Bytes(), Bound);

  while (History.Undo()) {}
  EXPECT_TRUE(SamePlayer(History.Present().Player, Start.Player));
  EXPECT_EQ(0, std::memcmp(History.TrackedObjects().data(), StartObjects.data(),
                           StartObjects.size() * sizeof(TGameObject)));
  GameDeInit();
  fs::remove_all(Dir);
}

}  // namespace
