// The autopilot against the real rules library, on small levels written here:
// it follows pushes, water and float drift, records exactly up to the frame
// that completes a level, and names the move it cannot follow.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include "Autopilot.h"
#include "game.h"

using namespace Autopilot;
namespace fs = std::filesystem;

namespace {

// A packed level file: the count byte, then per level a width/height line and its rows.
std::string Pack(const std::vector<std::vector<std::string>> &Levels)
{
  std::string Text(1, static_cast<char>(Levels.size()));
  Text += '\n';
  for (const auto &Rows : Levels) {
    Text += static_cast<char>(Rows[0].size());
    Text += static_cast<char>(Rows.size());
    Text += '\n';
    for (const std::string &Row : Rows) Text += Row + '\n';
  }
  return Text;
}

enum { Corridor, Drift, Water, Empty, Tunnel, DriftIntoWater };

class AutopilotTest : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    Dir = fs::temp_directory_path() / ("kestrove-autopilot-" + std::to_string(::getpid()));
    fs::create_directories(Dir);
    File = (Dir / "test.lvl").string();
    std::ofstream(File, std::ios::binary) << Pack({
        // Corridor: push the box two cells right onto the destination.
        {"1111111",
         "19 2 31",
         "1111111"},
        // Drift: two boxes, two destinations, many steps up and down before a push.
        {"11111",
         "13  1",
         "1 2 1",
         "1 2 1",
         "19 31",
         "11111"},
        // Water: one box fills the water, the player crosses it and pushes the other home.
        {"11111111",
         "19 25231",
         "11111111"},
        // Empty: no destination, complete from the first frame.
        {"111",
         "191",
         "111"},
        // Tunnel: after a push the player walks a corridor one cell wide and comes back.
        {"1111111",
         "111 111",
         "111 111",
         "19 2 31",
         "1111111"},
        // DriftIntoWater: after many steps right the player's place has gained enough float
        // error that it would touch the box a frame late and run into the water behind it.
        {"111111",
         "1 5  1",
         "1 22 1",
         "11   1",
         "1    1",
         "193521",
         "1   11",
         "111111"},
    });
  }
  static void TearDownTestSuite() { fs::remove_all(Dir); }

  static TFlight FlyOn(int Level, const std::string &Solution)
  {
    return FlyLevel(File, "test.lvl", Level, Solution);
  }

  // Replays the flight's recording on a fresh start of the level: the frame
  // that completes it, 0 for none.
  static uint64_t ReplayOn(int Level, const TRecording &Recording)
  {
    std::string Error;
    EXPECT_TRUE(StartLevel(File, Level, Error)) << Error;
    return Replay(Recording);
  }

  static inline fs::path Dir;
  static inline std::string File;
};

}  // namespace

TEST_F(AutopilotTest, PushesOntoTheDestinationAndStopsAtTheCompletingFrame)
{
  const TFlight Flight = FlyOn(Corridor, "rRR");
  ASSERT_TRUE(Flight.Completed) << Flight.Error;
  EXPECT_EQ(Flight.MovesPlayed, 3);
  EXPECT_EQ(Flight.Recording.LevelFile, "test.lvl");
  EXPECT_EQ(Flight.Recording.LevelIndex, Corridor);
  EXPECT_FALSE(Flight.Recording.Keys3D);
  ASSERT_EQ(Flight.Recording.Runs.size(), 1u);
  EXPECT_EQ(Flight.Recording.Runs[0].Keys, kRight);
  // Two cells of walking and two of pushing, less the frames after the box counts as home:
  // more than twenty frames and fewer than forty, nothing like three moves of ten.
  EXPECT_GT(Flight.Recording.FrameCount(), 20u);
  EXPECT_LT(Flight.Recording.FrameCount(), 40u);
  EXPECT_EQ(ReplayOn(Corridor, Flight.Recording), Flight.Recording.FrameCount());
}

TEST_F(AutopilotTest, SteersThroughDriftAndTheTrailingBox)
{
  // Thirty steps up and twelve down leave the player a little off the 0.1
  // lattice, so this push takes one frame more to touch its box than the first.
  const TFlight Flight = FlyOn(Drift, "uRluurrdDuLdlU");
  ASSERT_TRUE(Flight.Completed) << Flight.Error;
  EXPECT_EQ(Flight.MovesPlayed, 14);
  EXPECT_EQ(ReplayOn(Drift, Flight.Recording), Flight.Recording.FrameCount());
  // The same keys played one frame short leave the level unsolved.
  TRecording Short = Flight.Recording;
  Short.Runs.back().Frames -= 1;
  if (Short.Runs.back().Frames == 0) Short.Runs.pop_back();
  EXPECT_EQ(ReplayOn(Drift, Short), 0u);
}

TEST_F(AutopilotTest, FillsWaterAndCrossesIt)
{
  const TFlight Flight = FlyOn(Water, "rRrR");
  ASSERT_TRUE(Flight.Completed) << Flight.Error;
  EXPECT_EQ(ReplayOn(Water, Flight.Recording), Flight.Recording.FrameCount());

  // Once the box has filled the water there is no box left on that cell to push.
  const TFlight Wrong = FlyOn(Water, "rRRR");
  EXPECT_FALSE(Wrong.Completed);
  EXPECT_EQ(Wrong.FailedMove, 2);
  EXPECT_EQ(Wrong.Error, "move 3 'R': a push, but no box stands at (4,1)");
}

TEST_F(AutopilotTest, TurnsTheViewToLineUpAPushIntoWater)
{
  const std::string Solution = "ururUruLlDDD";
  const TFlight Flight = FlyOn(DriftIntoWater, Solution);
  ASSERT_TRUE(Flight.Completed) << Flight.Error;
  EXPECT_EQ(ReplayOn(DriftIntoWater, Flight.Recording), Flight.Recording.FrameCount());
  // A view turn moves the player by 0.0001 of a step: the only move smaller than a step.
  bool Turned = false;
  for (const TRun &Run : Flight.Recording.Runs) Turned |= (Run.Keys & (kPgUp | kPgDn)) != 0;
  EXPECT_TRUE(Turned);

  // The same moves held as plain keys, each for as long as it took, stop at the water.
  std::string Error;
  ASSERT_TRUE(StartLevel(File, DriftIntoWater, Error)) << Error;
  std::vector<TMove> Moves;
  ASSERT_TRUE(ParseSolution(Solution, Moves, Error));
  TRecording Plain;
  for (const TKeys Keys : Flight.Recording.Frames()) {
    if (Keys & (kPgUp | kPgDn)) break;
    Plain.Append(Keys);
  }
  Plain.Append(kLeft, 12);  // the push into the water, straight on
  Replay(Plain);
  const TObjArray Objects = GameGetObjects();
  int32_t Water = 0;
  for (int32_t i = 0; i < Objects.Count; ++i) Water += Objects.Items[i].Kind == okWater;
  EXPECT_EQ(Water, 2) << "the box filled the water without the turn";
}

TEST_F(AutopilotTest, StaysCentredInACorridorAfterAPush)
{
  const TFlight Flight = FlyOn(Tunnel, "rRuuddR");
  ASSERT_TRUE(Flight.Completed) << Flight.Error;
  std::string Error;
  ASSERT_TRUE(StartLevel(File, Tunnel, Error)) << Error;
  // Whenever the player walks the corridor it stands on the middle of its cells.
  for (const TKeys Keys : Flight.Recording.Frames()) {
    PlayFrame(Keys, false, false);
    const TPlayer Player = GameGetPlayer();
    if (Keys & (kUp | kDown)) {
      const double Across = Player.Box.x - 0.15 - std::nearbyint(Player.Box.x - 0.15);
      EXPECT_LT(std::fabs(Across), 1e-6) << "x " << Player.Box.x;
    }
  }
}

TEST_F(AutopilotTest, CompletesInsideTheLastPushOrAtOnce)
{
  // The box counts as home some frames before it comes to rest; the moves after that are not played.
  const TFlight Early = FlyOn(Corridor, "rRRRR");
  ASSERT_TRUE(Early.Completed) << Early.Error;
  EXPECT_EQ(Early.MovesPlayed, 3);
  EXPECT_EQ(Early.Recording.FrameCount(), FlyOn(Corridor, "rRR").Recording.FrameCount());

  // A level without destinations is complete in its first frame.
  const TFlight AtOnce = FlyOn(Empty, "");
  ASSERT_TRUE(AtOnce.Completed) << AtOnce.Error;
  EXPECT_EQ(AtOnce.Recording.Runs, (std::vector<TRun>{{1, 0}}));
}

TEST_F(AutopilotTest, NamesTheMoveThatCannotBeFollowed)
{
  struct TCase { int Level; std::string Solution; int FailedMove; std::string Error; };
  const std::vector<TCase> Cases = {
      {Corridor, "l", 0, "move 1 'l': the player would walk into a wall at (0,1)"},
      {Corridor, "rRrR", 2, "move 3 'r': a walk, but a box stands at (4,1) (write the move in capitals to push it)"},
      {Corridor, "R", 0, "move 1 'R': a push, but no box stands at (2,1)"},
      {Drift, "uRR", 2, "move 3 'R': the box at (3,2) cannot move: a wall stands at (4,2)"},
      {Drift, "rU", 1, "move 2 'U': the box at (2,2) cannot move: a box stands at (2,3)"},
      {Water, "rRlll", 4, "move 5 'l': the player would walk into a wall at (0,1)"},
      {Water, "rrr", 1, "move 2 'r': a walk, but a box stands at (3,1) (write the move in capitals to push it)"},
      {Corridor, "rR", -1, "all 2 moves played, but only 0 of 1 destinations are covered"},
  };
  for (const TCase &Case : Cases) {
    const TFlight Flight = FlyOn(Case.Level, Case.Solution);
    EXPECT_FALSE(Flight.Completed) << Case.Solution;
    EXPECT_EQ(Flight.FailedMove, Case.FailedMove) << Case.Solution;
    EXPECT_EQ(Flight.Error, Case.Error) << Case.Solution;
  }
}

TEST_F(AutopilotTest, RefusesBadSolutionsAndMissingLevelsWithoutLoadingThem)
{
  EXPECT_EQ(FlyOn(Corridor, "rRx").Error, "solution: bad move 'x' at position 3 (moves are u d l r, capitals for pushes)");
  EXPECT_EQ(FlyOn(7, "r").Error, File + ": no level 7 (the file holds 6)");
  // The rules library would end the process on a file it cannot open.
  const TFlight Missing = FlyLevel((Dir / "none.lvl").string(), "none.lvl", 0, "r");
  EXPECT_FALSE(Missing.Completed);
  EXPECT_NE(Missing.Error.find("none.lvl: cannot open"), std::string::npos) << Missing.Error;
}

TEST(Solution, ParsesMovesWithRepeatCounts)
{
  std::vector<TMove> Moves;
  std::string Error;
  ASSERT_TRUE(ParseSolution(" 3r U\n2d L", Moves, Error)) << Error;
  std::string Letters;
  for (const TMove &Move : Moves) Letters += Move.Letter;
  EXPECT_EQ(Letters, "rrrUddL");
  EXPECT_TRUE(Moves[3].Push);
  EXPECT_EQ(Moves[3].Dy, 1);
  EXPECT_FALSE(Moves[4].Push);
  EXPECT_EQ(Moves[4].Dy, -1);
  EXPECT_EQ(Moves[6].Dx, -1);

  EXPECT_FALSE(ParseSolution("r3", Moves, Error));
  EXPECT_EQ(Error, "a count without a move at the end");
  EXPECT_FALSE(ParseSolution("3 r", Moves, Error));
  EXPECT_FALSE(ParseSolution("999999r", Moves, Error));
  EXPECT_FALSE(ParseSolution("r\x01", Moves, Error));
  EXPECT_EQ(Error, "bad move '\\x1' at position 2 (moves are u d l r, capitals for pushes)");
}

TEST_F(AutopilotTest, ReadsWhatEachLevelHolds)
{
  std::vector<TLevelInfo> Levels;
  std::string Error;
  ASSERT_TRUE(ReadLevelFile(File, Levels, Error)) << Error;
  ASSERT_EQ(Levels.size(), 6u);
  const TLevelInfo &W = Levels[Water];
  EXPECT_EQ(W.Width, 8);
  EXPECT_EQ(W.Height, 3);
  EXPECT_EQ(W.Objects, 8 + 2 + 2 + 1 + 1 + 8);
  EXPECT_EQ(W.Boxes, 2);
  EXPECT_EQ(W.Targets, 1);
  EXPECT_EQ(W.Water, 1);
  EXPECT_TRUE(W.HasPlayer);
  EXPECT_EQ(W.PlayerColumn, 1);
  EXPECT_EQ(W.PlayerY, 1);
  // The same as the library builds.
  ASSERT_TRUE(StartLevel(File, Water, Error)) << Error;
  EXPECT_EQ(GameGetObjects().Count, W.Objects);
  EXPECT_EQ(GameGetFieldSize().Width, 8);
  EXPECT_DOUBLE_EQ(GameGetPlayer().Box.x, 1.15);

  EXPECT_FALSE(ReadLevelFile((Dir / "none.lvl").string(), Levels, Error));
  std::ofstream(Dir / "empty.lvl", std::ios::binary) << "";
  EXPECT_FALSE(ReadLevelFile((Dir / "empty.lvl").string(), Levels, Error));
  EXPECT_NE(Error.find("empty.lvl: empty"), std::string::npos) << Error;
}

// Bytes the game's line reading treats specially: what the autopilot reads of
// each level is what the library builds from it, level for level.
TEST_F(AutopilotTest, ReadsAwkwardBytesAsTheLibraryBuildsThem)
{
  const std::string Awkward = std::string("\x05 title\r\n") +
                              "\x04\x02\r\n1\r92\r\n13\n" +  // a CR inside a row, CR LF ends
                              "\x06\x03\n19\n\n222222333\n" +   // short rows, a long one
                              "\x03\x01\n39\x1a" + "5\n\x02\x02\n55\n55\n";  // byte 26 ends the text
  const std::string Path = (Dir / "awkward.lvl").string();
  std::ofstream(Path, std::ios::binary) << Awkward;
  std::vector<TLevelInfo> Levels;
  std::string Error;
  ASSERT_TRUE(ReadLevelFile(Path, Levels, Error)) << Error;
  ASSERT_EQ(Levels.size(), 3u);
  EXPECT_EQ(Levels[0].Width, 4);
  EXPECT_EQ(Levels[0].Boxes, 1);
  EXPECT_EQ(Levels[2].Height, 1);
  for (int32_t Index = 0; Index < static_cast<int32_t>(Levels.size()); ++Index) {
    GameInit();
    int32_t Loaded = Index;
    ASSERT_TRUE(GameLoadMap(Path.c_str(), &Loaded)) << Index;
    EXPECT_EQ(GameGetObjects().Count, Levels[Index].Objects) << Index;
    EXPECT_EQ(GameGetFieldSize().Width, Levels[Index].Width) << Index;
    EXPECT_EQ(GameGetFieldSize().Height, Levels[Index].Height) << Index;
    if (Levels[Index].HasPlayer) {
      EXPECT_DOUBLE_EQ(GameGetPlayer().Box.x, Levels[Index].PlayerColumn + 0.15) << Index;
    }
  }
  // The count names five levels, the text ends inside the third.
  int32_t Past = 3;
  EXPECT_FALSE(GameLoadMap(Path.c_str(), &Past));
}

TEST_F(AutopilotTest, PlayFrameReadsNoKeysWhileTheViewTurns)
{
  std::string Error;
  ASSERT_TRUE(StartLevel(File, Tunnel, Error)) << Error;
  const double StartX = GameGetPlayer().Box.x;
  PlayFrame(kPgDn, false, false);
  EXPECT_EQ(GameGetPlayer().Direction, 1);
  for (int i = 0; i < 17; ++i) PlayFrame(kRight | kPgDn, false, false);
  EXPECT_EQ(GameGetPlayer().Box.x, StartX + 0.0001f * 0.1f);  // only the nudge after the turn
  EXPECT_EQ(GameGetPlayer().Direction, 1);
  // With the 3D mapping Left turns instead of moving.
  PlayFrame(kLeft, true, false);
  EXPECT_EQ(GameGetPlayer().Direction, 0);
}
