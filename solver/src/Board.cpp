// Board.cpp -- the board, the limits' watch, and what the searches share.
#include <algorithm>

#include "Internal.h"

namespace solver {

Board Board::Empty(int Width, int Height) {
  Board B;
  B.Width = Width;
  B.Height = Height;
  const std::size_t N = std::size_t(std::max(0, Width)) * std::size_t(std::max(0, Height));
  B.Wall.assign(N, 0);
  B.Water.assign(N, 0);
  B.Mark.assign(N, 0);
  B.Box.assign(N, 0);
  return B;
}

namespace detail {

Result::Outcome Watch::Check() {
  if (L.Cancel && L.Cancel->load(std::memory_order_relaxed)) return Result::Cancelled;
  if ((Calls++ & 255) == 0 && std::chrono::steady_clock::now() >= L.Deadline) return Result::TimedOut;
  return Result::Solved;
}

std::string WalkPath(const Board &B, const std::vector<char> &Passable, int From, int To) {
  std::vector<int> Came(std::size_t(B.Cells()), -1);
  std::vector<int> Queue{From};
  Came[std::size_t(From)] = From;
  for (std::size_t Q = 0; Q < Queue.size() && Came[std::size_t(To)] < 0; ++Q)
    for (int D = 0; D < 4; ++D) {
      const int Next = Step(B, Queue[Q], D);
      if (Next < 0 || Came[std::size_t(Next)] >= 0 || !Passable[std::size_t(Next)]) continue;
      Came[std::size_t(Next)] = Queue[Q];
      Queue.push_back(Next);
    }
  std::string Moves;
  for (int C = To; C != From;) {
    const int P = Came[std::size_t(C)];
    const int D = C - P == -B.Width ? 0 : C - P == B.Width ? 1 : C - P == -1 ? 2 : 3;
    Moves += WalkLetter[D];
    C = P;
  }
  std::reverse(Moves.begin(), Moves.end());
  return Moves;
}

std::vector<uint16_t> PushDistances(const Board &B, int Mark) {
  // Pulling backwards from the mark: a box reaches C from C-d, pushed by a
  // player standing at C-2d; water counts as floor since it can be filled first.
  std::vector<uint16_t> Dist(std::size_t(B.Cells()), Unreachable);
  std::vector<int> Queue{Mark};
  Dist[std::size_t(Mark)] = 0;
  for (std::size_t Q = 0; Q < Queue.size(); ++Q) {
    const int C = Queue[Q];
    for (int D = 0; D < 4; ++D) {
      const int From = Step(B, C, D ^ 1);
      if (WallAt(B, From) || WallAt(B, Step(B, From, D ^ 1)) || Dist[std::size_t(From)] != Unreachable) continue;
      Dist[std::size_t(From)] = uint16_t(Dist[std::size_t(C)] + 1);
      Queue.push_back(From);
    }
  }
  return Dist;
}

namespace {

// Directions 0/1 are the vertical axis, 2/3 the horizontal one.
bool BlockedAlong(const Board &B, std::vector<char> &BoxAt, const std::vector<char> *Dead, int Cell, int Axis);

bool FrozenHere(const Board &B, std::vector<char> &BoxAt, const std::vector<char> *Dead, int Cell) {
  // While its neighbours are judged, this box stands as a wall: a ring of boxes
  // each held by the next is frozen as a whole.
  BoxAt[std::size_t(Cell)] = 2;
  const bool Result = BlockedAlong(B, BoxAt, Dead, Cell, 0) && BlockedAlong(B, BoxAt, Dead, Cell, 2);
  BoxAt[std::size_t(Cell)] = 1;
  return Result;
}

bool BlockedAlong(const Board &B, std::vector<char> &BoxAt, const std::vector<char> *Dead, int Cell, int Axis) {
  const int Sides[2] = {Step(B, Cell, Axis), Step(B, Cell, Axis + 1)};
  for (const int S : Sides)
    if (WallAt(B, S) || BoxAt[std::size_t(S)] == 2) return true;
  if (Dead && (*Dead)[std::size_t(Sides[0])] && (*Dead)[std::size_t(Sides[1])]) return true;
  for (const int S : Sides)
    if (BoxAt[std::size_t(S)] == 1 && FrozenHere(B, BoxAt, Dead, S)) return true;
  return false;
}

}  // namespace

bool Frozen(const Board &B, std::vector<char> &BoxAt, const std::vector<char> *Dead, int Cell) {
  return FrozenHere(B, BoxAt, Dead, Cell);
}

}  // namespace detail

std::vector<char> DeadCells(const Board &B) {
  std::vector<char> Dead(std::size_t(B.Cells()), 1);
  for (int M = 0; M < B.Cells(); ++M) {
    if (!B.Mark[std::size_t(M)]) continue;
    const auto Dist = detail::PushDistances(B, M);
    for (std::size_t C = 0; C < Dist.size(); ++C)
      if (Dist[C] != detail::Unreachable) Dead[C] = 0;
  }
  return Dead;
}

std::vector<int> DeadBoxes(const Board &B) {
  const std::vector<char> Dead = DeadCells(B);
  int Boxes = 0, Marks = 0;
  for (int C = 0; C < B.Cells(); ++C) {
    Boxes += B.Box[std::size_t(C)] != 0;
    Marks += B.Mark[std::size_t(C)] != 0;
  }
  std::vector<char> BoxAt(B.Box.begin(), B.Box.end());
  for (auto &F : BoxAt) F = F != 0;
  const std::vector<char> *DeadIfNoneSpare = Boxes <= Marks ? &Dead : nullptr;
  std::vector<int> Out;
  for (int C = 0; C < B.Cells(); ++C) {
    if (!BoxAt[std::size_t(C)]) continue;
    if (Dead[std::size_t(C)] || (!B.Mark[std::size_t(C)] && detail::Frozen(B, BoxAt, DeadIfNoneSpare, C)))
      Out.push_back(C);
  }
  return Out;
}

}  // namespace solver
