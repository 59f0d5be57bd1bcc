// SdlPad.h -- a game controller as the keys and button the game already
// understands: the d-pad and left stick are the arrows, the shoulders Page
// Up/Down (turning the view), A the left mouse button, B Backspace (undo),
// Y Tab (the overview), Start Escape.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace platform_detail {

// What a controller event becomes: a key or the left button going down or up.
struct PadInput {
  bool Mouse = false;   // the left button, else the key Vk
  unsigned Vk = 0;
  bool Down = false;
};

// The key or button of a controller button; false for a button the game has no use for.
bool PadButtonInput(uint8_t Button, bool Down, PadInput &Out);

// The left stick past a third of its travel holds the arrow of its direction.
// Each axis remembers which arrow it holds; a move writes up to two inputs
// (the arrow let go, the arrow pressed) and returns how many.
int PadAxisInputs(uint8_t Axis, int16_t Value, PadInput Out[2]);

// Forgets what the stick held (a controller went away).
void ForgetPadAxes();

}  // namespace platform_detail
