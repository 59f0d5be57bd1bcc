// FrameDriver.cpp -- one frame: the pointer, then play, the menu or the settings
// page according to the game state, all drawing between StartDraw and EndDraw.
#include "Kestrove.h"

#include "Files.h"
#include "LauncherInternal.h"
#include "LevelPlay.h"
#include "Overlay.h"
#include "Text.h"

#include <bit>
#include <cmath>

namespace {

// A turn also nudges the player forward by a hair, so the rules settle the facing at once.
constexpr float TurnNudge = 0.0001f;
static_assert(std::bit_cast<uint32_t>(TurnNudge) == 0x38D1B717);

enum : uint8_t { gsOther = 3 };

bool KeyDown(UINT Key) { return KeyState[Key] != 0; }

void ReadPointer()
{
  POINT Cursor = {};
  GetCursorPos(&Cursor);
  MousePos = {Cursor.x, Cursor.y};
  if (!Settings.FullScreen && Engine) {
    // In a window the position counts from the outer top-left corner, frame included.
    MousePos.x -= Engine->Left();
    MousePos.y -= Engine->Top();
  }
}

bool TurnUnderWay() { return std::nearbyint(GameGetRotateAngle()) != 0.0f; }

void ReadMovementKeys()
{
  const bool Keys3D = Settings.Keys3D != 0;
  if ((KeyDown(VK_LEFT) && Keys3D) || (KeyDown(VK_PRIOR) && !Keys3D)) {
    GameRotate(-1);
    GameMovePlayer(TurnNudge);
  }
  if ((KeyDown(VK_RIGHT) && Keys3D) || (KeyDown(VK_NEXT) && !Keys3D)) {
    GameRotate(+1);
    GameMovePlayer(TurnNudge);
  }
  if (KeyDown(VK_UP)) GameMovePlayer(+1.0f);
  if (KeyDown(VK_DOWN)) GameMovePlayer(-1.0f);
  if (KeyDown(VK_LEFT) && !Keys3D) GameMovePlayerX(-1.0f);
  if (KeyDown(VK_RIGHT) && !Keys3D) GameMovePlayerX(+1.0f);
}

struct TTargetCount {
  int32_t Covered = 0, Targets = 0;
};

TTargetCount CountTargets(const TObjArray &Objects)
{
  TTargetCount Count;
  for (int32_t i = 0; i < Objects.Count; ++i) {
    const TGameObject &Object = Objects.Items[i];
    if (Object.Kind == okBox && Object.OnTarget != 0) ++Count.Covered;
    if (Object.Kind == okTarget) ++Count.Targets;
  }
  return Count;
}

// The order is fixed: the objects are counted and drawn as the previous frame
// left them, the player after this frame's rules.
void PlayFrame()
{
  if (KeyDown(VK_ESCAPE)) {
    GameSetState(gsMenu);  // this frame still plays; the menu shows from the next
    ForgetHeldButton();
  }
  HandleStepKeys();
  if (!TurnUnderWay()) {
    GameRoundCurrAngle();
    OpenStepOnKey();  // the world as the keys find it, settled
    ReadMovementKeys();
  }
  GameProcessRotate();

  const float Angle = GameGetCurrAngle();
  const TPlayer Player = GameGetPlayer();
  MoveToPlayer(Player.Direction, &Player, Angle);

  const TFieldSize Field = GameGetFieldSize();
  DrawFloor(Field.Width, Field.Height);

  const TObjArray Objects = GameGetObjects();
  const TTargetCount Count = CountTargets(Objects);
  DrawObjects(Objects.Items, Objects.Count - 1);

  GameProcessPlayer();
  const TPlayer Moved = GameGetPlayer();
  DrawPlayer(&Moved);
  CountMoves(Moved, Objects);

  if (Count.Covered == Count.Targets) {
    if (Count.Targets > 0) TellLevelSolved();
    GameNextLevel();
    LevelStarted(LevelPlay.LevelIndex + 1);
    TellIfSetFinished();
  }
  if (Settings.Cubes) ProcessCubes();
}

void NewGameFromMenu()
{
  // The "Map" the pass started with; an index that names no set starts the first one.
  StartMapSet(TextToInt(Config->GetValue("Map")));
  SetRunStarted();
}

void SaveFromMenu()
{
  const std::string SaveFile = Config->GetValue("SaveFile");
  if (SaveFile.empty()) return;  // no file named: nothing to write to
  GameSave(SaveFile.c_str());
  ShowMessage("Saved");
}

void LoadFromMenu()
{
  const std::string SaveFile = Config->GetValue("SaveFile");
  if (!FileExists(SaveFile)) {
    ShowMessage("Nothing saved yet");
    return;
  }
  const TSavedPlace Place = ReadSavedPlace(SaveFile);
  GameLoad(SaveFile.c_str());
  LevelStarted(Place.Index >= 0 ? Place.Index : LevelPlay.LevelIndex);
  LevelPlay.Set = SetOfLevelFile(Place.LevelFile);
  SetRunStarted();
  ShowMessage("Loaded");
}

void CarryOutMenuItem(int32_t Item)
{
  switch (Item) {
  case miNewGame: NewGameFromMenu(); break;
  case miContinue:
    if (!ContinueRefused()) GameSetState(gsPlay);  // refused by the rules while no level is loaded
    break;
  case miSave: SaveFromMenu(); break;
  case miLoad: LoadFromMenu(); break;
  case miSettings:
    EditSettings = Settings;
    GameSetState(gsSettings);
    break;
  case miExit: QuitFlag = true; break;
  default: break;  // a click on no item
  }
}

void MenuFrame()
{
  if (FinishedPageOpen()) {
    FinishedPageFrame();
    return;
  }
  if (KeyDown(VK_CHOOSER) && !ChooserOpen()) {
    KeyState[VK_CHOOSER] = 0;  // one press opens it once
    OpenChooser();
  }
  if (ChooserOpen()) {
    ChooserFrame();
    return;
  }
  const int32_t Item = ProcessMenu(&MousePos);
  if (!KeyDown(VK_LBUTTON)) return;
  CarryOutMenuItem(Item);
  KeyState[VK_LBUTTON] = 0;  // one press, one item
}

void SettingsFrame()
{
  const int32_t Result =
    ProcessSettings(&MousePos, KeyState[VK_LBUTTON], &EditSettings, DisplayModes,
                    static_cast<int32_t>(std::size(DisplayModes)) - 1, Frequencies,
                    static_cast<int32_t>(std::size(Frequencies)) - 1, MapList.Items, MapList.Count - 1);
  if (Result == srApply) {
    SaveSettings();
    GameSave(RestartSaveWrite);
    RestartFlag = true;
  } else if (Result == srBack) {
    GameSetState(gsMenu);  // the edits are dropped
    ForgetHeldButton();    // the click on Back is no click on the menu
  }
}

}  // namespace

void ProcessFrame()
{
  ReadPointer();
  StartDraw();
  const uint8_t State = GameGetState();
  switch (State) {
  case gsPlay: PlayFrame(); break;
  case gsMenu: MenuFrame(); break;
  case gsSettings: SettingsFrame(); break;
  case gsOther:
    if (KeyDown(VK_ESCAPE)) GameSetState(gsMenu);
    break;
  default: break;
  }
  DrawFrameOverlay(State == gsPlay);
  EndDraw(&MousePos);
}
