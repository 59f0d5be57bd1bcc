// Mixer.h -- voices, gain, pan and a soft limiter, mixed on the audio device's
// own thread. The game's thread only queues requests; Render, on the audio
// thread, takes them up at the start of the next buffer, so a slow frame of the
// game never holds up the sound.
#pragma once
#include "SoundKit.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace sound {

using TClipRef = std::shared_ptr<const TClip>;

class TMixer {
public:
  static constexpr int32_t MaxVoices = 24;   // beyond this a new effect takes the place of the oldest
  static constexpr int32_t QueueLength = 64;  // requests between two buffers; more are dropped

  // The game's thread.
  void Play(TClipRef Clip, float Gain, float Pan);  // Pan: -1 left .. +1 right
  void SetMusic(TClipRef Clip);                     // loops it; nullptr stops it
  void SetEffectsGain(float Gain);
  void SetMusicGain(float Gain);
  void SetMuted(bool Muted);

  // The audio thread: Frames stereo frames of interleaved 16-bit samples.
  void Render(int16_t *Out, int32_t Frames);

  // Counted by the device's backend: a buffer the device wanted that came late.
  void NoteUnderrun() { Underruns.fetch_add(1, std::memory_order_relaxed); }
  int64_t UnderrunCount() const { return Underruns.load(std::memory_order_relaxed); }
  int32_t ActiveVoices() const { return Active.load(std::memory_order_relaxed); }

private:
  struct TRequest {
    TClipRef Clip;
    float Gain = 0, Pan = 0;
  };
  struct TVoice {
    TClipRef Clip;
    size_t Pos = 0;
    float Left = 0, Right = 0;
    uint64_t Started = 0;
  };
  struct TControls {
    float Effects = 1, Music = 1;
    bool Muted = false;
  };

  std::mutex Lock;  // over the fields below it, held for a copy at most
  std::array<TRequest, QueueLength> Queue;
  int32_t Queued = 0;
  TControls Controls;
  TClipRef NextMusic;
  bool MusicChanged = false;

  // The audio thread's own.
  std::array<TVoice, MaxVoices> Voices;
  TClipRef Music;
  size_t MusicPos = 0;
  uint64_t Starts = 0;
  float Gain = 0, MusicGain = 0;  // as last rendered: changes glide over one buffer, the first from silence
  float Reduction = 1;            // the limiter's gain
  std::array<TRequest, QueueLength> Taken;
  std::array<float, 2 * 4096> Mix{};

  std::atomic<int64_t> Underruns{0};
  std::atomic<int32_t> Active{0};

  int32_t TakeRequests(TControls &Now);
  void StartVoice(TRequest &&Request);
  void MixVoices(float *Buffer, int32_t Frames);
  void MixMusic(float *Buffer, int32_t Frames, float From, float To);
  void Limit(const float *Buffer, int16_t *Out, int32_t Frames);
};

// The equal-power gains of a pan position.
struct TPanGains {
  float Left, Right;
};
TPanGains PanGains(float Pan);

// A volume of 0..10 as a gain: loudness grows about evenly with the step.
float VolumeGain(int32_t Volume);

}  // namespace sound
