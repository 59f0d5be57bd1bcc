// FewestMoves.cpp -- breadth-first over moves (Dijkstra on moves, then pushes):
// a solution with the fewest moves, or the proof that none exists.
#include <algorithm>
#include <cstring>
#include <queue>
#include <unordered_map>

#include "Internal.h"
#include "Searches.h"

namespace solver::detail {

namespace {

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

class FewestMoveSearch {
public:
  FewestMoveSearch(const Board &B, const Limits &L) : B(B), N(B.Cells()), Limit(L), Stop(L) {
    WaterIndex.assign(std::size_t(N), -1);
    for (int I = 0; I < N; ++I) {
      if (B.Water[std::size_t(I)]) WaterIndex[std::size_t(I)] = Waters++;
      Marks += B.Mark[std::size_t(I)] != 0;
    }
    Dead = DeadCells(B);
  }

  Result Run() {
    Result R;
    if (B.Player < 0 || Marks == 0) return R;
    int BoxCount = 0;
    State Start{uint16_t(B.Player), 0, {}};
    for (int I = 0; I < N; ++I)
      if (B.Box[std::size_t(I)]) {
        Start.Boxes.push_back(uint16_t(I));
        ++BoxCount;
      }
    if (Waters > 64) {
      R.Result = Result::TooLarge;
      return R;
    }
    if (BoxCount < Marks) return R;

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
      for (const auto Box : S.Boxes) BoxAt[Box] = 1;
      if (IsGoal(BoxAt)) {
        R.Result = Result::Solved;
        R.Moves = Path(Id);
        return R;
      }
      if (const auto Why = Stop.Check(); Why != Result::Solved) {
        R.Result = Why;
        return R;
      }
      if (++R.States > Limit.MaxStates) {
        R.Result = Result::GaveUp;
        return R;
      }
      Distances(S, BoxAt, Dist);
      for (std::size_t Bx = 0; Bx < S.Boxes.size(); ++Bx) {
        const int At = S.Boxes[Bx];
        for (int D = 0; D < 4; ++D) {
          const int From = Step(B, At, D ^ 1), To = Step(B, At, D);
          if (From < 0 || To < 0) continue;
          if (Dist[std::size_t(From)] < 0 || B.Wall[std::size_t(To)] || BoxAt[std::size_t(To)]) continue;
          State Next{uint16_t(At), S.Filled, S.Boxes};
          const int W = WaterIndex[std::size_t(To)];
          if (W >= 0 && !(S.Filled >> W & 1)) {
            Next.Filled |= uint64_t(1) << W;
            Next.Boxes.erase(Next.Boxes.begin() + long(Bx));
          } else {
            Next.Boxes[Bx] = uint16_t(To);
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
  const Board &B;
  const int N;
  const Limits &Limit;
  Watch Stop;
  int Waters = 0, Marks = 0;
  std::vector<int> WaterIndex;
  std::vector<char> Dead;  // a box here can never reach a mark
  std::vector<Node> Nodes;
  std::unordered_map<std::string, int> Best;

  bool Hopeless(const State &S) const {
    int Live = 0;
    for (const auto Box : S.Boxes)
      if (!Dead[Box]) ++Live;
    return Live < Marks;
  }

  bool IsGoal(const std::vector<char> &BoxAt) const {
    for (int I = 0; I < N; ++I)
      if (B.Mark[std::size_t(I)] && !BoxAt[std::size_t(I)]) return false;
    return true;
  }

  bool Passable(const State &S, const std::vector<char> &BoxAt, int C) const {
    if (B.Wall[std::size_t(C)] || BoxAt[std::size_t(C)]) return false;
    const int W = WaterIndex[std::size_t(C)];
    return W < 0 || (S.Filled >> W & 1);
  }

  // Walking distances from the player's cell; -1 where it cannot walk.
  void Distances(const State &S, const std::vector<char> &BoxAt, std::vector<int> &Dist) const {
    std::fill(Dist.begin(), Dist.end(), -1);
    std::vector<int> Queue{S.Player};
    Dist[S.Player] = 0;
    for (std::size_t Q = 0; Q < Queue.size(); ++Q)
      for (int D = 0; D < 4; ++D) {
        const int Next = Step(B, Queue[Q], D);
        if (Next < 0 || Dist[std::size_t(Next)] >= 0 || !Passable(S, BoxAt, Next)) continue;
        Dist[std::size_t(Next)] = Dist[std::size_t(Queue[Q])] + 1;
        Queue.push_back(Next);
      }
  }

  std::string Path(int Id) const {
    std::vector<int> Chain;
    for (int I = Id; I > 0; I = Nodes[std::size_t(I)].Parent) Chain.push_back(I);
    std::reverse(Chain.begin(), Chain.end());
    std::string Moves;
    std::vector<char> Walkable(static_cast<std::size_t>(N));
    for (const int I : Chain) {
      const Node &Pushed = Nodes[std::size_t(I)];
      const State &Before = Nodes[std::size_t(Pushed.Parent)].S;
      std::vector<char> BoxAt(std::size_t(N), 0);
      for (const auto Box : Before.Boxes) BoxAt[Box] = 1;
      for (int C = 0; C < N; ++C) Walkable[std::size_t(C)] = Passable(Before, BoxAt, C);
      Moves += WalkPath(B, Walkable, Before.Player, Pushed.PushFrom);
      Moves += PushLetter[Pushed.Dir];
    }
    return Moves;
  }
};

}  // namespace

Result SolveFewestMoves(const Board &B, const Limits &L) { return FewestMoveSearch(B, L).Run(); }

}  // namespace solver::detail
