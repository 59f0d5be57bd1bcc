// FastSearch.cpp -- best-first over pushes: a solution, not necessarily the
// shortest. A position is the boxes, the filled water and the area the player
// can walk to (named by its first cell); positions are told apart by Zobrist
// hashes with their full keys behind them. A push is never searched on when
// a box can no longer cover any mark, when a box froze off a mark with none to
// spare, or when the marks cannot all be matched to distinct live boxes; the
// cost of the best such matching orders the search.
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <queue>

#include "Internal.h"
#include "Searches.h"

namespace solver::detail {

namespace {

constexpr int64_t NoMatch = int64_t(1) << 40;  // a matching cost no real one reaches
// Priority = Greed * bound + pushes so far: weighted towards the bound, which
// finds solutions far sooner than an even sum and still prefers short ones.
constexpr int64_t Greed = 3;
// Filled water opens floor to the player and is what spare boxes are for: each
// fill counts as this much progress, or the search wanders every arrangement
// of the boxes on its side of the water before it fills any.
constexpr int64_t FillCredit = 20;

uint64_t SplitMix(uint64_t &Seed) {
  uint64_t Z = (Seed += 0x9E3779B97F4A7C15ull);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
  return Z ^ (Z >> 31);
}

// The least total cost of giving each row (mark) its own column (box); Cost
// is rows x columns, rows <= columns. NoMatch or more when no such assignment
// avoids a NoMatch entry.
class Matching {
public:
  int64_t Solve(const std::vector<int64_t> &Cost, int Rows, int Cols) {
    // Hungarian method with potentials, 1-based rows and columns.
    U.assign(std::size_t(Rows + 1), 0);
    V.assign(std::size_t(Cols + 1), 0);
    P.assign(std::size_t(Cols + 1), 0);
    Way.assign(std::size_t(Cols + 1), 0);
    constexpr int64_t Inf = std::numeric_limits<int64_t>::max() / 4;
    for (int I = 1; I <= Rows; ++I) {
      P[0] = I;
      int J0 = 0;
      MinV.assign(std::size_t(Cols + 1), Inf);
      Used.assign(std::size_t(Cols + 1), 0);
      do {
        Used[std::size_t(J0)] = 1;
        const int I0 = P[std::size_t(J0)];
        int64_t Delta = Inf;
        int J1 = 0;
        for (int J = 1; J <= Cols; ++J) {
          if (Used[std::size_t(J)]) continue;
          const int64_t Cur = Cost[std::size_t((I0 - 1) * Cols + J - 1)] - U[std::size_t(I0)] - V[std::size_t(J)];
          if (Cur < MinV[std::size_t(J)]) {
            MinV[std::size_t(J)] = Cur;
            Way[std::size_t(J)] = J0;
          }
          if (MinV[std::size_t(J)] < Delta) {
            Delta = MinV[std::size_t(J)];
            J1 = J;
          }
        }
        for (int J = 0; J <= Cols; ++J) {
          if (Used[std::size_t(J)]) {
            U[std::size_t(P[std::size_t(J)])] += Delta;
            V[std::size_t(J)] -= Delta;
          } else {
            MinV[std::size_t(J)] -= Delta;
          }
        }
        J0 = J1;
      } while (P[std::size_t(J0)] != 0);
      do {
        const int J1 = Way[std::size_t(J0)];
        P[std::size_t(J0)] = P[std::size_t(J1)];
        J0 = J1;
      } while (J0);
    }
    int64_t Total = 0;
    for (int J = 1; J <= Cols; ++J)
      if (P[std::size_t(J)]) Total += Cost[std::size_t((P[std::size_t(J)] - 1) * Cols + J - 1)];
    return Total;
  }

private:
  std::vector<int64_t> U, V, MinV;
  std::vector<int> P, Way;
  std::vector<char> Used;
};

struct Node {
  uint64_t Hash;
  std::size_t KeyAt;   // where its key starts in Keys
  uint32_t Parent;
  uint16_t BoxCount;
  uint16_t PushedFrom;  // the box's cell before the push that made this position
  uint8_t Dir;
  uint32_t Pushes;
};

constexpr uint32_t NoParent = 0xFFFFFFFF;

class FastSearch {
public:
  FastSearch(const Board &B, const Limits &L) : B(B), N(B.Cells()), Limit(L), Stop(L) {
    WaterIndex.assign(std::size_t(N), -1);
    for (int C = 0; C < N; ++C) {
      if (B.Water[std::size_t(C)]) {
        WaterIndex[std::size_t(C)] = int(WaterCells.size());
        WaterCells.push_back(C);
      }
      if (B.Mark[std::size_t(C)]) MarkCells.push_back(C);
    }
    WaterWords = int(WaterCells.size() + 15) / 16;
    Dead = DeadCells(B);
    for (const int M : MarkCells) {
      const auto D = PushDistances(B, M);
      DistTo.insert(DistTo.end(), D.begin(), D.end());
    }
    uint64_t Seed = 0x6B657374726F7665ull;
    for (auto *Z : {&ZBox, &ZPlayer}) {
      Z->resize(std::size_t(N));
      for (auto &V : *Z) V = SplitMix(Seed);
    }
    ZWater.resize(WaterCells.size());
    for (auto &V : ZWater) V = SplitMix(Seed);
    BoxAt.assign(std::size_t(N), 0);
    WaterAt.assign(B.Water.begin(), B.Water.end());
    Walks.assign(std::size_t(N), 0);
    Scratch.assign(std::size_t(N), 0);
  }

  Result Run() {
    Result R;
    if (B.Player < 0 || MarkCells.empty()) return R;
    std::vector<uint16_t> Boxes;
    for (int C = 0; C < N; ++C)
      if (B.Box[std::size_t(C)]) Boxes.push_back(uint16_t(C));
    if (Boxes.size() < MarkCells.size()) return R;
    for (const auto C : Boxes) BoxAt[C] = 1;
    if (Covered()) {
      R.Result = Result::Solved;
      return R;
    }
    const int64_t Bound = LowerBound(Boxes, -1);
    if (Bound >= NoMatch) return R;
    const uint32_t Root = Add(Boxes, std::vector<uint16_t>(std::size_t(WaterWords), 0), Area(B.Player), NoParent, 0, 0);
    Open.push({Greed * Bound, Root});
    R.States = 1;
    std::vector<uint16_t> Child, ChildWater;
    while (!Open.empty()) {
      const uint32_t Id = Open.top().second;
      Open.pop();
      if (const auto Why = Stop.Check(); Why != Result::Solved) {
        R.Result = Why;
        return R;
      }
      Load(Id);
      const Node At = Nodes[Id];
      const uint16_t *Key = &Keys[At.KeyAt];
      const std::vector<uint16_t> Here(Key + 1, Key + 1 + At.BoxCount);
      const std::vector<uint16_t> Water(Key + 1 + At.BoxCount, Key + 1 + At.BoxCount + WaterWords);
      const uint32_t Stamp = Reach(Key[0], Walks);
      for (std::size_t I = 0; I < Here.size(); ++I)
        for (int D = 0; D < 4; ++D) {
          const int Box = Here[I], Behind = Step(B, Box, D ^ 1), Ahead = Step(B, Box, D);
          if (Behind < 0 || Ahead < 0 || Walks[std::size_t(Behind)] != Stamp || B.Wall[std::size_t(Ahead)] ||
              BoxAt[std::size_t(Ahead)])
            continue;
          const bool Fills = WaterAt[std::size_t(Ahead)] != 0;
          Child = Here;
          ChildWater = Water;
          if (Fills) {
            if (Here.size() == MarkCells.size()) continue;  // a box lost that every mark needs
            Child.erase(Child.begin() + long(I));
            const int W = WaterIndex[std::size_t(Ahead)];
            ChildWater[std::size_t(W / 16)] |= uint16_t(1u << (W % 16));
          } else {
            Child[I] = uint16_t(Ahead);
            std::sort(Child.begin(), Child.end());
          }
          // Play the push on the scratch board, judge it, then take it back.
          BoxAt[std::size_t(Box)] = 0;
          (Fills ? WaterAt : BoxAt)[std::size_t(Ahead)] = Fills ? 0 : 1;
          const int64_t H = Judge(Child, Fills ? -1 : Ahead);
          bool Done = false;
          if (H < NoMatch) {
            const uint32_t New = Add(Child, ChildWater, Area(Box), Id, Box, D);
            if (New != NoParent) {
              R.States = long(Nodes.size());
              Done = Covered();
              if (!Done) Open.push({Greed * H + At.Pushes + 1 - FillCredit * Filled(ChildWater), New});
            }
            if (Done) {
              R.Result = Result::Solved;
              R.Moves = Path(New);
              return R;
            }
          }
          BoxAt[std::size_t(Box)] = 1;
          (Fills ? WaterAt : BoxAt)[std::size_t(Ahead)] = Fills ? 1 : 0;
          if (long(Nodes.size()) >= Limit.MaxStates) {
            R.Result = Result::GaveUp;
            return R;
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
  std::vector<int> MarkCells, WaterCells, WaterIndex;
  int WaterWords = 0;
  std::vector<char> Dead;
  std::vector<uint16_t> DistTo;  // mark-major: DistTo[m * N + c]
  std::vector<uint64_t> ZBox, ZPlayer, ZWater;

  std::vector<Node> Nodes;
  std::vector<uint16_t> Keys;       // per position: player area, boxes, filled-water words
  std::vector<uint32_t> Table;      // open addressing: node id + 1, 0 empty
  using Entry = std::pair<int64_t, uint32_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> Open;

  // The scratch board: the position being expanded, with one push played on it.
  std::vector<char> BoxAt, WaterAt;
  std::vector<uint16_t> Loaded;
  // Stamped reach: Walks for the position expanded, Scratch for naming children's areas.
  std::vector<uint32_t> Walks, Scratch;
  uint32_t LastStamp = 0;
  std::vector<int> Queue;
  Matching Match;
  std::vector<int64_t> Cost;

  static int Filled(const std::vector<uint16_t> &Water) {
    int Count = 0;
    for (const auto Word : Water) Count += std::popcount(Word);
    return Count;
  }

  bool Covered() const {
    for (const int M : MarkCells)
      if (!BoxAt[std::size_t(M)]) return false;
    return true;
  }

  void Load(uint32_t Id) {
    for (const auto C : Loaded) BoxAt[C] = 0;
    const Node &At = Nodes[Id];
    const uint16_t *Key = &Keys[At.KeyAt];
    Loaded.assign(Key + 1, Key + 1 + At.BoxCount);
    for (const auto C : Loaded) BoxAt[C] = 1;
    for (std::size_t W = 0; W < WaterCells.size(); ++W)
      WaterAt[std::size_t(WaterCells[W])] = !(Key[1 + At.BoxCount + W / 16] >> (W % 16) & 1);
  }

  // Marks the cells the player can walk to from From with a new stamp.
  uint32_t Reach(int From, std::vector<uint32_t> &Seen) {
    const uint32_t Stamp = ++LastStamp;
    Queue.assign(1, From);
    Seen[std::size_t(From)] = Stamp;
    for (std::size_t Q = 0; Q < Queue.size(); ++Q)
      for (int D = 0; D < 4; ++D) {
        const int Next = Step(B, Queue[Q], D);
        if (Next < 0 || Seen[std::size_t(Next)] == Stamp || B.Wall[std::size_t(Next)] || BoxAt[std::size_t(Next)] ||
            WaterAt[std::size_t(Next)])
          continue;
        Seen[std::size_t(Next)] = Stamp;
        Queue.push_back(Next);
      }
    return Stamp;
  }

  // The first cell of the player's area: one name for every place in it.
  int Area(int From) {
    Reach(From, Scratch);
    return *std::min_element(Queue.begin(), Queue.end());
  }

  // The matching bound of the scratch board, or NoMatch for a dead end. Moved
  // is the box just pushed (-1 when it filled water).
  int64_t Judge(const std::vector<uint16_t> &Boxes, int Moved) {
    const bool NoneSpare = Boxes.size() == MarkCells.size();
    if (Moved < 0) return LowerBound(Boxes, -1);
    if (NoneSpare && Dead[std::size_t(Moved)]) return NoMatch;
    const bool Stuck = !B.Mark[std::size_t(Moved)] && Frozen(B, BoxAt, NoneSpare ? &Dead : nullptr, Moved);
    if (Stuck && NoneSpare) return NoMatch;
    return LowerBound(Boxes, Stuck ? Moved : -1);
  }

  // Each mark matched to its own box by push distances; a frozen box serves no mark.
  int64_t LowerBound(const std::vector<uint16_t> &Boxes, int FrozenBox) {
    const int Rows = int(MarkCells.size()), Cols = int(Boxes.size());
    Cost.resize(std::size_t(Rows * Cols));
    for (int M = 0; M < Rows; ++M) {
      bool Any = false;
      for (int J = 0; J < Cols; ++J) {
        const uint16_t D = DistTo[std::size_t(M) * std::size_t(N) + Boxes[std::size_t(J)]];
        const bool Serves = D != Unreachable && Boxes[std::size_t(J)] != FrozenBox;
        Cost[std::size_t(M * Cols + J)] = Serves ? D : NoMatch;
        Any = Any || Serves;
      }
      if (!Any) return NoMatch;
    }
    return Match.Solve(Cost, Rows, Cols);
  }

  uint64_t HashOf(const std::vector<uint16_t> &Boxes, const std::vector<uint16_t> &Water, int Player) const {
    uint64_t H = ZPlayer[std::size_t(Player)];
    for (const auto C : Boxes) H ^= ZBox[C];
    for (std::size_t W = 0; W < WaterCells.size(); ++W)
      if (Water[W / 16] >> (W % 16) & 1) H ^= ZWater[W];
    return H;
  }

  bool SameKey(const Node &Old, const std::vector<uint16_t> &Key) const {
    return Old.BoxCount + 1 + WaterWords == int(Key.size()) &&
           std::equal(Key.begin(), Key.end(), Keys.begin() + long(Old.KeyAt));
  }

  void Grow() {
    std::vector<uint32_t> Bigger(Table.empty() ? 1024 : Table.size() * 2, 0);
    const std::size_t Mask = Bigger.size() - 1;
    for (uint32_t Id = 0; Id < Nodes.size(); ++Id) {
      std::size_t S = Nodes[Id].Hash & Mask;
      while (Bigger[S]) S = (S + 1) & Mask;
      Bigger[S] = Id + 1;
    }
    Table.swap(Bigger);
  }

  // The new position's id, or NoParent when it was seen before.
  uint32_t Add(const std::vector<uint16_t> &Boxes, const std::vector<uint16_t> &Water, int Player, uint32_t Parent,
               int From, int Dir) {
    std::vector<uint16_t> &Key = KeyScratch;
    Key.assign(1, uint16_t(Player));
    Key.insert(Key.end(), Boxes.begin(), Boxes.end());
    Key.insert(Key.end(), Water.begin(), Water.end());
    const uint64_t Hash = HashOf(Boxes, Water, Player);
    if ((Nodes.size() + 1) * 2 > Table.size()) Grow();
    const std::size_t Mask = Table.size() - 1;
    std::size_t S = Hash & Mask;
    for (; Table[S]; S = (S + 1) & Mask) {
      const Node &Old = Nodes[Table[S] - 1];
      if (Old.Hash == Hash && SameKey(Old, Key)) return NoParent;
    }
    const uint32_t Id = uint32_t(Nodes.size());
    const uint32_t Pushes = Parent == NoParent ? 0 : Nodes[Parent].Pushes + 1;
    Nodes.push_back(Node{Hash, Keys.size(), Parent, uint16_t(Boxes.size()), uint16_t(From), uint8_t(Dir), Pushes});
    Keys.insert(Keys.end(), Key.begin(), Key.end());
    Table[S] = Id + 1;
    return Id;
  }
  std::vector<uint16_t> KeyScratch;

  // The moves from the level's start: each push, with the walk to it.
  std::string Path(uint32_t Id) const {
    std::vector<uint32_t> Chain;
    for (uint32_t I = Id; Nodes[I].Parent != NoParent; I = Nodes[I].Parent) Chain.push_back(I);
    std::reverse(Chain.begin(), Chain.end());
    std::vector<char> Boxes(B.Box.begin(), B.Box.end()), Water(B.Water.begin(), B.Water.end()),
        Walkable(static_cast<std::size_t>(N));
    int Player = B.Player;
    std::string Moves;
    for (const uint32_t I : Chain) {
      const int Box = Nodes[I].PushedFrom, D = Nodes[I].Dir, Ahead = Step(B, Box, D);
      for (int C = 0; C < N; ++C)
        Walkable[std::size_t(C)] = !B.Wall[std::size_t(C)] && !Boxes[std::size_t(C)] && !Water[std::size_t(C)];
      Moves += WalkPath(B, Walkable, Player, Step(B, Box, D ^ 1));
      Moves += PushLetter[D];
      Boxes[std::size_t(Box)] = 0;
      if (Water[std::size_t(Ahead)])
        Water[std::size_t(Ahead)] = 0;
      else
        Boxes[std::size_t(Ahead)] = 1;
      Player = Box;
    }
    return Moves;
  }
};

}  // namespace

Result SolveFast(const Board &B, const Limits &L) { return FastSearch(B, L).Run(); }

}  // namespace solver::detail
