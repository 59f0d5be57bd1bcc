// Mixer.cpp -- the mixer: requests in, voices summed, gains glided, the sum
// limited softly and written as 16-bit samples.
#include "Mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sound {
namespace {

// The limiter: above Threshold the gain falls at once to hold the peak there,
// then recovers over about ReleaseSeconds; a gentle curve rounds off the rest.
constexpr float Threshold = 0.8f;
constexpr float ReleaseSeconds = 0.15f;
const float ReleaseStep = 1.0f - std::exp(-1.0f / (ReleaseSeconds * MixRate));

// Passes -Knee..Knee unchanged and bends what lies beyond towards 1, never reaching it.
float SoftClip(float X)
{
  constexpr float Knee = 0.9f, Room = 1.0f - Knee;
  const float A = std::abs(X);
  if (A <= Knee) return X;
  const float Over = (A - Knee) / Room;
  return std::copysign(Knee + Room * Over / (1.0f + Over), X);
}

}  // namespace

TPanGains PanGains(float Pan)
{
  const float Angle = (std::clamp(Pan, -1.0f, 1.0f) + 1.0f) * float(std::numbers::pi / 4);
  return {std::cos(Angle), std::sin(Angle)};
}

float VolumeGain(int32_t Volume)
{
  const float V = float(std::clamp(Volume, 0, 10)) / 10.0f;
  return V * V;
}

void TMixer::Play(TClipRef Clip, float Gain, float Pan)
{
  if (!Clip || Clip->empty()) return;
  const std::lock_guard Guard(Lock);
  if (Queued == QueueLength) return;
  Queue[size_t(Queued++)] = {std::move(Clip), Gain, Pan};
}

void TMixer::SetMusic(TClipRef Clip)
{
  const std::lock_guard Guard(Lock);
  NextMusic = std::move(Clip);
  MusicChanged = true;
}

void TMixer::SetEffectsGain(float Gain)
{
  const std::lock_guard Guard(Lock);
  Controls.Effects = Gain;
}

void TMixer::SetMusicGain(float Gain)
{
  const std::lock_guard Guard(Lock);
  Controls.Music = Gain;
}

void TMixer::SetMuted(bool Muted)
{
  const std::lock_guard Guard(Lock);
  Controls.Muted = Muted;
}

int32_t TMixer::TakeRequests(TControls &Now)
{
  TClipRef OldMusic;  // released after the lock, where its memory may be freed
  const std::lock_guard Guard(Lock);
  const int32_t Count = Queued;
  for (int32_t I = 0; I < Count; ++I) Taken[size_t(I)] = std::move(Queue[size_t(I)]);
  Queued = 0;
  Now = Controls;
  if (MusicChanged) {
    OldMusic = std::move(Music);
    Music = std::move(NextMusic);
    MusicPos = 0;
    MusicChanged = false;
  }
  return Count;
}

void TMixer::StartVoice(TRequest &&Request)
{
  // A free voice, else the one that started first.
  TVoice *Slot = &Voices[0];
  for (TVoice &V : Voices) {
    if (!V.Clip) {
      Slot = &V;
      break;
    }
    if (V.Started < Slot->Started) Slot = &V;
  }
  const TPanGains Pan = PanGains(Request.Pan);
  *Slot = {std::move(Request.Clip), 0, Request.Gain * Pan.Left, Request.Gain * Pan.Right, ++Starts};
}

void TMixer::MixVoices(float *Buffer, int32_t Frames)
{
  int32_t Playing = 0;
  for (TVoice &V : Voices) {
    if (!V.Clip) continue;
    const TClip &Clip = *V.Clip;
    const size_t N = std::min(size_t(Frames), Clip.size() - V.Pos);
    for (size_t I = 0; I < N; ++I) {
      const float S = Clip[V.Pos + I];
      Buffer[2 * I] += S * V.Left;
      Buffer[2 * I + 1] += S * V.Right;
    }
    V.Pos += N;
    if (V.Pos >= Clip.size()) V.Clip.reset();
    else ++Playing;
  }
  Active.store(Playing, std::memory_order_relaxed);
}

void TMixer::MixMusic(float *Buffer, int32_t Frames, float From, float To)
{
  if (!Music || Music->empty()) return;
  const TClip &Clip = *Music;
  const float Step = (To - From) / float(Frames);
  for (int32_t I = 0; I < Frames; ++I) {
    const float S = Clip[MusicPos] * (From + Step * float(I));
    Buffer[2 * I] += S * float(std::numbers::sqrt2 / 2);
    Buffer[2 * I + 1] += S * float(std::numbers::sqrt2 / 2);
    if (++MusicPos == Clip.size()) MusicPos = 0;
  }
}

void TMixer::Limit(const float *Buffer, int16_t *Out, int32_t Frames)
{
  for (int32_t I = 0; I < Frames; ++I) {
    const float L = Buffer[2 * I], R = Buffer[2 * I + 1];
    const float Peak = std::max(std::abs(L), std::abs(R));
    Reduction += (1.0f - Reduction) * ReleaseStep;
    if (Peak * Reduction > Threshold) Reduction = Threshold / Peak;
    Out[2 * I] = int16_t(std::lround(SoftClip(L * Reduction) * 32767.0f));
    Out[2 * I + 1] = int16_t(std::lround(SoftClip(R * Reduction) * 32767.0f));
  }
}

void TMixer::Render(int16_t *Out, int32_t Frames)
{
  TControls Now;
  const int32_t Count = TakeRequests(Now);
  for (int32_t I = 0; I < Count; ++I) StartVoice(std::move(Taken[size_t(I)]));
  const float Effects = Now.Muted ? 0.0f : Now.Effects, MusicTo = Now.Muted ? 0.0f : Now.Music;

  constexpr int32_t Chunk = int32_t(std::tuple_size_v<decltype(Mix)> / 2);
  while (Frames > 0) {
    const int32_t N = std::min(Frames, Chunk);
    std::fill_n(Mix.begin(), 2 * N, 0.0f);
    MixVoices(Mix.data(), N);
    // The effects' gain glides over the chunk, so a volume change makes no click.
    const float Step = (Effects - Gain) / float(N);
    for (int32_t I = 0; I < N; ++I) {
      const float G = Gain + Step * float(I);
      Mix[size_t(2 * I)] *= G;
      Mix[size_t(2 * I + 1)] *= G;
    }
    Gain = Effects;
    MixMusic(Mix.data(), N, MusicGain, MusicTo);
    MusicGain = MusicTo;
    Limit(Mix.data(), Out, N);
    Out += 2 * N;
    Frames -= N;
  }
}

}  // namespace sound
