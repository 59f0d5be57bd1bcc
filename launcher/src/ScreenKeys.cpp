// ScreenKeys.cpp -- the highlights of the menu, the settings page and the
// chooser, moved by presses, and what a controller's A and B stand for.
#include "ScreenKeys.h"

#include "Kestrove.h"
#include "Pace.h"
#include "Sound.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace {

struct TScreenKeys {
  std::vector<UINT> Pending;  // presses no frame has taken yet
  bool ByKeys = false;        // the keys, not the pointer, were used last
  std::optional<TMousePos> Pointer;  // where the pointer was at the last frame
  int32_t MenuItem = miContinue;
  int32_t SettingsControl = hlMode;
  UINT PadPressedAs[2] = {};  // the key A's and B's press stood for, while held
};
TScreenKeys Keys;

// The settings page's controls from top to bottom.
constexpr int32_t SettingsOrder[] = {hlMode,        hlFreq,        hlFullScreen, hlMap,  hlCubes,
                                     hlKeys3D,      hlSoundVolume, hlMusicVolume, srApply, srBack};
constexpr int32_t SettingsControls = static_cast<int32_t>(std::size(SettingsOrder));


bool IsDigit(UINT Key) { return (Key >= '0' && Key <= '9') || (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9); }
char DigitOf(UINT Key) { return static_cast<char>(Key >= VK_NUMPAD0 ? '0' + (Key - VK_NUMPAD0) : Key); }

// Keys whose auto-repeat moves a highlight on.
bool Repeats(UINT Key)
{
  return Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_PRIOR || Key == VK_NEXT;
}

int32_t Wrapped(int32_t Index, int32_t Count) { return ((Index % Count) + Count) % Count; }

// The control Steps below (or above) Control, round at the ends.
int32_t SettingsControlAfter(int32_t Control, int32_t Steps)
{
  const auto At = std::find(std::begin(SettingsOrder), std::end(SettingsOrder), Control);
  const int32_t Place = At == std::end(SettingsOrder) ? 0 : static_cast<int32_t>(At - std::begin(SettingsOrder));
  return SettingsOrder[Wrapped(Place + Steps, SettingsControls)];
}

bool PointerUsed()
{
  const bool Moved = Keys.Pointer && (Keys.Pointer->x != MousePos.x || Keys.Pointer->y != MousePos.y);
  Keys.Pointer = MousePos;
  return Moved || KeyState[VK_LBUTTON] != 0;
}

int32_t Shown(int32_t Highlight) { return Keys.ByKeys ? Highlight : hlPointer; }

// One step through a table of Count entries, round at its ends.
void StepIndex(int32_t &Index, int32_t Count, int32_t Delta)
{
  if (Count > 0) Index = Wrapped(Index + Delta, Count);
}

void ChangeSetting(int32_t Control, int32_t Delta)
{
  switch (Control) {
  case hlMode: StepIndex(EditSettings.Mode, static_cast<int32_t>(std::size(DisplayModes)), Delta); break;
  case hlFreq: StepIndex(EditSettings.Freq, static_cast<int32_t>(std::size(Frequencies)), Delta); break;
  case hlFullScreen: EditSettings.FullScreen = EditSettings.FullScreen ? 0 : 1; break;
  case hlMap: StepIndex(EditSettings.Map, MapList.Count, Delta); break;
  case hlCubes: EditSettings.Cubes = EditSettings.Cubes ? 0 : 1; break;
  case hlKeys3D: EditSettings.Keys3D = EditSettings.Keys3D ? 0 : 1; break;
  case hlSoundVolume: EditVolumes.Sound = std::clamp(EditVolumes.Sound + Delta, 0, 10); break;
  case hlMusicVolume: EditVolumes.Music = std::clamp(EditVolumes.Music + Delta, 0, 10); break;
  default: break;
  }
}

// The level a number typed so far names, with the digit just typed.
void TypeDigit(TChooserPlace &Place, int32_t Count, char Digit)
{
  const DWORD Now = GetTickCount();
  const bool GoesOn = !Place.Typed.empty() && Now - Place.TypedAt <= TypingMs;
  Place.TypedAt = Now;
  const auto Names = [Count](const std::string &Number) {
    return Number.size() <= 4 && std::stoi(Number) >= 1 && std::stoi(Number) <= Count;
  };
  for (const std::string &Number : {GoesOn ? Place.Typed + Digit : std::string(), std::string(1, Digit)}) {
    if (Number.empty() || !Names(Number)) continue;
    Place.Typed = Number;
    Place.Level = std::stoi(Number) - 1;
    return;
  }
  Place.Typed.clear();  // no such level: the next digit starts a new number
}

}  // namespace

UINT PadKeyDown(UINT Key)
{
  if (Key != VK_GAMEPAD_A && Key != VK_GAMEPAD_B) return Key;
  UINT &As = Keys.PadPressedAs[Key - VK_GAMEPAD_A];
  if (As) return As;  // a repeat stands for what the press did
  if (Key == VK_GAMEPAD_A) As = VK_RETURN;
  else As = GameGetState() == gsPlay ? VK_BACK : VK_ESCAPE;
  return As;
}

UINT PadKeyUp(UINT Key)
{
  if (Key != VK_GAMEPAD_A && Key != VK_GAMEPAD_B) return Key;
  return std::exchange(Keys.PadPressedAs[Key - VK_GAMEPAD_A], 0u);
}

void NoteScreenKey(UINT Key, bool Repeat)
{
  if (Repeat && !Repeats(Key)) return;
  Keys.Pending.push_back(Key);
}

std::vector<UINT> TakeScreenKeys()
{
  std::vector<UINT> Taken;
  Taken.swap(Keys.Pending);
  if (PointerUsed()) Keys.ByKeys = false;
  if (!Taken.empty()) Keys.ByKeys = true;
  for (const UINT Key : Taken)
    if (Key == VK_RETURN || Key == VK_ESCAPE) ForgetHeldKey(Key);
  return Taken;
}

int32_t MenuKeys(const std::vector<UINT> &Pressed)
{
  int32_t Picked = -1;
  for (const UINT Key : Pressed) {
    if (Key == VK_UP) Keys.MenuItem = Wrapped(Keys.MenuItem - 1, miExit + 1);
    if (Key == VK_DOWN) Keys.MenuItem = Wrapped(Keys.MenuItem + 1, miExit + 1);
    if (Key == VK_RETURN) Picked = Keys.MenuItem;
    if (Key == VK_ESCAPE) Picked = miContinue;
  }
  SetHighlight(Shown(Keys.MenuItem));
  return Picked;
}

void MenuPointedAt(int32_t Item)
{
  if (!Keys.ByKeys && Item >= miNewGame && Item <= miExit) Keys.MenuItem = Item;
}

int32_t SettingsKeys(const std::vector<UINT> &Pressed)
{
  int32_t &Control = Keys.SettingsControl;
  int32_t Result = -1;
  for (const UINT Key : Pressed) {
    const int32_t Delta = Key == VK_LEFT ? -1 : Key == VK_RIGHT ? +1 : 0;
    if (Key == VK_UP) Control = SettingsControlAfter(Control, -1);
    if (Key == VK_DOWN) Control = SettingsControlAfter(Control, +1);
    if (Delta && (Control == srApply || Control == srBack)) Control = Delta < 0 ? srApply : srBack;
    else if (Delta) ChangeSetting(Control, Delta);
    if (Key == VK_RETURN) Result = Control == srBack ? srBack : srApply;
    if (Key == VK_ESCAPE) Result = srBack;
  }
  SetHighlight(Shown(Control));
  return Result;
}

TChooserPlace ChooserPlaceAt(int32_t Level)
{
  TChooserPlace Place;
  Place.Level = std::max(Level, 0);
  Place.First = Place.Level / ChooserPage * ChooserPage;
  return Place;
}

TChooserAction ChooserKeys(TChooserPlace &Place, int32_t Count, const std::vector<UINT> &Pressed)
{
  TChooserAction Action = TChooserAction::None;
  const int32_t Last = std::max(Count - 1, 0);
  for (const UINT Key : Pressed) {
    // The pointer may have turned the page: the keys go on from the page shown.
    const int32_t PageFirst = std::min(Place.First, Last);
    int32_t Level = std::clamp(Place.Level, PageFirst, std::min(PageFirst + ChooserPage - 1, Last));
    switch (Key) {
    case VK_UP: --Level; break;
    case VK_DOWN: ++Level; break;
    case VK_LEFT: case VK_PRIOR: Level -= ChooserPage; break;
    case VK_RIGHT: case VK_NEXT: Level += ChooserPage; break;
    case VK_HOME: Level = 0; break;
    case VK_END: Level = Last; break;
    case VK_RETURN: if (Count > 0) Action = TChooserAction::Play; break;
    case VK_ESCAPE: Action = TChooserAction::Back; break;
    default: break;
    }
    const bool Typed = IsDigit(Key);
    if (Typed) TypeDigit(Place, Count, DigitOf(Key));
    else Place.Level = std::clamp(Level, 0, Last);
    Place.First = Place.Level / ChooserPage * ChooserPage;
  }
  SetHighlight(Shown(Place.Level));
  return Action;
}

void ChooserPointedAt(TChooserPlace &Place, int32_t Hit)
{
  if (!Keys.ByKeys && Hit >= 0) Place.Level = Hit;
}

void ScreenKeysInPlay()
{
  Keys.Pending.clear();
  Keys.MenuItem = miContinue;
}

void ForgetScreenKeys() { Keys = {}; }
