// Any bytes as progress.txt: the reader keeps what it can read and never
// fails the game; what it writes back reads back the same, undamaged.
#include "PlayerProgress.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

// The launcher shows reports in a box; here they are only counted as said.
void ReportError(const std::string &) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  static const std::string In = "/tmp/kestrove-fuzz-" + std::to_string(getpid()) + ".progress";
  static const std::string Out = In + ".out";
  std::ofstream(In, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(Data), Size);

  TPlayerProgress First;
  First.Load(In);  // a damaged file is rewritten with what could be read
  const std::string Text = First.Text();
  std::ofstream(Out, std::ios::binary | std::ios::trunc) << Text;
  TPlayerProgress Second;
  if (!Second.Load(Out)) {
    std::fprintf(stderr, "fuzz_progress: what the reader wrote reads as damaged\n");
    std::abort();
  }
  if (Second.Text() != Text) {
    std::fprintf(stderr, "fuzz_progress: what the reader wrote reads back otherwise\n");
    std::abort();
  }
  std::remove(Out.c_str());
  return 0;
}
