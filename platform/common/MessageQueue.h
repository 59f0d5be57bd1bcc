// MessageQueue.h -- the thread's message queue as both platforms keep it: posted
// messages in order, the quit flag, and the window timers whose WM_TIMER is
// made up only when nothing else is waiting, as the window system does.
#pragma once
#include <cstddef>
#include <deque>
#include <vector>
#include "winapi.h"

namespace platform_detail {

class MessageQueue {
public:
  // At the back; a WM_MOUSEMOVE replaces one still waiting for the same window,
  // and an auto-repeated key-down whose key-down still waits adds to its repeat count.
  void Post(const MSG &Msg);
  void PostQuit(int ExitCode, DWORD Now);
  // The first waiting message that passes the filters; failing that WM_QUIT when
  // it was posted; failing that WM_TIMER of the first due timer. Remove takes it.
  bool Take(MSG *Out, HWND Filter, UINT FilterMin, UINT FilterMax, bool Remove, DWORD Now);
  // Sets or replaces a timer; answers its identifier (a fresh one for no window).
  UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc, DWORD Now);
  // A destroyed window's messages and timers go with it.
  void ForgetWindow(HWND Wnd);
  // Waiting messages for From become messages for To.
  void Rebind(HWND From, HWND To);
  void Clear();
  const std::deque<MSG> &Waiting() const { return Messages; }
  bool QuitPosted() const { return QuitFlag; }
  int QuitCode() const { return ExitCodeOfQuit; }

private:
  bool MergeAutoRepeat(const MSG &Msg);

  struct Timer {
    HWND Wnd;
    UINT_PTR Id;
    UINT Elapse;
    TIMERPROC Func;
    DWORD Due;
  };
  std::deque<MSG> Messages;
  std::vector<Timer> Timers;
  bool QuitFlag = false;
  int ExitCodeOfQuit = 0;
  DWORD QuitTime = 0;
  UINT_PTR NextThreadTimerId = 1;
};

// Whether a message for Wnd of kind Message passes PeekMessage's filters.
bool PassesFilter(HWND Wnd, UINT Message, HWND Filter, UINT FilterMin, UINT FilterMax);

} // namespace platform_detail
