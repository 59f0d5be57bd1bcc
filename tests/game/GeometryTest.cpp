// The box predicates: inclusive corner tests on four corners of each box.
#include "TestWorld.h"

namespace {

TBox Box(double X, double Y, double Z, double S) { return TBox{X, Y, Z, S, S, S}; }

TEST(GeometryTest, PointsOnTheSurfaceAreInside)
{
  const TBox B = Box(1, 1, 0, 1);
  for (double X : {1.0, 1.5, 2.0})
    for (double Y : {1.0, 2.0})
      for (double Z : {0.0, 1.0}) EXPECT_TRUE(PointInBox(TPoint3{X, Y, Z}, B)) << X << Y << Z;
  EXPECT_FALSE(PointInBox(TPoint3{2.0000001, 1.5, 0.5}, B));
  EXPECT_FALSE(PointInBox(TPoint3{1.5, 1.5, -1e-9}, B));
  EXPECT_FALSE(PointInBox(TPoint3{NAN, 1.5, 0.5}, B));
  EXPECT_FALSE(PointInBox(TPoint3{1.5, 1.5, 0.5}, TBox{1, 1, 0, NAN, 1, 1}));
  TPoint3 P;
  MakePoint(P, 1, 2, 3);
  EXPECT_EQ(P.x, 1);
  EXPECT_EQ(P.y, 2);
  EXPECT_EQ(P.z, 3);
}

TEST(GeometryTest, IntersectionIsInclusiveAndSymmetric)
{
  const TBox A = Box(0, 0, 0, 1);
  const TBox Touching = Box(1, 0, 0, 1);
  const TBox Gap = Box(1.05, 0.05, 0, 0.9);
  const TBox Near = Box(0.05, 0.05, 0, 0.9);
  EXPECT_TRUE(BoxesIntersect(A, Touching));
  EXPECT_TRUE(BoxesIntersect(Touching, A));
  // Two 0.9 boxes on neighbouring cells leave a gap of 0.1.
  EXPECT_FALSE(BoxesIntersect(Near, Gap));
  EXPECT_FALSE(BoxesIntersect(Gap, Near));
  // A point box lies in a box that holds it and is nested in it.
  const TBox Point = Box(0.5, 0.5, 0.5, 0);
  EXPECT_TRUE(BoxesIntersect(Point, A));
  EXPECT_TRUE(BoxesNested(Point, A));
  EXPECT_TRUE(BoxesNested(A, Point));
}

TEST(GeometryTest, CrossingBoxesWithoutACornerInsideDoNotIntersect)
{
  const TBox Cube = Box(0, 0, 0, 1);
  const TBox Bar{-1, 0.4, 0, 3, 0.2, 1};
  EXPECT_FALSE(BoxesIntersect(Cube, Bar));
  EXPECT_FALSE(BoxesIntersect(Bar, Cube));
}

TEST(GeometryTest, InsetCountsBoxesWhoseMinimumCornerIsOnTheCell)
{
  const TBox Cell = Box(3, 3, 0, 1);
  // Minimum corner inside the cell, most of the box outside.
  const TBox Hanging = Box(3.95, 3.95, 0, 0.9);
  EXPECT_TRUE(BoxesIntersectInset(Cell, Hanging, 0.5f));
  EXPECT_TRUE(BoxesIntersectInset(Hanging, Cell, 0.5f));
  // Standing on the neighbouring cell.
  for (const TBox &Neighbour : {Box(4.05, 3.05, 0, 0.9), Box(2.05, 3.05, 0, 0.9), Box(3.05, 2.05, 0, 0.9),
                                Box(3.05, 4.05, 0, 0.9)}) {
    EXPECT_FALSE(BoxesIntersectInset(Cell, Neighbour, 0.5f));
    EXPECT_FALSE(BoxesIntersectInset(Neighbour, Cell, 0.5f));
    EXPECT_TRUE(BoxesIntersect(Cell, Neighbour) == BoxesIntersect(Neighbour, Cell));
  }
  // Reaching just half over from below: corner 4 (x + 0.5) decides.
  EXPECT_TRUE(BoxesIntersectInset(Cell, Box(2.5, 3.05, 0, 0.9), 0.5f));
  EXPECT_FALSE(BoxesIntersectInset(Cell, Box(2.45, 3.05, 0, 0.9), 0.5f));
}

TEST(GeometryTest, NestingNeedsTheWholeBoxInside)
{
  const TBox Cell = Box(2, 5, 0, 1);
  const TBox OnIt = Box(2.05, 5.05, 0, 0.9);
  EXPECT_TRUE(BoxesNested(OnIt, Cell));
  EXPECT_TRUE(BoxesNested(Cell, OnIt));
  for (const TBox &Moved : {Box(2.11, 5.05, 0, 0.9), Box(1.99, 5.05, 0, 0.9), Box(2.05, 5.11, 0, 0.9),
                            Box(2.05, 4.99, 0, 0.9)}) {
    EXPECT_FALSE(BoxesNested(Moved, Cell));
    EXPECT_FALSE(BoxesNested(Cell, Moved));
  }
  EXPECT_TRUE(BoxesNested(Cell, Cell));
}

} // namespace
