// The SDL window-system layer's own translations: keys to virtual-key codes,
// buttons, system keys, the quit signal, display modes, dead handles, files,
// message boxes.
#include "SdlTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using sdltest::Of;
using sdltest::PumpUntil;

class SdlPlatform : public sdltest::RealWindow {
protected:
  void PushKey(SDL_Keycode Sym, SDL_Scancode Code, bool Down, Uint16 Mod = KMOD_NONE, Uint8 Repeat = 0) {
    SDL_Event Event{};
    Event.type = Down ? SDL_KEYDOWN : SDL_KEYUP;
    Event.key.windowID = SDL_GetWindowID(Window());
    Event.key.state = Down ? SDL_PRESSED : SDL_RELEASED;
    Event.key.repeat = Repeat;
    Event.key.keysym.sym = Sym;
    Event.key.keysym.scancode = Code;
    Event.key.keysym.mod = Mod;
    SDL_PushEvent(&Event);
  }
  // Pushes a marker key and pumps until it arrives: everything pushed before has come through.
  // Pumps until a marker key pushed now has arrived, so everything pushed before it has too.
  bool Settle() {
    const auto Markers = [&] {
      size_t Count = 0;
      for (const sdltest::Received &R : State.Messages) Count += R.Message == WM_KEYDOWN && R.WParam == VK_F1 + 23;
      return Count;
    };
    const size_t Before = Markers();
    PushKey(SDLK_F24, SDL_SCANCODE_F24, true);
    return PumpUntil(*Engine, [&] { return Markers() > Before; });
  }
  std::vector<WPARAM> KeysDown() {
    std::vector<WPARAM> Keys;
    for (const sdltest::Received &R : Of(State, WM_KEYDOWN)) {
      if (R.WParam != VK_F1 + 23) Keys.push_back(R.WParam);
    }
    return Keys;
  }
};

TEST_F(SdlPlatform, KeysBecomeTheirVirtualKeyCodes) {
  struct Case {
    SDL_Keycode Sym;
    SDL_Scancode Code;
    WPARAM Vk;
  };
  const Case Cases[] = {
      {SDLK_a, SDL_SCANCODE_A, 'A'},          {SDLK_z, SDL_SCANCODE_Z, 'Z'},
      {SDLK_0, SDL_SCANCODE_0, '0'},          {SDLK_9, SDL_SCANCODE_9, '9'},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT}, {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, VK_NEXT},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN}, {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK}, {SDLK_F1, SDL_SCANCODE_F1, VK_F1},
      {SDLK_F12, SDL_SCANCODE_F12, VK_F1 + 11}, {SDLK_HOME, SDL_SCANCODE_HOME, VK_HOME},
      {SDLK_END, SDL_SCANCODE_END, VK_END},    {SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, VK_DELETE}, {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, VK_SHIFT},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, VK_CONTROL}, {SDLK_KP_5, SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, VK_OEM_MINUS},
      // A layout whose key gives no Latin letter: the key's place decides.
      {0x0444 /* Cyrillic ef */, SDL_SCANCODE_A, 'A'},
  };
  for (const Case &C : Cases) PushKey(C.Sym, C.Code, true);
  ASSERT_TRUE(Settle());
  std::vector<WPARAM> Expected;
  for (const Case &C : Cases) Expected.push_back(C.Vk);
  EXPECT_EQ(KeysDown(), Expected);
}

TEST_F(SdlPlatform, KeyMessagesCarryRepeatAndTransitionBits) {
  PushKey(SDLK_UP, SDL_SCANCODE_UP, true);
  ASSERT_TRUE(Settle());
  PushKey(SDLK_UP, SDL_SCANCODE_UP, true, KMOD_NONE, 1);   // auto-repeat, taken on its own
  ASSERT_TRUE(Settle());
  PushKey(SDLK_UP, SDL_SCANCODE_UP, true, KMOD_NONE, 1);   // two more while the first still waits
  PushKey(SDLK_UP, SDL_SCANCODE_UP, true, KMOD_NONE, 1);
  PushKey(SDLK_UP, SDL_SCANCODE_UP, false);
  ASSERT_TRUE(Settle());
  std::vector<sdltest::Received> Down;
  for (const sdltest::Received &R : Of(State, WM_KEYDOWN)) {
    if (R.WParam == VK_UP) Down.push_back(R);
  }
  ASSERT_EQ(Down.size(), 3u);
  EXPECT_EQ(Down[0].LParam & 0xFFFF, 1);            // repeat count
  EXPECT_EQ((Down[0].LParam >> 30) & 3, 0);         // was up
  EXPECT_EQ((Down[1].LParam >> 30) & 3, 1);         // was down already
  EXPECT_EQ(Down[2].LParam & 0xFFFF, 2);            // the repeats counted on one message
  const auto Up = Of(State, WM_KEYUP);
  ASSERT_EQ(Up.size(), 1u);
  EXPECT_EQ(static_cast<uint32_t>(Up[0].LParam) >> 30, 3u);
}

TEST_F(SdlPlatform, F10AndKeysWithAltAreSystemKeys) {
  PushKey(SDLK_F10, SDL_SCANCODE_F10, true);
  PushKey(SDLK_x, SDL_SCANCODE_X, true, KMOD_LALT);
  PushKey(SDLK_x, SDL_SCANCODE_X, false, KMOD_LALT);
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(KeysDown().empty());
  const auto System = Of(State, WM_SYSKEYDOWN);
  ASSERT_EQ(System.size(), 2u);
  EXPECT_EQ(System[0].WParam, VK_F10);
  EXPECT_EQ(System[1].WParam, static_cast<WPARAM>('X'));
  EXPECT_EQ(Of(State, WM_SYSKEYUP).size(), 1u);
}

TEST_F(SdlPlatform, AltF4AsksTheWindowToClose) {
  PushKey(SDLK_F4, SDL_SCANCODE_F4, true, KMOD_LALT);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return State.Destroyed; }));
  EXPECT_EQ(Of(State, WM_CLOSE).size(), 1u);
}

TEST_F(SdlPlatform, RightAndMiddleButtonsHaveTheirOwnMessages) {
  SDL_Event Click{};
  Click.type = SDL_MOUSEBUTTONDOWN;
  Click.button.windowID = SDL_GetWindowID(Window());
  Click.button.state = SDL_PRESSED;
  Click.button.button = SDL_BUTTON_RIGHT;
  SDL_PushEvent(&Click);
  Click.button.button = SDL_BUTTON_MIDDLE;
  SDL_PushEvent(&Click);
  ASSERT_TRUE(Settle());
  ASSERT_EQ(Of(State, WM_RBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Of(State, WM_RBUTTONDOWN)[0].WParam & MK_RBUTTON, MK_RBUTTON);
  EXPECT_EQ(Of(State, WM_MBUTTONDOWN).size(), 1u);
  EXPECT_TRUE(Of(State, WM_LBUTTONDOWN).empty());
}

TEST_F(SdlPlatform, AQuitSignalAsksEveryWindowToClose) {
  SDL_Event Quit{};
  Quit.type = SDL_QUIT;
  SDL_PushEvent(&Quit);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return State.Destroyed; }));
  EXPECT_EQ(Of(State, WM_CLOSE).size(), 1u);
}

TEST_F(SdlPlatform, DisplayModesAreEnumeratedInWindowsTerms) {
  SDL_DisplayMode Desktop;
  ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &Desktop), 0);
  DEVMODEA Mode{};
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &Mode));
  EXPECT_EQ(Mode.dmSize, 156u);
  EXPECT_EQ(Mode.dmPelsWidth, static_cast<DWORD>(Desktop.w));
  EXPECT_EQ(Mode.dmPelsHeight, static_cast<DWORD>(Desktop.h));
  EXPECT_EQ(Mode.dmBitsPerPel, static_cast<DWORD>(SDL_BYTESPERPIXEL(Desktop.format) * 8));
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, &Mode));
  EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 100000, &Mode));
  EXPECT_FALSE(EnumDisplaySettingsA("no such display", 0, &Mode));
}

TEST_F(SdlPlatform, ADestroyedWindowsHandleFailsQuietly) {
  const HWND Gone = Engine->Handle;
  ASSERT_TRUE(DestroyWindow(Gone));
  EXPECT_FALSE(DestroyWindow(Gone));
  EXPECT_FALSE(ShowWindow(Gone, SW_SHOW));
  EXPECT_FALSE(SetWindowTextA(Gone, "x"));
  EXPECT_FALSE(MoveWindow(Gone, 0, 0, 10, 10, TRUE));
  EXPECT_EQ(SetWindowLongA(Gone, GWL_STYLE, static_cast<LONG>(WS_POPUP)), 0);
  EXPECT_EQ(GetDC(Gone), nullptr);
  EXPECT_EQ(SetTimer(Gone, 1, 100, nullptr), 0u);
  MSG Msg;
  Msg.hwnd = Gone;
  Msg.message = WM_KEYDOWN;
  Msg.wParam = VK_UP;
  Msg.lParam = 0;
  EXPECT_EQ(DispatchMessageA(&Msg), 0);
  EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
  Engine->Close();   // a second close after the window is gone
  EXPECT_EQ(Of(State, WM_DESTROY).size(), 1u);
}

TEST_F(SdlPlatform, TheQuitMessageComesAfterWaitingMessages) {
  PushKey(SDLK_SPACE, SDL_SCANCODE_SPACE, true);
  PostQuitMessage(7);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return !Of(State, WM_KEYDOWN).empty(); }));
  MSG Msg;
  bool SawQuit = false;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    if (Msg.message == WM_QUIT) {
      SawQuit = true;
      EXPECT_EQ(Msg.wParam, 7u);
    }
  }
  EXPECT_TRUE(SawQuit);
}

// A controller plays through keys: the d-pad and the stick are the arrows, the
// shoulders turn, Y shows the whole level, Start is Escape; A and B come as the
// controller's own keys, which the game reads by screen (Enter, and Escape or
// undo), and never as the mouse button.
TEST_F(SdlPlatform, AControllerBecomesKeysNeverTheLeftButton) {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");  // Xvfb may give the window no focus
  const int Index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(Index, 0) << SDL_GetError();
  // The controller's state is read when events are pumped, after the marker
  // pushed in that pump: a second marker sees it through.
  const auto SettlePad = [&] { return Settle() && Settle(); };
  SDL_Joystick *Pad = SDL_JoystickOpen(Index);
  ASSERT_NE(Pad, nullptr) << SDL_GetError();
  ASSERT_TRUE(SettlePad());
  const std::vector<std::pair<SDL_GameControllerButton, WPARAM>> Buttons = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},         {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},     {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, VK_PRIOR}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, VK_NEXT},
      {SDL_CONTROLLER_BUTTON_A, VK_GAMEPAD_A},        {SDL_CONTROLLER_BUTTON_B, VK_GAMEPAD_B},
      {SDL_CONTROLLER_BUTTON_Y, VK_TAB},              {SDL_CONTROLLER_BUTTON_START, VK_ESCAPE}};
  std::vector<WPARAM> Expected;
  for (const auto &[Button, Vk] : Buttons) {
    SDL_JoystickSetVirtualButton(Pad, Button, SDL_PRESSED);
    ASSERT_TRUE(SettlePad());
    SDL_JoystickSetVirtualButton(Pad, Button, SDL_RELEASED);
    ASSERT_TRUE(SettlePad());
    Expected.push_back(Vk);
  }
  EXPECT_EQ(KeysDown(), Expected);
  std::vector<WPARAM> Ups;
  for (const sdltest::Received &R : Of(State, WM_KEYUP)) Ups.push_back(R.WParam);
  EXPECT_EQ(Ups, Expected);

  EXPECT_TRUE(Of(State, WM_LBUTTONDOWN).empty());

  // The stick holds one arrow per axis while it is pushed past a third.
  State.Messages.clear();
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  ASSERT_TRUE(SettlePad());
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTX, 31000);
  ASSERT_TRUE(SettlePad());
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTX, -30000);
  ASSERT_TRUE(SettlePad());
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTY, -30000);
  ASSERT_TRUE(SettlePad());
  EXPECT_EQ(KeysDown(), (std::vector<WPARAM>{VK_RIGHT, VK_LEFT, VK_UP}));
  std::vector<WPARAM> Released;
  for (const sdltest::Received &R : Of(State, WM_KEYUP)) Released.push_back(R.WParam);
  EXPECT_EQ(Released, (std::vector<WPARAM>{VK_RIGHT, VK_LEFT}));

  SDL_JoystickClose(Pad);
  SDL_JoystickDetachVirtual(Index);
  ASSERT_TRUE(SettlePad());
  Released.clear();
  for (const sdltest::Received &R : Of(State, WM_KEYUP)) Released.push_back(R.WParam);
  EXPECT_EQ(Released.back(), WPARAM(VK_UP)) << "a controller that goes lets go of its stick";
}

}  // namespace

namespace {

TEST(SdlPlatformFiles, DeleteFileFindsTheFileWhateverTheCaseOfItsName) {
  const std::filesystem::path Dir =
      std::filesystem::temp_directory_path() / ("kestrove-sdl-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  std::ofstream(Dir / "Temp.Dat") << "saved";
  EXPECT_TRUE(DeleteFileA((Dir / "TEMP.DAT").c_str()));
  EXPECT_FALSE(std::filesystem::exists(Dir / "Temp.Dat"));
  EXPECT_FALSE(DeleteFileA((Dir / "Temp.Dat").c_str()));
  EXPECT_FALSE(DeleteFileA(Dir.c_str()));   // directories are not files
  EXPECT_FALSE(DeleteFileA(nullptr));
  std::filesystem::remove_all(Dir);
}

// Without a display nothing waits for a box that cannot show; stderr says why,
// and the message itself is left to the caller, which writes it there once.
TEST(SdlPlatformMessageBox, WithoutADisplayOnlyTheReasonGoesToStderr) {
  const std::string X = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  const std::string Wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "the message", "Error", MB_OK | MB_ICONERROR), IDOK);
  const std::string Stderr = ::testing::internal::GetCapturedStderr();
  if (!X.empty()) ::setenv("DISPLAY", X.c_str(), 1);
  if (!Wayland.empty()) ::setenv("WAYLAND_DISPLAY", Wayland.c_str(), 1);
  EXPECT_EQ(Stderr, "(the message box could not be shown: no display)\n");
}

TEST(SdlPlatformClock, TheTickCountIsTheMillisecondClockCutTo32Bits) {
  const DWORD Before = GetTickCount();
  SDL_Delay(20);
  const DWORD After = GetTickCount();
  EXPECT_GE(After - Before, 20u);   // differences modulo 2^32
  EXPECT_EQ(static_cast<DWORD>(SDL_GetTicks64()) - After < 1000u, true);
}

} // namespace
