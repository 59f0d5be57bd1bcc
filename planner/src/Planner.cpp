// Planner.cpp -- breadth-first walks and a cheapest-first search over where the
// box stands and from which side the player last pushed it.
#include "Planner.h"

#include <algorithm>
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

// Which walkable cells stay connected when one cell is taken out (where the
// pushed box stands): from one depth-first search over the board without that
// box, each cell's discovery order, the end of its subtree and its low link.
// Taking out a cell splits off each child subtree whose low link does not
// reach above it; the rest of its region stays together.
class TCutCells {
public:
  explicit TCutCells(const TBoard &Board);
  // Whether the player on From can walk to To while Blocked is taken out.
  bool Connected(TCell From, TCell To, TCell Blocked) const;

private:
  int32_t Piece(size_t Cell, size_t Blocked) const;
  const TBoard &Board;
  std::vector<int32_t> Disc, End, Low, Parent, Region;  // Disc -1: not walkable
};

TCutCells::TCutCells(const TBoard &Board)
    : Board(Board), Disc(size_t(Board.Width()) * size_t(Board.Height()), -1), End(Disc.size(), -1),
      Low(Disc.size(), -1), Parent(Disc.size(), -1), Region(Disc.size(), -1)
{
  int32_t Clock = 0, Regions = 0;
  struct TFrame {
    size_t Cell;
    int32_t Next;  // the heading to look at next
  };
  std::vector<TFrame> Stack;
  const auto CellAt = [&](size_t I) { return TCell{int32_t(I % size_t(Board.Width())), int32_t(I / size_t(Board.Width()))}; };
  for (size_t Root = 0; Root < Disc.size(); ++Root) {
    if (Disc[Root] >= 0 || !Board.Walkable(CellAt(Root))) continue;
    Disc[Root] = Low[Root] = Clock++;
    Region[Root] = Regions;
    Stack.push_back({Root, 0});
    while (!Stack.empty()) {
      TFrame &Top = Stack.back();
      if (Top.Next == 4) {
        End[Top.Cell] = Clock - 1;
        const size_t Done = Top.Cell;
        Stack.pop_back();
        if (!Stack.empty()) Low[Stack.back().Cell] = std::min(Low[Stack.back().Cell], Low[Done]);
        continue;
      }
      const TCell N = Plus(CellAt(Top.Cell), Headings[size_t(Top.Next++)]);
      if (!Board.Walkable(N)) continue;
      const size_t I = Board.Index(N);
      if (Disc[I] >= 0) {
        if (int32_t(I) != Parent[Top.Cell]) Low[Top.Cell] = std::min(Low[Top.Cell], Disc[I]);
        continue;
      }
      Disc[I] = Low[I] = Clock++;
      Parent[I] = int32_t(Top.Cell);
      Region[I] = Regions;
      Stack.push_back({I, 0});
    }
    ++Regions;
  }
}

// The piece of its region Cell falls in with Blocked taken out: the child
// subtree of Blocked split off that holds it, or -1 for the rest.
int32_t TCutCells::Piece(size_t Cell, size_t Blocked) const
{
  for (const TCell D : Headings) {
    const TCell N = Plus(TCell{int32_t(Blocked % size_t(Board.Width())), int32_t(Blocked / size_t(Board.Width()))}, D);
    if (!Board.Inside(N)) continue;
    const size_t Child = Board.Index(N);
    if (Parent[Child] != int32_t(Blocked) || Disc[Child] < 0) continue;
    if (Disc[Cell] >= Disc[Child] && Disc[Cell] <= End[Child]) return Low[Child] >= Disc[Blocked] ? int32_t(Child) : -1;
  }
  return -1;
}

bool TCutCells::Connected(TCell From, TCell To, TCell Blocked) const
{
  if (!Board.Walkable(From) || !Board.Walkable(To) || From == Blocked || To == Blocked) return false;
  const size_t F = Board.Index(From), T = Board.Index(To);
  if (Region[F] != Region[T]) return false;
  if (!Board.Walkable(Blocked) || Region[Board.Index(Blocked)] != Region[F]) return true;
  return Piece(F, Board.Index(Blocked)) == Piece(T, Board.Index(Blocked));
}

// Walk distances from one cell, found breadth first and only as far as the
// cells asked for (those TCutCells says can be reached: the walk stops once
// it has them all); its buffers serve one search after another.
class TWalkDistances {
public:
  explicit TWalkDistances(size_t Cells) : Seen(Cells, 0), Dist(Cells, 0) {}
  // Fills Found[k] with the moves from From to Wanted[k] (Wanted reachable, -1 otherwise).
  void Measure(const TBoard &Board, TCell From, const std::array<TCell, 4> &Wanted, const std::array<bool, 4> &Reachable,
               std::array<int32_t, 4> &Found);

private:
  std::vector<uint32_t> Seen;  // == Stamp: visited in this search
  std::vector<int32_t> Dist;
  std::vector<TCell> Queue;
  uint32_t Stamp = 0;
};

void TWalkDistances::Measure(const TBoard &Board, TCell From, const std::array<TCell, 4> &Wanted,
                             const std::array<bool, 4> &Reachable, std::array<int32_t, 4> &Found)
{
  Found.fill(-1);
  int32_t Left = 0;
  for (size_t K = 0; K < 4; ++K) Left += Reachable[K];
  if (++Stamp == 0) {  // wrapped: start the marks afresh
    std::fill(Seen.begin(), Seen.end(), 0);
    Stamp = 1;
  }
  Queue.clear();
  Queue.push_back(From);
  Seen[Board.Index(From)] = Stamp;
  Dist[Board.Index(From)] = 0;
  for (size_t Head = 0; Head < Queue.size() && Left > 0; ++Head) {
    const TCell C = Queue[Head];
    const int32_t Here = Dist[Board.Index(C)];
    for (size_t K = 0; K < 4; ++K)
      if (Reachable[K] && Found[K] < 0 && Wanted[K] == C) {
        Found[K] = Here;
        --Left;
      }
    for (const TCell D : Headings) {
      const TCell N = Plus(C, D);
      if (!Board.Walkable(N) || Seen[Board.Index(N)] == Stamp) continue;
      Seen[Board.Index(N)] = Stamp;
      Dist[Board.Index(N)] = Here + 1;
      Queue.push_back(N);
    }
  }
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
    Run();
  }

  // The plan to the cheapest state with the box on To, or to the cheapest fill of To; none when neither exists.
  std::optional<TPlan> PlanTo(TCell To) const;
  std::vector<uint8_t> Targets() const;

private:
  static TBoard WithoutBox(TBoard Board, TCell Box)
  {
    Board.SetBox(Box, false);
    return Board;
  }
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
  TCell Player, BoxAt;
  TBoard Empty{WithoutBox(Board, BoxAt)};  // the board without the box being pushed
  TCutCells Cuts{Empty};
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
  TWalkDistances Walks(Cells);
  // The player may start where it could not walk (the rules put it there): the start is measured in full.
  const std::vector<int32_t> FromStart = Empty.Walkable(Player) ? std::vector<int32_t>{} : [&] {
    Around.SetBox(BoxAt, true);
    std::vector<int32_t> D = Distances(Around, Player);
    Around.SetBox(BoxAt, false);
    return D;
  }();
  while (!Open.empty()) {
    const auto [Cost, State] = Open.top();
    Open.pop();
    if (Best[State] < Cost) continue;
    const TCell Box = BoxOf(State), At = PlayerOf(State);
    const bool MeasuredInFull = State == StartState() && !FromStart.empty();
    std::array<TCell, 4> Behind;
    std::array<bool, 4> Reachable;
    std::array<int32_t, 4> Dist;
    for (size_t H = 0; H < 4; ++H) {
      Behind[H] = Minus(Box, Headings[H]);
      Reachable[H] = !MeasuredInFull && Cuts.Connected(At, Behind[H], Box);
    }
    if (!MeasuredInFull) {
      Around.SetBox(Box, true);
      Walks.Measure(Around, At, Behind, Reachable, Dist);
      Around.SetBox(Box, false);
    } else {
      for (size_t H = 0; H < 4; ++H) Dist[H] = Board.Inside(Behind[H]) ? FromStart[Board.Index(Behind[H])] : -1;
    }
    for (int32_t H = 0; H < 4; ++H) {
      const TCell Ahead = Plus(Box, Headings[size_t(H)]);
      if (Dist[size_t(H)] < 0) continue;
      const TCost Next{Cost.Pushes + 1, Cost.Moves + Dist[size_t(H)] + 1};
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
