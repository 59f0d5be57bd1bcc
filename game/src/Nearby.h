// Which objects can be near a box: a grid of unit cells over the level that
// the rules ask instead of testing every object. Each object that takes part
// in the rules (wall, box, destination, water) is filed under one cell by its
// reach; objects the grid cannot hold (not finite, far off, larger than a cell)
// sit on a list that every question includes. The answers are a superset of
// the objects that can touch the box asked about, so the rules decide exactly
// as if they had tested every object.
#pragma once
#include "World.h"

#include <cstdint>
#include <vector>

namespace nearby {

// Where a box can matter on the floor: the interval on x and on y holding the
// box and every point that any predicate tests for it. An axis that is not
// finite reaches everywhere.
struct TReach {
  double LoX, HiX, LoY, HiY;
};

TReach ReachOf(const TBox &B);
TReach Hull(const TReach &A, const TReach &B);
// Whether the predicates could find A and B touching; bounds are inclusive, as theirs are.
inline bool Overlap(const TReach &A, const TReach &B)
{
  return A.LoX <= B.HiX && B.LoX <= A.HiX && A.LoY <= B.HiY && B.LoY <= A.HiY;
}

// Files every object afresh; after the objects were replaced.
void Rebuild();
// Gives the grid's storage back; after the objects were emptied.
void Forget();
// Object K changed its place or its kind.
void Moved(int32_t K);

// The objects that may touch R, in index order, into Out.
void Collect(const TReach &R, std::vector<int32_t> &Out);

// Visits, in index order, every object that may touch R, including objects
// that come near R during the visit (a box put back to where it stood before
// its push may land anywhere). Visits do not nest.
void VisitInOrder(const TReach &R, void (*Visit)(int32_t));

// ---- the grid itself, for AnyNear ----

struct TGrid {
  double OriginX = 0, OriginY = 0; // the first cell's corner, a whole number
  int32_t Columns = 0, Rows = 0;
  std::vector<int32_t> Head;       // per cell: its first object, or -1
  int32_t SpillHead = -1;          // first object the cells cannot hold, or -1
  // Per object: the next and previous object under the same cell (or on the
  // spill list), -1 at the ends; where it is filed; its reach when filed.
  std::vector<int32_t> Next, Prev, Where;
  std::vector<TReach> Reach;
  // The array the grid was built for, to notice one replaced behind its back.
  const TGameObject *Items = nullptr;
  std::size_t Count = 0;
};
extern TGrid Grid;

void EnsureCurrent();

struct TCellSpan {
  int32_t FirstColumn, LastColumn, FirstRow, LastRow;
};
TCellSpan CellsNear(const TReach &R);

// Offers Stop the objects that may touch R, in no particular order, until it
// returns true; whether it did. Nothing may move meanwhile.
bool AnyNear(const TReach &R, const auto &Stop)
{
  EnsureCurrent();
  for (int32_t K = Grid.SpillHead; K >= 0; K = Grid.Next[K])
    if (Overlap(Grid.Reach[K], R) && Stop(K)) return true;
  const TCellSpan S = CellsNear(R);
  for (int32_t Row = S.FirstRow; Row <= S.LastRow; ++Row)
    for (int32_t Column = S.FirstColumn; Column <= S.LastColumn; ++Column)
      for (int32_t K = Grid.Head[std::size_t(Row) * Grid.Columns + Column]; K >= 0; K = Grid.Next[K])
        if (Overlap(Grid.Reach[K], R) && Stop(K)) return true;
  return false;
}

} // namespace nearby
