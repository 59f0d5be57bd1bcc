// Searches.h -- the two searches behind Solve; each may throw std::bad_alloc.
#pragma once
#include "Solver.h"

namespace solver::detail {

Result SolveFewestMoves(const Board &B, const Limits &L);
Result SolveFast(const Board &B, const Limits &L);

}  // namespace solver::detail
