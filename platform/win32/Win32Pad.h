// Win32Pad.h -- an XInput pad as the keys the game already understands, the
// same ones SdlPad.h makes of a controller on Linux: the d-pad and left stick
// are the arrows, the shoulders Page Up/Down (turning the view), Y Tab (the
// overview), Start Escape; A and B are the system's own keys of a controller's
// A and B (VK_GAMEPAD_A, VK_GAMEPAD_B), which the game reads by screen. Plain
// C++ over XInput's numbers, so that it is tested on Linux too.
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

// A key going down or up.
struct PadInput {
  unsigned Vk = 0;
  bool Down = false;
};

// What the pads hold: a bit per virtual key.
using PadHeld = std::bitset<256>;

// The keys a pad's state holds: those of its buttons, and the arrow of each
// stick axis pushed past a third of its travel. A d-pad arrow and the stick's
// arrow are the one key. Several pads hold what any of them holds (OR them).
PadHeld HeldInputs(const PadState &State);

// What changed between two polls: every release, then every press.
struct PadChanges {
  std::array<PadInput, 10> Inputs;   // as many as the keys a pad can hold
  int Count = 0;
};
PadChanges ChangedInputs(const PadHeld &Before, const PadHeld &Now);

}  // namespace platform_detail::xinput
