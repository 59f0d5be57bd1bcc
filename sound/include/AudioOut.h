// AudioOut.h -- the system's audio device, fed by a mixer on the device's own
// thread. One implementation is linked into a program: SDL2's audio on Linux,
// waveOut on Windows, none in the tests.
#pragma once
#include "Mixer.h"

#include <memory>
#include <string>

namespace sound {

// Frames the mixer renders per buffer: 512 at 44.1 kHz is 11.6 ms.
inline constexpr int32_t BufferFrames = 512;

// The device is closed, and its thread ended, when this is destroyed.
class TAudioOut {
public:
  virtual ~TAudioOut() = default;
};

// Opens the default output device. Without one: nullptr, and Why says what failed
// (empty where a program is built without sound).
std::unique_ptr<TAudioOut> OpenAudioOut(TMixer &Mixer, std::string &Why);

// Whether the time between two buffers the device asked for left it without
// sound: more than its own length and a margin for the system's scheduling.
inline bool CameLate(double SecondsSincePrevious)
{
  constexpr double Margin = 0.030;
  return SecondsSincePrevious > 2.0 * BufferFrames / MixRate + Margin;
}

}  // namespace sound
