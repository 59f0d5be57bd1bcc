// Autopilot.cpp -- turns grid moves into held keys by watching positions.
#include "Autopilot.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include "game.h"

namespace Autopilot {

namespace {

// The player is a 0.7 cube set 0.15 into its cell; walls and boxes are 0.9
// cubes set 0.05 in; destinations and water fill their cells. A body's cell is
// the one its centre lies in.
constexpr double PlayerInset = 0.15;
constexpr double BoxInset = 0.05;
// A position within this of its cell's rest place counts as there: one step is 0.1.
constexpr double Near = 0.05;
// Frames one move may take before the autopilot gives up: a walk takes 10, a
// push at most 12, a re-centring 1 or 2.
constexpr int MaxFramesPerPhase = 40;
constexpr float TurnNudge = 0.0001f;

struct TCell {
  int X = 0, Y = 0;
  bool operator==(const TCell &) const = default;
};

int CellOf(double Min, double Extent) { return static_cast<int>(std::nearbyint(Min + Extent / 2 - 0.5)); }
TCell CellOf(const TBox &Box) { return {CellOf(Box.x, Box.sx), CellOf(Box.y, Box.sy)}; }

std::string CellText(TCell Cell) { return "(" + std::to_string(Cell.X) + "," + std::to_string(Cell.Y) + ")"; }

std::string PosText(double X, double Y)
{
  char Text[64];
  std::snprintf(Text, sizeof Text, "(%.3f,%.3f)", X, Y);
  return Text;
}

// World directions, numbered as the player's facing: 0 = +y, 1 = +x, 2 = -y, 3 = -x.
int Heading(int Dx, int Dy)
{
  if (Dy > 0) return 0;
  if (Dx > 0) return 1;
  return Dy < 0 ? 2 : 3;
}

// The key that moves the player towards Heading with Keys3D off: Up goes along
// the facing, Right a quarter turn clockwise from it.
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
int32_t SolidAt(TCell Cell)
{
  const TObjArray Objects = GameGetObjects();
  for (int32_t i = 0; i < Objects.Count; ++i) {
    const TGameObject &Object = Objects.Items[i];
    if (Object.Kind != okWall && Object.Kind != okBox && Object.Kind != okWater) continue;
    if (CellOf(Object.Box) == Cell) return i;
  }
  return -1;
}

const TGameObject &ObjectAt(int32_t Index) { return GameGetObjects().Items[Index]; }

// Flies one level: holds keys frame by frame and records them.
class TPilot {
public:
  TRecording Recording;
  bool Done = false;  // the level was completed

  // Plays the move; an empty result means it was followed (or the level got
  // completed on the way).
  std::string Move(const TMove &Move)
  {
    const TPlayer Player = GameGetPlayer();
    const TCell From = CellOf(Player.Box);
    const TCell To = {From.X + Move.Dx, From.Y + Move.Dy};
    const int32_t Blocker = SolidAt(To);
    if (Blocker >= 0 && ObjectAt(Blocker).Kind != okBox)
      return "the player would walk into " + std::string(KindName(ObjectAt(Blocker).Kind)) + " at " + CellText(To);
    if (Move.Push && Blocker < 0) return "a push, but no box stands at " + CellText(To);
    if (!Move.Push && Blocker >= 0)
      return "a walk, but a box stands at " + CellText(To) + " (write the move in capitals to push it)";

    const bool AlongX = Move.Dx != 0;
    if (std::string Why = Recentre(AlongX, From); !Why.empty() || Done) return Why;
    if (!Move.Push) return Walk(Move, To);

    const TCell Beyond = {To.X + Move.Dx, To.Y + Move.Dy};
    const int32_t Behind = SolidAt(Beyond);
    if (Behind >= 0 && ObjectAt(Behind).Kind != okWater)
      return "the box at " + CellText(To) + " cannot move: " + KindName(ObjectAt(Behind).Kind) + " stands at " +
             CellText(Beyond);
    if (Behind >= 0) {
      if (std::string Why = LineUpForWater(Move, Blocker); !Why.empty() || Done) return Why;
    }
    return Push(Move, Blocker, To, Beyond);
  }

  // A few idle frames, for the frame driver's count to see the last push.
  void Settle()
  {
    for (int i = 0; i < 2 && !Done; ++i) Frame(0);
  }

private:
  void Frame(TKeys Keys)
  {
    Recording.Append(Keys);
    if (PlayFrame(Keys, false, false)) Done = true;
  }

  // Turns the view a quarter (PgDn clockwise, PgUp back) and waits until the
  // turn is over and keys are read again. The turn nudges the player by
  // 0.0001 of a step along its new facing.
  void Turn(int Quarters)
  {
    Frame(Quarters > 0 ? kPgDn : kPgUp);
    for (int i = 0; i < MaxFramesPerPhase && !Done && std::nearbyint(GameGetRotateAngle()) != 0; ++i) Frame(0);
  }

  // Moves the player a hair (0.0001 of a step) towards Heading, by turning the
  // view so that it faces that way; the first of two turns nudges it across.
  void Nudge(int Towards)
  {
    const int Facing = GameGetPlayer().Direction & 3;
    switch ((Towards - Facing + 4) % 4) {
      case 1: Turn(+1); break;
      case 3: Turn(-1); break;
      case 0: Turn(+1); if (!Done) Turn(-1); break;
      default: Turn(+1); if (!Done) Turn(+1); break;
    }
  }

  // The gap along the move between the player's leading face and the box's trailing face.
  static double GapToBox(const TMove &Move, const TBox &P, const TBox &B)
  {
    if (Move.Dx > 0) return B.x - (P.x + P.sx);
    if (Move.Dx < 0) return P.x - (B.x + B.sx);
    if (Move.Dy > 0) return B.y - (P.y + P.sy);
    return P.y - (B.y + B.sy);
  }

  // Water stops the player, and a box fills it only when it lies wholly inside,
  // ten steps into the push; the player, trailing the box, must not touch the
  // water before. It trails by whatever the gap falls short of a whole number
  // of steps when it first touches the box: 0.1 from a cell's middle, but when
  // steps of 0.1 have piled up float error in the player's and box's places the
  // touch comes a frame late and the player ends up flush against the box. Then
  // it steps back and a view turn nudges it a hair towards the box.
  std::string LineUpForWater(const TMove &Move, int32_t Box)
  {
    const double Step = static_cast<double>(GameGetPlayer().Step * 1.0f);
    if (!(Step > 0)) return "the player has no step";
    const int Towards = Heading(Move.Dx, Move.Dy);
    auto Trailing = [&] {
      const double Gap = GapToBox(Move, GameGetPlayer().Box, ObjectAt(Box).Box);
      return Gap - (std::ceil(Gap / Step) - 1) * Step;
    };
    if (GapToBox(Move, GameGetPlayer().Box, ObjectAt(Box).Box) < Step / 2) Frame(KeyFor((Towards + 2) % 4));
    if (Done || Trailing() > Near) return {};
    for (int Nudges = 0; Nudges < 4 && !Done && Trailing() <= Near; ++Nudges) Nudge(Towards);
    if (Done || Trailing() > Near) return {};
    return "cannot line up the push into water: the player would trail the box by " +
           std::to_string(Trailing()) + " and touch the water";
  }

  // Taps the keys across the coming move until the player stands within Near
  // of its cell's centre on that axis, so corridors one cell wide stay wide.
  std::string Recentre(bool MoveAlongX, TCell Cell)
  {
    for (int Tap = 0; Tap < 4 && !Done; ++Tap) {
      const TPlayer Player = GameGetPlayer();
      const double Offset = MoveAlongX ? Player.Box.y - (Cell.Y + PlayerInset) : Player.Box.x - (Cell.X + PlayerInset);
      if (std::fabs(Offset) <= Near) return {};
      const TKeys Key = KeyFor(MoveAlongX ? (Offset > 0 ? 2 : 0) : (Offset > 0 ? 3 : 1));
      Frame(Key);
      const TPlayer After = GameGetPlayer();
      if (After.Box.x == Player.Box.x && After.Box.y == Player.Box.y)
        return "the player cannot re-centre in " + CellText(Cell) + ": stopped at " + PosText(Player.Box.x, Player.Box.y);
    }
    return Done ? std::string() : "the player cannot re-centre in " + CellText(Cell);
  }

  std::string Walk(const TMove &Move, TCell To)
  {
    const bool AlongX = Move.Dx != 0;
    const double Sign = AlongX ? Move.Dx : Move.Dy;
    const double Goal = (AlongX ? To.X : To.Y) + PlayerInset;
    const TKeys Key = KeyFor(Heading(Move.Dx, Move.Dy));
    for (int i = 0; i < MaxFramesPerPhase && !Done; ++i) {
      const TPlayer Player = GameGetPlayer();
      const double Pos = AlongX ? Player.Box.x : Player.Box.y;
      if ((Goal - Pos) * Sign <= Near) return {};
      Frame(Key);
      const TPlayer After = GameGetPlayer();
      if (After.Box.x == Player.Box.x && After.Box.y == Player.Box.y)
        return "the player is stopped at " + PosText(Player.Box.x, Player.Box.y) + " before reaching " + CellText(To);
    }
    return Done ? std::string() : "the player does not reach " + CellText(To);
  }

  // Holds the key until the box rests on the next cell (or has filled water
  // there). The first frames only close the gap: the box moves from the frame
  // in which the player comes to touch it, and then trails it by 0.1.
  std::string Push(const TMove &Move, int32_t Box, TCell To, TCell Beyond)
  {
    const bool AlongX = Move.Dx != 0;
    const double Sign = AlongX ? Move.Dx : Move.Dy;
    const double Goal = (AlongX ? Beyond.X : Beyond.Y) + BoxInset;
    const TKeys Key = KeyFor(Heading(Move.Dx, Move.Dy));
    for (int i = 0; i < MaxFramesPerPhase && !Done; ++i) {
      const TGameObject Before = ObjectAt(Box);
      if (Before.Kind != okBox) return {};  // it filled the water
      const double Pos = AlongX ? Before.Box.x : Before.Box.y;
      if ((Goal - Pos) * Sign <= Near) {
        const double Across = AlongX ? Before.Box.y - (Beyond.Y + BoxInset) : Before.Box.x - (Beyond.X + BoxInset);
        if (std::fabs(Across) > Near)
          return "the box pushed to " + CellText(Beyond) + " ended off its cell, at " + PosText(Before.Box.x, Before.Box.y);
        return {};
      }
      const TPlayer Player = GameGetPlayer();
      Frame(Key);
      const TPlayer After = GameGetPlayer();
      const TGameObject &Moved = ObjectAt(Box);
      if (After.Box.x == Player.Box.x && After.Box.y == Player.Box.y && Moved.Box.x == Before.Box.x &&
          Moved.Box.y == Before.Box.y)
        return "the box at " + PosText(Before.Box.x, Before.Box.y) + " does not move towards " + CellText(Beyond) +
               "; the player is stopped at " + PosText(Player.Box.x, Player.Box.y);
    }
    return Done ? std::string() : "the box at " + CellText(To) + " does not reach " + CellText(Beyond);
  }
};

}  // namespace

void CountCovered(int32_t &Covered, int32_t &Targets)
{
  Covered = 0;
  Targets = 0;
  const TObjArray Objects = GameGetObjects();
  for (int32_t i = 0; i < Objects.Count; ++i) {
    if (Objects.Items[i].Kind == okBox && Objects.Items[i].OnTarget != 0) ++Covered;
    if (Objects.Items[i].Kind == okTarget) ++Targets;
  }
}

bool PlayFrame(TKeys Keys, bool Keys3D, bool NextLevel)
{
  if (Keys & kEsc) GameSetState(gsMenu);
  if (std::nearbyint(GameGetRotateAngle()) == 0) {
    GameRoundCurrAngle();
    if (((Keys & kLeft) && Keys3D) || ((Keys & kPgUp) && !Keys3D)) {
      GameRotate(-1);
      GameMovePlayer(TurnNudge);
    }
    if (((Keys & kRight) && Keys3D) || ((Keys & kPgDn) && !Keys3D)) {
      GameRotate(1);
      GameMovePlayer(TurnNudge);
    }
    if (Keys & kUp) GameMovePlayer(1.0f);
    if (Keys & kDown) GameMovePlayer(-1.0f);
    if ((Keys & kLeft) && !Keys3D) GameMovePlayerX(-1.0f);
    if ((Keys & kRight) && !Keys3D) GameMovePlayerX(1.0f);
  }
  GameProcessRotate();
  int32_t Covered = 0, Targets = 0;
  CountCovered(Covered, Targets);
  GameProcessPlayer();
  if (Covered != Targets) return false;
  if (NextLevel) GameNextLevel();
  return true;
}

bool StartLevel(const std::string &LevelFile, int32_t LevelIndex, std::string &Error)
{
  // The library ends the process on a file it cannot read, so look first.
  std::vector<TLevelInfo> Levels;
  if (!ReadLevelFile(LevelFile, Levels, Error)) return false;
  if (LevelIndex < 0 || LevelIndex >= static_cast<int32_t>(Levels.size())) {
    Error = LevelFile + ": no level " + std::to_string(LevelIndex) + " (the file holds " +
            std::to_string(Levels.size()) + ")";
    return false;
  }
  GameInit();
  GameNewGame(LevelFile.c_str());
  if (LevelIndex > 0) {
    int32_t Index = LevelIndex;
    if (!GameLoadMap(LevelFile.c_str(), &Index)) {
      Error = LevelFile + ": level " + std::to_string(LevelIndex) + " does not load";
      return false;
    }
  }
  GameSetState(gsPlay);
  if (GameGetState() != gsPlay) {
    Error = LevelFile + ": level " + std::to_string(LevelIndex) + " does not load";
    return false;
  }
  return true;
}

bool ParseSolution(const std::string &Text, std::vector<TMove> &Moves, std::string &Error)
{
  Moves.clear();
  uint64_t Repeat = 0;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char C = Text[i];
    if (C == ' ' || C == '\t' || C == '\r' || C == '\n') {
      if (Repeat) {
        Error = "a count without a move before position " + std::to_string(i + 1);
        return false;
      }
      continue;
    }
    if (C >= '0' && C <= '9') {
      Repeat = Repeat * 10 + static_cast<uint64_t>(C - '0');
      if (Repeat > 100000) {
        Error = "a repeat count over 100000 at position " + std::to_string(i + 1);
        return false;
      }
      continue;
    }
    TMove Move;
    Move.Letter = C;
    Move.Push = C >= 'A' && C <= 'Z';
    switch (C) {
      case 'u': case 'U': Move.Dy = 1; break;
      case 'd': case 'D': Move.Dy = -1; break;
      case 'l': case 'L': Move.Dx = -1; break;
      case 'r': case 'R': Move.Dx = 1; break;
      default:
        Error = std::string("bad move '") + (C >= 32 && C < 127 ? std::string(1, C) : "\\x" + std::to_string(uint8_t(C))) +
                "' at position " + std::to_string(i + 1) + " (moves are u d l r, capitals for pushes)";
        return false;
    }
    Moves.insert(Moves.end(), Repeat ? Repeat : 1, Move);
    Repeat = 0;
  }
  if (Repeat) {
    Error = "a count without a move at the end";
    return false;
  }
  return true;
}

TFlight Fly(const std::vector<TMove> &Moves)
{
  TFlight Flight;
  TPilot Pilot;
  for (std::size_t i = 0; i < Moves.size() && !Pilot.Done; ++i) {
    const std::string Why = Pilot.Move(Moves[i]);
    Flight.MovesPlayed = static_cast<int32_t>(i + 1);
    if (!Why.empty()) {
      Flight.FailedMove = static_cast<int32_t>(i);
      Flight.Error = "move " + std::to_string(i + 1) + " '" + Moves[i].Letter + "': " + Why;
      Flight.Recording = std::move(Pilot.Recording);
      return Flight;
    }
  }
  Pilot.Settle();
  Flight.Recording = std::move(Pilot.Recording);
  Flight.Completed = Pilot.Done;
  if (!Flight.Completed) {
    int32_t Covered = 0, Targets = 0;
    CountCovered(Covered, Targets);
    Flight.Error = "all " + std::to_string(Moves.size()) + " moves played, but only " + std::to_string(Covered) +
                   " of " + std::to_string(Targets) + " destinations are covered";
  }
  return Flight;
}

TFlight FlyLevel(const std::string &LevelFile, const std::string &LevelName, int32_t LevelIndex,
                 const std::string &Solution)
{
  TFlight Flight;
  std::vector<TMove> Moves;
  if (!ParseSolution(Solution, Moves, Flight.Error)) {
    Flight.Error = "solution: " + Flight.Error;
    return Flight;
  }
  if (!StartLevel(LevelFile, LevelIndex, Flight.Error)) return Flight;
  Flight = Fly(Moves);
  Flight.Recording.LevelFile = LevelName;
  Flight.Recording.LevelIndex = LevelIndex;
  Flight.Recording.Keys3D = false;
  return Flight;
}

uint64_t Replay(const TRecording &Recording)
{
  uint64_t Frame = 0;
  for (const TRun &Run : Recording.Runs) {
    for (uint32_t i = 0; i < Run.Frames; ++i) {
      if (GameGetState() != gsPlay) return 0;  // Escape left the level
      ++Frame;
      if (PlayFrame(Run.Keys, Recording.Keys3D, false)) return Frame;
    }
  }
  return 0;
}

}  // namespace Autopilot
