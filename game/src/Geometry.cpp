// Box predicates. Each box offers only four corners (the minimum one and its
// three neighbours along the axes) and every bound is inclusive, so boxes that
// share a face touch, and the movement rules rely on exactly that.
#include "World.h"

namespace {

// The four tested corners of a box, each corner but the first pulled inward by M.
void TestedCorners(const TBox &B, double M, TPoint3 (&C)[4])
{
  MakePoint(C[0], B.x, B.y, B.z);
  MakePoint(C[1], B.x + B.sx - M, B.y + M, B.z + M);
  MakePoint(C[2], B.x + M, B.y + B.sy - M, B.z + M);
  MakePoint(C[3], B.x + M, B.y + M, B.z + B.sz - M);
}

void TestedCorners(const TBox &B, TPoint3 (&C)[4])
{
  MakePoint(C[0], B.x, B.y, B.z);
  MakePoint(C[1], B.x + B.sx, B.y, B.z);
  MakePoint(C[2], B.x, B.y + B.sy, B.z);
  MakePoint(C[3], B.x, B.y, B.z + B.sz);
}

bool AnyCornerIn(const TPoint3 (&C)[4], const TBox &B)
{
  for (const TPoint3 &P : C)
    if (PointInBox(P, B)) return true;
  return false;
}

bool AllCornersIn(const TPoint3 (&C)[4], const TBox &B)
{
  for (const TPoint3 &P : C)
    if (!PointInBox(P, B)) return false;
  return true;
}

} // namespace

void MakePoint(TPoint3 &P, double X, double Y, double Z)
{
  P.x = X;
  P.y = Y;
  P.z = Z;
}

bool PointInBox(TPoint3 P, TBox B)
{
  // A NaN fails every comparison, so it is never inside.
  return P.x >= B.x && P.x <= B.x + B.sx && P.y >= B.y && P.y <= B.y + B.sy && P.z >= B.z &&
         P.z <= B.z + B.sz;
}

bool BoxesIntersect(TBox A, TBox B)
{
  TPoint3 CA[4], CB[4];
  TestedCorners(A, CA);
  if (AnyCornerIn(CA, B)) return true;
  TestedCorners(B, CB);
  return AnyCornerIn(CB, A);
}

bool BoxesIntersectInset(TBox A, TBox B, float M)
{
  TPoint3 CA[4], CB[4];
  TestedCorners(A, M, CA);
  if (AnyCornerIn(CA, B)) return true;
  TestedCorners(B, M, CB);
  return AnyCornerIn(CB, A);
}

bool BoxesNested(TBox A, TBox B)
{
  TPoint3 CA[4], CB[4];
  TestedCorners(A, CA);
  if (AllCornersIn(CA, B)) return true;
  TestedCorners(B, CB);
  return AllCornersIn(CB, A);
}
