// ScreenKeys.h -- the menu, the settings page and the level chooser by keys
// and by a game controller. Each press moves a highlight once; a held arrow or
// page key moves it again as the key repeats, while Enter and Escape count only
// fresh presses. The highlight shows while the keys were used last: once the
// pointer moves or clicks, what lies under it shows instead, and the keys go
// on from there.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "winapi.h"

// A controller's A and B stand for keys that depend on the screen: A is Enter;
// B is Backspace (undo) in play and Escape elsewhere. A release lets go of the
// key its press stood for, whatever the screen is by then. Any other key
// stands for itself.
UINT PadKeyDown(UINT Key);
UINT PadKeyUp(UINT Key);

// The window procedure's key presses (after PadKeyDown). Repeat: an auto-repeat.
void NoteScreenKey(UINT Key, bool Repeat);

// Once a frame of the menu, the settings page or the chooser, before it is
// drawn: the presses since the last frame, in order. Enter and Escape taken
// here are spent: held on, they mean nothing on the next screen.
std::vector<UINT> TakeScreenKeys();

// The menu. Up and Down move the highlight (round from the last item to the
// first), and it is given to the renderer; the result is the item Enter picks,
// miContinue for Escape (the game in play, if there is one), or -1.
int32_t MenuKeys(const std::vector<UINT> &Keys);
// ProcessMenu's answer, the item under the pointer: the highlight follows it
// while the pointer leads.
void MenuPointedAt(int32_t Item);

// The settings page. Up and Down move between its controls (the rows, then
// Apply and Back), Left and Right change the row's value in EditSettings or
// go between Apply and Back. The result: srApply for Enter (srBack when Back is
// highlighted), srBack for Escape, else -1.
int32_t SettingsKeys(const std::vector<UINT> &Keys);

// The chooser's page and highlight.
struct TChooserPlace {
  int32_t First = 0;  // the first level of the page shown
  int32_t Level = 0;  // the level highlighted
  std::string Typed;  // the digits of the level number being typed
  DWORD TypedAt = 0;  // GetTickCount of the last of them
};
// Digits typed within this of each other make one number.
inline constexpr DWORD TypingMs = 1000;

// The place that shows Level highlighted on its page.
TChooserPlace ChooserPlaceAt(int32_t Level);

enum class TChooserAction { None, Play, Back };
// Up and Down move the highlight one level, Left, Right, Page Up and Page Down
// a page, Home and End to the first and the last level; a number typed goes
// to that level. Enter plays the level highlighted; Escape goes back. Count:
// the levels of the set. The highlight is given to the renderer.
TChooserAction ChooserKeys(TChooserPlace &Place, int32_t Count, const std::vector<UINT> &Keys);
// ProcessChooser's answer: a level under the pointer is highlighted while the pointer leads.
void ChooserPointedAt(TChooserPlace &Place, int32_t Hit);

// A play frame: its presses are the rules', and the menu opens next on Continue.
void ScreenKeysInPlay();

void ForgetScreenKeys();  // everything above back to its value at program start
