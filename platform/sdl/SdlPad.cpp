// SdlPad.cpp -- controller buttons and the stick as keys.
#include "SdlPad.h"

#include "winapi.h"

namespace platform_detail {
namespace {

constexpr int16_t StickDeadZone = 32767 / 3;

unsigned HeldX = 0, HeldY = 0;  // the arrow each stick axis holds, or 0

}  // namespace

bool PadButtonInput(uint8_t Button, bool Down, PadInput &Out)
{
  Out = {};
  Out.Down = Down;
  switch (Button) {
  case SDL_CONTROLLER_BUTTON_DPAD_UP: Out.Vk = VK_UP; break;
  case SDL_CONTROLLER_BUTTON_DPAD_DOWN: Out.Vk = VK_DOWN; break;
  case SDL_CONTROLLER_BUTTON_DPAD_LEFT: Out.Vk = VK_LEFT; break;
  case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: Out.Vk = VK_RIGHT; break;
  case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: Out.Vk = VK_PRIOR; break;
  case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: Out.Vk = VK_NEXT; break;
  case SDL_CONTROLLER_BUTTON_A: Out.Vk = VK_GAMEPAD_A; break;
  case SDL_CONTROLLER_BUTTON_B: Out.Vk = VK_GAMEPAD_B; break;
  case SDL_CONTROLLER_BUTTON_Y: Out.Vk = VK_TAB; break;
  case SDL_CONTROLLER_BUTTON_START: Out.Vk = VK_ESCAPE; break;
  default: return false;
  }
  return true;
}

int PadAxisInputs(uint8_t Axis, int16_t Value, PadInput Out[2])
{
  unsigned *Held = nullptr, Wanted = 0;
  if (Axis == SDL_CONTROLLER_AXIS_LEFTX) {
    Held = &HeldX;
    Wanted = Value < -StickDeadZone ? VK_LEFT : Value > StickDeadZone ? VK_RIGHT : 0;
  } else if (Axis == SDL_CONTROLLER_AXIS_LEFTY) {  // down is positive
    Held = &HeldY;
    Wanted = Value < -StickDeadZone ? VK_UP : Value > StickDeadZone ? VK_DOWN : 0;
  } else {
    return 0;
  }
  if (Wanted == *Held) return 0;
  int N = 0;
  if (*Held) Out[N++] = {*Held, false};
  if (Wanted) Out[N++] = {Wanted, true};
  *Held = Wanted;
  return N;
}

void ForgetPadAxes() { HeldX = HeldY = 0; }

}  // namespace platform_detail
