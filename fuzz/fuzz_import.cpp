// Any bytes as a plain or run-length text collection: every level the importer
// keeps packs into a level file that reads back clean with the same boards, and
// its export imports again to the same boards. The importer reads a board only
// from a line that starts with floor and then a wall; a board whose first row
// starts with anything else cannot be written so that it reads back, and its
// set is not exported.
#include "Common.h"
#include "LevelSet.h"
#include "ToolChecks.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// Whether the board's first row, past what is exported as floor, starts with a wall.
bool FirstRowStartsWithAWall(const levels::Level &L)
{
  using namespace levels;
  if (L.Rows.empty()) return false;
  const std::string &Row = L.Rows[0];
  const std::string Drawn = {CellWall, CellBox, CellGoal, CellBoxOnGoal, CellPlayer, CellWater};
  const std::size_t First = Row.find_first_of(Drawn);
  return First != std::string::npos && Row[First] == CellWall;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  using namespace levels;
  const std::string Text(reinterpret_cast<const char *>(Data), Size);
  Problems Found;
  int LeftOut = 0;
  const LevelSet Set = ImportCommon(Text, "in.sok", Found, LeftOut);
  fuzz::Check(LeftOut >= 0, "a negative count of levels left out");
  if (Set.Levels.empty()) return 0;

  Problems Written;
  const std::string Bytes = WriteLevelFile(Set, "out.lvl", Written);
  fuzz::Check(!HasErrors(Written), "an imported set cannot be stored");
  Problems Read;
  fuzz::Check(fuzz::SameBoards(ReadLevelFile(Bytes, "out.lvl", Read), Set) && !HasErrors(Read),
                "an imported set reads back different");

  if (!std::all_of(Set.Levels.begin(), Set.Levels.end(), FirstRowStartsWithAWall)) return 0;
  Problems Again;
  int LeftOutAgain = 0;
  const LevelSet Reimported = ImportCommon(ExportCommon(Set), "again.sok", Again, LeftOutAgain);
  fuzz::Check(LeftOutAgain == 0 && fuzz::SameBoards(Reimported, Set), "an exported set imports different");
  return 0;
}
