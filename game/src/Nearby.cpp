// The grid of unit cells that tells the rules which objects can be near.
//
// Why its answers are enough: every predicate decides "touching" by finding a
// tested point of one box inside the other box, so two boxes can only touch
// when their reaches overlap. An object is filed under the cell of its reach's
// low corner, and only when its reach ends at most one cell further on each
// axis; so an object that overlaps a reach R lies in the cells from one before
// R's low corner to R's high corner. The cell of a coordinate only grows with
// the coordinate, so none of this needs a tolerance.
#include "Nearby.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace world;

namespace nearby {

TGrid Grid;

namespace {

constexpr int32_t Spilled = -1; // on the spill list
constexpr int32_t Absent = -2;  // takes no part in the rules
// Room around the objects for boxes pushed off the level's edge.
constexpr int32_t Margin = 4;
// The most cells along an axis, room for the largest level a level file can
// hold; objects further off are spilled.
constexpr int32_t MaxCells = 512;
constexpr double Infinity = std::numeric_limits<double>::infinity();

struct TInterval {
  double Lo, Hi;
};

// The box's own span on one axis and the tested points on it, plain and inset.
TInterval AxisReach(double Min, double Extent)
{
  const double Max = Min + Extent;
  const double Inset = TargetInset;
  const double Points[] = {Min, Max, Max - Inset, Min + Inset};
  TInterval R{Infinity, -Infinity};
  for (const double P : Points) {
    if (!std::isfinite(P)) return TInterval{-Infinity, Infinity};
    R.Lo = std::min(R.Lo, P);
    R.Hi = std::max(R.Hi, P);
  }
  return R;
}

bool IsFinite(const TReach &R)
{
  return std::isfinite(R.LoX) && std::isfinite(R.HiX) && std::isfinite(R.LoY) && std::isfinite(R.HiY);
}

// Walls, boxes, destinations and water; every other kind is passed through by
// the player and by boxes, and counts for nothing.
bool TakesPart(uint8_t Kind) { return Kind == okWall || Kind == okBox || Kind == okTarget || Kind == okWater; }

// The cell along an axis of a coordinate D past the grid's origin: -1 before
// the grid, Cells after it. Truncation is floor here, where D is not negative.
int32_t CellAlong(double D, int32_t Cells)
{
  return D < 0 ? -1 : D >= Cells ? Cells : static_cast<int32_t>(D);
}

int32_t ColumnOf(double X) { return CellAlong(X - Grid.OriginX, Grid.Columns); }
int32_t RowOf(double Y) { return CellAlong(Y - Grid.OriginY, Grid.Rows); }

// The cell an object with this reach is filed under, or Spilled.
int32_t CellFor(const TReach &R)
{
  if (!IsFinite(R)) return Spilled;
  const int32_t C0 = ColumnOf(R.LoX), C1 = ColumnOf(R.HiX), R0 = RowOf(R.LoY), R1 = RowOf(R.HiY);
  if (C0 < 0 || R0 < 0 || C1 >= Grid.Columns || R1 >= Grid.Rows || C1 - C0 > 1 || R1 - R0 > 1) return Spilled;
  return R0 * Grid.Columns + C0;
}

int32_t &HeadOf(int32_t Where) { return Where == Spilled ? Grid.SpillHead : Grid.Head[std::size_t(Where)]; }

void Link(int32_t K, int32_t Where)
{
  int32_t &Head = HeadOf(Where);
  Grid.Where[K] = Where;
  Grid.Prev[K] = -1;
  Grid.Next[K] = Head;
  if (Head >= 0) Grid.Prev[Head] = K;
  Head = K;
}

void File(int32_t K)
{
  const TGameObject &O = Objects[std::size_t(K)];
  if (!TakesPart(O.Kind)) {
    Grid.Where[K] = Absent;
    return;
  }
  Grid.Reach[K] = ReachOf(O.Box);
  Link(K, CellFor(Grid.Reach[K]));
}

void Unfile(int32_t K)
{
  if (Grid.Where[K] == Absent) return;
  const int32_t Prev = Grid.Prev[K], Next = Grid.Next[K];
  (Prev >= 0 ? Grid.Next[Prev] : HeadOf(Grid.Where[K])) = Next;
  if (Next >= 0) Grid.Prev[Next] = Prev;
  Grid.Where[K] = Absent;
}

struct TAxis {
  double Origin;
  int32_t Cells;
};

// The two bounds of a reach that lie along one axis.
struct TAxisOf {
  double TReach::*Lo;
  double TReach::*Hi;
};

// Cells along one axis for the finite reaches of the objects that take part
// (filed or not yet): all of them with a margin,
// or, when they lie too far apart, MaxCells around the middle one, so that a
// few stray objects cannot make the grid useless.
TAxis PlaceAxis(TAxisOf Axis)
{
  double Lo = Infinity, Hi = -Infinity;
  for (std::size_t K = 0; K < Grid.Count; ++K) {
    const TReach &R = Grid.Reach[K];
    if (Grid.Where[K] == Absent || !IsFinite(R)) continue;
    Lo = std::min(Lo, R.*Axis.Lo);
    Hi = std::max(Hi, R.*Axis.Hi);
  }
  if (Lo > Hi) return TAxis{0, 0};
  const double Origin = std::floor(Lo) - Margin;
  const double Cells = std::floor(Hi) - Origin + 1 + Margin;
  if (Cells <= MaxCells) return TAxis{Origin, static_cast<int32_t>(Cells)};
  std::vector<double> Los;
  for (std::size_t K = 0; K < Grid.Count; ++K)
    if (Grid.Where[K] != Absent && IsFinite(Grid.Reach[K])) Los.push_back(Grid.Reach[K].*Axis.Lo);
  const auto Middle = Los.begin() + std::ptrdiff_t(Los.size() / 2);
  std::nth_element(Los.begin(), Middle, Los.end());
  return TAxis{std::floor(*Middle) - MaxCells / 2, MaxCells};
}

// The ordered visit under way, which objects arriving near it join.
struct TVisit {
  bool Active = false;
  TReach Reach{};
  std::vector<int32_t> Order;
  std::size_t Pos = 0;
};
TVisit Visit;

void JoinVisit(int32_t K)
{
  if (!Visit.Active || Grid.Where[K] == Absent || K <= Visit.Order[Visit.Pos] || !Overlap(Grid.Reach[K], Visit.Reach))
    return;
  const auto Later = Visit.Order.begin() + std::ptrdiff_t(Visit.Pos + 1);
  const auto At = std::lower_bound(Later, Visit.Order.end(), K);
  if (At == Visit.Order.end() || *At != K) Visit.Order.insert(At, K);
}

} // namespace

TReach ReachOf(const TBox &B)
{
  const TInterval X = AxisReach(B.x, B.sx), Y = AxisReach(B.y, B.sy);
  return TReach{X.Lo, X.Hi, Y.Lo, Y.Hi};
}

TReach Hull(const TReach &A, const TReach &B)
{
  return TReach{std::min(A.LoX, B.LoX), std::max(A.HiX, B.HiX), std::min(A.LoY, B.LoY), std::max(A.HiY, B.HiY)};
}

void Rebuild()
{
  const std::size_t N = Objects.size();
  Grid.Items = Objects.data();
  Grid.Count = N;
  Grid.Next.assign(N, -1);
  Grid.Prev.assign(N, -1);
  Grid.Where.assign(N, Absent);
  Grid.Reach.resize(N);
  // Where the objects reach decides where the grid lies; then each is filed.
  for (std::size_t K = 0; K < N; ++K) {
    if (!TakesPart(Objects[K].Kind)) continue;
    Grid.Reach[K] = ReachOf(Objects[K].Box);
    Grid.Where[K] = Spilled;
  }
  const TAxis X = PlaceAxis({&TReach::LoX, &TReach::HiX}), Y = PlaceAxis({&TReach::LoY, &TReach::HiY});
  Grid.OriginX = X.Origin;
  Grid.OriginY = Y.Origin;
  Grid.Columns = X.Cells;
  Grid.Rows = Y.Cells;
  Grid.Head.assign(std::size_t(Grid.Columns) * std::size_t(Grid.Rows), -1);
  Grid.SpillHead = -1;
  for (std::size_t K = 0; K < N; ++K)
    if (Grid.Where[K] != Absent) Link(static_cast<int32_t>(K), CellFor(Grid.Reach[K]));
}

void Forget()
{
  Grid = TGrid{};
  Visit = TVisit{};
}

void EnsureCurrent()
{
  if (Grid.Items != Objects.data() || Grid.Count != Objects.size()) Rebuild();
}

void Moved(int32_t K)
{
  EnsureCurrent();
  if (K < 0 || std::size_t(K) >= Grid.Count) return;
  Unfile(K);
  File(K);
  JoinVisit(K);
}

TCellSpan CellsNear(const TReach &R)
{
  return TCellSpan{std::max(0, ColumnOf(R.LoX) - 1), std::min(Grid.Columns - 1, ColumnOf(R.HiX)),
                   std::max(0, RowOf(R.LoY) - 1), std::min(Grid.Rows - 1, RowOf(R.HiY))};
}

void Collect(const TReach &R, std::vector<int32_t> &Out)
{
  Out.clear();
  AnyNear(R, [&Out](int32_t K) {
    Out.push_back(K);
    return false;
  });
  std::sort(Out.begin(), Out.end());
}

void VisitInOrder(const TReach &R, void (*Visitor)(int32_t))
{
  // The visit ends even when a visitor leaves early.
  struct TActive {
    TActive() { Visit.Active = true; }
    ~TActive() { Visit.Active = false; }
  };
  Collect(R, Visit.Order);
  Visit.Reach = R;
  const TActive Active;
  for (Visit.Pos = 0; Visit.Pos < Visit.Order.size(); ++Visit.Pos) Visitor(Visit.Order[Visit.Pos]);
}

} // namespace nearby
