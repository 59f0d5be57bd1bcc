// The GL context between the renderer and the real engine window: Init makes it
// on the engine's window, and it is released once, by the engine's Close or by
// DeInit, whichever comes first. After either, and after an Init that failed,
// Init starts over cleanly.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "NativeWindow.h"
#include "TestGL.h"
#include "Veltrane.h"
#include "graph.h"

namespace {

LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) { return DefWindowProcA(Wnd, Msg, WParam, LParam); }

bool InitPainted(TVeltraneEngine *Engine) { return Init(Engine, 32, "", "", "", "", "", "", ""); }

// A menu frame; whether anything but the clear colour reached the frame's middle.
bool MenuFrameDraws(const TVeltraneEngine &Engine) {
  TMousePos Pos{5, 5};
  StartDraw();
  ProcessMenu(&Pos);
  bool Drawn = false;
  if (SDL_GL_GetCurrentContext() && SDL_GL_GetCurrentContext() == NativeContext(Engine.GLContext)) {
    int Width = 0, Height = 0;
    SDL_GL_GetDrawableSize(NativeWindow(Engine.Handle), &Width, &Height);
    UseTestGL();
    uint8_t Pixel[4] = {};
    glReadPixels(Width / 2, Height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, Pixel);
    Drawn = glGetError() == GL_NO_ERROR && Pixel[0] + Pixel[1] + Pixel[2] > 3 * 40;
  }
  EndDraw(&Pos);
  return Drawn;
}

class RendererContext : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no DISPLAY: GL tests need an X server (run under tests/with-xvfb)";
    setenv("KESTROVE_NO_ERROR_BOX", "1", 1);
  }
  void TearDown() override {
    DeInit();
    for (const auto &Engine : Engines) {
      if (Engine->Handle && !Closed(*Engine)) Engine->Close();
    }
  }
  TVeltraneEngine *NewEngine() {
    Engines.emplace_back(TVeltraneEngine::Create(Proc));
    return Engines.back().get();
  }
  static bool Closed(const TVeltraneEngine &Engine) { return Engine.Width() == 0; }

  std::vector<std::unique_ptr<TVeltraneEngine>> Engines;
};

TEST_F(RendererContext, CloseTakesTheContextThenFramesAreIdleAndANewWindowDrawsAgain) {
  TVeltraneEngine *First = NewEngine();
  ASSERT_TRUE(InitPainted(First));
  const HGLRC Made = First->GLContext;
  ASSERT_NE(Made, nullptr);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), NativeContext(Made));
  EXPECT_TRUE(MenuFrameDraws(*First));

  First->Close();                       // the window's close request, before the pass's last frame
  EXPECT_EQ(First->GLContext, Made);    // Close keeps the value
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
  EXPECT_FALSE(MenuFrameDraws(*First));
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "a frame after Close brought a context back";
  DeInit();
  EXPECT_EQ(First->GLContext, nullptr) << "DeInit leaves no released context behind";
  DeInit();

  TVeltraneEngine *Second = NewEngine();
  ASSERT_TRUE(InitPainted(Second));
  EXPECT_NE(Second->GLContext, nullptr);
  EXPECT_TRUE(MenuFrameDraws(*Second));
  Second->Close();                      // releases the second context
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
}

TEST_F(RendererContext, DeInitReleasesItAndInitOnTheSameWindowMakesAnother) {
  TVeltraneEngine *Engine = NewEngine();
  for (int Pass = 0; Pass < 3; ++Pass) {
    ASSERT_TRUE(InitPainted(Engine)) << "pass " << Pass;
    EXPECT_TRUE(MenuFrameDraws(*Engine)) << "pass " << Pass;
    DeInit();
    EXPECT_EQ(Engine->GLContext, nullptr) << "pass " << Pass;
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "pass " << Pass;
  }
  // The engine's Close has nothing left to release, and the window still goes.
  ASSERT_TRUE(InitPainted(Engine));
  DeInit();
  Engine->Close();
  EXPECT_TRUE(Closed(*Engine));
}

TEST_F(RendererContext, AFailedInitLeavesNothingAndTheNextInitDraws) {
  TVeltraneEngine NoWindow;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(InitPainted(&NoWindow));
  EXPECT_FALSE(InitPainted(nullptr));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(NoWindow.GLContext, nullptr);
  EXPECT_FALSE(MenuFrameDraws(NoWindow));
  DeInit();

  TVeltraneEngine *Engine = NewEngine();
  ASSERT_TRUE(InitPainted(Engine));
  EXPECT_TRUE(MenuFrameDraws(*Engine));
  // An Init over a working one starts over on the same window.
  ASSERT_TRUE(InitPainted(Engine));
  EXPECT_NE(Engine->GLContext, nullptr);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), NativeContext(Engine->GLContext));
  EXPECT_TRUE(MenuFrameDraws(*Engine));
}

}  // namespace
