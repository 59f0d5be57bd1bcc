// Hints and dead boxes through the recording platform and renderer: H asks
// the solver on its worker thread, the frames go on, and the answer shows as
// the box outlined with the way it goes; Shift+H plays that push through the
// real rules; a push that leaves a box no mark can be reached from tints it.
#include "LauncherFixture.h"

#include "Hint.h"
#include "LevelPlay.h"
#include "MousePlay.h"
#include "Overlay.h"
#include "Pace.h"
#include "PlayerProgress.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace {

struct TCellXY {
  int X = 0, Y = 0;
  bool operator==(const TCellXY &) const = default;
};

TCellXY CellOf(const TBox &B) { return {int(std::floor(B.x + B.sx / 2)), int(std::floor(B.y + B.sy / 2))}; }

std::vector<TCellXY> BoxCells()
{
  std::vector<TCellXY> Cells;
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) Cells.push_back(CellOf(Objects.Items[I].Box));
  return Cells;
}

// Three row lines, walled round: the middle one is y = 1.
const std::vector<std::string> OnePushLevel = {"1111111", "19 2 31", "1111111"};
// The box stands in a corner off the mark: no solution.
const std::vector<std::string> StuckLevel = {"111111", "12 931", "111111"};
// Pushing the box right puts it in a corner; the mark is far left.
const std::vector<std::string> CornerLevel = {"11111111", "13  92 1", "11111111"};
// A long walk round before the only push: the box goes up to the mark.
const std::vector<std::string> WalkRoundLevel = {"1111111", "1  3  1", "1  2  1", "1     1", "19    1", "1111111"};

class HintTest : public LauncherTest {
protected:
  void Play(const std::vector<std::vector<std::string>> &Levels, std::vector<std::string> Config = {})
  {
    Write("maps.ini", "h.lvl=Hints\n");
    Write("h.lvl", LevelSet(Levels));
    Config.push_back("3DKeys=0");
    WriteConfig(Config);
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Frame();
  }
  void Press(UINT Key) { WndProc(Engine->Handle, WM_KEYDOWN, Key, 1); }
  void Release(UINT Key) { WndProc(Engine->Handle, WM_KEYUP, Key, LPARAM(3) << 30 | 1); }
  void AskHint(bool ShowMe = false)
  {
    if (ShowMe) Press(VK_SHIFT);
    Press(VK_HINT);
    Frame();
    Release(VK_HINT);
    if (ShowMe) Release(VK_SHIFT);
  }
  // Frames until Done says so; the search runs on its own thread meanwhile,
  // so the frames wait a little each. False when it never did.
  bool FramesUntil(const std::function<bool()> &Done)
  {
    for (int I = 0; I < 3000; ++I) {
      if (Done()) return true;
      Frame();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Done();
  }
  static const RecordingGraph::TCellMarksCopy &Marks() { return RecordingGraph::LastCellMarks(); }
  static std::string Message() { return RecordingGraph::LastOverlay().Message; }
  bool HintShown() { return Marks().HintX >= 0; }
  void WalkOut()
  {
    for (int I = 0; I < 3000 && WalkUnderWay(); ++I) Frame();
    EXPECT_FALSE(WalkUnderWay());
  }
};

TEST_F(HintTest, HShowsTheNextPushUntilAStep)
{
  Play({OnePushLevel});
  AskHint();
  ASSERT_TRUE(FramesUntil([this] { return HintShown(); }));
  EXPECT_EQ(Marks().HintX, 3);
  EXPECT_EQ(Marks().HintY, 1);
  EXPECT_EQ(Marks().HintDx, 1) << "the box goes right, to the mark";
  EXPECT_EQ(Marks().HintDy, 0);
  EXPECT_EQ(LevelPlay.Moves, 0) << "a hint moves nothing";

  for (int I = 0; I < 20; ++I) Frame();
  EXPECT_TRUE(HintShown()) << "it stays while the player stands";
  KeyState[VK_RIGHT] = 1;
  ASSERT_TRUE(FramesUntil([] { return LevelPlay.Moves > 0; }));
  KeyState[VK_RIGHT] = 0;
  Frame();
  EXPECT_FALSE(HintShown()) << "a step drops it";
}

TEST_F(HintTest, AHintAfterUndoIsFromWherePlayerStandsThen)
{
  Play({WalkRoundLevel});
  KeyState[VK_RIGHT] = 1;
  ASSERT_TRUE(FramesUntil([] { return LevelPlay.Moves >= 2; }));
  KeyState[VK_RIGHT] = 0;
  AskHint();
  KeyState[VK_UNDO] = 1;  // at once: the search under way is dropped
  Frame();
  KeyState[VK_UNDO] = 0;
  for (int I = 0; I < 300; ++I) Frame();
  EXPECT_FALSE(HintShown()) << "the answer to a position left behind is never shown";
  AskHint();
  ASSERT_TRUE(FramesUntil([this] { return HintShown(); }));
  EXPECT_EQ(Marks().HintX, 3);
  EXPECT_EQ(Marks().HintY, 3);
  EXPECT_EQ(Marks().HintDx, 0);
  EXPECT_EQ(Marks().HintDy, 1) << "up, to the mark";
}

TEST_F(HintTest, NoSolutionFromHereSaysUndo)
{
  Play({StuckLevel});
  AskHint();
  ASSERT_TRUE(FramesUntil([] { return Message() == "No solution from here. Undo (Z) to go back"; }));
  EXPECT_FALSE(HintShown());
}

TEST_F(HintTest, ShiftHPlaysTheNextPushAsOneStepAndSolvesWithHintsNoBest)
{
  Play({WalkRoundLevel, OnePushLevel});
  AskHint(true);
  ASSERT_TRUE(FramesUntil([] { return WalkUnderWay() || LevelPlay.Pushes > 0; }));
  WalkOut();
  EXPECT_EQ(LevelPlay.LevelIndex, 1) << "the push solved the first level";
  const std::string Solved = Read(ProgressFile);
  EXPECT_NE(Solved.find("h.lvl\t1\t-\t-\t-\thints\n"), std::string::npos) << Solved;
  EXPECT_NE(RecordingGraph::LastOverlay().Card.find("solved with hints"), std::string::npos);

  // The next level, solved by the player's own keys, has its best.
  KeyState[VK_RIGHT] = 1;
  ASSERT_TRUE(FramesUntil([] { return LevelPlay.LevelIndex != 1; }));
  KeyState[VK_RIGHT] = 0;
  EXPECT_NE(Read(ProgressFile).find("h.lvl\t2\t3\t2\t"), std::string::npos) << Read(ProgressFile);
  EXPECT_EQ(Read(ProgressFile).find("h.lvl\t2\t3\t2\t0\thints"), std::string::npos);
}

TEST_F(HintTest, ShowMeIsOneStepForUndoAndAKeyStopsIt)
{
  Play({WalkRoundLevel});
  AskHint(true);
  ASSERT_TRUE(FramesUntil([] { return WalkUnderWay(); }));
  for (int I = 0; I < 12; ++I) Frame();
  EXPECT_GT(LevelPlay.Moves, 0);
  Press('X');  // any key
  Frame();
  Release('X');
  WalkOut();
  EXPECT_EQ(LevelPlay.Pushes, 0) << "stopped before the push";
  const std::vector<TCellXY> Before = BoxCells();

  KeyState[VK_UNDO] = 1;
  Frame();
  KeyState[VK_UNDO] = 0;
  Frame();
  EXPECT_EQ(LevelPlay.Moves, 0) << "the walk was one step";
  EXPECT_EQ(BoxCells(), Before);
}

TEST_F(HintTest, APushIntoACornerTintsTheBoxAndSaysSoUndoClearsIt)
{
  Play({CornerLevel});
  EXPECT_TRUE(Marks().Dead.empty());
  KeyState[VK_RIGHT] = 1;
  ASSERT_TRUE(FramesUntil([] { return LevelPlay.Pushes > 0; }));
  KeyState[VK_RIGHT] = 0;
  for (int I = 0; I < 30; ++I) Frame();
  EXPECT_EQ(BoxCells(), (std::vector<TCellXY>{{6, 1}}));
  EXPECT_TRUE(Marks().DeadAt(6, 1));
  EXPECT_EQ(Message(), "This box can no longer reach a mark");

  KeyState[VK_UNDO] = 1;
  Frame();
  KeyState[VK_UNDO] = 0;
  Frame();
  EXPECT_FALSE(Marks().DeadAt(5, 1));
  EXPECT_FALSE(Marks().DeadAt(6, 1));
}

TEST_F(HintTest, ABoxDeadFromTheStartIsTintedWithoutAWordAndConfigTurnsItOff)
{
  Play({StuckLevel});
  Frame();
  EXPECT_TRUE(Marks().DeadAt(1, 1));
  EXPECT_NE(Message(), "This box can no longer reach a mark") << "no push made it so";

  TearDown();
  SetUp();
  Play({CornerLevel}, {"DeadBoxes=0"});
  KeyState[VK_RIGHT] = 1;
  ASSERT_TRUE(FramesUntil([] { return LevelPlay.Pushes > 0; }));
  KeyState[VK_RIGHT] = 0;
  for (int I = 0; I < 30; ++I) Frame();
  EXPECT_FALSE(Marks().DeadAt(6, 1));
  EXPECT_NE(Message(), "This box can no longer reach a mark");
}

}  // namespace

namespace {

// progress.txt: a sixth field "hints" marks a level solved with hints; files
// without it read as they always did, and the bests never come from a hint.
TEST_F(HintTest, ProgressKeepsHintedSolutionsApartFromTheBests)
{
  Play({OnePushLevel});
  Write(ProgressFile, "a.lvl\t1\t7\t1\t30\nb.lvl\t2\t-\t-\t-\thints\n");
  TPlayerProgress P;
  ASSERT_TRUE(P.Load((Dir / ProgressFile).string()));
  EXPECT_FALSE(P.Best("a.lvl", 0).Hinted);
  EXPECT_EQ(P.Best("a.lvl", 0).Moves, 7);
  EXPECT_TRUE(P.Best("b.lvl", 1).Solved);
  EXPECT_TRUE(P.Best("b.lvl", 1).Hinted);
  EXPECT_FALSE(P.Best("b.lvl", 1).HasBest());

  P.RecordHinted("a.lvl", 0);
  EXPECT_EQ(P.Best("a.lvl", 0).Moves, 7) << "a hinted solution keeps the player's own best";
  P.Record("b.lvl", 1, 12, 3, 40);
  EXPECT_EQ(P.Best("b.lvl", 1).Moves, 12) << "a later one without hints sets the best";
  EXPECT_EQ(Read(ProgressFile), P.Text());
  EXPECT_NE(P.Text().find("a.lvl\t1\t7\t1\t30\thints\n"), std::string::npos) << P.Text();
  EXPECT_NE(P.Text().find("b.lvl\t2\t12\t3\t40\thints\n"), std::string::npos) << P.Text();

  TPlayerProgress Again;
  ASSERT_TRUE(Again.Load((Dir / ProgressFile).string()));
  EXPECT_EQ(Again.Text(), P.Text());
}

TEST_F(HintTest, ProgressWithAnUnknownSixthFieldIsDamaged)
{
  Play({OnePushLevel});
  Write(ProgressFile, "a.lvl\t1\t7\t1\t30\tfoo\nb.lvl\t1\t5\t1\t9\thints\textra\nc.lvl\t1\t5\t1\t9\n");
  ::testing::internal::CaptureStderr();
  TPlayerProgress P;
  EXPECT_FALSE(P.Load((Dir / ProgressFile).string()));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("was damaged"), std::string::npos);
  EXPECT_FALSE(P.Best("a.lvl", 0).Solved);
  EXPECT_FALSE(P.Best("b.lvl", 0).Solved);
  EXPECT_TRUE(P.Best("c.lvl", 0).Solved);
}

TEST_F(HintTest, TheChooserMarksALevelSolvedWithHints)
{
  Write("maps.ini", "h.lvl=Hints\n");
  Write("h.lvl", LevelSet({OnePushLevel, OnePushLevel}));
  Write(ProgressFile, "h.lvl\t1\t-\t-\t-\thints\nh.lvl\t2\t3\t1\t5\n");
  WriteConfig({});
  BeginFramesInMenu();
  KeyState[VK_CHOOSER] = 1;
  Frame();
  KeyState[VK_CHOOSER] = 0;
  Frame();
  const std::vector<RecordingGraph::TChooserCopy> &Items = RecordingGraph::LastChooser();
  ASSERT_EQ(Items.size(), 2u);
  EXPECT_TRUE(Items[0].Solved && Items[0].Hinted);
  EXPECT_TRUE(Items[1].Solved && !Items[1].Hinted);
}

}  // namespace
