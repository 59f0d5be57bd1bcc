// Every fast solution of the shipped levels and of generated ones, played
// through the real rules library by the autopilot: the grid rules the solver
// searches are the game's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "Autopilot.h"
#include "Generate.h"
#include "Grid.h"

namespace fs = std::filesystem;
using namespace levels;

namespace {

std::string ReadText(const fs::path &P) {
  std::ifstream In(P, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

// Solves each level fast, packs the set, and flies every solution.
void ExpectEverySolutionCompletesItsLevel(const LevelSet &Set, const std::string &Name) {
  const fs::path Dir = fs::temp_directory_path() / ("kestrove-solver-replay-" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  const std::string File = (Dir / (Name + ".lvl")).string();
  Problems Found;
  const std::string Bytes = WriteLevelFile(Set, File, Found);
  ASSERT_FALSE(HasErrors(Found)) << Name;
  std::ofstream(File, std::ios::binary) << Bytes;
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    solver::Limits Within;
    Within.MaxStates = 2000000;
    const SolveResult R = Solve(Set.Levels[I], solver::Mode::Fast, Within);
    ASSERT_EQ(R.Result, SolveResult::Solved) << Name << " level " << I + 1;
    const Autopilot::TFlight Flight = Autopilot::FlyLevel(File, Name + ".lvl", int32_t(I), R.Moves);
    EXPECT_TRUE(Flight.Completed) << Name << " level " << I + 1 << ": " << Flight.Error << " playing " << R.Moves;
    EXPECT_EQ(std::size_t(Flight.MovesPlayed), R.Moves.size()) << Name << " level " << I + 1;
  }
  fs::remove_all(Dir);
}

}  // namespace

TEST(SolverReplay, ShippedLevelsAreCompletedByTheirFastSolutions) {
  for (const char *Set : {"intro", "classic", "water"}) {
    Problems Found;
    const fs::path Source = fs::path(KESTROVE_DATA_DIR) / "levels" / (std::string(Set) + ".txt");
    const LevelSet Levels = ParseSource(ReadText(Source), Source.string(), Found);
    ASSERT_FALSE(HasErrors(Found)) << Set;
    ExpectEverySolutionCompletesItsLevel(Levels, Set);
  }
}

TEST(SolverReplay, GeneratedLevelsAreCompletedByTheirFastSolutions) {
  for (const char *Class : {"small", "small-water", "medium-water"})
    ExpectEverySolutionCompletesItsLevel(GenerateLevels(*FindLevelClass(Class), 4, 3), Class);
}
