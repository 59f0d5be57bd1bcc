// Steer.cpp -- the keys of one grid move, frame by frame.
#include "Steer.h"

#include <cmath>
#include <cstdio>

namespace Autopilot {

namespace {

// The player is a 0.7 cube set 0.15 into its cell; walls and boxes are 0.9
// cubes set 0.05 in; destinations and water fill their cells.
constexpr double PlayerInset = 0.15;
constexpr double BoxInset = 0.05;
// A position within this of its cell's rest place counts as there: one step is 0.1.
constexpr double Near = 0.05;
// Frames one phase may take before the move is given up: a walk takes 10, a
// push at most 12, a re-centring 1 or 2.
constexpr int MaxFramesPerPhase = 40;
constexpr int MaxRecentreTaps = 4;

int CellOf(double Min, double Extent) { return static_cast<int>(std::nearbyint(Min + Extent / 2 - 0.5)); }

std::string CellText(TGridCell Cell) { return "(" + std::to_string(Cell.X) + "," + std::to_string(Cell.Y) + ")"; }

std::string PosText(double X, double Y)
{
  char Text[64];
  std::snprintf(Text, sizeof Text, "(%.3f,%.3f)", X, Y);
  return Text;
}

const char *KindName(uint8_t Kind)
{
  switch (Kind) {
    case okWall: return "a wall";
    case okBox: return "a box";
    case okWater: return "water";
    default: return "something";
  }
}

// The first object of one of the blocking kinds (wall, box, water) whose cell is Cell, or -1.
int32_t SolidAt(TGridCell Cell)
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t i = 0; i < Objects.Count; ++i) {
    const TGameObject &Object = Objects.Items[i];
    if (Object.Kind != okWall && Object.Kind != okBox && Object.Kind != okWater) continue;
    if (CellOfBox(Object.Box) == Cell) return i;
  }
  return -1;
}

const TGameObject &ObjectAt(int32_t Index) { return GameGetObjects().Items[Index]; }

bool SamePlace(const TBox &A, const TBox &B) { return A.x == B.x && A.y == B.y; }

// The gap along the move between the player's leading face and the box's trailing face.
double GapToBox(const TMove &Move, const TBox &P, const TBox &B)
{
  if (Move.Dx > 0) return B.x - (P.x + P.sx);
  if (Move.Dx < 0) return P.x - (B.x + B.sx);
  if (Move.Dy > 0) return B.y - (P.y + P.sy);
  return P.y - (B.y + B.sy);
}

double PlayerStep() { return static_cast<double>(GameGetPlayer().Step * 1.0f); }

bool TurnUnderWay() { return std::nearbyint(GameGetRotateAngle()) != 0; }

}  // namespace

TGridCell CellOfBox(const TBox &Box) { return {CellOf(Box.x, Box.sx), CellOf(Box.y, Box.sy)}; }

int Heading(int Dx, int Dy)
{
  if (Dy > 0) return 0;
  if (Dx > 0) return 1;
  return Dy < 0 ? 2 : 3;
}

TKeys KeyFor(int Heading)
{
  const int Facing = GameGetPlayer().Direction & 3;
  switch ((Heading - Facing + 4) % 4) {
    case 0: return kUp;
    case 1: return kRight;
    case 2: return kDown;
    default: return kLeft;
  }
}

TMoveSteer::TMoveSteer(const TMove &Move) : Move(Move)
{
  From = CellOfBox(GameGetPlayer().Box);
  To = {From.X + Move.Dx, From.Y + Move.Dy};
  Beyond = {To.X + Move.Dx, To.Y + Move.Dy};
}

TSteerNext TMoveSteer::Arrived() { return Fail({}); }

TSteerNext TMoveSteer::Fail(std::string Why)
{
  Phase = TPhase::Done;
  return {TSteerNext::Finished, 0, std::move(Why)};
}

TSteerNext TMoveSteer::Next()
{
  switch (Phase) {
    case TPhase::Check: return Check();
    case TPhase::Recentre: return Recentre();
    case TPhase::LineUp: return LineUpCheck();
    case TPhase::Nudge: return Nudge();
    case TPhase::Travel: return Move.Push ? Push() : Walk();
    case TPhase::Done: break;
  }
  return {TSteerNext::Finished, 0, {}};
}

TSteerNext TMoveSteer::Check()
{
  const int32_t Blocker = SolidAt(To);
  if (Blocker >= 0 && ObjectAt(Blocker).Kind != okBox)
    return Fail("the player would walk into " + std::string(KindName(ObjectAt(Blocker).Kind)) + " at " + CellText(To));
  if (Move.Push && Blocker < 0) return Fail("a push, but no box stands at " + CellText(To));
  if (!Move.Push && Blocker >= 0)
    return Fail("a walk, but a box stands at " + CellText(To) + " (write the move in capitals to push it)");
  Box = Blocker;
  Phase = TPhase::Recentre;
  return Recentre();
}

// Taps the keys across the coming move until the player stands within Near
// of its cell's centre on that axis.
TSteerNext TMoveSteer::Recentre()
{
  const bool AlongX = Move.Dx != 0;
  const TPlayer Player = GameGetPlayer();
  if (Held && SamePlace(Player.Box, PlayerBefore))
    return Fail("the player cannot re-centre in " + CellText(From) + ": stopped at " +
                PosText(PlayerBefore.x, PlayerBefore.y));
  const double Offset = AlongX ? Player.Box.y - (From.Y + PlayerInset) : Player.Box.x - (From.X + PlayerInset);
  if (std::fabs(Offset) > Near) {
    if (Frames >= MaxRecentreTaps) return Fail("the player cannot re-centre in " + CellText(From));
    ++Frames;
    Held = true;
    PlayerBefore = Player.Box;
    return Hold(KeyFor(AlongX ? (Offset > 0 ? 2 : 0) : (Offset > 0 ? 3 : 1)));
  }
  Phase = TPhase::Travel;
  Frames = 0;
  Held = false;
  if (Move.Push) {
    const int32_t Behind = SolidAt(Beyond);
    if (Behind >= 0 && ObjectAt(Behind).Kind != okWater)
      return Fail("the box at " + CellText(To) + " cannot move: " + KindName(ObjectAt(Behind).Kind) + " stands at " +
                  CellText(Beyond));
    if (Behind >= 0) return LineUp();
  }
  return Move.Push ? Push() : Walk();
}

TSteerNext TMoveSteer::Hold(TKeys Keys) { return {TSteerNext::Hold, Keys, {}}; }

// How far the player will trail the box once it touches it: whatever the gap
// falls short of a whole number of steps.
double TMoveSteer::Trailing() const
{
  const double Step = PlayerStep();
  const double Gap = GapToBox(Move, GameGetPlayer().Box, ObjectAt(Box).Box);
  return Gap - (std::ceil(Gap / Step) - 1) * Step;
}

// Water stops the player, and a box fills it only when it lies wholly inside,
// ten steps into the push; the player, trailing the box, must not touch the
// water before. It trails by 0.1 from a cell's middle, but when steps of 0.1
// have piled up float error in the player's and box's places the touch comes
// a frame late and the player ends up flush against the box. Then it steps
// back and view turns nudge it a hair towards the box.
TSteerNext TMoveSteer::LineUp()
{
  if (!(PlayerStep() > 0)) return Fail("the player has no step");
  Phase = TPhase::LineUp;
  const int Towards = Heading(Move.Dx, Move.Dy);
  if (GapToBox(Move, GameGetPlayer().Box, ObjectAt(Box).Box) < PlayerStep() / 2) return Hold(KeyFor((Towards + 2) % 4));
  return LineUpCheck();
}

TSteerNext TMoveSteer::LineUpCheck()
{
  if (Trailing() > Near) {
    Phase = TPhase::Travel;
    return Push();
  }
  if (Nudges >= 4)
    return Fail("cannot line up the push into water: the player would trail the box by " +
                std::to_string(Trailing()) + " and touch the water");
  ++Nudges;
  // A turn nudges the player by 0.0001 of a step along its new facing: turn to
  // face the box, or, facing it already, turn away and back.
  const int Towards = Heading(Move.Dx, Move.Dy), Facing = GameGetPlayer().Direction & 3;
  switch ((Towards - Facing + 4) % 4) {
    case 1: Turns[0] = +1; TurnCount = 1; break;
    case 3: Turns[0] = -1; TurnCount = 1; break;
    case 0: Turns[0] = +1; Turns[1] = -1; TurnCount = 2; break;
    default: Turns[0] = +1; Turns[1] = +1; TurnCount = 2; break;
  }
  TurnsDone = 0;
  Phase = TPhase::Nudge;
  TurnWait = MaxFramesPerPhase;  // no turn of its own is under way yet
  return Nudge();
}

// Turns the view a quarter at a time (PgDn clockwise, PgUp back), each once
// the one before is over.
TSteerNext TMoveSteer::Nudge()
{
  if (TurnUnderWay() && TurnWait < MaxFramesPerPhase) {
    ++TurnWait;
    return Hold(0);
  }
  if (TurnsDone == TurnCount) {
    Phase = TPhase::LineUp;
    return LineUpCheck();
  }
  const int Quarters = Turns[TurnsDone++];
  TurnWait = 0;
  return Hold(Quarters > 0 ? kPgDn : kPgUp);
}

TSteerNext TMoveSteer::Walk()
{
  const bool AlongX = Move.Dx != 0;
  const double Sign = AlongX ? Move.Dx : Move.Dy;
  const double Goal = (AlongX ? To.X : To.Y) + PlayerInset;
  const TPlayer Player = GameGetPlayer();
  if (Held && SamePlace(Player.Box, PlayerBefore))
    return Fail("the player is stopped at " + PosText(Player.Box.x, Player.Box.y) + " before reaching " + CellText(To));
  const double Pos = AlongX ? Player.Box.x : Player.Box.y;
  if ((Goal - Pos) * Sign <= Near) return Arrived();
  if (Frames >= MaxFramesPerPhase) return Fail("the player does not reach " + CellText(To));
  if (Frames == 0) Key = KeyFor(Heading(Move.Dx, Move.Dy));
  ++Frames;
  Held = true;
  PlayerBefore = Player.Box;
  return Hold(Key);
}

// Holds the key until the box rests on the next cell (or has filled water
// there). The first frames only close the gap: the box moves from the frame
// in which the player comes to touch it, and then trails it by 0.1.
TSteerNext TMoveSteer::Push()
{
  const bool AlongX = Move.Dx != 0;
  const double Sign = AlongX ? Move.Dx : Move.Dy;
  const double Goal = (AlongX ? Beyond.X : Beyond.Y) + BoxInset;
  const TGameObject Now = ObjectAt(Box);
  const TPlayer Player = GameGetPlayer();
  if (Now.Kind != okBox) return Arrived();  // it filled the water
  if (Held && SamePlace(Player.Box, PlayerBefore) && SamePlace(Now.Box, BoxBefore))
    return Fail("the box at " + PosText(BoxBefore.x, BoxBefore.y) + " does not move towards " + CellText(Beyond) +
                "; the player is stopped at " + PosText(PlayerBefore.x, PlayerBefore.y));
  const double Pos = AlongX ? Now.Box.x : Now.Box.y;
  if ((Goal - Pos) * Sign <= Near) {
    const double Across = AlongX ? Now.Box.y - (Beyond.Y + BoxInset) : Now.Box.x - (Beyond.X + BoxInset);
    if (std::fabs(Across) > Near)
      return Fail("the box pushed to " + CellText(Beyond) + " ended off its cell, at " + PosText(Now.Box.x, Now.Box.y));
    return Arrived();
  }
  if (Frames >= MaxFramesPerPhase) return Fail("the box at " + CellText(To) + " does not reach " + CellText(Beyond));
  if (Frames == 0) Key = KeyFor(Heading(Move.Dx, Move.Dy));
  ++Frames;
  Held = true;
  PlayerBefore = Player.Box;
  BoxBefore = Now.Box;
  return Hold(Key);
}

}  // namespace Autopilot
