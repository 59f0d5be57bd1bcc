// SdlPad.cpp -- controller buttons and the stick as keys.
#include "SdlPad.h"

#include "winapi.h"

namespace platform_detail {
namespace {

constexpr int16_t StickDeadZone = 32767 / 3;

unsigned HeldX = 0, HeldY = 0;  // the arrow each stick axis holds, or 0

// The key of each button the game has a use for, as Win32Pad.cpp has them.
constexpr struct {
  uint8_t Button;
  unsigned Vk;
} ButtonKeys[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},           {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},       {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, VK_PRIOR},   {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, VK_NEXT},
    {SDL_CONTROLLER_BUTTON_A, VK_GAMEPAD_A},          {SDL_CONTROLLER_BUTTON_B, VK_GAMEPAD_B},
    {SDL_CONTROLLER_BUTTON_Y, VK_TAB},                {SDL_CONTROLLER_BUTTON_START, VK_ESCAPE}};

}  // namespace

bool PadButtonInput(uint8_t Button, bool Down, PadInput &Out)
{
  for (const auto &[Mapped, Vk] : ButtonKeys) {
    if (Mapped != Button) continue;
    Out = {Vk, Down};
    return true;
  }
  return false;
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
