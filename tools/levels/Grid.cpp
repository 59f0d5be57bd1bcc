// Grid.cpp -- replaying move strings and finding solutions on whole cells.
#include "Grid.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <string_view>
#include <unordered_map>

namespace levels {

Grid Grid::FromLevel(const Level &L) {
  Grid G;
  G.Width = L.Width;
  G.Height = L.Height;
  const std::size_t N = std::size_t(L.Width) * std::size_t(L.Height);
  G.Wall.assign(N, 0);
  G.Water.assign(N, 0);
  G.Goal.assign(N, 0);
  G.Box.assign(N, 0);
  for (int Y = 0; Y < L.Height && Y < int(L.Rows.size()); ++Y)
    for (int X = 0; X < L.Width && X < int(L.Rows[std::size_t(Y)].size()); ++X) {
      const std::size_t I = std::size_t(Y * L.Width + X);
      switch (L.Rows[std::size_t(Y)][std::size_t(X)]) {
        case CellWall: G.Wall[I] = 1; break;
        case CellBox: G.Box[I] = 1; break;
        case CellGoal: G.Goal[I] = 1; ++G.Goals; break;
        case CellBoxOnGoal: G.Goal[I] = 1; G.Box[I] = 1; ++G.Goals; break;
        case CellWater: G.Water[I] = 1; break;
        case CellPlayer: G.Player = int(I); break;  // the last start wins, as in the game
        default: break;
      }
    }
  return G;
}

bool Grid::Solved() const {
  for (std::size_t I = 0; I < Goal.size(); ++I)
    if (Goal[I] && !Box[I]) return false;
  return true;
}

bool MoveDelta(char Move, int &Dx, int &Dy) {
  switch (Move) {
    case 'u': case 'U': Dx = 0; Dy = -1; return true;
    case 'd': case 'D': Dx = 0; Dy = 1; return true;
    case 'l': case 'L': Dx = -1; Dy = 0; return true;
    case 'r': case 'R': Dx = 1; Dy = 0; return true;
    default: return false;
  }
}

ReplayResult Replay(const Level &L, const std::string &Moves) {
  ReplayResult R;
  Grid G = Grid::FromLevel(L);
  if (G.Player < 0) {
    R.Error = "the level has no player start";
    return R;
  }
  if (G.Goals == 0) {
    R.Error = "the level has no destinations";
    return R;
  }
  if (G.Solved()) {
    R.Error = "the level is solved before the first move";
    return R;
  }
  for (std::size_t K = 0; K < Moves.size(); ++K) {
    const char M = Moves[K];
    const std::string Name = "move " + std::to_string(K + 1) + " '" + std::string(1, M) + "'";
    int Dx = 0, Dy = 0;
    if (!MoveDelta(M, Dx, Dy)) {
      R.Error = Name + " is no move";
      return R;
    }
    if (G.Solved()) {
      R.Error = "the level is solved after move " + std::to_string(K) +
                "; the moves after it would play in the next level";
      return R;
    }
    const int X = G.Player % G.Width + Dx, Y = G.Player / G.Width + Dy;
    if (!G.Inside(X, Y)) {
      R.Error = Name + " leaves the level";
      return R;
    }
    const std::size_t To = std::size_t(Y * G.Width + X);
    const bool Push = M >= 'A' && M <= 'Z';
    if (G.Wall[To]) {
      R.Error = Name + " walks into a wall";
      return R;
    }
    if (G.Water[To]) {
      R.Error = Name + " walks into water";
      return R;
    }
    if (G.Box[To] != Push) {
      R.Error = Name + (Push ? " pushes no box (write it in lower case)"
                             : " pushes a box (write it as a capital)");
      return R;
    }
    if (Push) {
      const int BX = X + Dx, BY = Y + Dy;
      if (!G.Inside(BX, BY)) {
        R.Error = Name + " pushes the box off the level";
        return R;
      }
      const std::size_t Beyond = std::size_t(BY * G.Width + BX);
      if (G.Wall[Beyond] || G.Box[Beyond]) {
        R.Error = Name + " pushes the box into " + (G.Wall[Beyond] ? "a wall" : "another box");
        return R;
      }
      G.Box[To] = 0;
      if (G.Water[Beyond]) {
        G.Water[Beyond] = 0;  // the box fills the water; both become floor
        ++R.Fills;
      } else {
        G.Box[Beyond] = 1;
      }
      ++R.Pushes;
    }
    G.Player = int(To);
    ++R.Moves;
  }
  if (!G.Solved()) {
    R.Error = "the moves end before the level is solved";
    return R;
  }
  R.Ok = true;
  return R;
}

namespace {

constexpr int Dxs[4] = {0, 0, -1, 1};
constexpr int Dys[4] = {-1, 1, 0, 0};
constexpr char Walk[4] = {'u', 'd', 'l', 'r'};
constexpr char PushMove[4] = {'U', 'D', 'L', 'R'};

// A search state: the player's cell, which water is filled, and the sorted boxes.
struct State {
  uint16_t Player;
  uint64_t Filled;
  std::vector<uint16_t> Boxes;
};

std::string KeyOf(const State &S) {
  std::string K(2 + 8 + 2 * S.Boxes.size(), '\0');
  std::memcpy(K.data(), &S.Player, 2);
  std::memcpy(K.data() + 2, &S.Filled, 8);
  if (!S.Boxes.empty()) std::memcpy(K.data() + 10, S.Boxes.data(), 2 * S.Boxes.size());
  return K;
}

struct Node {
  State S;
  int Parent;
  uint16_t PushFrom;  // the player's cell when it pushed into this state
  uint8_t Dir;
  long Moves, Pushes;
};

class Solver {
public:
  explicit Solver(const Grid &G) : G(G), N(G.Width * G.Height) {
    WaterIndex.assign(std::size_t(N), -1);
    for (int I = 0; I < N; ++I)
      if (G.Water[std::size_t(I)]) WaterIndex[std::size_t(I)] = Waters++;
    MarkDeadCells();
  }

  SolveResult Run(long MaxStates) {
    SolveResult R;
    if (G.Player < 0 || G.Goals == 0) return R;
    int BoxCount = 0;
    State Start{uint16_t(G.Player), 0, {}};
    for (int I = 0; I < N; ++I)
      if (G.Box[std::size_t(I)]) {
        Start.Boxes.push_back(uint16_t(I));
        ++BoxCount;
      }
    if (Waters > 64 || N > 65535) {
      R.Result = SolveResult::TooLarge;
      return R;
    }
    if (BoxCount < G.Goals) return R;

    using Entry = std::pair<std::pair<long, long>, int>;  // (moves, pushes), node
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> Open;
    Nodes.push_back(Node{Start, -1, 0, 0, 0, 0});
    Best.emplace(KeyOf(Start), 0);
    Open.push({{0, 0}, 0});
    std::vector<int> Dist(static_cast<std::size_t>(N));
    std::vector<char> BoxAt(static_cast<std::size_t>(N));
    while (!Open.empty()) {
      const auto [Cost, Id] = Open.top();
      Open.pop();
      if (Cost != std::make_pair(Nodes[std::size_t(Id)].Moves, Nodes[std::size_t(Id)].Pushes)) continue;
      const State S = Nodes[std::size_t(Id)].S;
      std::fill(BoxAt.begin(), BoxAt.end(), 0);
      for (const auto B : S.Boxes) BoxAt[B] = 1;
      if (IsGoal(BoxAt)) {
        R.Result = SolveResult::Solved;
        R.Moves = Path(Id);
        return R;
      }
      if (++R.States > MaxStates) {
        R.Result = SolveResult::GaveUp;
        return R;
      }
      Distances(S, BoxAt, Dist);
      for (std::size_t B = 0; B < S.Boxes.size(); ++B) {
        const int At = S.Boxes[B];
        const int X = At % G.Width, Y = At / G.Width;
        for (int D = 0; D < 4; ++D) {
          const int PX = X - Dxs[D], PY = Y - Dys[D], TX = X + Dxs[D], TY = Y + Dys[D];
          if (!G.Inside(PX, PY) || !G.Inside(TX, TY)) continue;
          const int From = PY * G.Width + PX, To = TY * G.Width + TX;
          if (Dist[std::size_t(From)] < 0 || G.Wall[std::size_t(To)] || BoxAt[std::size_t(To)]) continue;
          State Next{uint16_t(At), S.Filled, S.Boxes};
          const int W = WaterIndex[std::size_t(To)];
          if (W >= 0 && !(S.Filled >> W & 1)) {
            Next.Filled |= uint64_t(1) << W;
            Next.Boxes.erase(Next.Boxes.begin() + long(B));
          } else {
            Next.Boxes[B] = uint16_t(To);
            std::sort(Next.Boxes.begin(), Next.Boxes.end());
          }
          if (Hopeless(Next)) continue;
          const long Moves = Nodes[std::size_t(Id)].Moves + Dist[std::size_t(From)] + 1;
          const long Pushes = Nodes[std::size_t(Id)].Pushes + 1;
          const std::string K = KeyOf(Next);
          const auto Found = Best.find(K);
          if (Found != Best.end()) {
            Node &Old = Nodes[std::size_t(Found->second)];
            if (std::make_pair(Old.Moves, Old.Pushes) <= std::make_pair(Moves, Pushes)) continue;
            Old = Node{Next, Id, uint16_t(From), uint8_t(D), Moves, Pushes};
            Open.push({{Moves, Pushes}, Found->second});
            continue;
          }
          const int NewId = int(Nodes.size());
          Nodes.push_back(Node{Next, Id, uint16_t(From), uint8_t(D), Moves, Pushes});
          Best.emplace(K, NewId);
          Open.push({{Moves, Pushes}, NewId});
        }
      }
    }
    return R;
  }

private:
  const Grid &G;
  const int N;
  int Waters = 0;
  std::vector<int> WaterIndex;
  std::vector<char> Dead;  // a box here can never reach a destination
  std::vector<Node> Nodes;
  std::unordered_map<std::string, int> Best;

  bool Blocked(int X, int Y) const { return !G.Inside(X, Y) || G.Wall[std::size_t(Y * G.Width + X)]; }

  // Cells from which a box can be pushed onto some destination, with water
  // taken as floor (filling it only opens the level further).
  void MarkDeadCells() {
    Dead.assign(std::size_t(N), 1);
    std::vector<int> Todo;
    for (int I = 0; I < N; ++I)
      if (G.Goal[std::size_t(I)]) {
        Dead[std::size_t(I)] = 0;
        Todo.push_back(I);
      }
    while (!Todo.empty()) {
      const int C = Todo.back();
      Todo.pop_back();
      const int X = C % G.Width, Y = C / G.Width;
      for (int D = 0; D < 4; ++D) {
        // The box came from X-d, pushed by a player at X-2d.
        const int BX = X - Dxs[D], BY = Y - Dys[D];
        if (Blocked(BX, BY) || Blocked(BX - Dxs[D], BY - Dys[D])) continue;
        const int B = BY * G.Width + BX;
        if (!Dead[std::size_t(B)]) continue;
        Dead[std::size_t(B)] = 0;
        Todo.push_back(B);
      }
    }
  }

  bool Hopeless(const State &S) const {
    int Live = 0;
    for (const auto B : S.Boxes)
      if (!Dead[B]) ++Live;
    return Live < G.Goals;
  }

  bool IsGoal(const std::vector<char> &BoxAt) const {
    for (int I = 0; I < N; ++I)
      if (G.Goal[std::size_t(I)] && !BoxAt[std::size_t(I)]) return false;
    return true;
  }

  bool Passable(const State &S, const std::vector<char> &BoxAt, int C) const {
    if (G.Wall[std::size_t(C)] || BoxAt[std::size_t(C)]) return false;
    const int W = WaterIndex[std::size_t(C)];
    return W < 0 || (S.Filled >> W & 1);
  }

  // Walking distances from the player's cell; -1 where it cannot walk.
  void Distances(const State &S, const std::vector<char> &BoxAt, std::vector<int> &Dist) const {
    std::fill(Dist.begin(), Dist.end(), -1);
    std::vector<int> Queue{S.Player};
    Dist[S.Player] = 0;
    for (std::size_t Q = 0; Q < Queue.size(); ++Q) {
      const int C = Queue[Q], X = C % G.Width, Y = C / G.Width;
      for (int D = 0; D < 4; ++D) {
        const int NX = X + Dxs[D], NY = Y + Dys[D];
        if (!G.Inside(NX, NY)) continue;
        const int Next = NY * G.Width + NX;
        if (Dist[std::size_t(Next)] >= 0 || !Passable(S, BoxAt, Next)) continue;
        Dist[std::size_t(Next)] = Dist[std::size_t(C)] + 1;
        Queue.push_back(Next);
      }
    }
  }

  // The shortest walk from From to To among the state's boxes and water.
  std::string WalkPath(const State &S, int From, int To) const {
    std::vector<char> BoxAt(std::size_t(N), 0);
    for (const auto B : S.Boxes) BoxAt[B] = 1;
    std::vector<int> Came(std::size_t(N), -1);
    std::vector<int> Queue{From};
    Came[std::size_t(From)] = From;
    for (std::size_t Q = 0; Q < Queue.size() && Came[std::size_t(To)] < 0; ++Q) {
      const int C = Queue[Q], X = C % G.Width, Y = C / G.Width;
      for (int D = 0; D < 4; ++D) {
        const int NX = X + Dxs[D], NY = Y + Dys[D];
        if (!G.Inside(NX, NY)) continue;
        const int Next = NY * G.Width + NX;
        if (Came[std::size_t(Next)] >= 0 || !Passable(S, BoxAt, Next)) continue;
        Came[std::size_t(Next)] = C;
        Queue.push_back(Next);
      }
    }
    std::string Moves;
    for (int C = To; C != From;) {
      const int P = Came[std::size_t(C)];
      const int D = C - P == -G.Width ? 0 : C - P == G.Width ? 1 : C - P == -1 ? 2 : 3;
      Moves += Walk[D];
      C = P;
    }
    std::reverse(Moves.begin(), Moves.end());
    return Moves;
  }

  std::string Path(int Id) const {
    std::vector<int> Chain;
    for (int I = Id; I > 0; I = Nodes[std::size_t(I)].Parent) Chain.push_back(I);
    std::reverse(Chain.begin(), Chain.end());
    std::string Moves;
    for (const int I : Chain) {
      const Node &Step = Nodes[std::size_t(I)];
      const State &Before = Nodes[std::size_t(Step.Parent)].S;
      Moves += WalkPath(Before, Before.Player, Step.PushFrom);
      Moves += PushMove[Step.Dir];
    }
    return Moves;
  }
};

}  // namespace

SolveResult Solve(const Level &L, long MaxStates) {
  const Grid G = Grid::FromLevel(L);
  Solver S(G);
  return S.Run(MaxStates);
}

}  // namespace levels
