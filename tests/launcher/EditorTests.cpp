// The level editor through the recording platform and renderer: the recording
// renderer picks as a plan view, RecordingGraph::PickCellSize pixels a cell,
// and keeps the editor's panel lines. Levels are painted, undone, resized,
// checked by the solver, test-played through the real rules and saved into
// the player's own set, which the level tool's code reads back.
#include "LauncherFixture.h"

#include "EditLevel.h"
#include "Editor.h"
#include "Grid.h"
#include "LevelPlay.h"
#include "Overlay.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

class EditorTest : public LauncherTest {
protected:
  void SetUp() override
  {
    LauncherTest::SetUp();
    WriteStandardWorld();
    WriteConfig({"3DKeys=0"});
    BeginFramesInMenu();
  }

  // One iteration of the main loop, keys through the window procedure as the platform delivers them.
  void Step()
  {
    Engine->ProcessMessage();
    Frame();
  }
  void Press(unsigned Key)
  {
    if (Key == VK_LBUTTON || Key == VK_RBUTTON) {
      KeyState[Key] = 1;  // as the window procedure records a press
      Frame();
      KeyState[Key] = 0;
      return;
    }
    Recording::QueueKeyDown(Key);
    Step();
    Recording::QueueKeyUp(Key);
    Step();
  }
  void PressWith(unsigned Held, unsigned Key)
  {
    Recording::QueueKeyDown(Held);
    Step();
    Press(Key);
    Recording::QueueKeyUp(Held);
    Step();
  }
  void Type(const std::string &Text)
  {
    for (const char C : Text) {
      if (C >= 'A' && C <= 'Z') PressWith(VK_SHIFT, unsigned(C));
      else if (C >= 'a' && C <= 'z') Press(unsigned(C - 'a' + 'A'));
      else if (C == ' ') Press(VK_SPACE);
    }
    Press(VK_RETURN);
  }
  void NewLevel()
  {
    Press(VK_CHOOSER);
    Press(VK_NEWLEVEL);
    ASSERT_TRUE(EditorTakesFrame());
  }
  void Point(int X, int Y)
  {
    const int32_t Left = Engine ? Engine->Left() : 0, Top = Engine ? Engine->Top() : 0;
    Recording::SetCursorPos(Left + X * RecordingGraph::PickCellSize + 5, Top + Y * RecordingGraph::PickCellSize + 5);
  }
  void Click(int X, int Y, unsigned Button = VK_LBUTTON)
  {
    Point(X, Y);
    Press(Button);
    Frame();  // released
  }
  void Drag(int FromX, int FromY, int ToX, int ToY)
  {
    Point(FromX, FromY);
    KeyState[VK_LBUTTON] = 1;
    Frame();
    Point(ToX, ToY);
    Frame();
    KeyState[VK_LBUTTON] = 0;
    Frame();
  }
  void Paint(char Tool, int X, int Y)
  {
    Press(unsigned(Tool));
    Click(X, Y);
  }
  // The panel line that starts so, as the last editor frame drew it.
  static std::string Line(const std::string &Start)
  {
    for (const std::string &L : RecordingGraph::LastEditorPanel())
      if (L.rfind(Start, 0) == 0) return L;
    return "";
  }
  static std::string Notice() { return RecordingGraph::LastEditorPanel().back(); }
  // Frames until the solver has its word on the level as it stands.
  std::string SolverWord()
  {
    for (int I = 0; I < 3000; ++I) {
      Frame();
      const std::string Word = RecordingGraph::LastEditorPanel().at(5);
      if (Word != "Checking...") return Word;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "no answer";
  }
  // A 9 x 7 room: the player at (2,3), a box at (4,3), a mark at (6,3).
  void SmallLevel()
  {
    NewLevel();
    Paint('7', 2, 3);
    Paint('4', 4, 3);
    Paint('3', 6, 3);
  }
};

TEST_F(EditorTest, PaintUndoRedoAndResizeThenSaveTheSourceAsWrittenByHand)
{
  SmallLevel();
  Press('1');
  Drag(3, 1, 5, 1);  // one stroke: a line of three walls
  Paint('5', 7, 5);
  Press(VK_UNDO);
  EXPECT_EQ(Line("1 wall").size() > 0, true);
  Press(VK_REDO);
  EXPECT_EQ(Line("9 x 7"), "9 x 7   boxes 1   marks 1   water 1");
  Press(VK_UNDO);
  Press(VK_UNDO);  // the whole line of walls at once
  EXPECT_EQ(Line("9 x 7"), "9 x 7   boxes 1   marks 1   water 0");
  Press(VK_REDO);
  Click(4, 1, VK_RBUTTON);  // erased to floor
  PressWith(VK_SHIFT, VK_UP);
  PressWith(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(Line("10 x 8").substr(0, 6), "10 x 8");
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Not saved: wide 10 cannot be stored (byte 10 would end the line); add a column of floor");
  EXPECT_FALSE(Exists("my-levels.lvl"));
  PressWith(VK_CONTROL, VK_RIGHT);
  Press(VK_EDITTITLE);
  Type("Porch");
  Press(VK_EDITAUTHOR);
  Type("Ann Lee");
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Saved as level 1 of My levels");

  EXPECT_EQ(Read("my-levels.txt"), "Set: My levels\n"
                                   "\n"
                                   "Title: Porch\n"
                                   "Author: Ann Lee\n"
                                   "---------\n"
                                   "#########\n"
                                   "#-------#\n"
                                   "#-------#\n"
                                   "#-@-$-.-#\n"
                                   "#-------#\n"
                                   "#--#-#--#\n"
                                   "#########\n");
  EXPECT_EQ(Read("maps.ini"), "a.lvl=First set\nb.lvl=Second set\nmy-levels.lvl=My levels\n");
  ASSERT_EQ(MapList.Count, 3);
}

TEST_F(EditorTest, TheSavedSetReadsBackThroughTheLevelToolAndLoadsInTheGame)
{
  SmallLevel();
  Press(VK_SAVELEVEL);
  Paint('2', 6, 3);  // the mark goes: a second version, saved over the first
  Paint('3', 5, 3);
  Press(VK_SAVELEVEL);
  Press(VK_ESCAPE);  // back in the chooser, on the player's set
  Frame();
  ASSERT_EQ(RecordingGraph::LastChooser().size(), 1u);
  Press(VK_NEWLEVEL);
  Paint('7', 1, 1);
  Paint('4', 2, 1);
  Paint('3', 3, 1);
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Saved as level 2 of My levels");
  EXPECT_EQ(Read("maps.ini"), "a.lvl=First set\nb.lvl=Second set\nmy-levels.lvl=My levels\n");  // named once

  levels::Problems Found;
  const levels::LevelSet Set = levels::ReadLevelFile(Read("my-levels.lvl"), "my-levels.lvl", Found);
  for (size_t I = 0; I < Set.Levels.size(); ++I) levels::CheckLevel(Set.Levels[I], int(I), "my-levels.lvl", Found);
  EXPECT_TRUE(Found.empty()) << levels::FormatProblem(Found.front());
  ASSERT_EQ(Set.Levels.size(), 2u);
  EXPECT_EQ(levels::WriteSource(Set), Read("my-levels.txt"));  // unpacked, the same source
  EXPECT_EQ(Set.Levels[0].Rows[3], "1-9-23--1");
  EXPECT_EQ(levels::Solve(Set.Levels[0]).Result, levels::SolveResult::Solved);

  int32_t Index = 1;
  ASSERT_TRUE(GameLoadMap("my-levels.lvl", &Index));
  EXPECT_EQ(GameGetFieldSize().Width, 9);
  EXPECT_NEAR(GameGetPlayer().Box.x, 1.15, 1e-9);
}

TEST_F(EditorTest, EditingALevelOfTheChooserSavesACopyIntoThePlayersSet)
{
  Press(VK_CHOOSER);
  Point(0, 0);
  RecordingGraph::QueueChooserResults({0, 0});  // the pointer is on the first level
  Press(VK_EDIT);
  ASSERT_TRUE(EditorTakesFrame());
  Frame();
  EXPECT_EQ(Line("5 x 3"), "5 x 3   boxes 1   marks 1   water 0");
  EXPECT_EQ(Line("No player"), "");
  const std::string Before = Read("a.lvl");
  Press(VK_SAVELEVEL);  // open to its edge: not enclosed
  EXPECT_EQ(Notice(), "Not saved: no wall encloses the player");
  EXPECT_EQ(Read("a.lvl"), Before);
  EXPECT_FALSE(Exists("my-levels.txt"));
}

TEST_F(EditorTest, NothingIsSavedOrPlayedWhileTheGameCouldNotLoadTheLevel)
{
  NewLevel();
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Not saved: no player");
  Paint('7', 2, 3);
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Not saved: no marks");
  Paint('3', 4, 3);
  Press(VK_TESTPLAY);
  EXPECT_EQ(Notice(), "Cannot play it: fewer boxes than marks");
  Paint('4', 4, 3);  // a box on the mark
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Not saved: every mark holds a box already");
  Paint('3', 5, 3);
  Paint('4', 5, 4);
  Press('2');
  Click(0, 3);  // a gap in the wall
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Not saved: no wall encloses the player");
  EXPECT_EQ(Line("Player"), "Player not enclosed");
  EXPECT_FALSE(Exists("my-levels.txt"));
  EXPECT_FALSE(Exists("my-levels.lvl"));
  EXPECT_FALSE(Exists(EditorPlayFile));
  EXPECT_EQ(Read("maps.ini"), "a.lvl=First set\nb.lvl=Second set\n");
}

TEST_F(EditorTest, TheSolverSaysSolvableNotSolvableOrNotKnownYet)
{
  SmallLevel();
  EXPECT_EQ(SolverWord(), "Solvable in 2 pushes");
  Paint('4', 6, 5);  // a second box, in a corner: no matter
  Paint('3', 1, 5);  // and a second mark no box can reach
  Paint('1', 1, 4);
  Paint('1', 2, 5);
  EXPECT_EQ(SolverWord(), "Not solvable");
  Press(VK_UNDO);
  Press(VK_UNDO);
  Press(VK_UNDO);
  SetEditorSolveTime(std::chrono::milliseconds(0));
  Paint('4', 3, 2);
  Paint('3', 5, 2);
  EXPECT_EQ(SolverWord(), "Not known yet");
}

TEST_F(EditorTest, ANewLevelNeverShowsTheWordOnTheLastOne)
{
  SmallLevel();  // three edits, solvable
  EXPECT_EQ(SolverWord(), "Solvable in 2 pushes");
  Press(VK_ESCAPE);
  Press(VK_ESCAPE);  // unsaved: the second press leaves
  Press(VK_NEWLEVEL);
  Paint('7', 2, 3);
  Paint('4', 1, 1);  // in a corner
  Paint('3', 6, 3);  // three edits too
  EXPECT_EQ(SolverWord(), "Not solvable");
}

TEST_F(EditorTest, TestPlayToASolveAndBackWithTheEditsKept)
{
  SmallLevel();
  Press(VK_TESTPLAY);
  Frame();
  ASSERT_EQ(GameGetState(), gsPlay);
  EXPECT_FALSE(EditorTakesFrame());
  KeyState[VK_RIGHT] = 1;
  for (int I = 0; I < 2000 && GameGetState() == gsPlay; ++I) Frame();
  KeyState[VK_RIGHT] = 0;
  Frame();
  ASSERT_TRUE(EditorTakesFrame());
  EXPECT_EQ(Notice().rfind("Solved in ", 0), 0u) << Notice();
  EXPECT_EQ(Line("9 x 7"), "9 x 7   boxes 1   marks 1   water 0");
  EXPECT_FALSE(Exists(EditorPlayFile));

  Press(VK_TESTPLAY);  // and Escape leaves a play for the editor, not the menu
  Press(VK_ESCAPE);
  Frame();
  EXPECT_TRUE(EditorTakesFrame());
  EXPECT_EQ(Notice(), "Back from test play");
}

}  // namespace

namespace {

// A game in progress is the player's: test play in the editor puts it aside
// and brings it back as it was, and no later level load reaches for the test
// play's file.
TEST_F(EditorTest, TestPlayLeavesTheGameInProgressAsItWas)
{
  GameNewGame("a.lvl");
  LevelStarted(0);
  LevelPlay.Set = 0;
  KeyState[VK_RIGHT] = 1;
  for (int I = 0; I < 8; ++I) Frame();
  KeyState[VK_RIGHT] = 0;
  Frame();
  Press(VK_ESCAPE);
  ASSERT_EQ(GameGetState(), gsMenu);
  const TPlayer Before = GameGetPlayer();
  const int32_t MovesBefore = LevelPlay.Moves, ObjectsBefore = GameGetObjects().Count;
  ASSERT_GT(MovesBefore, 0);

  SmallLevel();
  Press(VK_TESTPLAY);
  Frame();
  ASSERT_EQ(GameGetState(), gsPlay);
  Press(VK_ESCAPE);
  Frame();
  ASSERT_TRUE(EditorTakesFrame());

  EXPECT_EQ(GameGetState(), gsMenu);
  const TPlayer After = GameGetPlayer();
  EXPECT_EQ(std::memcmp(&After.Box, &Before.Box, sizeof Before.Box), 0);
  EXPECT_EQ(GameGetObjects().Count, ObjectsBefore);
  EXPECT_EQ(LevelPlay.Set, 0);
  EXPECT_EQ(LevelPlay.Moves, MovesBefore);
  EXPECT_FALSE(Exists("editor-game.sav"));
  GameNextLevel();  // the set's own file, not the test play's
  EXPECT_EQ(GameGetObjects().Count, 2);
}

}  // namespace

namespace {

std::string Rows(const TEditLevel &L)
{
  std::string Out;
  for (const std::string &Row : L.AsLevel().Rows) Out += Row + "\n";
  return Out;
}

TEST(EditLevel, ToolsShareCellsAsTheFormatAllows)
{
  TEditLevel L = TEditLevel::Room(5, 4);
  EXPECT_TRUE(L.Paint(1, 1, TEditTool::Box));
  EXPECT_TRUE(L.Paint(1, 1, TEditTool::Mark));  // a mark under the box
  EXPECT_TRUE(L.Paint(2, 1, TEditTool::Mark));
  EXPECT_TRUE(L.Paint(2, 1, TEditTool::Box));   // a box onto the mark
  EXPECT_FALSE(L.Paint(2, 1, TEditTool::Box));  // no change, no undo step
  EXPECT_TRUE(L.Paint(3, 2, TEditTool::Player));
  EXPECT_TRUE(L.Paint(1, 2, TEditTool::Player));  // the start moves
  EXPECT_FALSE(L.Paint(5, 1, TEditTool::Wall));   // off the level
  EXPECT_EQ(Rows(L), "11111\n19--1\n144-1\n11111\n");
  L.SetTitle("Hall");
  L.SetTitle("");
  EXPECT_TRUE(L.AsLevel().Headers.empty());
}

TEST(EditLevel, LinesStrokesAndSizes)
{
  TEditLevel L = TEditLevel::Room(6, 6);
  L.BeginStroke();
  EXPECT_TRUE(L.PaintLine(1, 1, 4, 4, TEditTool::Water));  // a diagonal, every cell on it
  EXPECT_TRUE(L.PaintLine(4, 4, 4, 1, TEditTool::Water));
  L.EndStroke();
  EXPECT_EQ(Rows(L), "111111\n1---51\n1--551\n1-5-51\n15--51\n111111\n");
  ASSERT_TRUE(L.Undo());  // the stroke at once
  EXPECT_EQ(Rows(L), Rows(TEditLevel::Room(6, 6)));
  EXPECT_FALSE(L.Undo());
  ASSERT_TRUE(L.Redo());
  EXPECT_FALSE(L.Redo());

  EXPECT_TRUE(L.Shrink(TSide::Left));
  EXPECT_TRUE(L.Shrink(TSide::Top));
  EXPECT_EQ(Rows(L), "---51\n--551\n-5-51\n5--51\n11111\n");
  for (int I = 0; I < 4; ++I) EXPECT_TRUE(L.Shrink(TSide::Right));
  EXPECT_FALSE(L.Shrink(TSide::Right));  // one column stays
  EXPECT_EQ(L.Width(), 1);
  while (L.Grow(TSide::Bottom)) {}
  EXPECT_EQ(L.Height(), TEditLevel::MaxSide);
  EXPECT_EQ(L.CellAt(0, 0), '-');  // the new bottom row is floor
}

}  // namespace

namespace {

// The player's set with its source gone: its level file still holds the levels saved before.
TEST_F(EditorTest, ASaveKeepsTheLevelsOfALevelFileWhoseSourceIsGone)
{
  SmallLevel();
  Press(VK_SAVELEVEL);
  fs::remove(Dir / "my-levels.txt");
  Press(VK_ESCAPE);
  Frame();
  Press(VK_NEWLEVEL);
  Paint('7', 1, 1);
  Paint('4', 2, 1);
  Paint('3', 3, 1);
  Press(VK_SAVELEVEL);
  EXPECT_EQ(Notice(), "Saved as level 2 of My levels");
  levels::Problems Found;
  EXPECT_EQ(levels::ReadLevelFile(Read("my-levels.lvl"), "my-levels.lvl", Found).Levels.size(), 2u);
  EXPECT_EQ(Read("my-levels.txt").rfind("Set: My levels\n\n#########\n", 0), 0u);
}

}  // namespace
