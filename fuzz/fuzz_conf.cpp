// Any bytes as a configuration file or map list: the store loads it, saves it,
// and loads back the same entries; the map list reader turns it into map sets.
#include "Conf.h"
#include "game.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  static const std::string In = "/tmp/kestrove-fuzz-" + std::to_string(getpid()) + ".ini";
  static const std::string Out = In + ".out";
  std::ofstream(In, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);

  TConf First;
  First.Load(In);
  First.Save(Out);
  TConf Second;
  Second.Load(Out);
  if (Second.Count() != First.Count()) {
    std::fprintf(stderr, "fuzz_conf: %d entries came back as %d\n", First.Count(), Second.Count());
    std::abort();
  }
  for (int32_t I = 0; I < First.Count(); ++I)
    if (First.KeyAt(I) != Second.KeyAt(I) || First.ValueAt(I) != Second.ValueAt(I) ||
        Second.GetValue(First.KeyAt(I)).size() > Size) {
      std::fprintf(stderr, "fuzz_conf: entry %d changed by save and load\n", I);
      std::abort();
    }

  TMaps Maps{};
  GameLoadMaps(In.c_str(), &Maps);
  if (Maps.Count != First.Count()) std::abort();
  FreeMaps(&Maps);
  std::remove(Out.c_str());
  return 0;
}
