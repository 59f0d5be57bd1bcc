// The menu, the settings page and the level chooser by keys and by a game
// controller, the messages going through the recording window system as the
// main loop takes them: one message, then one frame.
#include "LauncherFixture.h"
#include "Sound.h"

#include "LevelPlay.h"
#include "Overlay.h"
#include "ScreenKeys.h"

#include <initializer_list>

namespace {

constexpr int32_t ManyLevels = 120;

class ScreenKeysTest : public LauncherTest {
protected:
  // Two sets: a small one, chosen, and one of 120 levels, each solved by
  // walking right.
  void WriteTwoSets()
  {
    Write("maps.ini", "s.lvl=Small\nm.lvl=Many\n");
    Write("s.lvl", LevelSet({{"      ", " 9 23 ", "      "}}));
    Write("m.lvl", LevelSet(std::vector<std::vector<std::string>>(ManyLevels, {"       ", " 9  23 ", "       "})));
    WriteConfig({"3DKeys=0", "SaveFile=game.sav", "Map=0"});
  }

  void Start()
  {
    WriteTwoSets();
    BeginFramesInMenu();
    Step();
  }

  // One iteration of the main loop.
  void Step()
  {
    Engine->ProcessMessage();
    Frame();
  }
  void Down(UINT Key)
  {
    Recording::QueueKeyDown(Key);
    Step();
  }
  void Up(UINT Key)
  {
    Recording::QueueKeyUp(Key);
    Step();
  }
  void Press(UINT Key)
  {
    Down(Key);
    Up(Key);
  }
  void Press(std::initializer_list<UINT> Keys)
  {
    for (const UINT Key : Keys) Press(Key);
  }

  // What the last frame asked the renderer to highlight.
  int32_t Highlight() const
  {
    const auto Given = Calls({"SetHighlight"});
    return Given.empty() ? -99 : std::stoi(Given.back().substr(std::string("SetHighlight(").size()));
  }
  // The first level of the page the chooser showed last.
  int32_t ChooserFirst() const
  {
    const auto &Log = RecordingGraph::Log();
    for (auto It = Log.rbegin(); It != Log.rend(); ++It)
      if (It->Name == "ProcessChooser") return std::stoi(It->Args[4]);
    return -99;
  }
};

// From the menu to the settings page, a setting applied, the pass again, the
// chooser of 120 levels paged through and a level typed and played, then the
// menu and back into the game: no click anywhere.
TEST_F(ScreenKeysTest, EveryScreenByKeysAlone)
{
  Start();
  Press(VK_DOWN);
  EXPECT_EQ(Highlight(), miSave) << "the menu opens on Continue";
  Press({VK_DOWN, VK_DOWN});
  EXPECT_EQ(Highlight(), miSettings);
  Press(VK_RETURN);
  ASSERT_EQ(GameGetState(), gsSettings);

  Press({VK_DOWN, VK_DOWN, VK_DOWN});
  EXPECT_EQ(Highlight(), hlMap);
  Press(VK_RIGHT);
  EXPECT_EQ(EditSettings.Map, 1);
  Press(VK_RIGHT);
  EXPECT_EQ(EditSettings.Map, 0) << "round from the last set to the first";
  Press(VK_RIGHT);
  Down(VK_RETURN);
  ASSERT_TRUE(RestartFlag);
  EXPECT_NE(Read("config.ini").find("Map=1"), std::string::npos);

  EndPass();
  BeginFramesInMenu();
  Up(VK_RETURN);
  EXPECT_EQ(GameGetState(), gsMenu);
  Press('L');
  ASSERT_EQ(RecordingGraph::LastChooser().size(), size_t(ManyLevels));
  EXPECT_EQ(Highlight(), 0);
  Press(VK_END);
  EXPECT_EQ(Highlight(), ManyLevels - 1);
  EXPECT_EQ(ChooserFirst(), 110);
  Press(VK_HOME);
  EXPECT_EQ(ChooserFirst(), 0);
  Press({VK_NEXT, VK_NEXT, VK_DOWN});
  EXPECT_EQ(Highlight(), 21);
  EXPECT_EQ(ChooserFirst(), 20);
  Press(VK_PRIOR);
  EXPECT_EQ(Highlight(), 11);
  Press({VK_UP, VK_UP});
  EXPECT_EQ(Highlight(), 9);
  EXPECT_EQ(ChooserFirst(), 0);
  Press({'4', '5'});
  EXPECT_EQ(Highlight(), 44);
  EXPECT_EQ(ChooserFirst(), 40);
  Press(VK_RETURN);
  ASSERT_EQ(GameGetState(), gsPlay);
  EXPECT_EQ(LevelPlay.LevelIndex, 44);

  Press(VK_ESCAPE);
  EXPECT_EQ(GameGetState(), gsMenu);
  Press(VK_ESCAPE);
  EXPECT_EQ(GameGetState(), gsPlay) << "Escape goes back to the game in play";
  EXPECT_EQ(LevelPlay.LevelIndex, 44);
}

// The digits of one number come within a second of each other; a number no
// level has is no move.
TEST_F(ScreenKeysTest, ANumberTypedInTheChooserGoesToThatLevel)
{
  WriteTwoSets();
  WriteConfig({"3DKeys=0", "Map=1"});
  BeginFramesInMenu();
  Press('L');
  Press({'1', '2'});
  EXPECT_EQ(Highlight(), 11);
  EXPECT_EQ(ChooserFirst(), 10);
  Recording::AdvanceTicks(TypingMs + 1);
  Press('7');
  EXPECT_EQ(Highlight(), 6) << "a pause starts a new number";
  Press('1');
  EXPECT_EQ(Highlight(), 70) << "no pause: 71";
  Recording::AdvanceTicks(TypingMs + 1);
  Press({'1', '5', '0'});
  EXPECT_EQ(Highlight(), 14) << "there is no level 150, nor 0";
  Press('3');
  EXPECT_EQ(Highlight(), 2) << "after a number of no level, a digit starts a new one";
  Recording::AdvanceTicks(TypingMs + 1);
  Press({VK_NUMPAD0 + 9, VK_NUMPAD0 + 9});
  EXPECT_EQ(Highlight(), 98);
  EXPECT_EQ(ChooserFirst(), 90);
}

// The settings page: values round at the ends of their tables, Left and Right
// go between Apply and Back, Enter on Back and Escape both drop the edits.
TEST_F(ScreenKeysTest, SettingsByKeysChangeValuesAndGoBackWithoutThem)
{
  Start();
  Press({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  ASSERT_EQ(GameGetState(), gsSettings);
  EXPECT_EQ(Highlight(), hlMode);
  Press(VK_LEFT);
  EXPECT_EQ(EditSettings.Mode, 7) << "round from the first mode to the last";
  Press({VK_DOWN, VK_DOWN, VK_RIGHT});
  EXPECT_EQ(EditSettings.FullScreen, 1);
  Press({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RIGHT});
  EXPECT_EQ(EditSettings.Cubes, 1);
  EXPECT_EQ(EditSettings.Keys3D, 1);
  Press({VK_DOWN, VK_RIGHT, VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(Highlight(), hlSoundVolume);
  EXPECT_EQ(EditVolumes.Sound, 10) << "held at its top, not round to 0";
  Press({VK_DOWN, VK_LEFT});
  EXPECT_EQ(Highlight(), hlMusicVolume);
  EXPECT_EQ(EditVolumes.Music, 2);
  Press(VK_DOWN);
  EXPECT_EQ(Highlight(), srApply);
  Press(VK_RIGHT);
  EXPECT_EQ(Highlight(), srBack);
  const std::string Before = Read("config.ini");
  Press(VK_RETURN);
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_FALSE(RestartFlag);
  EXPECT_EQ(Settings.Mode, 0);
  EXPECT_EQ(Read("config.ini"), Before);

  Press(VK_RETURN);  // the menu's highlight stayed on Settings
  ASSERT_EQ(GameGetState(), gsSettings);
  EXPECT_EQ(EditSettings.Mode, 0) << "a fresh copy to edit";
  Press({VK_UP, VK_UP});
  EXPECT_EQ(Highlight(), hlMusicVolume) << "round from the first control to the last";
  Press(VK_ESCAPE);
  EXPECT_EQ(GameGetState(), gsMenu);
  EXPECT_FALSE(RestartFlag);
}

// Escape held and repeating neither bounces from play to the menu and back
// nor the other way; Enter repeating picks once; a held arrow moves on.
TEST_F(ScreenKeysTest, EachPressActsOnceAndOnlyArrowsRepeat)
{
  Start();
  Down(VK_ESCAPE);
  ASSERT_EQ(GameGetState(), gsPlay);
  for (int I = 0; I < 5; ++I) {
    Recording::QueueKeyRepeat(VK_ESCAPE);
    Step();
    EXPECT_EQ(GameGetState(), gsPlay) << "repeat " << I;
  }
  Up(VK_ESCAPE);
  Down(VK_ESCAPE);
  ASSERT_EQ(GameGetState(), gsMenu);
  for (int I = 0; I < 5; ++I) {
    Recording::QueueKeyRepeat(VK_ESCAPE);
    Step();
    EXPECT_EQ(GameGetState(), gsMenu) << "repeat " << I;
  }
  Up(VK_ESCAPE);

  Down(VK_DOWN);
  for (int I = 0; I < 3; ++I) {
    Recording::QueueKeyRepeat(VK_DOWN);
    Step();
  }
  Up(VK_DOWN);
  EXPECT_EQ(Highlight(), miExit) << "from Continue, four steps round to Exit";
  Press(VK_UP);
  Press(VK_UP);
  ASSERT_EQ(Highlight(), miLoad);
  Press(VK_UP);
  ClearLogs();
  Down(VK_RETURN);
  for (int I = 0; I < 5; ++I) {
    Recording::QueueKeyRepeat(VK_RETURN);
    Step();
  }
  Up(VK_RETURN);
  EXPECT_EQ(CountOf("GameSave"), 1);
  EXPECT_EQ(RecordingGraph::LastOverlay().Message, "Saved");
}

// The highlight follows whichever was used last: a pointer that moves shows
// its own item and the keys go on from there; a click picks what lies under
// the pointer, not the keys' item.
TEST_F(ScreenKeysTest, TheHighlightFollowsThePointerOrTheKeysWhicheverCameLast)
{
  Start();
  Press(VK_DOWN);
  EXPECT_EQ(Highlight(), miSave);
  Recording::SetCursorPos(300, 200);
  RecordingGraph::QueueMenuResults({miNewGame});
  Step();
  EXPECT_EQ(Highlight(), hlPointer);
  Press(VK_DOWN);
  EXPECT_EQ(Highlight(), miContinue) << "one on from the item under the pointer";
  RecordingGraph::SetMenuDefault(miLoad);
  Recording::QueueClick(300, 200);
  Step();
  EXPECT_EQ(Highlight(), hlPointer) << "a click is the pointer's, moved or not";
  EXPECT_EQ(RecordingGraph::LastOverlay().Message, "Nothing saved yet");
  EXPECT_EQ(GameGetState(), gsMenu);
}

// A controller's A is Enter everywhere; B is Escape off the play screen and
// undo in play. A release lets go of what its press stood for, though the
// screen changed in between.
TEST_F(ScreenKeysTest, ControllerAIsEnterBIsEscapeOffPlayAndUndoInPlay)
{
  Start();
  Down(VK_GAMEPAD_B);
  ASSERT_EQ(GameGetState(), gsPlay);
  Step();
  EXPECT_EQ(GameGetState(), gsPlay);
  Up(VK_GAMEPAD_B);
  EXPECT_EQ(KeyState[VK_ESCAPE], 0);
  EXPECT_EQ(KeyState[VK_BACK], 0);

  const double Start = GameGetPlayer().Box.x;
  Down(VK_RIGHT);
  for (int I = 0; I < 12; ++I) Step();
  Up(VK_RIGHT);
  ASSERT_GT(GameGetPlayer().Box.x, Start + 0.5);
  Press(VK_GAMEPAD_B);
  EXPECT_EQ(GameGetPlayer().Box.x, Start) << "undone";
  EXPECT_EQ(GameGetState(), gsPlay);

  Press(VK_ESCAPE);  // the controller's Start
  ASSERT_EQ(GameGetState(), gsMenu);
  Press({VK_DOWN, VK_DOWN, VK_DOWN});
  Press(VK_GAMEPAD_A);
  ASSERT_EQ(GameGetState(), gsSettings);
  Press(VK_GAMEPAD_B);
  EXPECT_EQ(GameGetState(), gsMenu);
  Press('L');
  Press({VK_GAMEPAD_A});
  EXPECT_EQ(GameGetState(), gsPlay) << "the chooser opens on the level in play and A plays it";
}

}  // namespace
