// Input from the X server itself, made with xdotool: a key press and a click on
// the engine's window reach the window procedure as the right messages. These
// tests move the display's pointer, so CTest runs them on their own.
#include "SdlTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

using sdltest::Of;
using sdltest::PumpUntil;

class X11Input : public sdltest::RealWindow {
protected:
  void SetUp() override {
    RealWindow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    // A caption no other window on the display has, for xdotool to find it by.
    Title = "Kestrove input test " + std::to_string(::getpid());
    Engine->SetCaption(Title.c_str());
    MoveWindow(Engine->Handle, 200, 150, 400, 300, TRUE);
    ASSERT_TRUE(PumpUntil(*Engine, [&] { return Engine->Left() == 200; }));
  }
  // Runs xdotool with the window's id in place of %1.
  int Xdotool(const std::string &Commands) {
    const std::string Line = "xdotool search --name '^" + Title + "$' " + Commands + " >/dev/null 2>&1";
    return std::system(Line.c_str());
  }

  std::string Title;
};

TEST_F(X11Input, AKeyPressArrivesAsKeyDownAndKeyUpWithItsVirtualKey) {
  ASSERT_EQ(Xdotool("key --window %1 Left"), 0);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return !Of(State, WM_KEYUP).empty(); }));
  ASSERT_EQ(Of(State, WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(Of(State, WM_KEYDOWN)[0].WParam, VK_LEFT);
  EXPECT_EQ(Of(State, WM_KEYUP)[0].WParam, VK_LEFT);

  ASSERT_EQ(Xdotool("key --window %1 Next Escape q"), 0);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return Of(State, WM_KEYUP).size() >= 4; }));
  const auto Down = Of(State, WM_KEYDOWN);
  ASSERT_EQ(Down.size(), 4u);
  EXPECT_EQ(Down[1].WParam, VK_NEXT);
  EXPECT_EQ(Down[2].WParam, VK_ESCAPE);
  EXPECT_EQ(Down[3].WParam, static_cast<WPARAM>('Q'));
}

TEST_F(X11Input, AClickArrivesAsButtonDownAndUpAtItsPlaceInTheWindow) {
  ASSERT_EQ(Xdotool("mousemove --window %1 20 30 click 1"), 0);
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return !Of(State, WM_LBUTTONUP).empty(); }));
  const auto Down = Of(State, WM_LBUTTONDOWN);
  ASSERT_EQ(Down.size(), 1u);
  EXPECT_EQ(Down[0].LParam, (30 << 16) | 20);
  EXPECT_EQ(Down[0].WParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(Of(State, WM_LBUTTONUP)[0].LParam, (30 << 16) | 20);

  // The pointer in screen coordinates: the window's client origin plus the place.
  int X = 0, Y = 0;
  SDL_GetWindowPosition(Window(), &X, &Y);
  POINT Pointer{};
  ASSERT_TRUE(GetCursorPos(&Pointer));
  EXPECT_EQ(Pointer.x, X + 20);
  EXPECT_EQ(Pointer.y, Y + 30);
}

} // namespace

namespace {

// The window moves under a pointer that stands still, while the report of the
// pointer's last move, made before the window moved, is still on its way: the
// position asked for afterwards is where the pointer is on the screen, not
// that report's place within the window taken from the window's new corner.
TEST_F(X11Input, APointerStillWhileItsWindowMovesIsWhereItIsOnTheScreen) {
  ASSERT_EQ(std::system("xdotool mousemove --sync 300 250 >/dev/null 2>&1"), 0);  // 100, 100 in the window
  MoveWindow(Engine->Handle, 20, 10, 400, 300, TRUE);  // the pointer stays inside it
  ASSERT_TRUE(PumpUntil(*Engine, [&] { return !Of(State, WM_MOUSEMOVE).empty(); }));
  POINT Pointer{};
  ASSERT_TRUE(GetCursorPos(&Pointer));
  EXPECT_EQ(Pointer.x, 300);
  EXPECT_EQ(Pointer.y, 250);
  EXPECT_EQ(Pointer.x - Engine->Left(), 280);  // as the frame driver counts it
  EXPECT_EQ(Pointer.y - Engine->Top(), 240);
}

} // namespace
