// Frame costs of the rules library on a small level and on the largest level
// the file format holds, and how much dearer the large one is.
// Run: build/bench/rules_bench (from any directory; it writes its levels and saves to /tmp).
// For figures to report: --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "game.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct TSize {
  int Width, Height;
};
constexpr TSize Small{10, 10}, Huge{255, 254};

// The largest column and row at most Limit that fall on the pattern's period.
int LastOnPeriod(int Limit, int Period, int Phase)
{
  int V = Limit;
  while (V > 0 && V % Period != Phase) --V;
  return V;
}

// A walled field of Field cells: every other row a line of boxes with
// destinations beside them, water in the corners of each block, and the player
// near the middle, two rows below a box. The field fills the bottom left of a
// level file of File cells.
std::string LevelFile(TSize Field, TSize File)
{
  const int PlayerColumn = LastOnPeriod(Field.Width / 2, 3, 1);
  const int PlayerRow = LastOnPeriod(Field.Height / 2, 4, 3);
  std::string S;
  S += char(1);
  S += '\n';
  S += char(File.Width);
  S += char(File.Height);
  S += '\n';
  for (int Line = 0; Line < File.Height; ++Line) {
    std::string Row(File.Width, ' ');
    const int N = Line - (File.Height - Field.Height);
    for (int C = 0; C < Field.Width && N >= 0; ++C) {
      if (N == 0 || N == Field.Height - 1 || C == 0 || C == Field.Width - 1) Row[C] = '1';
      else if (N % 4 == 1 && C % 3 == 1) Row[C] = '2';
      else if (N % 4 == 1 && C % 3 == 2) Row[C] = '3';
      else if (N % 4 == 3 && C % 6 == 0) Row[C] = '5';
      else if (N % 8 == 7 && C % 5 == 0) Row[C] = '1';
    }
    if (N == PlayerRow) Row[PlayerColumn] = '9';
    S += Row;
    S += '\n';
  }
  return S;
}

// A level file cannot say 10 (a line end) for a size, so every field starts as
// a saved game: loaded from a level file one cell larger where needed, saved,
// and the saved field size set to the field's own.
class TWorldFile {
public:
  explicit TWorldFile(TSize Field)
  {
    const std::string Stem = "/tmp/kestrove-bench-" + std::to_string(getpid()) + "-" + std::to_string(Field.Width) +
                             "x" + std::to_string(Field.Height);
    Level = Stem + ".lvl";
    Save = Stem + ".sav";
    const TSize File{Field.Width + Unsayable(Field.Width), Field.Height + Unsayable(Field.Height)};
    std::ofstream(Level, std::ios::binary) << LevelFile(Field, File);
    GameInit();
    GameNewGame(Level.c_str());
    GameSave(Save.c_str());
    std::fstream Bytes(Save, std::ios::binary | std::ios::in | std::ios::out);
    Bytes.seekp(sizeof(TPlayer));
    Bytes.write(reinterpret_cast<const char *>(&Field), sizeof Field);
  }
  ~TWorldFile()
  {
    std::remove(Level.c_str());
    std::remove(Save.c_str());
  }
  TWorldFile(const TWorldFile &) = delete;
  TWorldFile &operator=(const TWorldFile &) = delete;

  std::string Level, Save;

private:
  static int Unsayable(int Size) { return Size == '\n' || Size == '\r' || Size == 26 ? 1 : 0; }
};

const TWorldFile &World(const benchmark::State &State)
{
  static std::map<std::pair<int, int>, std::unique_ptr<TWorldFile>> Files;
  const TSize Size{static_cast<int>(State.range(0)), static_cast<int>(State.range(1))};
  auto &File = Files[{Size.Width, Size.Height}];
  if (!File) File = std::make_unique<TWorldFile>(Size);
  return *File;
}

void StartLevel(const benchmark::State &State)
{
  const std::string &Save = World(State).Save;
  GameInit();
  GameLoad(Save.c_str());
}

void BothSizes(benchmark::internal::Benchmark *B)
{
  B->Args({Small.Width, Small.Height})->Args({Huge.Width, Huge.Height});
}

// Building the whole level from its level file (one cell larger where a size
// cannot be written).
void BM_NewGame(benchmark::State &State)
{
  const std::string &Level = World(State).Level;
  GameInit();
  for (auto _ : State) {
    GameNewGame(Level.c_str());
    benchmark::DoNotOptimize(GameGetObjects().Count);
  }
  State.counters["objects"] = GameGetObjects().Count;
}
BENCHMARK(BM_NewGame)->Apply(BothSizes)->Unit(benchmark::kMillisecond);

// One frame of play walking back and forth in free space.
void BM_WalkFrame(benchmark::State &State)
{
  StartLevel(State);
  int Frame = 0;
  for (auto _ : State) {
    GameMovePlayerX((Frame++ / 5) % 2 ? -1.0f : 1.0f);
    GameProcessPlayer();
  }
  State.counters["objects"] = GameGetObjects().Count;
}
BENCHMARK(BM_WalkFrame)->Apply(BothSizes)->Unit(benchmark::kMicrosecond);

// One frame of play that pushes a box, so the pushed box is settled too.
void BM_PushFrame(benchmark::State &State)
{
  StartLevel(State);
  // Walk up to the box above the start, then push it a step and step back, over and over.
  for (int I = 0; I < 12; ++I) {
    GameMovePlayer(1.0f);
    GameProcessPlayer();
  }
  int Frame = 0;
  for (auto _ : State) {
    GameMovePlayer(Frame++ % 2 ? -1.0f : 1.0f);
    GameProcessPlayer();
  }
}
BENCHMARK(BM_PushFrame)->Apply(BothSizes)->Unit(benchmark::kMicrosecond);

// Saving and restoring the whole world.
void BM_SaveLoad(benchmark::State &State)
{
  StartLevel(State);
  const std::string Save = World(State).Save + ".again";
  for (auto _ : State) {
    GameSave(Save.c_str());
    GameLoad(Save.c_str());
  }
  std::remove(Save.c_str());
}
BENCHMARK(BM_SaveLoad)->Apply(BothSizes)->Unit(benchmark::kMillisecond);

// The console report, followed by how many times dearer each benchmark is on
// the large level than on the small one (medians when repeated).
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &Runs) override
  {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run &R : Runs) {
      if (R.error_occurred) continue;
      const bool Median = R.run_type == Run::RT_Aggregate && R.aggregate_name == "median";
      if (Median || R.run_type == Run::RT_Iteration) Times[R.run_name.function_name][R.run_name.args] = R.GetAdjustedRealTime();
    }
  }

  void Finalize() override
  {
    const std::string SmallArgs = std::to_string(Small.Width) + "/" + std::to_string(Small.Height);
    const std::string HugeArgs = std::to_string(Huge.Width) + "/" + std::to_string(Huge.Height);
    std::ostream &Out = GetOutputStream();
    for (const auto &[Name, BySize] : Times) {
      const auto S = BySize.find(SmallArgs), H = BySize.find(HugeArgs);
      if (S == BySize.end() || H == BySize.end() || S->second <= 0) continue;
      char Line[160];
      std::snprintf(Line, sizeof Line, "%-14s %dx%d costs %.2f times %dx%d\n", Name.c_str(), Huge.Width, Huge.Height,
                    H->second / S->second, Small.Width, Small.Height);
      Out << Line;
    }
    ConsoleReporter::Finalize();
  }

private:
  std::map<std::string, std::map<std::string, double>> Times;
};

} // namespace

int main(int argc, char **argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  return 0;
}
