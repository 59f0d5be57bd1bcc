// Frame costs of the rules library on the largest levels the file format holds.
// Run: build/bench/rules_bench (from any directory; it writes its level to /tmp).
#include "game.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int Width = 255, Height = 254;

// A walled field: every other row a line of boxes with destinations beside them,
// water in the corners of each block, and the player in the middle.
std::string HugeLevelFile()
{
  std::string S;
  S += char(1);
  S += '\n';
  S += char(Width);
  S += char(Height);
  S += '\n';
  for (int N = 0; N < Height; ++N) {
    std::string Row(Width, ' ');
    for (int C = 0; C < Width; ++C) {
      if (N == 0 || N == Height - 1 || C == 0 || C == Width - 1) Row[C] = '1';
      else if (N % 4 == 1 && C % 3 == 1) Row[C] = '2';
      else if (N % 4 == 1 && C % 3 == 2) Row[C] = '3';
      else if (N % 4 == 3 && C % 6 == 0) Row[C] = '5';
      else if (N % 8 == 7 && C % 5 == 0) Row[C] = '1';
    }
    if (N == Height / 2) Row[Width / 2] = '9';
    S += Row;
    S += '\n';
  }
  return S;
}

struct THugeLevel {
  std::string Path;
  THugeLevel()
  {
    Path = "/tmp/kestrove-bench-" + std::to_string(getpid()) + ".lvl";
    std::ofstream(Path, std::ios::binary) << HugeLevelFile();
  }
  ~THugeLevel() { std::remove(Path.c_str()); }
};

const THugeLevel &Level()
{
  static const THugeLevel L;
  return L;
}

void StartHugeLevel()
{
  GameInit();
  GameNewGame(Level().Path.c_str());
}

// Loading the whole level from its file.
void BM_LoadHugeLevel(benchmark::State &State)
{
  GameInit();
  for (auto _ : State) {
    GameNewGame(Level().Path.c_str());
    benchmark::DoNotOptimize(GameGetObjects().Count);
  }
  State.counters["objects"] = GameGetObjects().Count;
}
BENCHMARK(BM_LoadHugeLevel)->Unit(benchmark::kMillisecond);

// One frame of play walking back and forth in free space: the player against every object.
void BM_WalkFrame(benchmark::State &State)
{
  StartHugeLevel();
  int Frame = 0;
  for (auto _ : State) {
    GameMovePlayerX((Frame++ / 5) % 2 ? -1.0f : 1.0f);
    GameProcessPlayer();
  }
  State.counters["objects"] = GameGetObjects().Count;
}
BENCHMARK(BM_WalkFrame)->Unit(benchmark::kMicrosecond);

// One frame of play that pushes a box: the pushed box is settled against every object too.
void BM_PushFrame(benchmark::State &State)
{
  StartHugeLevel();
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
BENCHMARK(BM_PushFrame)->Unit(benchmark::kMicrosecond);

// Saving and restoring the whole world.
void BM_SaveLoad(benchmark::State &State)
{
  StartHugeLevel();
  const std::string Save = Level().Path + ".sav";
  for (auto _ : State) {
    GameSave(Save.c_str());
    GameLoad(Save.c_str());
  }
  std::remove(Save.c_str());
}
BENCHMARK(BM_SaveLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
