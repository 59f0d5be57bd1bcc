// Solve.cpp -- the library's entry: checks the board's layout, picks the
// search, and keeps every exception inside.
#include <new>

#include "Searches.h"

namespace solver {

namespace {

bool WellFormed(const Board &B) {
  const std::size_t N = std::size_t(B.Width > 0 ? B.Width : 0) * std::size_t(B.Height > 0 ? B.Height : 0);
  return B.Width > 0 && B.Height > 0 && B.Wall.size() == N && B.Water.size() == N && B.Mark.size() == N &&
         B.Box.size() == N && B.Player < int(N);
}

}  // namespace

Result Solve(const Board &B, Mode How, const Limits &Within) noexcept {
  Result R;
  if (!WellFormed(B)) return R;
  // Cells are 16-bit in the searches' positions.
  if (B.Cells() > 65535) {
    R.Result = Result::TooLarge;
    return R;
  }
  try {
    return How == Mode::Fast ? detail::SolveFast(B, Within) : detail::SolveFewestMoves(B, Within);
  } catch (const std::bad_alloc &) {
    R.Result = Result::GaveUp;
    return R;
  }
}

}  // namespace solver
