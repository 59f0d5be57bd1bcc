// The synthesized sounds: each its length, audible, never at full scale, and
// the same bytes on every build; the WAV reader with the files players bring.
#include "SoundKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using namespace sound;

struct TExpected {
  ESound Sound;
  double MinSeconds, MaxSeconds;
  uint64_t Hash;  // FNV-1a of the WAV file
};

// Effects are short, the level's phrase shorter than the set's, the music a
// whole number of bars.
const TExpected Expected[] = {
  {ESound::Step, 0.05, 0.15, 0x15e56c130e12d2d3ull},
  {ESound::Scrape, 0.15, 0.3, 0x0f399a00e260e9a4ull},
  {ESound::MarkOn, 0.3, 0.9, 0x2d2fbf5bbe29f580ull},
  {ESound::MarkOff, 0.2, 0.6, 0x5dc04b412f7a50c9ull},
  {ESound::Splash, 0.4, 1.0, 0x9069d8d0d4cb451dull},
  {ESound::Bump, 0.08, 0.25, 0x021852d8f99dac38ull},
  {ESound::Swish, 0.2, 0.45, 0x200cab82c159a495ull},
  {ESound::Solved, 0.7, 1.3, 0x1958bbd6356d50c4ull},
  {ESound::SetDone, 2.0, 3.5, 0x6ddb6cd2e0aaa331ull},
  {ESound::Click, 0.01, 0.06, 0x71c1a507df2218c3ull},
  {ESound::Undo, 0.08, 0.25, 0x5980ad60b97a1b00ull},
  {ESound::Music, 24.0, 24.0, 0xd5ee952652ec4a5aull},
};

uint64_t Fnv1a(const std::string &Bytes)
{
  uint64_t H = 14695981039346656037ull;
  for (const char C : Bytes) H = (H ^ uint8_t(C)) * 1099511628211ull;
  return H;
}

double Rms(const TClip &Clip)
{
  double Sum = 0;
  for (const float S : Clip) Sum += double(S) * S;
  return std::sqrt(Sum / double(std::max<size_t>(Clip.size(), 1)));
}

TEST(Synth, EverySoundHasItsLengthIsHeardAndNeverClips)
{
  for (const TExpected &E : Expected) {
    const TSoundName &Name = SoundNames[size_t(E.Sound)];
    SCOPED_TRACE(Name.Key);
    const TClip Clip = Synthesize(E.Sound);
    const double Seconds = double(Clip.size()) / MixRate;
    EXPECT_GE(Seconds, E.MinSeconds - 1e-3);
    EXPECT_LE(Seconds, E.MaxSeconds + 1e-3);
    EXPECT_GT(Rms(Clip), 0.02) << "heard";
    float Peak = 0;
    for (const float S : Clip) Peak = std::max(Peak, std::abs(S));
    EXPECT_LE(Peak, 0.75f) << "room left for the mixer";
    // An effect ends near silence: no click as its voice stops.
    if (E.Sound != ESound::Music) {
      EXPECT_LT(std::abs(Clip.back()), 0.01f);
    }
  }
}

// Built twice, the files are the same bytes, and the bytes this build has always made.
TEST(Synth, TheSameBytesOnEveryBuild)
{
  static_assert(std::size(Expected) == SoundCount);
  for (int32_t I = 0; I < SoundCount; ++I) {
    SCOPED_TRACE(SoundNames[size_t(I)].Key);
    const std::string Bytes = EncodeWav(Synthesize(ESound(I)));
    EXPECT_EQ(Bytes, EncodeWav(Synthesize(ESound(I))));
    EXPECT_EQ(Fnv1a(Bytes), Expected[I].Hash) << "a change to the synthesizer changes the shipped sounds: "
                                                 "listen to them, then take the new hash";
  }
}

TEST(Synth, TheMusicLoopsWithoutAStep)
{
  const TClip Music = Synthesize(ESound::Music);
  EXPECT_LT(std::abs(Music.front() - Music.back()), 0.02f);
}

// The same files names in config.ini and on disk: each sound its own file.
TEST(Synth, EachSoundHasItsOwnKeyAndFile)
{
  for (size_t I = 0; I < SoundNames.size(); ++I)
    for (size_t J = I + 1; J < SoundNames.size(); ++J) {
      EXPECT_STRNE(SoundNames[I].Key, SoundNames[J].Key);
      EXPECT_STRNE(SoundNames[I].File, SoundNames[J].File);
    }
}

// -- The WAV reader --

std::string U32(uint32_t V) { return std::string{char(V), char(V >> 8), char(V >> 16), char(V >> 24)}; }
std::string U16(uint16_t V) { return std::string{char(V), char(V >> 8)}; }

std::string Wav(uint16_t Tag, uint16_t Channels, uint32_t Rate, uint16_t Bits, const std::string &Data,
                const std::string &Before = {})
{
  std::string Fmt = U16(Tag) + U16(Channels) + U32(Rate) + U32(Rate * Channels * Bits / 8) +
                    U16(uint16_t(Channels * Bits / 8)) + U16(Bits);
  std::string Body = "WAVE" + Before + "fmt " + U32(uint32_t(Fmt.size())) + Fmt + "data" +
                     U32(uint32_t(Data.size())) + Data;
  return "RIFF" + U32(uint32_t(Body.size())) + Body;
}

TEST(Wav, WhatTheGeneratorWritesReadsBack)
{
  const TClip Clip = Synthesize(ESound::Bump);
  const TWavResult Back = DecodeWav(EncodeWav(Clip));
  ASSERT_EQ(Back.Error, "");
  ASSERT_EQ(Back.Clip.size(), Clip.size());
  for (size_t I = 0; I < Clip.size(); ++I) ASSERT_NEAR(Back.Clip[I], Clip[I], 2.0 / 32767) << I;
}

// 8-bit stereo at half the rate: mixed to mono, twice as many frames.
TEST(Wav, EightBitStereoAtAnotherRate)
{
  std::string Data;
  for (int I = 0; I < 100; ++I) Data += {char(0xC0), char(0xC0)};  // +0.5 on both channels
  const TWavResult R = DecodeWav(Wav(1, 2, MixRate / 2, 8, Data));
  ASSERT_EQ(R.Error, "");
  EXPECT_EQ(R.Clip.size(), 200u);
  EXPECT_NEAR(R.Clip[100], 0.5, 1e-6);
}

TEST(Wav, FloatAndTwentyFourBitAndChunksBeforeTheFormat)
{
  std::string Floats;
  for (const float V : {0.25f, -2.0f, NAN}) {
    char B[4];
    std::memcpy(B, &V, 4);
    Floats.append(B, 4);
  }
  const TWavResult F = DecodeWav(Wav(3, 1, MixRate, 32, Floats, "LIST" + U32(3) + "abc" + std::string(1, '\0')));
  ASSERT_EQ(F.Error, "");
  ASSERT_EQ(F.Clip.size(), 3u);
  EXPECT_FLOAT_EQ(F.Clip[0], 0.25f);
  EXPECT_FLOAT_EQ(F.Clip[1], -1.0f);  // held to full scale
  EXPECT_FLOAT_EQ(F.Clip[2], 0.0f);   // not a number: silence

  const TWavResult P = DecodeWav(Wav(1, 1, MixRate, 24, std::string{0, 0, char(0xC0)}));
  ASSERT_EQ(P.Error, "");
  EXPECT_FLOAT_EQ(P.Clip[0], -0.5f);
}

// A cut file plays what it has; a file that is not one, or one of a format
// the game cannot play, is refused with a reason.
TEST(Wav, BrokenFilesAreRefusedOrCut)
{
  const std::string Good = Wav(1, 1, MixRate, 16, std::string(200, '\x10'));
  const TWavResult Cut = DecodeWav(Good.substr(0, Good.size() - 51));
  EXPECT_EQ(Cut.Error, "");
  EXPECT_EQ(Cut.Clip.size(), 74u);  // whole frames only

  const std::string Refused[] = {
    "",
    "RIFF",
    "RIFF\0\0\0\0WAVE",
    "RIFF" + U32(4) + "AVI ",
    Wav(2, 1, MixRate, 16, "ab"),         // ADPCM
    Wav(1, 0, MixRate, 16, "ab"),         // no channels
    Wav(1, 1, 100, 16, "ab"),             // a rate no device plays
    Wav(1, 1, MixRate, 12, "ab"),         // 12-bit
    Good.substr(0, 30),                   // the format cut short
    "RIFF" + U32(100) + "WAVE" + "data" + U32(4) + "abcd",  // samples of no known format
  };
  for (const std::string &Bytes : Refused) EXPECT_NE(DecodeWav(Bytes).Error, "") << Bytes.size();
}

// A chunk that claims more than four gigabytes, or a file far too long, reads no further than it holds.
TEST(Wav, SizesAreNotTrusted)
{
  std::string Huge = Wav(1, 1, MixRate, 16, "abcd");
  Huge.replace(Huge.size() - 8, 4, U32(0xFFFFFFF0u));
  const TWavResult R = DecodeWav(Huge);
  EXPECT_EQ(R.Error, "");
  EXPECT_EQ(R.Clip.size(), 2u);

  const size_t Frames = size_t(MaxClipSeconds + 1) * 4000;
  const TWavResult Long = DecodeWav(Wav(1, 1, 4000, 8, std::string(Frames, '\x80')));
  EXPECT_EQ(Long.Clip.size(), size_t(MaxClipSeconds) * MixRate);
}

}  // namespace
