// Win32Pad.cpp -- XInput pad states as keys.
#include "Win32Pad.h"

#include "winapi.h"

namespace platform_detail::xinput {
namespace {

constexpr int StickDeadZone = 32767 / 3;

// The key of each button the game has a use for, as SdlPad.cpp has them.
constexpr struct {
  uint16_t Button;
  unsigned Vk;
} ButtonKeys[] = {
    {PadDpadUp, VK_UP},         {PadDpadDown, VK_DOWN},       {PadDpadLeft, VK_LEFT},
    {PadDpadRight, VK_RIGHT},   {PadLeftShoulder, VK_PRIOR},  {PadRightShoulder, VK_NEXT},
    {PadA, VK_GAMEPAD_A},       {PadB, VK_GAMEPAD_B},         {PadY, VK_TAB},
    {PadStart, VK_ESCAPE}};

// The arrow a stick axis holds, or 0; Negative and Positive are the arrows of its two ends.
unsigned StickArrow(int16_t Value, unsigned Negative, unsigned Positive) {
  return Value < -StickDeadZone ? Negative : Value > StickDeadZone ? Positive : 0;
}

}  // namespace

PadHeld HeldInputs(const PadState &State)
{
  PadHeld Held;
  for (const auto &[Button, Vk] : ButtonKeys) {
    if (State.Buttons & Button) Held.set(Vk);
  }
  if (const unsigned Vk = StickArrow(State.LeftX, VK_LEFT, VK_RIGHT)) Held.set(Vk);
  if (const unsigned Vk = StickArrow(State.LeftY, VK_DOWN, VK_UP)) Held.set(Vk);
  return Held;
}

PadChanges ChangedInputs(const PadHeld &Before, const PadHeld &Now)
{
  PadChanges Changes;
  const auto Add = [&Changes](const PadHeld &Bits, bool Down) {
    for (size_t Bit = 0; Bit < Bits.size(); ++Bit) {
      if (Bits.test(Bit) && Changes.Count < static_cast<int>(Changes.Inputs.size()))
        Changes.Inputs[Changes.Count++] = {static_cast<unsigned>(Bit), Down};
    }
  };
  Add(Before & ~Now, false);
  Add(Now & ~Before, true);
  return Changes;
}

}  // namespace platform_detail::xinput
