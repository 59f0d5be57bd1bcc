// SdlPad.h -- a game controller as keys: the d-pad and left stick are the
// arrows, the shoulders Page Up/Down (turning the view), Y Tab (the overview),
// Start Escape; A and B come as the system's own keys of a controller's A and
// B (VK_GAMEPAD_A, VK_GAMEPAD_B), which the game reads by screen.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace platform_detail {

// What a controller event becomes: a key going down or up.
struct PadInput {
  unsigned Vk = 0;
  bool Down = false;
};

// The key of a controller button; false for a button the game has no use for.
bool PadButtonInput(uint8_t Button, bool Down, PadInput &Out);

// The left stick past a third of its travel holds the arrow of its direction.
// Each axis remembers which arrow it holds; a move writes up to two inputs
// (the arrow let go, the arrow pressed) and returns how many.
int PadAxisInputs(uint8_t Axis, int16_t Value, PadInput Out[2]);

// Forgets what the stick held (a controller went away).
void ForgetPadAxes();

}  // namespace platform_detail
