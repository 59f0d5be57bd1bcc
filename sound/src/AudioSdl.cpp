// AudioSdl.cpp -- the audio device through SDL2: its callback renders the mixer.
#include "AudioOut.h"

#include <SDL.h>

#include <chrono>

namespace sound {
namespace {

class TSdlAudio final : public TAudioOut {
public:
  TSdlAudio(TMixer &Mixer) : Mixer(Mixer) {}
  ~TSdlAudio() override
  {
    if (Device) SDL_CloseAudioDevice(Device);  // waits for a callback under way
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool Open(std::string &Why)
  {
    SDL_AudioSpec Want = {}, Have = {};
    Want.freq = MixRate;
    Want.format = AUDIO_S16SYS;
    Want.channels = 2;
    Want.samples = BufferFrames;
    Want.callback = &TSdlAudio::Callback;
    Want.userdata = this;
    Device = SDL_OpenAudioDevice(nullptr, 0, &Want, &Have, 0);  // SDL converts whatever the device wants
    if (!Device) {
      Why = SDL_GetError();
      return false;
    }
    SDL_PauseAudioDevice(Device, 0);
    return true;
  }

private:
  using TClock = std::chrono::steady_clock;
  TMixer &Mixer;
  SDL_AudioDeviceID Device = 0;
  TClock::time_point Previous{};

  static void SDLCALL Callback(void *User, Uint8 *Stream, int Bytes)
  {
    auto &Self = *static_cast<TSdlAudio *>(User);
    const TClock::time_point Now = TClock::now();
    if (Self.Previous != TClock::time_point{} &&
        CameLate(std::chrono::duration<double>(Now - Self.Previous).count()))
      Self.Mixer.NoteUnderrun();
    Self.Previous = Now;
    Self.Mixer.Render(reinterpret_cast<int16_t *>(Stream), Bytes / 4);
  }
};

}  // namespace

std::unique_ptr<TAudioOut> OpenAudioOut(TMixer &Mixer, std::string &Why)
{
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    Why = SDL_GetError();
    return nullptr;
  }
  auto Out = std::make_unique<TSdlAudio>(Mixer);
  if (!Out->Open(Why)) return nullptr;
  return Out;
}

}  // namespace sound
