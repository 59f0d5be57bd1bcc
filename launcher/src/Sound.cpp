// Sound.cpp -- the launcher's sound: the device and the mixer, the sounds that
// config.ini names, and the effects inferred from the frames of play.
#include "Sound.h"

#include "AudioOut.h"
#include "Files.h"
#include "Kestrove.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

TVolumes Volumes = DefaultVolumes, EditVolumes = DefaultVolumes;

namespace {

using sound::ESound;

// A file larger than this is no sound of ours: not read at all.
constexpr uintmax_t MaxSoundFileBytes = 64u << 20;
// Cells across the view at which an effect sounds wholly from one side.
constexpr double PanCells = 4.0;
// Cells walked per footstep, and pushed per scrape.
constexpr double StepCells = 0.5, ScrapeCells = 1.0;
// Further than this in one rule frame is a jump (undo, restart, a new level), heard as nothing.
constexpr double JumpCells = 0.5;
// Less than this in a rule frame is no movement: a turn nudges the player by a hair.
constexpr double Still = 1e-3;

struct TLoaded {
  std::string File;
  sound::TClipRef Clip;
};

struct TSoundState {
  sound::TMixer Mixer;
  std::unique_ptr<sound::TAudioOut> Device;
  bool DeviceTried = false;
  bool Muted = false, MuteHeld = false, ButtonHeld = false;
  int32_t ItemUnder = NoItemUnder;
  std::array<TLoaded, sound::SoundCount> Sounds;
  std::set<std::string> Reported;  // files said not to read: each once
  std::function<void(ESound, float)> Observer;
};
// The mixer must not move while the device's thread renders it.
std::unique_ptr<TSoundState> State;

TSoundState &Sound()
{
  if (!State) State = std::make_unique<TSoundState>();
  return *State;
}

// What the previous rule frame left: the player and each box by index.
struct THeardBox {
  TBox Box{};
  uint8_t Kind = 0;
  int32_t OnTarget = 0;
  double Travel = 0;   // pushed since its scrape
  bool Moving = false;
};
struct THearing {
  bool Synced = false;
  float Angle = 0;
  TBox Player{};
  double Travel = 0;  // walked since the last footstep
  bool Walking = false, Bumped = false;
  const TGameObject *Items = nullptr;
  std::vector<THeardBox> Boxes;
};
THearing Heard;

void ReportOnce(const std::string &File, const std::string &Why)
{
  if (!Sound().Reported.insert(File).second) return;
  std::fprintf(stderr, "Sound: \"%s\" cannot be played (%s); that sound stays silent.\n", File.c_str(), Why.c_str());
  std::fflush(stderr);
}

sound::TClipRef LoadClip(const std::string &File, bool Named)
{
  if (const int Error = ReadingError(File)) {
    if (Named) ReportOnce(File, std::strerror(Error));
    return nullptr;
  }
  std::error_code SizeError;
  const uintmax_t Size = std::filesystem::file_size(ResolveFileName(File), SizeError);
  if (SizeError || Size > MaxSoundFileBytes) {
    ReportOnce(File, SizeError ? SizeError.message() : "larger than 64 MB");
    return nullptr;
  }
  sound::TWavResult Wav = sound::DecodeWav(ReadWholeFile(File));
  if (!Wav.Error.empty()) {
    ReportOnce(File, Wav.Error);
    return nullptr;
  }
  return std::make_shared<const sound::TClip>(std::move(Wav.Clip));
}

struct TSoundFile {
  std::string Name;
  bool Named = false;  // by config.ini: a file that does not read is reported
};
// A key missing from an older config.ini reads as the bundled file; an empty one silences that sound.
TSoundFile SoundFile(int32_t I)
{
  const sound::TSoundName &Name = sound::SoundNames[size_t(I)];
  if (Config->HasKey(Name.Key)) return {Config->GetValue(Name.Key), true};
  return {Name.File, false};
}

int32_t VolumeOf(const char *Key, int32_t Default)
{
  if (!Config->HasKey(Key) || TrimText(Config->GetValue(Key)).empty()) return Default;
  return std::clamp(TextToInt(Config->GetValue(Key)), 0, 10);
}

void OpenDeviceOnce()
{
  TSoundState &S = Sound();
  if (S.DeviceTried) return;
  S.DeviceTried = true;
  std::string Why;
  S.Device = sound::OpenAudioOut(S.Mixer, Why);
  if (!S.Device && !Why.empty()) {
    std::fprintf(stderr, "Sound: no audio device (%s); the game plays silent.\n", Why.c_str());
    std::fflush(stderr);
  }
}

// Only a file that changed is read again: the music's voice plays on.
void LoadSounds()
{
  TSoundState &S = Sound();
  for (int32_t I = 0; I < sound::SoundCount; ++I) {
    TLoaded &L = S.Sounds[size_t(I)];
    const TSoundFile File = SoundFile(I);
    if (L.Clip && File.Name == L.File) continue;
    L.File = File.Name;
    L.Clip = File.Name.empty() ? nullptr : LoadClip(File.Name, File.Named);
    if (ESound(I) == ESound::Music) S.Mixer.SetMusic(L.Clip);
  }
}

void ApplyVolumes()
{
  TSoundState &S = Sound();
  S.Mixer.SetEffectsGain(sound::VolumeGain(Volumes.Sound));
  S.Mixer.SetMusicGain(sound::VolumeGain(Volumes.Music));
  S.Mixer.SetMuted(S.Muted);
}

TBox Centre(const TBox &Box) { return {Box.x + Box.sx / 2, Box.y + Box.sy / 2, Box.z, 0, 0, 0}; }

// How far right of the player Where lies, across the view, as -1..1.
float PanOf(const TBox &Where)
{
  const TBox From = Centre(Heard.Player), To = Centre(Where);
  const double A = double(Heard.Angle) * std::acos(-1.0) / 180;  // the view looks along (sin A, cos A)
  const double Across = (To.x - From.x) * std::cos(A) - (To.y - From.y) * std::sin(A);
  return float(std::clamp(Across / PanCells, -1.0, 1.0));
}

double Distance(const TBox &A, const TBox &B) { return std::abs(A.x - B.x) + std::abs(A.y - B.y) + std::abs(A.z - B.z); }

void Resync(const TPlayer &Moved, const TObjArray &Objects)
{
  const THearing Before = Heard;
  Heard = {};
  Heard.Synced = true;
  Heard.Angle = Before.Angle;
  Heard.Player = Moved.Box;
  Heard.Items = Objects.Items;
  Heard.Boxes.resize(size_t(std::max(Objects.Count, 0)));
  for (int32_t I = 0; I < Objects.Count; ++I) {
    const TGameObject &O = Objects.Items[I];
    Heard.Boxes[size_t(I)] = {O.Box, O.Kind, O.OnTarget, 0, false};
  }
}

// A jump or another level: nothing moved as a player would hear it.
bool SameWorld(const TPlayer &Moved, const TObjArray &Objects)
{
  if (!Heard.Synced || Objects.Items != Heard.Items || size_t(std::max(Objects.Count, 0)) != Heard.Boxes.size())
    return false;
  if (Distance(Moved.Box, Heard.Player) > JumpCells) return false;
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Distance(Objects.Items[I].Box, Heard.Boxes[size_t(I)].Box) > JumpCells) return false;
  return true;
}

void HearPlayer(const TPlayer &Moved, bool MoveTried)
{
  const double Walked = Distance(Moved.Box, Heard.Player);
  Heard.Player = Moved.Box;
  if (Walked > Still) {
    Heard.Bumped = false;
    Heard.Travel += Walked;
    if (!Heard.Walking || Heard.Travel >= StepCells) {
      PlaySound(ESound::Step);
      Heard.Travel = 0;
    }
    Heard.Walking = true;
    return;
  }
  Heard.Walking = false;
  Heard.Travel = 0;
  // Walking into what does not give: heard once, until the player moves or lets go.
  if (MoveTried && !Heard.Bumped) PlaySound(ESound::Bump);
  Heard.Bumped = MoveTried;
}

void HearObject(THeardBox &Was, const TGameObject &Now)
{
  const bool WasBox = Was.Kind == okBox;
  if (WasBox && Now.Kind == okInert) PlaySound(ESound::Splash, &Now.Box);
  if (WasBox && Now.Kind == okBox) {
    const double Pushed = Distance(Now.Box, Was.Box);
    if (Pushed > Still) {
      Was.Travel += Pushed;
      if (!Was.Moving || Was.Travel >= ScrapeCells) {
        PlaySound(ESound::Scrape, &Now.Box);
        Was.Travel = 0;
      }
    } else {
      Was.Travel = 0;
    }
    Was.Moving = Pushed > Still;
    if (Now.OnTarget && !Was.OnTarget) PlaySound(ESound::MarkOn, &Now.Box);
    if (!Now.OnTarget && Was.OnTarget) PlaySound(ESound::MarkOff, &Now.Box);
  }
  Was.Box = Now.Box;
  Was.Kind = Now.Kind;
  Was.OnTarget = Now.OnTarget;
}

}  // namespace

void BeginSound()
{
  Volumes = {VolumeOf("SoundVolume", DefaultVolumes.Sound), VolumeOf("MusicVolume", DefaultVolumes.Music)};
  OpenDeviceOnce();
  LoadSounds();
  ApplyVolumes();
}

void SaveVolumes()
{
  Config->SetValue("SoundVolume", IntToText(std::clamp(EditVolumes.Sound, 0, 10)));
  Config->SetValue("MusicVolume", IntToText(std::clamp(EditVolumes.Music, 0, 10)));
}

void EndSound()
{
  if (const int64_t Late = SoundUnderruns()) {
    std::fprintf(stderr, "Sound: %lld audio buffers came late (underruns).\n", static_cast<long long>(Late));
    std::fflush(stderr);
  }
  State.reset();
}

void PlaySound(ESound Which, const TBox *Where)
{
  TSoundState &S = Sound();
  const float Pan = Where ? PanOf(*Where) : 0.0f;
  if (S.Observer) S.Observer(Which, Pan);
  S.Mixer.Play(S.Sounds[size_t(Which)].Clip, 1.0f, Pan);
}

void HearMuteKey(bool Down)
{
  TSoundState &S = Sound();
  if (Down && !S.MuteHeld) {
    S.Muted = !S.Muted;
    ApplyVolumes();
  }
  S.MuteHeld = Down;
}

void HearItemUnder(int32_t Item)
{
  TSoundState &S = Sound();
  if (Item != S.ItemUnder && Item != NoItemUnder) PlaySound(ESound::Click);
  S.ItemUnder = Item;
}

void HearButton(bool Down)
{
  TSoundState &S = Sound();
  if (Down && !S.ButtonHeld) PlaySound(ESound::Click);
  S.ButtonHeld = Down;
}

void HearView(float Angle) { Heard.Angle = Angle; }

void HearRuleFrame(const TPlayer &Moved, const TObjArray &Objects, bool MoveTried, bool TurnStarted)
{
  if (TurnStarted) PlaySound(ESound::Swish);
  if (!SameWorld(Moved, Objects)) {
    Resync(Moved, Objects);
    return;
  }
  HearPlayer(Moved, MoveTried);
  for (int32_t I = 0; I < Objects.Count; ++I) HearObject(Heard.Boxes[size_t(I)], Objects.Items[I]);
}

void ForgetHeardPlay() { Heard.Synced = false; }

void SetSoundObserver(std::function<void(ESound, float)> Observer) { Sound().Observer = std::move(Observer); }

int64_t SoundUnderruns() { return State ? State->Mixer.UnderrunCount() : 0; }

void ForgetSound()
{
  State.reset();
  Heard = {};
  Volumes = EditVolumes = DefaultVolumes;
}
