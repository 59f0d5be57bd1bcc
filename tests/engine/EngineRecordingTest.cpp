// The engine window against the recording window system: which calls each
// operation makes, in which order, and the frame timing it keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "Veltrane.h"

namespace {

using Log = std::vector<std::string>;

std::string HexWord(unsigned Value) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "0x%08X", Value);
  return Text;
}

// The window procedure the launcher would hand over: it records every message,
// counts frames per second on the timer and closes the engine on WM_CLOSE.
struct Launcher {
  TVeltraneEngine *Engine = nullptr;
  std::vector<UINT> Messages;
  std::vector<WPARAM> Params;
};
Launcher *Current = nullptr;

LRESULT TestProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Current->Messages.push_back(Msg);
  Current->Params.push_back(WParam);
  switch (Msg) {
  case WM_TIMER: Current->Engine->UpdateFPS(); return 0;
  case WM_CLOSE: Current->Engine->Close(); return 0;
  case WM_DESTROY: PostQuitMessage(0); return 0;
  case WM_KEYDOWN: case WM_KEYUP: return 0;
  default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

class EngineRecording : public ::testing::Test {
protected:
  void SetUp() override {
    Recording::Reset();
    Current = &State;
  }
  void TearDown() override { Current = nullptr; }

  // An engine made at the given tick count, with the log then cleared.
  TVeltraneEngine &Make(DWORD StartTicks = 0) {
    Recording::SetTickCount(StartTicks);
    Engine.reset(TVeltraneEngine::Create(TestProc));
    State.Engine = Engine.get();
    Recording::ClearLog();
    return *Engine;
  }

  Launcher State;
  std::unique_ptr<TVeltraneEngine> Engine;
};

TEST_F(EngineRecording, CreateRegistersMakesAndShowsTheWindow) {
  Recording::SetTickCount(4242);
  const unsigned ControlWord = Get8087CW();
  Recording::ClearLog();
  Engine.reset(TVeltraneEngine::Create(TestProc));

  const Log Expected = {
      "GetModuleHandleA(0)",
      "LoadCursorA(0,IDC_ARROW)",
      "GetStockObject(4)",
      "RegisterClassA(0x00000023,wndproc,0,0,hinstance,0,hcursor,hbrush,0,\"VeltraneWindow\")",
      "Get8087CW()",
      "GetModuleHandleA(0)",
      "CreateWindowExA(0x00000000,\"VeltraneWindow\",\"Veltrane\",0x00CF0000,CW_USEDEFAULT,CW_USEDEFAULT,"
      "CW_USEDEFAULT,CW_USEDEFAULT,0,0,hinstance,0)",
      "Set8087CW(" + HexWord(ControlWord) + ")",
      "GetStartupInfoA()",
      "ShowWindow(hwnd,10)",
      "UpdateWindow(hwnd)",
      "GetTickCount()",
  };
  EXPECT_EQ(Recording::Log(), Expected);

  const WNDCLASSA Class = Recording::RegisteredClass("VeltraneWindow");
  EXPECT_EQ(Class.lpfnWndProc, &TestProc);
  EXPECT_EQ(Class.style, 0x23u);

  EXPECT_EQ(Engine->Handle, Recording::Window());
  EXPECT_EQ(Engine->StartTick, 4242u);
  EXPECT_EQ(Engine->GLContext, nullptr);
  EXPECT_EQ(Engine->Frames, 0u);
  EXPECT_EQ(Engine->Time, 0);
  EXPECT_EQ(Engine->Delta, 0u);
  EXPECT_EQ(Engine->LastTime, 0u);
  EXPECT_EQ(Engine->FPS, 0u);
  EXPECT_EQ(Engine->Reserved, 0u);

  const Recording::WindowState Window = Recording::State();
  EXPECT_TRUE(Window.Visible);
  EXPECT_EQ(Window.Caption, "Veltrane");
  EXPECT_EQ(Window.Style, WS_OVERLAPPEDWINDOW);
}

TEST_F(EngineRecording, CreateShowsWithTheShowCommandTheProcessWasStartedWith) {
  Recording::SetStartupShowCommand(SW_SHOWMAXIMIZED);
  Engine.reset(TVeltraneEngine::Create(TestProc));
  EXPECT_EQ(Recording::Log({"ShowWindow"}), Log{"ShowWindow(hwnd,3)"});
  EXPECT_TRUE(Recording::State().Maximized);
}

TEST_F(EngineRecording, ProcessMessageReadsTheClockTwiceThenPeeksTranslatesAndDispatches) {
  TVeltraneEngine &E = Make();
  EXPECT_FALSE(E.ProcessMessage());
  EXPECT_EQ(Recording::Log(), (Log{"GetTickCount()", "GetTickCount()", "PeekMessageA(0,0,0,1)"}));

  Recording::ClearLog();
  Recording::QueueKeyDown(VK_LEFT);
  EXPECT_TRUE(E.ProcessMessage());
  EXPECT_EQ(Recording::Log(), (Log{"GetTickCount()", "GetTickCount()", "PeekMessageA(0,0,0,1)",
                                   "TranslateMessage(hwnd,WM_KEYDOWN,37,1)",
                                   "DispatchMessageA(hwnd,WM_KEYDOWN,37,1)"}));
  EXPECT_EQ(State.Messages, std::vector<UINT>{WM_KEYDOWN});
  EXPECT_EQ(E.Frames, 2u);
}

TEST_F(EngineRecording, ProcessMessageHandlesOneMessagePerCall) {
  TVeltraneEngine &E = Make();
  Recording::QueueKeyDown('A');
  Recording::QueueKeyUp('A');
  Recording::QueueClick(5, 6);
  for (int I = 0; I < 4; ++I) EXPECT_TRUE(E.ProcessMessage()) << I;
  EXPECT_FALSE(E.ProcessMessage());
  EXPECT_EQ(State.Messages, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(State.Params[1], static_cast<WPARAM>('A'));
  EXPECT_EQ(E.Frames, 5u);
}

TEST_F(EngineRecording, FirstFrameAfterCreationMeasuresFromTheStart) {
  TVeltraneEngine &E = Make(1000);
  Recording::AdvanceTicks(40);
  E.ProcessMessage();
  EXPECT_EQ(E.Delta, 40u);
  EXPECT_EQ(E.LastTime, 0u);
  EXPECT_EQ(E.Time, 20);
  EXPECT_EQ(E.Frames, 1u);
}

TEST_F(EngineRecording, DeltaTakesTheFirstReadingAndTimeTheSecond) {
  TVeltraneEngine &E = Make(500);
  Recording::AdvanceTicks(100);
  Recording::SetTickStep(7);   // the second reading is 7 ms after the first
  E.ProcessMessage();
  EXPECT_EQ(E.Delta, 100u);
  EXPECT_EQ(E.Time, 53);       // (107 + 0) / 2, truncated
  Recording::SetTickStep(0);
  Recording::AdvanceTicks(10);   // clock now 500 + 100 + 14 + 10
  E.ProcessMessage();
  EXPECT_EQ(E.LastTime, 53u);
  EXPECT_EQ(E.Delta, 124u - 53u);
  EXPECT_EQ(E.Time, (124 + 53) / 2);
}

TEST_F(EngineRecording, SteadyFramesSettleOnePeriodBehindWithDeltaTwicePeriod) {
  TVeltraneEngine &E = Make(77);
  constexpr DWORD Period = 16;
  for (int Frame = 1; Frame <= 60; ++Frame) {
    Recording::AdvanceTicks(Period);
    E.ProcessMessage();
  }
  EXPECT_EQ(E.Time, static_cast<int32_t>(60 * Period - Period));
  EXPECT_EQ(E.Delta, 2 * Period);
  EXPECT_EQ(E.LastTime, 59 * Period - Period);
  EXPECT_EQ(E.Frames, 60u);
}

TEST_F(EngineRecording, TheTickCountWrapsWithoutDisturbingTheTiming) {
  TVeltraneEngine &E = Make(0xFFFFFF00u);
  Recording::AdvanceTicks(0x200);   // the count is now 0x100, past 2^32
  E.ProcessMessage();
  EXPECT_EQ(Recording::Ticks(), 0x100u);
  EXPECT_EQ(E.Delta, 0x200u);
  EXPECT_EQ(E.Time, 0x100);
  EXPECT_EQ(E.LastTime, 0u);
}

TEST_F(EngineRecording, TimingIsTheSameWhereverTheTickCountStandsWrapOrNot) {
  // Uneven frames, once far from the wrap and once straddling it.
  const DWORD Periods[] = {3, 17, 16, 40, 1, 0, 250, 16, 16, 33, 7, 1000, 16, 16, 16};
  struct Fields {
    int32_t Time;
    uint32_t Delta, LastTime;
  };
  auto Run = [&](DWORD Start) {
    std::vector<Fields> Seen;
    TVeltraneEngine &E = Make(Start);
    for (const DWORD Period : Periods) {
      Recording::AdvanceTicks(Period);
      E.ProcessMessage();
      Seen.push_back(Fields{E.Time, E.Delta, E.LastTime});
    }
    return Seen;
  };
  const std::vector<Fields> Far = Run(1000);
  const std::vector<Fields> Across = Run(0xFFFFFF80u);   // wraps during the 250 ms frame
  ASSERT_EQ(Far.size(), Across.size());
  for (std::size_t I = 0; I < Far.size(); ++I) {
    EXPECT_EQ(Far[I].Time, Across[I].Time) << I;
    EXPECT_EQ(Far[I].Delta, Across[I].Delta) << I;
    EXPECT_EQ(Far[I].LastTime, Across[I].LastTime) << I;
  }
}

TEST_F(EngineRecording, TheMidpointIsSignedTimePlusUnsignedLastTimeTruncatedTowardZero) {
  TVeltraneEngine &E = Make(0);
  Recording::SetTickCount(0xFFFFFFFDu);   // elapsed reads as -3 when taken signed
  E.ProcessMessage();
  EXPECT_EQ(E.Time, -1);                  // -3 / 2 toward zero, not -2
  EXPECT_EQ(E.Delta, 0xFFFFFFFDu);

  TVeltraneEngine &F = Make(0);
  Recording::SetTickCount(0x80000010u);
  F.ProcessMessage();
  EXPECT_EQ(F.Time, -1073741816);         // (-2147483632 + 0) / 2
  Recording::SetTickCount(0x80000020u);
  F.ProcessMessage();
  EXPECT_EQ(F.LastTime, 3221225480u);     // the previous Time taken unsigned
  EXPECT_EQ(F.Time, 536870932);           // (-2147483616 + 3221225480) / 2
}

TEST_F(EngineRecording, TimerMessagesTurnTheFrameCountIntoFramesPerSecond) {
  TVeltraneEngine &E = Make(0);
  SetTimer(E.Handle, 1, 1000, nullptr);
  for (int Frame = 1; Frame <= 99; ++Frame) {
    Recording::AdvanceTicks(10);
    E.ProcessMessage();
  }
  EXPECT_EQ(E.Frames, 99u);
  EXPECT_EQ(E.FPS, 0u);
  Recording::AdvanceTicks(10);   // one second: the timer is due in this frame
  EXPECT_TRUE(E.ProcessMessage());
  EXPECT_EQ(E.FPS, 100u);
  EXPECT_EQ(E.Frames, 0u);

  // A slower second, with input waiting: frames count whether or not a message came.
  for (int Frame = 1; Frame <= 40; ++Frame) {
    if (Frame % 4 == 1) Recording::QueueKeyDown(VK_UP);
    Recording::AdvanceTicks(25);
    E.ProcessMessage();
  }
  EXPECT_EQ(E.FPS, 40u);
  EXPECT_EQ(E.Frames, 0u);
  EXPECT_EQ(std::count(State.Messages.begin(), State.Messages.end(), WM_TIMER), 2);
}

TEST_F(EngineRecording, UpdateFpsMovesFramesIntoFps) {
  TVeltraneEngine &E = Make();
  E.Frames = 57;
  E.UpdateFPS();
  EXPECT_EQ(E.FPS, 57u);
  EXPECT_EQ(E.Frames, 0u);
}

TEST_F(EngineRecording, SetDisplayModeNamesExactlyTheNonZeroProperties) {
  TVeltraneEngine &E = Make();
  EXPECT_TRUE(E.SetDisplayMode(800, 600, 16, 0));
  EXPECT_EQ(Recording::Log(), (Log{"EnumDisplaySettingsA(0,0)", "ChangeDisplaySettingsA(800x600x16@0/0x001C0000,4)"}));
  DEVMODEA Mode = Recording::LastDisplayModeRequest();
  EXPECT_EQ(Mode.dmFields, 0x001C0000u);
  EXPECT_EQ(Mode.dmSize, 156u);
  EXPECT_STREQ(reinterpret_cast<const char *>(Mode.dmDeviceName), "Recording");   // from the enumeration
  EXPECT_TRUE(Recording::DisplayModeChanged());

  EXPECT_TRUE(E.SetDisplayMode(1024, 768, 32, 85));
  EXPECT_EQ(Recording::LastDisplayModeRequest().dmFields, 0x005C0000u);
  EXPECT_EQ(Recording::LastDisplayModeRequest().dmDisplayFrequency, 85u);
  EXPECT_TRUE(E.SetDisplayMode(0, 0, 0, 0));
  EXPECT_EQ(Recording::LastDisplayModeRequest().dmFields, 0u);
  EXPECT_TRUE(E.SetDisplayMode(0, 0, 0, 60));
  EXPECT_EQ(Recording::LastDisplayModeRequest().dmFields, 0x00400000u);
}

TEST_F(EngineRecording, SetDisplayModeAnswersFalseOnAnyRefusal) {
  TVeltraneEngine &E = Make();
  Recording::SetDisplayModeResult(DISP_CHANGE_FAILED);
  EXPECT_FALSE(E.SetDisplayMode(640, 480, 16, 0));
  Recording::SetDisplayModeResult(DISP_CHANGE_BADMODE);
  EXPECT_FALSE(E.SetDisplayMode(640, 480, 16, 0));
  Recording::SetDisplayModeResult(1);   // DISP_CHANGE_RESTART: not a success either
  EXPECT_FALSE(E.SetDisplayMode(640, 480, 16, 0));
  EXPECT_FALSE(Recording::DisplayModeChanged());
  EXPECT_EQ(Recording::Count("ShowWindow") + Recording::Count("MoveWindow"), 0u);   // the window is untouched
}

TEST_F(EngineRecording, RestoreDisplayModeAsksForTheStoredMode) {
  TVeltraneEngine &E = Make();
  E.SetDisplayMode(800, 600, 16, 0);
  Recording::ClearLog();
  E.RestoreDisplayMode();
  EXPECT_EQ(Recording::Log(), Log{"ChangeDisplaySettingsA(0,0)"});
  EXPECT_FALSE(Recording::DisplayModeChanged());
}

TEST_F(EngineRecording, CloseReleasesTheGlContextRestoresTheDisplayAndDestroysTheWindow) {
  TVeltraneEngine &E = Make();
  static char FakeContext;
  E.GLContext = reinterpret_cast<HGLRC>(&FakeContext);
  const HWND Window = E.Handle;
  E.Close();
  EXPECT_EQ(Recording::Log(), (Log{"GetDC(hwnd)", "wglMakeCurrent(hdc,0)", "wglDeleteContext(hglrc)",
                                   "ChangeDisplaySettingsA(0,0)", "ReleaseDC(hwnd,hdc)", "DestroyWindow(hwnd)",
                                   "PostQuitMessage(0)"}));
  EXPECT_EQ(State.Messages, std::vector<UINT>{WM_DESTROY});
  EXPECT_FALSE(Recording::State(Window).Exists);
  EXPECT_EQ(E.Handle, Window);                               // both keep their old values
  EXPECT_EQ(E.GLContext, reinterpret_cast<HGLRC>(&FakeContext));
}

TEST_F(EngineRecording, CloseWithoutAGlContextStillRestoresAndDestroys) {
  TVeltraneEngine &E = Make();
  E.Close();
  EXPECT_EQ(Recording::LogExcept({"PostQuitMessage"}),
            (Log{"GetDC(hwnd)", "ChangeDisplaySettingsA(0,0)", "ReleaseDC(hwnd,hdc)", "DestroyWindow(hwnd)"}));
  EXPECT_EQ(State.Messages, std::vector<UINT>{WM_DESTROY});
}

TEST_F(EngineRecording, ACloseRequestLeadsToCloseAndDestroy) {
  TVeltraneEngine &E = Make();
  Recording::QueueClose();
  Recording::QueueKeyDown(VK_ESCAPE);   // dropped with the window
  EXPECT_TRUE(E.ProcessMessage());
  EXPECT_EQ(State.Messages, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  EXPECT_TRUE(Recording::QuitPosted());
  // The loop runs on after the window is gone: the quit message is taken and
  // reaches no procedure, and the window's operations fail quietly.
  EXPECT_TRUE(E.ProcessMessage());
  EXPECT_FALSE(E.ProcessMessage());
  EXPECT_EQ(State.Messages.size(), 2u);
  EXPECT_EQ(E.Left(), 0);
  EXPECT_EQ(E.Width(), 0);
  E.SetWidth(640);
  E.Show();
  EXPECT_FALSE(Recording::State(E.Handle).Visible);
}

TEST_F(EngineRecording, SizeAndPositionActOnTheOuterRectangle) {
  TVeltraneEngine &E = Make();
  Recording::SetWindowRect(RECT{10, 20, 650, 500});
  EXPECT_EQ(E.Left(), 10);
  EXPECT_EQ(E.Top(), 20);
  EXPECT_EQ(E.Width(), 640);
  EXPECT_EQ(E.Height(), 480);
  Recording::ClearLog();
  E.SetWidth(800);
  E.SetHeight(600);
  EXPECT_EQ(Recording::Log(), (Log{"GetWindowRect(hwnd)", "MoveWindow(hwnd,10,20,800,480,1)",
                                   "GetWindowRect(hwnd)", "MoveWindow(hwnd,10,20,800,600,1)"}));
  const RECT Rect = Recording::State().Rect;
  EXPECT_EQ(Rect.left, 10);
  EXPECT_EQ(Rect.top, 20);
  EXPECT_EQ(Rect.right, 810);
  EXPECT_EQ(Rect.bottom, 620);
}

// Centred on the work area, whatever the size; a window larger than the
// display keeps its caption and top-left corner in view.
TEST_F(EngineRecording, CentringKeepsTheWindowOnTheScreen) {
  TVeltraneEngine &E = Make();
  Recording::SetWorkArea(RECT{0, 0, 1280, 1024});
  const auto CentredAt = [&](LONG Width, LONG Height) {
    Recording::SetWindowRect(RECT{700, 900, 700 + Width, 900 + Height});
    E.CentreOnScreen();
    const RECT Rect = Recording::State().Rect;
    EXPECT_EQ(Rect.right - Rect.left, Width);
    EXPECT_EQ(Rect.bottom - Rect.top, Height);
    return std::pair{Rect.left, Rect.top};
  };
  EXPECT_EQ(CentredAt(640, 480), (std::pair<LONG, LONG>{320, 272}));
  EXPECT_EQ(CentredAt(1280, 1024), (std::pair<LONG, LONG>{0, 0}));
  EXPECT_EQ(CentredAt(1600, 900), (std::pair<LONG, LONG>{0, 62}));
  Recording::SetWorkArea(RECT{100, 30, 1380, 1054});  // a panel on the left and one on top
  EXPECT_EQ(CentredAt(640, 480), (std::pair<LONG, LONG>{420, 302}));
}

TEST_F(EngineRecording, StyleShowHideMaximizeAndCaption) {
  TVeltraneEngine &E = Make();
  E.SetStyle(WS_POPUP);
  E.Maximize();
  E.Hide();
  E.Show();
  E.SetCaption("Veltrane Kestrove");
  EXPECT_EQ(Recording::Log(), (Log{"ShowWindow(hwnd,0)", "SetWindowLongA(hwnd,-16,0x80000000)", "ShowWindow(hwnd,5)",
                                   "ShowWindow(hwnd,3)", "ShowWindow(hwnd,0)", "ShowWindow(hwnd,5)",
                                   "SetWindowTextA(hwnd,\"Veltrane Kestrove\")"}));
  const Recording::WindowState Window = Recording::State();
  EXPECT_EQ(Window.Style, WS_POPUP);
  EXPECT_TRUE(Window.Visible);
  EXPECT_TRUE(Window.Maximized);
  EXPECT_EQ(Window.Caption, "Veltrane Kestrove");
  EXPECT_EQ(E.DeviceContext(), reinterpret_cast<HDC>(E.Handle));
}

TEST_F(EngineRecording, AnEngineWithoutAWindowFailsQuietly) {
  TVeltraneEngine E;   // as when creation failed: no window
  EXPECT_EQ(E.Left(), 0);
  EXPECT_EQ(E.Height(), 0);
  E.SetWidth(640);
  E.SetStyle(WS_POPUP);
  E.SetCaption("x");
  EXPECT_EQ(E.DeviceContext(), nullptr);
  EXPECT_FALSE(E.ProcessMessage());
  E.Close();
  EXPECT_EQ(Recording::Count("DestroyWindow"), 1u);
}

} // namespace
