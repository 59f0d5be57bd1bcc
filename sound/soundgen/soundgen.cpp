// soundgen -- writes every sound of the game as a WAV file into a directory:
//   soundgen <dir>
#include "SoundKit.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int Argc, char **Argv)
{
  if (Argc != 2) {
    std::fprintf(stderr, "usage: soundgen <directory>\n");
    return 2;
  }
  const std::filesystem::path Dir = Argv[1];
  std::error_code Error;
  std::filesystem::create_directories(Dir, Error);
  for (int32_t I = 0; I < sound::SoundCount; ++I) {
    const auto Sound = sound::ESound(I);
    const std::filesystem::path Path = Dir / std::filesystem::path(sound::SoundNames[size_t(I)].File).filename();
    const std::string Bytes = sound::EncodeWav(sound::Synthesize(Sound));
    std::ofstream Out(Path, std::ios::binary);
    Out.write(Bytes.data(), std::streamsize(Bytes.size()));
    if (!Out.flush()) {
      std::fprintf(stderr, "soundgen: cannot write %s\n", Path.string().c_str());
      return 1;
    }
  }
  return 0;
}
