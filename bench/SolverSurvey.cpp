// The solver's figures per collection, for docs/solver.md: levels solved and
// failed by the fast mode within a time limit per level, the median and worst
// time, and its moves and pushes against the fewest-move mode where that one
// finishes. Every fast solution is played through the rules library by the
// autopilot, and a level counts as solved only when that completes it.
// Run: build/bench/solver_survey [SECONDS (default 1)] [FEWEST-SECONDS (default 2)]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "Autopilot.h"
#include "Grid.h"
#include "SolverCollections.h"

namespace {

using Clock = std::chrono::steady_clock;

solver::Limits Within(double Seconds) {
  solver::Limits L;
  L.MaxStates = 5000000;
  L.Deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(Seconds));
  return L;
}

}  // namespace

int main(int argc, char **argv) {
  const double Seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
  const double FewestSeconds = argc > 2 ? std::atof(argv[2]) : 2.0;
  const auto Dir = std::filesystem::temp_directory_path() / ("kestrove-solver-survey-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  std::printf("| collection | levels | solved | failed | median ms | worst ms | fast moves/pushes | "
              "fewest moves/pushes (levels) |\n|---|---|---|---|---|---|---|---|\n");
  int Bad = 0;
  for (const auto &C : SolverCollections()) {
    const std::string File = (Dir / "set.lvl").string();
    levels::Problems Ignored;
    std::ofstream(File, std::ios::binary) << levels::WriteLevelFile(C.Set, File, Ignored);
    std::vector<double> Times;
    int Solved = 0;
    long FastMoves = 0, FastPushes = 0, FewMoves = 0, FewPushes = 0, BothMoves = 0, BothPushes = 0, Both = 0;
    for (std::size_t I = 0; I < C.Set.Levels.size(); ++I) {
      const auto &L = C.Set.Levels[I];
      const auto Start = Clock::now();
      const auto R = levels::Solve(L, solver::Mode::Fast, Within(Seconds));
      Times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - Start).count());
      if (R.Result != levels::SolveResult::Solved) continue;
      const auto Flight = Autopilot::FlyLevel(File, "set.lvl", int32_t(I), R.Moves);
      if (!Flight.Completed) {
        std::fprintf(stderr, "%s level %zu: the rules library does not complete it: %s\n", C.Name.c_str(), I + 1,
                     Flight.Error.c_str());
        ++Bad;
        continue;
      }
      ++Solved;
      const auto Played = levels::Replay(L, R.Moves);
      FastMoves += Played.Moves;
      FastPushes += Played.Pushes;
      const auto F = levels::Solve(L, solver::Mode::FewestMoves, Within(FewestSeconds));
      if (F.Result != levels::SolveResult::Solved) continue;
      const auto Fewest = levels::Replay(L, F.Moves);
      ++Both;
      BothMoves += Played.Moves;
      BothPushes += Played.Pushes;
      FewMoves += Fewest.Moves;
      FewPushes += Fewest.Pushes;
    }
    std::vector<double> Sorted = Times;
    std::sort(Sorted.begin(), Sorted.end());
    const double Median = Sorted.empty() ? 0 : Sorted.size() % 2 ? Sorted[Sorted.size() / 2]
                                                                 : (Sorted[Sorted.size() / 2 - 1] + Sorted[Sorted.size() / 2]) / 2;
    std::printf("| %s | %zu | %d | %zu | %.1f | %.1f | %ld/%ld | %ld/%ld against %ld/%ld (%ld) |\n", C.Name.c_str(),
                C.Set.Levels.size(), Solved, C.Set.Levels.size() - std::size_t(Solved), Median,
                Sorted.empty() ? 0 : Sorted.back(), FastMoves, FastPushes, BothMoves, BothPushes, FewMoves,
                FewPushes, Both);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(Dir);
  return Bad ? 1 : 0;
}
