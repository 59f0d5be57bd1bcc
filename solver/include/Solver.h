// Solver.h -- finds solutions to box-pushing levels on whole cells.
//
// The rules: walls stop the player and boxes; water stops the player; a box
// pushed into water fills it, the box is gone and the cell is floor from then
// on; a box cannot be pushed into another box. A level is solved when every
// mark holds a box (boxes beyond the marks may stand anywhere or fill water).
//
// Plain C++ on a grid with no shared state: every call works on its own data,
// so calls on different threads need no locking. A search stops at its
// deadline or when the caller's cancel flag is set, and never throws.
#pragma once
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace solver {

struct Board {
  int Width = 0, Height = 0;
  // One flag per cell, index y * Width + x, row 0 first (moves 'u' go towards it).
  std::vector<char> Wall, Water, Mark, Box;
  int Player = -1;  // the player's cell, -1 when the level has none

  // A board of Width x Height floor cells, no player.
  static Board Empty(int Width, int Height);
  bool Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }
  int Cells() const { return Width * Height; }
};

enum class Mode {
  FewestMoves,  // breadth-first over moves: a solution with the fewest moves, then pushes
  Fast,         // best-first over pushes: some solution, found quickly
};

struct Limits {
  // FewestMoves: positions expanded. Fast: positions held (its memory).
  long MaxStates = 1000000;
  std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::time_point::max();
  const std::atomic<bool> *Cancel = nullptr;  // another thread may set it to stop the search
};

struct Result {
  enum Outcome {
    Solved,
    Unsolvable,  // every reachable position was searched: no solution exists
    GaveUp,      // MaxStates reached
    TooLarge,    // beyond the state layout: fewest-move mode tracks at most 64 waters
    TimedOut,    // the deadline passed
    Cancelled,   // the cancel flag was set
  } Result = Unsolvable;
  std::string Moves;  // u d l r walk, capitals push
  long States = 0;    // positions counted against MaxStates
};

// Never throws: running out of memory gives up.
Result Solve(const Board &B, Mode How, const Limits &Within = {}) noexcept;

// Cells from which no sequence of pushes brings a box onto any mark, whatever
// the other boxes do and whichever water gets filled.
std::vector<char> DeadCells(const Board &B);

// Boxes (cells) that can never cover a mark: on a dead cell, or frozen off a
// mark among walls and other frozen boxes.
std::vector<int> DeadBoxes(const Board &B);

}  // namespace solver
