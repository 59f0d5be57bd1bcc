// AudioNone.cpp -- no audio device: for the tests, which hear nothing.
#include "AudioOut.h"

namespace sound {

std::unique_ptr<TAudioOut> OpenAudioOut(TMixer &, std::string &Why)
{
  Why = "this program is built without sound";
  return nullptr;
}

}  // namespace sound
