// Synth.cpp -- the synthesizer: oscillators, noise, filters and envelopes, and
// the game's sounds made of them. Everything is computed in double from fixed
// seeds, so a build makes the same samples every time.
#include "SoundKit.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace sound {
namespace {

constexpr double Pi = std::numbers::pi;
constexpr double Dt = 1.0 / MixRate;

size_t Frames(double Seconds) { return static_cast<size_t>(Seconds * MixRate); }

// Repeatable white noise in -1..1.
class TNoise {
public:
  explicit TNoise(uint32_t Seed) : State(Seed ? Seed : 1) {}
  double Next()
  {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return double(State) / 2147483647.5 - 1.0;
  }

private:
  uint32_t State;
};

// A phase accumulator: the frequency may change every sample.
class TOsc {
public:
  double Sine(double Hz) { return std::sin(2 * Pi * Advance(Hz)); }
  double Triangle(double Hz)
  {
    const double P = Advance(Hz);
    return P < 0.5 ? 4 * P - 1 : 3 - 4 * P;
  }

private:
  double Phase = 0;
  double Advance(double Hz)
  {
    const double P = Phase;
    Phase += Hz * Dt;
    Phase -= std::floor(Phase);
    return P;
  }
};

// Chamberlin's state-variable filter: low, band and high pass at once.
class TFilter {
public:
  struct TOut {
    double Low, Band, High;
  };
  TOut Run(double In, double CutoffHz, double Q)
  {
    const double F = 2 * std::sin(Pi * std::min(CutoffHz, MixRate / 6.0) * Dt);
    Low += F * Band;
    const double High = In - Low - Band / Q;
    Band += F * High;
    return {Low, Band, High};
  }

private:
  double Low = 0, Band = 0;
};

// Rises linearly over Attack seconds, then falls exponentially by Decay's time constant.
double Envelope(double T, double Attack, double Decay)
{
  if (T < Attack) return T / Attack;
  return std::exp(-(T - Attack) / Decay);
}

// Fades the last Seconds to zero, so a clip never ends on a step.
void FadeOut(TClip &Clip, double Seconds)
{
  const size_t N = std::min(Clip.size(), Frames(Seconds));
  for (size_t I = 0; I < N; ++I) Clip[Clip.size() - 1 - I] *= double(I) / double(N);
}

// Scales the clip so its loudest sample is Peak.
void Normalize(TClip &Clip, double Peak)
{
  float Max = 0;
  for (const float S : Clip) Max = std::max(Max, std::abs(S));
  if (Max <= 0) return;
  const float Scale = float(Peak / Max);
  for (float &S : Clip) S *= Scale;
}

double NoteHz(int Semitones) { return 440.0 * std::pow(2.0, Semitones / 12.0); }  // from A4

// Adds a bell of a few inharmonic partials at Hz from frame At.
void AddBell(TClip &Clip, size_t At, double Hz, double Gain, double Decay)
{
  static constexpr double Partials[][2] = {{1.0, 1.0}, {2.01, 0.35}, {3.03, 0.12}, {4.17, 0.05}};
  for (size_t I = At; I < Clip.size(); ++I) {
    const double T = double(I - At) * Dt;
    double S = 0;
    for (const auto &[Ratio, Level] : Partials)
      S += Level * std::sin(2 * Pi * Hz * Ratio * T) * std::exp(-T * Ratio / Decay);
    Clip[I] += float(Gain * S * std::min(1.0, T / 0.004));
  }
}

// A soft footfall: low-passed noise with a low thump.
TClip Step()
{
  TClip Clip(Frames(0.09));
  TNoise Noise(11);
  TFilter Filter;
  TOsc Thump;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    const double Grit = Filter.Run(Noise.Next(), 900, 0.8).Low * Envelope(T, 0.003, 0.018);
    Clip[I] = float(Grit + 0.6 * Thump.Sine(110 - 400 * T) * Envelope(T, 0.002, 0.025));
  }
  FadeOut(Clip, 0.01);
  Normalize(Clip, 0.55);
  return Clip;
}

// A box sliding: band-passed noise with a rough, wavering grain.
TClip Scrape()
{
  TClip Clip(Frames(0.22));
  TNoise Noise(23), Grain(29);
  TFilter Filter;
  double Rough = 0;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    if (I % 160 == 0) Rough = 0.6 + 0.4 * std::abs(Grain.Next());
    const double Band = Filter.Run(Noise.Next(), 1300 + 500 * std::sin(2 * Pi * 7 * T), 2.5).Band;
    Clip[I] = float(Band * Rough * std::min(1.0, T / 0.02));
  }
  FadeOut(Clip, 0.06);
  Normalize(Clip, 0.6);
  return Clip;
}

TClip Bell(double Seconds, int Semitones, double Decay, double Peak)
{
  TClip Clip(Frames(Seconds));
  AddBell(Clip, 0, NoteHz(Semitones), 1.0, Decay);
  FadeOut(Clip, 0.05);
  Normalize(Clip, Peak);
  return Clip;
}

// Water: a noise burst falling in pitch, then a few bubbles.
TClip Splash()
{
  TClip Clip(Frames(0.75));
  TNoise Noise(37);
  TFilter Filter;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    const double Cutoff = 300 + 5000 * std::exp(-T / 0.12);
    Clip[I] = float(Filter.Run(Noise.Next(), Cutoff, 0.9).Low * Envelope(T, 0.006, 0.16));
  }
  static constexpr double Bubbles[][2] = {{0.18, 520}, {0.27, 700}, {0.36, 610}, {0.47, 820}};
  for (const auto &[At, Hz] : Bubbles) {
    TOsc Osc;
    const size_t From = Frames(At), Length = Frames(0.05);
    for (size_t I = 0; I < Length && From + I < Clip.size(); ++I) {
      const double T = double(I) * Dt;
      Clip[From + I] += float(0.25 * Osc.Sine(Hz * (1 + 6 * T)) * Envelope(T, 0.003, 0.012));
    }
  }
  FadeOut(Clip, 0.1);
  Normalize(Clip, 0.6);
  return Clip;
}

// A dull knock: a low sine dropping in pitch, with a muffled click.
TClip Bump()
{
  TClip Clip(Frames(0.16));
  TNoise Noise(41);
  TFilter Filter;
  TOsc Osc;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    const double Knock = Osc.Sine(95 - 120 * T) * Envelope(T, 0.002, 0.04);
    const double Click = Filter.Run(Noise.Next(), 600, 0.7).Low * Envelope(T, 0.001, 0.008);
    Clip[I] = float(Knock + 0.8 * Click);
  }
  FadeOut(Clip, 0.02);
  Normalize(Clip, 0.7);
  return Clip;
}

// Air moving past: noise through a band sweeping up, then down.
TClip Swish()
{
  const double Length = 0.32;
  TClip Clip(Frames(Length));
  TNoise Noise(53);
  TFilter Filter;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt, Phase = T / Length;
    const double Cutoff = 500 + 2500 * std::sin(Pi * Phase);
    Clip[I] = float(Filter.Run(Noise.Next(), Cutoff, 1.6).Band * std::pow(std::sin(Pi * Phase), 2));
  }
  Normalize(Clip, 0.45);
  return Clip;
}

// Bells in a row: Notes in semitones from A4, one every Gap seconds.
TClip Phrase(std::initializer_list<int> Notes, double Gap, double Tail)
{
  TClip Clip(Frames(Gap * double(Notes.size()) + Tail));
  size_t At = 0;
  for (const int Note : Notes) {
    AddBell(Clip, At, NoteHz(Note), 1.0, 0.35);
    At += Frames(Gap);
  }
  FadeOut(Clip, 0.1);
  Normalize(Clip, 0.6);
  return Clip;
}

// A short click for menu items.
TClip Click()
{
  TClip Clip(Frames(0.03));
  TOsc Osc;
  TNoise Noise(67);
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    Clip[I] = float((0.7 * Osc.Sine(2200) + 0.3 * Noise.Next()) * Envelope(T, 0.0005, 0.004));
  }
  FadeOut(Clip, 0.005);
  Normalize(Clip, 0.35);
  return Clip;
}

// Undo: a blip played backwards, swelling to a sudden end.
TClip ReversedBlip()
{
  TClip Clip(Frames(0.16));
  TOsc Osc;
  for (size_t I = 0; I < Clip.size(); ++I) {
    const double T = double(I) * Dt;
    Clip[I] = float((Osc.Sine(880 + 900 * T) + 0.3 * Osc.Sine(1760)) * Envelope(T, 0.002, 0.04));
  }
  std::reverse(Clip.begin(), Clip.end());
  FadeOut(Clip, 0.006);
  Normalize(Clip, 0.45);
  return Clip;
}

// Adds a note to a looping clip: its tail wraps round to the start.
template <class TVoice> void AddLooped(TClip &Clip, size_t At, size_t Length, TVoice &&Voice)
{
  for (size_t I = 0; I < Length; ++I) Clip[(At + I) % Clip.size()] += float(Voice(double(I) * Dt));
}

// A calm loop: four soft chords and a slow plucked line over them, seamless.
TClip Music()
{
  constexpr double Beat = 0.75;  // 80 beats a minute
  constexpr int BeatsPerChord = 8;
  // Am, F, C, G: semitones from A4 of each chord's three notes, an octave down.
  static constexpr int Chords[4][3] = {{-12, -9, -5}, {-16, -12, -9}, {-21, -17, -14}, {-14, -10, -7}};
  static constexpr int Line[] = {0, 3, 7, 3, 5, 3, 0, -2, -5, -2, 0, 3, 7, 10, 7, 5};  // A minor pentatonic
  TClip Clip(Frames(Beat * BeatsPerChord * 4));
  for (int C = 0; C < 4; ++C) {
    const size_t At = Frames(Beat * BeatsPerChord * C);
    const double Length = Beat * BeatsPerChord;
    for (const int Note : Chords[C]) {
      for (const double Detune : {0.997, 1.003}) {
        auto Osc = std::make_shared<TOsc>();
        auto Filter = std::make_shared<TFilter>();
        const double Hz = NoteHz(Note) * Detune;
        AddLooped(Clip, At, Frames(Length + 1.5), [=](double T) {
          const double Swell = std::min(1.0, T / 1.2) * (T < Length ? 1.0 : std::exp(-(T - Length) / 0.4));
          return 0.08 * Swell * Filter->Run(Osc->Triangle(Hz), 700, 0.7).Low;
        });
      }
    }
  }
  for (size_t N = 0; N < std::size(Line) * 2; ++N) {
    const double Hz = NoteHz(Line[N % std::size(Line)]);
    AddLooped(Clip, Frames(Beat * 2 * double(N)), Frames(1.4), [=](double T) {
      return 0.12 * (std::sin(2 * Pi * Hz * T) + 0.2 * std::sin(4 * Pi * Hz * T)) * Envelope(T, 0.01, 0.35);
    });
  }
  Normalize(Clip, 0.5);
  return Clip;
}

}  // namespace

TClip Synthesize(ESound Sound)
{
  switch (Sound) {
  case ESound::Step: return Step();
  case ESound::Scrape: return Scrape();
  case ESound::MarkOn: return Bell(0.7, 7, 0.22, 0.45);    // E5
  case ESound::MarkOff: return Bell(0.45, -5, 0.15, 0.4);  // E4
  case ESound::Splash: return Splash();
  case ESound::Bump: return Bump();
  case ESound::Swish: return Swish();
  case ESound::Solved: return Phrase({0, 4, 7, 12}, 0.11, 0.6);                       // A C# E A
  case ESound::SetDone: return Phrase({0, 4, 7, 4, 7, 12, 11, 12, 16, 19}, 0.16, 1.0);
  case ESound::Click: return Click();
  case ESound::Undo: return ReversedBlip();
  case ESound::Music: return Music();
  }
  return {};
}

}  // namespace sound
