// What the tests on the real window system share: a display check, a window
// procedure that keeps what reaches it, and a bounded wait for the display.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "NativeWindow.h"
#include "Veltrane.h"

namespace sdltest {

struct Received {
  HWND Wnd;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
};

// The launcher's way with the engine: timers count frames, a close request closes it.
struct Launcher {
  TVeltraneEngine *Engine = nullptr;
  std::vector<Received> Messages;
  bool Destroyed = false;
};
inline Launcher *Current = nullptr;

inline LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Current) Current->Messages.push_back(Received{Wnd, Msg, WParam, LParam});
  switch (Msg) {
  case WM_TIMER:
    if (Current && Current->Engine) Current->Engine->UpdateFPS();
    return 0;
  case WM_CLOSE:
    if (Current && Current->Engine) Current->Engine->Close();
    return 0;
  case WM_DESTROY:
    if (Current) Current->Destroyed = true;
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

// Runs the engine's pump until Done says so; false when the display took over
// ten seconds (a hang guard, not a measurement).
inline bool PumpUntil(TVeltraneEngine &Engine, const std::function<bool()> &Done) {
  const Uint64 GiveUp = SDL_GetTicks64() + 10000;
  while (!Done()) {
    if (SDL_GetTicks64() > GiveUp) return false;
    if (!Engine.ProcessMessage()) SDL_Delay(1);
  }
  return true;
}

// The messages of one kind that reached the procedure.
inline std::vector<Received> Of(const Launcher &L, UINT Message) {
  std::vector<Received> Out;
  for (const Received &R : L.Messages) {
    if (R.Message == Message) Out.push_back(R);
  }
  return Out;
}

class RealWindow : public ::testing::Test {
protected:
  void SetUp() override {
    const char *Display = std::getenv("DISPLAY");
    if (!Display || !*Display) GTEST_SKIP() << "no DISPLAY: the real window system is not tested";
    Current = &State;
    Engine = TVeltraneEngine::Create(Proc);
    State.Engine = Engine;
    ASSERT_NE(Engine->Handle, nullptr);
    WindowId = SDL_GetWindowID(Window());
  }
  void TearDown() override {
    // SDL never hands a window's id to another, so a gone window stays gone.
    if (Engine && SDL_GetWindowFromID(WindowId)) Engine->Close();
    delete Engine;
    Current = nullptr;
  }
  SDL_Window *Window() const { return NativeWindow(Engine->Handle); }

  Launcher State;
  TVeltraneEngine *Engine = nullptr;
  Uint32 WindowId = 0;
};

} // namespace sdltest
