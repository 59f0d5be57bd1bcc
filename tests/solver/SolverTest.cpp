// The solver: answers on known levels, water, unsolvable boards, each kind of
// deadlock it prunes, and limits; every solution replayed under the grid rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "Generate.h"
#include "Grid.h"
#include "Solver.h"

using namespace levels;
using solver::Mode;

namespace {

// A level from source rows ('#', '$', '.', '*', '@', '~', ' ').
Level Make(std::vector<std::string> Rows) {
  Level L;
  for (auto &Row : Rows)
    for (auto &C : Row) C = CellOfSourceChar(C);
  L.Rows = Rows;
  L.Height = int(Rows.size());
  L.Width = int(Rows[0].size());
  return L;
}

SolveResult Fast(const Level &L, long MaxStates = 1000000) {
  solver::Limits Within;
  Within.MaxStates = MaxStates;
  return Solve(L, Mode::Fast, Within);
}

// Solved, and the moves play out under the grid rules.
void ExpectSolvedBy(const Level &L, const SolveResult &R, const std::string &Name = "") {
  ASSERT_EQ(R.Result, SolveResult::Solved) << Name;
  const ReplayResult Played = Replay(L, R.Moves);
  EXPECT_TRUE(Played.Ok) << Name << ": " << Played.Error << " in " << R.Moves;
}

int CellOf(const Level &L, int X, int Y) { return Y * L.Width + X; }

bool Has(const std::vector<int> &Cells, int C) { return std::find(Cells.begin(), Cells.end(), C) != Cells.end(); }

}  // namespace

TEST(FastSolve, SolvesKnownLevelsInBothModesAlike) {
  const struct {
    std::vector<std::string> Rows;
    int FewestMoves;
  } Known[] = {
      {{"########", "#@ $  .#", "########"}, 4},
      {{"#######", "#   . #", "# $   #", "#@    #", "#######"}, 6},
      {{"#########", "#  .  . #", "# $ $ $ #", "#  .  @ #", "#########"}, -1},
      // Two boxes in a row: the far one has to go first.
      {{"###########", "#@ $ $  ..#", "#    ######", "######    "}, 22},
  };
  for (const auto &K : Known) {
    const Level L = Make(K.Rows);
    const SolveResult Quick = Fast(L);
    ExpectSolvedBy(L, Quick, K.Rows[1]);
    const SolveResult Fewest = Solve(L);
    ExpectSolvedBy(L, Fewest, K.Rows[1]);
    if (K.FewestMoves >= 0) {
      EXPECT_EQ(int(Fewest.Moves.size()), K.FewestMoves) << K.Rows[1];
    }
    EXPECT_GE(Quick.Moves.size(), Fewest.Moves.size()) << K.Rows[1];
  }
}

TEST(FastSolve, WaterSwallowsTheBoxThatFillsIt) {
  // One box fills the water so that the other can cross to the mark.
  const Level Ford = Make({"#########",
                           "#   #   #",
                           "#@ $~ . #",
                           "# $ #   #",
                           "#   #   #",
                           "#########"});
  const SolveResult R = Fast(Ford);
  ExpectSolvedBy(Ford, R);
  EXPECT_EQ(Replay(Ford, R.Moves).Fills, 1);

  // The only place to push the last box from is water: fill it first.
  const Level Stand = Make({"######",
                            "#@$~ #",
                            "###$##",
                            "###.##",
                            "######"});
  const SolveResult S = Fast(Stand);
  ExpectSolvedBy(Stand, S);
  EXPECT_EQ(S.Moves, "RrD");

  // The spare box goes into the water to clear the way for the one the mark needs.
  const Level Spare = Make({"#########",
                            "#@$ ~ $.#",
                            "#########"});
  const SolveResult P = Fast(Spare);
  ExpectSolvedBy(Spare, P);
  EXPECT_EQ(P.Moves, "RRrrR");
}

TEST(FastSolve, SaysWhenABoardHasNoSolution) {
  const std::vector<std::vector<std::string>> Unsolvable{
      {"######", "#$  .#", "#  @ #", "######"},                  // a box in a corner
      {"#########", "#@ $ ~ .#", "#########"},                   // water on the only way, no box to spare
      {"########", "#@$$ ..#", "#      #", "########"},         // the first box blocks the push of the second
      {"#######", "#.   .#", "# $$  #", "# $$ @#", "#######"},  // a 2x2 block: spare boxes, none can move
      {"#####", "#@$.#", "#####", "#   #", "#$ .#", "#####"},  // a box the player can never reach
  };
  for (const auto &Rows : Unsolvable) {
    const Level L = Make(Rows);
    EXPECT_EQ(Fast(L).Result, SolveResult::Unsolvable) << Rows[1];
    EXPECT_EQ(Solve(L).Result, SolveResult::Unsolvable) << Rows[1];
  }
  // Fewer boxes than marks, no player, no marks: nothing to search.
  EXPECT_EQ(Fast(Make({"#######", "#@$ ..#", "#######"})).Result, SolveResult::Unsolvable);
  EXPECT_EQ(Fast(Make({"######", "# $ .#", "######"})).Result, SolveResult::Unsolvable);
}

TEST(Deadlocks, DeadCellsAreThoseNoPushBringsToAMark) {
  const Level L = Make({"#######",
                        "#     #",
                        "#  .  #",
                        "#   ~ #",
                        "#######"});
  const auto Dead = solver::DeadCells(BoardOf(L));
  // Corners, and cells along a wall that holds no mark.
  for (const auto &[X, Y] : {std::pair{1, 1}, {5, 1}, {1, 3}, {5, 3}, {3, 1}, {2, 3}, {1, 2}, {5, 2}})
    EXPECT_TRUE(Dead[std::size_t(CellOf(L, X, Y))]) << X << "," << Y;
  // Water counts as floor: it may be filled before a box gets there.
  for (const auto &[X, Y] : {std::pair{3, 2}, {2, 2}, {4, 2}})
    EXPECT_FALSE(Dead[std::size_t(CellOf(L, X, Y))]) << X << "," << Y;

  // A cell live only once water is filled, so that the player can stand on it.
  const Level Stand = Make({"######",
                            "#@$~ #",
                            "###$##",
                            "###.##",
                            "######"});
  EXPECT_FALSE(solver::DeadCells(BoardOf(Stand))[std::size_t(CellOf(Stand, 3, 2))]);
  // The box on the top row can only ever fill the water.
  EXPECT_EQ(solver::DeadBoxes(BoardOf(Stand)), std::vector<int>{CellOf(Stand, 2, 1)});
}

TEST(Deadlocks, FrozenBoxesAreDeadOnlyOffTheMarks) {
  // Two boxes side by side against a wall, off the marks: neither moves again.
  const Level Pair = Make({"########",
                           "# $$   #",
                           "#   .. #",
                           "#  @   #",
                           "########"});
  const auto PairDead = solver::DeadBoxes(BoardOf(Pair));
  EXPECT_TRUE(Has(PairDead, CellOf(Pair, 2, 1)) && Has(PairDead, CellOf(Pair, 3, 1)));
  EXPECT_EQ(Fast(Pair).Result, SolveResult::Unsolvable);

  // A 2x2 block in the open, one box on a mark: only the other three are dead.
  const Level Block = Make({"########",
                            "#      #",
                            "# *$ . #",
                            "# $$ . #",
                            "#  . @ #",
                            "########"});
  const auto BlockDead = solver::DeadBoxes(BoardOf(Block));
  EXPECT_EQ(BlockDead.size(), 3u);
  EXPECT_FALSE(Has(BlockDead, CellOf(Block, 2, 2)));

  // Water beside a box is no wall: it can be filled, and the box pushed off it.
  const Level Pond = Make({"########",
                           "#~$ .. #",
                           "# $  $ #",
                           "#   @  #",
                           "########"});
  EXPECT_FALSE(Has(solver::DeadBoxes(BoardOf(Pond)), CellOf(Pond, 2, 1)));
  ExpectSolvedBy(Pond, Fast(Pond));

  // Spare boxes: a frozen pair may stay where it is while another box covers the mark.
  const Level SpareBoxes = Make({"#########",
                                 "# $$    #",
                                 "#    $ .#",
                                 "#  @    #",
                                 "#########"});
  ExpectSolvedBy(SpareBoxes, Fast(SpareBoxes));
  // Without the spare, pushing the lone box into a frozen spot is pruned, yet the level is solved.
  const Level Edge = Make({"#######",
                           "#  .  #",
                           "# $$  #",
                           "#@  . #",
                           "#######"});
  ExpectSolvedBy(Edge, Fast(Edge));
}

TEST(Limits, StopsOnStatesDeadlineAndCancel) {
  const Level Room = Make({"##########",
                           "#  .  .  #",
                           "# $ $ $  #",
                           "#  .  @  #",
                           "#  $  .  #",
                           "##########"});
  EXPECT_EQ(Fast(Room, 3).Result, SolveResult::GaveUp);

  solver::Limits Past;
  Past.Deadline = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  EXPECT_EQ(Solve(Room, Mode::Fast, Past).Result, SolveResult::TimedOut);
  EXPECT_EQ(Solve(Room, Mode::FewestMoves, Past).Result, SolveResult::TimedOut);

  std::atomic<bool> Stop{true};
  solver::Limits Cancelled;
  Cancelled.Cancel = &Stop;
  EXPECT_EQ(Solve(Room, Mode::Fast, Cancelled).Result, SolveResult::Cancelled);
  EXPECT_EQ(Solve(Room, Mode::FewestMoves, Cancelled).Result, SolveResult::Cancelled);

  // A board of the wrong shape is refused, not read past its end.
  solver::Board Bad = BoardOf(Room);
  Bad.Box.pop_back();
  EXPECT_EQ(solver::Solve(Bad, Mode::Fast).Result, SolveResult::Unsolvable);
}

TEST(Limits, SearchesOnSeveralThreadsAtOnceAgree) {
  const LevelSet Set = GenerateLevels(*FindLevelClass("medium-water"), 4, 11);
  std::vector<SolveResult> Alone, Together(Set.Levels.size());
  for (const auto &L : Set.Levels) Alone.push_back(Fast(L));
  std::vector<std::thread> Threads;
  for (std::size_t I = 0; I < Set.Levels.size(); ++I)
    Threads.emplace_back([&, I] { Together[I] = Fast(Set.Levels[I]); });
  for (auto &T : Threads) T.join();
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    ExpectSolvedBy(Set.Levels[I], Together[I]);
    EXPECT_EQ(Together[I].Moves, Alone[I].Moves);
  }
}

// The fast mode's pruning never loses a solution: on small boards, some made
// unsolvable by moving a box, it agrees with the exhaustive fewest-move search.
TEST(FastSolve, AgreesWithTheExhaustiveSearchOnRandomBoards) {
  int Solvable = 0, Unsolvable = 0;
  for (const char *Class : {"small", "small-water"}) {
    const LevelSet Set = GenerateLevels(*FindLevelClass(Class), 25, 5);
    for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
      Level L = Set.Levels[I];
      if (I % 2) {
        // Move the first loose box to the first free floor cell.
        auto Box = std::string::npos, Free = std::string::npos;
        int BoxRow = -1, FreeRow = -1;
        for (int Y = 0; Y < L.Height; ++Y) {
          const auto &Row = L.Rows[std::size_t(Y)];
          if (BoxRow < 0 && (Box = Row.find(CellBox)) != std::string::npos) BoxRow = Y;
          if (FreeRow < 0 && (Free = Row.find(' ')) != std::string::npos) FreeRow = Y;
        }
        if (BoxRow >= 0 && FreeRow >= 0) {
          L.Rows[std::size_t(BoxRow)][Box] = ' ';
          L.Rows[std::size_t(FreeRow)][Free] = CellBox;
        }
      }
      const SolveResult Exhaustive = Solve(L, 3000000);
      ASSERT_TRUE(Exhaustive.Result == SolveResult::Solved || Exhaustive.Result == SolveResult::Unsolvable);
      const SolveResult Quick = Fast(L);
      const std::string Name = std::string(Class) + " " + std::to_string(I + 1);
      EXPECT_EQ(Quick.Result, Exhaustive.Result) << Name;
      if (Quick.Result == SolveResult::Solved) {
        ExpectSolvedBy(L, Quick, Name);
        EXPECT_GE(Quick.Moves.size(), Exhaustive.Moves.size()) << Name;
      }
      ++(Exhaustive.Result == SolveResult::Solved ? Solvable : Unsolvable);
    }
  }
  EXPECT_GT(Unsolvable, 3);  // the moved boxes make some boards unsolvable
  EXPECT_GT(Solvable, 25);
}
