// The engine window on the real window system (SDL2, under Xvfb in ./test).
#include "SdlTestSupport.h"

#include <cmath>

namespace {

using sdltest::Of;
using sdltest::PumpUntil;

class EngineSdl : public sdltest::RealWindow {};

TEST_F(EngineSdl, CreateShowsAnOpenGlWindowTheRendererCanDrawIn) {
  const Uint32 Flags = SDL_GetWindowFlags(Window());
  EXPECT_TRUE(Flags & SDL_WINDOW_OPENGL);
  EXPECT_TRUE(Flags & SDL_WINDOW_SHOWN);
  EXPECT_FALSE(Flags & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(Flags & SDL_WINDOW_RESIZABLE);
  EXPECT_STREQ(SDL_GetWindowTitle(Window()), "Veltrane");
  EXPECT_EQ(Engine->DeviceContext(), DeviceContextHandle(NativeWindow(Engine->Handle)));
  EXPECT_GT(Engine->Width(), 0);
  EXPECT_GT(Engine->Height(), 0);

  // The renderer's way: a 3.3 core context on the engine's window.
  const SDL_GLContext Context = SDL_GL_CreateContext(Window());
  ASSERT_NE(Context, nullptr) << SDL_GetError();
  int Major = 0, Minor = 0, Profile = 0;
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &Major);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &Minor);
  SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &Profile);
  EXPECT_GE(Major * 10 + Minor, 33);
  EXPECT_EQ(Profile, SDL_GL_CONTEXT_PROFILE_CORE);
  Engine->GLContext = ContextHandle(Context);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), Context);

  // Close releases it before the window goes.
  const Uint32 Id = SDL_GetWindowID(Window());
  Engine->Close();
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
  EXPECT_EQ(SDL_GetWindowFromID(Id), nullptr);
  EXPECT_TRUE(State.Destroyed);
}

TEST_F(EngineSdl, CaptionIsTheWindowTitle) {
  Engine->SetCaption("Veltrane Kestrove");
  EXPECT_STREQ(SDL_GetWindowTitle(Window()), "Veltrane Kestrove");
}

TEST_F(EngineSdl, SetWidthAndSetHeightGiveTheOuterSizeAndKeepThePlace) {
  const int32_t Left = Engine->Left(), Top = Engine->Top();
  Engine->SetWidth(640);
  EXPECT_EQ(Engine->Width(), 640);
  Engine->SetHeight(480);
  EXPECT_EQ(Engine->Width(), 640);
  EXPECT_EQ(Engine->Height(), 480);
  EXPECT_EQ(Engine->Left(), Left);
  EXPECT_EQ(Engine->Top(), Top);
  int Top_ = 0, Left_ = 0, Bottom = 0, Right = 0;
  if (SDL_GetWindowBordersSize(Window(), &Top_, &Left_, &Bottom, &Right) != 0) Top_ = Left_ = Bottom = Right = 0;
  int ClientWidth = 0, ClientHeight = 0;
  SDL_GetWindowSize(Window(), &ClientWidth, &ClientHeight);
  EXPECT_EQ(ClientWidth + Left_ + Right, 640);
  EXPECT_EQ(ClientHeight + Top_ + Bottom, 480);
}

// A window as large as the screen comes wholly onto it, and a smaller one to its middle.
TEST_F(EngineSdl, CentringKeepsTheWindowOnTheScreen) {
  RECT Work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0));
  const int32_t W = Work.right - Work.left, H = Work.bottom - Work.top;
  Engine->SetWidth(W);
  Engine->SetHeight(H);
  Engine->CentreOnScreen();
  EXPECT_EQ(Engine->Left(), Work.left);
  EXPECT_EQ(Engine->Top(), Work.top);
  EXPECT_EQ(Engine->Width(), W);
  EXPECT_EQ(Engine->Height(), H);
  Engine->SetWidth(W / 2);
  Engine->SetHeight(H / 2);
  Engine->CentreOnScreen();
  EXPECT_NEAR(Engine->Left(), Work.left + (W - W / 2) / 2, 1);
  EXPECT_NEAR(Engine->Top(), Work.top + (H - H / 2) / 2, 1);
}

TEST_F(EngineSdl, PopUpStyleIsBorderlessAndMaximisedFillsTheScreen) {
  Engine->SetStyle(WS_POPUP);
  Uint32 Flags = SDL_GetWindowFlags(Window());
  EXPECT_TRUE(Flags & SDL_WINDOW_BORDERLESS);
  EXPECT_FALSE(Flags & SDL_WINDOW_RESIZABLE);
  EXPECT_TRUE(Flags & SDL_WINDOW_SHOWN);

  Engine->Maximize();
  EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_Rect Screen;
  ASSERT_EQ(SDL_GetDisplayBounds(0, &Screen), 0);
  EXPECT_EQ(Engine->Left(), Screen.x);
  EXPECT_EQ(Engine->Top(), Screen.y);
  EXPECT_EQ(Engine->Width(), Screen.w);
  EXPECT_EQ(Engine->Height(), Screen.h);

  // Back to a normal window, as a restart into windowed play does it.
  Engine->SetWidth(640);
  Engine->SetHeight(480);
  Engine->SetStyle(WS_OVERLAPPEDWINDOW);
  Flags = SDL_GetWindowFlags(Window());
  EXPECT_FALSE(Flags & SDL_WINDOW_FULLSCREEN);
  EXPECT_FALSE(Flags & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(Flags & SDL_WINDOW_RESIZABLE);
  EXPECT_TRUE(Flags & SDL_WINDOW_SHOWN);
  EXPECT_EQ(Engine->Width(), 640);
  EXPECT_EQ(Engine->Height(), 480);
}

TEST_F(EngineSdl, HideAndShow) {
  Engine->Hide();
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_SHOWN);
  Engine->Show();
  EXPECT_TRUE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_SHOWN);
}

TEST_F(EngineSdl, ADisplayModeTheDisplayLacksIsRefused) {
  SDL_DisplayMode Desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &Desktop), 0);
  // No display offers a mode 13 pixels wide.
  EXPECT_FALSE(Engine->SetDisplayMode(13, Desktop.h, 0, 0));
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN);
  EXPECT_FALSE(Engine->SetDisplayMode(Desktop.w, Desktop.h, 0, 997));
  DEVMODEA Offered{};
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &Offered));
  EXPECT_EQ(ChangeDisplaySettingsA(&Offered, CDS_TEST), DISP_CHANGE_SUCCESSFUL);   // would work, but only asked
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN);
  Engine->RestoreDisplayMode();   // harmless without a change
  EXPECT_FALSE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(EngineSdl, AModeTheDisplayOffersGoesFullScreenUntilRestored) {
  DEVMODEA Current{};
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &Current));
  Engine->SetStyle(WS_POPUP);
  ASSERT_TRUE(Engine->SetDisplayMode(static_cast<int32_t>(Current.dmPelsWidth),
                                     static_cast<int32_t>(Current.dmPelsHeight),
                                     static_cast<int32_t>(Current.dmBitsPerPel), 0));
  Engine->Maximize();
  EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(Engine->Left(), 0);
  EXPECT_EQ(Engine->Width(), static_cast<int32_t>(Current.dmPelsWidth));
  EXPECT_EQ(Engine->Height(), static_cast<int32_t>(Current.dmPelsHeight));
  Engine->RestoreDisplayMode();
  // Still a maximised pop-up: it keeps covering the screen, at the desktop's mode.
  EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

TEST_F(EngineSdl, KeysAndClicksArriveAsWindowMessages) {
  SDL_Event Key{};
  Key.type = SDL_KEYDOWN;
  Key.key.windowID = SDL_GetWindowID(Window());
  Key.key.state = SDL_PRESSED;
  Key.key.keysym.sym = SDLK_PAGEUP;
  Key.key.keysym.scancode = SDL_SCANCODE_PAGEUP;
  SDL_PushEvent(&Key);
  Key.type = SDL_KEYUP;
  Key.key.state = SDL_RELEASED;
  SDL_PushEvent(&Key);
  SDL_Event Click{};
  Click.type = SDL_MOUSEBUTTONDOWN;
  Click.button.windowID = SDL_GetWindowID(Window());
  Click.button.button = SDL_BUTTON_LEFT;
  Click.button.state = SDL_PRESSED;
  Click.button.x = 12;
  Click.button.y = 34;
  SDL_PushEvent(&Click);
  Click.type = SDL_MOUSEBUTTONUP;
  Click.button.state = SDL_RELEASED;
  SDL_PushEvent(&Click);

  ASSERT_TRUE(PumpUntil(*Engine, [&] { return !Of(State, WM_LBUTTONUP).empty(); }));
  ASSERT_EQ(Of(State, WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(Of(State, WM_KEYDOWN)[0].WParam, VK_PRIOR);
  EXPECT_EQ(Of(State, WM_KEYUP)[0].WParam, VK_PRIOR);
  ASSERT_EQ(Of(State, WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Of(State, WM_LBUTTONDOWN)[0].WParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(Of(State, WM_LBUTTONDOWN)[0].LParam, (34 << 16) | 12);
  EXPECT_EQ(Of(State, WM_LBUTTONUP)[0].WParam & MK_LBUTTON, 0u);
}

TEST_F(EngineSdl, TheCloseRequestLeadsToWmCloseThenWmDestroy) {
  SDL_Event Close{};
  Close.type = SDL_WINDOWEVENT;
  Close.window.event = SDL_WINDOWEVENT_CLOSE;
  const Uint32 Id = SDL_GetWindowID(Window());
  Close.window.windowID = Id;
  SDL_PushEvent(&Close);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return State.Destroyed; }));
  std::vector<UINT> Order;
  for (const sdltest::Received &R : State.Messages) {
    if (R.Message == WM_CLOSE || R.Message == WM_DESTROY) Order.push_back(R.Message);
  }
  EXPECT_EQ(Order, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
  EXPECT_EQ(SDL_GetWindowFromID(Id), nullptr);
  // The main loop's last frame after the close still asks for the window's place.
  EXPECT_EQ(Engine->Left(), 0);
  EXPECT_EQ(Engine->Width(), 0);
  MSG Msg;
  ASSERT_TRUE(PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Msg.message, WM_QUIT);
}

TEST_F(EngineSdl, TheTimerCountsFramesPerSecond) {
  ASSERT_EQ(SetTimer(Engine->Handle, 1, 100, nullptr), 1u);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return Of(State, WM_TIMER).size() >= 2; }));
  EXPECT_GT(Engine->FPS, 0u);
  EXPECT_EQ(Of(State, WM_TIMER)[0].WParam, 1u);
}

TEST_F(EngineSdl, TheFloatingPointControlWordSurvivesWindowCreation) {
  const unsigned Before = Get8087CW();
  Set8087CW(0x133F);
  EXPECT_EQ(Get8087CW() & 0x0F3F, 0x033Fu);   // masks, precision and rounding as set
  TVeltraneEngine *Second = TVeltraneEngine::Create(sdltest::Proc);
  EXPECT_EQ(Get8087CW() & 0x0F3F, 0x033Fu);
  volatile double Zero = 0.0;
  EXPECT_TRUE(std::isinf(1.0 / Zero));   // masked: no trap
  DestroyWindow(Second->Handle);   // fails quietly if it is gone already
  delete Second;
  Set8087CW(Before);
}

} // namespace
