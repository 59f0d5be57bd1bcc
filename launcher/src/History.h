// History.h -- the steps of the level in play, for undo, redo and restart.
//
// Within one level the rules only ever move boxes and fill water; walls, marks
// and plain floor never change. So the history keeps the player, the view, the
// counters and those objects only: one copy as the level began, one as the
// world stands now, and for every step the objects it changed, before and after.
//
// Memory: 180 bytes per box or water cell (the two copies and the index), and
// per step sizeof(THistoryStep) plus 184 bytes per object the step changed (a
// push changes one box, a fill a box and a water cell; a restart every box
// that is off its start). Nothing grows with the walls or the level's area.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "game.h"

// What a step changes besides the objects.
struct TMoment {
  TPlayer Player = {};
  float Angle = 0, Remaining = 0;  // the view angle and the turn still to cover
  int32_t Moves = 0, Pushes = 0;
  uint64_t ClockFrom = 0;  // the level's play time when its clock last started (restart starts it again)
  bool FromOldSave = false;  // the counters miss what was done before a save that did not keep them
};

struct THistoryChange {
  int32_t Index;
  TGameObject Before, After;
};

struct THistoryStep {
  TMoment Before, After;
  std::vector<THistoryChange> Changes;
};

class THistory {
public:
  // Forgets the level: the next Mark begins a new history from the world then.
  void Forget();
  bool Begun() const { return Started; }

  // The world as it stands: what changed since the last mark becomes one step
  // (nothing when nothing changed). The first mark of a level only begins.
  void Mark(const TMoment &Now, const TObjArray &Objects);

  // Begins at Start, the level as its set has it, with the world already at
  // Now (a loaded game) and no step between them, so that restart goes back to
  // Start. False, and nothing begun, when Now is no position of that level: its
  // walls, marks and floor must stand where Start has them.
  bool BeginAt(const TMoment &Start, const std::vector<TGameObject> &StartObjects, const TMoment &Now,
               const TObjArray &Loaded);

  // Each moves Present() one step back or on; false when there is none.
  bool Undo();
  bool Redo();
  // One step from the present back to the level's beginning, its clock started
  // again at ClockFrom, itself undoable; false when the world is there already.
  // Mark the world first.
  bool Restart(uint64_t ClockFrom);

  bool CanUndo() const { return Done > 0; }
  bool CanRedo() const { return Done < Steps.size(); }
  size_t StepCount() const { return Steps.size(); }

  // Where undo, redo or restart has put the world: the moment, and each
  // object that can change with its index.
  const TMoment &Present() const { return Now; }
  const std::vector<int32_t> &TrackedIndexes() const { return Tracked; }
  const std::vector<TGameObject> &TrackedObjects() const { return NowObjects; }

  // The bytes the history holds, by the account given above.
  size_t Bytes() const;

private:
  void Begin(const TMoment &Now, const TGameObject *Objects, int32_t Count);
  void Push(THistoryStep Step);
  void Apply(const THistoryStep &Step, bool Forward);

  bool Started = false;
  int32_t ObjectCount = 0;
  std::vector<int32_t> Tracked;                    // indexes of the boxes and water
  std::vector<TGameObject> StartObjects, NowObjects;  // in the order of Tracked
  TMoment Start, Now;
  std::vector<THistoryStep> Steps;
  size_t Done = 0;  // steps in effect; the rest can be redone
};

// The same player, field by field (a copy's padding says nothing).
bool SamePlayer(const TPlayer &A, const TPlayer &B);
