// LevelPlay.cpp -- steps, undo, counters and the clock of the level in play.
#include "LevelPlay.h"

#include "Files.h"
#include "Kestrove.h"
#include "LauncherInternal.h"
#include "Pace.h"
#include "SaveTrailer.h"
#include "Sound.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

TLevelPlay LevelPlay;

namespace {

struct TCell {
  int32_t X = 0, Y = 0;
  bool operator==(const TCell &) const = default;
};

// Where the counters last saw the player and each box.
struct TCellWatch {
  bool Synced = false;
  TCell Player;
  const TGameObject *Items = nullptr;
  std::vector<TCell> Boxes;  // by object index; only boxes are read
};
TCellWatch Watch;

// Undo, redo, restart: each acts once per press.
struct TEdgeKeys {
  bool Undo = false, Redo = false, Restart = false;
};
TEdgeKeys HeldBefore;

uint64_t NowMs()
{
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool KeyDown(UINT Key) { return RuleKeyDown(Key); }

bool AnyStepKeyDown()
{
  for (const UINT Key : MovementKeys)
    if (KeyDown(Key)) return true;
  return false;
}

TCell CellOf(const TBox &Box)
{
  return {static_cast<int32_t>(std::floor(Box.x + Box.sx / 2)), static_cast<int32_t>(std::floor(Box.y + Box.sy / 2))};
}

int32_t CellsBetween(const TCell &A, const TCell &B) { return std::abs(A.X - B.X) + std::abs(A.Y - B.Y); }

// The level's clock: play time since it last started.
uint64_t ClockMs() { return LevelPlay.PlayedMs > LevelPlay.ClockFrom ? LevelPlay.PlayedMs - LevelPlay.ClockFrom : 0; }

TMoment MomentNow()
{
  TMoment M;
  M.Player = GameGetPlayer();
  M.Angle = GameGetCurrAngle();
  M.Remaining = GameGetRotateAngle();
  M.Moves = LevelPlay.Moves;
  M.Pushes = LevelPlay.Pushes;
  M.ClockFrom = LevelPlay.ClockFrom;
  M.FromOldSave = LevelPlay.FromOldSave;
  return M;
}

void MarkWorld() { LevelPlay.History.Mark(MomentNow(), GameGetObjects()); }

void ReportStepFailure(int Code)
{
  std::fprintf(stderr, "Undo: the world cannot be written to \"%s\": %s\n", UndoFile, std::strerror(Code));
  std::fflush(stderr);
}

// The player as a save file holds it: every padding byte zero.
void WritePlayer(char *To, const TPlayer &Player)
{
  TPlayer Clean;
  std::memset(&Clean, 0, sizeof Clean);
  Clean.Box = Player.Box;
  Clean.PrevPos = Player.PrevPos;
  Clean.Direction = Player.Direction;
  Clean.Step = Player.Step;
  std::memcpy(To, &Clean, sizeof Clean);
}

std::string CountersBlock()
{
  std::string Block = "PLAY";
  const int32_t Counts[2] = {LevelPlay.Moves, LevelPlay.Pushes};
  const int64_t Ms = static_cast<int64_t>(std::min<uint64_t>(ClockMs(), INT64_MAX));
  Block.append(reinterpret_cast<const char *>(Counts), sizeof Counts);
  Block.append(reinterpret_cast<const char *>(&Ms), sizeof Ms);
  return Block;
}

struct TLevelStart {
  TMoment Moment;
  std::vector<TGameObject> Objects;
};

// The level as its set has it, built by the rules in place of the world;
// nothing when its file cannot be read or holds no such level.
std::optional<TLevelStart> LevelAsDesigned(const std::string &LevelFile, int32_t Index)
{
  if (LevelFile.empty() || Index < 0 || ReadingError(LevelFile) != 0) return std::nullopt;
  int32_t Asked = Index;
  if (!GameLoadMap(LevelFile.c_str(), &Asked)) return std::nullopt;
  TLevelStart Start;
  Start.Moment.Player = GameGetPlayer();
  // A level begins with the view facing the player's way.
  Start.Moment.Angle = static_cast<float>(int32_t(Start.Moment.Player.Direction) * 90);
  const TObjArray Objects = GameGetObjects();
  Start.Objects.assign(Objects.Items, Objects.Items + std::max(Objects.Count, 0));
  return Start;
}

}  // namespace

void SaveGame(const std::string &SaveFile)
{
  GameSave(SaveFile.c_str());
  std::string Bytes = ReadWholeFile(SaveFile);
  TSaveLayout Layout;
  // Only what the rules wrote as they always do takes the counters after it.
  if (!ReadSaveLayout(Bytes, Layout) || Bytes.size() != Layout.End() + PlaceBytes) return;
  Bytes += CountersBlock();
  if (const int Code = TryWriteWholeFile(SaveFile, Bytes))
    ReportError("The save \"" + SaveFile + "\" holds the game but not the level's moves, pushes and clock: " +
                std::strerror(Code) + ".");
}

void LoadGame(const std::string &SaveFile)
{
  const TSavedGame Saved = ReadSavedGameBytes(ReadWholeFile(SaveFile));
  // A file that does not say which level it holds leaves the rules counting on from theirs.
  const int32_t Index = Saved.Index >= 0 ? Saved.Index : LevelPlay.LevelIndex;
  const std::optional<TLevelStart> Designed = LevelAsDesigned(Saved.LevelFile, Index);
  GameLoad(SaveFile.c_str());
  LevelStarted(Index);
  LevelPlay.Set = SetOfLevelFile(Saved.LevelFile);
  LevelPlay.FromOldSave = !Saved.Counted;
  if (Saved.Counted) {
    LevelPlay.Moves = Saved.Moves;
    LevelPlay.Pushes = Saved.Pushes;
    LevelPlay.PlayedMs = Saved.PlayedMs;
  }
  const bool AsDesigned = Designed && LevelPlay.History.BeginAt(Designed->Moment, Designed->Objects, MomentNow(),
                                                                GameGetObjects());
  LevelPlay.LevelKnown = Saved.Index >= 0 || AsDesigned;
}

void LevelStarted(int32_t LevelIndex)
{
  LevelPlay.History.Forget();
  LevelPlay.StepOpen = false;
  LevelPlay.Overview = false;
  LevelPlay.Moves = LevelPlay.Pushes = 0;
  LevelPlay.LevelIndex = LevelIndex;
  LevelPlay.LevelKnown = true;
  LevelPlay.Walking = false;
  ++LevelPlay.Jumps;
  LevelPlay.PlayedMs = LevelPlay.ClockFrom = 0;
  LevelPlay.FromOldSave = LevelPlay.SeenUnsolved = LevelPlay.Solved = LevelPlay.HintsUsed = false;
  Watch = {};
}

void ForgetLevelPlay()
{
  LevelPlay = {};
  Watch = {};
  HeldBefore = {};
}

int32_t LevelSeconds() { return static_cast<int32_t>(std::min<uint64_t>(ClockMs() / 1000, INT32_MAX)); }

void TickClock(bool InPlay)
{
  // A frame held up (the window dragged, the machine busy) adds no more than a
  // quarter of a second.
  constexpr uint64_t LongestFrameMs = 250;
  const uint64_t Now = NowMs();
  if (InPlay && LevelPlay.LastFrameMs != 0) LevelPlay.PlayedMs += std::min(Now - LevelPlay.LastFrameMs, LongestFrameMs);
  LevelPlay.LastFrameMs = Now;
}

bool PutBackPresent()
{
  // The rules write the level as it stands (the walls and marks never change
  // within it); the history's present goes over the player and what can move.
  if (const int Code = TryWriteWholeFile(UndoFile, {})) {
    ReportStepFailure(Code);
    return false;
  }
  GameSave(UndoFile);
  std::string Bytes = ReadWholeFile(UndoFile);
  TSaveLayout Layout;
  const THistory &H = LevelPlay.History;
  const std::vector<int32_t> &Indexes = H.TrackedIndexes();
  const bool Fits = ReadSaveLayout(Bytes, Layout) &&
                    (Indexes.empty() || Indexes.back() < Layout.Count);
  if (Fits) {
    WritePlayer(Bytes.data(), H.Present().Player);
    for (size_t K = 0; K < Indexes.size(); ++K)
      std::memcpy(Bytes.data() + Layout.ObjectsAt + size_t(Indexes[K]) * sizeof(TGameObject), &H.TrackedObjects()[K],
                  sizeof(TGameObject));
  }
  const int Code = Fits ? TryWriteWholeFile(UndoFile, Bytes) : 0;
  if (Fits && Code == 0) {
    GameLoad(UndoFile);
    GameSetView(H.Present().Angle, H.Present().Remaining);
    LevelPlay.Moves = H.Present().Moves;
    LevelPlay.Pushes = H.Present().Pushes;
    LevelPlay.ClockFrom = H.Present().ClockFrom;
    LevelPlay.FromOldSave = H.Present().FromOldSave;  // a restart is a whole new try
    ++LevelPlay.Jumps;
    Watch.Synced = false;  // what undo moved was no walk and no push
  } else if (Code) {
    ReportStepFailure(Code);
  }
  std::remove(ResolveFileName(UndoFile).c_str());
  return Fits && Code == 0;
}

void HandleStepKeys()
{
  const TEdgeKeys Held{KeyDown(VK_UNDO) || KeyDown(VK_BACK), KeyDown(VK_REDO), KeyDown(VK_RESTART)};
  const TEdgeKeys Pressed{Held.Undo && !HeldBefore.Undo, Held.Redo && !HeldBefore.Redo,
                          Held.Restart && !HeldBefore.Restart};
  HeldBefore = Held;
  if (!AnyStepKeyDown() && !LevelPlay.Walking) LevelPlay.StepOpen = false;
  if (!Pressed.Undo && !Pressed.Redo && !Pressed.Restart) return;

  THistory &H = LevelPlay.History;
  MarkWorld();  // what was done since the last step is a step of its own
  const bool Moved = Pressed.Restart ? H.Restart(LevelPlay.PlayedMs) : Pressed.Undo ? H.Undo() : H.Redo();
  if (Moved && !PutBackPresent()) {
    if (Pressed.Undo) H.Redo();  // the world stayed: so does the history
    else H.Undo();
  } else if (Moved) {
    PlaySound(sound::ESound::Undo);
  }
  LevelPlay.StepOpen = AnyStepKeyDown();  // a key still held starts no step of its own
}

void OpenStepOnKey()
{
  if (LevelPlay.StepOpen || !AnyStepKeyDown()) return;
  LevelPlay.StepOpen = true;
  MarkWorld();
}

void OpenStepNow()
{
  MarkWorld();
  LevelPlay.StepOpen = true;
}

void CloseStepNow()
{
  MarkWorld();
  LevelPlay.StepOpen = AnyStepKeyDown();
}

void CountMoves(const TPlayer &Moved, const TObjArray &Objects)
{
  const TCell Player = CellOf(Moved.Box);
  const bool Fresh = !Watch.Synced || Watch.Items != Objects.Items ||
                     Watch.Boxes.size() != static_cast<size_t>(std::max(Objects.Count, 0));
  if (Fresh) {
    Watch.Synced = true;
    Watch.Items = Objects.Items;
    Watch.Boxes.assign(static_cast<size_t>(std::max(Objects.Count, 0)), TCell{});
  }
  if (!Fresh) LevelPlay.Moves += CellsBetween(Watch.Player, Player);
  Watch.Player = Player;
  for (int32_t I = 0; I < Objects.Count; ++I) {
    const TGameObject &Object = Objects.Items[I];
    if (Object.Kind != okBox) continue;
    const TCell Box = CellOf(Object.Box);
    if (!Fresh) LevelPlay.Pushes += CellsBetween(Watch.Boxes[I], Box);
    Watch.Boxes[I] = Box;
  }
}
