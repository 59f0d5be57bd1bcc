// The steady pace: the rules run 60 rule frames a second (the default "Pace")
// whatever the drawing rate, on the recording window system's clock; drawing
// shows the world between the last two rule frames; a slow drawn frame slows
// the game rather than jumping it; taps and held keys; the drawing cap.
#include "LauncherFixture.h"
#include "LevelPlay.h"
#include "Pace.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double CellsPerRuleFrame = 0.1;
constexpr uint64_t RuleFrameUs = 1000000 / DefaultPace;

// A corridor 42 cells long, the player at its west end; the box and its mark
// sit above it, out of the way.
const std::vector<std::string> Corridor = {
  std::string(44, '1'),
  "123" + std::string(40, ' ') + "1",
  "19" + std::string(41, ' ') + "1",
  std::string(44, '1'),
};

double PlayerX() { return GameGetPlayer().Box.x; }

double BoxX()
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) return Objects.Items[I].Box.x;
  return -1;
}

class PaceTest : public LauncherTest {
protected:
  void PlayCorridor(const std::vector<std::string> &Config = {"3DKeys=0", "Pace=60"})
  {
    ResetLauncherState();
    Recording::Reset();
    Write("maps.ini", "c.lvl=Corridor\n");
    Write("c.lvl", LevelSet({Corridor}));
    WriteConfig(Config);
    BeginFramesInMenu();
    GameSetState(gsPlay);
  }

  // Drawn frames at Fps for Seconds of the test's clock, from its time now.
  void DrawFor(double Seconds, int Fps, const std::function<void()> &EachFrame = {})
  {
    const uint64_t Start = Recording::Microseconds();
    const int Frames = static_cast<int>(std::lround(Seconds * Fps));
    for (int I = 1; I <= Frames; ++I) {
      Frame();
      if (EachFrame) EachFrame();
      Recording::AdvanceMicroseconds(Start + static_cast<uint64_t>(std::llround(I * 1e6 / Fps)) -
                                     Recording::Microseconds());
    }
  }

  // The x of each DrawPlayer since the logs were cleared.
  static std::vector<double> DrawnXs()
  {
    std::vector<double> Xs;
    for (const auto &C : RecordingGraph::Log())
      if (C.Name == "DrawPlayer") Xs.push_back(std::stod(C.Args[0]));
    return Xs;
  }

  void Press(UINT Key) { WndProc(Engine->Handle, WM_KEYDOWN, Key, 1); }
  void Repeat(UINT Key) { WndProc(Engine->Handle, WM_KEYDOWN, Key, LPARAM(1) << 30 | 1); }
  void Release(UINT Key) { WndProc(Engine->Handle, WM_KEYUP, Key, LPARAM(0xC0000001u)); }
};

}  // namespace

// A 2 s hold (from the drawn frame that finds the key down to the one 2 s
// later) walks 12 cells, 6 a second, at every drawing rate, give or take one
// rule frame.
TEST_F(PaceTest, HeldKeyWalksAlikeAtEveryDrawingRate)
{
  std::vector<double> Walked;
  for (const int Fps : {24, 60, 144, 500}) {
    SCOPED_TRACE(std::to_string(Fps) + " drawn frames a second");
    PlayCorridor();
    const double Start = PlayerX();
    KeyState[VK_RIGHT] = 1;
    DrawFor(2.0, Fps);
    Frame();
    KeyState[VK_RIGHT] = 0;
    DrawFor(0.5, Fps);
    Walked.push_back(PlayerX() - Start);
    EXPECT_NEAR(Walked.back(), 2.0 * DefaultPace * CellsPerRuleFrame, CellsPerRuleFrame + 1e-6);
  }
  const auto [Least, Most] = std::minmax_element(Walked.begin(), Walked.end());
  EXPECT_LE(*Most - *Least, CellsPerRuleFrame + 1e-6);
}

// A quarter turn ends at the same time at every drawing rate, give or take one
// rule frame and one drawn frame.
TEST_F(PaceTest, QuarterTurnTakesTheSameTimeAtEveryDrawingRate)
{
  std::vector<std::pair<int, uint64_t>> Took;
  for (const int Fps : {500, 144, 60, 24}) {
    SCOPED_TRACE(std::to_string(Fps) + " drawn frames a second");
    PlayCorridor();
    KeyState[VK_NEXT] = 1;
    Frame();
    KeyState[VK_NEXT] = 0;
    ASSERT_NE(GameGetRotateAngle(), 0.0f);
    const uint64_t Start = Recording::Microseconds();
    uint64_t Ended = 0;
    DrawFor(2.0, Fps, [&] {
      if (!Ended && std::nearbyint(GameGetRotateAngle()) == 0.0f) Ended = Recording::Microseconds() - Start;
    });
    ASSERT_NE(Ended, 0u);
    Took.emplace_back(Fps, Ended);
  }
  const uint64_t Finest = Took.front().second;
  EXPECT_GT(Finest, 5 * RuleFrameUs);
  for (const auto &[Fps, Ended] : Took)
    EXPECT_NEAR(double(Ended), double(Finest), double(RuleFrameUs) + 1e6 / Fps) << Fps << " drawn frames a second";
}

// At 240 drawn frames a second, four to a rule frame: the player is drawn a
// little further on each time, between the last two rule frames, never beyond
// the last; the view angle likewise during a turn.
TEST_F(PaceTest, DrawingBetweenRuleFramesIsBlended)
{
  PlayCorridor();
  KeyState[VK_RIGHT] = 1;
  DrawFor(0.1, 240);
  ClearLogs();
  std::vector<double> RuleXs;
  DrawFor(0.5, 240, [&] { RuleXs.push_back(PlayerX()); });
  const std::vector<double> Xs = DrawnXs();
  ASSERT_EQ(Xs.size(), RuleXs.size());
  for (size_t I = 1; I < Xs.size(); ++I) {
    EXPECT_GT(Xs[I], Xs[I - 1]) << "drawn frame " << I;
    EXPECT_LT(Xs[I] - Xs[I - 1], CellsPerRuleFrame / 2) << "drawn frame " << I;
    EXPECT_LE(Xs[I], RuleXs[I] + 1e-6);
    EXPECT_GE(Xs[I], RuleXs[I] - CellsPerRuleFrame - 1e-6);
  }

  KeyState[VK_RIGHT] = 0;
  KeyState[VK_NEXT] = 1;
  DrawFor(1.0 / 60, 240);
  KeyState[VK_NEXT] = 0;
  ClearLogs();
  DrawFor(0.05, 240);
  std::vector<double> Angles;
  for (const auto &C : RecordingGraph::Log())
    if (C.Name == "MoveToPlayer") Angles.push_back(std::stod(C.Args[4]));
  ASSERT_EQ(Angles.size(), 12u);
  for (size_t I = 1; I < Angles.size(); ++I) EXPECT_GT(Angles[I], Angles[I - 1]) << "drawn frame " << I;
}

// Five drawn frames a second is below the bound of MaxRuleFramesPerDraw rule
// frames a drawn frame: the game runs at 5 x MaxRuleFramesPerDraw rule frames
// a second instead of 60, and no drawn frame shows the player more than that
// many rule frames further on. A stall of three seconds is one slow frame like
// any other.
TEST_F(PaceTest, SlowDrawingSlowsTheGameAndDoesNotJump)
{
  PlayCorridor();
  const double Start = PlayerX();
  KeyState[VK_RIGHT] = 1;
  double Before = PlayerX();
  DrawFor(2.0, 5, [&] {
    EXPECT_LE(PlayerX() - Before, MaxRuleFramesPerDraw * CellsPerRuleFrame + 1e-6);
    Before = PlayerX();
  });
  // One rule frame at once, then the bound's worth for each of the nine slow frames.
  EXPECT_NEAR(PlayerX() - Start, (1 + 9 * MaxRuleFramesPerDraw) * CellsPerRuleFrame, 1e-6);

  Before = PlayerX();
  Recording::AdvanceTicks(3000);
  Frame();
  EXPECT_NEAR(PlayerX() - Before, MaxRuleFramesPerDraw * CellsPerRuleFrame, 1e-6);
  for (double Drawn : DrawnXs()) EXPECT_LE(Drawn, PlayerX() + 1e-6);
}

// Time spent in the menu owes the rules nothing: play resumes where it stopped.
TEST_F(PaceTest, TimeOutOfPlayRunsNoRuleFrames)
{
  PlayCorridor();
  Frame();
  GameSetState(gsMenu);
  Frame();
  Recording::AdvanceTicks(5000);
  Frame();
  GameSetState(gsPlay);
  KeyState[VK_RIGHT] = 1;
  const double Before = PlayerX();
  Recording::AdvanceTicks(5000);
  Frame();
  EXPECT_NEAR(PlayerX() - Before, CellsPerRuleFrame, 1e-6);  // the first rule frame, at once
}

// "Pace=0": one rule frame per drawn frame, however long it took.
TEST_F(PaceTest, PaceZeroRunsOneRuleFramePerDrawnFrame)
{
  PlayCorridor({"3DKeys=0", "Pace=0"});
  KeyState[VK_RIGHT] = 1;
  for (const DWORD Ms : {0u, 2u, 100u, 1000u}) {
    const double Before = PlayerX();
    Recording::AdvanceTicks(Ms);
    Frame();
    EXPECT_NEAR(PlayerX() - Before, CellsPerRuleFrame, 1e-6) << Ms << " ms";
  }
  EXPECT_EQ(Recording::Count("QueryPerformanceCounter"), 0u);
}

// A key pressed and let go within 10 ms, between two rule frames, still moves
// the player one rule frame; a tap of undo still undoes.
TEST_F(PaceTest, TenMillisecondTapMovesThePlayer)
{
  PlayCorridor();
  DrawFor(0.1, 500);
  do {  // to just after a rule frame
    ClearLogs();
    DrawFor(0.002, 500);
  } while (CountOf("GameProcessPlayer") == 0);
  const double Before = PlayerX();
  ClearLogs();
  Press(VK_RIGHT);
  DrawFor(0.010, 500);
  Release(VK_RIGHT);
  ASSERT_EQ(CountOf("GameProcessPlayer"), 0) << "a rule frame saw the key held: no tap";
  DrawFor(0.1, 500);
  EXPECT_NEAR(PlayerX() - Before, CellsPerRuleFrame, 1e-6);

  Press(VK_UNDO);
  Release(VK_UNDO);
  DrawFor(0.1, 500);
  EXPECT_EQ(PlayerX(), Before);
}

// A held key that solves a level does not walk on into the next one, not even
// on its auto-repeats; a fresh press moves the player there at once.
TEST_F(PaceTest, HeldKeyThatSolvesALevelDoesNotWalkOn)
{
  for (const char *Pace : {"Pace=0", "Pace=60"}) {
    SCOPED_TRACE(Pace);
    ResetLauncherState();
    Recording::Reset();
    Write("maps.ini", "p.lvl=Pushing\n");
    Write("p.lvl", LevelSet({{"      ", " 9 23 ", "      "}, {"       ", " 9 2  3", "       "}}));
    WriteConfig({"3DKeys=0", Pace});
    BeginFramesInMenu();
    GameSetState(gsPlay);
    Press(VK_RIGHT);
    for (int I = 0; I < 200 && LevelPlay.LevelIndex == 0; ++I) DrawFor(0.02, 50, [&] { Repeat(VK_RIGHT); });
    ASSERT_EQ(LevelPlay.LevelIndex, 1);
    const double PlayerAt = PlayerX(), BoxAt = BoxX();
    DrawFor(0.5, 50, [&] { Repeat(VK_RIGHT); });
    EXPECT_EQ(PlayerX(), PlayerAt);
    EXPECT_EQ(BoxX(), BoxAt);

    Release(VK_RIGHT);
    Press(VK_RIGHT);
    DrawFor(0.1, 50);
    EXPECT_GT(PlayerX(), PlayerAt);
    Release(VK_RIGHT);
  }
}

// Boxes are drawn from the rules' own array, except while one is on its way
// between two rule frames.
TEST_F(PaceTest, OnlyAMovingBoxIsDrawnFromACopy)
{
  ResetLauncherState();
  Recording::Reset();
  Write("maps.ini", "p.lvl=Pushing\n");
  Write("p.lvl", LevelSet({{"            ", " 9 2       3", "            "}}));
  WriteConfig({"3DKeys=0", "Pace=60"});
  BeginFramesInMenu();
  GameSetState(gsPlay);
  const std::string Own = "DrawObjects(" + RecordingGraph::PointerText(GameGetObjects().Items) + ",";
  const auto FromOwnArray = [&] {
    int Own_ = 0, Copies = 0;
    for (const std::string &T : Calls({"DrawObjects"})) (T.rfind(Own, 0) == 0 ? Own_ : Copies)++;
    return std::pair{Own_, Copies};
  };
  ClearLogs();
  DrawFor(0.5, 240);
  EXPECT_EQ(FromOwnArray(), (std::pair{120, 0}));

  KeyState[VK_RIGHT] = 1;  // walks up to the box and pushes it
  ClearLogs();
  DrawFor(1.0, 240);
  ASSERT_GT(BoxX(), 4.0);
  const auto [OwnArray, Copies] = FromOwnArray();
  EXPECT_GT(OwnArray, 0);
  EXPECT_GT(Copies, 0);
}

// Drawing is capped: at "MaxFPS=50" a frame that took 2 ms is followed by
// 18 ms of sleep. FPS still counts drawn frames.
TEST_F(PaceTest, DrawingIsCappedAndTheRestSlept)
{
  PlayCorridor({"3DKeys=0", "Pace=60", "MaxFPS=50"});
  EXPECT_EQ(PaceSettings.MaxFps, 50);
  const uint64_t Start = Recording::Microseconds();
  Recording::OnPeekMessage([](std::size_t Peek) {
    Recording::AdvanceTicks(2);
    if (Peek == 101) QuitFlag = true;
  });
  RunMainLoop();
  EXPECT_NEAR(Engine->FPS, 50u, 3u);
  EXPECT_NEAR(double(Recording::Microseconds() - Start), 101 * 20000.0, 20000.0);
  EXPECT_GE(Recording::Count("Sleep"), 99u);
  EXPECT_NEAR(PlayerX(), 1.15, 1e-6);  // no key, no walk: and 2 s of rule frames ran without harm
}

// With no "MaxFPS" the cap is the display's refresh rate, or 60 where the
// display does not say; "MaxFPS=0" draws as fast as it can, sleeping never.
TEST_F(PaceTest, CapFollowsTheDisplayUnlessSet)
{
  const auto CapWith = [&](DWORD Hertz, const char *Line) {
    ResetLauncherState();
    Recording::Reset();
    Recording::SetCurrentDisplayMode(1280, 1024, 32, Hertz);
    WriteStandardWorld();
    WriteConfig({Line});
    BeginPass();
    return PaceSettings.MaxFps;
  };
  EXPECT_EQ(CapWith(144, "MaxFPS="), 144);
  EXPECT_EQ(CapWith(0, "MaxFPS="), FallbackMaxFps);
  EXPECT_EQ(CapWith(1, "MaxFPS="), FallbackMaxFps);
  EXPECT_EQ(CapWith(144, "MaxFPS=75"), 75);
  EXPECT_EQ(CapWith(144, "MaxFPS=fast"), FallbackMaxFps);
  EXPECT_EQ(CapWith(144, "MaxFPS=0"), 0);
  Recording::OnPeekMessage([](std::size_t Peek) { QuitFlag = Peek == 20; });
  RunMainLoop();
  EXPECT_EQ(Recording::Count("Sleep"), 0u);
}
