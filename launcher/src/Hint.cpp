// Hint.cpp -- the solver on a worker thread for hints, and the dead-box check.
#include "Hint.h"

#include "Kestrove.h"
#include "LevelPlay.h"
#include "MousePlay.h"
#include "Overlay.h"
#include "Pace.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

// One search on its own copy of the level. The worker touches nothing but
// that copy and the flags below; destroying the search cancels it and joins.
class THintSearch {
public:
  THintSearch(solver::Board Board, std::chrono::steady_clock::duration Within)
    : Level(std::move(Board)), Deadline(std::chrono::steady_clock::now() + Within),
      Worker([this] { Run(); })
  {
  }
  ~THintSearch() { Cancel.store(true); }  // the worker sees it, then Worker joins
  THintSearch(const THintSearch &) = delete;
  THintSearch &operator=(const THintSearch &) = delete;

  void Stop() { Cancel.store(true); }
  bool Finished() const { return Done.load(std::memory_order_acquire); }
  // Once Finished.
  const solver::Result &Found() const { return Answer; }
  const solver::Board &Board() const { return Level; }

private:
  void Run() noexcept
  {
    solver::Limits Within;
    Within.Deadline = Deadline;
    Within.Cancel = &Cancel;
    Answer = solver::Solve(Level, solver::Mode::Fast, Within);
    Done.store(true, std::memory_order_release);
  }

  const solver::Board Level;
  const std::chrono::steady_clock::time_point Deadline;
  std::atomic<bool> Cancel{false}, Done{false};
  solver::Result Answer;
  std::jthread Worker;  // last: it starts once everything it reads is made
};

// What the world was when the hint was asked for: any step changes it.
struct TPosition {
  uint32_t Jumps = 0;
  int32_t Level = -1, Moves = -1, Pushes = -1;
  bool operator==(const TPosition &) const = default;
};

TPosition PositionNow() { return {LevelPlay.Jumps, LevelPlay.LevelIndex, LevelPlay.Moves, LevelPlay.Pushes}; }

struct THintState {
  std::unique_ptr<THintSearch> Search;
  // Cancelled searches, kept until their workers end so that no frame waits on one.
  std::vector<std::unique_ptr<THintSearch>> Stopping;
  TPosition AskedAt;
  bool PlayWhenFound = false;  // Shift+H asked before the answer came
  TNextPush Next;              // the answer shown; BoxX < 0: none
  bool ShowingMe = false;      // a hint's push is being played
  uint32_t PressesAtShow = 0;  // KeyPresses() when it began
};
THintState Hint;

struct TDeadState {
  std::optional<TPosition> CheckedAt;
  std::vector<char> Walls, Marks, DeadCells;  // DeadCells depends on the walls and marks only
  std::vector<uint8_t> DeadBoxes;             // by cell of the rules (y upwards); empty: none
  int32_t Width = 0, Height = 0;              // of DeadBoxes
  size_t DeadCount = 0;
};
TDeadState Dead;

constexpr const char *NoSolutionText = "No solution from here. Undo (Z) to go back";
constexpr const char *NotInTimeText = "No hint found in time";
constexpr const char *DeadBoxText = "This box can no longer reach a mark";

int32_t CellIndex(double Min, double Size) { return static_cast<int32_t>(std::floor(Min + Size / 2)); }

// The solver counts rows from the top; the rules count y upwards. Mirrored
// here once, so the solver's 'u' is the rules' up.
int32_t RowOf(int32_t Y, int32_t Height) { return Height - 1 - Y; }

void StepOf(char Move, int32_t &Dx, int32_t &Dy)
{
  switch (Move | 0x20) {
  case 'u': Dx = 0, Dy = +1; break;
  case 'd': Dx = 0, Dy = -1; break;
  case 'l': Dx = -1, Dy = 0; break;
  case 'r': Dx = +1, Dy = 0; break;
  default: Dx = Dy = 0;
  }
}

planner::TPlan PlanOf(const std::string &Moves)
{
  planner::TPlan Plan;
  for (const char Move : Moves) {
    int32_t Dx = 0, Dy = 0;
    StepOf(Move, Dx, Dy);
    Plan.push_back({int8_t(Dx), int8_t(Dy), Move >= 'A' && Move <= 'Z'});
  }
  return Plan;
}

void StopSearch()
{
  if (Hint.Search) {
    Hint.Search->Stop();
    Hint.Stopping.push_back(std::move(Hint.Search));
  }
  Hint.PlayWhenFound = false;
}

void DropHint()
{
  StopSearch();
  Hint.Next = {};
}

void JoinStoppedSearches()
{
  std::erase_if(Hint.Stopping, [](const std::unique_ptr<THintSearch> &S) { return S->Finished(); });
}

void ShowMe()
{
  if (!PlayPlan(PlanOf(Hint.Next.Moves))) return;
  Hint.ShowingMe = true;
  Hint.PressesAtShow = KeyPresses();
}

void AskForHint(bool Play)
{
  LevelPlay.HintsUsed = true;
  if (Hint.Next.BoxX >= 0 && Hint.AskedAt == PositionNow()) {  // answered already
    if (Play) ShowMe();
    return;
  }
  if (!Hint.Search) {
    DropHint();
    Hint.AskedAt = PositionNow();
    Hint.Search = std::make_unique<THintSearch>(BoardFromRules(), HintWithin);
  }
  Hint.PlayWhenFound = Hint.PlayWhenFound || Play;
}

void TakeAnswer()
{
  if (!Hint.Search || !Hint.Search->Finished()) return;
  const std::unique_ptr<THintSearch> Search = std::move(Hint.Search);
  const bool Play = std::exchange(Hint.PlayWhenFound, false);
  const solver::Result &Found = Search->Found();
  switch (Found.Result) {
  case solver::Result::Solved:
    Hint.Next = FirstPush(Search->Board(), Found.Moves);  // none when the level stands solved
    if (Hint.Next.BoxX >= 0 && Play) ShowMe();
    break;
  case solver::Result::Unsolvable: ShowMessage(NoSolutionText); break;
  case solver::Result::Cancelled: break;
  default: ShowMessage(NotInTimeText);  // out of time or of room
  }
}

void ReadHintKeys()
{
  if (!RuleKeyDown(VK_HINT)) return;
  ForgetHeldKey(VK_HINT);  // one press, one hint
  AskForHint(RuleKeyDown(VK_SHIFT));
}

// A key pressed while the hint's push plays stops it at the next cell.
void StopShowingOnKey()
{
  if (!Hint.ShowingMe) return;
  if (!WalkUnderWay()) {
    Hint.ShowingMe = false;
    return;
  }
  if (KeyPresses() != Hint.PressesAtShow) {
    StopWalk();
    Hint.ShowingMe = false;
  }
}

bool DeadBoxesShown() { return !Config || !Config->HasKey("DeadBoxes") || Config->GetValue("DeadBoxes") != "0"; }

void CheckDeadBoxes()
{
  TPosition Now = PositionNow();
  Now.Moves = -1;  // walking pushes nothing: only pushes and jumps are checked
  if (Dead.CheckedAt == Now) return;
  const bool Pushed = Dead.CheckedAt && Dead.CheckedAt->Jumps == Now.Jumps && Dead.CheckedAt->Level == Now.Level &&
                      Now.Pushes > Dead.CheckedAt->Pushes;
  Dead.CheckedAt = Now;
  const solver::Board Board = BoardFromRules();
  if (Board.Wall != Dead.Walls || Board.Mark != Dead.Marks || Dead.DeadCells.size() != size_t(Board.Cells())) {
    Dead.Walls = Board.Wall;
    Dead.Marks = Board.Mark;
    Dead.DeadCells = solver::DeadCells(Board);
  }
  const std::vector<int> Boxes = solver::DeadBoxes(Board, Dead.DeadCells);
  Dead.DeadBoxes.assign(Boxes.empty() ? 0 : size_t(Board.Cells()), 0);
  Dead.Width = Board.Width;
  Dead.Height = Board.Height;
  for (const int Cell : Boxes) {
    const int32_t X = Cell % Board.Width, Row = Cell / Board.Width;
    Dead.DeadBoxes[size_t(RowOf(Row, Board.Height)) * size_t(Board.Width) + size_t(X)] = 1;
  }
  if (Pushed && Boxes.size() > Dead.DeadCount) ShowMessage(DeadBoxText);
  Dead.DeadCount = Boxes.size();
}

}  // namespace

solver::Board BoardFromRules()
{
  const TFieldSize Field = GameGetFieldSize();
  solver::Board Board = solver::Board::Empty(std::max(Field.Width, 0), std::max(Field.Height, 0));
  const auto At = [&Board](const TBox &Box) -> int {
    const int32_t X = CellIndex(Box.x, Box.sx), Y = CellIndex(Box.y, Box.sy);
    return Board.Inside(X, RowOf(Y, Board.Height)) ? RowOf(Y, Board.Height) * Board.Width + X : -1;
  };
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I) {
    const TGameObject &Object = Objects.Items[I];
    const int Cell = At(Object.Box);
    if (Cell < 0) continue;
    switch (Object.Kind) {
    case okWall: Board.Wall[size_t(Cell)] = 1; break;
    case okWater: Board.Water[size_t(Cell)] = 1; break;
    case okTarget: Board.Mark[size_t(Cell)] = 1; break;
    case okBox: Board.Box[size_t(Cell)] = 1; break;
    default: break;
    }
  }
  Board.Player = At(GameGetPlayer().Box);
  return Board;
}

TNextPush FirstPush(const solver::Board &Board, const std::string &Moves)
{
  if (Board.Player < 0) return {};
  int32_t X = Board.Player % Board.Width, Y = RowOf(Board.Player / Board.Width, Board.Height);
  for (size_t I = 0; I < Moves.size(); ++I) {
    int32_t Dx = 0, Dy = 0;
    StepOf(Moves[I], Dx, Dy);
    if (Dx == 0 && Dy == 0) return {};
    X += Dx;
    Y += Dy;
    if (!Board.Inside(X, RowOf(Y, Board.Height))) return {};
    if (Moves[I] >= 'A' && Moves[I] <= 'Z') return {X, Y, Dx, Dy, Moves.substr(0, I + 1)};
  }
  return {};
}

void HintRuleFrame()
{
  JoinStoppedSearches();
  if (Hint.AskedAt != PositionNow()) DropHint();  // a step: the hint no longer holds
  TakeAnswer();
  StopShowingOnKey();
  ReadHintKeys();
  if (DeadBoxesShown()) CheckDeadBoxes();
  else Dead = {};
}

void AddHintMarks(TCellMarks &Marks)
{
  if (Hint.Next.BoxX >= 0 && Hint.AskedAt == PositionNow()) {
    Marks.HintX = Hint.Next.BoxX;
    Marks.HintY = Hint.Next.BoxY;
    Marks.HintDx = Hint.Next.Dx;
    Marks.HintDy = Hint.Next.Dy;
  }
  // The mouse's marks, when there are any, are of the same level, so of the same size.
  const bool SameSize = !Marks.Marks || (Marks.Width == Dead.Width && Marks.Height == Dead.Height);
  if (!Dead.DeadBoxes.empty() && SameSize) {
    Marks.Width = Dead.Width;
    Marks.Height = Dead.Height;
    Marks.Dead = Dead.DeadBoxes.data();
  }
}

void ForgetHints()
{
  Hint = {};  // a search under way is cancelled and joined here
  Dead = {};
}
