// FrameDriver.cpp -- one frame: the pointer, then play, the menu or the settings
// page according to the game state, all drawing between StartDraw and EndDraw.
#include "Kestrove.h"

#include "Editor.h"
#include "Files.h"
#include "Hint.h"
#include "LauncherInternal.h"
#include "LevelPlay.h"
#include "MousePlay.h"
#include "Overlay.h"
#include "Pace.h"
#include "ScreenKeys.h"
#include "Sound.h"
#include "Text.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// A turn also nudges the player forward by a hair, so the rules settle the facing at once.
constexpr float TurnNudge = 0.0001f;
static_assert(std::bit_cast<uint32_t>(TurnNudge) == 0x38D1B717);

enum : uint8_t { gsOther = 3 };

bool KeyDown(UINT Key) { return RuleKeyDown(Key); }

void ReadPointer()
{
  POINT Cursor = {};
  GetCursorPos(&Cursor);
  MousePos = {Cursor.x, Cursor.y};
  // From the window's outer top-left corner in every mode: a full-screen window
  // need not start at the screen's origin (a second display, no window manager).
  if (Engine) {
    MousePos.x -= Engine->Left();
    MousePos.y -= Engine->Top();
  }
}

bool TurnUnderWay() { return std::nearbyint(GameGetRotateAngle()) != 0.0f; }

// What the keys asked of a rule frame, for the sounds it makes.
struct TKeysActed {
  bool Moved = false;        // a walk was asked for
  bool TurnStarted = false;  // a quarter turn began
};

// The movement and turn keys one rule frame holds.
struct THeldKeys {
  bool Up = false, Down = false, Left = false, Right = false, PageUp = false, PageDown = false;
};

THeldKeys HeldKeysNow()
{
  return {KeyDown(VK_UP), KeyDown(VK_DOWN), KeyDown(VK_LEFT), KeyDown(VK_RIGHT), KeyDown(VK_PRIOR), KeyDown(VK_NEXT)};
}

TKeysActed MoveAsKeysSay(const THeldKeys &Held, bool Keys3D)
{
  TKeysActed Acted;
  if ((Held.Left && Keys3D) || (Held.PageUp && !Keys3D)) {
    GameRotate(-1);
    GameMovePlayer(TurnNudge);
    Acted.TurnStarted = true;
  }
  if ((Held.Right && Keys3D) || (Held.PageDown && !Keys3D)) {
    GameRotate(+1);
    GameMovePlayer(TurnNudge);
    Acted.TurnStarted = true;
  }
  if (Held.Up) GameMovePlayer(+1.0f);
  if (Held.Down) GameMovePlayer(-1.0f);
  if (Held.Left && !Keys3D) GameMovePlayerX(-1.0f);
  if (Held.Right && !Keys3D) GameMovePlayerX(+1.0f);
  Acted.Moved = Held.Up || Held.Down || (!Keys3D && (Held.Left || Held.Right));
  return Acted;
}

// A click's walk holds its keys as arrows that step sideways; else the player's keys.
TKeysActed ReadMovementKeys()
{
  TWalkKeys Walked;
  if (WalkKeys(Walked))
    return MoveAsKeysSay({Walked.Up, Walked.Down, Walked.Left, Walked.Right, Walked.PageUp, Walked.PageDown}, false);
  OpenStepOnKey();  // the world as the keys find it, settled
  return MoveAsKeysSay(HeldKeysNow(), Settings.Keys3D != 0);
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

// Between DrawObjects and DrawPlayer: the mouse's marks, the hint and the dead boxes.
void DrawLevelMarks()
{
  TCellMarks Marks{-1, -1, -1, -1, 0, 0, nullptr, -1, -1, 0, 0, nullptr};
  AddMouseMarks(Marks);
  AddHintMarks(Marks);
  DrawCellMarks(&Marks);
}

// Escape, undo and its kin, then the movement keys unless a turn is under way.
TKeysActed ReadPlayKeys()
{
  ReadPlayMouse();  // Escape that stops a walk or lets a box go opens no menu
  HintRuleFrame();
  if (KeyDown(VK_ESCAPE)) {
    GameSetState(gsMenu);  // this frame still plays; the menu shows from the next
    ForgetHeldButton();
  }
  HandleStepKeys();
  if (!TurnUnderWay()) {
    GameRoundCurrAngle();
    return ReadMovementKeys();
  }
  return {};
}

void MoveOnWhenSolved(const TTargetCount &Count)
{
  if (Count.Covered != Count.Targets) {
    LevelPlay.SeenUnsolved = true;
    return;
  }
  const bool ToldBefore = LevelPlay.Solved;
  if (Count.Targets > 0) TellLevelSolved();
  const bool JustSolved = LevelPlay.Solved && !ToldBefore;
  GameNextLevel();
  LevelStarted(LevelPlay.LevelIndex + 1);
  TellIfSetFinished();
  if (FinishedPageOpen()) PlaySound(sound::ESound::SetDone);  // the set's phrase, not the level's too
  else if (JustSolved) PlaySound(sound::ESound::Solved);
  ForgetHeldMovementKeys();  // a key that solved a level does not walk on, unseen, into the next
}

// One rule frame per drawn frame. The order is fixed: the objects are counted
// and drawn as the previous frame left them, the player after this frame's rules.
void PlayFrameAsDrawn()
{
  const TKeysActed Acted = ReadPlayKeys();
  GameProcessRotate();

  const float Angle = GameGetCurrAngle();
  HearView(Angle);
  const TPlayer Player = GameGetPlayer();
  MoveToPlayer(Player.Direction, &Player, Angle);

  const TFieldSize Field = GameGetFieldSize();
  DrawFloor(Field.Width, Field.Height);

  const TObjArray Objects = GameGetObjects();
  const TTargetCount Count = CountTargets(Objects);
  DrawObjects(Objects.Items, Objects.Count - 1);
  DrawLevelMarks();

  GameProcessPlayer();
  const TPlayer Moved = GameGetPlayer();
  DrawPlayer(&Moved);
  CountMoves(Moved, Objects);
  HearRuleFrame(Moved, Objects, Acted.Moved, Acted.TurnStarted);

  MoveOnWhenSolved(Count);
  if (Settings.Cubes) ProcessCubes();
  RuleFrameDone();
}

// The same rules in the same order, nothing drawn.
void RuleFrame()
{
  const TKeysActed Acted = ReadPlayKeys();
  GameProcessRotate();
  const TObjArray Objects = GameGetObjects();
  const TTargetCount Count = CountTargets(Objects);
  GameProcessPlayer();
  const TPlayer Moved = GameGetPlayer();
  CountMoves(Moved, Objects);
  HearRuleFrame(Moved, Objects, Acted.Moved, Acted.TurnStarted);
  MoveOnWhenSolved(Count);
  RuleFrameDone();
}

// Where a rule frame left what moves: the player, the view and the boxes.
struct TPose {
  TPlayer Player{};
  float Angle = 0;
  const TGameObject *Items = nullptr;  // the array the boxes are of
  int32_t Count = 0;
  std::vector<std::pair<int32_t, TBox>> Boxes;  // by object index
};

struct TPoses {
  TPose From, To;               // the last two rule frames
  std::vector<TGameObject> Drawn;  // the objects with their boxes blended, when one moved
};
TPoses Poses;

TPose PoseNow()
{
  TPose Pose;
  Pose.Player = GameGetPlayer();
  Pose.Angle = GameGetCurrAngle();
  HearView(Pose.Angle);
  const TObjArray Objects = GameGetObjects();
  Pose.Items = Objects.Items;
  Pose.Count = Objects.Count;
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox) Pose.Boxes.emplace_back(I, Objects.Items[I].Box);
  return Pose;
}

// Further than this in one rule frame is no walk, push or turn but a jump
// (undo, restart, a level loaded), drawn where it lands.
constexpr double JumpCells = 0.5;
constexpr float JumpDegrees = 45;

bool Jumped(const TBox &From, const TBox &To)
{
  return std::abs(To.x - From.x) > JumpCells || std::abs(To.y - From.y) > JumpCells ||
         std::abs(To.z - From.z) > JumpCells;
}

bool SameWorld(const TPose &From, const TPose &To)
{
  if (From.Items != To.Items || From.Count != To.Count || From.Boxes.size() != To.Boxes.size()) return false;
  for (size_t I = 0; I < To.Boxes.size(); ++I)
    if (From.Boxes[I].first != To.Boxes[I].first) return false;
  return !Jumped(From.Player.Box, To.Player.Box) && std::abs(To.Angle - From.Angle) <= JumpDegrees;
}

double Between(double From, double To, double Blend) { return From + (To - From) * Blend; }

TBox BlendBox(const TBox &From, const TBox &To, double Blend)
{
  if (Jumped(From, To)) return To;
  TBox Box = To;
  Box.x = Between(From.x, To.x, Blend);
  Box.y = Between(From.y, To.y, Blend);
  Box.z = Between(From.z, To.z, Blend);
  return Box;
}

// The library's own array, or a copy with the boxes that moved put between.
const TGameObject *ObjectsToDraw(const TObjArray &Objects, double Blend)
{
  const TPose &From = Poses.From, &To = Poses.To;
  bool Copied = false;
  for (size_t I = 0; I < To.Boxes.size(); ++I) {
    const auto &[Index, Box] = To.Boxes[I];
    const TBox &Before = From.Boxes[I].second;
    if (std::memcmp(&Before, &Box, sizeof Box) == 0 || Index >= Objects.Count) continue;
    if (!Copied) Poses.Drawn.assign(Objects.Items, Objects.Items + Objects.Count);
    Copied = true;
    Poses.Drawn[size_t(Index)].Box = BlendBox(Before, Box, Blend);
  }
  return Copied ? Poses.Drawn.data() : Objects.Items;
}

void DrawPlayView(double Blend)
{
  TPlayer Player = Poses.To.Player;
  Player.Box = BlendBox(Poses.From.Player.Box, Poses.To.Player.Box, Blend);
  const float Angle = static_cast<float>(Between(Poses.From.Angle, Poses.To.Angle, Blend));
  MoveToPlayer(Player.Direction, &Player, Angle);

  const TFieldSize Field = GameGetFieldSize();
  DrawFloor(Field.Width, Field.Height);

  const TObjArray Objects = GameGetObjects();
  DrawObjects(ObjectsToDraw(Objects, Blend), Objects.Count - 1);
  DrawLevelMarks();
  DrawPlayer(&Player);
  if (Settings.Cubes) ProcessCubes();
}

// The rule frames due, then one drawing between the last two of them.
void PacedPlayFrame()
{
  const TPaceStep Step = PaceDrawnFrame();
  if (Step.Restarted) Poses.To = PoseNow();
  for (int32_t I = 0; I < Step.RuleFrames && GameGetState() == gsPlay; ++I) {
    RuleFrame();
    Poses.From = std::move(Poses.To);
    Poses.To = PoseNow();
  }
  if (Step.Restarted || !SameWorld(Poses.From, Poses.To)) Poses.From = Poses.To;
  DrawPlayView(Step.Blend);
}

void PlayFrame()
{
  if (PaceSettings.Pace > 0) PacedPlayFrame();
  else PlayFrameAsDrawn();
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
  SaveGame(SaveFile);
  ShowMessage("Saved");
}

void LoadFromMenu()
{
  const std::string SaveFile = Config->GetValue("SaveFile");
  if (!FileExists(SaveFile)) {
    ShowMessage("Nothing saved yet");
    return;
  }
  LoadGame(SaveFile);
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
    EditVolumes = Volumes;
    GameSetState(gsSettings);
    break;
  case miExit: QuitFlag = true; break;
  default: break;  // a click on no item
  }
}

bool IsMenuItem(int32_t Item) { return Item >= miNewGame && Item <= miExit; }

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
  const int32_t Picked = MenuKeys(HearScreenKeys(TakeScreenKeys()));
  const int32_t Item = ProcessMenu(&MousePos);
  HearItemUnder(IsMenuItem(Item) ? Item : NoItemUnder);
  MenuPointedAt(Item);
  if (Picked >= 0) CarryOutMenuItem(Picked);
  if (!KeyDown(VK_LBUTTON)) return;
  if (IsMenuItem(Item)) PlaySound(sound::ESound::Click);
  CarryOutMenuItem(Item);
  KeyState[VK_LBUTTON] = 0;  // one press, one item
}

void SettingsFrame()
{
  const int32_t ByKeys = SettingsKeys(HearScreenKeys(TakeScreenKeys()));
  SetVolumes(&EditVolumes);
  const int32_t ByPointer =
    ProcessSettings(&MousePos, KeyState[VK_LBUTTON], &EditSettings, DisplayModes,
                    static_cast<int32_t>(std::size(DisplayModes)) - 1, Frequencies,
                    static_cast<int32_t>(std::size(Frequencies)) - 1, MapList.Items, MapList.Count - 1);
  HearButton(KeyState[VK_LBUTTON] != 0);
  const int32_t Result = ByKeys >= 0 ? ByKeys : ByPointer;
  if (Result == srApply) {
    SaveSettings();
    SaveGame(RestartSaveWrite);  // the counters come back from memory; the file is whole all the same
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
  if (State != gsPlay) {
    StopPace();
    RuleFrameDone();  // a key tapped off the play screen moves nothing
    ForgetHeardPlay();
  } else {
    ScreenKeysInPlay();
  }
  if (EditorTakesFrame()) {
    EditorFrame();  // M there types a letter: it mutes nothing
    EndDraw(&MousePos);
    return;
  }
  HearMuteKey(KeyState[VK_MUTE] != 0);
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
