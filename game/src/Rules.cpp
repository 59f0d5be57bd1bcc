// The rules of play. Movement is free; GameProcessPlayer then settles it
// against the objects in index order: walls and water push the player back,
// boxes are pushed by the player's displacement, and a pushed box is checked
// against the other objects (walls and boxes undo the push, destinations mark
// it, water swallows it).
//
// The rules are written once over a way of finding the objects to test: every
// object, which is the plain reading, or only those the grid says can be near,
// which is what play uses. An object that cannot touch the box in question
// changes nothing whichever way it is skipped, so both give the same world.
#include "Nearby.h"
#include "World.h"

#include <vector>

using namespace world;

namespace {

int32_t ObjectCount() { return static_cast<int32_t>(Objects.size()); }

void SavePosition(TPoint3 &P, const TBox &B) { MakePoint(P, B.x, B.y, B.z); }

void RestorePosition(TBox &B, const TPoint3 &P)
{
  B.x = P.x;
  B.y = P.y;
  B.z = P.z;
}

TBox AtSavedPosition(const TGameObject &O)
{
  TBox B = O.Box;
  RestorePosition(B, O.SavedPos);
  return B;
}

// Gives up the move along x, else along y alone, else along both.
void BlockPlayer(const TBox &O)
{
  TBox &P = Player.Box;
  const double MovedX = P.x;
  if (!BoxesIntersect(P, O)) return;
  P.x = Player.PrevPos.x;
  if (!BoxesIntersect(P, O)) return;
  P.x = MovedX;
  P.y = Player.PrevPos.y;
  if (!BoxesIntersect(P, O)) return;
  P.x = Player.PrevPos.x;
}

// Every object, in index order.
struct TEveryObject {
  static void VisitNearPlayer(void (*Visit)(int32_t))
  {
    const int32_t Count = ObjectCount();
    for (int32_t A = 0; A < Count; ++A) Visit(A);
  }

  static void VisitNearPushed(int32_t, const auto &Visit)
  {
    const int32_t Count = ObjectCount();
    for (int32_t K = 0; K < Count; ++K) Visit(K);
  }

  static bool AnyNear(const TBox &, const auto &Stop)
  {
    for (int32_t K = 0; K < ObjectCount(); ++K)
      if (Stop(K)) return true;
    return false;
  }

  static void Moved(int32_t) {}
};

// Only the objects the grid says can be near, in index order where order matters.
struct TNearbyObjects {
  // The player only ever stands at its x or y of now or of the last frame
  // while a frame is settled.
  static nearby::TReach PlayerReach()
  {
    TBox Before = Player.Box;
    Before.x = Player.PrevPos.x;
    Before.y = Player.PrevPos.y;
    return nearby::Hull(nearby::ReachOf(Player.Box), nearby::ReachOf(Before));
  }

  static void VisitNearPlayer(void (*Visit)(int32_t)) { nearby::VisitInOrder(PlayerReach(), Visit); }

  // A pushed box stands where it was pushed or where it was put back while it
  // is settled, and only it and the object it meets move meanwhile.
  static void VisitNearPushed(int32_t A, const auto &Visit)
  {
    static std::vector<int32_t> Near;
    const TGameObject &O = Objects[std::size_t(A)];
    nearby::Collect(nearby::Hull(nearby::ReachOf(O.Box), nearby::ReachOf(AtSavedPosition(O))), Near);
    for (const int32_t K : Near) Visit(K);
  }

  static bool AnyNear(const TBox &B, const auto &Stop) { return nearby::AnyNear(nearby::ReachOf(B), Stop); }

  static void Moved(int32_t K) { nearby::Moved(K); }
};

template <class TScan> struct TRules {
  static void ProcessPlayer()
  {
    TScan::VisitNearPlayer(ProcessObject);
    SavePosition(Player.PrevPos, Player.Box);
  }

  static void ProcessObject(int32_t A)
  {
    if (A < 0 || A >= ObjectCount()) return;
    switch (Objects[A].Kind) {
    case okWall:
    case okWater: BlockPlayer(Objects[A].Box); break;
    case okBox: PushBox(A); break;
    default: break; // the player passes through
    }
  }

  static void PushBox(int32_t A)
  {
    TGameObject &B = Objects[A];
    if (!BoxesIntersect(Player.Box, B.Box)) return;
    SavePosition(B.SavedPos, B.Box);
    // The sum is kept at extended precision until it is stored, so a push along
    // one axis leaves the box's other coordinate exactly where it was.
    B.Box.x = static_cast<double>(static_cast<long double>(B.Box.x) + Player.Box.x - Player.PrevPos.x);
    B.Box.y = static_cast<double>(static_cast<long double>(B.Box.y) + Player.Box.y - Player.PrevPos.y);
    TScan::Moved(A);
    Settle(A);
  }

  static void Settle(int32_t A)
  {
    const int32_t Count = ObjectCount();
    if (Count == 0 || A < 0 || A >= Count) return;
    if (Objects[A].Kind == okBox) Objects[A].OnTarget = 0;
    const TBox Pushed = Objects[A].Box;
    TScan::VisitNearPushed(A, [A](int32_t K) {
      if (K != A) Interact(A, K);
    });
    if (Objects[A].Kind == okBox && (Objects[A].Box.x != Pushed.x || Objects[A].Box.y != Pushed.y))
      RemarkPutBackBox(A);
  }

  static void Interact(int32_t I, int32_t J)
  {
    const uint8_t KI = Objects[I].Kind, KJ = Objects[J].Kind;
    if (KI == okInert || KJ == okInert) return;
    if (!BoxesIntersect(Objects[I].Box, Objects[J].Box)) return;

    if (KI == okWall && KJ == okBox) {
      PutBack(J);
      BlockPlayerWith(J);
    } else if (KI == okBox && KJ == okWall) {
      PutBack(I);
      BlockPlayerWith(I);
    } else if (KI == okBox && KJ == okBox) {
      BoxAgainstBox(I, J);
    } else if (KI == okBox && KJ == okTarget) {
      if (CountBoxesOn(J) == 1) Objects[I].OnTarget = 1;
    } else if (KI == okTarget && KJ == okBox) {
      if (CountBoxesOn(I) == 1) Objects[J].OnTarget = 1;
    } else if ((KI == okWater && KJ == okBox) || (KI == okBox && KJ == okWater)) {
      FillWater(I, J);
    }
  }

  static int32_t CountBoxesOn(int32_t T)
  {
    const TBox Target = Objects[T].Box;
    int32_t N = 0;
    TScan::AnyNear(Target, [&](int32_t K) {
      if (Objects[K].Kind == okBox && BoxesIntersectInset(Target, Objects[K].Box, TargetInset)) ++N;
      return false;
    });
    return N;
  }

  static void PutBack(int32_t K)
  {
    RestorePosition(Objects[K].Box, Objects[K].SavedPos);
    TScan::Moved(K);
  }

  // A box that cannot move stops the player as a wall would.
  static void BlockPlayerWith(int32_t K)
  {
    Objects[K].Kind = okWall;
    if (PlayerObjectHandler) PlayerObjectHandler(K);
    Objects[K].Kind = okBox;
  }

  static void BoxAgainstBox(int32_t I, int32_t J)
  {
    const TBox Pushed = Objects[I].Box;
    PutBack(I);
    if (BoxesIntersect(Objects[I].Box, Player.Box)) {
      BlockPlayerWith(I);
      return;
    }
    Objects[I].Box = Pushed;
    TScan::Moved(I);
    PutBack(J);
    if (BoxesIntersect(Objects[J].Box, Player.Box)) BlockPlayerWith(J);
  }

  static void FillWater(int32_t I, int32_t J)
  {
    if (BoxesNested(Objects[I].Box, Objects[J].Box)) {
      Objects[I].Kind = okInert;
      Objects[J].Kind = okInert;
      TScan::Moved(I);
      TScan::Moved(J);
    }
  }

  // A pushed box that was put back may have been marked on a destination it
  // touched only while pushed. Its mark is decided again where it stands, so a
  // box resting beside a destination never counts as covering it.
  static void RemarkPutBackBox(int32_t A)
  {
    TGameObject &B = Objects[A];
    B.OnTarget = 0;
    const TBox Box = B.Box;
    if (TScan::AnyNear(Box, [&Box](int32_t T) {
          return Objects[T].Kind == okTarget && BoxesIntersect(Box, Objects[T].Box) && CountBoxesOn(T) == 1;
        }))
      B.OnTarget = 1;
  }
};

using TPlay = TRules<TNearbyObjects>;

} // namespace

void GameMovePlayer(float Amount)
{
  Player.Direction &= 3;
  const float D = Player.Step * Amount;
  switch (Player.Direction) {
  case 0: Player.Box.y += D; break;
  case 1: Player.Box.x += D; break;
  case 2: Player.Box.y -= D; break;
  default: Player.Box.x -= D; break;
  }
}

void GameMovePlayerX(float Amount)
{
  Player.Direction &= 3;
  const float D = Player.Step * Amount;
  switch (Player.Direction) {
  case 0: Player.Box.x += D; break;
  case 1: Player.Box.y -= D; break;
  case 2: Player.Box.x -= D; break;
  default: Player.Box.y += D; break;
  }
}

void GameProcessPlayer(void) { TPlay::ProcessPlayer(); }

void ProcessPlayerObject(int32_t A) { TPlay::ProcessObject(A); }

void SettlePushedBox(int32_t A) { TPlay::Settle(A); }

void InteractObjects(int32_t I, int32_t J) { TPlay::Interact(I, J); }

int32_t CountBoxesOn(int32_t T) { return TPlay::CountBoxesOn(T); }

void ProcessPlayerAgainstEveryObject() { TRules<TEveryObject>::ProcessPlayer(); }
