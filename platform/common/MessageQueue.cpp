#include "MessageQueue.h"
#include <algorithm>
#include <cstdint>

namespace platform_detail {

namespace {
constexpr UINT MinimumTimerElapse = 10;   // the window system never times faster
const HWND ThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool IsDue(DWORD Due, DWORD Now) { return static_cast<int32_t>(Now - Due) >= 0; }
} // namespace

bool PassesFilter(HWND Wnd, UINT Message, HWND Filter, UINT FilterMin, UINT FilterMax) {
  if (Filter == ThreadMessagesOnly) {
    if (Wnd != nullptr) return false;
  } else if (Filter != nullptr && Wnd != Filter) {
    return false;
  }
  if (FilterMin == 0 && FilterMax == 0) return true;
  return Message >= FilterMin && Message <= FilterMax;
}

namespace {
bool IsKeyMessage(UINT Message) {
  return Message == WM_KEYDOWN || Message == WM_KEYUP || Message == WM_SYSKEYDOWN || Message == WM_SYSKEYUP;
}
bool IsAutoRepeat(const MSG &Msg) {
  return (Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) && (Msg.lParam & (1 << 30)) != 0;
}
constexpr LPARAM RepeatCountMask = 0xFFFF;
} // namespace

bool MessageQueue::MergeAutoRepeat(const MSG &Msg) {
  // The last waiting key message of this key, if it is still the key-down.
  const auto Last = std::find_if(Messages.rbegin(), Messages.rend(), [&](const MSG &M) {
    return IsKeyMessage(M.message) && M.hwnd == Msg.hwnd && M.wParam == Msg.wParam;
  });
  if (Last == Messages.rend() || Last->message != Msg.message) return false;
  const LPARAM Count = std::min<LPARAM>((Last->lParam & RepeatCountMask) + std::max<LPARAM>(Msg.lParam & RepeatCountMask, 1),
                                        RepeatCountMask);
  Last->lParam = (Last->lParam & ~RepeatCountMask) | Count;
  return true;
}

void MessageQueue::Post(const MSG &Msg) {
  // A key held down repeats faster than a slow frame takes messages; like the
  // window system, count the repeats on the key-down still waiting instead of
  // queueing each, so the key-up is never stuck behind a backlog of repeats.
  if (IsAutoRepeat(Msg) && MergeAutoRepeat(Msg)) return;
  if (Msg.message == WM_MOUSEMOVE) {
    const auto Waiting = std::find_if(Messages.begin(), Messages.end(), [&](const MSG &M) {
      return M.message == WM_MOUSEMOVE && M.hwnd == Msg.hwnd;
    });
    if (Waiting != Messages.end()) {
      *Waiting = Msg;
      return;
    }
  }
  Messages.push_back(Msg);
}

void MessageQueue::PostQuit(int ExitCode, DWORD Now) {
  QuitFlag = true;
  ExitCodeOfQuit = ExitCode;
  QuitTime = Now;
}

bool MessageQueue::Take(MSG *Out, HWND Filter, UINT FilterMin, UINT FilterMax, bool Remove, DWORD Now) {
  const auto Found = std::find_if(Messages.begin(), Messages.end(), [&](const MSG &M) {
    return PassesFilter(M.hwnd, M.message, Filter, FilterMin, FilterMax);
  });
  if (Found != Messages.end()) {
    if (Out) *Out = *Found;
    if (Remove) Messages.erase(Found);
    return true;
  }
  if (QuitFlag && (Filter == nullptr || Filter == ThreadMessagesOnly)) {
    if (Out) *Out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(ExitCodeOfQuit), 0, QuitTime, {0, 0}};
    if (Remove) QuitFlag = false;
    return true;
  }
  for (Timer &T : Timers) {
    if (!IsDue(T.Due, Now) || !PassesFilter(T.Wnd, WM_TIMER, Filter, FilterMin, FilterMax)) continue;
    if (Out) {
      *Out = MSG{T.Wnd, WM_TIMER, T.Id, reinterpret_cast<LPARAM>(T.Func), Now, {0, 0}};
    }
    if (Remove) T.Due = Now + T.Elapse;
    return true;
  }
  return false;
}

UINT_PTR MessageQueue::SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc, DWORD Now) {
  Elapse = std::max(Elapse, MinimumTimerElapse);
  if (Wnd == nullptr) {
    // Timers without a window get identifiers of their own; IdEvent names one to replace.
    const auto Existing = std::find_if(Timers.begin(), Timers.end(),
                                       [&](const Timer &T) { return !T.Wnd && T.Id == IdEvent; });
    if (IdEvent != 0 && Existing != Timers.end()) {
      *Existing = Timer{nullptr, IdEvent, Elapse, TimerFunc, Now + Elapse};
      return IdEvent;
    }
    const UINT_PTR Id = NextThreadTimerId++;
    Timers.push_back(Timer{nullptr, Id, Elapse, TimerFunc, Now + Elapse});
    return Id;
  }
  const auto Existing = std::find_if(Timers.begin(), Timers.end(),
                                     [&](const Timer &T) { return T.Wnd == Wnd && T.Id == IdEvent; });
  if (Existing != Timers.end()) {
    *Existing = Timer{Wnd, IdEvent, Elapse, TimerFunc, Now + Elapse};
  } else {
    Timers.push_back(Timer{Wnd, IdEvent, Elapse, TimerFunc, Now + Elapse});
  }
  return IdEvent != 0 ? IdEvent : 1;
}

void MessageQueue::ForgetWindow(HWND Wnd) {
  std::erase_if(Timers, [&](const Timer &T) { return T.Wnd == Wnd; });
  std::erase_if(Messages, [&](const MSG &M) { return M.hwnd == Wnd; });
}

void MessageQueue::Rebind(HWND From, HWND To) {
  for (MSG &M : Messages) {
    if (M.hwnd == From) M.hwnd = To;
  }
}

void MessageQueue::Clear() { *this = MessageQueue(); }

} // namespace platform_detail
