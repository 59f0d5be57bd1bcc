// Pace.h -- the game's steady pace. The rules run a fixed number of rule
// frames a second whatever the drawing rate: each drawn frame asks how many
// are due and how far between the last two it stands. Drawing is capped at
// the display's rate, the process sleeping the rest of each frame. And the
// keys as each rule frame sees them: a tap between two rule frames still
// counts once, and a key held across a level change counts again only once
// pressed again.
#pragma once
#include <cstdint>

#include "winapi.h"

inline constexpr int32_t DefaultPace = 60;           // rule frames a second: a 60 Hz display's old speed
inline constexpr int32_t MaxRuleFramesPerDraw = 6;   // beyond this (10 drawn frames a second) a slow frame slows the game
inline constexpr int32_t FallbackMaxFps = 60;        // the cap where the display's rate is unknown

// The keys that move the player or turn the view.
inline constexpr UINT MovementKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT};

struct TPaceSettings {
  int32_t Pace = DefaultPace;   // 0: one rule frame per drawn frame
  int32_t MaxFps = 0;           // 0: drawing is not capped
};
extern TPaceSettings PaceSettings;

// "Pace" and "MaxFPS" of Config; MaxFPS missing: the display's refresh rate.
// After the display is set up.
void ReadPaceSettings();

struct TPaceStep {
  int32_t RuleFrames = 0;
  float Blend = 0;         // 0: drawn as the last rule frame left it; towards 1: the next one
  bool Restarted = false;  // the first paced frame since the pace stopped: nothing to blend from
};
// A paced play frame: the rule frames due since the last one (the first runs
// one at once), time beyond MaxRuleFramesPerDraw dropped.
TPaceStep PaceDrawnFrame();
// Out of play: the time until play comes back owes no rule frame.
void StopPace();

// After each drawn frame: sleeps until the next one is due under MaxFps.
void WaitForNextDrawnFrame();

// The window procedure's key messages. Repeat: an auto-repeat (lParam bit 30).
void NoteKeyDown(UINT Key, bool Repeat);
void NoteKeyUp(UINT Key);
// Down for the rules: held, or pressed since the last rule frame.
bool RuleKeyDown(UINT Key);
// A rule frame is over: the taps it saw are spent.
void RuleFrameDone();
// The key held now reads as up until pressed again.
void ForgetHeldKey(UINT Key);
// So do the movement and turn keys.
void ForgetHeldMovementKeys();

void ForgetPace();  // everything above back to its value at program start
