// Every level set the game ships: it packs, reads back exactly, checks clean,
// and its own recorded solution solves it on whole cells.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "Grid.h"
#include "LevelSet.h"

namespace fs = std::filesystem;
using namespace levels;

namespace {

std::string ReadText(const fs::path &P) {
  std::ifstream In(P, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

std::string Messages(const Problems &List) {
  std::string S;
  for (const auto &P : List) S += FormatProblem(P) + "\n";
  return S;
}

// The map list: "file=Title" entries in order, ';' comments dropped.
std::vector<std::pair<std::string, std::string>> MapList() {
  std::vector<std::pair<std::string, std::string>> Out;
  std::istringstream In(ReadText(fs::path(KESTROVE_DATA_DIR) / "maps.ini"));
  std::string Line;
  const auto Trim = [](std::string S) {
    while (!S.empty() && static_cast<unsigned char>(S.back()) <= 32) S.pop_back();
    std::size_t B = 0;
    while (B < S.size() && static_cast<unsigned char>(S[B]) <= 32) ++B;
    return S.substr(B);
  };
  while (std::getline(In, Line)) {
    Line = Trim(Line.substr(0, Line.find(';')));
    if (Line.empty()) continue;
    const auto Eq = Line.find('=');
    Out.emplace_back(Trim(Line.substr(0, Eq)), Eq == std::string::npos ? "" : Trim(Line.substr(Eq + 1)));
  }
  return Out;
}

std::string Two(int N) { return (N < 10 ? "0" : "") + std::to_string(N); }

}  // namespace

TEST(ShippedLevels, MapListNamesEverySetWithATitle) {
  const auto Maps = MapList();
  ASSERT_GE(Maps.size(), 3u);
  std::map<std::string, bool> Listed;
  for (const auto &[File, Title] : Maps) {
    EXPECT_FALSE(Title.empty()) << File;
    ASSERT_GT(File.size(), 4u);
    EXPECT_EQ(File.substr(File.size() - 4), ".lvl");
    const fs::path Source = fs::path(KESTROVE_DATA_DIR) / "levels" / (File.substr(0, File.size() - 4) + ".txt");
    EXPECT_TRUE(fs::exists(Source)) << File << " has no source " << Source;
    Listed[Source.filename().string()] = true;
  }
  for (const auto &E : fs::directory_iterator(fs::path(KESTROVE_DATA_DIR) / "levels"))
    if (E.path().extension() == ".txt" && E.path().filename() != "CMakeLists.txt") {
      EXPECT_TRUE(Listed.count(E.path().filename().string())) << E.path() << " is missing from maps.ini";
    }
}

TEST(ShippedLevels, EveryLevelPacksChecksAndIsSolvedByItsSolution) {
  int Levels = 0;
  std::size_t TotalMoves = 0;
  for (const auto &[File, Title] : MapList()) {
    const std::string Name = File.substr(0, File.size() - 4);
    const fs::path Path = fs::path(KESTROVE_DATA_DIR) / "levels" / (Name + ".txt");
    const std::string Text = ReadText(Path);
    SCOPED_TRACE(Path.string());
    Problems Found;
    const LevelSet Set = ParseSource(Text, Path.string(), Found);
    const std::string Bytes = WriteLevelFile(Set, Name + ".lvl", Found);
    ASSERT_TRUE(Found.empty()) << Messages(Found);
    const LevelSet Back = ReadLevelFile(Bytes, Name + ".lvl", Found);
    EXPECT_TRUE(Found.empty()) << Messages(Found);
    EXPECT_EQ(WriteSource(Back), Text);
    EXPECT_GE(Set.Levels.size(), 9u);

    for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
      const Level &L = Set.Levels[I];
      SCOPED_TRACE("level " + std::to_string(I + 1) + " at line " + std::to_string(L.Line));
      Problems Checked;
      CheckLevel(L, int(I), Path.string(), Checked);
      EXPECT_TRUE(Checked.empty()) << Messages(Checked);  // warnings too: shipped levels are enclosed
      EXPECT_FALSE(L.HeaderValue("Title").empty());
      EXPECT_FALSE(L.HeaderValue("Author").empty());
      EXPECT_EQ(L.HeaderValue("Recording"), Name + "-" + Two(int(I) + 1));
      for (const int Size : {L.Width, L.Height}) EXPECT_FALSE(IsUnstorableByte(Size));

      const std::string Moves = L.HeaderValue("Solution");
      const ReplayResult R = Replay(L, Moves);
      EXPECT_TRUE(R.Ok) << R.Error;
      EXPECT_LE(Moves.size(), 150u);
      TotalMoves += Moves.size();

      // With water, every box is needed: on a destination or in the water it opens.
      const Counts C = CountCells(L);
      if (C.Water) {
        EXPECT_EQ(C.Boxes, C.Destinations + R.Fills);
      } else {
        EXPECT_GE(C.Boxes, C.Destinations);
      }
      ++Levels;
    }
  }
  EXPECT_GE(Levels, 30);
  EXPECT_LE(TotalMoves, 3000u);
}

TEST(ShippedLevels, WaterSetNeedsItsWater) {
  // Every level of the water set can only be solved by filling water.
  Problems Found;
  const fs::path Path = fs::path(KESTROVE_DATA_DIR) / "levels" / "water.txt";
  ASSERT_TRUE(fs::exists(Path));
  const LevelSet Set = ParseSource(ReadText(Path), Path.string(), Found);
  ASSERT_TRUE(Found.empty()) << Messages(Found);
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    Level Dry = Set.Levels[I];
    ASSERT_GT(CountCells(Dry).Water, 0) << "level " << I + 1;
    EXPECT_GT(Replay(Dry, Dry.HeaderValue("Solution")).Fills, 0) << "level " << I + 1;
    // With the water turned to wall, no box can open the way: no solution.
    for (auto &Row : Dry.Rows)
      for (auto &Cell : Row)
        if (Cell == CellWater) Cell = CellWall;
    EXPECT_EQ(Solve(Dry, 2000000).Result, SolveResult::Unsolvable) << "level " << I + 1;
  }
}
