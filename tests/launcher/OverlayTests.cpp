// The play screen's overlay, the confirmations, the level-complete card, the
// progress file and the level chooser.
#include "LauncherFixture.h"

#include "LevelPlay.h"
#include "Overlay.h"

#include <algorithm>

namespace {

using Texts = std::vector<std::string>;

void ReleaseAllKeys() { std::fill(std::begin(KeyState), std::end(KeyState), 0); }

const RecordingGraph::TOverlayCopy &Shown() { return RecordingGraph::LastOverlay(); }

class OverlayTest : public LauncherTest {
protected:
  // Two levels, each solved by walking right: the box one cell from its mark.
  void WriteTwoPushes()
  {
    Write("maps.ini", "p.lvl=Pushing\n");
    Write("p.lvl", LevelSet({{"      ", " 9 23 ", "      "}, {"       ", " 9  23 ", "       "}}));
    WriteConfig({"3DKeys=0", "SaveFile=game.sav"});
  }

  void PlayFromMenu()
  {
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Frame();
  }

  // Walks right until the level moves on; the frames it took.
  int SolveByWalkingRight()
  {
    const int32_t Level = LevelPlay.LevelIndex;
    KeyState[VK_RIGHT] = 1;
    int Frames = 0;
    while (LevelPlay.LevelIndex == Level && Frames < 300) {
      Frame();
      ++Frames;
    }
    return Frames;
  }

  void Click(int32_t MenuItem)
  {
    RecordingGraph::QueueMenuResults({MenuItem});
    KeyState[VK_LBUTTON] = 1;
    Frame();
  }
};

TEST_F(OverlayTest, PlayFramesShowSetLevelAndCountersMenuFramesDoNot)
{
  WriteTwoPushes();
  PlayFromMenu();
  EXPECT_TRUE(Shown().HasLevel);
  EXPECT_EQ(Shown().SetName, "Pushing");
  EXPECT_EQ(Shown().LevelName, "Level 1");
  KeyState[VK_RIGHT] = 1;
  for (int I = 0; I < 12; ++I) Frame();
  EXPECT_EQ(Shown().Moves, 1);
  EXPECT_EQ(Shown().Pushes, 0);
  EXPECT_EQ(Shown().Overview, 0.0f);
  KeyState[VK_OVERVIEW] = 1;
  Frame();
  EXPECT_EQ(Shown().Overview, 1.0f);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  ReleaseAllKeys();
  Frame();
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_FALSE(Shown().HasLevel);
  EXPECT_EQ(Shown().Overview, 0.0f);
}

TEST_F(OverlayTest, SaveAndLoadSayWhatTheyDid)
{
  WriteTwoPushes();
  BeginFramesInMenu();
  Click(miLoad);
  EXPECT_EQ(Shown().Message, "Nothing saved yet");
  EXPECT_GT(Shown().MessageAlpha, 0.0f);
  Click(miSave);
  EXPECT_EQ(Shown().Message, "Saved");
  Click(miLoad);
  EXPECT_EQ(Shown().Message, "Loaded");
}

// The card tells the solution while the next level already plays behind it,
// and a key held across it keeps acting there.
TEST_F(OverlayTest, LevelCardOverTheNextLevelWithNoKeyLost)
{
  WriteTwoPushes();
  PlayFromMenu();
  ASSERT_LT(SolveByWalkingRight(), 300);
  const std::string Card = Shown().Card;
  EXPECT_EQ(Card.rfind("Level 1 complete: ", 0), 0u) << Card;
  EXPECT_NE(Card.find(" moves, 1 push"), std::string::npos) << Card;
  EXPECT_EQ(GameGetState(), gsPlay);
  EXPECT_EQ(GameGetFieldSize().Width, 7);
  EXPECT_EQ(Shown().LevelName, "Level 2");
  EXPECT_EQ(Shown().Moves, 0);

  // The right arrow held since the last level moves nothing here; a fresh
  // press does, under the card.
  const double Before = GameGetPlayer().Box.x;
  Frame();
  EXPECT_EQ(GameGetPlayer().Box.x, Before);
  WndProc(Engine->Handle, WM_KEYUP, VK_RIGHT, LPARAM(0xC0000001u));
  WndProc(Engine->Handle, WM_KEYDOWN, VK_RIGHT, 1);
  Frame();
  EXPECT_TRUE(Shown().HasCard);
  EXPECT_GT(GameGetPlayer().Box.x, Before);
}

TEST_F(OverlayTest, ProgressKeepsEachBestAndTheCardComparesWithIt)
{
  WriteTwoPushes();
  PlayFromMenu();
  ASSERT_LT(SolveByWalkingRight(), 300);
  ReleaseAllKeys();
  const std::string First = Read(ProgressFile);
  EXPECT_NE(First.find("p.lvl\t1\t"), std::string::npos) << First;

  // Again from the start, with a detour: more moves than the best.
  GameSetState(gsMenu);
  Frame();
  Click(miNewGame);
  ReleaseAllKeys();
  KeyState[VK_UP] = 1;
  for (int I = 0; I < 12; ++I) Frame();
  KeyState[VK_UP] = 0;
  KeyState[VK_DOWN] = 1;
  for (int I = 0; I < 12; ++I) Frame();
  ReleaseAllKeys();
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_NE(Shown().Card.find("(best 2)"), std::string::npos) << Shown().Card;
  EXPECT_EQ(Read(ProgressFile), First);  // no best beaten
}

TEST_F(OverlayTest, DamagedProgressIsReportedAndReplacedNeverFatal)
{
  WriteTwoPushes();
  Write(ProgressFile, "p.lvl\t2\t10\t3\t40\nthis is no line of progress\np.lvl\tx\t1\t1\t1\n");
  ::testing::internal::CaptureStderr();
  BeginPass();
  const std::string Stderr = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(Stderr.find("was damaged"), std::string::npos);
  EXPECT_EQ(Recording::Log({"MessageBoxA"}).size(), 1u);
  const std::string Replaced = Read(ProgressFile);
  EXPECT_NE(Replaced.find("p.lvl\t2\t10\t3\t40\n"), std::string::npos);
  EXPECT_EQ(Replaced.find("this is no"), std::string::npos);
  EXPECT_TRUE(Progress.Best("p.lvl", 1).Solved);
}

TEST_F(OverlayTest, UnreadableProgressIsReportedAndLeftAlone)
{
  WriteTwoPushes();
  fs::create_directory(Dir / ProgressFile);
  ::testing::internal::CaptureStderr();
  PlayFromMenu();
  ASSERT_LT(SolveByWalkingRight(), 300);  // solving writes nothing and ends nothing
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::is_directory(Dir / ProgressFile));
  EXPECT_EQ(GameGetState(), gsPlay);
}

TEST_F(OverlayTest, ChooserListsTheSetsLevelsWithBestsAndStartsAny)
{
  WriteTwoPushes();
  Write(ProgressFile, "p.lvl\t1\t7\t1\t30\n");
  BeginFramesInMenu();
  KeyState[VK_CHOOSER] = 1;
  Frame();
  EXPECT_EQ(CountOf("ProcessMenu"), 0);
  ASSERT_EQ(CountOf("ProcessChooser"), 1);
  const auto &Items = RecordingGraph::LastChooser();
  ASSERT_EQ(Items.size(), 2u);
  EXPECT_EQ(Items[0].Title, "Level 1");
  EXPECT_TRUE(Items[0].Solved);
  EXPECT_EQ(Items[0].BestMoves, 7);
  EXPECT_FALSE(Items[1].Solved);

  RecordingGraph::QueueChooserResults({1});
  KeyState[VK_LBUTTON] = 1;
  Frame();
  EXPECT_EQ(GameGetState(), gsPlay);
  EXPECT_EQ(GameGetFieldSize().Width, 7);
  EXPECT_EQ(LevelPlay.LevelIndex, 1);
  Frame();
  EXPECT_EQ(Shown().LevelName, "Level 2");
}

// The level tool writes each level's title into its header line, after the
// size bytes the rules read.
TEST_F(OverlayTest, LevelTitlesFromTheLevelFileShowInTheChooserAndOverPlay)
{
  WriteTwoPushes();
  std::string Titled = LevelSet({{"      ", " 9 23 ", "      "}, {"       ", " 9  23 ", "       "}});
  Titled.insert(Titled.find('\n') + 3, "Title: Porch\tAuthor: Someone");
  Write("p.lvl", Titled);
  BeginFramesInMenu();
  KeyState[VK_CHOOSER] = 1;
  Frame();
  const auto &Items = RecordingGraph::LastChooser();
  ASSERT_EQ(Items.size(), 2u);
  EXPECT_EQ(Items[0].Title, "Level 1: Porch");
  EXPECT_EQ(Items[1].Title, "Level 2");
  RecordingGraph::QueueChooserResults({0});
  KeyState[VK_LBUTTON] = 1;
  Frame();
  ReleaseAllKeys();
  Frame();
  EXPECT_EQ(GameGetFieldSize().Width, 6);
  EXPECT_EQ(Shown().LevelName, "Level 1: Porch");
}

TEST_F(OverlayTest, ChooserIsLeftByBackOrEscapeAndTheMenuShowsAgain)
{
  WriteTwoPushes();
  BeginFramesInMenu();
  for (const bool ByEscape : {false, true}) {
    KeyState[VK_CHOOSER] = 1;
    Frame();
    ClearLogs();
    if (ByEscape) {
      KeyState[VK_ESCAPE] = 1;
    } else {
      RecordingGraph::QueueChooserResults({chBack});
      KeyState[VK_LBUTTON] = 1;
    }
    Frame();
    ReleaseAllKeys();
    Frame();
    EXPECT_EQ(CountOf("ProcessMenu"), 1);
    EXPECT_EQ(GameGetState(), gsMenu);
  }
}

}  // namespace

namespace {

// A key held from one level into the next: its steps there undo to what the
// next level showed, however long it was held across.
TEST_F(OverlayTest, UndoAfterAKeyHeldAcrossTheLevelCard)
{
  for (const int Held : {0, 1, 5, 20, 60}) {
    SCOPED_TRACE("held " + std::to_string(Held) + " frames into the second level");
    ResetLauncherState();
    Recording::Reset();
    fs::remove(Dir / ProgressFile);
    WriteTwoPushes();
    const std::string Long = " 9 2" + std::string(22, ' ') + "3 ";  // 28 wide: no key held here solves it
    Write("p.lvl", LevelSet({{"      ", " 9 23 ", "      "}, {std::string(28, ' '), Long, std::string(28, ' ')}}));
    PlayFromMenu();
    ASSERT_LT(SolveByWalkingRight(), 300);
    for (int I = 0; I < Held; ++I) Frame();
    ReleaseAllKeys();
    for (int I = 0; I < 3; ++I) Frame();
    KeyState[VK_ESCAPE] = 1;
    Frame();
    ReleaseAllKeys();
    Frame();
    GameSave("before.sav");
    const std::string Before = Read("before.sav");
    Click(miContinue);
    ReleaseAllKeys();
    KeyState[VK_RIGHT] = 1;
    for (int I = 0; I < 8; ++I) Frame();
    ReleaseAllKeys();
    Frame();
    KeyState[VK_UNDO] = 1;
    Frame();
    ReleaseAllKeys();
    Frame();
    GameSave("after.sav");
    EXPECT_TRUE(Read("after.sav") == Before);
  }
}

}  // namespace

namespace {

// The level's clock runs in play only: time in the menu is no time on the level.
TEST_F(OverlayTest, TheClockStopsInTheMenu)
{
  WriteTwoPushes();
  PlayFromMenu();
  LevelPlay.PlayedMs = 5000;
  LevelPlay.LastFrameMs -= 100000;  // a long while since the last frame counts a quarter second at most
  Frame();
  EXPECT_EQ(Shown().Seconds, 5);
  EXPECT_LE(LevelPlay.PlayedMs, 5250u);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  ReleaseAllKeys();
  const uint64_t AtMenu = LevelPlay.PlayedMs;
  LevelPlay.LastFrameMs -= 100000;
  Frame();
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_EQ(LevelPlay.PlayedMs, AtMenu);
}

}  // namespace

namespace {

// Saves keep the level's counters and clock, so that a best is never made of
// half a solution; a game continued from a save without them is solved but
// sets no best; the title shown is always the level loaded.
class SavedCountersTest : public OverlayTest {
protected:
  // Walks right until the player has crossed one cell, then lets the world settle.
  void WalkOneCell()
  {
    KeyState[VK_RIGHT] = 1;
    for (int I = 0; I < 300 && LevelPlay.Moves < 1; ++I) Frame();
    ReleaseAllKeys();
    for (int I = 0; I < 20; ++I) Frame();
    ASSERT_EQ(LevelPlay.Moves, 1);
    ASSERT_EQ(LevelPlay.Pushes, 0);
  }

  void ToMenu()
  {
    KeyState[VK_ESCAPE] = 1;
    Frame();
    ReleaseAllKeys();
    Frame();
    ASSERT_EQ(GameGetState(), gsMenu);
  }

  // The level as a fresh game of the set, then back to the menu, then Load.
  void LoadOverANewGame()
  {
    Click(miNewGame);
    ReleaseAllKeys();
    Frame();
    ToMenu();
    Click(miLoad);
    ReleaseAllKeys();
    Frame();
    ASSERT_EQ(GameGetState(), gsPlay);
  }

  std::string ProgressLine(int32_t Level) const
  {
    const std::string Text = Read(ProgressFile);
    const std::string Head = "p.lvl\t" + std::to_string(Level) + "\t";
    const size_t At = Text.find(Head);
    return At == std::string::npos ? "" : Text.substr(At, Text.find('\n', At) - At);
  }
};

TEST_F(SavedCountersTest, SaveAndLoadKeepTheCountersAndTheClock)
{
  WriteTwoPushes();
  PlayFromMenu();
  WalkOneCell();
  LevelPlay.PlayedMs += 42000;
  ToMenu();
  Click(miSave);
  LoadOverANewGame();
  EXPECT_EQ(LevelPlay.Moves, 1);
  EXPECT_EQ(LevelPlay.Pushes, 0);
  EXPECT_GE(LevelSeconds(), 42);
  EXPECT_EQ(Shown().Moves, 1);
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card.rfind("Level 1 complete: 2 moves, 1 push", 0), 0u) << Shown().Card;
  const std::string Line = ProgressLine(1);
  EXPECT_EQ(Line.rfind("p.lvl\t1\t2\t1\t4", 0), 0u) << Line;  // 42 s and more
}

// A save as the program wrote it before it kept the counters: the rules' own.
TEST_F(SavedCountersTest, AGameContinuedFromAnOldSaveIsSolvedButSetsNoBest)
{
  WriteTwoPushes();
  PlayFromMenu();
  WalkOneCell();
  GameSave("game.sav");
  ToMenu();
  LoadOverANewGame();
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card, "Level 1 solved; not counted as a best: continued from an old save");
  EXPECT_EQ(ProgressLine(1), "p.lvl\t1\t-\t-\t-");
  EXPECT_TRUE(Progress.Best("p.lvl", 0).Solved);
  EXPECT_FALSE(Progress.Best("p.lvl", 0).HasBest());
  ReleaseAllKeys();
  ToMenu();
  KeyState[VK_CHOOSER] = 1;
  Frame();
  ASSERT_EQ(RecordingGraph::LastChooser().size(), 2u);
  EXPECT_TRUE(RecordingGraph::LastChooser()[0].Solved);
  EXPECT_EQ(RecordingGraph::LastChooser()[0].BestMoves, -1);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  ReleaseAllKeys();

  // A whole solution sets the best; the old save's again leaves it.
  Click(miNewGame);
  ReleaseAllKeys();
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(ProgressLine(1).rfind("p.lvl\t1\t2\t1\t", 0), 0u) << ProgressLine(1);
  const std::string WithBest = Read(ProgressFile);
  ReleaseAllKeys();
  ToMenu();
  LoadOverANewGame();
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card, "Level 1 solved; not counted as a best: continued from an old save");
  EXPECT_EQ(Read(ProgressFile), WithBest);

  TPlayerProgress Again;
  ASSERT_TRUE(Again.Load(ProgressFile));  // the '-' of an unknown best reads back
  EXPECT_EQ(Again.Best("p.lvl", 0).Moves, 2);
}

// R on an old save's level starts it as its set has it: a whole new try, whose
// solution counts; undoing R brings back the old save's uncounted game.
TEST_F(SavedCountersTest, RestartingAnOldSavesLevelCountsAgain)
{
  WriteTwoPushes();
  PlayFromMenu();
  WalkOneCell();
  GameSave("game.sav");
  ToMenu();
  LoadOverANewGame();
  for (const UINT Key : {VK_RESTART, VK_UNDO}) {
    KeyState[Key] = 1;
    Frame();
    ReleaseAllKeys();
    Frame();
    EXPECT_EQ(LevelPlay.FromOldSave, Key == VK_UNDO);
  }
  KeyState[VK_REDO] = 1;
  Frame();
  ReleaseAllKeys();
  Frame();
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card, "Level 1 complete: 2 moves, 1 push");
}

// A save one frame short of the solution whose counters say nothing was done
// yet: the tap that finishes it is still a solve, with its card and its line.
TEST_F(SavedCountersTest, ASolveIsRecordedWhateverTheCounts)
{
  WriteTwoPushes();
  PlayFromMenu();
  KeyState[VK_RIGHT] = 1;
  // The frame that moves on finds the world the frame before it solved.
  std::string OneShort, Solved;
  for (int I = 0; I < 300 && LevelPlay.LevelIndex == 0; ++I) {
    OneShort = Solved;
    GameSave("short.sav");
    Solved = Read("short.sav");
    Frame();
  }
  ReleaseAllKeys();
  ASSERT_EQ(LevelPlay.LevelIndex, 1);
  // What the program writes after the rules' bytes: moves, pushes, the clock in ms.
  const int32_t Counts[2] = {0, 0};
  const int64_t Clock = 3000;
  Write("game.sav", OneShort + "PLAY" + std::string(reinterpret_cast<const char *>(Counts), 8) +
                      std::string(reinterpret_cast<const char *>(&Clock), 8));
  ToMenu();
  Click(miLoad);
  ReleaseAllKeys();
  EXPECT_EQ(LevelPlay.LevelIndex, 0);
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card.rfind("Level 1 complete: 0 moves, 0 pushes", 0), 0u) << Shown().Card;
  EXPECT_EQ(ProgressLine(1).rfind("p.lvl\t1\t0\t0\t", 0), 0u) << ProgressLine(1);
}

TEST_F(SavedCountersTest, TheTitleShownIsTheLevelLoadedOrNone)
{
  WriteTwoPushes();
  PlayFromMenu();
  ASSERT_LT(SolveByWalkingRight(), 300);
  ReleaseAllKeys();
  Frame();
  ToMenu();
  Click(miSave);  // on the second level
  const std::string Save = Read("game.sav");
  const size_t Trailer = Save.find("LEVL");
  ASSERT_NE(Trailer, std::string::npos);

  // Its trailer damaged, loaded while the first level plays: no title.
  std::string Damaged = Save;
  Damaged[Trailer] = 'X';
  Write("game.sav", Damaged);
  LoadOverANewGame();
  EXPECT_EQ(GameGetFieldSize().Width, 7);
  EXPECT_EQ(Shown().LevelName, "");
  EXPECT_EQ(Shown().SetName, "Pushing");
  ASSERT_LT(SolveByWalkingRight(), 300);
  EXPECT_EQ(Shown().Card, "Solved; not counted as a best: continued from an old save");
  EXPECT_EQ(ProgressLine(2), "");
  ReleaseAllKeys();

  // Without any trailer, loaded while the second level plays: the layout is
  // that level's, so it is named.
  Frame();
  ToMenu();
  Write("game.sav", Save.substr(0, Trailer));
  Click(miLoad);
  ReleaseAllKeys();
  Frame();
  EXPECT_EQ(Shown().LevelName, "Level 2");
}

}  // namespace

namespace {

// The end of a set: its totals on a page of their own, then the menu, where
// Continue says what to do next.
class SetEndTest : public OverlayTest {
protected:
  // Both levels solved from a new game; the right arrow still held.
  void FinishTheSet()
  {
    PlayFromMenu();
    ASSERT_LT(SolveByWalkingRight(), 300);
    ReleaseAllKeys();
    Frame();
    ASSERT_LT(SolveByWalkingRight(), 300);
    ASSERT_EQ(GameGetState(), gsMenu);
    ClearLogs();
  }
  std::vector<std::string> FinishedPages() const { return Calls({"DrawSetFinished"}); }
};

TEST_F(SetEndTest, TheLastLevelShowsTheSetsTotalsInPlaceOfTheMenuUntilAKeyGoesDown)
{
  WriteTwoPushes();
  FinishTheSet();
  Frame();  // the arrow that solved it is still down: no press made on the page
  Frame();
  EXPECT_EQ(FinishedPages(), Texts(2, "DrawSetFinished(Pushing,2,5,2,0)"));
  EXPECT_EQ(CountOf("ProcessMenu"), 0);
  EXPECT_FALSE(Shown().HasCard);  // the page tells it, not the card over it
  ReleaseAllKeys();
  Frame();
  EXPECT_EQ(FinishedPages().size(), 3u);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  EXPECT_EQ(KeyState[VK_ESCAPE], 0);  // taken by the page
  ClearLogs();
  Frame();
  EXPECT_EQ(CountOf("DrawSetFinished"), 0);
  EXPECT_EQ(CountOf("ProcessMenu"), 1);
}

TEST_F(SetEndTest, AClickTakesThePageAwayAndChoosesNoMenuItem)
{
  WriteTwoPushes();
  FinishTheSet();
  ReleaseAllKeys();
  RecordingGraph::SetMenuDefault(miExit);  // where the pointer stands on the menu
  KeyState[VK_LBUTTON] = 1;
  Frame();
  Frame();  // the button is still held: no new press
  EXPECT_EQ(CountOf("DrawSetFinished"), 1);
  EXPECT_EQ(CountOf("ProcessMenu"), 1);
  EXPECT_FALSE(QuitFlag);
}

TEST_F(SetEndTest, ContinueOnAFinishedSetSaysWhatToDoAndStaysInTheMenu)
{
  WriteTwoPushes();
  FinishTheSet();
  ReleaseAllKeys();
  KeyState[VK_ESCAPE] = 1;
  Frame();
  ReleaseAllKeys();
  Click(miContinue);
  ReleaseAllKeys();
  for (int I = 0; I < 3; ++I) Frame();
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_EQ(CountOf("MoveToPlayer"), 0);
  EXPECT_NE(Shown().Message.find("This set is finished"), std::string::npos) << Shown().Message;
  EXPECT_NE(Shown().Message.find("press L"), std::string::npos) << Shown().Message;

  // A new game plays the set again; its end counts from nothing.
  Click(miNewGame);
  ReleaseAllKeys();
  EXPECT_EQ(GameGetState(), gsPlay);
  ASSERT_LT(SolveByWalkingRight(), 300);
  ReleaseAllKeys();
  Frame();
  ASSERT_LT(SolveByWalkingRight(), 300);
  ReleaseAllKeys();
  ClearLogs();
  Frame();
  EXPECT_EQ(FinishedPages(), Texts(1, "DrawSetFinished(Pushing,2,5,2,0)"));
}

// A set finished from a level picked in the chooser counts what was played from there.
TEST_F(SetEndTest, TheTotalsCountFromTheLevelPicked)
{
  WriteTwoPushes();
  BeginFramesInMenu();
  KeyState[VK_CHOOSER] = 1;
  Frame();
  RecordingGraph::QueueChooserResults({1});
  KeyState[VK_LBUTTON] = 1;
  Frame();
  ReleaseAllKeys();
  ASSERT_LT(SolveByWalkingRight(), 300);
  ReleaseAllKeys();
  ClearLogs();
  Frame();
  EXPECT_EQ(FinishedPages(), Texts(1, "DrawSetFinished(Pushing,1,3,1,0)"));
}

}  // namespace
