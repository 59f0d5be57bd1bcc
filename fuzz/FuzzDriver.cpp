// Stands in for libFuzzer where it is not available: feeds every file of a seed
// folder to the target, then a fixed number of deterministic mutations of them
// (byte flips, insertions, deletions, splices), so the run is the same each time.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size);

namespace {

std::vector<std::string> ReadSeeds(const std::filesystem::path &Dir)
{
  // In name order: the directory's own order differs between file systems.
  std::vector<std::filesystem::path> Files;
  for (const auto &Entry : std::filesystem::directory_iterator(Dir))
    if (Entry.is_regular_file()) Files.push_back(Entry.path());
  std::sort(Files.begin(), Files.end());
  std::vector<std::string> Seeds;
  for (const auto &File : Files) {
    std::ifstream F(File, std::ios::binary);
    Seeds.emplace_back(std::istreambuf_iterator<char>(F), std::istreambuf_iterator<char>());
  }
  Seeds.emplace_back();
  return Seeds;
}

std::string Mutate(std::string S, const std::vector<std::string> &Seeds, std::mt19937 &Rng)
{
  const int Edits = 1 + Rng() % 8;
  for (int E = 0; E < Edits; ++E) {
    const std::size_t At = S.empty() ? 0 : Rng() % (S.size() + 1);
    switch (Rng() % 5) {
    case 0: if (At < S.size()) S[At] = static_cast<char>(Rng()); break;
    case 1: S.insert(S.begin() + At, static_cast<char>(Rng())); break;
    case 2: if (At < S.size()) S.erase(At, 1 + Rng() % 16); break;
    case 3: {
      static const char Special[] = {0, 9, 10, 13, 26, ';', '=', '9', '2', '3', '4', '5', '\xff'};
      if (At < S.size()) S[At] = Special[Rng() % sizeof Special];
      break;
    }
    default: {
      const std::string &Other = Seeds[Rng() % Seeds.size()];
      if (!Other.empty()) {
        const std::size_t From = Rng() % Other.size();
        S.insert(At, Other.substr(From, Rng() % 64));
      }
    }
    }
  }
  return S;
}

void Run(const std::string &S)
{
  static const char *const Keep = std::getenv("KESTROVE_FUZZ_KEEP");
  if (Keep) std::ofstream(Keep, std::ios::binary | std::ios::trunc) << S;
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(S.data()), S.size());
}

} // namespace

int main(int argc, char **argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s SEED_DIR [MUTATIONS]\n", argv[0]);
    return 2;
  }
  const std::vector<std::string> Seeds = ReadSeeds(argv[1]);
  const long Mutations = argc > 2 ? std::atol(argv[2]) : 1000;
  for (const std::string &S : Seeds) Run(S);
  std::mt19937 Rng(20261209);
  for (long I = 0; I < Mutations; ++I) {
    Run(Mutate(Seeds[Rng() % Seeds.size()], Seeds, Rng));
  }
  std::printf("%zu seeds and %ld mutations ran clean\n", Seeds.size(), Mutations);
  return 0;
}
