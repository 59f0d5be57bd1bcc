// The window system in memory, for tests: every call is logged, nothing is shown.
#include "RecordingPlatform.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FloatControl.h"
#include "Files.h"
#include "MessageQueue.h"

namespace {

using platform_detail::MessageQueue;

struct FakeWindow {
  int Number = 0;             // 1 for the first window since Reset
  std::string ClassName;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  std::string Caption;
  RECT Rect{0, 0, 0, 0};
  bool Visible = false;
  bool Maximized = false;
  bool Alive = true;
  bool Destroying = false;    // WM_DESTROY is being handled
};

struct WindowClass {
  WNDCLASSA Class{};
  std::unique_ptr<std::string> Name;   // lpszClassName points here
};

struct Recorder {
  std::vector<Recording::Call> Log;
  std::vector<WindowClass> Classes;
  std::vector<std::unique_ptr<FakeWindow>> Windows;
  MessageQueue Queue;
  uint64_t Micros = 0;        // the test's clock, in microseconds
  DWORD TickStep = 0;
  POINT Cursor{0, 0};
  int CursorCount = 0;
  DWORD ModeWidth = 1280, ModeHeight = 1024, ModeBits = 32, ModeFrequency = 60;
  LONG ChangeResult = DISP_CHANGE_SUCCESSFUL;
  RECT WorkArea{0, 0, 0, 0};
  bool ModeChanged = false;
  DEVMODEA LastRequest{};
  RECT DefaultRect{0, 0, 800, 600};
  bool HasShowCommand = false;
  int ShowCommand = 0;
  bool ReallyDelete = true;
  std::function<void(std::size_t)> PeekHook;
  std::size_t PeekCount = 0;
  bool Echo = false;
};

Recorder &R() {
  static Recorder *const Instance = new Recorder();   // outlives every static destructor
  return *Instance;
}

// Fake handles for the things the recorder never makes for real.
char InstanceObject, CursorObject, BrushObject;

// Queued by a test for whichever window is current when the message is taken.
HWND const TheWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1));

HWND HandleOf(int Number) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000 + 0x100 * Number)); }

FakeWindow *Known(HWND Wnd) {
  for (auto &W : R().Windows) {
    if (HandleOf(W->Number) == Wnd) return W.get();
  }
  return nullptr;
}

FakeWindow *Alive(HWND Wnd) {
  FakeWindow *const W = Known(Wnd);
  return W && W->Alive ? W : nullptr;
}

std::string Hex(uint64_t Value) {
  char Text[24];
  std::snprintf(Text, sizeof Text, "0x%08llX", static_cast<unsigned long long>(Value));
  return Text;
}

std::string Dec(long long Value) { return std::to_string(Value); }

std::string Quoted(const char *Text) { return Text ? "\"" + std::string(Text) + "\"" : "0"; }

std::string Named(const void *Handle, const char *Kind) { return Handle ? Kind : "0"; }

std::string WindowName(HWND Wnd, const char *Kind = "hwnd") {
  if (!Wnd) return "0";
  if (const FakeWindow *W = Known(Wnd)) return W->Number == 1 ? Kind : Kind + std::to_string(W->Number);
  return Hex(reinterpret_cast<uintptr_t>(Wnd));
}

std::string DcName(HDC Dc) { return WindowName(reinterpret_cast<HWND>(Dc), "hdc"); }

std::string Coordinate(int Value) { return Value == CW_USEDEFAULT ? "CW_USEDEFAULT" : Dec(Value); }

std::string MessageName(UINT Message) {
  switch (Message) {
  case WM_DESTROY: return "WM_DESTROY";
  case WM_PAINT: return "WM_PAINT";
  case WM_CLOSE: return "WM_CLOSE";
  case WM_QUIT: return "WM_QUIT";
  case WM_KEYDOWN: return "WM_KEYDOWN";
  case WM_KEYUP: return "WM_KEYUP";
  case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
  case WM_SYSKEYUP: return "WM_SYSKEYUP";
  case WM_TIMER: return "WM_TIMER";
  case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
  case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
  case WM_LBUTTONUP: return "WM_LBUTTONUP";
  case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
  case WM_RBUTTONUP: return "WM_RBUTTONUP";
  case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
  case WM_MBUTTONUP: return "WM_MBUTTONUP";
  default: return Hex(Message);
  }
}

std::string ModeText(const DEVMODEA &Mode) {
  return Dec(Mode.dmPelsWidth) + "x" + Dec(Mode.dmPelsHeight) + "x" + Dec(Mode.dmBitsPerPel) + "@" +
         Dec(Mode.dmDisplayFrequency) + "/" + Hex(Mode.dmFields);
}

std::vector<std::string> MessageArgs(const MSG *Msg) {
  if (!Msg) return {"0"};
  return {WindowName(Msg->hwnd), MessageName(Msg->message), Dec(static_cast<long long>(Msg->wParam)),
          Dec(Msg->lParam)};
}

void Record(std::string Name, std::vector<std::string> Args) {
  R().Log.push_back(Recording::Call{std::move(Name), std::move(Args)});
  if (R().Echo) {
    std::fprintf(stderr, "%s\n", R().Log.back().Text().c_str());
    std::fflush(stderr);
  }
}

bool SameClassName(const std::string &A, const std::string &B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
         });
}

WindowClass *FindClass(const std::string &Name) {
  for (auto &C : R().Classes) {
    if (SameClassName(*C.Name, Name)) return &C;
  }
  return nullptr;
}

HWND CurrentWindow() { return R().Windows.empty() ? nullptr : HandleOf(R().Windows.back()->Number); }

DEVMODEA CurrentMode() {
  DEVMODEA Mode{};
  std::memcpy(Mode.dmDeviceName, "Recording", 10);
  Mode.dmSize = sizeof(DEVMODEA);
  Mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;
  Mode.dmBitsPerPel = R().ModeBits;
  Mode.dmPelsWidth = R().ModeWidth;
  Mode.dmPelsHeight = R().ModeHeight;
  Mode.dmDisplayFrequency = R().ModeFrequency;
  return Mode;
}

DWORD TickNow() { return static_cast<DWORD>(R().Micros / 1000); }   // wraps at 2^32 ms

LPARAM KeyLParam(bool Down) {
  // Repeat count 1; an up key was down before and is in transition.
  return Down ? 1 : static_cast<LPARAM>(0xC0000001u);
}

} // namespace

// ---------------------------------------------------------------------------
// The test's side.

namespace Recording {

std::string Call::Text() const {
  std::string Out = Name + "(";
  for (std::size_t I = 0; I < Args.size(); ++I) Out += (I ? "," : "") + Args[I];
  return Out + ")";
}

void Reset() {
  Recorder &Old = R();
  Old = Recorder();
}

const std::vector<Call> &Calls() { return R().Log; }

std::vector<std::string> Log() {
  std::vector<std::string> Out;
  for (const Call &C : R().Log) Out.push_back(C.Text());
  return Out;
}

std::vector<std::string> Log(const std::vector<std::string> &Names) {
  std::vector<std::string> Out;
  for (const Call &C : R().Log) {
    if (std::find(Names.begin(), Names.end(), C.Name) != Names.end()) Out.push_back(C.Text());
  }
  return Out;
}

std::vector<std::string> LogExcept(const std::vector<std::string> &Names) {
  std::vector<std::string> Out;
  for (const Call &C : R().Log) {
    if (std::find(Names.begin(), Names.end(), C.Name) == Names.end()) Out.push_back(C.Text());
  }
  return Out;
}

std::size_t Count(const std::string &Name) {
  return std::count_if(R().Log.begin(), R().Log.end(), [&](const Call &C) { return C.Name == Name; });
}

void ClearLog() { R().Log.clear(); }

void QueueMessage(UINT Message, WPARAM WParam, LPARAM LParam, HWND Wnd) {
  if (!Wnd) Wnd = Alive(CurrentWindow()) ? CurrentWindow() : TheWindow;
  R().Queue.Post(MSG{Wnd, Message, WParam, LParam, TickNow(), R().Cursor});
}

void QueueKeyDown(UINT VirtualKey) { QueueMessage(WM_KEYDOWN, VirtualKey, KeyLParam(true)); }
void QueueKeyUp(UINT VirtualKey) { QueueMessage(WM_KEYUP, VirtualKey, KeyLParam(false)); }
void QueueKeyRepeat(UINT VirtualKey) { QueueMessage(WM_KEYDOWN, VirtualKey, KeyLParam(true) | (1 << 30)); }

void QueueClick(LONG X, LONG Y) {
  const LPARAM Where = static_cast<LPARAM>((static_cast<uint32_t>(Y & 0xFFFF) << 16) | (X & 0xFFFF));
  QueueMessage(WM_LBUTTONDOWN, MK_LBUTTON, Where);
  QueueMessage(WM_LBUTTONUP, 0, Where);
}

void QueueClose() { QueueMessage(WM_CLOSE); }

std::vector<MSG> QueuedMessages() {
  std::vector<MSG> Out(R().Queue.Waiting().begin(), R().Queue.Waiting().end());
  for (MSG &M : Out) {
    if (M.hwnd == TheWindow) M.hwnd = CurrentWindow();
  }
  return Out;
}

void OnPeekMessage(std::function<void(std::size_t PeekNumber)> Hook) { R().PeekHook = std::move(Hook); }

bool QuitPosted() { return R().Queue.QuitPosted(); }
int QuitCode() { return R().Queue.QuitCode(); }

void SetTickCount(DWORD Ticks) { R().Micros = uint64_t(Ticks) * 1000; }
void AdvanceTicks(DWORD Milliseconds) { R().Micros += uint64_t(Milliseconds) * 1000; }
void AdvanceMicroseconds(uint64_t Microseconds) { R().Micros += Microseconds; }
void SetTickStep(DWORD Milliseconds) { R().TickStep = Milliseconds; }
DWORD Ticks() { return TickNow(); }
uint64_t Microseconds() { return R().Micros; }

void SetCurrentDisplayMode(DWORD Width, DWORD Height, DWORD Bits, DWORD Frequency) {
  R().ModeWidth = Width;
  R().ModeHeight = Height;
  R().ModeBits = Bits;
  R().ModeFrequency = Frequency;
}

void SetDisplayModeResult(LONG Result) { R().ChangeResult = Result; }
void SetWorkArea(const RECT &Area) { R().WorkArea = Area; }
bool DisplayModeChanged() { return R().ModeChanged; }
DEVMODEA LastDisplayModeRequest() { return R().LastRequest; }

void SetCursorPos(LONG X, LONG Y) { R().Cursor = POINT{X, Y}; }
int CursorShowCount() { return R().CursorCount; }

HWND Window() { return CurrentWindow(); }

WindowState State(HWND Wnd) {
  WindowState S;
  if (const FakeWindow *W = Known(Wnd)) {
    S.Exists = W->Alive;
    S.Visible = W->Visible;
    S.Maximized = W->Maximized;
    S.Style = W->Style;
    S.ClassName = W->ClassName;
    S.Caption = W->Caption;
    S.Rect = W->Rect;
  }
  return S;
}

void SetWindowRect(RECT Rect) {
  R().DefaultRect = Rect;
  if (FakeWindow *W = Alive(CurrentWindow())) W->Rect = Rect;
}

void SetDefaultWindowRect(RECT Rect) { R().DefaultRect = Rect; }

bool ClassRegistered(const std::string &ClassName) { return FindClass(ClassName) != nullptr; }

WNDCLASSA RegisteredClass(const std::string &ClassName) {
  const WindowClass *C = FindClass(ClassName);
  return C ? C->Class : WNDCLASSA{};
}

void SetStartupShowCommand(int CmdShow) {
  R().HasShowCommand = true;
  R().ShowCommand = CmdShow;
}

void ClearStartupShowCommand() { R().HasShowCommand = false; }

void SetDeleteFiles(bool Really) { R().ReallyDelete = Really; }

void EchoCalls(bool On) { R().Echo = On; }

} // namespace Recording

// ---------------------------------------------------------------------------
// The window system's side.

ATOM RegisterClassA(const WNDCLASSA *WndClass) {
  if (!WndClass) {
    Record("RegisterClassA", {"0"});
    return 0;
  }
  Record("RegisterClassA",
         {Hex(WndClass->style), Named(reinterpret_cast<const void *>(WndClass->lpfnWndProc), "wndproc"),
          Dec(WndClass->cbClsExtra), Dec(WndClass->cbWndExtra), Named(WndClass->hInstance, "hinstance"),
          Named(WndClass->hIcon, "hicon"), Named(WndClass->hCursor, "hcursor"),
          Named(WndClass->hbrBackground, "hbrush"), Quoted(WndClass->lpszMenuName),
          Quoted(WndClass->lpszClassName)});
  if (!WndClass->lpszClassName || FindClass(WndClass->lpszClassName)) return 0;
  WindowClass C;
  C.Class = *WndClass;
  C.Name = std::make_unique<std::string>(WndClass->lpszClassName);
  C.Class.lpszClassName = C.Name->c_str();
  C.Class.lpszMenuName = nullptr;
  R().Classes.push_back(std::move(C));
  return static_cast<ATOM>(0xC000 + R().Classes.size());
}

HWND CreateWindowExA(DWORD ExStyle, const char *ClassName, const char *WindowName_, DWORD Style, int X, int Y,
                     int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void *Param) {
  Record("CreateWindowExA", {Hex(ExStyle), Quoted(ClassName), Quoted(WindowName_), Hex(Style), Coordinate(X),
                             Coordinate(Y), Coordinate(Width), Coordinate(Height), WindowName(Parent),
                             Named(Menu, "hmenu"), Named(Instance, "hinstance"), Named(Param, "param")});
  const WindowClass *C = ClassName ? FindClass(ClassName) : nullptr;
  if (!C) return nullptr;
  auto W = std::make_unique<FakeWindow>();
  W->Number = static_cast<int>(R().Windows.size()) + 1;
  W->ClassName = *C->Name;
  W->Proc = C->Class.lpfnWndProc;
  W->Style = Style;
  W->Caption = WindowName_ ? WindowName_ : "";
  const RECT &D = R().DefaultRect;
  const LONG Left = X == CW_USEDEFAULT ? D.left : X, Top = X == CW_USEDEFAULT ? D.top : Y;
  const LONG W_ = Width == CW_USEDEFAULT ? D.right - D.left : Width;
  const LONG H_ = Width == CW_USEDEFAULT ? D.bottom - D.top : Height;
  W->Rect = RECT{Left, Top, Left + W_, Top + H_};
  W->Visible = (Style & WS_VISIBLE) != 0;
  const HWND Handle = HandleOf(W->Number);
  R().Windows.push_back(std::move(W));
  return Handle;
}

BOOL ShowWindow(HWND Wnd, int CmdShow) {
  Record("ShowWindow", {WindowName(Wnd), Dec(CmdShow)});
  FakeWindow *W = Alive(Wnd);
  if (!W) return FALSE;
  const BOOL WasVisible = W->Visible;
  switch (CmdShow) {
  case SW_HIDE: W->Visible = false; break;
  case SW_SHOWMAXIMIZED: W->Visible = true; W->Maximized = true; break;
  case SW_SHOWNORMAL: case SW_RESTORE: case SW_SHOWDEFAULT: W->Visible = true; W->Maximized = false; break;
  default: W->Visible = true; break;
  }
  return WasVisible;
}

BOOL UpdateWindow(HWND Wnd) {
  Record("UpdateWindow", {WindowName(Wnd)});
  return Alive(Wnd) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND Wnd, const char *Text) {
  Record("SetWindowTextA", {WindowName(Wnd), Quoted(Text)});
  FakeWindow *W = Alive(Wnd);
  if (!W) return FALSE;
  W->Caption = Text ? Text : "";
  return TRUE;
}

LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong) {
  Record("SetWindowLongA", {WindowName(Wnd), Dec(Index),
                            Index == GWL_STYLE ? Hex(static_cast<DWORD>(NewLong)) : Dec(NewLong)});
  FakeWindow *W = Alive(Wnd);
  if (!W || Index != GWL_STYLE) return 0;
  const LONG Old = static_cast<LONG>(W->Style);
  W->Style = static_cast<DWORD>(NewLong);
  return Old;
}

BOOL GetWindowRect(HWND Wnd, RECT *Rect) {
  Record("GetWindowRect", {WindowName(Wnd)});
  const FakeWindow *W = Alive(Wnd);
  if (!W || !Rect) return FALSE;
  *Rect = W->Rect;
  return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint) {
  Record("MoveWindow", {WindowName(Wnd), Dec(X), Dec(Y), Dec(Width), Dec(Height), Dec(Repaint)});
  FakeWindow *W = Alive(Wnd);
  if (!W) return FALSE;
  W->Rect = RECT{X, Y, X + Width, Y + Height};
  W->Maximized = false;
  return TRUE;
}

BOOL DestroyWindow(HWND Wnd) {
  Record("DestroyWindow", {WindowName(Wnd)});
  FakeWindow *W = Alive(Wnd);
  if (!W || W->Destroying) return FALSE;   // a second destruction from inside WM_DESTROY does nothing
  W->Destroying = true;
  // The window is still valid while its procedure handles WM_DESTROY.
  if (W->Proc) W->Proc(Wnd, WM_DESTROY, 0, 0);
  if ((W = Known(Wnd)) != nullptr) {
    W->Alive = false;
    W->Visible = false;
  }
  R().Queue.ForgetWindow(Wnd);
  return TRUE;
}

HDC GetDC(HWND Wnd) {
  Record("GetDC", {WindowName(Wnd)});
  return Alive(Wnd) ? reinterpret_cast<HDC>(Wnd) : nullptr;
}

int ReleaseDC(HWND Wnd, HDC Dc) {
  Record("ReleaseDC", {WindowName(Wnd), DcName(Dc)});
  return Alive(Wnd) && Dc == reinterpret_cast<HDC>(Wnd) ? 1 : 0;
}

HGDIOBJ GetStockObject(int Object) {
  Record("GetStockObject", {Dec(Object)});
  return &BrushObject;
}

HCURSOR LoadCursorA(HINSTANCE Instance, const char *CursorName) {
  const uintptr_t Id = reinterpret_cast<uintptr_t>(CursorName);
  Record("LoadCursorA", {Named(Instance, "hinstance"),
                         CursorName == IDC_ARROW ? std::string("IDC_ARROW")
                         : Id < 0x10000          ? "#" + Dec(static_cast<long long>(Id))
                                                 : Quoted(CursorName)});
  return reinterpret_cast<HCURSOR>(&CursorObject);
}

HINSTANCE GetModuleHandleA(const char *ModuleName) {
  Record("GetModuleHandleA", {Quoted(ModuleName)});
  return ModuleName ? nullptr : reinterpret_cast<HINSTANCE>(&InstanceObject);
}

void GetStartupInfoA(STARTUPINFOA *Info) {
  Record("GetStartupInfoA", {});
  if (!Info) return;
  *Info = STARTUPINFOA{sizeof(STARTUPINFOA), R().HasShowCommand ? STARTF_USESHOWWINDOW : 0,
                       static_cast<WORD>(R().HasShowCommand ? R().ShowCommand : 0)};
}

BOOL PeekMessageA(MSG *Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg) {
  Record("PeekMessageA", {WindowName(Wnd), Dec(FilterMin), Dec(FilterMax), Dec(RemoveMsg)});
  ++R().PeekCount;
  if (R().PeekHook) {
    const auto Hook = R().PeekHook;   // the hook may replace itself
    Hook(R().PeekCount);
  }
  // Messages queued for "the window" are first bound to the window current now.
  for (const MSG &M : R().Queue.Waiting()) {
    if (M.hwnd == TheWindow) {
      R().Queue.Rebind(TheWindow, CurrentWindow());
      break;
    }
  }
  return R().Queue.Take(Msg, Wnd, FilterMin, FilterMax, (RemoveMsg & PM_REMOVE) != 0, TickNow()) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG *Msg) {
  Record("TranslateMessage", MessageArgs(Msg));
  if (!Msg) return FALSE;
  const UINT M = Msg->message;
  return M == WM_KEYDOWN || M == WM_KEYUP || M == WM_SYSKEYDOWN || M == WM_SYSKEYUP;
}

LRESULT DispatchMessageA(const MSG *Msg) {
  Record("DispatchMessageA", MessageArgs(Msg));
  if (!Msg) return 0;
  if (Msg->message == WM_TIMER && Msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(Msg->lParam)(Msg->hwnd, WM_TIMER, Msg->wParam, TickNow());
    return 0;
  }
  const FakeWindow *W = Alive(Msg->hwnd);
  if (!W || !W->Proc) return 0;
  return W->Proc(Msg->hwnd, Msg->message, Msg->wParam, Msg->lParam);
}

LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Record("DefWindowProcA", {WindowName(Wnd), MessageName(Msg), Dec(static_cast<long long>(WParam)), Dec(LParam)});
  if (Msg == WM_CLOSE) DestroyWindow(Wnd);
  return 0;
}

void PostQuitMessage(int ExitCode) {
  Record("PostQuitMessage", {Dec(ExitCode)});
  R().Queue.PostQuit(ExitCode, TickNow());
}

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc) {
  Record("SetTimer", {WindowName(Wnd), Dec(static_cast<long long>(IdEvent)), Dec(Elapse),
                      Named(reinterpret_cast<const void *>(TimerFunc), "timerproc")});
  if (Wnd && !Alive(Wnd)) return 0;
  return R().Queue.SetTimer(Wnd, IdEvent, Elapse, TimerFunc, TickNow());
}

int ShowCursor(BOOL Show) {
  Record("ShowCursor", {Dec(Show)});
  return Show ? ++R().CursorCount : --R().CursorCount;
}

BOOL GetCursorPos(POINT *Point) {
  Record("GetCursorPos", {});
  if (!Point) return FALSE;
  *Point = R().Cursor;
  return TRUE;
}

BOOL SystemParametersInfoA(UINT Action, UINT Param, void *Data, UINT WinIni) {
  Record("SystemParametersInfoA", {Hex(Action), Dec(Param), Data ? "data" : "0", Dec(WinIni)});
  if (Action != SPI_GETWORKAREA || !Data) return FALSE;
  *static_cast<RECT *>(Data) = R().WorkArea;
  return TRUE;
}

BOOL EnumDisplaySettingsA(const char *DeviceName, DWORD ModeNum, DEVMODEA *DevMode) {
  Record("EnumDisplaySettingsA",
         {Quoted(DeviceName), ModeNum == ENUM_CURRENT_SETTINGS    ? std::string("ENUM_CURRENT_SETTINGS")
                              : ModeNum == ENUM_REGISTRY_SETTINGS ? std::string("ENUM_REGISTRY_SETTINGS")
                                                                  : Dec(ModeNum)});
  if (!DevMode || DeviceName) return FALSE;
  // One mode: the current one, under every number that names a mode.
  if (ModeNum != 0 && ModeNum != ENUM_CURRENT_SETTINGS && ModeNum != ENUM_REGISTRY_SETTINGS) return FALSE;
  *DevMode = CurrentMode();
  return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA *DevMode, DWORD Flags) {
  Record("ChangeDisplaySettingsA", {DevMode ? ModeText(*DevMode) : "0", Dec(Flags)});
  if (!DevMode) {
    if (!(Flags & CDS_TEST)) R().ModeChanged = false;
    return DISP_CHANGE_SUCCESSFUL;
  }
  R().LastRequest = *DevMode;
  if (R().ChangeResult == DISP_CHANGE_SUCCESSFUL && !(Flags & CDS_TEST)) R().ModeChanged = true;
  return R().ChangeResult;
}

DWORD GetTickCount() {
  Record("GetTickCount", {});
  const DWORD Now = TickNow();
  Recording::AdvanceTicks(R().TickStep);
  return Now;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER *Count) {
  Record("QueryPerformanceCounter", {});
  if (!Count) return FALSE;
  Count->QuadPart = static_cast<long long>(R().Micros);
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER *Frequency) {
  Record("QueryPerformanceFrequency", {});
  if (!Frequency) return FALSE;
  Frequency->QuadPart = 1000000;
  return TRUE;
}

void Sleep(DWORD Milliseconds) {
  Record("Sleep", {Dec(Milliseconds)});
  Recording::AdvanceTicks(Milliseconds);
}

BOOL DeleteFileA(const char *FileName) {
  Record("DeleteFileA", {Quoted(FileName)});
  if (!FileName) return FALSE;
  if (!R().ReallyDelete) return TRUE;
  return ::unlink(ResolveFileName(FileName).c_str()) == 0 ? TRUE : FALSE;
}

BOOL wglMakeCurrent(HDC Dc, HGLRC Rc) {
  Record("wglMakeCurrent", {DcName(Dc), Named(Rc, "hglrc")});
  return Rc == nullptr || Dc != nullptr ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC Rc) {
  Record("wglDeleteContext", {Named(Rc, "hglrc")});
  return Rc ? TRUE : FALSE;
}

int MessageBoxA(HWND Wnd, const char *Text, const char *Caption, UINT Type) {
  Record("MessageBoxA", {WindowName(Wnd), Quoted(Text), Quoted(Caption), Dec(Type)});
  return IDOK;
}

unsigned Get8087CW() {
  Record("Get8087CW", {});
  return platform_detail::ReadFloatControlWord();
}

void Set8087CW(unsigned ControlWord) {
  Record("Set8087CW", {Hex(ControlWord)});
  platform_detail::WriteFloatControlWord(ControlWord);
}
