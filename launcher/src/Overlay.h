// Overlay.h -- what the program shows besides the rules' world: the play
// screen's set, level, counters and clock, short confirmations, the
// level-complete card, the overview, the level chooser reached from the menu,
// and the page of a finished set. Handed to the renderer once a frame.
#pragma once
#include <cstdint>
#include <string>

#include "PlayerProgress.h"

inline constexpr unsigned VK_OVERVIEW = 0x09;  // Tab, held: the whole level in view
inline constexpr unsigned VK_CHOOSER = 0x4C;   // L, in the menu: the level chooser

inline constexpr uint64_t MessageMs = 2000, CardMs = 1500, FinishedPageMs = 10000;

extern TPlayerProgress Progress;

// A short confirmation over the next frames.
void ShowMessage(const std::string &Text);
// The level in play is solved: its bests are kept and its card shown. Before
// the rules move on.
void TellLevelSolved();
// A run of the chosen set begins (a new game, a level picked, a game loaded):
// the totals of its levels start from nothing.
void SetRunStarted();
// After the rules moved on from a solved level: when it was the set's last,
// the page of the finished set opens, with the run's totals, in place of the
// menu until a key or the button goes down on it (or FinishedPageMs pass).
void TellIfSetFinished();
bool FinishedPageOpen();
void FinishedPageFrame();
// Continue from the menu: true, with the player told what to do next, when
// the set is finished and there is nothing to continue.
bool ContinueRefused();

// DrawOverlay with what shows now; InPlay: the frame was a play frame.
void DrawFrameOverlay(bool InPlay);

// The chooser: opened from the menu, it replaces the menu's frames until a
// level is picked or it is left.
bool ChooserOpen();
void OpenChooser();
// Showing that map list entry's levels (-1: the set the settings chose), Level
// highlighted (-1: the one in play, else the first).
void OpenChooserOn(int32_t Set, int32_t Level);
void ChooserFrame();

void ForgetOverlayState();  // everything above back to its value at program start
