// Autopilot.cpp -- turns grid moves into held keys by watching positions.
#include "Autopilot.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include "game.h"

namespace Autopilot {

namespace {

constexpr float TurnNudge = 0.0001f;

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
