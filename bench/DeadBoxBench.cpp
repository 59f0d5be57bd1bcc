// The dead-box check the game makes after each push, on the largest level the
// file format holds: the level read from the rules onto whole cells, then its
// boxes judged against dead cells worked out once for the level.
// Run: build/bench/deadbox_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// (from any directory; it writes its level to /tmp).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <unistd.h>

#include "Hint.h"
#include "game.h"

namespace {

constexpr int Width = 255, Height = 254;

// Walled round: rows of boxes with a mark beside each, short walls between
// them, the player in the middle.
std::string HugeLevel()
{
  std::string S{char(1), '\n', char(Width), char(Height), '\n'};
  for (int Y = 0; Y < Height; ++Y) {
    std::string Row(Width, ' ');
    for (int X = 0; X < Width; ++X) {
      if (Y == 0 || Y == Height - 1 || X == 0 || X == Width - 1) Row[size_t(X)] = '1';
      else if (Y % 4 == 1 && X % 3 == 1) Row[size_t(X)] = '2';
      else if (Y % 4 == 1 && X % 3 == 2) Row[size_t(X)] = '3';
      else if (Y % 8 == 7 && X % 5 == 0) Row[size_t(X)] = '1';
    }
    if (Y == Height / 2) Row[Width / 2] = '9';
    S += Row + '\n';
  }
  return S;
}

class TLoaded {
public:
  TLoaded() : File("/tmp/kestrove-deadbox-" + std::to_string(getpid()) + ".lvl")
  {
    std::ofstream(File, std::ios::binary) << HugeLevel();
    GameInit();
    GameNewGame(File.c_str());
  }
  ~TLoaded() { std::remove(File.c_str()); }

private:
  std::string File;
};

void CheckAfterPush(benchmark::State &State)
{
  static const TLoaded Level;
  const std::vector<char> Dead = solver::DeadCells(BoardFromRules());
  size_t Boxes = 0;
  for (auto _ : State) {
    const solver::Board Board = BoardFromRules();
    Boxes = solver::DeadBoxes(Board, Dead).size();
    benchmark::DoNotOptimize(Boxes);
  }
  State.counters["dead"] = double(Boxes);
}

void DeadCellsOncePerLevel(benchmark::State &State)
{
  static const TLoaded Level;
  const solver::Board Board = BoardFromRules();
  long Marks = 0;
  for (const char M : Board.Mark) Marks += M != 0;
  for (auto _ : State) benchmark::DoNotOptimize(solver::DeadCells(Board));
  State.counters["marks"] = double(Marks);
}

}  // namespace

BENCHMARK(CheckAfterPush)->Unit(benchmark::kMicrosecond);
BENCHMARK(DeadCellsOncePerLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
