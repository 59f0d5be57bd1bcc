// Win32Pad.cpp -- XInput pad states as keys and the left button.
#include "Win32Pad.h"

#include "winapi.h"

namespace platform_detail::xinput {
namespace {

constexpr int StickDeadZone = 32767 / 3;
constexpr size_t MouseBit = 256;

constexpr uint16_t MappedButtons[] = {PadDpadUp, PadDpadDown, PadDpadLeft, PadDpadRight, PadLeftShoulder,
                                      PadRightShoulder, PadA, PadB, PadY, PadStart};

size_t BitOf(const PadInput &In) { return In.Mouse ? MouseBit : In.Vk; }

PadInput InputOfBit(size_t Bit, bool Down) {
  PadInput In;
  In.Mouse = Bit == MouseBit;
  In.Vk = In.Mouse ? 0 : static_cast<unsigned>(Bit);
  In.Down = Down;
  return In;
}

// The arrow a stick axis holds, or 0; Negative and Positive are the arrows of its two ends.
unsigned StickArrow(int16_t Value, unsigned Negative, unsigned Positive) {
  return Value < -StickDeadZone ? Negative : Value > StickDeadZone ? Positive : 0;
}

}  // namespace

bool PadButtonInput(uint16_t Button, bool Down, PadInput &Out)
{
  Out = {};
  Out.Down = Down;
  switch (Button) {
  case PadDpadUp: Out.Vk = VK_UP; break;
  case PadDpadDown: Out.Vk = VK_DOWN; break;
  case PadDpadLeft: Out.Vk = VK_LEFT; break;
  case PadDpadRight: Out.Vk = VK_RIGHT; break;
  case PadLeftShoulder: Out.Vk = VK_PRIOR; break;
  case PadRightShoulder: Out.Vk = VK_NEXT; break;
  case PadB: Out.Vk = VK_BACK; break;
  case PadY: Out.Vk = VK_TAB; break;
  case PadStart: Out.Vk = VK_ESCAPE; break;
  case PadA: Out.Mouse = true; break;
  default: return false;
  }
  return true;
}

PadHeld HeldInputs(const PadState &State)
{
  PadHeld Held;
  for (const uint16_t Button : MappedButtons) {
    PadInput In;
    if ((State.Buttons & Button) && PadButtonInput(Button, true, In)) Held.set(BitOf(In));
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
        Changes.Inputs[Changes.Count++] = InputOfBit(Bit, Down);
    }
  };
  Add(Before & ~Now, false);
  Add(Now & ~Before, true);
  return Changes;
}

}  // namespace platform_detail::xinput
