// MousePlay.cpp -- clicks turned into planned walks and pushes, played by the
// autopilot's steering through the real rules.
#include "MousePlay.h"

#include "Kestrove.h"
#include "LevelPlay.h"
#include "Overlay.h"
#include "Pace.h"
#include "Planner.h"
#include "Steer.h"

#include <cmath>
#include <optional>
#include <vector>

namespace {

struct TWalk {
  bool Active = false;
  bool StopAsked = false;
  planner::TPlan Plan;
  size_t Next = 0;  // the step of Plan under way or due
  std::optional<Autopilot::TMoveSteer> Steer;
};

// The box chosen to push, by object index; -1 for none.
struct TChoice {
  int32_t Box = -1;
  // The cells it can be pushed to, and what they were worked out from.
  std::vector<uint8_t> Targets;
  std::optional<planner::TBoard> From;
  planner::TCell PlayerFrom;
};

TWalk Walk;
TChoice Choice;
uint32_t JumpsSeen = 0;  // LevelPlay.Jumps when the choice and walk were last good

planner::TCell CellOf(const TBox &Box)
{
  return {static_cast<int32_t>(std::floor(Box.x + Box.sx / 2)), static_cast<int32_t>(std::floor(Box.y + Box.sy / 2))};
}

// The level on whole cells as the rules have it now.
planner::TBoard BoardNow()
{
  const TFieldSize Field = GameGetFieldSize();
  planner::TBoard Board(Field.Width, Field.Height);
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I) {
    const TGameObject &Object = Objects.Items[I];
    const planner::TCell Cell = CellOf(Object.Box);
    if (Object.Kind == okWall) Board.SetGround(Cell, planner::TGround::Wall);
    if (Object.Kind == okWater) Board.SetGround(Cell, planner::TGround::Water);
    if (Object.Kind == okBox) Board.SetBox(Cell, true);
  }
  return Board;
}

planner::TCell PlayerCell() { return CellOf(GameGetPlayer().Box); }

int32_t BoxAt(planner::TCell Cell)
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t I = 0; I < Objects.Count; ++I)
    if (Objects.Items[I].Kind == okBox && CellOf(Objects.Items[I].Box) == Cell) return I;
  return -1;
}

bool ChosenBoxStands()
{
  if (Choice.Box < 0) return false;  // the rules are not asked: a frame without a choice makes no extra call
  const TObjArray Objects = GameGetObjects();
  return Choice.Box < Objects.Count && Objects.Items[Choice.Box].Kind == okBox;
}

void LetGo() { Choice = {}; }

void EndWalk()
{
  Walk = {};
  LevelPlay.Walking = false;
  CloseStepNow();  // the whole walk or push is one step
}

void StartWalk(planner::TPlan Plan)
{
  if (Plan.empty()) return;
  OpenStepNow();
  Walk = {};
  Walk.Active = true;
  Walk.Plan = std::move(Plan);
  LevelPlay.Walking = true;
}

bool AnyMovementKeyDown()
{
  for (const UINT Key : MovementKeys)
    if (RuleKeyDown(Key)) return true;
  return false;
}

void Click(planner::TCell Cell)
{
  if (Walk.Active) {
    Walk.StopAsked = true;
    return;
  }
  const int32_t Box = BoxAt(Cell);
  if (Box >= 0) {
    Choice = {};
    Choice.Box = Box;
    return;
  }
  const planner::TBoard Board = BoardNow();
  if (ChosenBoxStands()) {
    std::optional<planner::TPlan> Plan =
      planner::PlanPush(Board, PlayerCell(), CellOf(GameGetObjects().Items[Choice.Box].Box), Cell);
    if (!Plan) {
      ShowMessage("No way to push it there");  // the choice stays
      return;
    }
    LetGo();
    StartWalk(std::move(*Plan));
    return;
  }
  if (std::optional<planner::TPlan> Plan = planner::PlanWalk(Board, PlayerCell(), Cell)) StartWalk(std::move(*Plan));
}

// Undo, redo, restart or a new level moved the world under the choice and the walk.
void ForgetOnJump()
{
  if (LevelPlay.Jumps == JumpsSeen) return;
  JumpsSeen = LevelPlay.Jumps;
  LetGo();
  if (Walk.Active) {
    Walk = {};
    LevelPlay.Walking = false;
  }
}

const std::vector<uint8_t> &PushTargets()
{
  const planner::TBoard Board = BoardNow();
  const planner::TCell Player = PlayerCell();
  if (!Choice.From || !(*Choice.From == Board) || !(Choice.PlayerFrom == Player)) {
    Choice.Targets = planner::PushTargets(Board, Player, CellOf(GameGetObjects().Items[Choice.Box].Box));
    Choice.From = Board;
    Choice.PlayerFrom = Player;
  }
  return Choice.Targets;
}

}  // namespace

void ReadPlayMouse()
{
  ForgetOnJump();
  if (Choice.Box >= 0 && !ChosenBoxStands()) LetGo();  // it filled water
  if (RuleKeyDown(VK_ESCAPE) && (Walk.Active || Choice.Box >= 0)) {
    ForgetHeldKey(VK_ESCAPE);  // it stops the walk or lets the box go, and opens no menu
    Walk.StopAsked = Walk.Active;
    LetGo();
  }
  if (RuleKeyDown(VK_RBUTTON)) {
    ForgetHeldKey(VK_RBUTTON);  // one press, once
    Walk.StopAsked = Walk.Active;
    LetGo();
  }
  if (RuleKeyDown(VK_LBUTTON)) {
    ForgetHeldKey(VK_LBUTTON);
    int32_t X = -1, Y = -1;
    if (PickCell(&MousePos, &X, &Y)) Click({X, Y});
    else if (Walk.Active) Walk.StopAsked = true;
  }
}

bool WalkKeys(TWalkKeys &Keys)
{
  ForgetOnJump();  // undo may have run since the mouse was read
  if (!Walk.Active) return false;
  if (AnyMovementKeyDown()) Walk.StopAsked = true;
  for (;;) {
    if (!Walk.Steer) {
      if (Walk.StopAsked || Walk.Next >= Walk.Plan.size()) {
        EndWalk();
        return false;
      }
      const planner::TStep &Step = Walk.Plan[Walk.Next];
      Walk.Steer.emplace(Autopilot::TMove{Step.Dx, Step.Dy, Step.Push, 'u'});
    }
    const Autopilot::TSteerNext Next = Walk.Steer->Next();
    if (Next.What == Autopilot::TSteerNext::Hold) {
      Keys = {(Next.Keys & Autopilot::kUp) != 0,   (Next.Keys & Autopilot::kDown) != 0,
              (Next.Keys & Autopilot::kLeft) != 0, (Next.Keys & Autopilot::kRight) != 0,
              (Next.Keys & Autopilot::kPgUp) != 0, (Next.Keys & Autopilot::kPgDn) != 0};
      return true;
    }
    Walk.Steer.reset();
    if (!Next.Why.empty()) {  // the rules did not go as planned: stop where the player stands
      EndWalk();
      return false;
    }
    ++Walk.Next;
  }
}

void AddMouseMarks(TCellMarks &Marks)
{
  int32_t X = -1, Y = -1;
  if (PickCell(&MousePos, &X, &Y)) {
    Marks.HoverX = X;
    Marks.HoverY = Y;
  }
  if (ChosenBoxStands()) {
    const planner::TCell Box = CellOf(GameGetObjects().Items[Choice.Box].Box);
    Marks.BoxX = Box.X;
    Marks.BoxY = Box.Y;
    const std::vector<uint8_t> &Targets = PushTargets();
    const TFieldSize Field = GameGetFieldSize();
    if (!Targets.empty() && Targets.size() == size_t(Field.Width) * size_t(Field.Height)) {
      Marks.Width = Field.Width;
      Marks.Height = Field.Height;
      Marks.Marks = Targets.data();
    }
  }
}

bool PlayPlan(planner::TPlan Plan)
{
  ForgetOnJump();
  if (Walk.Active) return false;
  LetGo();
  StartWalk(std::move(Plan));
  return true;
}

void StopWalk() { Walk.StopAsked = Walk.Active; }

bool WalkUnderWay() { return Walk.Active && LevelPlay.Jumps == JumpsSeen; }

void ForgetMousePlay()
{
  Walk = {};
  Choice = {};
  JumpsSeen = 0;
}
