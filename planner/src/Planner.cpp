// Planner.cpp -- breadth-first walks and a cheapest-first search over where the
// box stands and from which side the player last pushed it.
#include "Planner.h"

#include <array>
#include <climits>
#include <queue>
#include <tuple>

namespace planner {

namespace {

// Headings as the player's facing numbers them: 0 = +y, 1 = +x, 2 = -y, 3 = -x.
constexpr std::array<TCell, 4> Headings = {{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}};
constexpr int32_t NoHeading = 4;

TCell Plus(TCell C, TCell D) { return {C.X + D.X, C.Y + D.Y}; }
TCell Minus(TCell C, TCell D) { return {C.X - D.X, C.Y - D.Y}; }

TStep StepOf(int32_t Heading, bool Push)
{
  return {static_cast<int8_t>(Headings[size_t(Heading)].X), static_cast<int8_t>(Headings[size_t(Heading)].Y), Push};
}

// Moves from From to every cell, -1 where none leads.
std::vector<int32_t> Distances(const TBoard &Board, TCell From)
{
  std::vector<int32_t> Dist(size_t(Board.Width()) * size_t(Board.Height()), -1);
  if (!Board.Inside(From)) return Dist;
  std::queue<TCell> Open;
  Dist[Board.Index(From)] = 0;
  Open.push(From);
  while (!Open.empty()) {
    const TCell C = Open.front();
    Open.pop();
    for (const TCell D : Headings) {
      const TCell N = Plus(C, D);
      if (!Board.Walkable(N) || Dist[Board.Index(N)] >= 0) continue;
      Dist[Board.Index(N)] = Dist[Board.Index(C)] + 1;
      Open.push(N);
    }
  }
  return Dist;
}

// Fewest pushes first, then fewest moves.
struct TCost {
  int32_t Pushes = INT_MAX, Moves = INT_MAX;
  auto operator<=>(const TCost &) const = default;
};

// The push search: a state is the box's cell and the heading of the push that
// brought it there (the player stands just behind); one more state stands for
// the start, the player anywhere.
class TPushSearch {
public:
  TPushSearch(const TBoard &Board, TCell Player, TCell BoxAt)
      : Board(Board), Player(Player), BoxAt(BoxAt), Cells(size_t(Board.Width()) * size_t(Board.Height())),
        Best(Cells * 4 + 1), Parent(Cells * 4 + 1, -1), Fills(Cells), FillParent(Cells, -1)
  {
    Empty.SetBox(BoxAt, false);
    Run();
  }

  // The cheapest state with the box on To, or the cheapest fill of To; -1 for none.
  std::optional<TPlan> PlanTo(TCell To) const;
  std::vector<uint8_t> Targets() const;

private:
  size_t StartState() const { return Cells * 4; }
  TCell BoxOf(size_t State) const
  {
    if (State == StartState()) return BoxAt;
    const size_t Cell = State / 4;
    return {int32_t(Cell % size_t(Board.Width())), int32_t(Cell / size_t(Board.Width()))};
  }
  TCell PlayerOf(size_t State) const
  {
    return State == StartState() ? Player : Minus(BoxOf(State), Headings[State % 4]);
  }
  void Run();
  TPlan Unwind(size_t Last, int32_t FinalHeading) const;

  const TBoard &Board;
  TBoard Empty{Board};  // the board without the box being pushed
  TCell Player, BoxAt;
  size_t Cells;
  std::vector<TCost> Best;
  std::vector<int32_t> Parent;
  std::vector<TCost> Fills;          // by water cell
  std::vector<int32_t> FillParent;   // the state the filling push started from
};

void TPushSearch::Run()
{
  using TEntry = std::tuple<TCost, size_t>;
  std::priority_queue<TEntry, std::vector<TEntry>, std::greater<>> Open;
  Best[StartState()] = {0, 0};
  Open.push({Best[StartState()], StartState()});
  TBoard Around = Empty;
  while (!Open.empty()) {
    const auto [Cost, State] = Open.top();
    Open.pop();
    if (Best[State] < Cost) continue;
    const TCell Box = BoxOf(State);
    Around.SetBox(Box, true);
    const std::vector<int32_t> Dist = Distances(Around, PlayerOf(State));
    Around.SetBox(Box, false);
    for (int32_t H = 0; H < 4; ++H) {
      const TCell Behind = Minus(Box, Headings[size_t(H)]), Ahead = Plus(Box, Headings[size_t(H)]);
      if (!Board.Inside(Behind) || Dist[Board.Index(Behind)] < 0) continue;
      const TCost Next{Cost.Pushes + 1, Cost.Moves + Dist[Board.Index(Behind)] + 1};
      if (Empty.Ground(Ahead) == TGround::Water && !Empty.HasBox(Ahead)) {
        if (Next < Fills[Board.Index(Ahead)]) {
          Fills[Board.Index(Ahead)] = Next;
          FillParent[Board.Index(Ahead)] = int32_t(State);
        }
        continue;
      }
      if (!Empty.Walkable(Ahead)) continue;
      const size_t To = Board.Index(Ahead) * 4 + size_t(H);
      if (!(Next < Best[To])) continue;
      Best[To] = Next;
      Parent[To] = int32_t(State);
      Open.push({Next, To});
    }
  }
}

// The pushes from the start to Last, then one more along FinalHeading when it
// is a heading, each with the walk before it.
TPlan TPushSearch::Unwind(size_t Last, int32_t FinalHeading) const
{
  std::vector<size_t> Chain;
  for (int32_t S = int32_t(Last); S >= 0; S = Parent[size_t(S)]) Chain.push_back(size_t(S));
  std::vector<int32_t> Pushes;
  for (size_t I = Chain.size() - 1; I-- > 0;) Pushes.push_back(int32_t(Chain[I] % 4));
  if (FinalHeading != NoHeading) Pushes.push_back(FinalHeading);

  TPlan Plan;
  TBoard Around = Empty;
  TCell Box = BoxAt, At = Player;
  for (const int32_t H : Pushes) {
    Around.SetBox(Box, true);
    const std::optional<TPlan> Walk = PlanWalk(Around, At, Minus(Box, Headings[size_t(H)]));
    Around.SetBox(Box, false);
    if (!Walk) return {};  // cannot be: the search found this walk
    Plan.insert(Plan.end(), Walk->begin(), Walk->end());
    Plan.push_back(StepOf(H, true));
    At = Box;
    Box = Plus(Box, Headings[size_t(H)]);
  }
  return Plan;
}

std::optional<TPlan> TPushSearch::PlanTo(TCell To) const
{
  if (!Board.Inside(To) || !Board.HasBox(BoxAt)) return std::nullopt;
  if (To == BoxAt) return TPlan{};
  if (Board.Ground(To) == TGround::Water) {
    const int32_t From = FillParent[Board.Index(To)];
    if (From < 0) return std::nullopt;
    const TCell Box = BoxOf(size_t(From));
    for (int32_t H = 0; H < 4; ++H)
      if (Plus(Box, Headings[size_t(H)]) == To) return Unwind(size_t(From), H);
    return std::nullopt;
  }
  size_t Cheapest = 0;
  TCost Cost;
  for (size_t H = 0; H < 4; ++H) {
    const size_t State = Board.Index(To) * 4 + H;
    if (Best[State] < Cost) {
      Cost = Best[State];
      Cheapest = State;
    }
  }
  if (Cost == TCost{}) return std::nullopt;
  return Unwind(Cheapest, NoHeading);
}

std::vector<uint8_t> TPushSearch::Targets() const
{
  std::vector<uint8_t> Marks(Cells, 0);
  if (!Board.HasBox(BoxAt)) return Marks;
  for (size_t C = 0; C < Cells; ++C) {
    for (size_t H = 0; H < 4; ++H)
      if (Best[C * 4 + H] < TCost{}) Marks[C] = 1;
    if (Fills[C] < TCost{}) Marks[C] = 1;
  }
  Marks[Board.Index(BoxAt)] = 0;  // pushed away and back is no push
  return Marks;
}

}  // namespace

TBoard::TBoard(int32_t Width, int32_t Height)
    : W(Width > 0 ? Width : 0), H(Height > 0 ? Height : 0), Grounds(size_t(W) * size_t(H), TGround::Floor),
      Boxes(size_t(W) * size_t(H), 0)
{
}

void TBoard::SetGround(TCell C, TGround G)
{
  if (Inside(C)) Grounds[Index(C)] = G;
}

void TBoard::SetBox(TCell C, bool Box)
{
  if (Inside(C)) Boxes[Index(C)] = Box ? 1 : 0;
}

std::optional<TPlan> PlanWalk(const TBoard &Board, TCell From, TCell To)
{
  if (!Board.Inside(From) || !Board.Walkable(To)) return From == To ? std::optional<TPlan>(TPlan{}) : std::nullopt;
  if (From == To) return TPlan{};
  // Cheapest first over (cell, heading): a move costs one, a turn a fraction
  // no number of turns on a board can add up to.
  const size_t Cells = size_t(Board.Width()) * size_t(Board.Height());
  const int64_t Move = int64_t(Cells) * 4 + 1;
  std::vector<int64_t> Cost(Cells * 5, INT64_MAX);
  std::vector<int32_t> Parent(Cells * 5, -1);
  using TEntry = std::pair<int64_t, size_t>;
  std::priority_queue<TEntry, std::vector<TEntry>, std::greater<>> Open;
  const size_t Start = Board.Index(From) * 5 + NoHeading;
  Cost[Start] = 0;
  Open.push({0, Start});
  size_t Reached = SIZE_MAX;
  while (!Open.empty()) {
    const auto [C, State] = Open.top();
    Open.pop();
    if (C > Cost[State]) continue;
    const size_t Cell = State / 5;
    const TCell At{int32_t(Cell % size_t(Board.Width())), int32_t(Cell / size_t(Board.Width()))};
    if (At == To) {
      Reached = State;
      break;
    }
    const int32_t Facing = int32_t(State % 5);
    for (int32_t H = 0; H < 4; ++H) {
      const TCell N = Plus(At, Headings[size_t(H)]);
      if (!Board.Walkable(N)) continue;
      const int64_t Next = C + Move + (Facing != NoHeading && Facing != H ? 1 : 0);
      const size_t To5 = Board.Index(N) * 5 + size_t(H);
      if (Next >= Cost[To5]) continue;
      Cost[To5] = Next;
      Parent[To5] = int32_t(State);
      Open.push({Next, To5});
    }
  }
  if (Reached == SIZE_MAX) return std::nullopt;
  TPlan Plan;
  for (size_t S = Reached; S != Start; S = size_t(Parent[S])) Plan.push_back(StepOf(int32_t(S % 5), false));
  return TPlan(Plan.rbegin(), Plan.rend());
}

std::vector<uint8_t> WalkableFrom(const TBoard &Board, TCell From)
{
  const std::vector<int32_t> Dist = Distances(Board, From);
  std::vector<uint8_t> Marks(Dist.size(), 0);
  for (size_t I = 0; I < Dist.size(); ++I) Marks[I] = Dist[I] >= 0;
  return Marks;
}

std::optional<TPlan> PlanPush(const TBoard &Board, TCell Player, TCell BoxAt, TCell To)
{
  if (!Board.Inside(Player) || !Board.HasBox(BoxAt)) return std::nullopt;
  return TPushSearch(Board, Player, BoxAt).PlanTo(To);
}

std::vector<uint8_t> PushTargets(const TBoard &Board, TCell Player, TCell BoxAt)
{
  if (!Board.Inside(Player)) return std::vector<uint8_t>(size_t(Board.Width()) * size_t(Board.Height()), 0);
  return TPushSearch(Board, Player, BoxAt).Targets();
}

}  // namespace planner
