// Start-up, passes, restart and shut-down, as the window system and the
// renderer see them.
#include "LauncherFixture.h"
#include "Sound.h"

#include <algorithm>

namespace {

using Names = std::set<std::string>;
using Texts = std::vector<std::string>;

const Names PassCalls = {"InitCubes", "GameInit", "GameLoadMaps", "GameNewGame", "GameSetState",
                         "GameLoad", "DeleteFileA", "CreateWindowExA", "SetWindowTextA", "MoveWindow",
                         "SetWindowLongA", "ShowWindow", "ChangeDisplaySettingsA", "SetTimer", "Init",
                         "ShowCursor", "DeInit", "DeInitCubes", "GameDeInit"};

}  // namespace

// The whole program: a pass that opens on the menu, three frames, the menu's
// exit item, the pass's end and shut-down, every step in its order.
TEST_F(LauncherTest, WholePassThenShutDownWithCubes)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=0", "Mode=3", "Freq=2", "Map=1", "Cubes=1", "3DKeys=0", "SaveFile=s.dat",
               "Floor=f.png", "Box=b.png", "Wall=w.png", "Dest=d.png", "Water=wa.png", "Menu=m.png",
               "MenuBack=mb.png"});
  RecordingGraph::SetMenuDefault(miExit);
  Recording::SetWorkArea(RECT{0, 0, 1280, 1024});
  int Frames = 0;
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (C.Name == "EndDraw" && ++Frames == 3) Recording::QueueClick(10, 10);
  };

  EXPECT_EQ(KestroveMain(), 0);

  const std::vector<std::string> Expected = {
    "InitCubes()",
    "GameInit()",
    "GameLoadMaps(maps.ini)",
    "GameNewGame(b.lvl)",
    "GameSetState(1)",
    "CreateWindowExA(0x00000000,\"VeltraneWindow\",\"Veltrane\",0x00CF0000,CW_USEDEFAULT,CW_USEDEFAULT,"
    "CW_USEDEFAULT,CW_USEDEFAULT,0,0,hinstance,0)",
    "ShowWindow(hwnd,10)",
    "SetWindowTextA(hwnd,\"Veltrane Kestrove\")",
    "MoveWindow(hwnd,0,0,800,600,1)",
    "MoveWindow(hwnd,0,0,800,600,1)",
    "ShowWindow(hwnd,0)",
    "SetWindowLongA(hwnd,-16,0x00CF0000)",
    "ShowWindow(hwnd,5)",
    "MoveWindow(hwnd,240,212,800,600,1)",
    "SetTimer(hwnd,1,1000,0)",
  };
  const auto All = Timeline(PassCalls);
  ASSERT_GE(All.size(), Expected.size() + 6);
  EXPECT_EQ(std::vector<std::string>(All.begin(), All.begin() + Expected.size()), Expected);
  EXPECT_EQ(All[Expected.size()].rfind("Init(", 0), 0u);
  EXPECT_NE(All[Expected.size()].find(",32,f.png,b.png,w.png,d.png,wa.png,m.png,mb.png)"), std::string::npos);
  const std::vector<std::string> Tail = {"ShowCursor(0)", "DeInit()", "ChangeDisplaySettingsA(0,0)",
                                         "DeInitCubes()", "GameDeInit()"};
  EXPECT_EQ(std::vector<std::string>(All.end() - Tail.size(), All.end()), Tail);

  // Three frames on the menu, the exit taken on the frame after the click.
  EXPECT_EQ(CountOf("ProcessMenu"), 4);
  EXPECT_EQ(CountOf("StartDraw"), 4);
  EXPECT_EQ(CountOf("EndDraw"), 4);
  EXPECT_EQ(Recording::CursorShowCount(), -1);
  EXPECT_FALSE(Recording::DisplayModeChanged());
  EXPECT_EQ(Config, nullptr);
  EXPECT_EQ(Engine, nullptr);
  EXPECT_EQ(MapList.Count, 0);
}

// With "Cubes" set to something else, the effect is not started but is stopped
// at shut-down, since the key exists; without the key neither happens.
TEST_F(LauncherTest, ShutDownWithAndWithoutTheCubesKey)
{
  WriteStandardWorld();
  RecordingGraph::SetMenuDefault(miExit);
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (C.Name == "EndDraw") KeyState[VK_LBUTTON] = 1;
  };

  WriteConfig({"Cubes=yes"});
  EXPECT_EQ(KestroveMain(), 0);
  EXPECT_EQ(CountOf("InitCubes"), 0);
  EXPECT_EQ(Calls({"DeInit", "DeInitCubes", "GameDeInit"}),
            (std::vector<std::string>{"DeInit()", "DeInitCubes()", "GameDeInit()"}));
  EXPECT_EQ(CountOf("ProcessCubes"), 0);

  ResetLauncherState();
  RecordingGraph::ClearLog();
  WriteConfig({"Mode=1"});
  EXPECT_EQ(KestroveMain(), 0);
  EXPECT_EQ(CountOf("InitCubes"), 0);
  EXPECT_EQ(CountOf("DeInitCubes"), 0);
  EXPECT_EQ(Calls({"DeInit", "DeInitCubes", "GameDeInit"}),
            (std::vector<std::string>{"DeInit()", "GameDeInit()"}));
}

// A file that holds only "Maps": a 640 x 480 window at 16 bits, set 0, no cubes,
// Page Up/Down turning, seven empty texts; only "1" counts as true.
TEST_F(LauncherTest, MissingKeysReadAsDefaults)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=yes", "Cubes=true", "3DKeys=on"});
  BeginPass();
  EXPECT_EQ(Settings.FullScreen, 0);
  EXPECT_EQ(Settings.Mode, 0);
  EXPECT_EQ(Settings.Freq, 0);
  EXPECT_EQ(Settings.Map, 0);
  EXPECT_EQ(Settings.Cubes, 0);
  EXPECT_EQ(Settings.Keys3D, 0);
  EXPECT_EQ(ScreenWidth, 640);
  EXPECT_EQ(ScreenHeight, 480);
  EXPECT_EQ(ScreenBits, 16);
  EXPECT_EQ(ScreenFreq, 0);
  EXPECT_EQ(Calls({"GameNewGame", "Init"}).at(0), "GameNewGame(a.lvl)");
  EXPECT_EQ(Calls({"Init"}).at(0), "Init(" + RecordingGraph::PointerText(Engine) + ",16,,,,,,,)");
  EXPECT_EQ(Recording::State().Style, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(Recording::State().Rect.right - Recording::State().Rect.left, 640);
  EXPECT_EQ(Recording::State().Rect.bottom - Recording::State().Rect.top, 480);
  EXPECT_EQ(GameGetState(), gsMenu);
}

// Full screen: a pop-up, the display mode with the chosen rate, maximised.
TEST_F(LauncherTest, FullScreenChangesTheDisplayMode)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=1", "Mode=2", "Freq=4"});
  BeginPass();
  EXPECT_EQ(Timeline({"ShowWindow", "SetWindowLongA", "ChangeDisplaySettingsA", "MoveWindow"}),
            (std::vector<std::string>{"ShowWindow(hwnd,10)", "ShowWindow(hwnd,0)",
                                      "SetWindowLongA(hwnd,-16,0x80000000)", "ShowWindow(hwnd,5)",
                                      "ChangeDisplaySettingsA(800x600x16@85/0x005C0000,4)",
                                      "ShowWindow(hwnd,3)"}));
  EXPECT_TRUE(Recording::DisplayModeChanged());
  EndPass();
  EXPECT_FALSE(Recording::DisplayModeChanged());

  // Rate 0 leaves the refresh rate to the display.
  ResetLauncherState();
  Recording::Reset();
  WriteConfig({"FullScreen=1", "Mode=7"});
  BeginPass();
  EXPECT_EQ(Recording::Log({"ChangeDisplaySettingsA"}),
            std::vector<std::string>{"ChangeDisplaySettingsA(1280x1024x32@0/0x001C0000,4)"});
}

// A renderer that cannot draw ends the pass before its first frame, and the
// program in failure. The renderer tells the player why; the launcher adds no box.
TEST_F(LauncherTest, RendererInitFailureEndsTheProgram)
{
  WriteStandardWorld();
  WriteConfig({"Cubes=1"});
  RecordingGraph::SetInitResult(false);
  EXPECT_EQ(KestroveMain(), 1);
  EXPECT_EQ(CountOf("StartDraw"), 0);
  EXPECT_EQ(Calls({"Init", "DeInit", "DeInitCubes", "GameDeInit"}).size(), 4u);
  EXPECT_EQ(Recording::Count("MessageBoxA"), 0u);

  // The next run, on a renderer that draws, ends well again.
  ResetLauncherState();
  RecordingGraph::ClearLog();
  RecordingGraph::SetInitResult(true);
  RecordingGraph::SetMenuDefault(miExit);
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (C.Name == "EndDraw") KeyState[VK_LBUTTON] = 1;
  };
  EXPECT_EQ(KestroveMain(), 0);
  EXPECT_GT(CountOf("StartDraw"), 0);
}

// The window procedure: keys and the left button into KeyState, the timer into
// the frame rate, close and destroy into the end of the loop.
TEST_F(LauncherTest, WindowProcedure)
{
  WriteStandardWorld();
  WriteConfig({});
  BeginFramesInMenu();
  HWND Wnd = Engine->Handle;

  EXPECT_EQ(WndProc(Wnd, WM_KEYDOWN, VK_UP, 0), 0);
  EXPECT_EQ(KeyState[VK_UP], 1);
  EXPECT_EQ(WndProc(Wnd, WM_KEYDOWN, VK_UP, 0x40000000), 0);  // auto-repeat
  EXPECT_EQ(KeyState[VK_UP], 1);
  EXPECT_EQ(WndProc(Wnd, WM_KEYUP, VK_UP, 0), 0);
  EXPECT_EQ(KeyState[VK_UP], 0);
  WndProc(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(KeyState[VK_LBUTTON], 1);
  WndProc(Wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(KeyState[VK_LBUTTON], 0);

  // Alt combinations and F10 never reach KeyState; codes beyond the array are dropped.
  WndProc(Wnd, WM_SYSKEYDOWN, VK_F10, 0);
  EXPECT_EQ(KeyState[VK_F10], 0);
  WndProc(Wnd, WM_KEYDOWN, 0x1234, 0);
  uint8_t Sum = 0;
  for (uint8_t K : KeyState) Sum |= K;
  EXPECT_EQ(Sum, 0);

  Engine->Frames = 42;
  EXPECT_EQ(WndProc(Wnd, WM_TIMER, 7, 0), 0);
  EXPECT_EQ(Engine->FPS, 42u);
  EXPECT_EQ(Engine->Frames, 0u);

  Recording::ClearLog();
  EXPECT_EQ(WndProc(Wnd, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(QuitFlag);  // DestroyWindow sent WM_DESTROY
  EXPECT_EQ(Recording::Log({"DestroyWindow", "PostQuitMessage", "DefWindowProcA"}),
            (std::vector<std::string>{"DestroyWindow(hwnd)", "PostQuitMessage(0)"}));
  EXPECT_TRUE(Recording::QuitPosted());
  EXPECT_EQ(Recording::QuitCode(), 0);
  EXPECT_FALSE(Recording::State(Wnd).Exists);

  Recording::ClearLog();
  WndProc(Wnd, WM_PAINT, 0, 0);
  EXPECT_EQ(Recording::Log({"DefWindowProcA"}).size(), 1u);
}

// Closing the window ends the pass through the window procedure; the display is
// restored once more at the pass's end, and the program exits with 0.
TEST_F(LauncherTest, ClosingTheWindowEndsTheProgram)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=1", "Mode=1"});
  int Frames = 0;
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (C.Name == "EndDraw" && ++Frames == 2) Recording::QueueClose();
  };
  EXPECT_EQ(KestroveMain(), 0);
  EXPECT_EQ(Frames, 3);  // the frame after the close message still runs
  EXPECT_EQ(Timeline({"DestroyWindow", "DeInit", "ChangeDisplaySettingsA"}),
            (std::vector<std::string>{"ChangeDisplaySettingsA(640x480x32@0/0x001C0000,4)",
                                      "ChangeDisplaySettingsA(0,0)", "DestroyWindow(hwnd)", "DeInit()",
                                      "ChangeDisplaySettingsA(0,0)"}));
  EXPECT_FALSE(Recording::DisplayModeChanged());
}

// Applying settings: saved to config.ini, the game saved, a second pass that
// restores the game from "Temp.DAT", deletes it and opens on the menu; the
// window and its caption are kept, the pointer hidden once more.
TEST_F(LauncherTest, ApplyRestartsAndRestoresTheGame)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=0", "Mode=5", "Freq=0", "Map=0", "Cubes=1", "3DKeys=0", "SaveFile=s.dat",
               "Floor=textures/floor.png"});
  enum { Menu, Playing, Settings, Applied, Restarted, Restored } Step = Menu;
  int PlayFrames = 0;
  TPlayer Before = {};
  RecordingGraph::SetSettingsEditor([](TSettings &Edit) {
    Edit.Mode = 1;
    Edit.Keys3D = 1;
    Edit.Map = 1;
  });
  OnCall = [&](const RecordingGraph::TCall &C) {
    if (C.Name != "EndDraw") return;
    switch (Step) {
    case Menu:  // new game
      RecordingGraph::QueueMenuResults({miNewGame});
      KeyState[VK_LBUTTON] = 1;
      Step = Playing;
      break;
    case Playing:  // walk a few frames, then back to the menu
      KeyState[VK_UP] = ++PlayFrames < 4;
      KeyState[VK_ESCAPE] = PlayFrames == 4;
      if (PlayFrames == 5) {
        KeyState[VK_ESCAPE] = 0;
        RecordingGraph::QueueMenuResults({miSettings});
        KeyState[VK_LBUTTON] = 1;
        Step = Settings;
      }
      break;
    case Settings:  // the settings page shows: apply on its next frame
      Before = GameGetPlayer();
      RecordingGraph::QueueSettingsResults({srApply});
      Step = Applied;
      break;
    case Applied:  // applied: the second pass opens on the menu
      Step = Restarted;
      break;
    case Restarted:  // a click on its first frame leaves through the menu
      Step = Restored;
      RecordingGraph::QueueMenuResults({miExit});
      KeyState[VK_LBUTTON] = 1;
      break;
    case Restored: break;
    }
  };

  EXPECT_EQ(KestroveMain(), 0);
  ASSERT_EQ(Step, Restored);

  const auto Pass2 = Timeline({"ProcessSettings", "DeInit", "ChangeDisplaySettingsA", "GameInit",
                               "GameNewGame", "GameSetState", "GameSave", "GameLoad", "DeleteFileA",
                               "SetWindowTextA", "CreateWindowExA", "SetTimer", "InitCubes",
                               "ShowCursor", "ProcessMenu"});
  // From the apply on: save, end of pass, a new pass restoring the game.
  auto Apply = std::find_if(Pass2.begin(), Pass2.end(),
                            [](const std::string &S) { return S.find("->6)") != std::string::npos; });
  ASSERT_NE(Apply, Pass2.end());
  const std::vector<std::string> After(Apply + 1, Pass2.end());
  const std::vector<std::string> Expected = {
    "GameSave(Temp.Dat)", "DeInit()", "ChangeDisplaySettingsA(0,0)", "InitCubes()", "GameInit()",
    "GameNewGame(b.lvl)", "GameSetState(1)", "GameLoad(Temp.DAT)", "DeleteFileA(\"Temp.Dat\")",
    "GameSetState(1)", "SetTimer(hwnd,1,1000,0)", "ShowCursor(0)", "ProcessMenu(0,0,->-1)", "ProcessMenu(0,0,->5)",
    "DeInit()", "ChangeDisplaySettingsA(0,0)"};
  EXPECT_EQ(After, Expected);

  EXPECT_FALSE(Exists("Temp.Dat"));
  EXPECT_FALSE(Exists("Temp.DAT"));
  EXPECT_EQ(Recording::Count("CreateWindowExA"), 1u);
  EXPECT_EQ(Recording::Count("SetWindowTextA"), 1u);
  EXPECT_EQ(Recording::CursorShowCount(), -2);

  // The game came back where it was, behind the menu, with the set of the save.
  const TPlayer After2 = GameGetPlayer();
  EXPECT_EQ(After2.Box.y, Before.Box.y);
  EXPECT_GT(Before.Box.y, 1.15);

  // The six keys went to the same file; the rest kept as loaded.
  const std::string Saved = Read("config.ini");
  EXPECT_NE(Saved.find("Mode=1\r\n"), std::string::npos);
  EXPECT_NE(Saved.find("3DKeys=1\r\n"), std::string::npos);
  EXPECT_NE(Saved.find("Map=1\r\n"), std::string::npos);
  EXPECT_NE(Saved.find("Floor=textures/floor.png\r\n"), std::string::npos);
  EXPECT_EQ(Saved.find("Config.INI"), std::string::npos);
  EXPECT_EQ(fs::directory_entry(Dir / "config.ini").exists(), true);
  size_t Files = 0;
  for ([[maybe_unused]] const auto &E : fs::directory_iterator(Dir)) ++Files;
  EXPECT_EQ(Files, 4u);  // config.ini, maps.ini, a.lvl, b.lvl: no second config, no Temp.Dat
}

// A setting applied on the third level of a set: after the restart, solving that
// level leads to the fourth, not back to the second.
TEST_F(LauncherTest, ApplyKeepsTheLevelOfTheSet)
{
  Write("maps.ini", "four.lvl\n");
  // Levels 0 and 1 wait for a push; level 2 is solved from the start; level 3 is 6 wide.
  Write("four.lvl", LevelSet({{"9 23"}, {"9 23"}, {"94"}, {"9 1 1 "}}));
  WriteConfig({});
  BeginFramesInMenu();
  GameSetState(gsPlay);
  GameNextLevel();
  GameNextLevel();
  ASSERT_EQ(GameGetFieldSize().Width, 2);

  GameSetState(gsSettings);
  EditSettings = Settings;
  EditSettings.Mode = 1;
  RecordingGraph::QueueSettingsResults({srApply});
  ProcessFrame();
  ASSERT_TRUE(RestartFlag);
  EndPass();
  BeginPass();
  EXPECT_FALSE(Exists("Temp.Dat"));
  EXPECT_EQ(GameGetFieldSize().Width, 2);

  GameSetState(gsPlay);
  ProcessFrame();
  EXPECT_EQ(GameGetState(), gsPlay);
  EXPECT_EQ(GameGetFieldSize().Width, 6);
}

// SaveSettings writes the six keys from EditSettings and the two volumes in
// their order, appending the missing ones, and leaves every other key as loaded.
TEST_F(LauncherTest, SaveSettingsWritesTheSixKeysAndTheVolumes)
{
  WriteStandardWorld();
  Write("CONFIG.ini", "Maps=maps.ini\r\nmode=3\r\nWall=w.png ; brick\r\n");
  BeginFramesInMenu();
  EditSettings = {};
  EditSettings.FullScreen = 1;
  EditSettings.Mode = 6;
  EditSettings.Freq = 10;
  EditSettings.Map = 1;
  EditSettings.Cubes = 0;
  EditSettings.Keys3D = 1;
  EditVolumes = {4, 0};
  SaveSettings();
  EXPECT_EQ(Read("CONFIG.ini"),
            "Maps=maps.ini\r\nmode=6\r\nWall=w.png ; brick\r\nFullScreen=1\r\nFreq=10\r\nMap=1\r\nCubes=0\r\n"
            "3DKeys=1\r\nSoundVolume=4\r\nMusicVolume=0\r\n");  // the player's comment stays
  EXPECT_FALSE(Exists("Config.INI"));
}

// The launcher's own fatal errors: no "config.ini" to read, a "Config.INI" that
// cannot be written. Each ends the program with "Runtime error" and the number.
TEST_F(LauncherTest, FatalErrorsOfTheConfigurationFile)
{
  EXPECT_EXIT(BeginPass(), ::testing::ExitedWithCode(2), "Runtime error 2");

  WriteStandardWorld();
  WriteConfig({});
  BeginFramesInMenu();
  fs::remove(Dir / "config.ini");
  fs::create_directory(Dir / "config.ini");  // in the way of writing, even for root
  EditSettings = Settings;
  EXPECT_EXIT(SaveSettings(), ::testing::ExitedWithCode(21), "Runtime error 21");
}

// Apply can grow the window so that the pointer, where Apply was, lies over a
// menu item after the restart. The button still held from that click is no
// press made in the menu: no item fires until the button is pressed again.
class HeldButtonTest : public LauncherTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(HeldButtonTest, AcrossTheRestartFiresNoMenuItem)
{
  const int32_t Item = GetParam();
  {
    WriteStandardWorld();
    WriteConfig({"Mode=1", "SaveFile=s.dat"});
    RecordingGraph::SetMenuDefault(-1);
    enum { Menu, Settings, Applied, Held, Released, Pressed } Step = Menu;
    int HeldFrames = 0, Frames = 0;
    OnCall = [&](const RecordingGraph::TCall &C) {
      if (C.Name != "EndDraw") return;
      if (++Frames == 50) QuitFlag = true;  // an item fired: no hang, the checks below fail
      switch (Step) {
      case Menu:
        RecordingGraph::QueueMenuResults({miSettings});
        KeyState[VK_LBUTTON] = 1;
        Step = Settings;
        break;
      case Settings:  // the button goes down on Apply and stays down
        RecordingGraph::QueueSettingsResults({srApply});
        KeyState[VK_LBUTTON] = 1;
        Step = Applied;
        break;
      case Applied:  // from the restart on, the pointer is over Item
        RecordingGraph::SetMenuDefault(Item);
        ClearLogs();
        Step = Held;
        break;
      case Held:
        if (++HeldFrames == 5) {
          WndProc(Engine->Handle, WM_LBUTTONUP, 0, 0);
          Step = Released;
        }
        break;
      case Released:  // a new press in the menu leaves the game
        RecordingGraph::SetMenuDefault(miExit);
        WndProc(Engine->Handle, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        Step = Pressed;
        break;
      case Pressed: break;
      }
    };
    EXPECT_EQ(KestroveMain(), 0);
    EXPECT_EQ(Step, Pressed);
    EXPECT_EQ(HeldFrames, 5);
    // The restart's own calls, and not one of the items'.
    EXPECT_EQ(Calls({"GameNewGame", "GameSetState", "GameSave", "GameLoad"}),
              (std::vector<std::string>{"GameNewGame(a.lvl)", "GameSetState(1)", "GameLoad(Temp.DAT)",
                                        "GameSetState(1)"}));
    EXPECT_EQ(CountOf("ProcessSettings"), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(PointerOverEachItem, HeldButtonTest, ::testing::Range(int32_t{miNewGame}, int32_t{miExit + 1}));

// A fatal error in full screen, in the rules library (a save that cannot be
// written) or in the program (a configuration that cannot be written): the
// display comes back first, then the box shows over the game's window, then the
// report line, then the exit with the error's number.
TEST_F(LauncherTest, FatalErrorGivesTheDisplayBackThenShowsTheBoxOverTheWindow)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=1", "Mode=2", "SaveFile=no/such/dir/s.dat"});
  // The program with the window system's calls echoed on stderr; a menu item is
  // clicked in every menu frame, and the settings page applies at once.
  auto RunClicking = [&](int32_t Item, const std::function<void()> &BeforeClick) {
    Recording::EchoCalls(true);
    RecordingGraph::SetMenuDefault(Item);
    RecordingGraph::QueueSettingsResults({srApply});
    OnCall = [&](const RecordingGraph::TCall &C) {
      if (C.Name != "EndDraw" || KeyState[VK_LBUTTON]) return;
      BeforeClick();
      KeyState[VK_LBUTTON] = 1;
    };
    KestroveMain();
  };
  const std::string Order = "ChangeDisplaySettingsA\\(800x600x16@0/0x001C0000,4\\)\n.*"
                            "ChangeDisplaySettingsA\\(0,0\\)\n"
                            "MessageBoxA\\(hwnd,\"Runtime error [^\n]*\",\"Error\",16\\)\n"
                            "Runtime error ";
  EXPECT_EXIT(RunClicking(miSave, [] {}), ::testing::ExitedWithCode(ENOENT),
              Order + "2: \"no/such/dir/s\\.dat\": No such file or directory\n$");
  auto ConfigInTheWay = [this] {
    fs::remove(Dir / "config.ini");
    fs::create_directory(Dir / "config.ini");
  };
  EXPECT_EXIT(RunClicking(miSettings, ConfigInTheWay), ::testing::ExitedWithCode(EISDIR),
              Order + "21: \"Config\\.INI\": Is a directory\n$");
}

// A map set whose file does not read is reported, on stderr and in a box over
// the window, and the first set that reads is played instead: at start-up, after
// applying the settings (the game in progress comes back), and from the menu.
TEST_F(LauncherTest, MissingMapSetIsReportedAndTheGameGoesOn)
{
  WriteStandardWorld();
  Write("maps.ini", "a.lvl=First set\ngone.lvl=Missing\nb.lvl=Second set\n");
  WriteConfig({"Map=1"});
  const std::string Report =
    "\"The map set \"gone.lvl\" cannot be opened: No such file or directory. Playing \"a.lvl\" instead.\"";
  ::testing::internal::CaptureStderr();
  BeginPass();
  const std::string Stderr = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(Stderr.find("The map set \"gone.lvl\" cannot be opened"), std::string::npos);
  EXPECT_EQ(Recording::Log({"MessageBoxA"}), Texts{"MessageBoxA(0," + Report + ",\"Error\",16)"});
  EXPECT_EQ(Calls({"GameNewGame"}), Texts{"GameNewGame(a.lvl)"});
  EXPECT_EQ(GameGetState(), gsMenu);

  // A game in progress, then the missing set applied on the settings page.
  GameSetState(gsPlay);
  KeyState[VK_UP] = 1;
  for (int I = 0; I < 5; ++I) ProcessFrame();
  KeyState[VK_UP] = 0;
  const TPlayer Moved = GameGetPlayer();
  GameSetState(gsSettings);
  EditSettings = Settings;
  RecordingGraph::QueueSettingsResults({srApply});
  ProcessFrame();
  EndPass();
  ClearLogs();
  ::testing::internal::CaptureStderr();
  BeginPass();
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Recording::Log({"MessageBoxA"}), Texts{"MessageBoxA(hwnd," + Report + ",\"Error\",16)"});
  EXPECT_EQ(Calls({"GameNewGame", "GameLoad"}), (Texts{"GameNewGame(a.lvl)", "GameLoad(Temp.DAT)"}));
  EXPECT_FALSE(Exists("Temp.Dat"));
  EXPECT_EQ(GameGetPlayer().Box.y, Moved.Box.y);
  EXPECT_GT(Moved.Box.y, 1.15);

  // The menu's new game with that set: reported again, the first set played.
  ClearLogs();
  RecordingGraph::QueueMenuResults({miNewGame});
  KeyState[VK_LBUTTON] = 1;
  ::testing::internal::CaptureStderr();
  ProcessFrame();
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Recording::Count("MessageBoxA"), 1u);
  EXPECT_EQ(Calls({"GameNewGame"}), Texts{"GameNewGame(a.lvl)"});
  EXPECT_EQ(GameGetState(), gsPlay);
}

// No set reads (one is missing, one is a directory): each is reported for what
// it is, nothing is started, and the menu shows with nothing to continue.
TEST_F(LauncherTest, NoReadableMapSetLeavesTheMenu)
{
  Write("maps.ini", "gone.lvl\nsets\n");
  fs::create_directory(Dir / "sets");
  WriteConfig({"Map=1"});
  ::testing::internal::CaptureStderr();
  BeginPass();
  const std::string Stderr = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(Stderr.find("The map set \"sets\" cannot be opened: Is a directory. No other map set can be opened "
                        "either.\n"),
            std::string::npos);
  EXPECT_EQ(Recording::Count("MessageBoxA"), 1u);
  EXPECT_EQ(CountOf("GameNewGame"), 0);
  GameSetState(gsPlay);
  EXPECT_EQ(GameGetState(), gsMenu);
}

// The map list is the configuration's own file: a "Maps" key that is missing or
// empty stays fatal, and the report names the key.
TEST_F(LauncherTest, MissingMapsKeyIsFatalAndNamed)
{
  WriteStandardWorld();
  WriteConfig({}, true);
  EXPECT_EXIT(BeginPass(), ::testing::ExitedWithCode(2), "^Runtime error 2: the key \"Maps\" of config\\.ini");
  WriteConfig({"Maps="}, true);
  EXPECT_EXIT(BeginPass(), ::testing::ExitedWithCode(2), "^Runtime error 2: the key \"Maps\" of config\\.ini");
  WriteConfig({"Maps=nolist.ini"}, true);
  EXPECT_EXIT(BeginPass(), ::testing::ExitedWithCode(2), "^Runtime error 2: \"nolist\\.ini\"");
}
