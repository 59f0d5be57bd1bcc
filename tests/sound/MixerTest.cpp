// The mixer: gain, pan, the limiter under many voices, a voice ending inside a
// buffer, the music's loop and volume, and requests beyond the queue.
#include "Mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace sound;

TClipRef Constant(size_t Frames, float Value) { return std::make_shared<const TClip>(Frames, Value); }

struct TStereo {
  std::vector<int16_t> Samples;
  int16_t Left(size_t Frame) const { return Samples[2 * Frame]; }
  int16_t Right(size_t Frame) const { return Samples[2 * Frame + 1]; }
};

TStereo Render(TMixer &Mixer, int32_t Frames)
{
  TStereo Out{std::vector<int16_t>(size_t(Frames) * 2, 12345)};
  Mixer.Render(Out.Samples.data(), Frames);
  return Out;
}

int16_t Peak(const TStereo &S)
{
  int16_t Max = 0;
  for (const int16_t V : S.Samples) Max = std::max<int16_t>(Max, int16_t(std::abs(V)));
  return Max;
}

TEST(Mixer, SilenceWithNothingPlaying)
{
  TMixer Mixer;
  EXPECT_EQ(Peak(Render(Mixer, 300)), 0);
}

// A quiet clip passes the limiter untouched: centre pan is -3 dB on each side,
// the gain scales it, full left or right puts it on one side only.
TEST(Mixer, GainAndPan)
{
  TMixer Mixer;
  Mixer.Play(Constant(100, 0.5f), 1.0f, 0.0f);
  Render(Mixer, 1);  // the first buffer glides the gain in from where it was
  const TStereo Centre = Render(Mixer, 10);
  EXPECT_NEAR(Centre.Left(5), 0.5 * std::sqrt(0.5) * 32767, 2);
  EXPECT_EQ(Centre.Left(5), Centre.Right(5));

  TMixer Panned;
  Panned.Play(Constant(100, 0.5f), 0.5f, -1.0f);
  Render(Panned, 1);
  const TStereo Left = Render(Panned, 10);
  EXPECT_NEAR(Left.Left(5), 0.25 * 32767, 2);
  EXPECT_EQ(Left.Right(5), 0);

  TMixer Right;
  Right.Play(Constant(100, 0.5f), 1.0f, +1.0f);
  Render(Right, 1);
  EXPECT_EQ(Render(Right, 10).Left(5), 0);
}

TEST(Mixer, EffectsVolumeAndMute)
{
  TMixer Mixer;
  Mixer.SetEffectsGain(VolumeGain(5));
  Mixer.Play(Constant(1000, 0.5f), 1.0f, 0.0f);
  Render(Mixer, 100);
  EXPECT_NEAR(Render(Mixer, 10).Left(5), 0.25 * 0.5 * std::sqrt(0.5) * 32767, 2);
  Mixer.SetMuted(true);
  Render(Mixer, 100);
  EXPECT_EQ(Peak(Render(Mixer, 100)), 0);
  EXPECT_EQ(VolumeGain(0), 0.0f);
  EXPECT_EQ(VolumeGain(10), 1.0f);
  EXPECT_EQ(VolumeGain(99), 1.0f);
}

// A voice that ends inside a buffer leaves silence after it, and its slot free.
TEST(Mixer, AVoiceEndingMidBuffer)
{
  TMixer Mixer;
  Mixer.Play(Constant(1, 0.0f), 1.0f, 0.0f);
  Render(Mixer, 4);  // past the gain's glide
  Mixer.Play(Constant(37, 0.5f), 1.0f, 0.0f);
  const TStereo Out = Render(Mixer, 64);
  EXPECT_NE(Out.Left(36), 0);
  for (size_t F = 37; F < 64; ++F) ASSERT_EQ(Out.Left(F), 0) << F;
  EXPECT_EQ(Mixer.ActiveVoices(), 0);
}

// A clip longer than the mixer's own chunk plays on, whole, across buffers.
TEST(Mixer, ALongClipAcrossBuffers)
{
  TMixer Mixer;
  Mixer.Play(Constant(10000, 0.25f), 1.0f, -1.0f);
  Render(Mixer, 1);
  const TStereo A = Render(Mixer, 9000), B = Render(Mixer, 2000);
  EXPECT_NEAR(A.Left(8999), 0.25 * 32767, 2);
  EXPECT_NEAR(B.Left(998), 0.25 * 32767, 2);
  EXPECT_EQ(B.Left(999), 0);
}

// Every voice at full scale at once: the sum is held below full scale, no
// sample sits at the rails, and the sound comes back up once they stop.
TEST(Mixer, ManyVoicesNeverClip)
{
  TMixer Mixer;
  for (int32_t I = 0; I < TMixer::MaxVoices + 10; ++I)
    Mixer.Play(Constant(4000, I % 2 ? 1.0f : 0.9f), 1.0f, float(I % 3) - 1.0f);
  const TStereo Loud = Render(Mixer, 4000);
  EXPECT_LE(Peak(Loud), 32767 * 0.95);
  EXPECT_GE(Peak(Loud), 32767 * 0.7) << "limited, not silenced";
  EXPECT_EQ(Mixer.ActiveVoices(), 0);

  // Once they end, a quiet sound is heard at its own level again.
  Render(Mixer, MixRate);
  Mixer.Play(Constant(100, 0.2f), 1.0f, -1.0f);
  EXPECT_NEAR(Render(Mixer, 100).Left(50), 0.2 * 32767, 40);
}

// A loud sound held down is turned down smoothly: once the limiter has caught
// it (its first few milliseconds), no step between two samples larger than a
// sine at the limiter's level makes.
TEST(Mixer, TheLimiterHasNoHardEdges)
{
  TMixer Mixer;
  TClip Sine(4410);
  for (size_t I = 0; I < Sine.size(); ++I) Sine[I] = float(std::sin(2 * 3.14159265 * 220 * double(I) / MixRate));
  const auto Clip = std::make_shared<const TClip>(Sine);
  for (int I = 0; I < 8; ++I) Mixer.Play(Clip, 1.0f, -1.0f);
  const TStereo Out = Render(Mixer, 4410);
  int MaxStep = 0;
  for (size_t F = 220; F < 4410; ++F) MaxStep = std::max(MaxStep, std::abs(Out.Left(F) - Out.Left(F - 1)));
  // Eight sines in step, limited to 0.8: a sine of 0.8 moves at most 0.8 * 2π * 220 / 44100 per sample.
  EXPECT_LT(MaxStep, 0.8 * 2 * 3.14159265 * 220 / MixRate * 32767 * 1.5);
  EXPECT_LE(Peak(Out), 32767 * 0.95);
}

// The oldest voice gives way to a new one when all are busy.
TEST(Mixer, ANewEffectTakesTheOldestVoice)
{
  TMixer Mixer;
  for (int32_t I = 0; I < TMixer::MaxVoices; ++I) Mixer.Play(Constant(100000, 0.01f), 1.0f, 0.0f);
  Render(Mixer, 10);
  EXPECT_EQ(Mixer.ActiveVoices(), TMixer::MaxVoices);
  Mixer.Play(Constant(5, 0.01f), 1.0f, 0.0f);
  Render(Mixer, 10);
  EXPECT_EQ(Mixer.ActiveVoices(), TMixer::MaxVoices - 1);
}

TEST(Mixer, MusicLoopsAtItsOwnVolume)
{
  TMixer Mixer;
  TClip Ramp(100);
  for (size_t I = 0; I < Ramp.size(); ++I) Ramp[I] = float(I) / 1000.0f;
  Mixer.SetMusic(std::make_shared<const TClip>(Ramp));
  Mixer.SetMusicGain(1.0f);
  Mixer.SetEffectsGain(0.0f);  // the effects' volume does not touch it
  Render(Mixer, 100);
  const TStereo Out = Render(Mixer, 250);
  EXPECT_EQ(Out.Left(10), Out.Left(110));
  EXPECT_EQ(Out.Left(0), 0);
  EXPECT_NEAR(Out.Left(50), 0.05 * std::sqrt(0.5) * 32767, 2);
  Mixer.SetMusic(nullptr);
  Render(Mixer, 10);
  EXPECT_EQ(Peak(Render(Mixer, 10)), 0);
}

// More requests between two buffers than the queue holds: the rest are dropped, nothing breaks.
TEST(Mixer, RequestsBeyondTheQueueAreDropped)
{
  TMixer Mixer;
  for (int32_t I = 0; I < TMixer::QueueLength * 3; ++I) Mixer.Play(Constant(1000, 0.01f), 1.0f, 0.0f);
  Render(Mixer, 10);
  EXPECT_EQ(Mixer.ActiveVoices(), TMixer::MaxVoices);
}

TEST(Mixer, PanGainsKeepThePower)
{
  for (const float Pan : {-1.0f, -0.3f, 0.0f, 0.7f, 1.0f, 5.0f}) {
    const TPanGains G = PanGains(Pan);
    EXPECT_NEAR(G.Left * G.Left + G.Right * G.Right, 1.0, 1e-6) << Pan;
  }
  EXPECT_GT(PanGains(-0.5f).Left, PanGains(-0.5f).Right);
}

}  // namespace

namespace {

// The music set to silence before the first buffer makes no sound in it: the
// gains glide in from silence, not from full.
TEST(Mixer, TheFirstBufferStartsFromSilence)
{
  TMixer Mixer;
  Mixer.SetMusic(std::make_shared<const TClip>(1000, 0.5f));
  Mixer.SetMusicGain(0.0f);
  Mixer.SetEffectsGain(0.0f);
  Mixer.Play(std::make_shared<const TClip>(1000, 0.5f), 1.0f, 0.0f);
  EXPECT_EQ(Peak(Render(Mixer, 512)), 0);
}

}  // namespace
