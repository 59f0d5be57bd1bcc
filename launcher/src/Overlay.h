// Overlay.h -- what the program shows besides the rules' world: the play
// screen's set, level, counters and clock, short confirmations, the
// level-complete card, the overview, and the level chooser reached from the
// menu. Handed to the renderer once a frame.
#pragma once
#include <cstdint>
#include <string>

#include "PlayerProgress.h"

inline constexpr unsigned VK_OVERVIEW = 0x09;  // Tab, held: the whole level in view
inline constexpr unsigned VK_CHOOSER = 0x4C;   // L, in the menu: the level chooser

inline constexpr uint64_t MessageMs = 2000, CardMs = 1500;

extern TPlayerProgress Progress;

// A short confirmation over the next frames.
void ShowMessage(const std::string &Text);
// The level in play is solved: its bests are kept and its card shown. Before
// the rules move on.
void TellLevelSolved();
// DrawOverlay with what shows now; InPlay: the frame was a play frame.
void DrawFrameOverlay(bool InPlay);

// The chooser: opened from the menu, it replaces the menu's frames until a
// level is picked or it is left.
bool ChooserOpen();
void OpenChooser();
void OpenChooserOn(int32_t Set);  // showing that map list entry's levels; -1: the set the settings chose
void ChooserFrame();

void ForgetOverlayState();  // everything above back to its value at program start
