// Any bytes as a plain or run-length text collection: every level the importer
// keeps packs into a level file that reads back clean with the same boards, and
// its export imports again to the same boards.
#include "Common.h"
#include "LevelSet.h"
#include "ToolChecks.h"

#include <cstdint>
#include <string>

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

  Problems Again;
  int LeftOutAgain = 0;
  const LevelSet Reimported = ImportCommon(ExportCommon(Set), "again.sok", Again, LeftOutAgain);
  fuzz::Check(LeftOutAgain == 0 && fuzz::SameBoards(Reimported, Set), "an exported set imports different");
  return 0;
}
