// Planner.h -- the walks and pushes a click asks for, planned on whole cells.
//
// Walls stop the player and boxes; water stops the player, and a box pushed
// into water fills it (the cell becomes floor, the box is gone). A walk is the
// shortest in moves, then in turns; a push plan moves one box by the fewest
// pushes, then the fewest moves, walking round it as needed. Other boxes stay.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace planner {

enum class TGround : uint8_t { Floor, Wall, Water };

struct TCell {
  int32_t X = 0, Y = 0;  // column, and row line (y grows upwards)
  bool operator==(const TCell &) const = default;
};

class TBoard {
public:
  TBoard(int32_t Width, int32_t Height);  // all floor
  int32_t Width() const { return W; }
  int32_t Height() const { return H; }
  bool Inside(TCell C) const { return C.X >= 0 && C.Y >= 0 && C.X < W && C.Y < H; }
  // Outside the board reads as wall.
  TGround Ground(TCell C) const { return Inside(C) ? Grounds[Index(C)] : TGround::Wall; }
  bool HasBox(TCell C) const { return Inside(C) && Boxes[Index(C)]; }
  void SetGround(TCell C, TGround G);
  void SetBox(TCell C, bool Box);
  // Floor without a box: where the player may stand.
  bool Walkable(TCell C) const { return Ground(C) == TGround::Floor && !HasBox(C); }
  size_t Index(TCell C) const { return size_t(C.Y) * size_t(W) + size_t(C.X); }
  bool operator==(const TBoard &) const = default;

private:
  int32_t W, H;
  std::vector<TGround> Grounds;
  std::vector<uint8_t> Boxes;
};

// One move of a plan: a cell towards (Dx, Dy), pushing the box ahead when Push.
struct TStep {
  int8_t Dx = 0, Dy = 0;
  bool Push = false;
  bool operator==(const TStep &) const = default;
};
using TPlan = std::vector<TStep>;

// The walk from From to To without pushing; empty when From is To; none when
// To cannot be reached.
std::optional<TPlan> PlanWalk(const TBoard &Board, TCell From, TCell To);

// Every cell the player can walk to from From, by TBoard::Index.
std::vector<uint8_t> WalkableFrom(const TBoard &Board, TCell From);

// Pushes the box on BoxAt to To (into water there: the last push fills it);
// none when it cannot get there or no box stands on BoxAt.
std::optional<TPlan> PlanPush(const TBoard &Board, TCell Player, TCell BoxAt, TCell To);

// Every cell the box on BoxAt can be pushed to, its own excluded, by TBoard::Index.
std::vector<uint8_t> PushTargets(const TBoard &Board, TCell Player, TCell BoxAt);

}  // namespace planner
