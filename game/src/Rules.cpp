// The rules of play. Movement is free; GameProcessPlayer then settles it
// against every object in index order: walls and water push the player back,
// boxes are pushed by the player's displacement, and a pushed box is checked
// against every other object (walls and boxes undo the push, destinations mark
// it, water swallows it).
#include "World.h"

using namespace world;

namespace {

void SavePosition(TPoint3 &P, const TBox &B) { MakePoint(P, B.x, B.y, B.z); }

void RestorePosition(TBox &B, const TPoint3 &P)
{
  B.x = P.x;
  B.y = P.y;
  B.z = P.z;
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

void PushBox(int32_t A)
{
  TGameObject &B = Objects[A];
  if (!BoxesIntersect(Player.Box, B.Box)) return;
  SavePosition(B.SavedPos, B.Box);
  // The sum is kept at extended precision until it is stored, so a push along
  // one axis leaves the box's other coordinate exactly where it was.
  B.Box.x = static_cast<double>(static_cast<long double>(B.Box.x) + Player.Box.x - Player.PrevPos.x);
  B.Box.y = static_cast<double>(static_cast<long double>(B.Box.y) + Player.Box.y - Player.PrevPos.y);
  SettlePushedBox(A);
}

void PutBack(int32_t K) { RestorePosition(Objects[K].Box, Objects[K].SavedPos); }

// A box that cannot move stops the player as a wall would.
void BlockPlayerWith(int32_t K)
{
  Objects[K].Kind = okWall;
  if (PlayerObjectHandler) PlayerObjectHandler(K);
  Objects[K].Kind = okBox;
}

void BoxAgainstBox(int32_t I, int32_t J)
{
  const TBox Pushed = Objects[I].Box;
  PutBack(I);
  if (BoxesIntersect(Objects[I].Box, Player.Box)) {
    BlockPlayerWith(I);
    return;
  }
  Objects[I].Box = Pushed;
  PutBack(J);
  if (BoxesIntersect(Objects[J].Box, Player.Box)) BlockPlayerWith(J);
}

void FillWater(int32_t I, int32_t J)
{
  if (BoxesNested(Objects[I].Box, Objects[J].Box)) {
    Objects[I].Kind = okInert;
    Objects[J].Kind = okInert;
  }
}

int32_t ObjectCount() { return static_cast<int32_t>(Objects.size()); }

// A pushed box that was put back may have been marked on a destination it
// touched only while pushed. Its mark is decided again where it stands, so a
// box resting beside a destination never counts as covering it.
void RemarkPutBackBox(int32_t A)
{
  TGameObject &B = Objects[A];
  B.OnTarget = 0;
  for (int32_t T = 0; T < ObjectCount() && B.OnTarget == 0; ++T)
    if (Objects[T].Kind == okTarget && BoxesIntersect(B.Box, Objects[T].Box) && CountBoxesOn(T) == 1)
      B.OnTarget = 1;
}

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

void GameProcessPlayer(void)
{
  const int32_t Count = ObjectCount();
  for (int32_t A = 0; A < Count; ++A) ProcessPlayerObject(A);
  SavePosition(Player.PrevPos, Player.Box);
}

void ProcessPlayerObject(int32_t A)
{
  if (A < 0 || A >= ObjectCount()) return;
  switch (Objects[A].Kind) {
  case okWall:
  case okWater: BlockPlayer(Objects[A].Box); break;
  case okBox: PushBox(A); break;
  default: break; // the player passes through
  }
}

void SettlePushedBox(int32_t A)
{
  const int32_t Count = ObjectCount();
  if (Count == 0 || A < 0 || A >= Count) return;
  if (Objects[A].Kind == okBox) Objects[A].OnTarget = 0;
  const TBox Pushed = Objects[A].Box;
  for (int32_t K = 0; K < Count; ++K)
    if (K != A) InteractObjects(A, K);
  if (Objects[A].Kind == okBox && (Objects[A].Box.x != Pushed.x || Objects[A].Box.y != Pushed.y))
    RemarkPutBackBox(A);
}

void InteractObjects(int32_t I, int32_t J)
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

int32_t CountBoxesOn(int32_t T)
{
  int32_t N = 0;
  for (const TGameObject &K : Objects)
    if (K.Kind == okBox && BoxesIntersectInset(Objects[T].Box, K.Box, 0.5f)) ++N;
  return N;
}
