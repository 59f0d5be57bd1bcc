// Win32Pad.h -- an XInput pad as the keys and button the game already
// understands, the same ones SdlPad.h makes of a controller on Linux: the d-pad
// and left stick are the arrows, the shoulders Page Up/Down (turning the view),
// A the left mouse button, B Backspace (undo), Y Tab (the overview), Start
// Escape. Plain C++ over XInput's numbers, so that it is tested on Linux too.
#pragma once
#include <array>
#include <bitset>
#include <cstdint>

namespace platform_detail::xinput {

// XInput's button bits (XINPUT_GAMEPAD_*; XInputPads.cpp checks them against <xinput.h>).
enum : uint16_t {
  PadDpadUp = 0x0001, PadDpadDown = 0x0002, PadDpadLeft = 0x0004, PadDpadRight = 0x0008,
  PadStart = 0x0010, PadBack = 0x0020, PadLeftThumb = 0x0040, PadRightThumb = 0x0080,
  PadLeftShoulder = 0x0100, PadRightShoulder = 0x0200, PadA = 0x1000, PadB = 0x2000,
  PadX = 0x4000, PadY = 0x8000
};

// What the game reads of one pad: its buttons and its left stick, up positive.
struct PadState {
  uint16_t Buttons = 0;
  int16_t LeftX = 0, LeftY = 0;
};

// A key or the left button going down or up.
struct PadInput {
  bool Mouse = false;   // the left button, else the key Vk
  unsigned Vk = 0;
  bool Down = false;
};

// The key or button of one button bit; false for a button the game has no use for.
bool PadButtonInput(uint16_t Button, bool Down, PadInput &Out);

// What the pads hold: a bit per virtual key, and one past them for the left button.
using PadHeld = std::bitset<257>;

// The keys and button a pad's state holds: its buttons, and the arrow of each
// stick axis pushed past a third of its travel. A d-pad arrow and the stick's
// arrow are the one key. Several pads hold what any of them holds (OR them).
PadHeld HeldInputs(const PadState &State);

// What changed between two polls: every release, then every press.
struct PadChanges {
  std::array<PadInput, 10> Inputs;   // as many as the game's inputs a pad can hold
  int Count = 0;
};
PadChanges ChangedInputs(const PadHeld &Before, const PadHeld &Now);

}  // namespace platform_detail::xinput
