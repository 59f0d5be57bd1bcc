#include "LauncherFixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string LevelSet(const std::vector<std::vector<std::string>> &Levels)
{
  std::string S(1, static_cast<char>(Levels.size()));
  S += "\n";
  for (const auto &Rows : Levels) {
    S += static_cast<char>(Rows.empty() ? 0 : Rows[0].size());
    S += static_cast<char>(Rows.size());
    S += "\n";
    for (const std::string &Row : Rows) S += Row + "\n";
  }
  return S;
}

std::string FloatText(float Value)
{
  char Buf[48];
  std::snprintf(Buf, sizeof Buf, "%.9g", Value);
  return Buf;
}

void LauncherTest::SetUp()
{
  std::string Template = (fs::temp_directory_path() / "kestrove-launcher-XXXXXX").string();
  ASSERT_NE(mkdtemp(Template.data()), nullptr);
  Dir = Template;
  OldDir = fs::current_path();
  fs::current_path(Dir);
  ResetLauncherState();
  Recording::Reset();
  RecordingGraph::Reset();
  Marks.clear();
  RecordingGraph::SetHook([this](const RecordingGraph::TCall &Call) {
    Marks.push_back(Recording::Calls().size());
    if (OnCall) OnCall(Call);
  });
}

void LauncherTest::TearDown()
{
  RecordingGraph::SetHook(nullptr);
  ResetLauncherState();
  fs::current_path(OldDir);
  std::error_code Ignored;
  fs::remove_all(Dir, Ignored);
}

void LauncherTest::Write(const std::string &Name, const std::string &Content) const
{
  std::ofstream(Dir / Name, std::ios::binary) << Content;
}

std::string LauncherTest::Read(const std::string &Name) const
{
  std::ifstream In(Dir / Name, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

void LauncherTest::WriteConfig(const std::vector<std::string> &Lines, bool NoMaps) const
{
  std::string Text = NoMaps ? "" : "Maps=maps.ini\r\n";
  for (const std::string &L : Lines) Text += L + "\r\n";
  // One rule frame per ProcessFrame and no sleeping, unless the test asks otherwise.
  const auto Sets = [&](const std::string &Key) {
    return std::any_of(Lines.begin(), Lines.end(), [&](const std::string &L) { return L.rfind(Key + "=", 0) == 0; });
  };
  if (!Sets("Pace")) Text += "Pace=0\r\n";
  if (!Sets("MaxFPS")) Text += "MaxFPS=0\r\n";
  Write("config.ini", Text);
}

void LauncherTest::WriteStandardWorld() const
{
  Write("maps.ini", "a.lvl=First set\nb.lvl=Second set\n");
  // Level 0: the player at (1,1) facing +y, a box at (3,1), a destination at (4,1), open floor around.
  // Level 1: solved from the start (its only box stands on its destination).
  Write("a.lvl", LevelSet({{"     ", " 9 23", "     "}, {"94"}}));
  Write("b.lvl", LevelSet({{"  ", "94"}}));
}

std::vector<std::string> LauncherTest::Timeline(const std::set<std::string> &Names) const
{
  const auto &Platform = Recording::Calls();
  const auto &Graph = RecordingGraph::Log();
  std::vector<std::string> Out;
  auto Keep = [&](const std::string &Name) { return Names.empty() || Names.count(Name); };
  size_t p = 0;
  for (size_t g = 0; g < Graph.size(); ++g) {
    const size_t Mark = g < Marks.size() ? Marks[g] : Platform.size();
    for (; p < Mark && p < Platform.size(); ++p)
      if (Keep(Platform[p].Name)) Out.push_back(Platform[p].Text());
    if (Keep(Graph[g].Name)) Out.push_back(Graph[g].Text());
  }
  for (; p < Platform.size(); ++p)
    if (Keep(Platform[p].Name)) Out.push_back(Platform[p].Text());
  return Out;
}

std::vector<std::string> LauncherTest::Calls(const std::set<std::string> &Names) const
{
  std::vector<std::string> Out;
  for (const auto &C : RecordingGraph::Log())
    if (Names.empty() || Names.count(C.Name)) Out.push_back(C.Text());
  return Out;
}

int LauncherTest::CountOf(const std::string &Name) const
{
  int N = 0;
  for (const auto &C : RecordingGraph::Log()) N += C.Name == Name;
  return N;
}

void LauncherTest::ClearLogs()
{
  RecordingGraph::ClearLog();
  Recording::ClearLog();
  Marks.clear();
}

void LauncherTest::BeginFramesInMenu()
{
  BeginPass();
  ClearLogs();
}

void LauncherTest::StartPlaying()
{
  BeginFramesInMenu();
  GameNewGame("a.lvl");
  ASSERT_EQ(GameGetState(), gsPlay);
  ClearLogs();
}

void LauncherTest::Frame() { ProcessFrame(); }
