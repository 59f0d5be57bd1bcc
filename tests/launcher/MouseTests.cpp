// Play with the mouse through the recording platform and renderer: the
// recording renderer picks as a plan view, RecordingGraph::PickCellSize
// pixels a cell. A click walks or pushes through the real rules exactly as
// held keys would; a walk stops at the next cell on a key, a click or Escape;
// a walk or push is one step for undo.
#include "LauncherFixture.h"

#include "LevelPlay.h"
#include "MousePlay.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

struct TWorld {
  std::string Save;
  float Angle = 0;
  bool operator==(const TWorld &) const = default;
};

TWorld WorldNow()
{
  GameSave("world.sav");
  std::ifstream In("world.sav", std::ios::binary);
  return {std::string(std::istreambuf_iterator<char>(In), {}), GameGetCurrAngle()};
}

struct TCellXY {
  int X = 0, Y = 0;
  bool operator==(const TCellXY &) const = default;
};

TCellXY CellOf(const TBox &B) { return {int(std::floor(B.x + B.sx / 2)), int(std::floor(B.y + B.sy / 2))}; }
TCellXY PlayerCell() { return CellOf(GameGetPlayer().Box); }

// The player rests in its cell as a walk leaves it: within half a step of its place there.
bool PlayerRests()
{
  const TBox B = GameGetPlayer().Box;
  const TCellXY C = CellOf(B);
  return std::abs(B.x - (C.X + 0.15)) <= 0.05 && std::abs(B.y - (C.Y + 0.15)) <= 0.05;
}

int32_t CountOfKind(uint8_t Kind)
{
  const TObjArray Objects = GameGetObjects();
  return int32_t(std::count_if(Objects.Items, Objects.Items + Objects.Count,
                               [Kind](const TGameObject &O) { return O.Kind == Kind; }));
}

std::vector<TCellXY> BoxCells()
{
  std::vector<TCellXY> Cells;
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) Cells.push_back(CellOf(Objects.Items[I].Box));
  return Cells;
}

// The movement calls of each frame, as the rules saw them.
using TFrameMoves = std::vector<std::string>;

class MouseTest : public LauncherTest {
protected:
  // 9 columns, 5 row lines, walled round; the first row is y = 4. The player
  // at (1,2), a box at (4,2), water at (6,2), walls at (2,3) and (1,1),
  // marks at (7,1) and (5,3). No box can get to (1,3): it would be pushed up from (1,2),
  // the player standing in the wall below.
  void PlayMouseLevel()
  {
    Write("maps.ini", "m.lvl=Mouse\n");
    Write("m.lvl", LevelSet({{"111111111", "1 1  3  1", "19  2 5 1", "11     31", "111111111"}}));
    WriteConfig({"3DKeys=0"});
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Frame();
  }

  void Point(int X, int Y)
  {
    const int32_t Left = Engine ? Engine->Left() : 0, Top = Engine ? Engine->Top() : 0;
    Recording::SetCursorPos(Left + X * RecordingGraph::PickCellSize + 5, Top + Y * RecordingGraph::PickCellSize + 5);
  }
  // The movement calls of the frames since the log was last cleared.
  static TFrameMoves MovesLogged()
  {
    TFrameMoves Moves;
    for (const RecordingGraph::TCall &Call : RecordingGraph::Log())
      if (Call.Name == "GameMovePlayer" || Call.Name == "GameMovePlayerX") Moves.push_back(Call.Text());
    RecordingGraph::ClearLog();
    return Moves;
  }
  // A click on the cell, in one frame: its movement calls (a walk starts at once).
  TFrameMoves Click(int X, int Y)
  {
    Point(X, Y);
    RecordingGraph::ClearLog();
    KeyState[VK_LBUTTON] = 1;  // as the window procedure records a press
    Frame();
    return MovesLogged();
  }
  void RightClick()
  {
    KeyState[VK_RBUTTON] = 1;
    Frame();
  }
  // Frames until the walk is over; the movement calls of each.
  std::vector<TFrameMoves> WalkOut()
  {
    std::vector<TFrameMoves> Frames;
    RecordingGraph::ClearLog();
    for (int I = 0; I < 2000 && WalkUnderWay(); ++I) {
      Frame();
      Frames.push_back(MovesLogged());
    }
    EXPECT_FALSE(WalkUnderWay());
    return Frames;
  }
  // The same frames played by held arrow keys (sideways steps, no view turns).
  void HoldKeys(const std::vector<TFrameMoves> &Frames)
  {
    for (const TFrameMoves &Moves : Frames) {
      for (const std::string &Move : Moves) {
        if (Move == "GameMovePlayer(1)") KeyState[VK_UP] = 1;
        else if (Move == "GameMovePlayer(-1)") KeyState[VK_DOWN] = 1;
        else if (Move == "GameMovePlayerX(-1)") KeyState[VK_LEFT] = 1;
        else if (Move == "GameMovePlayerX(1)") KeyState[VK_RIGHT] = 1;
        else ADD_FAILURE() << "a walk made a move no key makes: " << Move;
      }
      Frame();
      for (const UINT Key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) KeyState[Key] = 0;
    }
  }
};

TEST_F(MouseTest, ClickWalksThereAsHeldKeysWouldByteForByte)
{
  PlayMouseLevel();
  const TWorld Start = WorldNow();
  std::vector<TFrameMoves> Frames = {Click(5, 3)};
  const std::vector<TFrameMoves> Walk = WalkOut();
  Frames.insert(Frames.end(), Walk.begin(), Walk.end());
  EXPECT_EQ(PlayerCell(), (TCellXY{5, 3}));
  EXPECT_TRUE(PlayerRests());
  EXPECT_GE(Frames.size(), 45u) << "walked at the rules' pace, a cell in ten frames or so";
  EXPECT_EQ(LevelPlay.Moves, 5) << "round the box: two along, one up, two along";
  const TWorld Walked = WorldNow();

  // The same level again, the same frames by held keys.
  LevelStarted(0);
  GameNewGame("m.lvl");
  GameSetState(gsPlay);
  Frame();
  ASSERT_TRUE(WorldNow() == Start);
  HoldKeys(Frames);
  EXPECT_TRUE(WorldNow() == Walked);
}

TEST_F(MouseTest, ChosenBoxShowsWhereItCanGoAndIsPushedThereInOneStep)
{
  PlayMouseLevel();
  Point(3, 1);
  Frame();
  EXPECT_EQ(RecordingGraph::LastCellMarks().HoverX, 3);
  EXPECT_EQ(RecordingGraph::LastCellMarks().HoverY, 1);
  EXPECT_EQ(RecordingGraph::LastCellMarks().BoxX, -1);

  Click(4, 2);  // the box
  const RecordingGraph::TCellMarksCopy Marks = RecordingGraph::LastCellMarks();
  EXPECT_EQ(Marks.BoxX, 4);
  EXPECT_EQ(Marks.BoxY, 2);
  EXPECT_TRUE(Marks.Marked(7, 1)) << "the mark";
  EXPECT_TRUE(Marks.Marked(6, 2)) << "the water";
  EXPECT_FALSE(Marks.Marked(4, 2)) << "where it stands";
  EXPECT_FALSE(Marks.Marked(2, 3)) << "a wall";
  EXPECT_TRUE(Marks.Marked(7, 3)) << "a corner: it can be pushed there, if never out again";
  EXPECT_FALSE(Marks.Marked(1, 3)) << "nobody can push it there";

  const TWorld Before = WorldNow();
  Click(7, 1);
  WalkOut();
  EXPECT_EQ(BoxCells(), (std::vector<TCellXY>{{7, 1}}));
  EXPECT_GT(LevelPlay.Pushes, 0);
  EXPECT_EQ(RecordingGraph::LastCellMarks().BoxX, -1) << "the box is let go once pushed";

  KeyState[VK_UNDO] = 1;  // the whole push is one step
  Frame();
  KeyState[VK_UNDO] = 0;
  Frame();
  EXPECT_TRUE(WorldNow() == Before);
  EXPECT_EQ(LevelPlay.Moves, 0);
  EXPECT_EQ(LevelPlay.Pushes, 0);
}

TEST_F(MouseTest, PushIntoWaterFillsIt)
{
  PlayMouseLevel();
  Click(4, 2);
  Click(6, 2);
  WalkOut();
  EXPECT_EQ(CountOfKind(okWater), 0) << "filled";
  EXPECT_EQ(CountOfKind(okBox), 0);
  Click(7, 2);  // across the filled cell
  WalkOut();
  EXPECT_EQ(PlayerCell(), (TCellXY{7, 2}));
}

TEST_F(MouseTest, NoWayLeavesEverythingAndSaysSo)
{
  PlayMouseLevel();
  Click(4, 2);
  const TWorld Before = WorldNow();
  Click(1, 3);
  EXPECT_FALSE(WalkUnderWay());
  EXPECT_TRUE(WorldNow() == Before);
  EXPECT_EQ(RecordingGraph::LastOverlay().Message, "No way to push it there");
  EXPECT_EQ(RecordingGraph::LastCellMarks().BoxX, 4) << "the choice stays";

  RightClick();
  EXPECT_EQ(RecordingGraph::LastCellMarks().BoxX, -1);
  Click(4, 2);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  KeyState[VK_ESCAPE] = 0;
  Frame();
  EXPECT_EQ(RecordingGraph::LastCellMarks().BoxX, -1) << "Escape lets it go";
  EXPECT_EQ(GameGetState(), gsPlay) << "and opens no menu";
}

// A key, a click or Escape stops a walk at the next cell; the walk so far is one step.
class WalkStopTest : public MouseTest {
protected:
  void StopWith(UINT Stop)
  {
    PlayMouseLevel();
    const TWorld Start = WorldNow();
    Click(7, 3);
    for (int I = 0; I < 25; ++I) Frame();  // two cells and a half
    ASSERT_TRUE(WalkUnderWay());
    KeyState[Stop] = 1;
    Frame();
    KeyState[Stop] = 0;
    for (int I = 0; I < 40 && WalkUnderWay(); ++I) Frame();
    EXPECT_FALSE(WalkUnderWay());
    for (int I = 0; I < 5; ++I) Frame();
    EXPECT_EQ(GameGetState(), gsPlay);
    EXPECT_TRUE(PlayerRests());
    EXPECT_NE(PlayerCell(), (TCellXY{7, 3})) << "stopped short of the end";
    EXPECT_NE(PlayerCell(), (TCellXY{1, 2})) << "but on its way";
    KeyState[VK_UNDO] = 1;
    Frame();
    KeyState[VK_UNDO] = 0;
    Frame();
    EXPECT_TRUE(WorldNow() == Start) << "the walk so far was one step";
  }
};

TEST_F(WalkStopTest, ByAClick) { StopWith(VK_LBUTTON); }
TEST_F(WalkStopTest, ByEscapeWhichOpensNoMenu) { StopWith(VK_ESCAPE); }
// The key only stops the walk: the player's keys move it again from the next cell on.
TEST_F(WalkStopTest, ByAMovementKey) { StopWith(VK_RIGHT); }

// A push stopped part way leaves every box resting on a cell, and is one step.
class PushStopTest : public MouseTest {
protected:
  void StopAfter(int Frames)
  {
    PlayMouseLevel();
    const TWorld Start = WorldNow();
    Click(4, 2);
    Click(7, 1);
    for (int I = 0; I < Frames; ++I) Frame();
    ASSERT_TRUE(WalkUnderWay());
    RightClick();  // stops it as a click would, and chooses nothing
    for (int I = 0; I < 40 && WalkUnderWay(); ++I) Frame();
    EXPECT_FALSE(WalkUnderWay());
    EXPECT_TRUE(PlayerRests());
    const TObjArray Objects = GameGetObjects();
    for (int32_t I = 0; I < Objects.Count; ++I) {
      const TBox &B = Objects.Items[I].Box;
      if (Objects.Items[I].Kind != okBox) continue;
      EXPECT_NEAR(B.x - std::floor(B.x), 0.05, 0.051) << "box " << I << " at " << B.x << "," << B.y;
      EXPECT_NEAR(B.y - std::floor(B.y), 0.05, 0.051) << "box " << I << " at " << B.x << "," << B.y;
    }
    EXPECT_NE(BoxCells(), (std::vector<TCellXY>{{7, 1}})) << "not all the way";
    KeyState[VK_UNDO] = 1;
    Frame();
    KeyState[VK_UNDO] = 0;
    Frame();
    EXPECT_TRUE(WorldNow() == Start) << "the push so far was one step";
  }
};

TEST_F(PushStopTest, Early) { StopAfter(8); }
TEST_F(PushStopTest, Midway) { StopAfter(45); }
TEST_F(PushStopTest, Late) { StopAfter(70); }

}  // namespace

// A click pressed and let go between two rule frames is not lost: it walks.
TEST_F(MouseTest, AClickBetweenTwoRuleFramesStillWalks)
{
  Write("maps.ini", "m.lvl=Mouse\n");
  Write("m.lvl", LevelSet({{"111111111", "1 1  3  1", "19  2 5 1", "11     31", "111111111"}}));
  WriteConfig({"3DKeys=0", "Pace=60"});
  BeginFramesInMenu();
  GameSetState(gsPlay);
  Frame();  // the first paced frame plays its rule frame at once; the clock then stands
  Point(3, 2);
  WndProc(Engine->Handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Frame();
  WndProc(Engine->Handle, WM_LBUTTONUP, 0, 0);
  Frame();
  for (int I = 0; I < 120; ++I) {
    Recording::AdvanceMicroseconds(1000000 / 60);
    Frame();
  }
  EXPECT_EQ(PlayerCell(), (TCellXY{3, 2}));
}
