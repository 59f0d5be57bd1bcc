// Pace.cpp -- the rule frames' clock, the drawing cap and the keys as rule
// frames see them.
#include "Pace.h"

#include "Kestrove.h"
#include "Text.h"

#include <algorithm>
#include <iterator>

TPaceSettings PaceSettings;

namespace {

// Rates beyond this are no display's and no sane pace.
constexpr int32_t HighestRate = 1000;
constexpr int32_t LowestRefreshRate = 24;

// Time is kept in the counter's own units, multiplied by the pace, so that a
// rule frame costs exactly one counter frequency and nothing is lost to rounding.
struct TPaceClock {
  bool Running = false;
  int64_t Last = 0;
  int64_t Owed = 0;  // counter units x pace
};
TPaceClock Clock;

struct TDrawCap {
  bool Running = false;
  int64_t NextDue = 0;
};
TDrawCap Cap;

bool Tapped[256] = {};  // went down since the last rule frame
bool Stale[256] = {};   // held across a level change: up until pressed again

int64_t CounterNow()
{
  LARGE_INTEGER Count{};
  QueryPerformanceCounter(&Count);
  return Count.QuadPart;
}

int64_t CounterFrequency()
{
  LARGE_INTEGER Frequency{};
  QueryPerformanceFrequency(&Frequency);
  return std::max<int64_t>(Frequency.QuadPart, 1);
}

// A rate key: its value when it is one, else the fallback.
int32_t RateKey(const char *Key, int32_t Fallback)
{
  const std::string Text = TrimText(Config->GetValue(Key));
  if (Text.empty()) return Fallback;
  const int32_t Value = TextToInt(Text);
  return Value >= 0 && Value <= HighestRate && IntToText(Value) == Text ? Value : Fallback;
}

int32_t DisplayRefreshRate()
{
  DEVMODEA Mode{};
  Mode.dmSize = sizeof Mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &Mode)) return FallbackMaxFps;
  const auto Rate = static_cast<int64_t>(Mode.dmDisplayFrequency);
  return Rate >= LowestRefreshRate && Rate <= HighestRate ? static_cast<int32_t>(Rate) : FallbackMaxFps;
}

}  // namespace

void ReadPaceSettings()
{
  PaceSettings.Pace = RateKey("Pace", DefaultPace);
  const bool CapGiven = !TrimText(Config->GetValue("MaxFPS")).empty();
  PaceSettings.MaxFps = CapGiven ? RateKey("MaxFPS", FallbackMaxFps) : DisplayRefreshRate();
  Clock = {};
  Cap = {};
}

TPaceStep PaceDrawnFrame()
{
  const int64_t Frequency = CounterFrequency(), Now = CounterNow();
  TPaceStep Step;
  if (!Clock.Running) {
    Clock = {true, Now, Frequency};  // the first rule frame at once
    Step.Restarted = true;
  }
  // Beyond the bound the time is dropped anyway: no more than a second is counted.
  const int64_t Elapsed = std::clamp<int64_t>(Now - Clock.Last, 0, Frequency);
  Clock.Last = Now;
  Clock.Owed += Elapsed * PaceSettings.Pace;
  const int64_t Due = Clock.Owed / Frequency;
  Step.RuleFrames = static_cast<int32_t>(std::min<int64_t>(Due, MaxRuleFramesPerDraw));
  Clock.Owed = Due > MaxRuleFramesPerDraw ? Clock.Owed % Frequency : Clock.Owed - Due * Frequency;
  Step.Blend = static_cast<float>(static_cast<double>(Clock.Owed) / static_cast<double>(Frequency));
  return Step;
}

void StopPace() { Clock.Running = false; }

void WaitForNextDrawnFrame()
{
  if (PaceSettings.MaxFps <= 0) return;
  const int64_t Frequency = CounterFrequency(), Now = CounterNow();
  const int64_t Period = Frequency / PaceSettings.MaxFps;
  // Late by a whole frame or more (a stall, the first frame): the next is due a period from now.
  if (!Cap.Running || Now - Cap.NextDue >= Period) {
    Cap = {true, Now + Period};
    return;
  }
  const int64_t Left = Cap.NextDue - Now;
  Cap.NextDue += Period;
  // Whole milliseconds, rounded down: the next deadline makes up for what is left over.
  if (Left > 0) {
    const int64_t Ms = Left * 1000 / Frequency;
    if (Ms > 0) Sleep(static_cast<DWORD>(Ms));
  }
}

void NoteKeyDown(UINT Key, bool Repeat)
{
  if (Key >= std::size(KeyState)) return;
  if (Repeat && Stale[Key]) return;  // after a level change only a fresh press counts
  if (!Repeat) Tapped[Key] = true;
  Stale[Key] = false;
  KeyState[Key] = 1;
}

void NoteKeyUp(UINT Key)
{
  if (Key >= std::size(KeyState)) return;
  Stale[Key] = false;
  KeyState[Key] = 0;
}

bool RuleKeyDown(UINT Key) { return Key < std::size(KeyState) && (KeyState[Key] != 0 || Tapped[Key]); }

void RuleFrameDone() { std::fill(std::begin(Tapped), std::end(Tapped), false); }

void ForgetHeldKey(UINT Key)
{
  if (Key >= std::size(KeyState)) return;
  Stale[Key] = KeyState[Key] != 0 || Tapped[Key];
  KeyState[Key] = 0;
  Tapped[Key] = false;
}

void ForgetHeldMovementKeys()
{
  for (const UINT Key : MovementKeys) ForgetHeldKey(Key);
}

void ForgetPace()
{
  PaceSettings = {};
  Clock = {};
  Cap = {};
  RuleFrameDone();
  std::fill(std::begin(Stale), std::end(Stale), false);
}
