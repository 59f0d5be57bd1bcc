// Generate.cpp -- levels by reverse play from solved positions.
#include "Generate.h"

#include <algorithm>

namespace levels {

namespace {

// A small generator of our own: the standard distributions may differ
// between libraries, and a seed must give the same levels everywhere.
class Random {
public:
  explicit Random(uint64_t Seed) : State(Seed) {}
  uint64_t Next() {
    uint64_t Z = (State += 0x9E3779B97F4A7C15ull);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
    return Z ^ (Z >> 31);
  }
  int Below(int N) { return N > 0 ? int(Next() % uint64_t(N)) : 0; }

private:
  uint64_t State;
};

enum : char { Floor = ' ', Wall = '#', Water = '~' };

constexpr int Dx[4] = {0, 0, -1, 1}, Dy[4] = {-1, 1, 0, 0};

struct Draft {
  int W = 0, H = 0;
  std::vector<char> Cell, Box, Mark;  // Cell: Floor, Wall or Water
  int Player = -1;

  int At(int C, int D) const {
    const int X = C % W + Dx[D], Y = C / W + Dy[D];
    return X < 0 || Y < 0 || X >= W || Y >= H ? -1 : Y * W + X;
  }
  bool Free(int C) const { return C >= 0 && Cell[std::size_t(C)] == Floor && !Box[std::size_t(C)]; }

  // The cells the player can walk to.
  std::vector<int> Reach() const {
    std::vector<char> Seen(Cell.size(), 0);
    std::vector<int> Out{Player};
    Seen[std::size_t(Player)] = 1;
    for (std::size_t Q = 0; Q < Out.size(); ++Q)
      for (int D = 0; D < 4; ++D) {
        const int N = At(Out[Q], D);
        if (!Free(N) || Seen[std::size_t(N)]) continue;
        Seen[std::size_t(N)] = 1;
        Out.push_back(N);
      }
    return Out;
  }
};

// A walled room with scattered inner walls, its floor in one piece.
bool MakeRoom(const LevelClass &K, Random &R, Draft &D) {
  D.W = K.Width;
  D.H = K.Height;
  const std::size_t N = std::size_t(D.W * D.H);
  D.Cell.assign(N, Floor);
  D.Box.assign(N, 0);
  D.Mark.assign(N, 0);
  for (int Y = 0; Y < D.H; ++Y)
    for (int X = 0; X < D.W; ++X)
      if (X == 0 || Y == 0 || X == D.W - 1 || Y == D.H - 1 || R.Below(100) < 18) D.Cell[std::size_t(Y * D.W + X)] = Wall;
  // Keep the largest piece of floor.
  std::vector<int> Piece(N, -1);
  int Best = -1, BestSize = 0;
  for (int C = 0; C < int(N); ++C) {
    if (D.Cell[std::size_t(C)] != Floor || Piece[std::size_t(C)] >= 0) continue;
    D.Player = C;
    const auto Cells = D.Reach();
    for (const int P : Cells) Piece[std::size_t(P)] = C;
    if (int(Cells.size()) > BestSize) BestSize = int(Cells.size()), Best = C;
  }
  for (int C = 0; C < int(N); ++C)
    if (D.Cell[std::size_t(C)] == Floor && Piece[std::size_t(C)] != Best) D.Cell[std::size_t(C)] = Wall;
  if (BestSize < 3 * (K.Boxes + K.Waters) + 4) return false;
  std::vector<int> Floors;
  for (int C = 0; C < int(N); ++C)
    if (D.Cell[std::size_t(C)] == Floor) Floors.push_back(C);
  for (int I = 0; I < K.Boxes; ++I) {
    const int C = Floors[std::size_t(R.Below(int(Floors.size())))];
    if (D.Box[std::size_t(C)]) return false;
    D.Box[std::size_t(C)] = D.Mark[std::size_t(C)] = 1;
  }
  D.Player = Floors[std::size_t(R.Below(int(Floors.size())))];
  return D.Free(D.Player);
}

// One step backwards: a pull (the box follows the player) or, when Unfill,
// a box left beside the player with water beyond it.
bool StepBack(Draft &D, Random &R, bool Unfill) {
  const auto Area = D.Reach();
  struct Option {
    int Stand, Dir;
  };
  std::vector<Option> Options;
  for (const int P : Area)
    for (int Dir = 0; Dir < 4; ++Dir) {
      const int Next = D.At(P, Dir), Back = D.At(P, Dir ^ 1);
      if (Unfill) {
        // Forwards: from Back the player pushes the box at P into the water at Next.
        if (Next >= 0 && D.Free(Next) && !D.Mark[std::size_t(Next)] && D.Free(Back)) Options.push_back({P, Dir});
      } else if (Back >= 0 && D.Box[std::size_t(Back)] && D.Free(Next)) {
        Options.push_back({P, Dir});  // the box at Back follows the player from P to Next
      }
    }
  if (Options.empty()) return false;
  const Option O = Options[std::size_t(R.Below(int(Options.size())))];
  const int Next = D.At(O.Stand, O.Dir), Back = D.At(O.Stand, O.Dir ^ 1);
  if (Unfill) {
    D.Cell[std::size_t(Next)] = Water;
    D.Box[std::size_t(O.Stand)] = 1;
    D.Player = Back;
  } else {
    D.Box[std::size_t(Back)] = 0;
    D.Box[std::size_t(O.Stand)] = 1;
    D.Player = Next;
  }
  return true;
}

bool Draw(const LevelClass &K, Random &R, Draft &D) {
  if (!MakeRoom(K, R, D)) return false;
  // Water is made at even spaces along the pulls, so later pulls must work round it.
  int Made = 0;
  for (int I = 0; I < K.Pulls; ++I) {
    if (Made < K.Waters && I >= (Made + 1) * K.Pulls / (K.Waters + 1)) Made += StepBack(D, R, true);
    StepBack(D, R, false);
  }
  if (Made < K.Waters) return false;
  // The player may not start on a destination (the level file has no such cell),
  // and the level may not start solved.
  const auto Area = D.Reach();
  std::vector<int> Starts;
  for (const int C : Area)
    if (!D.Mark[std::size_t(C)]) Starts.push_back(C);
  if (Starts.empty()) return false;
  D.Player = Starts[std::size_t(R.Below(int(Starts.size())))];
  for (std::size_t C = 0; C < D.Mark.size(); ++C)
    if (D.Mark[C] && !D.Box[C]) return true;
  return false;
}

Level LevelOf(const Draft &D) {
  Level L;
  L.Width = D.W;
  L.Height = D.H;
  for (int Y = 0; Y < D.H; ++Y) {
    std::string Row;
    for (int X = 0; X < D.W; ++X) {
      const std::size_t C = std::size_t(Y * D.W + X);
      char S = D.Cell[C];
      if (D.Box[C]) S = D.Mark[C] ? '*' : '$';
      else if (D.Mark[C]) S = '.';
      else if (int(C) == D.Player) S = '@';
      Row += CellOfSourceChar(S);
    }
    L.Rows.push_back(Row);
  }
  return L;
}

}  // namespace

const std::vector<LevelClass> &LevelClasses() {
  static const std::vector<LevelClass> Classes{
      {"small", 8, 8, 3, 0, 60},          {"medium", 11, 9, 5, 0, 150},
      {"large", 15, 12, 8, 0, 300},       {"small-water", 8, 8, 3, 2, 60},
      {"medium-water", 11, 9, 5, 3, 150}, {"large-water", 15, 12, 8, 4, 300},
  };
  return Classes;
}

const LevelClass *FindLevelClass(const std::string &Name) {
  for (const auto &K : LevelClasses())
    if (K.Name == Name) return &K;
  return nullptr;
}

LevelSet GenerateLevels(const LevelClass &Class, int Count, uint64_t Seed) {
  LevelSet Set;
  Set.Headers.push_back({"Set", "Generated " + Class.Name + ", seed " + std::to_string(Seed)});
  Random R(Seed);
  while (int(Set.Levels.size()) < Count) {
    Draft D;
    if (!Draw(Class, R, D)) continue;
    Level L = LevelOf(D);
    L.SetHeader("Title", Class.Name + " " + std::to_string(Set.Levels.size() + 1));
    Set.Levels.push_back(std::move(L));
  }
  return Set;
}

}  // namespace levels
