// Any bytes as a sound file a player put in place of one of the game's: the
// reader refuses it or gives a clip of bounded length with every sample a
// number in -1..1, which the mixer then plays.
#include "Mixer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
  const sound::TWavResult Wav = sound::DecodeWav(std::string(reinterpret_cast<const char *>(Data), Size));
  if (!Wav.Error.empty()) {
    if (!Wav.Clip.empty()) std::abort();  // refused means nothing to play
    return 0;
  }
  if (Wav.Clip.size() > size_t(sound::MaxClipSeconds) * sound::MixRate) std::abort();
  for (const float S : Wav.Clip)
    if (!std::isfinite(S) || S < -1.0f || S > 1.0f) {
      std::fprintf(stderr, "fuzz_wav: sample %g\n", double(S));
      std::abort();
    }
  sound::TMixer Mixer;
  const auto Clip = std::make_shared<const sound::TClip>(Wav.Clip);
  Mixer.Play(Clip, 1.0f, -0.5f);
  Mixer.Play(Clip, 1.0f, 0.5f);
  int16_t Out[2 * 256];
  Mixer.Render(Out, 256);
  return 0;
}
