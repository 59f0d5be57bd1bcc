// One frame at a time: play with both key mappings, the turn gate, Escape, the
// menu items, the settings page, moving on between levels, and indexes that
// name no table entry.
#include "LauncherFixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using Names = std::set<std::string>;
using Texts = std::vector<std::string>;

const Names InputCalls = {"GameRoundCurrAngle", "GameRotate", "GameMovePlayer", "GameMovePlayerX"};
const std::string Nudge = "GameMovePlayer(" + FloatText(0.0001f) + ")";

void ReleaseAllKeys() { std::fill(std::begin(KeyState), std::end(KeyState), 0); }

}  // namespace

// Every call of a play frame, in order: input, rotation, camera, floor, count,
// objects, rules, player, level check, cubes, all between StartDraw and EndDraw.
TEST_F(LauncherTest, PlayFrameOrder)
{
  WriteStandardWorld();
  WriteConfig({"Cubes=1"});
  StartPlaying();
  Frame();  // the first frame of a level also reads it once for boxes that can no longer reach a mark
  const TObjArray Objects = GameGetObjects();
  ClearLogs();
  Frame();
  EXPECT_EQ(Calls(), (Texts{"StartDraw()", "GameGetState()", "GameGetRotateAngle()", "GameRoundCurrAngle()",
                            "GameProcessRotate()", "GameGetCurrAngle()", "GameGetPlayer()",
                            "MoveToPlayer(0,1.15,1.15,0,0)", "GameGetFieldSize()", "DrawFloor(5,3)",
                            "GameGetObjects()",
                            "DrawObjects(" + RecordingGraph::PointerText(Objects.Items) + ",1)",
                            "GameProcessPlayer()", "GameGetPlayer()", "DrawPlayer(1.15,1.15,0)",
                            "ProcessCubes()", "EndDraw(0,0)"}));
  EXPECT_EQ(Timeline({"GetCursorPos", "StartDraw"}), (Texts{"GetCursorPos()", "StartDraw()"}));
}

// Each key alone, with Page Up/Down turning (3DKeys off) and with the arrows
// turning (3DKeys on); a held key acts again in the next frame.
TEST_F(LauncherTest, PlayKeysOfBothMappings)
{
  WriteStandardWorld();
  struct TCase {
    UINT Key;
    Texts Flat, Turning;  // 3DKeys 0, 3DKeys 1
  };
  const std::vector<TCase> Cases = {
    {VK_PRIOR, {"GameRotate(-1)", Nudge}, {}},
    {VK_NEXT, {"GameRotate(1)", Nudge}, {}},
    {VK_LEFT, {"GameMovePlayerX(-1)"}, {"GameRotate(-1)", Nudge}},
    {VK_RIGHT, {"GameMovePlayerX(1)"}, {"GameRotate(1)", Nudge}},
    {VK_UP, {"GameMovePlayer(1)"}, {"GameMovePlayer(1)"}},
    {VK_DOWN, {"GameMovePlayer(-1)"}, {"GameMovePlayer(-1)"}},
  };
  for (int Keys3D = 0; Keys3D <= 1; ++Keys3D) {
    WriteConfig({Keys3D ? "3DKeys=1" : "3DKeys=0"});
    for (const TCase &C : Cases) {
      SCOPED_TRACE("key " + std::to_string(C.Key) + " 3DKeys " + std::to_string(Keys3D));
      ResetLauncherState();
      Recording::Reset();
      StartPlaying();
      KeyState[C.Key] = 1;
      Frame();
      Texts Expected = {"GameRoundCurrAngle()"};
      const Texts &Acts = Keys3D ? C.Turning : C.Flat;
      Expected.insert(Expected.end(), Acts.begin(), Acts.end());
      EXPECT_EQ(Calls(InputCalls), Expected);
      if (Acts.size() == 1) {  // a movement key held: the same call next frame
        ClearLogs();
        Frame();
        EXPECT_EQ(Calls(InputCalls), Expected);
      }
    }
  }
}

// All keys together act in the fixed order within one frame.
TEST_F(LauncherTest, HeldKeysActTogetherInOrder)
{
  WriteStandardWorld();
  WriteConfig({});
  StartPlaying();
  for (UINT Key : {VK_PRIOR, VK_NEXT, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) KeyState[Key] = 1;
  Frame();
  EXPECT_EQ(Calls(InputCalls), (Texts{"GameRoundCurrAngle()", "GameRotate(-1)", Nudge, "GameRotate(1)", Nudge,
                                      "GameMovePlayer(1)", "GameMovePlayer(-1)", "GameMovePlayerX(-1)",
                                      "GameMovePlayerX(1)"}));
}

// While a turn is under way no key is read and the angle is not rounded, but
// the turn goes on and everything is drawn.
TEST_F(LauncherTest, NoInputWhileATurnIsUnderWay)
{
  WriteStandardWorld();
  WriteConfig({});
  StartPlaying();
  KeyState[VK_NEXT] = 1;
  Frame();  // starts the turn
  ASSERT_NE(GameGetRotateAngle(), 0.0f);
  KeyState[VK_UP] = 1;
  int Frames = 0;
  while (std::nearbyint(GameGetRotateAngle()) != 0.0f && Frames < 1000) {
    ClearLogs();
    Frame();
    ++Frames;
    ASSERT_EQ(Calls(InputCalls), Texts{}) << "frame " << Frames;
    EXPECT_EQ(CountOf("GameProcessRotate"), 1);
    EXPECT_EQ(CountOf("DrawPlayer"), 1);
    EXPECT_EQ(CountOf("EndDraw"), 1);
  }
  EXPECT_GT(Frames, 1);
  ClearLogs();
  Frame();  // the turn is over: the keys act again
  EXPECT_EQ(Calls(InputCalls), (Texts{"GameRoundCurrAngle()", "GameRotate(1)", Nudge, "GameMovePlayer(1)"}));
}

// Escape in play asks for the menu and still plays the frame to its end, level
// check included; the menu shows from the next frame.
TEST_F(LauncherTest, EscapeDrawsOneMorePlayFrame)
{
  WriteStandardWorld();
  WriteConfig({"Cubes=1"});
  StartPlaying();
  KeyState[VK_ESCAPE] = 1;
  KeyState[VK_UP] = 1;
  KeyState[VK_LBUTTON] = 1;  // held in play: no click on the menu that follows
  RecordingGraph::QueueMenuResults({miExit});
  Frame();
  EXPECT_EQ(Calls({"StartDraw", "GameSetState", "GameMovePlayer", "DrawPlayer", "ProcessCubes", "EndDraw"}),
            (Texts{"StartDraw()", "GameSetState(1)", "GameMovePlayer(1)", "DrawPlayer(1.15,1.25,0)",
                   "ProcessCubes()", "EndDraw(0,0)"}));
  ClearLogs();
  Frame();
  EXPECT_EQ(Calls({"StartDraw", "ProcessMenu", "MoveToPlayer", "GameSetState", "EndDraw"}),
            (Texts{"StartDraw()", "ProcessMenu(0,0,->5)", "EndDraw(0,0)"}));
  EXPECT_FALSE(QuitFlag);

  // A level solved in the Escape frame still moves on.
  ResetLauncherState();
  StartPlaying();
  GameNextLevel();  // level 1 of a.lvl is solved from the start
  ClearLogs();
  KeyState[VK_ESCAPE] = 1;
  Frame();
  EXPECT_EQ(Calls({"GameSetState", "GameNextLevel"}), (Texts{"GameSetState(1)", "GameNextLevel()"}));
}

// Menu items 0 to 5 and a click on no item; each click is consumed.
TEST_F(LauncherTest, MenuItems)
{
  WriteStandardWorld();
  WriteConfig({"Map=1", "SaveFile=Game.Sav", "Mode=3", "Cubes=1"});
  BeginFramesInMenu();
  auto Click = [&](int32_t Item) {
    ClearLogs();
    RecordingGraph::QueueMenuResults({Item});
    KeyState[VK_LBUTTON] = 1;
    Frame();
    EXPECT_EQ(KeyState[VK_LBUTTON], 0) << "item " << Item;
  };
  const Names Acts = {"GameNewGame", "GameSetState", "GameSave", "GameLoad"};

  // Without the button the pointer's item does nothing.
  RecordingGraph::QueueMenuResults({miExit});
  Frame();
  EXPECT_FALSE(QuitFlag);

  Click(miContinue);  // the pass's game is behind the menu
  EXPECT_EQ(Calls(Acts), Texts{"GameSetState(0)"});
  EXPECT_EQ(GameGetState(), gsPlay);
  GameSetState(gsMenu);

  Click(miLoad);  // no save yet: nothing
  EXPECT_EQ(Calls(Acts), Texts{});

  Click(miSave);
  EXPECT_EQ(Calls(Acts), Texts{"GameSave(Game.Sav)"});
  EXPECT_TRUE(Exists("Game.Sav"));

  Click(miNewGame);  // the "Map" of the file: the second set
  EXPECT_EQ(Calls(Acts), Texts{"GameNewGame(b.lvl)"});
  EXPECT_EQ(GameGetState(), gsPlay);
  GameSetState(gsMenu);

  Click(miLoad);
  EXPECT_EQ(Calls(Acts), Texts{"GameLoad(Game.Sav)"});
  EXPECT_EQ(GameGetState(), gsPlay);
  GameSetState(gsMenu);

  Click(-1);
  Click(6);
  EXPECT_EQ(Calls(Acts), Texts{});
  EXPECT_FALSE(QuitFlag);

  EditSettings = {};
  Click(miSettings);
  EXPECT_EQ(Calls(Acts), Texts{"GameSetState(2)"});
  EXPECT_EQ(std::memcmp(&EditSettings, &Settings, sizeof Settings), 0);
  EXPECT_EQ(EditSettings.Mode, 3);
  GameSetState(gsMenu);

  Click(miExit);
  EXPECT_TRUE(QuitFlag);
  EXPECT_EQ(Calls(Acts), Texts{});
}

// The settings page: the button passed as it is (level, not consumed), the
// tables with their highest indexes; back drops the edits.
TEST_F(LauncherTest, SettingsPageAndBack)
{
  WriteStandardWorld();
  WriteConfig({"Mode=4", "SaveFile=s.dat"});
  BeginFramesInMenu();
  const std::string Before = Read("config.ini");
  EditSettings = Settings;
  GameSetState(gsSettings);
  RecordingGraph::SetSettingsEditor([](TSettings &Edit) { Edit.Mode = 7; });
  KeyState[VK_LBUTTON] = 1;
  ClearLogs();
  Frame();
  EXPECT_EQ(KeyState[VK_LBUTTON], 1);
  EXPECT_EQ(Calls({"ProcessSettings"}),
            Texts{"ProcessSettings(0,0,1," + RecordingGraph::PointerText(&EditSettings) + "," +
                  RecordingGraph::PointerText(DisplayModes) + ",7," + RecordingGraph::PointerText(Frequencies) +
                  ",10," + RecordingGraph::PointerText(MapList.Items) + ",1,->-1)"});
  EXPECT_EQ(GameGetState(), gsSettings);

  RecordingGraph::QueueSettingsResults({srBack});
  ClearLogs();
  Frame();
  EXPECT_EQ(Calls({"GameSetState", "GameSave"}), Texts{"GameSetState(1)"});
  EXPECT_EQ(Settings.Mode, 4);
  EXPECT_EQ(Read("config.ini"), Before);
  EXPECT_FALSE(RestartFlag);
  EXPECT_EQ(KeyState[VK_LBUTTON], 0);  // the click on Back clicks nothing on the menu

  // Opening the page again starts from the settings in force.
  RecordingGraph::QueueMenuResults({miSettings});
  KeyState[VK_LBUTTON] = 1;
  Frame();
  EXPECT_EQ(EditSettings.Mode, 4);
}

// Apply within one frame: settings written, the game saved to "Temp.Dat", a
// restart asked for, and the frame still closed with EndDraw.
TEST_F(LauncherTest, ApplyWithinAFrame)
{
  WriteStandardWorld();
  WriteConfig({"Mode=4"});
  BeginFramesInMenu();
  EditSettings = Settings;
  EditSettings.FullScreen = 1;
  GameSetState(gsSettings);
  RecordingGraph::QueueSettingsResults({srApply});
  Frame();
  EXPECT_EQ(Calls({"GameSave", "EndDraw"}), (Texts{"GameSave(Temp.Dat)", "EndDraw(0,0)"}));
  EXPECT_TRUE(RestartFlag);
  EXPECT_TRUE(Exists("Temp.Dat"));
  EXPECT_NE(Read("config.ini").find("FullScreen=1\r\n"), std::string::npos);
  EXPECT_EQ(GameGetState(), gsSettings);
}

// The shipped config.ini ends its lines with LF alone; Apply keeps them so.
TEST_F(LauncherTest, ApplyKeepsTheConfigFilesLineEnds)
{
  WriteStandardWorld();
  Write("config.ini", "; settings\nMaps=maps.ini\nMode=4\n");
  BeginFramesInMenu();
  EditSettings = Settings;
  EditSettings.Mode = 5;
  GameSetState(gsSettings);
  RecordingGraph::QueueSettingsResults({srApply});
  Frame();
  const std::string Written = Read("config.ini");
  EXPECT_EQ(Written.find('\r'), std::string::npos) << Written;
  EXPECT_EQ(Written.rfind("; settings\nMaps=maps.ini\nMode=5\nFullScreen=0\n", 0), 0u) << Written;
}

// A solved level leads to the next one; after the last, the menu shows.
TEST_F(LauncherTest, SolvedLevelsLeadOnAndTheLastToTheMenu)
{
  Write("maps.ini", "three.lvl\n");
  // Level 0 is solved from the start; level 1 has a box next to its destination;
  // level 2 has no destination at all, so 0 equals 0.
  Write("three.lvl", LevelSet({{"9 4"}, {"9 2 31"}, {"9  "}}));
  WriteConfig({});
  BeginFramesInMenu();
  GameSetState(gsPlay);
  Frame();
  EXPECT_EQ(CountOf("GameNextLevel"), 1);
  EXPECT_EQ(GameGetState(), gsPlay);
  EXPECT_EQ(GameGetFieldSize().Width, 6);

  // Push the box onto its destination: the frame that covers it does not count it yet.
  KeyState[VK_RIGHT] = 1;
  int Frames = 0;
  ClearLogs();
  while (CountOf("GameNextLevel") == 0 && Frames < 200) {
    Frame();
    ++Frames;
  }
  ASSERT_LT(Frames, 200);
  const TObjArray Level2 = GameGetObjects();
  EXPECT_EQ(Level2.Count, 0);
  EXPECT_EQ(GameGetFieldSize().Width, 3);
  ReleaseAllKeys();

  ClearLogs();
  Frame();  // no destinations: straight on, past the last level
  EXPECT_EQ(CountOf("GameNextLevel"), 1);
  EXPECT_EQ(GameGetState(), gsMenu);
  ClearLogs();
  Frame();  // the finished set's page first, then the menu
  EXPECT_EQ(CountOf("DrawSetFinished"), 1);
  EXPECT_EQ(CountOf("ProcessMenu"), 0);
  KeyState[VK_ESCAPE] = 1;
  Frame();
  ClearLogs();
  Frame();
  EXPECT_EQ(CountOf("ProcessMenu"), 1);
}

// Indexes that name no entry of their table: "Mode" and "Freq" read as 0, "Map"
// falls back to the first set, for the pass and for the menu's new game.
TEST_F(LauncherTest, OutOfRangeIndexes)
{
  WriteStandardWorld();
  WriteConfig({"FullScreen=1", "Mode=8", "Freq=11", "Map=2"});
  BeginPass();
  EXPECT_EQ(Settings.Mode, 0);
  EXPECT_EQ(Settings.Freq, 0);
  EXPECT_EQ(Settings.Map, 0);
  EXPECT_EQ(Recording::Log({"ChangeDisplaySettingsA"}),
            Texts{"ChangeDisplaySettingsA(640x480x16@0/0x001C0000,4)"});
  EXPECT_EQ(Calls({"GameNewGame"}), Texts{"GameNewGame(a.lvl)"});

  ResetLauncherState();
  RecordingGraph::ClearLog();
  WriteConfig({"Mode=-1", "Freq=-5", "Map=-1"});
  BeginFramesInMenu();
  EXPECT_EQ(ScreenWidth, 640);
  EXPECT_EQ(ScreenBits, 16);
  EXPECT_EQ(ScreenFreq, 0);
  RecordingGraph::QueueMenuResults({miNewGame});
  KeyState[VK_LBUTTON] = 1;
  Frame();
  EXPECT_EQ(Calls({"GameNewGame"}), Texts{"GameNewGame(a.lvl)"});
  EXPECT_EQ(GameGetState(), gsPlay);
}

// An empty map list starts no game: the menu shows with nothing to continue,
// new game does nothing, and the settings page gets an empty list.
TEST_F(LauncherTest, EmptyMapList)
{
  Write("maps.ini", "; no sets yet\n");
  WriteConfig({"Map=0", "SaveFile=s.dat"});
  BeginFramesInMenu();
  EXPECT_EQ(MapList.Count, 0);
  auto Click = [&](int32_t Item) {
    RecordingGraph::QueueMenuResults({Item});
    KeyState[VK_LBUTTON] = 1;
    Frame();
  };
  Click(miNewGame);
  Click(miContinue);
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_EQ(CountOf("GameNewGame"), 0);
  Click(miSettings);
  ClearLogs();
  Frame();
  const auto Page = Calls({"ProcessSettings"});
  ASSERT_EQ(Page.size(), 1u);
  EXPECT_NE(Page[0].find(",-1,->-1)"), std::string::npos);
}

// The pointer counts from the window's outer top-left corner, in a window and
// in full screen, wherever the window lies: a full-screen window on a second
// display starts away from the origin.
TEST_F(LauncherTest, PointerPosition)
{
  WriteStandardWorld();
  WriteConfig({});
  Recording::SetWorkArea({100, 50, 740, 530});  // the 640 x 480 window is centred at (100, 50)
  BeginFramesInMenu();
  Recording::SetCursorPos(103, 52);  // over the frame
  Frame();
  EXPECT_EQ(MousePos.x, 3);
  EXPECT_EQ(MousePos.y, 2);
  EXPECT_EQ(Calls({"ProcessMenu", "EndDraw"}), (Texts{"ProcessMenu(3,2,->-1)", "EndDraw(3,2)"}));

  Settings.FullScreen = 1;
  Recording::SetWindowRect({1920, 120, 2560, 600});
  Recording::SetCursorPos(1930, 140);
  Frame();
  EXPECT_EQ(MousePos.x, 10);
  EXPECT_EQ(MousePos.y, 20);
  EXPECT_EQ(Calls({"EndDraw"}).back(), "EndDraw(10,20)");
}

// State 3, which nothing sets, only leaves on Escape.
TEST_F(LauncherTest, StateThreeLeavesOnEscape)
{
  WriteStandardWorld();
  WriteConfig({});
  BeginFramesInMenu();
  GameSetState(3);
  ClearLogs();
  Frame();
  EXPECT_EQ(Calls({"StartDraw", "ProcessMenu", "GameSetState", "EndDraw"}), (Texts{"StartDraw()", "EndDraw(0,0)"}));
  KeyState[VK_ESCAPE] = 1;
  Frame();
  EXPECT_EQ(GameGetState(), gsMenu);
}

// Files that are not there: the menu's save with no "SaveFile" writes nothing
// (rather than ending the game on a nameless file), and a restart whose
// temporary save has vanished keeps the fresh game behind the menu.
TEST_F(LauncherTest, MissingSaveNamesAndFiles)
{
  WriteStandardWorld();
  WriteConfig({});
  BeginFramesInMenu();
  for (int32_t Item : {miSave, miLoad}) {
    RecordingGraph::QueueMenuResults({Item});
    KeyState[VK_LBUTTON] = 1;
    Frame();
  }
  EXPECT_EQ(Calls({"GameSave", "GameLoad"}), Texts{});
  EXPECT_EQ(GameGetState(), gsMenu);

  ResetLauncherState();
  ClearLogs();
  RestartFlag = true;
  BeginPass();
  EXPECT_EQ(Calls({"GameNewGame", "GameLoad", "GameSetState"}),
            (Texts{"GameNewGame(a.lvl)", "GameSetState(1)", "GameSetState(1)"}));
  EXPECT_EQ(Recording::Count("DeleteFileA"), 0u);
  EXPECT_FALSE(RestartFlag);
}

// A key held while frames are slow: the repeats that pile up meanwhile must not
// keep the player walking after the key is let go. The main loop takes one
// message a frame, so the key-up has to come within a frame or two.
TEST_F(LauncherTest, HeldKeyStopsWithItsKeyUpWhenFramesAreSlow)
{
  WriteStandardWorld();
  WriteConfig({"3DKeys=0"});
  StartPlaying();
  Recording::QueueKeyDown(VK_DOWN);
  for (int i = 0; i < 30; ++i) Recording::QueueKeyRepeat(VK_DOWN);  // 1.5 s of repeats at 20 a second
  Recording::QueueKeyUp(VK_DOWN);
  int Frames = 0;
  while (Frames < 100 && (Frames == 0 || KeyState[VK_DOWN])) {
    Engine->ProcessMessage();
    Frame();
    ++Frames;
  }
  EXPECT_EQ(KeyState[VK_DOWN], 0);
  EXPECT_LE(CountOf("GameMovePlayer"), 2);
}
