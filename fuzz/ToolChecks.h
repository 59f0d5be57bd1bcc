// ToolChecks.h -- comparisons the level tool fuzz targets share.
#pragma once
#include "Check.h"
#include "LevelSet.h"

namespace fuzz {

// Whether two sets hold the same boards, level by level.
inline bool SameBoards(const levels::LevelSet &A, const levels::LevelSet &B)
{
  if (A.Levels.size() != B.Levels.size()) return false;
  for (std::size_t I = 0; I < A.Levels.size(); ++I)
    if (A.Levels[I].Width != B.Levels[I].Width || A.Levels[I].Height != B.Levels[I].Height ||
        A.Levels[I].Rows != B.Levels[I].Rows)
      return false;
  return true;
}

} // namespace fuzz
