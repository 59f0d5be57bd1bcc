// AudioNone.cpp -- no audio device: for the tests, which hear nothing.
#include "AudioOut.h"

namespace sound {

std::unique_ptr<TAudioOut> OpenAudioOut(TMixer &, std::string &)
{
  return nullptr;  // and nothing to say: silence is what the tests ask for
}

}  // namespace sound
