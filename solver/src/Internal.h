// Internal.h -- what the two searches share: directions, the watch on limits,
// walking paths, push distances and frozen boxes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Solver.h"

namespace solver::detail {

constexpr int Dxs[4] = {0, 0, -1, 1};
constexpr int Dys[4] = {-1, 1, 0, 0};
constexpr char WalkLetter[4] = {'u', 'd', 'l', 'r'};
constexpr char PushLetter[4] = {'U', 'D', 'L', 'R'};

// The cell one step from C in direction D, or -1 off the board.
inline int Step(const Board &B, int C, int D) {
  const int X = C % B.Width + Dxs[D], Y = C / B.Width + Dys[D];
  return B.Inside(X, Y) ? Y * B.Width + X : -1;
}

inline bool WallAt(const Board &B, int C) { return C < 0 || B.Wall[std::size_t(C)]; }

// Why a search must stop now, if it must: the cancel flag or the deadline.
// Reads the clock only every so many calls, as searches call it per position.
class Watch {
public:
  explicit Watch(const Limits &L) : L(L) {}
  // Solved when the search may go on, else TimedOut or Cancelled.
  Result::Outcome Check();

private:
  const Limits &L;
  unsigned Calls = 0;
};

// The shortest walk from From to To over cells the player may enter
// (Passable[c] != 0), as letters; empty when From == To. To must be reachable.
std::string WalkPath(const Board &B, const std::vector<char> &Passable, int From, int To);

// Fewest pushes that bring a box from each cell onto the mark at Mark, on the
// board without its boxes and with every water filled (Unreachable where none do).
constexpr uint16_t Unreachable = 0xFFFF;
std::vector<uint16_t> PushDistances(const Board &B, int Mark);

// Whether the box at Cell can never be pushed again: along each axis a wall,
// or a frozen box, stands beside it, or (when Dead is given, which the caller
// does only when no box can be spared) both cells beside it are dead. Water is
// taken as floor, as a box may still fill it. BoxAt is scratch-marked and restored.
bool Frozen(const Board &B, std::vector<char> &BoxAt, const std::vector<char> *Dead, int Cell);

}  // namespace solver::detail
