// LevelPlay.cpp -- steps, undo, counters and the clock of the level in play.
#include "LevelPlay.h"

#include "Files.h"
#include "Kestrove.h"
#include "Pace.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
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

TMoment MomentNow()
{
  TMoment M;
  M.Player = GameGetPlayer();
  M.Angle = GameGetCurrAngle();
  M.Remaining = GameGetRotateAngle();
  M.Moves = LevelPlay.Moves;
  M.Pushes = LevelPlay.Pushes;
  return M;
}

void MarkWorld() { LevelPlay.History.Mark(MomentNow(), GameGetObjects()); }

void ReportStepFailure(int Code)
{
  std::fprintf(stderr, "Undo: the world cannot be written to \"%s\": %s\n", UndoFile, std::strerror(Code));
  std::fflush(stderr);
}

// The bytes of a save file as the rules wrote it: 80 of player, width,
// height, the name's length and bytes, the object count, 88 per object, then
// "LEVL", the level's index and the set's level count.
struct TSaveLayout {
  size_t ObjectsAt = 0;
  int32_t Count = 0;
};

bool ReadSaveLayout(const std::string &Bytes, TSaveLayout &Layout)
{
  int32_t NameLength = 0;
  if (Bytes.size() < 96) return false;
  std::memcpy(&NameLength, Bytes.data() + 88, 4);
  if (NameLength < 0 || Bytes.size() < 96 + size_t(NameLength)) return false;
  std::memcpy(&Layout.Count, Bytes.data() + 92 + NameLength, 4);
  Layout.ObjectsAt = 96 + size_t(NameLength);
  return Layout.Count >= 0 && Bytes.size() >= Layout.ObjectsAt + size_t(Layout.Count) * sizeof(TGameObject);
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

}  // namespace

TSavedPlace ReadSavedPlace(const std::string &SaveFile)
{
  const std::string Bytes = ReadWholeFile(SaveFile);
  TSaveLayout Layout;
  TSavedPlace Place;
  if (!ReadSaveLayout(Bytes, Layout)) return Place;
  Place.LevelFile = Bytes.substr(92, Layout.ObjectsAt - 96);
  const size_t TagAt = Layout.ObjectsAt + size_t(Layout.Count) * sizeof(TGameObject);
  if (Bytes.size() == TagAt + 12 && Bytes.compare(TagAt, 4, "LEVL") == 0)
    std::memcpy(&Place.Index, Bytes.data() + TagAt + 4, 4);
  return Place;
}

void LevelStarted(int32_t LevelIndex)
{
  LevelPlay.History.Forget();
  LevelPlay.StepOpen = false;
  LevelPlay.Overview = false;
  LevelPlay.Moves = LevelPlay.Pushes = 0;
  LevelPlay.LevelIndex = LevelIndex;
  LevelPlay.Walking = false;
  ++LevelPlay.Jumps;
  LevelPlay.PlayedMs = 0;
  LevelPlay.Solved = false;
  Watch = {};
}

void ForgetLevelPlay()
{
  LevelPlay = {};
  Watch = {};
  HeldBefore = {};
}

int32_t LevelSeconds() { return static_cast<int32_t>(LevelPlay.PlayedMs / 1000); }

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
  const bool Moved = Pressed.Restart ? H.Restart() : Pressed.Undo ? H.Undo() : H.Redo();
  if (Moved && !PutBackPresent()) {
    if (Pressed.Undo) H.Redo();  // the world stayed: so does the history
    else H.Undo();
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
