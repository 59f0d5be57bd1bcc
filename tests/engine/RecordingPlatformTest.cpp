// The recording window system itself: the queue, timers, windows and log that
// engine and launcher tests drive.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "RecordingPlatform.h"

namespace {

using Log = std::vector<std::string>;

std::vector<UINT> Received;
LRESULT RecordingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Received.push_back(Msg);
  return Msg == WM_CLOSE ? DefWindowProcA(Wnd, Msg, WParam, LParam) : 0;
}

std::vector<UINT> TimerCalls;
void RecordingTimerProc(HWND, UINT Msg, UINT_PTR Id, DWORD) { TimerCalls.push_back(Msg + static_cast<UINT>(Id)); }

class RecordingPlatform : public ::testing::Test {
protected:
  void SetUp() override {
    Recording::Reset();
    Received.clear();
    TimerCalls.clear();
    WNDCLASSA Class{};
    Class.lpfnWndProc = RecordingProc;
    Class.lpszClassName = "TestWindow";
    RegisterClassA(&Class);
    Wnd = CreateWindowExA(0, "testwindow", "T", WS_OVERLAPPEDWINDOW, 5, 6, 300, 200, nullptr, nullptr, nullptr,
                          nullptr);
    Recording::ClearLog();
  }

  // Takes every waiting message, dispatching each; answers their kinds.
  std::vector<UINT> Drain() {
    std::vector<UINT> Kinds;
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      Kinds.push_back(Msg.message);
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
    return Kinds;
  }

  HWND Wnd = nullptr;
};

TEST_F(RecordingPlatform, WindowsAreMadeFromRegisteredClassesMatchedIgnoringCase) {
  ASSERT_NE(Wnd, nullptr);
  EXPECT_EQ(Recording::Window(), Wnd);
  const Recording::WindowState State = Recording::State();
  EXPECT_TRUE(State.Exists);
  EXPECT_FALSE(State.Visible);   // shown only on request
  EXPECT_EQ(State.ClassName, "TestWindow");
  EXPECT_EQ(State.Rect.left, 5);
  EXPECT_EQ(State.Rect.bottom, 206);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  WNDCLASSA Again{};
  Again.lpszClassName = "TESTWINDOW";
  EXPECT_EQ(RegisterClassA(&Again), 0);   // registered once
}

TEST_F(RecordingPlatform, ResetForgetsEverything) {
  Recording::QueueKeyDown('X');
  Recording::SetTickCount(99);
  Recording::SetDisplayModeResult(DISP_CHANGE_FAILED);
  ShowCursor(FALSE);
  SetTimer(Wnd, 1, 10, nullptr);
  PostQuitMessage(3);
  Recording::Reset();
  EXPECT_TRUE(Recording::Calls().empty());
  EXPECT_EQ(Recording::Window(), nullptr);
  EXPECT_FALSE(Recording::ClassRegistered("TestWindow"));
  EXPECT_TRUE(Recording::QueuedMessages().empty());
  EXPECT_FALSE(Recording::QuitPosted());
  EXPECT_EQ(Recording::Ticks(), 0u);
  EXPECT_EQ(Recording::CursorShowCount(), 0);
  Recording::AdvanceTicks(1000);
  MSG Msg;
  EXPECT_FALSE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));   // the timer went too
  DEVMODEA Mode{};
  EXPECT_EQ(ChangeDisplaySettingsA(&Mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(RecordingPlatform, MessagesComeInOrderThenQuitThenTimers) {
  SetTimer(Wnd, 7, 100, nullptr);
  Recording::AdvanceTicks(100);
  Recording::QueueKeyDown(VK_RIGHT);
  PostQuitMessage(4);
  Recording::QueueMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  MSG Msg;
  std::vector<UINT> Kinds;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    Kinds.push_back(Msg.message);
    if (Msg.message == WM_QUIT) {
      EXPECT_EQ(Msg.wParam, 4u);
      EXPECT_EQ(Msg.hwnd, nullptr);
    } else if (Msg.message == WM_TIMER) {
      EXPECT_EQ(Msg.wParam, 7u);
    }
  }
  EXPECT_EQ(Kinds, (std::vector<UINT>{WM_KEYDOWN, WM_LBUTTONDOWN, WM_QUIT, WM_TIMER}));
}

TEST_F(RecordingPlatform, PeekingWithoutRemovingAndFilters) {
  Recording::QueueKeyDown('Q');
  Recording::QueueClose();
  MSG Msg;
  ASSERT_TRUE(PeekMessageA(&Msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(Msg.message, WM_KEYDOWN);
  EXPECT_EQ(Recording::QueuedMessages().size(), 2u);
  ASSERT_TRUE(PeekMessageA(&Msg, Wnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  EXPECT_EQ(Msg.message, WM_CLOSE);
  static char Other;
  EXPECT_FALSE(PeekMessageA(&Msg, reinterpret_cast<HWND>(&Other), 0, 0, PM_REMOVE));
  ASSERT_EQ(Recording::QueuedMessages().size(), 1u);
  EXPECT_EQ(Recording::QueuedMessages()[0].wParam, static_cast<WPARAM>('Q'));
}

TEST_F(RecordingPlatform, TimersWaitBehindOtherMessagesAndRepeat) {
  EXPECT_EQ(SetTimer(Wnd, 1, 1000, nullptr), 1u);
  Recording::AdvanceTicks(999);
  EXPECT_TRUE(Drain().empty());
  Recording::AdvanceTicks(1);
  Recording::QueueKeyDown(VK_DOWN);
  MSG Msg;
  ASSERT_TRUE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Msg.message, WM_KEYDOWN);
  ASSERT_TRUE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Msg.message, WM_TIMER);
  EXPECT_FALSE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));   // one per period, never a backlog
  Recording::AdvanceTicks(5000);
  EXPECT_EQ(Drain(), std::vector<UINT>{WM_TIMER});
}

TEST_F(RecordingPlatform, ATimerProcedureIsCalledInsteadOfTheWindowProcedure) {
  SetTimer(Wnd, 2, 50, RecordingTimerProc);
  Recording::AdvanceTicks(50);
  Drain();
  EXPECT_EQ(TimerCalls, std::vector<UINT>{WM_TIMER + 2});
  EXPECT_TRUE(Received.empty());
}

TEST_F(RecordingPlatform, MouseMovesCoalesceWhileWaiting) {
  Recording::QueueMessage(WM_MOUSEMOVE, 0, 1);
  Recording::QueueKeyDown(VK_UP);
  Recording::QueueMessage(WM_MOUSEMOVE, 0, 2);
  const std::vector<MSG> Waiting = Recording::QueuedMessages();
  ASSERT_EQ(Waiting.size(), 2u);
  EXPECT_EQ(Waiting[0].lParam, 2);
}

// Repeats of a held key add to the repeat count of its key-down while that
// still waits, so the key-up is never queued behind a backlog of repeats.
TEST_F(RecordingPlatform, AutoRepeatsCountOnTheWaitingKeyDown) {
  Recording::QueueKeyDown(VK_RIGHT);
  Recording::QueueKeyDown(VK_UP);
  for (int i = 0; i < 20; ++i) Recording::QueueKeyRepeat(VK_RIGHT);
  Recording::QueueKeyUp(VK_RIGHT);
  Recording::QueueKeyRepeat(VK_UP);
  std::vector<MSG> Waiting = Recording::QueuedMessages();
  ASSERT_EQ(Waiting.size(), 3u);
  EXPECT_EQ(Waiting[0].wParam, VK_RIGHT);
  EXPECT_EQ(Waiting[0].lParam & 0xFFFF, 21);
  EXPECT_EQ(Waiting[1].wParam, VK_UP);
  EXPECT_EQ(Waiting[1].lParam & 0xFFFF, 2);
  EXPECT_EQ(Waiting[2].message, static_cast<UINT>(WM_KEYUP));

  // Once the key-down was taken, a repeat is a message of its own again; after
  // the key-up a repeat never joins the earlier key-down.
  Drain();
  Recording::QueueKeyRepeat(VK_UP);
  Recording::QueueKeyUp(VK_UP);
  Recording::QueueKeyRepeat(VK_UP);
  Waiting = Recording::QueuedMessages();
  ASSERT_EQ(Waiting.size(), 3u);
  EXPECT_EQ(Waiting[0].lParam & 0xFFFF, 1);
  EXPECT_EQ(Waiting[2].message, static_cast<UINT>(WM_KEYDOWN));

  // The count stops at its 16 bits.
  Drain();
  Recording::QueueKeyDown('A');
  for (int i = 0; i < 70000; ++i) Recording::QueueKeyRepeat('A');
  EXPECT_EQ(Recording::QueuedMessages().at(0).lParam & 0xFFFF, 0xFFFF);
}

TEST_F(RecordingPlatform, DestroyingSendsWmDestroyAndDropsTheWindowsMessagesAndTimers) {
  Recording::QueueKeyDown('A');
  SetTimer(Wnd, 1, 10, nullptr);
  EXPECT_TRUE(DestroyWindow(Wnd));
  EXPECT_EQ(Received, std::vector<UINT>{WM_DESTROY});
  Recording::AdvanceTicks(100);
  EXPECT_TRUE(Drain().empty());
  EXPECT_FALSE(Recording::State(Wnd).Exists);
  EXPECT_FALSE(DestroyWindow(Wnd));
  RECT Rect{1, 2, 3, 4};
  EXPECT_FALSE(GetWindowRect(Wnd, &Rect));
  EXPECT_EQ(Rect.left, 1);   // untouched
  EXPECT_EQ(Received.size(), 1u);
}

LRESULT DestroyAgainProc(HWND Wnd, UINT Msg, WPARAM, LPARAM) {
  Received.push_back(Msg);
  if (Msg == WM_DESTROY) {
    EXPECT_FALSE(DestroyWindow(Wnd));
  }
  return 0;
}

TEST_F(RecordingPlatform, DestroyingAgainFromInsideWmDestroyDoesNothing) {
  WNDCLASSA Class{};
  Class.lpfnWndProc = DestroyAgainProc;
  Class.lpszClassName = "Again";
  RegisterClassA(&Class);
  const HWND Again = CreateWindowExA(0, "Again", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(DestroyWindow(Again));
  EXPECT_EQ(Received, std::vector<UINT>{WM_DESTROY});
  EXPECT_FALSE(Recording::State(Again).Exists);
}

TEST_F(RecordingPlatform, DefaultHandlingOfACloseRequestDestroysTheWindow) {
  Recording::QueueClose();
  Drain();
  EXPECT_EQ(Received, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(Recording::State(Wnd).Exists);
  EXPECT_EQ(Recording::Log({"DefWindowProcA", "DestroyWindow"}),
            (Log{"DefWindowProcA(hwnd,WM_CLOSE,0,0)", "DestroyWindow(hwnd)"}));
}

TEST_F(RecordingPlatform, InputQueuedBeforeTheWindowExistsReachesItOnceMade) {
  Recording::Reset();
  Recording::QueueKeyDown(VK_ESCAPE);
  WNDCLASSA Class{};
  Class.lpfnWndProc = RecordingProc;
  Class.lpszClassName = "Late";
  RegisterClassA(&Class);
  const HWND Late = CreateWindowExA(0, "Late", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  MSG Msg;
  ASSERT_TRUE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Msg.hwnd, Late);
  DispatchMessageA(&Msg);
  EXPECT_EQ(Received, std::vector<UINT>{WM_KEYDOWN});
}

TEST_F(RecordingPlatform, APeekHookCanQueueInputAtAChosenFrame) {
  Recording::OnPeekMessage([](std::size_t Peek) {
    if (Peek == 3) Recording::QueueClose();
  });
  std::vector<BOOL> Got;
  MSG Msg;
  for (int I = 0; I < 4; ++I) {
    Got.push_back(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));
    if (Got.back()) DispatchMessageA(&Msg);
  }
  EXPECT_EQ(Got, (std::vector<BOOL>{FALSE, FALSE, TRUE, FALSE}));
  EXPECT_EQ(Received, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
}

TEST_F(RecordingPlatform, ADisplayModeTestChangesNothing) {
  DEVMODEA Mode{};
  EXPECT_EQ(ChangeDisplaySettingsA(&Mode, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
  EXPECT_FALSE(Recording::DisplayModeChanged());
  EXPECT_EQ(ChangeDisplaySettingsA(&Mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  EXPECT_TRUE(Recording::DisplayModeChanged());
}

TEST_F(RecordingPlatform, TheLogCanBeNarrowed) {
  GetTickCount();
  ShowWindow(Wnd, SW_SHOW);
  MSG Msg;
  PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE);
  SetWindowTextA(Wnd, "Hi");
  EXPECT_EQ(Recording::LogExcept({"GetTickCount", "PeekMessageA"}),
            (Log{"ShowWindow(hwnd,5)", "SetWindowTextA(hwnd,\"Hi\")"}));
  EXPECT_EQ(Recording::Log({"ShowWindow"}), Log{"ShowWindow(hwnd,5)"});
  EXPECT_EQ(Recording::Count("GetTickCount"), 1u);
  ASSERT_EQ(Recording::Calls().size(), 4u);
  EXPECT_EQ(Recording::Calls()[3].Args, (std::vector<std::string>{"hwnd", "\"Hi\""}));
}

TEST_F(RecordingPlatform, TheClockAnswersAndSteps) {
  Recording::SetTickCount(0xFFFFFFFEu);
  Recording::SetTickStep(1);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFEu);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
  EXPECT_EQ(GetTickCount(), 0u);
}

TEST_F(RecordingPlatform, PointerAndCursorCount) {
  Recording::SetCursorPos(-5, 700);
  POINT Point{};
  EXPECT_TRUE(GetCursorPos(&Point));
  EXPECT_EQ(Point.x, -5);
  EXPECT_EQ(Point.y, 700);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(Recording::CursorShowCount(), -1);
}

TEST_F(RecordingPlatform, EnumerationReportsTheCurrentMode) {
  Recording::SetCurrentDisplayMode(1920, 1080, 32, 144);
  DEVMODEA Mode{};
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &Mode));
  EXPECT_EQ(Mode.dmPelsWidth, 1920u);
  EXPECT_EQ(Mode.dmDisplayFrequency, 144u);
  EXPECT_EQ(Mode.dmSize, 156u);
  EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 1, &Mode));
}

TEST_F(RecordingPlatform, DeleteFileRemovesTheFileWhateverTheCaseOfItsName) {
  const std::filesystem::path Dir = std::filesystem::temp_directory_path() /
                                    ("kestrove-recording-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  std::ofstream(Dir / "Temp.Dat") << "saved";
  EXPECT_TRUE(DeleteFileA((Dir / "Temp.DAT").string().c_str()));
  EXPECT_FALSE(std::filesystem::exists(Dir / "Temp.Dat"));
  EXPECT_FALSE(DeleteFileA((Dir / "Temp.DAT").string().c_str()));   // gone
  EXPECT_FALSE(DeleteFileA(Dir.string().c_str()));                  // a directory is no file
  std::ofstream(Dir / "Keep.dat") << "kept";
  Recording::SetDeleteFiles(false);
  EXPECT_TRUE(DeleteFileA((Dir / "Keep.dat").string().c_str()));
  EXPECT_TRUE(std::filesystem::exists(Dir / "Keep.dat"));
  std::filesystem::remove_all(Dir);
  EXPECT_EQ(Recording::Log({"DeleteFileA"}).size(), 4u);
}

} // namespace
