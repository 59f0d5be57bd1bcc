// PlayerProgress.h -- the levels a player solved and their bests, kept in
// "progress.txt" beside config.ini: readable text, one line per level,
//   <set file> <TAB> <level number> <TAB> <moves> <TAB> <pushes> <TAB> <seconds>
// each the best so far on its own, or "-" for a level solved without one
// (continued from a save that did not keep the counters). The file is replaced whole (a new file
// renamed over the old), so a crash leaves the old one or the new one. A
// damaged file is reported and replaced by what could be read of it; nothing
// about it ever ends the game.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>

struct TBest {
  bool Solved = false;
  int32_t Moves = -1, Pushes = -1, Seconds = -1;  // -1: no best known
  bool HasBest() const { return Moves >= 0; }
};

class TPlayerProgress {
public:
  // Reads the file; false when it was damaged (reported, and written anew).
  bool Load(const std::string &FileName);
  // The level's bests (Level 0-based).
  TBest Best(const std::string &SetFile, int32_t Level) const;
  // A solution: each best that it beats is kept, and the file written; the
  // bests as they were before it.
  TBest Record(const std::string &SetFile, int32_t Level, int32_t Moves, int32_t Pushes, int32_t Seconds);
  // A solution whose counts are not known: the level is solved, no best changes.
  void RecordSolved(const std::string &SetFile, int32_t Level);
  std::string Text() const;  // the file's content

private:
  bool Save() const;
  std::string File;
  std::map<std::pair<std::string, int32_t>, TBest> Levels;
};

inline constexpr const char *ProgressFile = "progress.txt";
