// The proof that every shipped level can be solved under the real rules: each
// packed set is started as the program starts it (its configuration, the map
// list, a pass, the menu's new game) and played from its first level through
// all its recordings in order, one rule frame of the real frame driver per
// recorded frame (a drawn frame each, the test's clock moved on by one rule
// frame between them), against the recording window system and the recording
// renderer. Each
// recording must complete its level exactly in its last frame: the next level
// of the set then stands ready, and after the last one the menu shows.
//
//   levels_proof <packed-levels-dir> <map-list> <recordings-dir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "Autopilot.h"
#include "Kestrove.h"
#include "RecordingGraph.h"
#include "RecordingPlatform.h"
#include "Recording.h"

using namespace Autopilot;
namespace fs = std::filesystem;

namespace {

fs::path LevelsDir, MapListFile, RecordingsDir;

constexpr uint64_t RuleFramesPerSecond = 60;

// The test's clock at the n-th rule frame after the first: the first runs at
// once, each later one is due 1/60 s after the one before.
void MoveClockToRuleFrame(uint64_t Start, uint64_t N)
{
  const uint64_t Due = Start + (N * 1000000 + RuleFramesPerSecond - 1) / RuleFramesPerSecond;
  Recording::AdvanceMicroseconds(Due - Recording::Microseconds());
}

struct TShipped {
  std::string Path;
  TRecording Recording;
};

std::string Lower(std::string Text)
{
  std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char C) { return std::tolower(C); });
  return Text;
}

// Every recording, by the lower-cased name of the level file it plays.
const std::map<std::string, std::vector<TShipped>> &Recordings()
{
  static const auto All = [] {
    std::map<std::string, std::vector<TShipped>> Sets;
    std::vector<fs::path> Files;
    for (const auto &Entry : fs::directory_iterator(RecordingsDir))
      if (Entry.path().extension() == ".rec") Files.push_back(Entry.path());
    std::sort(Files.begin(), Files.end());
    for (const fs::path &File : Files) {
      TShipped Shipped{File.filename().string(), {}};
      std::string Error;
      if (!LoadRecordingFile(File.string(), Shipped.Recording, Error)) {
        ADD_FAILURE() << Error;
        continue;
      }
      Sets[Lower(Shipped.Recording.LevelFile)].push_back(std::move(Shipped));
    }
    return Sets;
  }();
  return All;
}

std::vector<fs::path> PackedSets()
{
  std::vector<fs::path> Sets;
  for (const auto &Entry : fs::directory_iterator(LevelsDir))
    if (Entry.path().extension() == ".lvl") Sets.push_back(Entry.path());
  std::sort(Sets.begin(), Sets.end());
  return Sets;
}

// The launcher's key-state entries for one recorded frame: those keys down, the rest up.
void HoldKeys(TKeys Keys)
{
  for (const TKeyInfo &Info : KeyTable()) KeyState[Info.VirtualKey] = (Keys & Info.Key) ? 1 : 0;
}

// Whether the world in the rules library is the given level as it loads.
::testing::AssertionResult IsLevelStart(const TLevelInfo &Level)
{
  const TFieldSize Field = GameGetFieldSize();
  const TPlayer Player = GameGetPlayer();
  const int32_t Objects = GameGetObjects().Count;
  const double X = Level.PlayerColumn + 0.15, Y = Level.PlayerY + 0.15;
  if (Field.Width == Level.Width && Field.Height == Level.Height && Objects == Level.Objects &&
      Player.Box.x == X && Player.Box.y == Y && Player.PrevPos.x == X && Player.PrevPos.y == Y &&
      Player.Direction == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "the world is " << Field.Width << "x" << Field.Height << " with " << Objects << " objects, the player at ("
         << Player.Box.x << "," << Player.Box.y << ") facing " << int(Player.Direction) << "; the level is "
         << Level.Width << "x" << Level.Height << " with " << Level.Objects << " objects, the player at (" << X << ","
         << Y << ") facing 0";
}

// Each proof runs in a directory of its own holding what the program finds
// beside it: config.ini, the map list and the packed sets.
class TRunDir {
public:
  TRunDir()
  {
    Dir = fs::temp_directory_path() / ("kestrove-proof-" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    fs::copy_file(MapListFile, Dir / "maps.ini");
    for (const fs::path &Set : PackedSets()) fs::copy_file(Set, Dir / Set.filename());
    Old = fs::current_path();
    fs::current_path(Dir);
  }
  ~TRunDir()
  {
    fs::current_path(Old);
    std::error_code Ignored;
    fs::remove_all(Dir, Ignored);
  }
  void WriteConfig(int32_t Map, bool Keys3D) const
  {
    std::ofstream(Dir / "config.ini", std::ios::binary)
        << "Maps=maps.ini\r\nMap=" << Map << "\r\n3DKeys=" << (Keys3D ? 1 : 0) << "\r\nSaveFile=save.dat\r\nPace="
        << RuleFramesPerSecond << "\r\nMaxFPS=0\r\n";
  }

private:
  fs::path Dir, Old;
};

void ResetEverything()
{
  ResetLauncherState();
  Recording::Reset();
  RecordingGraph::Reset();
}

// The index of the set in the map list, by its file name, or -1.
int32_t MapIndexOf(const std::string &FileName)
{
  TMaps Maps{};
  GameLoadMaps("maps.ini", &Maps);
  int32_t Found = -1;
  for (int32_t i = 0; i < Maps.Count && Found < 0; ++i)
    if (Lower(Maps.Items[i].FileName) == Lower(FileName)) Found = i;
  FreeMaps(&Maps);
  return Found;
}

void ProveSet(const fs::path &PackedSet)
{
  const std::string SetFile = PackedSet.filename().string();
  std::vector<TLevelInfo> Levels;
  std::string Error;
  ASSERT_TRUE(ReadLevelFile(PackedSet.string(), Levels, Error)) << Error;
  ASSERT_FALSE(Levels.empty()) << SetFile << " holds no level";

  // One recording per level, in level order.
  std::vector<const TShipped *> ByLevel(Levels.size(), nullptr);
  const auto Found = Recordings().find(Lower(SetFile));
  if (Found != Recordings().end()) {
    for (const TShipped &Shipped : Found->second) {
      const auto Index = static_cast<std::size_t>(Shipped.Recording.LevelIndex);
      ASSERT_LT(Index, Levels.size()) << Shipped.Path << " plays level " << Index << " of " << SetFile
                                      << ", which holds " << Levels.size();
      ASSERT_EQ(ByLevel[Index], nullptr) << Shipped.Path << " and " << ByLevel[Index]->Path << " both play level "
                                         << Index << " of " << SetFile;
      ByLevel[Index] = &Shipped;
    }
  }
  for (std::size_t i = 0; i < Levels.size(); ++i)
    ASSERT_NE(ByLevel[i], nullptr) << "level " << i << " of " << SetFile << " has no recording in " << RecordingsDir;

  const TRunDir RunDir;
  ResetEverything();
  GameInit();
  const int32_t Map = MapIndexOf(SetFile);
  ASSERT_GE(Map, 0) << SetFile << " is not in the map list " << MapListFile << ", so the game does not offer it";
  RunDir.WriteConfig(Map, ByLevel[0]->Recording.Keys3D);

  // A pass as the program runs it opens on the menu; the menu's new game starts the set.
  BeginPass();
  ASSERT_EQ(GameGetState(), gsMenu);
  RecordingGraph::QueueMenuResults({0});
  KeyState[VK_LBUTTON] = 1;
  ProcessFrame();
  ASSERT_EQ(KeyState[VK_LBUTTON], 0);
  ASSERT_EQ(GameGetState(), gsPlay) << "the menu's new game did not start " << SetFile;

  uint64_t TotalFrames = 0;
  const uint64_t Start = Recording::Microseconds();
  for (std::size_t Level = 0; Level < Levels.size(); ++Level) {
    const TRecording &Recording = ByLevel[Level]->Recording;
    const std::string Where = SetFile + " level " + std::to_string(Level) + " (" + ByLevel[Level]->Path + ")";
    ASSERT_TRUE(IsLevelStart(Levels[Level])) << Where << " did not start as it loads";
    Settings.Keys3D = Recording.Keys3D;
    const std::vector<TKeys> Frames = Recording.Frames();
    for (std::size_t Frame = 0; Frame < Frames.size(); ++Frame) {
      ASSERT_EQ(GameGetState(), gsPlay) << Where << ": left play before frame " << Frame + 1;
      // What the frame driver is about to count: the level completes in the
      // frame whose count finds every destination covered.
      int32_t Covered = 0, Targets = 0;
      CountCovered(Covered, Targets);
      if (Frame + 1 < Frames.size())
        ASSERT_NE(Covered, Targets) << Where << ": complete already in frame " << Frame + 1 << " of "
                                    << Frames.size();
      else
        ASSERT_EQ(Covered, Targets) << Where << ": not complete in the recording's last frame, "
                                    << Frames.size() << " (" << Covered << " of " << Targets << " covered)";
      HoldKeys(Frames[Frame]);
      MoveClockToRuleFrame(Start, TotalFrames + Frame);
      ProcessFrame();
      RecordingGraph::ClearLog();
      Recording::ClearLog();
    }
    TotalFrames += Frames.size();
  }
  HoldKeys(0);
  EXPECT_EQ(GameGetState(), gsMenu) << "the menu does not show after the last level of " << SetFile;
  EndPass();
  ResetEverything();
  std::cout << SetFile << ": " << Levels.size() << " levels proven in " << TotalFrames << " frames\n";
}

// Every recording plays a level that is shipped.
void ProveNoStrayRecording()
{
  std::map<std::string, std::size_t> Counts;
  for (const fs::path &Set : PackedSets()) {
    std::vector<TLevelInfo> Levels;
    std::string Error;
    ASSERT_TRUE(ReadLevelFile(Set.string(), Levels, Error)) << Error;
    Counts[Lower(Set.filename().string())] = Levels.size();
  }
  for (const auto &[SetFile, Shipped] : Recordings()) {
    EXPECT_TRUE(Counts.count(SetFile)) << Shipped.front().Path << " plays " << Shipped.front().Recording.LevelFile
                                       << ", which is not among the packed sets in " << LevelsDir;
  }
}

}  // namespace

int main(int argc, char **argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::cerr << "usage: levels_proof <packed-levels-dir> <map-list> <recordings-dir>\n";
    return 2;
  }
  LevelsDir = fs::absolute(argv[1]);
  MapListFile = fs::absolute(argv[2]);
  RecordingsDir = fs::absolute(argv[3]);
  if (!fs::is_directory(LevelsDir) || !fs::is_regular_file(MapListFile) || !fs::is_directory(RecordingsDir)) {
    std::cerr << "levels_proof: " << LevelsDir << ", " << MapListFile << " or " << RecordingsDir << " is missing\n";
    return 2;
  }
  const std::vector<fs::path> Sets = PackedSets();
  if (Sets.empty()) {
    std::cerr << "levels_proof: no packed level set in " << LevelsDir << "\n";
    return 2;
  }
  for (const fs::path &Set : Sets) {
    ::testing::RegisterTest("EveryLevelIsSolved", Set.stem().string().c_str(), nullptr, nullptr, __FILE__, __LINE__,
                            [Set]() -> ::testing::Test * {
                              struct TProof : ::testing::Test {
                                fs::path Set;
                                explicit TProof(fs::path S) : Set(std::move(S)) {}
                                void TestBody() override { ProveSet(Set); }
                              };
                              return new TProof(Set);
                            });
  }
  ::testing::RegisterTest("EveryLevelIsSolved", "NoStrayRecording", nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test * {
                            struct TStray : ::testing::Test {
                              void TestBody() override { ProveNoStrayRecording(); }
                            };
                            return new TStray;
                          });
  return RUN_ALL_TESTS();
}
