// The rules on whole cells: replaying solutions and solving small levels.
#include <gtest/gtest.h>

#include "Grid.h"

using namespace levels;

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

}  // namespace

TEST(Replay, PlaysLegalSolutionsAndNamesTheFirstBadMove) {
  const Level L = Make({"#######",
                        "#  .  #",
                        "#  $  #",
                        "#  @  #",
                        "#######"});
  const ReplayResult Good = Replay(L, "U");
  EXPECT_TRUE(Good.Ok) << Good.Error;
  EXPECT_EQ(Good.Moves, 1);
  EXPECT_EQ(Good.Pushes, 1);
  const struct {
    const char *Moves, *Says;
  } Bad[] = {
      {"u", "move 1 'u' pushes a box (write it as a capital)"},
      {"lU", "move 2 'U' pushes no box"},
      {"dd", "move 1 'd' walks into a wall"},
      {"l", "the moves end before the level is solved"},
      {"Ud", "solved after move 1; the moves after it would play in the next level"},
      {"x", "move 1 'x' is no move"},
  };
  for (const auto &B : Bad) {
    const ReplayResult R = Replay(L, B.Moves);
    EXPECT_FALSE(R.Ok) << B.Moves;
    EXPECT_NE(R.Error.find(B.Says), std::string::npos) << B.Moves << ": " << R.Error;
  }
}

TEST(Replay, BoxesStopBoxesAndWaterSwallowsThem) {
  const Level Two = Make({"########",
                          "#@$$ ..#",
                          "########"});
  EXPECT_NE(Replay(Two, "R").Error.find("into another box"), std::string::npos);
  const Level Wall = Make({"######",
                           "#@$#.#",
                           "######"});
  EXPECT_NE(Replay(Wall, "R").Error.find("move 1 'R' pushes the box into a wall"), std::string::npos);

  // The box fills the water; the player cannot wade but walks the filled cell.
  const Level Pond = Make({"########",
                           "#@$~$ .#",
                           "########"});
  EXPECT_NE(Replay(Pond, "rr").Error.find("pushes a box"), std::string::npos);
  const ReplayResult Filled = Replay(Pond, "RrRR");
  EXPECT_TRUE(Filled.Ok) << Filled.Error;
  const Level Wade = Make({"#######",
                           "# @~ .#",
                           "#  $  #",
                           "#######"});
  EXPECT_NE(Replay(Wade, "r").Error.find("walks into water"), std::string::npos);
}

TEST(Solve, FindsFewestMoveSolutions) {
  const Level Corridor = Make({"########",
                               "#@ $  .#",
                               "########"});
  const SolveResult R = Solve(Corridor);
  ASSERT_EQ(R.Result, SolveResult::Solved);
  EXPECT_EQ(R.Moves, "rRRR");

  // Round a corner: the box goes right twice, then up.
  const Level Corner = Make({"#######",
                             "#   . #",
                             "# $   #",
                             "#@    #",
                             "#######"});
  const SolveResult C = Solve(Corner);
  ASSERT_EQ(C.Result, SolveResult::Solved);
  EXPECT_EQ(C.Moves.size(), 6u);
  EXPECT_TRUE(Replay(Corner, C.Moves).Ok);
}

TEST(Solve, SacrificesTheRightBoxToWater) {
  // One box must fill the water so that the other can cross to the goal.
  const Level L = Make({"#########",
                        "#   #   #",
                        "#@ $~ . #",
                        "# $ #   #",
                        "#   #   #",
                        "#########"});
  const SolveResult R = Solve(L);
  ASSERT_EQ(R.Result, SolveResult::Solved);
  const ReplayResult Played = Replay(L, R.Moves);
  EXPECT_TRUE(Played.Ok) << Played.Error;

  // Water in the only way with one box: no solution, and the search says so.
  const Level Stuck = Make({"#########",
                            "#@ $ ~ .#",
                            "#########"});
  EXPECT_EQ(Solve(Stuck).Result, SolveResult::Unsolvable);
}

TEST(Solve, ProvesUnsolvableAndGivesUpWhenAsked) {
  const Level Cornered = Make({"######",
                               "#$  .#",
                               "#  @ #",
                               "######"});
  const SolveResult R = Solve(Cornered);
  EXPECT_EQ(R.Result, SolveResult::Unsolvable);

  const Level Room = Make({"#########",
                           "#  .  . #",
                           "# $ $ $ #",
                           "#  .  @ #",
                           "#########"});
  EXPECT_EQ(Solve(Room, 3).Result, SolveResult::GaveUp);
  const SolveResult Full = Solve(Room);
  ASSERT_EQ(Full.Result, SolveResult::Solved);
  EXPECT_TRUE(Replay(Room, Full.Moves).Ok);
}

TEST(Solve, RefusesLevelsBeyondItsStateLayout) {
  // One water flag per bit of a 64-bit word: a 65th water is more than it can track.
  std::vector<std::string> Rows{std::string(70, '#'), "#@$" + std::string(65, '~') + ".#", std::string(70, '#')};
  EXPECT_EQ(Solve(Make(Rows)).Result, SolveResult::TooLarge);
}
