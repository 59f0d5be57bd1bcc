// Any bytes as a level file, as the level tool's unpack reads it: a file read
// without a problem becomes a source that packs back to the same bytes.
#include "LevelSet.h"
#include "ToolChecks.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  using namespace levels;
  const std::string Bytes(reinterpret_cast<const char *>(Data), Size);
  Problems Found;
  const LevelSet Set = ReadLevelFile(Bytes, "in.lvl", Found);
  if (!Found.empty()) return 0;
  for (const Level &L : Set.Levels)
    if (L.Width == 0 || L.Height == 0) return 0;
  Problems Again;
  const LevelSet Parsed = ParseSource(WriteSource(Set), "out.txt", Again);
  fuzz::Check(!HasErrors(Again) && fuzz::SameBoards(Parsed, Set), "a clean level file unpacks to another set");
  fuzz::Check(WriteLevelFile(Parsed, "in.lvl", Again) == Bytes, "a clean level file does not pack back");
  return 0;
}
