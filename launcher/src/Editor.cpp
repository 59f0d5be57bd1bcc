// Editor.cpp -- the level editor's frames. The level is drawn from the
// editor's own cells, built into objects as the rules' loader builds them, so
// any size shows while it is edited; test play goes through a level file and
// the rules, as every level is played.
#include "Editor.h"

#include "EditLevel.h"
#include "Files.h"
#include "Grid.h"
#include "Kestrove.h"
#include "LauncherInternal.h"
#include "LevelPlay.h"
#include "Overlay.h"
#include "ScreenKeys.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// The solver's word on one version of the level, worked out on a thread of its
// own within a deadline: an edit cancels the search under way and asks again,
// and a word on an older version is never shown.
class TSolveWorker {
public:
  TSolveWorker() : Thread([this] { Run(); }) {}
  ~TSolveWorker()
  {
    {
      const std::lock_guard Lock(Mutex);
      Stop = true;
      Cancel = true;
    }
    Wake.notify_one();
    Thread.join();
  }
  TSolveWorker(const TSolveWorker &) = delete;
  TSolveWorker &operator=(const TSolveWorker &) = delete;

  // A ticket for the answer: each question has its own, whatever level it is about.
  uint64_t Ask(const levels::Level &Level, std::chrono::milliseconds Time)
  {
    uint64_t Ticket = 0;
    {
      const std::lock_guard Lock(Mutex);
      Pending = levels::BoardOf(Level);
      Ticket = PendingTicket = ++Tickets;
      PendingTime = Time;
      Cancel = true;
    }
    Wake.notify_one();
    return Ticket;
  }
  // The answer for the ticket, once there is one.
  std::optional<levels::SolveResult> Answer(uint64_t Ticket)
  {
    const std::lock_guard Lock(Mutex);
    if (!Done || DoneTicket != Ticket) return std::nullopt;
    return Done;
  }

private:
  void Run()
  {
    std::unique_lock Lock(Mutex);
    for (;;) {
      Wake.wait(Lock, [this] { return Stop || Pending; });
      if (Stop) return;
      const solver::Board Board = std::move(*Pending);
      const uint64_t Ticket = PendingTicket;
      solver::Limits Within;
      Within.MaxStates = MaxStates;
      Within.Deadline = std::chrono::steady_clock::now() + PendingTime;
      Within.Cancel = &Cancel;
      Pending.reset();
      Cancel = false;
      Lock.unlock();
      solver::Result Result = solver::Solve(Board, solver::Mode::Fast, Within);
      Lock.lock();
      Done = std::move(Result);
      DoneTicket = Ticket;
    }
  }

  std::mutex Mutex;
  std::condition_variable Wake;
  static constexpr long MaxStates = 4000000;  // its memory, should the deadline be far
  std::optional<solver::Board> Pending;
  uint64_t Tickets = 0, PendingTicket = 0, DoneTicket = 0;
  std::chrono::milliseconds PendingTime{0};
  std::atomic<bool> Cancel = false;
  std::optional<levels::SolveResult> Done;
  bool Stop = false;
  std::thread Thread;  // last: it starts once everything above is made
};

enum class TField : uint8_t { None, Title, Author };

struct TEditor {
  bool Open = false;
  bool TestPlaying = false;
  int32_t PlayedMoves = 0, PlayedPushes = 0;  // the test play's counters as its last frame left them
  TLevelPlay PutAside;  // the game in progress while a test play stands in for it
  TEditLevel Level = TEditLevel::Room(9, 7);
  int32_t OwnIndex = -1;  // its place in the player's own set once saved there
  TEditTool Tool = TEditTool::Wall;
  int32_t Quarters = 0;   // the view's turn, in quarters
  float Angle = 0;        // as drawn, easing towards Quarters * 90
  bool CloseView = false; // the camera behind the player's start rather than the whole level
  bool Painting = false, Erasing = false;
  int32_t LastX = -1, LastY = -1;  // the cell the stroke last reached
  TField Typing = TField::None;
  std::string Typed;
  uint64_t SavedVersion = 0;
  bool LeaveAsked = false;
  std::string Notice;
  uint64_t AskedVersion = UINT64_MAX;  // the level's version the solver was last asked about
  uint64_t Ticket = 0;                 // and the question's ticket
};

// What the frames show of one version of the level, worked out once: a level
// of 255 x 255 is too large to count and check again every frame.
struct TLevelFacts {
  uint64_t Version = UINT64_MAX;
  std::vector<TGameObject> Objects;
  TPlayer Player{};
  TLevelCounts Counts;
  std::string WhyNot;
};
TLevelFacts Facts;

TEditor Editor;
std::unique_ptr<TSolveWorker> Solver;
constexpr std::chrono::milliseconds SolveTimeAtStart{1500};
std::chrono::milliseconds SolveTime = SolveTimeAtStart;

bool Pressed(unsigned Key)
{
  if (!KeyState[Key]) return false;
  KeyState[Key] = 0;  // one press, one action
  return true;
}

void Tell(const std::string &Text) { Editor.Notice = Text; }

std::string Counted(int32_t N, const char *One, const char *More) { return std::to_string(N) + " " + (N == 1 ? One : More); }

void Opened(TEditLevel Level, int32_t OwnIndex)
{
  Editor = TEditor{};
  Facts = {};  // a new level starts at version 0 as the last one did
  Editor.Level = std::move(Level);
  Editor.OwnIndex = OwnIndex;
  Editor.SavedVersion = Editor.Level.Version();
  Editor.Open = true;
  Editor.Notice = "Number keys choose the tool; paint with the mouse";
  if (!Solver) Solver = std::make_unique<TSolveWorker>();
}

// ---- drawing ----

TBox CellBox(int32_t X, int32_t Y, double Inset)
{
  const double Side = 1.0 - 2 * Inset;
  return {X + Inset, Y + Inset, 0, Side, Side, Side};
}

void AddObject(std::vector<TGameObject> &Objects, uint8_t Kind, int32_t X, int32_t Y, double Inset, bool OnTarget)
{
  TGameObject Object = {};
  Object.Kind = Kind;
  Object.Box = CellBox(X, Y, Inset);
  Object.SavedPos = {Object.Box.x, Object.Box.y, 0};
  Object.OnTarget = OnTarget ? 1 : 0;
  Objects.push_back(Object);
}

std::vector<TGameObject> ObjectsOf(const TEditLevel &Level)
{
  std::vector<TGameObject> Objects;
  for (int32_t Y = Level.Height() - 1; Y >= 0; --Y)
    for (int32_t X = 0; X < Level.Width(); ++X) switch (Level.CellAt(X, Y)) {
      case levels::CellInert: AddObject(Objects, okInert, X, Y, 0.05, false); break;
      case levels::CellWall: AddObject(Objects, okWall, X, Y, 0.05, false); break;
      case levels::CellBox: AddObject(Objects, okBox, X, Y, 0.05, false); break;
      case levels::CellGoal: AddObject(Objects, okTarget, X, Y, 0, false); break;
      case levels::CellBoxOnGoal:
        AddObject(Objects, okTarget, X, Y, 0, false);
        AddObject(Objects, okBox, X, Y, 0.05, true);
        break;
      case levels::CellWater: AddObject(Objects, okWater, X, Y, 0, false); break;
      default: break;
      }
  return Objects;
}

// The player at its start; without one, a player of no size amid the level,
// where the camera still has something to follow.
TPlayer PlayerOf(const TEditLevel &Level)
{
  TPlayer Player = {};
  Player.Step = 0.1f;
  Player.Box = {Level.Width() / 2 + 0.5, Level.Height() / 2 + 0.5, 0, 0, 0, 0};
  for (int32_t Y = 0; Y < Level.Height(); ++Y)
    for (int32_t X = 0; X < Level.Width(); ++X)
      if (Level.CellAt(X, Y) == levels::CellPlayer) Player.Box = {X + 0.15, Y + 0.15, 0, 0.7, 0.7, 0.7};
  Player.PrevPos = {Player.Box.x, Player.Box.y, Player.Box.z};
  return Player;
}

const TLevelFacts &FactsNow()
{
  if (Facts.Version == Editor.Level.Version()) return Facts;
  Facts.Version = Editor.Level.Version();
  Facts.Objects = ObjectsOf(Editor.Level);
  Facts.Player = PlayerOf(Editor.Level);
  Facts.Counts = Editor.Level.Counts();
  Facts.WhyNot = Editor.Level.WhyNotPlayable();
  return Facts;
}

void DrawLevel()
{
  const float Wanted = float(Editor.Quarters) * 90.0f;
  Editor.Angle += std::clamp(Wanted - Editor.Angle, -15.0f, 15.0f);  // a turn eases as in play
  const TPlayer &Player = FactsNow().Player;
  MoveToPlayer(uint8_t(((Editor.Quarters % 4) + 4) % 4), &Player, Editor.Angle);
  DrawFloor(Editor.Level.Width(), Editor.Level.Height());
  const std::vector<TGameObject> &Objects = FactsNow().Objects;
  DrawObjects(Objects.data(), int32_t(Objects.size()) - 1);
  TCellMarks Marks = {-1, -1, -1, -1, 0, 0, nullptr, -1, -1, 0, 0, nullptr};
  int32_t X = 0, Y = 0;
  if (PickCell(&MousePos, &X, &Y) && Editor.Level.Inside(X, Y)) {
    Marks.HoverX = X;
    Marks.HoverY = Y;
  }
  DrawCellMarks(&Marks);
  DrawPlayer(&Player);
}

// ---- the panel ----

std::string SolverLine()
{
  const std::string &Why = FactsNow().WhyNot;
  if (!Why.empty()) return "Not playable: " + Why;
  if (Editor.AskedVersion != Editor.Level.Version()) {
    Editor.Ticket = Solver->Ask(Editor.Level.AsLevel(), SolveTime);
    Editor.AskedVersion = Editor.Level.Version();
  }
  const std::optional<levels::SolveResult> Answer = Solver->Answer(Editor.Ticket);
  if (!Answer) return "Checking...";
  switch (Answer->Result) {
  case levels::SolveResult::Solved: {
    const auto Pushes = std::count_if(Answer->Moves.begin(), Answer->Moves.end(), [](char C) { return C >= 'A' && C <= 'Z'; });
    return "Solvable in " + Counted(int32_t(Pushes), "push", "pushes");
  }
  case levels::SolveResult::Unsolvable: return "Not solvable";
  default: return "Not known yet";
  }
}

std::string FieldLine(const char *Name, TField Field, const std::string &Value)
{
  if (Editor.Typing == Field) return std::string(Name) + ": " + Editor.Typed + "_   (Enter keeps, Esc drops)";
  return std::string(Name) + ": " + (Value.empty() ? "none" : Value);
}

void DrawPanel()
{
  const TLevelCounts C = FactsNow().Counts;
  const bool Unsaved = Editor.Level.Version() != Editor.SavedVersion;
  const std::string Lines[] = {
    std::string("Level editor") + (Unsaved ? " (not saved)" : ""),
    "Tool " + std::to_string(int(Editor.Tool) + 1) + ": " + ToolName(Editor.Tool),
    "1 wall  2 floor  3 mark  4 box  5 water  6 inert  7 player",
    std::to_string(Editor.Level.Width()) + " x " + std::to_string(Editor.Level.Height()) + "   boxes " +
      std::to_string(C.Boxes) + "   marks " + std::to_string(C.Marks) + "   water " + std::to_string(C.Water),
    C.Players == 0 ? "No player" : C.Enclosed ? "Player enclosed" : "Player not enclosed",
    SolverLine(),
    FieldLine("Title (T)", TField::Title, Editor.Level.Title()),
    FieldLine("Author (A)", TField::Author, Editor.Level.Author()),
    "",
    "Left button paints, a drag a line; right erases",
    "Z undo  Y redo",
    "Shift+arrow adds a side, Ctrl+arrow takes one off",
    "PgUp PgDn turn  Tab near or whole view",
    "P test play  S save  Esc leaves",
    Editor.Notice,
  };
  const char *Texts[std::size(Lines)];
  for (size_t I = 0; I < std::size(Lines); ++I) Texts[I] = Lines[I].c_str();
  DrawEditorPanel(Texts, int32_t(std::size(Lines)));
}

// ---- input ----

char TypedChar(unsigned Key, bool Shift)
{
  if (Key >= 'A' && Key <= 'Z') return char(Shift ? Key : Key - 'A' + 'a');
  if (Key >= '0' && Key <= '9') return char(Key);
  switch (Key) {
  case VK_SPACE: return ' ';
  case VK_OEM_MINUS: return Shift ? '_' : '-';
  case VK_OEM_PERIOD: return '.';
  case VK_OEM_COMMA: return ',';
  case VK_OEM_7: return '\'';
  default: return 0;
  }
}

void EndTyping(bool Keep)
{
  if (Keep) {
    std::string Text = Editor.Typed;
    while (!Text.empty() && Text.back() == ' ') Text.pop_back();  // a header keeps no trailing space
    if (Editor.Typing == TField::Title) Editor.Level.SetTitle(Text);
    else Editor.Level.SetAuthor(Text);
  }
  Editor.Typing = TField::None;
}

void ReadTyping()
{
  if (Pressed(VK_RETURN)) return EndTyping(true);
  if (Pressed(VK_ESCAPE)) return EndTyping(false);
  if (Pressed(VK_BACK) && !Editor.Typed.empty()) Editor.Typed.pop_back();
  constexpr size_t MaxTyped = 60;
  for (unsigned Key = 0; Key < 256; ++Key) {
    const char C = TypedChar(Key, KeyState[VK_SHIFT] != 0);
    if (C && Pressed(Key) && Editor.Typed.size() < MaxTyped && !(C == ' ' && Editor.Typed.empty())) Editor.Typed += C;
  }
}

void StartTyping(TField Field)
{
  Editor.Typing = Field;
  Editor.Typed = Field == TField::Title ? Editor.Level.Title() : Editor.Level.Author();
}

void ReadStroke()
{
  const bool Left = KeyState[VK_LBUTTON] != 0, Right = KeyState[VK_RBUTTON] != 0;
  if (!Left && !Right) {
    if (Editor.Painting) Editor.Level.EndStroke();
    Editor.Painting = false;
    return;
  }
  const TEditTool Tool = Right ? TEditTool::Floor : Editor.Tool;
  int32_t X = 0, Y = 0;
  const bool OnLevel = PickCell(&MousePos, &X, &Y) && Editor.Level.Inside(X, Y);
  if (!Editor.Painting || Editor.Erasing != Right) {
    if (Editor.Painting) Editor.Level.EndStroke();
    Editor.Level.BeginStroke();
    Editor.Painting = true;
    Editor.Erasing = Right;
    Editor.LastX = Editor.LastY = -1;
  }
  if (!OnLevel) return;
  if (Editor.LastX < 0) Editor.Level.Paint(X, Y, Tool);
  else Editor.Level.PaintLine(Editor.LastX, Editor.LastY, X, Y, Tool);  // a fast drag leaves no gaps
  Editor.LastX = X;
  Editor.LastY = Y;
}

void ReadResize()
{
  const bool Grow = KeyState[VK_SHIFT] != 0, Shrink = KeyState[VK_CONTROL] != 0;
  if (!Grow && !Shrink) return;
  constexpr std::pair<unsigned, TSide> Sides[] = {
    {VK_LEFT, TSide::Left}, {VK_RIGHT, TSide::Right}, {VK_UP, TSide::Top}, {VK_DOWN, TSide::Bottom}};
  for (const auto &[Key, Side] : Sides) {
    if (!Pressed(Key)) continue;
    const bool Done = Grow ? Editor.Level.Grow(Side) : Editor.Level.Shrink(Side);
    if (!Done) Tell(Grow ? "A level is at most 255 cells a side" : "A level keeps at least one cell a side");
  }
}

// The game in progress, put aside in a save file of the rules' own while a test play replaces it.
constexpr const char *PutAsideFile = "editor-game.sav";

void TestPlay()
{
  const std::string Why = WritePlayFile(Editor.Level, EditorPlayFile);
  if (!Why.empty()) return Tell("Cannot play it: " + Why);
  GameSave(PutAsideFile);
  Editor.PutAside = LevelPlay;
  GameNewGame(EditorPlayFile);
  LevelStarted(0);
  LevelPlay.Set = -1;  // no set's bests: the level is not one yet
  Editor.TestPlaying = true;
  ForgetHeldButton();
}

// Test play ended: the level was solved, or Escape left it.
void BackFromTestPlay()
{
  Editor.TestPlaying = false;
  KeyState[VK_ESCAPE] = 0;  // the Escape that left the play does not leave the editor
  ForgetHeldButton();
  // A solve moves the rules on past the file's one level; Escape leaves them on it.
  const bool Solved = LevelPlay.LevelIndex > 0;
  const uint32_t Jumps = LevelPlay.Jumps;
  GameLoad(PutAsideFile);
  LevelPlay = Editor.PutAside;
  LevelPlay.Jumps = Jumps + 1;  // the world was put somewhere: nothing the mouse chose in it holds
  std::remove(ResolveFileName(PutAsideFile).c_str());
  std::remove(ResolveFileName(EditorPlayFile).c_str());
  GameSetState(gsMenu);
  Tell(Solved ? "Solved in " + Counted(Editor.PlayedMoves, "move", "moves") + ", " +
                  Counted(Editor.PlayedPushes, "push", "pushes")
              : "Back from test play");
}

void Save()
{
  const std::string Why = SaveIntoSet(Editor.Level, TOwnSet{}, Config->GetValue("Maps"), Editor.OwnIndex);
  if (!Why.empty()) return Tell("Not saved: " + Why);
  Editor.SavedVersion = Editor.Level.Version();
  Editor.LeaveAsked = false;
  Tell("Saved as level " + std::to_string(Editor.OwnIndex + 1) + " of " + TOwnSet{}.Title);
  GameLoadMaps(Config->GetValue("Maps").c_str(), &MapList);  // the settings page and the chooser offer the set
}

void Leave()
{
  if (Editor.Level.Version() != Editor.SavedVersion && !Editor.LeaveAsked) {
    Editor.LeaveAsked = true;
    return Tell("Not saved: Esc again leaves all the same, S saves");
  }
  const int32_t Own = SetOfLevelFile(TOwnSet{}.Packed);
  Editor.Open = false;
  const bool Saved = Editor.SavedVersion == Editor.Level.Version() && Own >= 0 && Editor.OwnIndex >= 0;
  OpenChooserOn(Saved ? Own : -1, Saved ? Editor.OwnIndex : -1);
}

void ReadEditKeys()
{
  for (int32_t I = 0; I < EditToolCount; ++I)
    if (Pressed('1' + unsigned(I))) Editor.Tool = TEditTool(I);
  if (Pressed(VK_UNDO) || Pressed(VK_BACK)) {
    if (!Editor.Level.Undo()) Tell("Nothing to undo");
  }
  if (Pressed(VK_REDO) && !Editor.Level.Redo()) Tell("Nothing to redo");
  ReadResize();
  if (Pressed(VK_PRIOR) || (!KeyState[VK_SHIFT] && !KeyState[VK_CONTROL] && Pressed(VK_LEFT))) --Editor.Quarters;
  if (Pressed(VK_NEXT) || (!KeyState[VK_SHIFT] && !KeyState[VK_CONTROL] && Pressed(VK_RIGHT))) ++Editor.Quarters;
  if (Pressed(VK_OVERVIEW)) Editor.CloseView = !Editor.CloseView;
  if (Pressed(VK_EDITTITLE)) StartTyping(TField::Title);
  else if (Pressed(VK_EDITAUTHOR)) StartTyping(TField::Author);
  if (Pressed(VK_SAVELEVEL)) Save();
  if (Pressed(VK_TESTPLAY)) TestPlay();
  else if (Pressed(VK_ESCAPE)) Leave();
}

void DrawEditorOverlay()
{
  TOverlay O = {};
  O.Overview = Editor.CloseView ? 0.0f : 1.0f;
  DrawOverlay(&O);
}

}  // namespace

bool OpenEditorOn(const std::string &LevelFile, int32_t Index)
{
  levels::Problems Found;
  std::string Bytes;
  levels::LevelSet Set;
  if (levels::ReadWholeFile(ResolveFileName(LevelFile), Bytes, Found)) Set = levels::ReadLevelFile(Bytes, LevelFile, Found);
  if (Index < 0 || Index >= int32_t(Set.Levels.size())) {
    ShowMessage("That level cannot be read for editing");
    return false;
  }
  Opened(TEditLevel::FromLevel(Set.Levels[size_t(Index)]), LevelFile == TOwnSet{}.Packed ? Index : -1);
  return true;
}

void OpenEditorOnNewLevel()
{
  Opened(TEditLevel::Room(9, 7), -1);
  Editor.Notice = "A new room: Shift or Ctrl with an arrow sizes it";
}

bool EditorTakesFrame()
{
  if (!Editor.Open) return false;
  if (Editor.TestPlaying && LevelPlay.LevelIndex == 0) {
    Editor.PlayedMoves = LevelPlay.Moves;  // a solve starts the counters again
    Editor.PlayedPushes = LevelPlay.Pushes;
  }
  return !Editor.TestPlaying || GameGetState() != gsPlay;
}

void EditorFrame()
{
  if (Editor.TestPlaying) BackFromTestPlay();
  TickClock(false);
  if (Editor.Typing != TField::None) ReadTyping();
  else {
    ReadStroke();
    ReadEditKeys();
  }
  TakeScreenKeys();  // read above as held keys: none of them reaches the chooser the editor goes back to
  if (!Editor.Open || Editor.TestPlaying) return;  // left, or play begins with the next frame
  DrawLevel();
  DrawPanel();
  DrawEditorOverlay();
}

void SetEditorSolveTime(std::chrono::milliseconds Time) { SolveTime = Time; }

void ForgetEditor()
{
  Editor = TEditor{};
  Facts = {};
  Solver.reset();
  SolveTime = SolveTimeAtStart;
}
