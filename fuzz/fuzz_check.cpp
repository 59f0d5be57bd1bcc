// Any bytes as the level tool's check reads them, both as a readable source
// and as a level file: every level is checked and its solution replayed. A
// source without errors writes back to a source that parses to the same set.
#include "Grid.h"
#include "LevelSet.h"
#include "ToolChecks.h"

#include <cstdint>
#include <string>

namespace {

void CheckEvery(const levels::LevelSet &Set, levels::Problems &Found)
{
  for (std::size_t I = 0; I < Set.Levels.size(); ++I) {
    const levels::Level &L = Set.Levels[I];
    levels::CheckLevel(L, int(I), "in", Found);
    const std::string Moves = L.HeaderValue("Solution");
    if (!Moves.empty()) {
      const levels::ReplayResult R = levels::Replay(L, Moves);
      fuzz::Check(R.Ok || !R.Error.empty(), "a failed replay without a reason");
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  using namespace levels;
  const std::string Bytes(reinterpret_cast<const char *>(Data), Size);

  Problems FromFile;
  CheckEvery(ReadLevelFile(Bytes, "in.lvl", FromFile), FromFile);

  Problems FromSource;
  const LevelSet Set = ParseSource(Bytes, "in.txt", FromSource);
  if (HasErrors(FromSource)) return 0;
  WriteLevelFile(Set, "in.txt", FromSource);
  CheckEvery(Set, FromSource);
  Problems Again;
  fuzz::Check(fuzz::SameBoards(ParseSource(WriteSource(Set), "out.txt", Again), Set) && !HasErrors(Again),
                "a clean source writes back to another set");
  return 0;
}
