// An XInput pad's states as the keys the game understands.
#include <gtest/gtest.h>

#include <vector>

#include "Win32Pad.h"
#include "winapi.h"

namespace {

using namespace platform_detail::xinput;

struct Expected {
  unsigned Vk;
  bool Down;
};

std::vector<Expected> Inputs(const PadChanges &Changes) {
  std::vector<Expected> Out;
  for (int I = 0; I < Changes.Count; ++I) Out.push_back({Changes.Inputs[I].Vk, Changes.Inputs[I].Down});
  return Out;
}

bool operator==(const Expected &A, const Expected &B) { return A.Vk == B.Vk && A.Down == B.Down; }

void PrintTo(const Expected &E, std::ostream *Os) { *Os << "key " << E.Vk << (E.Down ? " down" : " up"); }

// The changes from one state to the next, as the poller sees them.
std::vector<Expected> Between(const PadState &Before, const PadState &Now) {
  return Inputs(ChangedInputs(HeldInputs(Before), HeldInputs(Now)));
}

PadState Buttons(uint16_t Bits) { return PadState{Bits, 0, 0}; }
PadState Stick(int16_t X, int16_t Y) { return PadState{0, X, Y}; }

constexpr Expected KeyDown(unsigned Vk) { return {Vk, true}; }
constexpr Expected KeyUp(unsigned Vk) { return {Vk, false}; }

// The same keys as a controller on Linux: A and B as the system's own keys of
// a controller's A and B, which the game reads by screen.
TEST(XInputPad, EachButtonIsTheKeyOfTheLinuxBuild) {
  const struct { uint16_t Button; unsigned Vk; } Table[] = {
      {PadDpadUp, VK_UP},         {PadDpadDown, VK_DOWN},        {PadDpadLeft, VK_LEFT},
      {PadDpadRight, VK_RIGHT},   {PadLeftShoulder, VK_PRIOR},   {PadRightShoulder, VK_NEXT},
      {PadA, VK_GAMEPAD_A},       {PadB, VK_GAMEPAD_B},          {PadY, VK_TAB},
      {PadStart, VK_ESCAPE}};
  for (const auto &Row : Table) {
    SCOPED_TRACE(Row.Button);
    EXPECT_EQ(Between({}, Buttons(Row.Button)), std::vector<Expected>{KeyDown(Row.Vk)});
    EXPECT_EQ(Between(Buttons(Row.Button), {}), std::vector<Expected>{KeyUp(Row.Vk)});
    EXPECT_TRUE(Between(Buttons(Row.Button), Buttons(Row.Button)).empty()) << "a held button is pressed once";
  }
  for (const uint16_t Unused : {PadX, PadBack, PadLeftThumb, PadRightThumb}) {
    SCOPED_TRACE(Unused);
    EXPECT_TRUE(Between({}, Buttons(Unused)).empty());
  }
}

TEST(XInputPad, TheLeftStickPastAThirdHoldsTheArrowOfItsDirection) {
  constexpr int16_t Third = 32767 / 3;
  EXPECT_TRUE(Between({}, Stick(Third, -Third)).empty()) << "a third of the travel is still the middle";
  EXPECT_EQ(Between({}, Stick(Third + 1, 0)), std::vector<Expected>{KeyDown(VK_RIGHT)});
  EXPECT_EQ(Between({}, Stick(-32768, 0)), std::vector<Expected>{KeyDown(VK_LEFT)});
  // XInput's stick points up with positive values, unlike SDL's.
  EXPECT_EQ(Between({}, Stick(0, 32767)), std::vector<Expected>{KeyDown(VK_UP)});
  EXPECT_EQ(Between({}, Stick(0, -32768)), std::vector<Expected>{KeyDown(VK_DOWN)});
  EXPECT_TRUE(Between(Stick(20000, 0), Stick(30000, 0)).empty()) << "moving within a direction presses nothing";
  EXPECT_EQ(Between(Stick(20000, 0), Stick(0, 0)), std::vector<Expected>{KeyUp(VK_RIGHT)});
  EXPECT_EQ(Between({}, Stick(30000, 30000)), (std::vector<Expected>{KeyDown(VK_UP), KeyDown(VK_RIGHT)}))
      << "a diagonal holds both arrows";
}

TEST(XInputPad, AChangeLetsGoBeforeItPresses) {
  // The stick swung from left to right between two polls: the game never sees both held.
  EXPECT_EQ(Between(Stick(-30000, 0), Stick(30000, 0)), (std::vector<Expected>{KeyUp(VK_LEFT), KeyDown(VK_RIGHT)}));
  EXPECT_EQ(Between(Buttons(PadB | PadDpadUp), Buttons(PadA | PadDpadDown)),
            (std::vector<Expected>{KeyUp(VK_UP), KeyUp(VK_GAMEPAD_B), KeyDown(VK_DOWN), KeyDown(VK_GAMEPAD_A)}));
}

TEST(XInputPad, TheDpadAndTheStickHoldTheSameArrow) {
  const PadState Both{PadDpadRight, 30000, 0};
  EXPECT_EQ(Between({}, Both), std::vector<Expected>{KeyDown(VK_RIGHT)});
  EXPECT_TRUE(Between(Both, Buttons(PadDpadRight)).empty()) << "the d-pad still holds it";
  EXPECT_TRUE(Between(Both, Stick(30000, 0)).empty()) << "the stick still holds it";
  EXPECT_EQ(Between(Both, {}), std::vector<Expected>{KeyUp(VK_RIGHT)});
}

TEST(XInputPad, EverythingAPadHoldsIsLetGoWhenItGoes) {
  const PadState All{0xFFFF, -32768, 32767};
  const PadChanges Pressed = ChangedInputs({}, HeldInputs(All));
  EXPECT_EQ(Pressed.Count, 10) << "every key, each once";
  const std::vector<Expected> Released = Inputs(ChangedInputs(HeldInputs(All), {}));
  ASSERT_EQ(Released.size(), 10u);
  for (const Expected &E : Released) EXPECT_FALSE(E.Down);
}

TEST(XInputPad, TwoPadsHoldWhatEitherHolds) {
  const PadHeld First = HeldInputs(Buttons(PadDpadLeft)), Second = HeldInputs(Stick(-30000, 0));
  const PadHeld Both = First | Second;
  EXPECT_TRUE(Inputs(ChangedInputs(Both, Second)).empty()) << "the other pad still holds Left";
  EXPECT_EQ(Inputs(ChangedInputs(Both, {})), std::vector<Expected>{KeyUp(VK_LEFT)});
}

}  // namespace
