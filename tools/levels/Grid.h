// Grid.h -- the rules of play on whole cells: walls stop the player and boxes,
// water stops the player, a box pushed into water fills it and both vanish.
// A level is solved when every destination holds a box.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "LevelSet.h"
#include "Solver.h"

namespace levels {

struct Grid {
  int Width = 0, Height = 0;
  std::vector<char> Wall, Water, Goal, Box;  // one flag per cell, index y * Width + x (y = row line)
  int Player = -1;
  int Goals = 0;

  static Grid FromLevel(const Level &L);
  bool Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }
  bool Solved() const;
};

// Moves u d l r (capitals push); 'u' goes towards the first row line.
bool MoveDelta(char Move, int &Dx, int &Dy);

struct ReplayResult {
  bool Ok = false;          // every move legal and the level solved by the last one
  std::string Error;        // why not, naming the move
  int Moves = 0, Pushes = 0;
  int Fills = 0;            // boxes pushed into water
};
// Plays Moves from the level's start under the grid rules.
ReplayResult Replay(const Level &L, const std::string &Moves);

using SolveResult = solver::Result;
// The level as the solver's board.
solver::Board BoardOf(const Level &L);
// A solution with the fewest moves, or the proof that none exists; gives up
// after MaxStates states, and refuses levels with more than 64 waters.
SolveResult Solve(const Level &L, long MaxStates = 1000000);
SolveResult Solve(const Level &L, solver::Mode How, const solver::Limits &Within);

}  // namespace levels
