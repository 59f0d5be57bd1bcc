// The fast solver over whole collections: one iteration solves every level of
// a collection, each within one second.
// Run: build/bench/solver_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The per-level figures in docs/solver.md come from build/bench/solver_survey.
#include <benchmark/benchmark.h>

#include "Grid.h"
#include "SolverCollections.h"

namespace {

void SolveCollection(benchmark::State &State, const levels::LevelSet *Set) {
  long Solved = 0;
  for (auto _ : State) {
    Solved = 0;
    for (const auto &L : Set->Levels) {
      solver::Limits Within;
      Within.Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
      Solved += levels::Solve(L, solver::Mode::Fast, Within).Result == levels::SolveResult::Solved;
    }
  }
  State.counters["levels"] = double(Set->Levels.size());
  State.counters["solved"] = double(Solved);
}

}  // namespace

int main(int argc, char **argv) {
  static const auto Collections = SolverCollections();
  for (const auto &C : Collections)
    benchmark::RegisterBenchmark(("fast/" + C.Name).c_str(), SolveCollection, &C.Set)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
