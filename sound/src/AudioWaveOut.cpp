// AudioWaveOut.cpp -- the audio device through waveOut: a thread of its own
// refills each buffer the system hands back.
#include "AudioOut.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace sound {
namespace {

// Four buffers: the newest effect waits behind at most three (35 ms).
constexpr int32_t BufferCount = 4;

std::string WaveOutError(MMRESULT Code)
{
  char Text[MAXERRORLENGTH] = {};
  waveOutGetErrorTextA(Code, Text, sizeof Text);
  return Text[0] ? Text : "waveOut error " + std::to_string(Code);
}

class TWaveOut final : public TAudioOut {
public:
  explicit TWaveOut(TMixer &Mixer) : Mixer(Mixer) {}
  ~TWaveOut() override
  {
    Stop = true;
    if (Ready) SetEvent(Ready);
    if (Thread.joinable()) Thread.join();
    if (Out) {
      waveOutReset(Out);
      for (WAVEHDR &H : Headers)
        if (H.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(Out, &H, sizeof H);
      waveOutClose(Out);
    }
    if (Ready) CloseHandle(Ready);
  }

  bool Open(std::string &Why)
  {
    Ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    WAVEFORMATEX Format = {};
    Format.wFormatTag = WAVE_FORMAT_PCM;
    Format.nChannels = 2;
    Format.nSamplesPerSec = MixRate;
    Format.wBitsPerSample = 16;
    Format.nBlockAlign = 4;
    Format.nAvgBytesPerSec = MixRate * 4;
    const MMRESULT Code = Ready ? waveOutOpen(&Out, WAVE_MAPPER, &Format, DWORD_PTR(Ready), 0, CALLBACK_EVENT)
                                : MMRESULT(MMSYSERR_NOMEM);
    if (Code != MMSYSERR_NOERROR) {
      Out = nullptr;
      Why = WaveOutError(Code);
      return false;
    }
    for (int32_t I = 0; I < BufferCount; ++I) {
      Samples[size_t(I)].assign(size_t(BufferFrames) * 2, 0);
      WAVEHDR &H = Headers[size_t(I)];
      H = {};
      H.lpData = reinterpret_cast<LPSTR>(Samples[size_t(I)].data());
      H.dwBufferLength = DWORD(BufferFrames * 4);
      waveOutPrepareHeader(Out, &H, sizeof H);
      Submit(H);
    }
    Thread = std::thread([this] { Feed(); });
    return true;
  }

private:
  TMixer &Mixer;
  HWAVEOUT Out = nullptr;
  HANDLE Ready = nullptr;
  std::array<WAVEHDR, BufferCount> Headers{};
  std::array<std::vector<int16_t>, BufferCount> Samples;
  std::atomic<bool> Stop{false};
  std::thread Thread;

  void Submit(WAVEHDR &H)
  {
    Mixer.Render(reinterpret_cast<int16_t *>(H.lpData), BufferFrames);
    waveOutWrite(Out, &H, sizeof H);
  }

  void Feed()
  {
    while (!Stop) {
      WaitForSingleObject(Ready, 100);
      int32_t Done = 0;
      for (WAVEHDR &H : Headers) Done += (H.dwFlags & WHDR_DONE) != 0;
      if (Done == BufferCount) Mixer.NoteUnderrun();  // the device played everything it had
      for (WAVEHDR &H : Headers)
        if (!Stop && (H.dwFlags & WHDR_DONE)) Submit(H);
    }
  }
};

}  // namespace

std::unique_ptr<TAudioOut> OpenAudioOut(TMixer &Mixer, std::string &Why)
{
  auto Out = std::make_unique<TWaveOut>(Mixer);
  if (!Out->Open(Why)) return nullptr;
  return Out;
}

}  // namespace sound
