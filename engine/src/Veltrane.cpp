// The engine window. Only window-system calls of winapi.h appear here, so the
// same source runs on the SDL layer, the recording layer, or the real thing.
#include "Veltrane.h"
#include <algorithm>

namespace {

constexpr UINT ClassStyle = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;   // 0x23
constexpr const char *ClassName = "VeltraneWindow";
constexpr const char *Title = "Veltrane";

void RegisterWindowClass(WNDPROC WndProc) {
  WNDCLASSA Class{};
  Class.style = ClassStyle;
  Class.lpfnWndProc = WndProc;
  Class.cbClsExtra = 0;
  Class.cbWndExtra = 0;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.hIcon = nullptr;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  Class.lpszMenuName = nullptr;
  Class.lpszClassName = ClassName;
  RegisterClassA(&Class);   // a failure leaves Handle null: every later call then fails quietly
}

// Whatever the window system or a driver does to the floating-point control
// word while the window is made must not outlive the creation.
HWND CreateMainWindow() {
  const unsigned SavedControlWord = Get8087CW();
  const HWND Handle = CreateWindowExA(0, ClassName, Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  Set8087CW(SavedControlWord);
  return Handle;
}

// The show command the process was started with.
int StartupShowCommand() {
  STARTUPINFOA Info{};
  Info.cb = sizeof Info;
  GetStartupInfoA(&Info);
  return (Info.dwFlags & STARTF_USESHOWWINDOW) ? Info.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

TVeltraneEngine *TVeltraneEngine::Create(WNDPROC WndProc) {
  auto *const Engine = new TVeltraneEngine();
  RegisterWindowClass(WndProc);
  Engine->Handle = CreateMainWindow();
  ShowWindow(Engine->Handle, StartupShowCommand());
  UpdateWindow(Engine->Handle);
  Engine->StartTick = GetTickCount();
  return Engine;
}

bool TVeltraneEngine::ProcessMessage() {
  ++Frames;
  // Tick differences are taken modulo 2^32, so the count's wrap does not show.
  Delta = GetTickCount() - StartTick - static_cast<uint32_t>(Time);
  LastTime = static_cast<uint32_t>(Time);
  Time = static_cast<int32_t>(GetTickCount() - StartTick);
  // The midpoint of this reading and the previous Time: Time signed, LastTime unsigned,
  // summed in 64 bits, halved toward zero, kept in 32 bits.
  const int64_t Sum = static_cast<int64_t>(Time) + static_cast<int64_t>(LastTime);
  Time = static_cast<int32_t>(static_cast<uint32_t>(Sum / 2));

  MSG Msg{};
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  TranslateMessage(&Msg);
  DispatchMessageA(&Msg);
  return true;
}

void TVeltraneEngine::UpdateFPS() {
  FPS = Frames;
  Frames = 0;
}

void TVeltraneEngine::Close() {
  const HDC Dc = GetDC(Handle);
  if (GLContext) {
    wglMakeCurrent(Dc, nullptr);
    wglDeleteContext(GLContext);
  }
  RestoreDisplayMode();
  ReleaseDC(Handle, Dc);
  DestroyWindow(Handle);
}

HDC TVeltraneEngine::DeviceContext() const { return GetDC(Handle); }

void TVeltraneEngine::SetCaption(const char *Text) const { SetWindowTextA(Handle, Text); }

namespace {
// The outer rectangle; all zero when there is no window to ask.
RECT OuterRect(HWND Handle) {
  RECT Rect{0, 0, 0, 0};
  GetWindowRect(Handle, &Rect);
  return Rect;
}
} // namespace

int32_t TVeltraneEngine::Left() const { return OuterRect(Handle).left; }

int32_t TVeltraneEngine::Top() const { return OuterRect(Handle).top; }

int32_t TVeltraneEngine::Width() const {
  const RECT Rect = OuterRect(Handle);
  return Rect.right - Rect.left;
}

int32_t TVeltraneEngine::Height() const {
  const RECT Rect = OuterRect(Handle);
  return Rect.bottom - Rect.top;
}

void TVeltraneEngine::SetWidth(int32_t NewWidth) const {
  const RECT Rect = OuterRect(Handle);
  MoveWindow(Handle, Rect.left, Rect.top, NewWidth, Rect.bottom - Rect.top, TRUE);
}

void TVeltraneEngine::SetHeight(int32_t NewHeight) const {
  const RECT Rect = OuterRect(Handle);
  MoveWindow(Handle, Rect.left, Rect.top, Rect.right - Rect.left, NewHeight, TRUE);
}

void TVeltraneEngine::CentreOnScreen() const {
  RECT Work{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0)) return;
  const RECT Rect = OuterRect(Handle);
  const int32_t W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
  const int32_t X = Work.left + std::max<int32_t>(0, (Work.right - Work.left - W) / 2);
  const int32_t Y = Work.top + std::max<int32_t>(0, (Work.bottom - Work.top - H) / 2);
  MoveWindow(Handle, X, Y, W, H, TRUE);
}

void TVeltraneEngine::SetStyle(DWORD Style) const {
  Hide();
  SetWindowLongA(Handle, GWL_STYLE, static_cast<LONG>(Style));
  Show();
}

void TVeltraneEngine::Show() const { ShowWindow(Handle, SW_SHOW); }

void TVeltraneEngine::Hide() const { ShowWindow(Handle, SW_HIDE); }

void TVeltraneEngine::Maximize() const { ShowWindow(Handle, SW_SHOWMAXIMIZED); }

bool TVeltraneEngine::SetDisplayMode(int32_t Width, int32_t Height, int32_t Bits, int32_t Frequency) const {
  DEVMODEA Mode{};
  EnumDisplaySettingsA(nullptr, 0, &Mode);   // only the fields not set below come from here
  Mode.dmSize = sizeof(DEVMODEA);
  Mode.dmPelsWidth = static_cast<DWORD>(Width);
  Mode.dmPelsHeight = static_cast<DWORD>(Height);
  Mode.dmBitsPerPel = static_cast<DWORD>(Bits);
  Mode.dmDisplayFrequency = static_cast<DWORD>(Frequency);
  // A zero argument leaves that property to the display.
  Mode.dmFields = (Width ? DM_PELSWIDTH : 0) | (Height ? DM_PELSHEIGHT : 0) | (Bits ? DM_BITSPERPEL : 0) |
                  (Frequency ? DM_DISPLAYFREQUENCY : 0);
  return ChangeDisplaySettingsA(&Mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void TVeltraneEngine::RestoreDisplayMode() const { ChangeDisplaySettingsA(nullptr, 0); }
