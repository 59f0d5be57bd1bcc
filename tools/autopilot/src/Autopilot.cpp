// Autopilot.cpp -- turns grid moves into held keys by watching positions.
#include "Autopilot.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include "game.h"

namespace Autopilot {

namespace {

constexpr double Near = 0.05;  // as the steering's: within this of a rest place counts as there
constexpr int MaxFramesPerPhase = 40;
constexpr float TurnNudge = 0.0001f;

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
    TMoveSteer Steer(Move);
    while (!Done) {
      const TSteerNext Next = Steer.Next();
      if (Next.What == TSteerNext::Finished) return Next.Why;
      if (Next.What == TSteerNext::IntoWater) {
        const int32_t Box = BoxAhead(Move);
        if (std::string Why = LineUpForWater(Move, Box); !Why.empty()) return Why;
        continue;
      }
      Frame(Next.Keys);
    }
    return {};
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

  // The box the player stands before, along the move.
  static int32_t BoxAhead(const TMove &Move)
  {
    const TGridCell At = CellOfBox(GameGetPlayer().Box);
    const TGridCell Next = {At.X + Move.Dx, At.Y + Move.Dy};
    const TObjArray Objects = GameGetObjects();
    for (int32_t i = 0; i < Objects.Count; ++i)
      if (Objects.Items[i].Kind == okBox && CellOfBox(Objects.Items[i].Box) == Next) return i;
    return -1;
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
