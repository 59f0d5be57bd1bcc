// Wav.cpp -- RIFF WAVE files: the generator's writer, and a reader for any file
// a player puts in place of a sound, trusting nothing it says.
#include "SoundKit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sound {
namespace {

void PutU32(std::string &Out, uint32_t V)
{
  for (int I = 0; I < 4; ++I) Out += char((V >> (8 * I)) & 0xFF);
}
void PutU16(std::string &Out, uint16_t V)
{
  Out += char(V & 0xFF);
  Out += char(V >> 8);
}

uint32_t U32At(const std::string &B, size_t At)
{
  return uint32_t(uint8_t(B[At])) | uint32_t(uint8_t(B[At + 1])) << 8 | uint32_t(uint8_t(B[At + 2])) << 16 |
         uint32_t(uint8_t(B[At + 3])) << 24;
}
uint16_t U16At(const std::string &B, size_t At) { return uint16_t(uint8_t(B[At]) | uint8_t(B[At + 1]) << 8); }

constexpr uint16_t FormatPcm = 1, FormatFloat = 3, FormatExtensible = 0xFFFE;

struct TFormat {
  uint16_t Tag = 0, Channels = 0, Bits = 0;
  uint32_t Rate = 0;
  bool Found = false;
};

// One sample of the data as -1..1; Bytes is 1..4.
float SampleAt(const char *P, const TFormat &F)
{
  const unsigned Bytes = F.Bits / 8u;
  if (F.Tag == FormatFloat) {
    float V;
    std::memcpy(&V, P, 4);
    return std::isfinite(V) ? std::clamp(V, -1.0f, 1.0f) : 0.0f;
  }
  if (Bytes == 1) return (float(uint8_t(P[0])) - 128.0f) / 128.0f;  // 8-bit PCM is unsigned
  uint32_t U = 0;
  for (unsigned I = 0; I < Bytes; ++I) U |= uint32_t(uint8_t(P[I])) << (8 * (I + 4 - Bytes));
  return float(int32_t(U)) / 2147483648.0f;
}

std::string CheckFormat(const TFormat &F)
{
  if (!F.Found) return "no format chunk";
  if (F.Tag != FormatPcm && F.Tag != FormatFloat) return "not PCM or float samples";
  if (F.Channels < 1 || F.Channels > 8) return "an unusable channel count";
  if (F.Rate < 4000 || F.Rate > 192000) return "an unusable sample rate";
  const bool BitsFit = F.Tag == FormatFloat ? F.Bits == 32 : (F.Bits == 8 || F.Bits == 16 || F.Bits == 24 || F.Bits == 32);
  if (!BitsFit) return "an unusable sample size";
  return {};
}

// Mixes the channels down and resamples to MixRate, linearly.
TClip ToClip(const char *Data, size_t Bytes, const TFormat &F)
{
  const size_t FrameBytes = size_t(F.Channels) * (F.Bits / 8u);
  const size_t MaxIn = size_t(MaxClipSeconds) * F.Rate;
  const size_t InFrames = std::min(Bytes / FrameBytes, MaxIn);
  std::vector<float> Mono(InFrames);
  for (size_t I = 0; I < InFrames; ++I) {
    float Sum = 0;
    for (unsigned C = 0; C < F.Channels; ++C) Sum += SampleAt(Data + I * FrameBytes + C * (F.Bits / 8u), F);
    Mono[I] = Sum / float(F.Channels);
  }
  if (F.Rate == uint32_t(MixRate) || Mono.empty()) return Mono;
  const double Ratio = double(F.Rate) / MixRate;
  TClip Out(size_t(double(InFrames) / Ratio));
  for (size_t I = 0; I < Out.size(); ++I) {
    const double Pos = double(I) * Ratio;
    const size_t A = std::min(size_t(Pos), InFrames - 1), B = std::min(A + 1, InFrames - 1);
    const float W = float(Pos - double(A));
    Out[I] = Mono[A] * (1 - W) + Mono[B] * W;
  }
  return Out;
}

}  // namespace

std::string EncodeWav(const TClip &Clip)
{
  const uint32_t DataBytes = uint32_t(Clip.size() * 2);
  std::string Out = "RIFF";
  PutU32(Out, 36 + DataBytes);
  Out += "WAVEfmt ";
  PutU32(Out, 16);
  PutU16(Out, FormatPcm);
  PutU16(Out, 1);
  PutU32(Out, MixRate);
  PutU32(Out, MixRate * 2);
  PutU16(Out, 2);
  PutU16(Out, 16);
  Out += "data";
  PutU32(Out, DataBytes);
  for (const float S : Clip) {
    const long V = std::lround(std::clamp(S, -1.0f, 1.0f) * 32767.0f);
    PutU16(Out, uint16_t(int16_t(V)));
  }
  return Out;
}

TWavResult DecodeWav(const std::string &B)
{
  TWavResult Result;
  if (B.size() < 12 || B.compare(0, 4, "RIFF") != 0 || B.compare(8, 4, "WAVE") != 0) {
    Result.Error = "not a RIFF WAVE file";
    return Result;
  }
  TFormat Format;
  size_t At = 12;
  while (At + 8 <= B.size()) {
    const std::string Id = B.substr(At, 4);
    // A chunk may claim more than the file holds: a cut file still plays what it has.
    const size_t Size = std::min<size_t>(U32At(B, At + 4), B.size() - (At + 8));
    const size_t Body = At + 8;
    if (Id == "fmt " && Size >= 16) {
      Format.Tag = U16At(B, Body);
      Format.Channels = U16At(B, Body + 2);
      Format.Rate = U32At(B, Body + 4);
      Format.Bits = U16At(B, Body + 14);
      // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format's first two bytes.
      if (Format.Tag == FormatExtensible && Size >= 26) Format.Tag = U16At(B, Body + 24);
      Format.Found = true;
    } else if (Id == "data") {
      Result.Error = CheckFormat(Format);
      if (Result.Error.empty()) Result.Clip = ToClip(B.data() + Body, Size, Format);
      return Result;
    }
    At = Body + Size + (Size & 1);  // chunks are padded to an even length
  }
  Result.Error = Format.Found ? "no data chunk" : "no format chunk";
  return Result;
}

}  // namespace sound
