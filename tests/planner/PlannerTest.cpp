// The planner on hand-drawn boards: '#' wall, '~' water, '$' box, '@' the
// player, '.' floor; the first row is the top (the highest y).
#include <gtest/gtest.h>

#include <map>
#include <queue>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "Planner.h"

namespace {

using namespace planner;

struct TDrawn {
  TBoard Board{0, 0};
  TCell Player;
  TCell Box;  // the last box drawn
};

TDrawn Draw(const std::vector<std::string> &Rows)
{
  TDrawn D;
  D.Board = TBoard(int32_t(Rows[0].size()), int32_t(Rows.size()));
  for (size_t R = 0; R < Rows.size(); ++R)
    for (size_t X = 0; X < Rows[R].size(); ++X) {
      const TCell C{int32_t(X), int32_t(Rows.size() - 1 - R)};
      switch (Rows[R][X]) {
        case '#': D.Board.SetGround(C, TGround::Wall); break;
        case '~': D.Board.SetGround(C, TGround::Water); break;
        case '$': D.Board.SetBox(C, true); D.Box = C; break;
        case '@': D.Player = C; break;
        default: break;
      }
    }
  return D;
}

// The moves as letters: u d l r, capitals for pushes.
std::string Letters(const TPlan &Plan)
{
  std::string S;
  for (const TStep &Step : Plan) {
    const char C = Step.Dy > 0 ? 'u' : Step.Dy < 0 ? 'd' : Step.Dx > 0 ? 'r' : 'l';
    S += Step.Push ? char(C - 'a' + 'A') : C;
  }
  return S;
}

int Turns(const TPlan &Plan)
{
  int N = 0;
  for (size_t I = 1; I < Plan.size(); ++I) N += Plan[I].Dx != Plan[I - 1].Dx || Plan[I].Dy != Plan[I - 1].Dy;
  return N;
}

int Pushes(const TPlan &Plan)
{
  int N = 0;
  for (const TStep &S : Plan) N += S.Push;
  return N;
}

// Plays a plan on the board by the rules; false at the first illegal step.
bool Play(TBoard Board, TCell Player, const TPlan &Plan, TCell &End)
{
  for (const TStep &S : Plan) {
    const TCell Next{Player.X + S.Dx, Player.Y + S.Dy};
    if (S.Push) {
      const TCell Beyond{Next.X + S.Dx, Next.Y + S.Dy};
      if (!Board.HasBox(Next)) return false;
      if (Board.Ground(Beyond) == TGround::Water && !Board.HasBox(Beyond)) {
        Board.SetGround(Beyond, TGround::Floor);  // filled: the box is gone
      } else {
        if (!Board.Walkable(Beyond)) return false;
        Board.SetBox(Beyond, true);
      }
      Board.SetBox(Next, false);
    } else if (!Board.Walkable(Next)) {
      return false;
    }
    Player = Next;
  }
  End = Player;
  return true;
}

TEST(PlannerWalk, ShortestInMovesThenInTurns)
{
  const TDrawn D = Draw({
      ".....",
      ".##..",
      "@....",
  });
  const auto Plan = PlanWalk(D.Board, D.Player, {4, 2});
  ASSERT_TRUE(Plan);
  EXPECT_EQ(Plan->size(), 6u);
  EXPECT_EQ(Turns(*Plan), 1) << Letters(*Plan);  // along the bottom, then up: one corner
  TCell End;
  ASSERT_TRUE(Play(D.Board, D.Player, *Plan, End));
  EXPECT_EQ(End, (TCell{4, 2}));
}

TEST(PlannerWalk, WallsWaterAndBoxesStopIt)
{
  const TDrawn D = Draw({
      "@.#..",
      "..~..",
      ".$#..",
  });
  EXPECT_FALSE(PlanWalk(D.Board, D.Player, {4, 0})) << "walled off by wall, water and a box";
  EXPECT_FALSE(PlanWalk(D.Board, D.Player, {2, 1})) << "water is no floor to stand on";
  EXPECT_FALSE(PlanWalk(D.Board, D.Player, {1, 0})) << "a walk pushes nothing";
  EXPECT_FALSE(PlanWalk(D.Board, D.Player, {9, 9})) << "off the board";
  const auto Here = PlanWalk(D.Board, D.Player, D.Player);
  ASSERT_TRUE(Here);
  EXPECT_TRUE(Here->empty());
  const std::vector<uint8_t> Reach = WalkableFrom(D.Board, D.Player);
  EXPECT_TRUE(Reach[D.Board.Index({0, 0})]);
  EXPECT_FALSE(Reach[D.Board.Index({3, 1})]);
  EXPECT_FALSE(Reach[D.Board.Index({1, 0})]);
}

TEST(PlannerPush, FewestPushesThenFewestMoves)
{
  // The box goes two to the right: two pushes from its left side.
  const TDrawn D = Draw({
      "......",
      ".@$...",
      "......",
  });
  const auto Plan = PlanPush(D.Board, D.Player, D.Box, {4, 1});
  ASSERT_TRUE(Plan);
  EXPECT_EQ(Letters(*Plan), "RR");
  // Up one: the player walks round below it first (two moves), then pushes.
  const auto Up = PlanPush(D.Board, D.Player, D.Box, {2, 2});
  ASSERT_TRUE(Up);
  EXPECT_EQ(Pushes(*Up), 1);
  EXPECT_EQ(Up->size(), 3u) << Letters(*Up);
  TCell End;
  ASSERT_TRUE(Play(D.Board, D.Player, *Up, End));
  EXPECT_EQ(End, (TCell{2, 1}));
  // Away and back again is no place to push it to.
  const std::vector<uint8_t> Marks = PushTargets(D.Board, D.Player, D.Box);
  EXPECT_FALSE(Marks[D.Board.Index(D.Box)]);
  EXPECT_TRUE(Marks[D.Board.Index({0, 1})]);
}

TEST(PlannerPush, WalksRoundAndAvoidsCorners)
{
  // The box must leave the dead end by the way it came, the player going round.
  const TDrawn D = Draw({
      "#######",
      "#.....#",
      "#.$#..#",
      "#@....#",
      "#######",
  });
  const auto Plan = PlanPush(D.Board, D.Player, D.Box, {5, 1});
  ASSERT_TRUE(Plan);
  TCell End;
  ASSERT_TRUE(Play(D.Board, D.Player, *Plan, End)) << Letters(*Plan);
  EXPECT_EQ(Pushes(*Plan), 4) << Letters(*Plan);  // down one, right three
  // Into the corner the box can never leave: no plan, no mark.
  const TDrawn Corner = Draw({
      "#####",
      "#...#",
      "#.$.#",
      "#@..#",
      "#####",
  });
  const std::vector<uint8_t> Marks = PushTargets(Corner.Board, Corner.Player, Corner.Box);
  EXPECT_TRUE(Marks[Corner.Board.Index({1, 1})]) << "a corner can be pushed into";
  EXPECT_FALSE(Marks[Corner.Board.Index({2, 2})]) << "not its own cell";
  const TDrawn Stuck = Draw({
      "#####",
      "#$..#",
      "#..@#",
      "#####",
  });
  EXPECT_FALSE(PlanPush(Stuck.Board, Stuck.Player, Stuck.Box, {2, 1})) << "a box in a corner stays";
  const std::vector<uint8_t> None = PushTargets(Stuck.Board, Stuck.Player, Stuck.Box);
  for (const uint8_t M : None) EXPECT_FALSE(M);
}

TEST(PlannerPush, OtherBoxesAndWallsBlock)
{
  const TDrawn D = Draw({
      "#######",
      "#@$.$.#",
      "#######",
  });
  // The last box drawn is the one at x 4; the first blocks it from the left.
  EXPECT_FALSE(PlanPush(D.Board, D.Player, D.Box, {5, 1})) << "nobody can get behind it";
  EXPECT_FALSE(PlanPush(D.Board, D.Player, {2, 1}, {4, 1})) << "a box does not push another";
  const auto Plan = PlanPush(D.Board, D.Player, {2, 1}, {3, 1});
  ASSERT_TRUE(Plan);
  EXPECT_EQ(Letters(*Plan), "R");
  EXPECT_FALSE(PlanPush(D.Board, D.Player, {3, 1}, {4, 1})) << "no box on that cell";
}

TEST(PlannerPush, WaterFillsAndBlocks)
{
  const TDrawn D = Draw({
      "#######",
      "#.....#",
      "#.....#",
      "#@$.~.#",
      "#.....#",
      "#######",
  });
  // Into the water: the last push fills it.
  const auto Fill = PlanPush(D.Board, D.Player, D.Box, {4, 2});
  ASSERT_TRUE(Fill);
  EXPECT_EQ(Letters(*Fill), "RR");
  TCell End;
  ASSERT_TRUE(Play(D.Board, D.Player, *Fill, End));
  // Beyond the water only round it: the box cannot cross water, it sinks there.
  const auto Round = PlanPush(D.Board, D.Player, D.Box, {5, 2});
  ASSERT_TRUE(Round);
  ASSERT_TRUE(Play(D.Board, D.Player, *Round, End)) << Letters(*Round);
  EXPECT_GT(Pushes(*Round), 3) << "round the water, not through it: " << Letters(*Round);
  const std::vector<uint8_t> Marks = PushTargets(D.Board, D.Player, D.Box);
  EXPECT_TRUE(Marks[D.Board.Index({4, 2})]) << "the water is a place to push it";
  EXPECT_TRUE(Marks[D.Board.Index({5, 2})]);
  // The player never wades: a box it cannot get behind except through water stays.
  const TDrawn Moat = Draw({
      "#####",
      "#@$~#",
      "#####",
  });
  EXPECT_FALSE(PlanPush(Moat.Board, Moat.Player, Moat.Box, {1, 1}));
  EXPECT_TRUE(PlanPush(Moat.Board, Moat.Player, Moat.Box, {3, 1}));
}

// The plain search the planner's must agree with: every state (box cell,
// player cell) walked out in full, cheapest first by (pushes, moves).
std::map<std::pair<int, int>, std::pair<int, int>> ReferenceCosts(const TBoard &Board, TCell Player, TCell Box)
{
  const int W = Board.Width(), H = Board.Height();
  const TCell Dirs[4] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
  TBoard Empty = Board;
  Empty.SetBox(Box, false);
  using TKey = std::tuple<int, int, int, int>;  // pushes, moves, box index, player index
  std::priority_queue<TKey, std::vector<TKey>, std::greater<>> Open;
  std::map<std::pair<int, int>, std::pair<int, int>> Best;  // (box, player) -> cost
  std::map<std::pair<int, int>, std::pair<int, int>> Result;  // box cell -> cheapest
  const auto Index = [W](TCell C) { return C.Y * W + C.X; };
  Open.push({0, 0, Index(Box), Index(Player)});
  while (!Open.empty()) {
    const auto [P, M, B, Q] = Open.top();
    Open.pop();
    if (Best.count({B, Q})) continue;
    Best[{B, Q}] = {P, M};
    const TCell BC{B % W, B / W}, QC{Q % W, Q / W};
    if (!Result.count({BC.X, BC.Y})) Result[{BC.X, BC.Y}] = {P, M};
    // Walk one cell, or push.
    for (const TCell D : Dirs) {
      const TCell N{QC.X + D.X, QC.Y + D.Y};
      if (N == BC) {
        const TCell A{BC.X + D.X, BC.Y + D.Y};
        if (Empty.Ground(A) == TGround::Water && !Empty.HasBox(A)) {
          const std::pair<int, int> Fill{P + 1, M + 1};
          if (!Result.count({A.X, A.Y}) || Fill < Result[{A.X, A.Y}]) Result[{A.X, A.Y}] = Fill;
        } else if (Empty.Walkable(A)) {
          Open.push({P + 1, M + 1, Index(A), B});
        }
      } else if (Empty.Walkable(N)) {
        Open.push({P, M + 1, B, Index(N)});
      }
    }
  }
  (void)H;
  return Result;
}

TEST(PlannerPush, AgreesWithThePlainSearchOnRandomBoards)
{
  std::mt19937 Random(20261209u);
  for (int Board = 0; Board < 60; ++Board) {
    const int W = 4 + int(Random() % 6), H = 4 + int(Random() % 5);
    TBoard B(W, H);
    std::vector<TCell> Free;
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        const unsigned Roll = Random() % 10;
        if (Roll < 2) B.SetGround({X, Y}, TGround::Wall);
        else if (Roll < 3) B.SetGround({X, Y}, TGround::Water);
        else if (Roll < 4) B.SetBox({X, Y}, true);
        else Free.push_back({X, Y});
      }
    if (Free.size() < 2) continue;
    const TCell Player = Free[0], Box = Free[1 + Random() % (Free.size() - 1)];
    B.SetBox(Box, true);
    SCOPED_TRACE("board " + std::to_string(Board));
    const auto Costs = ReferenceCosts(B, Player, Box);
    const std::vector<uint8_t> Marks = PushTargets(B, Player, Box);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        const TCell To{X, Y};
        const bool Reached = Costs.count({X, Y}) && !(To == Box);
        EXPECT_EQ(Marks[B.Index(To)] != 0, Reached) << "cell " << X << "," << Y;
        const std::optional<TPlan> Plan = PlanPush(B, Player, Box, To);
        if (To == Box) continue;
        ASSERT_EQ(Plan.has_value(), Reached) << "cell " << X << "," << Y;
        if (!Plan) continue;
        EXPECT_EQ(Pushes(*Plan), Costs.at({X, Y}).first) << "cell " << X << "," << Y;
        EXPECT_EQ(int(Plan->size()), Costs.at({X, Y}).second) << "cell " << X << "," << Y;
        TCell End;
        EXPECT_TRUE(Play(B, Player, *Plan, End)) << Letters(*Plan);
      }
  }
}

}  // namespace
