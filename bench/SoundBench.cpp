// The mixer's processor cost per buffer the audio device asks for (512 frames,
// 11.6 ms of sound), with a few voices, with every voice busy, and with the
// music alone; and the queue's wait, from an effect asked for to its first
// samples mixed, through the real device thread (run with SDL_AUDIODRIVER=disk
// or a sound card).
#include "AudioOut.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace sound;

void Mix(benchmark::State &State, int32_t Voices, bool Music)
{
  TMixer Mixer;
  const auto Clip = std::make_shared<const TClip>(Synthesize(ESound::Splash));
  if (Music) Mixer.SetMusic(std::make_shared<const TClip>(Synthesize(ESound::Music)));
  std::vector<int16_t> Out(2 * BufferFrames);
  for (auto _ : State) {
    // Voices kept busy: a finished one is started again.
    for (int32_t I = Mixer.ActiveVoices(); I < Voices; ++I) Mixer.Play(Clip, 0.5f, float(I % 5) / 2 - 1);
    Mixer.Render(Out.data(), BufferFrames);
    benchmark::DoNotOptimize(Out.data());
  }
}

void MusicOnly(benchmark::State &State) { Mix(State, 0, true); }
void FourEffectsAndMusic(benchmark::State &State) { Mix(State, 4, true); }
void EveryVoiceAndMusic(benchmark::State &State) { Mix(State, TMixer::MaxVoices, true); }
BENCHMARK(MusicOnly);
BENCHMARK(FourEffectsAndMusic);
BENCHMARK(EveryVoiceAndMusic);

// From Play to the voice mixed, on the device's own thread: the wait of an
// effect for the next buffer. Its sound then leaves with that buffer.
void QueueWait(benchmark::State &State)
{
  TMixer Mixer;
  std::string Why;
  const auto Device = OpenAudioOut(Mixer, Why);
  if (!Device) {
    State.SkipWithError(("no audio device: " + Why).c_str());
    return;
  }
  const auto Clip = std::make_shared<const TClip>(2000, 0.1f);  // longer than a buffer: seen as playing
  std::vector<double> Waits;
  for (auto _ : State) {
    while (Mixer.ActiveVoices() != 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(std::chrono::microseconds(1000 + 997 * (Waits.size() % 11)));  // any time in a buffer
    const auto From = std::chrono::steady_clock::now();
    Mixer.Play(Clip, 1.0f, 0.0f);
    while (Mixer.ActiveVoices() == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
    const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - From).count();
    Waits.push_back(Ms);
    State.SetIterationTime(Ms / 1000);
  }
  std::sort(Waits.begin(), Waits.end());
  State.counters["median_ms"] = Waits[Waits.size() / 2];
  State.counters["max_ms"] = Waits.back();
  State.counters["buffer_ms"] = 1000.0 * BufferFrames / MixRate;
}
BENCHMARK(QueueWait)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
