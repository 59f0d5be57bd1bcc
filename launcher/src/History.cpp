// History.cpp -- the steps of the level in play, kept as differences.
#include "History.h"

#include <cstring>
#include <utility>

namespace {

bool SameBox(const TBox &A, const TBox &B)
{
  return A.x == B.x && A.y == B.y && A.z == B.z && A.sx == B.sx && A.sy == B.sy && A.sz == B.sz;
}

bool SameObject(const TGameObject &A, const TGameObject &B)
{
  return A.Kind == B.Kind && SameBox(A.Box, B.Box) && A.SavedPos.x == B.SavedPos.x &&
         A.SavedPos.y == B.SavedPos.y && A.SavedPos.z == B.SavedPos.z && A.OnTarget == B.OnTarget;
}

// Bitwise, so that -0 and 0 or a NaN still tell a change.
bool SameFloat(float A, float B) { return std::memcmp(&A, &B, sizeof A) == 0; }

bool SameMoment(const TMoment &A, const TMoment &B)
{
  return SamePlayer(A.Player, B.Player) && SameFloat(A.Angle, B.Angle) && SameFloat(A.Remaining, B.Remaining) &&
         A.Moves == B.Moves && A.Pushes == B.Pushes && A.ClockFrom == B.ClockFrom && A.FromOldSave == B.FromOldSave;
}

// Only these are ever changed by the rules.
bool CanChange(const TGameObject &Object) { return Object.Kind == okBox || Object.Kind == okWater; }

}  // namespace

bool SamePlayer(const TPlayer &A, const TPlayer &B)
{
  return SameBox(A.Box, B.Box) && A.PrevPos.x == B.PrevPos.x && A.PrevPos.y == B.PrevPos.y &&
         A.PrevPos.z == B.PrevPos.z && A.Direction == B.Direction && SameFloat(A.Step, B.Step);
}

void THistory::Forget() { *this = THistory{}; }

void THistory::Begin(const TMoment &Moment, const TGameObject *Objects, int32_t Count)
{
  Forget();
  Started = true;
  ObjectCount = Count;
  for (int32_t I = 0; I < Count; ++I)
    if (CanChange(Objects[I])) {
      Tracked.push_back(I);
      StartObjects.push_back(Objects[I]);
    }
  NowObjects = StartObjects;
  Start = Now = Moment;
}

void THistory::Mark(const TMoment &Moment, const TObjArray &Objects)
{
  if (!Started || Objects.Count != ObjectCount) {  // another level: begin again
    Begin(Moment, Objects.Items, Objects.Count);
    return;
  }
  THistoryStep Step{Now, Moment, {}};
  for (size_t K = 0; K < Tracked.size(); ++K) {
    const TGameObject &Live = Objects.Items[Tracked[K]];
    if (!SameObject(Live, NowObjects[K])) Step.Changes.push_back({static_cast<int32_t>(K), NowObjects[K], Live});
  }
  if (Step.Changes.empty() && SameMoment(Now, Moment)) return;
  Push(std::move(Step));
}

void THistory::Push(THistoryStep Step)
{
  Steps.resize(Done);  // a new step ends what could be redone
  Steps.push_back(std::move(Step));
  Apply(Steps.back(), true);
  ++Done;
}

// Change indexes count in Tracked, not in the level's object list.
void THistory::Apply(const THistoryStep &Step, bool Forward)
{
  for (const THistoryChange &C : Step.Changes) NowObjects[C.Index] = Forward ? C.After : C.Before;
  Now = Forward ? Step.After : Step.Before;
}

bool THistory::Undo()
{
  if (!CanUndo()) return false;
  Apply(Steps[--Done], false);
  return true;
}

bool THistory::Redo()
{
  if (!CanRedo()) return false;
  Apply(Steps[Done++], true);
  return true;
}

bool THistory::BeginAt(const TMoment &StartMoment, const std::vector<TGameObject> &Designed,
                       const TMoment &NowMoment, const TObjArray &Loaded)
{
  if (Loaded.Count < 0 || static_cast<size_t>(Loaded.Count) != Designed.size()) return false;
  for (size_t I = 0; I < Designed.size(); ++I) {
    const TGameObject &Fixed = Designed[I], &Live = Loaded.Items[I];
    if (!CanChange(Fixed) && (Fixed.Kind != Live.Kind || !SameBox(Fixed.Box, Live.Box))) return false;
  }
  Begin(StartMoment, Designed.data(), Loaded.Count);
  for (size_t K = 0; K < Tracked.size(); ++K) NowObjects[K] = Loaded.Items[Tracked[K]];
  Now = NowMoment;
  return true;
}

bool THistory::Restart(uint64_t ClockFrom)
{
  if (!Started) return false;
  TMoment Again = Start;
  Again.ClockFrom = ClockFrom;
  THistoryStep Step{Now, Again, {}};
  for (size_t K = 0; K < Tracked.size(); ++K)
    if (!SameObject(NowObjects[K], StartObjects[K]))
      Step.Changes.push_back({static_cast<int32_t>(K), NowObjects[K], StartObjects[K]});
  if (Step.Changes.empty() && SameMoment(Now, Again)) return false;
  Push(std::move(Step));
  return true;
}

size_t THistory::Bytes() const
{
  size_t Total = Tracked.capacity() * sizeof(int32_t) +
                 (StartObjects.capacity() + NowObjects.capacity()) * sizeof(TGameObject) +
                 Steps.capacity() * sizeof(THistoryStep);
  for (const THistoryStep &S : Steps) Total += S.Changes.capacity() * sizeof(THistoryChange);
  return Total;
}
