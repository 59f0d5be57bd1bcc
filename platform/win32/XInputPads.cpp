// XInputPads.cpp -- the XInput DLL, polled on a thread timer of the program's
// one thread: its WM_TIMER comes when no other message waits, and the engine's
// message pump dispatches it here.
#include "XInputPads.h"

#include "winapi.h"

#include <xinput.h>

#include "Win32Pad.h"

namespace {

namespace pad = platform_detail::xinput;

static_assert(pad::PadDpadUp == XINPUT_GAMEPAD_DPAD_UP && pad::PadDpadDown == XINPUT_GAMEPAD_DPAD_DOWN &&
              pad::PadDpadLeft == XINPUT_GAMEPAD_DPAD_LEFT && pad::PadDpadRight == XINPUT_GAMEPAD_DPAD_RIGHT &&
              pad::PadStart == XINPUT_GAMEPAD_START && pad::PadBack == XINPUT_GAMEPAD_BACK &&
              pad::PadLeftThumb == XINPUT_GAMEPAD_LEFT_THUMB && pad::PadRightThumb == XINPUT_GAMEPAD_RIGHT_THUMB &&
              pad::PadLeftShoulder == XINPUT_GAMEPAD_LEFT_SHOULDER &&
              pad::PadRightShoulder == XINPUT_GAMEPAD_RIGHT_SHOULDER && pad::PadA == XINPUT_GAMEPAD_A &&
              pad::PadB == XINPUT_GAMEPAD_B && pad::PadX == XINPUT_GAMEPAD_X && pad::PadY == XINPUT_GAMEPAD_Y,
              "the pad's button bits are XInput's");

using GetStateFunction = DWORD(WINAPI *)(DWORD, XINPUT_STATE *);

constexpr UINT PollPeriodMs = 10;
// Asking for a pad that is not there can take a millisecond or more: absent
// ones are looked for again only this often.
constexpr DWORD LookForNewPadsMs = 1000;

struct Reader {
  HMODULE Library = nullptr;
  GetStateFunction GetState = nullptr;
  UINT_PTR Timer = 0;
  bool Connected[XUSER_MAX_COUNT] = {};
  DWORD LastLook = 0;
  bool Looked = false;
  pad::PadHeld Held;       // what the pads hold, as the target window was told
  HWND Target = nullptr;   // the window that was told
};

Reader TheReader;

// The newest XInput there is: 1.4 from Windows 8 on, 1.3 with the DirectX
// runtime, 9.1.0 on every Windows since Vista.
HMODULE LoadXInput() {
  for (const char *Name : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"}) {
    if (const HMODULE Library = LoadLibraryA(Name)) return Library;
  }
  return nullptr;
}

// The program's active window, or null while another program has the focus
// (as on Linux, a pad drives only the game in front). A message box of ours
// takes no pad input: only windows of the program's own classes do.
HWND PadTarget() {
  const HWND Active = GetActiveWindow();
  if (!Active) return nullptr;
  const auto ClassModule = reinterpret_cast<HMODULE>(GetClassLongPtrA(Active, GCLP_HMODULE));
  return ClassModule == GetModuleHandleA(nullptr) ? Active : nullptr;
}

// A key as the Linux build posts a pad's: one press, or a release of a key that was down.
void Post(HWND Target, const pad::PadInput &In) {
  const DWORD Bits = In.Down ? 1u : 1u | 3u << 30;
  PostMessageA(Target, In.Down ? WM_KEYDOWN : WM_KEYUP, In.Vk, static_cast<LPARAM>(Bits));
}

void Tell(Reader &R, HWND Target, const pad::PadHeld &Now) {
  const pad::PadChanges Changes = pad::ChangedInputs(R.Held, Now);
  for (int I = 0; I < Changes.Count; ++I) Post(Target, Changes.Inputs[I]);
  R.Held = Now;
}

pad::PadHeld ReadPads(Reader &R) {
  const DWORD Now = GetTickCount();
  const bool LookForNew = !R.Looked || Now - R.LastLook >= LookForNewPadsMs;
  if (LookForNew) {
    R.LastLook = Now;
    R.Looked = true;
  }
  pad::PadHeld Held;
  for (DWORD Slot = 0; Slot < XUSER_MAX_COUNT; ++Slot) {
    if (!R.Connected[Slot] && !LookForNew) continue;
    XINPUT_STATE State{};
    R.Connected[Slot] = R.GetState(Slot, &State) == ERROR_SUCCESS;
    if (!R.Connected[Slot]) continue;
    Held |= pad::HeldInputs(pad::PadState{State.Gamepad.wButtons, State.Gamepad.sThumbLX, State.Gamepad.sThumbLY});
  }
  return Held;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  Reader &R = TheReader;
  const HWND Target = PadTarget();
  if (Target != R.Target) {
    // What the pads held is let go where it was pressed: the game there stops walking.
    if (R.Target && IsWindow(R.Target)) Tell(R, R.Target, pad::PadHeld{});
    R.Held.reset();
    R.Target = Target;
  }
  if (Target) Tell(R, Target, ReadPads(R));
}

}  // namespace

TXInputPads::TXInputPads()
{
  Reader &R = TheReader;
  R.Library = LoadXInput();
  if (!R.Library) return;
  R.GetState = reinterpret_cast<GetStateFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(R.Library, "XInputGetState")));
  if (R.GetState) R.Timer = SetTimer(nullptr, 0, PollPeriodMs, Poll);
}

TXInputPads::~TXInputPads()
{
  Reader &R = TheReader;
  if (R.Timer) KillTimer(nullptr, R.Timer);
  if (R.Library) FreeLibrary(R.Library);
  R = Reader{};
}
