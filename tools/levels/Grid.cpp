// Grid.cpp -- replaying move strings and finding solutions on whole cells.
#include "Grid.h"

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

solver::Board BoardOf(const Level &L) {
  const Grid G = Grid::FromLevel(L);
  solver::Board B = solver::Board::Empty(G.Width, G.Height);
  B.Wall = G.Wall;
  B.Water = G.Water;
  B.Mark = G.Goal;
  B.Box = G.Box;
  B.Player = G.Player;
  return B;
}

SolveResult Solve(const Level &L, long MaxStates) {
  solver::Limits Within;
  Within.MaxStates = MaxStates;
  return Solve(L, solver::Mode::FewestMoves, Within);
}

SolveResult Solve(const Level &L, solver::Mode How, const solver::Limits &Within) {
  return solver::Solve(BoardOf(L), How, Within);
}

}  // namespace levels
