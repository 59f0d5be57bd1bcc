// SoundKit.h -- the game's sounds: what each is called, the synthesizer that
// makes them, the WAV files they travel in and the mixer that plays them. One
// static library, shared by the program on both systems and by the build-time
// generator.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sound {

inline constexpr int32_t MixRate = 44100;  // every clip and the output: frames a second

// A sound as the mixer plays it: mono samples in -1..1 at MixRate.
using TClip = std::vector<float>;

enum class ESound : uint8_t {
  Step, Scrape, MarkOn, MarkOff, Splash, Bump, Swish, Solved, SetDone, Click, Undo, Music,
};
inline constexpr int32_t SoundCount = int32_t(ESound::Music) + 1;

struct TSoundName {
  const char *Key;   // its key in config.ini
  const char *File;  // the generated file, relative to the run directory
};
// By ESound.
inline constexpr std::array<TSoundName, SoundCount> SoundNames = {{
  {"Step", "sounds/step.wav"},       {"Scrape", "sounds/scrape.wav"}, {"MarkOn", "sounds/markon.wav"},
  {"MarkOff", "sounds/markoff.wav"}, {"Splash", "sounds/splash.wav"}, {"Bump", "sounds/bump.wav"},
  {"Swish", "sounds/swish.wav"},     {"Solved", "sounds/solved.wav"}, {"SetDone", "sounds/setdone.wav"},
  {"Click", "sounds/click.wav"},     {"Undo", "sounds/undo.wav"},     {"Music", "sounds/music.wav"},
}};

// The synthesizer's rendering of a sound: the same samples on every build.
TClip Synthesize(ESound Sound);

// 16-bit mono PCM at MixRate, as the generator writes it.
std::string EncodeWav(const TClip &Clip);

struct TWavResult {
  TClip Clip;         // mono at MixRate
  std::string Error;  // empty when the file read
};
// Reads a RIFF WAVE file's bytes: PCM of 8, 16, 24 or 32 bits or 32-bit float,
// any channel count (mixed down) and a rate of 4000..192000 (resampled). A file
// longer than MaxClipSeconds is cut there.
inline constexpr int32_t MaxClipSeconds = 120;
TWavResult DecodeWav(const std::string &Bytes);

}  // namespace sound
